#include "hal/audio/audio.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "hal/cd/cd.h"
#include "hal/cd/mixer.h"
#include "hal/window.h"

namespace {

constexpr HalAudioDevice DEVICE_ID = 1;
constexpr double SPEED_OF_SOUND = 343.0;  // metres per second

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

HalAudioListenerParams DefaultListener() {
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
  // The game never releases the device: SDL's thread must stop mixing before
  // this state goes away at the end of the process.
  ~Mixer() {
    if (sdl != 0) SDL_CloseAudioDevice(sdl);
  }
};

Mixer& M() {
  static Mixer mixer;
  return mixer;
}

// The result a call starts from: an injected code, or success.
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

bool ValidFormat(const HalAudioFormat& f) {
  return f.formatTag == 1 && (f.channels == 1 || f.channels == 2) &&
         (f.bitsPerSample == 8 || f.bitsPerSample == 16) &&
         f.blockAlign == f.channels * f.bitsPerSample / 8 &&
         f.samplesPerSecond >= HAL_AUDIO_MIN_FREQUENCY &&
         f.samplesPerSecond <= HAL_AUDIO_MAX_FREQUENCY;
}

uint32_t ByteCursor(const Buffer& b) {
  return static_cast<uint32_t>(b.cursor) * b.format.blockAlign;
}

bool Finite(const HalAudioVector& v) {
  return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

double Dot(const HalAudioVector& a, const HalAudioVector& b) {
  return double(a.x) * b.x + double(a.y) * b.y + double(a.z) * b.z;
}

HalAudioVector Sub(const HalAudioVector& a, const HalAudioVector& b) {
  return {a.x - b.x, a.y - b.y, a.z - b.z};
}

HalAudioVector Cross(const HalAudioVector& a, const HalAudioVector& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

double DecibelGain(int32_t hundredths) { return std::pow(10.0, hundredths / 2000.0); }

// One sample of channel `channel` at frame `frame`, as a signed 16-bit value.
double Sample(const Buffer& b, uint32_t frame, uint32_t channel) {
  const uint8_t* p = b.data->data() + size_t(frame) * b.format.blockAlign;
  if (b.format.bitsPerSample == 8) return (double(p[channel]) - 128.0) * 256.0;
  return double(int16_t(uint16_t(p[2 * channel] | (p[2 * channel + 1] << 8))));
}

struct Gains {
  double left;
  double right;
  double pitch;  // multiplies the frequency
  bool downmix;  // a 3D sound is heard from one point
};

Gains BufferGains(const Mixer& m, const Buffer& b) {
  Gains g{DecibelGain(b.volume), DecibelGain(b.volume), 1.0, false};
  if (b.pan > 0) g.left *= DecibelGain(-b.pan);
  if (b.pan < 0) g.right *= DecibelGain(b.pan);
  if (!(b.flags & HAL_AUDIO_BUFFER_CTRL3D) || b.current.mode != HAL_AUDIO_3D_NORMAL) return g;

  const HalAudioListenerParams& l = m.listenerCurrent;
  const Params3D& s = b.current;
  g.downmix = true;
  HalAudioVector rel = Sub(s.position, l.position);
  double dist = std::sqrt(Dot(rel, rel));
  double minD = std::max(double(s.minDistance), 1e-6);
  double maxD = std::max(double(s.maxDistance), minD);
  if ((b.flags & HAL_AUDIO_BUFFER_MUTE3DATMAXDISTANCE) && dist > maxD) {
    g.left = g.right = 0.0;
    return g;
  }
  double d = std::clamp(dist, minD, maxD);
  double atten = minD / (minD + std::max(0.0, double(l.rolloffFactor)) * (d - minD));
  g.left *= atten;
  g.right *= atten;
  if (dist > 1e-9) {
    HalAudioVector right = Cross(l.top, l.front);
    double len = std::sqrt(Dot(right, right));
    double side = len > 1e-9 ? Dot(rel, right) / (len * dist) : 0.0;
    side = std::clamp(side, -1.0, 1.0);
    g.left *= std::min(1.0, 1.0 - side);
    g.right *= std::min(1.0, 1.0 + side);
    if (l.dopplerFactor > 0.0f) {
      // Speeds along the line from the source to the listener, in metres a second.
      HalAudioVector toListener{-rel.x, -rel.y, -rel.z};
      double k = double(l.distanceFactor) * l.dopplerFactor / dist;
      double limit = SPEED_OF_SOUND * 0.99;
      double vs = std::clamp(Dot(s.velocity, toListener) * k, -limit, limit);
      double vl = std::clamp(Dot(l.velocity, toListener) * k, -limit, limit);
      g.pitch = (SPEED_OF_SOUND - vl) / (SPEED_OF_SOUND - vs);
    }
  }
  return g;
}

// Mixes one buffer into `acc` and moves its cursor; collects the events of the
// notification offsets its cursor reached.
void MixBuffer(const Mixer& m, Buffer& b, double* acc, uint32_t frames,
               std::vector<HalEvent>* fired) {
  uint32_t n = b.Frames();
  if (n == 0) {
    b.playing = false;
    return;
  }
  Gains g = BufferGains(m, b);
  double step = double(b.frequency) * g.pitch / HAL_AUDIO_OUTPUT_RATE;
  bool audible = g.left > 0.0 || g.right > 0.0;
  double start = b.cursor;
  double pos = b.cursor;
  double travelled = 0.0;
  uint32_t ch = b.format.channels;
  for (uint32_t i = 0; i < frames; ++i) {
    if (audible) {
      uint32_t f0 = static_cast<uint32_t>(pos);
      double frac = pos - f0;
      uint32_t f1 = f0 + 1 < n ? f0 + 1 : (b.looping ? 0 : f0);
      double l0 = Sample(b, f0, 0), l1 = Sample(b, f1, 0);
      double left = l0 + (l1 - l0) * frac;
      double right = left;
      if (ch == 2) {
        double r0 = Sample(b, f0, 1), r1 = Sample(b, f1, 1);
        right = r0 + (r1 - r0) * frac;
        if (g.downmix) left = right = (left + right) * 0.5;
      }
      acc[2 * i] += left * g.left;
      acc[2 * i + 1] += right * g.right;
    }
    pos += step;
    travelled += step;
    if (pos >= n) {
      if (b.looping) {
        pos = std::fmod(pos, double(n));
      } else {
        travelled -= pos - n;
        b.playing = false;
        pos = 0.0;
        break;
      }
    }
  }
  b.cursor = pos;
  // Frames covered this time: [s, e) on the unwrapped cursor.
  int64_t s = static_cast<int64_t>(start);
  int64_t e = static_cast<int64_t>(start + travelled);
  if (!b.playing && !b.looping) e = std::max<int64_t>(e, n);
  for (const HalAudioNotify& note : b.notifications) {
    int64_t of = note.offset / b.format.blockAlign;
    int64_t k = of >= s ? 0 : (s - of + n - 1) / n;
    if (of + k * int64_t(n) < e) fired->push_back(note.event);
  }
}

void SdlCallback(void*, Uint8* stream, int len) {
  HalAudioRender(reinterpret_cast<int16_t*>(stream),
                 static_cast<uint32_t>(len) / (2 * HAL_AUDIO_OUTPUT_CHANNELS));
}

template <typename Fn>
uint32_t With3D(HalAudioCall call, HalAudioBuffer handle, Fn fn) {
  Mixer& m = M();
  std::lock_guard lock(m.mutex);
  Buffer* b = Find3D(m, handle);
  if (!b) return HAL_AUDIO_E_INVALIDPARAM;
  uint32_t r = Begin(m, call);
  if (!HalAudioSucceeded(r)) return r;
  uint32_t done = fn(*b);
  return HalAudioSucceeded(done) ? r : done;
}

template <typename Fn>
uint32_t WithListener(HalAudioCall call, HalAudioBuffer handle, Fn fn) {
  Mixer& m = M();
  std::lock_guard lock(m.mutex);
  if (!FindListener(m, handle)) return HAL_AUDIO_E_INVALIDPARAM;
  uint32_t r = Begin(m, call);
  if (!HalAudioSucceeded(r)) return r;
  uint32_t done = fn(m);
  return HalAudioSucceeded(done) ? r : done;
}

template <typename Fn>
uint32_t WithBuffer(HalAudioCall call, HalAudioBuffer handle, Fn fn) {
  Mixer& m = M();
  std::lock_guard lock(m.mutex);
  Buffer* b = Find(m, handle);
  if (!b) return HAL_AUDIO_E_INVALIDPARAM;
  uint32_t r = Begin(m, call);
  if (!HalAudioSucceeded(r)) return r;
  uint32_t done = fn(*b);
  return HalAudioSucceeded(done) ? r : done;
}

// Applies a 3D setting now or at the next commit.
template <typename Fn>
void Set3D(Buffer& b, uint32_t apply, Fn fn) {
  fn(b.pending);
  if (apply == HAL_AUDIO_3D_IMMEDIATE) fn(b.current);
}

template <typename Fn>
void SetListener(Mixer& m, uint32_t apply, Fn fn) {
  fn(m.listenerPending);
  if (apply == HAL_AUDIO_3D_IMMEDIATE) fn(m.listenerCurrent);
}

}  // namespace

// ---- Device ----------------------------------------------------------------

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

// ---- Buffers ---------------------------------------------------------------

uint32_t HalAudioCreateBuffer(HalAudioDevice device, const HalAudioBufferDesc* desc,
                              HalAudioBuffer* buffer) {
  Mixer& m = M();
  std::lock_guard lock(m.mutex);
  if (device != DEVICE_ID || !m.open || !desc || !buffer) return HAL_AUDIO_E_INVALIDPARAM;
  uint32_t r = Begin(m, HAL_AUDIO_CALL_CREATE_BUFFER);
  if (!HalAudioSucceeded(r)) return r;
  Buffer b;
  b.flags = desc->flags;
  if (desc->flags & HAL_AUDIO_BUFFER_PRIMARY) {
    if (desc->bytes != 0 || desc->format) return HAL_AUDIO_E_INVALIDPARAM;
    for (const auto& [id, other] : m.buffers) {
      if (other.primary) return HAL_AUDIO_E_ALLOCATED;
    }
    b.primary = true;
    b.format = {1, 2, HAL_AUDIO_OUTPUT_RATE, HAL_AUDIO_OUTPUT_RATE * 4, 4, 16};
  } else {
    if (!desc->format) return HAL_AUDIO_E_INVALIDPARAM;
    if (!ValidFormat(*desc->format)) return HAL_AUDIO_E_BADFORMAT;
    if (desc->bytes < desc->format->blockAlign || desc->bytes > HAL_AUDIO_MAX_BUFFER_BYTES) {
      return HAL_AUDIO_E_INVALIDPARAM;
    }
    b.format = *desc->format;
    uint8_t silence = b.format.bitsPerSample == 8 ? 0x80 : 0x00;
    b.data = std::make_shared<std::vector<uint8_t>>(desc->bytes, silence);
    b.frequency = b.format.samplesPerSecond;
  }
  HalAudioBuffer id = m.nextId++;
  m.buffers.emplace(id, std::move(b));
  *buffer = id;
  return r;
}

uint32_t HalAudioDuplicateBuffer(HalAudioDevice device, HalAudioBuffer source,
                                 HalAudioBuffer* duplicate) {
  Mixer& m = M();
  std::lock_guard lock(m.mutex);
  if (device != DEVICE_ID || !m.open || !duplicate) return HAL_AUDIO_E_INVALIDPARAM;
  Buffer* src = Find(m, source);
  if (!src || src->primary) return HAL_AUDIO_E_INVALIDPARAM;
  uint32_t r = Begin(m, HAL_AUDIO_CALL_DUPLICATE_BUFFER);
  if (!HalAudioSucceeded(r)) return r;
  Buffer b;
  b.flags = src->flags;
  b.format = src->format;
  b.data = src->data;
  b.frequency = src->frequency;
  b.volume = src->volume;
  b.pan = src->pan;
  b.pending = src->pending;
  b.current = src->current;
  HalAudioBuffer id = m.nextId++;
  m.buffers.emplace(id, std::move(b));
  *duplicate = id;
  return r;
}

uint32_t HalAudioRelease(HalAudioBuffer buffer) {
  Mixer& m = M();
  std::lock_guard lock(m.mutex);
  auto it = m.buffers.find(buffer);
  if (it == m.buffers.end()) return HAL_AUDIO_E_INVALIDPARAM;
  if (--it->second.refs == 0) m.buffers.erase(it);
  return HAL_AUDIO_OK;
}

uint32_t HalAudioSetFormat(HalAudioBuffer primary, const HalAudioFormat* format) {
  Mixer& m = M();
  std::lock_guard lock(m.mutex);
  Buffer* b = FindListener(m, primary);
  if (!b || !format) return HAL_AUDIO_E_INVALIDPARAM;
  uint32_t r = Begin(m, HAL_AUDIO_CALL_SET_FORMAT);
  if (!HalAudioSucceeded(r)) return r;
  if (!ValidFormat(*format)) return HAL_AUDIO_E_BADFORMAT;
  // The mixer keeps its own output format; the primary format is what callers read back.
  b->format = *format;
  return r;
}

uint32_t HalAudioGetFormat(HalAudioBuffer buffer, HalAudioFormat* format) {
  if (!format) return HAL_AUDIO_E_INVALIDPARAM;
  return WithBuffer(HAL_AUDIO_CALL_COUNT, buffer, [&](Buffer& b) {
    *format = b.format;
    return HAL_AUDIO_OK;
  });
}

uint32_t HalAudioPlay(HalAudioBuffer buffer, uint32_t reserved, uint32_t, uint32_t flags) {
  return WithBuffer(HAL_AUDIO_CALL_PLAY, buffer, [&](Buffer& b) {
    if (reserved != 0) return HAL_AUDIO_E_INVALIDPARAM;
    if (b.primary) return HAL_AUDIO_OK;  // the primary buffer always runs
    b.playing = true;
    b.looping = (flags & HAL_AUDIO_PLAY_LOOPING) != 0;
    return HAL_AUDIO_OK;
  });
}

uint32_t HalAudioStop(HalAudioBuffer buffer) {
  return WithBuffer(HAL_AUDIO_CALL_STOP, buffer, [&](Buffer& b) {
    b.playing = false;
    return HAL_AUDIO_OK;
  });
}

uint32_t HalAudioSetCurrentPosition(HalAudioBuffer buffer, uint32_t offset) {
  return WithBuffer(HAL_AUDIO_CALL_SET_POSITION, buffer, [&](Buffer& b) {
    if (b.primary || offset >= b.Bytes()) return HAL_AUDIO_E_INVALIDPARAM;
    b.cursor = double(offset / b.format.blockAlign);
    return HAL_AUDIO_OK;
  });
}

uint32_t HalAudioGetCurrentPosition(HalAudioBuffer buffer, uint32_t* play, uint32_t* write) {
  return WithBuffer(HAL_AUDIO_CALL_GET_POSITION, buffer, [&](Buffer& b) {
    uint32_t at = b.primary ? 0 : ByteCursor(b);
    if (play) *play = at;
    if (write) *write = at;
    return HAL_AUDIO_OK;
  });
}

uint32_t HalAudioGetStatus(HalAudioBuffer buffer, uint32_t* status) {
  if (!status) return HAL_AUDIO_E_INVALIDPARAM;
  return WithBuffer(HAL_AUDIO_CALL_GET_STATUS, buffer, [&](Buffer& b) {
    *status = (b.playing ? HAL_AUDIO_STATUS_PLAYING : 0) |
              (b.playing && b.looping ? HAL_AUDIO_STATUS_LOOPING : 0);
    return HAL_AUDIO_OK;
  });
}

uint32_t HalAudioSetFrequency(HalAudioBuffer buffer, uint32_t hz) {
  return WithBuffer(HAL_AUDIO_CALL_SET_FREQUENCY, buffer, [&](Buffer& b) {
    if (b.primary || !(b.flags & HAL_AUDIO_BUFFER_CTRLFREQUENCY)) {
      return HAL_AUDIO_E_CONTROLUNAVAIL;
    }
    if (hz == 0) hz = b.format.samplesPerSecond;
    if (hz < HAL_AUDIO_MIN_FREQUENCY || hz > HAL_AUDIO_MAX_FREQUENCY) {
      return HAL_AUDIO_E_INVALIDPARAM;
    }
    b.frequency = hz;
    return HAL_AUDIO_OK;
  });
}

uint32_t HalAudioGetFrequency(HalAudioBuffer buffer, uint32_t* hz) {
  if (!hz) return HAL_AUDIO_E_INVALIDPARAM;
  return WithBuffer(HAL_AUDIO_CALL_GET_FREQUENCY, buffer, [&](Buffer& b) {
    if (b.primary || !(b.flags & HAL_AUDIO_BUFFER_CTRLFREQUENCY)) {
      return HAL_AUDIO_E_CONTROLUNAVAIL;
    }
    *hz = b.frequency;
    return HAL_AUDIO_OK;
  });
}

uint32_t HalAudioSetVolume(HalAudioBuffer buffer, int32_t volume) {
  return WithBuffer(HAL_AUDIO_CALL_SET_VOLUME, buffer, [&](Buffer& b) {
    if (!b.primary && !(b.flags & HAL_AUDIO_BUFFER_CTRLVOLUME)) return HAL_AUDIO_E_CONTROLUNAVAIL;
    if (volume < HAL_AUDIO_VOLUME_MIN || volume > 0) return HAL_AUDIO_E_INVALIDPARAM;
    b.volume = volume;
    return HAL_AUDIO_OK;
  });
}

uint32_t HalAudioGetVolume(HalAudioBuffer buffer, int32_t* volume) {
  if (!volume) return HAL_AUDIO_E_INVALIDPARAM;
  return WithBuffer(HAL_AUDIO_CALL_GET_VOLUME, buffer, [&](Buffer& b) {
    if (!b.primary && !(b.flags & HAL_AUDIO_BUFFER_CTRLVOLUME)) return HAL_AUDIO_E_CONTROLUNAVAIL;
    *volume = b.volume;
    return HAL_AUDIO_OK;
  });
}

uint32_t HalAudioSetPan(HalAudioBuffer buffer, int32_t pan) {
  return WithBuffer(HAL_AUDIO_CALL_SET_PAN, buffer, [&](Buffer& b) {
    if (!b.primary && !(b.flags & HAL_AUDIO_BUFFER_CTRLPAN)) return HAL_AUDIO_E_CONTROLUNAVAIL;
    if (pan < -HAL_AUDIO_PAN_LIMIT || pan > HAL_AUDIO_PAN_LIMIT) return HAL_AUDIO_E_INVALIDPARAM;
    b.pan = pan;
    return HAL_AUDIO_OK;
  });
}

uint32_t HalAudioGetPan(HalAudioBuffer buffer, int32_t* pan) {
  if (!pan) return HAL_AUDIO_E_INVALIDPARAM;
  return WithBuffer(HAL_AUDIO_CALL_GET_PAN, buffer, [&](Buffer& b) {
    if (!b.primary && !(b.flags & HAL_AUDIO_BUFFER_CTRLPAN)) return HAL_AUDIO_E_CONTROLUNAVAIL;
    *pan = b.pan;
    return HAL_AUDIO_OK;
  });
}

uint32_t HalAudioLock(HalAudioBuffer buffer, uint32_t offset, uint32_t bytes, void** region1,
                      uint32_t* bytes1, void** region2, uint32_t* bytes2, uint32_t flags) {
  if (!region1 || !bytes1) return HAL_AUDIO_E_INVALIDPARAM;
  return WithBuffer(HAL_AUDIO_CALL_LOCK, buffer, [&](Buffer& b) {
    uint32_t size = b.Bytes();
    if (b.primary) return HAL_AUDIO_E_PRIOLEVELNEEDED;
    if (b.locked) return HAL_AUDIO_E_INVALIDCALL;
    if (flags & HAL_AUDIO_LOCK_ENTIREBUFFER) {
      offset = 0;
      bytes = size;
    } else if (flags & HAL_AUDIO_LOCK_FROMWRITECURSOR) {
      offset = ByteCursor(b);
    }
    if (bytes == 0 || bytes > size || offset >= size) return HAL_AUDIO_E_INVALIDPARAM;
    uint32_t first = std::min(bytes, size - offset);
    uint32_t second = bytes - first;
    if (second > 0 && !region2) return HAL_AUDIO_E_INVALIDPARAM;
    // The caller writes into a copy that the unlock puts back, so the mixer
    // never reads bytes another thread is writing.
    b.staging.assign(b.data->begin() + offset, b.data->begin() + offset + first);
    b.staging.insert(b.staging.end(), b.data->begin(), b.data->begin() + second);
    b.locked = true;
    b.lockOffset = offset;
    b.lockBytes1 = first;
    b.lockBytes2 = second;
    *region1 = b.staging.data();
    *bytes1 = first;
    if (region2) *region2 = second ? b.staging.data() + first : nullptr;
    if (bytes2) *bytes2 = second;
    return HAL_AUDIO_OK;
  });
}

uint32_t HalAudioUnlock(HalAudioBuffer buffer, void* region1, uint32_t bytes1, void* region2,
                        uint32_t bytes2) {
  return WithBuffer(HAL_AUDIO_CALL_UNLOCK, buffer, [&](Buffer& b) {
    if (!b.locked || region1 != b.staging.data()) return HAL_AUDIO_E_INVALIDPARAM;
    if (region2 && region2 != b.staging.data() + b.lockBytes1) return HAL_AUDIO_E_INVALIDPARAM;
    uint32_t first = std::min(bytes1, b.lockBytes1);
    uint32_t second = region2 ? std::min(bytes2, b.lockBytes2) : 0;
    std::memcpy(b.data->data() + b.lockOffset, b.staging.data(), first);
    std::memcpy(b.data->data(), b.staging.data() + b.lockBytes1, second);
    b.locked = false;
    b.staging.clear();
    return HAL_AUDIO_OK;
  });
}

uint32_t HalAudioQueryNotify(HalAudioBuffer buffer, HalAudioBuffer* notify) {
  if (!notify) return HAL_AUDIO_E_INVALIDPARAM;
  return WithBuffer(HAL_AUDIO_CALL_QUERY_NOTIFY, buffer, [&](Buffer& b) {
    if (!(b.flags & HAL_AUDIO_BUFFER_CTRLPOSITIONNOTIFY)) return HAL_AUDIO_E_NOINTERFACE;
    ++b.refs;
    *notify = buffer;
    return HAL_AUDIO_OK;
  });
}

uint32_t HalAudioSetNotificationPositions(HalAudioBuffer notify, uint32_t count,
                                          const HalAudioNotify* positions) {
  if (count > 0 && !positions) return HAL_AUDIO_E_INVALIDPARAM;
  return WithBuffer(HAL_AUDIO_CALL_SET_NOTIFICATIONS, notify, [&](Buffer& b) {
    if (!(b.flags & HAL_AUDIO_BUFFER_CTRLPOSITIONNOTIFY)) return HAL_AUDIO_E_CONTROLUNAVAIL;
    if (b.playing) return HAL_AUDIO_E_INVALIDCALL;
    for (uint32_t i = 0; i < count; ++i) {
      if (positions[i].offset >= b.Bytes() || positions[i].event == 0) {
        return HAL_AUDIO_E_INVALIDPARAM;
      }
    }
    b.notifications.assign(positions, positions + count);
    return HAL_AUDIO_OK;
  });
}

// ---- 3D --------------------------------------------------------------------

uint32_t HalAudioQuery3D(HalAudioBuffer buffer, HalAudioBuffer* buffer3d) {
  if (!buffer3d) return HAL_AUDIO_E_INVALIDPARAM;
  return WithBuffer(HAL_AUDIO_CALL_QUERY_3D, buffer, [&](Buffer& b) {
    if (b.primary || !(b.flags & HAL_AUDIO_BUFFER_CTRL3D)) return HAL_AUDIO_E_NOINTERFACE;
    ++b.refs;
    *buffer3d = buffer;
    return HAL_AUDIO_OK;
  });
}

uint32_t HalAudio3DSetMode(HalAudioBuffer buffer3d, uint32_t mode, uint32_t apply) {
  return With3D(HAL_AUDIO_CALL_3D_SET, buffer3d, [&](Buffer& b) {
    if (mode != HAL_AUDIO_3D_NORMAL && mode != HAL_AUDIO_3D_DISABLE) {
      return HAL_AUDIO_E_INVALIDPARAM;
    }
    Set3D(b, apply, [&](Params3D& p) { p.mode = mode; });
    return HAL_AUDIO_OK;
  });
}

uint32_t HalAudio3DGetMode(HalAudioBuffer buffer3d, uint32_t* mode) {
  if (!mode) return HAL_AUDIO_E_INVALIDPARAM;
  return With3D(HAL_AUDIO_CALL_3D_GET, buffer3d, [&](Buffer& b) {
    *mode = b.pending.mode;
    return HAL_AUDIO_OK;
  });
}

uint32_t HalAudio3DSetMinDistance(HalAudioBuffer buffer3d, float distance, uint32_t apply) {
  return With3D(HAL_AUDIO_CALL_3D_SET, buffer3d, [&](Buffer& b) {
    if (!std::isfinite(distance) || distance <= 0.0f) return HAL_AUDIO_E_INVALIDPARAM;
    Set3D(b, apply, [&](Params3D& p) { p.minDistance = distance; });
    return HAL_AUDIO_OK;
  });
}

uint32_t HalAudio3DGetMinDistance(HalAudioBuffer buffer3d, float* distance) {
  if (!distance) return HAL_AUDIO_E_INVALIDPARAM;
  return With3D(HAL_AUDIO_CALL_3D_GET, buffer3d, [&](Buffer& b) {
    *distance = b.pending.minDistance;
    return HAL_AUDIO_OK;
  });
}

uint32_t HalAudio3DSetMaxDistance(HalAudioBuffer buffer3d, float distance, uint32_t apply) {
  return With3D(HAL_AUDIO_CALL_3D_SET, buffer3d, [&](Buffer& b) {
    if (!std::isfinite(distance) || distance <= 0.0f) return HAL_AUDIO_E_INVALIDPARAM;
    Set3D(b, apply, [&](Params3D& p) { p.maxDistance = distance; });
    return HAL_AUDIO_OK;
  });
}

uint32_t HalAudio3DGetMaxDistance(HalAudioBuffer buffer3d, float* distance) {
  if (!distance) return HAL_AUDIO_E_INVALIDPARAM;
  return With3D(HAL_AUDIO_CALL_3D_GET, buffer3d, [&](Buffer& b) {
    *distance = b.pending.maxDistance;
    return HAL_AUDIO_OK;
  });
}

uint32_t HalAudio3DSetPosition(HalAudioBuffer buffer3d, const HalAudioVector* v, uint32_t apply) {
  if (!v || !Finite(*v)) return HAL_AUDIO_E_INVALIDPARAM;
  return With3D(HAL_AUDIO_CALL_3D_SET, buffer3d, [&](Buffer& b) {
    Set3D(b, apply, [&](Params3D& p) { p.position = *v; });
    return HAL_AUDIO_OK;
  });
}

uint32_t HalAudio3DGetPosition(HalAudioBuffer buffer3d, HalAudioVector* v) {
  if (!v) return HAL_AUDIO_E_INVALIDPARAM;
  return With3D(HAL_AUDIO_CALL_3D_GET, buffer3d, [&](Buffer& b) {
    *v = b.pending.position;
    return HAL_AUDIO_OK;
  });
}

uint32_t HalAudio3DSetVelocity(HalAudioBuffer buffer3d, const HalAudioVector* v, uint32_t apply) {
  if (!v || !Finite(*v)) return HAL_AUDIO_E_INVALIDPARAM;
  return With3D(HAL_AUDIO_CALL_3D_SET, buffer3d, [&](Buffer& b) {
    Set3D(b, apply, [&](Params3D& p) { p.velocity = *v; });
    return HAL_AUDIO_OK;
  });
}

uint32_t HalAudio3DGetVelocity(HalAudioBuffer buffer3d, HalAudioVector* v) {
  if (!v) return HAL_AUDIO_E_INVALIDPARAM;
  return With3D(HAL_AUDIO_CALL_3D_GET, buffer3d, [&](Buffer& b) {
    *v = b.pending.velocity;
    return HAL_AUDIO_OK;
  });
}

uint32_t HalAudio3DSetConeAngles(HalAudioBuffer buffer3d, uint32_t inside, uint32_t outside,
                                 uint32_t apply) {
  return With3D(HAL_AUDIO_CALL_3D_SET, buffer3d, [&](Buffer& b) {
    if (inside > 360 || outside > 360 || inside > outside) return HAL_AUDIO_E_INVALIDPARAM;
    Set3D(b, apply, [&](Params3D& p) {
      p.insideAngle = inside;
      p.outsideAngle = outside;
    });
    return HAL_AUDIO_OK;
  });
}

uint32_t HalAudio3DGetConeAngles(HalAudioBuffer buffer3d, uint32_t* inside, uint32_t* outside) {
  if (!inside || !outside) return HAL_AUDIO_E_INVALIDPARAM;
  return With3D(HAL_AUDIO_CALL_3D_GET, buffer3d, [&](Buffer& b) {
    *inside = b.pending.insideAngle;
    *outside = b.pending.outsideAngle;
    return HAL_AUDIO_OK;
  });
}

uint32_t HalAudio3DSetConeOrientation(HalAudioBuffer buffer3d, const HalAudioVector* v,
                                      uint32_t apply) {
  if (!v || !Finite(*v)) return HAL_AUDIO_E_INVALIDPARAM;
  return With3D(HAL_AUDIO_CALL_3D_SET, buffer3d, [&](Buffer& b) {
    Set3D(b, apply, [&](Params3D& p) { p.coneOrientation = *v; });
    return HAL_AUDIO_OK;
  });
}

uint32_t HalAudio3DGetConeOrientation(HalAudioBuffer buffer3d, HalAudioVector* v) {
  if (!v) return HAL_AUDIO_E_INVALIDPARAM;
  return With3D(HAL_AUDIO_CALL_3D_GET, buffer3d, [&](Buffer& b) {
    *v = b.pending.coneOrientation;
    return HAL_AUDIO_OK;
  });
}

uint32_t HalAudio3DSetConeOutsideVolume(HalAudioBuffer buffer3d, int32_t volume, uint32_t apply) {
  return With3D(HAL_AUDIO_CALL_3D_SET, buffer3d, [&](Buffer& b) {
    if (volume < HAL_AUDIO_VOLUME_MIN || volume > 0) return HAL_AUDIO_E_INVALIDPARAM;
    Set3D(b, apply, [&](Params3D& p) { p.coneOutsideVolume = volume; });
    return HAL_AUDIO_OK;
  });
}

uint32_t HalAudio3DGetConeOutsideVolume(HalAudioBuffer buffer3d, int32_t* volume) {
  if (!volume) return HAL_AUDIO_E_INVALIDPARAM;
  return With3D(HAL_AUDIO_CALL_3D_GET, buffer3d, [&](Buffer& b) {
    *volume = b.pending.coneOutsideVolume;
    return HAL_AUDIO_OK;
  });
}

uint32_t HalAudioQueryListener(HalAudioBuffer primary, HalAudioBuffer* listener) {
  if (!listener) return HAL_AUDIO_E_INVALIDPARAM;
  return WithBuffer(HAL_AUDIO_CALL_QUERY_LISTENER, primary, [&](Buffer& b) {
    if (!b.primary || !(b.flags & HAL_AUDIO_BUFFER_CTRL3D)) return HAL_AUDIO_E_NOINTERFACE;
    ++b.refs;
    *listener = primary;
    return HAL_AUDIO_OK;
  });
}

uint32_t HalAudioListenerSetAll(HalAudioBuffer listener, const HalAudioListenerParams* params,
                                uint32_t apply) {
  if (!params) return HAL_AUDIO_E_INVALIDPARAM;
  return WithListener(HAL_AUDIO_CALL_3D_SET, listener, [&](Mixer& m) {
    SetListener(m, apply, [&](HalAudioListenerParams& p) { p = *params; });
    return HAL_AUDIO_OK;
  });
}

uint32_t HalAudioListenerGetAll(HalAudioBuffer listener, HalAudioListenerParams* params) {
  if (!params) return HAL_AUDIO_E_INVALIDPARAM;
  return WithListener(HAL_AUDIO_CALL_3D_GET, listener, [&](Mixer& m) {
    *params = m.listenerPending;
    return HAL_AUDIO_OK;
  });
}

uint32_t HalAudioListenerSetPosition(HalAudioBuffer listener, const HalAudioVector* v,
                                     uint32_t apply) {
  if (!v || !Finite(*v)) return HAL_AUDIO_E_INVALIDPARAM;
  return WithListener(HAL_AUDIO_CALL_3D_SET, listener, [&](Mixer& m) {
    SetListener(m, apply, [&](HalAudioListenerParams& p) { p.position = *v; });
    return HAL_AUDIO_OK;
  });
}

uint32_t HalAudioListenerGetPosition(HalAudioBuffer listener, HalAudioVector* v) {
  if (!v) return HAL_AUDIO_E_INVALIDPARAM;
  return WithListener(HAL_AUDIO_CALL_3D_GET, listener, [&](Mixer& m) {
    *v = m.listenerPending.position;
    return HAL_AUDIO_OK;
  });
}

uint32_t HalAudioListenerSetVelocity(HalAudioBuffer listener, const HalAudioVector* v,
                                     uint32_t apply) {
  if (!v || !Finite(*v)) return HAL_AUDIO_E_INVALIDPARAM;
  return WithListener(HAL_AUDIO_CALL_3D_SET, listener, [&](Mixer& m) {
    SetListener(m, apply, [&](HalAudioListenerParams& p) { p.velocity = *v; });
    return HAL_AUDIO_OK;
  });
}

uint32_t HalAudioListenerGetVelocity(HalAudioBuffer listener, HalAudioVector* v) {
  if (!v) return HAL_AUDIO_E_INVALIDPARAM;
  return WithListener(HAL_AUDIO_CALL_3D_GET, listener, [&](Mixer& m) {
    *v = m.listenerPending.velocity;
    return HAL_AUDIO_OK;
  });
}

uint32_t HalAudioListenerSetOrientation(HalAudioBuffer listener, const HalAudioVector* front,
                                        const HalAudioVector* top, uint32_t apply) {
  if (!front || !top || !Finite(*front) || !Finite(*top)) return HAL_AUDIO_E_INVALIDPARAM;
  return WithListener(HAL_AUDIO_CALL_3D_SET, listener, [&](Mixer& m) {
    SetListener(m, apply, [&](HalAudioListenerParams& p) {
      p.front = *front;
      p.top = *top;
    });
    return HAL_AUDIO_OK;
  });
}

uint32_t HalAudioListenerGetOrientation(HalAudioBuffer listener, HalAudioVector* front,
                                        HalAudioVector* top) {
  if (!front || !top) return HAL_AUDIO_E_INVALIDPARAM;
  return WithListener(HAL_AUDIO_CALL_3D_GET, listener, [&](Mixer& m) {
    *front = m.listenerPending.front;
    *top = m.listenerPending.top;
    return HAL_AUDIO_OK;
  });
}

uint32_t HalAudioCommitDeferred(HalAudioBuffer listener) {
  return WithListener(HAL_AUDIO_CALL_3D_SET, listener, [&](Mixer& m) {
    m.listenerCurrent = m.listenerPending;
    for (auto& [id, b] : m.buffers) b.current = b.pending;
    return HAL_AUDIO_OK;
  });
}

// ---- Mixing and tests ------------------------------------------------------

void HalAudioRender(int16_t* out, uint32_t frames) {
  if (!out || frames == 0) return;
  std::vector<double> acc(size_t(frames) * HAL_AUDIO_OUTPUT_CHANNELS, 0.0);
  std::vector<HalEvent> fired;
  {
    Mixer& m = M();
    std::lock_guard lock(m.mutex);
    for (auto& [id, b] : m.buffers) {
      if (b.playing && !b.primary) MixBuffer(m, b, acc.data(), frames, &fired);
    }
  }
  // The sound buffers are the mixer device's wave line; the CD (its own line)
  // is pulled in after them, outside this device's lock.
  double wave = HalMixerLineGain(HAL_MIXER_SRC_WAVEOUT);
  if (wave != 1.0) {
    for (double& a : acc) a *= wave;
  }
  HalCdMixAudio(acc.data(), frames, HAL_AUDIO_OUTPUT_RATE);
  for (size_t i = 0; i < acc.size(); ++i) {
    out[i] = static_cast<int16_t>(std::clamp(std::lround(acc[i]), -32768L, 32767L));
  }
  for (HalEvent e : fired) HalEventSet(e);
}

void HalAudioInjectResult(HalAudioCall call, uint32_t code, uint32_t skip) {
  if (call >= HAL_AUDIO_CALL_COUNT) return;
  Mixer& m = M();
  std::lock_guard lock(m.mutex);
  m.injections[call].push_back({code, skip});
}

uint32_t HalAudioLiveObjects() {
  Mixer& m = M();
  std::lock_guard lock(m.mutex);
  uint32_t refs = 0;
  for (const auto& [id, b] : m.buffers) refs += b.refs;
  return refs;
}

bool HalAudioDeviceOpen() {
  Mixer& m = M();
  std::lock_guard lock(m.mutex);
  return m.open;
}

void HalAudioResetForTest() {
  if (HalAudioDeviceOpen()) HalAudioDeviceRelease(DEVICE_ID);
  Mixer& m = M();
  std::lock_guard lock(m.mutex);
  m.buffers.clear();
  m.nextId = 2;
  m.speakerConfig = 0;
  m.listenerPending = m.listenerCurrent = DefaultListener();
  for (auto& queue : m.injections) queue.clear();
}
