// A frame the programs dump (TORVANE_DUMP_FRAMES): binary PPM, 8-bit RGB.
#pragma once
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

struct Frame {
  int width = 0, height = 0;
  std::vector<uint8_t> rgb;
};

inline bool ReadPpm(const std::string& path, Frame* frame) {
  std::ifstream f(path, std::ios::binary);
  std::string magic;
  int maxValue = 0;
  if (!(f >> magic >> frame->width >> frame->height >> maxValue) || magic != "P6" || maxValue != 255) return false;
  f.get();
  frame->rgb.resize(static_cast<size_t>(frame->width) * frame->height * 3);
  return static_cast<bool>(
      f.read(reinterpret_cast<char*>(frame->rgb.data()), static_cast<std::streamsize>(frame->rgb.size())));
}
