// The comparison of two renderers' pictures of one scene. They may differ by
// sub-pixel edges (one renderer keeps whole pixels, the other fractions),
// texture filtering, fog by w and depth precision where surfaces meet: a
// pixel is then found again, within the channel tolerance, at most two pixels
// away in the other picture. A missing or wrongly coloured object is not. A
// pixel differs when either picture's pixel is not found so in the other; the
// picture is cut into 8 x 8 tiles, and a tile differs when more of its pixels
// differ than the noise of a finely textured model accounts for.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <utility>
#include <vector>

constexpr int RENDERER_CHANNEL_TOLERANCE = 40;
constexpr int RENDERER_TILE = 8;
constexpr int RENDERER_NEAR = 2;
// The kit scene's car, whose side is a band of random texel colours seen
// from afar, shows up to 15 such pixels in a tile when both renderers sample
// at pixel centres.
constexpr int RENDERER_TILE_PIXELS = 15;

// The tiles of two w x h RGB pictures that differ; pictures of other sizes
// differ in every tile.
inline size_t RendererTilesDiffering(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b, int32_t w,
                                     int32_t h) {
  const int32_t tilesX = (w + RENDERER_TILE - 1) / RENDERER_TILE, tilesY = (h + RENDERER_TILE - 1) / RENDERER_TILE;
  const size_t bytes = static_cast<size_t>(w) * static_cast<size_t>(h) * 3;
  if (a.size() != bytes || b.size() != bytes) return static_cast<size_t>(tilesX) * static_cast<size_t>(tilesY);
  auto at = [w](int32_t x, int32_t y) { return (static_cast<size_t>(y) * w + x) * 3; };
  auto close = [](const uint8_t* p, const uint8_t* q) {
    for (int c = 0; c < 3; ++c)
      if (std::abs(p[c] - q[c]) > RENDERER_CHANNEL_TOLERANCE) return false;
    return true;
  };
  // Whether `from`'s pixel (x, y) is found near (x, y) in `in`.
  auto found = [&](const std::vector<uint8_t>& from, const std::vector<uint8_t>& in, int32_t x, int32_t y) {
    for (int32_t ny = y - RENDERER_NEAR; ny <= y + RENDERER_NEAR; ++ny)
      for (int32_t nx = x - RENDERER_NEAR; nx <= x + RENDERER_NEAR; ++nx)
        if (nx >= 0 && ny >= 0 && nx < w && ny < h && close(&from[at(x, y)], &in[at(nx, ny)])) return true;
    return false;
  };
  std::vector<int> count(static_cast<size_t>(tilesX) * static_cast<size_t>(tilesY));
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x)
      if (!found(a, b, x, y) || !found(b, a, x, y))
        ++count[static_cast<size_t>(y / RENDERER_TILE) * tilesX + x / RENDERER_TILE];
  size_t tiles = 0;
  for (int n : count) tiles += n > RENDERER_TILE_PIXELS;
  return tiles;
}

inline std::vector<uint8_t> RedBlueSwapped(std::vector<uint8_t> rgb) {
  for (size_t i = 0; i + 2 < rgb.size(); i += 3) std::swap(rgb[i], rgb[i + 2]);
  return rgb;
}
