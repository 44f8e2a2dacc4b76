#include "backend_glide/texture.h"

#include <cstring>
#include <string>

#include "backend_glide/display.h"
#include "platform/game.h"
#include "platform/mem.h"
#include "platform/pak.h"

TextureTable gTextureTable;

namespace {

char gKeyBuffer[TEX_KEY_SIZE];
char gPathBuffer[TEX_PATH_SIZE];

constexpr int TEX_ARCHIVE_SLOT = 1;

struct AspectRanges {
  uint16_t s, t;
};
constexpr AspectRanges ASPECT_RANGES[7] = {{256, 32}, {256, 64}, {256, 128}, {256, 256},
                                            {128, 256}, {64, 256}, {32, 256}};

bool ColourKeySet() { return gRdrState.colourKeyR != -1; }

void SetRanges(TextureRecord* record) {
  int32_t aspect = record->info.aspect;
  if (aspect < 0 || aspect > 6) aspect = 3;
  record->sRange = ASPECT_RANGES[aspect].s;
  record->tRange = ASPECT_RANGES[aspect].t;
}

void FillNames(TextureRecord* record) {
  std::memcpy(record->key, gKeyBuffer, TEX_KEY_SIZE);
  std::memcpy(record->path, gPathBuffer, TEX_PATH_SIZE);
}

bool Reserve(TextureRecord* record, int32_t filter) {
  const Gfx3dfInfo& info = record->info;
  record->handle = GfxTexAllocateMemory(GFX_TMU0, GFX_MIPMAPLEVELMASK_BOTH, static_cast<int32_t>(info.width),
                                        static_cast<int32_t>(info.height), info.format, GFX_MIPMAP_DISABLE,
                                        info.smallLod, info.largeLod, info.aspect, GFX_TEXTURECLAMP_WRAP,
                                        GFX_TEXTURECLAMP_WRAP, filter, filter, 0.0f, false);
  return record->handle != -1;
}

void FreeRecord(TextureRecord* record) {
  if (record->info.data) MemFree(record->info.data);
  MemFree(record);
}

TextureRecord* NewRecord() {
  auto* record = static_cast<TextureRecord*>(MemAlloc(sizeof(TextureRecord)));
  if (record) {
    std::memset(record, 0, sizeof *record);
    record->handle = -1;
  }
  return record;
}

// A loose .3DF file through the accelerator's own reader.
TextureRecord* LoadLoose(const char* path, int32_t filter) {
  TexKeyFromPath(path);
  TexPathSetExt(path, ".3DF");
  TextureRecord* record = NewRecord();
  if (!record) return nullptr;
  if (!Gfx3dfGetInfo(gPathBuffer, &record->info)) {
    MemFree(record);
    return nullptr;
  }
  record->info.data = MemAlloc(record->info.memRequired);
  if (!record->info.data || !Gfx3dfLoad(gPathBuffer, &record->info)) {
    FreeRecord(record);
    return nullptr;
  }
  FillNames(record);
  SetRanges(record);
  if (!Reserve(record, filter)) {
    FreeRecord(record);
    return nullptr;
  }
  TexFixupTexels(record);
  gTextureTable.texelBytes += static_cast<int32_t>(record->info.memRequired);
  return record;
}

uint32_t ReadU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}

bool PowerOfTwoUpTo256(uint32_t v) { return v >= 1 && v <= 256 && (v & (v - 1)) == 0; }

// The aspect code a texture of this size must carry.
int32_t AspectOf(uint32_t width, uint32_t height) {
  for (int32_t code = 0; code <= 6; ++code) {
    int32_t shift = 3 - code;  // 8:1 .. 1:8
    if (shift >= 0 ? width == height << shift : height == width << -shift) return code;
  }
  return -1;
}

// A .TEX header that the file's own length backs up.
bool ValidTexHeader(const uint8_t* file, uint32_t size, Gfx3dfInfo* info) {
  if (size < TEX_FILE_HEADER_SIZE) return false;
  uint32_t width = ReadU32(file), height = ReadU32(file + 4);
  uint32_t aspect = ReadU32(file + 16), format = ReadU32(file + 20);
  if (!PowerOfTwoUpTo256(width) || !PowerOfTwoUpTo256(height)) return false;
  if (aspect > 6 || static_cast<int32_t>(aspect) != AspectOf(width, height)) return false;
  if (format != GFX_TEXFMT_RGB_565 && format != GFX_TEXFMT_ARGB_1555 && format != GFX_TEXFMT_ARGB_4444) return false;
  uint64_t texelBytes = uint64_t{width} * height * 2;
  if (uint64_t{size} < TEX_FILE_HEADER_SIZE + texelBytes) return false;
  info->width = width;
  info->height = height;
  info->smallLod = static_cast<int32_t>(ReadU32(file + 8));
  info->largeLod = static_cast<int32_t>(ReadU32(file + 12));
  info->aspect = static_cast<int32_t>(aspect);
  info->format = static_cast<int32_t>(format);
  info->memRequired = static_cast<uint32_t>(texelBytes);
  return true;
}

}  // namespace

void TexSetColourKey(int32_t r, int32_t g, int32_t b) {
  gRdrState.colourKeyR = r;
  gRdrState.colourKeyG = g;
  gRdrState.colourKeyB = b;
}

char TexUpperChar(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

const char* TexKeyFromPath(const char* path) {
  const char* name = std::strrchr(path, '\\');
  name = name ? name + 1 : path;
  int n = 0;
  while (n < TEX_KEY_SIZE - 1 && name[n] != '\0' && name[n] != '.') {
    gKeyBuffer[n] = TexUpperChar(name[n]);
    ++n;
  }
  gKeyBuffer[n] = '\0';
  return gKeyBuffer;
}

const char* TexPathSetExt(const char* path, const char* extension) {
  std::string result(path);
  if (!result.empty()) {
    size_t slash = result.rfind('\\');
    size_t dot = result.rfind('.');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) result.resize(dot);
    result += extension;
  }
  if (result.size() >= TEX_PATH_SIZE) result.clear();
  std::memcpy(gPathBuffer, result.c_str(), result.size() + 1);
  return gPathBuffer;
}

TextureRecord* TexLoad(const char* path) {
  if (gPakMounted) return TexLoadPacked(path);
  if (ColourKeySet()) return TexLoadUnfiltered(path);
  return LoadLoose(path, GFX_TEXTUREFILTER_BILINEAR);
}

TextureRecord* TexLoadUnfiltered(const char* path) {
  if (gPakMounted) return TexLoadPacked(path);
  return LoadLoose(path, GFX_TEXTUREFILTER_POINT_SAMPLED);
}

TextureRecord* TexLoadPacked(const char* path) {
  TexKeyFromPath(path);
  TexPathSetExt(path, ".3DF");
  size_t length = std::strlen(gPathBuffer);
  if (length < 3) return nullptr;
  std::memcpy(gPathBuffer + length - 3, "TEX", 3);

  uint32_t size = 0;
  uint8_t* file = PakLoadFile(gPathBuffer, TEX_ARCHIVE_SLOT, &size);
  if (!file) {
    GameFatalError(path);
    return nullptr;
  }
  std::memcpy(gPathBuffer + length - 3, "3DF", 3);

  TextureRecord* record = NewRecord();
  if (record && !ValidTexHeader(file, size, &record->info)) {
    MemFree(record);
    record = nullptr;
  }
  if (record) {
    record->info.data = MemAlloc(record->info.memRequired);
    if (record->info.data) {
      std::memcpy(record->info.data, file + TEX_FILE_HEADER_SIZE, record->info.memRequired);
      FillNames(record);
      SetRanges(record);
    }
    int32_t filter = ColourKeySet() ? GFX_TEXTUREFILTER_POINT_SAMPLED : GFX_TEXTUREFILTER_BILINEAR;
    if (!record->info.data || !Reserve(record, filter)) {
      FreeRecord(record);
      record = nullptr;
    } else {
      gTextureTable.texelBytes += static_cast<int32_t>(record->info.memRequired);
    }
  }
  MemFree(file);
  return record;
}

void TexFixupTexels(TextureRecord* record) {
  auto* texels = static_cast<uint16_t*>(record->info.data);
  if (!texels) return;
  // Only the formats with an alpha channel get an alpha pass; RGB565 has none
  // to set and is drawn opaque.
  if (record->info.format == GFX_TEXFMT_ARGB_4444)
    TexAlphaFromColour(texels, record->info.width, record->info.height);
  else if (record->info.format == GFX_TEXFMT_ARGB_1555)
    TexApplyColourKey(texels, record->info.width, record->info.height);
}

void TexAlphaFromColour(uint16_t* texels, uint32_t width, uint32_t height) {
  uint64_t n = uint64_t{width} * height;
  for (uint64_t i = 0; i < n; ++i) {
    uint16_t t = texels[i];
    uint16_t r = (t >> 8) & 0xF, g = (t >> 4) & 0xF, b = t & 0xF;
    uint16_t a = r > g ? r : g;
    if (b > a) a = b;
    texels[i] = static_cast<uint16_t>(a << 12 | (t & 0x0FFF));
  }
}

void TexApplyColourKey(uint16_t* texels, uint32_t width, uint32_t height) {
  uint64_t n = uint64_t{width} * height;
  const bool keyed = ColourKeySet();
  const uint16_t keyR = static_cast<uint16_t>(gRdrState.colourKeyR / 8);
  const uint16_t keyG = static_cast<uint16_t>(gRdrState.colourKeyG / 8);
  const uint16_t keyB = static_cast<uint16_t>(gRdrState.colourKeyB / 8);
  for (uint64_t i = 0; i < n; ++i) {
    uint16_t t = texels[i] & 0x7FFF;
    bool transparent = keyed && ((t >> 10) & 0x1F) == keyR && ((t >> 5) & 0x1F) == keyG && (t & 0x1F) == keyB;
    texels[i] = transparent ? t : static_cast<uint16_t>(t | 0x8000);
  }
}

int32_t TexDownload(TextureRecord* record) {
  if (!record || gTextureTable.count >= TEX_TABLE_SIZE) return -1;
  TextureTableEntry& entry = gTextureTable.entries[gTextureTable.count];
  std::memcpy(entry.key, record->key, TEX_KEY_SIZE);
  std::memcpy(entry.path, record->path, TEX_PATH_SIZE);
  entry.keyRed = static_cast<uint16_t>(gRdrState.colourKeyR);
  entry.keyGreen = static_cast<uint16_t>(gRdrState.colourKeyG);
  entry.keyBlue = static_cast<uint16_t>(gRdrState.colourKeyB);
  GfxTexDownloadMipMap(record->handle, static_cast<const uint16_t*>(record->info.data), nullptr);
  if (record->info.data) MemFree(record->info.data);
  record->info.data = nullptr;
  entry.handle = static_cast<uint32_t>(record->handle);
  entry.sRange = record->sRange;
  entry.tRange = record->tRange;
  ++gTextureTable.count;
  return record->handle;
}

void TexDownloadTexels(int32_t handle, const uint16_t* texels) { GfxTexDownloadMipMap(handle, texels, nullptr); }

void TexFree(TextureRecord* record) {
  if (record) FreeRecord(record);
}

void* TexLock(void* texels) { return texels; }

TextureTableEntry* TexFind(const char* path) {
  const char* key = TexKeyFromPath(path);
  for (int32_t i = 0; i < gTextureTable.count; ++i)
    if (std::strncmp(gTextureTable.entries[i].key, key, TEX_KEY_SIZE) == 0) return &gTextureTable.entries[i];
  return nullptr;
}

int32_t TexFindHandle(const char* path, int32_t* sRange, int32_t* tRange) {
  TextureTableEntry* entry = TexFind(path);
  if (!entry) return 0;
  *sRange = entry->sRange;
  *tRange = entry->tRange;
  return static_cast<int32_t>(entry->handle);
}

int32_t TexEntryInfo(int32_t index, int32_t* sRange, int32_t* tRange) {
  if (index < 0 || index >= gTextureTable.count) return 0;
  const TextureTableEntry& entry = gTextureTable.entries[index];
  *sRange = entry.sRange;
  *tRange = entry.tRange;
  return static_cast<int32_t>(entry.handle);
}

void TexMemReset() {
  gTextureTable.count = 0;
  gTextureTable.texelBytes = 0;
  GfxTexMemReset();
}

void TexReloadAll() {
  const int32_t count = gTextureTable.count;
  TexMemReset();
  for (int32_t i = 0; i < count; ++i) {
    // Reloading appends at the count, which never passes i: the entry read
    // here has not been overwritten yet.
    TextureTableEntry old = gTextureTable.entries[i];
    if (old.path[0] == '\0') continue;
    TexSetColourKey(static_cast<int16_t>(old.keyRed), static_cast<int16_t>(old.keyGreen),
                    static_cast<int16_t>(old.keyBlue));
    TextureRecord* record = TexLoad(old.path);
    TexDownload(record);
    TexFree(record);
  }
  TexSetColourKey(-1, -1, -1);
}
