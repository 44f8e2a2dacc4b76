// The terrain description of each track. The first track's terrain is built
// at start-up, before any race is loaded; every entry shares one grid, the
// world of 16000 x 8000 units, since the height queries read any track mesh
// through the descriptor built then.
#pragma once
#include "engine3d/terrain.h"

constexpr int TRACK_TERRAIN_COUNT = 10;
constexpr uint32_t TRACK_GRID_COLUMNS = 17;  // corners
constexpr uint32_t TRACK_GRID_ROWS = 9;
constexpr uint32_t TRACK_GRID_SUBDIVISIONS = 10;
constexpr float TRACK_GRID_SPACING = 100.0f;
// The vertices of the grid (161 x 81): a track mesh must hold at least these,
// as the height queries read its first ones as the grid.
constexpr int32_t TRACK_GRID_VERTICES = static_cast<int32_t>(((TRACK_GRID_COLUMNS - 1) * TRACK_GRID_SUBDIVISIONS + 1) *
                                                             ((TRACK_GRID_ROWS - 1) * TRACK_GRID_SUBDIVISIONS + 1));

extern TerrainDesc gTrackTerrains[TRACK_TERRAIN_COUNT];
