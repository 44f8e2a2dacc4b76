// Building the world grid: binning, vertex lists, boxes and the reordering of
// the face pool and static list cell by cell. The per-view walk lives in
// gridvis.cpp, which reads the back end's projection values; this file does
// not, so the light bookkeeping can be used without a back end.
#include "engine3d/grid.h"

#include <cstring>

#include "engine3d/camera.h"
#include "engine3d/mathutil.h"
#include "engine3d/meshalloc.h"
#include "platform/mem.h"

GridState gGrid;
VisibleCellList gVisibleCells;

namespace {

constexpr float BOX_START = 320000.0f;

void FreeBlock(void* p) {
  if (p) MemFree(p);
}

// Frees every allocated cell wherever it sits in the array and nulls them all.
// The visible list of the last view goes with them: the translucent pass may
// run after a rebuild or a close and must find no cell there.
void FreeCells() {
  gVisibleCells.count = 0;
  if (gGrid.cells) {
    for (int32_t i = 0; i < gGrid.cellsTotal; ++i) {
      FreeBlock(gGrid.cells[i]);
      gGrid.cells[i] = nullptr;
    }
  }
  gGrid.allocatedCells = 0;
}

// A failed build leaves an empty grid: half-built cells have no boxes yet and
// must never reach the per-view walk.
int32_t BinFailed() {
  FreeCells();
  FreeBlock(gGrid.binIndices);
  gGrid.binIndices = nullptr;
  return 0;
}

// Done bytes for `vertices` vertices, sized in whole words with one to spare
// so that the per-view clear of vertex count / 4 + 1 words stays inside.
bool AllocDone(int32_t vertices) {
  FreeBlock(gGrid.done);
  gGrid.doneBytes = 0;
  int64_t bytes = (int64_t{vertices < 0 ? 0 : vertices} / 4 + 1) * 4;
  gGrid.done = static_cast<uint8_t*>(MeshAllocArray(static_cast<uint64_t>(bytes), 1));
  if (!gGrid.done) return false;
  std::memset(gGrid.done, 0, static_cast<size_t>(bytes));
  gGrid.doneBytes = static_cast<int32_t>(bytes);
  return true;
}

int32_t CellEntry(float x, float y, float z) {
  const float inv = 1.0f / static_cast<float>(gGrid.cellSize);
  auto axis = [inv](float v, int32_t cells) {
    int32_t i = TruncI32(v * inv);
    if (i < 0) i = 0;
    if (i > cells - 1) i = cells - 1;
    return i;
  };
  int32_t ix = axis(x, gGrid.cellsX), iy = axis(y, gGrid.cellsY), iz = axis(z, gGrid.cellsZ);
  return (iy * gGrid.cellsZ + iz) * gGrid.cellsX + ix;
}

// The corners a face really has: at most four, and only indices that name a
// vertex of the pool (a damaged record can claim more).
int32_t Corners(const Face& face) { return face.vertexCount > 4 ? 4 : face.vertexCount; }
bool VertexOk(uint32_t index) { return index < static_cast<uint32_t>(gMesh.vertexCount); }

int32_t FaceCell(const Face& face) {
  float x, y, z;
  GridFaceCentroid(&face, &x, &y, &z);
  return CellEntry(x, y, z);
}

int32_t SlotCell(const DrawSlot& slot) { return CellEntry(slot.x, slot.y, slot.z); }

GridCell* CellAt(int32_t entry) {
  GridCell*& cell = gGrid.cells[entry];
  if (!cell) {
    cell = static_cast<GridCell*>(MemAlloc(sizeof(GridCell)));
    if (!cell) return nullptr;
    std::memset(cell, 0, sizeof(GridCell));
    ++gGrid.allocatedCells;
  }
  return cell;
}

// Walks the distinct vertices of a cell's faces in first-use order; the done
// bytes serve as the membership marks and are cleared again afterwards.
template <typename Visit>
void WalkCellVertices(const GridCell& cell, Visit visit) {
  auto each = [&cell](auto fn) {
    for (uint32_t f = 0; f < cell.faceCount; ++f) {
      const Face& face = gMesh.faces[cell.faceList[f]];
      for (int32_t c = 0; c < Corners(face); ++c) {
        uint32_t v = face.index[c];
        if (VertexOk(v)) fn(v);
      }
    }
  };
  each([&visit](uint32_t v) {
    if (gGrid.done[v]) return;
    gGrid.done[v] = 1;
    visit(v);
  });
  each([](uint32_t v) { gGrid.done[v] = 0; });
}

void Widen(float lo[3], float hi[3], float x, float y, float z) {
  const float p[3] = {x, y, z};
  for (int a = 0; a < 3; ++a) {
    if (p[a] < lo[a]) lo[a] = p[a];
    if (p[a] > hi[a]) hi[a] = p[a];
  }
}

void WriteCorners(GridCell& cell, const float lo[3], const float hi[3]) {
  const float xs[4] = {lo[0], hi[0], hi[0], lo[0]};
  const float zs[4] = {lo[2], lo[2], hi[2], hi[2]};
  for (int i = 0; i < 8; ++i) {
    GridCorner& c = cell.corner[i];
    c.x = xs[i & 3];
    c.y = i < 4 ? lo[1] : hi[1];
    c.z = zs[i & 3];
    c.viewX = c.viewY = c.viewZ = 0.0f;
  }
}

}  // namespace

int32_t GridCreate(int32_t cellSize, int32_t cellsX, int32_t cellsY, int32_t cellsZ) {
  GridFree();
  if (cellSize <= 0 || cellsX <= 0 || cellsY <= 0 || cellsZ <= 0) return 0;
  int64_t total = int64_t{cellsX} * cellsY * cellsZ;
  if (total > INT32_MAX) return 0;
  gGrid.cellSize = cellSize;
  gGrid.cellsX = cellsX;
  gGrid.cellsY = cellsY;
  gGrid.cellsZ = cellsZ;
  if (!AllocDone(gMesh.vertexCapacity)) return 0;
  gGrid.cells = static_cast<GridCell**>(MeshAllocArray(static_cast<uint64_t>(total), sizeof(GridCell*)));
  if (!gGrid.cells) {
    GridFree();
    return 0;
  }
  gGrid.cellsTotal = static_cast<int32_t>(total);
  for (int32_t i = 0; i < gGrid.cellsTotal; ++i) gGrid.cells[i] = nullptr;
  return 1;
}

int32_t GridBuild() {
  gGrid.lastLight = GridLight{};
  LightResetWorldLevels();
  if (!gGrid.cells) return 0;
  // A world larger than the pools the grid was made for gets room to match.
  const int32_t words = (gMesh.vertexCount < 0 ? 0 : gMesh.vertexCount) / 4 + 1;
  if (int64_t{words} * 4 > gGrid.doneBytes && !AllocDone(gMesh.vertexCount)) return 0;
  gGrid.doneWords = words;
  gGrid.allocatedCells = 0;
  return GridBin();
}

int32_t GridBin() {
  FreeCells();
  if (!gGrid.cells || !gGrid.done) return 0;
  const int32_t faceCount = gMesh.faces ? gMesh.faceCount : 0;
  const int32_t slotCount = gDrawLists.statics ? gDrawLists.staticCount : 0;
  // The cell counts are 16 bits wide; no pool of the game comes near.
  if (faceCount < 0 || slotCount < 0 || faceCount > UINT16_MAX || slotCount > UINT16_MAX ||
      gMesh.vertexCount > gGrid.doneBytes)
    return 0;
  FreeBlock(gGrid.vertexIndices);
  gGrid.vertexIndices = nullptr;
  FreeBlock(gGrid.binIndices);
  gGrid.binIndices = static_cast<uint32_t*>(
      MeshAllocArray(static_cast<uint64_t>(faceCount) + static_cast<uint64_t>(slotCount) + 1, sizeof(uint32_t)));
  if (!gGrid.binIndices) return BinFailed();

  // Count, allocating cells as they are first used.
  for (int32_t f = 0; f < faceCount; ++f) {
    GridCell* cell = CellAt(FaceCell(gMesh.faces[f]));
    if (!cell) return BinFailed();
    ++cell->faceCount;
  }
  for (int32_t s = 0; s < slotCount; ++s) {
    GridCell* cell = CellAt(SlotCell(gDrawLists.statics[s]));
    if (!cell) return BinFailed();
    ++cell->slotCount;
  }

  // Lists in the index buffer: faces in cell order, slots after them.
  uint32_t* nextFace = gGrid.binIndices;
  uint32_t* nextSlot = gGrid.binIndices + faceCount;
  for (int32_t i = 0; i < gGrid.cellsTotal; ++i) {
    GridCell* cell = gGrid.cells[i];
    if (!cell) continue;
    cell->faceList = nextFace;
    cell->slotList = nextSlot;
    nextFace += cell->faceCount;
    nextSlot += cell->slotCount;
    cell->faceCount = 0;
    cell->slotCount = 0;
  }
  for (int32_t f = 0; f < faceCount; ++f) {
    GridCell* cell = gGrid.cells[FaceCell(gMesh.faces[f])];
    cell->faceList[cell->faceCount++] = static_cast<uint32_t>(f);
  }
  for (int32_t s = 0; s < slotCount; ++s) {
    GridCell* cell = gGrid.cells[SlotCell(gDrawLists.statics[s])];
    cell->slotList[cell->slotCount++] = static_cast<uint32_t>(s);
  }

  // Vertex lists: total them, then fill one buffer of exactly that size. The
  // walks use the done bytes as marks, so the projection marks of the last
  // view go first (they are stale once the lists change anyway).
  std::memset(gGrid.done, 0, static_cast<size_t>(gGrid.doneBytes));
  uint64_t total = 0;
  for (int32_t i = 0; i < gGrid.cellsTotal; ++i) {
    GridCell* cell = gGrid.cells[i];
    if (!cell) continue;
    uint32_t n = 0;
    WalkCellVertices(*cell, [&n](uint32_t) { ++n; });
    cell->vertexCount = static_cast<uint16_t>(n);
    total += n;
  }
  gGrid.vertexIndices = static_cast<uint32_t*>(MeshAllocArray(total + 1, sizeof(uint32_t)));
  if (!gGrid.vertexIndices) return BinFailed();
  uint32_t* nextVertex = gGrid.vertexIndices;
  for (int32_t i = 0; i < gGrid.cellsTotal; ++i) {
    GridCell* cell = gGrid.cells[i];
    if (!cell) continue;
    cell->vertexList = nextVertex;
    WalkCellVertices(*cell, [&nextVertex](uint32_t v) { *nextVertex++ = v; });
  }

  // Boxes; the allocated cells move to the front of the array in entry order.
  int32_t listed = 0;
  for (int32_t i = 0; i < gGrid.cellsTotal; ++i) {
    GridCell* cell = gGrid.cells[i];
    gGrid.cells[i] = nullptr;
    if (!cell) continue;
    float lo[3] = {BOX_START, BOX_START, BOX_START};
    float hi[3] = {-BOX_START, -BOX_START, -BOX_START};
    for (uint32_t f = 0; f < cell->faceCount; ++f) {
      const Face& face = gMesh.faces[cell->faceList[f]];
      for (int32_t c = 0; c < Corners(face); ++c) {
        if (!VertexOk(face.index[c])) continue;
        const Vertex& v = gMesh.vertices[face.index[c]];
        Widen(lo, hi, v.x, v.y, v.z);
      }
    }
    for (uint32_t s = 0; s < cell->slotCount; ++s) {
      const DrawSlot& slot = gDrawLists.statics[cell->slotList[s]];
      Widen(lo, hi, slot.boxMinX, slot.boxMinY, slot.boxMinZ);
      Widen(lo, hi, slot.boxMaxX, slot.boxMaxY, slot.boxMaxZ);
    }
    WriteCorners(*cell, lo, hi);
    gGrid.cells[listed++] = cell;
  }

  // Faces, then static slots, copied out cell by cell and back over the pool,
  // so every face and slot keeps exactly one place.
  if (faceCount > 0) {
    Face* copy = static_cast<Face*>(MeshAllocArray(static_cast<uint64_t>(faceCount), sizeof(Face)));
    if (!copy) return BinFailed();
    int32_t at = 0;
    for (int32_t i = 0; i < listed; ++i) {
      GridCell* cell = gGrid.cells[i];
      GridCellSortFaces(cell);
      cell->faces = gMesh.faces + at;
      for (uint32_t f = 0; f < cell->faceCount; ++f) copy[at++] = gMesh.faces[cell->faceList[f]];
    }
    std::memcpy(gMesh.faces, copy, sizeof(Face) * static_cast<size_t>(faceCount));
    MemFree(copy);
  }
  if (slotCount > 0) {
    DrawSlot* copy = static_cast<DrawSlot*>(MeshAllocArray(static_cast<uint64_t>(slotCount), sizeof(DrawSlot)));
    if (!copy) return BinFailed();
    int32_t at = 0;
    for (int32_t i = 0; i < listed; ++i) {
      GridCell* cell = gGrid.cells[i];
      cell->slots = gDrawLists.statics + at;
      for (uint32_t s = 0; s < cell->slotCount; ++s) copy[at++] = gDrawLists.statics[cell->slotList[s]];
    }
    std::memcpy(gDrawLists.statics, copy, sizeof(DrawSlot) * static_cast<size_t>(slotCount));
    MemFree(copy);
  }

  for (int32_t i = 0; i < listed; ++i) {
    gGrid.cells[i]->faceList = nullptr;
    gGrid.cells[i]->slotList = nullptr;
  }
  MemFree(gGrid.binIndices);
  gGrid.binIndices = nullptr;
  return 1;
}

void GridFree() {
  FreeCells();
  FreeBlock(gGrid.cells);
  FreeBlock(gGrid.done);
  FreeBlock(gGrid.vertexIndices);
  FreeBlock(gGrid.binIndices);
  gGrid.cells = nullptr;
  gGrid.done = nullptr;
  gGrid.vertexIndices = nullptr;
  gGrid.binIndices = nullptr;
  gGrid.cellsTotal = 0;
  gGrid.doneBytes = 0;
  gGrid.doneWords = 0;
}

int32_t GridFaceCentre(const Face* face, float* x, float* z) {
  float y;
  return GridFaceCentroid(face, x, &y, z);
}

// A face without usable corners has its centre at the origin, so it still
// falls into one cell and keeps its place in the pool.
int32_t GridFaceCentroid(const Face* face, float* x, float* y, float* z) {
  float sx = 0.0f, sy = 0.0f, sz = 0.0f;
  int32_t n = 0;
  for (int32_t c = 0; c < Corners(*face); ++c) {
    if (!VertexOk(face->index[c])) continue;
    const Vertex& v = gMesh.vertices[face->index[c]];
    sx += v.x;
    sy += v.y;
    sz += v.z;
    ++n;
  }
  if (n == 0) {
    *x = *y = *z = 0.0f;
    return 0;
  }
  const float k = static_cast<float>(n);
  *x = sx / k;
  *y = sy / k;
  *z = sz / k;
  return n;
}

void GridCellSortFaces(GridCell* cell) {
  const int32_t n = cell->faceCount;
  if (n < 3 || !cell->faceList) return;
  uint32_t* list = cell->faceList;
  auto key = [](uint32_t f) { return gMesh.faces[f].type & 0x00FFFFFFu; };
  for (int32_t pass = 0; pass < n - 1; ++pass)
    for (int32_t i = 0; i < n - 1; ++i)
      if (key(list[i]) < key(list[i + 1])) {
        uint32_t t = list[i];
        list[i] = list[i + 1];
        list[i + 1] = t;
      }
}

Face* GridFindFaceAt(float x, float z) {
  if (!gMesh.faces) return nullptr;
  for (int32_t f = 0; f < gMesh.faceCount; ++f) {
    Face& face = gMesh.faces[f];
    float x0 = 0, x1 = 0, z0 = 0, z1 = 0;
    bool any = false;
    for (int32_t c = 0; c < Corners(face); ++c) {
      if (!VertexOk(face.index[c])) continue;
      const Vertex& v = gMesh.vertices[face.index[c]];
      if (!any || v.x < x0) x0 = v.x;
      if (!any || v.x > x1) x1 = v.x;
      if (!any || v.z < z0) z0 = v.z;
      if (!any || v.z > z1) z1 = v.z;
      any = true;
    }
    if (any && x >= x0 && x <= x1 && z >= z0 && z <= z1) return &face;
  }
  return nullptr;
}
