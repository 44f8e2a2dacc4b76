// Recovery: a vehicle that leaves the world, lies on its side or strays far
// from every trajectory is put back on the nearest trajectory point, facing
// along the line, at a point where it touches nothing.
#include <cmath>

#include "engine3d/angle.h"
#include "engine3d/mathutil.h"
#include "engine3d/terrain.h"
#include "net/net.h"
#include "platform/app.h"
#include "presentation/messages.h"
#include "presentation/presentation.h"
#include "race/ai_internal.h"
#include "race/race.h"
#include "race/race_notes.h"
#include "race/vehicle_steps.h"

namespace {

constexpr float RESPAWN_SEARCH = 320000.0f;
constexpr float NETWORK_SPACING = 50.0f;
constexpr float HIT_PROTECT = 150.0f;
constexpr uint8_t DAMAGE_STAGES_HEALED = 3;
constexpr float WORLD_MIN_X = 100.0f, WORLD_MIN_Z = 100.0f, WORLD_MAX_X = 15500.0f, WORLD_MAX_Z = 7500.0f;
constexpr float LINE_REARM_X = 9000.0f;
constexpr float OFF_TRACK_MS = 3000.0f;
constexpr int32_t UPSIDE_DOWN = 150;
constexpr float FAR_SEARCH = 9000000.0f;
constexpr float FAR_DISTANCE = 2000.0f;

// Stands the current pose at point `i` of `t`, facing the next point.
void PlaceAt(Vehicle* v, const Trajectory& t, int32_t i) {
  Camera& pose = *gRace.currentPose;
  const TrajPoint& p = t.points[i];
  const TrajPoint& next = t.points[i + 1 < t.count ? i + 1 : 0];
  const int32_t heading = MathAngleTo(p.z, p.x, next.z, next.x);
  pose.x = p.x;
  pose.z = p.z;
  pose.y = TerrainHeightAt(p.x, p.z);
  v->heading = pose.heading = static_cast<float>(heading);
  pose.pitch = pose.roll = 0.0f;
}

bool Touches(Vehicle* v) {
  const Camera& pose = *gRace.currentPose;
  return ContactFindObjectAt(v, pose.x, pose.y, pose.z) != nullptr || CollideAnyVehicle(v);
}

// Back from the last good position, with the starting point kept when every
// point of the line is taken.
int32_t PlaceFree(Vehicle* v, const Trajectory& t, int32_t start) {
  PlaceAt(v, t, start);
  int32_t placed = start;
  for (int32_t tries = 1; tries < t.count && Touches(v); ++tries) {
    placed = AiPointBefore(placed, t.count);
    PlaceAt(v, t, placed);
  }
  if (placed != start && Touches(v)) {
    PlaceAt(v, t, start);
    placed = start;
  }
  return placed;
}

int32_t PlaceNetwork(Vehicle* v, const Trajectory& t, int32_t i) {
  PlaceAt(v, t, i);
  Camera& pose = *gRace.currentPose;
  const int32_t index = NetPlayerIndex(v);
  const float offset = NETWORK_SPACING * static_cast<float>(index > 0 ? index : 0);
  const int32_t h = TruncI32(pose.heading);
  pose.x += offset * MathCos(h);
  pose.z += offset * MathSin(h);
  pose.y = TerrainHeightAt(pose.x, pose.z);
  return i;
}

void ClearMotion(Vehicle* v) {
  v->steerInput = v->steerOffset = 0.0f;
  v->impactVelocity = 0;
  v->wheelSpin = 0;
  v->knockLift = v->knockImpulse = v->knockDirX = v->knockDirZ = 0.0f;
  v->rollOverAngle = 0.0f;
  for (WheelState& w : v->wheels) {
    w.lastMarkX = w.lastMarkZ = -1.0f;
    w.suspension = 0.0f;
    w.waterDepth = 0.0f;
  }
  v->landingSide = 0;
  v->contactFlag = 0;
}

}  // namespace

int32_t AiFindRespawnPoint(Vehicle* v, int32_t* slot) {
  v->guidePoint = -1;
  float best = RESPAWN_SEARCH;
  int32_t bestSlot = 0, bestPoint = 0;
  const int32_t n = AiTrajectoryCount();
  for (int32_t s = 0; s < n; ++s) {
    const Trajectory& t = gTrajectories[s];
    for (int32_t i = 0; i < t.count; ++i) {
      const float d = std::fabs(t.points[i].x - v->lastGoodX) + std::fabs(t.points[i].z - v->lastGoodZ);
      if (d < best) {
        best = d;
        bestSlot = s;
        bestPoint = i;
      }
    }
  }
  const Trajectory& t = gTrajectories[bestSlot];
  v->nearestTrajectory = &t;
  *slot = bestSlot;
  if (t.count <= 0) return 0;
  // A computer car starts again a little further back than a human.
  if (v->human != 1) bestPoint = AiPointBefore(bestPoint, t.count);
  const int32_t placed = gRace.networkGame ? PlaceNetwork(v, t, bestPoint) : PlaceFree(v, t, bestPoint);
  v->lastGoodX = gRace.currentPose->x;
  v->lastGoodZ = gRace.currentPose->z;
  return placed;
}

void AiRespawnVehicle(Vehicle* driver, Vehicle* v, uint8_t keepDamage) {
  gRace.currentPose = &v->pose;
  VehicleResetDynamics(v);
  // Without a line to stand on the vehicle keeps its place and its direction.
  v->heading = v->pose.heading;
  ClearMotion(v);
  v->state = VEHICLE_RESETTING;
  v->zoneCode = 0;
  SfxStopVehicleLoops(v);
  if (!keepDamage) {
    if (v->damageStage >= DAMAGE_STAGES_HEALED) v->damageStage -= DAMAGE_STAGES_HEALED;
    v->damageA = v->damageB = 0;
    v->damageCounter = 0;
  }
  AppTimerStart(v->timerSlot);
  if (gRace.trajectoriesLoaded) {
    int32_t slot = 0;
    const int32_t point = AiFindRespawnPoint(v, &slot);
    if (driver) {
      driver->aiSlot = slot;
      driver->aiPoint = point;
      driver->aiHeading = static_cast<uint16_t>(std::lrint(v->heading) & ANGLE_MASK);
    }
  }
  if (!driver && v->resetCamera && v->chaseCamera) *v->resetCamera = *v->chaseCamera;
  if (!v->finished) v->hitProtect = HIT_PROTECT;
  RaceNoteRespawn(v);
}

void VehicleCheckWorldBounds(Vehicle* driver, Vehicle* v) {
  const Camera& pose = *gRace.currentPose;
  if (pose.x < WORLD_MIN_X || pose.z < WORLD_MIN_Z || pose.x > WORLD_MAX_X || pose.z > WORLD_MAX_Z) {
    if (!driver) HudShowPlayerMessage(HUD_MSG_OFF_TRACK, OFF_TRACK_MS, v);
    AiRespawnVehicle(driver, v, 1);
  }
  if (gRace.currentPose->x > LINE_REARM_X) v->lineCrossed = 0;
}

int32_t VehicleCheckUpsideDown(Vehicle* v) {
  if (v->human == 1 && !v->finished && v->wheelsLost <= 1) {
    VehicleGroundAngles(v);
    const int32_t pitch = TruncI32(gVehicleStep.groundPitch), roll = TruncI32(gVehicleStep.groundRoll);
    if (std::abs(MathAngleDiff(pitch, 0)) > UPSIDE_DOWN || std::abs(MathAngleDiff(roll, 0)) > UPSIDE_DOWN ||
        AiIsFarFromTrajectories()) {
      AiRespawnVehicle(nullptr, v, 1);
      return 1;
    }
  }
  v->state = VEHICLE_ON_GROUND;
  return 0;
}

int32_t AiIsFarFromTrajectories() {
  if (!gRace.trajectoriesLoaded) return 0;
  const Camera& pose = *gRace.currentPose;
  float best = FAR_SEARCH;
  bool found = false;
  const int32_t n = AiTrajectoryCount();
  for (int32_t s = 0; s < n; ++s) {
    const Trajectory& t = gTrajectories[s];
    for (int32_t i = 0; i < t.count; ++i) {
      const float dx = t.points[i].x - pose.x, dz = t.points[i].z - pose.z;
      const float d = dx * dx + dz * dz;
      if (d < best) {
        best = d;
        found = true;
      }
    }
  }
  return !found || std::sqrt(best) >= FAR_DISTANCE ? 1 : 0;
}

void VehicleSink(Vehicle* v) {
  v->state = VEHICLE_SINKING;
  if (v->human == 1) {
    v->endViewX = v->pose.x;
    v->endViewZ = v->pose.z;
  }
}
