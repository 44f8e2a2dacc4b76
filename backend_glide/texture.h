// The texture manager: loads TEX and 3DF textures, applies the alpha rules,
// reserves texture memory, downloads texels and keeps the texture table that
// faces and models refer to by handle and by key.
#pragma once
#include <cstdint>

#include "hal/gfx/gfx3df.h"

constexpr int TEX_PATH_SIZE = 30;
constexpr int TEX_KEY_SIZE = 9;
constexpr int TEX_TABLE_SIZE = 400;
constexpr uint32_t TEX_FILE_HEADER_SIZE = 24;

struct TextureRecord {
  char path[TEX_PATH_SIZE];
  char key[TEX_KEY_SIZE];
  Gfx3dfInfo info;
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

void TexSetColourKey(int32_t r, int32_t g, int32_t b);
char TexUpperChar(char c);
const char* TexKeyFromPath(const char* path);
const char* TexPathSetExt(const char* path, const char* extension);
TextureRecord* TexLoad(const char* path);
TextureRecord* TexLoadUnfiltered(const char* path);
TextureRecord* TexLoadPacked(const char* path);
void TexFixupTexels(TextureRecord* record);
void TexAlphaFromColour(uint16_t* texels, uint32_t width, uint32_t height);
void TexApplyColourKey(uint16_t* texels, uint32_t width, uint32_t height);
int32_t TexDownload(TextureRecord* record);
void TexDownloadTexels(int32_t handle, const uint16_t* texels);
void TexFree(TextureRecord* record);
void* TexLock(void* texels);
TextureTableEntry* TexFind(const char* path);
int32_t TexFindHandle(const char* path, int32_t* sRange, int32_t* tRange);
int32_t TexEntryInfo(int32_t index, int32_t* sRange, int32_t* tRange);
void TexMemReset();
void TexReloadAll();
