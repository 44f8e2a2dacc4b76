// Joysticks and wheels with force feedback, as the game's input library
// expects of its device layer: a device is created from an enumerated
// instance, given a data format, a cooperative level and properties, acquired,
// polled and read as an 80-byte state; effects are created on it, changed
// while they play, started, stopped and released. Every call answers with the
// platform's 32-bit result code, which the game translates itself.
//
// Two back ends: SDL2 joystick + haptic (headless there is no device), and a
// scriptable fake for tests (input_fake.h).
#pragma once
#include <cstdint>
#include <string>

constexpr int32_t HalResult(uint32_t code) { return static_cast<int32_t>(code); }

// Result codes.
constexpr int32_t HAL_DI_OK = 0;
constexpr int32_t HAL_DI_FALSE = 1;            // success, nothing changed
constexpr int32_t HAL_DI_POLLEDDEVICE = 2;
constexpr int32_t HAL_DI_DOWNLOADSKIPPED = 3;
constexpr int32_t HAL_DI_EFFECTRESTARTED = 4;
constexpr int32_t HAL_DI_TRUNCATED = 8;
constexpr int32_t HAL_DIERR_NOTFOUND = HalResult(0x80070002u);
constexpr int32_t HAL_DIERR_INPUTLOST = HalResult(0x8007001Eu);
constexpr int32_t HAL_DIERR_OUTOFMEMORY = HalResult(0x8007000Eu);
constexpr int32_t HAL_DIERR_INVALIDPARAM = HalResult(0x80070057u);
constexpr int32_t HAL_DIERR_NOINTERFACE = HalResult(0x80004002u);
constexpr int32_t HAL_DIERR_ACCESSDENIED = HalResult(0x80070005u);
constexpr int32_t HAL_DIERR_DEVICENOTREG = HalResult(0x80040154u);
constexpr int32_t HAL_DIERR_DEVICEFULL = HalResult(0x80040201u);
constexpr int32_t HAL_DIERR_NOTEXCLUSIVEACQUIRED = HalResult(0x80040205u);
constexpr int32_t HAL_DIERR_INCOMPLETEEFFECT = HalResult(0x80040206u);
constexpr int32_t HAL_DIERR_EFFECTPLAYING = HalResult(0x80040208u);
constexpr int32_t HAL_DIERR_NOTACQUIRED = HalResult(0x8007000Cu);
constexpr int32_t HAL_DIERR_NOTINITIALIZED = HalResult(0x80070015u);
constexpr int32_t HAL_DIERR_ACQUIRED = HalResult(0x800700AAu);
constexpr int32_t HAL_DIERR_OLDVERSION = HalResult(0x8007047Eu);
constexpr int32_t HAL_DIERR_BETAVERSION = HalResult(0x80070481u);
constexpr int32_t HAL_DIERR_GENERIC = HalResult(0x80004005u);

// The joystick state: six axes, two sliders, four hats (hundredths of a
// degree, 0xFFFFFFFF centred) and 32 buttons (0x80 down).
struct HalJoyState {
  int32_t x, y, z, rx, ry, rz;
  int32_t sliders[2];
  uint32_t pov[4];
  uint8_t buttons[32];
};
static_assert(sizeof(HalJoyState) == 80);

// Positions of the values in HalJoyState; axes and properties are named by them.
enum : uint32_t {
  HAL_JOFS_X = 0, HAL_JOFS_Y = 4, HAL_JOFS_Z = 8, HAL_JOFS_RX = 12, HAL_JOFS_RY = 16, HAL_JOFS_RZ = 20,
  HAL_JOFS_SLIDER0 = 24, HAL_JOFS_SLIDER1 = 28,
};
constexpr uint32_t HAL_POV_CENTRED = 0xFFFFFFFFu;

// Device type word: kind in the low byte, sub-kind in the second byte.
enum : uint32_t { HAL_DEVTYPE_JOYSTICK = 4 };
enum : uint32_t {
  HAL_DEVSUB_UNKNOWN = 1, HAL_DEVSUB_TRADITIONAL = 2, HAL_DEVSUB_FLIGHTSTICK = 3,
  HAL_DEVSUB_GAMEPAD = 4, HAL_DEVSUB_RUDDER = 5, HAL_DEVSUB_WHEEL = 6,
};
constexpr uint32_t HalDevType(uint32_t kind, uint32_t sub) { return kind | (sub << 8); }
constexpr uint32_t HAL_CAPS_FORCEFEEDBACK = 0x100;
constexpr uint32_t HAL_OBJ_FFACTUATOR = 0x1;

struct HalInputDeviceDesc {
  std::string instanceName;
  std::string productName;
};
struct HalInputCaps {
  uint32_t devType;
  uint32_t flags;  // HAL_CAPS_*
  uint32_t axes;
  uint32_t buttons;
  uint32_t povs;
};
struct HalInputObject {
  uint32_t offset;  // HAL_JOFS_*
  uint32_t flags;   // HAL_OBJ_*
};

// Cooperative level flags.
enum : uint32_t { HAL_COOP_EXCLUSIVE = 0x1, HAL_COOP_BACKGROUND = 0x8 };

enum HalInputProperty : int32_t {
  HAL_PROP_RANGE = 1,       // value..value2, by offset
  HAL_PROP_DEADZONE = 2,    // 0..10000, by offset
  HAL_PROP_FFGAIN = 3,      // 0..10000, device-wide
  HAL_PROP_AUTOCENTER = 4,  // 0 off, 1 on, device-wide
};
constexpr uint32_t HAL_PROP_DEVICE = 0xFFFFFFFFu;  // offset meaning "the whole device"

// Effect type families, as the effect enumeration reports them.
enum : uint32_t {
  HAL_EFT_CONSTANTFORCE = 1, HAL_EFT_RAMPFORCE = 2, HAL_EFT_PERIODIC = 3,
  HAL_EFT_CONDITION = 4, HAL_EFT_CUSTOMFORCE = 5, HAL_EFT_HARDWARE = 0xFF,
};

enum HalEffectKind : int32_t {
  HAL_FX_SPRING = 1, HAL_FX_DAMPER, HAL_FX_INERTIA, HAL_FX_FRICTION,
  HAL_FX_CONSTANT,
  HAL_FX_SQUARE, HAL_FX_SINE, HAL_FX_TRIANGLE, HAL_FX_SAWTOOTH_UP, HAL_FX_SAWTOOTH_DOWN,
};

constexpr uint32_t HAL_INFINITE = 0xFFFFFFFFu;
constexpr uint32_t HAL_NO_TRIGGER = 0xFFFFFFFFu;
enum : uint32_t { HAL_EFF_OBJECTOFFSETS = 0x02, HAL_EFF_CARTESIAN = 0x10, HAL_EFF_POLAR = 0x20 };
// Which parts of an effect a parameter change carries.
enum : uint32_t {
  HAL_EP_DURATION = 0x01, HAL_EP_GAIN = 0x04, HAL_EP_DIRECTION = 0x40, HAL_EP_ENVELOPE = 0x80,
  HAL_EP_TYPESPECIFIC = 0x100, HAL_EP_NORESTART = 0x40000000,
};

struct HalEnvelope {
  uint32_t attackLevel;
  uint32_t attackTime;  // microseconds
  uint32_t fadeLevel;
  uint32_t fadeTime;    // microseconds
};
struct HalCondition {
  int32_t offset;
  int32_t positiveCoefficient;
  int32_t negativeCoefficient;
  uint32_t positiveSaturation;
  uint32_t negativeSaturation;
  int32_t deadBand;
};
struct HalPeriodic {
  uint32_t magnitude;
  int32_t offset;
  uint32_t phase;   // hundredths of a degree
  uint32_t period;  // microseconds
};

// One effect's description; magnitudes, levels and gains in 0..10000 (signed
// where a direction can flip them), times in microseconds.
struct HalEffectParams {
  uint32_t flags;  // HAL_EFF_*
  uint32_t duration;
  uint32_t samplePeriod;
  uint32_t gain;
  uint32_t triggerButton;
  uint32_t triggerRepeat;
  uint32_t axisCount;  // 1 or 2
  uint32_t axes[2];    // HAL_JOFS_*
  int32_t direction[2];
  bool hasEnvelope;
  HalEnvelope envelope;
  uint32_t conditionCount;  // conditions: one per axis
  HalCondition condition[2];
  int32_t constantMagnitude;
  HalPeriodic periodic;
};

// The device layer. Instances and devices are small numbers; effects too.
int32_t HalInputCreate(uint32_t version);
using HalInputEnumDevicesCallback = bool (*)(int32_t instance, void* context);  // true: go on
int32_t HalInputEnumDevices(HalInputEnumDevicesCallback callback, void* context);
int32_t HalInputCreateDevice(int32_t instance, int32_t* device);
void HalInputReleaseDevice(int32_t device);
// The second-generation interface of a device (same handle), needed for polling and effects.
int32_t HalInputQueryDevice2(int32_t device);
int32_t HalInputSetDataFormat(int32_t device);
int32_t HalInputSetCooperativeLevel(int32_t device, uint32_t window, uint32_t flags);
int32_t HalInputSetProperty(int32_t device, HalInputProperty property, uint32_t offset, int32_t value,
                            int32_t value2);
int32_t HalInputAcquire(int32_t device);
int32_t HalInputUnacquire(int32_t device);
int32_t HalInputPoll(int32_t device);
int32_t HalInputGetState(int32_t device, HalJoyState* state);
int32_t HalInputGetDeviceInfo(int32_t device, HalInputDeviceDesc* desc);
int32_t HalInputGetCapabilities(int32_t device, HalInputCaps* caps);
using HalInputEnumAxesCallback = bool (*)(const HalInputObject& axis, void* context);
int32_t HalInputEnumAxes(int32_t device, HalInputEnumAxesCallback callback, void* context);
using HalInputEnumEffectsCallback = bool (*)(uint32_t effectType, void* context);
int32_t HalInputEnumEffects(int32_t device, HalInputEnumEffectsCallback callback, void* context);
int32_t HalInputCreateEffect(int32_t device, HalEffectKind kind, const HalEffectParams& params, int32_t* effect);
int32_t HalInputEffectSetParameters(int32_t effect, const HalEffectParams& params, uint32_t which);
int32_t HalInputEffectStart(int32_t effect, uint32_t iterations, uint32_t flags);
int32_t HalInputEffectStop(int32_t effect);
void HalInputEffectRelease(int32_t effect);
