// The world grid: the faces and static draw slots of the current mesh binned
// once per race into the cells of a coarse regular grid (each cell a run of
// faces sorted by texture, a run of slots, the vertices its faces use and a
// box), and the per-view walk that tests the cells near the camera against
// the view frustum, lists the visible ones and projects (and, after a light
// change, relights) their vertices.
#pragma once
#include <cstdint>

#include "engine3d/mesh.h"

// One corner of a cell box, in world and in view space.
struct GridCorner {
  float x, y, z;
  float viewX, viewY, viewZ;
};
static_assert(sizeof(GridCorner) == 24);

// In memory only. Corners c0..c3 are the box's bottom (min y): (min x, min z),
// (max x, min z), (max x, max z), (min x, max z); c4..c7 the same at max y.
struct GridCell {
  GridCorner corner[8];
  uint16_t faceCount;
  uint16_t vertexCount;
  uint16_t slotCount;
  Face* faces;          // its run in the face pool, after binning
  DrawSlot* slots;      // its run in the static list, after binning
  uint32_t* faceList;   // valid only while binning
  uint32_t* vertexList; // each vertex its faces use, once
  uint32_t* slotList;   // valid only while binning
};

// The light last applied to the world, and whether the world vertices must be
// relit as they are next projected.
struct GridLight {
  float directionX, directionY, directionZ;
  float intensity;
  float ambient;
  uint8_t relight;
};

struct GridState {
  int32_t cellSize;
  int32_t cellsX, cellsY, cellsZ, cellsTotal;
  // Indexed by cell before a build; after it a plain list of the allocated
  // cells at the front, the rest null.
  GridCell** cells;
  int32_t allocatedCells;
  uint8_t* done;       // one byte per vertex: projected in this view
  int32_t doneBytes;   // allocated, a whole number of 32-bit words
  int32_t doneWords;   // cleared per view: vertex count / 4 + 1
  uint32_t* vertexIndices;  // every cell's vertex list
  uint32_t* binIndices;     // face and slot lists, only while binning
  GridLight lastLight;
  float boxMinX, boxMinY, boxMinZ;  // the camera box of the current view
  float boxMaxX, boxMaxY, boxMaxZ;
};
extern GridState gGrid;

constexpr int32_t VISIBLE_CELLS_MAX = 1024;

struct VisibleCellList {
  GridCell* cells[VISIBLE_CELLS_MAX];
  uint32_t count;
};
extern VisibleCellList gVisibleCells;

int32_t GridCreate(int32_t cellSize, int32_t cellsX, int32_t cellsY, int32_t cellsZ);
int32_t GridBuild();
int32_t GridBin();
void GridFree();
int32_t GridFaceCentre(const Face* face, float* x, float* z);
int32_t GridFaceCentroid(const Face* face, float* x, float* y, float* z);
void GridCellSortFaces(GridCell* cell);
Face* GridFindFaceAt(float x, float z);

void VisBeginView();
int32_t VisCellTest(GridCell* cell);
int32_t VisCellTestRelit(GridCell* cell);
// 1 when the quad of four view-space corners shows inside the clip window.
int32_t VisQuadVisible(const GridCorner* a, const GridCorner* b, const GridCorner* c, const GridCorner* d);
void VisCellProject(GridCell* cell);
void VisCellProjectRelit(GridCell* cell);
