#include "launcher/devices.h"

// Stand-in until the display device table lands: the primary display alone.
bool LauncherEnumerateDisplayDevices(LauncherDeviceCallback callback, void* context) {
  callback(nullptr, "Primary display", "display", context);
  return true;
}
