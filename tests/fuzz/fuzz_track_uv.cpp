// The track mesh file on arbitrary contents: refused whole or loaded, then
// its placements entered and the cell grid built, never out of bounds.
#include <cstdint>

#include "race/object_types.h"
#include "race/track_files.h"
#include "race_fuzz_setup.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  RaceFuzzSetUp();
  static MeshHeader model{MESH_TYPE_WORD, 0, 0, nullptr, nullptr, {0, 0, 0}};
  for (int i = 0; i < OBJECT_TYPE_ROWS; i += 3) gObjectModels[i] = &model;
  gDrawLists.staticCount = 0;
  gPlacementCount = 0;
  gObjectCounterCount = 0;
  if (TrackReadMesh(data, static_cast<uint32_t>(size))) {
    TrackPlaceObjects();
    TrackBuildCellGrid();
  }
  return 0;
}
