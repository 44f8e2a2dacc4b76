// The 3DS loader on arbitrary file contents: whatever
// the bytes, a load either gives a mesh whose every face names its own
// vertices, or null, and never reads or writes out of bounds.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "backend_common/texture.h"
#include "engine3d/mesh.h"
#include "engine3d/model3ds.h"
#include "platform/mem.h"
#include "support/null_backend.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool ready = false;
  if (!ready) {
    MemSetErrorHooks([](const char*) {}, [](int32_t) {});
    // Textured groups take the texel path; a texture whose name starts with
    // 'x' is missing.
    gNullTextureMissing = [](const char* path) { return path[0] == 'x'; };
    gNullRecord = [](const std::string&) {};
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
