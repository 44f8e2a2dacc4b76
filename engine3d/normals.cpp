#include "engine3d/normals.h"

#include <cmath>

#include "engine3d/angle.h"
#include "engine3d/meshalloc.h"
#include "platform/mem.h"

namespace {

#pragma pack(push, 1)
struct Adjacency {
  uint8_t count;
  uint16_t face[NORMAL_ADJACENT_FACES];
};
static_assert(sizeof(Adjacency) == 33);
#pragma pack(pop)

struct Vec3 {
  float x, y, z;
};

int Corners(const Face& f) { return f.vertexCount == 4 ? 4 : 3; }

// E x F from corners 0, 1, 2, scaled to 1024; a degenerate face gets (0, 0, 1024).
Vec3 NormalOfCorners(Vec3 p, Vec3 q, Vec3 r) {
  float ex = q.x - p.x, ey = q.y - p.y, ez = q.z - p.z;
  float fx = r.x - p.x, fy = r.y - p.y, fz = r.z - p.z;
  Vec3 n{ey * fz - ez * fy, ez * fx - ex * fz, ex * fy - ey * fx};
  MathNormalise1024(&n.x, &n.y, &n.z);
  return n;
}

Vec3 PositionOf(const Vertex& v) { return {v.x, v.y, v.z}; }
Vec3 PositionOf(const FrameVertex& v) { return {v.x, v.y, v.z}; }

// Face normal of `face` over any vertex array; corners naming no vertex leave
// the face as it was.
template <typename V>
bool FaceNormalFrom(const Face& face, const V* vertices, uint32_t vertexCount, Vec3* out) {
  if (!vertices) return false;
  for (int i = 0; i < 3; ++i)
    if (face.index[i] >= vertexCount) return false;
  *out = NormalOfCorners(PositionOf(vertices[face.index[0]]), PositionOf(vertices[face.index[1]]),
                         PositionOf(vertices[face.index[2]]));
  return true;
}

void StoreFaceNormal(Face& face, Vec3 n) {
  face.normalX = n.x;
  face.normalY = n.y;
  face.normalZ = n.z;
}

void FaceNormalIn(Face* faces, uint32_t faceCount, const Vertex* vertices, uint32_t vertexCount, int32_t face) {
  if (!faces || face < 0 || static_cast<uint32_t>(face) >= faceCount) return;
  Vec3 n;
  if (FaceNormalFrom(faces[face], vertices, vertexCount, &n)) StoreFaceNormal(faces[face], n);
}

// The first 16 faces of every vertex, in face order; null when the pool
// refuses (the pass then does nothing).
Adjacency* BuildAdjacency(const Face* faces, uint32_t faceCount, uint32_t vertexCount) {
  if (vertexCount == 0) return nullptr;
  auto* adj = static_cast<Adjacency*>(MeshAllocArray(vertexCount, sizeof(Adjacency)));
  if (!adj) return nullptr;
  for (uint32_t v = 0; v < vertexCount; ++v) adj[v].count = 0;
  for (uint32_t f = 0; f < faceCount && faces; ++f) {
    for (int c = 0; c < Corners(faces[f]); ++c) {
      uint16_t v = faces[f].index[c];
      if (v >= vertexCount || adj[v].count >= NORMAL_ADJACENT_FACES) continue;
      adj[v].face[adj[v].count++] = static_cast<uint16_t>(f);
    }
  }
  return adj;
}

// Mean of the listed face normals, scaled to 1024. `normalOf(f)` gives face f's normal.
template <typename NormalOf>
bool MeanNormal(const Adjacency& a, NormalOf normalOf, Vec3* out) {
  if (a.count == 0) return false;
  Vec3 sum{0.0f, 0.0f, 0.0f};
  for (int i = 0; i < a.count; ++i) {
    Vec3 n = normalOf(a.face[i]);
    sum.x += n.x;
    sum.y += n.y;
    sum.z += n.z;
  }
  float inverse = 1.0f / static_cast<float>(a.count);
  sum.x = sum.x * inverse;
  sum.y = sum.y * inverse;
  sum.z = sum.z * inverse;
  MathNormalise1024(&sum.x, &sum.y, &sum.z);
  *out = sum;
  return true;
}

void VertexNormalsIn(const Face* faces, uint32_t faceCount, Vertex* vertices, uint32_t vertexCount, bool setLevels) {
  if (!vertices) return;
  Adjacency* adj = BuildAdjacency(faces, faceCount, vertexCount);
  if (!adj) return;
  auto faceNormal = [faces](uint16_t f) { return Vec3{faces[f].normalX, faces[f].normalY, faces[f].normalZ}; };
  for (uint32_t v = 0; v < vertexCount; ++v) {
    Vec3 n;
    if (MeanNormal(adj[v], faceNormal, &n)) {
      vertices[v].normalX = n.x;
      vertices[v].normalY = n.y;
      vertices[v].normalZ = n.z;
    }
    if (setLevels) vertices[v].lightLevel = 63;
  }
  MemFree(adj);
}

uint32_t PoolCount(int32_t n) { return n < 0 ? 0 : static_cast<uint32_t>(n); }

}  // namespace

void MeshFaceNormal(int32_t face) {
  FaceNormalIn(gMesh.faces, PoolCount(gMesh.faceCount), gMesh.vertices, PoolCount(gMesh.vertexCount), face);
}

void MeshFaceNormalOf(int32_t face, MeshHeader* mesh) {
  if (mesh) FaceNormalIn(mesh->faces, mesh->faceCount, mesh->vertices, mesh->vertexCount, face);
}

void MeshVertexNormals() {
  VertexNormalsIn(gMesh.faces, PoolCount(gMesh.faceCount), gMesh.vertices, PoolCount(gMesh.vertexCount), true);
}

void MeshVertexNormalsOf(MeshHeader* mesh) {
  if (mesh) VertexNormalsIn(mesh->faces, mesh->faceCount, mesh->vertices, mesh->vertexCount, false);
}

void MeshRebuildNormals() {
  for (int32_t f = 0; f < gMesh.faceCount; ++f) MeshFaceNormal(f);
  MeshVertexNormals();
}

void MeshRebuildNormalsOf(MeshHeader* mesh) {
  if (!mesh) return;
  for (uint32_t f = 0; f < mesh->faceCount; ++f) MeshFaceNormalOf(static_cast<int32_t>(f), mesh);
  MeshVertexNormalsOf(mesh);
}

void MeshFrameFaceNormal(MeshFrame* frame, const MeshHeader* base, uint32_t face) {
  if (!frame || !base || !frame->normals || !base->faces || face >= base->faceCount) return;
  Vec3 n;
  if (!FaceNormalFrom(base->faces[face], frame->vertices, base->vertexCount, &n)) return;
  frame->normals[3 * face] = n.x;
  frame->normals[3 * face + 1] = n.y;
  frame->normals[3 * face + 2] = n.z;
}

void MeshFrameVertexNormals(MeshFrame* frame, const MeshHeader* base) {
  if (!frame || !base || !frame->vertices || !frame->normals) return;
  Adjacency* adj = BuildAdjacency(base->faces, base->faceCount, base->vertexCount);
  if (!adj) return;
  const float* normals = frame->normals;
  auto faceNormal = [normals](uint16_t f) { return Vec3{normals[3 * f], normals[3 * f + 1], normals[3 * f + 2]}; };
  for (uint32_t v = 0; v < base->vertexCount; ++v) {
    Vec3 n;
    if (!MeanNormal(adj[v], faceNormal, &n)) continue;
    frame->vertices[v].normalX = n.x;
    frame->vertices[v].normalY = n.y;
    frame->vertices[v].normalZ = n.z;
  }
  MemFree(adj);
}

void MeshFrameNormals(MeshFrame* frame, const MeshHeader* base) {
  if (!base) return;
  for (uint32_t f = 0; f < base->faceCount; ++f) MeshFrameFaceNormal(frame, base, f);
  MeshFrameVertexNormals(frame, base);
}

int32_t MeshRefreshNormalsAtVertex(int32_t vertex) {
  int32_t result = 1;
  if (!gMesh.faces) return result;
  for (int32_t f = 0; f < gMesh.faceCount; ++f) {
    const Face& face = gMesh.faces[f];
    bool uses = false;
    for (int c = 0; c < Corners(face); ++c) uses = uses || face.index[c] == vertex;
    if (!uses) continue;
    if (face.vertexCount == 4) result = 0;
    MeshFaceNormal(f);
  }
  return result;
}

// ---- quad merge

namespace {

bool SamePosition(const Vertex& a, const Vertex& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }

float Distance(const Vertex& a, const Vertex& b) {
  float dx = b.x - a.x, dy = b.y - a.y, dz = b.z - a.z;
  return std::sqrt(dx * dx + dy * dy + dz * dz);
}

// Corner numbers of the longest of (c0, c1), (c1, c2), (c2, c0); the earlier on a tie.
void LongestEdge(const Face& f, const Vertex* v, int* from, int* to) {
  *from = 0;
  *to = 1;
  float best = Distance(v[f.index[0]], v[f.index[1]]);
  float d12 = Distance(v[f.index[1]], v[f.index[2]]);
  if (d12 > best) {
    best = d12;
    *from = 1;
    *to = 2;
  }
  if (Distance(v[f.index[2]], v[f.index[0]]) > best) {
    *from = 2;
    *to = 0;
  }
}

bool InCorners(uint16_t index, const Face& f) {
  return f.index[0] == index || f.index[1] == index || f.index[2] == index;
}

bool TriangleValid(const Face& f, uint32_t vertexCount) {
  return f.index[0] < vertexCount && f.index[1] < vertexCount && f.index[2] < vertexCount;
}

bool IsPartner(const Face& a, const Face& b, const Vertex* v, uint32_t vertexCount) {
  if (b.vertexCount != 3 || b.type != a.type) return false;
  if (b.normalX != a.normalX || b.normalY != a.normalY || b.normalZ != a.normalZ) return false;
  if (!TriangleValid(b, vertexCount)) return false;
  int shared = InCorners(a.index[0], b) + InCorners(a.index[1], b) + InCorners(a.index[2], b);
  if (shared != 2) return false;
  int a0, a1, b0, b1;
  LongestEdge(a, v, &a0, &a1);
  LongestEdge(b, v, &b0, &b1);
  const Vertex &p = v[a.index[a0]], &q = v[a.index[a1]];
  const Vertex &r = v[b.index[b0]], &s = v[b.index[b1]];
  return (SamePosition(p, r) && SamePosition(q, s)) || (SamePosition(p, s) && SamePosition(q, r));
}

// Puts B's corner that A lacks between A's two shared corners.
void Merge(Face& a, Face& b) {
  int k = 0;
  while (k < 2 && InCorners(b.index[k], a)) ++k;
  int notShared = 0;
  while (notShared < 2 && InCorners(a.index[notShared], b)) ++notShared;
  uint16_t index[4];
  float st[8];
  // Order of A's corners, with 3 standing for B's corner k.
  static const int ORDER[3][4] = {{0, 1, 3, 2}, {0, 1, 2, 3}, {0, 3, 1, 2}};
  for (int i = 0; i < 4; ++i) {
    int c = ORDER[notShared][i];
    index[i] = c == 3 ? b.index[k] : a.index[c];
    st[2 * i] = c == 3 ? b.st[2 * k] : a.st[2 * c];
    st[2 * i + 1] = c == 3 ? b.st[2 * k + 1] : a.st[2 * c + 1];
  }
  for (int i = 0; i < 4; ++i) a.index[i] = index[i];
  for (int i = 0; i < 8; ++i) a.st[i] = st[i];
  a.vertexCount = 4;
  b.type = FACE_REMOVED;
}

// Returns the new face count.
uint32_t MergeQuads(Face* faces, uint32_t faceCount, const Vertex* vertices, uint32_t vertexCount) {
  if (!faces || !vertices) return faceCount;
  for (uint32_t i = 0; i < faceCount; ++i) {
    Face& a = faces[i];
    if (a.vertexCount != 3 || a.type == FACE_REMOVED || !TriangleValid(a, vertexCount)) continue;
    a.vertexCount = 4;  // so that A cannot be its own partner
    bool merged = false;
    for (uint32_t j = 0; j < faceCount && !merged; ++j) {
      if (IsPartner(a, faces[j], vertices, vertexCount)) {
        Merge(a, faces[j]);
        merged = true;
      }
    }
    if (!merged) a.vertexCount = 3;
  }
  uint32_t kept = 0;
  for (uint32_t i = 0; i < faceCount; ++i)
    if (faces[i].type != FACE_REMOVED) faces[kept++] = faces[i];
  return kept;
}

}  // namespace

void MeshMergeQuads(MeshHeader* mesh) {
  if (mesh) mesh->faceCount = MergeQuads(mesh->faces, mesh->faceCount, mesh->vertices, mesh->vertexCount);
}

void MeshMergeQuadsPool() {
  gMesh.faceCount = static_cast<int32_t>(
      MergeQuads(gMesh.faces, PoolCount(gMesh.faceCount), gMesh.vertices, PoolCount(gMesh.vertexCount)));
}
