// The 3DS loader on arbitrary file contents: whatever
// the bytes, a load either gives a mesh whose every face names its own
// vertices, or null, and never reads or writes out of bounds.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "backend_glide/texture.h"
#include "engine3d/mesh.h"
#include "engine3d/model3ds.h"
#include "platform/mem.h"

// A texture manager that knows every name: textured groups take the texel
// path without a renderer behind them.
TextureTable gTextureTable;
TextureTableEntry* TexFind(const char* path) {
  for (int32_t i = 0; i < gTextureTable.count; ++i)
    if (std::strncmp(gTextureTable.entries[i].path, path, TEX_PATH_SIZE - 1) == 0) return &gTextureTable.entries[i];
  return nullptr;
}
TextureRecord* TexLoad(const char* path) {
  if (path[0] == 'x') return nullptr;  // some textures are missing
  auto* r = static_cast<TextureRecord*>(MemAlloc(sizeof(TextureRecord)));
  if (!r) return nullptr;
  std::memset(r, 0, sizeof *r);
  std::strncpy(r->path, path, TEX_PATH_SIZE - 1);
  r->sRange = 256;
  r->tRange = 64;
  r->handle = gTextureTable.count;
  return r;
}
int32_t TexDownload(TextureRecord* r) {
  if (!r || gTextureTable.count >= TEX_TABLE_SIZE) return -1;
  TextureTableEntry& e = gTextureTable.entries[gTextureTable.count++];
  std::memcpy(e.path, r->path, TEX_PATH_SIZE);
  e.handle = static_cast<uint32_t>(r->handle);
  e.sRange = r->sRange;
  e.tRange = r->tRange;
  return r->handle;
}
void TexFree(TextureRecord* r) {
  if (r) MemFree(r);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool ready = false;
  if (!ready) {
    MemSetErrorHooks([](const char*) {}, [](int32_t) {});
    ready = true;
  }
  MemPoolInit();
  gTextureTable.count = 0;
  // The first byte picks the placement's flags and whether to weld.
  uint8_t mode = size ? data[0] : 0;
  const MeshPlacement place{0, 1.0f, (mode & 1) ? 0.5f : 0.0f, {1, 0, 0, 0, 1, 0, 0, 0, 1},
                            static_cast<int8_t>((mode & 2) ? 1 : -1), static_cast<int8_t>((mode & 4) ? 1 : -1)};
  auto* copy = static_cast<uint8_t*>(MemAlloc(size ? static_cast<uint32_t>(size) : 1));
  if (!copy) return 0;
  if (size) std::memcpy(copy, data, size);
  if (!MeshFileOpenBuffer(copy, static_cast<uint32_t>(size))) return 0;
  MeshHeader* mesh = MeshLoad3dsOpened((mode & 8) ? "x" : "", &place);
  if (mesh) {
    for (uint32_t f = 0; f < mesh->faceCount; ++f)
      for (int k = 0; k < 3; ++k)
        if (mesh->faces[f].index[k] >= mesh->vertexCount) std::abort();
    MeshFree(mesh);
  }
  return 0;
}
