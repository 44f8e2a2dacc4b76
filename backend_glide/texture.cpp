#include "backend_glide/glide.h"

#include <cstring>
#include <string>

#include "backend_common/drum_glyph.h"
#include "engine3d/model3ds.h"
#include "hal/gfx/gfx3df.h"
#include "platform/fatal.h"
#include "platform/mem.h"
#include "platform/pak.h"

namespace {

TexLoadNames gNames;

bool ColourKeySet() { return gRdrState.colourKeyR != -1; }

void SetRanges(TextureRecord* record) { TexAspectRanges(record->info.aspect, &record->sRange, &record->tRange); }

bool Reserve(TextureRecord* record, int32_t filter) {
  const TexInfo& info = record->info;
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

// A loose .3DF file through the accelerator's own reader.
TextureRecord* LoadLoose(const char* path, int32_t filter) {
  TexTakeNames(&gNames, path, ".3DF");
  TextureRecord* record = TexNewRecord();
  if (!record) return nullptr;
  Gfx3dfInfo file{};
  if (!Gfx3dfGetInfo(gNames.path, &file)) {
    MemFree(record);
    return nullptr;
  }
  file.data = MemAlloc(file.memRequired);
  record->info = TexInfo{file.width, file.height, file.smallLod, file.largeLod, file.aspect, file.format, {},
                         file.data, file.memRequired};
  std::memcpy(record->info.table, file.table, sizeof file.table);
  if (!file.data || !Gfx3dfLoad(gNames.path, &file)) {
    FreeRecord(record);
    return nullptr;
  }
  TexFillNames(record, gNames);
  SetRanges(record);
  if (!Reserve(record, filter)) {
    FreeRecord(record);
    return nullptr;
  }
  TexFixupTexels(record);
  gTextureTable.texelBytes += static_cast<int32_t>(record->info.memRequired);
  return record;
}

}  // namespace

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
  uint32_t size = 0;
  TextureRecord* record = nullptr;
  uint8_t* file = TexReadPacked(path, &size, &record);
  if (!file) return nullptr;
  if (record) {
    record->info.data = MemAlloc(record->info.memRequired);
    if (record->info.data) {
      std::memcpy(record->info.data, file + TEX_FILE_HEADER_SIZE, record->info.memRequired);
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
  if (record->info.format == TEX_FMT_ARGB_4444)
    TexAlphaFromColour(texels, record->info.width, record->info.height);
  else if (record->info.format == TEX_FMT_ARGB_1555)
    TexApplyColourKey(texels, record->info.width, record->info.height);
}

int32_t TexDownload(TextureRecord* record) {
  if (!record || gTextureTable.count >= TEX_TABLE_SIZE) return -1;
  // A record downloaded once has no texels left, and a download the board
  // refuses leaves nothing to draw: neither may take a table entry. The
  // record keeps whatever texels it has, for the caller to free.
  if (!record->info.data ||
      !GfxTexDownloadMipMap(record->handle, static_cast<const uint16_t*>(record->info.data), nullptr))
    return -1;
  TextureTableEntry& entry = gTextureTable.entries[gTextureTable.count];
  std::memcpy(entry.key, record->key, TEX_KEY_SIZE);
  std::memcpy(entry.path, record->path, TEX_PATH_SIZE);
  entry.keyRed = static_cast<uint16_t>(gRdrState.colourKeyR);
  entry.keyGreen = static_cast<uint16_t>(gRdrState.colourKeyG);
  entry.keyBlue = static_cast<uint16_t>(gRdrState.colourKeyB);
  MemFree(record->info.data);
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
// Texels stay in the record's own memory here: there is nothing to unlock,
// and faces address textures in texels.
void TexUnlock(void*) {}
void TexNormalizeFaceCoords(TextureTable*) {}

void MeshFaceTexCoords(Face* face, const Vertex* vertices, const TextureTableEntry* texture) {
  MeshScaleFaceTexCoords(face, vertices, texture);
}

// The accelerator samples in texels.
void TexCoordUnits(uint32_t, float* sUnit, float* tUnit) {
  *sUnit = 1.0f;
  *tUnit = 1.0f;
}

void TexMemReset() {
  gTextureTable.count = 0;
  gTextureTable.texelBytes = 0;
  GfxTexMemReset();
}

void MenuDrumMapGlyph(MeshHeader* ring, int32_t position, int32_t font0, int32_t font1) {
  // The accelerator samples in texels.
  DrumMapGlyphFaces(ring, position, font0, font1, DrumTexelsInTexels);
}
