// The flight everything knocked shares: knocked objects, their debris and
// the fallen skiers.
#include "engine3d/angle.h"
#include "engine3d/mathutil.h"
#include "engine3d/random.h"
#include "engine3d/terrain.h"
#include "presentation/decor_objects.h"
#include "race/race.h"
#include "race/vehicle_steps.h"

bool FxFlyKnocked(DrawSlot* s, float heading, float spinRate, float floorLift) {
  if (!RaceViewAdvances()) return false;
  float& speed = s->boxMinX;
  float& lift = s->boxMinY;
  float& pitch = s->boxMinZ;
  float& bounces = s->boxMaxX;
  float& spin = s->boxMaxY;
  const float t = gRace.timeStep;
  const float d = gRace.frameRate > 0.0f ? VehicleStepDistance(speed) : 0.0f;
  const int32_t a = TruncI32(heading);
  s->x += d * MathSin(a);
  s->z += d * MathCos(a);
  s->y += t * lift * 0.5f;
  lift -= t;
  const float floor = TerrainHeightAt(s->x, s->z) + floorLift;
  if (s->y < floor) {
    speed *= 2.0f / 3.0f;
    s->y = floor;
    lift = speed * 30.0f * 0.004f;
    spin = static_cast<float>(RandNext() & 1);
    bounces -= 1.0f;
    if (bounces <= 0.0f) return true;
  }
  pitch += spin == 1.0f ? t * spinRate : -t * spinRate;
  return false;
}
