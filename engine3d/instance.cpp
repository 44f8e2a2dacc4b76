#include "engine3d/instance.h"

#include <cstring>

#include "engine3d/meshalloc.h"
#include "platform/mem.h"

namespace {

// Every search for an extreme starts from this value.
constexpr float SEARCH_START = 320000.0f;

bool HasVertices(const MeshHeader* mesh) { return mesh && mesh->vertices && mesh->vertexCount > 0; }

float LowestY(const MeshHeader* mesh) {
  float low = SEARCH_START;
  for (uint32_t i = 0; i < mesh->vertexCount; ++i)
    if (mesh->vertices[i].y < low) low = mesh->vertices[i].y;
  return low;
}

}  // namespace

void MeshRestOnGround(MeshHeader* mesh) {
  if (!HasVertices(mesh)) return;
  float low = LowestY(mesh);
  for (uint32_t i = 0; i < mesh->vertexCount; ++i) mesh->vertices[i].y -= low;
}

void MeshRestOnGroundShiftZ(MeshHeader* mesh) {
  if (!HasVertices(mesh)) return;
  float low = LowestY(mesh);
  for (uint32_t i = 0; i < mesh->vertexCount; ++i) {
    mesh->vertices[i].y -= low;
    mesh->vertices[i].z += -2.0f;
  }
}

void MeshMoveMinCorner(MeshHeader* mesh, float x, float y, float z) {
  if (!HasVertices(mesh)) return;
  float minX = SEARCH_START, minY = SEARCH_START, minZ = SEARCH_START;
  for (uint32_t i = 0; i < mesh->vertexCount; ++i) {
    const Vertex& v = mesh->vertices[i];
    if (v.x < minX) minX = v.x;
    if (v.y < minY) minY = v.y;
    if (v.z < minZ) minZ = v.z;
  }
  float dx = x - minX, dy = y - minY, dz = z - minZ;
  for (uint32_t i = 0; i < mesh->vertexCount; ++i) {
    mesh->vertices[i].x += dx;
    mesh->vertices[i].y += dy;
    mesh->vertices[i].z += dz;
  }
}

void MeshFramesCentre(MeshFrameSet* set, const MeshHeader* mesh) {
  if (!set || !mesh || !set->frames || mesh->vertexCount == 0) return;
  float minX = SEARCH_START, minY = SEARCH_START, minZ = SEARCH_START;
  float maxX = -SEARCH_START, maxZ = -SEARCH_START;
  bool any = false;
  for (uint32_t f = 0; f < set->frameCount; ++f) {
    const FrameVertex* v = set->frames[f].vertices;
    if (!v) continue;
    for (uint32_t i = 0; i < mesh->vertexCount; ++i) {
      any = true;
      if (v[i].x < minX) minX = v[i].x;
      if (v[i].x > maxX) maxX = v[i].x;
      if (v[i].y < minY) minY = v[i].y;
      if (v[i].z < minZ) minZ = v[i].z;
      if (v[i].z > maxZ) maxZ = v[i].z;
    }
  }
  if (!any) return;
  float dx = -(minX + (maxX - minX) * 0.5f);
  float dz = -(minZ + (maxZ - minZ) * 0.5f);
  float dy = -minY;
  for (uint32_t f = 0; f < set->frameCount; ++f) {
    FrameVertex* v = set->frames[f].vertices;
    if (!v) continue;
    for (uint32_t i = 0; i < mesh->vertexCount; ++i) {
      v[i].x += dx;
      v[i].y += dy;
      v[i].z += dz;
    }
  }
}

void MeshObjectBounds(ObjectTypeRow* row, const MeshHeader* mesh) {
  if (!row) return;
  if (row->objectId == OBJECT_ID_FIXED_BOX && row->animated) {
    row->minX = -260.0f;
    row->maxX = -240.0f;
    row->minY = 0.0f;
    row->maxY = 550.0f;
    row->minZ = -10.0f;
    row->maxZ = 10.0f;
    return;
  }
  row->minX = row->minY = row->minZ = SEARCH_START;
  row->maxX = row->maxY = row->maxZ = -SEARCH_START;
  if (HasVertices(mesh)) {
    for (uint32_t i = 0; i < mesh->vertexCount; ++i) {
      const Vertex& v = mesh->vertices[i];
      if (v.x < row->minX) row->minX = v.x;
      if (v.x > row->maxX) row->maxX = v.x;
      if (v.y < row->minY) row->minY = v.y;
      if (v.y > row->maxY) row->maxY = v.y;
      if (v.z < row->minZ) row->minZ = v.z;
      if (v.z > row->maxZ) row->maxZ = v.z;
    }
  }
  if (!row->animated) return;
  if (row->scale == 0.0f) {
    row->minX += 400.0f;
    return;
  }
  if (row->scale != 5.0f) {
    row->minX *= row->scale;
    row->maxX *= row->scale;
  }
  if (row->zOffset != -1.0f) {
    row->minZ = row->minZ * row->scale + row->zOffset;
    row->maxZ = row->maxZ * row->scale + row->zOffset;
  }
  row->minX += row->xOffset;
  row->maxX += row->xOffset;
}

MeshHeader* MeshClone(const MeshHeader* mesh) {
  if (!mesh) return nullptr;
  auto* copy = static_cast<MeshHeader*>(MemAlloc(sizeof(MeshHeader)));
  if (!copy) return nullptr;
  *copy = *mesh;
  copy->vertices = nullptr;
  copy->faces = nullptr;
  bool ok = true;
  if (mesh->vertexCount && mesh->vertices) {
    copy->vertices = static_cast<Vertex*>(MeshAllocArray(mesh->vertexCount, sizeof(Vertex)));
    ok = copy->vertices != nullptr;
    if (ok) std::memcpy(copy->vertices, mesh->vertices, sizeof(Vertex) * mesh->vertexCount);
  }
  if (ok && mesh->faceCount && mesh->faces) {
    copy->faces = static_cast<Face*>(MeshAllocArray(mesh->faceCount, sizeof(Face)));
    ok = copy->faces != nullptr;
    if (ok) std::memcpy(copy->faces, mesh->faces, sizeof(Face) * mesh->faceCount);
  }
  if (!ok) {
    MeshFree(copy);
    return nullptr;
  }
  return copy;
}
