// Textures on the device layer's surfaces: each is read into a system-memory
// surface (from a .TEX file in the archives, texels ready, or from a loose
// .3DF file) and copied by TexDownload into a video-memory texture that the
// drawing code binds by handle. Faces sample in 0..1.
#include <algorithm>
#include <cstring>
#include <vector>

#include "backend_common/drum_glyph.h"
#include "backend_d3d/d3d_backend.h"
#include "engine3d/mesh.h"
#include "hal/fs.h"
#include "hal/tex3df.h"
#include "platform/fatal.h"
#include "platform/mem.h"
#include "platform/pak.h"

TexSurfacePair gTexSurfaces[TEX_TABLE_SIZE];

namespace {

TexLoadNames gNames;

bool ColourKeySet() { return gRdrState.colourKeyR != -1; }

HalPixelFormat PixelFormatOf(int32_t format) {
  switch (format) {
    case TEX_FMT_RGB_565: return HAL_PIXEL_RGB565;
    case TEX_FMT_ARGB_1555: return HAL_PIXEL_ARGB1555;
    case TEX_FMT_ARGB_4444: return HAL_PIXEL_ARGB4444;
    default: return HAL_PIXEL_NONE;
  }
}

HalObject CreateSystemSurface(const TexInfo& info) {
  HalSurfaceDesc desc{};
  desc.caps = HAL_CAPS_TEXTURE | HAL_CAPS_SYSTEMMEMORY;
  desc.width = static_cast<int32_t>(info.width);
  desc.height = static_cast<int32_t>(info.height);
  desc.format = PixelFormatOf(info.format);
  return HalDDrawCreateSurface(gD3d.ddraw, desc);
}

HalObject SurfaceOf(const TextureRecord* record) {
  return static_cast<HalObject>(reinterpret_cast<uintptr_t>(record->info.data));
}

void SetSurface(TextureRecord* record, HalObject surface) {
  record->info.data = reinterpret_cast<void*>(static_cast<uintptr_t>(surface));
}

// The ranges of the loose-file path: one less than the archives' (255 on the
// long side), as the game has always loaded them.
void SetLooseRanges(TextureRecord* record) {
  TexAspectRanges(record->info.aspect, &record->sRange, &record->tRange);
  --record->sRange;
  --record->tRange;
}

// Copies rows of texels into a locked surface, row by row at its pitch;
// `swap` takes them from big-endian and, for 1555, turns the stored alpha bit
// the right way round.
void FillRows(uint8_t* out, int32_t pitch, const uint8_t* in, const TexInfo& info, bool swap) {
  const uint32_t rowBytes = info.width * 2;
  for (uint32_t y = 0; y < info.height; ++y) {
    uint8_t* row = out + static_cast<size_t>(y) * static_cast<size_t>(pitch);
    const uint8_t* src = in + static_cast<size_t>(y) * rowBytes;
    if (!swap) {
      std::memcpy(row, src, rowBytes);
      continue;
    }
    for (uint32_t x = 0; x < info.width; ++x) {
      uint16_t t = static_cast<uint16_t>(src[2 * x] << 8 | src[2 * x + 1]);
      if (info.format == TEX_FMT_ARGB_1555) t ^= 0x8000;
      std::memcpy(row + 2 * x, &t, 2);
    }
  }
}

void ReleasePair(int32_t index) {
  TexSurfacePair& pair = gTexSurfaces[index];
  if (pair.texture) HalObjectRelease(pair.texture);
  if (pair.surface) HalObjectRelease(pair.surface);
  pair = TexSurfacePair{};
}

}  // namespace

bool Tex3dfReadHeader(int fd, TexInfo* info) {
  const int64_t length = HalFdLength(fd);
  if (length < 0 || HalFdSeek(fd, 0, 0) != 0) return false;
  uint8_t head[HAL_3DF_HEADER_LIMIT];
  const int64_t got = HalFdRead(fd, head, sizeof head);
  if (got < 0) return false;
  Hal3dfHeader h;
  size_t offset = 0;
  if (!Hal3dfParseHeader(head, static_cast<size_t>(got), static_cast<uint64_t>(length), &h, &offset)) return false;
  if (HalFdSeek(fd, static_cast<int64_t>(offset), 0) != static_cast<int64_t>(offset)) return false;
  info->width = h.width;
  info->height = h.height;
  info->smallLod = h.smallLod;
  info->largeLod = h.largeLod;
  info->aspect = h.aspect;
  info->format = h.format;
  info->memRequired = h.memRequired;
  return true;
}

namespace {

TextureRecord* LoadLoose(const char* path) {
  TexTakeNames(&gNames, path, ".3DF");
  TextureRecord* record = TexNewRecord();
  if (!record) return nullptr;
  const int fd = HalFdOpen(gNames.path, HAL_OPEN_READ);
  if (fd < 0) {
    MemFree(record);
    return nullptr;
  }
  TexInfo& info = record->info;
  std::vector<uint8_t> texels;
  bool ok = Tex3dfReadHeader(fd, &info);
  if (ok) {
    texels.resize(info.memRequired);
    ok = HalFdRead(fd, texels.data(), texels.size()) == static_cast<int64_t>(texels.size());
  }
  HalFdClose(fd);
  if (!ok) {
    MemFree(record);
    return nullptr;
  }
  TexFillNames(record, gNames);
  SetLooseRanges(record);
  const HalObject surface = CreateSystemSurface(info);
  if (!surface) {
    MemFree(record);
    return nullptr;
  }
  int32_t pitch = 0;
  auto* out = static_cast<uint8_t*>(HalSurfaceLock(surface, &pitch));
  if (!out) {
    HalObjectRelease(surface);
    MemFree(record);
    return nullptr;
  }
  FillRows(out, pitch, texels.data(), info, true);
  HalSurfaceUnlock(surface);
  SetSurface(record, surface);
  TexFixupTexels(record);
  gTextureTable.texelBytes += static_cast<int32_t>(info.memRequired);
  return record;
}

}  // namespace

TextureRecord* TexLoad(const char* path) {
  if (gPakMounted) return TexLoadPacked(path);
  if (ColourKeySet()) return TexLoadUnfiltered(path);
  return LoadLoose(path);
}

// Filtering is a device state here, so the path is the same as TexLoad's.
TextureRecord* TexLoadUnfiltered(const char* path) {
  if (gPakMounted) return TexLoadPacked(path);
  return LoadLoose(path);
}

TextureRecord* TexLoadPacked(const char* path) {
  uint32_t size = 0;
  TextureRecord* record = nullptr;
  uint8_t* file = TexReadPacked(path, &size, &record);
  if (!file) return nullptr;
  HalObject surface = 0;
  uint8_t* out = nullptr;
  int32_t pitch = 0;
  if (record) surface = CreateSystemSurface(record->info);
  if (surface) out = static_cast<uint8_t*>(HalSurfaceLock(surface, &pitch));
  if (record && out) {
    TexAspectRanges(record->info.aspect, &record->sRange, &record->tRange);
    FillRows(out, pitch, file + TEX_FILE_HEADER_SIZE, record->info, false);
    HalSurfaceUnlock(surface);
    SetSurface(record, surface);
    gTextureTable.texelBytes += static_cast<int32_t>(record->info.memRequired);
  } else {
    if (surface) HalObjectRelease(surface);
    if (record) MemFree(record);
    record = nullptr;
  }
  MemFree(file);
  return record;
}

void TexFixupTexels(TextureRecord* record) {
  void* surface = record->info.data;
  if (!surface) return;
  int32_t pitch = 0;
  auto* texels = static_cast<uint8_t*>(HalSurfaceLock(SurfaceOf(record), &pitch));
  if (!texels) return;
  // Only the formats with an alpha channel get an alpha pass: RGB565 has none,
  // and setting its top bit would change its red.
  for (uint32_t y = 0; y < record->info.height; ++y) {
    auto* row = reinterpret_cast<uint16_t*>(texels + static_cast<size_t>(y) * static_cast<size_t>(pitch));
    if (record->info.format == TEX_FMT_ARGB_4444)
      TexAlphaFromColour(row, record->info.width, 1);
    else if (record->info.format == TEX_FMT_ARGB_1555)
      TexApplyColourKey(row, record->info.width, 1);
  }
  HalSurfaceUnlock(SurfaceOf(record));
}

// A record's texel pointer is a surface here, and locking gives its memory;
// a pool block of texels (a screen grab) is its own memory.
void* TexLock(void* texels) {
  if (MemBlockSize(texels) > 0) return texels;
  return HalSurfaceLock(static_cast<HalObject>(reinterpret_cast<uintptr_t>(texels)), nullptr);
}

void TexUnlock(void* texels) {
  if (MemBlockSize(texels) > 0) return;
  HalSurfaceUnlock(static_cast<HalObject>(reinterpret_cast<uintptr_t>(texels)));
}

int32_t TexDownload(TextureRecord* record) {
  if (!record || gTextureTable.count >= TEX_TABLE_SIZE || !SurfaceOf(record)) return -1;
  const int32_t index = gTextureTable.count;
  TextureTableEntry& entry = gTextureTable.entries[index];
  const bool keyed = !gD3d.alphaTest && ColourKeySet();
  HalSurfaceDesc desc{};
  desc.caps = HAL_CAPS_TEXTURE | HAL_CAPS_VIDEOMEMORY | HAL_CAPS_ALLOCONLOAD;
  desc.width = static_cast<int32_t>(record->info.width);
  desc.height = static_cast<int32_t>(record->info.height);
  desc.format = PixelFormatOf(record->info.format);
  desc.sourceColourKey = keyed;
  TexSurfacePair pair{};
  pair.width = desc.width;
  pair.surface = HalDDrawCreateSurface(gD3d.ddraw, desc);
  if (pair.surface) pair.texture = HalSurfaceQueryTexture(pair.surface);
  // A failed step leaves nothing behind: the table and the pairs are as before.
  bool ok = pair.texture && HalTextureLoad(pair.texture, pair.texture) &&
            HalSurfaceBlt(pair.surface, nullptr, SurfaceOf(record), nullptr);
  if (ok && keyed) {
    const uint32_t key = static_cast<uint32_t>(gRdrState.colourKeyR & 0xFF) << 16 |
                         static_cast<uint32_t>(gRdrState.colourKeyG & 0xFF) << 8 |
                         static_cast<uint32_t>(gRdrState.colourKeyB & 0xFF);
    ok = HalSurfaceSetColourKey(pair.surface, key, key);
  }
  if (!ok) {
    if (pair.texture) HalObjectRelease(pair.texture);
    if (pair.surface) HalObjectRelease(pair.surface);
    return -1;
  }
  HalObjectRelease(SurfaceOf(record));
  record->info.data = nullptr;
  record->handle = index;
  gTexSurfaces[index] = pair;
  std::memcpy(entry.key, record->key, TEX_KEY_SIZE);
  std::memcpy(entry.path, record->path, TEX_PATH_SIZE);
  entry.keyRed = static_cast<uint16_t>(gRdrState.colourKeyR);
  entry.keyGreen = static_cast<uint16_t>(gRdrState.colourKeyG);
  entry.keyBlue = static_cast<uint16_t>(gRdrState.colourKeyB);
  entry.handle = static_cast<uint32_t>(index);
  entry.sRange = record->sRange;
  entry.tRange = record->tRange;
  ++gTextureTable.count;
  return index;
}

// Texels in the texture's own layout, rows of its width; a pool block gives
// no more than it holds.
void TexDownloadTexels(int32_t handle, const uint16_t* texels) {
  if (!texels || handle < 0 || handle >= gTextureTable.count || !gTexSurfaces[handle].surface) return;
  const HalObject surface = gTexSurfaces[handle].surface;
  HalSurfaceDesc desc{};
  if (!HalSurfaceGetDesc(surface, &desc) || desc.width <= 0 || desc.height <= 0) return;
  uint64_t available = uint64_t(desc.width) * uint64_t(desc.height);
  if (const uint32_t held = MemBlockSize(texels)) available = std::min<uint64_t>(available, held / 2);
  int32_t pitch = 0;
  auto* out = static_cast<uint8_t*>(HalSurfaceLock(surface, &pitch));
  if (!out) return;
  for (int32_t y = 0; y < desc.height; ++y) {
    const uint64_t first = uint64_t(y) * uint64_t(desc.width);
    if (first >= available) break;
    const uint64_t n = std::min<uint64_t>(uint64_t(desc.width), available - first);
    std::memcpy(out + static_cast<size_t>(y) * static_cast<size_t>(pitch), texels + first, n * 2);
  }
  HalSurfaceUnlock(surface);
}

void TexFree(TextureRecord* record) {
  if (!record) return;
  if (SurfaceOf(record)) HalObjectRelease(SurfaceOf(record));
  MemFree(record);
}

void TexMemReset() {
  for (int32_t i = 0; i < TEX_TABLE_SIZE; ++i) ReleasePair(i);
  gTextureTable.count = 0;
  gTextureTable.texelBytes = 0;
}

void MeshCopyFaceTexCoords(Face* face, const Vertex* vertices) {
  for (int k = 0; k < 3; ++k) {
    const Vertex& v = vertices[face->index[k]];
    face->st[2 * k] = v.viewX;
    face->st[2 * k + 1] = v.viewY;
  }
}

// The 3DS loader's step: this back end samples in 0..1, as the file maps.
void MeshFaceTexCoords(Face* face, const Vertex* vertices, const TextureTableEntry*) {
  MeshCopyFaceTexCoords(face, vertices);
}

// This back end samples in 0..1 of the texture.
void TexCoordUnits(uint32_t handle, float* sUnit, float* tUnit) {
  *sUnit = 1.0f;
  *tUnit = 1.0f;
  if (handle >= static_cast<uint32_t>(gTextureTable.count) || handle >= static_cast<uint32_t>(TEX_TABLE_SIZE)) return;
  const TextureTableEntry& e = gTextureTable.entries[handle];
  if (e.sRange) *sUnit = e.sRange;
  if (e.tRange) *tUnit = e.tRange;
}

void TexNormalizeFaceCoords(TextureTable* table) {
  if (!table || !gMesh.faces) return;
  for (int32_t i = 0; i < gMesh.faceCount; ++i) {
    Face& f = gMesh.faces[i];
    const uint32_t id = f.type & 0xFFFFFF;
    // A face naming a texture the table does not hold is left as it is.
    if (id >= static_cast<uint32_t>(table->count)) continue;
    const TextureTableEntry& e = table->entries[id];
    const float s = e.sRange, t = e.tRange;
    if (s == 0.0f || t == 0.0f) continue;
    for (int k = 0; k < 4; ++k) {
      f.st[2 * k] /= s;
      f.st[2 * k + 1] /= t;
    }
  }
}

void MenuDrumMapGlyph(MeshHeader* ring, int32_t position, int32_t font0, int32_t font1) {
  // The cell's origin on the font's nominal 256 x 256 texels, the offset
  // within it on the texture's own size.
  DrumMapGlyphFaces(ring, position, font0, font1,
                    [](int32_t font, int32_t cellU, int32_t cellV, int32_t du, int32_t dv, float* s, float* t) {
                      float w = 1.0f, h = 1.0f;
                      TexCoordUnits(static_cast<uint32_t>(font), &w, &h);
                      *s = static_cast<float>(cellU) / DRUM_FONT_SIZE + static_cast<float>(du) / w;
                      *t = static_cast<float>(cellV) / DRUM_FONT_SIZE + static_cast<float>(dv) / h;
                    });
}
