#include "platform/input.h"

#include <algorithm>
#include <cstdlib>
#include <string>

InputState gInput{0, {}, 0, -1, {}, {}, 0, {}, {}, {}, {}, 0};

InputCheck InputCheckResult(int32_t result) {
  const uint32_t code = static_cast<uint32_t>(result);
  // Every success code is a success: a device that answers "truncated" or
  // "polled device" still works, and the game would otherwise drop force
  // feedback for it.
  if (result >= 0) return INPUT_GO_ON;
  switch (code) {
    case 0x80070002u:  // not found: nothing to do
      return INPUT_GO_ON;
    case 0x8007001Eu:  // input lost: the next read acquires again
      gInput.current = -1;
      return INPUT_FAILED;
    case 0x8007000Eu: gLibLastError = 0x80000002u; return INPUT_FAILED;
    case 0x80070057u: gLibLastError = 0x80000003u; return INPUT_FAILED;
    case 0x80004002u: gLibLastError = 0x80000004u; return INPUT_FAILED;
    case 0x80070005u: gLibLastError = 0x80000009u; return INPUT_FAILED;
    case 0x80040154u:
    case 0x80040201u:
    case 0x80040205u:
    case 0x80040206u:
    case 0x80040208u:
    case 0x8007000Cu:
    case 0x80070015u:
    case 0x800700AAu:
    case 0x8007047Eu:
    case 0x80070481u:
      gLibLastError = code;
      return INPUT_FAILED;
    default:
      gLibLastError = 0xFFFFFFFEu;
      return INPUT_FAILED;
  }
}

bool InputDeviceValid(int32_t device) { return device >= 0 && device < gInput.deviceCount; }

bool InputMakeCurrent(int32_t device) {
  if (gInput.current == device) return true;
  if (gInput.current >= 0 && !InputCheckResult(HalInputUnacquire(gInput.devices[gInput.current]))) return false;
  if (!InputCheckResult(HalInputAcquire(gInput.devices[device]))) return false;
  gInput.current = device;
  return true;
}

namespace {

// One attached joystick: prepared for reading and, while there is room, kept.
bool SetUpDevice(int32_t instance, void*) {
  int32_t device = -1;
  if (!InputCheckResult(HalInputCreateDevice(instance, &device))) return true;
  const struct {
    uint32_t offset;
    int32_t minimum, maximum;
  } ranges[] = {{HAL_JOFS_X, -10000, 10000}, {HAL_JOFS_Y, -10000, 10000}, {HAL_JOFS_RZ, -10000, 10000},
                {HAL_JOFS_Z, 0, 10000}};
  bool ok = InputCheckResult(HalInputSetDataFormat(device)) &&
            InputCheckResult(HalInputSetCooperativeLevel(device, gInput.window,
                                                         HAL_COOP_EXCLUSIVE | HAL_COOP_BACKGROUND));
  for (const auto& r : ranges)
    ok = ok && InputCheckResult(HalInputSetProperty(device, HAL_PROP_RANGE, r.offset, r.minimum, r.maximum));
  if (ok && gInput.deviceCount < INPUT_MAX_DEVICES && InputCheckResult(HalInputQueryDevice2(device))) {
    gInput.devices[gInput.deviceCount++] = device;
    return true;
  }
  // Left out: a step failed, or the table is full.
  HalInputReleaseDevice(device);
  return true;
}

// Copies a device name into a field of the record, cut to fit.
void CopyName(char* field, const std::string& name) {
  size_t n = std::min(name.size(), static_cast<size_t>(INPUT_NAME_BYTES - 1));
  name.copy(field, n);
  field[n] = '\0';
}

struct AxisFill {
  InputDeviceInfo* info;
};

bool FillAxis(const HalInputObject& axis, void* context) {
  InputDeviceInfo* info = static_cast<AxisFill*>(context)->info;
  // The table is sized by the capabilities; an enumeration that reports more
  // axes than that is cut off.
  if (gInput.axisCounter >= info->axisCount) return false;
  InputAxisInfo& entry = info->axes[gInput.axisCounter];
  if (axis.offset <= HAL_JOFS_RZ && axis.offset % 4 == 0) {
    entry.kind = static_cast<uint8_t>(axis.offset / 4 + 1);
    entry.position = static_cast<uint8_t>(axis.offset);
  }
  entry.actuator = (axis.flags & HAL_OBJ_FFACTUATOR) ? 1 : 0;
  ++gInput.axisCounter;
  return true;
}

int32_t SetDeviceProperty(int32_t device, HalInputProperty property, uint32_t offset, int32_t value) {
  return InputCheckResult(HalInputSetProperty(gInput.devices[device], property, offset, value, 0));
}

}  // namespace

int32_t InputInit(uint32_t, uint32_t window) {
  if (!InputCheckResult(HalInputCreate(INPUT_VERSION))) return 0;
  gInput.window = window;
  if (!InputCheckResult(HalInputEnumDevices(SetUpDevice, nullptr))) return 0;
  return gInput.deviceCount;
}

int32_t InputReadDevice(int32_t device, InputJoyState* state) {
  if (!InputDeviceValid(device) || !state) return 0;
  if (!InputMakeCurrent(device)) return 0;
  if (!InputCheckResult(HalInputPoll(gInput.devices[device]))) return 0;
  if (!InputCheckResult(HalInputGetState(gInput.devices[device], state))) return 0;
  gInput.current = device;
  return 1;
}

int32_t InputGetDeviceInfo(int32_t device, InputDeviceInfo* info) {
  if (!InputDeviceValid(device) || !info) return 0;
  HalInputDeviceDesc desc;
  HalInputCaps caps{};
  if (!InputCheckResult(HalInputGetDeviceInfo(gInput.devices[device], &desc))) return 0;
  if (!InputCheckResult(HalInputGetCapabilities(gInput.devices[device], &caps))) return 0;
  info->wheel = 0;
  if ((caps.devType & 0xFF) == HAL_DEVTYPE_JOYSTICK) {
    uint32_t sub = (caps.devType >> 8) & 0xFF;
    info->wheel = (sub == HAL_DEVSUB_WHEEL || sub == HAL_DEVSUB_UNKNOWN) ? 1 : 0;
  }
  CopyName(info->instanceName, desc.instanceName);
  CopyName(info->productName, desc.productName);
  info->axisCount = caps.axes;
  info->buttonCount = caps.buttons;
  info->povCount = caps.povs;
  info->forceFeedback = (caps.flags & HAL_CAPS_FORCEFEEDBACK) ? 1 : 0;

  // A zeroed table, so sliders (which get no kind) read as kind 0; at least
  // one entry, so every successful call hands over a table of its own.
  gInput.axisCounter = 0;
  info->axes = static_cast<InputAxisInfo*>(std::calloc(std::max<uint32_t>(caps.axes, 1), sizeof(InputAxisInfo)));
  if (!info->axes) {
    gLibLastError = 0x80000002u;
    return 0;
  }
  AxisFill fill{info};
  if (!InputCheckResult(HalInputEnumAxes(gInput.devices[device], FillAxis, &fill))) return 0;
  return 1;
}

int32_t InputSetDeadZone(int32_t device, int32_t deadZone) {
  if (!InputDeviceValid(device) || deadZone < 0 || deadZone > 10000) return 0;
  if (!SetDeviceProperty(device, HAL_PROP_DEADZONE, HAL_JOFS_X, deadZone)) return 0;
  return SetDeviceProperty(device, HAL_PROP_DEADZONE, HAL_JOFS_Y, deadZone);
}

int32_t InputFxSetGain(int32_t device, int32_t gain) {
  if (!InputDeviceValid(device) || gain < 0 || gain > 10000) return 0;
  return SetDeviceProperty(device, HAL_PROP_FFGAIN, HAL_PROP_DEVICE, gain);
}

int32_t InputSetAutoCenter(int32_t device, int32_t on) {
  if (!InputDeviceValid(device)) return 0;
  // The property can only be set on a device that is not acquired.
  if (gInput.current == device) {
    gInput.current = -1;
    if (!InputCheckResult(HalInputUnacquire(gInput.devices[device]))) return 0;
  }
  return SetDeviceProperty(device, HAL_PROP_AUTOCENTER, HAL_PROP_DEVICE, on ? 1 : 0);
}

void InputFxClearCurrent() { gInput.current = -1; }

uint32_t InputGetLastError() { return gLibLastError; }

void InputResetForTest() {
  gInput = InputState{};
  gInput.current = -1;
}
