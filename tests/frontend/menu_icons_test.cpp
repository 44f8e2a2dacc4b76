// The icon bar's rules and layout, the pointer, the small font and the dot
// font labels, through the draw calls they make.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "backend_common/display.h"
#include "backend_common/texture.h"
#include "engine3d/mesh.h"
#include "frontend/frontend.h"
#include "frontend/menu_drum.h"
#include "frontend/menu_icons.h"
#include "frontend/menu_items.h"
#include "frontend/menu_view.h"
#include "page_fixture.h"
#include "race/race.h"
#include "race/track_files.h"
#include "support/test_support.h"

namespace {

class MenuIconsTest : public PageTest {
 protected:
  void SetUp() override {
    PageTest::SetUp();
    // Table entries and handles of textures never loaded: the calls are recorded, not drawn.
    gTextureTable.count = 2;
    gTextureTable.entries[1].handle = 3;
    gMenu.fontEntry[0] = 0;
    gMenu.fontEntry[1] = 1;
    gMenu.iconTexture[0] = 7;
    gMenu.iconTexture[1] = 8;
    gMenu.cursorX = gMenu.cursorY = 400;
  }
  // The slots the bar shades.
  static std::vector<std::string> Shaded() { return PageCallsStarting("Shade"); }
};

std::string ShadeOf(int slot) {
  const int x = 97 + 60 * slot;
  return "Shade " + std::to_string(x) + ",14-" + std::to_string(x + 52) + ",70 alpha 200";
}

TEST_F(MenuIconsTest, WhichSlotsCanBeClicked) {
  struct Case {
    int32_t stage, network, gameMode;
    std::vector<int> clickable;
  };
  const Case cases[] = {
      {0, 0, 1, {0, 1, 2, 3, 4, 5, 6}}, {1, 0, 1, {0, 1, 2, 3, 4, 5}},  {2, 0, 1, {0, 1, 2, 3, 4, 5, 6}},
      {2, 2, 1, {0, 1, 4, 5}},          {2, 2, 2, {0, 1, 4, 5}},        {2, 3, 1, {1, 4, 5}},
      {2, 3, 2, {4, 5}},                {0, 1, 2, {0, 1, 2, 3, 4, 5, 6}},
  };
  for (const Case& c : cases) {
    gMenuNetSetup = c.stage;
    gRace.networkGame = c.network;
    gRace.gameMode = c.gameMode;
    std::vector<int> clickable;
    for (int slot = 0; slot < 7; ++slot)
      if (MenuIconClickable(slot)) clickable.push_back(slot);
    EXPECT_EQ(clickable, c.clickable) << c.stage << " " << c.network << " " << c.gameMode;
  }
}

TEST_F(MenuIconsTest, TheHoverRectangleAndItsFrame) {
  struct Case {
    int32_t x, y;
    bool inside;
  };
  // Slot 2: x 217 .. 269, y 14 .. 70, the left and top edges inside.
  const Case cases[] = {{217, 14, true}, {268, 69, true}, {216, 40, false}, {269, 40, false},
                        {240, 13, false}, {240, 70, false}, {240, 40, true}};
  gMenu.pressEdge = 1;
  for (const Case& c : cases) {
    gPageCalls.clear();
    gMenu.cursorX = c.x;
    gMenu.cursorY = c.y;
    EXPECT_EQ(MenuIconHover(2), c.inside ? 1 : 0) << c.x << "," << c.y;
    EXPECT_EQ(PageCallsStarting("Wire") == std::vector<std::string>{"Wire 217,14-269,70"}, c.inside);
  }
  // Hovering without a press draws the frame and answers 0.
  gMenu.pressEdge = 0;
  gMenu.cursorX = 240;
  gMenu.cursorY = 40;
  EXPECT_EQ(MenuIconHover(2), 0);
  // A slot that cannot be clicked shows no frame.
  gPageCalls.clear();
  gMenuNetSetup = 1;
  gMenu.cursorX = 97 + 360;
  EXPECT_EQ(MenuIconHover(6), 0);
  EXPECT_TRUE(PageCallsStarting("Wire").empty());
}

TEST_F(MenuIconsTest, TheBarShadesAndDropsBySetUp) {
  struct Case {
    int32_t playersMode, network, gameMode;
    uint8_t trackOpen;
    std::vector<int> shaded;
  };
  const Case cases[] = {
      {0, 0, 1, 1, {}},        {2, 0, 1, 1, {6}},        {2, 0, 1, 0, {3, 6}},
      {2, 2, 1, 1, {2, 3, 6}}, {2, 3, 1, 1, {0, 2, 3, 6}}, {2, 3, 2, 1, {0, 1, 2, 3, 6}},
  };
  gRace.trackIndex = 4;
  for (const Case& c : cases) {
    gRace.playersMode = c.playersMode;
    gRace.networkGame = c.network;
    gRace.gameMode = c.gameMode;
    gMenuItems[4].enabled = c.trackOpen;
    gPageCalls.clear();
    MenuIconBarDraw();
    std::vector<std::string> want;
    for (int slot : c.shaded) want.push_back(ShadeOf(slot));
    EXPECT_EQ(Shaded(), want) << c.playersMode << " " << c.network << " " << c.gameMode;
  }
  // In the network players mode a click on the shaded saves slot does nothing
  // and sounds nothing; the controls slot beside it still answers.
  gRace.networkGame = 0;
  gMenu.pressEdge = 1;
  gMenu.cursorY = 40;
  gMenu.cursorX = 97 + 360 + 5;
  gPageCalls.clear();
  EXPECT_EQ(MenuIconBarDraw(), -1);
  EXPECT_TRUE(PageCallsStarting("Play").empty());
  gMenu.cursorX = 97 + 300 + 5;
  gMenu.clickSlot = 2;
  gPageCalls.clear();
  EXPECT_EQ(MenuIconBarDraw(), 5);
  EXPECT_EQ(PageCallsStarting("Stop"), std::vector<std::string>{"Stop 2"});
  EXPECT_EQ(PageCallsStarting("Play"), std::vector<std::string>{"Play 31 -1000"});
  EXPECT_EQ(gMenu.clickSlot, 31);  // the recorder answers the row as the slot
}

TEST_F(MenuIconsTest, TheBarsIconsShowTheCurrentChoices) {
  gRace.trackIndex = 7;
  gRace.gameMode = 3;
  gRace.playersMode = 1;
  gPlayer1Vehicle->type = 9;  // above 6: the icon of type 6
  gPlayer2Vehicle->type = 2;
  gPlayer1Vehicle->controller = 1;
  gPlayer2Vehicle->controller = 3;
  MenuIconBarDraw();
  const std::vector<std::string> want = {
      "Decal 100,18-148,66 tex 7 st 96,48-144,96",     // track 7
      "Decal 160,18-184,66 tex 7 st 192,192-216,240",  // cell 24, left half
      "Decal 186,18-210,66 tex 7 st 24,192-48,240",    // cell 20, right half
      "Decal 220,18-268,66 tex 8 st 48,48-96,96",      // championship: cell 106
      "Decal 280,18-328,66 tex 7 st 48,144-96,192",    // two players: cell 16
      "Decal 340,18-388,66 tex 7 st 192,96-240,144",   // graphics: cell 14
      "Decal 400,18-424,66 tex 7 st 48,96-72,144",     // mouse: cell 11, left half
      "Decal 426,18-450,66 tex 7 st 168,96-192,144",   // wheel: cell 13, right half
      "Decal 460,18-508,66 tex 8 st 0,0-48,48",        // saves: cell 100
  };
  EXPECT_EQ(PageCallsStarting("Decal"), want);
}

TEST_F(MenuIconsTest, ASavesRowAndAVehicleIcon) {
  SaveSlot slot{};
  slot.trackIndex = 2;
  slot.playersMode = 1;
  slot.gameMode = 1;
  slot.vehicleType[0] = 3;
  slot.vehicleType[1] = 8;
  Options options{};
  options.detailSetting = 2;
  std::memcpy(slot.options, &options, sizeof options);
  gRace.playersMode = 0;
  MenuDrawSaveSlotIcons(150, &slot);
  const std::vector<std::string> want = {
      "Decal 377,147-393,163 tex 7 st 96,0-144,48",     // track 2
      "Decal 396,147-404,163 tex 7 st 48,192-72,240",   // type 3: cell 21, left half
      "Decal 406,147-414,163 tex 7 st 216,192-240,240", // type 8 as 6: cell 24, right half
      "Decal 415,147-431,163 tex 8 st 192,0-240,48",    // arcade: cell 104
      "Decal 434,147-450,163 tex 7 st 48,144-96,192",   // two players: cell 16
  };
  EXPECT_EQ(PageCallsStarting("Decal"), want);
  EXPECT_EQ(PageCallsStarting("Dot"), std::vector<std::string>{"Dot 453,150 MED"});
  EXPECT_EQ(gRace.playersMode, 0);
  gPageCalls.clear();
  gPlayer1Vehicle->type = 7;
  MenuDrawVehicleIcon(153, gPlayer1Vehicle);
  EXPECT_EQ(PageCallsStarting("Decal"), std::vector<std::string>{"Decal 424,153-456,185 tex 7 st 192,192-240,240"});
}

TEST_F(MenuIconsTest, LabelsFoldAccentsAndBreakAtBlanks) {
  const std::string from = "$\x83\x8E\x88\x87\x93\x99\xCF\x96\x9A" "AZ";
  std::string folded;
  for (char c : from) folded += MenuDotFontFold(c);
  EXPECT_EQ(folded, "AAAECOOOUUAZ");
  MenuDotFontLabel(346, 28, "640X480 16/9 ");
  MenuDotFontLabel(346, 45, "    W\x8EHLEN   ");
  const std::vector<std::string> want = {
      "Dot 346,28 6", "Dot 351,28 4", "Dot 356,28 0", "Dot 361,28 X", "Dot 366,28 4", "Dot 371,28 8",
      "Dot 376,28 0", "Dot 346,35 1", "Dot 351,35 6", "Dot 356,35 /", "Dot 361,35 9", "Dot 346,45 W",
      "Dot 351,45 A", "Dot 356,45 H", "Dot 361,45 L", "Dot 366,45 E", "Dot 371,45 N"};
  EXPECT_EQ(PageCallsStarting("Dot"), want);
}

TEST_F(MenuIconsTest, TheSmallFontsCells) {
  struct Case {
    char c;
    int32_t glyph;
  };
  const Case cases[] = {{'!', 0}, {'0', 15}, {'A', 32}, {'Z', 57}, {'\x83', 78}, {'$', 83}, {'\x99', 87},
                        {' ', -1}, {'\n', -1}, {'\x7F', -1}, {'\xB0', -1}};
  for (const Case& c : cases) EXPECT_EQ(MenuTextGlyphIndex(c.c), c.glyph) << int{c.c};
  EXPECT_EQ(MenuTextPrintf(10, 20, "A %d", 9), 3);
  const std::vector<std::string> want = {"Decal 10,20-18,28 tex 8 st 0,104-8,112",
                                         "Decal 26,20-34,28 tex 8 st 192,96-200,104"};
  EXPECT_EQ(PageCallsStarting("Decal"), want);
  gPageCalls.clear();
  EXPECT_EQ(MenuTextPrintfCentred(50, "%s", "ABCD"), 4);
  EXPECT_EQ(PageCallsStarting("Decal").front().substr(0, 16), "Decal 304,50-312");
}

TEST_F(MenuIconsTest, TextLongerThanTheBufferIsCut) {
  const std::string longText(1000, 'B');
  EXPECT_EQ(MenuTextPrintf(0, 0, "%s", longText.c_str()), MENU_TEXT_BUFFER - 1);
  EXPECT_EQ(PageCallsStarting("Decal").size(), size_t{MENU_TEXT_BUFFER - 1});
}

TEST_F(MenuIconsTest, PointerAndBackgroundDrawOnlyWhatIsThere) {
  gMenu.cursorX = 30;
  gMenu.cursorY = 200;
  MenuIconBar();
  EXPECT_EQ(PageCallsStarting("Decal").back(), "Decal 30,200-50,240 tex 3 st 224,192-254,254");
  MenuDrawBackground();
  EXPECT_TRUE(PageCallsStarting("Background").empty());
  uint16_t picture[4] = {};
  gMenu.background = picture;
  MenuDrawBackground();
  EXPECT_EQ(PageCallsStarting("Background").size(), 1u);
  gMenu.background = nullptr;
  // A menu that failed to load its textures draws none of their quads.
  gMenu.iconTexture[0] = gMenu.iconTexture[1] = gMenu.fontEntry[1] = -1;
  gPageCalls.clear();
  MenuIconBar();
  MenuTextPrintf(0, 0, "ABC");
  EXPECT_TRUE(PageCallsStarting("Decal").empty());
}

TEST_F(MenuIconsTest, NoScratchRoomNoQuad) {
  MeshPoolFreeVertices();
  MeshPoolFreeFaces();
  MenuTextPrintf(0, 0, "ABC");
  MenuDrawIcon(0, 3);
  EXPECT_TRUE(PageCallsStarting("Decal").empty());
}

TEST_F(MenuIconsTest, ADrumDrawsARingACharacterTurnedToItsGlyph) {
  MenuBuildDrumRing();
  // The menu camera: the rings stand 500 deep, inside the objects' depth range.
  MenuSetCamera();
  MenuDrum drum{};
  drum.x = 164;
  drum.y = 341;
  drum.count = 13;
  MenuDrumSetLabelNow(&drum, "B            ");
  gRace.timeStep = 1.0f;
  gMenu.drumRolling = 0;
  MenuDrawDrum(&drum);
  std::vector<std::string> rings = PageCallsStarting("Ring");
  ASSERT_EQ(rings.size(), 13u);
  // 'B' is glyph 1 (odd: faces 0-7 carry it, from the top of its band); a
  // blank is glyph 36 on the second font (even: faces 0-7 carry 37, '/').
  EXPECT_EQ(rings[0], "Ring 164,341 depth 500 pitch 512 tex 2000000 st 32,63");
  EXPECT_EQ(rings[12], "Ring 500,341 depth 500 pitch 18432 tex 2000003 st 160,63");
  EXPECT_EQ(gMenu.drumRolling, 0);
  // Rolling 'B' to 'D': the first frame still shows 'B' and raises the roll flag.
  MenuDrumSetLabel(&drum, "D            ");
  gPageCalls.clear();
  MenuDrawDrum(&drum);
  EXPECT_EQ(PageCallsStarting("Ring")[0], "Ring 164,341 depth 500 pitch 512 tex 2000000 st 32,63");
  EXPECT_EQ(gMenu.drumRolling, 1);
  for (int frame = 0; frame < 12; ++frame) MenuDrawDrum(&drum);
  gPageCalls.clear();
  MenuDrawDrum(&drum);
  EXPECT_EQ(PageCallsStarting("Ring")[0], "Ring 164,341 depth 500 pitch 1536 tex 2000000 st 96,63");
  // Without a ring nothing is drawn, and the roll still goes on.
  MenuFreeDrumRing();
  MenuDrumSetLabel(&drum, "A            ");
  gPageCalls.clear();
  MenuDrawDrum(&drum);
  EXPECT_TRUE(PageCallsStarting("Ring").empty());
  EXPECT_LT(drum.chars[0].time, MENU_DRUM_REST_TIME);
  EXPECT_GT(drum.chars[0].time, 0.0f);
}

}  // namespace
