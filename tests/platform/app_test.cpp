#include "platform/app.h"

#include <cstring>

#include "support/test_support.h"

namespace {

class AppFrame : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetHalForTest(5000);
    AppResetForTest();
  }
  void TearDown() override { HalResetForTest(); }

  void OpenWindow() {
    ASSERT_EQ(AppCreateWindow(1, 0, 1), 1);
    AppPumpMessages();  // the activation
  }
  void Key(uint32_t message, uint32_t vk) {
    HalPostMessage(gApp.window, message, vk, 0);
    AppPumpMessages();
  }
};

TEST_F(AppFrame, TimersSurviveTheClockWrap) {
  HalClockSet(0xFFFFFF00u);
  AppTimerStart(5);
  HalClockAdvance(0x180);
  EXPECT_EQ(AppTimerElapsed(5), 0x180u);
  AppTimerSet(7, 1234);
  EXPECT_EQ(AppTimerElapsed(7), 1234u);
}

TEST_F(AppFrame, PauseFreezesEverySlotAndOnlyTheFlagTakesTheFrameClock) {
  AppTimerSet(1, 20000);
  AppTimerSet(APP_FRAME_TIMER, 7);
  AppPauseTimers(1);
  HalClockAdvance(10000);  // a ten-second pause
  AppResumeTimers(1);
  EXPECT_EQ(AppTimerElapsed(1), 20000u);
  EXPECT_EQ(AppTimerElapsed(APP_FRAME_TIMER), 7u);

  AppPauseTimers(0);
  HalClockAdvance(500);
  AppResumeTimers(0);
  EXPECT_EQ(AppTimerElapsed(1), 20000u);
  EXPECT_EQ(AppTimerElapsed(APP_FRAME_TIMER), 507u);

  AppTimerSet(3, 1);
  AppSaveTimerRange(4, 3);  // empty range
  AppRestoreTimerRange(4, 3);
  EXPECT_EQ(AppTimerElapsed(3), 1u);
}

TEST_F(AppFrame, PumpDispatchesAtMostAHundredMessages) {
  OpenWindow();
  for (int i = 0; i < 150; ++i) HalPostMessage(gApp.window, HAL_WM_LBUTTONDOWN, 0, 0);
  AppPumpMessages();
  EXPECT_EQ(HalQueueLength(), 50u);
  AppPumpMessages();
  EXPECT_EQ(HalQueueLength(), 0u);
}

TEST_F(AppFrame, QuitEndsTheProcessInsideItsOnePump) {
  OpenWindow();
  try {
    AppQuit();
    FAIL() << "AppQuit returned";
  } catch (const ExitCalled& e) {
    EXPECT_EQ(e.code, 0);
  }
  EXPECT_EQ(HalWindowHandle(), 0u);
}

TEST_F(AppFrame, TheWindowCannotBeCreatedTwice) {
  ASSERT_NE(HalWindowCreate("other", nullptr), 0u);  // the one window is taken
  EXPECT_EQ(AppCreateWindow(1, 0, 1), 0);
}

TEST_F(AppFrame, KeyTableRows) {
  struct Row {
    uint32_t vk;
    uint8_t scan, ch;
  } rows[] = {
      {0x08, 14, 100}, {0x09, 15, 0},   {0x0D, 28, 101}, {0x14, 58, 0},   {0x1B, 1, 0},    {0x20, 57, ' '},
      {0x21, 201, 0},  {0x22, 209, 0},  {0x23, 207, 0},  {0x24, 199, 0},  {0x25, 203, 0},  {0x28, 208, 0},
      {0x2D, 210, 0},  {0x2E, 211, 0},  {'0', 11, '0'},  {'1', 2, '1'},   {'9', 10, '9'},  {'A', 16, 'A'},
      {'P', 25, 'P'},  {'Q', 30, 'Q'},  {'V', 47, 'V'},  {'W', 44, 'W'},  {'Z', 17, 'Z'},  {'M', 39, 'M'},
      {0x60, 82, '0'}, {0x61, 79, '1'}, {0x69, 73, '9'}, {0x6A, 55, 0},   {0x6B, 78, 0},   {0x6D, 74, 0},
      {0x6F, 181, 0},  {0x70, 59, 0},   {0x79, 68, 0},   {0x7A, 87, 0},   {0x7B, 88, 0},   {0x90, 69, 0},
      {0xA0, 42, 0},   {0xA1, 54, 0},   {0xA2, 29, 0},   {0xA3, 157, 0},  {0xBA, 27, 0},   {0xBB, 13, 0},
      {0xBC, 50, 0},   {0xBE, 51, '.'}, {0xBF, 52, '/'}, {0xC0, 40, 0},   {0xDB, 12, 0},   {0xDC, 43, 0},
      {0xDD, 26, 0},   {0xDE, 41, 0},   {0xDF, 53, 0},   {0xE2, 86, 0},   {0x10, 0, 0},    {0xBD, 0, 0},
      {0xFF, 0, 0},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(KEY_TABLE[r.vk].scanCode, r.scan) << std::hex << r.vk;
    EXPECT_EQ(KEY_TABLE[r.vk].character, r.ch) << std::hex << r.vk;
  }
}

TEST_F(AppFrame, ReleasingAnOlderKeyKeepsTheNewerOne) {
  OpenWindow();
  Key(HAL_WM_KEYDOWN, 'A');
  EXPECT_EQ(gKeyScanCode, 16);
  EXPECT_EQ(AppLastKeyChar(), 'A');
  Key(HAL_WM_KEYDOWN, 'Z');
  Key(HAL_WM_KEYUP, 'A');
  EXPECT_EQ(gKeyScanCode, 17);
  EXPECT_EQ(AppLastKeyChar(), 0);  // any release forgets the last key
  Key(HAL_WM_KEYUP, 'Z');
  EXPECT_EQ(gKeyScanCode, 0);
}

TEST_F(AppFrame, ArrowsCtrlAndSpaceAreBitsNotTheCurrentKey) {
  OpenWindow();
  Key(HAL_WM_KEYDOWN, 'P');
  for (uint32_t vk : {0x25u, 0x26u, 0x27u, 0x28u, 0x11u, 0x20u}) Key(HAL_WM_KEYDOWN, vk);
  EXPECT_EQ(gApp.keyBits, 0x3F);
  EXPECT_EQ(gKeyScanCode, 25);
  Key(HAL_WM_KEYUP, 0x26);
  Key(HAL_WM_KEYUP, 0x20);
  EXPECT_EQ(gApp.keyBits, APP_KEY_DOWN | APP_KEY_RIGHT | APP_KEY_LEFT | APP_KEY_CTRL);
  EXPECT_EQ(gKeyScanCode, 25);
}

TEST_F(AppFrame, SystemKeysAndMenusAreSwallowed) {
  OpenWindow();
  for (uint32_t m : {HAL_WM_SYSKEYDOWN, HAL_WM_SYSCOMMAND, HAL_WM_COMMAND, HAL_WM_NOTIFY}) {
    HalPostMessage(gApp.window, m, 'A', 0);
    AppPumpMessages();
  }
  EXPECT_EQ(gKeyScanCode, 0);
  EXPECT_NE(HalWindowHandle(), 0u);
}

TEST_F(AppFrame, MouseButtons) {
  OpenWindow();
  Key(HAL_WM_LBUTTONDBLCLK, 0);
  Key(HAL_WM_RBUTTONDOWN, 0);
  EXPECT_EQ(gApp.mouseButtons, APP_MOUSE_LEFT | APP_MOUSE_RIGHT);
  Key(HAL_WM_LBUTTONUP, 0);
  EXPECT_EQ(gApp.mouseButtons, APP_MOUSE_RIGHT);
}

TEST_F(AppFrame, CursorIsClampedAndIgnoredWhileInactive) {
  OpenWindow();
  AppSetCursor(-5, 700);
  EXPECT_EQ(gApp.cursorX, 0);
  EXPECT_EQ(gApp.cursorY, 479);
  HalSetCursorPos(800, 600);
  AppReadCursor();
  EXPECT_EQ(gApp.cursorX, 639);
  EXPECT_EQ(gApp.cursorY, 479);
  HalSetCursorPos(-3, 10);
  AppReadCursor();
  EXPECT_EQ(gApp.cursorX, -3);  // no lower bound when reading

  Key(HAL_WM_ACTIVATEAPP, 0);
  AppSetCursor(100, 100);
  AppReadCursor();
  EXPECT_EQ(gApp.cursorX, -3);
  int32_t x, y;
  HalGetCursorPos(&x, &y);
  EXPECT_EQ(x, -3);
}

void OneMillisecondPerPoll() { HalClockAdvance(1); }

TEST_F(AppFrame, FrameWaitHoldsFramesToAtLeast25Ms) {
  AppTimerStart(APP_FRAME_TIMER);
  HalClockAdvance(40);  // a 40 ms frame returns at once
  EXPECT_FLOAT_EQ(AppFrameWait(), 25.0f);

  HalAddPollHook(OneMillisecondPerPoll);  // time passes while the wait pumps
  AppTimerStart(APP_FRAME_TIMER);
  HalClockAdvance(10);  // a 10 ms frame waits for the rest
  uint32_t before = HalTimePeek();
  EXPECT_FLOAT_EQ(AppFrameWait(), 40.0f);
  EXPECT_EQ(HalTimePeek() - before, 15u);
  EXPECT_FLOAT_EQ(gApp.frameRate, 40.0f);
}

int gNotified;
void CountNotify() { ++gNotified; }

TEST_F(AppFrame, OnlySuccessfulMciNotificationsReachTheRoutine) {
  OpenWindow();
  gNotified = 0;
  HalPostMessage(gApp.window, HAL_MM_MCINOTIFY, HAL_MCI_NOTIFY_SUCCESSFUL, 0);
  AppPumpMessages();  // no routine yet
  AppSetMciNotifyHandler(CountNotify);
  HalPostMessage(gApp.window, HAL_MM_MCINOTIFY, HAL_MCI_NOTIFY_SUCCESSFUL, 0);
  HalPostMessage(gApp.window, HAL_MM_MCINOTIFY, 4, 0);  // failure or abort
  AppPumpMessages();
  EXPECT_EQ(gNotified, 1);
}

TEST_F(AppFrame, DateLabelIsMonthDayYear) {
  ::setenv("TZ", "UTC", 1);
  ::tzset();
  char label[APP_DATE_BYTES];
  HalCalendarOverride(946598400);  // 1999-12-31 UTC
  AppFormatDate(label);
  EXPECT_STREQ(label, "12-31-1999");
  HalCalendarOverride(949363200);  // 2000-02-01 UTC
  AppFormatDate(label);
  EXPECT_STREQ(label, "2-1-2000");
  HalCalendarOverride(0);
}

TEST_F(AppFrame, VideoOpenFailsCleanly) {
  EXPECT_EQ(AppPlayVideo("logo.avi", 0, 0, 0, 0), 1);
  EXPECT_EQ(AppIsVideoPlaying(), 0);
  AppCloseVideo();
}

TEST(FatalError, GoesToTheHookOrElseToStandardError) {
  GameSetFatalErrorHook(nullptr);
  testing::internal::CaptureStderr();
  GameFatalError("NO FREE MALLOC");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "TALVEROS ERROR... NO FREE MALLOC\n");

  RecordFatalErrors();
  testing::internal::CaptureStderr();
  GameFatalError("track\\gone.3df");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(gFatalErrors, std::vector<std::string>{"track\\gone.3df"});
  GameSetFatalErrorHook(nullptr);
}

TEST(FatalError, TheNumberScreenAndTheQuitGoToTheirHooks) {
  ResetHalForTest();
  GameSetShowNumberHook(nullptr);
  GameSetQuitHook(nullptr);
  testing::internal::CaptureStderr();
  GameShowNumber(-17);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "-17\n");
  // Before the shell is there to quit, the process ends as a failure.
  try {
    GameFatalQuit();
    ADD_FAILURE() << "GameFatalQuit returned";
  } catch (const ExitCalled& e) {
    EXPECT_EQ(e.code, 1);
  }

  static std::vector<std::string> seen;
  seen.clear();
  GameSetShowNumberHook([](int32_t n) { seen.push_back("number " + std::to_string(n)); });
  GameSetQuitHook([] { seen.push_back("quit"); });  // a hook that returns still ends the process
  testing::internal::CaptureStderr();
  GameShowNumber(42);
  EXPECT_THROW(GameFatalQuit(), ExitCalled);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(seen, (std::vector<std::string>{"number 42", "quit"}));
  GameSetShowNumberHook(nullptr);
  GameSetQuitHook(nullptr);
}

TEST(AppBoard, MemoryByBoardType) {
  struct Row {
    int32_t type, mb, result;
  } rows[] = {{0, 8, 8}, {1, 4, 4}, {3, 12, 12}, {2, 8, 2}, {4, 16, 2}, {-1, 8, 2}};
  for (const Row& r : rows) {
    gAppBoard = AppBoardInfo{r.type, r.mb};
    EXPECT_EQ(AppQueryBoardMemory(), r.result) << r.type;
  }
}

}  // namespace
