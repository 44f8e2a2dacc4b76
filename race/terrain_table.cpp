#include "race/terrain_table.h"

namespace {

// Until the tracks bring height maps of their own: a level 17 x 17 corner
// grid, each cell cut into 8 x 8 quads with gentle displacement. That is
// 129 x 129 vertices and 32768 faces, inside the start-up pools.
constexpr uint32_t START_CORNERS = 17;
int16_t gStartHeights[START_CORNERS * START_CORNERS];

}  // namespace

// Tracks without a description have none (the builder refuses an empty one).
TerrainDesc gTrackTerrains[TRACK_TERRAIN_COUNT] = {
    {START_CORNERS, START_CORNERS, 8, gStartHeights, nullptr, 4, nullptr, 0, 0, 0, 0.0f, 0.0f, 100.0f,
     0.0f, 0.0f, 0.0f, 0.0f},
};
