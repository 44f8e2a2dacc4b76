#include "engine3d/mesh.h"

#include <cstring>

#include "engine3d/meshalloc.h"
#include "engine3d/terrain.h"
#include "platform/mem.h"

MeshPools gMesh;
DrawLists gDrawLists;

void* MeshAllocArray(uint64_t count, uint64_t size) {
  uint64_t bytes = count * size;
  if (size != 0 && bytes / size != count) return nullptr;
  if (bytes > UINT32_MAX) return nullptr;
  return MemAlloc(static_cast<uint32_t>(bytes));
}

namespace {

uint64_t NonNegative(int32_t n) { return n < 0 ? 0 : static_cast<uint64_t>(n); }

uint32_t OwnerWord(const void* owner) {
  uint32_t word = 0;
  if (owner) std::memcpy(&word, owner, sizeof word);
  return word;
}

}  // namespace

// The terrain lives in the vertex and face pools: it goes whenever they do.
Vertex* MeshPoolAllocVertices(int32_t n) {
  TerrainForget();
  gMesh.vertexCapacity = n < 0 ? 0 : n;
  gMesh.vertexCount = 0;
  gMesh.vertices = static_cast<Vertex*>(MeshAllocArray(NonNegative(n) + MESH_SCRATCH_VERTICES, sizeof(Vertex)));
  if (!gMesh.vertices) gMesh.vertexCapacity = 0;
  return gMesh.vertices;
}

Face* MeshPoolAllocFaces(int32_t n) {
  TerrainForget();
  gMesh.faceCapacity = n < 0 ? 0 : n;
  gMesh.faceCount = 0;
  gMesh.faces = static_cast<Face*>(MeshAllocArray(NonNegative(n) + MESH_SCRATCH_FACES, sizeof(Face)));
  if (!gMesh.faces) gMesh.faceCapacity = 0;
  return gMesh.faces;
}

DrawSlot* DrawListAllocStatic(int32_t n) {
  gDrawLists.staticCapacity = n < 0 ? 0 : n;
  gDrawLists.staticCount = 0;
  gDrawLists.statics = static_cast<DrawSlot*>(MeshAllocArray(NonNegative(n), sizeof(DrawSlot)));
  if (!gDrawLists.statics) gDrawLists.staticCapacity = 0;
  return gDrawLists.statics;
}

DrawSlot* DrawListAllocDynamic(int32_t n) {
  gDrawLists.dynamicCapacity = n < 0 ? 0 : n;
  gDrawLists.dynamics = static_cast<DrawSlot*>(MeshAllocArray(NonNegative(n), sizeof(DrawSlot)));
  if (!gDrawLists.dynamics) {
    gDrawLists.dynamicCapacity = 0;
    return nullptr;
  }
  for (int32_t i = 0; i < gDrawLists.dynamicCapacity; ++i) gDrawLists.dynamics[i].inUse = 0;
  return gDrawLists.dynamics;
}

// Each free also forgets the pointer, so a second close cannot free twice.
void MeshPoolFreeVertices() {
  TerrainForget();
  if (gMesh.vertices) MemFree(gMesh.vertices);
  gMesh.vertices = nullptr;
  gMesh.vertexCapacity = 0;
  gMesh.vertexCount = 0;
}

void MeshPoolFreeFaces() {
  TerrainForget();
  if (gMesh.faces) MemFree(gMesh.faces);
  gMesh.faces = nullptr;
  gMesh.faceCapacity = 0;
  gMesh.faceCount = 0;
}

void DrawListFreeStatic() {
  if (gDrawLists.statics) MemFree(gDrawLists.statics);
  gDrawLists.statics = nullptr;
  gDrawLists.staticCapacity = 0;
  gDrawLists.staticCount = 0;
}

void DrawListFreeDynamic() {
  if (gDrawLists.dynamics) MemFree(gDrawLists.dynamics);
  gDrawLists.dynamics = nullptr;
  gDrawLists.dynamicCapacity = 0;
}

Vertex* MeshScratchVertices(int32_t first, int32_t n) {
  if (!gMesh.vertices || first < 0 || n < 0) return nullptr;
  if (int64_t{first} + n > int64_t{gMesh.vertexCapacity} + MESH_SCRATCH_VERTICES) return nullptr;
  return gMesh.vertices + first;
}

Face* MeshScratchFaces(int32_t first, int32_t n) {
  if (!gMesh.faces || first < 0 || n < 0) return nullptr;
  if (int64_t{first} + n > int64_t{gMesh.faceCapacity} + MESH_SCRATCH_FACES) return nullptr;
  return gMesh.faces + first;
}

int32_t DrawListAddStatic(void* owner, uintptr_t user, DrawCallback callback, float x, float y, float z,
                          float halfXz, float halfY) {
  if (!gDrawLists.statics || gDrawLists.staticCount >= gDrawLists.staticCapacity) return 0;
  DrawSlot& s = gDrawLists.statics[gDrawLists.staticCount];
  s.kind = OwnerWord(owner);
  s.visible = 1;
  s.inUse = 1;  // the race's object code reads it on static slots too
  s.owner = owner;
  s.callback = callback;
  s.user = user;
  s.x = x;
  s.y = y;
  s.z = z;
  s.boxMinX = x - halfXz;
  s.boxMinY = y - halfY;
  s.boxMinZ = z - halfXz;
  s.boxMaxX = x + halfXz;
  s.boxMaxY = y + halfY;
  s.boxMaxZ = z + halfXz;
  ++gDrawLists.staticCount;
  return 1;
}

DrawSlot* DrawListClaimDynamic(void* owner, uintptr_t user, DrawCallback callback, float x, float y, float z) {
  if (!gDrawLists.dynamics || gDrawLists.dynamicCapacity <= 0) return nullptr;
  for (int32_t i = 0; i < gDrawLists.dynamicCapacity; ++i) {
    DrawSlot& s = gDrawLists.dynamics[i];
    if (s.inUse) continue;
    s.visible = 1;
    s.inUse = 1;
    s.kind = OwnerWord(owner);
    s.owner = owner;
    s.callback = callback;
    s.user = user;
    s.x = x;
    s.y = y;
    s.z = z;
    return &s;
  }
  return nullptr;
}

void DrawListRelease(DrawSlot* slot) {
  if (!slot) return;
  slot->visible = 0;
  slot->inUse = 0;
}

int32_t MeshFree(MeshHeader* mesh) {
  if (!mesh) return 1;
  if (mesh->faces) {
    if (!MemFree(mesh->faces)) return 0;
    mesh->faces = nullptr;
  }
  if (mesh->vertices) {
    if (!MemFree(mesh->vertices)) return 0;
    mesh->vertices = nullptr;
  }
  return MemFree(mesh) ? 1 : 0;
}

void MeshFramesFree(MeshFrameSet* set) {
  if (!set) return;
  if (set->frames) {
    for (uint32_t i = 0; i < set->frameCount; ++i) {
      if (set->frames[i].vertices) MemFree(set->frames[i].vertices);
      if (set->frames[i].normals) MemFree(set->frames[i].normals);
    }
    MemFree(set->frames);
  }
  MemFree(set);
}
