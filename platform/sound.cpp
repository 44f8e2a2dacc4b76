// Device, sound slots and playback.
#include <cmath>

#include "platform/libshared.h"
#include "platform/sound_internal.h"

namespace {

// Before SoundInit both lists are empty, so nothing can take a slot.
SoundState InitialState() {
  SoundState s{};
  s.freeHead = -1;
  s.usedHead = -1;
  s.streamFreeHead = -1;
  s.streamUsedHead = -1;
  for (int32_t& fed : s.streamSound) fed = -1;
  return s;
}

void StoreError(uint32_t code) { gLibLastError.store(code); }

bool SlotInRange(int32_t slot) { return slot >= 1 && slot < SOUND_SLOT_COUNT; }

// Takes the slot off the in-use list; false when it is not on it.
bool UnlinkUsed(int32_t slot) {
  if (gSound.usedHead == -1) return false;
  if (gSound.usedHead == slot) {
    gSound.usedHead = gSound.next[slot];
    return true;
  }
  for (int32_t p = 0; p < SOUND_SLOT_COUNT; ++p) {
    if (gSound.next[p] == slot && p != slot) {
      gSound.next[p] = gSound.next[slot];
      return true;
    }
  }
  return false;
}

void ReleaseSlotObjects(int32_t slot) {
  if (gSound.buffer3D[slot]) {
    HalAudioRelease(gSound.buffer3D[slot]);
    gSound.buffer3D[slot] = 0;
  }
  if (gSound.buffer[slot]) {
    HalAudioRelease(gSound.buffer[slot]);
    gSound.buffer[slot] = 0;
  }
  if (gSound.streamFile[slot] != 0) {
    FileClose(gSound.streamFile[slot]);
    gSound.streamFile[slot] = 0;
  }
}

// When a stream slot feeds this sound, unpublishes and frees it. Doing so
// under the stream lock also waits for a refill the thread is serving on this
// sound, so its buffer and file are released only after that refill.
void StopFeeding(int32_t slot) {
  int32_t fed = -1;
  {
    std::lock_guard lock(SoundStreamLock());
    for (int32_t s = 0; s < SOUND_STREAM_COUNT; ++s) {
      if (gSound.streamSound[s] == slot) {
        gSound.streamSound[s] = -1;
        fed = s;
        break;
      }
    }
  }
  if (fed >= 0) StreamSlotFree(fed);
}

// Everything SoundInit and the loaders made, in reverse order; the state
// returns to what it was before SoundInit.
void ReleaseAll() {
  SoundStreamThreadStop();
  for (int32_t slot = 0; slot < SOUND_SLOT_COUNT; ++slot) ReleaseSlotObjects(slot);
  if (gSound.listener) HalAudioRelease(gSound.listener);
  for (HalEvent e : gSound.events) {
    if (e) HalEventClose(e);
  }
  if (gSound.ds) HalAudioDeviceRelease(gSound.ds);
  gSound = InitialState();
}

// A device call's result: 1 to go on, or the operation's result.
int32_t Check(uint32_t code) { return SoundTranslateResult(code); }

}  // namespace

SoundState gSound = InitialState();
float PITCH_RATIO_TABLE[SOUND_PITCH_STEPS];

int32_t SoundTranslateResult(uint32_t code) {
  // Every success is a success, whatever its value.
  if (HalAudioSucceeded(code)) return SOUND_OK;
  switch (code) {
    case HAL_AUDIO_E_NODRIVER: return SOUND_NO_DRIVER;
    case HAL_AUDIO_E_OUTOFMEMORY: StoreError(SOUND_ERR_OUTOFMEMORY); break;
    case HAL_AUDIO_E_INVALIDPARAM: StoreError(SOUND_ERR_INVALIDPARAM); break;
    case HAL_AUDIO_E_FAIL: StoreError(SOUND_ERR_GENERIC); break;
    case HAL_AUDIO_E_UNSUPPORTED: StoreError(SOUND_ERR_UNSUPPORTED); break;
    case HAL_AUDIO_E_NOAGGREGATION:
    case HAL_AUDIO_E_ALLOCATED:
    case HAL_AUDIO_E_CONTROLUNAVAIL:
    case HAL_AUDIO_E_INVALIDCALL:
    case HAL_AUDIO_E_PRIOLEVELNEEDED:
    case HAL_AUDIO_E_BADFORMAT:
    case HAL_AUDIO_E_ALREADYINITIALIZED:
    case HAL_AUDIO_E_BUFFERLOST:
    case HAL_AUDIO_E_UNINITIALIZED: StoreError(code); break;
    default: StoreError(SOUND_ERR_OTHER); break;
  }
  return SOUND_FAIL;
}

bool SoundSlotInUse(int32_t slot) { return SlotInRange(slot) && gSound.buffer[slot] != 0; }

bool SoundSlot3D(int32_t slot) { return SlotInRange(slot) && gSound.buffer3D[slot] != 0; }

uint32_t SoundFlagsForMode(int32_t mode) {
  return mode == SOUND_MODE_3D ? SOUND_FLAGS_3D : SOUND_FLAGS_PLAIN;
}

int32_t SoundInit(uint32_t window) {
  if (gSound.ds) return SOUND_OK;  // the device is opened once
  gSound = InitialState();
  HalAudioDevice ds = 0;
  int32_t r = Check(HalAudioCreate(&ds));
  if (r != SOUND_OK) return r;
  gSound.ds = ds;
  auto fail = [](int32_t result) {
    ReleaseAll();
    return result;
  };

  if ((r = Check(HalAudioSetCooperativeLevel(ds, window, 3))) != SOUND_OK) return fail(r);

  for (int32_t s = 0; s < SOUND_STREAM_COUNT; ++s) {
    gSound.events[2 * s] = HalEventCreate();
    gSound.events[2 * s + 1] = HalEventCreate();
    if (!gSound.events[2 * s] || !gSound.events[2 * s + 1]) return fail(SOUND_FAIL);
    gSound.streamNext[s] = s + 1 < SOUND_STREAM_COUNT ? s + 1 : -1;
    gSound.streamSound[s] = -1;
  }
  gSound.streamFreeHead = 0;
  gSound.streamUsedHead = -1;

  for (int32_t slot = 0; slot < SOUND_SLOT_COUNT; ++slot) {
    gSound.buffer[slot] = 0;
    gSound.buffer3D[slot] = 0;
    gSound.streamFile[slot] = 0;
    gSound.next[slot] = slot + 1 < SOUND_SLOT_COUNT ? slot + 1 : -1;
  }
  gSound.freeHead = 0;
  gSound.usedHead = -1;

  for (int32_t i = 0; i < SOUND_PITCH_STEPS; ++i) {
    PITCH_RATIO_TABLE[i] = static_cast<float>(std::pow(1.05946094, (i - 480) * 0.1));
  }

  uint32_t caps = 0;
  if ((r = Check(HalAudioGetCaps(ds, &caps))) != SOUND_OK) return fail(r);
  HalAudioFormat format{1, 1, 22050, 0, 0, 8};
  if (caps & HAL_AUDIO_CAPS_PRIMARY16BIT) format.bitsPerSample = 16;
  if (caps & HAL_AUDIO_CAPS_PRIMARYSTEREO) format.channels = 2;
  format.blockAlign = static_cast<uint16_t>(format.bitsPerSample * format.channels / 8);
  format.averageBytesPerSecond = 22050u * format.blockAlign;

  if ((r = Check(HalAudioSetSpeakerConfig(ds, SOUND_SPEAKERS_STEREO_WIDE))) != SOUND_OK) {
    return fail(r);
  }

  int32_t primary = -1;
  if ((r = SoundSlotAlloc(&primary)) != SOUND_OK) return fail(r);
  HalAudioBufferDesc desc{HAL_AUDIO_BUFFER_PRIMARY | HAL_AUDIO_BUFFER_CTRL3D, 0, nullptr};
  if ((r = Check(HalAudioCreateBuffer(ds, &desc, &gSound.buffer[primary]))) != SOUND_OK) {
    return fail(r);
  }
  if ((r = Check(HalAudioSetFormat(gSound.buffer[primary], &format))) != SOUND_OK) return fail(r);
  if ((r = Check(HalAudioQueryListener(gSound.buffer[primary], &gSound.listener))) != SOUND_OK) {
    gSound.listener = 0;
    return fail(r);
  }
  if (!SoundStreamThreadStart()) return fail(SOUND_FAIL);
  return SOUND_OK;
}

int32_t SoundShutdown() {
  ReleaseAll();
  return SOUND_OK;
}

int32_t SoundPlay(int32_t slot, int32_t flags) {
  if (!SoundSlotInUse(slot)) return SOUND_FAIL;
  uint32_t play = flags == SOUND_PLAY_LOOPING ? HAL_AUDIO_PLAY_LOOPING : 0;
  return Check(HalAudioPlay(gSound.buffer[slot], 0, 0, play));
}

int32_t SoundHalt(int32_t slot) {
  if (!SoundSlotInUse(slot)) return SOUND_FAIL;
  return Check(HalAudioStop(gSound.buffer[slot]));
}

int32_t SoundStop(int32_t slot) {
  if (!SoundSlotInUse(slot)) return SOUND_FAIL;
  int32_t r = Check(HalAudioStop(gSound.buffer[slot]));
  if (r != SOUND_OK) return r;
  return Check(HalAudioSetCurrentPosition(gSound.buffer[slot], 0));
}

int32_t SoundGetState(int32_t slot) {
  if (!SoundSlotInUse(slot)) return SOUND_FAIL;
  uint32_t status = 0;
  int32_t r = Check(HalAudioGetStatus(gSound.buffer[slot], &status));
  if (r != SOUND_OK) return r;
  return (status & HAL_AUDIO_STATUS_PLAYING) ? 2 : 1;
}

int32_t SoundFrequency(int32_t slot, uint32_t* hz, int32_t op) {
  if (!SoundSlotInUse(slot) || !hz) return SOUND_FAIL;
  if (op == SOUND_OP_SET) {
    if (*hz < HAL_AUDIO_MIN_FREQUENCY || *hz > HAL_AUDIO_MAX_FREQUENCY) return SOUND_FAIL;
    return Check(HalAudioSetFrequency(gSound.buffer[slot], *hz));
  }
  if (op == SOUND_OP_GET) return Check(HalAudioGetFrequency(gSound.buffer[slot], hz));
  return SOUND_OK;
}

int32_t SoundVolume(int32_t slot, int32_t* volume, int32_t op) {
  if (!SoundSlotInUse(slot) || !volume) return SOUND_FAIL;
  if (op == SOUND_OP_SET) {
    if (*volume < HAL_AUDIO_VOLUME_MIN || *volume > 0) return SOUND_FAIL;
    return Check(HalAudioSetVolume(gSound.buffer[slot], *volume));
  }
  if (op == SOUND_OP_GET) return Check(HalAudioGetVolume(gSound.buffer[slot], volume));
  return SOUND_OK;
}

int32_t SoundPan(int32_t slot, int32_t* pan, int32_t op) {
  if (!SoundSlotInUse(slot) || !pan) return SOUND_FAIL;
  if (op == SOUND_OP_SET) {
    if (*pan < -HAL_AUDIO_PAN_LIMIT || *pan > HAL_AUDIO_PAN_LIMIT) return SOUND_FAIL;
    return Check(HalAudioSetPan(gSound.buffer[slot], *pan));
  }
  if (op == SOUND_OP_GET) return Check(HalAudioGetPan(gSound.buffer[slot], pan));
  return SOUND_OK;
}

uint64_t SoundPitchFrequency(uint32_t baseFrequency, int32_t pitch) {
  if (pitch < -480 || pitch > 480) return 0;
  long double product = static_cast<long double>(baseFrequency) * static_cast<long double>(PITCH_RATIO_TABLE[pitch + 480]);
  return static_cast<uint64_t>(std::trunc(product));
}

int32_t SoundSetPitch(int32_t slot, int32_t pitch) {
  if (!SoundSlotInUse(slot) || pitch < -480 || pitch > 480) return SOUND_FAIL;
  const uint64_t hz = SoundPitchFrequency(gSound.baseFrequency[slot], pitch);
  if (hz < HAL_AUDIO_MIN_FREQUENCY || hz > HAL_AUDIO_MAX_FREQUENCY) return SOUND_FAIL;
  return Check(HalAudioSetFrequency(gSound.buffer[slot], static_cast<uint32_t>(hz)));
}

int32_t SoundDuplicate(int32_t slot, int32_t* newSlot) {
  if (!SoundSlotInUse(slot) || !newSlot) return SOUND_FAIL;
  int32_t copy = -1;
  int32_t r = SoundSlotAlloc(&copy);
  if (r != SOUND_OK) return r;
  r = Check(HalAudioDuplicateBuffer(gSound.ds, gSound.buffer[slot], &gSound.buffer[copy]));
  if (r != SOUND_OK) {
    gSound.buffer[copy] = 0;
    SoundSlotDiscard(copy);
    return r;
  }
  gSound.baseFrequency[copy] = gSound.baseFrequency[slot];
  if (gSound.buffer3D[slot]) Sound3DAttach(copy);
  *newSlot = copy;
  return SOUND_OK;
}

int32_t SoundFree(int32_t slot) {
  if (!SoundSlotInUse(slot)) return SOUND_FAIL;
  return SoundSlotRelease(slot);
}

int32_t SoundSetSpeakers(int32_t mode) {
  if (!gSound.ds) return SOUND_NO_DRIVER;
  uint32_t config;
  switch (mode) {
    case 0: config = SOUND_SPEAKERS_STEREO_WIDE; break;
    case 1: config = SOUND_SPEAKERS_QUAD; break;
    case 2: config = SOUND_SPEAKERS_SURROUND; break;
    default: StoreError(SOUND_ERR_INVALIDPARAM); return SOUND_FAIL;
  }
  return Check(HalAudioSetSpeakerConfig(gSound.ds, config));
}

uint32_t SoundGetLastError() { return gLibLastError.load(); }

int32_t SoundSlotAlloc(int32_t* slot) {
  if (!slot) return SOUND_FAIL;
  if (gSound.freeHead < 0) return SOUND_NO_SLOT;
  int32_t taken = gSound.freeHead;
  gSound.freeHead = gSound.next[taken];
  gSound.next[taken] = gSound.usedHead;
  gSound.usedHead = taken;
  *slot = taken;
  return SOUND_OK;
}

int32_t SoundSlotRelease(int32_t slot) {
  if (!SoundSlotInUse(slot)) return SOUND_FAIL;
  if (!UnlinkUsed(slot)) return SOUND_FAIL;
  StopFeeding(slot);
  ReleaseSlotObjects(slot);
  gSound.next[slot] = gSound.freeHead;
  gSound.freeHead = slot;
  return SOUND_OK;
}

void SoundSlotDiscard(int32_t slot) {
  if (slot < 0 || slot >= SOUND_SLOT_COUNT || !UnlinkUsed(slot)) return;
  ReleaseSlotObjects(slot);
  gSound.next[slot] = gSound.freeHead;
  gSound.freeHead = slot;
}
