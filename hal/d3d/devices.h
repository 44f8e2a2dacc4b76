// The display devices of the machine, as the Direct3D-shaped layer and the
// launcher see them. There is one real device (OpenGL through Mesa or the
// desktop's driver); the table describes it in the terms the renderer asks
// about: a description the launcher stores in rur.cfg, the 16-bit display
// modes, the memory figures and two raster caps. Every value is configuration,
// so tests can take a cap away, shrink the memory or add devices and reach
// every branch of the renderer's start-up. Needs no OpenGL.
#pragma once
#include <cstdint>
#include <vector>

// Longest device description or name; the buffers hold one more byte for the 0.
constexpr int32_t HAL_DEVICE_TEXT_MAX = 255;

// Bits of HalDevice::renderDepths: the colour depths the device's 3D raster
// can render into.
constexpr uint32_t HAL_DEPTH_16 = 1u << 0;
constexpr uint32_t HAL_DEPTH_24 = 1u << 1;
constexpr uint32_t HAL_DEPTH_32 = 1u << 2;

struct HalDeviceGuid {
  uint8_t bytes[16];
};

struct HalDisplayModeDesc {
  int32_t width;
  int32_t height;
  int32_t bitsPerPixel;  // 16, 24 or 32
};

struct HalDevice {
  char description[HAL_DEVICE_TEXT_MAX + 1];  // NUL-terminated
  char name[HAL_DEVICE_TEXT_MAX + 1];         // NUL-terminated
  bool hasGuid;       // the primary display's entry has none
  HalDeviceGuid guid;
  std::vector<HalDisplayModeDesc> modes;  // as the device lists them
  uint32_t renderDepths;                  // HAL_DEPTH_* bits
  uint64_t localVideoMemory;              // bytes
  uint64_t textureMemory;                 // bytes, part of the local memory
  bool tableFog;                          // linear fog over the view depth
  bool alphaCompareNotEqual;              // alpha test NOTEQUAL
  bool primarySurfaceFails;               // for tests: opening a display on it fails
};

// The default entry of the primary display: the seven sizes the game can use
// at 16 bits, 16 MiB of video memory of which 4 MiB hold textures (the software
// accelerator's texture figure, so both programs choose the same detail level),
// table fog and alpha NOTEQUAL; every game mode fits.
HalDevice HalDeviceDefault();

// The table. Reads are valid until the table is next replaced.
int32_t HalDeviceCount();
const HalDevice* HalDeviceAt(int32_t index);  // null when out of range

// Calls back once per device, in table order, with its GUID (null for the
// primary display), description and name; a callback returning false stops
// the walk. False when the enumeration itself fails (the test hook below).
using HalDeviceEnumCallback = bool (*)(const HalDeviceGuid* guid, const char* description,
                                       const char* name, void* context);
bool HalEnumerateDevices(HalDeviceEnumCallback callback, void* context);

// Sets a device's description or name, cut at 255 characters.
void HalDeviceSetDescription(HalDevice* device, const char* text);
void HalDeviceSetName(HalDevice* device, const char* text);

// Tests: replace the table (a text that fills its buffer is cut at 255
// characters), make the next enumerations fail or not, and restore the default
// table with a working enumeration.
void HalDevicesSet(const std::vector<HalDevice>& devices);
void HalDevicesSetEnumerationFails(bool fails);
void HalDevicesReset();
