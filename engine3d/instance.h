// Small operations the asset loaders apply to a freshly loaded mesh: moving
// its origin, the bounding box of a track-object type, and copying a mesh so
// that every vehicle or placed object owns its arrays.
#pragma once
#include <cstdint>

#include "engine3d/mesh.h"

// What the bounds computation reads of a track-object type row and the box it
// writes back (the race's type table copies these to and from its own rows).
struct ObjectTypeRow {
  int32_t objectId;  // OBJECT_ID_FIXED_BOX gets a fixed box when animated
  uint8_t animated;
  float scale;
  float xOffset;
  float zOffset;
  float minX, maxX, minY, maxY, minZ, maxZ;
};

constexpr int32_t OBJECT_ID_FIXED_BOX = 10000;

void MeshRestOnGround(MeshHeader* mesh);
void MeshRestOnGroundShiftZ(MeshHeader* mesh);
void MeshMoveMinCorner(MeshHeader* mesh, float x, float y, float z);
void MeshFramesCentre(MeshFrameSet* set, const MeshHeader* mesh);
void MeshObjectBounds(ObjectTypeRow* row, const MeshHeader* mesh);
// A copy owning its own arrays, freed with MeshFree; null when the pool
// cannot hold it (nothing is left allocated then).
MeshHeader* MeshClone(const MeshHeader* mesh);
