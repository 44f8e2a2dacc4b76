// Small scenes that both back ends must draw alike, with the pixels torvane
// shows (5-6-5). Each back end's suite sets them up its own way and reads
// its own back buffer.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

struct TwinPixel {
  int32_t x, y;
  uint16_t pixel;
};

// The lens flare over a sky cleared to (16, 96, 168), the sun at the screen
// point (320, 240) and its texture 8 x 8 texels of one 4444 texel. With the
// projection centre on the sun every element adds onto the probe at full
// intensity; with the centre far to the right the first element alone
// covers it, faded to an intensity of 203.
struct FlareTwin {
  uint16_t texel;  // alpha, red, green, blue of 15
  float centreX;
  TwinPixel probe;
};
inline constexpr FlareTwin FLARE_TWINS[] = {{0x1642, 320.0f, {320, 240, 0x553F}},   // 80, 164, 248
                                            {0xF642, 1300.0f, {460, 240, 0xA478}}};  // 160, 140, 192

// A glyph cell shown at half its size, as the HUD's text is: a texture of 16
// x 16 texels (5-6-5), white with its odd rows black, on a quad of 8 x 8
// pixels from (100, 100), over a screen cleared to blue. Each pixel takes
// the texel under its centre, the second of its two rows: every row comes out
// black, and the quad covers exactly its 8 columns and rows.
constexpr float GLYPH_TWIN_LEFT = 100.0f, GLYPH_TWIN_TOP = 100.0f, GLYPH_TWIN_SIZE = 8.0f;
inline std::vector<uint16_t> GlyphTwinTexels() {
  std::vector<uint16_t> texels(16 * 16);
  for (size_t i = 0; i < texels.size(); ++i) texels[i] = (i / 16) % 2 ? 0x0000 : 0xFFFF;
  return texels;
}
inline std::vector<TwinPixel> GlyphTwinPixels() {
  std::vector<TwinPixel> want;
  for (int32_t y = 100; y < 108; ++y) want.push_back({103, y, 0x0000});
  want.insert(want.end(), {{107, 104, 0x0000}, {108, 104, 0x001F}, {99, 104, 0x001F}, {103, 108, 0x001F},
                           {103, 99, 0x001F}});
  return want;
}
