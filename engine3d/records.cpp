// The raw record files: counts, then records written and read field by field,
// little-endian. Loads check every count against the file's length before
// anything is allocated and every vertex index against the vertex count;
// saves are gathered whole and replace the target only when written completely.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "engine3d/lebytes.h"
#include "engine3d/mesh.h"
#include "engine3d/meshalloc.h"
#include "hal/fs.h"
#include "platform/mem.h"

namespace {

constexpr uint64_t VERTEX_BYTES = MESH_VERTEX_BYTES;
constexpr uint64_t FACE_BYTES = MESH_FACE_BYTES;
constexpr uint64_t FRAME_VERTEX_BYTES = 24;
constexpr uint64_t FACE_NORMAL_BYTES = 12;

}  // namespace

void MeshEncodeVertex(const Vertex& v, uint8_t* b) {
  const float f[11] = {v.x, v.y, v.z, v.viewX, v.viewY, v.viewZ, v.normalX, v.normalY, v.normalZ, v.screenX, v.screenY};
  for (int i = 0; i < 11; ++i) PutF32(b + 4 * i, f[i]);
  b[44] = v.red;
  b[45] = v.green;
  b[46] = v.blue;
  PutF32(b + 47, v.light);
  b[51] = v.lightLevel;
}

void MeshDecodeVertex(const uint8_t* b, Vertex* v) {
  v->x = GetF32(b);
  v->y = GetF32(b + 4);
  v->z = GetF32(b + 8);
  v->viewX = GetF32(b + 12);
  v->viewY = GetF32(b + 16);
  v->viewZ = GetF32(b + 20);
  v->normalX = GetF32(b + 24);
  v->normalY = GetF32(b + 28);
  v->normalZ = GetF32(b + 32);
  v->screenX = GetF32(b + 36);
  v->screenY = GetF32(b + 40);
  v->red = b[44];
  v->green = b[45];
  v->blue = b[46];
  v->light = GetF32(b + 47);
  v->lightLevel = b[51];
}

void MeshEncodeFace(const Face& f, uint8_t* b) {
  PutU32(b, f.type);
  b[4] = f.vertexCount;
  for (int i = 0; i < 4; ++i) PutU16(b + 5 + 2 * i, f.index[i]);
  for (int i = 0; i < 8; ++i) PutF32(b + 13 + 4 * i, f.st[i]);
  PutF32(b + 45, f.normalX);
  PutF32(b + 49, f.normalY);
  PutF32(b + 53, f.normalZ);
  b[57] = f.tag;
}

void MeshDecodeFace(const uint8_t* b, Face* f) {
  f->type = GetU32(b);
  f->vertexCount = b[4];
  for (int i = 0; i < 4; ++i) f->index[i] = GetU16(b + 5 + 2 * i);
  for (int i = 0; i < 8; ++i) f->st[i] = GetF32(b + 13 + 4 * i);
  f->normalX = GetF32(b + 45);
  f->normalY = GetF32(b + 49);
  f->normalZ = GetF32(b + 53);
  f->tag = b[57];
}

bool MeshFaceRecordValid(const uint8_t* b, uint32_t vertexCount) {
  uint8_t corners = b[4];
  if (corners != 3 && corners != 4) return false;
  for (int i = 0; i < corners; ++i)
    if (GetU16(b + 5 + 2 * i) >= vertexCount) return false;
  return true;
}

namespace {

// ---- reading

struct InFile {
  std::FILE* f = nullptr;
  uint64_t length = 0;
  ~InFile() {
    if (f) std::fclose(f);
  }
  bool Open(const char* name) {
    if (!name) return false;
    f = std::fopen(HalResolvePath(name).c_str(), "rb");
    if (!f) return false;
    if (std::fseek(f, 0, SEEK_END) != 0) return false;
    long end = std::ftell(f);
    if (end < 0 || std::fseek(f, 0, SEEK_SET) != 0) return false;
    length = static_cast<uint64_t>(end);
    return true;
  }
  bool Read(uint8_t* buffer, size_t n) { return std::fread(buffer, 1, n, f) == n; }
  bool Seek(uint64_t offset) { return std::fseek(f, static_cast<long>(offset), SEEK_SET) == 0; }
};

bool ReadCounts(InFile& in, uint32_t* a, uint32_t* b) {
  uint8_t head[8];
  if (!in.Read(head, 8)) return false;
  *a = GetU32(head);
  *b = GetU32(head + 4);
  return true;
}

bool MeshLengthMatches(const InFile& in, uint32_t vertices, uint32_t faces) {
  return in.length == 8 + vertices * VERTEX_BYTES + faces * FACE_BYTES;
}

bool ReadVertices(InFile& in, Vertex* out, uint32_t n) {
  uint8_t b[VERTEX_BYTES];
  for (uint32_t i = 0; i < n; ++i) {
    if (!in.Read(b, sizeof b)) return false;
    MeshDecodeVertex(b, &out[i]);
  }
  return true;
}

bool ReadFaces(InFile& in, Face* out, uint32_t n, uint32_t vertexCount) {
  uint8_t b[FACE_BYTES];
  for (uint32_t i = 0; i < n; ++i) {
    if (!in.Read(b, sizeof b) || !MeshFaceRecordValid(b, vertexCount)) return false;
    MeshDecodeFace(b, &out[i]);
  }
  return true;
}

// ---- writing

// A whole file gathered in memory, then saved in one piece.
struct OutFile {
  const char* name = nullptr;
  std::vector<uint8_t> bytes;
  bool Open(const char* target) {
    name = target;
    return name != nullptr;
  }
  void Write(const uint8_t* data, size_t n) { bytes.insert(bytes.end(), data, data + n); }
  void WriteU32(uint32_t v) {
    uint8_t b[4];
    PutU32(b, v);
    Write(b, 4);
  }
  void WriteVertices(const Vertex* v, uint32_t n) {
    uint8_t b[VERTEX_BYTES];
    for (uint32_t i = 0; i < n; ++i) {
      MeshEncodeVertex(v[i], b);
      Write(b, sizeof b);
    }
  }
  void WriteFaces(const Face* faces, uint32_t n) {
    uint8_t b[FACE_BYTES];
    for (uint32_t i = 0; i < n; ++i) {
      MeshEncodeFace(faces[i], b);
      Write(b, sizeof b);
    }
  }
  int32_t Commit() { return HalWriteFileAtomic(name, bytes.data(), bytes.size()) ? 1 : 0; }
};

int32_t SaveMesh(const char* name, uint32_t vertexCount, const Vertex* vertices, uint32_t faceCount,
                 const Face* faces) {
  if ((vertexCount && !vertices) || (faceCount && !faces)) return 0;
  OutFile out;
  if (!out.Open(name)) return 0;
  out.WriteU32(vertexCount);
  out.WriteU32(faceCount);
  out.WriteVertices(vertices, vertexCount);
  out.WriteFaces(faces, faceCount);
  return out.Commit();
}

uint32_t CountOf(int32_t n) { return n < 0 ? 0 : static_cast<uint32_t>(n); }

}  // namespace

int32_t MeshSaveRecords(const char* name, const MeshHeader* mesh) {
  if (!mesh) return 0;
  return SaveMesh(name, mesh->vertexCount, mesh->vertices, mesh->faceCount, mesh->faces);
}

MeshHeader* MeshLoadRecords(const char* name) {
  InFile in;
  uint32_t vertexCount, faceCount;
  if (!in.Open(name) || !ReadCounts(in, &vertexCount, &faceCount)) return nullptr;
  if (!MeshLengthMatches(in, vertexCount, faceCount)) return nullptr;

  auto* mesh = static_cast<MeshHeader*>(MemAlloc(sizeof(MeshHeader)));
  if (!mesh) return nullptr;
  *mesh = MeshHeader{MESH_TYPE_WORD, vertexCount, faceCount, nullptr, nullptr, {0, 0, 0}};
  bool ok = true;
  if (vertexCount) {
    mesh->vertices = static_cast<Vertex*>(MeshAllocArray(vertexCount, sizeof(Vertex)));
    ok = mesh->vertices != nullptr;
  }
  if (ok && faceCount) {
    mesh->faces = static_cast<Face*>(MeshAllocArray(faceCount, sizeof(Face)));
    ok = mesh->faces != nullptr;
  }
  ok = ok && ReadVertices(in, mesh->vertices, vertexCount) && ReadFaces(in, mesh->faces, faceCount, vertexCount);
  if (!ok) {
    MeshFree(mesh);
    return nullptr;
  }
  return mesh;
}

int32_t MeshPoolSaveFile(const char* name) {
  return SaveMesh(name, CountOf(gMesh.vertexCount), gMesh.vertices, CountOf(gMesh.faceCount), gMesh.faces);
}

int32_t MeshPoolLoadFile(const char* name) {
  InFile in;
  uint32_t vertexCount, faceCount;
  if (!in.Open(name) || !ReadCounts(in, &vertexCount, &faceCount)) return 0;
  if (!gMesh.vertices || !gMesh.faces) return 0;
  if (vertexCount > CountOf(gMesh.vertexCapacity) || faceCount > CountOf(gMesh.faceCapacity)) return 0;
  if (!MeshLengthMatches(in, vertexCount, faceCount)) return 0;

  // Check every face before the pools are touched, so a refused file leaves
  // the current mesh whole.
  uint64_t faceStart = 8 + vertexCount * VERTEX_BYTES;
  if (!in.Seek(faceStart)) return 0;
  uint8_t b[FACE_BYTES];
  for (uint32_t i = 0; i < faceCount; ++i)
    if (!in.Read(b, sizeof b) || !MeshFaceRecordValid(b, vertexCount)) return 0;

  if (!in.Seek(8) || !ReadVertices(in, gMesh.vertices, vertexCount) ||
      !ReadFaces(in, gMesh.faces, faceCount, vertexCount)) {
    // The file changed under us: the pools hold part of it, so show them empty.
    gMesh.vertexCount = 0;
    gMesh.faceCount = 0;
    return 0;
  }
  gMesh.vertexCount = static_cast<int32_t>(vertexCount);
  gMesh.faceCount = static_cast<int32_t>(faceCount);
  return 1;
}

int32_t MeshFramesSaveFile(const char* name, const MeshFrameSet* set, const MeshHeader* mesh) {
  if (!set || !mesh || (set->frameCount && !set->frames)) return 0;
  if (set->frameCount && !mesh->vertexCount && !mesh->faceCount) return 0;  // the load would refuse it
  for (uint32_t i = 0; i < set->frameCount; ++i)
    if ((mesh->vertexCount && !set->frames[i].vertices) || (mesh->faceCount && !set->frames[i].normals)) return 0;
  OutFile out;
  if (!out.Open(name)) return 0;
  out.WriteU32(set->frameCount);
  uint8_t b[FRAME_VERTEX_BYTES];
  for (uint32_t i = 0; i < set->frameCount; ++i) {
    const MeshFrame& frame = set->frames[i];
    for (uint32_t v = 0; v < mesh->vertexCount; ++v) {
      const FrameVertex& fv = frame.vertices[v];
      const float f[6] = {fv.x, fv.y, fv.z, fv.normalX, fv.normalY, fv.normalZ};
      for (int k = 0; k < 6; ++k) PutF32(b + 4 * k, f[k]);
      out.Write(b, FRAME_VERTEX_BYTES);
    }
    for (uint32_t n = 0; n < mesh->faceCount; ++n) {
      for (int k = 0; k < 3; ++k) PutF32(b + 4 * k, frame.normals[3 * n + k]);
      out.Write(b, FACE_NORMAL_BYTES);
    }
  }
  return out.Commit();
}

MeshFrameSet* MeshFramesLoadFile(const char* name, const MeshHeader* mesh) {
  if (!mesh) return nullptr;
  InFile in;
  uint8_t b[FRAME_VERTEX_BYTES];
  if (!in.Open(name) || !in.Read(b, 4)) return nullptr;
  uint32_t frameCount = GetU32(b);
  uint64_t perFrame = mesh->vertexCount * FRAME_VERTEX_BYTES + mesh->faceCount * FACE_NORMAL_BYTES;
  uint64_t body = in.length - 4;
  // The counts come from the mesh; the file must hold exactly that many
  // frames. Frames of an empty mesh take no bytes, so the file cannot vouch
  // for a count of them: only none is taken.
  if (perFrame == 0 ? body != 0 || frameCount != 0 : (body % perFrame != 0 || body / perFrame != frameCount))
    return nullptr;

  auto* set = static_cast<MeshFrameSet*>(MemAlloc(sizeof(MeshFrameSet)));
  if (!set) return nullptr;
  set->frameCount = 0;
  set->frames = nullptr;
  if (frameCount) {
    set->frames = static_cast<MeshFrame*>(MeshAllocArray(frameCount, sizeof(MeshFrame)));
    if (!set->frames) {
      MeshFramesFree(set);
      return nullptr;
    }
    std::memset(set->frames, 0, sizeof(MeshFrame) * frameCount);
    set->frameCount = frameCount;
  }
  for (uint32_t i = 0; i < frameCount; ++i) {
    MeshFrame& frame = set->frames[i];
    if (mesh->vertexCount) frame.vertices = static_cast<FrameVertex*>(MeshAllocArray(mesh->vertexCount, sizeof(FrameVertex)));
    if (mesh->faceCount) frame.normals = static_cast<float*>(MeshAllocArray(mesh->faceCount, 3 * sizeof(float)));
    bool ok = (!mesh->vertexCount || frame.vertices) && (!mesh->faceCount || frame.normals);
    for (uint32_t v = 0; ok && v < mesh->vertexCount; ++v) {
      ok = in.Read(b, FRAME_VERTEX_BYTES);
      if (ok) frame.vertices[v] = FrameVertex{GetF32(b), GetF32(b + 4), GetF32(b + 8), GetF32(b + 12), GetF32(b + 16), GetF32(b + 20)};
    }
    for (uint32_t n = 0; ok && n < mesh->faceCount; ++n) {
      ok = in.Read(b, FACE_NORMAL_BYTES);
      for (int k = 0; ok && k < 3; ++k) frame.normals[3 * n + k] = GetF32(b + 4 * k);
    }
    if (!ok) {
      MeshFramesFree(set);
      return nullptr;
    }
  }
  return set;
}
