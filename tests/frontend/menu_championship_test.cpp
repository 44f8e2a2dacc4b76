// The championship order, the unlock tables and the value drum's steps.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "frontend/frontend.h"
#include "frontend/menu_championship.h"
#include "frontend/menu_drum.h"
#include "frontend/menu_items.h"
#include "frontend/menu_values.h"
#include "page_calls.h"
#include "race/race.h"

namespace {

constexpr int32_t ORDER[10] = {0, 2, 6, 1, 4, 3, 5, 7, 8, 9};

TEST(ChampionshipOrderTest, NextAndPreviousRunTheOrderAndWrap) {
  gRace.trackIndex = 0;
  for (int i = 1; i < 10; ++i) {
    EXPECT_EQ(MenuNextChampionshipTrack(), 0) << i;
    EXPECT_EQ(gRace.trackIndex, ORDER[i]);
  }
  // Nine steps reach 9; the tenth wraps to 0 and says so.
  EXPECT_EQ(MenuNextChampionshipTrack(), 1);
  EXPECT_EQ(gRace.trackIndex, 0);
  for (int i = 9; i >= 0; --i) {
    MenuPrevChampionshipTrack();
    EXPECT_EQ(gRace.trackIndex, ORDER[i]);
  }
  // A track outside the table steps as track 0.
  gRace.trackIndex = 12;
  EXPECT_EQ(MenuNextChampionshipTrack(), 0);
  EXPECT_EQ(gRace.trackIndex, 2);
}

TEST(ChampionshipOrderTest, UnlockOrderAndLevels) {
  for (int i = 0; i < 10; ++i) EXPECT_EQ(MenuUnlockOrderTrack(i), static_cast<uint32_t>(ORDER[i]));
  // A track's level is its place in the unlock order, never below 3.
  const int32_t levels[10] = {3, 3, 3, 5, 4, 6, 3, 7, 8, 9};
  for (int32_t track = 0; track < 10; ++track) {
    const int32_t place = static_cast<int32_t>(std::find(ORDER, ORDER + 10, track) - ORDER);
    EXPECT_EQ(MenuTrackUnlockLevel(track), std::max(place, 3)) << track;
    EXPECT_EQ(MenuTrackUnlockLevel(track), levels[track]) << track;
  }
  // With the count of a missing best-times file, the tracks at places 0..3 are open.
  gScores.unlockedCount = 3;
  gRace.debugMode = 0;
  MenuUnlockTracks();
  std::vector<int> open;
  for (int track = 0; track < 10; ++track)
    if (gMenuItems[static_cast<size_t>(track)].enabled) open.push_back(track);
  EXPECT_EQ(open, (std::vector<int>{0, 1, 2, 6}));
}

// The value drum on the main page, category by category.
class ValueDrumTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gMenuNetSetup = 0;
    gScores.unlockedCount = 3;
    gRace.debugMode = 0;
    gRace.playersMode = 0;
    gRace.gameMode = 1;
    gRace.trackIndex = 0;
    MenuUnlockTracks();
    for (int row = MENU_ROW_GAME_MODES; row < MENU_ROW_GAME_MODES + 4; ++row) gMenuItems[static_cast<size_t>(row)].enabled = 1;
    gMenu.category = 0;
    gMenu.enterButton = 0;
  }
  static std::string Label() { return std::string(gMenuValueDrum.label, 13); }
};

TEST_F(ValueDrumTest, TheTrackStepsInChampionshipOrderOntoLockedTracksTooOutsideANetworkGame) {
  struct Case {
    int32_t players, stage, from, step, to;
    uint8_t enter;
  };
  const Case cases[] = {
      {0, 0, 0, +1, 2, 1}, {0, 0, 0, -1, 9, 1},  // 9 is locked, and shown
      {0, 0, 1, +1, 4, 1},                       // so is 4
      {1, 1, 6, +1, 1, 0},                       // a network set-up under way: no enter button
      // The network players mode passes the locked ones, both ways.
      {2, 0, 1, +1, 0, 1}, {2, 0, 0, -1, 1, 1}, {2, 0, 2, +1, 6, 1},
  };
  for (const Case& c : cases) {
    gRace.playersMode = c.players;
    gMenuNetSetup = c.stage;
    gRace.trackIndex = c.from;
    MenuStepValue(c.step);
    EXPECT_EQ(gRace.trackIndex, c.to) << c.players << " " << c.from << " " << c.step;
    EXPECT_EQ(gMenu.enterButton, c.enter);
    EXPECT_EQ(Label(), std::string(gMenuItems[static_cast<size_t>(c.to)].label));
  }
  // With every track row closed the network step stays where it is.
  gRace.playersMode = 2;
  gRace.trackIndex = 2;
  for (int track = 0; track < 10; ++track) gMenuItems[static_cast<size_t>(track)].enabled = 0;
  MenuStepValue(+1);
  EXPECT_EQ(gRace.trackIndex, 2);
}

TEST_F(ValueDrumTest, ChampionshipKeepsTheTrackArrowsAway) {
  gRace.gameMode = 3;
  EXPECT_FALSE(MenuValueArrowsShown());
  gMenu.category = 2;
  EXPECT_TRUE(MenuValueArrowsShown());
  gRace.gameMode = 1;
  gMenu.category = 0;
  EXPECT_TRUE(MenuValueArrowsShown());
}

TEST_F(ValueDrumTest, GameModes) {
  gMenu.category = 2;
  gMenu.championshipTrack = 6;
  gRace.trackIndex = 4;
  struct Case {
    int32_t stage, players, from, step, to, track;
    uint8_t enter;
  };
  const Case cases[] = {
      {0, 0, 1, -1, 0, 4, 0},  // training: no enter button
      {0, 0, 0, -1, 3, 6, 1},  // championship takes its track
      {1, 0, 1, -1, 3, 6, 0},  // training closed while a network game is set up
      {1, 0, 3, +1, 1, 6, 0},
      {0, 1, 1, +1, 2, 6, 1},  // challenge
  };
  for (const Case& c : cases) {
    gMenuNetSetup = c.stage;
    gRace.playersMode = c.players;
    gRace.gameMode = c.from;
    gPlayer1Vehicle->type = 4;
    gPlayer2Vehicle->type = 1;
    MenuStepValue(c.step);
    EXPECT_EQ(gRace.gameMode, c.to) << c.stage << " " << c.from;
    EXPECT_EQ(gRace.trackIndex, c.track);
    EXPECT_EQ(gMenu.enterButton, c.enter);
    EXPECT_EQ(gMenuItems[MENU_ROW_GAME_MODES].enabled, c.stage == 0);
    // Two players in a challenge drive player 1's type.
    EXPECT_EQ(gPlayer2Vehicle->type, c.to == 2 && c.players == 1 ? 4 : 1);
    EXPECT_EQ(Label(), std::string(gMenuItems[static_cast<size_t>(MENU_ROW_GAME_MODES + c.to)].label));
  }
}

TEST_F(ValueDrumTest, PlayersSavesAndTheOthers) {
  gMenu.category = 3;
  gRace.gameMode = 2;
  gPlayer1Vehicle->type = 5;
  gPlayer2Vehicle->type = 0;
  MenuStepValue(+1);  // two players in a challenge
  EXPECT_EQ(gRace.playersMode, 1);
  EXPECT_EQ(gPlayer2Vehicle->type, 5);
  EXPECT_EQ(gMenu.enterButton, 0);
  MenuStepValue(+1);  // network, on an open track
  EXPECT_EQ(gRace.playersMode, 2);
  EXPECT_EQ(gMenu.enterButton, 1);
  gRace.trackIndex = 4;  // locked
  MenuStepValue(-1);
  MenuStepValue(+1);
  EXPECT_EQ(gMenu.enterButton, 0);

  gMenu.category = 5;
  gMenu.saveValue = 0;
  MenuStepValue(+1);
  EXPECT_EQ(gMenu.saveValue, 1);
  EXPECT_EQ(gMenu.enterButton, 0);  // not in the network players mode
  gRace.playersMode = 0;
  MenuStepValue(+1);
  EXPECT_EQ(gMenu.saveValue, 0);
  EXPECT_EQ(gMenu.enterButton, 1);

  // Options pass the sound row, which has no page.
  gMenu.category = 4;
  gMenu.optionValue = 0;
  MenuStepValue(+1);
  EXPECT_EQ(gMenu.optionValue, 2);
  EXPECT_EQ(Label(), std::string(gMenuItems[MENU_ROW_OPTIONS + 2].label));
  gMenu.category = 1;
  gMenu.vehicleValue = 1;
  MenuStepValue(+1);
  EXPECT_EQ(gMenu.vehicleValue, 0);
}

}  // namespace
