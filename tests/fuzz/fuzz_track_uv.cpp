// The track mesh file on arbitrary contents: refused whole or loaded, then
// its placements entered and the cell grid built, never out of bounds.
#include <cstdint>
#include <vector>

#include "engine3d/lebytes.h"
#include "race/object_types.h"
#include "race/terrain_table.h"
#include "race/track_files.h"
#include "race_fuzz_setup.h"

namespace {

// A mesh must hold the ground grid's vertices, far more bytes than a fuzzer's
// inputs: a file whose vertex block is short of them gets zero vertices
// appended to it, so that its faces and placements still reach the loader.
std::vector<uint8_t> WithGridVertices(const uint8_t* data, size_t size) {
  std::vector<uint8_t> file(data, data + size);
  if (size < 4) return file;
  const uint64_t facesEnd = 4 + uint64_t{GetU32(data)} * MESH_FACE_BYTES;
  if (facesEnd + 4 > size) return file;
  const uint32_t vertices = GetU32(data + facesEnd);
  const uint64_t verticesEnd = facesEnd + 4 + uint64_t{vertices} * MESH_VERTEX_BYTES;
  if (verticesEnd > size || vertices >= static_cast<uint32_t>(TRACK_GRID_VERTICES)) return file;
  const uint32_t grid = static_cast<uint32_t>(TRACK_GRID_VERTICES);
  PutU32(file.data() + facesEnd, grid);
  file.insert(file.begin() + static_cast<std::ptrdiff_t>(verticesEnd), size_t{grid - vertices} * MESH_VERTEX_BYTES, 0);
  return file;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  RaceFuzzSetUp();
  static MeshHeader model{MESH_TYPE_WORD, 0, 0, nullptr, nullptr, {0, 0, 0}};
  for (int i = 0; i < OBJECT_TYPE_ROWS; i += 3) gObjectModels[i] = &model;
  gDrawLists.staticCount = 0;
  gPlacementCount = 0;
  gObjectCounterCount = 0;
  const std::vector<uint8_t> file = WithGridVertices(data, size);
  if (TrackReadMesh(file.data(), static_cast<uint32_t>(file.size()))) {
    TrackPlaceObjects();
    TrackBuildCellGrid();
  }
  return 0;
}
