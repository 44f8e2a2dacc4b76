// Knocks, the roof state, the slides and track 6's scripted jump, each run
// through the drive step's special-state entry on a flat plane.
#include "engine3d/angle.h"
#include "engine3d/random.h"
#include "engine3d/terrain.h"
#include "race/collide.h"
#include "race/tracks.h"
#include "vehicle_fixture.h"

namespace {

class Knocks : public VehicleTest {
 protected:
  void SetUp() override {
    VehicleTest::SetUp();
    BuildRacePlane(0);
    MakeCar(&car_, 800.0f, 400.0f, 0.0f);
  }
  // One special-state step of the car; `driver` null for a human.
  void Special(Vehicle* driver = nullptr, float y0 = 0.0f) {
    gRace.currentPose = &car_.pose;
    distance_ = 0.0f;
    event_ = 0;
    steerTarget_ = 0.0f;
    VehicleStepSpecialState(&car_, driver, y0, &distance_, &event_, &steerTarget_);
  }
  Vehicle car_;
  float distance_ = 0.0f;
  int32_t event_ = 0;
  float steerTarget_ = 0.0f;
};

TEST_F(Knocks, AHitCapsTheThrowAt250AndOnlyAHardOneLiftsFully) {
  struct Case {
    float velocity, impulse;
    uint8_t hard;
    float stored, lift;
  };
  const Case cases[] = {
      {100.0f, 300.0f, 1, 150.0f, 250.0f * 30.0f * 0.004f},
      {260.0f, 300.0f, 1, 0.0f, 260.0f * 30.0f * 0.004f},
      {50.0f, 30.0f, 1, 30.0f, 80.0f * 30.0f * 0.004f},
      {50.0f, 30.0f, 0, 30.0f, 80.0f * 30.0f * 0.004f * 0.333333f},
  };
  for (const Case& c : cases) {
    MakeCar(&car_, 800.0f, 400.0f, 0.0f);
    car_.velocity = c.velocity;
    car_.landingSide = 2;
    VehicleApplyHit(&car_, c.impulse, 1.0f, 0.0f, c.hard);
    EXPECT_EQ(+car_.state, VEHICLE_KNOCKED);
    EXPECT_FLOAT_EQ(car_.knockImpulse, c.stored) << c.velocity << " + " << c.impulse;
    EXPECT_FLOAT_EQ(car_.knockLift, c.lift) << c.velocity << " hard " << int(c.hard);
    EXPECT_EQ(+car_.landingSide, 0);
    EXPECT_GE(car_.bouncesLeft, 3);
    EXPECT_LE(car_.bouncesLeft, 6);
  }
  gVehicleCalls.clear();
  for (int32_t state : {VEHICLE_RESETTING, VEHICLE_ON_GROUND}) {
    MakeCar(&car_, 800.0f, 400.0f, 0.0f);
    car_.state = state;
    car_.hitProtect = state == VEHICLE_ON_GROUND ? 5.0f : 0.0f;
    VehicleApplyHit(&car_, 100.0f, 0.0f, 0.0f, 1);
    EXPECT_EQ(+car_.state, state);
    EXPECT_EQ(CountCalls("FxVehicleCrash"), 0);
  }
}

TEST_F(Knocks, ANetworkKnockTakesItsBouncesAndSpinFromTheHeading) {
  gRace.networkGame = 1;
  for (float heading : {0.0f, 5.0f, 258.7f, 1023.0f}) {
    int32_t bounces[2], spin[2];
    for (int machine = 0; machine < 2; ++machine) {
      RandSetIndex(machine * 37);  // each machine's random table stands elsewhere
      MakeCar(&car_, 800.0f, 400.0f, heading);
      VehicleApplyHit(&car_, 50.0f, 0.0f, 0.0f, 0);
      bounces[machine] = car_.bouncesLeft;
      spin[machine] = car_.spinSide;
    }
    const int32_t h = static_cast<int32_t>(heading);
    EXPECT_EQ(bounces[0], (h & 3) + 3) << heading;
    EXPECT_EQ(bounces[1], bounces[0]) << heading;
    EXPECT_EQ(spin[0], h & 1) << heading;
    EXPECT_EQ(spin[1], spin[0]) << heading;
  }
}

TEST_F(Knocks, AFastKnockTumblesThenTheLandingSideFollowsThePitch) {
  struct Case {
    const char* name;
    int32_t bounces;
    float impulse;
    float pitch;
    uint8_t side;
  };
  const Case cases[] = {
      {"three bounces at 100 tumble", 3, 100.0f, 0.0f, 0},
      {"three bounces at 79 do not", 3, 79.0f, 100.0f, 1},
      {"two bounces: nose up a little, wheels", 2, 100.0f, 100.0f, 1},
      {"two bounces: on its back, roof", 2, 100.0f, 300.0f, 2},
      {"two bounces: pitched down past a quarter, roof", 2, 100.0f, 700.0f, 2},
      {"two bounces: pitched down a little, wheels", 2, 100.0f, 900.0f, 1},
  };
  for (const Case& c : cases) {
    for (int32_t spin : {0, 1}) {
      MakeCar(&car_, 800.0f, 400.0f, 0.0f);
      car_.state = VEHICLE_KNOCKED;
      car_.pose.y = 500.0f;
      car_.pose.pitch = c.pitch;
      car_.knockImpulse = c.impulse;
      car_.bouncesLeft = c.bounces;
      car_.spinSide = spin;
      Special();
      EXPECT_EQ(+car_.landingSide, c.side) << c.name;
      if (c.side == 0) {
        EXPECT_LT(car_.pose.pitch, 0.0f) << c.name;
        EXPECT_EQ(car_.pose.roll > 0.0f, spin == 1) << c.name;
      }
    }
  }
}

TEST_F(Knocks, TheLastBounceEndsOnTheWheelsOrOnTheRoof) {
  struct Case {
    uint8_t side;
    int32_t bounces;
    float impulse;
    int32_t state;
  };
  const Case cases[] = {
      {1, 1, 30.0f, VEHICLE_ON_GROUND},
      {2, 1, 30.0f, VEHICLE_ROLLED_OVER},
      {1, 2, 100.0f, VEHICLE_KNOCKED},  // bounces on
      {1, 2, 60.0f, VEHICLE_ON_GROUND},  // too slow to bounce again
  };
  for (const Case& c : cases) {
    MakeCar(&car_, 800.0f, 400.0f, 0.0f);
    car_.state = VEHICLE_KNOCKED;
    car_.landingSide = c.side;
    car_.pose.y = -30.0f;  // below the ground: touching whichever side is down
    car_.bouncesLeft = c.bounces;
    car_.knockImpulse = c.impulse;
    Special();
    EXPECT_EQ(+car_.state, c.state) << int(c.side) << " " << c.impulse;
    EXPECT_EQ(car_.bouncesLeft, c.bounces - 1);
    EXPECT_EQ(event_, c.impulse > 40.0f ? 5 : 3);
  }
}

TEST_F(Knocks, TheRoofStateEndsBelowVelocity1) {
  struct Case {
    float velocity;
    int32_t state;
  };
  const Case cases[] = {{0.5f, VEHICLE_ON_GROUND}, {20.0f, VEHICLE_ROLLED_OVER}};
  for (const Case& c : cases) {
    MakeCar(&car_, 800.0f, 400.0f, 0.0f);
    car_.state = VEHICLE_ROLLED_OVER;
    car_.velocity = c.velocity;
    car_.spinSide = 1;
    Special();
    EXPECT_EQ(+car_.state, c.state) << c.velocity;
    if (c.state == VEHICLE_ROLLED_OVER) {
      EXPECT_GT(car_.rollOverAngle, 0.0f);
      EXPECT_GT(car_.pose.y, 0.0f);  // lifted onto the roof
    }
  }
}

TEST_F(Knocks, SlidesEndSlowInTheAirByReleaseOrCounterSteerButAComputerHandbrakeOnlySlowOrInTheAir) {
  struct Case {
    const char* name;
    bool computer;
    int32_t state;
    float velocity, slide, steer, y0;
    uint8_t handbrake;
    int32_t after;
  };
  const Case cases[] = {
      {"human handbrake released at a wide angle", false, 11, 30.0f, 300.0f, 0.0f, 0.0f, 0, VEHICLE_ON_GROUND},
      {"human handbrake held", false, 11, 30.0f, 300.0f, 0.0f, 0.0f, 1, VEHICLE_HANDBRAKE_SLIDE},
      {"human counter-steers", false, 11, 30.0f, 60.0f, -200.0f, 0.0f, 1, VEHICLE_ON_GROUND},
      {"computer handbrake: wide angle", true, 11, 30.0f, 300.0f, 0.0f, 0.0f, 0, VEHICLE_HANDBRAKE_SLIDE},
      {"computer handbrake: counter-steer", true, 11, 30.0f, 60.0f, -200.0f, 0.0f, 0, VEHICLE_HANDBRAKE_SLIDE},
      {"computer handbrake: slow", true, 11, 4.0f, 60.0f, 0.0f, 0.0f, 0, VEHICLE_ON_GROUND},
      {"computer handbrake: in the air", true, 11, 80.0f, 60.0f, 0.0f, 30.0f, 0, VEHICLE_IN_AIR},
      {"computer contact slide: counter-steer", true, 9, 30.0f, 60.0f, -200.0f, 0.0f, 0, VEHICLE_ON_GROUND},
  };
  for (const Case& c : cases) {
    MakeCar(&car_, 800.0f, 400.0f, 100.0f, c.computer ? 0 : 1);
    car_.aiHeading = 100;
    car_.state = c.state;
    car_.velocity = c.velocity;
    car_.slideAngle = c.slide;
    car_.steerInput = c.steer;
    car_.handbrakeButton = c.handbrake;
    Special(c.computer ? &car_ : nullptr, c.y0);
    EXPECT_EQ(+car_.state, c.after) << c.name;
    if (c.after == VEHICLE_ON_GROUND) {
      EXPECT_FLOAT_EQ(car_.slideAngle, 0.0f) << c.name;
      EXPECT_EQ(CountCalls("SfxStopVehicleLoops"), 1) << c.name;
    }
    gVehicleCalls.clear();
  }
}

TEST_F(Knocks, EndingASlideTurnsTheHeadingByTheSlide) {
  MakeCar(&car_, 800.0f, 400.0f, 1000.0f);
  car_.state = VEHICLE_CONTACT_SLIDE;
  car_.velocity = 3.0f;
  car_.slideAngle = 50.7f;
  Special();
  EXPECT_EQ(+car_.state, VEHICLE_ON_GROUND);
  EXPECT_FLOAT_EQ(car_.heading, 26.0f);  // (1000 + 50) wrapped
  EXPECT_FLOAT_EQ(car_.pose.heading, 26.0f);
}

TEST_F(Knocks, ABuildingDeflectsByAtLeast10) {
  struct Case {
    int32_t deflection;
    float turned;
  };
  // The heading turns a fifth of the way toward the deflection.
  const Case cases[] = {{3, 2.0f}, {-3, -2.0f}, {40, 8.0f}};
  for (const Case& c : cases) {
    MakeCar(&car_, 800.0f, 400.0f, 500.0f);
    VehicleBounceOffBuilding(&car_, nullptr, c.deflection, 0, 0);
    EXPECT_FLOAT_EQ(car_.pose.heading - 500.0f, c.turned) << c.deflection;
    EXPECT_FLOAT_EQ(car_.tractionOverride, 20.0f);
    MakeCar(&car_, 800.0f, 400.0f, 500.0f);
    VehicleBounceOffObject(&car_, nullptr, c.deflection, 0, 0);
    EXPECT_FLOAT_EQ(car_.tractionOverride, 8.0f);
    EXPECT_LT(std::abs(car_.pose.heading - 500.0f), std::abs(c.turned) + 0.5f) << c.deflection;
  }
}

class Jump : public Knocks {
 protected:
  void SetUp() override {
    Knocks::SetUp();
    gRace.trackIndex = TRACK_LOOPING;
  }
};

TEST_F(Jump, TheTargetDependsOnTheSideOfTheTrackAndTheRamp) {
  struct Case {
    float z;
    uint8_t ramp;
    float dx, dz;
  };
  const Case cases[] = {{5200.0f, 56, -350.0f, -420.0f},
                        {5200.0f, 57, -350.0f, -420.0f},
                        {3000.0f, 56, 350.0f, -420.0f},
                        {3000.0f, 57, 350.0f, 420.0f}};
  for (const Case& c : cases) {
    MakeCar(&car_, 800.0f, c.z, 0.0f);
    car_.rampCode = c.ramp;
    VehicleStartLoopJump(&car_);
    EXPECT_EQ(+car_.state, VEHICLE_JUMP_RUNUP);
    EXPECT_FLOAT_EQ(car_.jumpTarget[0], 800.0f + c.dx) << c.z << " " << int(c.ramp);
    EXPECT_FLOAT_EQ(car_.jumpTarget[2], c.z + c.dz) << c.z << " " << int(c.ramp);
    EXPECT_FLOAT_EQ(car_.jumpTarget[1], TerrainHeightAt(car_.jumpTarget[0], car_.jumpTarget[2]));
    EXPECT_FLOAT_EQ(car_.jumpStart[2], c.z);
  }
}

TEST_F(Jump, TheRunUpLasts375AndTheFlight1500) {
  MakeCar(&car_, 400.0f, 3000.0f, 0.0f);
  car_.rampCode = 57;
  car_.velocity = 150.0f;
  VehicleStartLoopJump(&car_);
  float travelled = 0.0f;
  int steps = 0;
  while (car_.state == VEHICLE_JUMP_RUNUP && steps++ < 1000) {
    Special(&car_);
    travelled += distance_;
    EXPECT_FLOAT_EQ(car_.pose.z, 3000.0f);  // the run-up keeps its line
  }
  ASSERT_EQ(+car_.state, VEHICLE_JUMP_FLIGHT);
  EXPECT_GT(travelled, 375.0f);
  EXPECT_LT(travelled - distance_, 375.0f);
  EXPECT_FLOAT_EQ(car_.jumpDist, 0.0f);
  EXPECT_FLOAT_EQ(car_.jumpStart[0], car_.pose.x);
  EXPECT_FLOAT_EQ(car_.jumpStart[2], 3000.0f);
  float highest = 0.0f;
  travelled = 0.0f;
  while (car_.state == VEHICLE_JUMP_FLIGHT && steps++ < 2000) {
    Special(&car_);
    travelled += distance_;
    if (car_.pose.y > highest) highest = car_.pose.y;
  }
  EXPECT_EQ(+car_.state, VEHICLE_IN_AIR);
  EXPECT_GT(travelled, 1500.0f);
  EXPECT_GT(highest, 250.0f);
  // z follows the target only for the first three quarters of the flight.
  EXPECT_LT(car_.pose.z, car_.jumpStart[2] + 420.0f * 0.75f);
  EXPECT_NEAR(car_.pose.z, car_.jumpStart[2] + 420.0f * 0.75f, 5.0f);
}

TEST_F(Jump, TheFlightLandsGoodOrBadByItsOwnLimits) {
  struct Case {
    const char* name;
    bool computer;
    float pitch, roll;
    int32_t state, event;
  };
  const Case cases[] = {
      {"level, computer", true, 0.0f, 0.0f, VEHICLE_ON_GROUND, 50},
      {"level, human", false, 0.0f, 0.0f, VEHICLE_ON_GROUND, 3},
      {"nose up 160: bad here, good off a bump", false, 160.0f, 0.0f, VEHICLE_KNOCKED, 5},
      // The flight's last step turns the roll a fifth of the way back first.
      {"rolled 180 at touch-down: good here, bad off a bump", false, 0.0f, 225.0f, VEHICLE_ON_GROUND, 3},
      {"rolled 240 at touch-down: bad here too", false, 0.0f, 300.0f, VEHICLE_KNOCKED, 5},
  };
  for (const Case& c : cases) {
    MakeCar(&car_, 400.0f, 3000.0f, 0.0f, c.computer ? 0 : 1);
    car_.state = VEHICLE_JUMP_FLIGHT;
    car_.pose.pitch = c.pitch;
    car_.pose.roll = c.roll;
    // A flight aimed under the ground: the step ends below it.
    const float aim[3] = {400.0f, -400.0f, 3000.0f};
    for (int k = 0; k < 3; ++k) car_.jumpStart[k] = car_.jumpTarget[k] = aim[k];
    car_.jumpDist = 1400.0f;
    Special(c.computer ? &car_ : nullptr);
    EXPECT_EQ(+car_.state, c.state) << c.name;
    EXPECT_EQ(event_, c.event) << c.name;
  }
}

}  // namespace
