#include "tools/datakit/lib/scene_textures.h"

#include <cmath>

#include "tools/datakit/lib/texture_3df.h"

namespace datakit {

namespace {

uint16_t Rgb565(uint32_t r, uint32_t g, uint32_t b) {
  return static_cast<uint16_t>((r >> 3) << 11 | (g >> 2) << 5 | (b >> 3));
}

uint16_t Argb1555(uint32_t r, uint32_t g, uint32_t b) {
  return static_cast<uint16_t>(0x8000 | (r >> 3) << 10 | (g >> 3) << 5 | (b >> 3));
}

uint16_t Rgb4444(double r, double g, double b) {
  auto q = [](double v) {
    long n = std::lround(v * 15.0);
    return static_cast<uint16_t>(n < 0 ? 0 : n > 15 ? 15 : n);
  };
  return static_cast<uint16_t>(q(r) << 8 | q(g) << 4 | q(b));
}

// Brightness of one flare cell at distance d (0 = centre, 1 = cell edge).
double CellShape(int cell, double d) {
  switch (cell) {
    case 0:  // the glow: a bright core fading out
      return d >= 1.0 ? 0.0 : std::pow(1.0 - d, 2.0);
    case 1:  // a thin ring
      return std::fmax(0.0, 1.0 - std::fabs(d - 0.8) * 8.0);
    case 2:  // a soft disc
      return d >= 0.9 ? 0.0 : 0.6 * (1.0 - d / 0.9);
    default:  // a disc with a bright rim
      return d >= 0.95 ? 0.0 : 0.25 + 0.6 * d * d;
  }
}

}  // namespace

std::vector<uint16_t> SceneGrassTexels() {
  constexpr int N = 64;
  std::vector<uint16_t> texels(N * N);
  uint32_t seed = 77;
  for (int i = 0; i < N * N; ++i) {
    seed = seed * 1103515245u + 12345u;
    const uint32_t n = (seed >> 16) % 24;  // a little grain
    const int x = i % N, y = i / N;
    const uint32_t patch = static_cast<uint32_t>(12.0 + 12.0 * std::sin(x * 0.19634954) * std::cos(y * 0.19634954));
    texels[i] = Rgb565(150 + n + patch, 190 + n + patch, 110 + n / 2);
  }
  return texels;
}

std::vector<uint16_t> SceneWaterTexels() {
  constexpr int N = 64;
  std::vector<uint16_t> texels(N * N);
  for (int y = 0; y < N; ++y)
    for (int x = 0; x < N; ++x) {
      // Crossing ripples that repeat across the texture's edges.
      const double w = std::sin((x + y) * 0.19634954) + std::sin((x - 2 * y) * 0.09817477);
      const auto lift = static_cast<uint32_t>(20.0 * (w + 2.0));
      texels[y * N + x] = Rgb565(40 + lift / 2, 90 + lift, 150 + lift);
    }
  return texels;
}

std::vector<uint16_t> SceneBushTexels() {
  constexpr int N = 64;
  std::vector<uint16_t> texels(N * N);
  const uint16_t key = Argb1555(SCENE_BUSH_KEY_RED, SCENE_BUSH_KEY_GREEN, SCENE_BUSH_KEY_BLUE);
  for (int y = 0; y < N; ++y)
    for (int x = 0; x < N; ++x) {
      // A round crown of leaves on a short trunk.
      const int dx = x - 32, dy = y - 26;
      const bool crown = dx * dx + dy * dy * 4 / 3 < 26 * 26;
      const bool trunk = y >= 44 && y < 64 && x >= 29 && x < 35;
      uint16_t t = key;
      if (crown) {
        const uint32_t shade = 90 + static_cast<uint32_t>((x * 7 + y * 13) % 5) * 25 - static_cast<uint32_t>(y);
        t = Argb1555(shade / 3, shade + 40, shade / 4);
      } else if (trunk) {
        t = Argb1555(110, 70, 30);
      }
      texels[y * N + x] = t;
    }
  return texels;
}

std::vector<uint16_t> SceneSunTexels() {
  constexpr int N = 256;
  std::vector<uint16_t> texels(N * N);
  const double tint[4][3] = {{1.0, 0.95, 0.7}, {0.8, 0.9, 1.0}, {1.0, 1.0, 1.0}, {1.0, 0.8, 0.6}};
  for (int y = 0; y < N; ++y)
    for (int x = 0; x < N; ++x) {
      const int cell = (y / 128) * 2 + x / 128;
      const double dx = (x % 128) - 63.5, dy = (y % 128) - 63.5;
      const double v = CellShape(cell, std::sqrt(dx * dx + dy * dy) / 63.5);
      texels[y * N + x] = Rgb4444(v * tint[cell][0], v * tint[cell][1], v * tint[cell][2]);
    }
  return texels;
}

std::vector<DataFile> SceneTextureFiles() {
  return {{0, "grass.3df", Make3df(TEX3DF_RGB565, 64, 64, SceneGrassTexels())},
          {0, "water.3df", Make3df(TEX3DF_RGB565, 64, 64, SceneWaterTexels())},
          {0, "bush.3df", Make3df(TEX3DF_ARGB1555, 64, 64, SceneBushTexels())},
          {0, "glow.3df", Make3df(TEX3DF_ARGB4444, 256, 256, SceneSunTexels())}};
}

}  // namespace datakit
