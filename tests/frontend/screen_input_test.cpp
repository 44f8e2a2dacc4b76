// The press-anything poll over scripted keys, buttons and joystick reads,
// and the full-screen scene frame around a split-screen set-up.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "backend_common/display.h"
#include "frontend/frontend.h"
#include "platform/app.h"
#include "race/race.h"
#include "race/vehicle_steps.h"
#include "screens_log.h"
#include "support/test_support.h"

namespace {

constexpr uint8_t SCAN_A = 0x1E;

// The state one poll sees, and what it answers.
struct Poll {
  const char* what;
  uint8_t scan;
  uint32_t mouse;
  uint8_t keyBits;
  int32_t controller;  // player 1's
  uint8_t button1, button2;
  bool readFails;
  bool now;  // MenuPollInputNow
  uint8_t answer;
  int reads;  // device reads by this poll
};

class ScreenInput : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetHalForTest();
    gRace = RaceState{};
    gApp.mouseButtons = 0;
    gApp.keyBits = 0;
    gKeyScanCode = 0;
    gJoyDevice = 3;
    gPlayer1Vehicle->controller = 0;
    gInputScript = ScreenInputScript{};
    MenuPollInputNow();  // nothing held: the latch is clear
    gInputScript = ScreenInputScript{};
  }
  void Run(const std::vector<Poll>& polls) {
    for (const Poll& p : polls) {
      SCOPED_TRACE(p.what);
      gKeyScanCode = p.scan;
      gApp.mouseButtons = p.mouse;
      gApp.keyBits = p.keyBits;
      gPlayer1Vehicle->controller = p.controller;
      gInputScript.button1 = p.button1;
      gInputScript.button2 = p.button2;
      gInputScript.readFails = p.readFails;
      const int reads = gInputScript.reads, pumps = gInputScript.pumps;
      EXPECT_EQ(p.now ? MenuPollInputNow() : MenuPollInput(), p.answer);
      EXPECT_EQ(gInputScript.reads - reads, p.reads);
      EXPECT_EQ(gInputScript.pumps - pumps, 1);  // every poll pumps first
    }
  }
};

TEST_F(ScreenInput, APressAnswersOnceWhateverItCameFrom) {
  Run({
      {"a key goes down", SCAN_A, 0, 0, 0, 0, 0, false, false, 2, 0},
      {"still held", SCAN_A, 0, 0, 0, 0, 0, false, false, 0, 0},
      {"released", 0, 0, 0, 0, 0, 0, false, false, 0, 0},
      {"pressed again", SCAN_A, 0, 0, 0, 0, 0, false, false, 2, 0},
      {"held, asked for what is held now", SCAN_A, 0, 0, 0, 0, 0, false, true, 2, 0},
      {"held after that", SCAN_A, 0, 0, 0, 0, 0, false, false, 0, 0},
      {"released", 0, 0, 0, 0, 0, 0, false, false, 0, 0},
      {"Space", 0, 0, APP_KEY_SPACE, 0, 0, 0, false, false, 2, 0},
      {"Space and Ctrl", 0, 0, APP_KEY_SPACE | APP_KEY_CTRL, 0, 0, 0, false, false, 0, 0},
      {"released", 0, 0, 0, 0, 0, 0, false, false, 0, 0},
      {"an arrow key", 0, 0, APP_KEY_LEFT, 0, 0, 0, false, false, 2, 0},
      {"released", 0, 0, 0, 0, 0, 0, false, false, 0, 0},
      {"the right mouse button", 0, APP_MOUSE_RIGHT, 0, 0, 0, 0, false, false, 2, 0},
      {"released", 0, 0, 0, 0, 0, 0, false, false, 0, 0},
      {"nothing held, asked for now", 0, 0, 0, 0, 0, 0, false, true, 0, 0},
  });
}

TEST_F(ScreenInput, OnlyADevicePlayersJoystickIsReadAndAFailedReadHoldsNothing) {
  Run({
      {"a keyboard player causes no read", 0, 0, 0, 0, 1, 1, false, false, 0, 0},
      {"a mouse player neither", 0, 0, 0, 1, 1, 1, false, false, 0, 0},
      {"a joystick's button 1", 0, 0, 0, 2, 1, 0, false, false, 2, 1},
      {"button 2 while 1 is held", 0, 0, 0, 2, 1, 1, false, false, 0, 1},
      {"the joystick is lost with both down", 0, 0, 0, 2, 1, 1, true, false, 0, 1},
      {"it comes back with button 2 down", 0, 0, 0, 2, 0, 1, false, false, 2, 1},
      {"released", 0, 0, 0, 2, 0, 0, false, false, 0, 1},
      {"a wheel's button 2", 0, 0, 0, 3, 0, 1, false, false, 2, 1},
      {"other buttons count for nothing", 0, 0, 0, 3, 0, 0, false, false, 0, 1},
  });
  EXPECT_EQ(gInputScript.lostChecks, 1);
  EXPECT_EQ(gInputScript.lastDevice, 3);
}

TEST_F(ScreenInput, AFailedReadKeepsNothingOfAButtonThatWasDown) {
  gPlayer1Vehicle->controller = 2;
  gInputScript.button1 = 1;
  EXPECT_EQ(MenuPollInput(), 2);
  // Lost for good: every later poll reads nothing held, so a new key counts.
  gInputScript.readFails = true;
  for (int i = 0; i < 3; ++i) EXPECT_EQ(MenuPollInput(), 0);
  gKeyScanCode = SCAN_A;
  EXPECT_EQ(MenuPollInput(), 2);
  EXPECT_EQ(gInputScript.lostChecks, 3);  // the key answered before the device was asked
}

TEST_F(ScreenInput, InANetworkGameTheLocalRecordsControllerDecides) {
  Vehicle local{};
  local.controller = 2;
  gLocalNetVehicle = &local;
  gRace.networkGame = 2;
  gPlayer1Vehicle->controller = 0;
  gInputScript.button1 = 1;
  EXPECT_EQ(MenuPollInput(), 2);
  EXPECT_EQ(gInputScript.reads, 1);
  gRace.networkGame = 0;  // player 1's keyboard again
  gInputScript.reads = 0;
  EXPECT_EQ(MenuPollInput(), 0);
  EXPECT_EQ(gInputScript.reads, 0);
  gLocalNetVehicle = nullptr;
}

class SceneFrame : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetHalForTest();
    gRace = RaceState{};
    gScreenCalls.clear();
  }
};

TEST_F(SceneFrame, TheScreenIsOneWholeViewAndTheSplitSetUpComesBack) {
  struct Case {
    const char* what;
    int32_t mode;  // display-mode entry
    int32_t clip[4];
    float scale[2];
    int32_t centre[2];
    int32_t viewTop, viewHeight, viewLeft, viewWidth;
    float fullScale[2];
    uint8_t effects;
  };
  const Case cases[] = {
      {"the lower half at 640 x 480", 2, {0, 240, 640, 480}, {250.0f, 125.0f}, {320, 360}, 240, 240, 0, 640,
       {250.0f, 250.0f}, 1},
      {"the right half at 320 x 200", 0, {160, 0, 320, 200}, {62.5f, 104.0f}, {240, 100}, 0, 200, 160, 160,
       {125.0f, 104.0f}, 0},
      {"the upper half at 1024 x 768", 4, {0, 0, 1024, 384}, {400.0f, 200.0f}, {512, 192}, 0, 384, 0, 1024,
       {400.0f, 400.0f}, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(RdrOpen(gDisplayModes[c.mode], 1));
    const int32_t w = gRdrState.screenWidth, h = gRdrState.screenHeight;
    RdrSetClipWindow(c.clip[0], c.clip[1], c.clip[2], c.clip[3]);
    RdrSetProjScale(c.scale[0], c.scale[1]);
    RdrSetProjCentre(c.centre[0], c.centre[1]);
    RdrSetDepthRange(5, 2400);
    gRace.viewTop = c.viewTop;
    gRace.viewHeight = c.viewHeight;
    gRace.viewLeft = c.viewLeft;
    gRace.viewWidth = c.viewWidth;
    gOptions.detail[3] = c.effects;
    gViewInsetPass = 1;
    gRace.insetView = 1;
    gScreenCalls.clear();

    SceneScreenBegin();
    EXPECT_EQ(gRdrState.scaleX, c.fullScale[0]);
    EXPECT_EQ(gRdrState.scaleY, c.fullScale[1]);
    EXPECT_EQ(gRdrState.centreX, static_cast<float>(w / 2));
    EXPECT_EQ(gRdrState.centreY, static_cast<float>(h / 2));
    EXPECT_EQ(gRdrState.clipMinX, 0.0f);
    EXPECT_EQ(gRdrState.clipMinY, 0.0f);
    EXPECT_EQ(gRdrState.clipMaxX, static_cast<float>(w));
    EXPECT_EQ(gRdrState.clipMaxY, static_cast<float>(h));
    EXPECT_EQ(gRdrState.nearPlane, 5.0f);
    EXPECT_EQ(gRdrState.farPlane, 2000.0f);
    EXPECT_EQ(gRace.viewTop, 0);
    EXPECT_EQ(gRace.viewHeight, h);
    EXPECT_EQ(gRace.viewLeft, 0);
    EXPECT_EQ(gRace.viewWidth, w);
    EXPECT_EQ(+gViewInsetPass, 0);
    EXPECT_EQ(gRace.insetView, 1);  // the player's mirror choice stays
    EXPECT_EQ(gScreenCalls, (std::vector<std::string>{"SfxStopAll", "FfbStopAll", "FogOff"}));
    EXPECT_EQ(gSceneScreenSaved.scaleX, c.scale[0]);

    gScreenCalls.clear();
    RdrSetDepthRange(5, 600);
    SceneScreenEnd();
    EXPECT_EQ(gRdrState.clipMinX, static_cast<float>(c.clip[0]));
    EXPECT_EQ(gRdrState.clipMinY, static_cast<float>(c.clip[1]));
    EXPECT_EQ(gRdrState.clipMaxX, static_cast<float>(c.clip[2]));
    EXPECT_EQ(gRdrState.clipMaxY, static_cast<float>(c.clip[3]));
    EXPECT_EQ(gRdrState.scaleX, c.scale[0]);
    EXPECT_EQ(gRdrState.scaleY, c.scale[1]);
    EXPECT_EQ(gRdrState.centreX, static_cast<float>(c.centre[0]));
    EXPECT_EQ(gRdrState.centreY, static_cast<float>(c.centre[1]));
    EXPECT_EQ(gRdrState.farPlane, 1700.0f);  // the race's, not the 2400 it had
    EXPECT_EQ(gRace.viewTop, c.viewTop);
    EXPECT_EQ(gRace.viewHeight, c.viewHeight);
    EXPECT_EQ(gRace.viewLeft, c.viewLeft);
    EXPECT_EQ(gRace.viewWidth, c.viewWidth);
    EXPECT_EQ(gScreenCalls, (std::vector<std::string>{c.effects ? "FogOn" : "FogOff"}));
    RdrClose();
  }
}

}  // namespace
