// The ground of a track as a regular height field in the current-mesh pools:
// corner heights, each cell subdivided by midpoint displacement from the
// random table, two triangles per quad; its texturing and colouring, the
// water surface, and the ground height under any point.
#pragma once
#include <cstdint>

#include "engine3d/mesh.h"

struct TextureRecord;

// Supplied by the caller and kept as the current terrain: it must stay valid
// while the terrain is in use.
struct TerrainDesc {
  uint32_t columns;       // corner columns C, at least 2
  uint32_t rows;          // corner rows R, at least 2
  uint32_t subdivisions;  // S, at least 1
  const int16_t* heights;      // C x R, row by row
  const uint16_t* roughness;   // (C - 1) x (R - 1) per cell, or null
  uint16_t defaultRoughness;   // for every cell when roughness is null
  const uint8_t* palette;      // red, green, blue per entry, or null
  uint16_t paletteCount;       // entries in the palette
  uint16_t paletteLow, paletteHigh;
  float lowColourHeight, highColourHeight;
  float spacing;  // world distance between neighbouring vertices
  // Written by the builder.
  float extentX, extentZ;
  float lowest, highest;
};

struct TerrainState {
  const TerrainDesc* desc;  // null until a build succeeds
  int32_t rowVertices;      // V = (C - 1) x S + 1
  int32_t vertexRows;       // W = (R - 1) x S + 1
  int32_t cornerColumn[4];  // the square of the last height query:
  int32_t cornerRow[4];     // (c, r), (c + 1, r), (c + 1, r + 1), (c, r + 1)
  float waterLevel;
};
extern TerrainState gTerrain;

int32_t TerrainBuild(const TerrainDesc* desc);
void TerrainTextureAll(uint32_t textureHandle);
void TerrainApplyTiles(TextureRecord* const* tiles, int32_t tileCount, const TextureRecord* water);
void TerrainAddWaterPlane(float level, uint32_t textureHandle);
float TerrainHeightAt(float x, float z);
int32_t TerrainCellCorners(float x, float z, Vertex* corners[4]);
Vertex* TerrainNearestVertex(float x, float z);
void TerrainColourByHeight();
void TerrainSetWaterLevel(float level);
// The pools the terrain was built into are being freed or replaced: from now
// on the queries answer as outside any terrain, until the next build.
void TerrainForget();
