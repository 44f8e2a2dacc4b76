// The settings dialog as a plain state machine: the controls' enabled and
// checked states, the device list and the settings, driven by the dialog's
// events. The view only draws this state and reports clicks.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "launcher/config.h"

enum LauncherControlId : int32_t {
  LAUNCHER_ID_PICTURE = -1,
  LAUNCHER_ID_GLIDE = 1007,
  LAUNCHER_ID_D3D = 1008,
  LAUNCHER_ID_DITHERING = 1009,
  LAUNCHER_ID_FILTERING = 1010,
  LAUNCHER_ID_LIST = 1011,
  LAUNCHER_ID_GO = 1012,
  LAUNCHER_ID_OPTIONS_GROUP = 1013,
  LAUNCHER_ID_LIST_GROUP = 1014,
  LAUNCHER_ID_CANCEL = 1016,
  LAUNCHER_ID_API_GROUP = 1017,
};

constexpr int32_t LAUNCHER_RESULT_NONE = 0;  // the dialog is still open
constexpr int32_t LAUNCHER_RESULT_GO = 10;
constexpr int32_t LAUNCHER_RESULT_CANCEL = -1;
constexpr size_t LAUNCHER_MAX_DRIVERS = 50;

struct LauncherDriver {
  std::string description;
  bool hasGuid = false;  // the primary display has none
  std::array<uint8_t, 16> guid{};
};

// Drivers in the order they were enumerated; `items` is the list box: indexes
// into `drivers`, sorted by description.
struct LauncherDriverList {
  std::vector<LauncherDriver> drivers;
  std::vector<size_t> items;
};

// One enumerated device; returns false to stop the enumeration.
using LauncherDeviceCallback = bool (*)(const uint8_t* guid, const char* description, const char* name,
                                        void* context);
// Calls `callback` for each device; false when the enumeration failed.
using LauncherEnumerateDevices = bool (*)(LauncherDeviceCallback callback, void* context);

struct LauncherDialog {
  // Inputs, set before the start.
  LauncherConfig* config = nullptr;
  LauncherDriverList* drivers = nullptr;
  int32_t glideBoards = 0;
  LauncherEnumerateDevices enumerate = nullptr;
  std::string configPath = LAUNCHER_CONFIG_FILE;

  // Controls.
  bool glideEnabled = true;
  bool glideChecked = false;
  bool d3dChecked = false;
  bool ditheringChecked = false;
  bool filteringChecked = false;
  bool d3dControlsEnabled = true;  // the list, both check boxes and their group boxes
  int32_t listSelection = -1;

  int32_t result = LAUNCHER_RESULT_NONE;
};

void LauncherDialogStart(LauncherDialog* dialog);
// A click on a button, radio button or check box. Disabled controls take none.
void LauncherDialogCommand(LauncherDialog* dialog, int32_t controlId);
// The user picked list item `index` (a position in the sorted list).
void LauncherDialogSelect(LauncherDialog* dialog, int32_t index);
// The window's close box: the same as cancel.
void LauncherDialogClose(LauncherDialog* dialog);

// The enumeration callback: adds one device to the list (the context is the dialog).
bool LauncherAddDriver(const uint8_t* guid, const char* description, const char* name, void* context);
// The list item whose description equals `description` exactly, searching
// from the last item; -1 when none does.
int32_t LauncherFindDriverItem(const LauncherDialog& dialog, const char* description);
size_t LauncherDialogItemCount(const LauncherDialog& dialog);
const std::string& LauncherDialogItemText(const LauncherDialog& dialog, size_t index);
void LauncherFreeDrivers(LauncherDriverList* list);
