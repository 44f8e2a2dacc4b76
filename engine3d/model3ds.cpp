#include "engine3d/model3ds.h"

#include <cmath>
#include <cstring>

#include "backend_common/texture.h"
#include "engine3d/lebytes.h"
#include "engine3d/mathutil.h"
#include "engine3d/meshalloc.h"
#include "engine3d/normals.h"
#include "platform/mem.h"
#include "platform/pak.h"

MeshReader gMeshReader;
MeshLoader gMeshLoader;

namespace {

constexpr int MODEL_ARCHIVE_SLOT = 0;
constexpr uint32_t CHUNK_HEADER = 6;
// Deeper than any file of the format nests the chunks the walk enters.
constexpr int MAX_CHUNK_DEPTH = 16;
constexpr float BOX_START = 32000.0f;

// Offset of the read pointer from the start of the file.
uint32_t ReaderPos() { return static_cast<uint32_t>(gMeshReader.read - gMeshReader.buffer); }

// Moves the read pointer to an offset inside the file.
void ReaderSeek(uint32_t pos) {
  gMeshReader.read = gMeshReader.buffer + pos;
  gMeshReader.left = static_cast<int32_t>(gMeshReader.size - pos);
}

enum class Target { MODEL, POOL, FRAME };

// One walk over the file: what has been read so far, and what it goes into.
struct Parse {
  Target target;
  const char* prefix;
  Vertex* vertices;
  uint32_t vertexCount;
  Face* faces;
  uint32_t faceCount;
  int32_t vertexLists;
  // Frames: the base mesh's vertex count and the frame being filled.
  uint32_t baseVertexCount;
  MeshFrame* frame;
  uint32_t ends[MAX_CHUNK_DEPTH];  // ends of the chunks entered, innermost last
  int depth;
};

// A zero-terminated name that ends inside the chunk, copied into the loader's
// name buffer (cut to fit; names other than texture files are not kept).
bool ReadName(uint32_t chunkEnd, const char** name) {
  const uint8_t* start = gMeshReader.read;
  const uint8_t* end = gMeshReader.buffer + chunkEnd;
  const void* zero = std::memchr(start, 0, static_cast<size_t>(end - start));
  if (!zero) return false;
  *name = reinterpret_cast<const char*>(start);
  MeshFileSkip(static_cast<uint32_t>(static_cast<const uint8_t*>(zero) - start) + 1);
  return true;
}

bool Enter(Parse* p, uint32_t chunkEnd) {
  if (p->depth >= MAX_CHUNK_DEPTH) return false;
  p->ends[p->depth++] = chunkEnd;
  return true;
}

Vertex* NewVertices(Parse* p, uint32_t n) {
  if (p->target == Target::POOL) {
    if (!gMesh.vertices || n > static_cast<uint32_t>(gMesh.vertexCapacity)) return nullptr;
    return gMesh.vertices;
  }
  // One record even for an empty list, so an allocated list is never null.
  return static_cast<Vertex*>(MeshAllocArray(n ? n : 1, sizeof(Vertex)));
}

Face* NewFaces(Parse* p, uint32_t n) {
  if (p->target == Target::POOL) {
    if (!gMesh.faces || n > static_cast<uint32_t>(gMesh.faceCapacity)) return nullptr;
    return gMesh.faces;
  }
  return static_cast<Face*>(MeshAllocArray(n ? n : 1, sizeof(Face)));
}

bool ReadVertices(Parse* p, MeshHeader* mesh, uint32_t contentEnd) {
  if (contentEnd - ReaderPos() < 2) return false;
  uint32_t n = GetU16(gMeshReader.read);
  MeshFileSkip(2);
  if (uint64_t{n} * 12 > contentEnd - ReaderPos()) return false;
  if (p->vertexLists++ > 0) return false;  // a second mesh object
  const uint8_t* src = gMeshReader.read;
  if (p->target == Target::FRAME) {
    if (n != p->baseVertexCount) return false;
    for (uint32_t i = 0; i < n; ++i, src += 12) {
      FrameVertex& v = p->frame->vertices[i];
      v.x = GetF32(src);
      v.y = GetF32(src + 4);
      v.z = GetF32(src + 8);
    }
    p->vertexCount = n;
    return true;
  }
  Vertex* vertices = NewVertices(p, n);
  if (!vertices) return false;
  p->vertices = vertices;
  p->vertexCount = n;
  if (mesh) mesh->vertices = vertices;
  for (uint32_t i = 0; i < n; ++i, src += 12) {
    Vertex& v = vertices[i];
    // Mapping coordinates wait in the view position; a mesh without them maps
    // every corner to (0, 0).
    std::memset(&v, 0, sizeof v);
    v.x = GetF32(src);
    v.y = GetF32(src + 4);
    v.z = GetF32(src + 8);
    v.red = v.green = v.blue = 255;
  }
  return true;
}

bool ReadFaces(Parse* p, MeshHeader* mesh, uint32_t contentEnd) {
  if (contentEnd - ReaderPos() < 2) return false;
  uint32_t n = GetU16(gMeshReader.read);
  MeshFileSkip(2);
  if (uint64_t{n} * 8 > contentEnd - ReaderPos()) return false;
  if (gMeshLoader.faceListsRead++ > 0) return false;  // a second mesh object
  Face* faces = NewFaces(p, n);
  if (!faces) return false;
  p->faces = faces;
  p->faceCount = n;
  if (mesh) mesh->faces = faces;
  const uint8_t* src = gMeshReader.read;
  for (uint32_t i = 0; i < n; ++i, src += 8) {
    Face& f = faces[i];
    std::memset(&f, 0, sizeof f);
    f.index[0] = GetU16(src);
    f.index[1] = GetU16(src + 2);
    f.index[2] = GetU16(src + 4);
    f.vertexCount = 3;
  }
  MeshFileSkip(n * 8);
  return true;
}

bool CornersValid(const Face& f, uint32_t vertexCount) {
  return f.index[0] < vertexCount && f.index[1] < vertexCount && f.index[2] < vertexCount;
}

bool ReadGroup(Parse* p, uint32_t contentEnd) {
  const char* ignored;
  if (!ReadName(contentEnd, &ignored)) return false;
  if (contentEnd - ReaderPos() < 2) return false;
  uint32_t n = GetU16(gMeshReader.read);
  MeshFileSkip(2);
  if (uint64_t{n} * 2 > contentEnd - ReaderPos()) return false;
  if (!p->faces || gMeshLoader.groupCounter >= MESH_MAX_MATERIALS) return false;
  int32_t material = gMeshLoader.groupCounter++;
  const TextureTableEntry* texture = gMeshLoader.materialTexture[material];
  const uint8_t* src = gMeshReader.read;
  for (uint32_t i = 0; i < n; ++i, src += 2) {
    uint32_t index = GetU16(src);
    if (index >= p->faceCount) return false;
    Face& f = p->faces[index];
    if (texture) {
      if (!CornersValid(f, p->vertexCount)) return false;
      f.type = (texture->handle & 0xFFFFFF) | uint32_t{FACE_TEX_LIT} << 24;
      MeshFaceTexCoords(&f, p->vertices, texture);
    } else {
      f.type = gMeshLoader.materialColour[material];
    }
  }
  return true;
}

bool ReadMapping(Parse* p, uint32_t contentEnd) {
  if (contentEnd - ReaderPos() < 2) return false;
  uint32_t n = GetU16(gMeshReader.read);
  MeshFileSkip(2);
  if (uint64_t{n} * 8 > contentEnd - ReaderPos()) return false;
  if (n != p->vertexCount) return false;
  const uint8_t* src = gMeshReader.read;
  for (uint32_t i = 0; i < n; ++i, src += 8) {
    float u = std::fabs(GetF32(src));
    float v = std::fabs(GetF32(src + 4));
    p->vertices[i].viewX = gMeshLoader.uFlag > 0 ? u : 1.0f - u;
    p->vertices[i].viewY = gMeshLoader.vFlag > 0 ? v : 1.0f - v;
  }
  return true;
}

// The first 24-bit linear colour among the ambient chunk's colour sub-chunks;
// black when there is none.
bool ReadAmbient(uint32_t contentEnd) {
  if (gMeshLoader.materialIndex < 0) return false;
  uint32_t colour = 0;
  bool found = false;
  while (ReaderPos() < contentEnd) {
    const uint8_t* h = gMeshReader.read;
    uint32_t room = contentEnd - ReaderPos();
    if (room < CHUNK_HEADER) return false;
    uint16_t id = GetU16(h);
    uint32_t length = GetU32(h + 2);
    if (length < CHUNK_HEADER || length > room) return false;
    if (!found && id == CHUNK_LIN_COLOUR_24 && length >= CHUNK_HEADER + 3) {
      colour = MeshColour24(h[6], h[7], h[8]);
      found = true;
    }
    MeshFileSkip(length);
  }
  gMeshLoader.materialColour[gMeshLoader.materialIndex] = colour;
  return true;
}

bool ReadMapName(Parse* p, uint32_t contentEnd) {
  if (gMeshLoader.materialIndex < 0) return false;
  const char* file;
  if (!ReadName(contentEnd, &file)) return false;
  size_t prefixLength = std::strlen(p->prefix);
  size_t fileLength = std::strlen(file);
  if (prefixLength + fileLength >= MESH_NAME_SIZE) return false;
  std::memcpy(gMeshLoader.name, p->prefix, prefixLength);
  std::memcpy(gMeshLoader.name + prefixLength, file, fileLength + 1);
  TextureTableEntry* entry = TexFind(gMeshLoader.name);
  if (!entry) {
    TextureRecord* record = TexLoad(gMeshLoader.name);
    if (record) {
      if (TexDownload(record) != -1) entry = &gTextureTable.entries[gTextureTable.count - 1];
      TexFree(record);
    }
  }
  gMeshLoader.materialTexture[gMeshLoader.materialIndex] = entry;
  return true;
}

// Walks every chunk of the file the reader holds. Chunks of interest are
// entered or read; the others are skipped whole. A chunk that runs past the
// file or past the chunk around it ends the walk with a failure.
bool Walk(Parse* p, MeshHeader* mesh) {
  p->depth = 0;
  for (;;) {
    while (p->depth > 0 && ReaderPos() >= p->ends[p->depth - 1]) --p->depth;
    // Bytes too few for a chunk header end the data, as a stray tail would.
    if (gMeshReader.left < static_cast<int32_t>(CHUNK_HEADER)) return true;
    uint32_t limit = p->depth > 0 ? p->ends[p->depth - 1] : gMeshReader.size;
    uint32_t room = limit - ReaderPos();
    if (room < CHUNK_HEADER) return false;
    uint16_t id = GetU16(gMeshReader.read);
    uint32_t length = GetU32(gMeshReader.read + 2);
    if (length < CHUNK_HEADER || length > room) return false;
    uint32_t chunkEnd = ReaderPos() + length;
    MeshFileSkip(CHUNK_HEADER);
    bool frame = p->target == Target::FRAME;
    bool ok = true;
    bool skipRest = true;
    switch (id) {
      case CHUNK_MAIN:
      case CHUNK_EDITOR:
      case CHUNK_TRIMESH:
      case CHUNK_KEYFRAMER:
      case CHUNK_OBJECT_NODE:
        ok = Enter(p, chunkEnd);
        skipRest = false;
        break;
      case CHUNK_MATERIAL:
        if (!frame && ++gMeshLoader.materialIndex >= MESH_MAX_MATERIALS) return false;
        ok = Enter(p, chunkEnd);
        skipRest = false;
        break;
      case CHUNK_TEXTURE_MAP:
        if (frame) break;
        ok = Enter(p, chunkEnd);
        skipRest = false;
        break;
      case CHUNK_OBJECT: {
        const char* ignored;
        ok = ReadName(chunkEnd, &ignored) && Enter(p, chunkEnd);
        skipRest = false;
        break;
      }
      case CHUNK_VERTICES:
        ok = ReadVertices(p, mesh, chunkEnd);
        break;
      case CHUNK_FACES:
        if (frame) break;
        // The material groups follow the list inside this chunk.
        ok = ReadFaces(p, mesh, chunkEnd) && Enter(p, chunkEnd);
        skipRest = false;
        break;
      case CHUNK_FACE_MATERIAL:
        if (!frame) ok = ReadGroup(p, chunkEnd);
        break;
      case CHUNK_MAPPING:
        if (!frame) ok = ReadMapping(p, chunkEnd);
        break;
      case CHUNK_AMBIENT:
        if (!frame) ok = ReadAmbient(chunkEnd);
        break;
      case CHUNK_MAP_NAME:
        if (!frame) ok = ReadMapName(p, chunkEnd);
        break;
      case CHUNK_PIVOT:
        // Three floats, not used further.
        ok = length >= CHUNK_HEADER + 12;
        break;
      default:
        break;
    }
    if (!ok) return false;
    if (skipRest) ReaderSeek(chunkEnd);
  }
}

void ResetLoader(const MeshPlacement* placement) {
  std::memset(gMeshLoader.materialTexture, 0, sizeof gMeshLoader.materialTexture);
  std::memset(gMeshLoader.materialColour, 0, sizeof gMeshLoader.materialColour);
  gMeshLoader.materialIndex = -1;
  gMeshLoader.groupCounter = 0;
  gMeshLoader.faceListsRead = 0;
  gMeshLoader.scale = placement->scale;
  std::memcpy(gMeshLoader.m, placement->m, sizeof gMeshLoader.m);
  gMeshLoader.uFlag = placement->uFlag;
  gMeshLoader.vFlag = placement->vFlag;
}

void Transform(float* x, float* y, float* z) {
  const float* m = gMeshLoader.m;
  float s = gMeshLoader.scale;
  float px = *x, py = *y, pz = *z;
  *x = s * (m[0] * px + m[1] * py + m[2] * pz);
  *y = s * (m[3] * px + m[4] * py + m[5] * pz);
  *z = s * (m[6] * px + m[7] * py + m[8] * pz);
}

// Transforms every vertex, then moves the model so that its bounding box is
// centred on the origin, or (minCorner) so that its minimum corner is there.
void PlaceVertices(Vertex* vertices, uint32_t n, bool minCorner) {
  float lo[3] = {BOX_START, BOX_START, BOX_START};
  float hi[3] = {-BOX_START, -BOX_START, -BOX_START};
  for (uint32_t i = 0; i < n; ++i) {
    Vertex& v = vertices[i];
    Transform(&v.x, &v.y, &v.z);
    const float p[3] = {v.x, v.y, v.z};
    for (int a = 0; a < 3; ++a) {
      if (p[a] < lo[a]) lo[a] = p[a];
      if (p[a] > hi[a]) hi[a] = p[a];
    }
  }
  float shift[3];
  for (int a = 0; a < 3; ++a) shift[a] = minCorner ? lo[a] : lo[a] + (hi[a] - lo[a]) * 0.5f;
  for (uint32_t i = 0; i < n; ++i) {
    vertices[i].x -= shift[0];
    vertices[i].y -= shift[1];
    vertices[i].z -= shift[2];
  }
}

bool AllCornersValid(const Parse& p) {
  for (uint32_t i = 0; i < p.faceCount; ++i)
    if (!CornersValid(p.faces[i], p.vertexCount)) return false;
  return true;
}

// The weld with the counts it takes (16-bit); lists from a file never exceed them.
void WeldCounts(Vertex* vertices, Face* faces, uint32_t* vertexCount, uint32_t faceCount, float tolerance) {
  uint16_t vc = static_cast<uint16_t>(*vertexCount);
  uint16_t fc = static_cast<uint16_t>(faceCount);
  MeshWeldVertices(vertices, faces, &vc, &fc, tolerance);
  *vertexCount = vc;
}

MeshHeader* NewHeader() {
  auto* mesh = static_cast<MeshHeader*>(MemAlloc(sizeof(MeshHeader)));
  if (mesh) {
    *mesh = MeshHeader{};
    mesh->type = MESH_TYPE_WORD;
    mesh->filter = 1;
  }
  return mesh;
}

}  // namespace

uint32_t MeshColour24(uint8_t r, uint8_t g, uint8_t b) {
  return uint32_t{r} | uint32_t{g} << 8 | uint32_t{b} << 16;
}

int32_t MeshFileOpen(const char* name) {
  uint32_t size = 0;
  uint8_t* buffer = PakLoadFile(name, MODEL_ARCHIVE_SLOT, &size);
  if (!buffer) return 0;
  return MeshFileOpenBuffer(buffer, size);
}

int32_t MeshFileOpenBuffer(uint8_t* buffer, uint32_t size) {
  MeshFileClose();
  if (!buffer) return 0;
  if (size > INT32_MAX) {
    MemFree(buffer);
    return 0;
  }
  gMeshReader.buffer = buffer;
  gMeshReader.read = buffer;
  gMeshReader.size = size;
  gMeshReader.left = static_cast<int32_t>(size);
  return 1;
}

uint32_t MeshFileRead(void* destination, uint32_t n) {
  uint32_t room = gMeshReader.left > 0 ? static_cast<uint32_t>(gMeshReader.left) : 0;
  uint32_t copied = n < room ? n : room;
  if (copied) std::memcpy(destination, gMeshReader.read, copied);
  MeshFileSkip(n);
  return copied;
}

void MeshFileSkip(uint32_t n) {
  if (!gMeshReader.buffer) return;
  // The pointer never leaves the buffer; the count shows the overrun.
  uint32_t room = gMeshReader.left > 0 ? static_cast<uint32_t>(gMeshReader.left) : 0;
  gMeshReader.read += n < room ? n : room;
  int64_t left = int64_t{gMeshReader.left} - n;
  gMeshReader.left = left < INT32_MIN ? INT32_MIN : static_cast<int32_t>(left);
}

uint16_t MeshFileReadChunk(uint32_t* length) {
  if (!gMeshReader.buffer || gMeshReader.left < static_cast<int32_t>(CHUNK_HEADER)) {
    MeshFileClose();
    return 0;
  }
  uint16_t id = GetU16(gMeshReader.read);
  if (length) *length = GetU32(gMeshReader.read + 2);
  MeshFileSkip(CHUNK_HEADER);
  return id;
}

void MeshFileClose() {
  if (gMeshReader.buffer) MemFree(gMeshReader.buffer);
  gMeshReader = MeshReader{};
}

void MeshScaleFaceTexCoords(Face* face, const Vertex* vertices, const TextureTableEntry* texture) {
  double w = texture->sRange - 1.0;
  double h = texture->tRange - 1.0;
  for (int k = 0; k < 3; ++k) {
    const Vertex& v = vertices[face->index[k]];
    face->st[2 * k] = static_cast<float>(TruncI32(v.viewX * w));
    face->st[2 * k + 1] = static_cast<float>(TruncI32(v.viewY * h));
  }
}

MeshHeader* MeshLoad3ds(const char* fileName, const char* texturePrefix, const MeshPlacement* placement) {
  if (!fileName || !placement || !MeshFileOpen(fileName)) return nullptr;
  return MeshLoad3dsOpened(texturePrefix, placement);
}

MeshHeader* MeshLoad3dsOpened(const char* texturePrefix, const MeshPlacement* placement) {
  if (!gMeshReader.buffer || !placement) {
    MeshFileClose();
    return nullptr;
  }
  MeshHeader* mesh = NewHeader();
  if (!mesh) {
    MeshFileClose();
    return nullptr;
  }
  ResetLoader(placement);
  Parse p{};
  p.target = Target::MODEL;
  p.prefix = texturePrefix ? texturePrefix : "";
  bool ok = Walk(&p, mesh);
  MeshFileClose();
  if (!ok || gMeshLoader.faceListsRead != 1 || !AllCornersValid(p)) {
    MeshFree(mesh);
    return nullptr;
  }
  PlaceVertices(p.vertices, p.vertexCount, false);
  if (placement->weldTolerance > 0.0f)
    WeldCounts(p.vertices, p.faces, &p.vertexCount, p.faceCount, placement->weldTolerance);
  mesh->vertexCount = p.vertexCount;
  mesh->faceCount = p.faceCount;
  MeshSortFacesByTexture(mesh);
  MeshRebuildNormalsOf(mesh);
  return mesh;
}

int32_t MeshLoad3dsToPool(const char* fileName, const char* texturePrefix, const MeshPlacement* placement) {
  if (!fileName || !placement || !MeshFileOpen(fileName)) return 0;
  ResetLoader(placement);
  Parse p{};
  p.target = Target::POOL;
  p.prefix = texturePrefix ? texturePrefix : "";
  bool ok = Walk(&p, nullptr);
  MeshFileClose();
  if (!ok || gMeshLoader.faceListsRead != 1 || !AllCornersValid(p)) {
    // The walk reads straight into the pools: once it has written there, the
    // mesh they held is gone, so show them empty rather than half-new.
    if (p.vertices || p.faces) {
      gMesh.vertexCount = 0;
      gMesh.faceCount = 0;
    }
    return 0;
  }
  PlaceVertices(p.vertices, p.vertexCount, true);
  if (placement->weldTolerance > 0.0f)
    WeldCounts(p.vertices, p.faces, &p.vertexCount, p.faceCount, placement->weldTolerance);
  gMesh.vertexCount = static_cast<int32_t>(p.vertexCount);
  gMesh.faceCount = static_cast<int32_t>(p.faceCount);
  MeshRebuildNormals();
  return 1;
}

int32_t MeshLoadFrame(const char* fileName, const MeshHeader* base, MeshFrame* frame) {
  if (!fileName || !base || !frame) return 0;
  frame->vertices = nullptr;
  frame->normals = nullptr;
  if (!MeshFileOpen(fileName)) return 0;
  frame->vertices = static_cast<FrameVertex*>(MeshAllocArray(base->vertexCount ? base->vertexCount : 1, sizeof(FrameVertex)));
  frame->normals = static_cast<float*>(MeshAllocArray(uint64_t{base->faceCount ? base->faceCount : 1} * 3, sizeof(float)));
  bool ok = frame->vertices && frame->normals;
  if (ok) {
    std::memset(frame->vertices, 0, sizeof(FrameVertex) * (base->vertexCount ? base->vertexCount : 1));
    Parse p{};
    p.target = Target::FRAME;
    p.prefix = "";
    p.baseVertexCount = base->vertexCount;
    p.frame = frame;
    ok = Walk(&p, nullptr) && p.vertexLists == 1;
  }
  MeshFileClose();
  if (!ok) {
    if (frame->vertices) MemFree(frame->vertices);
    if (frame->normals) MemFree(frame->normals);
    frame->vertices = nullptr;
    frame->normals = nullptr;
    return 0;
  }
  for (uint32_t i = 0; i < base->vertexCount; ++i) {
    FrameVertex& v = frame->vertices[i];
    Transform(&v.x, &v.y, &v.z);
  }
  MeshFrameNormals(frame, base);
  return 1;
}

MeshFrameSet* MeshLoadFrames(const char* const* fileNames, const MeshHeader* base, const MeshPlacement* placement) {
  if (!fileNames || !base || !placement) return nullptr;
  uint32_t count = 0;
  while (fileNames[count]) ++count;
  if (count == 0) return nullptr;
  auto* set = static_cast<MeshFrameSet*>(MemAlloc(sizeof(MeshFrameSet)));
  if (!set) return nullptr;
  set->frameCount = count;
  set->frames = static_cast<MeshFrame*>(MeshAllocArray(count, sizeof(MeshFrame)));
  if (!set->frames) {
    MemFree(set);
    return nullptr;
  }
  std::memset(set->frames, 0, sizeof(MeshFrame) * count);
  gMeshLoader.scale = placement->scale;
  std::memcpy(gMeshLoader.m, placement->m, sizeof gMeshLoader.m);
  for (uint32_t i = 0; i < count; ++i) {
    if (!MeshLoadFrame(fileNames[i], base, &set->frames[i])) {
      // Frames already loaded go with the set.
      MeshFramesFree(set);
      return nullptr;
    }
  }
  return set;
}

void MeshWeld(MeshHeader* mesh, const MeshPlacement* placement) {
  if (!mesh || !placement || !(placement->weldTolerance > 0.0f)) return;
  if (mesh->vertexCount > UINT16_MAX || mesh->faceCount > UINT16_MAX) return;
  uint16_t vc = static_cast<uint16_t>(mesh->vertexCount);
  uint16_t fc = static_cast<uint16_t>(mesh->faceCount);
  MeshWeldVertices(mesh->vertices, mesh->faces, &vc, &fc, placement->weldTolerance);
  mesh->vertexCount = vc;
  mesh->faceCount = fc;
}

void MeshWeldVertices(Vertex* vertices, Face* faces, uint16_t* vertexCount, uint16_t* faceCount, float tolerance) {
  if (!vertices || !vertexCount || !faceCount) return;
  uint32_t n = *vertexCount;
  uint32_t nf = faces ? *faceCount : 0;
  auto corners = [](const Face& f) { return f.vertexCount < 4 ? uint32_t{f.vertexCount} : 4u; };
  for (uint32_t i = 0; i < n; ++i) vertices[i].screenX = 0.0f;
  for (uint32_t i = 0; i < n; ++i) {
    if (vertices[i].screenX != 0.0f) continue;
    const Vertex& a = vertices[i];
    for (uint32_t j = i + 1; j < n; ++j) {
      Vertex& b = vertices[j];
      if (std::fabs(b.x - a.x) < tolerance && std::fabs(b.y - a.y) < tolerance && std::fabs(b.z - a.z) < tolerance) {
        b.screenX = 1.0f;
        for (uint32_t f = 0; f < nf; ++f)
          for (uint32_t k = 0; k < corners(faces[f]); ++k)
            if (faces[f].index[k] == j) faces[f].index[k] = static_cast<uint16_t>(i);
      }
    }
  }
  uint32_t j = 0;
  while (j < n) {
    if (vertices[j].screenX == 0.0f) {
      ++j;
      continue;
    }
    for (uint32_t f = 0; f < nf; ++f)
      for (uint32_t k = 0; k < corners(faces[f]); ++k)
        if (faces[f].index[k] > j) --faces[f].index[k];
    std::memmove(&vertices[j], &vertices[j + 1], sizeof(Vertex) * (n - j - 1));
    --n;
  }
  *vertexCount = static_cast<uint16_t>(n);
}

void MeshSortFacesByTexture(MeshHeader* mesh) {
  if (!mesh || !mesh->faces || mesh->faceCount < 3) return;
  Face* f = mesh->faces;
  uint32_t n = mesh->faceCount;
  // Passes stop once one swaps nothing: later passes could not swap either.
  for (uint32_t pass = 0; pass + 1 < n; ++pass) {
    bool swapped = false;
    for (uint32_t i = 0; i + 1 < n; ++i) {
      if ((f[i].type & 0xFFFFFF) < (f[i + 1].type & 0xFFFFFF)) {
        Face t = f[i];
        f[i] = f[i + 1];
        f[i + 1] = t;
        swapped = true;
      }
    }
    if (!swapped) break;
  }
}
