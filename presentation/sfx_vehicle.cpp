// Each frame's engine, slide and surface sounds of a vehicle: heard in 3D for
// computer and network vehicles, from inside or outside for a player's own.
#include <cmath>

#include "engine3d/mathutil.h"
#include "engine3d/random.h"
#include "presentation/presentation.h"
#include "presentation/sfx.h"
#include "race/race.h"
#include "race/tracks.h"
#include "race/vehicle_steps.h"

namespace {

constexpr int32_t PITCH_CAP = 479;
constexpr int32_t PITCH_FLOOR = -480;  // the library's lowest pitch
constexpr int32_t FULL_REVS = 9500;
constexpr uint32_t FULL_REVS_HZ = 100000;

int32_t SurfaceRow() {
  switch (gRace.trackIndex) {
    case TRACK_NEIGE: return SFX_ROW_SNOW;
    case TRACK_BOUE:
    case TRACK_RUINES:
    case TRACK_LOOPING: return SFX_ROW_MUD;
    case TRACK_ICE: return -1;
    default: return SFX_ROW_SAND;
  }
}

// The engine on the grid before the start: revs in bursts; the body rises
// with them and settles between.
int32_t CountdownRevs(Vehicle* v, Vehicle* remote) {
  if (remote && gRace.networkGame) {
    int32_t t = 0;
    if (v->bodyPitch > remote->lastRevsSeen) {
      t = 7500 + (RandNext() & 4095);
      FxAttachVehicleBurst(v);
    }
    remote->lastRevsSeen = v->bodyPitch;
    return t;
  }
  const uint32_t phase = gRace.frameCounter + 8u * static_cast<uint32_t>(v->championRank);
  const bool revving = remote ? (phase & 63u) < 32u : gVehicleStep.engineLoad != 0;
  if (!revving) {
    v->bodyPitch -= v->bodyPitch * gRace.timeStep * 0.2f;
    return 0;
  }
  v->bodyPitch += (4.0f * v->physParams[PHYS_ACCEL_FACTOR] - v->bodyPitch) * gRace.timeStep * 0.4f;
  const int32_t t = (remote ? 7500 : 6500) + (RandNext() & 4095);
  FxAttachVehicleBurst(v);
  return t;
}

int32_t EnginePitch(const Vehicle* v, float heard) {
  const float scale = gRace.debugMode == 1 ? 120.0f : static_cast<float>(v->enginePitchScale);
  const float maxRevs = v->physParams[PHYS_REV_LIMIT];
  if (!(maxRevs > 0.0f)) return 0;
  const float p = static_cast<float>(TruncI32(heard)) * scale / maxRevs;
  if (!(p < static_cast<float>(PITCH_CAP))) return PITCH_CAP;
  if (!(p > static_cast<float>(PITCH_FLOOR))) return PITCH_FLOOR;
  return TruncI32(p);
}

}  // namespace

void SfxUpdateVehicle(Vehicle* v, Vehicle* remote, int32_t secondRow, uint8_t onSurface) {
  if (!gSoundOn) return;
  const bool contact = v->wheelSpin || v->ffBumpFrames;
  int32_t slideRow = -1;
  if (contact && v->state == VEHICLE_ON_GROUND && SfxVehicleSlideTest(v) == 1) {
    slideRow = SFX_ROW_SLIDE;
  } else if (v->slideSound) {
    SfxStopSlot(v->slideSound);
    v->slideSound = SFX_SLOT_NONE;
  }
  const int32_t surfaceRow = SurfaceRow();
  SfxSetSourceFromVehicle(v);

  float& heard = v->engineRevsHeard;
  int32_t target = TruncI32(v->engineRevs);
  bool outside = false;
  switch (v->state) {
    case VEHICLE_ON_GROUND:
      if (v->ffBumpFrames)
        target = 9000;
      else if (gRace.raceStarted)
        heard = static_cast<float>(target);
      else
        target = CountdownRevs(v, remote);
      break;
    case VEHICLE_RESETTING:
    case VEHICLE_SINKING:
      target = 1000;
      outside = true;
      break;
    // A blocked vehicle idles like a crippled or rolled-over one.
    case VEHICLE_CRIPPLED:
    case VEHICLE_ROLLED_OVER:
    case VEHICLE_BLOCKED: target = 1000; break;
    default:
      if (SfxWheelsFree(v->state)) target = gVehicleStep.engineLoad ? 9500 + (RandNext() & 4095) : 1000;
      break;
  }
  const bool inCar = !outside && !v->finished && v->viewActive != 0;
  heard += (static_cast<float>(target) - heard) * gRace.timeStep * 0.04f;
  const int32_t pitch = EnginePitch(v, heard);
  if (v->cameraDistance > 1500) secondRow = 0;
  const bool second = secondRow > 0 && secondRow < SFX_EFFECT_ROWS;
  const int32_t surfacePitch = contact ? TruncI32(heard * 160.0f * 8.33333e-05f) : 0;
  const bool sinking = v->state == VEHICLE_SINKING;

  int32_t engine;
  if (remote) {
    engine = v->engineSound3d;
    if (sinking)
      SfxStopSlot(engine);
    else
      SfxLoopSlotAt(engine);
    if (slideRow >= 0) v->slideSound = SfxVehicleCopy3DPlay(slideRow, v);
    if (second) v->loopSound = SfxVehicleCopy3DPlay(secondRow, v);
    if (surfaceRow >= 0 && onSurface) SfxSetSlotFrequency(SfxVehicleCopy3DLoop(surfaceRow, v), surfacePitch);
  } else {
    engine = inCar ? v->engineSoundIn : v->engineSoundOut;
    const int32_t effectVolume = inCar ? 0 : -1000;
    if (sinking)
      SfxStopSlot(engine);
    else
      SfxLoopSlot(engine);
    if (slideRow >= 0) {
      v->slideSound = SfxVehicleCopy2DPlay(slideRow, v);
      SfxSetSlotVolume(v->slideSound, effectVolume);
    }
    if (second) {
      v->loopSound = SfxVehicleCopy2DPlay(secondRow, v);
      SfxSetSlotVolume(v->loopSound, effectVolume);
    }
    if (surfaceRow >= 0 && onSurface) {
      const int32_t slot = SfxVehicleCopy2DLoop(surfaceRow, v);
      SfxSetSlotFrequency(slot, surfacePitch);
      SfxSetSlotVolume(slot, inCar ? 0 : -500);
    }
  }
  if (surfaceRow >= 0 && !onSurface) SfxVehicleCopyStop(surfaceRow, v);
  if (TruncI32(heard) >= FULL_REVS)
    SfxSetSlotFrequencyHz(engine, FULL_REVS_HZ);
  else
    SfxSetSlotFrequency(engine, pitch);
}

int32_t SfxVehicleSlideTest(Vehicle* v) {
  if (!gSoundOn || v->cameraDistance > 400) return 0;
  // A slide to the left is as loud as one to the right.
  const float slide = std::fabs(v->slideAngle);
  if (gRace.trackIndex == TRACK_ICE) return slide < 2.0f ? 1 : 0;
  return slide > 6.0f ? 1 : 0;
}

void SfxStopVehicleLoops(Vehicle* v) {
  if (!gSoundOn) return;
  SfxStopSlot(v->loopSound);
  SfxStopSlot(v->slideSound);
  v->loopSound = v->slideSound = SFX_SLOT_NONE;
}
