// The states in which a vehicle is not simply driving: knocked and bouncing
// (2), on its roof (6), the scripted jump of the looping track (8 run-up, 7
// flight) and the two slides (9 after a contact, 11 on the handbrake); the
// object-contact pass at the end of every moving step; and the two ways
// other code disturbs a vehicle, a hit and a body sway.
#include <cmath>
#include <cstdlib>

#include "engine3d/angle.h"
#include "engine3d/camera.h"
#include "engine3d/mathutil.h"
#include "engine3d/mesh.h"
#include "engine3d/random.h"
#include "engine3d/terrain.h"
#include "presentation/presentation.h"
#include "race/collide.h"
#include "race/race.h"
#include "race/tracks.h"
#include "race/vehicle_steps.h"

namespace {

enum SoundEvent : int32_t {
  SFX_EVENT_NONE = 0,
  SFX_EVENT_LANDING = 3,
  SFX_EVENT_CRASH = 5,
  SFX_EVENT_OBJECT_SOLID = 9,
  SFX_EVENT_OBJECT_DOWN = 10,
  SFX_EVENT_SLIDE = 47,
};

constexpr float DEEP_WATER = 70.0f;
constexpr float MAX_THROW = 250.0f;
constexpr float JUMP_RUNUP = 375.0f;
constexpr float JUMP_LENGTH = 1500.0f;
constexpr float JUMP_Z_FIXED = 1125.0f;
constexpr int32_t DRIVER_REACTION = 4;

// The impact velocity a knocked vehicle hands to the object-contact pass of
// the same step; any other vehicle hits with its own velocity.
struct KnockImpact {
  const Vehicle* vehicle;
  float velocity;
};
KnockImpact gKnockImpact;

float Clamp(float x, float lo, float hi) { return x < lo ? lo : x > hi ? hi : x; }

int32_t WrapHeading(float h) {
  if (h >= 1024.0f) h -= 1024.0f;
  if (h < 0.0f) h += 1024.0f;
  return TruncI32(h);
}

bool Human(const Vehicle* driver) { return driver == nullptr; }

void TurnToGround(Vehicle* v, float pitchTarget, float rollTarget, float rate) {
  v->pose.pitch = MathAngleTurn(TruncI32(v->pose.pitch), TruncI32(pitchTarget), rate);
  v->pose.roll = MathAngleTurn(TruncI32(v->pose.roll), TruncI32(rollTarget), rate);
}

void EndKnock(Vehicle* v) {
  if (v->waterDepthSum > DEEP_WATER) {
    VehicleSink(v);
  } else if (v->landingSide == 2) {
    v->state = VEHICLE_ROLLED_OVER;
    v->cameraPitch = 0.0f;
    v->rollOverAngle = 0.0f;
    v->cameraRoll = 0.0f;
  } else if (!VehicleCheckUpsideDown(v)) {
    VehicleSetBodySway(v, 20.0f);
  }
}

void StateKnocked(Vehicle* v, Vehicle* driver, float* distance, int32_t* event) {
  v->throttleCmd = 0;
  v->brakeCmd = 0;
  VehicleSteerWheels(v, v->steerOffset);
  if (v->waterDepthSum > DEEP_WATER) {
    if (!v->splashDone) {
      VehicleSplashOnce(v);
      VehicleSink(v);
      v->bouncesLeft = 1;
    }
    v->brakeCmd = 1;
    if (v->velocity < 60.0f) {
      VehicleSink(v);
      v->bouncesLeft = 1;
    }
  }
  VehicleTractionStep(driver, v, 9.0f);
  VehicleSnapshotOwn(v);
  v->pose.heading = v->heading;
  CamSet(&v->pose);

  const float thrown = v->velocity + v->knockImpulse;
  gKnockImpact = KnockImpact{v, thrown < 2.0f ? 2.0f : thrown};
  *distance = VehicleStepDistance(thrown);
  const float pitch = v->pose.pitch, heading = v->pose.heading;
  v->pose.pitch = 0.0f;
  if (v->knockDirX != 0.0f || v->knockDirZ != 0.0f)
    v->pose.heading = static_cast<float>(MathAngleTo(0.0f, 0.0f, v->knockDirZ, v->knockDirX));
  CamSetAdvance(&v->pose, *distance);
  v->pose.pitch = static_cast<float>(TruncI32(pitch));
  v->pose.heading = static_cast<float>(TruncI32(heading));
  v->pose.y += gRace.timeStep * v->knockLift;
  v->knockLift -= gRace.timeStep;

  if (VehicleRoofTouches(v)) {
    VehicleDriverPlay(v, DRIVER_REACTION, 15.0f);
    FxVehicleCrash(v);
    VehicleGroundAngles(v);
    FfbShockFull(v, static_cast<float>(MathAngleDiff(TruncI32(v->pose.roll), TruncI32(gVehicleStep.groundRoll))),
                 0.0f);
    if (thrown > 40.0f) {
      FxVehicleDebris(v);
      *event = SFX_EVENT_CRASH;
    } else if (Human(driver)) {
      *event = SFX_EVENT_LANDING;
    }
    VehicleRoofOnGround(v);
    v->bouncesLeft -= 1;
    v->knockLift = thrown * 30.0f * 0.004f;
    if (!(v->bouncesLeft >= 1 && thrown >= 70.0f)) EndKnock(v);
  } else if (v->bouncesLeft >= 3 && thrown >= 80.0f && v->landingSide == 0) {
    const float t = thrown > 200.0f ? 200.0f : thrown;
    v->pose.pitch -= gRace.timeStep * t * 0.285714f;
    const float spin = gRace.timeStep * t * 0.25f;
    v->pose.roll += v->spinSide == 1 ? spin : -spin;
  } else {
    if (v->landingSide == 0) {
      int32_t p = TruncI32(v->pose.pitch) & ANGLE_MASK;
      if (p >= 512) p = 1024 - p;
      v->landingSide = p >= 256 ? 2 : 1;
    }
    VehicleRoofOnGround(v);
    VehicleGroundAngles(v);
    const float pitchTarget = gVehicleStep.groundPitch + (v->landingSide == 2 ? 512.0f : 0.0f);
    TurnToGround(v, pitchTarget, gVehicleStep.groundRoll, gRace.timeStep * 0.12f);
  }

  if (v->knockImpulse > 0.0f) {
    v->knockImpulse -= gRace.timeStep * 2.0f;
    if (v->waterDepthSum > DEEP_WATER) v->knockImpulse -= gRace.timeStep * 2.0f;
  }
  if (*event == SFX_EVENT_NONE && gRace.tickPassed && Human(driver) && gRace.ticks % 8 == 0)
    *event = (RandNextAbs() & 1) ? SFX_EVENT_OBJECT_DOWN : SFX_EVENT_OBJECT_SOLID;
}

void StateRolledOver(Vehicle* v, Vehicle* driver, float* distance, float* steerTarget) {
  VehicleSteerWheels(v, v->steerOffset);
  v->throttleCmd = 0;
  v->brakeCmd = v->velocity > 200.0f ? 1 : 0;
  VehicleSlopeStall(v);
  VehicleTractionStep(driver, v, 9.0f);
  VehicleApplyPushes(v);
  *distance = VehicleAdvance(v);
  v->rollOverAngle += v->spinSide == 1 ? *distance * 4.0f : -*distance * 4.0f;
  if (v->waterDepthSum > DEEP_WATER) VehicleSink(v);
  VehicleGroundAngles(v);
  TurnToGround(v, gVehicleStep.groundPitch + 512.0f, -gVehicleStep.groundRoll, gRace.timeStepFifth);
  VehicleGroundPose(v);
  if (v->velocity < 1.0f) {
    v->pose.pitch = gVehicleStep.groundPitch;
    v->pose.roll = gVehicleStep.groundRoll;
    v->pose.y = TerrainHeightAt(v->pose.x, v->pose.z);
    VehicleCheckUpsideDown(v);
  }
  *steerTarget = static_cast<float>(RandNext() % 400);
}

void EndSlide(Vehicle* v, Vehicle* driver, int32_t* event) {
  v->heading = static_cast<float>(TruncI32(v->heading + static_cast<float>(TruncI32(v->slideAngle) & ANGLE_MASK)) &
                                  ANGLE_MASK);
  v->pose.heading = v->heading;
  v->state = VEHICLE_ON_GROUND;
  v->slideUndersteer = 0.0f;
  v->slideAngle = 0.0f;
  if (driver) driver->aiHeading = static_cast<uint16_t>(TruncI32(v->heading));
  SfxStopVehicleLoops(v);
  *event = SFX_EVENT_NONE;
}

void StateSliding(Vehicle* v, Vehicle* driver, float y0, float* distance, int32_t* event) {
  v->cameraLag = 20.0f;
  v->throttleCmd = 0;
  v->brakeCmd = 1;
  VehicleSteerWheels(v, v->steerInput + v->steerOffset);
  VehicleSlopeStall(v);
  VehicleTractionStep(driver, v, 8.0f);
  VehicleApplyPushes(v);
  *distance = VehicleAdvance(v);
  // A program-driven handbrake slide runs until the vehicle is slow or airborne.
  const bool programHandbrake = driver && v->state == VEHICLE_HANDBRAKE_SLIDE;
  const bool release = v->state == VEHICLE_HANDBRAKE_SLIDE && !programHandbrake && !v->handbrakeButton &&
                       std::fabs(v->slideAngle) > v->velocity * 4.0f + 80.0f;
  if (v->velocity > 50.0f) *event = SFX_EVENT_SLIDE;
  if (v->velocity <= 5.0f || release) {
    EndSlide(v, driver, event);
  } else {
    const float r = Clamp(v->velocity * 0.25f, 1.0f, 20.0f);
    if (std::fabs(v->slideAngle) < 20.0f) {
      if (v->wheelSteer < 0)
        v->slideAngle = -21.0f;
      else if (v->wheelSteer > 0)
        v->slideAngle = 21.0f;
    }
    VehicleSlideAdd(v, v->slideAngle < 0.0f ? -r : r, 0.0f);
    const int32_t angle = TruncI32(v->slideAngle);
    const bool counter = (v->wheelSteer < -256 && angle > 0) || (v->wheelSteer > 256 && angle < 0);
    if (counter && !programHandbrake) EndSlide(v, driver, event);
  }
  const float ground = TerrainHeightAt(v->pose.x, v->pose.z);
  if (v->waterDepthSum > DEEP_WATER) {
    SfxStopVehicleLoops(v);
    *event = SFX_EVENT_NONE;
    VehicleSink(v);
  }
  if (y0 - ground > 5.0f * gRace.timeStep && v->velocity > 50.0f) {
    SfxStopVehicleLoops(v);
    *event = SFX_EVENT_NONE;
    VehicleSetAirborne(v);
  } else {
    VehicleGroundFollow(v);
  }
}

float JumpFraction(const Vehicle* v) { return v->jumpDist / JUMP_LENGTH; }
int32_t JumpAngle(const Vehicle* v) { return TruncI32(v->jumpDist * 512.0f / JUMP_LENGTH); }

void StateJump(Vehicle* v, Vehicle* driver, float* distance, int32_t* event, float* steerTarget) {
  v->throttleCmd = 0;
  v->brakeCmd = 0;
  v->wheelSteer = 0;
  if (v->velocity < 120.0f) v->throttleCmd = 1;
  gVehicleStep.reverseFlip = 0;
  v->physParams[PHYS_ACCEL_FACTOR] = 2.0f;
  VehicleTractionStep(driver, v, 4.0f);
  const int32_t row = v->type >= 0 && v->type < VEHICLE_TYPES ? v->type : 0;
  v->physParams[PHYS_ACCEL_FACTOR] = VehicleTypeParams[row].accelFactor;
  VehicleSnapshotOwn(v);
  const float d = VehicleStepDistance(v->velocity);
  *distance = d;

  if (v->state == VEHICLE_JUMP_RUNUP) {
    v->pose.pitch += d * 0.333333f;
    v->pose.heading = v->heading;
    CamSet(&v->pose);
    v->jumpDist += d;
    v->pose.x = v->jumpStart[0] + (v->jumpTarget[0] - v->jumpStart[0]) * JumpFraction(v);
    v->pose.z = v->jumpStart[2];
    v->pose.y += MathCos(JumpAngle(v)) * 50.0f * gRace.timeStep;
    v->pose.roll = MathAngleTurn(TruncI32(v->pose.roll), 0, gRace.timeStepFifth);
    if (v->jumpDist > JUMP_RUNUP) {
      v->state = VEHICLE_JUMP_FLIGHT;
      v->jumpDist = 0.0f;
      v->jumpStart[0] = v->pose.x;
      v->jumpStart[1] = v->pose.y;
    }
    return;
  }

  if (v->waterDepthSum > DEEP_WATER) {
    VehicleSplashOnce(v);
    VehicleSink(v);
    v->brakeCmd = 1;
    if (v->velocity < 60.0f) VehicleSink(v);
  } else if (v->velocity < 120.0f) {
    v->throttleCmd = 1;
  }
  v->jumpDist += d;
  if (v->jumpDist > JUMP_LENGTH) VehicleSetAirborne(v);
  const float f = JumpFraction(v);
  v->pose.x = v->jumpStart[0] + (v->jumpTarget[0] - v->jumpStart[0]) * f;
  v->pose.y = v->jumpStart[1] + (v->jumpTarget[1] - v->jumpStart[1]) * f;
  if (v->jumpDist < JUMP_Z_FIXED) v->pose.z = v->jumpStart[2] + (v->jumpTarget[2] - v->jumpStart[2]) * f;
  v->pose.y += 300.0f * MathSin(JumpAngle(v));
  v->pose.pitch += d * 0.333333f;
  v->pose.roll = MathAngleTurn(TruncI32(v->pose.roll), 0, gRace.timeStepFifth);
  v->pose.heading = v->heading;
  CamSet(&v->pose);
  if (v->state != VEHICLE_JUMP_FLIGHT) return;
  const float ground = TerrainHeightAt(v->pose.x, v->pose.z);
  if (!(v->pose.y > ground)) VehicleLandScriptedJump(v, driver, ground, event, steerTarget);
}

void BounceOff(Vehicle* v, Vehicle* driver, int32_t a, int32_t rollTarget, int32_t pitchTarget, float traction,
               int32_t slideDivisor) {
  v->tractionOverride = traction;
  v->contactTime += gRace.timeStep;
  v->pose.heading = MathAngleTurn(TruncI32(v->pose.heading), TruncI32(v->pose.heading + static_cast<float>(a)),
                                  gRace.timeStepFifth);
  VehicleSlideImpulse(v, static_cast<float>(a / slideDivisor), static_cast<float>(a / (slideDivisor * 2)));
  v->heading = static_cast<float>(WrapHeading(v->pose.heading));
  if (driver) driver->aiHeading = static_cast<uint16_t>(TruncI32(v->heading));
  if (v->velocity > 40.0f && v->state != VEHICLE_ROLLED_OVER) {
    v->pose.roll = MathAngleTurn(TruncI32(v->pose.roll), rollTarget, gRace.timeStepFifth);
    v->pose.pitch = MathAngleTurn(TruncI32(v->pose.pitch), pitchTarget, gRace.timeStep * 0.5f);
    if (v->state == VEHICLE_ON_GROUND && v->velocity > 100.0f) VehicleSetAirborne(v);
  }
}

}  // namespace

void VehicleSetKnockImpulse(Vehicle* v, float impulse, float dx, float dz) {
  if (v->velocity + impulse > MAX_THROW) {
    impulse = MAX_THROW - v->velocity;
    if (impulse < 0.0f) impulse = 0.0f;
  }
  v->knockImpulse = impulse;
  v->knockDirX = dx;
  v->knockDirZ = dz;
}

void VehicleApplyHit(Vehicle* v, float impulse, float dx, float dz, uint8_t hard) {
  if (v->state == VEHICLE_RESETTING || v->hitProtect > 0.0f) return;
  VehicleSelectCarModel(v);
  VehicleSetKnockImpulse(v, impulse, dx, dz);
  FxVehicleCrash(v);
  if (v->velocity + v->knockImpulse > 40.0f && v->cameraDistance < 1500) FxVehicleDebris(v);
  v->knockLift = (v->velocity + v->knockImpulse) * 30.0f * 0.004f;
  v->state = VEHICLE_KNOCKED;
  if (gRace.networkGame) {
    // Every machine must throw the vehicle the same way: no random numbers.
    const int32_t h = TruncI32(v->heading);
    v->bouncesLeft = (h & 3) + 3;
    v->spinSide = h & 1;
  } else {
    v->bouncesLeft = (RandNextAbs() & 3) + 3;
  }
  if (!hard) v->knockLift *= 0.333333f;
  v->landingSide = 0;
  if (!gRace.networkGame) v->spinSide = RandNextAbs() & 1;
}

void VehicleSetBodySway(Vehicle* v, float amount) {
  if (v->swayAmount != 0.0f) return;
  const CarModel* model = gVehicleStep.carModel;
  if (!model) model = &gCarModels[v->type >= 0 && v->type < CAR_MODEL_ROWS ? v->type : 0];
  v->swayPhase = 0.0f;
  v->swayAmount = Clamp(model->sway * amount, -25.0f, 25.0f);
}

void VehicleStartLoopJump(Vehicle* v) {
  v->state = VEHICLE_JUMP_RUNUP;
  v->jumpStart[0] = v->pose.x;
  v->jumpStart[1] = v->pose.y;
  v->jumpStart[2] = v->pose.z;
  v->jumpDist = 0.0f;
  float tx, tz;
  if (v->pose.z > 5000.0f) {
    tx = v->pose.x - 350.0f;
    tz = v->pose.z - 420.0f;
  } else if (v->rampCode == 56) {
    tx = v->pose.x + 350.0f;
    tz = v->pose.z - 420.0f;
  } else {
    tx = v->pose.x + 350.0f;
    tz = v->pose.z + 420.0f;
  }
  v->jumpTarget[0] = tx;
  v->jumpTarget[1] = TerrainHeightAt(tx, tz);
  v->jumpTarget[2] = tz;
}

void VehicleStepSpecialState(Vehicle* v, Vehicle* driver, float y0, float* distance, int32_t* event,
                             float* steerTarget) {
  switch (v->state) {
    case VEHICLE_KNOCKED: StateKnocked(v, driver, distance, event); break;
    case VEHICLE_ROLLED_OVER: StateRolledOver(v, driver, distance, steerTarget); break;
    case VEHICLE_CONTACT_SLIDE:
    case VEHICLE_HANDBRAKE_SLIDE: StateSliding(v, driver, y0, distance, event); break;
    case VEHICLE_JUMP_RUNUP:
    case VEHICLE_JUMP_FLIGHT: StateJump(v, driver, distance, event, steerTarget); break;
    default:
      // No other state reaches here; a stray value stands still on its wheels.
      v->state = VEHICLE_ON_GROUND;
      *distance = 0.0f;
      break;
  }
}

void VehicleObjectContactPass(Vehicle* v, Vehicle* driver, int32_t* event, float* steerTarget) {
  const float impact = gKnockImpact.vehicle == v ? gKnockImpact.velocity : v->velocity;
  gKnockImpact = KnockImpact{};
  if (v->state == VEHICLE_RESETTING || v->state == VEHICLE_SINKING) return;
  gRace.currentPose = &v->pose;
  DrawSlot* object = ContactFindObject(v);
  if (!object) return;
  if (v->velocity > 40.0f) VehicleSetBodySway(v, v->velocity * 0.1f);
  VehicleDriverPlay(v, DRIVER_REACTION, 12.0f);
  const float side = ContactObjectSideOf(object, v->pose.x, v->pose.z, gVehicleStep.prevX, gVehicleStep.prevZ);
  const int32_t iv = TruncI32(impact);
  const int32_t strength = std::abs(iv) > 300 ? 300 : std::abs(iv);
  v->impactVelocity = static_cast<int16_t>(strength);
  const bool solid = FxObjectKindIs4Or5(object) != 0;
  if (!solid) ContactResolveAndSettle(v, 0.0f, 0.0f, 0);
  if (!(strength > 50 || solid)) return;
  *event = SFX_EVENT_OBJECT_DOWN;
  if (!DecorKnockObject(object, v)) {
    *event = SFX_EVENT_OBJECT_SOLID;
    if (strength > 100 && solid) {
      const uint8_t hard = strength > 220 ? 1 : 0;
      if (hard) FfbShockFull(v, 0.0f, 0.0f);
      VehicleApplyHit(v, 0.0f, 0.0f, 0.0f, hard);
    }
  }
  int32_t deflection;
  if (side < 0.0f) {
    *steerTarget = -400.0f - v->steerInput;
    deflection = -iv < -64 ? -64 : -iv;
  } else {
    *steerTarget = 400.0f - v->steerInput;
    deflection = iv > 64 ? 64 : iv;
  }
  const int32_t pitchTarget = side < 0.0f ? -deflection : deflection;
  if (solid)
    VehicleBounceOffBuilding(v, driver, deflection, 2 * deflection, pitchTarget);
  else
    VehicleBounceOffObject(v, driver, deflection, 2 * deflection, pitchTarget);
}

void VehicleBounceOffObject(Vehicle* v, Vehicle* driver, int32_t a, int32_t rollTarget, int32_t pitchTarget) {
  BounceOff(v, driver, a, rollTarget, pitchTarget, 8.0f, 8);
  CollideStuckCheck(v);
}

void VehicleBounceOffBuilding(Vehicle* v, Vehicle* driver, int32_t a, int32_t rollTarget, int32_t pitchTarget) {
  if (std::abs(a) < 10) a = a < 0 ? -10 : 10;
  BounceOff(v, driver, a, rollTarget, pitchTarget, 20.0f, 4);
  if (ContactResolveAndSettle(v, 0.0f, 0.0f, 1))
    CollideStuckCheck(v);
  else
    AiRespawnVehicle(driver, v, 0);
}
