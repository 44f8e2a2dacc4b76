#include <unistd.h>

#include "fakes.h"
#include "frontend/frontend.h"
#include "net/net.h"
#include "platform/app.h"
#include "shell/game.h"
#include "platform/pak.h"
#include "race/race.h"
#include "support/test_support.h"
#include "tools/datakit/lib/boot_set.h"

namespace {

class Shell : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetHalForTest(100, 1);
    AppResetForTest();
    ResetFakes();
    PakReset();
    getcwd(oldDir_, sizeof oldDir_);
    ASSERT_EQ(chdir(dir_.path().c_str()), 0);
    // A screen that waits for a key nobody presses ends the run instead of hanging it.
    ASSERT_TRUE(HalScriptLoad("+600000 end\n", nullptr));
  }
  void TearDown() override {
    chdir(oldDir_);
    HalResetForTest();
  }

  // Runs the game from its entry until the process would end; the exit code.
  int Run() {
    EXPECT_EQ(AppCreateWindow(1, 0, 1), 1);
    try {
      GameEntry();
    } catch (const ExitCalled& e) {
      return e.code;
    }
    return -1;
  }

  // The trace from `first` on must hold `expected` in this order.
  void ExpectInOrder(const std::vector<std::string>& expected) {
    int at = -1;
    for (const std::string& step : expected) {
      int next = gFakes.IndexOf(step, at + 1);
      ASSERT_GE(next, 0) << "missing or out of order: " << step;
      at = next;
    }
  }

  TempDir dir_;
  char oldDir_[4096];
};

TEST_F(Shell, AFailedWindowEndsTheProgramBeforeTheGameStarts) {
  ASSERT_NE(HalWindowCreate("other", nullptr), 0u);  // the one window is taken
  EXPECT_EQ(WinMain(1, 0, "", 1), 1);  // a failure, for whoever started the game
  EXPECT_TRUE(gFakes.trace.empty());
}

TEST_F(Shell, ADisplayThatDoesNotOpenEndsTheProgramWithAnError) {
  gFakes.displayFails = true;
  EXPECT_EQ(Run(), 1);
  EXPECT_FALSE(gFakes.Saw("FrontEnd"));
}

TEST_F(Shell, StartsHoldsTheIntroAndShutsDownInOrder) {
  gFakes.ffbResult = 1;
  gFakes.frontEnd = [](int) { GameQuit(); };
  EXPECT_EQ(Run(), 0);
  ExpectInOrder({"RdrLoadConfig", "RdrOpen(2)", "FfbInit", "Vertices(27000)", "Faces(34000)", "Static(900)", "Dynamic(300)",
                 "RdrClear(0,0,0)", "Swap", "SfxStartup", "Load:intro.qvr", "RdrClear(0,0,0)", "Draw", "Swap",
                 "MenuEnableResolutions", "GridCreate(640,25,1,12)", "AssetLoadVehicles", "TerrainBuild(0)", "MusicInit", "ScoresLoad", "FrontEnd",
                 "SfxStopAll", "FfbRelease", "MusicShutdown", "RdrClose"});
  EXPECT_GE(gFakes.frontEndAt - gFakes.introShownAt, 3000u);
  EXPECT_LT(gFakes.frontEndAt - gFakes.introShownAt, 3100u);
  EXPECT_EQ(+gOptions.hardwarePreset, 7);
  EXPECT_EQ(+gOptions.keyboardSensitivity, 1);
  EXPECT_EQ(gRace.gameMode, 1);
  EXPECT_EQ(gRace.viewWidth, 641);
  EXPECT_FLOAT_EQ(gRace.frameHours, 1.0f / 90000.0f);
}

TEST_F(Shell, OnceTheScreenIsOpenAFatalErrorBelowShowsTheErrorScreen) {
  gFakes.frontEnd = [](int) { GameFatalError("BOOM"); };
  Run();
  EXPECT_TRUE(gFakes.Saw("Print:TALVEROS ERROR... BOOM"));
  GameSetFatalErrorHook(nullptr);
}

TEST_F(Shell, LongLoadsAreNotHeldAnyLonger) {
  gFakes.assetLoadMs = 5000;
  gFakes.frontEnd = [](int) { GameQuit(); };
  Run();
  EXPECT_GE(gFakes.frontEndAt - gFakes.introShownAt, 5000u);
  EXPECT_LT(gFakes.frontEndAt - gFakes.introShownAt, 5050u);
  EXPECT_FALSE(gFakes.Saw("FfbRelease"));  // no force feedback was set up
}

TEST_F(Shell, LowTextureMemoryChoosesTheLowerDetail) {
  gFakes.texMemKb = 2048;
  gFakes.frontEnd = [](int) { GameQuit(); };
  Run();
  EXPECT_EQ(+gOptions.lowTextureMemory, 1);
  EXPECT_EQ(+gOptions.detailSetting, 1);
  EXPECT_EQ(std::vector<uint8_t>(gOptions.detail, gOptions.detail + 4), (std::vector<uint8_t>{1, 2, 1, 1}));
}

TEST(ShellDetail, LevelsSetTheFourDetailBytes) {
  struct Row {
    int32_t level;
    std::vector<uint8_t> bytes;
  } rows[] = {{0, {0, 0, 1, 1}}, {1, {1, 2, 1, 1}}, {2, {2, 2, 0, 1}}, {3, {2, 2, 0, 0}}, {4, {2, 2, 0, 0}}};
  for (const Row& r : rows) {
    gOptions.detailSetting = r.level;  // 4 leaves the bytes of the row before
    GameApplyDetailLevel();
    EXPECT_EQ(std::vector<uint8_t>(gOptions.detail, gOptions.detail + 4), r.bytes) << r.level;
  }
}

TEST_F(Shell, ChampionshipRunsOnWhileThePlayerIsOnThePodium) {
  gFakes.positions = {{1, 6}, {3, 6}, {4, 6}};
  gFakes.frontEnd = [](int call) {
    if (call >= 2) GameQuit();
    gRace.gameMode = 3;
    RaceLoad(0);
  };
  Run();
  // Tracks 0 and 1 end on the podium; the next race loads without the menus.
  ExpectInOrder({"FrontEnd", "RaceLoad(0)", "RaceFrame", "PodiumRun", "NextTrack", "RaceLoad(1)", "RaceFrame",
                 "PodiumRun", "NextTrack", "RaceLoad(2)", "RaceFrame", "PodiumRun", "MusicStop", "SceneGameOver",
                 "FrontEnd"});
  EXPECT_EQ(gFakes.frontEndCalls, 2);
  EXPECT_EQ(gFakes.IndexOf("NextTrack", gFakes.IndexOf("RaceLoad(2)")), -1);
}

TEST_F(Shell, SplitScreenChampionshipGoesOnWhenEitherPlayerPlaces) {
  gFakes.positions = {{5, 2}, {6, 4}};
  gFakes.frontEnd = [](int call) {
    if (call >= 2) GameQuit();
    gRace.gameMode = 3;
    gRace.playersMode = 1;
    RaceLoad(0);
  };
  Run();
  ExpectInOrder({"RaceLoad(0)", "PodiumRun", "NextTrack", "RaceLoad(1)", "PodiumRun", "FrontEnd"});
  EXPECT_FALSE(gFakes.Saw("SceneGameOver"));  // the game-over scene is a one-player screen
}

TEST_F(Shell, TheTenthChampionshipRaceWonEndsTheChampionship) {
  gFakes.positions = {{1, 6}};
  gFakes.nextChampionshipResult = 1;
  gFakes.frontEnd = [](int call) {
    if (call >= 2) GameQuit();
    gRace.gameMode = 3;
    RaceLoad(9);
  };
  Run();
  ExpectInOrder({"RaceLoad(9)", "PodiumRun", "SceneAfterRace", "NextTrack", "ChampionshipEnd", "FrontEnd"});
  EXPECT_EQ(gRace.trackIndex, 9);
}

TEST_F(Shell, ANetworkRaceEndsWhenTheHostSaysQuit) {
  gFakes.frontEnd = [](int call) {
    if (call >= 2) GameQuit();
    gRace.networkGame = 1;
    gRace.playersMode = 2;
    RaceLoad(0);
    gNetQuit = 1;
  };
  Run();
  // No race frame runs; the race ends as a finished one would.
  EXPECT_FALSE(gFakes.Saw("RaceFrame"));
  ExpectInOrder({"FfbStopAll", "ViewFadeStart", "MusicStop", "PodiumRun", "FrontEnd"});
}

TEST_F(Shell, WithoutArchivesEveryFileIsReadLoose) {
  gFakes.frontEnd = [](int) { GameQuit(); };
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(gPakMounted, 0u);
}

TEST_F(Shell, ArchivesFromTheDataKitAreMounted) {
  datakit::PakSet paks;
  datakit::AddBootFiles(&paks);
  std::string error;
  ASSERT_TRUE(datakit::WritePakSet(paks, dir_.path().string(), &error)) << error;
  gFakes.frontEnd = [](int) { GameQuit(); };
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(gPakMounted, 1u);
  EXPECT_STREQ(gPakSlots[6].name, "rur7.pak");
}

TEST_F(Shell, ADamagedDirectoryArchiveIsShownAndEndsTheGame) {
  dir_.Write("rur0.pak", std::string("PAK0\x40\x00\x00\x00", 8));
  std::string error;
  ASSERT_TRUE(HalScriptLoad("5000 press A\n+600000 end\n", &error)) << error;
  EXPECT_EQ(Run(), 1);
  int shown = -1;
  for (size_t i = 0; i < gFakes.trace.size(); ++i)
    if (gFakes.trace[i].rfind("Print:TALVEROS ERROR... ", 0) == 0) shown = static_cast<int>(i);
  ASSERT_GE(shown, 0);
  EXPECT_FALSE(gFakes.Saw("FrontEnd"));
  EXPECT_GT(gFakes.IndexOf("RdrClose"), shown);
}

}  // namespace
