// Recovery: the world's edge, the upside-down and far-from-the-course tests,
// and the respawn on the nearest trajectory point.
#include <cmath>
#include <set>

#include "ai_fixture.h"
#include "engine3d/angle.h"
#include "net/net.h"
#include "presentation/messages.h"

// Respawn points whose x is listed here are taken by another vehicle.
std::set<float> gBlockedX;
extern "C" bool __real__Z17CollideAnyVehicleP7Vehicle(Vehicle* v);
extern "C" bool __wrap__Z17CollideAnyVehicleP7Vehicle(Vehicle* v) {
  return gBlockedX.count(gRace.currentPose->x) > 0 || __real__Z17CollideAnyVehicleP7Vehicle(v);
}

namespace {

class Recovery : public AiTest {
 protected:
  void SetUp() override {
    AiTest::SetUp();
    BuildRacePlane(0);
    HudResetMessages();
    gBlockedX.clear();
    // Ten points along +x at z 4000, from x 14000 to 15800: heading 256.
    SetLine(0, 10, 14000.0f, 4000.0f, 200.0f, 0.0f);
  }
  void TearDown() override {
    gBlockedX.clear();
    AiTest::TearDown();
  }
  // A car at (x, z) that last stood well at point 7 (x 15400).
  Vehicle* Car(float x, float z, uint8_t human) {
    Vehicle* v = human ? &gPlayer1 : &gVehicleRecords[1];
    MakeCar(v, x, z, 0.0f, human);
    v->lastGoodX = 15390.0f;
    v->lastGoodZ = 4010.0f;
    return v;
  }
};

TEST_F(Recovery, OutsideTheWorldAHumanIsToldAndPutBackOnePointNearerThanAComputerCar) {
  struct Case {
    float x, z;
    uint8_t human;
    bool respawned;
    float placedX;
  };
  const Case cases[] = {{15500.5f, 4000.0f, 1, true, 15400.0f}, {15500.5f, 4000.0f, 0, true, 15200.0f},
                        {15500.0f, 4000.0f, 1, false, 0.0f},    {99.0f, 4000.0f, 1, true, 15400.0f},
                        {100.0f, 100.0f, 1, false, 0.0f},       {5000.0f, 99.5f, 0, true, 15200.0f},
                        {5000.0f, 7500.5f, 1, true, 15400.0f},  {5000.0f, 7500.0f, 0, false, 0.0f}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << ", " << c.z << " human " << +c.human);
    HudResetMessages();
    Vehicle* v = Car(c.x, c.z, c.human);
    v->aiSlot = 3;
    v->aiPoint = 9;
    VehicleCheckWorldBounds(c.human ? nullptr : v, v);
    EXPECT_EQ(v->state == VEHICLE_RESETTING, c.respawned);
    EXPECT_EQ(+gHudMessages.global.number, c.respawned && c.human ? HUD_MSG_OFF_TRACK : HUD_MSG_NONE);
    if (!c.respawned) continue;
    EXPECT_EQ(+gHudMessages.global.duration, 3000);
    EXPECT_EQ(+v->pose.x, c.placedX);
    EXPECT_EQ(+v->pose.z, 4000.0f);
    EXPECT_EQ(+v->pose.heading, 256.0f);
    EXPECT_EQ(+v->heading, 256.0f);
    EXPECT_EQ(+v->lastGoodX, c.placedX);
    EXPECT_EQ(+v->hitProtect, 150.0f);
    EXPECT_EQ(+v->guidePoint, -1);
    EXPECT_EQ(v->nearestTrajectory, &gTrajectories[0]);
    if (!c.human) {
      EXPECT_EQ(+v->aiSlot, 0);
      EXPECT_EQ(+v->aiPoint, 6);
      EXPECT_EQ(+v->aiHeading, 256);
    }
  }
}

TEST_F(Recovery, TheFinishLineIsReArmedPastX9000) {
  struct Case {
    float x;
    uint8_t crossed;
  };
  const Case cases[] = {{9000.0f, 1}, {9000.5f, 0}, {500.0f, 1}};
  for (const Case& c : cases) {
    Vehicle* v = Car(c.x, 4000.0f, 1);
    v->lineCrossed = 1;
    VehicleCheckWorldBounds(nullptr, v);
    EXPECT_EQ(+v->lineCrossed, c.crossed) << c.x;
    EXPECT_EQ(+v->state, VEHICLE_ON_GROUND);
  }
}

TEST_F(Recovery, TheRespawnStepsBackPastTakenPointsAndKeepsItsStartWhenAllAreTaken) {
  Vehicle* v = Car(5000.0f, 4000.0f, 1);
  int32_t slot = -1;
  gBlockedX = {15400.0f, 15200.0f};
  EXPECT_EQ(AiFindRespawnPoint(v, &slot), 5);
  EXPECT_EQ(+v->pose.x, 15000.0f);
  EXPECT_EQ(slot, 0);
  // The search wraps from the first point to the last.
  v->lastGoodX = 14000.0f;
  gBlockedX = {14000.0f};
  EXPECT_EQ(AiFindRespawnPoint(v, &slot), 9);
  EXPECT_EQ(+v->pose.heading, 768.0f);  // the last point faces the first
  // Every point taken: one round, then back to where the search began.
  v->lastGoodX = 15390.0f;
  for (int i = 0; i < 10; ++i) gBlockedX.insert(14000.0f + 200.0f * static_cast<float>(i));
  EXPECT_EQ(AiFindRespawnPoint(v, &slot), 7);
  EXPECT_EQ(+v->pose.x, 15400.0f);
  EXPECT_EQ(+v->lastGoodX, 15400.0f);
}

TEST_F(Recovery, RespawnedNetworkParticipantsStand50UnitsApartPerIndex) {
  gRace.networkGame = 1;
  gNetParticipants.count = 3;
  for (int i = 0; i < 3; ++i) gNetParticipants.records[i] = &gVehicleRecords[i];
  gBlockedX = {15400.0f};  // no contact test in a network race
  for (int i = 0; i < 3; ++i) {
    Vehicle* v = &gVehicleRecords[i];
    MakeCar(v, 5000.0f, 4000.0f, 0.0f, 0);
    v->lastGoodX = 15390.0f;
    v->lastGoodZ = 4010.0f;
    int32_t slot = -1;
    EXPECT_EQ(AiFindRespawnPoint(v, &slot), 6);
    // Heading 256: cos 0, sin 1.
    EXPECT_NEAR(v->pose.x, 15200.0f, 0.01f) << i;
    EXPECT_NEAR(v->pose.z, 4000.0f + 50.0f * static_cast<float>(i), 0.01f) << i;
  }
}

TEST_F(Recovery, TheRespawnHealsThreeDamageStagesUnlessTheDamageIsKept) {
  struct Case {
    uint8_t keep;
    uint8_t stage, stageAfter;
  };
  const Case cases[] = {{0, 4, 1}, {0, 3, 0}, {0, 2, 2}, {1, 4, 4}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "keep " << +c.keep << " stage " << +c.stage);
    Vehicle* v = Car(5000.0f, 4000.0f, 1);
    v->damageStage = c.stage;
    v->damageA = v->damageB = 9;
    v->steerInput = 100.0f;
    v->velocity = 80.0f;
    gVehicleCalls.clear();
    AiRespawnVehicle(nullptr, v, c.keep);
    EXPECT_EQ(+v->damageStage, c.stageAfter);
    EXPECT_EQ(+v->damageA, c.keep ? 9 : 0);
    EXPECT_EQ(+v->steerInput, 0.0f);
    EXPECT_EQ(+v->velocity, 0.0f);
    EXPECT_EQ(+v->zoneCode, 0);
    EXPECT_EQ(CountCalls("SfxStopVehicleLoops"), 1);
  }
  // A human's reset camera is the chase camera at the moment of the respawn.
  Camera chase{1.0f, 2.0f, 3.0f, 4.0f, 5.0f, 6.0f}, reset{};
  Vehicle* v = Car(5000.0f, 4000.0f, 1);
  v->chaseCamera = &chase;
  v->resetCamera = &reset;
  AiRespawnVehicle(nullptr, v, 1);
  EXPECT_EQ(+reset.heading, 5.0f);
  // Without trajectories the vehicle stays where it is; a finished one gets no protection.
  gRace.trajectoriesLoaded = 0;
  v = Car(5000.0f, 4000.0f, 1);
  v->pose.heading = v->heading = 300.0f;
  v->finished = 1;
  AiRespawnVehicle(nullptr, v, 1);
  EXPECT_EQ(+v->pose.x, 5000.0f);
  EXPECT_EQ(+v->heading, 300.0f);
  EXPECT_EQ(+v->hitProtect, 0.0f);
  EXPECT_EQ(+v->state, VEHICLE_RESETTING);
}

TEST_F(Recovery, AHumanTiltedMoreThan150OrFarFromEveryLineIsPutBack) {
  // The body's pitch comes from the ground 40 units ahead against the car's height.
  float steep = 0.0f;
  while (MathAngleTo(0.0f, 0.0f, 40.0f, steep) <= 150) steep += 0.25f;
  struct Case {
    float y;          // the car's height over the flat ground
    float distance;   // from the nearest trajectory point
    uint8_t human, finished, wheelsLost;
    int32_t result;
  };
  const Case cases[] = {
      {-(steep - 0.25f), 0.0f, 1, 0, 0, 0}, {-steep, 0.0f, 1, 0, 0, 1},  {steep, 0.0f, 1, 0, 1, 1},
      {-steep, 0.0f, 0, 0, 0, 0},           {-steep, 0.0f, 1, 1, 0, 0},  {-steep, 0.0f, 1, 0, 2, 0},
      {0.0f, 1999.0f, 1, 0, 0, 0},          {0.0f, 2000.0f, 1, 0, 0, 1}, {0.0f, 3500.0f, 1, 0, 0, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "y " << c.y << " distance " << c.distance << " human " << +c.human);
    Vehicle* v = Car(14000.0f, 4000.0f - c.distance, c.human);
    v->pose.y = c.y;
    v->finished = c.finished;
    v->wheelsLost = c.wheelsLost;
    v->state = VEHICLE_KNOCKED;
    EXPECT_EQ(VehicleCheckUpsideDown(v), c.result);
    EXPECT_EQ(+v->state, c.result ? VEHICLE_RESETTING : VEHICLE_ON_GROUND);
  }
}

TEST_F(Recovery, FarFromTrajectoriesMeans2000OrMoreOrNoLineAtAll) {
  struct Case {
    float dx, dz;
    uint8_t loaded;
    int32_t far;
  };
  const Case cases[] = {{1999.0f, 0.0f, 1, 0}, {0.0f, 2000.0f, 1, 1}, {1200.0f, 1600.0f, 1, 1},
                        {1200.0f, 1599.0f, 1, 0}, {5000.0f, 0.0f, 1, 1}, {5000.0f, 0.0f, 0, 0}};
  for (const Case& c : cases) {
    gRace.trajectoriesLoaded = c.loaded;
    Camera pose{14000.0f - c.dx, 0.0f, 4000.0f - c.dz, 0.0f, 0.0f, 0.0f};
    gRace.currentPose = &pose;
    EXPECT_EQ(AiIsFarFromTrajectories(), c.far) << c.dx << ", " << c.dz;
  }
}

TEST_F(Recovery, SinkingHumansKeepWhereTheyWent) {
  Vehicle* v = Car(3000.0f, 2000.0f, 1);
  VehicleSink(v);
  EXPECT_EQ(+v->state, VEHICLE_SINKING);
  EXPECT_EQ(+v->endViewX, 3000.0f);
  EXPECT_EQ(+v->endViewZ, 2000.0f);
  v = Car(3000.0f, 2000.0f, 0);
  VehicleSink(v);
  EXPECT_EQ(+v->endViewX, 0.0f);
}

}  // namespace
