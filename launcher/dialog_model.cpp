#include "launcher/dialog_model.h"

#include <strings.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

const char* const kEnumerationFailed = "Enumeration des devices impossibles\n";

// Fills the list; false when the enumeration failed (the list then stays to be filled).
bool FillList(LauncherDialog* dialog) {
  if (!dialog->enumerate || !dialog->enumerate(LauncherAddDriver, dialog)) {
    std::fputs(kEnumerationFailed, stderr);
    return false;
  }
  dialog->config->listToFill = false;
  return true;
}

}  // namespace

bool LauncherAddDriver(const uint8_t* guid, const char* description, const char* /*name*/, void* context) {
  auto* dialog = static_cast<LauncherDialog*>(context);
  LauncherDriverList* list = dialog->drivers;
  if (list->drivers.size() >= LAUNCHER_MAX_DRIVERS || !description) return false;
  LauncherDriver driver;
  driver.description = description;
  if (guid) {
    driver.hasGuid = true;
    std::memcpy(driver.guid.data(), guid, driver.guid.size());
  }
  list->drivers.push_back(std::move(driver));
  // Alphabetical, letters compared without case; equal texts keep their order.
  const std::string& text = list->drivers.back().description;
  auto at = std::upper_bound(list->items.begin(), list->items.end(), text, [&](const std::string& t, size_t item) {
    return ::strcasecmp(t.c_str(), list->drivers[item].description.c_str()) < 0;
  });
  list->items.insert(at, list->drivers.size() - 1);
  return true;
}

size_t LauncherDialogItemCount(const LauncherDialog& dialog) { return dialog.drivers->items.size(); }

const std::string& LauncherDialogItemText(const LauncherDialog& dialog, size_t index) {
  return dialog.drivers->drivers[dialog.drivers->items[index]].description;
}

int32_t LauncherFindDriverItem(const LauncherDialog& dialog, const char* description) {
  for (size_t i = LauncherDialogItemCount(dialog); i-- > 0;)
    if (LauncherDialogItemText(dialog, i) == description) return static_cast<int32_t>(i);
  return -1;
}

void LauncherFreeDrivers(LauncherDriverList* list) {
  list->drivers.clear();
  list->items.clear();
}

void LauncherDialogStart(LauncherDialog* dialog) {
  LauncherConfig* config = dialog->config;
  dialog->result = LAUNCHER_RESULT_NONE;
  dialog->glideEnabled = dialog->glideBoards != 0;
  if (!dialog->glideEnabled) config->renderer = LAUNCHER_RENDERER_D3D;
  config->listToFill = true;

  bool d3dEnabled = false;
  if (config->renderer == LAUNCHER_RENDERER_D3D) {
    dialog->d3dChecked = true;
    d3dEnabled = true;
    if (FillList(dialog)) {
      int32_t found = LauncherFindDriverItem(*dialog, config->description);
      int32_t index = found >= 0 ? found : 0;
      dialog->listSelection = index < static_cast<int32_t>(LauncherDialogItemCount(*dialog)) ? index : -1;
      config->selectedIndex = index;
    }
    // A failed enumeration still shows the stored options: boxes that did not
    // match the settings would write the opposite of what the user saw.
  } else {
    dialog->glideChecked = true;
  }
  dialog->ditheringChecked = config->dithering != 0;
  dialog->filteringChecked = config->filtering != 0;
  dialog->d3dControlsEnabled = d3dEnabled;
}

void LauncherDialogCommand(LauncherDialog* dialog, int32_t controlId) {
  if (dialog->result != LAUNCHER_RESULT_NONE) return;
  LauncherConfig* config = dialog->config;
  switch (controlId) {
    case LAUNCHER_ID_GLIDE:
      if (!dialog->glideEnabled) return;
      dialog->glideChecked = true;
      dialog->d3dChecked = false;
      config->renderer = LAUNCHER_RENDERER_GLIDE;
      dialog->d3dControlsEnabled = false;
      dialog->listSelection = -1;
      return;
    case LAUNCHER_ID_D3D: {
      dialog->d3dChecked = true;
      dialog->glideChecked = false;
      dialog->d3dControlsEnabled = true;
      int32_t count = static_cast<int32_t>(LauncherDialogItemCount(*dialog));
      dialog->listSelection = config->selectedIndex < count ? config->selectedIndex : -1;
      config->renderer = LAUNCHER_RENDERER_D3D;
      if (config->listToFill) FillList(dialog);
      return;
    }
    case LAUNCHER_ID_DITHERING:
      if (!dialog->d3dControlsEnabled) return;
      config->dithering = !config->dithering;
      dialog->ditheringChecked = !dialog->ditheringChecked;
      return;
    case LAUNCHER_ID_FILTERING:
      if (!dialog->d3dControlsEnabled) return;
      config->filtering = !config->filtering;
      dialog->filteringChecked = !dialog->filteringChecked;
      return;
    case LAUNCHER_ID_GO: {
      int32_t index = dialog->listSelection >= 0 ? dialog->listSelection : 0;
      config->selectedIndex = index;
      if (config->renderer == LAUNCHER_RENDERER_D3D) {
        // With an empty list there is no device to name: the description is empty.
        config->chosenDescription =
            static_cast<size_t>(index) < LauncherDialogItemCount(*dialog) ? LauncherDialogItemText(*dialog, index) : "";
      }
      LauncherWriteConfig(config, config->renderer, dialog->configPath.c_str());
      dialog->result = LAUNCHER_RESULT_GO;
      return;
    }
    case LAUNCHER_ID_CANCEL:
      dialog->result = LAUNCHER_RESULT_CANCEL;
      return;
    default:
      return;
  }
}

void LauncherDialogSelect(LauncherDialog* dialog, int32_t index) {
  if (dialog->result != LAUNCHER_RESULT_NONE || !dialog->d3dControlsEnabled) return;
  if (index < 0 || index >= static_cast<int32_t>(LauncherDialogItemCount(*dialog))) return;
  dialog->listSelection = index;
}

void LauncherDialogClose(LauncherDialog* dialog) {
  if (dialog->result == LAUNCHER_RESULT_NONE) dialog->result = LAUNCHER_RESULT_CANCEL;
}
