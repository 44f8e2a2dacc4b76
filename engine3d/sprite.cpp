#include "engine3d/sprite.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "backend_common/texture.h"
#include "engine3d/lebytes.h"
#include "hal/fs.h"
#include "platform/fatal.h"
#include "platform/mem.h"

namespace {

constexpr uint32_t SPRITE_TYPE = 0x04000000;
constexpr uint32_t CROSS_TYPE = 0x0B000000;
constexpr size_t TEX_ENTRY_BYTES = 53;
static_assert(TEX_ENTRY_BYTES == TEX_PATH_SIZE + TEX_KEY_SIZE + 4 + 5 * 2);
// A sprite keeps its texture in the low byte of its type word; the bits above
// belong to other uses (a glow's strength), so a texture past 255 cannot be
// named by a sprite at all.
constexpr uint32_t SPRITE_TEXTURE_LIMIT = 256;

// The handle and ranges of a texture, loading and downloading it when the
// table does not have it yet; false when it cannot be had.
bool TextureFor(const char* name, bool pointSampled, uint32_t* handle, uint16_t* sRange, uint16_t* tRange) {
  if (const TextureTableEntry* entry = TexFind(name)) {
    *handle = entry->handle;
    *sRange = entry->sRange;
    *tRange = entry->tRange;
    return true;
  }
  TextureRecord* record = pointSampled ? TexLoadUnfiltered(name) : TexLoad(name);
  if (!record) return false;
  *sRange = record->sRange;
  *tRange = record->tRange;
  int32_t id = TexDownload(record);
  TexFree(record);
  if (id == -1) return false;
  *handle = static_cast<uint32_t>(id);
  return true;
}

Sprite* MakeSprite(const char* name, float width, float height, bool pointSampled) {
  uint32_t handle;
  uint16_t s, t;
  if (!TextureFor(name, pointSampled, &handle, &s, &t)) return nullptr;
  if (handle >= SPRITE_TEXTURE_LIMIT) {
    std::string message = std::string("SPRITE TEXTURE ") + (name ? name : "");
    GameFatalError(message.c_str());
    return nullptr;
  }
  auto* sprite = static_cast<Sprite*>(MemAlloc(sizeof(Sprite)));
  if (!sprite) return nullptr;
  sprite->type = handle | SPRITE_TYPE;
  sprite->halfWidth = width * 0.5f;
  sprite->halfHeight = height * 0.5f;
  // Filtered sprites keep two texels off the edge so no neighbouring texel bleeds in.
  const float inset = pointSampled ? 0.0f : 2.0f;
  const float last = pointSampled ? 1.0f : 2.0f;
  sprite->s0 = inset;
  sprite->t0 = inset;
  sprite->s1 = static_cast<float>(s) - last;
  sprite->t1 = static_cast<float>(t) - last;
  // Laid out in the texture's ranges; the back end may sample in other units.
  float sUnit = 1.0f, tUnit = 1.0f;
  TexCoordUnits(handle, &sUnit, &tUnit);
  sprite->s0 /= sUnit;
  sprite->s1 /= sUnit;
  sprite->t0 /= tUnit;
  sprite->t1 /= tUnit;
  return sprite;
}

}  // namespace

Sprite* ObjCreateSprite(const char* name, float width, float height) { return MakeSprite(name, width, height, false); }

Sprite* ObjCreateSpritePoint(const char* name, float width, float height) {
  return MakeSprite(name, width, height, true);
}

Sprite* ObjCreateCross(const char* name, float width, float height) {
  Sprite* sprite = ObjCreateSpritePoint(name, width, height);
  if (sprite) sprite->type = (sprite->type & 0x00FFFFFF) | CROSS_TYPE;
  return sprite;
}

void ObjFreeSprite(Sprite* sprite) {
  if (sprite) MemFree(sprite);
}

int32_t TexListSaveFile(const char* name) {
  std::vector<uint8_t> out(4 + size_t{static_cast<uint32_t>(gTextureTable.count)} * TEX_ENTRY_BYTES);
  PutU32(out.data(), static_cast<uint32_t>(gTextureTable.count));
  uint8_t* p = out.data() + 4;
  for (int32_t i = 0; i < gTextureTable.count; ++i, p += TEX_ENTRY_BYTES) {
    const TextureTableEntry& e = gTextureTable.entries[i];
    std::memcpy(p, e.path, TEX_PATH_SIZE);
    std::memcpy(p + TEX_PATH_SIZE, e.key, TEX_KEY_SIZE);
    PutU32(p + TEX_PATH_SIZE + TEX_KEY_SIZE, e.handle);
    const uint16_t tail[] = {e.sRange, e.tRange, e.keyRed, e.keyGreen, e.keyBlue};
    for (int k = 0; k < 5; ++k) PutU16(p + TEX_PATH_SIZE + TEX_KEY_SIZE + 4 + 2 * k, tail[k]);
  }
  return HalWriteFileAtomic(name, out.data(), out.size()) ? 1 : 0;
}

int32_t TexListLoadFile(const char* name) {
  std::FILE* f = std::fopen(HalResolvePath(name).c_str(), "rb");
  if (!f) return 0;
  std::vector<uint8_t> data;
  uint8_t buffer[4096];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) data.insert(data.end(), buffer, buffer + n);
  std::fclose(f);
  // The count must fit the table and agree with the file's length exactly.
  if (data.size() < 4) return 0;
  const uint32_t count = GetU32(data.data());
  if (count > TEX_TABLE_SIZE || data.size() != 4 + size_t{count} * TEX_ENTRY_BYTES) return 0;

  gTextureTable.count = 0;
  for (uint32_t i = 0; i < count; ++i) {
    char key[TEX_KEY_SIZE];
    std::memcpy(key, &data[4 + i * TEX_ENTRY_BYTES + TEX_PATH_SIZE], TEX_KEY_SIZE);
    key[TEX_KEY_SIZE - 1] = '\0';
    TextureRecord* record = TexLoad(key);
    if (!record) return 0;
    const int32_t handle = TexDownload(record);
    TexFree(record);
    if (handle == -1) return 0;
  }
  return 1;
}
