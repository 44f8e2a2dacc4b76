// Frames dumped by whole-program runs (TORVANE_DUMP_FRAMES): binary PPM
// pictures read back, and shrunk to the size of the stored references.
#pragma once
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "support/ppm.h"

namespace e2e {

constexpr int SHRINK = 4;  // the references keep one pixel of each 4 x 4 block's average

using Picture = PpmPicture;
using ::ReadPpm;

inline Picture Shrink(const Picture& in) {
  Picture out;
  out.width = in.width / SHRINK;
  out.height = in.height / SHRINK;
  out.rgb.resize(static_cast<size_t>(out.width) * out.height * 3);
  for (int y = 0; y < out.height; ++y)
    for (int x = 0; x < out.width; ++x)
      for (int c = 0; c < 3; ++c) {
        int sum = 0;
        for (int dy = 0; dy < SHRINK; ++dy)
          for (int dx = 0; dx < SHRINK; ++dx)
            sum += in.rgb[(static_cast<size_t>(y * SHRINK + dy) * in.width + x * SHRINK + dx) * 3 + c];
        out.rgb[(static_cast<size_t>(y) * out.width + x) * 3 + c] = static_cast<uint8_t>(sum / (SHRINK * SHRINK));
      }
  return out;
}

}  // namespace e2e
