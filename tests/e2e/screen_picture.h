// Full-screen pictures of the data kit as the game shows them (the intro,
// the game-over picture, the menus' backgrounds): which screen pixels of a
// dumped frame show the picture as it was written.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "ppm.h"
#include "tools/datakit/lib/boot_set.h"
#include "tools/datakit/lib/menu_kit.h"

namespace e2e {

// A picture of the kit as written: width, height and RGB555 pixels; empty
// when the kit has none of that name.
inline std::vector<uint16_t> KitPicturePixels(const std::string& name, int* width, int* height) {
  for (const auto& files : {datakit::BootArchiveFiles(), datakit::MenuArchiveFiles()}) {
    for (const datakit::DataFile& f : files) {
      if (f.path != name) continue;
      *width = f.data[0] | f.data[1] << 8;
      *height = f.data[2] | f.data[3] << 8;
      std::vector<uint16_t> pixels(static_cast<size_t>(*width) * *height);
      for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = static_cast<uint16_t>(f.data[4 + 2 * i] | f.data[5 + 2 * i] << 8);
      return pixels;
    }
  }
  return {};
}

struct ScreenRect {
  int x0, y0, x1, y1;  // x0 <= x < x1, y0 <= y < y1
};

// The pixels inside `rect` of `frame` that do not show the picture `name` as
// the screen shows a full-screen picture: each screen pixel takes the source
// pixel found by 16.16 steps of (source size - 1) / screen size, and the
// screen keeps 5-6-5 bits. torvane's green low bit repeats its top bit;
// torvaned3d's is 0. -1 when the kit has no such picture.
inline int PictureMismatches(const Picture& frame, const std::string& name, ScreenRect rect,
                             bool greenLowBitRepeats = true) {
  int w = 0, h = 0;
  const std::vector<uint16_t> picture = KitPicturePixels(name, &w, &h);
  if (picture.empty() || frame.width <= 0 || frame.height <= 0) return -1;
  const uint32_t rowStep = (static_cast<uint32_t>(h - 1) << 16) / static_cast<uint32_t>(frame.height);
  const uint32_t colStep = (static_cast<uint32_t>(w - 1) << 16) / static_cast<uint32_t>(frame.width);
  int wrong = 0;
  for (int y = rect.y0; y < rect.y1 && y < frame.height; ++y) {
    for (int x = rect.x0; x < rect.x1 && x < frame.width; ++x) {
      const uint16_t p = picture[((static_cast<uint32_t>(y) * rowStep) >> 16) * static_cast<uint32_t>(w) +
                                 ((static_cast<uint32_t>(x) * colStep) >> 16)];
      const uint8_t r5 = (p >> 10) & 31, g5 = (p >> 5) & 31, b5 = p & 31;
      const uint8_t g6 = static_cast<uint8_t>(g5 << 1 | (greenLowBitRepeats ? g5 >> 4 : 0));
      const uint8_t* shown = &frame.rgb[(static_cast<size_t>(y) * frame.width + x) * 3];
      if (shown[0] != (r5 << 3) || shown[1] != (g6 << 2) || shown[2] != (b5 << 3)) ++wrong;
    }
  }
  return wrong;
}

inline ScreenRect WholeScreen(const Picture& frame) { return {0, 0, frame.width, frame.height}; }

// A corner of the main page that no widget covers (left of the quit button,
// below the drums' arrows): the background shows there.
constexpr ScreenRect MENU_BARE_CORNER = {0, 400, 60, 470};

}  // namespace e2e
