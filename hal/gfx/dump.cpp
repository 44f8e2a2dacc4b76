// Frames written to disk as they are shown, for whole-program tests and for a
// look at a headless run: TORVANE_DUMP_FRAMES=<folder> writes frames as
// <folder>/frameNNNNN.ppm: those listed in TORVANE_DUMP_AT ("2,60"), or the
// first ten.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "hal/gfx/gfx.h"
#include "hal/gfx/gfx_internal.h"
#include "hal/window.h"

void gfx::GfxDumpShownFrame() {
  static const char* folder = std::getenv("TORVANE_DUMP_FRAMES");
  if (!folder || !*folder) return;
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
  const uint32_t frame = HalFrameCount();
  if (std::find(wanted.begin(), wanted.end(), frame) == wanted.end()) return;

  int32_t w = 0, h = 0;
  GfxScreenSize(&w, &h);
  if (w <= 0 || h <= 0) return;
  std::vector<uint16_t> pixels(static_cast<size_t>(w) * static_cast<size_t>(h));
  if (!GfxLfbReadRegion(GFX_BUFFER_FRONTBUFFER, 0, 0, w, h, w * 2, pixels.data())) return;
  std::vector<uint8_t> rgb(pixels.size() * 3);
  for (size_t i = 0; i < pixels.size(); ++i) {
    uint16_t p = pixels[i];
    rgb[3 * i] = static_cast<uint8_t>(((p >> 11) & 0x1F) << 3);
    rgb[3 * i + 1] = static_cast<uint8_t>(((p >> 5) & 0x3F) << 2);
    rgb[3 * i + 2] = static_cast<uint8_t>((p & 0x1F) << 3);
  }
  char name[32];
  std::snprintf(name, sizeof name, "/frame%05u.ppm", frame);
  std::FILE* f = std::fopen((std::string(folder) + name).c_str(), "wb");
  if (!f) return;
  std::fprintf(f, "P6\n%d %d\n255\n", w, h);
  std::fwrite(rgb.data(), 1, rgb.size(), f);
  std::fclose(f);
}
