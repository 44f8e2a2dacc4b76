// The game's sound library: one sound device, numbered sound slots that each
// own a sound buffer, WAVE loading, streamed sounds refilled by a thread of
// their own, and 3D placement around a listener.
//
// Results: 1 success, 0 failure, -1 no sound driver, -2 the file will not
// open, -3 no free slot. A device failure leaves a code in gLibLastError.
#pragma once
#include <cstdint>

#include "hal/audio/audio.h"
#include "platform/file.h"

constexpr int32_t SOUND_OK = 1;
constexpr int32_t SOUND_FAIL = 0;
constexpr int32_t SOUND_NO_DRIVER = -1;
constexpr int32_t SOUND_NO_FILE = -2;
constexpr int32_t SOUND_NO_SLOT = -3;

constexpr int32_t SOUND_SLOT_COUNT = 1000;   // slot 0 holds the primary buffer
constexpr int32_t SOUND_STREAM_COUNT = 32;
constexpr int32_t SOUND_PITCH_STEPS = 961;   // tenths of a semitone, -480..480
constexpr uint32_t SOUND_MAX_DATA_BYTES = 0x0FFFFFFF;

// The "op" argument of the get/set operations; any other value does nothing.
constexpr int32_t SOUND_OP_GET = 1;
constexpr int32_t SOUND_OP_SET = 2;

// Load modes.
constexpr int32_t SOUND_MODE_PLAIN = 1;
constexpr int32_t SOUND_MODE_3D = 2;
constexpr uint32_t SOUND_FLAGS_PLAIN = 0x000001E0;
constexpr uint32_t SOUND_FLAGS_3D = 0x000201F0;

constexpr int32_t SOUND_PLAY_ONCE = 0;
constexpr int32_t SOUND_PLAY_LOOPING = 1;

// Speaker configurations of SoundSetSpeakers' modes 0, 1 and 2.
constexpr uint32_t SOUND_SPEAKERS_STEREO_WIDE = 0x00140004;
constexpr uint32_t SOUND_SPEAKERS_QUAD = 3;
constexpr uint32_t SOUND_SPEAKERS_SURROUND = 5;

// Codes the library stores in gLibLastError for device failures.
constexpr uint32_t SOUND_ERR_OUTOFMEMORY = 0xFFFFFFFD;
constexpr uint32_t SOUND_ERR_INVALIDPARAM = 0x80000003;
constexpr uint32_t SOUND_ERR_GENERIC = 0x80000008;
constexpr uint32_t SOUND_ERR_UNSUPPORTED = 0x80000001;
constexpr uint32_t SOUND_ERR_OTHER = 0xFFFFFFFC;

struct SoundVector {
  float x, y, z;
};
static_assert(sizeof(SoundVector) == 12);

// The listener's whole parameter set, as the race sound code passes it.
struct SoundListenerParams {
  SoundVector position;
  SoundVector velocity;
  SoundVector front;
  SoundVector top;
  float distanceFactor;
  float rolloffFactor;
  float dopplerFactor;
};
static_assert(sizeof(SoundListenerParams) == 60);

struct SoundState {
  HalAudioDevice ds;
  HalAudioBuffer listener;
  // Per sound slot.
  HalAudioBuffer buffer[SOUND_SLOT_COUNT];
  HalAudioBuffer buffer3D[SOUND_SLOT_COUNT];
  uint32_t baseFrequency[SOUND_SLOT_COUNT];
  FileHandle streamFile[SOUND_SLOT_COUNT];
  int32_t streamDataStart[SOUND_SLOT_COUNT];
  int32_t streamReadPos[SOUND_SLOT_COUNT];
  int32_t streamDataSize[SOUND_SLOT_COUNT];
  int32_t streamBufferBytes[SOUND_SLOT_COUNT];
  int32_t streamLoop[SOUND_SLOT_COUNT];
  int32_t next[SOUND_SLOT_COUNT];
  int32_t freeHead;
  int32_t usedHead;
  // Stream slots: the sound slot each feeds (-1 none) and their lists.
  // streamSound is shared with the streaming thread (under the stream lock).
  int32_t streamSound[SOUND_STREAM_COUNT];
  int32_t streamNext[SOUND_STREAM_COUNT];
  int32_t streamFreeHead;
  int32_t streamUsedHead;
  // Event 2s: stream s's cursor reached the buffer start; 2s+1: the middle.
  HalEvent events[2 * SOUND_STREAM_COUNT];
};

extern SoundState gSound;
extern float PITCH_RATIO_TABLE[SOUND_PITCH_STEPS];

// Device, slots and playback.
int32_t SoundInit(uint32_t window);
// Stops and joins the streaming thread and releases everything SoundInit and
// the loaders made; SoundInit may run again afterwards.
int32_t SoundShutdown();
int32_t SoundPlay(int32_t slot, int32_t flags);
int32_t SoundHalt(int32_t slot);
int32_t SoundStop(int32_t slot);
int32_t SoundGetState(int32_t slot);  // 2 playing, 1 not playing
int32_t SoundFrequency(int32_t slot, uint32_t* hz, int32_t op);
int32_t SoundVolume(int32_t slot, int32_t* volume, int32_t op);
int32_t SoundPan(int32_t slot, int32_t* pan, int32_t op);
int32_t SoundSetPitch(int32_t slot, int32_t pitch);
// The rate in Hz a pitch (-480..480 tenths of a semitone) plays a sound of
// `baseFrequency` at, truncated, before any range check; 0 for a pitch outside.
uint64_t SoundPitchFrequency(uint32_t baseFrequency, int32_t pitch);
int32_t SoundDuplicate(int32_t slot, int32_t* newSlot);
int32_t SoundFree(int32_t slot);
int32_t SoundSetSpeakers(int32_t mode);
uint32_t SoundGetLastError();
int32_t SoundSlotAlloc(int32_t* slot);
int32_t SoundSlotRelease(int32_t slot);
// The one translation of every device result: 1 go on, -1 no driver, 0 failed
// (with the code stored in gLibLastError).
int32_t SoundTranslateResult(uint32_t code);

// WAVE sounds, whole in a slot.
int32_t SoundCreateFromWav(int32_t* slot, const void* image, uint32_t imageSize, int32_t mode);
int32_t SoundLoadWavFile(int32_t* slot, const char* name, int32_t mode);

// Streamed sounds.
int32_t SoundStreamOpen(int32_t* slot, const char* name, uint32_t seconds, int32_t mode);
int32_t SoundStreamPlay(int32_t slot, int32_t loop);
int32_t SoundStreamStop(int32_t slot);
int32_t SoundStreamRewind(int32_t slot);
int32_t SoundFileRead(int32_t slot, void* destination, uint32_t count);
int32_t StreamSlotAlloc(int32_t* streamSlot);
int32_t StreamSlotFree(int32_t streamSlot);
// The streaming thread's body; returns when asked to stop or when waiting fails.
void SoundStreamThread();
// Tests: waits until the thread has served every notification signalled so far.
bool SoundStreamWaitServed(uint32_t timeoutMs);

// 3D sound.
int32_t Sound3DAttach(int32_t slot);
int32_t Sound3DDisable(int32_t slot);
int32_t Sound3DEnable(int32_t slot);
int32_t SoundDistances(int32_t slot, float* minDistance, float* maxDistance, int32_t op);
int32_t SoundPosition3D(int32_t slot, SoundVector* position, SoundVector* velocity, int32_t op);
int32_t SoundConeAngles(int32_t slot, uint32_t* inside, uint32_t* outside, int32_t op);
int32_t SoundConeOrientation(int32_t slot, SoundVector* orientation, int32_t op);
int32_t SoundConeOutsideVolume(int32_t slot, int32_t* volume, int32_t op);
int32_t SoundListener(SoundListenerParams* params, int32_t op);
int32_t SoundListenerVectors(SoundVector* position, SoundVector* velocity, SoundVector* front,
                             SoundVector* top, int32_t op);
int32_t SoundCommit3D();
