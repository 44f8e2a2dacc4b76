#include "race/terrain_table.h"

namespace {

// Until the tracks bring height maps of their own: a level 13 x 13 corner
// grid, each cell cut into 8 x 8 quads with gentle displacement. That is
// 97 x 97 vertices and 18432 faces, small enough that a water plane over
// every quad (9216 faces and 9409 vertices more) still fits the start-up pools.
constexpr uint32_t START_CORNERS = 13;
int16_t gStartHeights[START_CORNERS * START_CORNERS];

}  // namespace

// Tracks without a description have none (the builder refuses an empty one).
TerrainDesc gTrackTerrains[TRACK_TERRAIN_COUNT] = {
    {START_CORNERS, START_CORNERS, 8, gStartHeights, nullptr, 4, nullptr, 0, 0, 0, 0.0f, 0.0f, 100.0f,
     0.0f, 0.0f, 0.0f, 0.0f},
};
