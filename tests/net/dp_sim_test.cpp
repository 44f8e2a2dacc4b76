// The process's layer against machines of the simulated network: sessions
// listed, hosted and joined, players and their messages, the receive threads
// and the main thread's hand-over, dropping a machine, and the set-up's probe
// and shutdown.
#include <numeric>

#include "dp_fixture.h"

namespace {

constexpr uint32_t LATENCY_MS = 5;

class DpSim : public DpTest {
 protected:
  void SetUp() override {
    DpTest::SetUp();
    HalClockUseVirtual(1000, 0);
    sim_ = HalNetSimCreate(LATENCY_MS);
    config_ = TestConfig(sim_);
    std::memcpy(config_.application, DP_APPLICATION_GUID, 16);
    DpUseConfigForTest(config_);
  }
  void TearDown() override {
    DpTest::TearDown();
    HalNetSimDestroy(sim_);
    HalClockUseReal();
  }

  // Moves the simulated network on by `ms` of virtual time.
  void Settle(uint32_t ms = 50) {
    for (uint32_t i = 0; i < ms; ++i) {
      HalClockAdvance(1);
      HalNetSimPump(sim_);
    }
  }

  // The layer on the connection hal/net offers.
  void Start() {
    const DpName* connections = nullptr;
    int32_t count = 0;
    ASSERT_TRUE(DpCreate(DP_APPLICATION_GUID, &connections, &count));
    ASSERT_EQ(count, 1);
    EXPECT_STREQ(connections[0].text, "TCP/IP");
    ASSERT_TRUE(DpInitConnection(0));
  }

  // Enumerates until `count` sessions are listed.
  int32_t Enumerate(int32_t count) {
    const DpName* names = nullptr;
    int32_t found = 0;
    WaitUntil([&] { return DpEnumSessions(&names, &found) && found >= count; }, TEST_WAIT_MS, sim_);
    return found;
  }

  uint32_t MachinePlayer(HalNet* net, const char* name) {
    uint32_t id = 0;
    EXPECT_TRUE(HalNetCreatePlayer(net, name, HalNetSignal{}, &id));
    return id;
  }

  // The layer hosts "mine" with its player "me"; a machine of the test joins
  // with "guest". What the layer heard of it is cleared.
  void HostWithGuest() {
    Start();
    ASSERT_TRUE(DpHostSession("mine", 6));
    ASSERT_TRUE(DpCreatePlayer(&me_, "me", RecordSystem, RecordPlayer, nullptr));
    guestNet_ = Machine(config_);
    std::vector<HalNetSessionInfo> sessions = FindSessions(guestNet_, 1, sim_);
    ASSERT_EQ(sessions.size(), 1u);
    ASSERT_TRUE(HalNetJoinSession(guestNet_, sessions[0].instance));
    guest_ = MachinePlayer(guestNet_, "guest");
    Settle();
    ASSERT_TRUE(PumpUntil([&] { return CountGot(SystemAbout(HAL_NET_SYS_CREATEPLAYER, guest_)) == 1; }));
    gGot.clear();
  }

  HalNetSim* sim_ = nullptr;
  HalNetConfig config_;
  HalNet* guestNet_ = nullptr;
  uint32_t me_ = 0, guest_ = 0;
};

TEST_F(DpSim, SessionsAreListedAndJoinedAndPlayersComeAndGoAsSystemMessages) {
  HalNet* host = Machine(config_);
  const std::string longName(300, 'r');
  ASSERT_TRUE(HalNetHostSession(host, longName, 6));
  const uint32_t anna = MachinePlayer(host, "anna");
  Start();
  ASSERT_EQ(Enumerate(1), 1);
  EXPECT_EQ(std::string(gDpLayer.sessionNames[0].text), longName.substr(0, DP_NAME_BYTES - 1));
  ASSERT_TRUE(DpJoinSession(0));
  EXPECT_TRUE(gDpLayer.sessionOpen);
  EXPECT_EQ(gDpLayer.caps[DP_CAP_MAX_PLAYERS], 6u);

  uint32_t me = 0;
  ASSERT_TRUE(DpCreatePlayer(&me, "bert", RecordSystem, RecordPlayer, nullptr));
  EXPECT_EQ(gDpLayer.threadCount.load(), 1);
  EXPECT_GT(me, anna);
  ASSERT_TRUE(DpEnumPlayers(&gNet.playerList, &gNet.playerCount));
  ASSERT_EQ(gNet.playerCount, 2u);
  EXPECT_EQ(gNet.playerList[0].id, anna);
  EXPECT_STREQ(gNet.playerList[0].name, "anna");
  EXPECT_EQ(gNet.playerList[1].id, me);
  EXPECT_STREQ(gNet.playerList[1].name, "bert");
  NetFreePlayerList();

  const uint32_t carl = MachinePlayer(host, "carl");
  Settle();
  ASSERT_TRUE(PumpUntil([&] { return CountGot(SystemAbout(HAL_NET_SYS_CREATEPLAYER, carl)) == 1; }));
  EXPECT_EQ(gGot.back().SysName(), "carl");
  ASSERT_TRUE(HalNetDestroyPlayer(host, carl));
  Settle();
  ASSERT_TRUE(PumpUntil([&] { return CountGot(SystemAbout(HAL_NET_SYS_DESTROYPLAYER, carl)) == 1; }));
  EXPECT_EQ(gGot.size(), 2u);
  for (const Got& g : gGot) {
    EXPECT_EQ(g.to, me);
    EXPECT_TRUE(g.onMainThread);
  }

  DpSessionDesc desc;
  ASSERT_TRUE(DpGetSessionDesc(&desc));
  EXPECT_EQ(desc.currentPlayers, 2u);
  EXPECT_EQ(desc.maxPlayers, 6u);
}

TEST_F(DpSim, AHostedSessionIsJoinedAndMessagesGoBothWaysAsAskedToBeDelivered) {
  HostWithGuest();
  ASSERT_TRUE(SendType(guestNet_, guest_, me_, 7, 70));
  Settle(LATENCY_MS);
  ASSERT_TRUE(PumpUntil([&] { return !gGot.empty(); }));
  EXPECT_FALSE(gGot[0].system);
  EXPECT_EQ(gGot[0].from, guest_);
  EXPECT_EQ(gGot[0].Value(), 70u);

  // Reliable to one player, and unreliable sequenced to all (the guest alone).
  Inbox inbox(guestNet_);
  const uint32_t one[2] = {8, 80}, all[2] = {9, 90};
  ASSERT_TRUE(DpSend(me_, guest_, one, sizeof one, DP_SEND_RELIABLE));
  ASSERT_TRUE(DpSend(me_, 0, all, sizeof all, DP_SEND_UNRELIABLE_SEQUENCED));
  Settle(LATENCY_MS);
  EXPECT_TRUE(inbox.HasGame(me_, 8));
  EXPECT_TRUE(inbox.HasGame(me_, 9));
  // A message "to all" does not come back to its sender.
  AppPumpMessages();
  EXPECT_EQ(gGot.size(), 1u);
}

TEST_F(DpSim, ABurstArrivesWholeAndInOrderOnTheMainThreadWithItsArrivalTime) {
  HostWithGuest();
  const uint32_t sentAt = HalTimePeek();
  for (uint32_t i = 0; i < 40; ++i) ASSERT_TRUE(SendType(guestNet_, guest_, me_, 7, i));
  Settle(LATENCY_MS);
  HalClockAdvance(100);  // handled well after they arrived
  EXPECT_TRUE(gGot.empty());  // nothing is handled before the main thread pumps
  ASSERT_TRUE(PumpUntil([] { return gGot.size() >= 40; }));
  ASSERT_EQ(gGot.size(), 40u);
  for (uint32_t i = 0; i < 40; ++i) {
    EXPECT_FALSE(gGot[i].system);
    EXPECT_EQ(gGot[i].from, guest_);
    EXPECT_EQ(gGot[i].Value(), i);
    EXPECT_EQ(gGot[i].arrivalMs, sentAt + LATENCY_MS);
    EXPECT_TRUE(gGot[i].onMainThread);
  }
}

TEST_F(DpSim, AMainThreadThatFallsBehindLosesNothing) {
  HostWithGuest();
  // More than the queue for the main thread holds, in two seconds (a member
  // may send only so many in one): the thread leaves the rest in hal/net.
  uint32_t sent = 0;
  for (uint32_t queued : {200u, DP_QUEUE_LIMIT}) {
    for (uint32_t i = 0; i < 200; ++i) ASSERT_TRUE(SendType(guestNet_, guest_, me_, 7, sent++));
    Settle(LATENCY_MS);
    ASSERT_TRUE(WaitUntil([&] { return DpQueuedForTest() == queued; }));
    HalClockAdvance(1000);
  }
  ASSERT_TRUE(PumpUntil([&] { return gGot.size() >= sent; }));
  ASSERT_EQ(gGot.size(), sent);
  for (uint32_t i = 0; i < sent; ++i) EXPECT_EQ(gGot[i].Value(), i);
  std::vector<HalNetPlayerInfo> players;
  ASSERT_TRUE(HalNetEnumPlayers(guestNet_, &players));
  EXPECT_EQ(players.size(), 2u);  // the guest was not dropped for flooding
}

TEST_F(DpSim, MessagesUpToTheLargestArriveWholeAndLargerOnesNever) {
  HostWithGuest();
  std::vector<uint8_t> sizes[2] = {std::vector<uint8_t>(200), std::vector<uint8_t>(HAL_NET_MAX_MESSAGE)};
  for (auto& bytes : sizes) std::iota(bytes.begin(), bytes.end(), uint8_t{11});
  const std::vector<uint8_t> tooLarge(HAL_NET_MAX_MESSAGE + 1, 1);
  ASSERT_TRUE(HalNetSend(guestNet_, guest_, me_, sizes[0].data(), 200, 0));
  EXPECT_FALSE(HalNetSend(guestNet_, guest_, me_, tooLarge.data(), HAL_NET_MAX_MESSAGE + 1, 0));
  ASSERT_TRUE(HalNetSend(guestNet_, guest_, me_, sizes[1].data(), HAL_NET_MAX_MESSAGE, 0));
  Settle(LATENCY_MS);
  ASSERT_TRUE(PumpUntil([] { return gGot.size() >= 2; }));
  ASSERT_EQ(gGot.size(), 2u);
  EXPECT_EQ(gGot[0].bytes, sizes[0]);
  EXPECT_EQ(gGot[1].bytes, sizes[1]);

  gDpLayer.lastStatus = 99;
  EXPECT_FALSE(DpSend(me_, guest_, tooLarge.data(), HAL_NET_MAX_MESSAGE + 1, DP_SEND_RELIABLE));
  EXPECT_EQ(gDpLayer.lastStatus.load(), DP_STATUS_REFUSED);
}

TEST_F(DpSim, EachReceiveThreadEndsWithItsOwnPlayerAndNoOther) {
  HostWithGuest();
  uint32_t second = 0;
  ASSERT_TRUE(DpCreatePlayer(&second, "me too", RecordSystem, RecordPlayer, nullptr));
  EXPECT_EQ(gDpLayer.threadCount.load(), 2);
  ASSERT_TRUE(PumpUntil([&] { return CountGot(SystemAbout(HAL_NET_SYS_CREATEPLAYER, second)) == 1; }));
  gGot.clear();

  ASSERT_TRUE(DpDestroyPlayer(second));
  EXPECT_EQ(gDpLayer.threadCount.load(), 1);
  // The first player's thread still hears the network, and of the other's end.
  ASSERT_TRUE(SendType(guestNet_, guest_, me_, 7, 1));
  Settle(LATENCY_MS);
  ASSERT_TRUE(PumpUntil([&] {
    return CountGot(SystemAbout(HAL_NET_SYS_DESTROYPLAYER, second)) == 1 &&
           CountGot([&](const Got& g) { return g.from == guest_; }) == 1;
  }));
  EXPECT_EQ(CountGot([&](const Got& g) { return g.to == second; }), 0u);
  EXPECT_EQ(gDpLayer.threadCount.load(), 1);

  // Its player gone with the session, the last thread ends by itself; its
  // own destruction is handed to no one.
  DpCloseSession();
  ASSERT_TRUE(PumpUntil([] { return gDpLayer.threadCount.load() == 0; }));
  EXPECT_EQ(CountGot(SystemAbout(HAL_NET_SYS_DESTROYPLAYER, me_)), 0u);
  EXPECT_FALSE(DpDestroyPlayer(me_));
}

TEST_F(DpSim, DroppingAPlayersMachineDestroysItsPlayersHere) {
  HostWithGuest();
  const uint32_t guest2 = MachinePlayer(guestNet_, "guest 2");
  Settle();
  ASSERT_TRUE(PumpUntil([&] { return CountGot(SystemAbout(HAL_NET_SYS_CREATEPLAYER, guest2)) == 1; }));
  EXPECT_FALSE(DpDropMachine(me_));  // not this one
  EXPECT_FALSE(DpDropMachine(guest2 + 100));
  ASSERT_TRUE(DpDropMachine(guest_));
  ASSERT_TRUE(PumpUntil([&] {
    return CountGot(SystemAbout(HAL_NET_SYS_DESTROYPLAYER, guest_)) == 1 &&
           CountGot(SystemAbout(HAL_NET_SYS_DESTROYPLAYER, guest2)) == 1;
  }));
  ASSERT_TRUE(DpEnumPlayers(&gNet.playerList, &gNet.playerCount));
  ASSERT_EQ(gNet.playerCount, 1u);
  EXPECT_EQ(gNet.playerList[0].id, me_);
  NetFreePlayerList();
}

TEST_F(DpSim, TheProbeCountsEachSessionsPlayersAnd666ForOneThatRefusesTheJoin) {
  HalNet* open = Machine(config_);
  ASSERT_TRUE(HalNetHostSession(open, "open", 6));
  MachinePlayer(open, "anna");
  MachinePlayer(open, "bert");
  HalNet* closing = Machine(config_);
  ASSERT_TRUE(HalNetHostSession(closing, "closing", 6));
  MachinePlayer(closing, "carl");
  ASSERT_TRUE(NetStart());
  ASSERT_TRUE(NetInitConnection(0));
  ASSERT_TRUE(WaitUntil([] { return NetProbeSessions() && gNet.sessionCount == 2; }, TEST_WAIT_MS, sim_));
  auto players = [](const char* name) {
    for (int32_t i = 0; i < gNet.sessionCount; ++i)
      if (std::string(gNet.sessions[i].name) == name) return static_cast<int32_t>(gNet.sessions[i].players);
    return -1;
  };
  EXPECT_EQ(players("open"), 2);
  EXPECT_EQ(players("closing"), 1);
  EXPECT_FALSE(gDpLayer.sessionOpen);

  // Listed a moment ago, it takes no one now.
  HalNetSessionDesc desc;
  ASSERT_TRUE(HalNetGetSessionDesc(closing, &desc));
  desc.flags |= HAL_NET_SESSION_NEWPLAYERSDISABLED;
  ASSERT_TRUE(HalNetSetSessionDesc(closing, desc));
  ASSERT_TRUE(NetProbeSessions());
  ASSERT_EQ(gNet.sessionCount, 2);
  EXPECT_EQ(players("open"), 2);
  EXPECT_EQ(players("closing"), NET_PLAYERS_UNKNOWN);
}

TEST_F(DpSim, ShuttingDownInsideASessionLeavesItForTheOthers) {
  HalNet* host = Machine(config_);
  ASSERT_TRUE(HalNetHostSession(host, "race", 6));
  MachinePlayer(host, "anna");
  ASSERT_TRUE(NetStart());
  ASSERT_TRUE(NetInitConnection(0));
  ASSERT_EQ(Enumerate(1), 1);
  ASSERT_TRUE(NetJoinSession(0));
  ASSERT_TRUE(DpCreatePlayer(&gNet.ownId, "bert", RecordSystem, RecordPlayer, nullptr));
  const uint32_t own = gNet.ownId;
  gRace.networkGame = NET_STATE_CLIENT;
  Inbox inbox(host);
  Settle();
  ASSERT_TRUE(inbox.HasSystem(HAL_NET_SYS_CREATEPLAYER, own));

  NetShutdown();
  EXPECT_EQ(+gRace.networkGame, NET_STATE_NONE);
  EXPECT_EQ(gDpLayer.object, nullptr);
  EXPECT_EQ(gDpLayer.threadCount.load(), 0);
  EXPECT_EQ(gNet.ownId, 0u);
  Settle();
  EXPECT_TRUE(inbox.HasSystem(HAL_NET_SYS_DESTROYPLAYER, own));
  std::vector<HalNetPlayerInfo> players;
  ASSERT_TRUE(HalNetEnumPlayers(host, &players));
  EXPECT_EQ(players.size(), 1u);
}

}  // namespace
