#include "hal/cd/mixer.h"

#include <mutex>

namespace {

struct Source {
  uint32_t lineId;
  uint32_t componentType;
  HalMixerControl volume;
  HalMixerControl mute;
  uint32_t value;
};

struct MixerState {
  std::mutex lock;  // the sound mixer reads the gains from its own thread
  bool fail = false;
  uint32_t nextHandle = 1;
  uint32_t openHandles = 0;
  Source sources[2] = {
      {0x10000, HAL_MIXER_SRC_COMPACTDISC, {1, HAL_MIXER_CONTROL_VOLUME, 0, 65535}, {2, HAL_MIXER_CONTROL_MUTE, 0, 1},
       65535},
      {0x10001, HAL_MIXER_SRC_WAVEOUT, {3, HAL_MIXER_CONTROL_VOLUME, 0, 65535}, {4, HAL_MIXER_CONTROL_MUTE, 0, 1},
       65535},
  };
};

MixerState gMixer;
constexpr uint32_t SPEAKERS_LINE = 0;

bool Valid(uint32_t handle) { return !gMixer.fail && handle != 0 && handle < gMixer.nextHandle; }

void Describe(const Source& s, HalMixerLine* line) {
  *line = HalMixerLine{s.lineId, s.componentType, 0, 2};
}

Source* SourceOfControl(uint32_t controlId) {
  for (Source& s : gMixer.sources)
    if (s.volume.controlId == controlId) return &s;
  return nullptr;
}

}  // namespace

uint32_t HalMixerOpen(uint32_t device, uint32_t* handle) {
  std::lock_guard<std::mutex> guard(gMixer.lock);
  if (gMixer.fail || device != 0) return HAL_MMSYSERR_BADDEVICEID;
  *handle = gMixer.nextHandle++;
  ++gMixer.openHandles;
  return HAL_MMSYSERR_NOERROR;
}

uint32_t HalMixerClose(uint32_t handle) {
  std::lock_guard<std::mutex> guard(gMixer.lock);
  if (!Valid(handle)) return HAL_MMSYSERR_INVALHANDLE;
  if (gMixer.openHandles) --gMixer.openHandles;
  return HAL_MMSYSERR_NOERROR;
}

uint32_t HalMixerGetDestinationCount(uint32_t handle, uint32_t* count) {
  std::lock_guard<std::mutex> guard(gMixer.lock);
  if (!Valid(handle)) return HAL_MMSYSERR_INVALHANDLE;
  *count = 1;
  return HAL_MMSYSERR_NOERROR;
}

uint32_t HalMixerGetDestination(uint32_t handle, uint32_t destination, HalMixerLine* line) {
  std::lock_guard<std::mutex> guard(gMixer.lock);
  if (!Valid(handle)) return HAL_MMSYSERR_INVALHANDLE;
  if (destination != 0) return HAL_MIXERR_INVALLINE;
  *line = HalMixerLine{SPEAKERS_LINE, HAL_MIXER_DST_SPEAKERS, 2, 0};
  return HAL_MMSYSERR_NOERROR;
}

uint32_t HalMixerGetSource(uint32_t handle, uint32_t destination, uint32_t source, HalMixerLine* line) {
  std::lock_guard<std::mutex> guard(gMixer.lock);
  if (!Valid(handle)) return HAL_MMSYSERR_INVALHANDLE;
  if (destination != 0 || source >= 2) return HAL_MIXERR_INVALLINE;
  Describe(gMixer.sources[source], line);
  return HAL_MMSYSERR_NOERROR;
}

uint32_t HalMixerGetLineById(uint32_t handle, uint32_t lineId, HalMixerLine* line) {
  std::lock_guard<std::mutex> guard(gMixer.lock);
  if (!Valid(handle)) return HAL_MMSYSERR_INVALHANDLE;
  for (const Source& s : gMixer.sources) {
    if (s.lineId != lineId) continue;
    Describe(s, line);
    return HAL_MMSYSERR_NOERROR;
  }
  return HAL_MIXERR_INVALLINE;
}

uint32_t HalMixerGetLineControls(uint32_t handle, uint32_t lineId, HalMixerControl* controls, uint32_t capacity) {
  std::lock_guard<std::mutex> guard(gMixer.lock);
  if (!Valid(handle)) return HAL_MMSYSERR_INVALHANDLE;
  for (const Source& s : gMixer.sources) {
    if (s.lineId != lineId) continue;
    if (capacity < 2) return HAL_MMSYSERR_ERROR;
    // The mute switch first: the volume is not always a line's first control.
    controls[0] = s.mute;
    controls[1] = s.volume;
    return HAL_MMSYSERR_NOERROR;
  }
  return HAL_MIXERR_INVALLINE;
}

uint32_t HalMixerGetValue(uint32_t handle, uint32_t controlId, uint32_t* value) {
  std::lock_guard<std::mutex> guard(gMixer.lock);
  if (!Valid(handle)) return HAL_MMSYSERR_INVALHANDLE;
  Source* s = SourceOfControl(controlId);
  if (!s) return HAL_MIXERR_INVALCONTROL;
  *value = s->value;
  return HAL_MMSYSERR_NOERROR;
}

uint32_t HalMixerSetValue(uint32_t handle, uint32_t controlId, uint32_t value) {
  std::lock_guard<std::mutex> guard(gMixer.lock);
  if (!Valid(handle)) return HAL_MMSYSERR_INVALHANDLE;
  Source* s = SourceOfControl(controlId);
  if (!s) return HAL_MIXERR_INVALCONTROL;
  if (value < s->volume.minimum || value > s->volume.maximum) return HAL_MMSYSERR_ERROR;
  s->value = value;
  return HAL_MMSYSERR_NOERROR;
}

float HalMixerLineGain(uint32_t componentType) {
  std::lock_guard<std::mutex> guard(gMixer.lock);
  for (const Source& s : gMixer.sources) {
    if (s.componentType != componentType) continue;
    uint32_t span = s.volume.maximum - s.volume.minimum;
    return span == 0 ? 1.0f : static_cast<float>(s.value - s.volume.minimum) / static_cast<float>(span);
  }
  return 1.0f;
}

void HalMixerFailForTest(bool fail) {
  std::lock_guard<std::mutex> guard(gMixer.lock);
  gMixer.fail = fail;
}

void HalMixerSetBoundsForTest(uint32_t minimum, uint32_t maximum) {
  std::lock_guard<std::mutex> guard(gMixer.lock);
  for (Source& s : gMixer.sources) {
    s.volume.minimum = minimum;
    s.volume.maximum = maximum;
    s.value = maximum;
  }
}

void HalMixerResetForTest() {
  HalMixerFailForTest(false);
  HalMixerSetBoundsForTest(0, 65535);
}
