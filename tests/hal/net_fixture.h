// Machines of hal/net in one test process: each test gets its own port range
// (TORVANE_NET_PORT, set per test by CMake), short time-outs, and helpers
// that wait for a condition with a generous bound instead of sleeping.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "hal/clock.h"
#include "hal/net/net.h"

// The time-out the tests shorten ENet's to, and the bound of every wait.
constexpr uint32_t TEST_TIMEOUT_MS = 1500;
constexpr uint32_t TEST_WAIT_MS = 8000;

// The application id carries the process id, so that machines of two test
// runs that share ports still never see each other's sessions.
inline HalNetConfig TestConfig(HalNetSim* sim = nullptr) {
  static const uint32_t process = static_cast<uint32_t>(getpid());
  HalNetConfig config;
  const char guid[] = "torvane-net-";
  std::memcpy(config.application, guid, 12);
  std::memcpy(config.application + 12, &process, 4);
  config.timeoutMs = TEST_TIMEOUT_MS;
  config.joinWaitMs = 3000;
  config.closeWaitMs = 1000;
  config.sim = sim;
  return config;
}

// Polls `done` until it holds or the bound passes; on the simulated network
// the virtual clock moves instead of the wall clock.
inline bool WaitUntil(const std::function<bool()>& done, uint32_t boundMs = TEST_WAIT_MS, HalNetSim* sim = nullptr) {
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(boundMs);
  for (uint32_t step = 0;; ++step) {
    if (done()) return true;
    if (sim != nullptr) {
      if (step >= boundMs) return false;
      HalClockAdvance(1);
      HalNetSimPump(sim);
      continue;
    }
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
}

struct Received {
  uint32_t from = 0;
  uint32_t to = 0;
  std::vector<uint8_t> bytes;
  uint32_t arrivalMs = 0;
  uint32_t Type() const {
    uint32_t t = 0;
    if (bytes.size() >= 4) std::memcpy(&t, bytes.data(), 4);
    return t;
  }
  uint32_t SysId() const {
    HalNetSysPlayer s{};
    std::memcpy(&s, bytes.data(), std::min(bytes.size(), sizeof s));
    return s.id;
  }
};

// Everything waiting on the machine, in order.
inline std::vector<Received> Drain(HalNet* net) {
  std::vector<Received> out;
  for (;;) {
    Received r;
    uint8_t buffer[HAL_NET_MAX_MESSAGE + 64];
    uint32_t size = sizeof buffer;
    if (HalNetReceive(net, &r.from, &r.to, buffer, &size, &r.arrivalMs) != HAL_NET_RECEIVED) return out;
    r.bytes.assign(buffer, buffer + size);
    out.push_back(std::move(r));
  }
}

// Collects arrivals across calls, so a test can wait for one of them.
class Inbox {
 public:
  explicit Inbox(HalNet* net) : net_(net) {}
  const std::vector<Received>& Poll() {
    for (Received& r : Drain(net_)) all_.push_back(std::move(r));
    return all_;
  }
  bool Has(const std::function<bool(const Received&)>& match) {
    for (const Received& r : Poll())
      if (match(r)) return true;
    return false;
  }
  bool HasSystem(uint32_t type, uint32_t id = 0) {
    return Has([&](const Received& r) { return r.from == 0 && r.Type() == type && (id == 0 || r.SysId() == id); });
  }
  bool HasGame(uint32_t from, uint32_t type) {
    return Has([&](const Received& r) { return r.from == from && r.Type() == type; });
  }
  size_t CountGame(uint32_t type) {
    size_t n = 0;
    for (const Received& r : Poll()) n += r.from != 0 && r.Type() == type;
    return n;
  }

 private:
  HalNet* net_;
  std::vector<Received> all_;
};

inline bool SendType(HalNet* net, uint32_t from, uint32_t to, uint32_t type, uint32_t value = 0, uint32_t flags = 0) {
  uint32_t message[2] = {type, value};
  return HalNetSend(net, from, to, message, sizeof message, flags);
}

// Enumerates until `count` sessions have answered.
inline std::vector<HalNetSessionInfo> FindSessions(HalNet* net, size_t count, HalNetSim* sim = nullptr) {
  std::vector<HalNetSessionInfo> sessions;
  WaitUntil([&] { return HalNetEnumSessions(net, &sessions) && sessions.size() >= count; }, TEST_WAIT_MS, sim);
  return sessions;
}

inline const HalNetSessionInfo* Named(const std::vector<HalNetSessionInfo>& sessions, const std::string& name) {
  for (const HalNetSessionInfo& s : sessions)
    if (s.name == name) return &s;
  return nullptr;
}

// Machines on 127.0.0.1 over ENet, closed with a goodbye at the end of the test.
class HalNetTest : public ::testing::Test {
 protected:
  void SetUp() override { HalClockUseReal(); }
  void TearDown() override {
    for (HalNet* net : machines_) HalNetDestroy(net);
  }

  HalNet* Machine() {
    HalNet* net = HalNetCreate(TestConfig());
    EXPECT_NE(net, nullptr);
    EXPECT_TRUE(HalNetSetAddress(net, "127.0.0.1"));
    machines_.push_back(net);
    return net;
  }
  void Forget(HalNet* net) { std::erase(machines_, net); }

  // Finds the session named `name` and joins it.
  bool Join(HalNet* net, const std::string& name) {
    const HalNetSessionInfo* found = nullptr;
    std::vector<HalNetSessionInfo> sessions;
    WaitUntil([&] {
      HalNetEnumSessions(net, &sessions);
      found = Named(sessions, name);
      return found != nullptr;
    });
    return found != nullptr && HalNetJoinSession(net, found->instance);
  }

  uint32_t Player(HalNet* net, const std::string& name) {
    uint32_t id = 0;
    EXPECT_TRUE(HalNetCreatePlayer(net, name, HalNetSignal{}, &id));
    return id;
  }

  // A hosts "race" with anna; B and C join with bert and carl.
  void ThreeInOneSession() {
    a_ = Machine();
    b_ = Machine();
    c_ = Machine();
    ASSERT_TRUE(HalNetHostSession(a_, "race", 6));
    anna_ = Player(a_, "anna");
    ASSERT_TRUE(Join(b_, "race"));
    bert_ = Player(b_, "bert");
    ASSERT_TRUE(Join(c_, "race"));
    carl_ = Player(c_, "carl");
    // Every pair is linked once each machine's roster holds all three.
    ASSERT_TRUE(WaitUntil([&] {
      for (HalNet* net : {a_, b_, c_}) {
        std::vector<HalNetPlayerInfo> players;
        if (!HalNetEnumPlayers(net, &players) || players.size() != 3) return false;
      }
      return true;
    }));
  }

  std::vector<HalNet*> machines_;
  HalNet* a_ = nullptr;
  HalNet* b_ = nullptr;
  HalNet* c_ = nullptr;
  uint32_t anna_ = 0, bert_ = 0, carl_ = 0;
};

