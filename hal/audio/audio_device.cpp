// The device: open and release, cooperative level, capabilities, speakers.
// The device's state and the lookups every call uses live here too.
#include <SDL.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

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

std::vector<std::string> HalAudioDriversToTry(const char* userChoice, bool alsaCards,
                                              const std::vector<std::string>& available) {
  if (userChoice && *userChoice) return {""};
  std::vector<std::string> drivers;
  for (const std::string& name : available) {
    if (name == "dummy" || name == "disk") continue;  // they play nothing
    // Without a card only a sound server can play, and the servers' drivers
    // fail quietly; ALSA, and sndio and OSS over it, would print their own
    // errors for every device they look for.
    if (!alsaCards && name != "pulseaudio" && name != "pipewire") continue;
    drivers.push_back(name);
  }
  return drivers;
}

namespace {

// Opens SDL's output on the first driver that has one; the reason why not otherwise.
SDL_AudioDeviceID OpenSdlOutput(SDL_AudioSpec* want, std::string* reason) {
  std::vector<std::string> available;
  for (int i = 0; i < SDL_GetNumAudioDrivers(); ++i) available.emplace_back(SDL_GetAudioDriver(i));
  const bool alsaCards = ::access("/dev/snd", F_OK) == 0;
  const std::vector<std::string> drivers = HalAudioDriversToTry(std::getenv("SDL_AUDIODRIVER"), alsaCards, available);
  *reason = alsaCards ? "no sound server or sound card answered" : "no sound card (/dev/snd is missing) and no sound server";
  for (const std::string& driver : drivers) {
    if (!driver.empty()) SDL_SetHint(SDL_HINT_AUDIODRIVER, driver.c_str());
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
      if (driver.empty()) *reason = SDL_GetError();
      continue;
    }
    SDL_AudioSpec have{};
    SDL_AudioDeviceID id = SDL_OpenAudioDevice(nullptr, 0, want, &have, 0);
    if (id != 0) return id;
    *reason = SDL_GetError();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
  }
  return 0;
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
  SDL_AudioSpec want{};
  want.freq = HAL_AUDIO_OUTPUT_RATE;
  want.format = AUDIO_S16SYS;
  want.channels = HAL_AUDIO_OUTPUT_CHANNELS;
  want.samples = 1024;
  want.callback = SdlCallback;
  std::string reason;
  SDL_AudioDeviceID id = OpenSdlOutput(&want, &reason);
  if (id == 0) {
    // The game goes on silent; a player should know why, once.
    static bool told = false;
    if (!told) std::fprintf(stderr, "sound is off: %s\n", reason.c_str());
    told = true;
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

