// The slot wrappers, the effect-row helpers and the vehicles' own copies of
// a row. A failing sound-library call turns sound off for the rest of the run.
#include <algorithm>

#include "engine3d/angle.h"
#include "engine3d/mathutil.h"
#include "presentation/sfx.h"
#include "race/vehicle.h"

namespace {

// The entry of a handle that holds a sound, null otherwise or with sound off.
SfxSlotEntry* Live(int32_t slot) {
  if (!gSoundOn) return nullptr;
  SfxSlotEntry* e = SfxEntry(slot);
  return e && e->soundId >= 0 ? e : nullptr;
}

bool Check(int32_t result) {
  if (result == SOUND_OK) return true;
  SfxSoundOff();
  return false;
}

bool Is3d(int32_t slot) { return slot >= SFX_SLOT_3D_BASE && slot < SFX_SLOT_3D_BASE + SFX_SLOTS; }

void PlaceAt(int32_t slot, SoundVector position, SoundVector velocity) {
  SfxSlotEntry* e = Live(slot);
  if (!e || !Is3d(slot)) return;
  Check(SoundPosition3D(e->soundId, &position, &velocity, SOUND_OP_SET));
}

void PlaceAtSource(int32_t slot) { PlaceAt(slot, gSfxSource.position, gSfxSource.velocity); }

// Copy `copy` of a row's slots of one kind, 0 when the row holds no such slot.
int32_t Copy(int32_t first, uint8_t loaded, int32_t copy) {
  if (first == SFX_SLOT_NONE || copy < 0 || copy >= loaded) return SFX_SLOT_NONE;
  return first + copy;
}

bool RowOk(int32_t row) { return gSoundOn && row >= 0 && row < SFX_EFFECT_ROWS; }

int32_t VehicleCopyIndex(int32_t row, const Vehicle* vehicle) {
  if (gSfxEffects[row].copies < 6) return 0;
  const int64_t copy = int64_t{vehicle->timerSlot} - 3;
  return copy >= 0 && copy < SFX_SLOTS ? static_cast<int32_t>(copy) : 0;
}

int32_t VehicleSlot2d(int32_t row, const Vehicle* vehicle) {
  if (!RowOk(row)) return SFX_SLOT_NONE;
  const int32_t copy = VehicleCopyIndex(row, vehicle);
  const int32_t slot = Copy(gSfxEffects[row].first2d, gSfxLoaded2d[row], copy);
  return slot ? slot : Copy(gSfxEffects[row].first2d, gSfxLoaded2d[row], 0);
}

int32_t VehicleSlot3d(int32_t row, const Vehicle* vehicle) {
  if (!RowOk(row)) return SFX_SLOT_NONE;
  const int32_t copy = VehicleCopyIndex(row, vehicle);
  const int32_t slot = Copy(gSfxEffects[row].first3d, gSfxLoaded3d[row], copy);
  return slot ? slot : Copy(gSfxEffects[row].first3d, gSfxLoaded3d[row], 0);
}

}  // namespace

int32_t SfxStopSlot(int32_t slot) {
  SfxSlotEntry* e = Live(slot);
  if (!e || !e->inUse) return 0;
  const int32_t id = e->soundId;
  e->inUse = 0;
  Check(SoundStop(id));
  return 1;
}

void SfxLoopSlot(int32_t slot) {
  SfxSlotEntry* e = Live(slot);
  if (!e || e->inUse) return;
  e->inUse = 1;
  Check(SoundPlay(e->soundId, SOUND_PLAY_LOOPING));
}

void SfxPlaySlot(int32_t slot) {
  SfxSlotEntry* e = Live(slot);
  if (!e) return;
  e->inUse = 1;
  Check(SoundPlay(e->soundId, SOUND_PLAY_ONCE));
}

void SfxSetSlotFrequency(int32_t slot, int32_t pitch) {
  SfxSlotEntry* e = Live(slot);
  if (!e || !e->inUse || e->soundId >= SOUND_SLOT_COUNT) return;
  // A sound recorded at a high rate goes past the device's highest rate at the
  // top pitches (22050 Hz from about 26 semitones up): it plays at the nearest
  // rate the device takes, and sound stays on.
  const int32_t p = std::clamp(pitch, -480, 480);
  const uint64_t hz = SoundPitchFrequency(gSound.baseFrequency[e->soundId], p);
  if (p == pitch && hz >= HAL_AUDIO_MIN_FREQUENCY && hz <= HAL_AUDIO_MAX_FREQUENCY) {
    Check(SoundSetPitch(e->soundId, pitch));
    return;
  }
  uint32_t held = static_cast<uint32_t>(std::clamp<uint64_t>(hz, HAL_AUDIO_MIN_FREQUENCY, HAL_AUDIO_MAX_FREQUENCY));
  Check(SoundFrequency(e->soundId, &held, SOUND_OP_SET));
}

void SfxSetSlotVolume(int32_t slot, int32_t volume) {
  SfxSlotEntry* e = Live(slot);
  if (e && e->inUse) Check(SoundVolume(e->soundId, &volume, SOUND_OP_SET));
}

void SfxSetSlotFrequencyHz(int32_t slot, uint32_t hz) {
  SfxSlotEntry* e = Live(slot);
  if (e && e->inUse) Check(SoundFrequency(e->soundId, &hz, SOUND_OP_SET));
}

uint32_t SfxGetSlotFrequency(int32_t slot) {
  SfxSlotEntry* e = Live(slot);
  uint32_t hz = 0;
  if (e && e->inUse && !Check(SoundFrequency(e->soundId, &hz, SOUND_OP_GET))) hz = 0;
  return hz;
}

int32_t SfxSlotFinished(int32_t slot) {
  SfxSlotEntry* e = Live(slot);
  if (!e || !e->inUse) return 1;
  const int32_t state = SoundGetState(e->soundId);
  if (state == 2) return 0;
  if (state != 1) SfxSoundOff();
  e->inUse = 0;
  return 1;
}

void SfxLoopSlotAt(int32_t slot) {
  SfxLoopSlot(slot);
  PlaceAtSource(slot);
}

void SfxPlaySlotAt(int32_t slot) {
  SfxPlaySlot(slot);
  PlaceAtSource(slot);
}

void SfxMoveSlot(int32_t slot, float x, float y, float z) { PlaceAt(slot, {x, y, z}, {0.0f, 0.0f, 0.0f}); }

int32_t SfxLoopEffect2D(int32_t row, int32_t volume) {
  if (!RowOk(row)) return SFX_SLOT_NONE;
  const int32_t slot = gSfxEffects[row].first2d;
  SfxLoopSlot(slot);
  SfxSetSlotVolume(slot, volume);
  return slot;
}

int32_t SfxPlayEffect2D(int32_t row, int32_t volume) {
  if (!RowOk(row)) return SFX_SLOT_NONE;
  const int32_t slot = gSfxEffects[row].first2d;
  SfxPlaySlot(slot);
  SfxSetSlotVolume(slot, volume);
  return slot;
}

void SfxPlayEffect2DOnce(int32_t row) {
  if (RowOk(row)) SfxPlaySlot(gSfxEffects[row].first2d);
}

void SfxPlayEffectAt(int32_t row, float x, float y, float z) { SfxPlayEffectCopyAt(row, x, y, z, 0); }

int32_t SfxPlayEffectCopyAt(int32_t row, float x, float y, float z, int32_t copy) {
  if (!RowOk(row)) return SFX_SLOT_NONE;
  const SoundEffectRecord& r = gSfxEffects[row];
  if (r.first3d != SFX_SLOT_NONE) {
    const int32_t slot = Copy(r.first3d, gSfxLoaded3d[row], copy);
    SfxPlaySlot(slot);
    SfxMoveSlot(slot, x, y, z);
    return slot;
  }
  const int32_t slot = Copy(r.first2d, gSfxLoaded2d[row], copy);
  SfxPlaySlot(slot);
  return slot;
}

void SfxMoveEffectCopy(int32_t row, float x, float y, float z, int32_t copy) {
  if (RowOk(row)) SfxMoveSlot(Copy(gSfxEffects[row].first3d, gSfxLoaded3d[row], copy), x, y, z);
}

int32_t SfxLoopEffectAt(int32_t row, float x, float y, float z) {
  if (!RowOk(row)) return SFX_SLOT_NONE;
  const SoundEffectRecord& r = gSfxEffects[row];
  if (r.first3d != SFX_SLOT_NONE) {
    SfxLoopSlot(r.first3d);
    SfxMoveSlot(r.first3d, x, y, z);
    return r.first3d;
  }
  SfxLoopSlot(r.first2d);
  return r.first2d;
}

void SfxStopEffect(int32_t row) {
  if (!RowOk(row)) return;
  const SoundEffectRecord& r = gSfxEffects[row];
  SfxStopSlot(r.first3d != SFX_SLOT_NONE ? r.first3d : r.first2d);
}

int32_t SfxVehicleCopy2DPlay(int32_t row, const Vehicle* vehicle) {
  const int32_t slot = VehicleSlot2d(row, vehicle);
  SfxPlaySlot(slot);
  return slot;
}

int32_t SfxVehicleCopy3DPlay(int32_t row, const Vehicle* vehicle) {
  const int32_t slot = VehicleSlot3d(row, vehicle);
  SfxPlaySlotAt(slot);
  return slot;
}

int32_t SfxVehicleCopy2DLoop(int32_t row, const Vehicle* vehicle) {
  const int32_t slot = VehicleSlot2d(row, vehicle);
  SfxLoopSlot(slot);
  return slot;
}

int32_t SfxVehicleCopy3DLoop(int32_t row, const Vehicle* vehicle) {
  const int32_t slot = VehicleSlot3d(row, vehicle);
  SfxLoopSlotAt(slot);
  return slot;
}

void SfxVehicleCopyStop(int32_t row, const Vehicle* vehicle) {
  SfxStopSlot(VehicleSlot3d(row, vehicle));
  SfxStopSlot(VehicleSlot2d(row, vehicle));
}

void SfxSetSourceFromVehicle(const Vehicle* vehicle) {
  if (!gSoundOn) return;
  gSfxSource.position = SoundVector{vehicle->pose.x, vehicle->pose.y, vehicle->pose.z};
  // km/h to world units (0.1 m) a second.
  const float speed = vehicle->velocity * 1000.0f * 10.0f * 0.000277778f;
  const int32_t h = TruncI32(vehicle->heading);
  gSfxSource.velocity = SoundVector{speed * MathSin(h), 0.0f, speed * MathCos(h)};
}

bool SfxWheelsFree(int32_t state) {
  switch (state) {
    case VEHICLE_IN_AIR:
    case VEHICLE_KNOCKED:
    case VEHICLE_JUMP_FLIGHT:
    case VEHICLE_JUMP_RUNUP:
    case VEHICLE_CONTACT_SLIDE:
    case VEHICLE_HANDBRAKE_SLIDE: return true;
    default: return false;
  }
}
