#include "hal/d3d/devices.h"

#include <cstring>
#include <utility>

namespace {

std::vector<HalDevice> DefaultTable() { return {HalDeviceDefault()}; }

std::vector<HalDevice>& Table() {
  static std::vector<HalDevice> table = DefaultTable();
  return table;
}

bool gEnumerationFails = false;

void CopyText(char (&to)[HAL_DEVICE_TEXT_MAX + 1], const char* from) {
  std::strncpy(to, from, HAL_DEVICE_TEXT_MAX);
  to[HAL_DEVICE_TEXT_MAX] = 0;
}

}  // namespace

HalDevice HalDeviceDefault() {
  HalDevice d{};
  HalDeviceSetDescription(&d, "Torvane OpenGL display");
  HalDeviceSetName(&d, "display");
  d.hasGuid = false;
  for (const auto& [w, h] : {std::pair{320, 200}, {512, 384}, {640, 400}, {640, 480}, {800, 600},
                             {1024, 768}, {1280, 1024}})
    d.modes.push_back({w, h, 16});
  d.renderDepths = HAL_DEPTH_16;
  d.localVideoMemory = 16u << 20;
  d.textureMemory = 4u << 20;
  d.tableFog = true;
  d.alphaCompareNotEqual = true;
  d.primarySurfaceFails = false;
  return d;
}

void HalDeviceSetDescription(HalDevice* device, const char* text) { CopyText(device->description, text); }
void HalDeviceSetName(HalDevice* device, const char* text) { CopyText(device->name, text); }

int32_t HalDeviceCount() { return static_cast<int32_t>(Table().size()); }

const HalDevice* HalDeviceAt(int32_t index) {
  if (index < 0 || index >= HalDeviceCount()) return nullptr;
  return &Table()[static_cast<size_t>(index)];
}

bool HalEnumerateDevices(HalDeviceEnumCallback callback, void* context) {
  if (gEnumerationFails || !callback) return false;
  for (const HalDevice& d : Table()) {
    if (!callback(d.hasGuid ? &d.guid : nullptr, d.description, d.name, context)) break;
  }
  return true;
}

void HalDevicesSet(const std::vector<HalDevice>& devices) {
  std::vector<HalDevice> table = devices;
  // A caller may fill the texts to the brim without a terminator.
  for (HalDevice& d : table) {
    d.description[HAL_DEVICE_TEXT_MAX] = 0;
    d.name[HAL_DEVICE_TEXT_MAX] = 0;
  }
  Table() = std::move(table);
}

void HalDevicesSetEnumerationFails(bool fails) { gEnumerationFails = fails; }

void HalDevicesReset() {
  Table() = DefaultTable();
  gEnumerationFails = false;
}
