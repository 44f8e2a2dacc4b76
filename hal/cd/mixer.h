// The mixer device: one destination (the speakers) with two source lines, the
// compact-disc line and the wave-out line, each with one volume control of
// 0..65535 on one channel. The CD line scales the virtual CD, the wave line
// the sound effects (HalMixerLineGain).
#pragma once
#include <cstdint>

enum : uint32_t {
  HAL_MMSYSERR_NOERROR = 0,
  HAL_MMSYSERR_ERROR = 1,
  HAL_MMSYSERR_BADDEVICEID = 2,
  HAL_MMSYSERR_INVALHANDLE = 5,
  HAL_MIXERR_INVALLINE = 1024,
  HAL_MIXERR_INVALCONTROL = 1025,
};

enum : uint32_t {
  HAL_MIXER_DST_SPEAKERS = 0x0004,
  HAL_MIXER_SRC_COMPACTDISC = 0x1005,
  HAL_MIXER_SRC_WAVEOUT = 0x1008,
  HAL_MIXER_CONTROL_VOLUME = 0x50030001,
  HAL_MIXER_CONTROL_MUTE = 0x20010002,
};

struct HalMixerLine {
  uint32_t lineId;
  uint32_t componentType;
  uint32_t sourceCount;   // destinations only
  uint32_t controlCount;
};

struct HalMixerControl {
  uint32_t controlId;
  uint32_t type;
  uint32_t minimum;
  uint32_t maximum;
};

uint32_t HalMixerOpen(uint32_t device, uint32_t* handle);
uint32_t HalMixerClose(uint32_t handle);
uint32_t HalMixerGetDestinationCount(uint32_t handle, uint32_t* count);
uint32_t HalMixerGetDestination(uint32_t handle, uint32_t destination, HalMixerLine* line);
uint32_t HalMixerGetSource(uint32_t handle, uint32_t destination, uint32_t source, HalMixerLine* line);
uint32_t HalMixerGetLineById(uint32_t handle, uint32_t lineId, HalMixerLine* line);
// All controls of a line into `controls` (room for `capacity`).
uint32_t HalMixerGetLineControls(uint32_t handle, uint32_t lineId, HalMixerControl* controls, uint32_t capacity);
uint32_t HalMixerGetValue(uint32_t handle, uint32_t controlId, uint32_t* value);
uint32_t HalMixerSetValue(uint32_t handle, uint32_t controlId, uint32_t value);

// 0..1 gain of a source line (HAL_MIXER_SRC_*), 1 for an unknown line.
float HalMixerLineGain(uint32_t componentType);

// Tests: make every mixer call fail, or give the volume controls other bounds.
void HalMixerFailForTest(bool fail);
void HalMixerSetBoundsForTest(uint32_t minimum, uint32_t maximum);
void HalMixerResetForTest();
