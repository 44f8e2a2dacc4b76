// Between the device layer's dispatch and its two back ends; not for the game.
#pragma once
#include <memory>

#include "hal/input/input.h"

class HalInputBackend {
 public:
  virtual ~HalInputBackend() = default;
  virtual int32_t Create(uint32_t version) = 0;
  virtual int32_t EnumDevices(HalInputEnumDevicesCallback callback, void* context) = 0;
  virtual int32_t CreateDevice(int32_t instance, int32_t* device) = 0;
  virtual void ReleaseDevice(int32_t device) = 0;
  virtual int32_t QueryDevice2(int32_t device) = 0;
  virtual int32_t SetDataFormat(int32_t device) = 0;
  virtual int32_t SetCooperativeLevel(int32_t device, uint32_t window, uint32_t flags) = 0;
  virtual int32_t SetProperty(int32_t device, HalInputProperty property, uint32_t offset, int32_t value,
                              int32_t value2) = 0;
  virtual int32_t Acquire(int32_t device) = 0;
  virtual int32_t Unacquire(int32_t device) = 0;
  virtual int32_t Poll(int32_t device) = 0;
  virtual int32_t GetState(int32_t device, HalJoyState* state) = 0;
  virtual int32_t GetDeviceInfo(int32_t device, HalInputDeviceDesc* desc) = 0;
  virtual int32_t GetCapabilities(int32_t device, HalInputCaps* caps) = 0;
  virtual int32_t EnumAxes(int32_t device, HalInputEnumAxesCallback callback, void* context) = 0;
  virtual int32_t EnumEffects(int32_t device, HalInputEnumEffectsCallback callback, void* context) = 0;
  virtual int32_t CreateEffect(int32_t device, HalEffectKind kind, const HalEffectParams& params,
                               int32_t* effect) = 0;
  virtual int32_t EffectSetParameters(int32_t effect, const HalEffectParams& params, uint32_t which) = 0;
  virtual int32_t EffectStart(int32_t effect, uint32_t iterations, uint32_t flags) = 0;
  virtual int32_t EffectStop(int32_t effect) = 0;
  virtual void EffectRelease(int32_t effect) = 0;
};

std::unique_ptr<HalInputBackend> HalInputMakeSdlBackend();

// Merges the parts of `update` named by `which` (HAL_EP_*) into `effect`.
void HalEffectMerge(HalEffectParams* effect, const HalEffectParams& update, uint32_t which);
