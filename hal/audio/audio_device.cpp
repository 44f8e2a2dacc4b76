// The device: open and release, cooperative level, capabilities, speakers.
// The device's state and the lookups every call uses live here too.
#include <SDL.h>

#include "hal/audio/audio_internal.h"
#include "hal/window.h"

namespace audio {

Mixer& M() {
  static Mixer mixer;
  return mixer;
}

uint32_t Begin(Mixer& m, HalAudioCall call) {
  if (call >= HAL_AUDIO_CALL_COUNT) return HAL_AUDIO_OK;
  auto& queue = m.injections[call];
  if (queue.empty()) return HAL_AUDIO_OK;
  if (queue.front().skip > 0) {
    --queue.front().skip;
    return HAL_AUDIO_OK;
  }
  uint32_t code = queue.front().code;
  queue.pop_front();
  return code;
}

Buffer* Find(Mixer& m, HalAudioBuffer handle) {
  auto it = m.buffers.find(handle);
  return it == m.buffers.end() ? nullptr : &it->second;
}

Buffer* Find3D(Mixer& m, HalAudioBuffer handle) {
  Buffer* b = Find(m, handle);
  return (b && !b->primary && (b->flags & HAL_AUDIO_BUFFER_CTRL3D)) ? b : nullptr;
}

Buffer* FindListener(Mixer& m, HalAudioBuffer handle) {
  Buffer* b = Find(m, handle);
  return (b && b->primary) ? b : nullptr;
}

}  // namespace audio

using namespace audio;

namespace {

void SdlCallback(void*, Uint8* stream, int len) {
  HalAudioRender(reinterpret_cast<int16_t*>(stream),
                 static_cast<uint32_t>(len) / (2 * HAL_AUDIO_OUTPUT_CHANNELS));
}

}  // namespace

uint32_t HalAudioCreate(HalAudioDevice* device) {
  if (!device) return HAL_AUDIO_E_INVALIDPARAM;
  Mixer& m = M();
  {
    std::lock_guard lock(m.mutex);
    uint32_t r = Begin(m, HAL_AUDIO_CALL_CREATE);
    if (!HalAudioSucceeded(r)) return r;
    if (m.open) return HAL_AUDIO_E_ALLOCATED;
    if (HalIsHeadless()) {
      m.open = true;
      *device = DEVICE_ID;
      return r;
    }
  }
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return HAL_AUDIO_E_NODRIVER;
  SDL_AudioSpec want{};
  SDL_AudioSpec have{};
  want.freq = HAL_AUDIO_OUTPUT_RATE;
  want.format = AUDIO_S16SYS;
  want.channels = HAL_AUDIO_OUTPUT_CHANNELS;
  want.samples = 1024;
  want.callback = SdlCallback;
  SDL_AudioDeviceID id = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  if (id == 0) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return HAL_AUDIO_E_NODRIVER;
  }
  {
    std::lock_guard lock(m.mutex);
    m.open = true;
    m.sdl = id;
  }
  SDL_PauseAudioDevice(id, 0);
  *device = DEVICE_ID;
  return HAL_AUDIO_OK;
}

uint32_t HalAudioDeviceRelease(HalAudioDevice device) {
  Mixer& m = M();
  SDL_AudioDeviceID id;
  {
    std::lock_guard lock(m.mutex);
    if (device != DEVICE_ID || !m.open) return HAL_AUDIO_E_INVALIDPARAM;
    m.open = false;
    id = m.sdl;
    m.sdl = 0;
  }
  // Closing waits for a running callback, which takes the mixer's lock.
  if (id != 0) {
    SDL_CloseAudioDevice(id);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
  }
  return HAL_AUDIO_OK;
}

uint32_t HalAudioSetCooperativeLevel(HalAudioDevice device, uint32_t, uint32_t) {
  Mixer& m = M();
  std::lock_guard lock(m.mutex);
  if (device != DEVICE_ID || !m.open) return HAL_AUDIO_E_INVALIDPARAM;
  return Begin(m, HAL_AUDIO_CALL_SET_COOPERATIVE_LEVEL);
}

uint32_t HalAudioGetCaps(HalAudioDevice device, uint32_t* capsFlags) {
  Mixer& m = M();
  std::lock_guard lock(m.mutex);
  if (device != DEVICE_ID || !m.open || !capsFlags) return HAL_AUDIO_E_INVALIDPARAM;
  uint32_t r = Begin(m, HAL_AUDIO_CALL_GET_CAPS);
  if (HalAudioSucceeded(r)) {
    *capsFlags = HAL_AUDIO_CAPS_PRIMARYMONO | HAL_AUDIO_CAPS_PRIMARYSTEREO |
                 HAL_AUDIO_CAPS_PRIMARY8BIT | HAL_AUDIO_CAPS_PRIMARY16BIT;
  }
  return r;
}

uint32_t HalAudioSetSpeakerConfig(HalAudioDevice device, uint32_t config) {
  Mixer& m = M();
  std::lock_guard lock(m.mutex);
  if (device != DEVICE_ID || !m.open) return HAL_AUDIO_E_INVALIDPARAM;
  uint32_t r = Begin(m, HAL_AUDIO_CALL_SET_SPEAKER_CONFIG);
  if (HalAudioSucceeded(r)) m.speakerConfig = config;
  return r;
}

uint32_t HalAudioGetSpeakerConfig(HalAudioDevice device, uint32_t* config) {
  Mixer& m = M();
  std::lock_guard lock(m.mutex);
  if (device != DEVICE_ID || !m.open || !config) return HAL_AUDIO_E_INVALIDPARAM;
  *config = m.speakerConfig;
  return HAL_AUDIO_OK;
}

