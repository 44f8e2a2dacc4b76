// The position-map picture on arbitrary contents, for every track.
#include <cstdint>

#include "race_fuzz_setup.h"

#include "race/track_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  for (int32_t track = 0; track < 10; ++track) TrackReadMapTile(data, static_cast<uint32_t>(size), track);
  return 0;
}
