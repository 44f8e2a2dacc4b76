// The track presentation, its zoom, the start fly-in and the full-screen
// scene frame around them, on the software back end with the race frame,
// its clock, the menus' input poll, the fades and the terrain stood in for.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "backend_common/display.h"
#include "backend_common/draw.h"
#include "engine3d/camera.h"
#include "engine3d/mesh.h"
#include "frontend/frontend.h"
#include "hal/clock.h"
#include "hal/gfx/gfx.h"
#include "platform/mem.h"
#include "presentation/flyin.h"
#include "presentation/presentation.h"
#include "presentation/text.h"
#include "race/race.h"
#include "race/tracks.h"
#include "race/trajectory.h"
#include "fog_log.h"
#include "support/test_support.h"

namespace {

// One frame of the presentation or the zoom, as the clock saw it.
struct ShowFrame {
  float reveal;
  int32_t fixedLength;
  std::string distanceLine;
  int32_t posts;  // flat triangles drawn this frame, two a post
  bool zoom;
};
bool gZoomStarted;
std::vector<ShowFrame> gShowFrames;
int32_t gFlatThisFrame;
// What the race frame saw during the fly-in.
struct FlyFrame {
  Camera fly, chase;
  uint8_t active;
};
std::vector<FlyFrame> gFlyFrames;
std::vector<int32_t> gFadeAlphas;
int32_t gPolls;
int32_t gPressAtPoll;  // the poll that answers a press; 0 never
bool gFailModelAllocation;
float (*gHeights)(float x, float z);
// The frames the clock had seen each time both buffers were blanked.
std::vector<size_t> gBlankedAfter;

Camera gChase;

}  // namespace

extern "C" {
void __wrap__Z15RdrBlankBuffersv() { gBlankedAfter.push_back(gShowFrames.size()); }
void* __real__Z8MemAllocj(uint32_t size);
void __real__Z13AppTimerStarti(int slot);
void __real__Z15RdrDrawFaceFlatP4Face(Face* face);

void __wrap__Z14RaceFrameClockv() {
  ShowFrame frame{gTrackShow.reveal, gTrackShow.fixedLength, HudFont.line, gFlatThisFrame, gZoomStarted};
  if (!gRace.flyInActive) gShowFrames.push_back(frame);
  gFlatThisFrame = 0;
  HalClockAdvance(40);
  gRace.timeStep = 1.0f;
  gRace.timeStepFifth = 0.2f;
}
void __wrap__Z9RaceFramev() {
  gFlyFrames.push_back({gFlyInCamera, gChase, gRace.flyInActive});
  // The simulation moves on: the chase camera does not stand still.
  gChase.x += 3.0f;
  gChase.heading += 2.0f;
}
// The zoom and the fly-in start the fade timer; the presentation does not.
void __wrap__Z13AppTimerStarti(int slot) {
  if (slot == TRACK_SHOW_TIMER) gZoomStarted = true;
  __real__Z13AppTimerStarti(slot);
}
uint8_t __wrap__Z13MenuPollInputv() { return ++gPolls == gPressAtPoll ? 2 : 0; }
void __wrap__Z17ViewDrawShadeQuadffffii(float, float, float, float, int32_t, int32_t alpha) {
  gFadeAlphas.push_back(alpha);
}
float __wrap__Z15TerrainHeightAtff(float x, float z) { return gHeights ? gHeights(x, z) : 0.0f; }
void* __wrap__Z8MemAllocj(uint32_t size) {
  if (gFailModelAllocation && size == sizeof(Vertex) * TRACK_MODEL_VERTICES) return nullptr;
  return __real__Z8MemAllocj(size);
}
void __wrap__Z15RdrDrawFaceFlatP4Face(Face* face) {
  ++gFlatThisFrame;
  __real__Z15RdrDrawFaceFlatP4Face(face);
}
}

// The front end's placeholder quits through the shell, which this suite leaves out.
void GameQuit() { std::abort(); }

namespace {

constexpr int32_t TRACK = 0;

class TrackShowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetHalForTest();
    GfxSetBoardConfig(GfxBoardConfig{});
    ASSERT_TRUE(RdrOpen(gDisplayModes[0], 1));
    RecordFatalErrors();
    MeshPoolAllocVertices(MESH_POOL_VERTICES);
    MeshPoolAllocFaces(MESH_POOL_FACES);
    RdrLightingOn();
    gRace = RaceState{};
    gRace.trackIndex = TRACK;
    gRace.timeStep = 1.0f;
    gRace.timeStepFifth = 0.2f;
    gRace.waterLevel = -10000.0f;
    gRace.viewHeight = gRdrState.screenHeight;
    gOptions = Options{};
    savedInfo_ = gTrackInfo[TRACK];
    gPlayer1 = Vehicle{};
    gPlayer1Vehicle = &gPlayer1;
    gChase = Camera{7800.0f, 300.0f, 3800.0f, 10.0f, 100.0f, 0.0f};
    gPlayer1.chaseCamera = &gChase;
    gShowFrames.clear();
    gZoomStarted = false;
    gFlyFrames.clear();
    gFadeAlphas.clear();
    gFogCalls.clear();
    gPolls = 0;
    gPressAtPoll = 0;
    gFlatThisFrame = 0;
    gFailModelAllocation = false;
    gHeights = nullptr;
    gTrajDenseCount = 0;
  }
  void TearDown() override {
    gTrackInfo[TRACK] = savedInfo_;
    RdrClose();
  }

  // A straight course line of `count` points 10 apart.
  static void CourseLine(int32_t count) {
    gTrajDenseCount = count;
    for (int32_t i = 0; i < count; ++i) gTrajDense[i] = {4000.0f + static_cast<float>(i % 800), 4000.0f,
                                                         10.0f * static_cast<float>(i)};
  }

  static std::vector<ShowFrame> Frames(bool zoom) {
    std::vector<ShowFrame> out;
    for (const ShowFrame& f : gShowFrames)
      if (f.zoom == zoom) out.push_back(f);
    return out;
  }

  TrackInfo savedInfo_{};
};

TEST_F(TrackShowTest, TheModelIsFlattenedAndPaintedOnlyUnderWater) {
  // Low ground (model height -10) west of x 8000, high ground (+20) east.
  gHeights = [](float x, float) { return x < 8000.0f ? -220.0f : 440.0f; };
  gRace.waterLevel = 0.0f;
  gRace.groundTexture = 0x55;
  ASSERT_EQ(ViewBuildTrackModel(), 1);
  const MeshHeader& m = gTrackShow.model;
  ASSERT_EQ(m.vertexCount, 2048u);
  ASSERT_EQ(m.faceCount, 3906u);
  int32_t water = 0;
  for (uint32_t i = 0; i < m.faceCount; ++i) {
    const Face& f = m.faces[i];
    bool allLow = true;
    for (int k = 0; k < 3; ++k) allLow = allLow && m.vertices[f.index[k]].y == 0.0f;
    EXPECT_EQ(+f.type, allLow ? TRACK_MODEL_WATER_WORD : 0x02000055u) << i;
    water += allLow ? 1 : 0;
  }
  // Columns 0..31 lie west of 8000: 31 quads a row under water.
  EXPECT_EQ(water, 2 * 31 * 31);
  // Grid spacing of the miniature, and the texture coordinates.
  const Vertex& corner = m.vertices[64 * 31 + 63];
  EXPECT_FLOAT_EQ(corner.x, -32.0f * (250.0f / 22.0f) + 63.0f * (250.0f / 22.0f));
  EXPECT_FLOAT_EQ(corner.z, -16.0f * (250.0f / 22.0f) + 31.0f * (250.0f / 22.0f));
  EXPECT_FLOAT_EQ(corner.y, 20.0f);
  EXPECT_FLOAT_EQ(m.vertices[0].y, 0.0f);  // raised to the water
  const Face& last = m.faces[3905];
  EXPECT_FLOAT_EQ(last.st[0], 4.0f * 62.0f);
  EXPECT_FLOAT_EQ(last.st[1], 4.0f * 30.0f);
  EXPECT_FLOAT_EQ(gFlyInCamera.y, 500.0f);
  EXPECT_FLOAT_EQ(gFlyInCamera.pitch, -120.0f);
  EXPECT_FLOAT_EQ(gTrackShow.object.z, 550.0f);
}

TEST_F(TrackShowTest, TheLineEndsThePresentationByItselfOrAKeyEndsItEarlier) {
  gRace.trajectoriesLoaded = 1;
  CourseLine(8000);
  gBlankedAfter.clear();
  ViewRunTrackPresentation();
  // Both buffers go black once, after the zoom's last frame.
  EXPECT_EQ(gBlankedAfter, std::vector<size_t>{gShowFrames.size()});
  // Done once the counter has passed 8000 + 2000 points: after 200 units.
  const std::vector<ShowFrame> shown = Frames(false);
  ASSERT_EQ(shown.size(), 202u);
  EXPECT_FLOAT_EQ(shown.back().reveal, 10050.0f + 50.0f);  // as the clock sees it, raised once more
  EXPECT_EQ(shown[3].distanceLine, "ENTFERNUNG 143 METER");  // 150 shown, the reference after post 10
  EXPECT_EQ(shown[3].posts, 2 * 11);
  EXPECT_EQ(shown[170].distanceLine, "ENTFERNUNG 7999 METER");
  const std::vector<ShowFrame> zoom = Frames(true);
  ASSERT_FALSE(zoom.empty());
  EXPECT_EQ(zoom[0].fixedLength, 79990);
  for (const ShowFrame& f : zoom) EXPECT_EQ(f.distanceLine, "ENTFERNUNG 7999 METER");

  gShowFrames.clear();
  gZoomStarted = false;
  gPolls = 0;
  gPressAtPoll = 11;  // the first poll drops a pending press
  ViewRunTrackPresentation();
  EXPECT_EQ(Frames(false).size(), 10u);
}

TEST_F(TrackShowTest, WithoutTrajectoriesThereIsNoLineAndNoDistance) {
  // The dense line still holds another track's course.
  gRace.trajectoriesLoaded = 0;
  CourseLine(8000);
  ViewRunTrackPresentation();
  const std::vector<ShowFrame> shown = Frames(false);
  EXPECT_EQ(shown.size(), 42u);  // 2000 points past an empty line
  for (const ShowFrame& f : gShowFrames) {
    EXPECT_EQ(f.distanceLine, "ENTFERNUNG 0 METER");
    EXPECT_EQ(f.posts, 0);
    EXPECT_EQ(f.fixedLength, 0);
  }
}

TEST_F(TrackShowTest, TheZoomFadesToBlackTowardTheStartSide) {
  struct Case {
    uint16_t heading;
    float side;
  };
  for (const Case& c : {Case{0, -1.0f}, Case{512, 1.0f}, Case{256, 1.0f}}) {
    gTrackInfo[TRACK].startHeading = c.heading;
    gFadeAlphas.clear();
    ViewRunTrackPresentation();
    // Target 200 beyond the chase camera's x and z: at 3800 the model's z
    // is 200 / 22 on the start's side.
    EXPECT_GT(gFlyInCamera.z * c.side, 0.9f * 200.0f / 22.0f) << c.heading;
    EXPECT_NEAR(gFlyInCamera.x, -200.0f / 22.0f, 1.0f);
    ASSERT_FALSE(gFadeAlphas.empty());
    EXPECT_GT(gFadeAlphas.front(), 0);
    EXPECT_EQ(gFadeAlphas.back(), 255);
    for (size_t i = 1; i < gFadeAlphas.size(); ++i) EXPECT_GE(gFadeAlphas[i], gFadeAlphas[i - 1]);
  }
}

TEST_F(TrackShowTest, TheSceneFrameGivesTheRaceItsViewBack) {
  gOptions.detail[3] = 1;
  RdrSetProjScale(123.5f, 77.25f);
  RdrSetClipWindow(3, 4, 300, 190);
  RdrSetProjCentre(150, 90);
  gRace.viewTop = 7;
  gRace.viewHeight = 99;
  const RdrState before = gRdrState;
  gPressAtPoll = 2;
  gFogCalls.clear();
  ViewRunTrackPresentation();
  EXPECT_EQ(gRdrState.scaleX, before.scaleX);
  EXPECT_EQ(gRdrState.scaleY, before.scaleY);
  EXPECT_EQ(gRdrState.clipMinX, before.clipMinX);
  EXPECT_EQ(gRdrState.clipMinY, before.clipMinY);
  EXPECT_EQ(gRdrState.clipMaxX, before.clipMaxX);
  EXPECT_EQ(gRdrState.clipMaxY, before.clipMaxY);
  EXPECT_EQ(gRdrState.centreX, before.centreX);
  EXPECT_EQ(gRdrState.centreY, before.centreY);
  EXPECT_EQ(gRace.viewTop, 7);
  EXPECT_EQ(gRace.viewHeight, 99);
  ASSERT_FALSE(gFogCalls.empty());
  EXPECT_EQ(gFogCalls.front(), "off");
  EXPECT_EQ(gFogCalls.back(), "on");
  // The zoom ended at the race's scale, which the fly-in starts from.
  EXPECT_NEAR(gTrackShow.zoomEndScaleX, before.scaleX, 0.1f * before.scaleX);

  gOptions.detail[3] = 0;
  gFogCalls.clear();
  SceneScreenBegin();
  SceneScreenEnd();
  EXPECT_EQ(gFogCalls, (std::vector<std::string>{"off", "off"}));
}

TEST_F(TrackShowTest, AModelThatCannotBeAllocatedSkipsThePresentation) {
  gFailModelAllocation = true;
  gRace.trajectoriesLoaded = 1;
  CourseLine(100);
  ViewRunTrackPresentation();
  EXPECT_TRUE(gShowFrames.empty());
  EXPECT_TRUE(gFadeAlphas.empty());
  EXPECT_EQ(gPolls, 0);
  // The fly-in still starts from a defined point.
  EXPECT_FLOAT_EQ(gFlyInCamera.y, 500.0f);
  EXPECT_FLOAT_EQ(gFlyInCamera.pitch, -120.0f);
  ViewRunStartFlyIn();
  ASSERT_FALSE(gFlyFrames.empty());
  EXPECT_FLOAT_EQ(gFlyFrames.front().fly.y, 500.0f * 22.0f);
}

TEST_F(TrackShowTest, TheFlyInEndsExactlyOnTheChaseCamera) {
  gPressAtPoll = 2;
  ViewRunTrackPresentation();
  const float raceScaleX = gTrackShow.raceScaleX;
  gFadeAlphas.clear();
  ViewRunStartFlyIn();
  ASSERT_EQ(gFlyFrames.size(), 26u);  // 1000 ms of 40 ms frames, the last at 1000
  for (const FlyFrame& f : gFlyFrames) EXPECT_EQ(f.active, 1);
  const FlyFrame& last = gFlyFrames.back();
  EXPECT_EQ(std::memcmp(&last.fly, &last.chase, sizeof(Camera)), 0);
  // The first frame starts where the zoom left the camera, in world units.
  EXPECT_GT(std::fabs(gFlyFrames.front().fly.x - gFlyFrames.front().chase.x), 10.0f);
  EXPECT_EQ(gRace.flyInActive, 0);
  EXPECT_EQ(gRdrState.scaleX, raceScaleX);
  // The picture fades in: from black, and no quad once fully visible.
  ASSERT_EQ(gFadeAlphas.size(), 25u);
  EXPECT_EQ(gFadeAlphas.front(), 255);
  for (size_t i = 1; i < gFadeAlphas.size(); ++i) EXPECT_LT(gFadeAlphas[i], gFadeAlphas[i - 1]);
}

}  // namespace
