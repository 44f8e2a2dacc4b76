// The session set-up against a recording stand-in of the layer: which layer
// operations each step calls in which state, the session list, and the
// network state (gRace.networkGame) each step leaves.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "fake_dp.h"
#include "net/session.h"
#include "platform/mem.h"
#include "race/race.h"

// The shell's quit, which the front end calls: never reached here.
void GameQuit() { std::abort(); }

namespace {

using Calls = std::vector<std::string>;

class NetSetUp : public ::testing::Test {
 protected:
  void SetUp() override {
    MemPoolInit();
    gFakeDp = FakeDp{};
    gNet = NetState{};
    gRace.networkGame = NET_STATE_NONE;
  }

  // A player list of `count` entries from the pool, as the layer hands them out.
  void GivePlayerList(uint32_t count) {
    gNet.playerList = static_cast<DpPlayerEntry*>(MemAlloc(sizeof(DpPlayerEntry) * DP_MAX_PLAYERS));
    for (uint32_t i = 0; i < count; ++i) {
      gNet.playerList[i].name = static_cast<char*>(MemAlloc(8));
      std::strcpy(gNet.playerList[i].name, "anna");
      gNet.playerList[i].id = i + 1;
    }
    gNet.playerCount = count;
  }
};

TEST_F(NetSetUp, StartingTwiceCreatesTheLayerOnce) {
  ASSERT_TRUE(NetStart());
  EXPECT_EQ(gFakeDp.calls, (Calls{"DpCreate(game)", "DpGetModems"}));
  EXPECT_EQ(+gRace.networkGame, NET_STATE_CREATED);
  ASSERT_EQ(gNet.connectionCount, 1);
  EXPECT_STREQ(gNet.connections[0].text, "TCP/IP");
  EXPECT_EQ(gNet.modemCount, 0);

  EXPECT_TRUE(NetStart());
  EXPECT_EQ(gFakeDp.calls.size(), 2u);
  EXPECT_EQ(+gRace.networkGame, NET_STATE_CREATED);

  // Inside a session a start only steps the state back.
  gRace.networkGame = NET_STATE_HOST;
  EXPECT_TRUE(NetStart());
  EXPECT_EQ(gFakeDp.calls.size(), 2u);
  EXPECT_EQ(+gRace.networkGame, NET_STATE_CREATED);
}

TEST_F(NetSetUp, AStartThatCannotCreateTheLayerLeavesNothingToShutDown) {
  gFakeDp.createFails = true;
  EXPECT_FALSE(NetStart());
  EXPECT_EQ(+gRace.networkGame, NET_STATE_NONE);
  gFakeDp.calls.clear();
  NetShutdown();
  EXPECT_TRUE(gFakeDp.calls.empty());
}

TEST_F(NetSetUp, ShutdownFromEveryStateLeavesNoNetwork) {
  struct Case {
    int32_t state;
    Calls calls;
  } cases[] = {
      {NET_STATE_NONE, {}},
      {NET_STATE_CREATED, {"DpShutdown"}},  // no session to leave
      {NET_STATE_HOST, {"DpCloseSession", "DpStopEnumSessions", "DpDestroyPlayer(7)", "DpShutdown"}},
      {NET_STATE_CLIENT, {"DpCloseSession", "DpStopEnumSessions", "DpDestroyPlayer(7)", "DpShutdown"}},
  };
  const uint32_t poolBefore = MemPoolUsedBytes();
  for (const Case& c : cases) {
    gFakeDp.calls.clear();
    gRace.networkGame = c.state;
    gNet.ownId = 7;
    gNet.host = 1;
    gNet.sessionCount = 3;
    gNet.sessionStarted = 1;
    GivePlayerList(3);
    NetShutdown();
    EXPECT_EQ(gFakeDp.calls, c.calls) << c.state;
    EXPECT_EQ(+gRace.networkGame, NET_STATE_NONE) << c.state;
    if (c.state == NET_STATE_NONE) {
      NetFreePlayerList();
      continue;
    }
    EXPECT_EQ(gNet.sessionStarted, 0) << c.state;
    EXPECT_EQ(gNet.ownId, 0u) << c.state;
    EXPECT_EQ(gNet.host, 0) << c.state;
    EXPECT_EQ(gNet.sessionCount, 0) << c.state;
    EXPECT_EQ(gNet.playerList, nullptr) << c.state;
    EXPECT_EQ(gNet.playerCount, 0u) << c.state;
    EXPECT_EQ(gNet.connections, nullptr) << c.state;
    EXPECT_EQ(MemPoolUsedBytes(), poolBefore) << c.state;
  }
}

TEST_F(NetSetUp, TheOwnPlayerIsDestroyedOnceWhenTheGameEnds) {
  NetDestroyLocalPlayer();
  EXPECT_TRUE(gFakeDp.calls.empty());
  gNet.ownId = 9;
  gRace.networkGame = NET_STATE_CLIENT;
  // The shell's end of a network game.
  NetDestroyLocalPlayer();
  NetShutdown();
  EXPECT_EQ(gFakeDp.calls, (Calls{"DpDestroyPlayer(9)", "DpCloseSession", "DpStopEnumSessions", "DpShutdown"}));
}

TEST_F(NetSetUp, TheProbeListsEachSessionWithItsCountOr666) {
  gFakeDp.sessions = {{true, true, 3}, {false, true, 4}, {true, false, 2}, {true, true, 5}};
  for (NetSessionEntry& e : gNet.sessions) e.players = 1;  // an earlier probe's counts
  ASSERT_TRUE(NetProbeSessions());
  EXPECT_EQ(gFakeDp.calls, (Calls{"DpEnumSessions", "DpJoinSession(0)", "DpGetSessionDesc", "DpCloseSession",
                                  "DpJoinSession(1)", "DpJoinSession(2)", "DpGetSessionDesc", "DpCloseSession",
                                  "DpJoinSession(3)", "DpGetSessionDesc", "DpCloseSession"}));
  ASSERT_EQ(gNet.sessionCount, 4);
  const uint16_t expected[] = {3, NET_PLAYERS_UNKNOWN, NET_PLAYERS_UNKNOWN, 5};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(gNet.sessions[i].players, expected[i]) << i;
    EXPECT_EQ(gNet.sessions[i].name, std::string("s") + std::to_string(i)) << i;
  }
  EXPECT_EQ(gNet.probeBusy, 0);
}

TEST_F(NetSetUp, AProbeWhileOneRunsOrAFailedListingGivesFalse) {
  gFakeDp.sessions = {{true, true, 3}};
  gNet.probeBusy = 1;
  EXPECT_FALSE(NetProbeSessions());
  EXPECT_TRUE(gFakeDp.calls.empty());

  // The page clears the flag after a listing that failed.
  gNet.probeBusy = 0;
  gFakeDp.enumFails = true;
  EXPECT_FALSE(NetProbeSessions());
  EXPECT_EQ(gNet.probeBusy, 1);
  EXPECT_EQ(gFakeDp.calls, (Calls{"DpEnumSessions"}));
}

TEST_F(NetSetUp, HostingAndJoiningSetTheHostFlag) {
  ASSERT_TRUE(NetHostSession("mine"));
  EXPECT_EQ(gNet.host, 1);
  gFakeDp.sessions = {{true, true, 1}, {true, true, 1}};
  ASSERT_TRUE(NetJoinSession(1));
  EXPECT_EQ(gNet.host, 0);
  EXPECT_EQ(gFakeDp.calls, (Calls{"DpHostSession(mine,6)", "DpJoinSession(1)"}));
}

}  // namespace
