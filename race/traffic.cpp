// The highway's traffic: 250 vehicle records on their own looping paths.
// Near a player an object runs a reduced copy of the drive step (its own
// states, no water, no driver, no race checks); far from every player it
// only idles along its path.
#include "race/traffic.h"

#include <cmath>
#include <cstdlib>

#include "engine3d/angle.h"
#include "engine3d/camera.h"
#include "engine3d/mathutil.h"
#include "engine3d/random.h"
#include "engine3d/terrain.h"
#include "net/net.h"
#include "presentation/presentation.h"
#include "presentation/sfx.h"
#include "race/collide.h"
#include "race/race.h"
#include "race/tracks.h"

namespace {

constexpr int32_t SFX_ROW_KLAXON = 46;
constexpr int32_t SFX_ROW_POLICE = 49;
constexpr float POINT_REACHED = 200.0f;
constexpr float STEER_MAX = 320.0f;
constexpr float DRIVER_TURN_RATE = 0.12f;
constexpr int32_t INACTIVE_DISTANCE = 2000;
constexpr int32_t CONTACT_DISTANCE = 1500;
constexpr int32_t SOUND_DISTANCE = 1000;
constexpr int32_t HORN_DISTANCE = 800;
constexpr int32_t SPARKS_DISTANCE = 999;
constexpr int32_t UPRIGHT_DISTANCE = 1001;
constexpr int32_t KNOCK_LANDING_DISTANCE = 1280;
constexpr float WHEEL_TRAVEL = 5.0f;

float Clamp(float x, float lo, float hi) { return x < lo ? lo : x > hi ? hi : x; }

int32_t RoundI32(float x) { return std::isfinite(x) ? static_cast<int32_t>(std::lrint(x)) : 0; }

TrafficType* TypeOf(const Vehicle* v) { return &gTrafficTypes[v->type & (TRAFFIC_TYPES - 1)]; }

const Trajectory& PathOf(const Vehicle* v) { return gObjectPaths[v->aiSlot & (TRAJ_SLOTS - 1)]; }

int32_t IndexOf(const Vehicle* v) { return static_cast<int32_t>(v - gTrackObjects); }

bool NearTo(const Camera& pose, const Vehicle* reference) {
  if (!reference) return false;
  return std::fabs(pose.x - reference->pose.x) + std::fabs(pose.z - reference->pose.z) < static_cast<float>(TRAFFIC_NEAR);
}

void TurnToGround(Vehicle* v, float pitchTarget, float rollTarget, float rate) {
  v->pose.pitch = MathAngleTurn(TruncI32(v->pose.pitch), TruncI32(pitchTarget), rate);
  v->pose.roll = MathAngleTurn(TruncI32(v->pose.roll), TruncI32(rollTarget), rate);
}

// A pending contact push moves the object along the push's own direction.
void ApplyContactPush(Vehicle* v) {
  if (!(v->pushVelocity2 > 0.0f)) return;
  v->pose.heading = v->pushHeading2;
  CamStepAlong(&v->pose, VehicleStepDistance(v->pushVelocity2));
}

// Put back on its path after standing blocked; it drives on from there.
void Replace(Vehicle* v) {
  TrackObjPlaceOnPath(v, IndexOf(v));
  v->pose.y = TerrainHeightAt(v->pose.x, v->pose.z);
  v->heading = static_cast<float>(v->aiHeading);
  v->pose.heading = v->heading;
  v->velocity = 0.0f;
  v->state = VEHICLE_ON_GROUND;
}

float StateOnGround(Vehicle* driver, Vehicle* v, float y0) {
  VehicleSteerWheels(v, v->steerInput);
  TrackObjSetControls(driver, v, 3.0f);
  ApplyContactPush(v);
  const float distance = VehicleAdvance(v);
  const float ground = TerrainHeightAt(v->pose.x, v->pose.z);
  const float h = y0 - ground;
  if (VehicleTakeOffTest(v, h)) return distance;
  if (h > 10.0f)
    VehicleSetAirborne(v);
  else
    VehicleGroundFollow(v);
  return distance;
}

float StateInAir(Vehicle* driver, Vehicle* v) {
  v->throttleCmd = 0;
  v->brakeCmd = 0;
  v->wheelSteer = 0;
  v->airTimer -= gRace.timeStep;
  if (v->velocity < 100.0f) v->throttleCmd = 1;
  TrackObjSetControls(driver, v, 4.0f);
  const float distance = VehicleAdvance(v);
  const float ground = TerrainHeightAt(v->pose.x, v->pose.z);
  if (v->pose.y > ground) {
    v->pose.pitch -= 6.0f * gRace.timeStep;
    if (v->pose.pitch < -400.0f) v->pose.pitch = -400.0f;
    // Back toward level, unlike a racer's roll in the air.
    const int32_t roll = TruncI32(v->pose.roll) & ANGLE_MASK;
    if (roll != 0) v->pose.roll += roll < 512 ? -4.0f * gRace.timeStep : 4.0f * gRace.timeStep;
    return distance;
  }
  v->pose.y = ground;
  VehicleGroundAngles(v);
  const int32_t pitch = TruncI32(v->pose.pitch), roll = TruncI32(v->pose.roll);
  const int32_t d1 = MathAngleDiff(pitch, TruncI32(gVehicleStep.groundPitch));
  const int32_t d2 = MathAngleDiff(roll, TruncI32(gVehicleStep.groundRoll));
  if ((std::abs(d1) > 200 || std::abs(d2) > 160) && v->cameraDistance < KNOCK_LANDING_DISTANCE) {
    TrackObjKnock(v, 0.0f, 0.0f, 0.0f, 1);
    return distance;
  }
  v->state = VEHICLE_ON_GROUND;
  TurnToGround(v, gVehicleStep.groundPitch, gVehicleStep.groundRoll, gRace.timeStepFifth);
  return distance;
}

float StateKnocked(Vehicle* driver, Vehicle* v) {
  v->throttleCmd = 0;
  v->brakeCmd = 0;
  TrackObjSetControls(driver, v, 9.0f);
  v->pose.heading = v->heading;
  CamSet(&v->pose);
  const float thrown = v->velocity + v->knockImpulse;
  const float distance = VehicleStepDistance(thrown);
  const float pitch = v->pose.pitch, heading = v->pose.heading;
  v->pose.pitch = 0.0f;
  if (v->knockDirX != 0.0f || v->knockDirZ != 0.0f)
    v->pose.heading = static_cast<float>(MathAngleTo(0.0f, 0.0f, v->knockDirZ, v->knockDirX));
  CamSetAdvance(&v->pose, distance);
  v->pose.pitch = static_cast<float>(TruncI32(pitch));
  v->pose.heading = static_cast<float>(TruncI32(heading));
  v->pose.y += gRace.timeStep * v->knockLift;
  v->knockLift -= gRace.timeStep;
  const float ground = TerrainHeightAt(v->pose.x, v->pose.z);
  if (v->pose.y < ground) {
    v->pose.y = ground;
    v->bouncesLeft -= 1;
    TrackObjSparks(v);
    v->knockLift = thrown * 30.0f * 0.004f;
    if (v->bouncesLeft < 1 || thrown < 70.0f) {
      int32_t roll = TruncI32(v->pose.roll) & ANGLE_MASK;
      if (roll > 512) roll = 1024 - roll;
      v->knockLift = 0.0f;
      if (roll >= 256) {
        v->state = VEHICLE_ROLLED_OVER;
        v->rollOverAngle = 0.0f;
      } else {
        v->state = VEHICLE_ON_GROUND;
      }
    }
  } else if (v->bouncesLeft > 0 && thrown >= 80.0f) {
    const float t = thrown > 200.0f ? 200.0f : thrown;
    v->pose.pitch -= gRace.timeStep * t * 0.285714f;
    const float spin = gRace.timeStep * t * 0.25f;
    v->pose.roll += v->spinSide == 1 ? spin : -spin;
  } else {
    VehicleGroundAngles(v);
    int32_t roll = TruncI32(v->pose.roll) & ANGLE_MASK;
    if (roll > 512) roll = 1024 - roll;
    const float rollTarget = gVehicleStep.groundRoll + (roll >= 256 ? 512.0f : 0.0f);
    TurnToGround(v, gVehicleStep.groundPitch, rollTarget, gRace.timeStep * 0.12f);
  }
  if (v->knockImpulse > 0.0f) v->knockImpulse -= gRace.timeStep * 2.0f;
  return distance;
}

float StateOnRoof(Vehicle* driver, Vehicle* v) {
  v->throttleCmd = 0;
  v->brakeCmd = v->velocity > 200.0f ? 1 : 0;
  TrackObjSetControls(driver, v, 9.0f);
  ApplyContactPush(v);
  const float distance = VehicleAdvance(v);
  v->rollOverAngle += v->spinSide == 1 ? distance * 4.0f : -distance * 4.0f;
  VehicleGroundAngles(v);
  v->pose.y = TerrainHeightAt(v->pose.x, v->pose.z);
  TurnToGround(v, gVehicleStep.groundPitch, gVehicleStep.groundRoll + 512.0f, gRace.timeStepFifth);
  // Turned back onto its wheels only where nobody sees it happen.
  if (v->velocity < 1.0f && v->cameraDistance >= UPRIGHT_DISTANCE) {
    v->pose.pitch = gVehicleStep.groundPitch;
    v->pose.roll = gVehicleStep.groundRoll;
    v->rollOverAngle = 0.0f;
    v->state = VEHICLE_ON_GROUND;
  }
  return distance;
}

float StateSpinOut(Vehicle* driver, Vehicle* v) {
  v->throttleCmd = 0;
  v->brakeCmd = 1;
  TrackObjSetControls(driver, v, 6.0f);
  v->cameraLag = 20.0f;
  const float distance = VehicleAdvance(v);
  if (v->velocity > 20.0f) {
    const float r = Clamp(v->velocity * 0.25f, 1.0f, 20.0f);
    VehicleSlideAdd(v, v->slideAngle < 0.0f ? -r : r, 0.0f);
  } else {
    v->heading = static_cast<float>(((RoundI32(v->slideAngle) & ANGLE_MASK) + TruncI32(v->heading)) & ANGLE_MASK);
    v->pose.heading = v->heading;
    v->slideAngle = 0.0f;
    v->slideUndersteer = 0.0f;
    v->state = VEHICLE_ON_GROUND;
    driver->aiHeading = static_cast<uint16_t>(TruncI32(v->heading));
  }
  VehicleGroundFollow(v);
  return distance;
}

float StateStopped(Vehicle* v) {
  v->throttleCmd = 0;
  v->brakeCmd = 1;
  v->velocity = 0.0f;
  if (gRace.tickPassed && (RandNext() & 31) != 0) Replace(v);
  return 0.0f;
}

float StateBackingOff(Vehicle* driver, Vehicle* v) {
  TrackObjSetControls(driver, v, 9.0f);
  const float distance = VehicleAdvance(v);
  VehicleGroundFollow(v);
  v->stateTimer -= gRace.timeStep;
  if (v->stateTimer <= 0.0f) v->state = VEHICLE_ON_GROUND;
  return distance;
}

// The placed object it ran into: the object reacts, a hard hit throws debris
// or knocks the traffic object, and the body bounces off, however slow.
void HitPlacedObject(Vehicle* driver, Vehicle* v) {
  gRace.currentPose = &v->pose;
  DrawSlot* object = ContactFindObject(v);
  if (!object) return;
  const int32_t iv = TruncI32(v->velocity);
  const int32_t strength = std::abs(iv) > 300 ? 300 : std::abs(iv);
  v->impactVelocity = static_cast<int16_t>(strength);
  const bool building = FxObjectKindIs4Or5(object) != 0;
  if (!building) FxVehicleCrash(v);
  // Only the object's reaction waits for a strength above 50; the body bounces off at any.
  if ((strength > 50 || building) && !DecorKnockObject(object, v)) {
    if (strength > 220)
      TrackObjKnock(v, 0.0f, 0.0f, 0.0f, 1);
    else if (strength > 200)
      TrackObjSparks(v);
  }
  const float side = ContactObjectSideOf(object, v->pose.x, v->pose.z, gVehicleStep.prevX, gVehicleStep.prevZ);
  int32_t deflection;
  if (side < 0.0f)
    deflection = -iv < -64 ? -64 : -iv;
  else
    deflection = iv > 64 ? 64 : iv;
  // A traffic object never respawns on the race's lines, so a building
  // turns it as any object does.
  VehicleBounceOffObject(v, driver, deflection, 2 * deflection, side < 0.0f ? -deflection : deflection);
}

void Sounds(Vehicle* v) {
  if (v->cameraDistance >= SOUND_DISTANCE) return;
  TrackObjState& s = gTrackObjState;
  if (s.engineCopies < TRAFFIC_ENGINE_COPIES) SfxUpdateTrafficVehicle(v, s.engineCopies++);
  if (!TypeOf(v)->siren || gRace.viewIndex || s.sirensStarted > 0) return;
  s.sirenSlot = SfxLoopEffectAt(SFX_ROW_POLICE, v->pose.x, v->pose.y, v->pose.z);
  ++s.sirensStarted;
}

}  // namespace

int32_t TrackObjNearPlayer() {
  const Camera& pose = *gRace.currentPose;
  if (gRace.networkGame) return NearTo(pose, NetOwnRecord());
  if (gRace.noHumanMode) return NearTo(pose, &gVehicleRecords[VEHICLE_EXTRA_CAR]);
  if (NearTo(pose, gPlayer1Vehicle)) return 1;
  return gRace.playersMode == 1 && NearTo(pose, gPlayer2Vehicle);
}

void TrackObjFollowPath(Vehicle* driver, Vehicle* v) {
  const Trajectory& t = PathOf(driver);
  if (t.count > 0) {
    if (driver->aiPoint < 0 || driver->aiPoint >= t.count) driver->aiPoint = 0;
    const TrajPoint* p = &t.points[driver->aiPoint];
    if (std::fabs(v->pose.x - p->x) < POINT_REACHED && std::fabs(v->pose.z - p->z) < POINT_REACHED) {
      driver->aiPoint = driver->aiPoint + 1 < t.count ? driver->aiPoint + 1 : 0;
      p = &t.points[driver->aiPoint];
    }
    if (v->state == VEHICLE_ON_GROUND) {
      const int32_t target = MathAngleTo(v->pose.z, v->pose.x, p->z, p->x);
      const int32_t difference = MathAngleDiff(driver->aiHeading, target);
      v->steerInput = Clamp(static_cast<float>(difference * 320 / 80), -STEER_MAX, STEER_MAX);
      driver->aiHeading = MathAngleTurn(driver->aiHeading, target, DRIVER_TURN_RATE * gRace.timeStep);
    }
  }
  v->throttleCmd = 1;
  v->brakeCmd = 0;
}

void TrackObjSetControls(Vehicle* driver, Vehicle* v, float traction) {
  if (v->tractionOverride != 0.0f) {
    traction = v->tractionOverride;
    const bool backwards = v->velocity < 0.0f;
    v->throttleCmd = backwards ? 1 : 0;
    v->brakeCmd = backwards ? 0 : 1;
  }
  v->physParams[PHYS_TRACTION] = traction;
  const int32_t st = v->state;
  if (gTrackObjState.crowded && (st == VEHICLE_ON_GROUND || st == VEHICLE_ROLLED_OVER || st == VEHICLE_BACKING_OFF)) {
    v->throttleCmd = 0;
    v->brakeCmd = 0;
  }
  VehicleControlUpdate(v);
  v->heading = static_cast<float>(driver->aiHeading);
}

void TrackObjIdle(Vehicle* driver, Vehicle* v) {
  if (v->state == VEHICLE_BLOCKED || v->state == VEHICLE_BACKING_OFF) v->state = VEHICLE_ON_GROUND;
  VehicleSelectCarModel(v);
  TrackObjFollowPath(driver, v);
  VehicleSteerWheels(v, v->steerInput);
  TrackObjSetControls(driver, v, 3.0f);
  VehicleAdvance(v);
  v->pose.y = TerrainHeightAt(v->pose.x, v->pose.z);
}

void TrackObjUpdate(Vehicle* driver, Vehicle* v) {
  VehicleSelectCarModel(v);
  v->boostButton = 0;
  v->exhaustFlame = 0;
  if (v->pushVelocity2 > 0.0f) v->pushVelocity2 -= gRace.timeStep * 10.0f;
  if (v->cameraLag > 0.0f) v->cameraLag -= gRace.timeStep * 0.5f;
  gVehicleStep.prevX = v->prevPos[0] = v->pose.x;
  gVehicleStep.prevY = v->prevPos[1] = v->pose.y;
  gVehicleStep.prevZ = v->prevPos[2] = v->pose.z;
  if (!v->contactFlag) v->contactTime = 0.0f;
  v->contactFlag = 0;
  const float y0 = v->pose.y;
  if (v->state != VEHICLE_BLOCKED) TrackObjFollowPath(driver, v);
  float distance = 0.0f;
  switch (v->state) {
    case VEHICLE_ON_GROUND:
    case VEHICLE_RESETTING:
    case VEHICLE_CRIPPLED:
    case VEHICLE_SINKING:
    case VEHICLE_JUMP_FLIGHT:
    case VEHICLE_JUMP_RUNUP:
    case VEHICLE_HANDBRAKE_SLIDE: distance = StateOnGround(driver, v, y0); break;
    case VEHICLE_IN_AIR: distance = StateInAir(driver, v); break;
    case VEHICLE_KNOCKED: distance = StateKnocked(driver, v); break;
    case VEHICLE_ROLLED_OVER: distance = StateOnRoof(driver, v); break;
    case VEHICLE_CONTACT_SLIDE: distance = StateSpinOut(driver, v); break;
    case VEHICLE_BLOCKED: distance = StateStopped(v); break;
    case VEHICLE_BACKING_OFF: distance = StateBackingOff(driver, v); break;
    default: break;
  }
  v->impactVelocity = 0;
  if (distance != 0.0f && v->cameraDistance < CONTACT_DISTANCE) HitPlacedObject(driver, v);
  v->tractionOverride = 0.0f;
  gRace.currentPose = &v->pose;
  TrackObjClampToWorld();
  Sounds(v);
}

void TrackObjTrafficStep() {
  TrackObjState& s = gTrackObjState;
  s.sirensStarted = 0;
  s.horns = 0;
  s.engineCopies = 0;
  if (!gRace.trajectoriesLoaded || !s.placed) {
    s.activeCount = 0;
    s.crowded = 0;
  } else {
    int32_t active = 0;
    for (Vehicle& v : gTrackObjects) {
      gRace.currentPose = &v.pose;
      if (TrackObjNearPlayer()) {
        TrackObjUpdate(&v, &v);
        v.objectActive = 1;
        ++active;
      } else {
        if (v.state == VEHICLE_ON_GROUND) TrackObjIdle(&v, &v);
        v.objectActive = 0;
      }
    }
    s.activeCount = active;
    s.crowded = active > TRAFFIC_CROWD ? 1 : 0;
  }
  if (s.sirensStarted == 0 && s.sirenSlot != 0) {
    SfxStopSlot(s.sirenSlot);
    s.sirenSlot = 0;
  }
}

void TrackObjKnock(Vehicle* v, float impulse, float dx, float dz, uint8_t keepVelocity) {
  VehicleSelectCarModel(v);
  VehicleSetKnockImpulse(v, impulse, dx, dz);
  TrackObjSparks(v);
  v->state = VEHICLE_KNOCKED;
  v->knockLift = (v->velocity + v->knockImpulse) * 30.0f * 0.004f;
  if (!keepVelocity) v->knockLift *= 0.333333f;
  v->bouncesLeft = (RandNextAbs() & 3) + 3;
  v->landingSide = 0;
  v->spinSide = RandNextAbs() & 1;
}

void TrackObjSparks(Vehicle* v) {
  if (v->cameraDistance > SPARKS_DISTANCE) return;
  const int32_t n = (RandNextAbs() & 7) + 10;
  for (int32_t i = 0; i < n; ++i) {
    const int32_t dx = RandNext() % 30;
    const int32_t dy = RandNext() % 10 + 10;
    const int32_t dz = RandNextAbs() % 30;
    FxSpawnSmokePuff(v->pose.x + static_cast<float>(dx), v->pose.y + static_cast<float>(dy),
                     v->pose.z + static_cast<float>(dz), 20.0f);
  }
}

void TrackObjHorn(Vehicle* v) {
  TrackObjState& s = gTrackObjState;
  if (v->cameraDistance >= HORN_DISTANCE || s.horns >= TRAFFIC_HORNS) return;
  SfxPlayEffectCopyAt(SFX_ROW_KLAXON, v->pose.x, v->pose.y, v->pose.z, s.horns);
  ++s.horns;
}

void TrackObjClampToWorld() {
  Camera& p = *gRace.currentPose;
  p.x = Clamp(p.x, 100.0f, 15500.0f);
  p.z = Clamp(p.z, 100.0f, 7500.0f);
}

void TrackObjStepAll() {
  for (Vehicle& v : gTrackObjects) {
    if (gTrackObjState.placed && v.objectActive)
      TrackObjStepPose(&v);
    else
      v.cameraDistance = INACTIVE_DISTANCE;
  }
}

void TrackObjPlaceWheel(float a, float b, float c, Vehicle* v, int32_t index) {
  WheelState& w = v->wheels[index];
  const float* m = v->bodyMatrix;
  const float mount[3] = {v->pose.x + m[0] * a + m[1] * b + m[2] * c, v->pose.y + m[3] * a + m[4] * b + m[5] * c,
                          v->pose.z + m[6] * a + m[7] * b + m[8] * c};
  const float ground = TerrainHeightAt(mount[0], mount[2]);
  w.contactX = mount[0];
  w.contactZ = mount[2];
  w.groundHeight = ground;
  const float k = Clamp(mount[1] - ground - b, -WHEEL_TRAVEL, WHEEL_TRAVEL);
  w.suspension += (k - w.suspension) * gRace.timeStepFifth;
  const float hang = b - w.suspension;
  w.centre[0] = v->pose.x + m[0] * a + m[1] * hang + m[2] * c;
  w.centre[1] = v->pose.y + m[3] * a + m[4] * hang + m[5] * c;
  w.centre[2] = v->pose.z + m[6] * a + m[7] * hang + m[8] * c;
}

void TrackObjStepPose(Vehicle* v) {
  const TrafficType* t = TypeOf(v);
  int32_t yaw = TruncI32(v->heading + v->slideAngle);
  if (v->state == VEHICLE_ROLLED_OVER) yaw = TruncI32(static_cast<float>(yaw) + v->rollOverAngle);
  uint16_t* frame = v->frameAngles;
  frame[0] = static_cast<uint16_t>(TruncI32(v->pose.pitch));
  frame[1] = static_cast<uint16_t>(-yaw);
  frame[2] = static_cast<uint16_t>(TruncI32(v->pose.roll + 512.0f));
  MatFromAngles(frame[0], frame[1], frame[2], v->bodyMatrix);
  if (v->wheelSpin || v->ffBumpFrames)
    v->wheelTurnFront -= v->engineRevsHeard * 0.015625f * 128.0f * gRace.timeStep;
  else
    v->wheelTurnFront -= v->velocity * gRace.timeStep;
  const float* g = t->geometry;
  TrackObjPlaceWheel(-g[0], g[1], g[2] - 2.0f, v, WHEEL_FRONT_LEFT);
  TrackObjPlaceWheel(g[0], g[1], g[2] - 2.0f, v, WHEEL_FRONT_RIGHT);
  TrackObjPlaceWheel(-g[3], g[4], g[5] - 2.0f, v, WHEEL_REAR_LEFT);
  TrackObjPlaceWheel(g[3], g[4], g[5] - 2.0f, v, WHEEL_REAR_RIGHT);
  const WheelState* w = v->wheels;
  const float pairs = 0.5f * (w[0].suspension + w[1].suspension) - 0.5f * (w[2].suspension + w[3].suspension);
  const float sides = 0.5f * (w[0].suspension + w[2].suspension) - 0.5f * (w[1].suspension + w[3].suspension);
  v->suspensionPitch = static_cast<int16_t>(TruncI32(pairs * 4.0f));
  v->suspensionRoll = static_cast<int16_t>(TruncI32(sides * 16.0f));
  v->bodyAngles[0] = static_cast<uint16_t>(frame[0] + v->suspensionPitch);
  v->bodyAngles[1] = frame[1];
  v->bodyAngles[2] = static_cast<uint16_t>(frame[2] + v->suspensionRoll);
  const float* m = v->bodyMatrix;
  v->bodyPoint[0] = v->pose.x + m[1] * g[6];
  v->bodyPoint[1] = v->pose.y + m[4] * g[6];
  v->bodyPoint[2] = v->pose.z + m[7] * g[6];
}

void TrackObjStepRing() {
  for (int32_t k = 0; k < TRAFFIC_RING; ++k) {
    Vehicle* v = &gTrackObjects[k];
    v->objectActive = 1;
    TrackObjStepPose(v);
    TrackObjDraw(v);
    if (TypeOf(v)->siren && !gRace.viewIndex) SfxLoopEffectAt(SFX_ROW_POLICE, v->pose.x, v->pose.y, v->pose.z);
  }
}
