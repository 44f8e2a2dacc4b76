// 3D sound: the listener and the 3D settings of sounds. Sets are deferred
// until SoundCommit3D, except the 3D mode, which applies at once.
#include "platform/sound_internal.h"

namespace {

static_assert(sizeof(SoundVector) == sizeof(HalAudioVector));

HalAudioVector ToHal(const SoundVector& v) { return {v.x, v.y, v.z}; }
SoundVector FromHal(const HalAudioVector& v) { return {v.x, v.y, v.z}; }

int32_t Check(uint32_t code) { return SoundTranslateResult(code); }

int32_t SetMode(int32_t slot, uint32_t mode) {
  if (!SoundSlot3D(slot)) return SOUND_FAIL;
  return Check(HalAudio3DSetMode(gSound.buffer3D[slot], mode, HAL_AUDIO_3D_IMMEDIATE));
}

// Two device calls in order; the first failure ends it.
template <typename First, typename Second>
int32_t Both(First first, Second second) {
  int32_t r = Check(first());
  return r == SOUND_OK ? Check(second()) : r;
}

}  // namespace

int32_t Sound3DAttach(int32_t slot) {
  if (!SoundSlotInUse(slot)) return SOUND_FAIL;
  if (gSound.buffer3D[slot]) return SOUND_OK;
  HalAudioBuffer b3d = 0;
  int32_t r = Check(HalAudioQuery3D(gSound.buffer[slot], &b3d));
  if (r != SOUND_OK) return r;
  gSound.buffer3D[slot] = b3d;
  return Check(HalAudio3DSetMode(b3d, HAL_AUDIO_3D_NORMAL, HAL_AUDIO_3D_IMMEDIATE));
}

int32_t Sound3DDisable(int32_t slot) { return SetMode(slot, HAL_AUDIO_3D_DISABLE); }

int32_t Sound3DEnable(int32_t slot) { return SetMode(slot, HAL_AUDIO_3D_NORMAL); }

int32_t SoundDistances(int32_t slot, float* minDistance, float* maxDistance, int32_t op) {
  if (!SoundSlot3D(slot) || !minDistance || !maxDistance) return SOUND_FAIL;
  HalAudioBuffer b = gSound.buffer3D[slot];
  if (op == SOUND_OP_SET) {
    return Both([&] { return HalAudio3DSetMinDistance(b, *minDistance, HAL_AUDIO_3D_DEFERRED); },
                [&] { return HalAudio3DSetMaxDistance(b, *maxDistance, HAL_AUDIO_3D_DEFERRED); });
  }
  if (op == SOUND_OP_GET) {
    return Both([&] { return HalAudio3DGetMinDistance(b, minDistance); },
                [&] { return HalAudio3DGetMaxDistance(b, maxDistance); });
  }
  return SOUND_OK;
}

int32_t SoundPosition3D(int32_t slot, SoundVector* position, SoundVector* velocity, int32_t op) {
  if (!SoundSlot3D(slot) || !position || !velocity) return SOUND_FAIL;
  HalAudioBuffer b = gSound.buffer3D[slot];
  if (op == SOUND_OP_SET) {
    HalAudioVector p = ToHal(*position), v = ToHal(*velocity);
    return Both([&] { return HalAudio3DSetPosition(b, &p, HAL_AUDIO_3D_DEFERRED); },
                [&] { return HalAudio3DSetVelocity(b, &v, HAL_AUDIO_3D_DEFERRED); });
  }
  if (op == SOUND_OP_GET) {
    HalAudioVector p{}, v{};
    int32_t r = Both([&] { return HalAudio3DGetPosition(b, &p); },
                     [&] { return HalAudio3DGetVelocity(b, &v); });
    if (r == SOUND_OK) {
      *position = FromHal(p);
      *velocity = FromHal(v);
    }
    return r;
  }
  return SOUND_OK;
}

// The limits are checked on the values given to a set; a get only writes.
int32_t SoundConeAngles(int32_t slot, uint32_t* inside, uint32_t* outside, int32_t op) {
  if (!SoundSlot3D(slot) || !inside || !outside) return SOUND_FAIL;
  HalAudioBuffer b = gSound.buffer3D[slot];
  if (op == SOUND_OP_SET) {
    if (*inside >= 360 || *outside >= 360) return SOUND_FAIL;
    return Check(HalAudio3DSetConeAngles(b, *inside, *outside, HAL_AUDIO_3D_DEFERRED));
  }
  if (op == SOUND_OP_GET) return Check(HalAudio3DGetConeAngles(b, inside, outside));
  return SOUND_OK;
}

int32_t SoundConeOrientation(int32_t slot, SoundVector* orientation, int32_t op) {
  if (!SoundSlot3D(slot) || !orientation) return SOUND_FAIL;
  HalAudioBuffer b = gSound.buffer3D[slot];
  if (op == SOUND_OP_SET) {
    HalAudioVector v = ToHal(*orientation);
    return Check(HalAudio3DSetConeOrientation(b, &v, HAL_AUDIO_3D_DEFERRED));
  }
  if (op == SOUND_OP_GET) {
    HalAudioVector v{};
    int32_t r = Check(HalAudio3DGetConeOrientation(b, &v));
    if (r == SOUND_OK) *orientation = FromHal(v);
    return r;
  }
  return SOUND_OK;
}

int32_t SoundConeOutsideVolume(int32_t slot, int32_t* volume, int32_t op) {
  if (!SoundSlot3D(slot) || !volume) return SOUND_FAIL;
  HalAudioBuffer b = gSound.buffer3D[slot];
  if (op == SOUND_OP_SET) {
    if (*volume < HAL_AUDIO_VOLUME_MIN || *volume > 0) return SOUND_FAIL;
    return Check(HalAudio3DSetConeOutsideVolume(b, *volume, HAL_AUDIO_3D_DEFERRED));
  }
  if (op == SOUND_OP_GET) return Check(HalAudio3DGetConeOutsideVolume(b, volume));
  return SOUND_OK;
}

int32_t SoundListener(SoundListenerParams* params, int32_t op) {
  if (!gSound.listener || !params) return SOUND_FAIL;
  if (op == SOUND_OP_SET) {
    HalAudioListenerParams p{ToHal(params->position), ToHal(params->velocity),
                             ToHal(params->front),    ToHal(params->top),
                             params->distanceFactor,  params->rolloffFactor,
                             params->dopplerFactor};
    return Check(HalAudioListenerSetAll(gSound.listener, &p, HAL_AUDIO_3D_DEFERRED));
  }
  if (op == SOUND_OP_GET) {
    HalAudioListenerParams p{};
    int32_t r = Check(HalAudioListenerGetAll(gSound.listener, &p));
    if (r == SOUND_OK) {
      *params = {FromHal(p.position), FromHal(p.velocity), FromHal(p.front), FromHal(p.top),
                 p.distanceFactor,    p.rolloffFactor,     p.dopplerFactor};
    }
    return r;
  }
  return SOUND_OK;
}

int32_t SoundListenerVectors(SoundVector* position, SoundVector* velocity, SoundVector* front,
                             SoundVector* top, int32_t op) {
  if (!gSound.listener || !position || !velocity || !front || !top) return SOUND_FAIL;
  HalAudioBuffer l = gSound.listener;
  int32_t r;
  if (op == SOUND_OP_SET) {
    HalAudioVector p = ToHal(*position), v = ToHal(*velocity), f = ToHal(*front), t = ToHal(*top);
    if ((r = Check(HalAudioListenerSetPosition(l, &p, HAL_AUDIO_3D_DEFERRED))) != SOUND_OK) return r;
    if ((r = Check(HalAudioListenerSetVelocity(l, &v, HAL_AUDIO_3D_DEFERRED))) != SOUND_OK) return r;
    return Check(HalAudioListenerSetOrientation(l, &f, &t, HAL_AUDIO_3D_DEFERRED));
  }
  if (op == SOUND_OP_GET) {
    HalAudioVector p{}, v{}, f{}, t{};
    if ((r = Check(HalAudioListenerGetPosition(l, &p))) != SOUND_OK) return r;
    *position = FromHal(p);
    if ((r = Check(HalAudioListenerGetVelocity(l, &v))) != SOUND_OK) return r;
    *velocity = FromHal(v);
    if ((r = Check(HalAudioListenerGetOrientation(l, &f, &t))) != SOUND_OK) return r;
    *front = FromHal(f);
    *top = FromHal(t);
    return SOUND_OK;
  }
  return SOUND_OK;
}

int32_t SoundCommit3D() {
  if (!gSound.listener) return SOUND_FAIL;
  return Check(HalAudioCommitDeferred(gSound.listener));
}
