// Inside the sound device: the state the four parts share (device, buffers,
// 3D, mixing) and the helpers every call goes through. One lock guards it all;
// SDL's callback thread takes it to mix.
#pragma once
#include <SDL.h>

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "hal/audio/audio.h"

namespace audio {

constexpr HalAudioDevice DEVICE_ID = 1;

struct Params3D {
  HalAudioVector position{0, 0, 0};
  HalAudioVector velocity{0, 0, 0};
  HalAudioVector coneOrientation{0, 0, 1};
  float minDistance = 1.0f;
  float maxDistance = 1.0e9f;
  uint32_t insideAngle = 360;
  uint32_t outsideAngle = 360;
  int32_t coneOutsideVolume = 0;
  uint32_t mode = HAL_AUDIO_3D_NORMAL;
};

struct Buffer {
  uint32_t refs = 1;
  bool primary = false;
  uint32_t flags = 0;
  HalAudioFormat format{};
  std::shared_ptr<std::vector<uint8_t>> data;
  double cursor = 0.0;  // in sample frames
  bool playing = false;
  bool looping = false;
  uint32_t frequency = 0;
  int32_t volume = 0;
  int32_t pan = 0;
  std::vector<HalAudioNotify> notifications;
  Params3D pending;
  Params3D current;
  bool locked = false;
  uint32_t lockOffset = 0;
  uint32_t lockBytes1 = 0;
  uint32_t lockBytes2 = 0;
  std::vector<uint8_t> staging;

  uint32_t Bytes() const { return data ? static_cast<uint32_t>(data->size()) : 0; }
  uint32_t Frames() const { return format.blockAlign ? Bytes() / format.blockAlign : 0; }
};

struct Injection {
  uint32_t code;
  uint32_t skip;
};

inline HalAudioListenerParams DefaultListener() {
  HalAudioListenerParams p{};
  p.front = {0, 0, 1};
  p.top = {0, 1, 0};
  p.distanceFactor = 1.0f;
  p.rolloffFactor = 1.0f;
  p.dopplerFactor = 1.0f;
  return p;
}

// All of the device's state; the mixer thread and the callers share it under `mutex`.
struct Mixer {
  std::mutex mutex;
  bool open = false;
  SDL_AudioDeviceID sdl = 0;
  uint32_t speakerConfig = 0;
  std::map<HalAudioBuffer, Buffer> buffers;
  HalAudioBuffer nextId = 2;  // 1 is the device
  HalAudioListenerParams listenerPending = DefaultListener();
  HalAudioListenerParams listenerCurrent = DefaultListener();
  std::deque<Injection> injections[HAL_AUDIO_CALL_COUNT];
  // The output limiter (audio_mixing.cpp): its gain and the frames it still holds it.
  double limiterGain = 1.0;
  uint32_t limiterHold = 0;
  // The game never releases the device: SDL's thread must stop mixing before
  // this state goes away at the end of the process.
  ~Mixer() {
    if (sdl != 0) SDL_CloseAudioDevice(sdl);
  }
};

// The one device's state, made on first use.
Mixer& M();

// The result a call starts from: an injected code, or success.
uint32_t Begin(Mixer& m, HalAudioCall call);

Buffer* Find(Mixer& m, HalAudioBuffer handle);
Buffer* Find3D(Mixer& m, HalAudioBuffer handle);     // a secondary 3D buffer
Buffer* FindListener(Mixer& m, HalAudioBuffer handle);  // the primary buffer

// Runs `fn` on the buffer `find` gives for `handle`, under the lock, after any
// injected result; a failure of `fn` replaces the call's result.
template <typename Fn>
uint32_t WithBuffer(HalAudioCall call, HalAudioBuffer handle, Fn fn,
                    Buffer* (*find)(Mixer&, HalAudioBuffer) = Find) {
  Mixer& m = M();
  std::lock_guard lock(m.mutex);
  Buffer* b = find(m, handle);
  if (!b) return HAL_AUDIO_E_INVALIDPARAM;
  uint32_t r = Begin(m, call);
  if (!HalAudioSucceeded(r)) return r;
  uint32_t done = fn(*b);
  return HalAudioSucceeded(done) ? r : done;
}

// Hooks the mix of a headless program to its shown frames (audio_frames.cpp).
void FollowFrames();

}  // namespace audio
