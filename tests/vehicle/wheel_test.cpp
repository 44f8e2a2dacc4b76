// The wheel and ground pass: suspension, tilt correction, wheel turning, tyre
// marks on the virtual clock, the wheels' effects, water depth, the ground
// tint, the downhill probe, the attachment points and which vehicles the
// computer cars' pass covers. The effects are recorded, not spawned.
#include <string>
#include <vector>

#include "engine3d/angle.h"
#include "hal/clock.h"
#include "net/net.h"
#include "platform/app.h"
#include "presentation/presentation.h"
#include "race/tracks.h"
#include "vehicle_fixture.h"

namespace {

int WheelOf(const WheelState* w) { return static_cast<int>(w - gWheelPass.vehicle->wheels); }
void Note(const std::string& s) { gVehicleCalls.push_back(s); }

int CountPrefix(const std::string& prefix) {
  int n = 0;
  for (const std::string& c : gVehicleCalls) n += c.rfind(prefix, 0) == 0;
  return n;
}

}  // namespace

void FxAddTyreMark(WheelState* w) { Note("FxAddTyreMark(" + std::to_string(WheelOf(w)) + ")"); }
void FxSpawnWheelClods(Vehicle*, WheelState*) { Note("FxSpawnWheelClods"); }
void FxSpawnWheelSpray(WheelState*, float) { Note("FxSpawnWheelSpray"); }
void FxSpawnWheelSpray2(WheelState*, float) { Note("FxSpawnWheelSpray2"); }
void FxSpawnSmokePuff(float, float, float, float) { Note("FxSpawnSmokePuff"); }
void FxSpawnWheelParticle(float, float, float) { Note("FxSpawnWheelParticle"); }
void FxSpawnGroundDust(Vehicle*) { Note("FxSpawnGroundDust"); }
void FxSpawnBubbles(Vehicle*) { Note("FxSpawnBubbles"); }
extern "C" {
int32_t __wrap__Z19SfxPlayEffectCopyAtifffi(int32_t effect, float, float, float, int32_t) {
  Note("SfxPlayEffectCopyAt(" + std::to_string(effect) + ")");
  return 1;
}
void __wrap__Z19SfxSetSlotFrequencyii(int32_t, int32_t) { Note("SfxSetSlotFrequency"); }
}

namespace {

constexpr float TRAVEL = 3.0f;  // the wheel travel limit of type 0

class WheelTest : public VehicleTest {
 protected:
  void SetUp() override {
    VehicleTest::SetUp();
    CarModelSetGeometry();
    gRace.waterLevel = NO_WATER_LEVEL;
    BuildRacePlane(0);
    Place(car_);
  }
  // A computer car of type 0 standing level in the middle of the plane.
  static void Place(Vehicle* v, float x = 805.0f, float z = 405.0f) {
    MakeCar(v, x, z, 0.0f, 0);
    for (int i = 0; i < VEHICLE_WHEELS; ++i) v->wheels[i].trailHalfWidth = i < 2 ? 1.0f : 2.0f;
  }
  static void Pass(Vehicle* v) {
    gRace.currentPose = &v->pose;
    WheelUpdateVehicle(v);
  }
  // The world point of the body-space offset (a, b, c) from the body point.
  static void ExpectFromBodyPoint(const Vehicle* v, const float* point, float a, float b, float c) {
    const float* m = v->bodyMatrix;
    EXPECT_NEAR(point[0], m[0] * a + m[1] * b + m[2] * c + v->bodyPoint[0], 1e-3);
    EXPECT_NEAR(point[1], m[3] * a + m[4] * b + m[5] * c + v->bodyPoint[1], 1e-3);
    EXPECT_NEAR(point[2], m[6] * a + m[7] * b + m[8] * c + v->bodyPoint[2], 1e-3);
  }

  Vehicle* car_ = &gVehicleRecords[1];
};

TEST_F(WheelTest, SuspensionTargetIsTwiceTheTravelInTheAirAndJittersAtSpeed) {
  struct Case {
    uint8_t attached;
    float velocity;
    float lift;  // the pose above the ground
    float low, high;
    bool jitter;
  };
  const Case cases[] = {
      {1, 0.0f, 0.0f, -1e-4f, 1e-4f, false},                  // resting on level ground
      {1, 40.0f, 50.0f, TRAVEL, TRAVEL, false},               // ground far below: clamped
      {1, 0.0f, -50.0f, -TRAVEL, -TRAVEL, false},             // ground far above
      {0, 0.0f, 0.0f, 2 * TRAVEL, 2 * TRAVEL, false},         // in the air at a standstill
      {0, 31.9f, 0.0f, 2 * TRAVEL, 2 * TRAVEL, false},        // still below 32
      {0, -40.0f, 0.0f, 2 * TRAVEL, 4 * TRAVEL - 1.0f, true},  // jitters up to 2L more
  };
  for (const Case& c : cases) {
    Restart();
    SetFrameRate(5.0f);  // the easing takes the whole difference
    car_->pose.y += c.lift;
    car_->velocity = c.velocity;
    bool varied = false;
    float first = 0.0f;
    for (int pass = 0; pass < 20; ++pass) {
      for (WheelState& w : car_->wheels) w.attached = c.attached;
      Pass(car_);
      for (const WheelState& w : car_->wheels) {
        EXPECT_GE(w.suspension, c.low) << c.velocity << " " << c.lift;
        EXPECT_LE(w.suspension, c.high) << c.velocity << " " << c.lift;
      }
      if (pass == 0) first = car_->wheels[0].suspension;
      varied |= car_->wheels[0].suspension != first;
    }
    EXPECT_EQ(varied, c.jitter) << c.velocity;
  }
}

TEST_F(WheelTest, TiltCorrectionIsTwiceAsStrongAtAStandstill) {
  struct Case {
    int32_t state;
    float velocity, pitch, roll;
    int16_t tiltPitch, tiltRoll;
  };
  // Excess 10 over the 100 units of free tilt: a target of 20 at a standstill,
  // 10 at 150; a fifth of it is taken per frame.
  const Case cases[] = {
      {VEHICLE_ON_GROUND, 0.0f, 110.0f, 0.0f, 4, 0},
      {VEHICLE_ON_GROUND, 150.0f, 110.0f, 0.0f, 2, 0},
      {VEHICLE_ON_GROUND, -150.0f, 0.0f, 110.0f, 0, 2},
      {VEHICLE_ON_GROUND, 0.0f, 914.0f, 0.0f, 1020, 0},  // the other way: -4
      {VEHICLE_ON_GROUND, 0.0f, 100.0f, 924.0f, 0, 0},   // within the free tilt
      {VEHICLE_CRIPPLED, 0.0f, 0.0f, 110.0f, 0, 4},
      {VEHICLE_IN_AIR, 0.0f, 110.0f, 110.0f, 0, 0},
  };
  for (const Case& c : cases) {
    Restart();
    car_->state = c.state;
    car_->velocity = c.velocity;
    car_->pose.pitch = c.pitch;
    car_->pose.roll = c.roll;
    Pass(car_);
    EXPECT_EQ(+car_->tiltPitch, c.tiltPitch) << c.state << " " << c.velocity << " " << c.pitch;
    EXPECT_EQ(+car_->tiltRoll, c.tiltRoll) << c.state << " " << c.velocity << " " << c.roll;
  }
}

TEST_F(WheelTest, TiltLimitsKeepWithinThirtyAndStartTheDownhillProbe) {
  struct Case {
    int16_t before, after;
  };
  const Case cases[] = {{0, 0}, {30, 30}, {31, 30}, {511, 30}, {512, 994}, {993, 994}, {994, 994}, {1023, 1023}};
  for (int axis = 0; axis < 2; ++axis) {
    for (const Case& c : cases) {
      Restart();
      car_->state = VEHICLE_IN_AIR;  // no target: the tilt stays as it is
      gRace.timeStepFifth = 0.0f;
      int16_t* tilt = axis ? &car_->tiltPitch : &car_->tiltRoll;
      *tilt = c.before;
      Pass(car_);
      EXPECT_EQ(+*tilt, c.after) << axis << " " << c.before;
      // On level ground the probe finds nothing lower and pushes back by 30.
      EXPECT_EQ(car_->pushVelocity1, c.before == c.after ? 0.0f : -30.0f) << axis << " " << c.before;
    }
  }
}

TEST_F(WheelTest, BodyRollCountsTheTiltRollTwice) {
  car_->state = VEHICLE_IN_AIR;
  gRace.timeStepFifth = 0.0f;
  car_->tiltRoll = 10;
  car_->bodyRoll = 3.0f;
  Pass(car_);
  EXPECT_EQ(+car_->frameAngles[2], 522);
  EXPECT_EQ(+car_->bodyAngles[2], 512 + 10 - 3 + 10);
}

TEST_F(WheelTest, BodySwayRocksTheNoseAndDiesOut) {
  struct Case {
    int32_t state;
    float amount, phase;
    std::vector<int> pitches;  // the body pitch of each pass, as a signed angle
  };
  const Case cases[] = {
      // 3 a frame up past 10, back down past -6, up past 2, and still.
      {VEHICLE_ON_GROUND, 10.0f, 0.0f, {3, 6, 9, 12, 9, 6, 3, 0, -3, -6, -9, -6, -3, 0, 3, 0, 0}},
      // Off the ground the phase loses 0.4 of itself a frame and ends below 1.
      {VEHICLE_IN_AIR, 10.0f, 10.0f, {6, 3, 2, 1, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    Restart();
    car_->state = c.state;
    car_->swayAmount = c.amount;
    car_->swayPhase = c.phase;
    std::vector<int> pitches;
    for (size_t i = 0; i < c.pitches.size(); ++i) {
      Pass(car_);
      pitches.push_back(static_cast<int16_t>(car_->bodyAngles[0]));
    }
    EXPECT_EQ(pitches, c.pitches) << c.state;
    EXPECT_EQ(car_->swayAmount, 0.0f) << c.state;
  }
}

TEST_F(WheelTest, HandbrakeStopsTheRearWheels) {
  struct Case {
    uint8_t handbrake, spin;
    float velocity, revs;
    float blurRear, blurFront, turnFront, turnRear;
  };
  const Case cases[] = {
      {0, 0, 100.0f, 0.0f, 6.25f, 6.25f, -64.0f, -64.0f},  // the turn is at most 64 a frame
      {1, 0, 100.0f, 0.0f, 1.0f, 6.25f, -64.0f, 0.0f},
      {0, 0, 8.0f, 0.0f, 1.0f, 1.0f, -8.0f, -8.0f},
      {0, 0, -10.0f, 0.0f, 1.0f, 1.0f, 10.0f, 10.0f},
      {1, 1, 0.0f, 20.0f, 1.0f, 2.5f, -40.0f, 0.0f},  // spinning: twice the engine's revolutions
  };
  for (const Case& c : cases) {
    Restart();
    car_->handbrakeButton = c.handbrake;
    car_->wheelSpin = c.spin;
    car_->velocity = c.velocity;
    car_->engineRevsHeard = c.revs;
    car_->wheelTurnFront = car_->wheelTurnRear = 100.0f;
    Pass(car_);
    EXPECT_EQ(car_->treadBlurRear, c.blurRear) << c.velocity;
    EXPECT_EQ(car_->treadBlurFront, c.blurFront) << c.velocity;
    EXPECT_EQ(car_->wheelTurnFront, 100.0f + c.turnFront) << c.velocity;
    EXPECT_EQ(car_->wheelTurnRear, 100.0f + c.turnRear) << c.velocity;
  }
}

TEST_F(WheelTest, TyreMarksComeAtTheSpeedsInterval) {
  struct Case {
    float velocity;
    uint32_t intervalMs;
  };
  const Case cases[] = {{50.0f, 300}, {-100.0f, 200}, {140.0f, 40}, {150.0f, 20}, {400.0f, 20}};
  for (const Case& c : cases) {
    Restart();
    car_->velocity = c.velocity;
    Pass(car_);  // the body angles the marks look at are the previous pass's
    AppTimerStart(car_->timerSlot);
    HalClockAdvance(c.intervalMs - 1);
    gVehicleCalls.clear();
    Pass(car_);
    EXPECT_EQ(CountPrefix("FxAddTyreMark"), 0) << c.velocity;
    EXPECT_EQ(+car_->markLaid, 0) << c.velocity;
    HalClockAdvance(1);
    Pass(car_);
    EXPECT_EQ(+car_->markLaid, 1) << c.velocity;
    for (int w = 0; w < VEHICLE_WHEELS; ++w)
      EXPECT_EQ(CountCalls("FxAddTyreMark(" + std::to_string(w) + ")"), 1) << c.velocity << " wheel " << w;
    // The slot restarted with the mark.
    Pass(car_);
    EXPECT_EQ(CountPrefix("FxAddTyreMark"), 4) << c.velocity;
  }
}

TEST_F(WheelTest, TyreMarkConditionsFailingCutTheStrips) {
  struct Case {
    const char* name;
    float velocity;
    int32_t distance;
    uint16_t bodyPitch, bodyRoll;
    bool laid;
  };
  const Case cases[] = {
      {"all met", 50.0f, 399, 40, 512 - 40, true},
      {"too slow", 1.0f, 0, 0, 512, false},
      {"too far", 50.0f, 400, 0, 512, false},
      {"nose up", 50.0f, 0, 41, 512, false},
      {"nose down", 50.0f, 0, 1024 - 41, 512, false},
      {"rolled", 50.0f, 0, 0, 512 + 41, false},
  };
  for (const Case& c : cases) {
    Restart();
    car_->velocity = c.velocity;
    car_->cameraDistance = c.distance;
    AppTimerStart(car_->timerSlot);
    HalClockAdvance(300);
    car_->bodyAngles[0] = c.bodyPitch;
    car_->bodyAngles[2] = c.bodyRoll;
    for (WheelState& w : car_->wheels) w.lastMarkX = w.lastMarkZ = 7.0f;
    Pass(car_);
    EXPECT_EQ(CountPrefix("FxAddTyreMark"), c.laid ? 4 : 0) << c.name;
    EXPECT_EQ(+car_->markLaid, 1) << c.name;  // a cut also keeps the trail from being drawn
    for (const WheelState& w : car_->wheels) EXPECT_EQ(w.lastMarkX, c.laid ? 7.0f : -1.0f) << c.name;
  }
}

TEST_F(WheelTest, BetweenMarksOnlyARollingVehicleKeepsItsStrips) {
  struct Case {
    int32_t state;
    bool cut;
  };
  const Case cases[] = {{VEHICLE_ON_GROUND, false},
                        {VEHICLE_CONTACT_SLIDE, true},
                        {VEHICLE_HANDBRAKE_SLIDE, true},
                        {VEHICLE_IN_AIR, true}};
  for (const Case& c : cases) {
    Restart();
    car_->state = c.state;
    car_->velocity = 50.0f;
    AppTimerStart(car_->timerSlot);
    for (WheelState& w : car_->wheels) w.lastMarkX = 7.0f;
    Pass(car_);
    EXPECT_EQ(CountPrefix("FxAddTyreMark"), 0) << c.state;
    EXPECT_EQ(+car_->markLaid, c.cut ? 1 : 0) << c.state;
    for (const WheelState& w : car_->wheels) EXPECT_EQ(w.lastMarkX, c.cut ? -1.0f : 7.0f) << c.state;
  }
}

TEST_F(WheelTest, FrontMarksAndSmokeAreLeftOutInTheOwnView) {
  Place(&gPlayer1);
  gPlayer1.human = 1;
  gPlayer1.viewActive = 1;
  gPlayer1.velocity = 50.0f;
  gPlayer1.effectClock = 100.0f;
  Pass(&gPlayer1);
  HalClockAdvance(300);
  gVehicleCalls.clear();
  Pass(&gPlayer1);
  EXPECT_EQ(CountCalls("FxAddTyreMark(0)") + CountCalls("FxAddTyreMark(1)"), 0);
  EXPECT_EQ(CountCalls("FxAddTyreMark(2)") + CountCalls("FxAddTyreMark(3)"), 2);
  EXPECT_EQ(CountPrefix("FxSpawnWheelSpray"), 0);
}

TEST_F(WheelTest, NothingIsThrownUpOnIceButMarksAreStillLaid) {
  struct Case {
    int32_t track;
    float waterLevel;
  };
  const Case cases[] = {{TRACK_DESERT, NO_WATER_LEVEL}, {TRACK_DESERT, 0.0f}, {TRACK_ICE, NO_WATER_LEVEL}, {TRACK_ICE, 0.0f}};
  for (const Case& c : cases) {
    Restart();
    SetFrameRate(50.0f);  // ground dust wants more than 30 frames a second
    gRace.trackIndex = c.track;
    gRace.waterLevel = c.waterLevel;
    car_->velocity = 20.0f;
    car_->handbrakeButton = 1;
    car_->wheelSpin = 1;
    car_->engineRevsHeard = 40.0f;
    car_->effectClock = 20.0f;
    Pass(car_);
    HalClockAdvance(300);
    gVehicleCalls.clear();
    Pass(car_);
    const bool ice = c.track == TRACK_ICE;
    const bool wet = c.waterLevel >= 0.0f;
    EXPECT_EQ(CountPrefix("FxAddTyreMark"), 4) << c.track;
    EXPECT_EQ(CountCalls("FxSpawnGroundDust"), ice ? 0 : 1) << c.track;
    EXPECT_EQ(CountCalls("FxSpawnWheelParticle"), ice ? 0 : 4) << c.track;
    EXPECT_EQ(CountPrefix("FxSpawnWheelSpray") > 0, !ice && !wet) << c.track;
    EXPECT_EQ(CountCalls("FxSpawnWheelClods") > 0, !ice && wet) << c.track;
    EXPECT_EQ(CountCalls("SfxPlayEffectCopyAt(19)") > 0, !ice && wet) << c.track;
    EXPECT_EQ(CountCalls("FxSpawnSmokePuff"), 0) << c.track;
  }
}

TEST_F(WheelTest, WheelsInTheAirSmokeOverDryGroundOnly) {
  struct Case {
    float waterLevel;
    bool smoke;
  };
  for (const Case& c : {Case{NO_WATER_LEVEL, true}, Case{0.0f, false}}) {
    Restart();
    gRace.waterLevel = c.waterLevel;
    car_->velocity = 20.0f;
    car_->effectClock = 20.0f;
    for (WheelState& w : car_->wheels) w.attached = 0;
    Pass(car_);  // the body angles the marks look at are the previous pass's
    HalClockAdvance(300);
    gVehicleCalls.clear();
    Pass(car_);
    EXPECT_EQ(CountCalls("FxSpawnSmokePuff") >= 4, c.smoke) << c.waterLevel;
    EXPECT_EQ(CountCalls("FxSpawnSmokePuff") <= 8, true);
    EXPECT_EQ(CountCalls("FxSpawnWheelClods"), 0) << c.waterLevel;
  }
}

TEST_F(WheelTest, SplashesStopInDeepWaterAndTheirSoundNearby) {
  struct Case {
    float depthSum;
    int32_t distance;
    bool clods, sound;
  };
  const Case cases[] = {{0.0f, 0, true, true}, {0.0f, 320, true, false}, {70.0f, 0, true, true}, {70.5f, 0, false, false}};
  for (const Case& c : cases) {
    Restart();
    car_->velocity = 50.0f;
    car_->waterDepthSum = c.depthSum;
    car_->cameraDistance = c.distance;
    gWheelPass.vehicle = car_;
    WheelSpawnSplash(WHEEL_FRONT_LEFT);
    const int clods = CountCalls("FxSpawnWheelClods");
    if (c.clods) {
      EXPECT_GE(clods, 10) << c.depthSum << " " << c.distance;
      EXPECT_LE(clods, 17) << c.depthSum << " " << c.distance;
    } else {
      EXPECT_EQ(clods, 0) << c.depthSum;
    }
    EXPECT_EQ(CountCalls("SfxPlayEffectCopyAt(19)"), c.sound ? 1 : 0) << c.depthSum << " " << c.distance;
    EXPECT_EQ(CountCalls("SfxSetSlotFrequency"), c.sound ? 1 : 0) << c.depthSum << " " << c.distance;
  }
}

TEST_F(WheelTest, WaterDepthIsMeasuredAgainstTheBodySpaceHeight) {
  struct Case {
    int ground;
    float waterLevel;
    int sign;  // of every wheel's depth
  };
  const Case cases[] = {
      {0, NO_WATER_LEVEL, 0},  // a dry track
      {-100, -50.0f, 0},       // any body-space height lies above this level
      {400, 360.0f, -1},       // above the water of a water track
      {300, 360.0f, 1},        // under it
  };
  for (const Case& c : cases) {
    Restart();
    BuildRacePlane(c.ground);
    Place(car_);
    gRace.waterLevel = c.waterLevel;
    Pass(car_);
    for (int i = 0; i < VEHICLE_WHEELS; ++i) {
      const WheelState& w = car_->wheels[i];
      if (c.sign == 0) {
        EXPECT_EQ(w.waterDepth, 0.0f) << c.ground << " wheel " << i;
      } else {
        EXPECT_NEAR(w.waterDepth, c.waterLevel - (w.centre[1] - 2.0f * w.trailHalfWidth), 1e-3);
        EXPECT_EQ(w.waterDepth > 0.0f ? 1 : -1, c.sign) << c.ground << " wheel " << i;
      }
    }
  }
}

TEST_F(WheelTest, GroundTintTurnsTowardTheLightWithDistance) {
  gRace.lightColour[0] = gRace.lightColour[1] = gRace.lightColour[2] = 250;
  struct Case {
    float x, y, z;
    bool valid;
    uint8_t red, green, blue;
  };
  // The body point above the lit corner (800, 0, 400) of colour (50, 100, 150).
  const Case cases[] = {
      {800.0f, 0.0f, 400.0f, true, 50, 100, 150},
      {800.0f, 70.0f, 400.0f, true, 150, 175, 200},
      {800.0f, 139.0f, 400.0f, true, 248, 248, 249},
      {800.0f, 140.0f, 400.0f, false, 0, 0, 0},
  };
  for (const Case& c : cases) {
    Vertex* corners[4];
    ASSERT_EQ(TerrainCellCorners(801.0f, 401.0f, corners), 1);
    for (Vertex* v : corners) v->lightLevel = 0;
    Vertex* lit = corners[3];
    ASSERT_EQ(lit->x, 800.0f);
    ASSERT_EQ(lit->z, 400.0f);
    lit->lightLevel = 20;
    lit->red = 50;
    lit->green = 100;
    lit->blue = 150;
    car_->bodyPoint[0] = c.x;
    car_->bodyPoint[1] = c.y;
    car_->bodyPoint[2] = c.z;
    car_->tintValid = 7;
    WheelSetGroundTint(car_);
    EXPECT_EQ(+car_->tintValid, c.valid ? 1 : 0) << c.y;
    if (!c.valid) continue;
    EXPECT_EQ(+car_->tintRed, c.red) << c.y;
    EXPECT_EQ(+car_->tintGreen, c.green) << c.y;
    EXPECT_EQ(+car_->tintBlue, c.blue) << c.y;
  }
}

TEST_F(WheelTest, GroundTintTakesTheFirstOfEquallyNearLitCorners) {
  Vertex* corners[4];
  ASSERT_EQ(TerrainCellCorners(801.0f, 401.0f, corners), 1);
  for (int i = 0; i < 4; ++i) {
    corners[i]->lightLevel = i >= 2 ? 10 : 0;  // (900, 400) and (800, 400)
    corners[i]->red = static_cast<uint8_t>(10 * (i + 1));
  }
  car_->bodyPoint[0] = 850.0f;
  car_->bodyPoint[1] = 0.0f;
  car_->bodyPoint[2] = 400.0f;
  gRace.lightColour[0] = 30;  // the same as corner 2's red: the distance does not matter
  WheelSetGroundTint(car_);
  EXPECT_EQ(+car_->tintValid, 1);
  EXPECT_EQ(+car_->tintRed, 30);
  // Unlit corners never tint.
  corners[2]->lightLevel = corners[3]->lightLevel = 0;
  WheelSetGroundTint(car_);
  EXPECT_EQ(+car_->tintValid, 0);
}

TEST_F(WheelTest, DownhillProbeTakesTheFirstOfTheLowestDirections) {
  // A step down along x: 20 up to x = 100, 0 from x = 102 on.
  BuildTerrain(61, 101, 2.0f, [](uint32_t c, uint32_t) { return c <= 50 ? 20 : 0; });
  struct Case {
    float x;
    float pushBefore, pushAfter, heading;
  };
  const Case cases[] = {
      // Direction 144 reaches only partway down the step; from 160 to 608 every
      // direction lies on the low ground, and the first of them wins.
      {100.0f, 10.0f, 13.0f, 160.0f},
      {100.0f, 200.0f, 200.0f, 160.0f},  // the push grows up to 200
      {40.0f, 10.0f, -20.0f, -1.0f},     // level all round: pushed back
  };
  for (const Case& c : cases) {
    Place(car_, c.x, 100.0f);
    car_->pushVelocity1 = c.pushBefore;
    car_->pushTargetHeading = -1.0f;
    WheelProbeDownhill(car_);
    EXPECT_EQ(car_->pushVelocity1, c.pushAfter) << c.x << " " << c.pushBefore;
    EXPECT_EQ(car_->pushTargetHeading, c.heading) << c.x << " " << c.pushBefore;
  }
}

TEST_F(WheelTest, EyePointFollowsTheView) {
  const CarModel& m = gCarModels[0];
  struct Case {
    uint8_t human, view, flyIn;
    int32_t debug;
    float a, b, c;
  };
  const Case cases[] = {
      {0, 0, 0, 0, m.point1.x, m.point1.y, m.point1.z - 2.0f},
      {0, 2, 0, 0, m.point1.x, m.point1.y, m.point1.z - 2.0f},  // only a human's view counts
      {0, 0, 0, 1, 0.0f, m.point1.y, m.point1.z - 2.0f},
      {1, 0, 0, 0, m.point1.x, m.point1.y, m.point1.z - 2.0f},
      {1, 1, 0, 0, m.point2.x, m.point2.y, m.point2.z - 2.0f},
      {1, 2, 0, 0, 0.0f, 5.0f, -10.0f},
      {1, 1, 1, 0, 0.0f, 5.0f, -10.0f},
      {0, 0, 1, 0, 0.0f, 5.0f, -10.0f},
  };
  for (const Case& c : cases) {
    Restart();
    car_->human = c.human;
    car_->viewActive = c.view;
    gRace.flyInActive = c.flyIn;
    gRace.debugMode = c.debug;
    car_->pose.heading = car_->heading = 100.0f;
    Pass(car_);
    SCOPED_TRACE(testing::Message() << int(c.human) << " view " << int(c.view) << " fly-in " << int(c.flyIn)
                                    << " debug " << c.debug);
    ExpectFromBodyPoint(car_, car_->eyePoint, c.a, c.b, c.c);
    EXPECT_NEAR(car_->bodyPoint[1], car_->pose.y + m.bodyPointHeight, 1e-3);
  }
}

TEST_F(WheelTest, EmitterAndSmokePointsFollowTheDamage) {
  struct Case {
    int32_t type;
    uint8_t damage, flag;
    bool emitters;
    float p1[3], p2[3];
  };
  const Case cases[] = {
      {0, 0, 1, true, {-4.0f, 1.0f, -20.0f}, {4.0f, 1.0f, -20.0f}},
      {0, 3, 1, true, {-4.0f, 0.5f, -20.0f}, {4.0f, 1.0f, -20.0f}},
      {2, 7, 1, true, {-7.0f, 5.0f, -25.0f}, {7.0f, 4.0f, -25.0f}},
      {5, 5, 1, true, {-6.0f, 3.5f, -19.0f}, {6.0f, 4.5f, -19.0f}},
      {5, 8, 1, true, {-6.0f, 3.5f, -19.0f}, {6.0f, 4.0f, -19.0f}},
      {0, 200, 1, true, {-4.0f, 0.5f, -20.0f}, {4.0f, 1.0f, -20.0f}},  // past the table: its last row
      {1, 3, 1, false, {}, {}},
      {3, 7, 1, false, {}, {}},
      {0, 3, 0, false, {}, {}},
  };
  for (const Case& c : cases) {
    Restart();
    car_->type = c.type;
    car_->damageStage = c.damage;
    car_->exhaustFlame = c.flag;
    for (float& f : car_->exhaustPoint1) f = -999.0f;
    for (float& f : car_->exhaustPoint2) f = -999.0f;
    for (float& f : car_->smokePoint) f = -999.0f;
    Pass(car_);
    SCOPED_TRACE(testing::Message() << "type " << c.type << " damage " << int(c.damage) << " flag " << int(c.flag));
    if (c.emitters) {
      ExpectFromBodyPoint(car_, car_->exhaustPoint1, c.p1[0], c.p1[1], c.p1[2]);
      ExpectFromBodyPoint(car_, car_->exhaustPoint2, c.p2[0], c.p2[1], c.p2[2]);
    } else {
      EXPECT_EQ(car_->exhaustPoint1[0], -999.0f);
      EXPECT_EQ(car_->exhaustPoint2[0], -999.0f);
    }
    const CarPoint& s = gCarModels[c.type].point3;
    if (c.damage > 6)
      ExpectFromBodyPoint(car_, car_->smokePoint, s.x, s.y, s.z);
    else
      EXPECT_EQ(car_->smokePoint[0], -999.0f);
  }
}

TEST_F(WheelTest, SmokePointShrinksWithTheModelInDebugModeOne) {
  gRace.debugMode = 1;
  car_->damageStage = 7;
  Pass(car_);
  const CarPoint& s = gCarModels[0].point3;
  ExpectFromBodyPoint(car_, car_->smokePoint, s.x * 0.625f, s.y * 0.833333f, s.z * 0.625f);
}

TEST_F(WheelTest, ComputerCarsPassCoversTheRightRecords) {
  struct Case {
    const char* name;
    uint8_t loaded;
    int32_t players, network;
    uint8_t noHuman;
    const char* passed;  // one mark per record: slots 0..5, then player 1
  };
  const Case cases[] = {
      {"not loaded", 0, 0, 0, 0, "-------"},  {"one player", 1, 0, 0, 0, "xxxxx--"},
      {"split screen", 1, 1, 0, 0, "-xxxx--"}, {"no human", 1, 0, 0, 1, "xxxxxx-"},
      {"network", 1, 2, 1, 1, "--xx---"},
  };
  for (const Case& c : cases) {
    Restart();
    gRace.trajectoriesLoaded = c.loaded;
    gRace.playersMode = c.players;
    gRace.networkGame = c.network;
    gRace.noHumanMode = c.noHuman;
    Vehicle* records[7];
    for (int i = 0; i < 6; ++i) records[i] = &gVehicleRecords[i];
    records[6] = &gPlayer1;
    for (Vehicle* v : records) {
      Place(v);
      v->viewActive = 2;
    }
    // The network race: player 1 is this machine's participant, two remote ones.
    gNetParticipants.count = 3;
    gNetParticipants.records[0] = &gPlayer1;
    gNetParticipants.records[1] = records[2];
    gNetParticipants.records[2] = records[3];
    gNetParticipants.ownIndex = 0;
    WheelUpdateComputerCars();
    std::string passed;
    for (Vehicle* v : records) passed += v->effectClock > 0.0f ? 'x' : '-';
    EXPECT_EQ(passed, c.passed) << c.name;
    EXPECT_EQ(+records[5]->viewActive, c.noHuman && !c.network ? 0 : 2) << c.name;
  }
}

}  // namespace
