// The Direct3D devices the dialog lists, from the display device table that
// torvaned3d matches rur.cfg's description against.
#pragma once
#include "launcher/dialog_model.h"

bool LauncherEnumerateDisplayDevices(LauncherDeviceCallback callback, void* context);
