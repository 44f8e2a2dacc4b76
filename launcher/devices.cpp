#include "launcher/devices.h"

#include "hal/d3d/devices.h"

namespace {

struct Forward {
  LauncherDeviceCallback callback;
  void* context;
};

bool ForwardDevice(const HalDeviceGuid* guid, const char* description, const char* name, void* context) {
  auto* forward = static_cast<Forward*>(context);
  return forward->callback(guid ? guid->bytes : nullptr, description, name, forward->context);
}

}  // namespace

bool LauncherEnumerateDisplayDevices(LauncherDeviceCallback callback, void* context) {
  Forward forward{callback, context};
  return HalEnumerateDevices(ForwardDevice, &forward);
}
