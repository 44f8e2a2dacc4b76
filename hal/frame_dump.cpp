#include "hal/frame_dump.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "hal/window.h"

namespace {

const char* Folder() {
  static const char* folder = std::getenv("TORVANE_DUMP_FRAMES");
  return folder && *folder ? folder : nullptr;
}

const std::vector<uint32_t>& WantedFrames() {
  static const std::vector<uint32_t> wanted = [] {
    std::vector<uint32_t> frames;
    const char* text = std::getenv("TORVANE_DUMP_AT");
    if (!text || !*text) {
      for (uint32_t n = 1; n <= 10; ++n) frames.push_back(n);
      return frames;
    }
    for (char* end = nullptr;; text = end + 1) {
      unsigned long n = std::strtoul(text, &end, 10);
      if (end == text) break;
      frames.push_back(static_cast<uint32_t>(n));
      if (*end != ',') break;
    }
    return frames;
  }();
  return wanted;
}

}  // namespace

bool HalFrameDumpWanted() {
  if (!Folder()) return false;
  const auto& wanted = WantedFrames();
  return std::find(wanted.begin(), wanted.end(), HalFrameCount()) != wanted.end();
}

void HalFrameDumpWrite(const uint16_t* pixels, int32_t width, int32_t height, int32_t pitchBytes,
                       bool rgb565) {
  const char* folder = Folder();
  if (!folder || !pixels || width <= 0 || height <= 0 || pitchBytes < width * 2) return;
  std::vector<uint8_t> rgb(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
  uint8_t* out = rgb.data();
  for (int32_t y = 0; y < height; ++y) {
    const uint16_t* row = reinterpret_cast<const uint16_t*>(reinterpret_cast<const uint8_t*>(pixels) +
                                                            static_cast<size_t>(y) * static_cast<size_t>(pitchBytes));
    for (int32_t x = 0; x < width; ++x) {
      const uint16_t p = row[x];
      if (rgb565) {
        *out++ = static_cast<uint8_t>(((p >> 11) & 0x1F) << 3);
        *out++ = static_cast<uint8_t>(((p >> 5) & 0x3F) << 2);
      } else {
        *out++ = static_cast<uint8_t>(((p >> 10) & 0x1F) << 3);
        *out++ = static_cast<uint8_t>(((p >> 5) & 0x1F) << 3);
      }
      *out++ = static_cast<uint8_t>((p & 0x1F) << 3);
    }
  }
  char name[32];
  std::snprintf(name, sizeof name, "/frame%05u.ppm", HalFrameCount());
  std::FILE* f = std::fopen((std::string(folder) + name).c_str(), "wb");
  if (!f) return;
  std::fprintf(f, "P6\n%d %d\n255\n", width, height);
  std::fwrite(rgb.data(), 1, rgb.size(), f);
  std::fclose(f);
}
