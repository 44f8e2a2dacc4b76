// The widgets of every menu page: the row stepping, the page chooser and
// runner, the push buttons and drum arrows, the cursor with its idle time,
// and the end of a frame.
#include <string>
#include <vector>

#include "frontend/frontend.h"
#include "frontend/menu_icons.h"
#include "frontend/menu_items.h"
#include "frontend/menu_models.h"
#include "frontend/menu_widgets.h"
#include "hal/clock.h"
#include "page_fixture.h"

namespace {

class MenuWidgetsTest : public PageTest {
 protected:
  void SetUp() override {
    PageTest::SetUp();
    gMenuNetSetup = 0;
    gRace.networkGame = 0;
    gRace.noHumanMode = 0;
    gMenu.pressEdge = 0;
    gMenu.clickSlot = -1;
    gRace.playersMode = 0;
    gRace.gameMode = 1;
  }
};

TEST_F(MenuWidgetsTest, StepItemWrapsBothWaysPassesClosedRowsAndEndsWhenNoneIsOpen) {
  struct Case {
    uint8_t open[4];
    int32_t from, step, to;
  };
  const Case cases[] = {
      {{1, 1, 1, 1}, 3, +1, 0}, {{1, 1, 1, 1}, 0, -1, 3}, {{1, 1, 1, 1}, 1, +1, 2},
      {{1, 0, 1, 0}, 0, +1, 2}, {{1, 0, 1, 0}, 2, +1, 0}, {{1, 0, 1, 0}, 0, -1, 2},
      {{0, 0, 0, 1}, 3, +1, 3},                           // the one open row again
      {{0, 0, 0, 0}, 1, +1, 1}, {{0, 0, 0, 0}, 1, -1, 1},  // none open: one round, unchanged
  };
  for (const Case& c : cases) {
    for (int i = 0; i < 4; ++i) gMenuItems[static_cast<size_t>(MENU_ROW_DETAIL + i)].enabled = c.open[i];
    int32_t value = c.from;
    MenuStepItem(MENU_ROW_DETAIL, &value, c.step, 4);
    EXPECT_EQ(value, c.to) << c.from << " " << c.step << " " << int{c.open[0]} << int{c.open[1]} << int{c.open[2]}
                           << int{c.open[3]};
  }
  for (int i = 0; i < 4; ++i) gMenuItems[static_cast<size_t>(MENU_ROW_DETAIL + i)].enabled = 1;
}

TEST_F(MenuWidgetsTest, CategoryPageAndPageRunner) {
  struct Choice {
    int32_t category, value, players, action;
  };
  const Choice choices[] = {{0, 0, 0, 0},  {1, 0, 0, 3},  {1, 1, 0, 7},  {2, 0, 0, 0},  {3, 0, 1, 0},
                            {3, 0, 2, 11}, {4, 0, 0, 4},  {4, 1, 0, 5},  {4, 2, 0, 6},  {5, 1, 0, 0}};
  for (const Choice& c : choices) {
    gMenu.category = c.category;
    gMenu.vehicleValue = gMenu.optionValue = gMenu.saveValue = c.value;
    gRace.playersMode = c.players;
    EXPECT_EQ(MenuCategoryPage(), c.action) << c.category << " " << c.value << " " << c.players;
  }
  gRace.playersMode = 0;
  struct Run {
    int32_t action, stage, network;
    const char* page;
  };
  const Run runs[] = {{3, 0, 0, "Page vehicle"},    {4, 0, 0, "Page graphics"},  {6, 0, 0, "Page controls"},
                      {7, 0, 0, "Page kitcar"},     {11, 0, 0, "Page connection"}, {11, 1, 1, "Page netgame"},
                      {11, 2, 2, "Page waiting 2"}, {11, 2, 3, "Page waiting 3"}, {5, 0, 0, "Page refresh 1"},
                      {12, 0, 0, "Page refresh 1"}, {0, 0, 0, "Page refresh 1"}};
  for (const Run& r : runs) {
    gMenuNetSetup = r.stage;
    gRace.networkGame = r.network;
    gPageCalls.clear();
    MenuRunPage(r.action);
    EXPECT_EQ(PageCallsStarting("Page"), std::vector<std::string>{r.page}) << r.action << " " << r.stage;
  }
}

TEST_F(MenuWidgetsTest, ButtonsAnswerInsideTheirHalfOpenRectanglesOnThePressEdge) {
  struct Case {
    int32_t kind, x, y, cursorX, cursorY;
    uint8_t edge;
    int32_t result;
  };
  // The start button at (316, 445), 50 x 50 each side: x 266..365, y 395..494.
  // The value arrows at (88, 341), 17 x 36: x 71..121 (twice as far right), y 305..376.
  const Case cases[] = {
      {1, 316, 445, 266, 446, 1, +1}, {1, 316, 445, 365, 494, 1, +1}, {1, 316, 445, 265, 446, 1, 0},
      {1, 316, 445, 366, 446, 1, 0},  {1, 316, 445, 300, 395, 1, -1}, {1, 316, 445, 300, 394, 1, 0},
      {1, 316, 445, 300, 495, 1, 0},  {1, 316, 445, 300, 445, 1, -1}, {1, 316, 445, 300, 500, 0, 0},
      {1, 316, 445, 300, 450, 0, 0},  {0, 88, 341, 71, 342, 1, +1},   {0, 88, 341, 121, 305, 1, -1},
      {0, 88, 341, 122, 342, 1, 0},   {0, 88, 341, 70, 342, 1, 0},    {0, 88, 341, 100, 376, 1, +1},
      {0, 88, 341, 100, 377, 1, 0},   {0, 88, 341, 100, 341, 1, -1},
  };
  for (const Case& c : cases) {
    MenuButtonState state{MENU_BUTTON_REST_ANGLE, MENU_BUTTON_REST_ANGLE, MENU_BUTTON_REST_ANGLE, 0.0f};
    gMenu.cursorX = c.cursorX;
    gMenu.cursorY = c.cursorY;
    gMenu.pressEdge = c.edge;
    gPageCalls.clear();
    EXPECT_EQ(MenuButton(c.x, c.y, c.kind ? 50 : 17, c.kind ? 50 : 36, c.kind, &state), c.result)
        << c.kind << " at " << c.cursorX << "," << c.cursorY << " edge " << int{c.edge};
    const std::vector<std::string> click = {c.kind ? "Play 31 -1000" : "Play 36 -1000"};
    EXPECT_EQ(PageCallsStarting("Play"), c.result ? click : std::vector<std::string>{});
    EXPECT_EQ(state.time, c.result ? 1.0f : 0.0f);
  }
}

TEST_F(MenuWidgetsTest, ThePressAnimationRunsItsPhaseEndsAndDoesNotRestart) {
  MenuLoadModels();
  ASSERT_NE(gMenuModels.arrows, nullptr);
  MenuButtonState& arrows = gMenuButtons[1];
  gMenu.cursorX = 90;
  gMenu.cursorY = 350;  // below the middle: the lower arrow
  gMenu.pressEdge = 1;
  gMenu.clickSlot = 31;
  ASSERT_EQ(MenuButton(88, 341, 17, 36, MENU_BUTTON_ARROWS, &arrows), 1);
  EXPECT_EQ(PageCallsStarting("Stop"), std::vector<std::string>{"Stop 31"});  // the previous click
  EXPECT_EQ(gMenu.clickSlot, 36);
  EXPECT_EQ(arrows.start, -256.0f);
  EXPECT_EQ(arrows.target, -406.0f);
  // 40 a frame at 25 frames a second: the phase climbs to 100 and back.
  gMenu.pressEdge = 0;
  const float phases[] = {41.0f, 81.0f, 79.0f, 39.0f};
  for (float phase : phases) {
    gPageCalls.clear();
    MenuButton(88, 341, 17, 36, MENU_BUTTON_ARROWS, &arrows);
    EXPECT_FLOAT_EQ(arrows.angle, -256.0f - 150.0f * phase * 0.01f) << phase;
    const auto drawn = PageCallsStarting("Arrows 88,341");
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_NE(drawn[0].find(" pitch " + std::to_string(static_cast<uint16_t>(static_cast<int32_t>(arrows.angle))) + " "),
              std::string::npos)
        << drawn[0];
    // A press while it runs answers and clicks, but starts nothing new.
    if (phase == 81.0f) {
      gMenu.pressEdge = 1;
      gMenu.cursorY = 320;
      EXPECT_EQ(MenuButton(88, 341, 17, 36, MENU_BUTTON_ARROWS, &arrows), -1);
      EXPECT_EQ(arrows.target, -406.0f);
      gMenu.pressEdge = 0;
      arrows.time -= 40.0f;  // that call moved it on a frame as well
    }
  }
  MenuButton(88, 341, 17, 36, MENU_BUTTON_ARROWS, &arrows);  // past 200: the end
  EXPECT_EQ(arrows.time, 0.0f);
  EXPECT_EQ(arrows.angle, MENU_BUTTON_REST_ANGLE);
  // At twice the time step the press takes half the frames.
  gRace.timeStep = 2.0f;
  gMenu.pressEdge = 1;
  MenuButton(88, 341, 17, 36, MENU_BUTTON_ARROWS, &arrows);
  gMenu.pressEdge = 0;
  MenuButton(88, 341, 17, 36, MENU_BUTTON_ARROWS, &arrows);
  EXPECT_EQ(arrows.time, 81.0f);

  // The push button shows its press between its two key frames.
  MenuButtonState& start = gMenuButtons[3];
  gRace.timeStep = 1.0f;
  gMenu.cursorX = 316;
  gMenu.cursorY = 445;
  // A vertex the press moves.
  const MeshFrame* frames = gMenuModels.buttonFrames->frames;
  uint32_t moved = 0;
  while (moved < gMenuModels.button->vertexCount && frames[0].vertices[moved].y == frames[1].vertices[moved].y) ++moved;
  ASSERT_LT(moved, gMenuModels.button->vertexCount);
  const float restY = frames[0].vertices[moved].y, pressedY = frames[1].vertices[moved].y;
  gMenu.pressEdge = 1;
  MenuButton(316, 445, 50, 50, MENU_BUTTON_PUSH, &start);
  gMenu.pressEdge = 0;
  MenuButton(316, 445, 50, 50, MENU_BUTTON_PUSH, &start);
  MenuButton(316, 445, 50, 50, MENU_BUTTON_PUSH, &start);
  EXPECT_NEAR(gMenuModels.button->vertices[moved].y, restY + (pressedY - restY) * 0.81f, 0.01f);
  EXPECT_EQ(PageCallsStarting("Button 316,445").size(), 3u);
  MenuFreeModels();
}

TEST_F(MenuWidgetsTest, TheCursorFollowsTheArrowKeysAndEnterIsTheButton) {
  Script("f1000000 end\n");
  AppSetCursor(100, 100);
  gApp.keyBits = APP_KEY_RIGHT | APP_KEY_DOWN;
  MenuUpdateCursor();
  EXPECT_EQ(gMenu.cursorX, 130);
  EXPECT_EQ(gMenu.cursorY, 130);
  gRace.timeStep = 2.0f;
  gApp.keyBits = APP_KEY_LEFT | APP_KEY_UP;
  MenuUpdateCursor();
  EXPECT_EQ(gMenu.cursorX, 70);
  EXPECT_EQ(gMenu.cursorY, 70);
  gApp.keyBits = 0;
  // Enter, as the left button: the press edge in its first frame only.
  gKeyScanCode = MENU_SCAN_ENTER;
  MenuUpdateCursor();
  EXPECT_EQ(gMenu.pressEdge, 1);
  MenuUpdateCursor();
  EXPECT_EQ(gMenu.pressEdge, 0);
  gKeyScanCode = 0;
  MenuUpdateCursor();
  EXPECT_EQ(gMenu.pressEdge, 0);
  gApp.mouseButtons = APP_MOUSE_LEFT;
  MenuUpdateCursor();
  EXPECT_EQ(gMenu.pressEdge, 1);
  gApp.mouseButtons = 0;
}

TEST_F(MenuWidgetsTest, TwentySecondsWithoutInputAskForTheAttractDemo) {
  Script("f1000000 end\n");
  MenuUpdateCursor();
  // The clock moves 1 ms a reading: the frame's own readings take it past.
  AppTimerSet(MENU_IDLE_TIMER, 19990);
  MenuFrameBegin();
  EXPECT_EQ(gRace.noHumanMode, 0);
  AppTimerSet(MENU_IDLE_TIMER, 20000);
  MenuFrameBegin();
  EXPECT_EQ(gRace.noHumanMode, MENU_DEMO_ATTRACT);
  // Nothing held: the request stands.
  MenuUpdateCursor();
  EXPECT_EQ(gRace.noHumanMode, MENU_DEMO_ATTRACT);
  // Any input restarts the wait and drops the request.
  struct Input {
    int32_t move;
    uint32_t buttons;
    uint8_t keys, scan;
  };
  const Input inputs[] = {{1, 0, 0, 0}, {0, APP_MOUSE_RIGHT, 0, 0}, {0, 0, APP_KEY_CTRL, 0}, {0, 0, 0, 30}};
  for (const Input& in : inputs) {
    gRace.noHumanMode = MENU_DEMO_ATTRACT;
    AppTimerSet(MENU_IDLE_TIMER, 20500);
    AppSetCursor(gApp.cursorX + in.move, gApp.cursorY);
    gApp.mouseButtons = in.buttons;
    gApp.keyBits = in.keys;
    gKeyScanCode = in.scan;
    MenuUpdateCursor();
    EXPECT_EQ(gRace.noHumanMode, 0);
    EXPECT_LT(AppTimerElapsed(MENU_IDLE_TIMER), 10u);
  }
  gApp.mouseButtons = 0;
  gApp.keyBits = 0;
  gKeyScanCode = 0;
  // In a network game the wait never runs out.
  gRace.networkGame = 2;
  AppTimerSet(MENU_IDLE_TIMER, 60000);
  MenuFrameBegin();
  EXPECT_EQ(gRace.noHumanMode, 0);
  gRace.networkGame = 0;
}

TEST_F(MenuWidgetsTest, FrameEndSoundsFadesAndOpensAClickedIconsCategory) {
  Script("f1000000 end\n");
  gMenu.fade = 255.0f;
  gMenu.ambienceSlot = 33;
  gMenu.rollSlot = -1;
  gMenu.drumRolling = 1;
  gMenu.cursorX = gMenu.cursorY = 300;
  EXPECT_EQ(MenuFrameEnd(1), -1);
  EXPECT_EQ(PageCallsStarting("Loop"), std::vector<std::string>{"Loop 32 -1500"});
  EXPECT_EQ(PageCallsStarting("Shade"), std::vector<std::string>{"Shade 0,0-640,480 alpha 255"});
  EXPECT_EQ(PageCallsStarting("Swap").size(), 1u);
  // Lowered by 15 a frame at 25 frames a second (the clock's time step).
  EXPECT_FLOAT_EQ(gMenu.fade, 255.0f - 15.0f * gRace.timeStep);
  // Rolling on: no second loop; the roll over: stopped. The ambience's start
  // has ended: its loop takes the slot.
  gPageCalls.clear();
  MenuFrameEnd(0);
  gMenu.drumRolling = 0;
  gPageCallOptions.slotFinished = 1;
  MenuFrameEnd(0);
  EXPECT_EQ(PageCallsStartingAny({"Loop", "Stop"}), (std::vector<std::string>{"Loop 34 -1500", "Stop 32"}));
  EXPECT_EQ(gMenu.ambienceSlot, 34);
  EXPECT_EQ(PageCallsStarting("Swap").size(), 0u);
  gPageCallOptions.slotFinished = 0;
  for (int i = 0; i < 100 && gMenu.fade > 0.0f; ++i) MenuFrameEnd(0);
  gPageCalls.clear();
  MenuFrameEnd(0);
  EXPECT_TRUE(PageCallsStarting("Shade").empty());

  struct Click {
    int32_t slot, category, optionValue;
  };
  const Click clicks[] = {{0, 0, 1}, {2, 2, 1}, {4, 4, 0}, {5, 4, 2}, {6, 5, 2}, {1, 1, 2}, {3, 3, 2}};
  gMenu.optionValue = 1;
  for (const Click& c : clicks) {
    gMenu.cursorX = 100 + 60 * c.slot;
    gMenu.cursorY = 40;
    gMenu.pressEdge = 1;
    EXPECT_EQ(MenuFrameEnd(0), c.slot);
    EXPECT_EQ(gMenu.category, c.category);
    EXPECT_EQ(gMenu.optionValue, c.optionValue);
    EXPECT_EQ(std::string(gMenuCategoryDrum.label, 13), gMenuItems[static_cast<size_t>(10 + c.category)].label);
  }
  gMenu.pressEdge = 0;
}

}  // namespace
