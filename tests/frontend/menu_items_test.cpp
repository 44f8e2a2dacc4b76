// The menu item table: its edition texts and the rules that open its rows.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "frontend/frontend.h"
#include "frontend/menu_items.h"
#include "platform/app.h"
#include "race/ffb.h"
#include "race/race.h"

namespace {

std::vector<int> EnabledRows(int first, int count) {
  std::vector<int> rows;
  for (int r = first; r < first + count; ++r)
    if (gMenuItems[static_cast<size_t>(r)].enabled) rows.push_back(r);
  return rows;
}

std::string DrumLabel(const MenuDrum& drum) { return std::string(drum.label); }

TEST(MenuEditionTexts, EveryEditionFitsTheDrums) {
  for (Edition e : {EDITION_GERMAN, EDITION_ITALIAN, EDITION_SPANISH}) {
    const MenuEditionTexts& texts = MenuTextsOf(e);
    EXPECT_TRUE(MenuEditionTextsValid(texts)) << e;
    for (int row = 0; row < MENU_ITEM_COUNT; ++row) EXPECT_TRUE(MenuLabelValid(texts.labels[row])) << e << " row " << row;
    // The resolution rows name sizes, the same in every edition.
    for (int row = 30; row < 40; ++row) EXPECT_STREQ(texts.labels[row], MenuTextsOf(EDITION_GERMAN).labels[row]);
  }
  // The game runs the German edition unless built for another.
  EXPECT_STREQ(gMenuItems[0].label, " HOT TANKER  ");
  EXPECT_STREQ(gMenuItems[16].label, "    W\x8EHLEN   ");
  EXPECT_STREQ(gMenuItems[26].label, "     T\x99NE    ");
  EXPECT_STREQ(MenuTextsOf(EDITION_GERMAN).playerName, "SPIELER");
  // Labels lie 16 bytes apart.
  EXPECT_EQ(gMenuItems[1].label - gMenuItems[0].label, 16);
}

TEST(MenuEditionTexts, TheLabelRuleRejectsWhatTheDrumsCannotShow) {
  const char* bad[] = {"  TOO SHORT ", "  TOO LONG    ", " lower case  ", " CAF\x90 OLE    ", "\xA5" "ANDU        "};
  for (const char* label : bad) EXPECT_FALSE(MenuLabelValid(label)) << label;
  EXPECT_TRUE(MenuLabelValid("1024X768 16/9"));
  EXPECT_TRUE(MenuLabelValid(" $\x83\x88\x93\x96\x87\xCF\x9A\x8E\x99  "));
  MenuEditionTexts texts = MenuTextsOf(EDITION_SPANISH);
  std::memcpy(texts.playerName, "JUGADOR NUMERO 1", 16);  // 16 characters and no end
  EXPECT_FALSE(MenuEditionTextsValid(texts));
}

TEST(MenuResolutions, TheBoardsMemoryOpensTheLargerSizes) {
  struct Case {
    int32_t memoryMb;
    std::vector<int> rows;
  };
  const Case cases[] = {{1, {32, 37}}, {2, {31, 32, 36, 37}}, {4, {31, 32, 33, 36, 37, 38}},
                        {8, {31, 32, 33, 34, 36, 37, 38, 39}}};
  for (const Case& c : cases) {
    gAppBoard = {0, c.memoryMb};
    for (int r = 30; r < 40; ++r) gMenuItems[static_cast<size_t>(r)].enabled = 1;
    EXPECT_EQ(MenuEnableResolutions(), 2);
    EXPECT_EQ(EnabledRows(30, 10), c.rows) << c.memoryMb;
  }
}

TEST(MenuRefresh, ControllerRowsAndFallBacks) {
  struct Case {
    uint8_t present, wheel;
    int32_t before1, before2;
    std::vector<int> rows;  // enabled of 46, 47, 50, 51
    int32_t after1, after2;
  };
  const Case cases[] = {
      {0, 0, 2, 3, {}, 0, 1},          // no controller: joystick and wheel fall back
      {0, 1, 3, 2, {}, 0, 1},
      {0, 0, 1, 0, {}, 1, 0},          // keyboard and mouse stay
      {1, 0, 2, 2, {46, 50}, 2, 2},    // a joystick
      {1, 1, 3, 0, {47, 51}, 3, 0},    // a wheel
  };
  for (const Case& c : cases) {
    for (int r : {46, 47, 50, 51}) gMenuItems[static_cast<size_t>(r)].enabled = 0;
    gFfbDeviceActive = c.present;
    gFfb.deviceKind = c.wheel;
    gPlayer1Vehicle->controller = c.before1;
    gPlayer2Vehicle->controller = c.before2;
    MenuRefreshItems(0);
    std::vector<int> rows;
    for (int r : {46, 47, 50, 51})
      if (gMenuItems[static_cast<size_t>(r)].enabled) rows.push_back(r);
    EXPECT_EQ(rows, c.rows);
    EXPECT_EQ(gPlayer1Vehicle->controller, c.after1);
    EXPECT_EQ(gPlayer2Vehicle->controller, c.after2);
    EXPECT_EQ(DrumLabel(gMenuControls1Drum), gMenuItems[static_cast<size_t>(44 + c.after1)].label);
    EXPECT_EQ(DrumLabel(gMenuControls2Drum), gMenuItems[static_cast<size_t>(48 + c.after2)].label);
  }
}

TEST(MenuRefresh, ADisplayIndexOnADisabledRowBecomes640x480) {
  gAppBoard = {0, 4};
  MenuEnableResolutions();
  struct Case {
    int32_t index, after;
  };
  const Case cases[] = {{4, 2}, {9, 2}, {0, 2}, {3, 3}, {6, 6}, {-1, 2}, {10, 2}};
  for (const Case& c : cases) {
    gOptions.hardwarePreset = c.index;
    MenuRefreshItems(0);
    EXPECT_EQ(+gOptions.hardwarePreset, c.after) << c.index;
    EXPECT_EQ(DrumLabel(gMenuResolutionDrum), gMenuItems[static_cast<size_t>(30 + c.after)].label);
  }
}

TEST(MenuRefresh, TheOptionDrumsTakeTheirLabelsAtRest) {
  gOptions.detailSetting = 3;
  gOptions.keyboardSensitivity = 1;
  gMenu.networkKind = 1;
  MenuRefreshItems(0);
  EXPECT_EQ(DrumLabel(gMenuDetailDrum), "     TIEF    ");
  EXPECT_EQ(DrumLabel(gMenuLevelDrum), "    MITTEL   ");
  EXPECT_EQ(DrumLabel(gMenuNetKindDrum), "   TCP/IP    ");
  for (const MenuDrumChar& c : gMenuNetKindDrum.chars) EXPECT_EQ(c.time, MENU_DRUM_REST_TIME);
}

TEST(MenuUnlock, TracksOpenInTheUnlockOrder) {
  struct Case {
    uint32_t count;
    int32_t debug;
    std::vector<int> tracks;
  };
  const Case cases[] = {
      {3, 0, {0, 1, 2, 6}},       {4, 0, {0, 1, 2, 4, 6}},       {5, 0, {0, 1, 2, 3, 4, 6}},
      {6, 0, {0, 1, 2, 3, 4, 5, 6}}, {7, 0, {0, 1, 2, 3, 4, 5, 6, 7}}, {8, 0, {0, 1, 2, 3, 4, 5, 6, 7, 8}},
      {9, 0, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}}, {3, 1, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}},
      {3, 2, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}}, {0, 0, {0}}, {40, 0, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}},
      {0xFFFFFFFFu, 0, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}},
  };
  for (const Case& c : cases) {
    gScores.unlockedCount = c.count;
    gRace.debugMode = c.debug;
    MenuUnlockTracks();
    EXPECT_EQ(EnabledRows(0, 10), c.tracks) << c.count << " debug " << c.debug;
  }
}

TEST(MenuUnlock, AChampionshipRaceReachesItsTracksPlaceInTheOrderButNeverBelowThree) {
  const int32_t levels[10] = {3, 3, 3, 5, 4, 6, 3, 7, 8, 9};
  for (int32_t track = 0; track < 10; ++track) EXPECT_EQ(MenuTrackUnlockLevel(track), levels[track]) << track;
  EXPECT_EQ(MenuTrackUnlockLevel(-1), 3);
  EXPECT_EQ(MenuTrackUnlockLevel(10), 3);
}

TEST(MenuUnlock, ThePlayersCategoryOnlyBeforeANetworkIsSetUp) {
  for (int32_t stage : {0, 1, 2, 0}) {
    gMenuNetSetup = stage;
    MenuUnlockTracks();
    EXPECT_EQ(gMenuItems[13].enabled, stage == 0) << stage;
  }
}

TEST(MenuLabels, TheValueDrumAndTheEnterButtonFollowTheCategory) {
  struct Case {
    int32_t category, playersMode, gameMode;
    uint8_t trackOpen;
    const char* value;
    uint8_t enter;
  };
  const Case cases[] = {
      {0, 0, 0, 0, "   SUNSET    ", 1},   {1, 0, 0, 1, "    W\x8EHLEN   ", 1}, {2, 0, 0, 1, "  TRAINING   ", 0},
      {2, 0, 3, 1, "MEISTERSCHAFT", 1},   {3, 0, 1, 1, " SOLO PARTIE ", 0},   {3, 2, 1, 1, "  NETZWERK   ", 1},
      {3, 2, 1, 0, "  NETZWERK   ", 0},   {4, 0, 1, 1, " GRAPHISMEN  ", 1},   {5, 0, 1, 1, "    LADEN    ", 1},
      {5, 2, 1, 1, "    LADEN    ", 0},
  };
  const char* categories[] = {"     WEG     ", "  FAHRZEUG   ", " SPIELWEISE  ",
                              " MEHR SPIELER", "  OPTIONEN   ", "SPEICHERUNGEN"};
  gRace.trackIndex = 7;
  for (const Case& c : cases) {
    gMenu.category = c.category;
    gRace.playersMode = c.playersMode;
    gRace.gameMode = c.gameMode;
    gMenuItems[7].enabled = c.trackOpen;
    gMenu.enterButton = 7;
    MenuShowValueLabel();
    EXPECT_EQ(DrumLabel(gMenuValueDrum), c.value) << c.category;
    EXPECT_EQ(gMenu.enterButton, c.enter) << c.category << " " << c.playersMode;
    EXPECT_EQ(DrumLabel(gMenuCategoryDrum), categories[c.category]);
    gMenu.enterButton = 7;
    MenuShowLabels();
    EXPECT_EQ(gMenu.enterButton, c.enter);
    EXPECT_EQ(gMenuValueDrum.chars[0].time, MENU_DRUM_REST_TIME);
  }
}

TEST(MenuLabels, ValueDrumRollsButPlayersLabelIsAtOnce) {
  gMenu.category = 0;
  gRace.trackIndex = 1;
  MenuShowValueLabel();
  EXPECT_EQ(gMenuValueDrum.chars[1].time, 0.0f);  // " HOT..." to "  BIG...": rolling
  gRace.playersMode = 1;
  MenuShowPlayersLabel();
  EXPECT_EQ(DrumLabel(gMenuValueDrum), "  2 SPIELER  ");
  for (const MenuDrumChar& c : gMenuValueDrum.chars) {
    EXPECT_EQ(c.time, MENU_DRUM_REST_TIME);
    EXPECT_EQ(c.position, c.target);
  }
}

}  // namespace
