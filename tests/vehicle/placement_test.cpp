#include "engine3d/angle.h"
#include "engine3d/random.h"
#include "hal/clock.h"
#include "platform/app.h"
#include "race/tracks.h"
#include "vehicle_fixture.h"

namespace {

class Placement : public VehicleTest {
 protected:
  void SetUp() override {
    VehicleTest::SetUp();
    BuildRacePlane(50);
  }
};

TEST_F(Placement, TheGridOfEachLayoutStandsTwoAbreast) {
  struct Case {
    int32_t track, slot;
    float x, z;
  };
  const Case cases[] = {{TRACK_DESERT, 0, 780.0f, 6620.0f}, {TRACK_DESERT, 3, 833.0f, 6660.0f},
                        {TRACK_DESERT, 5, 886.0f, 6660.0f}, {TRACK_NEIGE, 0, 1876.0f, 2180.0f},
                        {TRACK_NEIGE, 3, 1836.0f, 2233.0f}, {TRACK_NEIGE, 4, 1876.0f, 2286.0f}};
  for (const Case& c : cases) {
    gRace.trackIndex = c.track;
    Vehicle& v = gVehicleRecords[c.slot];
    VehiclePlaceOnGrid(&v, c.slot, 2);
    EXPECT_FLOAT_EQ(+v.pose.x, +c.x) << c.track << " " << c.slot;
    EXPECT_FLOAT_EQ(+v.pose.z, +c.z) << c.track << " " << c.slot;
    EXPECT_FLOAT_EQ(+v.pose.y, 50.0f);
    EXPECT_EQ(+v.pose.heading, static_cast<float>(gTrackInfo[c.track].startHeading));
    EXPECT_EQ(+v.heading, +v.pose.heading);
    EXPECT_EQ(+v.lastGoodX, +c.x);
    EXPECT_EQ(+gVehicleTable[c.slot], &v);
    EXPECT_EQ(+gRace.currentPose, &v.pose);
  }
}

TEST_F(Placement, ChampionshipRanksChooseTheGridAndPositionsOtherwiseFollowTheSlot) {
  struct Case {
    int32_t gameMode, slot, rank;
    float x;
    int32_t position;
  };
  // Desert: grid index g stands at x = 780 + (g / 2) x 53.
  // A rank of no grid place counts as none: 0 is what a record holds before its first championship.
  const Case cases[] = {{3, 0, 1, 886.0f, 1}, {3, 4, 6, 780.0f, 6}, {3, 2, -1, 833.0f, 4}, {3, 2, 0, 833.0f, 4},
                        {3, 1, 7, 780.0f, 5}, {1, 0, 1, 780.0f, 6},  {1, 5, -1, 886.0f, 1}};
  for (const Case& c : cases) {
    gRace.gameMode = c.gameMode;
    Vehicle v{};
    v.championRank = c.rank;
    VehiclePlaceOnGrid(&v, c.slot, 0);
    EXPECT_FLOAT_EQ(+v.pose.x, +c.x) << c.gameMode << " " << c.slot << " " << c.rank;
    EXPECT_EQ(+v.position, +c.position);
    EXPECT_EQ(+v.championRank, +c.position);
  }
}

TEST_F(Placement, TheRecordStartsAfreshWithItsTimersGripAndPaint) {
  struct Case {
    int32_t track, slot;
    int32_t paintMin;
    float grip;
  };
  const Case cases[] = {{TRACK_NEIGE, 1, 2, 0.4f}, {TRACK_BOUE, 2, 4, 0.5f}, {TRACK_ICE, 4, 0, 0.2f}};
  for (const Case& c : cases) {
    gRace.trackIndex = c.track;
    Vehicle v{};
    VehicleCopyDefaults(&v);
    v.human = 1;
    v.state = VEHICLE_SINKING;
    v.velocity = 80.0f;
    v.wheelsLost = 2;
    v.finished = 1;
    v.lapsDone = 3;
    v.wheels[2].attached = 0;
    v.wheels[2].waterDepth = 9.0f;
    v.boostLeft = 4.0f;
    HalClockAdvance(700);
    AppTimerStart(c.slot + 3);
    HalClockAdvance(300);
    VehiclePlaceOnGrid(&v, c.slot, 5);
    EXPECT_EQ(+v.human, 0);
    EXPECT_EQ(+v.type, 5);
    EXPECT_EQ(+v.timerSlot, c.slot + 3);
    EXPECT_EQ(+v.lapTimerSlot, c.slot + 12);
    EXPECT_EQ(AppTimerElapsed(c.slot + 3), 0u);
    EXPECT_EQ(+v.paintIndexMin, +c.paintMin);
    EXPECT_FLOAT_EQ(+v.baseSurfaceGrip, +c.grip);
    EXPECT_FLOAT_EQ(+v.physParams[PHYS_SURFACE_GRIP], c.grip + 0.8f);
    EXPECT_EQ(+v.state, VEHICLE_ON_GROUND);
    EXPECT_EQ(+v.velocity, 0.0f);
    EXPECT_EQ(+v.wheelsLost, 0);
    EXPECT_EQ(+v.finished, 0);
    EXPECT_EQ(+v.lapsDone, 0);
    EXPECT_EQ(+v.bestLapMs, 600000);
    EXPECT_EQ(+v.boostLeft, 0.0f);
    EXPECT_EQ(+v.cellLevel, 8.0f);
    EXPECT_EQ(+v.lineCrossed, 1);
    EXPECT_EQ(+v.guidePoint, -1);
    EXPECT_NEAR(+v.topVelocity, 370.94f, 0.01f);  // type 5
    for (int i = 0; i < VEHICLE_WHEELS; ++i) {
      EXPECT_EQ(+v.wheels[i].attached, 1);
      EXPECT_EQ(+v.wheels[i].waterDepth, 0.0f);
      EXPECT_EQ(+v.wheels[i].lastMarkX, -1.0f);
      EXPECT_EQ(+v.wheels[i].trailHalfWidth, i < 2 ? 1.0f : 2.0f);
    }
  }
  EXPECT_EQ(CountCalls("FfbUpdateWheelContact"), 3);
}

TEST_F(Placement, ThePoseTakesTheGroundAnglesOfTheStart) {
  // A slope rising along x under the desert grid, which faces +x.
  BuildTerrain(17, 9, 1000.0f, [](uint32_t col, uint32_t) { return static_cast<int>(col) * 100; });
  Vehicle v{};
  VehiclePlaceOnGrid(&v, 0, 0);
  EXPECT_EQ(+v.pose.pitch, MathAngleTo(0.0f, 0.0f, 40.0f, 4.0f));
  EXPECT_EQ(+v.pose.roll, 0.0f);
}

TEST_F(Placement, TrafficObjectsTakeARandomOrForcedTypeAndThePathHeading) {
  Vehicle path{};
  path.aiHeading = 300;
  for (uint8_t forced : {0, 1}) {
    gTrafficForcedType = forced;
    RandSetIndex(40);
    const int32_t drawnType = RandAt(41) & 7;
    Vehicle r{};
    r.pose.x = 1000.0f;
    r.pose.z = 2000.0f;
    VehiclePlaceTrafficObject(&r, &path);
    EXPECT_EQ(+r.human, 2);
    EXPECT_EQ(+r.type, forced ? 3 : drawnType);
    EXPECT_EQ(+gRandom.index, forced ? 41u : 42u);  // the type, then the power
    EXPECT_EQ(+r.heading, 300.0f);
    EXPECT_EQ(+r.pose.heading, 256.0f);
    EXPECT_FLOAT_EQ(+r.pose.y, 50.0f);
    EXPECT_EQ(+r.lastGoodZ, 2000.0f);
    EXPECT_EQ(+r.paintIndexMin, 0);
    EXPECT_EQ(+r.physParams[PHYS_MASS], +VehicleTypeParams[r.type + 12].mass);
  }
  gTrafficForcedType = 0;
}

TEST_F(Placement, CopyDefaultsTakesPlayerOnesCurrentWords) {
  gPlayer1.physParams[PHYS_REV_LIMIT] = 7000.0f;
  Vehicle v{};
  VehicleCopyDefaults(&v);
  for (int i = 0; i < VEHICLE_PHYS_PARAMS; ++i) EXPECT_EQ(+v.physParams[i], +gPlayer1.physParams[i]) << i;
  const Vehicle initial = VehiclePlayer1Initial();
  const float defaults[VEHICLE_PHYS_PARAMS] = {3.5f, 810.0f, 294400.0f, 0.2f, 0.5f, 2.0f, 3.0f, 5.4f, 1.0f, 8000.0f, 5.0f};
  for (int i = 0; i < VEHICLE_PHYS_PARAMS; ++i) EXPECT_EQ(+initial.physParams[i], +defaults[i]) << i;
}

}  // namespace
