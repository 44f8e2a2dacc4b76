// Small operations on one vehicle that the drive step and its neighbours
// share: the ground angles under it, the slope stall that rolls it back on a
// steep climb, the driver's animation, the switch into the air.
#include "engine3d/angle.h"
#include "engine3d/camera.h"
#include "engine3d/mathutil.h"
#include "engine3d/terrain.h"
#include "race/race.h"
#include "race/vehicle_steps.h"

MeshFrameSet* gDriverFrames;

namespace {

enum { DRIVER_REST_FRAME = 0, DRIVER_LOOK_BACK = 5 };

bool HasFrame(int32_t frame) {
  return gDriverFrames && frame >= 0 && static_cast<uint32_t>(frame) < gDriverFrames->frameCount;
}

void GroundAngles(Vehicle* v, bool againstTerrain) {
  const Camera& p = v->pose;
  float direction = -p.heading - v->slideAngle;
  if (v->state == VEHICLE_ROLLED_OVER) direction -= v->rollOverAngle;
  float m[9];
  MatFromAngles(0, TruncI32(direction), 0, m);
  // Column 2 is the body's forward axis in x and z, column 0 its side axis.
  const float aheadX = p.x + m[2] * 4.0f * 10.0f, aheadZ = p.z + m[8] * 4.0f * 10.0f;
  const float h1 = TerrainHeightAt(aheadX, aheadZ);
  const float dh = againstTerrain || v->state == VEHICLE_ROLLED_OVER ? h1 - TerrainHeightAt(p.x, p.z) : h1 - p.y;
  gVehicleStep.groundPitch = static_cast<float>(MathAngleTo(0.0f, 0.0f, 40.0f, dh));
  const float hl = TerrainHeightAt(p.x - m[0] * 2.0f * 10.0f, p.z - m[6] * 2.0f * 10.0f);
  const float hr = TerrainHeightAt(p.x + m[0] * 2.0f * 10.0f, p.z + m[6] * 2.0f * 10.0f);
  gVehicleStep.groundRoll = static_cast<float>(MathAngleTo(0.0f, 0.0f, 40.0f, hl - hr));
}

}  // namespace

void VehicleGroundAngles(Vehicle* v) { GroundAngles(v, false); }
void VehicleGroundAnglesAtTerrain(Vehicle* v) { GroundAngles(v, true); }

void VehicleSlopeStall(Vehicle* v) {
  if (!gRace.raceStarted) return;
  int32_t a = TruncI32(v->pose.pitch);
  if (v->velocity < 0.0f) a = -a;
  if (v->impactVelocity != 0) a = v->impactVelocity;
  if (v->waterDepthSum != 0.0f) {
    const float depth = v->waterDepthSum < 60.0f ? v->waterDepthSum : 60.0f;
    a = TruncI32(depth * 200.0f * (1.0f / 60.0f));
  }
  a &= ANGLE_MASK;
  if (a >= 512 || a <= 5) {
    v->reverseTimer = 0.0f;
    return;
  }
  a = 2 * a < 256 ? 2 * a : 256;
  float c = MathCos(a);
  if (c < 0.0001f) c = 0.0001f;
  const float t = 12.0f - 1.0f / c;
  if (t < v->reverseTimer || v->reverseTimer <= 0.0f) {
    v->reverseTimer = t;
    if (v->waterDepthSum != 0.0f && v->reverseTimer < 2.0f * gRace.timeStep) v->reverseTimer = 2.0f * gRace.timeStep;
  }
  gVehicleStep.reverseFlip = 1;
  if (t < 2.0f) {
    const bool backing = v->velocity < -5.0f && v->brakeCmd;
    const bool creeping = v->velocity >= 0.0f && v->velocity < 5.0f && v->throttleCmd;
    if (backing || creeping) v->ffBumpFrames = 5;
  }
}

void VehicleDriverPlay(Vehicle* v, int32_t animation, float endTime) {
  if (v->human != 1 || animation == v->driverAnim) return;
  v->driverAnimDone = 0;
  v->driverAnimTime = 0.0f;
  v->driverAnim = animation;
  v->driverAnimEnd = endTime;
}

void VehicleDriverSteer(Vehicle* v, int32_t side, float amount) {
  if (v->human != 1 || !v->driverAnimDone) return;
  v->driverAnimEnd = 320.0f;
  v->driverAnim = side;
  v->driverAnimTime = amount;
}

void VehicleAnimateDriver(MeshHeader* model, Vehicle* v) {
  if (v->human != 1) return;
  const int32_t anim = v->driverAnim;
  if (anim == 1 || anim == 2) {
    if (model && HasFrame(anim))
      MeshLerpFrames(model, gDriverFrames, DRIVER_REST_FRAME, static_cast<uint32_t>(anim), v->driverAnimTime,
                     v->driverAnimEnd);
    v->driverAnimDone = 1;
    return;
  }
  if (model && HasFrame(anim))
    MeshBlendToFrame(model, gDriverFrames, static_cast<uint32_t>(anim), v->driverAnimTime, v->driverAnimEnd);
  v->driverAnimTime += gRace.timeStep;
  if (!(v->driverAnimTime > v->driverAnimEnd)) return;
  v->driverAnimTime = v->driverAnimEnd;
  v->driverAnimDone = 1;
  const bool backToRest = anim == 3 || anim == 4 || (anim == DRIVER_LOOK_BACK && !(v->velocity < 0.0f));
  if (backToRest) {
    v->driverAnim = 0;
    v->driverAnimTime = 0.0f;
    v->driverAnimDone = 0;
  } else if (anim == DRIVER_LOOK_BACK) {
    v->driverAnimDone = 0;
  }
}

void VehicleSetAirborne(Vehicle* v) {
  v->state = VEHICLE_IN_AIR;
  v->airTimer = 10.0f;
}
