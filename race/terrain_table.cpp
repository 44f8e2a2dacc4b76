#include "race/terrain_table.h"

#include <array>

namespace {

// Every track's ground shares one grid: the height queries read the first
// vertices of any loaded track mesh through the descriptor built at game
// start, so all ten must agree on it. 17 x 9 corners cut 10 times give
// 161 x 81 vertices 100 units apart: the world of 16000 x 8000 units.
constexpr uint32_t COLUMNS = TRACK_GRID_COLUMNS;
constexpr uint32_t ROWS = TRACK_GRID_ROWS;
constexpr uint32_t CORNERS = COLUMNS * ROWS;
constexpr uint32_t CELLS = (COLUMNS - 1) * (ROWS - 1);

// A gentle relief per track: a base height, two long waves and, on the
// tracks with water, a basin whose floor lies below the water level.
struct Relief {
  int32_t base;
  int32_t waveX, waveZ;  // amplitudes
  int32_t basinDepth;    // below the base at the basin's centre; 0 for none
  uint32_t basinColumn, basinRow;
  uint16_t roughness;
};

constexpr Relief RELIEF[TRACK_TERRAIN_COUNT] = {
    {60, 40, 30, 0, 0, 0, 3},         // desert: dunes
    {120, 80, 60, 0, 0, 0, 4},        // neige
    {880, 30, 20, 140, 8, 4, 2},      // boue: water at 820
    {1060, 60, 40, 150, 12, 5, 4},    // volcano: water at 1000
    {40, 10, 10, 0, 0, 0, 1},         // highway: nearly flat
    {70, 50, 30, 0, 0, 0, 3},         // ruines
    {50, 60, 60, 0, 0, 0, 3},         // looping
    {420, 40, 30, 150, 4, 4, 2},      // sunset: water at 360
    {80, 70, 40, 0, 0, 0, 3},         // savana
    {60, 30, 30, 0, 0, 0, 1},         // ice
};

// Integer triangle wave of period 8 corners, -4..4.
constexpr int32_t Wave(uint32_t i) {
  const int32_t p = static_cast<int32_t>(i % 8);
  return p < 4 ? p * 2 - 4 : 12 - p * 2;
}

constexpr std::array<int16_t, CORNERS> Heights(const Relief& r) {
  std::array<int16_t, CORNERS> h{};
  for (uint32_t row = 0; row < ROWS; ++row) {
    for (uint32_t col = 0; col < COLUMNS; ++col) {
      int32_t v = r.base + r.waveX * Wave(col + row / 2) / 4 + r.waveZ * Wave(row * 3 + 2) / 4;
      if (r.basinDepth != 0) {
        const int32_t dc = static_cast<int32_t>(col) - static_cast<int32_t>(r.basinColumn);
        const int32_t dr = static_cast<int32_t>(row) - static_cast<int32_t>(r.basinRow);
        const int32_t d2 = dc * dc + dr * dr;
        if (d2 < 9) v -= r.basinDepth * (9 - d2) / 9 + (d2 == 0 ? 20 : 0);
      }
      h[row * COLUMNS + col] = static_cast<int16_t>(v);
    }
  }
  return h;
}

constexpr std::array<std::array<int16_t, CORNERS>, TRACK_TERRAIN_COUNT> HEIGHTS = {
    Heights(RELIEF[0]), Heights(RELIEF[1]), Heights(RELIEF[2]), Heights(RELIEF[3]), Heights(RELIEF[4]),
    Heights(RELIEF[5]), Heights(RELIEF[6]), Heights(RELIEF[7]), Heights(RELIEF[8]), Heights(RELIEF[9]),
};

// Rougher cells every few columns, so the relief is not too regular.
constexpr std::array<uint16_t, CELLS> Roughness(uint16_t base) {
  std::array<uint16_t, CELLS> r{};
  for (uint32_t i = 0; i < CELLS; ++i) r[i] = static_cast<uint16_t>(base + (i * 7 % 5 == 0 ? 2 : 0));
  return r;
}

constexpr std::array<std::array<uint16_t, CELLS>, TRACK_TERRAIN_COUNT> ROUGHNESS = {
    Roughness(RELIEF[0].roughness), Roughness(RELIEF[1].roughness), Roughness(RELIEF[2].roughness),
    Roughness(RELIEF[3].roughness), Roughness(RELIEF[4].roughness), Roughness(RELIEF[5].roughness),
    Roughness(RELIEF[6].roughness), Roughness(RELIEF[7].roughness), Roughness(RELIEF[8].roughness),
    Roughness(RELIEF[9].roughness),
};

// Four colours from the lowest ground to the highest, per track.
constexpr uint8_t PALETTES[TRACK_TERRAIN_COUNT][12] = {
    {196, 160, 110, 214, 180, 126, 228, 196, 142, 240, 214, 164},  // desert sand
    {200, 205, 215, 222, 226, 234, 238, 240, 246, 250, 250, 255},  // neige
    {92, 74, 50, 112, 92, 62, 128, 110, 76, 146, 130, 92},         // boue
    {70, 54, 50, 92, 66, 58, 112, 80, 66, 132, 100, 82},           // volcano
    {150, 140, 120, 164, 154, 130, 176, 166, 142, 190, 180, 156},  // highway
    {170, 150, 110, 186, 166, 124, 200, 180, 140, 214, 196, 156},  // ruines
    {90, 100, 90, 110, 120, 108, 128, 138, 124, 146, 156, 140},    // looping
    {176, 150, 110, 190, 166, 124, 204, 180, 138, 218, 196, 154},  // sunset
    {170, 156, 96, 184, 170, 106, 196, 182, 118, 210, 196, 132},   // savana
    {190, 210, 230, 206, 222, 240, 220, 232, 248, 236, 244, 255},  // ice
};

constexpr TerrainDesc Entry(int track) {
  const Relief& r = RELIEF[track];
  const float low = static_cast<float>(r.base - r.waveX - r.waveZ - r.basinDepth);
  const float high = static_cast<float>(r.base + r.waveX + r.waveZ);
  return TerrainDesc{COLUMNS, ROWS, TRACK_GRID_SUBDIVISIONS, HEIGHTS[track].data(), ROUGHNESS[track].data(),
                     r.roughness, PALETTES[track], 4, 0, 3, low, high, TRACK_GRID_SPACING, 0.0f, 0.0f, 0.0f, 0.0f};
}

}  // namespace

TerrainDesc gTrackTerrains[TRACK_TERRAIN_COUNT] = {Entry(0), Entry(1), Entry(2), Entry(3), Entry(4),
                                                   Entry(5), Entry(6), Entry(7), Entry(8), Entry(9)};
