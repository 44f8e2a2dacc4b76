// The simulated network: machines in one process on the virtual clock.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>

#include "net_fixture.h"

namespace {

struct Delivery {
  int machine;
  uint32_t from, type, value, arrivalMs;
  bool operator==(const Delivery&) const = default;
};

class HalNetSimTest : public ::testing::Test {
 protected:
  void SetUp() override { HalClockUseVirtual(1000, 0); }
  void TearDown() override {
    for (HalNet* net : machines_) HalNetDestroy(net);
    if (sim_ != nullptr) HalNetSimDestroy(sim_);
    HalClockUseReal();
  }

  void Start(const std::vector<HalNetSimRule>& rules) {
    sim_ = HalNetSimCreate(5);
    HalNetSimSetRules(sim_, rules);
    for (int i = 0; i < 3; ++i) machines_.push_back(HalNetCreate(TestConfig(sim_)));
    ASSERT_TRUE(HalNetHostSession(machines_[0], "sim", 6));
    ids_.push_back(Create(machines_[0], "anna"));
    for (int i = 1; i < 3; ++i) {
      std::vector<HalNetSessionInfo> sessions = FindSessions(machines_[i], 1, sim_);
      ASSERT_EQ(sessions.size(), 1u);
      ASSERT_TRUE(HalNetJoinSession(machines_[i], sessions[0].instance));
      ids_.push_back(Create(machines_[i], i == 1 ? "bert" : "carl"));
    }
    Settle();
  }

  uint32_t Create(HalNet* net, const char* name) {
    uint32_t id = 0;
    EXPECT_TRUE(HalNetCreatePlayer(net, name, HalNetSignal{}, &id));
    return id;
  }

  void Settle(uint32_t ms = 100) {
    for (uint32_t i = 0; i < ms; ++i) {
      HalClockAdvance(1);
      HalNetSimPump(sim_);
    }
  }

  // Every game message each machine has received so far, in order.
  void Collect(std::vector<Delivery>* out) {
    for (size_t m = 0; m < machines_.size(); ++m) {
      for (const Received& r : Drain(machines_[m])) {
        if (r.from == 0) continue;
        uint32_t value = 0;
        std::memcpy(&value, r.bytes.data() + 4, 4);
        out->push_back(Delivery{static_cast<int>(m), r.from, r.Type(), value, r.arrivalMs});
      }
    }
  }

  HalNetSim* sim_ = nullptr;
  std::vector<HalNet*> machines_;
  std::vector<uint32_t> ids_;
};

class HalNetSimScenarioTest : public HalNetSimTest {
 public:
  // A fixed exchange under a table of rules: what arrived where, in order.
  std::vector<Delivery> Run(const std::vector<HalNetSimRule>& rules) {
    HalClockSet(1000);
    Start(rules);
    std::vector<Delivery> got;
    for (uint32_t i = 0; i < 24; ++i) {
      SendType(machines_[1], ids_[1], 0, i % 3 == 0 ? 4 : 5, i);
      SendType(machines_[2], ids_[2], ids_[0], 6, i);
      Settle(3);
      Collect(&got);
    }
    Settle(200);
    Collect(&got);
    TearDown();
    machines_.clear();
    ids_.clear();
    sim_ = nullptr;
    HalClockUseVirtual(1000, 0);
    return got;
  }
};

TEST_F(HalNetSimScenarioTest, OneTableOfRulesGivesTheSameDeliveriesInTheSameOrderOnEveryRun) {
  std::vector<HalNetSimRule> rules = {
      {1, -1, 5, 1, 4, HAL_NET_SIM_DROP, 0},
      {1, 0, 5, 2, 0, HAL_NET_SIM_DUPLICATE, 0},
      {2, 0, 6, 3, 0, HAL_NET_SIM_DELAY, 20},
      {2, 0, 6, 6, 0, HAL_NET_SIM_REORDER, 0},
  };
  std::vector<Delivery> first = Run(rules);
  std::vector<Delivery> second = Run(rules);
  EXPECT_EQ(first, second);

  // And the rules did act: without them every message arrives once, in order.
  std::vector<Delivery> plain = Run({});
  auto values = [](const std::vector<Delivery>& d, int machine, uint32_t type) {
    std::vector<uint32_t> v;
    for (const Delivery& x : d)
      if (x.machine == machine && x.type == type) v.push_back(x.value);
    return v;
  };
  std::vector<uint32_t> plainToAnna = values(plain, 0, 6);
  EXPECT_EQ(plainToAnna.size(), 24u);
  EXPECT_TRUE(std::is_sorted(plainToAnna.begin(), plainToAnna.end()));
  std::vector<uint32_t> toAnna = values(first, 0, 6);
  EXPECT_EQ(toAnna.size(), 24u);
  EXPECT_FALSE(std::is_sorted(toAnna.begin(), toAnna.end()));  // delayed and reordered
  EXPECT_NE(values(first, 0, 5), values(plain, 0, 5));  // dropped and duplicated
  EXPECT_NE(values(first, 2, 5), values(plain, 2, 5));
  EXPECT_EQ(values(first, 2, 4), values(plain, 2, 4));  // type 4 has no rule
}

TEST_F(HalNetSimTest, AnOlderUnreliableSequencedMessageIsLostRatherThanLate) {
  struct Case {
    uint32_t flags;
    std::vector<uint32_t> expected;
  } cases[] = {
      {HAL_NET_SEND_UNRELIABLE_SEQUENCED, {1, 2, 4, 5, 6}},
      {0, {1, 2, 4, 5, 6, 3}},
  };
  for (const Case& c : cases) {
    Start({{1, 0, 4, 2, 0, HAL_NET_SIM_DELAY, 30}});
    for (uint32_t v = 1; v <= 6; ++v) {
      SendType(machines_[1], ids_[1], ids_[0], 4, v, c.flags);
      Settle(2);
    }
    Settle(100);
    std::vector<Delivery> got;
    Collect(&got);
    std::vector<uint32_t> values;
    for (const Delivery& d : got) values.push_back(d.value);
    EXPECT_EQ(values, c.expected) << c.flags;
    TearDown();
    machines_.clear();
    ids_.clear();
    sim_ = nullptr;
    HalClockUseVirtual(1000, 0);
  }
}

TEST_F(HalNetSimTest, SessionsMigrateAndSilentMachinesTimeOut) {
  Start({});
  Inbox b(machines_[1]), c(machines_[2]);
  HalNetDestroy(machines_[0]);
  machines_.erase(machines_.begin());
  Settle();
  EXPECT_TRUE(b.HasSystem(HAL_NET_SYS_DESTROYPLAYER, ids_[0]));
  EXPECT_TRUE(b.HasSystem(HAL_NET_SYS_HOST));
  EXPECT_FALSE(c.HasSystem(HAL_NET_SYS_HOST));
  EXPECT_TRUE(HalNetIsHost(machines_[0]));

  // Gone without a word: the others learn it after the time-out, not before.
  HalNetAbandonForTest(machines_[1]);
  machines_.pop_back();
  Settle(TEST_TIMEOUT_MS / 2);
  EXPECT_FALSE(b.HasSystem(HAL_NET_SYS_DESTROYPLAYER, ids_[2]));
  Settle(TEST_TIMEOUT_MS);
  EXPECT_TRUE(b.HasSystem(HAL_NET_SYS_DESTROYPLAYER, ids_[2]));

  // A join of a session whose host has gone fails as soon as the link does.
  HalNet* late = HalNetCreate(TestConfig(sim_));
  machines_.push_back(late);
  std::vector<HalNetSessionInfo> sessions = FindSessions(late, 1, sim_);
  ASSERT_EQ(sessions.size(), 1u);
  HalNetDestroy(machines_[0]);
  machines_.erase(machines_.begin());
  uint32_t before = HalTimePeek();
  EXPECT_FALSE(HalNetJoinSession(late, sessions[0].instance));
  EXPECT_LT(HalTimePeek() - before, TestConfig().joinWaitMs);
}

TEST_F(HalNetSimTest, ARemovedLocalPlayerIsSignalledOnceMoreAndItsReceiveThenFails) {
  Start({});
  HalNet* b = machines_[1];
  std::atomic<int> raised[2] = {0, 0};
  auto count = [](void* c) { ++*static_cast<std::atomic<int>*>(c); };
  uint32_t ids[2] = {};
  ASSERT_TRUE(HalNetCreatePlayer(b, "dora", HalNetSignal{count, &raised[0]}, &ids[0]));
  ASSERT_TRUE(HalNetCreatePlayer(b, "emil", HalNetSignal{count, &raised[1]}, &ids[1]));
  Settle();
  Drain(b);
  auto receive = [&](uint32_t id) {
    uint32_t from = 0, to = id, size = HAL_NET_MAX_MESSAGE, arrival = 0;
    uint8_t buffer[HAL_NET_MAX_MESSAGE];
    return HalNetReceive(b, &from, &to, buffer, &size, &arrival);
  };

  // Destroyed: its own signal once more; the other local player hears of it.
  const int before[2] = {raised[0].load(), raised[1].load()};
  ASSERT_TRUE(HalNetDestroyPlayer(b, ids[0]));
  EXPECT_EQ(raised[0].load(), before[0] + 1);
  EXPECT_EQ(raised[1].load(), before[1] + 1);
  EXPECT_EQ(receive(ids[0]), HAL_NET_RECEIVE_FAILED);
  EXPECT_EQ(receive(ids[1]), HAL_NET_RECEIVED);

  // Left with the session: the remaining one is signalled too.
  HalNetCloseSession(b);
  EXPECT_EQ(raised[1].load(), before[1] + 2);
  EXPECT_EQ(raised[0].load(), before[0] + 1);
  EXPECT_EQ(receive(ids[1]), HAL_NET_RECEIVE_FAILED);
}

}  // namespace
