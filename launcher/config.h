// The renderer settings the launcher keeps in "rur.cfg" and torvaned3d reads:
// a 12-byte record of three little-endian 32-bit fields (renderer, filtering,
// dithering), then the chosen device's description and its 0 byte.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr int32_t LAUNCHER_RENDERER_D3D = 0;    // torvaned3d
constexpr int32_t LAUNCHER_RENDERER_GLIDE = 1;  // torvane
constexpr size_t LAUNCHER_DESCRIPTION_SIZE = 260;
constexpr size_t LAUNCHER_CONFIG_RECORD_BYTES = 12;
constexpr const char* LAUNCHER_CONFIG_FILE = "rur.cfg";

struct LauncherConfig {
  int32_t renderer = LAUNCHER_RENDERER_GLIDE;
  int32_t filtering = 1;
  int32_t dithering = 1;
  char description[LAUNCHER_DESCRIPTION_SIZE] = {};  // as read from the file
  std::string chosenDescription;                     // picked in the dialog, until written
  int32_t selectedIndex = -1;                        // list position remembered by the dialog
  bool listToFill = false;                           // the device list is still to be filled
};

// The file's bytes for these settings; the description is written only for Direct3D.
std::vector<uint8_t> LauncherConfigEncode(int32_t renderer, int32_t filtering, int32_t dithering,
                                          const std::string& description);
// Settings from the file's bytes. A file too short for the record keeps the
// defaults; a description without its 0 byte is cut to the buffer; a renderer
// that names no program is taken as Glide.
void LauncherConfigDecode(const uint8_t* data, size_t size, LauncherConfig* config);

// A missing or unreadable file gives the defaults (Glide, filtering and
// dithering on, no device).
void LauncherReadConfig(LauncherConfig* config, const char* path = LAUNCHER_CONFIG_FILE);
// Writes the settings with `renderer` and forgets the chosen description. The
// file is replaced whole or not at all; false when it could not be written.
bool LauncherWriteConfig(LauncherConfig* config, int32_t renderer, const char* path = LAUNCHER_CONFIG_FILE);
