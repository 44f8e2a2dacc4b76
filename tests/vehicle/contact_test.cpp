// Vehicle against placed objects: the cell search, the turned boxes, the
// checkpoints, the way out of a blocked move; and the race ranking.
#include <algorithm>
#include <array>
#include <vector>

#include "engine3d/mesh.h"
#include "net/net.h"
#include "race/collide.h"
#include "race/object_types.h"
#include "race/track_files.h"
#include "race/tracks.h"
#include "vehicle_fixture.h"

namespace {

constexpr uint16_t ROW_LOW = 200;    // 20 x 20, 20 high
constexpr uint16_t ROW_TALL = 201;   // 20 x 20, 400 high
constexpr uint16_t ROW_FENCE = 202;  // 100 long in x, 10 thick in z
constexpr uint16_t ROW_CHECK = 203;  // a checkpoint gate

class Contact : public VehicleTest {
 protected:
  void SetUp() override {
    VehicleTest::SetUp();
    BuildRacePlane(0);
    ObjectTypesReset();
    Row(ROW_LOW, -10, 10, 0, 20, -10, 10, 0);
    Row(ROW_TALL, -10, 10, 0, 400, -10, 10, 0);
    Row(ROW_FENCE, -50, 50, 0, 20, -5, 5, 0);
    Row(ROW_CHECK, -50, 50, 0, 20, -5, 5, OBJECT_GRID_CHECKPOINT);
    savedLists_ = gDrawLists;
    gDrawLists.staticCount = 0;
    gPlacementCount = 0;
    TrackBuildCellGrid();
    MakeCar(&car_, 1000.0f, 1000.0f, 0.0f);
    const float box[6] = {-8.0f, 8.0f, -5.0f, 5.0f, -15.0f, 15.0f};
    for (int i = 0; i < 6; ++i) car_.footprint[i] = box[i];
    MoveFrom(1000.0f, 0.0f, 1000.0f);
  }
  void TearDown() override {
    gDrawLists = savedLists_;
    gPlacementCount = 0;
    TrackBuildCellGrid();
    ObjectTypesReset();
    VehicleTest::TearDown();
  }
  static void Row(uint16_t row, float x0, float x1, float y0, float y1, float z0, float z1, uint8_t flags) {
    ObjectType& t = gObjectTypes[row];
    t.minX = x0;
    t.maxX = x1;
    t.minY = y0;
    t.maxY = y1;
    t.minZ = z0;
    t.maxZ = z1;
    t.gridFlags = flags;
  }
  DrawSlot* Place(uint16_t row, float x, float z, uint16_t yaw = 0) {
    DrawSlot* slot = &slots_[used_++];
    *slot = DrawSlot{};
    slot->visible = 1;
    slot->x = x;
    slot->z = z;
    slot->user = static_cast<uint32_t>(gPlacementCount);
    gPlacements[gPlacementCount++] = ObjectPlacement{yaw, 0, COUNTER_SLOT_NONE, row, x, 0.0f, z};
    EXPECT_EQ(TrackGridAddObject(slot), 1);
    return slot;
  }
  // The step began at (x, y, z).
  static void MoveFrom(float x, float y, float z) {
    gVehicleStep.prevX = x;
    gVehicleStep.prevY = y;
    gVehicleStep.prevZ = z;
  }

  Vehicle car_;
  DrawSlot slots_[32];
  int used_ = 0;
  DrawLists savedLists_{};
};

TEST_F(Contact, AVehicleBlockedOnlyInHeightKeepsItsNewPlaceAndItsOldHeight) {
  Place(ROW_LOW, 1000.0f, 1000.0f);
  MoveFrom(990.0f, 30.0f, 995.0f);
  ASSERT_EQ(ContactFindObject(&car_), &slots_[0]);
  EXPECT_TRUE(ContactResolveMove(&car_, 0));
  EXPECT_FLOAT_EQ(car_.pose.x, 1000.0f);
  EXPECT_FLOAT_EQ(car_.pose.y, 30.0f);
  EXPECT_FLOAT_EQ(car_.pose.z, 1000.0f);
}

TEST_F(Contact, ABlockedMoveTriesTheSixMixesOfOldAndNewInOrder) {
  // The step ran from (960, y, 960) to (1000, 0, 1000), where an object stands.
  struct Blocker {
    uint16_t row;
    float x, z;
  };
  struct Case {
    const char* name;
    float oldY;
    std::vector<Blocker> blockers;
    float x, y, z;
  };
  const Case cases[] = {
      {"new x and z at the old height", 100.0f, {{ROW_LOW, 1000, 1000}}, 1000, 100, 1000},
      {"old x", 0.0f, {{ROW_LOW, 1000, 1000}}, 960, 0, 1000},
      {"old z", 0.0f, {{ROW_LOW, 1000, 1000}, {ROW_LOW, 960, 1000}}, 1000, 0, 960},
      {"old x and z", 0.0f, {{ROW_LOW, 1000, 1000}, {ROW_LOW, 960, 1000}, {ROW_LOW, 1000, 960}}, 960, 0, 960},
      {"old x and height",
       100.0f,
       {{ROW_TALL, 1000, 1000}, {ROW_LOW, 960, 1000}, {ROW_LOW, 1000, 960}, {ROW_LOW, 960, 960}},
       960,
       100,
       1000},
      {"old z and height",
       100.0f,
       {{ROW_TALL, 1000, 1000}, {ROW_TALL, 960, 1000}, {ROW_LOW, 1000, 960}, {ROW_LOW, 960, 960}},
       1000,
       100,
       960},
      {"nowhere free, no push: stays",
       0.0f,
       {{ROW_LOW, 1000, 1000}, {ROW_LOW, 960, 1000}, {ROW_LOW, 1000, 960}, {ROW_LOW, 960, 960}},
       1000,
       0,
       1000},
  };
  for (const Case& c : cases) {
    Restart();
    used_ = 0;
    for (const Blocker& b : c.blockers) Place(b.row, b.x, b.z);
    MoveFrom(960.0f, c.oldY, 960.0f);
    EXPECT_TRUE(ContactResolveMove(&car_, 0)) << c.name;
    EXPECT_FLOAT_EQ(car_.pose.x, c.x) << c.name;
    EXPECT_FLOAT_EQ(car_.pose.y, c.y) << c.name;
    EXPECT_FLOAT_EQ(car_.pose.z, c.z) << c.name;
  }
}

TEST_F(Contact, ThePushOutLeavesOneObjectButGivesUpBetweenTwoThatOverlap) {
  // Blocked where it started, so only the push can free it.
  Place(ROW_LOW, 1000.0f, 1000.0f);
  car_.pose.z = 1006.0f;
  MoveFrom(1000.0f, 0.0f, 1006.0f);
  EXPECT_TRUE(ContactResolveMove(&car_, 1));
  EXPECT_EQ(ContactFindObject(&car_), nullptr);
  EXPECT_FLOAT_EQ(car_.tractionOverride, 40.0f);
  EXPECT_GT(car_.pose.z, 1006.0f);  // away from the object

  // Between two overlapping objects each push lands on the other.
  Restart();
  used_ = 0;
  Place(ROW_LOW, 1000.0f, 1000.0f);
  Place(ROW_LOW, 1000.0f, 1012.0f);
  car_.pose.z = 1006.0f;
  MoveFrom(1000.0f, 0.0f, 1006.0f);
  EXPECT_FALSE(ContactResolveMove(&car_, 1));
  EXPECT_FALSE(ContactResolveAndSettle(&car_, 0.0f, 0.0f, 1));
}

TEST_F(Contact, AFlaggedBoxTurnsWithItsObject) {
  struct Case {
    uint8_t flags;
    uint16_t yaw;
    bool touches;
  };
  // A fence 100 long in x; the car stands 30 beyond it in z, across its middle.
  const Case cases[] = {{0x00, 256, false}, {0x10, 0, false}, {0x10, 256, true}, {0x10, 768, true}};
  for (const Case& c : cases) {
    Restart();
    used_ = 0;
    Row(ROW_FENCE, -50, 50, 0, 20, -5, 5, c.flags);
    Place(ROW_FENCE, 1000.0f, 970.0f, c.yaw);
    EXPECT_EQ(ContactFindObject(&car_) != nullptr, c.touches) << int(c.flags) << " yaw " << c.yaw;
  }
}

TEST_F(Contact, TheNearestObjectWinsAndHiddenOnesAreNotTouched) {
  DrawSlot* far = Place(ROW_LOW, 1000.0f, 1020.0f);
  DrawSlot* near = Place(ROW_LOW, 1000.0f, 990.0f);
  EXPECT_EQ(ContactFindObject(&car_), near);
  near->visible = 0;
  EXPECT_EQ(ContactFindObject(&car_), far);
  car_.state = VEHICLE_RESETTING;
  EXPECT_EQ(ContactFindObject(&car_), nullptr);
}

TEST_F(Contact, CheckpointsArePassedNotTouched) {
  DrawSlot* gate = Place(ROW_CHECK, 1000.0f, 1000.0f);
  car_.boostLeft = 100.0f;
  EXPECT_EQ(ContactFindObjectAt(&car_, 1000.0f, 0.0f, 1000.0f), nullptr);
  EXPECT_FLOAT_EQ(car_.boostLeft, 100.0f);  // the search at a position passes nothing
  EXPECT_EQ(ContactFindObject(&car_), nullptr);
  EXPECT_EQ(car_.lastCheckpoint, gate);
  EXPECT_FLOAT_EQ(car_.boostLeft, 150.0f);
  EXPECT_EQ(ContactFindObject(&car_), nullptr);
  EXPECT_FLOAT_EQ(car_.boostLeft, 150.0f);  // twice in a row counts once
}

TEST_F(Contact, ACheckpointAddsBoostAndRepairs) {
  struct Case {
    const char* name;
    float boost;
    uint8_t damage;
    uint8_t noHuman;
    float boostAfter;
    uint8_t damageAfter;
  };
  const Case cases[] = {
      {"boost and three damage stages", 100.0f, 5, 0, 150.0f, 2},
      {"a stage of 2 is fully repaired", 0.0f, 2, 0, 50.0f, 0},
      {"the last stage", 0.0f, 8, 0, 50.0f, 5},
      {"boost stops at 999", 980.0f, 0, 0, 999.0f, 0},
      {"no boost in the no-human mode", 500.0f, 0, 1, 0.0f, 0},
  };
  for (const Case& c : cases) {
    Vehicle v;
    MakeCar(&v, 0.0f, 0.0f, 0.0f);
    gRace.noHumanMode = c.noHuman;
    v.boostLeft = c.boost;
    v.damageStage = c.damage;
    v.damageCounter = 7;
    v.damageA = 3;
    v.damageB = 4;
    v.wheels[0].bend = 25;
    v.wheels[1].bend = 4;
    v.wheels[2].attached = 0;
    v.wheels[2].bend = 25;
    DrawSlot gate{};
    ContactPassCheckpoint(&v, &gate);
    EXPECT_FLOAT_EQ(v.boostLeft, c.boostAfter) << c.name;
    EXPECT_EQ(+v.damageStage, +c.damageAfter) << c.name;
    EXPECT_EQ(v.damageA + v.damageB + v.damageCounter, 0) << c.name;
    EXPECT_EQ(+v.wheels[0].bend, 15) << c.name;
    EXPECT_EQ(+v.wheels[1].bend, 0) << c.name;
    EXPECT_EQ(+v.wheels[2].bend, 25) << c.name;  // a wheel off the ground keeps its wear
  }
}

TEST_F(Contact, TheCellSearchStaysInsideTheGrid) {
  Place(ROW_LOW, 10.0f, 10.0f);
  const TrackGridCell* cells[CONTACT_CELLS];
  EXPECT_EQ(ContactGatherObjectCells(10.0f, 10.0f, cells), 1);
  EXPECT_EQ(ContactGatherObjectCells(-500.0f, 10.0f, cells), 0);
  EXPECT_EQ(ContactGatherObjectCells(1e30f, 1e30f, cells), 0);
  car_.pose = Camera{15990.0f, 0.0f, 7990.0f, 0.0f, 0.0f, 0.0f};
  EXPECT_EQ(ContactFindObject(&car_), nullptr);
  gTrackGround[0][0].object = &slots_[0];
  DrawSlot* ground[CONTACT_CELLS];
  EXPECT_EQ(ContactGatherGroundCells(50.0f, 50.0f, ground), 1);
  gTrackGround[0][0].object = nullptr;
}

TEST_F(Contact, TheContactPassSoundsSwaysBouncesAndKnocks) {
  struct Case {
    const char* name;
    float velocity;
    uint8_t solid, givesWay;
    int32_t event;
    int32_t state;
    float lift;  // of a knock
  };
  const float lift = 0.0f;
  const Case cases[] = {
      {"slow against a small object: resolved only", 30.0f, 0, 0, 0, VEHICLE_ON_GROUND, lift},
      {"at 40: still no sway", 40.0f, 0, 0, 0, VEHICLE_ON_GROUND, lift},
      {"at 50: a sway, and still no sound", 50.0f, 0, 0, 0, VEHICLE_ON_GROUND, lift},
      {"fast against a small object that stands: thrown up", 200.0f, 0, 0, 9, VEHICLE_IN_AIR, lift},
      {"fast against a small object that gives way", 200.0f, 0, 1, 10, VEHICLE_IN_AIR, lift},
      {"slow against a building", 30.0f, 1, 0, 9, VEHICLE_ON_GROUND, lift},
      {"fast against a building: a soft knock", 150.0f, 1, 0, 9, VEHICLE_KNOCKED, 150.0f * 30.0f * 0.004f * 0.333333f},
      {"above 220: a hard knock", 230.0f, 1, 0, 9, VEHICLE_KNOCKED, 230.0f * 30.0f * 0.004f},
  };
  // The sway scales with the car's own factor (3.0 for type 0).
  const auto savedModels = std::to_array(gCarModels);
  CarModelSetGeometry();
  for (const Case& c : cases) {
    Restart();
    used_ = 0;
    // The car ran from 20 behind into an object just ahead of its right side.
    Place(ROW_LOW, 990.0f, 1020.0f);
    MoveFrom(1000.0f, 0.0f, 980.0f);
    car_.velocity = c.velocity;
    car_.steerInput = 30.0f;
    gTestObjectSolid = c.solid;
    gTestObjectGivesWay = c.givesWay;
    int32_t event = 0;
    float steerTarget = 0.0f;
    const float sway = c.velocity > 40.0f ? 3.0f * c.velocity * 0.1f : 0.0f;
    VehicleObjectContactPass(&car_, nullptr, &event, &steerTarget);
    EXPECT_EQ(event, c.event) << c.name;
    EXPECT_EQ(+car_.state, c.state) << c.name;
    EXPECT_EQ(+car_.impactVelocity, static_cast<int>(c.velocity)) << c.name;
    if (c.state == VEHICLE_KNOCKED) {
      EXPECT_FLOAT_EQ(car_.knockLift, c.lift) << c.name;
    }
    EXPECT_EQ(CountCalls("FfbShockFull"), c.velocity > 220.0f ? 1 : 0) << c.name;
    EXPECT_FLOAT_EQ(car_.swayAmount, sway > 25.0f ? 25.0f : sway) << c.name;
    if (c.event != 0) {
      EXPECT_FLOAT_EQ(steerTarget, 400.0f - 30.0f) << c.name;  // away from the object's side
    }
  }
  std::copy(savedModels.begin(), savedModels.end(), gCarModels);
}

TEST_F(Contact, AnImpactOf200DeflectsBy64TowardTheOpenSide) {
  for (float objectX : {990.0f, 1010.0f}) {
    Restart();
    used_ = 0;
    Place(ROW_LOW, objectX, 1020.0f);
    MoveFrom(1000.0f, 0.0f, 980.0f);
    car_.velocity = 200.0f;
    car_.pose.heading = car_.heading = 100.0f;
    Vehicle expected = car_;
    int32_t event = 0;
    float steerTarget = 0.0f;
    VehicleObjectContactPass(&car_, nullptr, &event, &steerTarget);
    // The same bounce by hand, after the same resolve.
    const int32_t d = steerTarget > 0.0f ? 64 : -64;
    ContactResolveAndSettle(&expected, 0.0f, 0.0f, 0);
    VehicleBounceOffObject(&expected, nullptr, d, 2 * d, 64);
    EXPECT_FLOAT_EQ(car_.heading, expected.heading) << objectX;
    EXPECT_FLOAT_EQ(car_.pose.roll, expected.pose.roll) << objectX;
    EXPECT_FLOAT_EQ(car_.pose.pitch, expected.pose.pitch) << objectX;
    EXPECT_FLOAT_EQ(car_.slideAngle, expected.slideAngle) << objectX;
    EXPECT_EQ(steerTarget > 0.0f, objectX < 1000.0f) << objectX;
  }
}

class Ranking : public VehicleTest {};

TEST_F(Ranking, PositionsFollowProgressAndTiesKeepTheTableOrder) {
  struct Case {
    const char* name;
    bool network;
    std::vector<int32_t> progress;
    std::vector<int32_t> positions;
  };
  const Case cases[] = {
      {"local", false, {10, 30, 20, 30, 0, 5}, {4, 1, 3, 2, 6, 5}},
      {"local, all equal", false, {7, 7, 7, 7, 7, 7}, {1, 2, 3, 4, 5, 6}},
      {"network", true, {4, 9, 9}, {3, 1, 2}},
  };
  for (const Case& c : cases) {
    Restart();
    const int n = static_cast<int>(c.progress.size());
    for (int i = 0; i < n; ++i) {
      Vehicle* v = i == 0 ? &gPlayer1 : &gVehicleRecords[i];
      v->progress = c.progress[i];
      if (c.network)
        gNetParticipants.records[i] = v;
      else
        gVehicleTable[i] = v;
    }
    gRace.networkGame = c.network;
    gNetParticipants.count = c.network ? n : 0;
    RaceRankVehicles();
    for (int i = 0; i < n; ++i) {
      const Vehicle* v = i == 0 ? &gPlayer1 : &gVehicleRecords[i];
      EXPECT_EQ(v->position, c.positions[i]) << c.name << " entry " << i;
    }
  }
}

TEST_F(Ranking, EmptyGridSlotsTakeNoPlace) {
  gVehicleTable[0] = &gPlayer1;
  gVehicleTable[3] = &gVehicleRecords[3];
  gPlayer1.progress = 1;
  gVehicleRecords[3].progress = 2;
  RaceRankVehicles();
  EXPECT_EQ(gVehicleRecords[3].position, 1);
  EXPECT_EQ(gPlayer1.position, 2);
}

}  // namespace
