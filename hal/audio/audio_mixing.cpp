// The mix: every playing buffer resampled, placed and summed with the CD's
// audio, kept under full scale by a limiter, into the output; and the test
// hooks.
#include <algorithm>
#include <cmath>

#include "hal/audio/audio_internal.h"
#include "hal/cd/cd.h"
#include "hal/cd/mixer.h"

using namespace audio;

namespace {

// Every program with the mixer follows its frames when it runs headless.
[[maybe_unused]] const bool FOLLOWS_FRAMES = (FollowFrames(), true);

constexpr double SPEED_OF_SOUND = 343.0;  // metres per second

// The output limiter. Six engines, effects and the CD summed at their own
// levels pass full scale now and then; clipped, every sample over it would
// flatten. Instead, a frame that would pass the ceiling drops the gain at once
// to what keeps it inside; while frames keep pressing on the ceiling the gain
// holds, and some milliseconds after the last it comes back to 1 at a steady
// rate in decibels, so a loud passage is turned down as a whole rather than
// bent wave by wave. A mix that stays inside with the gain at 1 comes out
// sample for sample as summed. The ceiling sits a little under full scale so
// that no sample is pinned there.
constexpr double LIMIT_CEILING = 32000.0;
constexpr double LIMIT_PRESSING = LIMIT_CEILING * 0.97;
constexpr uint32_t LIMIT_HOLD_FRAMES = HAL_AUDIO_OUTPUT_RATE / 50;  // 20 ms
constexpr double LIMIT_RELEASE_DB_PER_SECOND = 40.0;

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

// Scales the stereo frames of `acc` in place; the gain and the hold carry
// from one call to the next, so a mix is limited the same however its frames
// are cut into calls.
void Limit(double* acc, uint32_t frames, double* gain, uint32_t* hold) {
  static const double release = std::pow(10.0, LIMIT_RELEASE_DB_PER_SECOND / 20.0 / HAL_AUDIO_OUTPUT_RATE);
  for (uint32_t i = 0; i < frames; ++i) {
    double* frame = acc + size_t(i) * HAL_AUDIO_OUTPUT_CHANNELS;
    const double peak = std::max(std::fabs(frame[0]), std::fabs(frame[1]));
    if (peak * *gain > LIMIT_CEILING) {
      *gain = LIMIT_CEILING / peak;
      *hold = LIMIT_HOLD_FRAMES;
    } else if (*gain < 1.0 && peak * *gain > LIMIT_PRESSING) {
      *hold = LIMIT_HOLD_FRAMES;
    } else if (*hold > 0) {
      --*hold;
    } else if (*gain < 1.0) {
      // Never back past what the current frame allows.
      *gain = std::min({1.0, *gain * release, peak > 0.0 ? LIMIT_CEILING / peak : 1.0});
    }
    if (*gain < 1.0) {
      frame[0] *= *gain;
      frame[1] *= *gain;
    }
  }
}

}  // namespace

void HalAudioRender(int16_t* out, uint32_t frames) {
  if (!out || frames == 0) return;
  std::vector<double> acc(size_t(frames) * HAL_AUDIO_OUTPUT_CHANNELS, 0.0);
  std::vector<HalEvent> fired;
  Mixer& m = M();
  double gain;
  uint32_t hold;
  {
    std::lock_guard lock(m.mutex);
    for (auto& [id, b] : m.buffers) {
      if (b.playing && !b.primary) MixBuffer(m, b, acc.data(), frames, &fired);
    }
    gain = m.limiterGain;
    hold = m.limiterHold;
  }
  // The sound buffers are the mixer device's wave line; the CD (its own line)
  // is pulled in after them, outside this device's lock.
  double wave = HalMixerLineGain(HAL_MIXER_SRC_WAVEOUT);
  if (wave != 1.0) {
    for (double& a : acc) a *= wave;
  }
  HalCdMixAudio(acc.data(), frames, HAL_AUDIO_OUTPUT_RATE);
  Limit(acc.data(), frames, &gain, &hold);
  {
    std::lock_guard lock(m.mutex);
    m.limiterGain = gain;
    m.limiterHold = hold;
  }
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
  m.limiterGain = 1.0;
  m.limiterHold = 0;
}
