// The replay camera's picks and follow shots, the attract demo's loop, its
// picture-in-picture and panels, the credits' windows and tracks, and the
// rear-view mirror, on the software back end. The race's own steps and passes,
// the clock, the loader, the menus' poll and the camera file are stood in
// for (--wrap), so that each test sets the spots and the input it needs.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "backend_common/display.h"
#include "backend_common/texture.h"
#include "engine3d/mesh.h"
#include "engine3d/random.h"
#include "frontend/frontend.h"
#include "hal/gfx/gfx.h"
#include "platform/app.h"
#include "presentation/replay.h"
#include "presentation/sfx.h"
#include "race/race.h"
#include "race/track_files.h"
#include "race/vehicle_steps.h"
#include "support/test_support.h"

namespace {

// What the wrapped passes saw.
struct Pass {
  uint8_t inset;
  float clipMinX, clipMinY;
  const Camera* pose;
  uint8_t sound;
  Options options;
  float scaleX;
};
std::vector<Pass> gFlushes;
int32_t gLogicSteps;
int32_t gLoads;
std::vector<int32_t> gLoadedTracks;
std::vector<int32_t> gCreditsScenes;
int32_t gMusicStops;
std::vector<int32_t> gShadeAlphas;
int32_t gDecals;
int32_t gTranslucent, gTrafficDraws;
int32_t gPolls;
int32_t gPressAtPoll;
uint32_t gFrameMs = 40;
// Input that arrives at a given logic step: 0 never.
int32_t gInputAtStep;
void (*gInputSet)();
// Moves the followed car each step.
void (*gMoveCar)();

}  // namespace

extern "C" {
void __wrap__Z13RaceLogicStepv() {
  ++gLogicSteps;
  if (gMoveCar) gMoveCar();
  if (gInputAtStep && gLogicSteps == gInputAtStep && gInputSet) gInputSet();
}
// Neige and savana set the far plane from the camera's height as each view
// is drawn; a test can have the view do so.
float gViewDistanceOfView;
void __wrap__Z14RaceRenderViewv() {
  if (gViewDistanceOfView > 0.0f) gRace.viewDistance = gViewDistanceOfView;
}
void __wrap__Z14RaceFlushScenev() {
  gFlushes.push_back({gViewInsetPass, gRdrState.clipMinX, gRdrState.clipMinY, gRace.currentPose, gSoundOn, gOptions,
                      gRdrState.scaleX});
}
void __wrap__Z24VehicleDrawAmbientShadowv() {}
void __wrap__Z14VehicleDrawAllv() {}
void __wrap__Z19VehicleDrawInsetAllv() {}
void __wrap__Z14DecorFrameStepv() {}
void __wrap__Z16RaceRankVehiclesv() {}
void __wrap__Z15FxDrawParticlesv() {}
void __wrap__Z15FxDrawTyreMarksv() {}
void __wrap__Z11HudDrawViewv() {}
void __wrap__Z14RaceFrameClockv() {
  HalClockAdvance(gFrameMs);
  gRace.timeStep = 1.0f;
  gRace.timeStepFifth = 0.2f;
}
void __wrap__Z8RaceLoadi(int32_t track) {
  ++gLoads;
  gLoadedTracks.push_back(track);
}
void __wrap__Z16TrackLoadCamerasv() {}
void __wrap__Z9MusicStopv() { ++gMusicStops; }
void __wrap__Z17ViewDrawShadeQuadffffii(float, float, float, float, int32_t, int32_t alpha) {
  gShadeAlphas.push_back(alpha);
}
uint8_t __wrap__Z13MenuPollInputv() { return ++gPolls == gPressAtPoll ? 2 : 0; }
void __wrap__Z17CreditsSetupScenei(int32_t track) { gCreditsScenes.push_back(track); }
void __wrap__Z16RdrDrawFaceDecalP4Face(Face*) { ++gDecals; }
void __wrap__Z26ObjDrawDeferredTranslucentv() { ++gTranslucent; }
void __wrap__Z15TrackObjDrawAllv() { ++gTrafficDraws; }
float __wrap__Z15TerrainHeightAtff(float, float) { return 0.0f; }
}

namespace {

Vehicle& Car() { return gVehicleRecords[VEHICLE_EXTRA_CAR]; }

void PlaceCar(float x, float y, float z) {
  Car().pose.x = x;
  Car().pose.y = y;
  Car().pose.z = z;
}

void Spot(int32_t i, int32_t kind, float x, float y, float z, float pitch = 0.0f, float heading = 0.0f) {
  gCameraSpots[i] = CameraSpot{1, kind, Camera{x, y, z, pitch, heading, 0.0f}};
}

int32_t Current() { return gReplayCut.current ? static_cast<int32_t>(gReplayCut.current - gCameraSpots) : -1; }
int32_t Previous() { return gReplayCut.previous ? static_cast<int32_t>(gReplayCut.previous - gCameraSpots) : -1; }

// The random index after which RandNextAbs draws a value whose low six bits
// are all 0 (or, with `lucky` false, not).
uint32_t IndexBeforeDraw(bool lucky) {
  RandAt(0);  // fills the table
  for (uint32_t i = 0; i < RANDOM_TABLE_SIZE; ++i) {
    int32_t v = RandomTable[(i + 1) & RANDOM_INDEX_MASK];
    v = v < 0 ? -v : v;
    if (((v & 63) == 0) == lucky) return i;
  }
  return 0;
}

class ReplayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetHalForTest();
    GfxSetBoardConfig(GfxBoardConfig{});
    ASSERT_TRUE(RdrOpen(gDisplayModes[0], 1));
    MeshPoolAllocVertices(MESH_POOL_VERTICES);
    MeshPoolAllocFaces(MESH_POOL_FACES);
    gRace = RaceState{};
    gRace.timeStep = 1.0f;
    gRace.timeStepFifth = 0.2f;
    gRace.viewDistance = 5000.0f;
    gRace.waterLevel = -10000.0f;
    gRace.viewHeight = gRdrState.screenHeight;
    gRace.trajectoriesLoaded = 1;
    gOptions = Options{};
    gOptions.detail[3] = 1;
    gSoundOn = 0;
    for (CameraSpot& s : gCameraSpots) s = CameraSpot{};
    for (int i = 0; i < VEHICLE_RECORDS; ++i) gVehicleRecords[i] = Vehicle{};
    for (int i = 0; i < VEHICLE_TABLE_SLOTS; ++i) gVehicleTable[i] = &gVehicleRecords[i == 0 ? VEHICLE_EXTRA_CAR : i - 1];
    PlaceCar(1000.0f, 0.0f, 1000.0f);
    gReplayCut = ReplayCutState{};
    gReplayView = ReplayViewState{};
    gReplayCamera = Camera{};
    gFlushes.clear();
    gLogicSteps = gLoads = gMusicStops = gDecals = gTranslucent = gTrafficDraws = gPolls = gPressAtPoll = 0;
    gLoadedTracks.clear();
    gCreditsScenes.clear();
    gShadeAlphas.clear();
    gInputAtStep = 0;
    gInputSet = nullptr;
    gMoveCar = nullptr;
    gFrameMs = 40;
    gViewDistanceOfView = 0.0f;
    gKeyScanCode = 0;
    gApp.mouseButtons = 0;
    gApp.keyBits = 0;
  }
  void TearDown() override { RdrClose(); }
};

// --- The camera's picks ---

TEST_F(ReplayTest, SpotsNotInUseAreNeverChosenAndWithNoneTheDemoAndTheCreditsEndAtOnce) {
  Spot(0, 1, 1100.0f, 50.0f, 1000.0f);
  gCameraSpots[0].inUse = 0;
  Spot(1, 1, 1500.0f, 50.0f, 1000.0f);
  ReplayCamPickNearest();
  EXPECT_EQ(Current(), 1);
  gCameraSpots[1].inUse = 0;
  gReplayCut.current = nullptr;
  ReplayCamPickNearest();
  EXPECT_EQ(Current(), -1);
  gReplayCut.sinceCut = 0.0f;
  ReplayCamPick(0);
  EXPECT_EQ(Current(), -1);

  ReplayRunAttract(1);
  std::vector<uint16_t> buffer(static_cast<size_t>(gRdrState.screenWidth * gRdrState.screenHeight));
  ReplayRunCreditsDemo(buffer.data());
  EXPECT_EQ(gLogicSteps, 0);
  EXPECT_EQ(gLoads, 0);
  EXPECT_TRUE(gCreditsScenes.empty());
}

TEST_F(ReplayTest, OnEqualDistancesTheEarlierSpotWins) {
  // Spots 2 and 5 both 300 from the car, 7 farther; tracking and of another kind.
  for (int32_t kind : {1, 3}) {
    SCOPED_TRACE(kind);
    for (CameraSpot& s : gCameraSpots) s = CameraSpot{};
    Spot(7, kind, 1400.0f, 50.0f, 1000.0f);
    Spot(5, kind, 1000.0f, 50.0f, 1300.0f);
    Spot(2, kind, 700.0f, 50.0f, 1000.0f);
    gReplayCut = ReplayCutState{};
    ReplayCamPickNearest();
    EXPECT_EQ(Current(), 2);
    gReplayCut = ReplayCutState{};
    ReplayCamPick(0);
    EXPECT_EQ(Current(), 2);
  }
  // A spot read from a damaged file with no position is never the nearest.
  Spot(1, 1, std::nanf(""), 50.0f, 1000.0f);
  gReplayCut = ReplayCutState{};
  ReplayCamPickNearest();
  EXPECT_EQ(Current(), 2);
}

TEST_F(ReplayTest, AForcedPickNeverReturnsToTheCurrentOrPreviousSpotAndWithNothingLeftFollowsTheCar) {
  Spot(0, 1, 1100.0f, 50.0f, 1000.0f);
  Spot(1, 1, 1200.0f, 50.0f, 1000.0f);
  Spot(2, 1, 1300.0f, 50.0f, 1000.0f);
  gReplayCut.current = &gCameraSpots[0];
  gReplayCut.previous = &gCameraSpots[1];
  gRandom.index = IndexBeforeDraw(false);
  ReplayCamPick(1);
  EXPECT_EQ(Current(), 2);
  EXPECT_EQ(Previous(), 0);
  EXPECT_FLOAT_EQ(gReplayCut.sinceCut, 25.0f);
  // Spot 2 is current, 0 previous: only 1 is left, and it is taken.
  gReplayCut.sinceCut = 0.0f;
  gRandom.index = IndexBeforeDraw(false);
  ReplayCamPick(1);
  EXPECT_EQ(Current(), 1);
  // Now 1 and 2 are barred and 0 is out of use: a short follow shot.
  gCameraSpots[0].inUse = 0;
  gReplayCut.sinceCut = 0.0f;
  gRandom.index = IndexBeforeDraw(false);
  ReplayCamPick(1);
  EXPECT_EQ(Current(), 1);
  EXPECT_FLOAT_EQ(gReplayCut.holdTime, 125.0f);
}

// A tracking spot past 1000 forces a pick every frame; the cuts themselves
// come at least 25 frame units apart.
TEST_F(ReplayTest, ForcedCutsComeAtLeast25UnitsApartWhileAnUnforcedPickIsNotHeldBack) {
  for (int32_t i = 0; i < 4; ++i) Spot(i, 1, 1000.0f + 1100.0f + 100.0f * static_cast<float>(i), 50.0f, 1000.0f);
  ReplayCamPickNearest();
  ASSERT_EQ(Current(), 0);
  gRandom.index = 0;
  std::vector<int32_t> cutFrames;
  int32_t last = Current();
  Car().velocity = 0.0f;  // no lucky follow shot
  for (int32_t frame = 1; frame <= 120; ++frame) {
    ReplayCamStep();
    if (Current() != last) cutFrames.push_back(frame);
    last = Current();
    ASSERT_LE(gReplayCut.holdTime, 0.0f);
  }
  ASSERT_GE(cutFrames.size(), 3u);
  for (size_t i = 1; i < cutFrames.size(); ++i) EXPECT_GE(cutFrames[i] - cutFrames[i - 1], 25);

  // The end of a follow shot picks at once, whatever the time since the last cut.
  Spot(9, 1, 1200.0f, 50.0f, 1000.0f);
  gReplayCut.holdTime = 0.5f;
  gReplayCut.sinceCut = 20.0f;
  ReplayCamStep();
  EXPECT_EQ(Current(), 9);
}

TEST_F(ReplayTest, AFixedSpotKeepsTheShotWhileTheCarStaysInItsWindowOnceTheRaceHasStarted) {
  // Spot 0 stands 200 behind the car on z, looking along +z; spot 1 is a
  // tracking spot to cut to.
  Spot(0, 0, 1000.0f, 0.0f, 800.0f);
  Spot(1, 1, 1300.0f, 50.0f, 1300.0f);
  ReplayCamPickNearest();
  ASSERT_EQ(Current(), 0);
  gRandom.index = IndexBeforeDraw(false);
  gReplayCut.sinceCut = 0.0f;
  gRace.raceStarted = 1;
  for (float z : {1000.0f, 1200.0f, 1500.0f}) {
    PlaceCar(1000.0f, 0.0f, z);
    ReplayCamStep();
    EXPECT_EQ(Current(), 0) << z;
    EXPECT_FLOAT_EQ(gReplayCamera.z, 800.0f);
  }
  // Beyond 1000 deep the spot lets the car go: before the start it stays.
  PlaceCar(1000.0f, 0.0f, 1900.0f);
  gRace.raceStarted = 0;
  ReplayCamStep();
  EXPECT_EQ(Current(), 0);
  gRace.raceStarted = 1;
  gReplayCut.sinceCut = 0.0f;
  gRandom.index = IndexBeforeDraw(false);
  ReplayCamStep();
  EXPECT_EQ(Current(), 1);
  // Far off to the side of the window, as well.
  gReplayCut = ReplayCutState{};
  PlaceCar(1000.0f, 0.0f, 1000.0f);
  ReplayCamPickNearest();
  ASSERT_EQ(Current(), 0);
  gReplayCut.sinceCut = 0.0f;
  PlaceCar(1300.0f, 0.0f, 900.0f);
  gRandom.index = IndexBeforeDraw(false);
  ReplayCamStep();
  EXPECT_EQ(Current(), 1);
}

TEST_F(ReplayTest, FollowShotsTakeTheirKindsInTurnAndRunTheirLength) {
  Spot(0, 1, 1100.0f, 50.0f, 1000.0f);
  ReplayCamPickNearest();
  gReplayCut.sinceCut = 0.0f;
  struct Case {
    float velocity;
    bool lucky;
    float hold;  // 0: no follow shot
  };
  // The one-in-64 draw starts the long shot only above velocity 100; with
  // every spot barred a forced pick starts the short one.
  const Case cases[] = {{101.0f, true, 175.0f}, {100.0f, true, 0.0f}, {101.0f, false, 0.0f}};
  int32_t kind = gReplayCut.followKind;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.velocity);
    gReplayCut.holdTime = 0.0f;
    gReplayCut.current = nullptr;
    Car().velocity = c.velocity;
    gRandom.index = IndexBeforeDraw(c.lucky);
    ReplayCamPick(1);
    EXPECT_FLOAT_EQ(gReplayCut.holdTime, c.hold);
    if (c.hold > 0.0f) {
      kind = (kind + 1) % 3;
      EXPECT_EQ(gReplayCut.followKind, kind);
      EXPECT_FLOAT_EQ(gRdrState.scaleX, gReplayCut.baseScaleX);
    } else {
      EXPECT_FLOAT_EQ(gRdrState.scaleX, 2.0f * gReplayCut.baseScaleX);
    }
  }
  // Barred spot: the short shot, the next kind; it runs 125 frame units,
  // then an unforced pick ends it.
  gReplayCut.current = &gCameraSpots[0];
  gReplayCut.holdTime = 0.0f;
  gReplayCut.sinceCut = 0.0f;
  Car().velocity = 0.0f;
  ReplayCamPick(1);
  ASSERT_FLOAT_EQ(gReplayCut.holdTime, 125.0f);
  EXPECT_EQ(gReplayCut.followKind, (kind + 1) % 3);
  int32_t frames = 0;
  while (gReplayCut.holdTime > 0.0f && frames < 1000) {
    ReplayCamStep();
    ++frames;
  }
  EXPECT_EQ(frames, 125);
  EXPECT_EQ(Current(), 0);
  // A new demo keeps the kind and the angles where they were.
  const ReplayCutState kept = gReplayCut;
  ReplayRunAttract(0);
  EXPECT_EQ(gReplayCut.followKind, kept.followKind);
  EXPECT_FLOAT_EQ(gReplayCut.followA, kept.followA);
  EXPECT_FLOAT_EQ(gReplayCut.followB, kept.followB);
}

TEST_F(ReplayTest, TheFollowShotsStayAboveTheGroundAndTheWaterAndTheBonnetShotSweepsAcross) {
  gReplayCut.followKind = 1;  // the next is the bonnet
  Vehicle& v = Car();
  for (int i = 0; i < 9; ++i) v.bodyMatrix[i] = (i % 4 == 0) ? 1.0f : 0.0f;
  v.eyePoint[0] = 1000.0f;
  v.eyePoint[1] = 40.0f;
  v.eyePoint[2] = 1000.0f;
  ReplayCamFollowStart(&v.pose);
  EXPECT_EQ(gReplayCut.followKind, 2);
  EXPECT_FLOAT_EQ(gReplayCamera.x, 1015.0f);
  EXPECT_FLOAT_EQ(gReplayCamera.y, 38.0f);
  EXPECT_FLOAT_EQ(gReplayCamera.z, 976.0f);
  gRace.waterLevel = 50.0f;
  for (int i = 0; i < 200; ++i) ReplayCamFollowStep(&v.pose);
  // From +15 to -15 at a sixth of a unit a frame, then it stays.
  EXPECT_LE(gReplayCut.followDistance, -15.0f + 1.0f / 6.0f);
  EXPECT_GT(gReplayCut.followDistance, -15.0f - 1.0f / 6.0f);
  EXPECT_GE(gReplayCamera.y, 70.0f);
  // The orbit and the fly-by, kept 20 and 10 above the ground (0 here).
  gRace.waterLevel = -10000.0f;
  v.pose = Camera{1000.0f, -500.0f, 1000.0f, 0.0f, 0.0f, 0.0f};
  for (int32_t kind = 0; kind < 2; ++kind) {
    ReplayCamFollowStart(&v.pose);
    EXPECT_GE(gReplayCamera.y, kind == 0 ? 20.0f : 10.0f) << kind;
    ReplayCamFollowStep(&v.pose);
    EXPECT_GE(gReplayCamera.y, kind == 0 ? 20.0f : 10.0f) << kind;
  }
  // The fly-by starts 40..69 from the car and closes in.
  EXPECT_GE(gReplayCut.followDistance, 39.0f);
  EXPECT_LT(gReplayCut.followDistance, 69.0f);
}

// --- The demo ---

struct DemoInput {
  const char* name;
  void (*set)();
};
const DemoInput DEMO_INPUTS[] = {
    {"key", [] { gKeyScanCode = 0x39; }},
    {"mouse button", [] { gApp.mouseButtons = APP_MOUSE_LEFT; }},
    {"arrow bit", [] { gApp.keyBits = APP_KEY_LEFT; }},
    {"ctrl bit", [] { gApp.keyBits = APP_KEY_CTRL; }},
};

TEST_F(ReplayTest, AnyInputEndsTheDemoAtOnceWithoutLoadingTheNextTrack) {
  for (const DemoInput& input : DEMO_INPUTS) {
    SCOPED_TRACE(input.name);
    SetUp();
    Spot(0, 1, 1100.0f, 50.0f, 1000.0f);
    gInputAtStep = 40;
    gInputSet = input.set;
    ReplayRunAttract(1);
    EXPECT_EQ(gLogicSteps, 40);
    EXPECT_EQ(gLoads, 0);
    EXPECT_EQ(gRace.trackIndex, 0);
    TearDown();
  }
  SetUp();
}

TEST_F(ReplayTest, TheDemoFadesFromItsEightyFourthSecondAndWithRepeatLoadsTheNextTrackAfterNinety) {
  Spot(0, 1, 1100.0f, 50.0f, 1000.0f);
  gRace.trackIndex = 3;
  gInputAtStep = 2 * 2250 + 10;  // in the third track's demo
  gInputSet = DEMO_INPUTS[0].set;
  ReplayRunAttract(1);
  // In championship order: 3, then 5, then 7.
  EXPECT_EQ(gLoadedTracks, (std::vector<int32_t>{5, 7}));
  EXPECT_EQ(gRace.trackIndex, 7);
  EXPECT_EQ(gMusicStops, 2);
  // 2250 frames of 40 ms each track: the fade from 84000 ms, rising by 1.7
  // a frame to 255.
  ASSERT_EQ(gShadeAlphas.size(), 2u * 149u);
  for (size_t i = 1; i < 149; ++i) EXPECT_GE(gShadeAlphas[i], gShadeAlphas[i - 1]);
  EXPECT_EQ(gShadeAlphas[0], 1);
  EXPECT_EQ(gShadeAlphas[148], 253);

  SetUp();
  Spot(0, 1, 1100.0f, 50.0f, 1000.0f);
  ReplayRunAttract(0);
  EXPECT_EQ(gLogicSteps, 2250);
  EXPECT_EQ(gLoads, 0);
}

TEST_F(ReplayTest, ThePictureInPictureChangesCornerEachTimeAndShowsTheCarOfThatIndex) {
  Spot(0, 1, 1100.0f, 50.0f, 1000.0f);
  ReplayRunAttract(0);
  const int32_t w = gRdrState.screenWidth, h = gRdrState.screenHeight;
  int32_t lastCorner = -1, corners = 0, insetFrames = 0;
  for (const Pass& p : gFlushes) {
    if (!p.inset) continue;
    ++insetFrames;
    EXPECT_EQ(p.sound, 0);
    const int32_t corner = (p.clipMinX > 0.0f ? 1 : 0) + (p.clipMinY > 0.0f ? 2 : 0);
    if (p.clipMinX > 0.0f) {
      EXPECT_EQ(p.clipMinX, static_cast<float>(w * 312 / 512));
    }
    if (p.clipMinY > 0.0f) {
      EXPECT_EQ(p.clipMinY, static_cast<float>(h * 234 / 384));
    }
    EXPECT_EQ(p.pose, &gVehicleTable[corner]->pose) << corner;
    if (corner != lastCorner) {
      EXPECT_NE(corner, lastCorner);
      ++corners;
    }
    lastCorner = corner;
  }
  EXPECT_GT(insetFrames, 0);
  EXPECT_GE(corners, 3);
  // Corner changes of the state itself, every 250 units, never to the same corner.
  SetUp();
  Spot(0, 1, 1100.0f, 50.0f, 1000.0f);
  gReplayView.insetVehicle = gVehicleTable[0];
  int32_t corner = 0;
  for (int32_t frame = 0; frame < 251 * 40; ++frame) {
    ReplayFrameRender();
    if (gReplayView.insetTimer == 0.0f) {
      EXPECT_NE(gReplayView.insetPosition, corner);
      EXPECT_EQ(gReplayView.insetVehicle, gVehicleTable[gReplayView.insetPosition]);
      corner = gReplayView.insetPosition;
    }
  }
}

TEST_F(ReplayTest, WithTheEffectsOptionOffThePictureInPictureIsNeverDrawn) {
  Spot(0, 1, 1100.0f, 50.0f, 1000.0f);
  gOptions.detail[3] = 0;
  ReplayRunAttract(0);
  ASSERT_EQ(gFlushes.size(), 2250u);
  for (const Pass& p : gFlushes) EXPECT_EQ(p.inset, 0);
}

TEST_F(ReplayTest, APanelWhoseTextureIsMissingIsNotDrawn) {
  Spot(0, 1, 1100.0f, 50.0f, 1000.0f);
  gFrameMs = 30000;
  // Only pub3 is in the table.
  gTextureTable.count = 1;
  std::strcpy(gTextureTable.entries[0].key, "PUB3");
  ReplayRunAttract(0);
  EXPECT_EQ(gReplayView.panels[0], nullptr);
  EXPECT_EQ(gReplayView.panels[1], &gTextureTable.entries[0]);
  EXPECT_EQ(gLogicSteps, 3);
  EXPECT_EQ(gDecals, 3);
}

// --- The credits ---

TEST_F(ReplayTest, TheCreditsWindowStaysOnScreenAndMovesFarEnoughEachTime) {
  gReplayView.windowX = 160;
  gReplayView.windowY = 120;
  for (int32_t i = 0; i < 2000; ++i) {
    const int32_t x = gReplayView.windowX, y = gReplayView.windowY;
    ReplayCreditsPlaceWindow();
    const int32_t nx = gReplayView.windowX, ny = gReplayView.windowY;
    ASSERT_GE(nx, 0);
    ASSERT_LE(nx, 319);
    ASSERT_GE(ny, 0);
    ASSERT_LE(ny, 279);
    ASSERT_TRUE(std::abs(nx - x) >= 100 || std::abs(ny - y) >= 80) << x << "," << y << " -> " << nx << "," << ny;
  }
}

TEST_F(ReplayTest, TheCreditsChangeCarAndWindowEvery250UnitsAndTrackEvery37Seconds) {
  Spot(0, 1, 1100.0f, 50.0f, 1000.0f);
  gPressAtPoll = 1125;  // 45000 ms
  std::vector<uint16_t> buffer(static_cast<size_t>(gRdrState.screenWidth * gRdrState.screenHeight));
  gRace.trackIndex = 9;
  ReplayRunCreditsDemo(buffer.data());
  EXPECT_EQ(gPolls, 1125);
  EXPECT_EQ(gCreditsScenes, std::vector<int32_t>{0});
  EXPECT_EQ(gRace.trackIndex, 0);
  // The clip window follows the credits window; it moves every 250 frames
  // and the view goes round the six table entries.
  int32_t moves = 0;
  for (size_t i = 1; i < gFlushes.size(); ++i)
    if (gFlushes[i].clipMinX != gFlushes[i - 1].clipMinX || gFlushes[i].clipMinY != gFlushes[i - 1].clipMinY) ++moves;
  // 1125 frames: changes at 251, 502 and 753, one at the track change
  // (frame 926, 37000 ms), whose new start sets the car's clock back.
  EXPECT_EQ(moves, 4);
  EXPECT_EQ(gReplayView.insetPosition, 3);
  EXPECT_EQ(gReplayView.insetVehicle, gVehicleTable[3]);
}

// --- The mirror ---

TEST_F(ReplayTest, TheMirrorDrawsWithoutSoundOrEffectsAndPutsEverythingBack) {
  gSoundOn = 1;
  gOptions.detail[0] = 0;
  gOptions.detail[1] = 1;
  gOptions.detail[2] = 1;
  gOptions.detail[3] = 1;
  gOptions.keyboardSensitivity = 2;
  RdrSetClipWindow(0, 10, 300, 190);
  RdrSetProjCentre(150, 100);
  RdrSetProjScale(123.0f, 145.0f);
  RdrSetDepthRange(5, 1700);
  gRace.viewDistance = 1700.0f;
  gRace.trackIndex = 9;
  gViewDistanceOfView = 400.0f;  // the mirror's camera sees less far
  const RdrState before = gRdrState;
  const Options options = gOptions;
  Vehicle& v = gPlayer1;
  v = Vehicle{};
  ViewDrawInset(&v);
  ASSERT_EQ(gFlushes.size(), 1u);
  const Pass& inside = gFlushes[0];
  EXPECT_EQ(inside.inset, 1);
  EXPECT_EQ(inside.sound, 0);
  const uint8_t low[4] = {2, 2, 0, 0};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(inside.options.detail[i], low[i]) << i;
  EXPECT_LT(inside.scaleX, 0.0f);
  // Ice's translucent faces only when the effects were on before.
  EXPECT_EQ(gTranslucent, 1);
  EXPECT_EQ(gViewInsetPass, 0);
  EXPECT_EQ(gSoundOn, 1);
  EXPECT_EQ(std::memcmp(&gOptions, &options, sizeof options), 0);
  for (float pair : {gRdrState.clipMinX - before.clipMinX, gRdrState.clipMinY - before.clipMinY,
                     gRdrState.clipMaxX - before.clipMaxX, gRdrState.clipMaxY - before.clipMaxY,
                     gRdrState.centreX - before.centreX, gRdrState.centreY - before.centreY,
                     gRdrState.scaleX - before.scaleX, gRdrState.scaleY - before.scaleY,
                     gRdrState.nearPlane - before.nearPlane, gRdrState.farPlane - before.farPlane})
    EXPECT_EQ(pair, 0.0f);
  EXPECT_FLOAT_EQ(gRace.viewDistance, 1700.0f);
}

TEST_F(ReplayTest, TheMirrorsTrackExtrasByTrack) {
  struct Case {
    int32_t track;
    int32_t effects;
    int32_t translucent, traffic;
  };
  const Case cases[] = {{0, 1, 0, 0}, {1, 1, 0, 0}, {2, 1, 1, 0}, {2, 0, 0, 0}, {3, 1, 1, 0}, {4, 0, 0, 1},
                        {4, 1, 0, 1}, {5, 1, 0, 0}, {6, 1, 0, 0}, {7, 1, 1, 0}, {8, 1, 0, 0}, {9, 1, 1, 0},
                        {9, 0, 0, 0}};
  for (const Case& c : cases) {
    gTranslucent = gTrafficDraws = 0;
    gRace.trackIndex = c.track;
    ViewDrawTrackExtras(c.effects);
    EXPECT_EQ(gTranslucent, c.translucent) << c.track << " effects " << c.effects;
    EXPECT_EQ(gTrafficDraws, c.traffic) << c.track;
  }
}

}  // namespace
