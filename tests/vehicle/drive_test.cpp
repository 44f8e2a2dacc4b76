#include "engine3d/random.h"
#include "hal/clock.h"
#include "net/net.h"
#include "platform/app.h"
#include "vehicle_fixture.h"

namespace {

constexpr float GROUND = 100.0f;

class Drive : public VehicleTest {
 protected:
  void SetUp() override {
    VehicleTest::SetUp();
    BuildTerrain(81, 41, 10.0f, [](uint32_t, uint32_t) { return static_cast<int>(GROUND); });
    MakeCar(&car_, 100.0f, 200.0f, 256.0f);
    AppTimerStart(car_.timerSlot);
  }
  // A computer car that drives itself.
  void MakeComputer() {
    MakeCar(&car_, 100.0f, 200.0f, 256.0f, 0);
    car_.aiHeading = 256;
  }
  Vehicle* Driver() { return car_.human ? nullptr : &car_; }
  void StepCar() { Step(&car_, Driver()); }
  Vehicle car_;
};

TEST_F(Drive, TheStepDistanceScalesWithTheFrameRate) {
  EXPECT_FLOAT_EQ(VehicleStepDistance(90.0f), 10.0f);
  SetFrameRate(10.0f);
  EXPECT_FLOAT_EQ(VehicleStepDistance(90.0f), 25.0f);
  // The step moves the car by the distance of its velocity after the update.
  SetFrameRate(25.0f);
  car_.velocity = 90.0f;
  StepCar();
  EXPECT_NEAR(car_.pose.x - 100.0f, VehicleStepDistance(car_.velocity), 1e-3f);
  EXPECT_EQ(+car_.state, VEHICLE_ON_GROUND);
}

TEST_F(Drive, TakeOffNeedsSpeedAndARiseOfFiveStepsOrFortyAfterARecentFlight) {
  struct Case {
    int32_t state;
    float velocity, airTimer, fps, h;
    int32_t result;
  };
  const Case cases[] = {{0, 60.0f, 0.0f, 25.0f, 5.1f, 1},  {0, 60.0f, 0.0f, 25.0f, 5.0f, 0},
                        {0, 50.0f, 0.0f, 25.0f, 30.0f, 0}, {0, 60.0f, 0.0f, 10.0f, 12.0f, 0},
                        {0, 60.0f, 0.0f, 10.0f, 12.6f, 1}, {0, 60.0f, 3.0f, 25.0f, 39.0f, 0},
                        {0, 60.0f, 3.0f, 25.0f, 41.0f, 1}, {4, 60.0f, 0.0f, 25.0f, 30.0f, 0}};
  for (const Case& c : cases) {
    SetFrameRate(c.fps);
    car_.state = c.state;
    car_.velocity = c.velocity;
    car_.airTimer = c.airTimer;
    EXPECT_EQ(VehicleTakeOffTest(&car_, c.h), +c.result) << c.velocity << " " << c.fps << " " << c.h;
    if (c.result) {
      EXPECT_EQ(+car_.state, VEHICLE_IN_AIR);
      EXPECT_EQ(+car_.airTimer, 10.0f);
    }
  }
}

TEST_F(Drive, AFastCarFliesOffAStepAndASlowOneAboveTheGroundDropsIntoTheAir) {
  // The ground falls 20 units just ahead.
  BuildTerrain(81, 41, 10.0f, [](uint32_t col, uint32_t) { return col <= 11 ? 120 : 100; });
  MakeCar(&car_, 110.0f, 200.0f, 256.0f);
  car_.velocity = 90.0f;
  StepCar();
  EXPECT_EQ(+car_.state, VEHICLE_IN_AIR);
  EXPECT_EQ(CountCalls("FfbTakeOff"), 1);
  EXPECT_GT(+car_.pose.y, TerrainHeightAt(car_.pose.x, car_.pose.z) + 10.0f);

  BuildTerrain(81, 41, 10.0f, [](uint32_t, uint32_t) { return 100; });
  MakeCar(&car_, 100.0f, 200.0f, 256.0f);
  car_.pose.y = 115.0f;
  car_.velocity = 30.0f;
  StepCar();
  EXPECT_EQ(+car_.state, VEHICLE_IN_AIR);
  EXPECT_EQ(+car_.airTimer, 10.0f);
}

TEST_F(Drive, LandingsAreGoodWithinTheLimitsAndAComputerCarFarBehindNeverLandsBadly) {
  struct Case {
    float pitch, roll;
    uint8_t human;
    int32_t gap;
    int32_t state;
    int32_t event;
  };
  const Case cases[] = {{200.0f, 0.0f, 1, 0, VEHICLE_ON_GROUND, 3}, {824.0f, 0.0f, 1, 0, VEHICLE_ON_GROUND, 3},
                        {201.0f, 0.0f, 1, 0, VEHICLE_KNOCKED, 5},  {0.0f, 160.0f, 1, 0, VEHICLE_ON_GROUND, 3},
                        {0.0f, 863.0f, 1, 0, VEHICLE_KNOCKED, 5},  {300.0f, 0.0f, 0, -5, VEHICLE_ON_GROUND, 0},
                        {300.0f, 0.0f, 0, -4, VEHICLE_KNOCKED, 5}};
  for (const Case& c : cases) {
    Restart();
    if (!c.human) MakeComputer();
    car_.aiProgressGap = c.gap;
    car_.state = VEHICLE_IN_AIR;
    car_.pose.pitch = c.pitch;
    car_.pose.roll = c.roll;
    car_.cameraDistance = 5000;  // no remark
    StepCar();
    EXPECT_EQ(+car_.state, +c.state) << c.pitch << " " << c.roll << " " << c.gap;
    ASSERT_FALSE(gSoundEvents.empty());
    EXPECT_EQ(gSoundEvents.back(), +c.event) << c.pitch << " " << c.roll;
    EXPECT_EQ(CountCalls("FfbLandVehicle"), c.state == VEHICLE_ON_GROUND ? 1 : 0);
    EXPECT_EQ(CountCalls("FxVehicleLoseWheel(1)"), 1);
  }
}

TEST_F(Drive, TwoLostWheelsCrippleAFastCarAndRespawnASlowOne) {
  struct Case {
    int32_t state;
    float velocity;
    uint8_t finished;
    int32_t after;
  };
  const Case cases[] = {{VEHICLE_ON_GROUND, 60.0f, 0, VEHICLE_CRIPPLED}, {VEHICLE_ON_GROUND, 20.0f, 0, VEHICLE_RESETTING},
                        {VEHICLE_ON_GROUND, 20.0f, 1, VEHICLE_ON_GROUND}, {VEHICLE_CRIPPLED, 60.0f, 0, VEHICLE_CRIPPLED},
                        {VEHICLE_CRIPPLED, 20.0f, 0, VEHICLE_RESETTING}};
  for (const Case& c : cases) {
    Restart();
    car_.state = c.state;
    car_.velocity = c.velocity;
    car_.finished = c.finished;
    car_.finishDelay = 100.0f;
    car_.wheelsLost = 2;
    StepCar();
    EXPECT_EQ(+car_.state, +c.after) << c.state << " " << c.velocity;
  }
}

TEST_F(Drive, DeepWaterSinksTheCarAtLimitedRatesUntilItIsRespawned) {
  for (WheelState& w : car_.wheels) w.waterDepth = 20.0f;
  car_.velocity = 60.0f;
  StepCar();
  EXPECT_EQ(+car_.state, VEHICLE_SINKING);
  EXPECT_EQ(CountCalls("FxSpawnSplash"), 1);
  struct Case {
    float above;  // over the sinking floor, ground + 10
    float drop;
  };
  for (const Case& c : {Case{100.0f, 3.0f}, Case{40.0f, 2.0f}, Case{4.0f, 0.5f}}) {
    car_.pose.y = GROUND + 10.0f + c.above;
    StepCar();
    EXPECT_NEAR(GROUND + 10.0f + c.above - car_.pose.y, +c.drop, 1e-4f) << c.above;
    EXPECT_EQ(+car_.state, VEHICLE_SINKING);
  }
  car_.pose.y = GROUND + 10.0f;
  StepCar();
  EXPECT_EQ(+car_.state, VEHICLE_RESETTING);
}

TEST_F(Drive, TheResetLasts2500MillisecondsWhateverTheFrameRate) {
  for (float fps : {10.0f, 25.0f, 40.0f}) {
    Restart();
    SetFrameRate(fps);
    Camera chase{}, reset{1, 2, 3, 4, 5, 6};
    car_.chaseCamera = &chase;
    car_.resetCamera = &reset;
    car_.state = VEHICLE_RESETTING;
    car_.wheelsLost = 2;
    car_.wheels[1].attached = 0;
    car_.wheels[1].bend = 9;
    AppTimerStart(car_.timerSlot);
    const uint32_t frameMs = static_cast<uint32_t>(1000.0f / fps);
    uint32_t ms = 0;
    while (car_.state == VEHICLE_RESETTING && ms < 10000) {
      HalClockAdvance(frameMs);
      ms += frameMs;
      StepCar();
    }
    EXPECT_GT(ms, 2500u) << fps;
    EXPECT_LE(ms, 2500u + frameMs) << fps;
    EXPECT_EQ(+car_.state, VEHICLE_ON_GROUND);
    EXPECT_EQ(+chase.heading, 5.0f);
    EXPECT_EQ(+car_.wheelsLost, 0);
    EXPECT_EQ(+car_.wheels[1].attached, 1);
    EXPECT_EQ(+car_.wheels[1].bend, 0);
  }
}

TEST_F(Drive, BlockedAndBackingOffRunOutTheirTimers) {
  car_.state = VEHICLE_BLOCKED;
  car_.stateTimer = 5.0f;
  for (int i = 0; i < 4; ++i) StepCar();
  EXPECT_EQ(+car_.state, VEHICLE_BLOCKED);
  EXPECT_EQ(+car_.brakeCmd, 1);
  StepCar();
  EXPECT_EQ(+car_.state, VEHICLE_RESETTING);

  Restart();
  car_.state = VEHICLE_BLOCKED;
  car_.finished = 1;
  car_.finishDelay = 100.0f;
  car_.stateTimer = 1.0f;
  for (int i = 0; i < 3; ++i) StepCar();
  EXPECT_EQ(+car_.state, VEHICLE_BLOCKED);

  Restart();
  MakeComputer();
  car_.pose.x = 300.0f;  // backing away from the world's edge, not over it
  car_.state = VEHICLE_BACKING_OFF;
  car_.stateTimer = 3.0f;
  car_.reverse = 1;
  car_.velocity = -20.0f;
  StepCar();
  EXPECT_EQ(+car_.wheelSteer, 300);
  EXPECT_EQ(+car_.aiHeading, 266);
  StepCar();
  EXPECT_EQ(+car_.state, VEHICLE_BACKING_OFF);
  StepCar();
  EXPECT_EQ(+car_.state, VEHICLE_ON_GROUND);
}

TEST_F(Drive, TheHandbrakeStartsASlideOnTheSideOfTheSteering) {
  struct Case {
    uint8_t keys;
    float steer, slide, velocity;
    int32_t state;
    float slideAfter;  // 0: the random side
  };
  const Case cases[] = {{APP_KEY_SPACE | APP_KEY_LEFT, 0.0f, 0.0f, 20.0f, VEHICLE_HANDBRAKE_SLIDE, 1.0f},
                        {APP_KEY_SPACE | APP_KEY_RIGHT, 0.0f, 0.0f, 20.0f, VEHICLE_HANDBRAKE_SLIDE, -1.0f},
                        {APP_KEY_SPACE, 0.0f, 0.0f, 20.0f, VEHICLE_HANDBRAKE_SLIDE, 0.0f},
                        {APP_KEY_SPACE, 0.0f, 60.0f, 20.0f, VEHICLE_HANDBRAKE_SLIDE, -999.0f},
                        {APP_KEY_SPACE, 0.0f, 0.0f, 0.5f, VEHICLE_ON_GROUND, -999.0f}};
  for (const Case& c : cases) {
    Restart();
    gApp.keyBits = c.keys;
    car_.steerInput = c.steer;
    car_.slideAngle = c.slide;
    car_.velocity = c.velocity;
    car_.engineRevs = 0.0f;
    const int32_t side = (RandAt(static_cast<int32_t>(gRandom.index) + 1) & 1) ? 1 : -1;
    StepCar();
    EXPECT_EQ(+car_.state, +c.state) << int(c.keys) << " " << c.slide;
    if (c.slideAfter == -999.0f) continue;
    EXPECT_EQ(+car_.slideAngle, c.slideAfter != 0.0f ? c.slideAfter : static_cast<float>(side)) << int(c.keys);
  }
}

TEST_F(Drive, ANewBoostFlamesOnceRunsOutAndTheBrakeHoldsTheTopVelocity) {
  gApp.keyBits = APP_KEY_CTRL;
  car_.boostLeft = 2.5f;
  car_.cameraDistance = 5000;
  StepCar();
  EXPECT_EQ(+car_.boostButton, 1);
  EXPECT_EQ(+car_.throttleCmd, 1);
  EXPECT_EQ(CountCalls("FxAttachVehicleEmitterDrive"), 1);
  EXPECT_EQ(gSoundEvents.back(), 59);
  StepCar();
  EXPECT_EQ(CountCalls("FxAttachVehicleEmitterDrive"), 1);
  EXPECT_EQ(+car_.boostLeft, 0.5f);
  StepCar();
  EXPECT_EQ(+car_.boostLeft, 0.0f);
  StepCar();
  EXPECT_EQ(+car_.boostButton, 0);
  // The brake cancels a boost.
  car_.boostLeft = 5.0f;
  gApp.keyBits = APP_KEY_CTRL | APP_KEY_DOWN;
  StepCar();
  EXPECT_EQ(+car_.boostButton, 0);
  EXPECT_EQ(+car_.boostLeft, 5.0f);
  // Above the top velocity without boost the brake is forced.
  gApp.keyBits = APP_KEY_UP;
  car_.boostLeft = 0.0f;
  car_.velocity = car_.topVelocity + 10.0f;
  StepCar();
  EXPECT_EQ(+car_.brakeCmd, 1);
  // Before the start nothing moves the car.
  gRace.raceStarted = 0;
  car_.velocity = 0.0f;
  StepCar();
  EXPECT_EQ(+car_.throttleCmd, 0);
}

TEST_F(Drive, TheFinishDelayEndsTheRace) {
  struct Case {
    uint8_t network;
    int32_t raceOvers;
    float velocity;
    uint8_t finished;
  };
  // Three participants: the race ends once two race-overs arrived, or more.
  const Case cases[] = {{0, 0, 5.0f, 1}, {0, 0, 12.0f, 0}, {1, 1, 5.0f, 0}, {1, 2, 5.0f, 1}, {1, 3, 5.0f, 1}};
  for (const Case& c : cases) {
    Restart();
    gRace.networkGame = c.network;
    gNetParticipants.count = 3;
    gNetParticipants.records[0] = &car_;
    gNetParticipants.ownIndex = 0;
    gNetParticipants.signalCounters[NET_SIGNAL_RACE_OVER] = c.raceOvers;
    car_.finished = 1;
    car_.finishDelay = 2.0f;
    car_.velocity = c.velocity;
    StepCar();
    EXPECT_EQ(+gRace.raceFinished, 0);
    car_.velocity = c.velocity;
    StepCar();
    EXPECT_EQ(+gRace.raceFinished, +c.finished) << int(c.network) << " " << c.raceOvers << " " << c.velocity;
    EXPECT_EQ(+gVehicleStep.raceOverSent, +c.network);
  }
  // A finished car brakes to a stop.
  Restart();
  car_.finished = 1;
  car_.finishDelay = 100.0f;
  car_.engineOn = 1;
  car_.velocity = 50.0f;
  gApp.keyBits = APP_KEY_UP;
  StepCar();
  EXPECT_EQ(+car_.throttleCmd, 0);
  EXPECT_EQ(+car_.brakeCmd, 1);
  EXPECT_LT(+car_.velocity, 50.0f);
}

TEST_F(Drive, TheStuckWatchRespawnsAComputerCarThatStaysPut) {
  struct Case {
    const char* name;
    int32_t state;
    uint8_t started, finished, network;
    float timer, movedX;
    float timerAfter;
    int32_t stateAfter;
  };
  const Case cases[] = {
      {"starts", 0, 1, 0, 0, 0.0f, 0.0f, 1.0f, 0},      {"counts", 0, 1, 0, 0, 50.0f, 0.0f, 51.0f, 0},
      {"stuck", 0, 1, 0, 0, 100.0f, 19.0f, 0.0f, 3},    {"moved", 0, 1, 0, 0, 100.0f, 20.0f, 0.0f, 0},
      {"reset", 3, 1, 0, 0, 50.0f, 0.0f, 0.0f, 3},      {"sinking", 5, 1, 0, 0, 50.0f, 0.0f, 0.0f, 5},
      {"blocked", 10, 1, 0, 0, 50.0f, 0.0f, 0.0f, 10},  {"backing", 12, 1, 0, 0, 50.0f, 0.0f, 0.0f, 12},
      {"before the start", 0, 0, 0, 0, 50.0f, 0.0f, 50.0f, 0}, {"finished", 0, 1, 1, 0, 50.0f, 0.0f, 0.0f, 0},
      {"network", 0, 1, 0, 1, 50.0f, 0.0f, 50.0f, 0},
  };
  for (const Case& c : cases) {
    MakeComputer();
    car_.state = c.state;
    gRace.raceStarted = c.started;
    car_.finished = c.finished;
    gRace.networkGame = c.network;
    car_.stuckTimer = c.timer;
    car_.stuckRefX = car_.pose.x - c.movedX;
    car_.stuckRefZ = car_.pose.z;
    VehicleWatchStuck(&car_, &car_);
    EXPECT_EQ(+car_.stuckTimer, +c.timerAfter) << c.name;
    EXPECT_EQ(+car_.state, +c.stateAfter) << c.name;
  }
}

TEST_F(Drive, UnderTheKeysTheCarAcceleratesAndTheLeftArrowTurnsItLeft) {
  // Heading 256 runs along +x; the driver's left is -z.
  gApp.keyBits = APP_KEY_UP;
  for (int i = 0; i < 50; ++i) StepCar();
  EXPECT_GT(+car_.velocity, 50.0f);
  EXPECT_GT(+car_.pose.x, 150.0f);
  EXPECT_NEAR(+car_.pose.z, 200.0f, 0.01f);
  gApp.keyBits = APP_KEY_UP | APP_KEY_LEFT;
  for (int i = 0; i < 10; ++i) StepCar();
  EXPECT_GT(+car_.steerInput, 0.0f);
  EXPECT_GT(+car_.heading, 256.0f);
  EXPECT_LT(+car_.pose.z, 200.0f);
  gApp.keyBits = APP_KEY_DOWN;
  const float before = car_.velocity;
  StepCar();
  EXPECT_LT(+car_.velocity, before);
}

}  // namespace
