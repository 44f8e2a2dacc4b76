#include <cstring>
#include <string>

#include "backend_common/display.h"
#include "backend_common/texture.h"
#include "engine3d/lebytes.h"
#include "platform/fatal.h"
#include "platform/mem.h"
#include "platform/pak.h"

TextureTable gTextureTable;

namespace {

char gKeyBuffer[TEX_KEY_SIZE];
char gPathBuffer[TEX_PATH_SIZE];

struct AspectRanges {
  uint16_t s, t;
};
constexpr AspectRanges ASPECT_RANGES[7] = {{256, 32}, {256, 64}, {256, 128}, {256, 256},
                                            {128, 256}, {64, 256}, {32, 256}};

bool ColourKeySet() { return gRdrState.colourKeyR != -1; }

bool PowerOfTwoUpTo256(uint32_t v) { return v >= 1 && v <= 256 && (v & (v - 1)) == 0; }

// The aspect code a texture of this size must carry.
int32_t AspectOf(uint32_t width, uint32_t height) {
  for (int32_t code = 0; code <= 6; ++code) {
    int32_t shift = 3 - code;  // 8:1 .. 1:8
    if (shift >= 0 ? width == height << shift : height == width << -shift) return code;
  }
  return -1;
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

void TexAspectRanges(int32_t aspect, uint16_t* sRange, uint16_t* tRange) {
  if (aspect < 0 || aspect > 6) aspect = 3;
  *sRange = ASPECT_RANGES[aspect].s;
  *tRange = ASPECT_RANGES[aspect].t;
}

bool TexParseHeader(const uint8_t* file, uint32_t size, TexInfo* info) {
  if (size < TEX_FILE_HEADER_SIZE) return false;
  uint32_t width = GetU32(file), height = GetU32(file + 4);
  uint32_t aspect = GetU32(file + 16), format = GetU32(file + 20);
  if (!PowerOfTwoUpTo256(width) || !PowerOfTwoUpTo256(height)) return false;
  if (aspect > 6 || static_cast<int32_t>(aspect) != AspectOf(width, height)) return false;
  if (format != TEX_FMT_RGB_565 && format != TEX_FMT_ARGB_1555 && format != TEX_FMT_ARGB_4444) return false;
  uint64_t texelBytes = uint64_t{width} * height * 2;
  if (uint64_t{size} < TEX_FILE_HEADER_SIZE + texelBytes) return false;
  info->width = width;
  info->height = height;
  info->smallLod = static_cast<int32_t>(GetU32(file + 8));
  info->largeLod = static_cast<int32_t>(GetU32(file + 12));
  info->aspect = static_cast<int32_t>(aspect);
  info->format = static_cast<int32_t>(format);
  info->memRequired = static_cast<uint32_t>(texelBytes);
  return true;
}

void TexTakeNames(TexLoadNames* names, const char* path, const char* extension) {
  std::memcpy(names->key, TexKeyFromPath(path), TEX_KEY_SIZE);
  std::memcpy(names->path, TexPathSetExt(path, extension), TEX_PATH_SIZE);
}

void TexFillNames(TextureRecord* record, const TexLoadNames& names) {
  std::memcpy(record->key, names.key, TEX_KEY_SIZE);
  std::memcpy(record->path, names.path, TEX_PATH_SIZE);
}

TextureRecord* TexNewRecord() {
  auto* record = static_cast<TextureRecord*>(MemAlloc(sizeof(TextureRecord)));
  if (record) {
    std::memset(record, 0, sizeof *record);
    record->handle = -1;
  }
  return record;
}

uint8_t* TexReadPacked(const char* path, uint32_t* size, TextureRecord** record) {
  constexpr int TEX_ARCHIVE_SLOT = 1;
  *record = nullptr;
  TexLoadNames names;
  TexTakeNames(&names, path, ".TEX");
  // A path too long for a name finds no file in the archive either.
  if (std::strlen(names.path) < 4) {
    GameFatalError(path);
    return nullptr;
  }
  uint8_t* file = PakLoadFile(names.path, TEX_ARCHIVE_SLOT, size);
  if (!file) {
    GameFatalError(path);
    return nullptr;
  }
  // The record keeps the name the texture has everywhere else.
  TexTakeNames(&names, path, ".3DF");
  TextureRecord* made = TexNewRecord();
  if (made && !TexParseHeader(file, *size, &made->info)) {
    MemFree(made);
    made = nullptr;
  }
  if (made) TexFillNames(made, names);
  *record = made;
  return file;
}
