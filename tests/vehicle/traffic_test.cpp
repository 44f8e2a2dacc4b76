// The highway traffic on a flat plane: which objects step, the standing
// crowd, the placement on paths, the sounds, the hits and knocks, the states
// of their own, the drawing by distance, the set-up without paths and the
// police ring.
#include <cmath>

#include "engine3d/angle.h"
#include "engine3d/camera.h"
#include "engine3d/mesh.h"
#include "engine3d/random.h"
#include "presentation/presentation.h"
#include "race/assets.h"
#include "race/collide.h"
#include "race/object_types.h"
#include "race/track_files.h"
#include "race/tracks.h"
#include "race/traffic.h"
#include "support/null_backend.h"
#include "vehicle_fixture.h"

int gShadows;
extern "C" void __wrap__Z17VehicleDrawShadowP7Vehicle(Vehicle*) { ++gShadows; }

namespace {

constexpr float PATH_Z = 4000.0f;
constexpr float PLAYER_X = 5000.0f, PLAYER_Z = 2000.0f;

class Traffic : public VehicleTest {
 protected:
  void SetUp() override {
    VehicleTest::SetUp();
    BuildRacePlane(0);
    gRace.trackIndex = TRACK_HIGHWAY;
    gRace.trajectoriesLoaded = 1;
    gRace.viewDistance = 1700.0f;
    gTrackObjState = TrackObjState{};
    gTrackObjState.placed = 1;
    for (Trajectory& t : gObjectPaths) t = Trajectory{};
    // Path 0 along +x, a point every 100 units.
    Trajectory& p = gObjectPaths[0];
    p.count = TRAJ_POINTS;
    for (int32_t i = 0; i < TRAJ_POINTS; ++i) p.points[i] = TrajPoint{1000.0f + 100.0f * static_cast<float>(i), PATH_Z};
    TrackObjBuildTypes();
    MakeCar(&gPlayer1, PLAYER_X, PLAYER_Z, 256.0f);
    // Every object far from player 1 unless a test brings it near.
    for (int32_t i = 0; i < TRACK_OBJECTS; ++i) Object(i, 14000.0f, 7000.0f);
    gShadows = 0;
    gNullCalls.clear();
  }
  void TearDown() override {
    for (TrafficType& t : gTrafficTypes) t = TrafficType{};
    gFxSprites[24] = nullptr;
    VehicleTest::TearDown();
  }
  // Object i of `type` on the ground at (x, z), heading along the path, in view.
  static Vehicle* Object(int32_t i, float x, float z, int32_t type = 0) {
    Vehicle* v = &gTrackObjects[i];
    *v = Vehicle{};
    VehicleCopyDefaults(v);
    v->human = 2;
    v->type = type;
    VehicleResetDynamics(v);
    VehicleApplyTypeAlt(v);
    for (WheelState& w : v->wheels) w.attached = 1;
    v->pose = Camera{x, TerrainHeightAt(x, z), z, 0.0f, 256.0f, 0.0f};
    v->heading = 256.0f;
    v->aiHeading = 256;
    v->aiSlot = 0;
    v->aiPoint = 0;
    v->cellLevel = 8.0f;
    v->cameraDistance = 500;
    return v;
  }
  static void Update(Vehicle* v) {
    gRace.currentPose = &v->pose;
    TrackObjUpdate(v, v);
  }
};

TEST_F(Traffic, OnlyObjectsNearerThan2000OnTheSumOfTheAxesStep) {
  struct Case {
    float dx, dz;
    uint8_t active;
  };
  const Case cases[] = {{1000.0f, 1000.0f, 0}, {999.9f, 1000.0f, 1}, {-2000.0f, 0.0f, 0}, {0.0f, -1999.9f, 1}};
  for (const Case& c : cases) {
    Object(7, PLAYER_X + c.dx, PLAYER_Z + c.dz);
    TrackObjTrafficStep();
    EXPECT_EQ(+gTrackObjects[7].objectActive, c.active) << c.dx << " " << c.dz;
    EXPECT_EQ(gTrackObjState.activeCount, c.active);
  }
  // In split screen player 2 counts as well; without a human only the extra car.
  Object(7, 9000.0f, 6000.0f);
  gVehicleRecords[0].pose = Camera{9000.0f, 0.0f, 5000.0f, 0.0f, 0.0f, 0.0f};
  gRace.playersMode = 1;
  TrackObjTrafficStep();
  EXPECT_EQ(+gTrackObjects[7].objectActive, 1);
  gRace.playersMode = 0;
  gRace.noHumanMode = 1;
  gVehicleRecords[VEHICLE_EXTRA_CAR].pose = gVehicleRecords[0].pose;
  Object(8, PLAYER_X, PLAYER_Z);
  TrackObjTrafficStep();
  EXPECT_EQ(+gTrackObjects[7].objectActive, 1);
  EXPECT_EQ(+gTrackObjects[8].objectActive, 0);
}

TEST_F(Traffic, AfterAFrameWithMoreThan30ActiveTheStandingTrafficNeitherAcceleratesNorBrakes) {
  struct Case {
    int32_t state;
    float velocity;
    uint8_t throttle, brake;  // when not crowded
  };
  const Case cases[] = {{VEHICLE_ON_GROUND, 50.0f, 1, 0},
                        {VEHICLE_ROLLED_OVER, 250.0f, 0, 1},
                        {VEHICLE_BACKING_OFF, 50.0f, 1, 0},
                        {VEHICLE_CONTACT_SLIDE, 50.0f, 0, 1}};  // not a standing state: brakes either way
  for (int32_t near : {31, 30}) {
    for (const Case& c : cases) {
      Restart();
      for (int32_t i = 0; i < near; ++i) Object(i, PLAYER_X + 60.0f * static_cast<float>(i), PLAYER_Z);
      TrackObjTrafficStep();
      ASSERT_EQ(gTrackObjState.activeCount, near);
      ASSERT_EQ(+gTrackObjState.crowded, near > 30 ? 1 : 0);
      Vehicle* v = &gTrackObjects[0];
      v->state = c.state;
      v->velocity = c.velocity;
      v->stateTimer = 50.0f;
      TrackObjTrafficStep();
      const bool stands = near > 30 && c.state != VEHICLE_CONTACT_SLIDE;
      EXPECT_EQ(+v->throttleCmd, stands ? 0 : c.throttle) << near << " state " << c.state;
      EXPECT_EQ(+v->brakeCmd, stands ? 0 : c.brake) << near << " state " << c.state;
    }
  }
}

TEST_F(Traffic, NoTwoObjectsStartWithin60OfEachOtherOnBothAxes) {
  // A short, crowded path: most draws land on an earlier object and move on.
  Trajectory& p = gObjectPaths[3];
  p.count = 20;
  for (int32_t i = 0; i < p.count; ++i) p.points[i] = TrajPoint{3000.0f + 40.0f * static_cast<float>(i), 3000.0f};
  gObjectPaths[0].count = 0;
  for (int32_t i = 0; i < TRACK_OBJECTS; ++i) {
    Vehicle* v = &gTrackObjects[i];
    *v = Vehicle{};
    TrackObjPlaceOnPath(v, i);
    ASSERT_EQ(v->aiSlot, 3);
  }
  for (int32_t i = 0; i < TRACK_OBJECTS; ++i)
    for (int32_t j = 0; j < i; ++j) {
      const Camera& a = gTrackObjects[i].pose;
      const Camera& b = gTrackObjects[j].pose;
      EXPECT_FALSE(std::fabs(a.x - b.x) < 60.0f && std::fabs(a.z - b.z) < 60.0f) << i << " " << j;
    }
  // Each heads for the point after its own.
  const Vehicle& first = gTrackObjects[0];
  const TrajPoint& next = p.points[(first.aiPoint + 1) % p.count];
  EXPECT_EQ(+first.aiHeading, MathAngleTo(first.pose.z, first.pose.x, next.z, next.x));
}

TEST_F(Traffic, EveryPathMissingPlacesNoTrafficAndTheRaceRunsWithoutIt) {
  // No archive holds "other.tA" .. "other.tP" here.
  TrackObjSetup();
  EXPECT_EQ(+gTrackObjState.placed, 0);
  for (const Trajectory& t : gObjectPaths) EXPECT_EQ(t.count, 0);
  // Even right beside player 1 nothing steps, poses or draws.
  for (Vehicle& v : gTrackObjects) v.pose = gPlayer1.pose;
  TrackObjTrafficStep();
  TrackObjStepAll();
  TrackObjDrawAll();
  EXPECT_EQ(gTrackObjState.activeCount, 0);
  for (const Vehicle& v : gTrackObjects) {
    EXPECT_EQ(+v.objectActive, 0);
    EXPECT_EQ(v.cameraDistance, 2000);
  }
  EXPECT_TRUE(gNullCalls.empty());
  Vehicle v{};
  EXPECT_EQ(TrackObjPickPath(&v), 0);
}

TEST_F(Traffic, APoliceCarSoundsItsSirenOnlyNearAndTwoSoundOne) {
  struct Case {
    const char* name;
    float dx;          // from player 1, both police cars
    int32_t distance;  // from the viewer
    int32_t sirens;
  };
  const Case cases[] = {
      {"far from the player", 3000.0f, 500, 0}, {"beyond 1000 of the viewer", 0.0f, 1000, 0}, {"near", 0.0f, 999, 1}};
  for (const Case& c : cases) {
    Restart();
    Object(0, PLAYER_X + c.dx, PLAYER_Z + 100.0f, 3)->cameraDistance = c.distance;
    Object(1, PLAYER_X + c.dx + 200.0f, PLAYER_Z + 100.0f, 3)->cameraDistance = c.distance;
    TrackObjTrafficStep();
    EXPECT_EQ(gTrackObjState.sirensStarted, c.sirens) << c.name;
  }
  // Not for the second split-screen view.
  gRace.viewIndex = 1;
  TrackObjTrafficStep();
  EXPECT_EQ(gTrackObjState.sirensStarted, 0);
}

TEST_F(Traffic, AtMostThreeHornsAFrameAndOnlyNearerThan800) {
  for (int32_t i = 0; i < 5; ++i) Object(i, 14000.0f, 7000.0f)->cameraDistance = 799;
  Object(5, 14000.0f, 7000.0f)->cameraDistance = 800;
  TrackObjHorn(&gTrackObjects[5]);
  EXPECT_EQ(CountCalls("SfxPlayEffectCopyAt(46)"), 0);
  for (int32_t i = 0; i < 5; ++i) TrackObjHorn(&gTrackObjects[i]);
  EXPECT_EQ(CountCalls("SfxPlayEffectCopyAt(46)"), 3);
  // The next frame sounds again.
  TrackObjTrafficStep();
  TrackObjHorn(&gTrackObjects[0]);
  EXPECT_EQ(CountCalls("SfxPlayEffectCopyAt(46)"), 4);
}

TEST_F(Traffic, AKnockCapsTheThrowAt250AndBouncesThreeToSixTimes) {
  struct Case {
    float velocity, impulse;
    uint8_t keep;
    float stored, lift;
  };
  const Case cases[] = {
      {100.0f, 200.0f, 1, 150.0f, 250.0f * 30.0f * 0.004f},
      {100.0f, 50.0f, 0, 50.0f, 150.0f * 30.0f * 0.004f * 0.333333f},
      {300.0f, 50.0f, 1, 0.0f, 300.0f * 30.0f * 0.004f},
  };
  for (const Case& c : cases) {
    Vehicle* v = Object(0, 3000.0f, 3000.0f);
    v->velocity = c.velocity;
    TrackObjKnock(v, c.impulse, 3.0f, -4.0f, c.keep);
    EXPECT_EQ(+v->state, VEHICLE_KNOCKED);
    EXPECT_FLOAT_EQ(+v->knockImpulse, c.stored);
    EXPECT_FLOAT_EQ(+v->knockLift, c.lift);
    EXPECT_FLOAT_EQ(+v->knockDirX, 3.0f);
    EXPECT_FLOAT_EQ(+v->knockDirZ, -4.0f);
    EXPECT_GE(v->bouncesLeft, 3);
    EXPECT_LE(v->bouncesLeft, 6);
    EXPECT_EQ(+v->landingSide, 0);
  }
  // The knock throws debris near the viewer only.
  EXPECT_GE(CountCalls("FxSpawnSmokePuff"), 30);
  gVehicleCalls.clear();
  Vehicle* far = Object(1, 3000.0f, 3000.0f);
  far->cameraDistance = 1000;
  TrackObjKnock(far, 10.0f, 0.0f, 0.0f, 0);
  EXPECT_EQ(CountCalls("FxSpawnSmokePuff"), 0);
}

TEST_F(Traffic, AKnockedObjectBouncesUntilItRestsOnItsWheelsOrOnItsRoof) {
  for (float roll : {0.0f, 500.0f}) {
    Restart();
    Vehicle* v = Object(0, PLAYER_X, PLAYER_Z + 100.0f);
    v->velocity = 0.0f;
    TrackObjKnock(v, 150.0f, 0.0f, 1.0f, 1);
    int32_t bounces = v->bouncesLeft, landings = 0;
    for (int32_t frame = 0; frame < 500 && v->state == VEHICLE_KNOCKED; ++frame) {
      v->pose.roll = roll;  // how it comes down
      Update(v);
      if (v->bouncesLeft < bounces) {
        ++landings;
        bounces = v->bouncesLeft;
      }
    }
    EXPECT_EQ(+v->state, roll == 0.0f ? VEHICLE_ON_GROUND : VEHICLE_ROLLED_OVER) << roll;
    EXPECT_GE(landings, 1);
    EXPECT_GT(+v->pose.z, PLAYER_Z + 100.0f);  // thrown along its knock direction
  }
}

TEST_F(Traffic, OnItsRoofAnObjectIsTurnedUprightOnlyFrom1001Away) {
  for (int32_t distance : {1000, 1001}) {
    Vehicle* v = Object(0, PLAYER_X, PLAYER_Z + 100.0f);
    v->state = VEHICLE_ROLLED_OVER;
    v->pose.roll = 512.0f;
    v->velocity = 0.0f;
    v->cameraDistance = distance;
    Update(v);
    EXPECT_EQ(+v->state, distance > 1000 ? VEHICLE_ON_GROUND : VEHICLE_ROLLED_OVER) << distance;
  }
}

TEST_F(Traffic, ASpinOutEndsBelowVelocity20WithItsYawInItsHeading) {
  Vehicle* v = Object(0, PLAYER_X, PLAYER_Z + 100.0f);
  v->state = VEHICLE_CONTACT_SLIDE;
  v->velocity = 100.0f;
  v->slideAngle = 30.0f;
  Update(v);
  EXPECT_EQ(+v->state, VEHICLE_CONTACT_SLIDE);
  EXPECT_GT(+v->slideAngle, 30.0f);  // spinning on the way it turned
  EXPECT_FLOAT_EQ(+v->cameraLag, 20.0f);
  v->velocity = 10.0f;
  v->slideAngle = 900.0f;
  v->aiHeading = 300;
  Update(v);
  const int32_t heading = (900 + 300) & ANGLE_MASK;
  EXPECT_EQ(+v->state, VEHICLE_ON_GROUND);
  EXPECT_FLOAT_EQ(+v->heading, static_cast<float>(heading));
  EXPECT_EQ(+v->aiHeading, heading);
  EXPECT_FLOAT_EQ(+v->slideAngle, 0.0f);
}

TEST_F(Traffic, AStoppedObjectIsPutBackOnItsPathOnATick) {
  for (uint8_t tick : {0, 1}) {
    Vehicle* v = Object(0, 2000.0f, 6000.0f);  // off its path
    v->state = VEHICLE_BLOCKED;
    v->velocity = 40.0f;
    RandSetIndex(0);
    gRace.tickPassed = tick;
    Update(v);
    EXPECT_FLOAT_EQ(+v->velocity, 0.0f);
    if (!tick) {
      EXPECT_EQ(+v->state, VEHICLE_BLOCKED);
      EXPECT_FLOAT_EQ(+v->pose.z, 6000.0f);
      continue;
    }
    // Its draw was not one in 32: back on path 0, driving on.
    EXPECT_EQ(+v->state, VEHICLE_ON_GROUND);
    EXPECT_NEAR(+v->pose.z, PATH_Z, 10.0f);
  }
}

class TrafficContact : public Traffic {
 protected:
  static constexpr uint16_t ROW = 200;
  void SetUp() override {
    Traffic::SetUp();
    ObjectTypesReset();
    ObjectType& t = gObjectTypes[ROW];
    t.minX = -10.0f;
    t.maxX = 10.0f;
    t.maxY = 20.0f;
    t.minZ = -10.0f;
    t.maxZ = 10.0f;
    saved_ = gDrawLists;
    gDrawLists.staticCount = 0;
    gPlacementCount = 0;
    TrackBuildCellGrid();
  }
  void TearDown() override {
    gDrawLists = saved_;
    gPlacementCount = 0;
    TrackBuildCellGrid();
    ObjectTypesReset();
    Traffic::TearDown();
  }
  void Place(float x, float z) {
    slot_ = DrawSlot{};
    slot_.visible = 1;
    slot_.x = x;
    slot_.z = z;
    slot_.user = static_cast<uint32_t>(gPlacementCount);
    gPlacements[gPlacementCount++] = ObjectPlacement{0, 0, COUNTER_SLOT_NONE, ROW, x, 0.0f, z};
    ASSERT_EQ(TrackGridAddObject(&slot_), 1);
  }
  DrawSlot slot_{};
  DrawLists saved_{};
};

// The object reacts from a strength of 51; debris from 201 and a knock above
// 220 only when it does not take the hit; the body bounces off at any strength.
TEST_F(TrafficContact, EveryHitBouncesTheObjectReactsFrom51AndOnlyAbove220IsTheTrafficKnocked) {
  struct Case {
    float velocity;
    uint8_t givesWay;
    bool reacts, debris, knocked;
  };
  const Case cases[] = {{40.0f, 0, false, false, false}, {150.0f, 0, true, false, false},
                        {210.0f, 0, true, true, false},  {230.0f, 0, true, true, true},
                        {230.0f, 1, true, false, false}};
  for (const Case& c : cases) {
    Restart();
    // Driving along +x into an object just ahead.
    Vehicle* v = Object(0, 3000.0f, 3000.0f);
    const float box[6] = {-8.0f, 8.0f, -5.0f, 5.0f, -15.0f, 15.0f};
    for (int i = 0; i < 6; ++i) v->footprint[i] = box[i];
    v->velocity = c.velocity;
    gObjectPaths[0].points[0] = TrajPoint{6000.0f, 3000.0f};
    Place(3025.0f, 3000.0f);
    gTestObjectGivesWay = c.givesWay;
    Update(v);
    EXPECT_EQ(CountCalls("DecorKnockObject"), c.reacts ? 1 : 0) << c.velocity;
    EXPECT_NEAR(+v->impactVelocity, c.velocity, 3.0f) << c.velocity;
    EXPECT_EQ(CountCalls("FxSpawnSmokePuff") >= 10, c.debris) << c.velocity;
    EXPECT_EQ(v->state == VEHICLE_KNOCKED, c.knocked) << c.velocity;
    if (!c.knocked) {
      EXPECT_EQ(+v->contactTime, 1.0f) << c.velocity;  // one frame of bouncing contact
    }
  }
}

class TrafficDraw : public Traffic {
 protected:
  void SetUp() override {
    Traffic::SetUp();
    for (TrafficType& t : gTrafficTypes) {
      t.body = &body_;
      t.farBody = &far_;
      t.wheel = &wheel_;
      t.wheelCopy = &copy_;
    }
  }
  // The viewer `distance` behind the object, looking along +z.
  Vehicle* InView(int32_t type, float distance, float heading = 256.0f) {
    Vehicle* v = Object(0, 3000.0f, 3000.0f + distance, type);
    v->heading = heading;
    v->objectActive = 1;
    Camera viewer{3000.0f, 0.0f, 3000.0f, 0.0f, 0.0f, 0.0f};
    CamSet(&viewer);
    MatViewFromCamera();
    TrackObjStepPose(v);
    return v;
  }
  int Count(const std::string& call) const {
    int n = 0;
    for (const std::string& c : gNullCalls) n += c == call;
    return n;
  }
  MeshHeader body_{}, far_{}, wheel_{}, copy_{};
};

TEST_F(TrafficDraw, TheBodyWheelsLightAndShadowFollowTheDistance) {
  struct Case {
    float distance;
    int lit, blended, unlit;
    int shadows;
  };
  const Case cases[] = {
      {100.0f, 4, 1, 0, 1},   // near: wheels and the body under its sheen
      {399.0f, 5, 0, 0, 1},   // the detailed body, lit, and the last shadow
      {400.0f, 5, 0, 0, 0},   //
      {640.0f, 5, 0, 0, 0},   // the last with wheels
      {641.0f, 1, 0, 0, 0},   // the distant body alone
      {1000.0f, 1, 0, 0, 0},  // lit up to here
      {1001.0f, 0, 0, 1, 0},  // unlit beyond
  };
  static Sprite sheen{};
  sheen.type = 5;
  gFxSprites[24] = &sheen;
  for (const Case& c : cases) {
    Vehicle* v = InView(0, c.distance);
    gNullCalls.clear();
    gShadows = 0;
    TrackObjDrawAll();
    EXPECT_NEAR(v->cameraDistance, c.distance, 1.0f);
    EXPECT_EQ(Count("RdrDrawObjectLit"), c.lit) << c.distance;
    EXPECT_EQ(Count("RdrDrawObjectBlended"), c.blended) << c.distance;
    EXPECT_EQ(Count("RdrDrawObject"), c.unlit) << c.distance;
    EXPECT_EQ(gShadows, c.shadows) << c.distance;
  }
  // Behind the viewer it is measured but not drawn.
  Vehicle* v = InView(0, -100.0f);
  gNullCalls.clear();
  TrackObjDrawAll();
  EXPECT_EQ(v->cameraDistance, 100);
  EXPECT_TRUE(gNullCalls.empty());
}

TEST_F(TrafficDraw, APoliceCarAddsOneRoofGlowThatSweepsWithTheFrameCounter) {
  float first = 0.0f;
  for (uint32_t counter : {0u, 4u}) {
    gFxGlowList.count = 0;
    gRace.frameCounter = counter;
    InView(3, 300.0f, 0.0f);  // facing away: the light sweeps across the screen
    TrackObjDrawAll();
    ASSERT_EQ(gFxGlowList.count, 1) << counter;
    if (counter == 0)
      first = gFxGlowList.entries[0].viewX;
    else
      EXPECT_NE(+gFxGlowList.entries[0].viewX, first);
  }
  gFxGlowList.count = 0;
  InView(0, 300.0f);
  TrackObjDrawAll();
  EXPECT_EQ(gFxGlowList.count, 0);
}

TEST_F(Traffic, TheRingPutsEightPoliceCarsAroundTheCurrentPoseFacingIt) {
  gTrafficForcedType = 1;
  Camera centre{6000.0f, 0.0f, 3000.0f, 0.0f, 0.0f, 0.0f};
  gRace.currentPose = &centre;
  gTrackObjState.activeCount = 12;
  TrackObjPlaceRing();
  EXPECT_EQ(gTrackObjState.activeCount, 0);
  for (int32_t k = 0; k < TRAFFIC_RING; ++k) {
    const Vehicle& v = gTrackObjects[k];
    EXPECT_EQ(v.type, 3) << k;
    const float dx = v.pose.x - centre.x, dz = v.pose.z - centre.z;
    const float r = std::sqrt(dx * dx + dz * dz) / std::sqrt(2.0f);
    EXPECT_GE(r, 39.9f) << k;
    EXPECT_LE(r, 71.1f) << k;
    EXPECT_EQ(+v.aiHeading, MathAngleTo(v.pose.z, v.pose.x, centre.z, centre.x)) << k;
  }
  // The same ring each time: the draws start from the track's index.
  const Camera kept = gTrackObjects[5].pose;
  gRace.currentPose = &centre;
  TrackObjPlaceRing();
  EXPECT_FLOAT_EQ(+gTrackObjects[5].pose.x, kept.x);
  gTrafficForcedType = 0;
  TrackObjStepRing();
  for (int32_t k = 0; k < TRAFFIC_RING; ++k) EXPECT_EQ(+gTrackObjects[k].objectActive, 1);
}

}  // namespace
