// The records every part of the 3D library and both back ends share (vertex,
// face, mesh header, sprite, draw slot, animation frames), the current-mesh
// pools, the two draw lists, and the raw record files that save and restore
// meshes, pools and frames for tools.
#pragma once
#include <cstdint>

// Face type: the top byte of a face's type word and of the first word of
// every drawable record. The low 24 bits hold a texture handle or a colour.
enum RdrFaceType : uint32_t {
  FACE_COLOUR = 0x00,
  FACE_TEX_LIT = 0x02,
  FACE_SPRITE = 0x04,
  FACE_MESH = 0x05,
  FACE_WATER_OVERLAY = 0x0A,
  FACE_CROSS = 0x0B,
  FACE_SPRITE_ALPHA = 0x0C,
  FACE_TEX_VCOLOUR = 0x0D,
  FACE_TRANSLUCENT = 0x0E,
};

constexpr uint32_t MESH_TYPE_WORD = 0x05000000;
// Type word of a face the quad merge removed, until the array is compacted.
constexpr uint32_t FACE_REMOVED = 0xFFFFFFFF;

#pragma pack(push, 1)
struct Vertex {
  float x, y, z;
  float viewX, viewY, viewZ;
  float normalX, normalY, normalZ;  // length 1024
  float screenX, screenY;
  uint8_t red, green, blue;
  float light;         // 0..64
  uint8_t lightLevel;  // 0..63
};
static_assert(sizeof(Vertex) == 52);

struct Face {
  uint32_t type;
  uint8_t vertexCount;  // 3 or 4
  uint16_t index[4];
  float st[8];  // s0, t0, s1, t1, s2, t2, s3, t3
  float normalX, normalY, normalZ;
  uint8_t tag;
};
static_assert(sizeof(Face) == 58);

#pragma pack(pop)

// All 32-bit fields: no padding, the same layout packed or not.
struct Sprite {
  uint32_t type;  // texture handle | 0x04000000, or | 0x0B000000 for a cross
  float halfWidth, halfHeight;
  float s0, t0, s1, t1;
};
static_assert(sizeof(Sprite) == 28);

struct FrameVertex {
  float x, y, z;
  float normalX, normalY, normalZ;
};
static_assert(sizeof(FrameVertex) == 24);

// In memory only; the arrays and the header all come from the memory pool.
struct MeshHeader {
  uint32_t type;  // always MESH_TYPE_WORD
  uint32_t vertexCount;
  uint32_t faceCount;
  Face* faces;
  Vertex* vertices;
  uint16_t angle[3];  // the object's orientation, Angle10
  // 1: drawn with the device's texture filtering, 0: with point sampling.
  // Read only by a back end that filters by device state. Meshes built in
  // place get 1.
  uint8_t filter = 1;
};

struct MeshFrame {
  FrameVertex* vertices;  // one per vertex of the mesh
  float* normals;         // three per face of the mesh
};

struct MeshFrameSet {
  uint32_t frameCount;
  MeshFrame* frames;
};

struct DrawSlot;
using DrawCallback = void (*)(DrawSlot* slot, void* owner);

struct DrawSlot {
  uint32_t kind;  // the owner's first word when the slot was filled
  uint8_t visible;
  uint8_t inUse;  // dynamic list only
  float x, y, z;
  float viewX, viewY, viewZ;
  float boxMinX, boxMinY, boxMinZ;
  float boxMaxX, boxMaxY, boxMaxZ;
  void* owner;  // starts with its 32-bit type word
  DrawCallback callback;
  // The last word: a placement number, or a record (wheel, vehicle, glow)
  // the owner's callback reads; wide enough for a pointer.
  uintptr_t user;
};

// The current mesh (the world). Behind the capacities each pool keeps a
// reserve for the temporary records the back end builds during a frame.
struct MeshPools {
  Vertex* vertices;
  int32_t vertexCapacity;
  int32_t vertexCount;
  Face* faces;
  int32_t faceCapacity;
  int32_t faceCount;
};
extern MeshPools gMesh;

struct DrawLists {
  DrawSlot* statics;
  int32_t staticCapacity;
  int32_t staticCount;
  DrawSlot* dynamics;
  int32_t dynamicCapacity;
};
extern DrawLists gDrawLists;

constexpr int32_t MESH_POOL_VERTICES = 27000;
constexpr int32_t MESH_POOL_FACES = 34000;
constexpr int32_t DRAW_LIST_STATIC = 900;
constexpr int32_t DRAW_LIST_DYNAMIC = 300;
// Reserve behind the counts: generated quads take a few vertices; a blended
// object takes one face per textured face of its model.
constexpr int32_t MESH_SCRATCH_VERTICES = 64;
constexpr int32_t MESH_SCRATCH_FACES = 4096;

Vertex* MeshPoolAllocVertices(int32_t n);
Face* MeshPoolAllocFaces(int32_t n);
DrawSlot* DrawListAllocStatic(int32_t n);
DrawSlot* DrawListAllocDynamic(int32_t n);
void MeshPoolFreeVertices();
void MeshPoolFreeFaces();
void DrawListFreeStatic();
void DrawListFreeDynamic();

// n temporary records from index `first` on (at or behind the count), or null
// when they would not fit in the pool and its reserve.
Vertex* MeshScratchVertices(int32_t first, int32_t n);
Face* MeshScratchFaces(int32_t first, int32_t n);

int32_t DrawListAddStatic(void* owner, uintptr_t user, DrawCallback callback, float x, float y, float z,
                          float halfXz, float halfY);
DrawSlot* DrawListClaimDynamic(void* owner, uintptr_t user, DrawCallback callback, float x, float y, float z);
void DrawListRelease(DrawSlot* slot);

int32_t MeshFree(MeshHeader* mesh);
void MeshFramesFree(MeshFrameSet* set);

// Raw record files: little-endian, no header. Saves return 1, or 0 when the
// file cannot be written (an existing file is then left as it was). Loads
// refuse a file whose counts, length or vertex indices do not agree.
int32_t MeshSaveRecords(const char* name, const MeshHeader* mesh);
MeshHeader* MeshLoadRecords(const char* name);
int32_t MeshPoolSaveFile(const char* name);
int32_t MeshPoolLoadFile(const char* name);
int32_t MeshFramesSaveFile(const char* name, const MeshFrameSet* set, const MeshHeader* mesh);
MeshFrameSet* MeshFramesLoadFile(const char* name, const MeshHeader* mesh);

// One vertex or face as the record files (and the track files built on them)
// store it: little-endian, field by field, 52 and 58 bytes.
constexpr uint32_t MESH_VERTEX_BYTES = 52;
constexpr uint32_t MESH_FACE_BYTES = 58;
void MeshEncodeVertex(const Vertex& v, uint8_t* bytes);
void MeshDecodeVertex(const uint8_t* bytes, Vertex* v);
void MeshEncodeFace(const Face& f, uint8_t* bytes);
void MeshDecodeFace(const uint8_t* bytes, Face* f);
// A stored face is usable when it has 3 or 4 corners, each below vertexCount.
bool MeshFaceRecordValid(const uint8_t* bytes, uint32_t vertexCount);
