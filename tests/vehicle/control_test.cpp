#include <cfenv>
#include <cmath>

#include "vehicle_fixture.h"

namespace {

class Control : public VehicleTest {
 protected:
  void SetUp() override {
    VehicleTest::SetUp();
    MakeCar(&car_, 100.0f, 100.0f, 0.0f);
    car_.engineOn = 1;
    car_.gear = 1;
  }
  Vehicle car_;
};

TEST_F(Control, ThrottleAcceleratesAndBoostIsEightTimesButNeverBelowTwo) {
  struct Case {
    float velocityShare;  // of the top velocity
    uint8_t boost;
    float accel;
  };
  const Case cases[] = {{0.0f, 0, 2.0f}, {0.5f, 0, 1.0f}, {0.5f, 1, 8.0f}, {0.99f, 1, 2.0f}, {0.99f, 0, 0.02f}};
  for (const Case& c : cases) {
    Restart();
    car_.velocity = car_.topVelocity * c.velocityShare;
    car_.throttleCmd = 1;
    car_.boostButton = c.boost;
    VehicleControlUpdate(&car_);
    EXPECT_NEAR(+car_.accel, +c.accel, 1e-4f) << c.velocityShare << " " << int(c.boost);
  }
  // Above the top velocity + 70 the throttle gives nothing.
  Restart();
  car_.velocity = car_.topVelocity + 71.0f;
  car_.throttleCmd = 1;
  VehicleControlUpdate(&car_);
  EXPECT_EQ(+car_.accel, 0.0f);
}

TEST_F(Control, TheBrakeAtRestEntersReverseAndTheThrottleThenGainsTwoAnUpdateAtAnyFrameRate) {
  car_.brakeCmd = 1;
  VehicleControlUpdate(&car_);
  EXPECT_EQ(+car_.reverse, 1);
  for (float fps : {25.0f, 10.0f}) {
    SetFrameRate(fps);
    car_.brakeCmd = 0;
    car_.throttleCmd = 1;
    car_.gear = 1;  // standing still took it out of gear
    car_.velocity = -10.0f;
    VehicleControlUpdate(&car_);
    EXPECT_EQ(+car_.velocity, -8.0f) << fps;
    VehicleControlUpdate(&car_);
    EXPECT_EQ(+car_.velocity, -6.0f) << fps;
  }
  // Moving forward again, the throttle leaves reverse.
  car_.velocity = 3.0f;
  VehicleControlUpdate(&car_);
  EXPECT_EQ(+car_.reverse, 0);
  // The brake in reverse slows by 1.0 down to -30.
  SetFrameRate(25.0f);
  car_.reverse = 1;
  car_.throttleCmd = 0;
  car_.brakeCmd = 1;
  car_.velocity = -20.0f;
  VehicleControlUpdate(&car_);
  EXPECT_EQ(+car_.velocity, -21.0f);
}

TEST_F(Control, EngineBrakingAndTheBrakeFollowTheRevolutionsAndTheVelocity) {
  car_.velocity = 100.0f;
  car_.engineRevs = 3250.0f;
  VehicleControlUpdate(&car_);
  EXPECT_NEAR(+car_.accel, -(3.0f * 0.25f * 0.5f), 1e-6f);
  car_.brakeCmd = 1;
  car_.velocity = car_.topVelocity * 0.5f;
  VehicleControlUpdate(&car_);
  EXPECT_NEAR(+car_.accel, -(3.0f - 0.5f * 0.5f * 3.0f), 1e-5f);
}

TEST_F(Control, SteeringBelowOneStepTurnsNothingAndAStraightWheelOnlyDriftsByTheGuard) {
  car_.velocity = 50.0f;
  car_.lateralForce = 123.0f;
  car_.wheelSteer = 31;  // below 32: no steering angle
  VehicleControlUpdate(&car_);
  EXPECT_EQ(+car_.steerAngle, 0.0f);
  EXPECT_EQ(+car_.lateralForce, 123.0f);
  // tan(0) is replaced by the guard: a huge radius and a tiny turn, never 0.
  EXPECT_FLOAT_EQ(+car_.turnRadius, 3.5f / 1.498e-06f);
  EXPECT_GT(+car_.heading, 0.0f);
  EXPECT_LT(+car_.heading, 0.001f);
}

TEST_F(Control, TheTurnIsAmplifiedBelowVelocity100) {
  struct Case {
    float velocity, factor;
  };
  const Case cases[] = {{40.0f, 3.0f}, {70.0f, 3.0f}, {80.0f, 2.0f}, {90.0f, 1.0f}, {95.0f, 1.0f}, {150.0f, 1.0f}};
  for (const Case& c : cases) {
    Restart();
    car_.velocity = c.velocity;
    car_.engineRevs = 0.0f;  // no engine braking
    car_.heading = 100.0f;
    car_.wheelSteer = 320;
    VehicleControlUpdate(&car_);
    ASSERT_EQ(+car_.velocity, +c.velocity);
    const double radius = 3.5 / std::tan(10.0 / 512.0 * 6.28319);
    const double plain = c.velocity * gRace.frameHours * 1000.0 / radius * 0.159155 * 1024.0;
    EXPECT_NEAR((car_.heading - 100.0) / plain, +c.factor, 1e-3) << c.velocity;
  }
}

TEST_F(Control, TheGearboxStartsShiftsAndRevs) {
  struct Case {
    const char* name;
    int8_t engineOn;
    int16_t gear;
    uint8_t throttle, wheelSpin, reverse, human;
    float velocity, revs;
    int32_t cameraDistance;
    float water;
    float timeStep;
    int16_t gearAfter;
    float revsAfter;
    const char* effect;
  };
  const float top = car_.topVelocity, limit = 6500.0f;
  auto revsAt = [&](float v, float gear) { return v / ((gear / 5.0f) * top / limit); };
  const Case cases[] = {
      {"engine start", 0, 0, 1, 0, 0, 1, 0.0f, 0.0f, 0, 0.0f, 1.0f, 0, 1000.0f, nullptr},
      {"start burst and gear 1", 1, 0, 1, 0, 0, 1, 0.0f, 1000.0f, 0, 0.0f, 1.0f, 1, 1000.0f, "FxAttachVehicleBurst"},
      {"no burst for a track object", 1, 0, 1, 0, 0, 2, 0.0f, 1000.0f, 0, 0.0f, 1.0f, 1, 1000.0f, nullptr},
      // Only the second term is scaled by the time step.
      {"wheel spin", 1, 2, 1, 1, 0, 1, 100.0f, 3000.0f, 0, 0.0f, 2.5f, 2,
       3000.0f + 350.0f - (100.0f / top) * 350.0f * 2.5f, nullptr},
      {"wheel spin at the limit", 1, 2, 1, 1, 0, 1, 100.0f, 9000.0f, 0, 0.0f, 1.0f, 2, 8000.0f, nullptr},
      {"reverse", 1, 1, 0, 0, 1, 1, -20.0f, 0.0f, 0, 0.0f, 1.0f, 1, 20.0f / ((1.5f / 5.0f) * top / limit), nullptr},
      {"standing, high revs", 1, 2, 0, 0, 0, 1, 0.5f, 2000.0f, 0, 0.0f, 1.0f, 0, 1000.0f, nullptr},
      {"standing, low revs", 1, 2, 0, 0, 0, 1, 0.5f, 1000.0f, 0, 0.0f, 2.0f, 0, 1500.0f, nullptr},
      {"up-shift near the camera", 1, 1, 0, 0, 0, 1, 100.0f, 0.0f, 399, 9.0f, 1.0f, 2, revsAt(100.0f, 2.0f),
       "FxAttachVehicleEmitter(10)"},
      {"up-shift far away", 1, 1, 0, 0, 0, 1, 100.0f, 0.0f, 400, 0.0f, 1.0f, 2, revsAt(100.0f, 2.0f), nullptr},
      {"up-shift in water", 1, 1, 0, 0, 0, 1, 100.0f, 0.0f, 0, 10.0f, 1.0f, 2, revsAt(100.0f, 2.0f), nullptr},
      {"down-shift", 1, 3, 0, 0, 0, 1, 50.0f, 0.0f, 0, 0.0f, 1.0f, 2, revsAt(50.0f, 2.0f), "FxAttachVehicleEmitter(20)"},
      {"top gear stays", 1, 5, 0, 0, 0, 1, 400.0f, 0.0f, 0, 0.0f, 1.0f, 5, revsAt(400.0f, 5.0f), nullptr},
      {"rolling in neutral takes first", 1, 0, 0, 0, 0, 1, 30.0f, 1000.0f, 0, 0.0f, 1.0f, 1, revsAt(30.0f, 1.0f),
       "FxAttachVehicleEmitter(10)"},
  };
  for (const Case& c : cases) {
    Restart();
    SetFrameRate(25.0f / c.timeStep);
    car_.engineOn = c.engineOn;
    car_.gear = c.gear;
    car_.throttleCmd = c.throttle;
    car_.wheelSpin = c.wheelSpin;
    car_.reverse = c.reverse;
    car_.human = c.human;
    car_.velocity = c.velocity;
    car_.engineRevs = c.revs;
    car_.cameraDistance = c.cameraDistance;
    car_.waterDepthSum = c.water;
    car_.steerAngle = 0.0f;
    std::feclearexcept(FE_ALL_EXCEPT);
    VehicleControlUpdate(&car_);
    EXPECT_FALSE(std::fetestexcept(FE_DIVBYZERO | FE_INVALID)) << c.name;  // no revolutions from 0 / 0 or x / 0
    EXPECT_EQ(+car_.gear, +c.gearAfter) << c.name;
    EXPECT_NEAR(+car_.engineRevs, +c.revsAfter, 0.01f) << c.name;
    const std::vector<std::string> want = c.effect ? std::vector<std::string>{c.effect} : std::vector<std::string>{};
    EXPECT_EQ(gVehicleCalls, want) << c.name;
  }
}

TEST_F(Control, TheLoadFollowsTheBodyPitchAndALostRearWheelLeavesAThirdOfTheGrip) {
  struct Case {
    float pitch, front, rear;
  };
  // Type 0: 750 units of mass, half on each axle.
  const Case cases[] = {{0.0f, 375.0f, 375.0f}, {10.0f, 375.0f, 1500.0f}, {-10.0f, 1500.0f, 375.0f},
                        {1.0f, 375.0f, 375.0f}};
  for (const Case& c : cases) {
    car_.bodyPitch = c.pitch;
    VehicleLoadSplit(&car_);
    EXPECT_FLOAT_EQ(+car_.frontLoad, +c.front) << c.pitch;
    EXPECT_FLOAT_EQ(+car_.rearLoad, +c.rear) << c.pitch;
  }
  const float whole = car_.grip * car_.physParams[PHYS_SURFACE_GRIP];
  EXPECT_FLOAT_EQ(VehicleGripCapacity(&car_), whole);
  car_.wheels[WHEEL_FRONT_LEFT].attached = 0;
  EXPECT_FLOAT_EQ(VehicleGripCapacity(&car_), whole);
  car_.wheels[WHEEL_REAR_RIGHT].attached = 0;
  EXPECT_FLOAT_EQ(VehicleGripCapacity(&car_), whole / 3.0f);
}

TEST_F(Control, SlidesDecayWithoutCrossingZeroAndTheBodyRelaxes) {
  struct Case {
    float velocity, slide, understeer, timeStep;
    float slideAfter, understeerAfter;
  };
  const Case cases[] = {
      {10.0f, 100.0f, 100.0f, 1.0f, 94.0f, 94.0f},  // k at its top, 0.06
      {10.0f, 10.0f, 10.0f, 1.0f, 9.8f, 9.8f},      // k at its floor, 0.02
      {5.0f, 10.0f, -10.0f, 1.0f, 10.0f, -9.8f},    // slow: the slide angle stays
      {10.0f, 1.0f, -1.0f, 60.0f, 0.0f, 0.0f},      // a huge step stops at 0
  };
  for (const Case& c : cases) {
    Restart();
    gRace.timeStep = c.timeStep;
    car_.gear = 0;
    car_.velocity = c.velocity;
    car_.engineRevs = 0.0f;
    car_.slideAngle = c.slide;
    car_.slideUndersteer = c.understeer;
    VehicleControlUpdate(&car_);
    EXPECT_NEAR(+car_.slideAngle, +c.slideAfter, 1e-4f) << c.slide;
    EXPECT_NEAR(+car_.slideUndersteer, +c.understeerAfter, 1e-4f) << c.understeer;
  }
  struct Relax {
    int32_t state;
    uint8_t started;
    float pitchAfter;
  };
  for (const Relax& r : {Relax{VEHICLE_ON_GROUND, 1, 8.0f}, Relax{VEHICLE_IN_AIR, 1, 10.0f - 26.0f * 0.08f},
                         Relax{VEHICLE_ON_GROUND, 0, 10.0f}}) {
    Restart();
    car_.velocity = 0.0f;
    car_.state = r.state;
    gRace.raceStarted = r.started;
    car_.bodyRoll = 10.0f;
    car_.bodyPitch = 10.0f;
    VehicleControlUpdate(&car_);
    EXPECT_FLOAT_EQ(+car_.bodyRoll, 7.0f);
    EXPECT_FLOAT_EQ(+car_.bodyPitch, +r.pitchAfter) << r.state << " " << int(r.started);
  }
}

}  // namespace
