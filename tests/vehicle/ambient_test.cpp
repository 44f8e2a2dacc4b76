// The ambient vehicle: its placement, trajectory choice, following, flight
// and knocks, and its drawing through its draw slot (model, rotor, dust and
// the corners of its shadow), with and without the effects option.
#include <algorithm>
#include <cmath>
#include <set>

#include "ambient_log.h"
#include "backend_common/display.h"
#include "engine3d/angle.h"
#include "engine3d/camera.h"
#include "engine3d/random.h"
#include "frontend/frontend.h"
#include "race/ambient.h"
#include "race/object_types.h"
#include "race/track_files.h"
#include "race/tracks.h"
#include "race/trajectory.h"
#include "tools/datakit/lib/ambient_kit.h"
#include "vehicle_fixture.h"

namespace {

constexpr float START_X = 5000.0f, START_Z = 3000.0f;
constexpr float SPACING_ALONG = 40.0f, SPACING_ACROSS = 70.0f;
constexpr uint16_t START_HEADING = 256;
constexpr int GROUND = 30;

class Ambient : public VehicleTest {
 protected:
  void SetUp() override {
    VehicleTest::SetUp();
    BuildRacePlane(GROUND);
    DrawListAllocDynamic(DRAW_LIST_DYNAMIC);
    gPlayer1Vehicle = &gPlayer1;
    gRace.trackIndex = TRACK_DESERT;
    gRace.raceStarted = 0;
    gOptions.detail[3] = 1;
    TrackInfo& t = gTrackInfo[TRACK_DESERT];
    t.startX = START_X;
    t.startZ = START_Z;
    t.spacingAlong = SPACING_ALONG;
    t.spacingAcross = SPACING_ACROSS;
    t.startHeading = START_HEADING;
    t.startFlag = 0;
    for (Trajectory& tr : gTrajectories) tr = Trajectory{};
    // A straight line along +x from the start.
    gTrajectories[0].count = 20;
    for (int i = 0; i < 20; ++i) gTrajectories[0].points[i] = {START_X + 500.0f * static_cast<float>(i), START_Z};
    gRace.trajectoriesLoaded = 1;
    BuildModel();
    gObjectModels[AMBIENT_MODEL_ROW] = &model_;
    MakeCar(&gPlayer1, START_X, START_Z, START_HEADING);
    gAmbientDrawn.clear();
  }
  void TearDown() override {
    gObjectModels[AMBIENT_MODEL_ROW] = nullptr;
    VehicleTest::TearDown();
  }
  // A small box of one colour standing on y = 0.
  void BuildModel() {
    vertices_.assign(8, Vertex{});
    for (int k = 0; k < 8; ++k) {
      vertices_[k].x = (k & 1) ? 4.0f : -4.0f;
      vertices_[k].y = (k & 2) ? 10.0f : 0.0f;
      vertices_[k].z = (k & 4) ? 12.0f : -12.0f;
    }
    static const uint16_t QUADS[6][4] = {{0, 1, 3, 2}, {4, 6, 7, 5}, {0, 4, 5, 1}, {2, 3, 7, 6}, {0, 2, 6, 4}, {1, 5, 7, 3}};
    faces_.assign(6, Face{});
    for (int f = 0; f < 6; ++f) {
      faces_[f].type = 0x305030;
      faces_[f].vertexCount = 4;
      for (int k = 0; k < 4; ++k) faces_[f].index[k] = QUADS[f][k];
    }
    model_ = MeshHeader{MESH_TYPE_WORD, 8, 6, faces_.data(), vertices_.data(), {0, 0, 0}};
  }
  static Vehicle* Craft() { return AmbientVehicle(); }
  // A camera `depth` units behind the craft along z, looking along +z.
  static void LookAtCraft(float depth) {
    const Camera c{Craft()->pose.x, Craft()->pose.y, Craft()->pose.z - depth, 0.0f, 0.0f, 0.0f};
    CamSet(&c);
    MatViewFromCamera();
    RdrSetDepthRange(5, 1500);
  }
  // The slot as the scene pass hands it over: its view depth set.
  static void DrawSlotAtDepth(float depth) {
    gAmbient.slot->viewZ = depth;
    AmbientDrawCallback(gAmbient.slot, gAmbient.slot->owner);
  }
  static void Ticks(int32_t ticks, uint8_t passed) {
    gRace.ticks = ticks;
    gRace.tickPassed = passed;
  }

  std::vector<Vertex> vertices_;
  std::vector<Face> faces_;
  MeshHeader model_{};
};

TEST_F(Ambient, IsPlacedTwoSpacingsBehindTheStartAtHeightTwenty) {
  struct Case {
    uint8_t startFlag;
    float x, z;
  };
  const Case cases[] = {
      {0, START_X, START_Z - 2.0f * SPACING_ACROSS},
      {1, START_X - 2.0f * SPACING_ALONG, START_Z},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.startFlag));
    DrawListFreeDynamic();
    DrawListAllocDynamic(DRAW_LIST_DYNAMIC);
    gTrackInfo[TRACK_DESERT].startFlag = c.startFlag;
    *Craft() = Vehicle{};
    VehiclePlaceAmbient();
    const Vehicle& v = *Craft();
    EXPECT_FLOAT_EQ(v.pose.x, c.x);
    EXPECT_FLOAT_EQ(v.pose.z, c.z);
    EXPECT_FLOAT_EQ(v.pose.y, TerrainHeightAt(c.x, c.z) + 20.0f);
    EXPECT_FLOAT_EQ(v.pose.heading, START_HEADING);
    EXPECT_FLOAT_EQ(v.heading, START_HEADING);
    EXPECT_EQ(gAmbient.model, &model_);
    EXPECT_FLOAT_EQ(gAmbient.hoverHeight, 25.0f);
    EXPECT_EQ(gAmbient.rotorAngle, 0.0f);
    ASSERT_NE(gAmbient.slot, nullptr);
    EXPECT_EQ(gAmbient.slot->owner, &model_);
    EXPECT_EQ(gAmbient.slot->user, reinterpret_cast<uintptr_t>(Craft()));
    EXPECT_FLOAT_EQ(gAmbient.slot->x, c.x);
    EXPECT_FLOAT_EQ(gAmbient.slot->y, v.pose.y);
    // Player 1's physical values, made light and quick.
    EXPECT_FLOAT_EQ(v.physParams[PHYS_MASS], 650.0f);
    EXPECT_FLOAT_EQ(v.physParams[PHYS_ACCEL_FACTOR], 1.8f);
    EXPECT_FLOAT_EQ(v.physParams[PHYS_POWER], gPlayer1.physParams[PHYS_POWER]);
    EXPECT_FLOAT_EQ(v.physParams[PHYS_SURFACE_GRIP], 1.0f);
    EXPECT_FLOAT_EQ(v.footprint[3], 10.0f);
    EXPECT_EQ(+v.lapTimerSlot, 18);
    EXPECT_EQ(+v.human, 0);
    EXPECT_EQ(+v.state, VEHICLE_ON_GROUND);
    EXPECT_EQ(+v.aiSlot, 0);
    EXPECT_EQ(+v.aiPoint, 0);
  }
}

TEST_F(Ambient, WithoutTrajectoriesOrModelThereIsNone) {
  struct Case {
    const char* name;
    uint8_t loaded;
    bool anyLine;
    bool model;
  };
  const Case cases[] = {{"not loaded", 0, true, true}, {"all empty", 1, false, true}, {"no model", 1, true, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    gRace.trajectoriesLoaded = c.loaded;
    gTrajectories[0].count = c.anyLine ? 20 : 0;
    gObjectModels[AMBIENT_MODEL_ROW] = c.model ? &model_ : nullptr;
    *Craft() = Vehicle{};
    gAmbientDrawn.clear();
    VehiclePlaceAmbient();
    EXPECT_EQ(gAmbient.model, nullptr);
    EXPECT_EQ(gAmbient.slot, nullptr);
    AmbientFrameStep();
    VehicleDrawAmbientShadow();
    EXPECT_EQ(Craft()->pose.x, 0.0f);
    EXPECT_TRUE(gAmbientDrawn.empty());
  }
}

// The dynamic draw list outlives a race: the next load keeps one craft slot,
// and none on a track without the craft.
TEST_F(Ambient, EachLoadLeavesOneSlotOfTheCraft) {
  const auto craftSlots = [] {
    int n = 0;
    for (int32_t i = 0; i < gDrawLists.dynamicCapacity; ++i)
      n += gDrawLists.dynamics[i].inUse && gDrawLists.dynamics[i].callback == AmbientDrawCallback;
    return n;
  };
  VehiclePlaceAmbient();
  VehiclePlaceAmbient();
  EXPECT_EQ(craftSlots(), 1);
  EXPECT_TRUE(gAmbient.slot->inUse);
  gObjectModels[AMBIENT_MODEL_ROW] = nullptr;
  VehiclePlaceAmbient();
  EXPECT_EQ(craftSlots(), 0);
}

TEST_F(Ambient, PicksTheFirstLineFromARandomOneOfTheFirstFourWrappingAfterTheLast) {
  struct Case {
    std::vector<int> filled;
  };
  const Case cases[] = {{{0, 1, 2, 3}}, {{14}}, {{1}}, {{2, 9}}};
  for (const Case& c : cases) {
    for (Trajectory& t : gTrajectories) t.count = 0;
    for (int s : c.filled) gTrajectories[s].count = 5;
    for (uint32_t seed = 0; seed < 8; ++seed) {
      RandSetIndex(seed);
      const int32_t from = RandNextAbs() & 3;
      int32_t want = -1;
      for (int i = 0; i < TRAJ_SLOTS && want < 0; ++i)
        if (gTrajectories[(from + i) % TRAJ_SLOTS].count > 0) want = (from + i) % TRAJ_SLOTS;
      RandSetIndex(seed);
      Vehicle v{};
      v.aiPoint = 7;
      AmbientPickTrajectory(&v);
      EXPECT_EQ(+v.aiSlot, want) << "seed " << seed << " from " << from;
      EXPECT_EQ(+v.aiPoint, 0);
    }
  }
}

TEST_F(Ambient, WithEffectsOffItIsPlacedButNeitherUpdatedHeardNorDrawn) {
  gOptions.detail[3] = 0;
  VehiclePlaceAmbient();
  ASSERT_NE(gAmbient.model, nullptr);
  const Vehicle before = *Craft();
  gRace.raceStarted = 1;
  for (int i = 0; i < 20; ++i) {
    Ticks(i * 32, 1);
    AmbientFrameStep();
  }
  EXPECT_EQ(Craft()->pose.x, before.pose.x);
  EXPECT_EQ(Craft()->pose.y, before.pose.y);
  EXPECT_FLOAT_EQ(gAmbient.hoverHeight, 25.0f);
  LookAtCraft(100.0f);
  gAmbient.shadowEnabled = 1;  // as a frame with the effects on would have left it
  DrawSlotAtDepth(100.0f);
  VehicleDrawAmbientShadow();
  EXPECT_EQ(gAmbient.shadowEnabled, 0);
  EXPECT_TRUE(gAmbientDrawn.empty()) << AmbientCallNames().size();

  // The same frames with the effects on: it flies, is heard and drawn, with its shadow.
  gOptions.detail[3] = 1;
  Ticks(641, 0);
  AmbientFrameStep();
  EXPECT_NE(Craft()->pose.y, before.pose.y);
  EXPECT_EQ(gRace.currentPose, &Craft()->pose);
  DrawSlotAtDepth(100.0f);
  VehicleDrawAmbientShadow();
  const std::vector<std::string> want = {"Sound", "Lit", "Flat", "Shadow", "DepthWriteOff", "FlatAlpha", "FlatAlpha",
                                         "FlatAlpha", "FlatAlpha", "DepthWriteOn"};
  EXPECT_EQ(AmbientCallNames(), want);
}

TEST_F(Ambient, TheHoverHeightChangesOnlyEveryThirtySecondTickWhileTheRaceRuns) {
  struct Case {
    int32_t ticks;
    uint8_t passed, started;
    bool changes;
  };
  const Case cases[] = {
      {64, 1, 1, true}, {0, 1, 1, true}, {65, 1, 1, false}, {48, 1, 1, false}, {64, 0, 1, false}, {64, 1, 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.ticks << " passed " << int(c.passed) << " started " << int(c.started));
    VehiclePlaceAmbient();
    gRace.raceStarted = c.started;
    Ticks(c.ticks, c.passed);
    AmbientUpdate(Craft(), Craft());
    if (c.changes) {
      EXPECT_TRUE(std::set<float>({40.0f, 50.0f, 60.0f, 70.0f}).count(gAmbient.hoverHeight)) << gAmbient.hoverHeight;
    } else {
      EXPECT_FLOAT_EQ(gAmbient.hoverHeight, 25.0f);
    }
  }
  // Over a race the height takes more than one of its values.
  VehiclePlaceAmbient();
  gRace.raceStarted = 1;
  std::set<float> seen;
  for (int32_t k = 1; k <= 40; ++k) {
    Ticks(32 * k, 1);
    AmbientUpdate(Craft(), Craft());
    seen.insert(gAmbient.hoverHeight);
  }
  EXPECT_GT(seen.size(), 1u);
}

TEST_F(Ambient, KeepsCompanyWithPlayerOne) {
  struct Case {
    float distance;
    uint8_t started;
    float velocity, playerVelocity;
    uint8_t throttle, brake;
  };
  const Case cases[] = {
      {50.0f, 1, 20.0f, 0.0f, 0, 1},      // too close in the race: brakes
      {50.0f, 0, 20.0f, 0.0f, 0, 0},      // before the start it only stops accelerating
      {50.0f, 1, 8.0f, 0.0f, 1, 0},       // slow: accelerates whatever the distance
      {3000.0f, 1, 90.0f, 0.0f, 1, 0},    // good company: accelerates freely
      {500.0f, 1, 90.0f, 60.0f, 0, 0},    // too near and faster than the player
      {500.0f, 1, 65.0f, 60.0f, 1, 0},    // too near but no faster
      {7000.0f, 1, 90.0f, 100.0f, 1, 0},  // far behind a faster player
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.distance << " at " << c.velocity);
    VehiclePlaceAmbient();
    gRace.raceStarted = c.started;
    Vehicle* v = Craft();
    v->velocity = c.velocity;
    gPlayer1.pose.x = v->pose.x + c.distance * 0.6f;
    gPlayer1.pose.z = v->pose.z + c.distance * 0.8f;
    gPlayer1.velocity = c.playerVelocity;
    AmbientFollow(v, v);
    EXPECT_EQ(+v->throttleCmd, c.throttle);
    EXPECT_EQ(+v->brakeCmd, c.brake);
  }
  // In the no-human mode the extra car is the one it follows.
  VehiclePlaceAmbient();
  gRace.raceStarted = 1;
  gRace.noHumanMode = 1;
  Vehicle* v = Craft();
  v->velocity = 20.0f;
  gVehicleRecords[VEHICLE_EXTRA_CAR].pose = v->pose;
  gPlayer1.pose.x = v->pose.x + 3000.0f;
  AmbientFollow(v, v);
  EXPECT_EQ(+v->brakeCmd, 1);
}

TEST_F(Ambient, SlowItLooksAtPlayerOneAndSteersItsDriverHeadingToThePoint) {
  VehiclePlaceAmbient();
  Vehicle* v = Craft();
  v->aiHeading = 0;
  v->velocity = 0.0f;
  // Player 1 to the craft's +x: heading 256.
  gPlayer1.pose.x = v->pose.x + 500.0f;
  gPlayer1.pose.z = v->pose.z;
  gAmbient.lookAngle = 0;
  AmbientFollow(v, v);
  EXPECT_GT(gAmbient.lookAngle, 0);
  EXPECT_LT(gAmbient.lookAngle, 256);
  // The point ahead lies along +x too: the driver heading turns that way and the steering follows.
  EXPECT_GT(v->aiHeading, 0);
  EXPECT_FLOAT_EQ(std::fabs(v->steerInput), 320.0f);
  // Fast, it looks where it flies instead.
  v->velocity = 100.0f;
  v->pose.heading = 512.0f;
  v->slideAngle = 0.0f;
  gAmbient.lookAngle = 512;
  AmbientFollow(v, v);
  EXPECT_EQ(gAmbient.lookAngle, 512);
}

TEST_F(Ambient, FliesAlongItsLineAtItsHoverHeight) {
  VehiclePlaceAmbient();
  gRace.raceStarted = 1;
  Vehicle* v = Craft();
  gPlayer1.pose.x = v->pose.x + 3000.0f;
  for (int i = 0; i < 400; ++i) {
    Ticks(i + 1, 1);
    gRace.currentPose = &v->pose;
    AmbientUpdate(v, v);
  }
  EXPECT_GT(v->velocity, 10.0f);
  EXPECT_GT(v->pose.x, START_X + 500.0f);
  const float ground = TerrainHeightAt(v->pose.x, v->pose.z);
  EXPECT_GE(v->pose.y, ground + 10.0f);
  EXPECT_LE(v->pose.y, ground + 70.0f);
  EXPECT_EQ(int{v->bodyAngles[1]}, static_cast<int>(std::lrint(v->pose.heading + v->slideAngle) & ANGLE_MASK));
  EXPECT_EQ(+v->state, VEHICLE_ON_GROUND);
  // Any state but flying and knocked goes back to flying.
  v->state = VEHICLE_ROLLED_OVER;
  AmbientUpdate(v, v);
  EXPECT_EQ(+v->state, VEHICLE_ON_GROUND);
}

// A bounce off an object leaves its traction for the next step only, and the
// slope stall of the car stepped before never reaches the craft: otherwise the
// craft would brake where it means to accelerate, frame after frame.
TEST_F(Ambient, NeitherABounceNorAnotherCarsStallKeepsTheCraftBraking) {
  struct Case {
    const char* name;
    float tractionOverride;
    uint8_t reverseFlip;
    uint8_t brakesFirstStep;
  };
  const Case cases[] = {{"bounce", 8.0f, 0, 1}, {"stall of another car", 0.0f, 1, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    VehiclePlaceAmbient();
    Vehicle* v = Craft();
    v->velocity = 30.0f;
    v->reverseTimer = 0.1f;
    gPlayer1.pose.x = v->pose.x + 3000.0f;
    v->tractionOverride = c.tractionOverride;
    gVehicleStep.reverseFlip = c.reverseFlip;
    AmbientUpdate(v, v);
    EXPECT_EQ(+v->brakeCmd, c.brakesFirstStep);
    EXPECT_EQ(v->tractionOverride, 0.0f);
    for (int i = 0; i < 3; ++i) {
      gVehicleStep.reverseFlip = c.reverseFlip;
      AmbientUpdate(v, v);
      EXPECT_EQ(+v->throttleCmd, 1);
      EXPECT_EQ(+v->brakeCmd, 0);
    }
  }
}

TEST_F(Ambient, FlyingIntoAPlacedObjectKnocksItAndABuildingKnocksTheCraft) {
  struct Case {
    const char* name;
    float velocity;
    uint8_t building;
    int32_t impact;
    int32_t state;
  };
  const Case cases[] = {
      {"slow into an object", 30.0f, 0, 30, VEHICLE_ON_GROUND},
      {"fast into an object: thrown up, flying again next step", 150.0f, 0, 150, VEHICLE_IN_AIR},
      {"into a building", 60.0f, 1, 60, VEHICLE_KNOCKED},
      {"very fast: the impact stops at 300", 400.0f, 0, 300, VEHICLE_IN_AIR},
  };
  constexpr uint16_t ROW_TOWER = 200;
  const DrawLists saved = gDrawLists;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ObjectTypesReset();
    ObjectType& row = gObjectTypes[ROW_TOWER];
    row.minX = row.minZ = -100.0f;
    row.maxX = row.maxZ = 100.0f;
    row.minY = 0.0f;
    row.maxY = 1000.0f;
    gDrawLists.staticCount = 0;
    gPlacementCount = 0;
    TrackBuildCellGrid();
    VehiclePlaceAmbient();
    Vehicle* v = Craft();
    DrawSlot tower{};
    tower.visible = 1;
    tower.x = v->pose.x;
    tower.z = v->pose.z;
    gPlacements[gPlacementCount++] = ObjectPlacement{0, 0, COUNTER_SLOT_NONE, ROW_TOWER, tower.x, 0.0f, tower.z};
    ASSERT_EQ(TrackGridAddObject(&tower), 1);
    gTestObjectSolid = c.building;
    v->velocity = c.velocity;
    gVehicleCalls.clear();
    AmbientUpdate(v, v);
    EXPECT_EQ(CountCalls("DecorKnockObject"), 1);
    EXPECT_EQ(+v->impactVelocity, c.impact);
    EXPECT_EQ(+v->state, c.state);
  }
  gPlacementCount = 0;
  gDrawLists = saved;
  gDrawLists.staticCount = 0;
  TrackBuildCellGrid();
  ObjectTypesReset();
}

TEST_F(Ambient, AKnockedCraftTumblesOnlyWithThreeBouncesLeftAndSettlesToTheGroundOtherwise) {
  struct Case {
    int32_t bounces;
    float velocity;
    bool tumbles;
  };
  const Case cases[] = {{3, 100.0f, true}, {2, 100.0f, false}, {0, 100.0f, false}, {3, 60.0f, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.bounces << " bounces at " << c.velocity);
    VehiclePlaceAmbient();
    Vehicle* v = Craft();
    v->state = VEHICLE_KNOCKED;
    v->bouncesLeft = c.bounces;
    v->velocity = c.velocity;
    v->spinSide = 1;
    v->pose.y = TerrainHeightAt(v->pose.x, v->pose.z) + 300.0f;
    v->pose.pitch = 200.0f;
    v->pose.roll = 150.0f;
    v->knockLift = 0.0f;
    AmbientUpdate(v, v);
    EXPECT_EQ(+v->state, VEHICLE_KNOCKED);
    const float thrown = v->velocity;  // the velocity step keeps it nearly as it was
    if (c.tumbles) {
      EXPECT_NEAR(v->pose.pitch, 200.0f - thrown * 0.5f, 1.0f);
      EXPECT_NEAR(v->pose.roll, 150.0f + thrown * 0.333333f, 1.0f);
    } else {
      // Level ground: both turn toward 0 by the settling rate.
      EXPECT_FLOAT_EQ(v->pose.pitch, MathAngleTurn(200, 0, 0.12f));
      EXPECT_FLOAT_EQ(v->pose.roll, MathAngleTurn(150, 0, 0.12f));
    }
  }
}

TEST_F(Ambient, AKnockedCraftBouncesOnTheGroundAndFliesOnWhenSlowOrOutOfBounces) {
  struct Case {
    int32_t bounces;
    float velocity;
    int32_t state;
  };
  const Case cases[] = {{3, 100.0f, VEHICLE_KNOCKED}, {1, 100.0f, VEHICLE_ON_GROUND}, {3, 50.0f, VEHICLE_ON_GROUND}};
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.bounces << " bounces at " << c.velocity);
    VehiclePlaceAmbient();
    Vehicle* v = Craft();
    v->state = VEHICLE_KNOCKED;
    v->bouncesLeft = c.bounces;
    v->velocity = c.velocity;
    v->knockImpulse = 0.0f;
    v->knockLift = -50.0f;
    AmbientUpdate(v, v);
    const float ground = TerrainHeightAt(v->pose.x, v->pose.z);
    EXPECT_FLOAT_EQ(v->pose.y, ground);
    EXPECT_EQ(+v->bouncesLeft, c.bounces - 1);
    EXPECT_NEAR(v->knockLift, v->velocity * 30.0f * 0.004f, 0.01f);
    EXPECT_EQ(+v->state, c.state);
  }
}

TEST_F(Ambient, IsLitNearerThan320AndNotDrawnOutsideTheDepthRange) {
  struct Case {
    float depth;
    const char* call;  // null: not drawn
    int32_t distance;
  };
  const Case cases[] = {{319.5f, "Lit", 319}, {320.0f, "Object", 320}, {1000.0f, "Object", 1000},
                        {-150.0f, "Lit", 150}, {2000.0f, nullptr, 2000}, {-300.0f, nullptr, 300}};
  VehiclePlaceAmbient();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.depth);
    LookAtCraft(100.0f);
    gAmbientDrawn.clear();
    gAmbient.shadowEnabled = c.call ? 0 : 1;
    DrawSlotAtDepth(c.depth);
    EXPECT_EQ(+Craft()->cameraDistance, c.distance);
    EXPECT_EQ(gAmbient.shadowEnabled, c.call ? 1 : 0);
    if (!c.call) {
      EXPECT_TRUE(gAmbientDrawn.empty());
      continue;
    }
    ASSERT_GE(gAmbientDrawn.size(), 2u);
    EXPECT_EQ(gAmbientDrawn[0].call, c.call);
    EXPECT_EQ(gAmbientDrawn[1].call, "Flat");  // the rotor
  }
  // An inset (the mirror, the demo's picture-in-picture) draws the craft by
  // its own depth and leaves the distance its hits and sound go by alone.
  LookAtCraft(100.0f);
  Craft()->cameraDistance = 1000;
  gViewInsetPass = 1;
  gAmbientDrawn.clear();
  DrawSlotAtDepth(150.0f);
  gViewInsetPass = 0;
  EXPECT_EQ(+Craft()->cameraDistance, 1000);
  ASSERT_FALSE(gAmbientDrawn.empty());
  EXPECT_EQ(gAmbientDrawn[0].call, "Lit");
  // Nor while a character scene is shown.
  gSceneShown = 1;
  gAmbientDrawn.clear();
  DrawSlotAtDepth(100.0f);
  EXPECT_TRUE(gAmbientDrawn.empty());
  EXPECT_EQ(gAmbient.shadowEnabled, 0);
  gSceneShown = 0;
}

TEST_F(Ambient, TheModelShowsTheLookAngleAndTheSlotFollowsTheCraft) {
  VehiclePlaceAmbient();
  Vehicle* v = Craft();
  v->pose.x += 77.0f;
  v->pose.pitch = 10.0f;
  v->pose.roll = 20.0f;
  gAmbient.lookAngle = 100;
  LookAtCraft(100.0f);
  DrawSlotAtDepth(100.0f);
  EXPECT_FLOAT_EQ(gAmbient.slot->x, v->pose.x);
  EXPECT_EQ(model_.angle[0], 10);
  EXPECT_EQ(model_.angle[1], 1024 - 100);
  EXPECT_EQ(model_.angle[2], 512 + 20);
}

TEST_F(Ambient, TheRotorTurnsAndTheDustRisesOncePerFrame) {
  VehiclePlaceAmbient();
  SetFrameRate(50.0f);
  LookAtCraft(100.0f);
  gAmbient.dustTimer = 1.2f;
  Ticks(5, 1);
  gRace.viewIndex = 0;
  DrawSlotAtDepth(100.0f);
  EXPECT_FLOAT_EQ(gAmbient.rotorAngle, 150.0f * 0.5f);
  EXPECT_FLOAT_EQ(gAmbient.dustTimer, 0.7f);
  ASSERT_EQ(AmbientCalls("Dust").size(), 1u);
  const AmbientDrawn dust = AmbientCalls("Dust")[0];
  EXPECT_EQ(dust.args[3], 3.0f);
  EXPECT_EQ(dust.args[4], 16.0f);
  // Below the craft: 13 down its up axis (level, that is straight down) and 0.7 aside.
  EXPECT_NEAR(dust.args[1], Craft()->pose.y - 13.0f, 0.01f);
  // The second view of a split screen draws the rotor but neither turns it nor raises dust.
  gAmbientDrawn.clear();
  gRace.viewIndex = 1;
  DrawSlotAtDepth(100.0f);
  EXPECT_FLOAT_EQ(gAmbient.rotorAngle, 75.0f);
  EXPECT_FLOAT_EQ(gAmbient.dustTimer, 0.7f);
  EXPECT_TRUE(AmbientCalls("Dust").empty());
  EXPECT_EQ(AmbientCalls("Flat").size(), 1u);
  // Without a tick in the frame the timer runs but no dust rises; once run out, none either.
  gRace.viewIndex = 0;
  gAmbientDrawn.clear();
  Ticks(5, 0);
  DrawSlotAtDepth(100.0f);
  EXPECT_FLOAT_EQ(gAmbient.dustTimer, 0.2f);
  Ticks(6, 1);
  DrawSlotAtDepth(100.0f);
  DrawSlotAtDepth(100.0f);
  EXPECT_EQ(AmbientCalls("Dust").size(), 1u);
  EXPECT_LE(gAmbient.dustTimer, 0.0f);
}

TEST_F(Ambient, TheRotorDiscSpinsAboveTheCraft) {
  VehiclePlaceAmbient();
  LookAtCraft(200.0f);
  gRace.viewIndex = 1;  // the angle stays where the test puts it
  float previousX = 0.0f;
  for (const float angle : {0.0f, 128.0f}) {
    gAmbient.rotorAngle = angle;
    gAmbientDrawn.clear();
    DrawSlotAtDepth(200.0f);
    const std::vector<AmbientDrawn> disc = AmbientCalls("Flat");
    ASSERT_EQ(disc.size(), 1u);
    ASSERT_EQ(disc[0].corners.size(), 4u);
    float cx = 0.0f, cy = 0.0f;
    for (const Vertex& c : disc[0].corners) {
      cx += c.x * 0.25f;
      cy += c.y * 0.25f;
      // Half a diagonal of a 50-unit square from the centre, give or take the tilt.
      EXPECT_NEAR(std::hypot(c.x - Craft()->pose.x, c.z - (Craft()->pose.z - 3.4f)), 25.0f * std::sqrt(2.0f), 3.0f);
    }
    EXPECT_NEAR(cx, Craft()->pose.x, 1.0f);
    EXPECT_NEAR(cy, Craft()->pose.y + 14.0f, 1.5f);
    if (angle != 0.0f) {
      EXPECT_GT(std::fabs(disc[0].corners[0].x - previousX), 5.0f);
    }
    previousX = disc[0].corners[0].x;
  }
}

// The kit's craft is built to the disc above: at its row's scale, about as
// long as the disc is across (50), its mast reaching the disc's height above
// its lowest point (14).
TEST(AmbientKit, TheCraftIsBuiltToItsRotor) {
  const datakit::Model3ds model = datakit::HelicopterModel();
  float lo[3] = {1e9f, 1e9f, 1e9f}, hi[3] = {-1e9f, -1e9f, -1e9f};
  for (const datakit::Mesh3ds& mesh : model.meshes)
    for (const auto& v : mesh.vertices)
      for (int k = 0; k < 3; ++k) lo[k] = std::min(lo[k], v[k]), hi[k] = std::max(hi[k], v[k]);
  const float scale = gObjectTypes[37].scale;
  ASSERT_STREQ(gObjectTypes[37].name, "helicop");
  EXPECT_GE(std::max(hi[0] - lo[0], hi[1] - lo[1]) * scale, 50.0f);
  EXPECT_NEAR((hi[2] - lo[2]) * scale, 14.0f, 1.0f);
}

TEST_F(Ambient, ItsShadowLiesUnderItSixAheadAndThreeAside) {
  BuildTerrain(17, 9, 1000.0f, [](uint32_t c, uint32_t r) { return int(10 * c + 5 * r); });
  VehiclePlaceAmbient();
  Vehicle* v = Craft();
  v->pose.y += 60.0f;
  gAmbient.lookAngle = 0;  // nose along +z
  LookAtCraft(100.0f);
  DrawSlotAtDepth(100.0f);
  const float x = v->pose.x, z = v->pose.z;
  const float want[4][2] = {{x - 3.0f, z + 6.0f}, {x + 3.0f, z + 6.0f}, {x - 3.0f, z - 6.0f}, {x + 3.0f, z - 6.0f}};
  for (int w = 0; w < 4; ++w) {
    SCOPED_TRACE(w);
    const WheelState& wheel = v->wheels[w];
    // The model matrix mirrors x when it stands the model up: left and right may swap.
    EXPECT_NEAR(std::fabs(wheel.contactX - x), 3.0f, 0.01f);
    EXPECT_NEAR(wheel.contactZ, want[w][1], 0.01f);
    EXPECT_FLOAT_EQ(wheel.groundHeight, TerrainHeightAt(wheel.contactX, wheel.contactZ));
  }
  EXPECT_NE(v->wheels[0].contactX, v->wheels[1].contactX);
  EXPECT_EQ(v->wheels[0].contactX, v->wheels[2].contactX);
}

}  // namespace
