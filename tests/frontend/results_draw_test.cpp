// The best-times panel, the championship standings and the records page's
// listing, through the text and quad calls they make.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "backend_common/display.h"
#include "engine3d/mesh.h"
#include "frontend/menu_items.h"
#include "frontend/results.h"
#include "race/race.h"
#include "screens_log.h"
#include "support/test_support.h"

namespace {

std::string Mode(int32_t mode) { return gMenuItems[static_cast<size_t>(MENU_ROW_GAME_MODES + mode)].label; }
std::string Track(int32_t track) { return gMenuItems[static_cast<size_t>(MENU_ROW_TRACKS + track)].label; }

bool Contains(const std::vector<std::string>& calls, const std::string& call) {
  return std::find(calls.begin(), calls.end(), call) != calls.end();
}

class ResultsDraw : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetHalForTest();
    ASSERT_TRUE(RdrOpen(gDisplayModes[2], 1));  // 640 x 480
    gRace = RaceState{};
    gRace.gameMode = 1;
    gRace.trackIndex = 5;
    gRace.viewTop = 0;
    gRace.viewHeight = 480;
    ScoresSetDefaults(&gScores);
    std::fill(std::begin(gResultsNewRows), std::end(gResultsNewRows), 0);
    gScreenCalls.clear();
  }
  void TearDown() override { RdrClose(); }
  ScoresEntry& Entry() { return gScores.tables[gRace.gameMode - 1].entries[gRace.trackIndex]; }
};

// At 640 x 480 a panel unit is 1.25 pixels: y 50 is 62, y 320 is 400, the
// first row's y 110 is 137, the last's y 290 is 362.
TEST_F(ResultsDraw, ThePanelPlacesItsHeadingsRowsAndBandsOverTheView) {
  gResultsNewRows[3] = 1;
  Entry().bestLapMs = 0;
  Entry().bestRaceMs = 59999;
  Entry().rows[0].lapMs = 59999;
  Entry().rows[0].raceMs = 600000;
  ScoresCopyName(Entry().rows[9].name, "LAST");
  ResultsDrawBestTimes(1000.0f);
  const std::vector<std::string>& c = gScreenCalls;
  ASSERT_EQ(c.size(), 2u + 1u + 2u + 10u * 2u + 9u);
  EXPECT_EQ(c.front(), "DepthOff");
  EXPECT_EQ(c[1], "Shade 0,62-640,400 grey 0 alpha 200");
  EXPECT_EQ(c[2], "Centred 75 " + Mode(1));
  EXPECT_EQ(c[3], "Centred 100 BEST LAP 0:00:00 BEST TIME 0:59:99");
  EXPECT_EQ(c[4], "At 6,137 SPIELER");
  EXPECT_EQ(c[5], "At 250,137 LAP 0:59:99 TOTAL 10:00:00");
  EXPECT_EQ(c[6], "Shade 6,137-633,152 grey 0 alpha 127");
  EXPECT_EQ(c.back(), "DepthOn");
  EXPECT_TRUE(Contains(c, "At 6,362 LAST"));
  EXPECT_TRUE(Contains(c, "Shade 6,362-633,377 grey 0 alpha 127"));
  // The row this race entered is not covered.
  EXPECT_TRUE(Contains(c, "At 6,212 SPIELER"));
  EXPECT_FALSE(Contains(c, "Shade 6,212-633,227 grey 0 alpha 127"));
  EXPECT_EQ(ScreenCallsStarting("Shade 6,").size(), 9u);

  // In the lower half of a split screen the rows follow the view.
  gRace.viewTop = 240;
  gRace.viewHeight = 240;
  gScreenCalls.clear();
  ResultsDrawBestTimes(1000.0f);
  EXPECT_EQ(gScreenCalls[1], "Shade 0,271-640,440 grey 0 alpha 200");
  EXPECT_EQ(gScreenCalls[4], "At 6,308 SPIELER");
}

TEST_F(ResultsDraw, ThePanelFadesInAndInAChampionshipOutAfterFifteenSeconds) {
  struct Case {
    int32_t mode;
    float t;
    int32_t alpha;
    const char* fade;  // null: the plain prints
    int32_t bandAlpha;
  };
  const Case cases[] = {
      {1, 0.0f, 0, "0", 0},          {1, 500.0f, 100, "127.5", 63},     {2, 800.0f, 160, "204", 102},
      {1, 999.0f, 199, "254.745", 127}, {1, 1000.0f, 200, nullptr, 127}, {1, 20000.0f, 200, nullptr, 127},
      {3, 15000.0f, 200, nullptr, 127}, {3, 15500.0f, 100, "127.5", 63},  {3, 16000.0f, 0, "0", 0},
      {3, 17000.0f, 0, "0", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "mode " << c.mode << " t " << c.t);
    gRace.gameMode = c.mode;
    gScreenCalls.clear();
    ResultsDrawBestTimes(c.t);
    ASSERT_GE(gScreenCalls.size(), 7u);
    EXPECT_EQ(gScreenCalls[1], "Shade 0,62-640,400 grey 0 alpha " + std::to_string(c.alpha));
    if (c.fade) {
      EXPECT_EQ(gScreenCalls[2], "FadedCentred 75 " + Mode(c.mode) + " @" + c.fade);
      EXPECT_EQ(gScreenCalls[4], std::string("FadedAt 6,137 SPIELER @") + c.fade);
    } else {
      EXPECT_EQ(gScreenCalls[2], "Centred 75 " + Mode(c.mode));
      EXPECT_EQ(gScreenCalls[4], "At 6,137 SPIELER");
    }
    EXPECT_EQ(gScreenCalls[6], "Shade 6,137-633,152 grey 0 alpha " + std::to_string(c.bandAlpha));
  }
}

TEST_F(ResultsDraw, ModesOutsideOneToThreeDrawNeitherPanelNorListing) {
  for (int32_t mode : {0, 4}) {
    gRace.gameMode = mode;
    ResultsDrawBestTimes(2000.0f);
    ResultsListBestTimes();
    EXPECT_TRUE(gScreenCalls.empty()) << mode;
  }
}

TEST_F(ResultsDraw, TheStandingsListTotalsInThreeMinuteDigitsWithoutFadingOut) {
  gRace.gameMode = 3;
  gPlayer1Vehicle->championTotal = 600000;
  const int32_t totals[5] = {59999, 0, 700000, 800000, 900000};
  for (int i = 0; i < 5; ++i) gVehicleRecords[i].championTotal = totals[i];
  ResultsDrawStandings(500.0f);
  const std::vector<std::string>& c = gScreenCalls;
  ASSERT_EQ(c.size(), 2u + 1u + 2u + 6u * 2u);
  EXPECT_EQ(c[1], "Shade 0,62-640,400 grey 0 alpha 100");
  EXPECT_EQ(c[2], "FadedCentred 75 " + Mode(3) + " @127.5");
  EXPECT_EQ(c[3], std::string("FadedCentred 100 ") + MenuTextsOf(GAME_EDITION).standingsHeading + " @127.5");
  EXPECT_EQ(c[4], "FadedAt 6,137 MIKE @127.5");
  EXPECT_EQ(c[5], "FadedAt 312,137 TOTAL 000:00:00 @127.5");
  EXPECT_EQ(c[6], "FadedAt 6,175 JOHNNY @127.5");
  EXPECT_EQ(c[7], "FadedAt 312,175 TOTAL 000:59:99 @127.5");
  EXPECT_EQ(c[9], "FadedAt 312,212 TOTAL 010:00:00 @127.5");
  EXPECT_EQ(c.back(), "DepthOn");
  EXPECT_EQ(+gPlayer1Vehicle->championTotal, 600000);
  gScreenCalls.clear();
  ResultsDrawStandings(30000.0f);
  EXPECT_EQ(gScreenCalls[1], "Shade 0,62-640,400 grey 0 alpha 200");
  EXPECT_EQ(gScreenCalls[4], "At 6,137 MIKE");
}

TEST_F(ResultsDraw, TheListingOnTheRecordsPage) {
  gRace.gameMode = 2;
  gRace.trackIndex = 3;
  Entry().rows[9].raceMs = 600000;
  ResultsListBestTimes();
  const std::vector<std::string>& c = gScreenCalls;
  ASSERT_EQ(c.size(), 2u + 10u * 2u);
  EXPECT_EQ(c[0], "MenuCentred 140 " + Mode(2) + " : " + Track(3));
  EXPECT_EQ(c[1], "MenuCentred 160 BEST LAP 5:00:00 BEST TIME 9:00:00");
  EXPECT_EQ(c[2], "Menu 120,190 SPIELER");
  EXPECT_EQ(c[3], "Menu 285,190 LAP 5:00:00 TOTAL 9:00:00");
  EXPECT_EQ(c[20], "Menu 120,334 SPIELER");
  EXPECT_EQ(c[21], "Menu 285,334 LAP 5:00:00 TOTAL 10:00:00");
}

}  // namespace
