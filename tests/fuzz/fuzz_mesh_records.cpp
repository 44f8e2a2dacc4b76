// The mesh, pool and frame record loaders on arbitrary file contents: they
// must refuse what does not agree and never read or write out of bounds.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "engine3d/mesh.h"
#include "platform/mem.h"

namespace {

std::string TempName() {
  static std::string name = "/tmp/fuzz_mesh_records_" + std::to_string(getpid()) + ".rec";
  return name;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool ready = false;
  if (!ready) {
    MemSetErrorHooks([](const char*) {}, [](int32_t) {});
    ready = true;
  }
  MemPoolInit();
  MeshPoolAllocVertices(64);
  MeshPoolAllocFaces(64);
  const std::string name = TempName();
  std::FILE* f = std::fopen(name.c_str(), "wb");
  if (!f) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);

  MeshHeader* mesh = MeshLoadRecords(name.c_str());
  MeshPoolLoadFile(name.c_str());
  MeshHeader base{MESH_TYPE_WORD, 2, 1, nullptr, nullptr, {0, 0, 0}};
  MeshFramesFree(MeshFramesLoadFile(name.c_str(), mesh ? mesh : &base));
  MeshFree(mesh);
  std::remove(name.c_str());
  return 0;
}
