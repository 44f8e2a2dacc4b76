// The camera-spot file on arbitrary contents.
#include <cstdint>

#include "race_fuzz_setup.h"

#include "race/track_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TrackReadCameras(data, static_cast<uint32_t>(size));
  return 0;
}
