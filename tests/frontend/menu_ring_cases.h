// Roll positions and what some of the ring's faces show there, for both
// back ends' glyph mapping.
#pragma once
#include <cstdint>
#include <vector>

struct RingFace {
  int face;
  int font;  // 0 or 1
  int32_t cellU, cellV, top;
};
struct RingCase {
  int32_t position;
  std::vector<RingFace> faces;
};

// An odd glyph faces the viewer on faces 0-7, an even one on faces 8-15; the
// glyphs of rows 4-7 are on the second font texture.
inline const RingCase RING_CASES[] = {
    {3 * 512 + 100, {{0, 0, 96, 0, 63}, {7, 0, 96, 0, 7}, {8, 0, 128, 0, 63}, {12, 0, 128, 0, 31}}},
    {30 * 512, {{0, 0, 224, 192, 63}, {8, 0, 192, 192, 63}, {15, 0, 192, 192, 7}}},
    {31 * 512 + 511, {{0, 0, 224, 192, 63}, {7, 0, 224, 192, 7}, {8, 1, 0, 0, 63}, {15, 1, 0, 0, 7}}},
    {49 * 512, {{3, 1, 32, 128, 39}, {8, 1, 64, 128, 63}}},
    {-700, {{0, 0, 32, 0, 63}, {8, 0, 0, 0, 63}}},  // no glyph below the first
};
