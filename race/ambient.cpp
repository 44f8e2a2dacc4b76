// The ambient vehicle's placement and flight: it follows the recorded
// trajectories like a computer driver, stays within a few thousand units of
// the player, hovers over the terrain at a height it changes now and then,
// tumbles when knocked and bounces off the placed objects it flies into.
#include <cmath>
#include <cstdlib>

#include "engine3d/angle.h"
#include "engine3d/camera.h"
#include "engine3d/mathutil.h"
#include "engine3d/mesh.h"
#include "engine3d/random.h"
#include "engine3d/terrain.h"
#include "frontend/frontend.h"
#include "net/net.h"
#include "presentation/presentation.h"
#include "presentation/sfx.h"
#include "race/ambient.h"
#include "race/collide.h"
#include "race/object_types.h"
#include "race/race.h"
#include "race/tracks.h"
#include "race/trajectory.h"
#include "race/vehicle_steps.h"

namespace {

constexpr float START_HEIGHT = 20.0f;
constexpr float START_HOVER = 25.0f;
constexpr float AMBIENT_MASS = 650.0f;
constexpr float AMBIENT_ACCEL = 1.8f;
constexpr float FOOTPRINT_TOP = 10.0f;
constexpr int32_t AMBIENT_LAP_TIMER = 18;
constexpr int32_t NET_LAP_TIMER_BASE = 12;
constexpr int32_t PICK_MASK = 3;
constexpr float POINT_REACHED = 200.0f;
constexpr float SLOW_VELOCITY = 40.0f;
constexpr float STEER_MAX = 320.0f;
constexpr float DRIVER_TURN_RATE = 0.12f;
constexpr float LOOK_TURN_RATE = 0.08f;
constexpr float FOLLOW_VELOCITY = 10.0f;
constexpr float COMPANY_NEAR = 1000.0f, COMPANY_FAR = 6000.0f;
constexpr float TOO_CLOSE = 100.0f;
constexpr float FASTER_BY = 10.0f;
constexpr float FLIGHT_TRACTION = 10.0f;
constexpr float MIN_CLEARANCE = 10.0f;
constexpr float CLIMB_PITCH = 10.0f;
constexpr float FLIGHT_FOLLOW_RATE = 0.04f;
constexpr int32_t ROLL_PER_STEER = 16;
constexpr float TUMBLE_VELOCITY = 80.0f;
constexpr int32_t TUMBLE_BOUNCES = 3;
constexpr float KNOCK_SETTLE_RATE = 0.12f;
constexpr float KNOCK_END_VELOCITY = 70.0f;
constexpr int32_t HIT_CAMERA_DISTANCE = 3000;
constexpr int32_t IMPACT_MAX = 300;
constexpr int32_t DEFLECTION_MAX = 64;

int32_t RoundI32(float x) { return std::isfinite(x) ? static_cast<int32_t>(std::lrint(x)) : 0; }

bool AnyTrajectory() {
  for (const Trajectory& t : gTrajectories)
    if (t.count > 0) return true;
  return false;
}

const Vehicle* ReferenceVehicle() {
  if (gRace.noHumanMode) return &gVehicleRecords[VEHICLE_EXTRA_CAR];
  return gPlayer1Vehicle ? gPlayer1Vehicle : &gPlayer1;
}

// The heading (from +z) from the pose toward (x, z).
int32_t HeadingTo(const Camera& pose, float x, float z) { return MathAngleTo(pose.z, pose.x, z, x); }

// The target point, moving on to the next once the craft is near the current one.
const TrajPoint* AdvanceTarget(Vehicle* driver, const Camera& pose) {
  const Trajectory* t = &gTrajectories[driver->aiSlot & (TRAJ_SLOTS - 1)];
  if (driver->aiPoint < 0 || driver->aiPoint >= t->count) AmbientPickTrajectory(driver);
  t = &gTrajectories[driver->aiSlot & (TRAJ_SLOTS - 1)];
  if (t->count <= 0) return nullptr;
  const TrajPoint& p = t->points[driver->aiPoint];
  if (std::fabs(pose.x - p.x) < POINT_REACHED && std::fabs(pose.z - p.z) < POINT_REACHED) {
    ++driver->aiPoint;
    if (driver->aiPoint >= t->count) AmbientPickTrajectory(driver);
  }
  t = &gTrajectories[driver->aiSlot & (TRAJ_SLOTS - 1)];
  return t->count > 0 ? &t->points[driver->aiPoint] : nullptr;
}

float Clamp(float x, float lo, float hi) { return x < lo ? lo : x > hi ? hi : x; }

void TurnToGround(Vehicle* v, float rate) {
  v->pose.pitch = MathAngleTurn(TruncI32(v->pose.pitch), TruncI32(gVehicleStep.groundPitch), rate);
  v->pose.roll = MathAngleTurn(TruncI32(v->pose.roll), TruncI32(gVehicleStep.groundRoll), rate);
}

void Fly(Vehicle* driver, Vehicle* v) {
  const float t = gRace.timeStep;
  v->wheelSteer = static_cast<int16_t>(TruncI32(Clamp(v->steerInput * 512.0f * 0.003125f, -512.0f, 512.0f)));
  VehicleTractionStep(driver, v, FLIGHT_TRACTION);
  v->pose.heading = v->heading;
  CamSet(&v->pose);
  CamSetAdvance(&v->pose, VehicleStepDistance(v->velocity));
  const float h = TerrainHeightAt(v->pose.x, v->pose.z);
  if (v->pose.y - h < MIN_CLEARANCE) {
    v->pose.y = h + MIN_CLEARANCE;
    v->pose.pitch += CLIMB_PITCH * t;
  }
  VehicleGroundAnglesAtTerrain(v);
  v->pose.roll = MathAngleTurn(TruncI32(v->pose.roll), v->wheelSteer / ROLL_PER_STEER, gRace.timeStepFifth);
  v->pose.pitch = MathAngleTurn(TruncI32(v->pose.pitch), TruncI32(gVehicleStep.groundPitch), FLIGHT_FOLLOW_RATE * t);
  v->pose.y += (h + gAmbient.hoverHeight - v->pose.y) * FLIGHT_FOLLOW_RATE * t;
  if (!(gAmbient.dustTimer > 0.0f) && gRace.tickPassed && (gRace.ticks & 3) == 0 && (RandNext() & 1) == 0)
    gAmbient.dustTimer = static_cast<float>((RandNext() & 7) + 10);
}

void Knocked(Vehicle* driver, Vehicle* v) {
  const float t = gRace.timeStep;
  v->throttleCmd = 0;
  v->brakeCmd = 0;
  v->wheelSteer = 0;
  VehicleTractionStep(driver, v, FLIGHT_TRACTION);
  const float thrown = v->velocity + v->knockImpulse;
  v->pose.heading = v->heading;
  CamSet(&v->pose);
  // The throw carries the craft along the knock's direction; it keeps facing its own way.
  const float heading = v->pose.heading, pitch = v->pose.pitch;
  v->pose.pitch = 0.0f;
  if (v->knockDirX != 0.0f || v->knockDirZ != 0.0f)
    v->pose.heading = static_cast<float>(MathAngleTo(0.0f, 0.0f, v->knockDirZ, v->knockDirX));
  CamSetAdvance(&v->pose, VehicleStepDistance(thrown));
  v->pose.heading = heading;
  v->pose.pitch = pitch;
  v->pose.y += v->knockLift * t;
  v->knockLift -= t;
  const float h = TerrainHeightAt(v->pose.x, v->pose.z);
  if (v->pose.y > h) {
    if (v->bouncesLeft >= TUMBLE_BOUNCES && thrown >= TUMBLE_VELOCITY) {
      v->pose.pitch -= t * thrown * 0.5f;
      const float spin = t * thrown * 0.333333f;
      v->pose.roll += v->spinSide == 1 ? spin : -spin;
    } else {
      VehicleGroundAnglesAtTerrain(v);
      TurnToGround(v, KNOCK_SETTLE_RATE * t);
    }
  } else {
    VehicleGroundFollow(v);
    --v->bouncesLeft;
    v->knockLift = thrown * 30.0f * 0.004f;
    if (v->bouncesLeft < 1 || thrown < KNOCK_END_VELOCITY) v->state = VEHICLE_ON_GROUND;
  }
  if (v->knockImpulse > 0.0f) v->knockImpulse -= t;
}

// A placed object in the way is knocked and the craft glances off it.
void HitObjects(Vehicle* driver, Vehicle* v) {
  v->impactVelocity = 0;
  const bool moved = v->pose.x != v->prevPos[0] || v->pose.y != v->prevPos[1] || v->pose.z != v->prevPos[2];
  if (!moved || v->cameraDistance >= HIT_CAMERA_DISTANCE) return;
  gRace.currentPose = &v->pose;
  DrawSlot* object = ContactFindObject(v);
  if (!object) return;
  const int32_t iv = TruncI32(v->velocity);
  const int32_t strength = std::abs(iv) > IMPACT_MAX ? IMPACT_MAX : std::abs(iv);
  v->impactVelocity = static_cast<int16_t>(strength);
  const float side = ContactObjectSideOf(object, v->pose.x, v->pose.z, v->prevPos[0], v->prevPos[2]);
  const bool building = FxObjectKindIs4Or5(object) != 0;
  DecorKnockObject(object, v);
  int32_t deflection;
  if (side < 0.0f)
    deflection = -iv < -DEFLECTION_MAX ? -DEFLECTION_MAX : -iv;
  else
    deflection = iv > DEFLECTION_MAX ? DEFLECTION_MAX : iv;
  VehicleBounceOffObject(v, driver, deflection, 2 * deflection, side < 0.0f ? -deflection : deflection);
  if (building) VehicleApplyHit(v, 0.0f, 0.0f, 0.0f, 0);
}

// The dynamic draw list lives as long as the game: a slot the craft claimed
// in an earlier race would go on drawing (and turning the rotor) beside the
// new one, or hold the model of a track since unloaded.
void ReleaseEarlierSlots() {
  for (int32_t i = 0; gDrawLists.dynamics && i < gDrawLists.dynamicCapacity; ++i) {
    DrawSlot& s = gDrawLists.dynamics[i];
    if (s.inUse && s.callback == AmbientDrawCallback) DrawListRelease(&s);
  }
}

}  // namespace

void VehiclePlaceAmbient() {
  ReleaseEarlierSlots();
  gAmbient = AmbientState{};
  if (!gRace.trajectoriesLoaded || !AnyTrajectory()) return;
  MeshHeader* model = gObjectModels[AMBIENT_MODEL_ROW];
  if (!model) return;
  const TrackInfo& track = gTrackInfo[gRace.trackIndex >= 0 && gRace.trackIndex < TRACK_COUNT ? gRace.trackIndex : 0];
  float x = track.startX, z = track.startZ;
  if (track.startFlag == 0)
    z += -track.spacingAcross * 2.0f;
  else
    x += -track.spacingAlong * 2.0f;
  const float y = TerrainHeightAt(x, z) + START_HEIGHT;
  gAmbient.model = model;
  Vehicle* v = AmbientVehicle();
  gAmbient.slot = DrawListClaimDynamic(model, reinterpret_cast<uintptr_t>(v), AmbientDrawCallback, x, y, z);
  AmbientPickTrajectory(v);
  static_cast<NetVehicle&>(*v) = static_cast<const NetVehicle&>(gPlayer1);
  v->physParams[PHYS_MASS] = AMBIENT_MASS;
  v->physParams[PHYS_ACCEL_FACTOR] = AMBIENT_ACCEL;
  v->pose = Camera{x, y, z, 0.0f, static_cast<float>(track.startHeading), 0.0f};
  VehicleResetDynamics(v);
  v->footprint[2] = 0.0f;
  v->footprint[3] = FOOTPRINT_TOP;
  v->steerInput = 0.0f;
  v->state = VEHICLE_ON_GROUND;
  v->bouncesLeft = 0;
  v->progress = 0;
  v->timerSlot = 0;
  v->physParams[PHYS_SURFACE_GRIP] = 1.0f;
  v->impactVelocity = 0;
  v->heading = static_cast<float>(track.startHeading);
  v->landingSide = 0;
  v->cameraDistance = 0;
  v->lapsDone = 0;
  v->zoneCode = 0;
  v->knockLift = 0.0f;
  v->knockImpulse = 0.0f;
  v->lapTimerSlot = gRace.networkGame ? NetParticipantCount() + NET_LAP_TIMER_BASE : AMBIENT_LAP_TIMER;
  v->human = 0;
  // The driver heading starts where the craft faces, not where the last race left it.
  v->aiHeading = track.startHeading;
  gAmbient.hoverHeight = START_HOVER;
}

void AmbientPickTrajectory(Vehicle* v) {
  v->aiPoint = 0;
  const int32_t from = RandNextAbs() & PICK_MASK;
  for (int32_t i = 0; i < TRAJ_SLOTS; ++i) {
    const int32_t s = (from + i) & (TRAJ_SLOTS - 1);
    if (gTrajectories[s].count > 0) {
      v->aiSlot = s;
      return;
    }
  }
  v->aiSlot = from;
}

void AmbientFollow(Vehicle* driver, Vehicle* v) {
  const Camera& pose = v->pose;
  const Vehicle* reference = ReferenceVehicle();
  const TrajPoint* target = AdvanceTarget(driver, pose);
  int32_t look = RoundI32(pose.heading + v->slideAngle);
  if (v->state == VEHICLE_ON_GROUND) {
    if (v->velocity < SLOW_VELOCITY) look = HeadingTo(pose, reference->pose.x, reference->pose.z);
    if (target) {
      const int32_t heading = HeadingTo(pose, target->x, target->z);
      v->steerInput = Clamp(static_cast<float>(MathAngleDiff(driver->aiHeading, heading) * 320 / 64), -STEER_MAX,
                            STEER_MAX);
      driver->aiHeading = MathAngleTurn(driver->aiHeading, heading, DRIVER_TURN_RATE * gRace.timeStep);
    }
  }
  gAmbient.lookAngle = MathAngleTurn(gAmbient.lookAngle, look, LOOK_TURN_RATE * gRace.timeStep);
  v->throttleCmd = 1;
  v->brakeCmd = 0;
  if (!(v->velocity > FOLLOW_VELOCITY)) return;
  const float dx = reference->pose.x - pose.x, dz = reference->pose.z - pose.z;
  const float d = std::sqrt(dx * dx + dz * dz);
  if (d >= COMPANY_NEAR && d <= COMPANY_FAR) return;
  if (d < TOO_CLOSE && gRace.raceStarted) {
    v->throttleCmd = 0;
    v->brakeCmd = 1;
  } else if (v->velocity - reference->velocity > FASTER_BY) {
    v->throttleCmd = 0;
  }
}

void AmbientUpdate(Vehicle* driver, Vehicle* v) {
  // The slope stall of the vehicle stepped last must not flip the craft's throttle.
  gVehicleStep.reverseFlip = 0;
  gVehicleStep.prevX = v->prevPos[0] = v->pose.x;
  gVehicleStep.prevY = v->prevPos[1] = v->pose.y;
  gVehicleStep.prevZ = v->prevPos[2] = v->pose.z;
  AmbientFollow(driver, v);
  if ((gRace.ticks & 31) == 0 && gRace.tickPassed && gRace.raceStarted)
    gAmbient.hoverHeight = static_cast<float>(((RandNextAbs() & 3) + 4) * 10);
  switch (v->state) {
    case VEHICLE_ON_GROUND: Fly(driver, v); break;
    case VEHICLE_KNOCKED: Knocked(driver, v); break;
    default: v->state = VEHICLE_ON_GROUND; break;
  }
  // A bounce's traction holds for one step only, as in the drive step.
  v->tractionOverride = 0.0f;
  HitObjects(driver, v);
  v->bodyAngles[1] = static_cast<uint16_t>(RoundI32(v->pose.heading + v->slideAngle) & ANGLE_MASK);
}

void AmbientFrameStep() {
  if (!gAmbient.model || !gOptions.detail[3]) return;
  Vehicle* v = AmbientVehicle();
  gRace.currentPose = &v->pose;
  AmbientUpdate(v, v);
  SfxUpdateAmbientVehicle(v);
}

void VehicleDrawAmbientShadow() {
  if (gAmbient.model && gAmbient.shadowEnabled && gOptions.detail[3]) VehicleDrawShadow(AmbientVehicle());
}
