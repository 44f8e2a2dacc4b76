// The chase cameras and the post-drive step, headless on the real 3D core
// (terrain, angle tables, matrices) with the null back end and the virtual
// clock. The collision pass, the wheel passes and the traffic's pose step are
// wrapped at link time: recorded, not run, so each case sets the wheel pass's
// results (eye point, body angles) itself.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "backend_common/display.h"
#include "engine3d/angle.h"
#include "engine3d/camera.h"
#include "engine3d/mesh.h"
#include "engine3d/terrain.h"
#include "hal/clock.h"
#include "net/net.h"
#include "platform/app.h"
#include "presentation/presentation.h"
#include "race/race.h"
#include "race/tracks.h"
#include "race/vehicle_steps.h"
#include "support/test_support.h"

namespace {

std::vector<std::string> gSteps;

std::string Name(const Vehicle* v) {
  if (v == &gPlayer1) return "P1";
  if (v == gPlayer2Vehicle) return "P2";
  return "N" + std::to_string(NetPlayerIndex(v));
}

constexpr float PI = 3.14159265358979f;
float Sin(float units) { return std::sin(units * 2.0f * PI / 1024.0f); }
float Cos(float units) { return std::cos(units * 2.0f * PI / 1024.0f); }

struct Point {
  float x, y, z;
};

// The direction of pitch a and heading h, from first principles.
Point Direction(float a, float h) { return {Cos(a) * Sin(h), Sin(a), Cos(a) * Cos(h)}; }

// 42 units from the pose along pitch - 50 and heading h (behind when `along`
// is negative), lifted by 10.
Point FromPose(const Camera& pose, float pitch, float heading, float along) {
  const Point d = Direction(pitch - 50.0f, heading);
  return {pose.x + along * d.x, pose.y + along * d.y + 10.0f, pose.z + along * d.z};
}

// 0..1023, 0 along +z and 256 along +x.
float HeadingTo(float dx, float dz) {
  float a = std::atan2(dx, dz) * 1024.0f / (2.0f * PI);
  return a < 0.0f ? a + 1024.0f : a;
}
float ElevationTo(float dx, float dy, float dz) {
  float a = std::atan2(dy, std::sqrt(dx * dx + dz * dz)) * 1024.0f / (2.0f * PI);
  return a < 0.0f ? a + 1024.0f : a;
}
// The shortest difference of two angles, for comparisons that wrap.
float AngleGap(float a, float b) {
  float d = std::fmod(a - b, 1024.0f);
  if (d < 0.0f) d += 1024.0f;
  return d > 512.0f ? 1024.0f - d : d;
}

void ExpectAt(const Camera& c, const Point& p, float tolerance, const std::string& what) {
  EXPECT_NEAR(c.x, p.x, tolerance) << what;
  EXPECT_NEAR(c.y, p.y, tolerance) << what;
  EXPECT_NEAR(c.z, p.z, tolerance) << what;
}

class ChaseCamera : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetHalForTest(10000);
    ASSERT_TRUE(RdrOpen(gDisplayModes[2], 1));
    MeshPoolAllocVertices(MESH_POOL_VERTICES);
    MeshPoolAllocFaces(MESH_POOL_FACES);
    gRace = RaceState{};
    gRace.gameMode = 1;
    gRace.waterLevel = -10000.0f;
    SetFrameRate(25.0f);
    gPlayer1 = VehiclePlayer1Initial();
    for (Vehicle& v : gVehicleRecords) v = Vehicle{};
    gPlayer1Vehicle = &gPlayer1;
    gPlayer2Vehicle = &gVehicleRecords[0];
    gNetParticipants = NetParticipants{};
    BuildGround([](uint32_t, uint32_t) { return 0; });
    gSteps.clear();
  }
  void TearDown() override { RdrClose(); }
  // A fresh fixture inside one test, for a table of cases.
  void Restart() {
    TearDown();
    SetUp();
  }

  static void SetFrameRate(float fps) {
    gRace.frameRate = fps;
    gRace.timeStep = 25.0f / fps;
    gRace.timeStepFifth = gRace.timeStep * 0.2f;
    gRace.timeStepFourFifths = gRace.timeStep * 0.8f;
  }

  // 17 x 9 corners 100 apart, each heights(column, row).
  void BuildGround(const std::function<int(uint32_t, uint32_t)>& heights) {
    heights_.assign(17 * 9, 0);
    for (uint32_t r = 0; r < 9; ++r)
      for (uint32_t c = 0; c < 17; ++c) heights_[r * 17 + c] = static_cast<int16_t>(heights(c, r));
    desc_ = TerrainDesc{};
    desc_.columns = 17;
    desc_.rows = 9;
    desc_.subdivisions = 1;
    desc_.heights = heights_.data();
    desc_.spacing = 100.0f;
    gMesh.vertexCount = 0;
    gMesh.faceCount = 0;
    ASSERT_EQ(TerrainBuild(&desc_), 1);
  }

  // Player 1 on the ground at (x, z) with the given heading, its camera reset behind it.
  static Vehicle& Car(float x, float z, float heading, Vehicle& v = gPlayer1) {
    v.pose = Camera{x, TerrainHeightAt(x, z), z, 0.0f, heading, 0.0f};
    v.state = VEHICLE_ON_GROUND;
    v.timerSlot = 3;
    ChaseCamReset(&v);
    return v;
  }

  TerrainDesc desc_{};
  std::vector<int16_t> heights_;
};

// A hill behind the car: row 4 (z = 400) stands 300 high, the rest is flat.
int HillAtRow4(uint32_t, uint32_t row) { return row == 4 ? 300 : 0; }

TEST_F(ChaseCamera, TheChasePointIsBehindAndNeverLessThanTenAboveTheGround) {
  struct Case {
    float heading;
    bool hill;
  };
  for (const Case& k : {Case{0.0f, false}, Case{256.0f, false}, Case{700.0f, false}, Case{0.0f, true}}) {
    Restart();
    if (k.hill) BuildGround(HillAtRow4);
    Vehicle& v = Car(800.0f, 520.0f, k.heading);
    const Point behind = FromPose(v.pose, 0.0f, k.heading, -42.0f);
    const std::string what = std::to_string(k.heading) + (k.hill ? " hill" : "");
    // The reset puts the camera at the chase point, even inside a hill.
    ExpectAt(*v.chaseCamera, behind, 0.05f, what + " reset");
    EXPECT_EQ(v.chaseCamera->heading, k.heading) << what;

    Camera* c = ChaseCamUpdate(&v);
    ASSERT_EQ(c, v.chaseCamera);
    const float ground = TerrainHeightAt(c->x, c->z);
    EXPECT_GE(c->y, ground + 10.0f - 1e-3f) << what;
    EXPECT_NEAR(c->y, std::max(behind.y, ground + 10.0f), 0.05f) << what;
    EXPECT_NEAR(c->x, behind.x, 0.05f) << what;
    EXPECT_NEAR(c->z, behind.z, 0.05f) << what;
    if (k.hill) {
      EXPECT_GT(c->y, behind.y + 1.0f) << "the hill lifts the camera";
    }
  }
}

// The position follows the car at once; only the angles ease.
TEST_F(ChaseCamera, TheChasePositionFollowsAtOnceWhileThePitchEases) {
  Vehicle& v = Car(800.0f, 300.0f, 0.0f);
  v.pose.pitch = -100.0f;
  v.pose.z += 30.0f;
  Camera* c = ChaseCamUpdate(&v);
  ExpectAt(*c, FromPose(v.pose, -100.0f, 0.0f, -42.0f), 0.05f, "moved");
  EXPECT_EQ(c->pitch, 1004.0f);  // a fifth of the way down to the lazy pitch
  EXPECT_EQ(+v.cameraPitch, -100.0f);
}

TEST_F(ChaseCamera, SlidesSwingTheHeadingTowardTheSlideAndTheLagSetsTheTurnRate) {
  struct Case {
    int32_t state;
    float lag, slide;
    float heading;  // after one frame from 0, the car heading 300
  };
  const Case cases[] = {
      {VEHICLE_CONTACT_SLIDE, 0.0f, 100.0f, 20.0f},     // a twentieth of 400
      {VEHICLE_HANDBRAKE_SLIDE, 0.0f, -100.0f, 10.0f},  // of 200
      {VEHICLE_ON_GROUND, 0.5f, 100.0f, 300.0f},        // 1 / 0.5 is capped at 1: it snaps
      {VEHICLE_ON_GROUND, 4.0f, 100.0f, 75.0f},         // a quarter of the way
      {VEHICLE_ON_GROUND, 0.0f, 100.0f, 300.0f},        // no lag: the car's heading
  };
  for (const Case& k : cases) {
    Restart();
    Vehicle& v = Car(800.0f, 400.0f, 0.0f);
    v.pose.heading = 300.0f;
    v.state = k.state;
    v.cameraLag = k.lag;
    v.slideAngle = k.slide;
    Camera* c = ChaseCamUpdate(&v);
    const std::string what = std::to_string(k.state) + " lag " + std::to_string(k.lag);
    EXPECT_EQ(c->heading, k.heading) << what;
    // Placed behind along the camera's own new heading.
    ExpectAt(*c, FromPose(v.pose, 0.0f, k.heading, -42.0f), 0.05f, what);
  }
}

TEST_F(ChaseCamera, TheFinishOrbitCirclesAtAHundredAndClearsWaterAndGround) {
  struct Case {
    int32_t state;
    float pitch;
    float orbitPitch;  // the pitch the orbit's direction takes
  };
  for (const Case& k : {Case{VEHICLE_ON_GROUND, 100.0f, 100.0f}, Case{VEHICLE_KNOCKED, 100.0f, 0.0f}}) {
    Restart();
    Vehicle& v = Car(800.0f, 400.0f, 0.0f);
    v.finished = 1;
    v.state = k.state;
    v.pose.pitch = k.pitch;
    v.pose.y = 100.0f;  // in the air, so that the ground stays out of the way
    // The orbit angle starts where earlier frames of the run left it: the
    // camera's heading shows it.
    Camera* c = ChaseCamUpdate(&v);
    const float theta = -c->heading;
    const Point before = {c->x, c->y, c->z};
    const Point back = Direction(k.orbitPitch, -(theta + 5.0f));
    const Point target = {v.pose.x - 100.0f * back.x, v.pose.y - 100.0f * back.y, v.pose.z - 100.0f * back.z};
    ChaseCamUpdate(&v);
    const std::string what = "state " + std::to_string(k.state);
    EXPECT_EQ(c->heading, -(theta + 5.0f)) << what;
    ExpectAt(*c, {before.x + (target.x - before.x) * 0.2f, before.y + (target.y - before.y) * 0.2f,
                  before.z + (target.z - before.z) * 0.2f},
             0.05f, what);
  }
  // Above the water by 20, and above the ground by 20.
  gRace.waterLevel = 150.0f;
  Camera* c = ChaseCamUpdate(&gPlayer1);
  EXPECT_EQ(c->y, 170.0f);
  gRace.waterLevel = -10000.0f;
  BuildGround([](uint32_t, uint32_t) { return 250; });
  ChaseCamUpdate(&gPlayer1);
  EXPECT_NEAR(c->y, 270.0f, 1e-3f);
}

// The orbit angle grows by 5 a frame at 25 frames a second (5 x timeStep),
// per record, and a new race does not start it again.
TEST_F(ChaseCamera, TheOrbitAngleGrowsWithTheTimeStepAndIsKeptIntoTheNextRace) {
  // The heading shows the orbit angle the frame starts with (the car heads 0).
  const auto orbit = [](Vehicle& v) { return -ChaseCamUpdate(&v)->heading; };
  Vehicle& v = Car(800.0f, 400.0f, 0.0f);
  v.finished = 1;
  const float a = orbit(v), b = orbit(v);
  EXPECT_EQ(b - a, 5.0f);
  SetFrameRate(12.5f);
  const float c = orbit(v), d = orbit(v);
  EXPECT_EQ(d - c, 10.0f);

  // Player 2's record turns on an orbit angle of its own.
  gRace.playersMode = 1;
  Vehicle& other = Car(900.0f, 400.0f, 0.0f, *gPlayer2Vehicle);
  other.finished = 1;
  orbit(other);
  orbit(other);

  // The next race: player 1 placed and reset again, its orbit goes on.
  SetFrameRate(25.0f);
  Car(800.0f, 400.0f, 0.0f);
  v.finished = 1;
  EXPECT_EQ(orbit(v), d + 10.0f);
}

// Sunk, the camera circles the middle of the car and the place it went in;
// rolled over, it swings round the car more slowly and higher.
TEST_F(ChaseCamera, SunkAndRolledOverCirclesKeepTheirClearances) {
  struct Case {
    int32_t state;
    Point target;  // with the lazy angles 0 and the car level, heading 0
    float rate;
    float clearance;
  };
  // Sunk: centre (900, 0, 500), 100 behind it; rolled over: 100 ahead of the car.
  const Case cases[] = {{VEHICLE_SINKING, {900.0f, 0.0f, 400.0f}, 0.2f, 10.0f},
                        {VEHICLE_ROLLED_OVER, {800.0f, 0.0f, 500.0f}, 0.04f, 30.0f}};
  for (const Case& k : cases) {
    Restart();
    Vehicle& v = Car(800.0f, 400.0f, 0.0f);
    v.state = k.state;
    v.endViewX = 1000.0f;
    v.endViewZ = 600.0f;
    v.cameraPitch = v.cameraRoll = 0.0f;
    Camera* c = v.chaseCamera;
    *c = Camera{850.0f, 100.0f, 300.0f, 0.0f, 0.0f, 0.0f};
    ASSERT_EQ(ChaseCamUpdate(&v), c);
    const std::string what = "state " + std::to_string(k.state);
    ExpectAt(*c, {850.0f + (k.target.x - 850.0f) * k.rate, 100.0f - 100.0f * k.rate, 300.0f + (k.target.z - 300.0f) * k.rate},
             0.01f, what);
    EXPECT_EQ(+v.cameraPitch, 2.0f) << what;
    EXPECT_EQ(+v.cameraRoll, 1.0f) << what;

    c->y = -50.0f;
    ChaseCamUpdate(&v);
    EXPECT_NEAR(c->y, TerrainHeightAt(c->x, c->z) + k.clearance, 1e-3f) << what;
    gRace.waterLevel = 100.0f;
    ChaseCamUpdate(&v);
    EXPECT_GE(c->y, 120.0f) << what;
  }
}

// The reset camera starts where the chase camera stood, turns to the look
// point ahead of the car within 1000 ms and reaches the chase point at 2500.
TEST_F(ChaseCamera, AfterARespawnTheResetCameraBlendsFromTheChaseCamera) {
  Vehicle& v = Car(800.0f, 400.0f, 256.0f);
  v.state = VEHICLE_RESETTING;
  v.pose.roll = 40.0f;
  Camera* c = v.chaseCamera;
  *c = Camera{700.0f, 80.0f, 500.0f, 1000.0f, 600.0f, 1010.0f};
  const Camera chaseBefore = *c;
  *v.resetCamera = *c;
  AppTimerStart(v.timerSlot);

  Camera* q = ChaseCamUpdate(&v);
  ASSERT_EQ(q, v.resetCamera);
  ExpectAt(*q, {700.0f, 80.0f, 500.0f}, 1e-4f, "t = 0");
  EXPECT_EQ(q->heading, 600.0f);
  EXPECT_EQ(q->pitch, 1000.0f);
  EXPECT_EQ(q->roll, 1010.0f);

  const Point chasePoint = FromPose(v.pose, 0.0f, 256.0f, -42.0f);
  const Point look = FromPose(v.pose, 0.0f, 256.0f, 42.0f);
  for (uint32_t ms : {1000u, 2500u}) {
    AppTimerSet(v.timerSlot, ms);
    ChaseCamUpdate(&v);
    const std::string what = std::to_string(ms) + " ms";
    const float dx = look.x - q->x, dy = look.y - q->y, dz = look.z - q->z;
    EXPECT_LE(AngleGap(q->heading, HeadingTo(dx, dz)), 1.0f) << what;
    EXPECT_LE(AngleGap(q->pitch, ElevationTo(dx, dy, dz)), 1.0f) << what;
  }
  ExpectAt(*q, chasePoint, 0.01f, "2500 ms");
  EXPECT_EQ(q->roll, 40.0f);
  // The chase camera itself waits where it was.
  EXPECT_EQ(c->x, chaseBefore.x);
  EXPECT_EQ(c->heading, chaseBefore.heading);
}

// The on-board views sit at the eye point with the body's angles; the
// suspension words count as unsigned, so a pitch of -3 tips the view by 2.
TEST_F(ChaseCamera, OnBoardViewsAreIgnoredWhileFinishedSunkOrBeingReset) {
  struct Case {
    uint8_t finished;
    int32_t state;
    bool onBoard;
  };
  const Case cases[] = {{0, VEHICLE_ON_GROUND, true}, {0, VEHICLE_KNOCKED, true}, {1, VEHICLE_ON_GROUND, false},
                        {0, VEHICLE_SINKING, false}, {0, VEHICLE_RESETTING, false}};
  for (const Case& k : cases) {
    for (uint8_t view : {1, 2}) {
      Restart();
      Vehicle& v = Car(800.0f, 400.0f, 0.0f);
      v.finished = k.finished;
      v.state = k.state;
      v.viewRequest = v.viewActive = view;
      v.eyePoint[0] = 801.0f;
      v.eyePoint[1] = 12.0f;
      v.eyePoint[2] = 398.0f;
      v.bodyAngles[0] = 100;
      v.bodyAngles[1] = 200;
      v.bodyAngles[2] = 300;
      v.suspensionPitch = -3;
      v.suspensionRoll = 16;
      AppTimerStart(v.timerSlot);
      Camera* c = ChaseCamUpdate(&v);
      const std::string what = "finished " + std::to_string(k.finished) + " state " + std::to_string(k.state) +
                               " view " + std::to_string(view);
      EXPECT_EQ(+v.viewActive, k.onBoard ? view : 0) << what;
      EXPECT_EQ(+v.viewRequest, view) << what;
      const bool atEye = c->x == 801.0f && c->y == 12.0f && c->z == 398.0f;
      EXPECT_EQ(atEye, k.onBoard) << what;
      if (!k.onBoard) continue;
      CamSet(c);
      EXPECT_EQ(+gCamera.pitch, 102) << what;
      EXPECT_EQ(+gCamera.heading, 1024 - 200) << what;
      EXPECT_EQ(+gCamera.roll, 1024 + 300 - 2 - 512) << what;
    }
  }
}

// Any view above 2 is the chase view.
TEST_F(ChaseCamera, AViewAboveTwoIsTheChaseView) {
  Vehicle& v = Car(800.0f, 400.0f, 0.0f);
  v.viewActive = 3;
  v.eyePoint[0] = 801.0f;
  ExpectAt(*ChaseCamUpdate(&v), FromPose(v.pose, 0.0f, 0.0f, -42.0f), 0.05f, "view 3");
}

}  // namespace

// The passes of the post-drive step, recorded with the vehicle whose pose is current.
extern "C" {
void __wrap__Z18CollideAllVehiclesv() { gSteps.push_back("Collide"); }
void __wrap__Z23WheelUpdateComputerCarsv() { gSteps.push_back("WheelComputerCars"); }
void __wrap__Z15TrackObjStepAllv() { gSteps.push_back("TrackObjStepAll"); }
void __wrap__Z18WheelUpdateVehicleP7Vehicle(Vehicle* v) {
  gSteps.push_back("Wheel(" + Name(v) + (gRace.currentPose == &v->pose ? ")" : ",other pose)"));
}
}

namespace {

TEST_F(ChaseCamera, ThePostDriveStepRunsItsPassesInOrderAndSetsTheViewCameras) {
  Vehicle netOwn{}, netOther{};
  struct Case {
    const char* name;
    int32_t gameMode, track, playersMode, network;
    uint8_t noHuman;
    std::vector<std::string> steps;
  };
  const Case cases[] = {
      {"training", 0, TRACK_DESERT, 0, 0, 0, {"Collide", "Wheel(P1)"}},
      {"arcade", 1, TRACK_DESERT, 0, 0, 0, {"Collide", "WheelComputerCars", "Wheel(P1)"}},
      {"highway", 1, TRACK_HIGHWAY, 0, 0, 0, {"Collide", "WheelComputerCars", "TrackObjStepAll", "Wheel(P1)"}},
      {"no human", 1, TRACK_HIGHWAY, 0, 0, 1, {"Collide", "WheelComputerCars", "TrackObjStepAll"}},
      {"split", 1, TRACK_DESERT, 1, 0, 0, {"Collide", "WheelComputerCars", "Wheel(P1)", "Wheel(P2)"}},
      {"network", 4, TRACK_DESERT, 2, 1, 0, {"Collide", "WheelComputerCars", "Wheel(N1)"}},
  };
  for (const Case& k : cases) {
    Restart();
    Camera view1{}, view2{};
    gRace.gViewCamera[0] = &view1;
    gRace.gViewCamera[1] = &view2;
    gRace.gameMode = k.gameMode;
    gRace.trackIndex = k.track;
    gRace.playersMode = k.playersMode;
    gRace.networkGame = k.network;
    gRace.noHumanMode = k.noHuman;
    gNetParticipants.count = 2;
    gNetParticipants.records[0] = &netOther;
    gNetParticipants.records[1] = &netOwn;
    gNetParticipants.ownIndex = 1;
    Car(800.0f, 400.0f, 0.0f);
    Car(900.0f, 400.0f, 0.0f, *gPlayer2Vehicle);
    Car(800.0f, 500.0f, 0.0f, netOwn);
    const Camera p1Before = *gPlayer1.chaseCamera;
    gPlayer1.pose.x += 25.0f;
    gSteps.clear();
    ViewFrameStep();
    EXPECT_EQ(gSteps, k.steps) << k.name;
    const Camera* first = k.noHuman ? &view1 : k.network ? netOwn.chaseCamera : gPlayer1.chaseCamera;
    EXPECT_EQ(gRace.gViewCamera[0], first) << k.name;
    EXPECT_EQ(gRace.gViewCamera[1], k.playersMode == 1 ? gPlayer2Vehicle->chaseCamera : &view2) << k.name;
    // Without a human nothing moves the cameras.
    if (k.noHuman) {
      EXPECT_EQ(gPlayer1.chaseCamera->x, p1Before.x) << k.name;
    }
  }
}

}  // namespace
