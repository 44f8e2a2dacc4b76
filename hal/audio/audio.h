// The sound device the game was written against, as a software mixer: one
// output (44100 Hz, stereo, 16-bit) fed by sound buffers that play, loop,
// resample, take volume and pan in hundredths of a decibel, place themselves
// around a listener in 3D and signal events as their play cursor passes given
// offsets. With a display it plays through SDL audio (mixed in SDL's callback
// thread); headless nothing is opened and tests pull the mix with HalAudioRender.
// The mix also carries the virtual CD (hal/cd/cd.h), and the mixer device's
// lines (hal/cd/mixer.h) scale it: the wave line the buffers, the CD line the CD.
//
// Every call returns a 32-bit result code of the device: 0 is success, other
// values with the top bit clear are successes too, values with the top bit set
// are failures. Tests can make the next calls of a kind return a chosen code.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "hal/audio/event.h"

// Result codes.
constexpr uint32_t HAL_AUDIO_OK = 0x00000000;
constexpr uint32_t HAL_AUDIO_S_FALSE = 0x00000001;
constexpr uint32_t HAL_AUDIO_E_NODRIVER = 0x88780078;
constexpr uint32_t HAL_AUDIO_E_OUTOFMEMORY = 0x8007000E;
constexpr uint32_t HAL_AUDIO_E_INVALIDPARAM = 0x80070057;
constexpr uint32_t HAL_AUDIO_E_FAIL = 0x80004005;
constexpr uint32_t HAL_AUDIO_E_UNSUPPORTED = 0x80004001;
constexpr uint32_t HAL_AUDIO_E_NOINTERFACE = 0x80004002;
constexpr uint32_t HAL_AUDIO_E_NOAGGREGATION = 0x80040110;
constexpr uint32_t HAL_AUDIO_E_ALLOCATED = 0x8878000A;
constexpr uint32_t HAL_AUDIO_E_CONTROLUNAVAIL = 0x8878001E;
constexpr uint32_t HAL_AUDIO_E_INVALIDCALL = 0x88780032;
constexpr uint32_t HAL_AUDIO_E_PRIOLEVELNEEDED = 0x88780046;
constexpr uint32_t HAL_AUDIO_E_BADFORMAT = 0x88780064;
constexpr uint32_t HAL_AUDIO_E_ALREADYINITIALIZED = 0x88780082;
constexpr uint32_t HAL_AUDIO_E_BUFFERLOST = 0x88780096;
constexpr uint32_t HAL_AUDIO_E_UNINITIALIZED = 0x887800AA;
constexpr uint32_t HAL_AUDIO_S_OTHERAPPHASPRIO = 0x0878000A;

inline bool HalAudioSucceeded(uint32_t code) { return (code & 0x80000000u) == 0; }

// Output of the mixer.
constexpr uint32_t HAL_AUDIO_OUTPUT_RATE = 44100;
constexpr uint32_t HAL_AUDIO_OUTPUT_CHANNELS = 2;

// Buffer capability flags.
constexpr uint32_t HAL_AUDIO_BUFFER_PRIMARY = 0x00000001;
constexpr uint32_t HAL_AUDIO_BUFFER_CTRL3D = 0x00000010;
constexpr uint32_t HAL_AUDIO_BUFFER_CTRLFREQUENCY = 0x00000020;
constexpr uint32_t HAL_AUDIO_BUFFER_CTRLPAN = 0x00000040;
constexpr uint32_t HAL_AUDIO_BUFFER_CTRLVOLUME = 0x00000080;
constexpr uint32_t HAL_AUDIO_BUFFER_CTRLPOSITIONNOTIFY = 0x00000100;
constexpr uint32_t HAL_AUDIO_BUFFER_MUTE3DATMAXDISTANCE = 0x00020000;

// Device capability flags.
constexpr uint32_t HAL_AUDIO_CAPS_PRIMARYMONO = 0x00000001;
constexpr uint32_t HAL_AUDIO_CAPS_PRIMARYSTEREO = 0x00000002;
constexpr uint32_t HAL_AUDIO_CAPS_PRIMARY8BIT = 0x00000004;
constexpr uint32_t HAL_AUDIO_CAPS_PRIMARY16BIT = 0x00000008;

// Play, lock and status flags.
constexpr uint32_t HAL_AUDIO_PLAY_LOOPING = 0x00000001;
constexpr uint32_t HAL_AUDIO_LOCK_FROMWRITECURSOR = 0x00000001;
constexpr uint32_t HAL_AUDIO_LOCK_ENTIREBUFFER = 0x00000002;
constexpr uint32_t HAL_AUDIO_STATUS_PLAYING = 0x00000001;
constexpr uint32_t HAL_AUDIO_STATUS_LOOPING = 0x00000004;

// 3D processing modes and when a setting applies.
constexpr uint32_t HAL_AUDIO_3D_NORMAL = 0;
constexpr uint32_t HAL_AUDIO_3D_DISABLE = 2;
constexpr uint32_t HAL_AUDIO_3D_IMMEDIATE = 0;
constexpr uint32_t HAL_AUDIO_3D_DEFERRED = 1;

// Limits.
constexpr uint32_t HAL_AUDIO_MIN_FREQUENCY = 100;
constexpr uint32_t HAL_AUDIO_MAX_FREQUENCY = 100000;
constexpr uint32_t HAL_AUDIO_MAX_BUFFER_BYTES = 0x0FFFFFFF;
constexpr int32_t HAL_AUDIO_VOLUME_MIN = -10000;
constexpr int32_t HAL_AUDIO_PAN_LIMIT = 10000;

// Handles: 0 is none. A buffer handle also serves as its 3D interface and its
// notification interface; each query adds a reference that a release drops.
using HalAudioDevice = uint32_t;
using HalAudioBuffer = uint32_t;

struct HalAudioFormat {
  uint16_t formatTag;  // 1 = PCM
  uint16_t channels;
  uint32_t samplesPerSecond;
  uint32_t averageBytesPerSecond;
  uint16_t blockAlign;
  uint16_t bitsPerSample;
};

struct HalAudioBufferDesc {
  uint32_t flags;
  uint32_t bytes;
  const HalAudioFormat* format;  // null for the primary buffer
};

struct HalAudioVector {
  float x, y, z;
};

struct HalAudioListenerParams {
  HalAudioVector position;
  HalAudioVector velocity;
  HalAudioVector front;
  HalAudioVector top;
  float distanceFactor;
  float rolloffFactor;
  float dopplerFactor;
};

struct HalAudioNotify {
  uint32_t offset;
  HalEvent event;
};

// The calls whose result a test can choose.
enum HalAudioCall : uint32_t {
  HAL_AUDIO_CALL_CREATE,
  HAL_AUDIO_CALL_SET_COOPERATIVE_LEVEL,
  HAL_AUDIO_CALL_GET_CAPS,
  HAL_AUDIO_CALL_SET_SPEAKER_CONFIG,
  HAL_AUDIO_CALL_CREATE_BUFFER,
  HAL_AUDIO_CALL_DUPLICATE_BUFFER,
  HAL_AUDIO_CALL_SET_FORMAT,
  HAL_AUDIO_CALL_QUERY_LISTENER,
  HAL_AUDIO_CALL_QUERY_3D,
  HAL_AUDIO_CALL_QUERY_NOTIFY,
  HAL_AUDIO_CALL_SET_NOTIFICATIONS,
  HAL_AUDIO_CALL_PLAY,
  HAL_AUDIO_CALL_STOP,
  HAL_AUDIO_CALL_SET_POSITION,
  HAL_AUDIO_CALL_GET_POSITION,
  HAL_AUDIO_CALL_GET_STATUS,
  HAL_AUDIO_CALL_SET_FREQUENCY,
  HAL_AUDIO_CALL_GET_FREQUENCY,
  HAL_AUDIO_CALL_SET_VOLUME,
  HAL_AUDIO_CALL_GET_VOLUME,
  HAL_AUDIO_CALL_SET_PAN,
  HAL_AUDIO_CALL_GET_PAN,
  HAL_AUDIO_CALL_LOCK,
  HAL_AUDIO_CALL_UNLOCK,
  HAL_AUDIO_CALL_3D_SET,  // any 3D buffer or listener set, mode and commit included
  HAL_AUDIO_CALL_3D_GET,  // any 3D buffer or listener get
  HAL_AUDIO_CALL_COUNT
};

// Device. Outside headless runs it opens the machine's sound output through
// SDL; when none opens, standard error gets one line, once per process, that
// sound is off and why.
uint32_t HalAudioCreate(HalAudioDevice* device);
// The SDL audio drivers HalAudioCreate tries, in order: SDL's own choice ("")
// when the user named one in SDL_AUDIODRIVER; else those of `available` that
// play on the machine: with no sound card (`alsaCards` false) only the sound
// servers', as ALSA would fill standard error with its own lines.
std::vector<std::string> HalAudioDriversToTry(const char* userChoice, bool alsaCards,
                                              const std::vector<std::string>& available);
uint32_t HalAudioDeviceRelease(HalAudioDevice device);
uint32_t HalAudioSetCooperativeLevel(HalAudioDevice device, uint32_t window, uint32_t level);
uint32_t HalAudioGetCaps(HalAudioDevice device, uint32_t* capsFlags);
uint32_t HalAudioSetSpeakerConfig(HalAudioDevice device, uint32_t config);
uint32_t HalAudioGetSpeakerConfig(HalAudioDevice device, uint32_t* config);

// Buffers. Secondary buffers hold 8-bit unsigned or 16-bit signed PCM, mono or
// stereo, at 100..100000 Hz; their contents start silent.
uint32_t HalAudioCreateBuffer(HalAudioDevice device, const HalAudioBufferDesc* desc,
                              HalAudioBuffer* buffer);
// A new buffer on the same samples with its own cursor, state and settings.
uint32_t HalAudioDuplicateBuffer(HalAudioDevice device, HalAudioBuffer source,
                                 HalAudioBuffer* duplicate);
uint32_t HalAudioRelease(HalAudioBuffer buffer);
uint32_t HalAudioSetFormat(HalAudioBuffer primary, const HalAudioFormat* format);
uint32_t HalAudioGetFormat(HalAudioBuffer buffer, HalAudioFormat* format);

uint32_t HalAudioPlay(HalAudioBuffer buffer, uint32_t reserved, uint32_t priority, uint32_t flags);
uint32_t HalAudioStop(HalAudioBuffer buffer);
uint32_t HalAudioSetCurrentPosition(HalAudioBuffer buffer, uint32_t offset);
uint32_t HalAudioGetCurrentPosition(HalAudioBuffer buffer, uint32_t* play, uint32_t* write);
uint32_t HalAudioGetStatus(HalAudioBuffer buffer, uint32_t* status);
// 0 restores the rate of the buffer's format.
uint32_t HalAudioSetFrequency(HalAudioBuffer buffer, uint32_t hz);
uint32_t HalAudioGetFrequency(HalAudioBuffer buffer, uint32_t* hz);
uint32_t HalAudioSetVolume(HalAudioBuffer buffer, int32_t volume);
uint32_t HalAudioGetVolume(HalAudioBuffer buffer, int32_t* volume);
uint32_t HalAudioSetPan(HalAudioBuffer buffer, int32_t pan);
uint32_t HalAudioGetPan(HalAudioBuffer buffer, int32_t* pan);

// Up to two regions (the second when the range wraps past the end). The
// pointers stay valid until the matching unlock, which commits what was written.
uint32_t HalAudioLock(HalAudioBuffer buffer, uint32_t offset, uint32_t bytes, void** region1,
                      uint32_t* bytes1, void** region2, uint32_t* bytes2, uint32_t flags);
uint32_t HalAudioUnlock(HalAudioBuffer buffer, void* region1, uint32_t bytes1, void* region2,
                        uint32_t bytes2);

// Position notifications: an event is set from the mixer each time the play
// cursor reaches its offset (a play that starts at the offset reaches it).
uint32_t HalAudioQueryNotify(HalAudioBuffer buffer, HalAudioBuffer* notify);
uint32_t HalAudioSetNotificationPositions(HalAudioBuffer notify, uint32_t count,
                                          const HalAudioNotify* positions);

// 3D sound. Deferred settings wait for HalAudioCommitDeferred; gets read the
// latest settings, committed or not.
uint32_t HalAudioQuery3D(HalAudioBuffer buffer, HalAudioBuffer* buffer3d);
uint32_t HalAudio3DSetMode(HalAudioBuffer buffer3d, uint32_t mode, uint32_t apply);
uint32_t HalAudio3DGetMode(HalAudioBuffer buffer3d, uint32_t* mode);
uint32_t HalAudio3DSetMinDistance(HalAudioBuffer buffer3d, float distance, uint32_t apply);
uint32_t HalAudio3DGetMinDistance(HalAudioBuffer buffer3d, float* distance);
uint32_t HalAudio3DSetMaxDistance(HalAudioBuffer buffer3d, float distance, uint32_t apply);
uint32_t HalAudio3DGetMaxDistance(HalAudioBuffer buffer3d, float* distance);
uint32_t HalAudio3DSetPosition(HalAudioBuffer buffer3d, const HalAudioVector* v, uint32_t apply);
uint32_t HalAudio3DGetPosition(HalAudioBuffer buffer3d, HalAudioVector* v);
uint32_t HalAudio3DSetVelocity(HalAudioBuffer buffer3d, const HalAudioVector* v, uint32_t apply);
uint32_t HalAudio3DGetVelocity(HalAudioBuffer buffer3d, HalAudioVector* v);
uint32_t HalAudio3DSetConeAngles(HalAudioBuffer buffer3d, uint32_t inside, uint32_t outside,
                                 uint32_t apply);
uint32_t HalAudio3DGetConeAngles(HalAudioBuffer buffer3d, uint32_t* inside, uint32_t* outside);
uint32_t HalAudio3DSetConeOrientation(HalAudioBuffer buffer3d, const HalAudioVector* v,
                                      uint32_t apply);
uint32_t HalAudio3DGetConeOrientation(HalAudioBuffer buffer3d, HalAudioVector* v);
uint32_t HalAudio3DSetConeOutsideVolume(HalAudioBuffer buffer3d, int32_t volume, uint32_t apply);
uint32_t HalAudio3DGetConeOutsideVolume(HalAudioBuffer buffer3d, int32_t* volume);

// The listener lives on the primary buffer.
uint32_t HalAudioQueryListener(HalAudioBuffer primary, HalAudioBuffer* listener);
uint32_t HalAudioListenerSetAll(HalAudioBuffer listener, const HalAudioListenerParams* params,
                                uint32_t apply);
uint32_t HalAudioListenerGetAll(HalAudioBuffer listener, HalAudioListenerParams* params);
uint32_t HalAudioListenerSetPosition(HalAudioBuffer listener, const HalAudioVector* v,
                                     uint32_t apply);
uint32_t HalAudioListenerGetPosition(HalAudioBuffer listener, HalAudioVector* v);
uint32_t HalAudioListenerSetVelocity(HalAudioBuffer listener, const HalAudioVector* v,
                                     uint32_t apply);
uint32_t HalAudioListenerGetVelocity(HalAudioBuffer listener, HalAudioVector* v);
uint32_t HalAudioListenerSetOrientation(HalAudioBuffer listener, const HalAudioVector* front,
                                        const HalAudioVector* top, uint32_t apply);
uint32_t HalAudioListenerGetOrientation(HalAudioBuffer listener, HalAudioVector* front,
                                        HalAudioVector* top);
uint32_t HalAudioCommitDeferred(HalAudioBuffer listener);

// Mixes `frames` stereo frames into `out` and moves every playing cursor on.
// A sum that would pass full scale is turned down by a limiter whose state
// carries from one call to the next.
// SDL's callback calls it; headless, tests call it, and so does a headless
// program (HalHeadlessProgram) at every shown frame: the frames of the virtual
// time since the last mix, so that a run mixes the same on every run.
// TORVANE_AUDIO_DUMP=<file> keeps that mix and writes it as a WAVE file
// (44100 Hz, stereo, 16-bit) when the program ends.
void HalAudioRender(int16_t* out, uint32_t frames);

// Tests: the next calls of a kind fail (or succeed) with `code`. `skip` calls of
// that kind pass untouched first. A success code other than 0 does the work and
// returns that code.
void HalAudioInjectResult(HalAudioCall call, uint32_t code, uint32_t skip = 0);
// Objects still alive (buffers and queried interfaces), and the device.
uint32_t HalAudioLiveObjects();
bool HalAudioDeviceOpen();
// Drops every object, injection and setting.
void HalAudioResetForTest();
