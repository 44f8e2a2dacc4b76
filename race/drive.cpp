// The drive step: one simulation step of one vehicle. It reads the driver,
// runs the control update with the traction of the vehicle's state, moves the
// pose over the terrain, switches states, and then runs the checks every
// vehicle shares. The states 2, 6, 7, 8, 9 and 11 live with the knocks.
#include <cmath>

#include "engine3d/angle.h"
#include "engine3d/camera.h"
#include "engine3d/mathutil.h"
#include "engine3d/random.h"
#include "engine3d/terrain.h"
#include "net/net.h"
#include "platform/app.h"
#include "presentation/presentation.h"
#include "race/race.h"
#include "race/tracks.h"
#include "race/vehicle_steps.h"

namespace {

enum SoundEvent : int32_t {
  SFX_EVENT_NONE = 0,
  SFX_EVENT_LANDING = 3,
  SFX_EVENT_EXHAUST = 4,
  SFX_EVENT_CRASH = 5,
  SFX_EVENT_CONTACT = 16,
  SFX_EVENT_JUMP_LANDING = 50,
  SFX_EVENT_NOSE_UP = 57,
  SFX_EVENT_BOOST = 59,
};

constexpr float DEEP_WATER = 70.0f;
constexpr float RESET_MS = 2500.0f;
constexpr int32_t DRIVER_LOOK_BACK = 5;

// What one step carries between its parts.
struct Step {
  Vehicle* v;
  Vehicle* driver;  // null for a human
  bool netLocal;    // the network-local vehicle (or any vehicle outside a network race)
  float y0;
  float distance;  // of the advance, as the epilogue sees it
  float ground;
  int32_t event;
  float steerTarget;
  uint8_t slideSound;
};

float Clamp(float x, float lo, float hi) { return x < lo ? lo : x > hi ? hi : x; }

void SteerWheels(Vehicle* v, float input) {
  v->wheelSteer = static_cast<int16_t>(TruncI32(Clamp(input * 512.0f * 0.003125f, -512.0f, 512.0f)));
}

void Pushes(Step* s) {
  Vehicle* v = s->v;
  if (gRace.networkGame && !s->netLocal) return;
  if (v->pushVelocity1 > 0.0f) {
    v->pose.heading = v->pushHeading1;
    CamStepAlong(&v->pose, VehicleStepDistance(v->pushVelocity1));
  }
  if (v->pushVelocity2 > 0.0f) {
    v->pose.heading = v->pushHeading2;
    CamStepAlong(&v->pose, VehicleStepDistance(v->pushVelocity2));
  }
  if (gRace.networkGame) NetSnapshotCar();
}

void SnapshotOnly(const Step* s) {
  if (gRace.networkGame && s->netLocal) NetSnapshotCar();
}

void Advance(Step* s) {
  Vehicle* v = s->v;
  v->pose.heading = v->heading;
  CamSet(&v->pose);
  s->distance = VehicleStepDistance(v->velocity);
  CamSetAdvance(&v->pose, s->distance);
}

void GroundFollow(Vehicle* v) {
  const float ground = TerrainHeightAt(v->pose.x, v->pose.z);
  v->pose.y = ground;
  VehicleGroundAngles(v);
  const float rate = gRace.timeStepFifth;
  v->pose.pitch = MathAngleTurn(TruncI32(v->pose.pitch), TruncI32(gVehicleStep.groundPitch), rate);
  v->pose.roll = MathAngleTurn(TruncI32(v->pose.roll), TruncI32(gVehicleStep.groundRoll), rate);
}

void Splash(Vehicle* v) {
  if (v->splashDone) return;
  FxSpawnSplash(v);
  v->splashDone = 1;
}

// The respawns of the drive step do not keep the damage.
void Respawn(Step* s) { AiRespawnVehicle(s->driver, s->v, 0); }

void StateOnGround(Step* s) {
  Vehicle* v = s->v;
  FfbSetActive(v, 1);
  FfbUpdateEngineFromVehicle(v);
  SteerWheels(v, v->steerInput + v->steerOffset);
  VehicleSlopeStall(v);
  VehicleTractionStep(s->driver, v, 3.0f);
  Pushes(s);
  Advance(s);
  s->ground = TerrainHeightAt(v->pose.x, v->pose.z);
  if (v->waterDepthSum > DEEP_WATER) {
    if (v->velocity > 50.0f) Splash(v);
    VehicleSink(v);
  }
  const float h = s->y0 - s->ground;
  if (VehicleTakeOffTest(v, h)) {
    FfbTakeOff(v);
  } else if (VehicleCheckLoopJump(v)) {
    VehicleStartLoopJump(v);
  } else if (h > 10.0f) {
    VehicleSetAirborne(v);
  } else {
    GroundFollow(v);
    if (v->handbrakeButton && v->velocity > 1.0f) {
      v->state = VEHICLE_HANDBRAKE_SLIDE;
      if (std::fabs(v->slideAngle) < 50.0f) {
        if (v->steerInput < 0.0f)
          v->slideAngle = -1.0f;
        else if (v->steerInput > 0.0f)
          v->slideAngle = 1.0f;
        else
          v->slideAngle = (RandNext() & 1) ? 1.0f : -1.0f;
      }
    }
  }
  if (v->finished) return;
  if (v->wheelsLost < 2) FxVehicleLoseWheel(v, 0);
  if (v->wheelsLost >= 2) {
    if (v->velocity < 30.0f)
      Respawn(s);
    else
      v->state = VEHICLE_CRIPPLED;
  }
}

// The scripted jump lands by the same rule with its own limits and remark.
void Land(Step* s, int32_t maxPitch = 200, int32_t maxRoll = 160, bool scriptedJump = false) {
  Vehicle* v = s->v;
  FxVehicleLoseWheel(v, 1);
  s->steerTarget = static_cast<float>(RandNext() % 256);
  v->pose.y = s->ground;
  VehicleGroundAngles(v);
  const int32_t pitch = TruncI32(v->pose.pitch), roll = TruncI32(v->pose.roll);
  const int32_t d1 = MathAngleDiff(pitch, TruncI32(gVehicleStep.groundPitch));
  const int32_t d2 = MathAngleDiff(roll, TruncI32(gVehicleStep.groundRoll));
  bool bad = std::abs(d1) > maxPitch || std::abs(d2) > maxRoll;
  if (s->driver && s->driver->aiProgressGap < -4) bad = false;
  if (bad) {
    FfbShockFull(v, static_cast<float>(d2), 0.0f);
    VehicleApplyHit(v, 0.0f, 0.0f, 0.0f, 1);
    s->event = SFX_EVENT_CRASH;
    return;
  }
  VehicleGripLimit(v);
  FfbLandVehicle(v);
  v->state = VEHICLE_ON_GROUND;
  v->pose.pitch = MathAngleTurn(pitch, TruncI32(gVehicleStep.groundPitch), gRace.timeStepFifth);
  v->pose.roll = MathAngleTurn(roll, TruncI32(gVehicleStep.groundRoll), gRace.timeStepFifth);
  if (!s->driver)
    s->event = SFX_EVENT_LANDING;
  else if (scriptedJump)
    s->event = SFX_EVENT_JUMP_LANDING;
  const int32_t nose = TruncI32(v->pose.pitch) & ANGLE_MASK;
  if (v->velocity > 100.0f && nose >= 513 && nose <= 923 && SfxVehicleSlideTest(v)) s->event = SFX_EVENT_NOSE_UP;
  if (v->bodyPitch < -5.0f) VehicleSetBodySway(v, -v->bodyPitch);
}

void StateInAir(Step* s) {
  Vehicle* v = s->v;
  v->throttleCmd = 0;
  v->brakeCmd = 0;
  v->wheelSteer = 0;
  v->airTimer -= gRace.timeStep;
  if (v->waterDepthSum > DEEP_WATER) {
    Splash(v);
    VehicleSink(v);
    v->brakeCmd = 1;
    if (v->velocity < 60.0f) VehicleSink(v);
  } else if (v->velocity < 100.0f) {
    v->throttleCmd = 1;
  }
  VehicleTractionStep(s->driver, v, 4.0f);
  Pushes(s);
  Advance(s);
  s->ground = TerrainHeightAt(v->pose.x, v->pose.z);
  if (!(v->pose.y > s->ground)) {
    Land(s);
    return;
  }
  v->pose.pitch -= 6.0f * gRace.timeStep;
  if (v->pose.pitch < -400.0f) v->pose.pitch = -400.0f;
  const int32_t roll = TruncI32(v->pose.roll) & ANGLE_MASK;
  if (roll != 0) v->pose.roll += roll < 512 ? 4.0f * gRace.timeStep : -4.0f * gRace.timeStep;
}

void StateResetting(Step* s) {
  Vehicle* v = s->v;
  FfbSetActive(v, 0);
  SteerWheels(v, v->steerInput + v->steerOffset);
  v->throttleCmd = 0;
  v->brakeCmd = 0;
  VehicleTractionStep(s->driver, v, 3.0f);
  SnapshotOnly(s);
  v->pose.heading = v->heading;
  CamSet(&v->pose);
  GroundFollow(v);
  // Wall-clock time, whatever the frame rate.
  if (static_cast<float>(AppTimerElapsed(v->timerSlot)) > RESET_MS) {
    FfbSetActive(v, 1);
    v->state = VEHICLE_ON_GROUND;
    if (!s->driver && v->chaseCamera && v->resetCamera) *v->chaseCamera = *v->resetCamera;
    if (v->wheelsLost >= 2) {
      v->wheelsLost = 0;
      FfbUpdateWheelContact(v);
      for (WheelState& w : v->wheels) {
        w.attached = 1;
        w.bend = 0;
      }
    }
  }
  s->distance = 0.0f;
}

void StateCrippled(Step* s) {
  Vehicle* v = s->v;
  SteerWheels(v, v->steerOffset);
  v->throttleCmd = 0;
  v->brakeCmd = 1;
  VehicleSlopeStall(v);
  VehicleTractionStep(s->driver, v, 9.0f);
  Pushes(s);
  Advance(s);
  s->ground = TerrainHeightAt(v->pose.x, v->pose.z);
  if (v->waterDepthSum > DEEP_WATER) VehicleSink(v);
  const float h = s->y0 - s->ground;
  if (h > 5.0f * gRace.timeStep && v->velocity > 50.0f) {
    VehicleSetAirborne(v);
    FfbTakeOff(v);
  } else {
    GroundFollow(v);
  }
  if (!v->finished && v->wheelsLost >= 2 && v->velocity < 30.0f) Respawn(s);
  // The crippled vehicle swerves.
  s->steerTarget = static_cast<float>(RandNext() % 400);
}

void StateSinking(Step* s) {
  Vehicle* v = s->v;
  FfbSetActive(v, 0);
  SteerWheels(v, v->steerOffset);
  v->throttleCmd = 0;
  v->brakeCmd = 1;
  VehicleTractionStep(s->driver, v, 9.0f);
  SnapshotOnly(s);
  v->pose.heading = v->heading;
  CamSet(&v->pose);
  const float pitch = v->pose.pitch;
  v->pose.pitch = 0.0f;
  CamSetAdvance(&v->pose, VehicleStepDistance(v->velocity));
  v->pose.pitch = static_cast<float>(TruncI32(pitch));
  const float w = TerrainHeightAt(v->pose.x, v->pose.z) + 10.0f;
  if (v->pose.y > w) {
    const float r = Clamp((v->pose.y - w) * 0.05f, 0.5f, 3.0f);
    v->pose.y -= r * gRace.timeStep;
  } else {
    FfbSetActive(v, 1);
    Respawn(s);
  }
  s->distance = 0.0f;
}

void StateBlocked(Step* s) {
  Vehicle* v = s->v;
  v->throttleCmd = 0;
  v->brakeCmd = 1;
  v->velocity = 0.0f;
  Pushes(s);
  Advance(s);
  s->ground = TerrainHeightAt(v->pose.x, v->pose.z);
  if (v->pose.y > s->ground) v->pose.y -= 5.0f * gRace.timeStep;
  if (v->waterDepthSum > DEEP_WATER) VehicleSink(v);
  if (!(v->pose.y > s->ground)) GroundFollow(v);
  if (v->finished) return;
  v->stateTimer -= gRace.timeStep;
  if (v->stateTimer <= 0.0f) Respawn(s);
}

void StateBackingOff(Step* s) {
  Vehicle* v = s->v;
  v->throttleCmd = 0;
  v->brakeCmd = 1;
  v->wheelSteer = 300;
  if (s->driver && v->velocity < -10.0f)
    s->driver->aiHeading = static_cast<uint16_t>(TruncI32(static_cast<float>(s->driver->aiHeading) + 10.0f * gRace.timeStep));
  VehicleTractionStep(s->driver, v, 9.0f);
  Pushes(s);
  Advance(s);
  s->ground = TerrainHeightAt(v->pose.x, v->pose.z);
  if (v->waterDepthSum > DEEP_WATER) VehicleSink(v);
  if (!(v->pose.y > s->ground)) GroundFollow(v);
  v->stateTimer -= gRace.timeStep;
  if (v->stateTimer <= 0.0f) v->state = VEHICLE_ON_GROUND;
}

void Prologue(Step* s, uint8_t* boostAtStart) {
  Vehicle* v = s->v;
  VehicleSelectCarModel(v);
  v->iceLowSlip = gRace.trackIndex == TRACK_ICE && v->cellLevel < 2.0f ? 1 : 0;
  if (v->pushVelocity2 > 0.0f) v->pushVelocity2 -= gRace.timeStep * 10.0f;
  if (v->cameraLag > 0.0f) v->cameraLag -= gRace.timeStep * 0.5f;
  gVehicleStep.reverseFlip = 0;
  gVehicleStep.engineLoad = 0;
  v->exhaustSoundFlag = 0;
  if (v->ffBumpFrames) {
    FfbSkid(v);
    --v->ffBumpFrames;
  }
  *boostAtStart = v->boostButton;
  if (s->netLocal) {
    v->boostButton = 0;
    v->handbrakeButton = 0;
    v->exhaustFlame = 0;
  }
  v->waterDepthSum = 0.0f;
  for (const WheelState& w : v->wheels) v->waterDepthSum += w.waterDepth;
  if (v->waterDepthSum < 10.0f) v->splashDone = 0;
  gVehicleStep.prevX = v->prevPos[0] = v->pose.x;
  gVehicleStep.prevY = v->prevPos[1] = v->pose.y;
  gVehicleStep.prevZ = v->prevPos[2] = v->pose.z;
  if (!v->contactFlag) v->contactTime = 0.0f;
  v->contactFlag = 0;
  s->y0 = v->pose.y;
}

void FinishHuman(Vehicle* v) {
  VehicleBrakeToStop(v);
  v->boostButton = 0;
  if (!(v->velocity < 10.0f) || gRace.raceLeft) return;
  v->finishDelay -= gRace.timeStep;
  if (v->finishDelay > 0.0f) return;
  if (!gRace.networkGame) {
    gRace.raceFinished = 1;
    return;
  }
  if (!gVehicleStep.raceOverSent) {
    NetSendRaceOver();
    gVehicleStep.raceOverSent = 1;
  }
  // The count only grows: a race-over received twice must not leave the race without an end.
  if (NetSignalCounter(NET_SIGNAL_RACE_OVER) >= NetParticipantCount() - 1) gRace.raceFinished = 1;
}

void ReadDriver(Step* s) {
  Vehicle* v = s->v;
  Vehicle* driver = s->driver;
  if (!driver) {
    VehicleReadControls(v);
    if (v->finished || gRace.raceLeft) FinishHuman(v);
    return;
  }
  if (gRace.networkGame) {
    const int32_t index = NetPlayerIndex(v);
    gVehicleStep.engineLoad = v->throttleCmd;
    if (index >= 0 && gNetParticipants.stateReceived[index]) {
      AiRemoteAdvancePoint(driver);
      gNetParticipants.stateReceived[index] = 0;
      gNetParticipants.stateConsumed[index] = 1;
    } else if (v->state != VEHICLE_BLOCKED) {
      AiRemoteExtrapolate(driver, v, index);
    }
    driver->aiHeading = static_cast<uint16_t>(TruncI32(v->heading));
    const Vehicle* own = NetOwnRecord();
    driver->aiProgressGap = v->progress - (own ? own->progress : 0);
    return;
  }
  gVehicleStep.engineLoad = 1;
  if (v->state != VEHICLE_BLOCKED) AiDriveVehicle(driver, v);
}

void Commands(Step* s, uint8_t boostAtStart) {
  Vehicle* v = s->v;
  if (!gRace.raceStarted) {
    v->throttleCmd = 0;
    v->brakeCmd = 0;
  } else if (v->boostButton) {
    if (v->brakeCmd || v->state == VEHICLE_RESETTING || v->state == VEHICLE_SINKING || v->boostLeft <= 0.0f) {
      v->boostButton = 0;
    } else {
      v->boostLeft -= gRace.timeStep;
      if (v->boostLeft < 0.0f) v->boostLeft = 0.0f;
      v->throttleCmd = 1;
      if (!boostAtStart) {
        FxAttachVehicleEmitterDrive(v);
        s->event = SFX_EVENT_BOOST;
      }
    }
  }
  if (v->boostLeft == 0.0f && v->velocity > v->topVelocity) v->brakeCmd = 1;
}

void Dispatch(Step* s) {
  switch (s->v->state) {
    case VEHICLE_ON_GROUND: StateOnGround(s); break;
    case VEHICLE_IN_AIR: StateInAir(s); break;
    case VEHICLE_RESETTING: StateResetting(s); break;
    case VEHICLE_CRIPPLED: StateCrippled(s); break;
    case VEHICLE_SINKING: StateSinking(s); break;
    case VEHICLE_BLOCKED: StateBlocked(s); break;
    case VEHICLE_BACKING_OFF: StateBackingOff(s); break;
    default: VehicleStepSpecialState(s->v, s->driver, s->y0, &s->distance, &s->event, &s->steerTarget); break;
  }
}

void Epilogue(Step* s) {
  Vehicle* v = s->v;
  v->impactVelocity = 0;
  v->onMarkedCell = 1;
  if (v->state != VEHICLE_ON_GROUND) {
    v->rampCountdown = 0.0f;
  } else {
    if (v->rampCountdown > 0.0f) v->rampCountdown -= v->velocity * gRace.timeStep;
    if (std::fabs(v->velocity) > 20.0f) v->onMarkedCell = static_cast<uint8_t>(VehicleCheckGroundCell(v));
    if (!v->onMarkedCell && v->cameraDistance < 400) s->slideSound = 1;
    if (!s->driver) {
      if (v->exhaustSoundFlag) {
        s->event = SFX_EVENT_EXHAUST;
      } else if (s->event == SFX_EVENT_NONE && gRace.tickPassed && gRace.ticks % 4 == 0 && (RandNext() & 1) == 0) {
        const int32_t remark = RandNext() & 3;
        s->event = remark == 3 ? 0 : remark;
      }
    }
  }
  v->tractionOverride = 0.0f;
  if (s->distance != 0.0f && (gRace.networkGame || v->cameraDistance < 3000))
    VehicleObjectContactPass(v, s->driver, &s->event, &s->steerTarget);
  v->steerOffset += (s->steerTarget - v->steerOffset) * gRace.timeStepFourFifths;
  if (std::fabs(v->steerOffset) < 4.0f) v->steerOffset = 0.0f;
  VehicleCheckWorldBounds(s->driver, v);
  RaceCheckZone(v, s->driver);
  int32_t paint = TruncI32(8.0f - v->cellLevel);
  if (paint < v->paintIndexMin) paint = v->paintIndexMin;
  if (paint > 7) paint = 7;
  v->paintIndex = paint;
  v->physParams[PHYS_SURFACE_GRIP] = v->cellLevel * 0.1f + v->baseSurfaceGrip;
  if (v->cameraDistance < 1000 && v->contactSoundFlag) s->event = SFX_EVENT_CONTACT;
  v->contactSoundFlag = 0;
  SfxUpdateVehicle(v, s->driver, s->event, s->slideSound);
  if (v->hitProtect > 0.0f) v->hitProtect -= gRace.timeStep;
  if (v->velocity < 0.0f) VehicleDriverPlay(v, DRIVER_LOOK_BACK, 15.0f);
  VehicleDriverSteer(v, v->steerInput < 0.0f ? 1 : 2, std::fabs(v->steerInput));
  if (!s->driver) AiUpdateGuide(v);
  if (s->driver) VehicleWatchStuck(s->driver, v);
}

void FlipDirection(Vehicle* v, float* traction, bool withTraction) {
  if (v->velocity < 0.0f) {
    const bool braking = v->brakeCmd != 0;
    v->throttleCmd = 1;
    v->brakeCmd = 0;
    if (v->velocity > -4.0f && braking) v->ffBumpFrames = 5;
  } else {
    const bool accelerating = v->throttleCmd != 0;
    v->throttleCmd = 0;
    v->brakeCmd = 1;
    if (withTraction) *traction = 4.0f;
    if (v->velocity < 4.0f && accelerating) v->ffBumpFrames = 5;
  }
}

}  // namespace

float VehicleStepDistance(float velocity) { return velocity * 1000.0f * 10.0f / (gRace.frameRate * 3600.0f); }

namespace {
Step PartStep(Vehicle* v, Vehicle* driver) {
  Step s{};
  s.v = v;
  s.driver = driver;
  s.netLocal = !gRace.networkGame || v == NetOwnRecord();
  return s;
}
}  // namespace

void VehicleSteerWheels(Vehicle* v, float input) { SteerWheels(v, input); }

void VehicleApplyPushes(Vehicle* v) {
  Step s = PartStep(v, nullptr);
  Pushes(&s);
}

void VehicleSnapshotOwn(Vehicle* v) {
  const Step s = PartStep(v, nullptr);
  SnapshotOnly(&s);
}

float VehicleAdvance(Vehicle* v) {
  Step s = PartStep(v, nullptr);
  Advance(&s);
  return s.distance;
}

void VehicleGroundFollow(Vehicle* v) { GroundFollow(v); }
void VehicleSplashOnce(Vehicle* v) { Splash(v); }

void VehicleLandScriptedJump(Vehicle* v, Vehicle* driver, float ground, int32_t* event, float* steerTarget) {
  Step s = PartStep(v, driver);
  s.ground = ground;
  s.event = *event;
  s.steerTarget = *steerTarget;
  Land(&s, 150, 200, true);
  *event = s.event;
  *steerTarget = s.steerTarget;
}

void VehicleDriveStep(Vehicle* v, Vehicle* driver) {
  Step s{};
  s.v = v;
  s.driver = driver;
  s.netLocal = !gRace.networkGame || v == NetOwnRecord();
  uint8_t boostAtStart = 0;
  Prologue(&s, &boostAtStart);
  ReadDriver(&s);
  Commands(&s, boostAtStart);
  Dispatch(&s);
  Epilogue(&s);
}

void VehicleTractionStep(Vehicle* driver, Vehicle* v, float traction) {
  if (gRace.networkGame && v != NetOwnRecord()) return;
  if (gVehicleStep.reverseFlip) {
    v->reverseTimer -= gRace.timeStep;
    if (v->reverseTimer <= 0.0f) {
      v->reverseTimer = -1.0f;
      FlipDirection(v, &traction, true);
    }
  }
  if (v->iceLowSlip) traction *= 0.4f;
  if (v->tractionOverride != 0.0f) {
    traction = v->tractionOverride;
    FlipDirection(v, &traction, false);
  }
  v->physParams[PHYS_TRACTION] = traction;
  if (v->finished) v->physParams[PHYS_TRACTION] = gRace.trackIndex == TRACK_ICE ? 2.0f : 6.0f;
  VehicleControlUpdate(v);
  if (driver) v->heading = static_cast<float>(driver->aiHeading);
}

int32_t VehicleTakeOffTest(Vehicle* v, float h) {
  if (v->state != VEHICLE_ON_GROUND || !(v->velocity > 50.0f)) return 0;
  const float rise = v->airTimer > 0.0f ? 40.0f * gRace.timeStep : 5.0f * gRace.timeStep;
  if (!(h > rise)) return 0;
  VehicleSetAirborne(v);
  return 1;
}

void VehicleWatchStuck(Vehicle* driver, Vehicle* v) {
  if (gRace.networkGame) return;
  if (v->finished) {
    driver->stuckTimer = 0.0f;
    return;
  }
  if (driver->stuckTimer == 0.0f) {
    driver->stuckRefX = v->pose.x;
    driver->stuckRefZ = v->pose.z;
    driver->stuckTimer = gRace.timeStep;
    return;
  }
  const int32_t st = v->state;
  if (st == VEHICLE_RESETTING || st == VEHICLE_SINKING || st == VEHICLE_BLOCKED || st == VEHICLE_BACKING_OFF) {
    driver->stuckTimer = 0.0f;
    return;
  }
  if (!gRace.raceStarted) return;
  driver->stuckTimer += gRace.timeStep;
  if (!(driver->stuckTimer > 100.0f)) return;
  driver->stuckTimer = 0.0f;
  if (std::fabs(v->pose.x - driver->stuckRefX) < 20.0f && std::fabs(v->pose.z - driver->stuckRefZ) < 20.0f)
    AiRespawnVehicle(driver, v, 0);
}
