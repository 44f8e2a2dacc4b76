// The frame clock: the measured rate, its floor, the step factors, the ticks
// and the 16-frame average shown in debug mode; the debug keys.
#include "hal/clock.h"
#include "platform/app.h"
#include "race/race.h"
#include "race_fixture.h"

namespace {

class FrameClock : public RaceTest {
 protected:
  // The clock as the program starts: its average carries over from race to
  // race, and so it would from test to test.
  void SetUp() override {
    RaceTest::SetUp();
    gRaceClock = RaceClock{};
  }
  // One frame of `ms` milliseconds through the clock.
  void Frame(uint32_t ms) {
    HalClockAdvance(ms);
    RaceFrameClock();
  }
};

TEST_F(FrameClock, RateAndStepFollowTheFrameLengthDownToTenFramesASecond) {
  struct Case {
    uint32_t ms;
    float rate, step;
  };
  for (const Case& c : {Case{25, 40.0f, 0.625f}, Case{40, 25.0f, 1.0f}, Case{80, 12.5f, 2.0f}, Case{200, 10.0f, 2.5f}}) {
    SCOPED_TRACE(c.ms);
    AppTimerStart(APP_FRAME_TIMER);
    Frame(c.ms);
    EXPECT_FLOAT_EQ(+gRace.frameRate, +c.rate);
    EXPECT_FLOAT_EQ(+gRace.timeStep, +c.step);
    EXPECT_FLOAT_EQ(+gRace.timeStepFifth, c.step * 0.2f);
    EXPECT_FLOAT_EQ(+gRace.timeStepFourFifths, c.step * 0.8f);
    EXPECT_FLOAT_EQ(+gRace.frameHours, 1.0f / c.rate / 3600.0f);
  }
}

TEST_F(FrameClock, TheAverageCountsTheMeasuredRateBeforeTheFloor) {
  AppTimerStart(APP_FRAME_TIMER);
  // The first frame closes an empty average; sixteen more fill the next.
  for (int i = 0; i < 17; ++i) Frame(200);
  EXPECT_FLOAT_EQ(+gRaceClock.displayAverage, 5.0f);
  EXPECT_FLOAT_EQ(+gRace.frameRate, 10.0f);
}

TEST_F(FrameClock, TicksPassEveryFrameAt25AndOnFiveFramesOfEightAt40) {
  AppTimerStart(APP_FRAME_TIMER);
  std::string passed;
  for (int i = 0; i < 4; ++i) {
    Frame(40);
    passed += gRace.tickPassed ? '1' : '0';
  }
  EXPECT_EQ(passed, "1111");
  EXPECT_EQ(+gRace.ticks, 4);
  passed.clear();
  for (int i = 0; i < 8; ++i) {
    Frame(25);
    passed += gRace.tickPassed ? '1' : '0';
  }
  // tickClock 4.625, 5.25, 5.875, 6.5, 7.125, 7.75, 8.375, 9.0
  EXPECT_EQ(passed, "01011011");
  EXPECT_FLOAT_EQ(+gRace.tickClock, 9.0f);
  EXPECT_EQ(+gRace.ticks, 9);
}

TEST_F(FrameClock, AFrameWaitsForAtLeast25Milliseconds) {
  ResetHalForTest(0, 1);
  AppTimerStart(APP_FRAME_TIMER);
  RaceFrameClock();
  EXPECT_LE(+gRace.frameRate, 40.0f);
  EXPECT_GE(AppGetTime(), 25u);
}

TEST_F(FrameClock, DebugModeTwoPrintsTheAverageWhileEnterIsDown) {
  AppTimerStart(APP_FRAME_TIMER);
  gRace.viewTop = 240;
  gRace.viewHeight = 240;
  gRace.debugMode = 2;
  gKeyScanCode = 0x1C;
  for (int i = 0; i < 17; ++i) Frame(40);
  EXPECT_EQ(CallsStartingWith("DotFontPrintf").back(), "DotFontPrintf(0,271,25.0)");
  gCalls.clear();
  gRace.debugMode = 1;
  Frame(40);
  EXPECT_TRUE(CallsStartingWith("DotFontPrintf").empty());
}

// Releases the key held down a few pumps after it is asked to.
int gPumpsToRelease = -1;
void ReleaseKeyLater() {
  if (gPumpsToRelease > 0 && --gPumpsToRelease == 0) gKeyScanCode = 0;
}

TEST_F(FrameClock, AHeldVWritesOneScreenshotAndTheNextPressTheNextNumber) {
  HalAddPollHook(ReleaseKeyLater);
  AppTimerStart(APP_FRAME_TIMER);
  gRace.debugMode = 2;
  for (int press = 0; press < 2; ++press) {
    gKeyScanCode = 0x2F;
    gPumpsToRelease = 50;
    for (int i = 0; i < 5; ++i) Frame(40);
  }
  EXPECT_EQ(CallsStartingWith("LfbSaveScreenshot"),
            (std::vector<std::string>{"LfbSaveScreenshot(vue\\shoot000.bmp,640,480)",
                                      "LfbSaveScreenshot(vue\\shoot001.bmp,640,480)"}));
}

}  // namespace
