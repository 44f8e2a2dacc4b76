// The 804-byte path files (trajectories, object, skier and elephant paths)
// on arbitrary contents.
#include <cstdint>

#include "race_fuzz_setup.h"

#include "race/trajectory.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Trajectory t;
  if (TrajRead(data, static_cast<uint32_t>(size), &t) && (t.count < 0 || t.count > TRAJ_POINTS)) __builtin_trap();
  return 0;
}
