// The highway traffic's engines and the ambient helicopter.
#include "engine3d/mathutil.h"
#include "engine3d/random.h"
#include "presentation/sfx.h"
#include "race/race.h"

namespace {
constexpr int32_t TRAFFIC_PITCH_CAP = 400;
}  // namespace

void SfxUpdateTrafficVehicle(Vehicle* v, int32_t copy) {
  if (!gSoundOn) return;
  SfxSetSourceFromVehicle(v);
  float& heard = v->engineRevsHeard;
  int32_t target = TruncI32(v->engineRevs);
  switch (v->state) {
    case VEHICLE_ON_GROUND:
      if (v->ffBumpFrames)
        target = 9000;
      else
        heard = static_cast<float>(target);
      break;
    case VEHICLE_RESETTING:
    case VEHICLE_CRIPPLED:
    case VEHICLE_SINKING:
    case VEHICLE_ROLLED_OVER: target = 1000; break;
    default:
      if (SfxWheelsFree(v->state)) target = 9500 + (RandNext() & 4095);
      break;
  }
  heard += (static_cast<float>(target) - heard) * gRace.timeStep * 0.04f;
  const float maxRevs = v->physParams[PHYS_REV_LIMIT];
  int32_t pitch = 8 * v->type;
  if (maxRevs > 0.0f) {
    const float p = 200.0f * static_cast<float>(TruncI32(heard)) / maxRevs;
    pitch = (p < static_cast<float>(TRAFFIC_PITCH_CAP) ? TruncI32(p) : TRAFFIC_PITCH_CAP) + 8 * v->type;
  }
  if (pitch > TRAFFIC_PITCH_CAP) pitch = TRAFFIC_PITCH_CAP;
  if (pitch < -480) pitch = -480;
  const SoundEffectRecord& r = gSfxEffects[SFX_ROW_OTHER];
  if (r.first3d == SFX_SLOT_NONE || copy < 0 || copy >= gSfxLoaded3d[SFX_ROW_OTHER]) return;
  const int32_t slot = r.first3d + copy;
  SfxLoopSlotAt(slot);
  SfxSetSlotFrequency(slot, pitch);
}

void SfxUpdateAmbientVehicle(Vehicle* v) {
  if (!gSoundOn) return;
  SfxSetSourceFromVehicle(v);
  SfxLoopSlotAt(gSfxEffects[SFX_ROW_HELICO].first3d);
}
