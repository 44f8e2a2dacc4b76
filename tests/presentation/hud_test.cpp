// The HUD: its texts and where they stand in each kind of race, the race
// clock and its time-out, the wheel lights and the guide arrow.
#include <string>

#include "backend_common/display.h"
#include "hal/clock.h"
#include "hud_support.h"
#include "net/net.h"
#include "platform/app.h"
#include "presentation/hud.h"
#include "presentation/messages.h"
#include "presentation/presentation.h"
#include "presentation/text.h"
#include "frontend/frontend.h"
#include "race/assets.h"
#include "race/race.h"

namespace {

using Strings = std::vector<std::string>;

class Hud : public HudTest {
 protected:
  void SetUp() override {
    HudTest::SetUp();
    gRace.raceStarted = 1;
    gPlayer1.lapsDone = 0;
    gPlayer1.position = 6;
    gPlayer1.boostLeft = 7.9f;
    AppTimerSet(gPlayer1.lapTimerSlot, 12345);
    gPlayer2Vehicle->position = 2;
    gPlayer2Vehicle->lapsDone = 1;
    gPlayer2Vehicle->boostLeft = 120.0f;
    AppTimerSet(gPlayer2Vehicle->lapTimerSlot, 62030);
  }
  // The whole screen as the race frame leaves it for the full-view HUD.
  static void WholeScreen() {
    RdrSetClipWindow(0, 0, 640, 480);
    RdrSetProjCentre(320, 240);
    gRace.viewTop = 0;
    gRace.viewHeight = 480;
  }
  static void SplitHalf(int32_t view) {
    if (gRace.splitSideBySide) {
      RdrSetClipWindow(view * 320, 0, view * 320 + 320, 480);
      RdrSetProjCentre(view * 320 + 160, 240);
    } else {
      RdrSetClipWindow(0, view * 240, 640, view * 240 + 240);
      RdrSetProjCentre(320, view * 240 + 120);
      gRace.viewTop = view * 240;
      gRace.viewHeight = 240;
    }
  }
  static void ExpectAt(const PrintedLine* line, int x, int y) {
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->x, x);
    EXPECT_EQ(line->y, y);
  }
};

TEST_F(Hud, OneViewShowsClockLapsPositionTimesAndBoost) {
  WholeScreen();
  HudDrawView();
  EXPECT_EQ(Texts(), (Strings{"TIME 4:01", "LAP 1/3  POS 6", "LAP  0:12:34", "BEST  :  :", "BOOST 007"}));
  ExpectAt(Find("TIME 4:01"), 502, 2);
  ExpectAt(Find("LAP 1/3  POS 6"), 217, 23);
  ExpectAt(Find("LAP  0:12:34"), 2, 2);
  ExpectAt(Find("BEST  :  :"), 2, 27);
  ExpectAt(Find("BOOST 007"), 282, 2);
  EXPECT_EQ(+gPlayer1.lastLapMs, 12345);
  // A best lap of the race in its three fields.
  gRaceResults.bestLapMs = 62030;
  gQuads.clear();
  HudDrawView();
  EXPECT_NE(Find("BEST 1:02:03"), nullptr);
}

TEST_F(Hud, LapTimesStandBeforeTheStartAndAfterTheFinish) {
  WholeScreen();
  gRace.raceStarted = 0;
  HudDrawLapTimes(&gPlayer1);
  EXPECT_EQ(+gPlayer1.lastLapMs, 0);
  gRace.raceStarted = 1;
  gPlayer1.finished = 1;
  gPlayer1.lastLapMs = 61000;
  HudDrawLapTimes(&gPlayer1);
  EXPECT_EQ(+gPlayer1.lastLapMs, 61000);
}

TEST_F(Hud, SplitScreenHalvesInBothLayouts) {
  gRace.playersMode = 1;
  struct Case {
    int32_t sideBySide;
    int32_t view;
    Strings texts;
    int lapTimeX, lapTimeY, bestY, lapX, posY, boostX, boostY, clockX;
  };
  const Case cases[] = {
      {0, 0, {"LAP  0:12:34", "BEST  :  :", "LAP 1/3", "POS 6", "BOOST 007"}, 2, 1, 15, 394, 15, 232, 1, 565},
      {0, 1, {"LAP  1:02:03", "BEST  :  :", "LAP 2/3", "POS 2", "BOOST 120"}, 2, 241, 255, 394, 255, 232, 241, 565},
      {1, 0, {"LAP  0:12:34", "BEST  :  :", "LAP 1/3", "POS 6", "BOOST 007"}, 2, 2, 30, 200, 30, 112, 462, 295},
      {1, 1, {"LAP  1:02:03", "BEST  :  :", "LAP 2/3", "POS 2", "BOOST 120"}, 322, 2, 30, 520, 30, 432, 462, 295},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.sideBySide) + " view " + std::to_string(c.view));
    gRace.splitSideBySide = c.sideBySide;
    WholeScreen();
    SplitHalf(c.view);
    gQuads.clear();
    HudDrawSplitView(c.view ? gPlayer2Vehicle : gPlayer1Vehicle, c.view);
    const Strings texts = Texts();
    EXPECT_EQ(texts, c.texts);
    if (texts != c.texts) continue;
    ExpectAt(Find(c.texts[0]), c.lapTimeX, c.lapTimeY);
    ExpectAt(Find(c.texts[1]), c.lapTimeX, c.bestY);
    ExpectAt(Find(c.texts[2]), c.lapX, c.lapTimeY);
    ExpectAt(Find(c.texts[3]), c.lapX, c.posY);
    ExpectAt(Find(c.texts[4]), c.boostX, c.boostY);
    // The shared clock over the whole screen, and nothing else of a player.
    WholeScreen();
    gQuads.clear();
    HudDrawView();
    EXPECT_EQ(Texts(), Strings{"4:01"});
    ExpectAt(Find("4:01"), c.clockX, 140);
  }
}

TEST_F(Hud, KindsOfRaceShowTheirOwnLines) {
  struct Case {
    const char* name;
    int32_t playersMode, gameMode, network;
    uint8_t demo;
    Strings texts;
  };
  const Case cases[] = {
      {"network", 2, 4, 1, 0, {"LAP 2/3  POS 2", "LAP  1:02:03", "BEST  :  :", "BOOST 120"}},
      {"training", 0, 0, 0, 0, {"BOOST 007"}},
      {"demo", 0, 0, 0, 1, {}},
      {"arcade", 0, 1, 0, 0, {"TIME 4:01", "LAP 1/3  POS 6", "LAP  0:12:34", "BEST  :  :", "BOOST 007"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    gRace.playersMode = c.playersMode;
    gRace.gameMode = c.gameMode;
    gRace.networkGame = c.network;
    gRace.noHumanMode = c.demo;
    gNetParticipants.count = c.network ? 2 : 0;
    gNetParticipants.records[0] = &gPlayer1;
    gNetParticipants.records[1] = gPlayer2Vehicle;  // the own record
    gNetParticipants.ownIndex = 1;
    gRace.timeRemaining = 0;
    WholeScreen();
    gQuads.clear();
    HudDrawView();
    EXPECT_EQ(Texts(), c.texts);
    // A training or demo race keeps at least 20 s on the clock.
    if (c.gameMode == 0) {
      gRace.timeLimit = 5000;
      HudDrawView();
      EXPECT_EQ(gRace.timeRemaining, 20000);
      gRace.timeLimit = 241500;
    }
  }
}

TEST_F(Hud, TheLastTenSecondsCountDownInBigFadedDigits) {
  struct Case {
    int32_t gameMode, remaining;
    Strings texts;
  };
  const Case cases[] = {
      {1, 10000, {"TIME 0:10", "LAP 1/3  POS 6"}},
      {1, 9999, {"9", "TIME 0:09", "LAP 1/3  POS 6"}},
      {1, 1, {"0", "TIME 0:00", "LAP 1/3  POS 6"}},
      {4, 9999, {"LAP 1/3  POS 6"}},
  };
  WholeScreen();
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.gameMode) + " " + std::to_string(c.remaining));
    gRace.gameMode = c.gameMode;
    gRace.timeLimit = c.remaining;
    gQuads.clear();
    TextSetScale(12);
    HudDrawClock();
    EXPECT_EQ(Texts(), c.texts);
    EXPECT_EQ(gRace.timeRemaining, c.remaining);
    if (c.texts.size() == 3) {
      const std::vector<PrintedLine> lines = Printed();
      EXPECT_TRUE(lines[0].faded);
      EXPECT_EQ(lines[0].x, 280);
      EXPECT_EQ(lines[0].y, 162);
      EXPECT_FLOAT_EQ(gQuads[0].alpha, 180.0f);
      EXPECT_FLOAT_EQ(gQuads[0].corners[1].screenX - gQuads[0].corners[0].screenX, 80.0f);
    }
  }
  // Exactly 0 left is not yet a time-out.
  gRace.gameMode = 1;
  gRace.timeLimit = 0;
  HudDrawClock();
  EXPECT_EQ(+gRace.raceLeft, 0);
  // Without trajectories the clock stands at the whole budget.
  gRace.trajectoriesLoaded = 0;
  gRace.timeLimit = 5000;
  HalClockAdvance(3000);
  HudDrawClock();
  EXPECT_EQ(gRace.timeRemaining, 5000);
}

TEST_F(Hud, ATimeOutLeavesTheRace) {
  struct Case {
    const char* name;
    int32_t gameMode, network;
    bool sends;
  };
  const Case cases[] = {{"local", 1, 0, false}, {"network flag", 1, 1, true}};
  WholeScreen();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HudResetMessages();
    gRace.raceLeft = 0;
    gRaceOverSends = 0;
    gRace.gameMode = c.gameMode;
    gRace.networkGame = c.network;
    gNetParticipants.count = 1;
    gNetParticipants.records[0] = &gPlayer1;
    gRace.timeLimit = 1000;
    AppTimerStart(RACE_CLOCK_TIMER);
    HalClockAdvance(1001);
    gQuads.clear();
    HudDrawClock();
    EXPECT_EQ(gRace.timeRemaining, 0);
    EXPECT_EQ(+gRace.raceLeft, 1);
    EXPECT_EQ(+gHudMessages.global.number, HUD_MSG_TIME_OUT);
    EXPECT_EQ(+gHudMessages.global.duration, 5000);
    EXPECT_EQ(gRaceOverSends, c.sends ? 1 : 0);
    EXPECT_NE(Find("TIME 0:00"), nullptr);
    // Once left, the clock no longer decides anything.
    HudResetMessages();
    HudDrawClock();
    EXPECT_EQ(+gHudMessages.global.number, -1);
  }
  // A network race never times out here.
  HudResetMessages();
  gRace.raceLeft = 0;
  gRace.gameMode = 4;
  HudDrawClock();
  EXPECT_EQ(+gRace.raceLeft, 0);
  EXPECT_EQ(gRace.timeRemaining, 0);
}

TEST_F(Hud, ASplitScreenTimeOutAfterOnePlayerFinishedChangesNothing) {
  gRace.playersMode = 1;
  gPlayer2Vehicle->finished = 1;
  gRace.timeRemaining = -40;
  WholeScreen();
  for (int frame = 0; frame < 2; ++frame) {
    gQuads.clear();
    HalClockAdvance(500);
    HudDrawView();
    EXPECT_EQ(Texts(), Strings{"0:00"});
    EXPECT_EQ(gRace.timeRemaining, 0);
    EXPECT_EQ(+gRace.raceLeft, 0);
    EXPECT_EQ(+gHudMessages.global.number, -1);
  }
}

// The wheel panel over eight frames.
class WheelPanel : public Hud {
 protected:
  // The frames in which one light was missing.
  std::vector<uint32_t> DarkFrames() {
    std::vector<uint32_t> dark;
    for (uint32_t frame = 0; frame < 8; ++frame) {
      gRace.frameCounter = frame + 800;
      gQuads.clear();
      HudDrawWheelPanel(&gPlayer1);
      if (gQuads.size() != 4) dark.push_back(frame);
    }
    return dark;
  }
  // The quads that are neither letters nor digits.
  static size_t Pictures() {
    size_t n = 0;
    for (const DrawnQuad& q : gQuads) {
      const uint32_t t = q.face.type & 0xFFFFFF;
      n += t != TEST_LETTERS && t != TEST_DIGITS ? 1 : 0;
    }
    return n;
  }
};

TEST_F(WheelPanel, DamageAboveTwentyBlinksInFiveFramesOfEight) {
  WholeScreen();
  for (WheelState& w : gPlayer1.wheels) w.attached = 1;
  gPlayer1.wheels[2].bend = 20;
  EXPECT_EQ(DarkFrames(), std::vector<uint32_t>{});
  gPlayer1.wheels[2].bend = 21;
  EXPECT_EQ(DarkFrames(), (std::vector<uint32_t>{0, 1, 2}));
  // A lost wheel's light is out.
  gPlayer1.wheels[2].attached = 0;
  gRace.frameCounter = 5;
  gQuads.clear();
  HudDrawWheelPanel(&gPlayer1);
  EXPECT_EQ(gQuads.size(), 3u);
}

TEST_F(WheelPanel, PlacedByViewAndShownOnlyWithTheGauges) {
  WholeScreen();
  for (WheelState& w : gPlayer1.wheels) w.attached = 1;
  struct Case {
    uint8_t view, flyIn;
    size_t quads;
    float x0, y0;
  };
  // In the car the panel has its background and stands at the left edge.
  const Case cases[] = {{0, 0, 4, 53, 438}, {1, 0, 5, 2, 437}, {1, 1, 4, 53, 438}};
  for (const Case& c : cases) {
    gPlayer1.viewActive = c.view;
    gRace.flyInActive = c.flyIn;
    gQuads.clear();
    HudDrawWheelPanel(&gPlayer1);
    ASSERT_EQ(gQuads.size(), c.quads);
    const DrawnQuad& last = gQuads.back();
    EXPECT_FLOAT_EQ(last.corners[0].screenX, c.x0);
    EXPECT_FLOAT_EQ(last.corners[0].screenY, c.y0);
    EXPECT_FLOAT_EQ(last.corners[2].screenX, c.x0 + 40.0f);
    EXPECT_FLOAT_EQ(last.corners[2].screenY, c.y0 + 40.0f);
    EXPECT_FLOAT_EQ(last.corners[0].viewZ, 20.0f);
    EXPECT_FLOAT_EQ(last.face.st[4], 255.0f);
    if (c.quads == 5) {
      EXPECT_EQ(gQuads[0].face.type, TEST_DIGITS | 0x2000000u);
      EXPECT_FLOAT_EQ(gQuads[0].face.st[0], 204.0f);
      EXPECT_FLOAT_EQ(gQuads[0].face.st[5], 125.0f);
    }
  }
  gPlayer1.viewActive = 0;
  gRace.flyInActive = 0;
  for (int32_t gauges : {0, 1}) {
    gRace.gauges = gauges;
    gQuads.clear();
    HudDrawView();
    EXPECT_EQ(Pictures(), gauges ? 4u : 0u);
  }
}

// A two-face arrow: one facing the rule's way, one away; a vertex pulled in
// front of the near limit.
class GuideArrow : public Hud {
 protected:
  void SetUp() override {
    Hud::SetUp();
    vertices_[0] = Vertex{};
    vertices_[1] = Vertex{};
    vertices_[2] = Vertex{};
    vertices_[1].x = 10.0f;
    vertices_[2].z = -58.0f;  // 2 in front of the camera with no turn
    for (int i = 0; i < 2; ++i) {
      faces_[i] = Face{};
      faces_[i].type = 77;
      faces_[i].vertexCount = 3;
      faces_[i].index[0] = 0;
      faces_[i].index[1] = 1;
      faces_[i].index[2] = 2;
    }
    faces_[0].normalZ = 1.0f;
    faces_[1].normalZ = -1.0f;
    faces_[1].type = 78;
    model_.vertexCount = 3;
    model_.faceCount = 2;
    model_.vertices = vertices_;
    model_.faces = faces_;
    gVehicleAssets.arrow = &model_;
  }
  Vertex vertices_[3];
  Face faces_[2];
  MeshHeader model_{};
};

TEST_F(GuideArrow, ProjectsTheTurnedModelAndDrawsTheFacesTheRuleKeeps) {
  WholeScreen();
  RdrSetProjScale(300.0f, 300.0f);
  Vertex* pool = gMesh.vertices;
  gPlayer1.guideHeading = 0;
  HudDrawGuideArrow(&gPlayer1);
  EXPECT_EQ(gMesh.vertices, pool);
  ASSERT_EQ(gQuads.size(), 1u);
  EXPECT_EQ(+gQuads[0].face.type, 77u);
  // 40 below the eye, 60 ahead.
  EXPECT_FLOAT_EQ(+vertices_[0].screenX, 320.0f);
  EXPECT_FLOAT_EQ(+vertices_[0].screenY, 240.0f - 40.0f * 300.0f / 60.0f);
  EXPECT_FLOAT_EQ(+vertices_[1].screenX, 320.0f + 10.0f * 300.0f / 60.0f);
  // Nearer than 5 is projected as at 5.
  EXPECT_FLOAT_EQ(+vertices_[2].viewZ, 2.0f);
  EXPECT_FLOAT_EQ(+vertices_[2].screenY, 240.0f - 40.0f * 300.0f / 5.0f);
  // A half turn: the far face now faces the rule's way, and x mirrors.
  gQuads.clear();
  gPlayer1.guideHeading = 512;
  HudDrawGuideArrow(&gPlayer1);
  ASSERT_EQ(gQuads.size(), 1u);
  EXPECT_EQ(+gQuads[0].face.type, 78u);
  EXPECT_NEAR(+vertices_[1].screenX, 320.0f - 10.0f * 300.0f / 60.0f, 1e-3);
}

TEST_F(GuideArrow, SitsHigherInSmallerViews) {
  struct Case {
    int32_t playersMode, sideBySide, viewTop;
    float drop;
  };
  const Case cases[] = {{0, 0, 0, 40.0f}, {1, 0, 0, 26.0f}, {1, 0, 240, 26.0f}, {1, 1, 0, 40.0f}, {0, 0, 10, 30.0f}};
  WholeScreen();
  RdrSetProjScale(300.0f, 300.0f);
  for (const Case& c : cases) {
    gRace.playersMode = c.playersMode;
    gRace.splitSideBySide = c.sideBySide;
    gRace.viewTop = c.viewTop;
    HudDrawGuideArrow(&gPlayer1);
    EXPECT_FLOAT_EQ(+vertices_[0].viewY, -c.drop) << c.playersMode << c.sideBySide << c.viewTop;
  }
}

}  // namespace
