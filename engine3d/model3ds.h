// The 3DS model loader: one file of the published chunk format becomes a mesh
// (vertices, faces bound to materials, textures through the texture table),
// placed by the caller's scale and matrix, centred, optionally welded, sorted
// by texture and given normals. Animation frames are further files with the
// same mesh in other positions.
//
// Models come from outside the program: every chunk length, count and index
// is checked against the file and the lists it refers to, and a file that does
// not agree is refused with null (or 0), freeing what the call allocated.
#pragma once
#include <cstdint>

#include "engine3d/mesh.h"

struct TextureTableEntry;

#pragma pack(push, 1)
// Supplied by the caller, usually a static record.
struct MeshPlacement {
  uint32_t unused;
  float scale;
  float weldTolerance;  // > 0: weld vertices closer than this on every axis
  float m[9];           // row by row: x' = m0 x + m1 y + m2 z, ...
  int8_t uFlag;         // > 0 keeps the mapping u as |u|; otherwise 1 - |u|
  int8_t vFlag;
};
#pragma pack(pop)
static_assert(sizeof(MeshPlacement) == 50);

constexpr int32_t MESH_MAX_MATERIALS = 400;
constexpr int32_t MESH_NAME_SIZE = 212;

// Chunk ids of the published format that the loader reads.
enum Mesh3dsChunk : uint16_t {
  CHUNK_MAIN = 0x4D4D,
  CHUNK_EDITOR = 0x3D3D,
  CHUNK_OBJECT = 0x4000,
  CHUNK_TRIMESH = 0x4100,
  CHUNK_VERTICES = 0x4110,
  CHUNK_FACES = 0x4120,
  CHUNK_FACE_MATERIAL = 0x4130,
  CHUNK_MAPPING = 0x4140,
  CHUNK_MATERIAL = 0xAFFF,
  CHUNK_AMBIENT = 0xA010,
  CHUNK_TEXTURE_MAP = 0xA200,
  CHUNK_MAP_NAME = 0xA300,
  CHUNK_KEYFRAMER = 0xB000,
  CHUNK_OBJECT_NODE = 0xB002,
  CHUNK_PIVOT = 0xB013,
  CHUNK_COLOUR_24 = 0x0011,
  CHUNK_LIN_COLOUR_24 = 0x0012,
};

// The whole file in memory and where the walk is in it.
struct MeshReader {
  const uint8_t* read;
  int32_t left;  // goes negative after a short read and then counts as the end
  uint8_t* buffer;
  uint32_t size;
};
extern MeshReader gMeshReader;

// Per-file tables of the loader, cleared at the start of every file.
struct MeshLoader {
  TextureTableEntry* materialTexture[MESH_MAX_MATERIALS];
  uint32_t materialColour[MESH_MAX_MATERIALS];
  int32_t materialIndex;  // -1 before the first material
  int32_t groupCounter;
  int32_t faceListsRead;
  char name[MESH_NAME_SIZE];
  float scale;
  float m[9];
  int8_t uFlag, vFlag;
};
extern MeshLoader gMeshLoader;

MeshHeader* MeshLoad3ds(const char* fileName, const char* texturePrefix, const MeshPlacement* placement);
MeshFrameSet* MeshLoadFrames(const char* const* fileNames, const MeshHeader* base, const MeshPlacement* placement);
int32_t MeshLoadFrame(const char* fileName, const MeshHeader* base, MeshFrame* frame);
int32_t MeshLoad3dsToPool(const char* fileName, const char* texturePrefix, const MeshPlacement* placement);
// The parse of the file the reader holds (MeshFileOpen or MeshFileOpenBuffer);
// the buffer is freed whatever the result.
MeshHeader* MeshLoad3dsOpened(const char* texturePrefix, const MeshPlacement* placement);

void MeshWeld(MeshHeader* mesh, const MeshPlacement* placement);
void MeshWeldVertices(Vertex* vertices, Face* faces, uint16_t* vertexCount, uint16_t* faceCount, float tolerance);
void MeshSortFacesByTexture(MeshHeader* mesh);
// The face's texture coordinates from its corners' 3DS mapping coordinates
// (held in the vertices' view x and y while loading), scaled to texels: the
// software back end's form of MeshFaceTexCoords (backend_common/texture.h).
void MeshScaleFaceTexCoords(Face* face, const Vertex* vertices, const TextureTableEntry* texture);

int32_t MeshFileOpen(const char* name);
// Takes a pool buffer of `size` bytes as the file (freed by the reader).
int32_t MeshFileOpenBuffer(uint8_t* buffer, uint32_t size);
uint32_t MeshFileRead(void* destination, uint32_t n);
void MeshFileSkip(uint32_t n);
// The next chunk id with its length, or 0 at the end of the data (the buffer
// is then freed).
uint16_t MeshFileReadChunk(uint32_t* length);
void MeshFileClose();
uint32_t MeshColour24(uint8_t r, uint8_t g, uint8_t b);
