// The main page as a player drives it (scripted input on the game window),
// the frame-rate probe's verdict, whether a suspended race can go on, the
// three ways out of the menus, and the quit confirmation.
#include <algorithm>
#include <string>
#include <vector>

#include "frontend/frontend.h"
#include "frontend/menu_drum.h"
#include "frontend/menu_items.h"
#include "frontend/menu_main.h"
#include "frontend/menu_models.h"
#include "frontend/menu_widgets.h"
#include "page_fixture.h"
#include "race/tracks.h"

namespace {

class MainPageTest : public PageTest {
 protected:
  void SetUp() override {
    PageTest::SetUp();
    gMenuNetSetup = 0;
    gMenuNetworkLeft = 0;
    gScores.unlockedCount = 3;
    gRace.networkGame = 0;
    gRace.noHumanMode = 0;
    gRace.debugMode = 0;
    gRace.playersMode = 0;
    gRace.gameMode = 1;
    gRace.trackIndex = 0;
    gRace.raceLeft = gRace.raceFinished = 0;
    gOptions.detail[2] = 1;
    gOptions.detail[3] = 1;
    gOptions.hardwarePreset = 2;
    gMenu = MenuState{};
    gMenu.category = 0;
    gMenuOpeningDone = 1;
    MenuUnlockTracks();
  }
  void TearDown() override {
    MenuFreeModels();
    MenuFreeDrumRing();
    PageTest::TearDown();
  }
  // The lines from the first that starts with `from` on.
  static std::vector<std::string> CallsFrom(const std::string& from, const std::vector<std::string>& prefixes) {
    std::vector<std::string> all = PageCallsStartingAny(prefixes);
    auto at = std::find_if(all.begin(), all.end(), [&](const std::string& s) { return s.rfind(from, 0) == 0; });
    return std::vector<std::string>(at, all.end());
  }
  static int Count(const std::string& prefix) { return static_cast<int>(PageCallsStarting(prefix).size()); }
  // The swaps between two lines (the frames shown).
  static int SwapsBetween(const std::string& first, const std::string& last) {
    int swaps = -1;
    for (const std::string& c : gPageCalls) {
      if (swaps < 0) {
        if (c.rfind(first, 0) == 0) swaps = 0;
        continue;
      }
      if (c.rfind(last, 0) == 0) return swaps;
      swaps += c == "Swap";
    }
    return -1;
  }
};

TEST_F(MainPageTest, TheProbesFrameCountChoosesDetailAndDisplay) {
  struct Case {
    int32_t frames;
    bool small512;
    int32_t detail, display;
  };
  const Case cases[] = {{60, true, 0, 2},  {59, true, 1, 2},  {40, true, 1, 2},  {39, true, 2, 1},
                        {20, true, 2, 1},  {19, true, 3, 6},  {39, false, 2, 2}, {19, false, 3, 2}};
  for (const Case& c : cases) {
    gMenuItems[MENU_ROW_RESOLUTIONS + 1].enabled = c.small512;
    gOptions.detailSetting = 0;
    gOptions.hardwarePreset = 2;
    gPageCalls.clear();
    MenuApplyProbeCount(c.frames);
    EXPECT_EQ(+gOptions.detailSetting, c.detail) << c.frames << " " << c.small512;
    EXPECT_EQ(+gOptions.hardwarePreset, c.display) << c.frames << " " << c.small512;
    EXPECT_EQ(PageCallsStarting("ApplyDetailLevel").size(), 1u);
  }
  gMenuItems[MENU_ROW_RESOLUTIONS + 1].enabled = 0;
}

TEST_F(MainPageTest, TheProbeDrawsSixPreviewsAFrameForASecondWithoutShowingOne) {
  gOptions.detailSetting = 0;
  const uint32_t before = AppGetTime();
  MenuMeasureFrameRate();
  EXPECT_GE(AppGetTime() - before, 1000u);
  const std::vector<std::string> previews = PageCallsStarting("Preview");
  ASSERT_GE(previews.size(), 6u * 60u);  // the virtual clock is fast: detail stays
  EXPECT_EQ(previews.size() % 6, 0u);
  for (size_t i = 0; i < 6; ++i) EXPECT_EQ(previews[i], "Preview " + std::to_string(i) + " 305 502");
  EXPECT_EQ(Count("Swap"), 0);
  EXPECT_EQ(+gOptions.detailSetting, 0);
}

TEST_F(MainPageTest, ARaceResumesOnlyWhenNothingItDependsOnChanged) {
  gRace.trackIndex = 2;
  gRace.gameMode = 2;
  gPlayer1Vehicle->type = 3;
  MenuUnlockTracks();
  MenuEnterScene();
  gMenu.assetsInvalid = 0;
  ASSERT_EQ(MenuCanResumeRace(), 1);
  struct Flip {
    const char* what;
    void (*flip)();
    void (*back)();
  };
  const Flip flips[] = {
      {"assets", [] { gMenu.assetsInvalid = 1; }, [] { gMenu.assetsInvalid = 0; }},
      {"track", [] { gRace.trackIndex = 6; }, [] { gRace.trackIndex = 2; }},
      {"players", [] { gRace.playersMode = 1; }, [] { gRace.playersMode = 0; }},
      {"mode", [] { gRace.gameMode = 1; }, [] { gRace.gameMode = 2; }},
      {"ended", [] { gMenu.raceEnded = 1; }, [] { gMenu.raceEnded = 0; }},
      {"challenge type", [] { gPlayer1Vehicle->type = 4; }, [] { gPlayer1Vehicle->type = 3; }},
      {"locked", [] { gMenuItems[2].enabled = 0; }, [] { gMenuItems[2].enabled = 1; }},
      {"session closed", [] { gMenuNetworkLeft = 1; }, [] { gMenuNetworkLeft = 0; }},
  };
  for (const Flip& f : flips) {
    f.flip();
    EXPECT_EQ(MenuCanResumeRace(), 0) << f.what;
    // Changed and changed back: only the values at the moment of leaving count.
    f.back();
    EXPECT_EQ(MenuCanResumeRace(), 1) << f.what;
  }
  // Outside a challenge player 1's type may change.
  gRace.gameMode = 1;
  gMenu.resume.gameMode = 1;
  gPlayer1Vehicle->type = 5;
  EXPECT_EQ(MenuCanResumeRace(), 1);
}

TEST_F(MainPageTest, EnteringTheSceneKeepsTheRaceAndSetsTheMenusUp) {
  gRace.trackIndex = 7;
  gOptions.detail[3] = 0;
  MenuEnterScene();
  EXPECT_EQ(PageCallsStartingAny({"PauseTimers", "StopAll", "FfbStopAll", "FogOff", "LightingOn", "Light "}),
            (std::vector<std::string>{"PauseTimers 0", "StopAll", "FfbStopAll", "FogOff", "LightingOn",
                                      "Light 0,0,1 31 0"}));
  EXPECT_EQ(gMenu.resume.track, 7);
  EXPECT_EQ(gMenu.resume.fog, 0);
  EXPECT_NE(gMenuDrumRing.faces, nullptr);
}

// The three ways out, each recorded from the menus' entry on.
class LeaveTest : public MainPageTest {
 protected:
  void SetUp() override {
    MainPageTest::SetUp();
    gRace.trackIndex = 1;
    MenuUnlockTracks();
    MenuEnterScene();
    MenuLoadModels();
    gMenu.assetsInvalid = 0;
    gPageCalls.clear();
  }
  static std::vector<std::string> Ways() {
    return PageCallsStartingAny({"StopAll", "MusicStop", "MusicResume", "FogOn", "LightingO", "SetMode", "RaceLoad",
                                 "RaceReloadAssets", "Light ", "ResumeTimers"});
  }
};

TEST_F(LeaveTest, ResumeReloadsTheAssetsSetsTheTracksLightAndGoesOn) {
  gPlayer2Vehicle->type = 0;
  gMenu.savedPlayer2Type = 4;
  MenuLeaveToRace();
  const float* l = gTrackInfo[1].light;
  char light[96];
  std::snprintf(light, sizeof light, "Light %g,%g,%g %g %g", double(l[0]), double(l[1]), double(l[2]), double(l[3]),
                double(l[4]));
  EXPECT_EQ(Ways(), (std::vector<std::string>{"StopAll", "FogOn", "LightingOn", "RaceReloadAssets 0", light,
                                              "ResumeTimers 0", "MusicResume"}));
  EXPECT_EQ(gMenuModels.button, nullptr);
  EXPECT_EQ(gMenuDrumRing.faces, nullptr);
  EXPECT_EQ(gPlayer2Vehicle->type, 4);  // back from the menus' default
  EXPECT_EQ(gRdrState.scaleX, 250.0f);
  EXPECT_EQ(gRdrState.scaleY, 250.0f);
}

TEST_F(LeaveTest, ResumeAfterTheFogOptionChangedReloadsWithTheFlag) {
  gOptions.detail[3] = 0;
  gOptions.detail[2] = 0;
  MenuLeaveToRace();
  EXPECT_EQ(PageCallsStartingAny({"RaceReloadAssets", "FogOn", "LightingO"}),
            (std::vector<std::string>{"LightingOff", "RaceReloadAssets 1"}));
}

TEST_F(LeaveTest, ResumeOfAChangedRaceLoadsANewOne) {
  gRace.trackIndex = 2;
  gRace.playersMode = 1;
  gMenu.savedPlayer2Type = 4;
  gPlayer2Vehicle->type = 6;
  MenuLeaveToRace();
  EXPECT_EQ(Ways(), (std::vector<std::string>{"StopAll", "FogOn", "LightingOn", "MusicStop", "RaceLoad 2"}));
  EXPECT_EQ(gPlayer2Vehicle->type, 6);  // two players: player 2's own choice stays
}

TEST_F(LeaveTest, ANewRaceStopsTheMusicAndSwitchesTheDisplayOnlyWhenItDiffers) {
  MenuLeaveAndLoadRace();
  EXPECT_EQ(Ways(), (std::vector<std::string>{"StopAll", "MusicStop", "FogOn", "LightingOn", "RaceLoad 1"}));
  EXPECT_EQ(gRace.viewWidth, 641);
  EXPECT_EQ(gRace.viewLeft, 0);
  EXPECT_EQ(gMenu.assetsInvalid, 0);

  // 800 x 600: black twice, then the mode, then the race at its projection.
  MenuEnterScene();
  gPageCalls.clear();
  gOptions.hardwarePreset = 3;
  MenuLeaveAndLoadRace();
  EXPECT_EQ(PageCallsStartingAny({"Swap", "SetMode", "RaceLoad"}),
            (std::vector<std::string>{"Swap", "Swap", "SetMode 3", "RaceLoad 1"}));
  EXPECT_EQ(gDisplayModeIndex, 3);
  EXPECT_EQ(gRdrState.scaleX, 312.0f);
  EXPECT_EQ(gRdrState.scaleY, 312.0f);
  EXPECT_EQ(gRace.viewWidth, 801);
}

TEST_F(LeaveTest, TheQuitPathEndsAfterTheRelease) {
  gOptions.detail[3] = 0;
  MenuLeaveForQuit();
  EXPECT_EQ(PageCallsStartingAny({"StopAll", "MusicStop", "FogOn", "LightingO", "RaceLoad", "SetMode", "Swap"}),
            (std::vector<std::string>{"StopAll", "MusicStop", "LightingOn"}));
  EXPECT_EQ(gMenu.background, nullptr);
}

// The main page run from its entry, driven by a script of input.
class MainPageRun : public MainPageTest {
 protected:
  // Where the widgets are.
  static std::string Click(int frame, int x, int y) {
    return "f" + std::to_string(frame) + " move " + std::to_string(x) + " " + std::to_string(y) + "\nf" +
           std::to_string(frame + 1) + " ldown\nf" + std::to_string(frame + 2) + " lup\n";
  }
};

TEST_F(MainPageRun, TheLowerValueArrowStepsTheTrackAndStartLeavesForTheRace) {
  Script(Click(3, 95, 360) + Click(20, 316, 445) + "f100000 end\n");
  MenuRunMainPage();
  EXPECT_EQ(gRace.trackIndex, 2);
  EXPECT_EQ(gRace.noHumanMode, 0);
  // The menu's sounds and picture, the clicks, the leaving sound, the ten
  // frames of the transition at 25 frames a second, then the race.
  const std::vector<std::string> calls =
      PageCallsStartingAny({"Bank", "Picture", "Play", "Stop 36", "Stop 33", "StopAll", "MusicPause", "MusicStop",
                            "RaceLoad"});
  const std::vector<std::string> want = {"MusicPause",     "StopAll",         "Bank 2048",       "Picture menu1.qvr",
                                         "Picture menu1.qvr", "Play 33 -1500", "Play 36 -1000",   "Stop 36",
                                         "Play 31 -1000",  "Stop 33",         "Play 35 -1500",   "StopAll",
                                         "MusicStop",      "RaceLoad 2"};
  EXPECT_EQ(calls, want);
  const int transition = SwapsBetween("Play 35", "RaceLoad");
  EXPECT_GE(transition, 10);
  EXPECT_LE(static_cast<float>(transition - 1) * gRace.timeStep, 10.0f) << transition;
  EXPECT_EQ(std::string(gMenuValueDrum.label, 13), gMenuItems[2].label);
  // The page ran in 640 x 480 at the menus' projection, then the race's.
  EXPECT_EQ(gRdrState.scaleX, 250.0f);
}

TEST_F(MainPageRun, TwentySecondsWithoutInputLoadTheAttractDemoOnTheDemoTrack) {
  gMenu.demoTrack = 6;
  gRace.trackIndex = 1;
  Script("f100000 end\n");
  const uint32_t before = AppGetTime();
  MenuRunMainPage();
  EXPECT_GE(AppGetTime() - before, 20000u);
  EXPECT_LT(AppGetTime() - before, 21000u);
  EXPECT_EQ(gRace.noHumanMode, MENU_DEMO_ATTRACT);
  EXPECT_EQ(gRace.trackIndex, 6);
  EXPECT_EQ(gMenu.menuTrack, 1);
  // Not a press: no leaving sound, no transition.
  EXPECT_EQ(Count("Play 35"), 0);
  EXPECT_EQ(PageCallsStarting("RaceLoad"), std::vector<std::string>{"RaceLoad 6"});
}

TEST_F(MainPageRun, DStartsTheAttractDemoOnTheShownTrackAtOnce) {
  gMenu.demoTrack = 6;
  gRace.trackIndex = 1;
  Script("f5 down D\nf100000 end\n");
  MenuRunMainPage();
  EXPECT_EQ(gRace.noHumanMode, MENU_DEMO_ATTRACT);
  EXPECT_EQ(PageCallsStarting("RaceLoad"), std::vector<std::string>{"RaceLoad 1"});
  EXPECT_LT(gPageFrames, 10);
}

TEST_F(MainPageRun, EnterOnTheTrackPlaysItsPreview) {
  gRace.trackIndex = 2;
  Script(Click(3, 600, 338) + "f100000 end\n");
  MenuRunMainPage();
  EXPECT_EQ(gRace.noHumanMode, MENU_DEMO_PREVIEW);
  EXPECT_EQ(Count("Play 35 -1500"), 1);
  EXPECT_GE(SwapsBetween("Play 35", "RaceLoad"), 10);
  EXPECT_EQ(PageCallsStarting("RaceLoad"), std::vector<std::string>{"RaceLoad 2"});
}

TEST_F(MainPageRun, QuitAsksAndStayComesBack) {
  // Quit, "stay", quit again, "quit": the credits.
  Script(Click(3, 178, 445) + Click(10, 390, 447) + Click(40, 178, 445) + Click(50, 250, 447) + "f100000 end\n");
  try {
    MenuRunMainPage();
    FAIL() << "the page returned";
  } catch (const PageLeft& left) {
    EXPECT_EQ(left.how, "CreditsAndQuit");
  }
  EXPECT_EQ(PageCallsStarting("Picture"),
            (std::vector<std::string>{"Picture menu1.qvr", "Picture menu1.qvr", "Picture menu14.qvr",
                                      "Picture menu1.qvr", "Picture menu14.qvr", "Picture menu1.qvr"}));
  // The stay page's answer buttons, not the main page's push buttons.
  EXPECT_GT(Count("Button 390,447"), 0);
  // After "quit": the leaving sound, the transition, the release, no race.
  EXPECT_EQ(CallsFrom("Play 35", {"Play 35", "StopAll", "MusicStop", "RaceLoad"}),
            (std::vector<std::string>{"Play 35 -1500", "StopAll", "MusicStop"}));
}

TEST_F(MainPageRun, ConfirmQuitAnswersQuitOrStay) {
  MenuEnterScene();
  MenuLoadModels();
  for (int answer : {1, 2}) {
    const int frame = static_cast<int>(HalFrameCount());
    Script(Click(frame + 2, answer == 1 ? 250 : 390, 447) + "f100000 end\n");
    gPageCalls.clear();
    EXPECT_EQ(MenuConfirmQuit(0), answer);
    EXPECT_EQ(PageCallsStarting("Picture"), (std::vector<std::string>{"Picture menu14.qvr", "Picture menu1.qvr"}));
    EXPECT_EQ(Count("Button 316,445"), 0);  // no start button on the quit page
    EXPECT_GE(SwapsBetween("Play 31", "Picture menu1.qvr"), 10);
  }
}

TEST_F(MainPageRun, TheResumeButtonShowsWhenTheRaceCanGoOn) {
  MenuEnterScene();
  MenuLoadModels();
  Script("f100000 end\n");
  MenuDrawMainFrame(1, 0);
  EXPECT_EQ(Count("Button 587,445"), 1);
  gPageCalls.clear();
  MenuDrawMainFrame(0, 0);
  EXPECT_EQ(Count("Button 587,445"), 0);
  EXPECT_EQ(Count("Button 316,445"), 1);
}

TEST_F(MainPageRun, AfterADemoTheMainPageComesBackAndTheNextDemoTrackFollows) {
  gRace.trackIndex = 1;
  gRace.playersMode = 1;
  gRace.gameMode = 2;
  // D at once; once the demo is over, the start button.
  Script("f2 down D\nf3 up D\n" + Click(30, 316, 445) + "f100000 end\n");
  MenuRunFrontEnd();
  EXPECT_EQ(PageCallsStartingAny({"RaceLoad", "ReplayRunAttract"}),
            (std::vector<std::string>{"RaceLoad 1", "ReplayRunAttract 1", "RaceLoad 1"}));
  EXPECT_EQ(gMenu.demoTrack, 4);  // after 1 in championship order
  EXPECT_EQ(gRace.trackIndex, 1);
  EXPECT_EQ(gRace.playersMode, 1);
  EXPECT_EQ(gRace.gameMode, 2);
  EXPECT_EQ(gRace.noHumanMode, 0);
  EXPECT_EQ(gMenu.raceEnded, 1);
}

}  // namespace
