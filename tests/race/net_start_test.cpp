// The start of a network race against a scripted session: the host asks each
// client once a second until it answers, spends at most 30 s on all of them
// and sends away whoever stayed silent; a client waits for the host's start;
// an abort leaves a one-player race.
#include <cstdint>

#include "frontend/frontend.h"
#include "hal/clock.h"
#include "net/net.h"
#include "race/race.h"
#include "race_fixture.h"

namespace {

constexpr uint32_t NEVER = UINT32_MAX;

class NetStart : public RaceTest {
 protected:
  void SetUp() override {
    RaceTest::SetUp();
    // Every reading of the clock moves it on, so the waits end.
    HalClockUseVirtual(0, 1);
    gRace.networkGame = 1;
  }
  void Session(int32_t count, int32_t own, uint8_t host) {
    gNetParticipants.count = count;
    for (int32_t i = 0; i < count; ++i) gNetParticipants.records[i] = &records_[i];
    gNetParticipants.ownIndex = own;
    gNetParticipants.host = host;
  }
  std::vector<uint32_t> QueryTimes(int32_t participant) const {
    std::vector<uint32_t> times;
    for (const auto& [who, at] : gNetScript.queries)
      if (who == participant) times.push_back(at);
    return times;
  }
  Vehicle records_[NET_MAX_PARTICIPANTS]{};
};

TEST_F(NetStart, TheHostAsksEachClientEverySecondAndSendsAwayOnlyTheSilentOnes) {
  Session(4, 0, 1);
  gNetScript.replyAtMs[3] = 2500;  // answers the third query
  gNetScript.replyAtMs[2] = NEVER;
  gNetScript.replyAtMs[1] = NEVER;
  RaceNetStartSync();
  // The last index first; each query after a 1000 ms wait.
  const std::vector<uint32_t> third = QueryTimes(3);
  ASSERT_EQ(third.size(), 3u);
  ASSERT_EQ(gNetScript.queries.front().first, 3);
  uint32_t last = 0;
  for (uint32_t at : third) {
    EXPECT_GE(at - last, 1000u);
    EXPECT_LT(at - last, 1100u);
    last = at;
  }
  // Client 2 takes the rest of the one budget; client 1 finds it spent.
  const std::vector<uint32_t> second = QueryTimes(2);
  ASSERT_GE(second.size(), 26u);
  EXPECT_LE(second.back(), 31000u);
  EXPECT_LE(QueryTimes(1).size(), 1u);
  EXPECT_EQ(QueryTimes(0).size(), 0u);  // the host itself
  const std::vector<std::string> quits = CallsStartingWith("NetSendQuit");
  ASSERT_EQ(quits.size(), 2u);
  EXPECT_EQ(quits[0].rfind("NetSendQuit(1@", 0), 0u) << quits[0];
  EXPECT_EQ(quits[1].rfind("NetSendQuit(2@", 0), 0u) << quits[1];
  EXPECT_GE(std::stoul(quits[0].substr(14)), 30000u);
  EXPECT_GT(IndexOfCall("NetSendSignal(6)"), IndexOfCall(quits[1]));
  EXPECT_EQ(+gRace.networkGame, 1);
}

TEST_F(NetStart, WhenEveryClientAnswersNoOneIsSentAwayAndTheStartIsSignalled) {
  Session(3, 0, 1);
  RaceNetStartSync();
  EXPECT_EQ(QueryTimes(2).size(), 1u);
  EXPECT_EQ(QueryTimes(1).size(), 1u);
  EXPECT_TRUE(CallsStartingWith("NetSendQuit").empty());
  EXPECT_EQ(CallsStartingWith("NetSendSignal"), std::vector<std::string>{"NetSendSignal(6)"});
  EXPECT_LT(HalTimePeek(), 2200u);
}

// A host that is not first in the table still asks the client before it, and
// never sends itself away.
TEST_F(NetStart, AHostLaterInTheTableAsksTheClientAtIndex0) {
  Session(2, 1, 1);
  gNetScript.replyAtMs[0] = NEVER;
  RaceNetStartSync();
  EXPECT_GE(QueryTimes(0).size(), 29u);
  EXPECT_EQ(QueryTimes(1).size(), 0u);
  const std::vector<std::string> quits = CallsStartingWith("NetSendQuit");
  ASSERT_EQ(quits.size(), 1u);
  EXPECT_EQ(quits[0].rfind("NetSendQuit(0@", 0), 0u);
}

TEST_F(NetStart, AClientSaysItIsReadyAndWaitsForTheStartSignal) {
  Session(3, 2, 0);
  RaceNetStartSync();
  EXPECT_EQ(+gNetParticipants.ready, 1);
  EXPECT_EQ(gCalls, std::vector<std::string>{"NetWaitCounter(6,1,30000)"});
  EXPECT_TRUE(gNetScript.queries.empty());
}

TEST_F(NetStart, AnAbortLeavesTheNetworkAndAOnePlayerRace) {
  Session(3, 2, 0);
  gRace.playersMode = 2;
  gNetScript.abortInWait = true;
  RaceNetStartSync();
  EXPECT_EQ(+gRace.playersMode, 0);
  EXPECT_GE(IndexOfCall("MenuShowPlayersLabel(0)"), 0);
  EXPECT_EQ(+gNetParticipants.left, 1);
  EXPECT_EQ(NetParticipantCount(), 0);
  EXPECT_EQ(+gRace.networkGame, 0);
}

}  // namespace
