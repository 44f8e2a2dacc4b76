// The layer over the real hal/net on 127.0.0.1, against a second instance in
// the test process: the session found by the probe with the count it reads,
// joined or hosted, a player created, and one message each way.
#include "dp_fixture.h"

namespace {

class DpLoopback : public DpTest {
 protected:
  void SetUp() override {
    DpTest::SetUp();
    HalClockUseReal();
    config_ = TestConfig();  // this process's application id and test ports
    DpUseConfigForTest(config_);
    other_ = Machine(config_);
    ASSERT_TRUE(HalNetSetAddress(other_, "127.0.0.1"));
    const DpName* connections = nullptr;
    int32_t count = 0;
    ASSERT_TRUE(DpCreate(config_.application, &connections, &count));
    ASSERT_TRUE(NetSetHostAddress("127.0.0.1"));
    ASSERT_TRUE(NetInitConnection(0));
  }

  uint32_t OtherPlayer(const char* name) {
    uint32_t id = 0;
    EXPECT_TRUE(HalNetCreatePlayer(other_, name, HalNetSignal{}, &id));
    return id;
  }

  // The layer's player `me` and the other's `them` exchange one message each way.
  void OneMessageEachWay(uint32_t me, uint32_t them) {
    Inbox inbox(other_);
    ASSERT_TRUE(SendType(other_, them, me, 7, 70));
    ASSERT_TRUE(PumpUntil([&] { return CountGot([&](const Got& g) { return g.from == them; }) == 1; }));
    EXPECT_EQ(gGot.back().Value(), 70u);
    EXPECT_TRUE(gGot.back().onMainThread);
    const uint32_t message[2] = {8, 80};
    ASSERT_TRUE(DpSend(me, them, message, sizeof message, DP_SEND_RELIABLE));
    EXPECT_TRUE(WaitUntil([&] { return inbox.HasGame(me, 8); }));
  }

  HalNetConfig config_;
  HalNet* other_ = nullptr;
};

TEST_F(DpLoopback, TheProbeFindsAndCountsASessionThatIsThenJoined) {
  ASSERT_TRUE(HalNetHostSession(other_, "loop", 6));
  const uint32_t anna = OtherPlayer("anna");
  OtherPlayer("bert");
  ASSERT_TRUE(PumpUntil([] { return NetProbeSessions() && gNet.sessionCount >= 1; }));
  ASSERT_EQ(gNet.sessionCount, 1);
  EXPECT_STREQ(gNet.sessions[0].name, "loop");
  EXPECT_EQ(gNet.sessions[0].players, 2);
  ASSERT_TRUE(NetJoinSession(0));
  uint32_t me = 0;
  ASSERT_TRUE(DpCreatePlayer(&me, "carl", RecordSystem, RecordPlayer, nullptr));
  Inbox inbox(other_);
  ASSERT_TRUE(WaitUntil([&] { return inbox.HasSystem(HAL_NET_SYS_CREATEPLAYER, me); }));
  OneMessageEachWay(me, anna);
}

TEST_F(DpLoopback, AnotherMachineJoinsTheHostedSession) {
  ASSERT_TRUE(NetHostSession("mine"));
  uint32_t me = 0;
  ASSERT_TRUE(DpCreatePlayer(&me, "anna", RecordSystem, RecordPlayer, nullptr));
  std::vector<HalNetSessionInfo> sessions = FindSessions(other_, 1);
  ASSERT_EQ(sessions.size(), 1u);
  ASSERT_TRUE(HalNetJoinSession(other_, sessions[0].instance));
  const uint32_t bert = OtherPlayer("bert");
  ASSERT_TRUE(PumpUntil([&] { return CountGot(SystemAbout(HAL_NET_SYS_CREATEPLAYER, bert)) == 1; }));
  OneMessageEachWay(me, bert);
}

}  // namespace
