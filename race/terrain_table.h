// The terrain description of each track. The first track's terrain is built
// at start-up, before any race is loaded.
#pragma once
#include "engine3d/terrain.h"

constexpr int TRACK_TERRAIN_COUNT = 10;

extern TerrainDesc gTrackTerrains[TRACK_TERRAIN_COUNT];
