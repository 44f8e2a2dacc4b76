// Frames written to disk as they are shown, for whole-program tests and for a
// look at a headless run: TORVANE_DUMP_FRAMES=<folder> writes the first
// TORVANE_DUMP_LIMIT frames (10 unless set) as <folder>/frameNNNNN.ppm.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "hal/gfx/gfx.h"
#include "hal/window.h"

void GfxDumpShownFrame() {
  static const char* folder = std::getenv("TORVANE_DUMP_FRAMES");
  if (!folder || !*folder) return;
  static const long limit = [] {
    const char* text = std::getenv("TORVANE_DUMP_LIMIT");
    return text ? std::strtol(text, nullptr, 10) : 10L;
  }();
  const uint32_t frame = HalFrameCount();
  if (frame == 0 || static_cast<long>(frame) > limit) return;

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
