// Frames the headless game dumps (TORVANE_DUMP_FRAMES), read back as 8-bit RGB.
#pragma once
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

struct PpmPicture {
  int width = 0, height = 0;
  std::vector<uint8_t> rgb;
};

// A binary P6 file of 8-bit channels; false for anything else or a short file.
inline bool ReadPpm(const std::string& path, PpmPicture* picture) {
  std::ifstream f(path, std::ios::binary);
  std::string magic;
  int maxValue = 0;
  if (!(f >> magic >> picture->width >> picture->height >> maxValue) || magic != "P6" || maxValue != 255 ||
      picture->width <= 0 || picture->height <= 0)
    return false;
  f.get();
  picture->rgb.resize(static_cast<size_t>(picture->width) * static_cast<size_t>(picture->height) * 3);
  return static_cast<bool>(
      f.read(reinterpret_cast<char*>(picture->rgb.data()), static_cast<std::streamsize>(picture->rgb.size())));
}
