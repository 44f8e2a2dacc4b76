// The input library: joysticks and wheels read through the device layer, and
// their force-feedback effects. Keyboard and mouse come from window messages
// (app.h), not from here. Results: 1 success, 0 failure, -1 effect type missing.
#pragma once
#include <cstdint>

#include "hal/input/input.h"
#include "platform/libshared.h"

constexpr int32_t INPUT_MAX_DEVICES = 16;
constexpr int32_t INPUT_MAX_EFFECTS = 32;
constexpr int32_t INPUT_NAME_BYTES = 256;
constexpr uint32_t INPUT_VERSION = 0x0500;

// The 80-byte joystick state handed to the caller.
using InputJoyState = HalJoyState;

enum InputAxisKind : uint8_t {
  INPUT_AXIS_X = 1, INPUT_AXIS_Y = 2, INPUT_AXIS_Z = 3,
  INPUT_AXIS_RX = 4, INPUT_AXIS_RY = 5, INPUT_AXIS_RZ = 6,
};

struct InputAxisInfo {
  uint8_t kind;      // InputAxisKind; 0 for a slider
  uint8_t position;  // byte offset of the value in InputJoyState
  uint32_t actuator; // 1 when force feedback drives the axis
};

struct InputDeviceInfo {
  uint8_t wheel;
  uint32_t axisCount;
  uint32_t buttonCount;
  uint32_t povCount;
  uint32_t forceFeedback;
  char instanceName[INPUT_NAME_BYTES];
  char productName[INPUT_NAME_BYTES];
  // axisCount entries from the C heap, one new table per call; the caller
  // releases it with std::free.
  InputAxisInfo* axes;
};

// Which effect types the device plays, set by InputFxQueryEffects.
enum InputFxFlag : int32_t {
  INPUT_FX_CONSTANT = 0, INPUT_FX_RAMP, INPUT_FX_CONDITION, INPUT_FX_PERIODIC, INPUT_FX_CUSTOM,
  INPUT_FX_HARDWARE, INPUT_FX_FLAG_COUNT,
};

// The family of an effect, remembered so a change of the wrong family is refused.
enum InputFxFamily : uint8_t { INPUT_FAMILY_NONE = 0, INPUT_FAMILY_CONDITION, INPUT_FAMILY_CONSTANT, INPUT_FAMILY_PERIODIC };

struct InputState {
  uint32_t window;
  int32_t devices[INPUT_MAX_DEVICES];
  int32_t deviceCount;
  int32_t current;  // -1: none
  int32_t effectFlags[INPUT_FX_FLAG_COUNT];
  int32_t effects[INPUT_MAX_EFFECTS];
  int32_t effectCount;
  uint32_t effectAxisMask[INPUT_MAX_EFFECTS];
  int32_t effectCoefficient[INPUT_MAX_EFFECTS][2];
  int32_t effectOffset[INPUT_MAX_EFFECTS][2];
  InputFxFamily effectFamily[INPUT_MAX_EFFECTS];
  uint32_t axisCounter;
};

extern InputState gInput;

struct InputFxEnvelopeParams {
  int32_t attackLevel;
  int32_t attackTime;
  int32_t magnitude;
  int32_t sustainTime;
  int32_t fadeLevel;
  int32_t fadeTime;
};

struct InputFxPeriodicParams {
  int32_t offset;
  uint32_t phase;
  uint32_t period;
};

// Devices and state.
int32_t InputInit(uint32_t instance, uint32_t window);
int32_t InputReadDevice(int32_t device, InputJoyState* state);
int32_t InputGetDeviceInfo(int32_t device, InputDeviceInfo* info);
int32_t InputSetDeadZone(int32_t device, int32_t deadZone);
int32_t InputFxSetGain(int32_t device, int32_t gain);
int32_t InputSetAutoCenter(int32_t device, int32_t on);
void InputFxClearCurrent();
uint32_t InputGetLastError();

// Force-feedback effects.
int32_t InputFxQueryEffects(int32_t device);
int32_t InputFxCreateCondition(int32_t device, int32_t* effect, int32_t kind, int32_t axisMask, int32_t coefficient);
int32_t InputFxCreateConstant(int32_t device, int32_t* effect, const InputFxEnvelopeParams* envelope);
int32_t InputFxCreateConstantInfinite(int32_t device, int32_t* effect);
int32_t InputFxCreatePeriodic(int32_t device, int32_t* effect, int32_t waveform, const InputFxEnvelopeParams* envelope,
                              const InputFxPeriodicParams* periodic);
int32_t InputFxSetConditionCoefficient(int32_t device, int32_t effect, int32_t axisMask, int32_t coefficient);
int32_t InputFxSetConditionOffset(int32_t device, int32_t effect, int32_t axisMask, int32_t offset);
int32_t InputFxSetConstantEnvelope(int32_t device, int32_t effect, const InputFxEnvelopeParams* envelope);
int32_t InputFxSetConstantPolar(int32_t device, int32_t effect, int32_t direction, int32_t magnitude);
int32_t InputFxSetConstantCartesian(int32_t device, int32_t effect, int32_t x, int32_t y, int32_t magnitude);
int32_t InputFxSetConstantDirection(int32_t device, int32_t effect, int32_t x, int32_t y, int32_t gain);
int32_t InputFxSetConstantDirectionPolar(int32_t device, int32_t effect, int32_t direction, int32_t gain);
int32_t InputFxSetPeriodic(int32_t device, int32_t effect, const InputFxEnvelopeParams* envelope,
                           const InputFxPeriodicParams* periodic);
int32_t InputFxSetPeriodicDirection(int32_t device, int32_t effect, int32_t x, int32_t y, int32_t gain);
int32_t InputFxSetPeriodicDirectionPolar(int32_t device, int32_t effect, int32_t direction, int32_t gain);
int32_t InputFxStart(int32_t device, int32_t effect, int32_t iterations);
int32_t InputFxStop(int32_t device, int32_t effect);
void InputFxReleaseAll();

// Shared between the two halves of the library.
enum InputCheck : int32_t { INPUT_GO_ON = 1, INPUT_FAILED = 0 };
// Classifies a device-layer result: stores the failure code, forgets the
// current device when input was lost.
InputCheck InputCheckResult(int32_t result);
bool InputDeviceValid(int32_t device);
// Makes `device` the acquired one; false on failure.
bool InputMakeCurrent(int32_t device);

// Back to the state before InputInit (tests).
void InputResetForTest();
