// The championship save file on arbitrary contents: every record kept must
// hold values the race's tables can be indexed with.
#include <cstdint>

#include "race_fuzz_setup.h"

#include "race/track_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  SaveSlot slots[SAVE_SLOTS];
  SaveDecode(data, static_cast<uint32_t>(size), slots);
  for (const SaveSlot& s : slots)
    if (s.used && (s.trackIndex < 0 || s.trackIndex > 9 || s.vehicleType[0] < 0 || s.vehicleType[0] > 7))
      __builtin_trap();
  return 0;
}
