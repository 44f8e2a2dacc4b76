// A scriptable stand-in device layer for tests: joysticks made up by the test,
// every call recorded, any call's result replaceable.
#pragma once
#include <cstdint>
#include <vector>

#include "hal/input/input.h"

enum HalInputCall : int32_t {
  HAL_CALL_CREATE, HAL_CALL_ENUM_DEVICES, HAL_CALL_CREATE_DEVICE, HAL_CALL_RELEASE_DEVICE,
  HAL_CALL_QUERY_DEVICE2, HAL_CALL_SET_DATA_FORMAT, HAL_CALL_SET_COOPERATIVE_LEVEL,
  HAL_CALL_SET_PROPERTY, HAL_CALL_ACQUIRE, HAL_CALL_UNACQUIRE, HAL_CALL_POLL, HAL_CALL_GET_STATE,
  HAL_CALL_GET_DEVICE_INFO, HAL_CALL_GET_CAPABILITIES, HAL_CALL_ENUM_AXES, HAL_CALL_ENUM_EFFECTS,
  HAL_CALL_CREATE_EFFECT, HAL_CALL_SET_PARAMETERS, HAL_CALL_START, HAL_CALL_STOP,
  HAL_CALL_RELEASE_EFFECT,
};

struct HalFakeJoystick {
  HalInputDeviceDesc desc;
  HalInputCaps caps;
  std::vector<HalInputObject> axes;      // what the axis enumeration reports
  std::vector<uint32_t> effectTypes;     // HAL_EFT_* reported by the effect enumeration
  HalJoyState state;                     // what a read returns
};

struct HalFakeCallRecord {
  HalInputCall call;
  int32_t device;    // -1 when the call names no device
  int32_t effect;    // -1 when the call names no effect
  int32_t property;  // HalInputProperty, SET_PROPERTY only
  uint32_t offset;
  int32_t value;     // property value, cooperative flags, iterations
  int32_t value2;
  uint32_t flags;    // parameter-change flags, start flags
  HalEffectKind kind;
  HalEffectParams params;
  int32_t result;
};

// Switches the device layer to the fake (true) or back to SDL2 (false); both
// start empty: no joysticks, no calls, no injected results.
void HalInputUseFake(bool fake);
// Adds a joystick; its index is both its instance and its device.
int32_t HalFakeInputAdd(const HalFakeJoystick& joystick);
HalFakeJoystick* HalFakeInputJoystick(int32_t index);
// The next `times` calls of `call` on `device` (-1: any device; times -1: for
// ever) answer `result` without doing anything.
void HalFakeInputSetResult(HalInputCall call, int32_t device, int32_t result, int32_t times);
const std::vector<HalFakeCallRecord>& HalFakeInputCalls();
void HalFakeInputClearCalls();
// Whether the device is acquired, and the effects not yet released.
bool HalFakeInputAcquired(int32_t device);
int32_t HalFakeInputLiveEffects();
