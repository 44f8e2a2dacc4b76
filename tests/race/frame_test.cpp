// The race frame: the order of the simulation step, the one-view frame and
// the split-screen layouts with their integer formulas.
#include "net/net.h"
#include "race/race.h"
#include "race_fixture.h"

namespace {

using Calls = std::vector<std::string>;

class Frame : public RaceTest {
 protected:
  Calls Drives() { return CallsStartingWith("Drive("); }
};

TEST_F(Frame, LogicStepOrder) {
  struct Case {
    const char* name;
    int32_t players, gameMode, track;
    uint8_t noHuman, trajectories;
    Calls drives;
  };
  const Case cases[] = {
      {"training: no computer car, even with trajectories", 0, 0, 0, 0, 1, {"Drive(P1,-,0,pose)"}},
      {"arcade without trajectories: humans only", 0, 1, 0, 0, 0, {"Drive(P1,-,0,pose)"}},
      {"arcade",
       0,
       1,
       0,
       0,
       1,
       {"Drive(C0,C0,0,pose)", "Drive(C1,C1,0,pose)", "Drive(C2,C2,0,pose)", "Drive(C3,C3,0,pose)",
        "Drive(C4,C4,0,pose)", "Drive(P1,-,0,pose)"}},
      // Player 2 is slot 0: it drives as a human, after the computer cars and before player 1.
      {"split screen",
       1,
       1,
       0,
       0,
       1,
       {"Drive(C1,C1,0,pose)", "Drive(C2,C2,0,pose)", "Drive(C3,C3,0,pose)", "Drive(C4,C4,0,pose)",
        "Drive(P2,-,1,pose)", "Drive(P1,-,0,pose)"}},
      {"no human: the extra car drives for player 1",
       0,
       1,
       0,
       1,
       1,
       {"Drive(C0,C0,0,pose)", "Drive(C1,C1,0,pose)", "Drive(C2,C2,0,pose)", "Drive(C3,C3,0,pose)",
        "Drive(C4,C4,0,pose)", "Drive(C5,C5,0,pose)"}},
      {"no human in split screen: player 2 still drives", 1, 0, 0, 1, 0, {"Drive(P2,-,1,pose)"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    gCalls.clear();
    for (Vehicle& v : gVehicleRecords) v = Vehicle{};
    gRace.playersMode = c.players;
    gRace.gameMode = c.gameMode;
    gRace.trackIndex = c.track;
    gRace.noHumanMode = c.noHuman;
    gRace.trajectoriesLoaded = c.trajectories;
    RaceLogicStep();
    EXPECT_EQ(Drives(), c.drives);
    EXPECT_EQ(gCalls.front(), "AmbientFrameStep");
    EXPECT_EQ(gCalls.back(), "ViewFrameStep");
  }
}

TEST_F(Frame, TheTrafficStepRunsOnTheHighwayOnly) {
  for (int32_t track = 0; track < 10; ++track) {
    gCalls.clear();
    gRace.trackIndex = track;
    RaceLogicStep();
    EXPECT_EQ(IndexOfCall("TrackObjTrafficStep") >= 0, track == 4) << track;
  }
}

TEST_F(Frame, AHumanVehicleTakesTheViewItRequestedAndDrivesWithoutADriver) {
  gPlayer1.viewRequest = 2;
  gPlayer1.viewActive = 0;
  VehicleDriveHuman(&gPlayer1);
  EXPECT_EQ(+gPlayer1.viewActive, 2);
  EXPECT_EQ(+gRace.currentPose, &gPlayer1.pose);
  EXPECT_EQ(Drives(), Calls{"Drive(P1,-,0,pose)"});
}

TEST_F(Frame, ANetworkRaceDrivesTheOwnRecordAndTheOthersWithTheirTableSlots) {
  Vehicle remote[3]{};
  gNetParticipants.count = 3;
  for (int i = 0; i < 3; ++i) gNetParticipants.records[i] = &remote[i];
  gNetParticipants.ownIndex = 1;
  gVehicleTable[0] = &gVehicleRecords[0];
  gVehicleTable[2] = &gVehicleRecords[2];
  gRace.networkGame = 1;
  gRace.gameMode = 4;
  gRace.trajectoriesLoaded = 1;
  RaceLogicStep();
  EXPECT_EQ(Drives(), (Calls{"Drive(N0,C0,0,pose)", "Drive(N2,C2,0,pose)", "Drive(N1,-,0,pose)"}));
}

TEST_F(Frame, OneViewDrawsTheOwnVehicleThenTyreMarksBeforeParticles) {
  gRace.insetView = 1;
  RaceFrame();
  const Calls expected = {"AmbientFrameStep", "ViewFrameStep", "ObjRenderScene()", "VehicleDrawAmbientShadow",
                          "VehicleDrawAll", "VehicleDrawOwn(P1,0)", "DecorFrameStep", "RaceRankVehicles",
                          "FxDrawTyreMarks", "FxDrawParticles", "CockpitDraw(P1)", "ViewDrawInset(P1)",
                          "HudDrawView(0,480)", "SfxUpdateListener", "SfxStopUnusedEngine"};
  Calls steps;
  for (const std::string& c : gCalls)
    if (c.rfind("Rdr", 0) != 0 && c.rfind("Drive", 0) != 0) steps.push_back(c);
  EXPECT_EQ(steps, expected);
  EXPECT_EQ(+gRace.viewIndex, 0);
}

TEST_F(Frame, TheSortedTrackMeshFlushesInTwoPasses) {
  gRace.sortedDrawing = 1;
  RaceFlushScene();
  EXPECT_EQ(gCalls, Calls{"ObjRenderSceneTwoPass()"});
}

TEST_F(Frame, SplitScreenLayouts) {
  struct Case {
    int mode;  // display-mode table entry
    int32_t sideBySide;
    Calls layout;  // scale, then each view's rectangle and centre, then the whole screen
    Calls huds;
  };
  const Case cases[] = {
      {2, 0,
       {"RdrSetProjScale(250,162)", "RdrSetClipWindow(0,0,640,240)", "RdrSetProjCentre(320,108)",
        "RdrSetClipWindow(0,240,640,480)", "RdrSetProjCentre(320,348)", "RdrSetClipWindow(0,0,640,480)",
        "RdrSetProjCentre(320,240)"},
       {"HudDrawSplitView(P1,0,0,240)", "HudDrawSplitView(P2,1,240,240)", "HudDrawView(0,480)"}},
      {2, 1,
       {"RdrSetProjScale(146,250)", "RdrSetClipWindow(0,0,320,480)", "RdrSetProjCentre(160,240)",
        "RdrSetClipWindow(320,0,640,480)", "RdrSetProjCentre(480,240)", "RdrSetClipWindow(0,0,640,480)",
        "RdrSetProjCentre(320,240)"},
       {"HudDrawSplitView(P1,0,0,480)", "HudDrawSplitView(P2,1,0,480)", "HudDrawView(0,480)"}},
      {0, 0,
       {"RdrSetProjScale(125,67)", "RdrSetClipWindow(0,0,320,100)", "RdrSetProjCentre(160,45)",
        "RdrSetClipWindow(0,100,320,200)", "RdrSetProjCentre(160,145)", "RdrSetClipWindow(0,0,320,200)",
        "RdrSetProjCentre(160,100)"},
       {"HudDrawSplitView(P1,0,0,100)", "HudDrawSplitView(P2,1,100,100)", "HudDrawView(0,200)"}},
      {0, 1,
       {"RdrSetProjScale(73,104)", "RdrSetClipWindow(0,0,160,200)", "RdrSetProjCentre(80,100)",
        "RdrSetClipWindow(160,0,320,200)", "RdrSetProjCentre(240,100)", "RdrSetClipWindow(0,0,320,200)",
        "RdrSetProjCentre(160,100)"},
       {"HudDrawSplitView(P1,0,0,200)", "HudDrawSplitView(P2,1,0,200)", "HudDrawView(0,200)"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.mode) + "/" + std::to_string(c.sideBySide));
    UseMode(c.mode);
    gRace.playersMode = 1;
    gRace.splitSideBySide = c.sideBySide;
    gRace.viewTop = 0;
    gRace.viewHeight = gRdrState.screenHeight;
    gRace.insetView = 1;  // never in split screen
    RaceFrame();
    Calls layout;
    for (const std::string& call : gCalls)
      if (call.rfind("RdrSetProj", 0) == 0 || call.rfind("RdrSetClipWindow", 0) == 0) layout.push_back(call);
    EXPECT_EQ(layout, c.layout);
    Calls huds = CallsStartingWith("HudDraw");
    EXPECT_EQ(huds, c.huds);
    EXPECT_EQ(IndexOfCall("ViewDrawInset(P1)"), -1);
    // The simulation steps once, before the first view; the ranking only in the first.
    EXPECT_EQ(CallsStartingWith("ViewFrameStep").size(), 1u);
    EXPECT_EQ(CallsStartingWith("RaceRankVehicles").size(), 1u);
    EXPECT_LT(IndexOfCall("ViewFrameStep"), IndexOfCall("ObjRenderScene()"));
    // Particles before tyre marks in both views; player 2 drawn as view number 2.
    const int first = IndexOfCall("FxDrawParticles");
    EXPECT_LT(first, IndexOfCall("FxDrawTyreMarks"));
    EXPECT_LT(IndexOfCall("FxDrawTyreMarks"), IndexOfCall("FxDrawParticles", first + 1));
    EXPECT_LT(IndexOfCall("FxDrawParticles", first + 1), IndexOfCall("FxDrawTyreMarks", IndexOfCall("FxDrawTyreMarks") + 1));
    EXPECT_GE(IndexOfCall("VehicleDrawOwn(P2,2)"), 0);
    EXPECT_EQ(+gRace.viewIndex, 1);
  }
}

TEST_F(Frame, TheFlyInCameraDrivesBothViews) {
  gRace.playersMode = 1;
  gRace.flyInActive = 1;
  RaceFrame();
  EXPECT_EQ(CallsStartingWith("ViewApplyFlyInCamera").size(), 2u);
}

}  // namespace
