// The layer's limits: what it accepts and refuses, before anything reaches
// hal/net, and what every operation does without the layer.
#include <cstdlib>

#include "dp_fixture.h"

// The shell's quit, which the front end calls: never reached here.
void GameQuit() { std::abort(); }

namespace {

class DpLimits : public DpTest {
 protected:
  void SetUp() override {
    DpTest::SetUp();
    HalClockUseVirtual(1000, 0);
    sim_ = HalNetSimCreate(5);
    DpUseConfigForTest(TestConfig(sim_));
  }
  void TearDown() override {
    DpTest::TearDown();
    HalNetSimDestroy(sim_);
    HalClockUseReal();
  }
  HalNetSim* sim_ = nullptr;
};

TEST_F(DpLimits, OneTableOfWhatTheLayerAcceptsAndRefuses) {
  int32_t count = 0;
  ASSERT_TRUE(DpCreate(DP_APPLICATION_GUID, nullptr, &count));
  ASSERT_TRUE(DpInitConnection(0));
  const std::string address255(255, 'a');
  const std::string address256(256, 'a');
  const std::string phone51(51, '1');
  uint32_t serial[DP_SERIAL_WORDS];
  const DpName* names = nullptr;
  struct Case {
    const char* what;
    std::function<bool()> call;
    bool accepted;
  } cases[] = {
      {"address of 255", [&] { return DpSetHostAddress(address255.c_str()); }, true},
      {"address of 256", [&] { return DpSetHostAddress(address256.c_str()); }, false},
      {"no address", [] { return DpSetHostAddress(nullptr); }, false},
      {"host for 0", [] { return DpHostSession("s", 0); }, false},
      {"host for 31", [] { return DpHostSession("s", 31); }, false},
      {"host without a name", [] { return DpHostSession(nullptr, 6); }, false},
      // No modem exists, so no index names one.
      {"modem -1", [&] { return DpSelectModem(-1, "1"); }, false},
      {"modem 0", [&] { return DpSelectModem(0, phone51.c_str()); }, false},
      {"modem 1", [&] { return DpSelectModem(1, "1"); }, false},
      {"connection -1", [] { return DpInitConnection(-1); }, false},
      {"connection 1 of 1", [] { return DpInitConnection(1); }, false},
      {"session -1", [] { return DpJoinSession(-1); }, false},
      {"session 0 of 0", [] { return DpJoinSession(0); }, false},
      {"serial out to null", [] { return DpGetSerialSettings(nullptr); }, false},
      {"serial in from null", [] { return DpSetSerialSettings(nullptr); }, false},
      {"serial out", [&] { return DpGetSerialSettings(serial); }, true},
      {"create without application", [&] { return DpCreate(nullptr, nullptr, &count); }, false},
      {"create without count", [&] { return DpCreate(DP_APPLICATION_GUID, nullptr, nullptr); }, false},
      {"modems to null", [&] { return DpGetModems(nullptr, &count); }, false},
      {"sessions to no count", [&] { return DpEnumSessions(&names, nullptr); }, false},
  };
  for (const Case& c : cases) {
    gDpLayer.lastStatus = 99;
    EXPECT_EQ(c.call(), c.accepted) << c.what;
    EXPECT_EQ(gDpLayer.lastStatus.load(), c.accepted ? 99 : DP_STATUS_REFUSED) << c.what;
    // Nothing refused opened a session or lost the layer.
    ASSERT_NE(gDpLayer.object, nullptr) << c.what;
    EXPECT_FALSE(HalNetInSession(gDpLayer.object)) << c.what;
  }
  EXPECT_STREQ(gDpLayer.hostAddress, address255.c_str());  // the refused ones kept it

  // The bounds of the player count are accepted.
  for (int32_t players : {1, 30}) {
    ASSERT_TRUE(DpHostSession("s", players)) << players;
    EXPECT_EQ(gDpLayer.caps[DP_CAP_MAX_PLAYERS], static_cast<uint32_t>(players));
    DpCloseSession();
  }
}

TEST_F(DpLimits, SerialSettingsAreStateThatRoundTrips) {
  uint32_t got[DP_SERIAL_WORDS];
  ASSERT_TRUE(DpGetSerialSettings(got));
  EXPECT_EQ(std::vector<uint32_t>(got, got + 5), (std::vector<uint32_t>{1, 256000, 0, 2, 4}));
  const uint32_t set[DP_SERIAL_WORDS] = {3, 9600, 1, 0, 2};
  ASSERT_TRUE(DpSetSerialSettings(set));
  ASSERT_TRUE(DpGetSerialSettings(got));
  EXPECT_EQ(std::vector<uint32_t>(got, got + 5), std::vector<uint32_t>(set, set + 5));

  // The set-up changes the port and the speed alone.
  NetSetSerialPort(2, 57600);
  ASSERT_TRUE(DpGetSerialSettings(got));
  EXPECT_EQ(std::vector<uint32_t>(got, got + 5), (std::vector<uint32_t>{2, 57600, 1, 0, 2}));
}

TEST_F(DpLimits, WithoutTheLayerEveryOperationFailsWithStatus0) {
  uint8_t data[4] = {1, 0, 0, 0};
  uint32_t id = 0, count = 0;
  int32_t sessions = 0;
  DpPlayerEntry* list = nullptr;
  DpSessionDesc desc{};
  struct Case {
    const char* what;
    std::function<bool()> call;
  } cases[] = {
      {"init connection", [] { return DpInitConnection(0); }},
      {"enumerate sessions", [&] { return DpEnumSessions(nullptr, &sessions); }},
      {"stop enumerating", [] { return DpStopEnumSessions(); }},
      {"host", [] { return DpHostSession("s", 6); }},
      {"join", [] { return DpJoinSession(0); }},
      {"read the description", [&] { return DpGetSessionDesc(&desc); }},
      {"write the description", [&] { return DpSetSessionDesc(&desc); }},
      {"create a player", [&] { return DpCreatePlayer(&id, "p", RecordSystem, RecordPlayer, nullptr); }},
      {"destroy a player", [] { return DpDestroyPlayer(1); }},
      {"enumerate players", [&] { return DpEnumPlayers(&list, &count); }},
      {"send", [&] { return DpSend(1, 0, data, sizeof data, DP_SEND_RELIABLE); }},
      {"drop a machine", [] { return DpDropMachine(1); }},
  };
  for (const Case& c : cases) {
    gDpLayer.lastStatus = 99;
    EXPECT_FALSE(c.call()) << c.what;
    EXPECT_EQ(gDpLayer.lastStatus.load(), DP_STATUS_REFUSED) << c.what;
  }
  DpCloseSession();
  DpShutdown();
  EXPECT_EQ(gDpLayer.threadCount.load(), 0);
}

}  // namespace
