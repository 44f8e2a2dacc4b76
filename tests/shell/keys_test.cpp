#include "fakes.h"
#include "frontend/frontend.h"
#include "net/net.h"
#include "platform/app.h"
#include "shell/game.h"
#include "race/race.h"
#include "support/test_support.h"

namespace {

class Keys : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetHalForTest(100, 1);
    AppResetForTest();
    ResetFakes();
    ASSERT_EQ(AppCreateWindow(1, 0, 1), 1);
    AppPumpMessages();
  }
  void TearDown() override { HalResetForTest(); }

  void Key(uint32_t message, uint32_t vk) {
    HalPostMessage(gApp.window, message, vk, 0);
    AppPumpMessages();
  }
  // One race frame's reading of the keys.
  void Frame() { GameHotkeys(); }
};

TEST_F(Keys, AHeldKeyActsOnceUntilReleased) {
  Key(HAL_WM_KEYDOWN, HAL_VK_F1);
  for (int i = 0; i < 10; ++i) Frame();
  EXPECT_EQ(gPlayer1.viewRequest, 1);
  Key(HAL_WM_KEYUP, HAL_VK_F1);
  Frame();  // a frame without the key frees the latch
  Key(HAL_WM_KEYDOWN, HAL_VK_F1);
  Frame();
  EXPECT_EQ(gPlayer1.viewRequest, 2);
  Key(HAL_WM_KEYUP, HAL_VK_F1);
  Frame();
  Key(HAL_WM_KEYDOWN, HAL_VK_F1);
  Frame();
  EXPECT_EQ(gPlayer1.viewRequest, 0);  // 2 wraps to 0
  EXPECT_EQ(gFakes.trace, (std::vector<std::string>(3, "SfxCommitListener")));
}

TEST_F(Keys, EachToggleKeyAndTheSplitScreenRules) {
  struct Case {
    uint32_t vk;
    int32_t playersMode;
    int32_t RaceState::*field;
    int32_t expected;
  } cases[] = {
      {HAL_VK_F1 + 1, 0, &RaceState::insetView, 1},        // F2
      {HAL_VK_F1 + 1, 1, &RaceState::insetView, 0},        // F2 does nothing on a split screen
      {HAL_VK_F1 + 2, 0, &RaceState::hudText, 0},          // F3
      {HAL_VK_F1 + 3, 1, &RaceState::gauges, 0},           // F4
      {HAL_VK_F1 + 4, 1, &RaceState::splitSideBySide, 1},  // F5
      {HAL_VK_F1 + 4, 0, &RaceState::splitSideBySide, 0},  // F5 only on a split screen
  };
  for (const Case& c : cases) {
    gRace = RaceState{};
    gRace.hudText = gRace.gauges = 1;
    gRace.playersMode = c.playersMode;
    gGameKeyLatch[0] = gGameKeyLatch[1] = 0;
    Key(HAL_WM_KEYDOWN, c.vk);
    Frame();
    Frame();
    EXPECT_EQ(gRace.*c.field, c.expected) << std::hex << c.vk << " players " << c.playersMode;
    Key(HAL_WM_KEYUP, c.vk);
  }
}

TEST_F(Keys, SecondPlayerCyclesWithF9AndTheJoystickButton) {
  gRace.playersMode = 1;
  Key(HAL_WM_KEYDOWN, HAL_VK_F1 + 8);  // F9
  Frame();
  EXPECT_EQ(gPlayer1.viewRequest, 0);
  EXPECT_EQ(gPlayer2Vehicle->viewRequest, 1);
  Key(HAL_WM_KEYUP, HAL_VK_F1 + 8);
  Frame();

  gPlayer2Vehicle->controller = 3;  // a wheel
  gJoyButton2 = 1;
  Frame();
  Frame();
  EXPECT_EQ(gPlayer2Vehicle->viewRequest, 2);
  gPlayer2Vehicle->finished = 1;  // a vehicle that has finished takes no keys
  gJoyButton2 = 0;
  Frame();
  gJoyButton2 = 1;
  Frame();
  EXPECT_EQ(gPlayer2Vehicle->viewRequest, 2);
}

TEST_F(Keys, EscLeavesANetworkRaceAfterClosingTheSession) {
  gRace.networkGame = 1;
  gRace.playersMode = 2;
  gMenuNetSetup = 5;
  Key(HAL_WM_KEYDOWN, HAL_VK_ESCAPE);
  EXPECT_EQ(GamePauseOrAbort(), 1);
  EXPECT_EQ(gRace.playersMode, 0);
  EXPECT_EQ(gMenuNetworkLeft, 1);
  EXPECT_EQ(gMenuNetSetup, 0);
  EXPECT_EQ(gFakes.trace, (std::vector<std::string>{"PlayersLabel", "NetShutdown"}));

  Key(HAL_WM_KEYDOWN, 'P');  // no pause in a network game
  EXPECT_EQ(GamePauseOrAbort(), 0);
  EXPECT_FALSE(gFakes.Saw("SfxStopAll"));
}

TEST_F(Keys, PauseFreezesEveryTimerUntilAnyKey) {
  std::string error;
  ASSERT_TRUE(HalScriptLoad("+100 up P\n+10000 press A\n+600000 end\n", &error)) << error;
  Key(HAL_WM_KEYDOWN, 'P');
  AppTimerSet(1, 20000);  // the race clock
  uint32_t before = HalTimePeek();
  EXPECT_EQ(GamePauseOrAbort(), 0);
  EXPECT_GE(HalTimePeek() - before, 10000u);
  EXPECT_LT(AppTimerElapsed(1), 20100u);  // every clock reading of the restore moves it on by 1 ms
  EXPECT_GE(AppTimerElapsed(1), 20000u);
  EXPECT_EQ(gFakes.trace, (std::vector<std::string>{"SfxStopAll", "DecorStartAmbientSound"}));
}

TEST_F(Keys, FatalErrorWaitsForAHeldKeyThenShowsTheMessage) {
  Key(HAL_WM_KEYDOWN, 'A');  // held from before the error
  std::string error;
  ASSERT_TRUE(HalScriptLoad("+50 up A\n+50 press B\n+600000 end\n", &error)) << error;
  GameFatalErrorScreen("NO FREE MALLOC");
  EXPECT_EQ(gKeyScanCode, 0);
  ASSERT_TRUE(gFakes.Saw("Print:TALVEROS ERROR... NO FREE MALLOC"));
  EXPECT_FALSE(gFakes.Saw("Print:TALVEROS ERROR... NO FREE MALLOC (key down)"));
  EXPECT_EQ(gFakes.trace.front(), "RdrClear(0,0,0)");
}

TEST_F(Keys, NumberScreenIsGreen) {
  std::string error;
  ASSERT_TRUE(HalScriptLoad("+50 press B\n+600000 end\n", &error)) << error;
  GameShowNumberScreen(1234);
  EXPECT_EQ(gFakes.trace, (std::vector<std::string>{"RdrClear(0,255,0)", "Print:1234", "Swap"}));
}

}  // namespace
