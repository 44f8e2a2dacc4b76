// The texture manager's interface: loading TEX and 3DF textures, downloading
// them to the back end's texture memory, and the texture table that faces and
// models refer to by handle and by key. The loaders and downloads belong to
// each back end; the table and its helpers are shared (texture_table.cpp).
//
// gTextureTable is written by TexDownload, TexMemReset and TexReloadAll of the
// back end and by the texture-list loader of the 3D library.
#pragma once
#include <cstdint>

struct Face;
struct Vertex;

constexpr int TEX_PATH_SIZE = 30;
constexpr int TEX_KEY_SIZE = 9;
constexpr int TEX_TABLE_SIZE = 400;
constexpr uint32_t TEX_FILE_HEADER_SIZE = 24;

// Texel formats as TEX and 3DF files name them.
constexpr int32_t TEX_FMT_RGB_565 = 10;
constexpr int32_t TEX_FMT_ARGB_1555 = 11;
constexpr int32_t TEX_FMT_ARGB_4444 = 12;

// The size and format of a texture's largest level, and its texels while the
// record holds them.
struct TexInfo {
  uint32_t width;
  uint32_t height;
  int32_t smallLod;
  int32_t largeLod;
  int32_t aspect;
  int32_t format;
  uint8_t table[1024];  // palette / NCC table; unused by the 16-bit formats
  void* data;           // the texels, width x height x 2 bytes, host order
  uint32_t memRequired; // bytes of the largest level: width x height x 2
};

struct TextureRecord {
  char path[TEX_PATH_SIZE];
  char key[TEX_KEY_SIZE];
  TexInfo info;
  uint16_t sRange, tRange;
  int32_t handle;  // -1 = none
};

#pragma pack(push, 1)
struct TextureTableEntry {
  char path[TEX_PATH_SIZE];
  char key[TEX_KEY_SIZE];
  uint32_t handle;
  uint16_t sRange, tRange;
  uint16_t keyRed, keyGreen, keyBlue;  // 0xFFFF: no colour key
};
#pragma pack(pop)
static_assert(sizeof(TextureTableEntry) == 53, "texture table entries are saved as 53-byte records");

struct TextureTable {
  TextureTableEntry entries[TEX_TABLE_SIZE];
  int32_t count;
  int32_t texelBytes;
};
extern TextureTable gTextureTable;

// Shared helpers.
void TexSetColourKey(int32_t r, int32_t g, int32_t b);
char TexUpperChar(char c);
const char* TexKeyFromPath(const char* path);
const char* TexPathSetExt(const char* path, const char* extension);
void TexAlphaFromColour(uint16_t* texels, uint32_t width, uint32_t height);
void TexApplyColourKey(uint16_t* texels, uint32_t width, uint32_t height);
TextureTableEntry* TexFind(const char* path);
int32_t TexFindHandle(const char* path, int32_t* sRange, int32_t* tRange);
int32_t TexEntryInfo(int32_t index, int32_t* sRange, int32_t* tRange);
// The s and t ranges of a texture with this aspect code (3, square, for a
// code out of range).
void TexAspectRanges(int32_t aspect, uint16_t* sRange, uint16_t* tRange);
// A .TEX file's header, checked against the file's own length: sides powers
// of two up to 256 that agree with the aspect code, a 16-bit format, and all
// the texels present. Fills the size and format fields and memRequired.
bool TexParseHeader(const uint8_t* file, uint32_t size, TexInfo* info);

// The names of a texture being loaded: its key, and its path with the
// extension of the file it is read from.
struct TexLoadNames {
  char key[TEX_KEY_SIZE];
  char path[TEX_PATH_SIZE];
};
void TexTakeNames(TexLoadNames* names, const char* path, const char* extension);
void TexFillNames(TextureRecord* record, const TexLoadNames& names);
// A zeroed record from the pool with no handle yet; null when the pool is full.
TextureRecord* TexNewRecord();
// The start both back ends' TexLoadPacked share: the .TEX entry of `path` from
// the texture archive, and a new record holding its checked header and names
// (null when the header is bad or the pool full). A path too long for a name,
// or one the archive lacks, ends on the fatal error screen and returns null.
// The caller frees the file (MemFree) and, on failure, the record.
uint8_t* TexReadPacked(const char* path, uint32_t* size, TextureRecord** record);

// Each back end's own.
TextureRecord* TexLoad(const char* path);
TextureRecord* TexLoadUnfiltered(const char* path);
TextureRecord* TexLoadPacked(const char* path);
void TexFixupTexels(TextureRecord* record);
int32_t TexDownload(TextureRecord* record);
void TexDownloadTexels(int32_t handle, const uint16_t* texels);
void TexFree(TextureRecord* record);
void* TexLock(void* texels);
void TexUnlock(void* texels);
// Brings the current mesh's texture coordinates into the range the back end
// samples in; nothing where it samples in texels.
void TexNormalizeFaceCoords(TextureTable* table);
// The 3DS loader's step from a corner's mapping coordinates to the face's, in
// the units the back end samples in (texels, or the file's 0..1).
void MeshFaceTexCoords(Face* face, const Vertex* vertices, const TextureTableEntry* texture);
// One unit of the back end's texture coordinates, along s and t, in a
// texture's s and t ranges (the software accelerator's units, in which
// sprites and layer planes lay out their coordinates and divide by these):
// 1 where the back end samples in those ranges, the texture's ranges where it
// samples in 0..1.
void TexCoordUnits(uint32_t handle, float* sUnit, float* tUnit);
void TexMemReset();
void TexReloadAll();
