// The 804-byte path files (trajectories, object, skier and elephant paths)
// on arbitrary contents; a course read from one measures a length that the
// race's progress sums hold.
#include <cstdint>

#include "race_fuzz_setup.h"

#include "race/trajectory.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Trajectory t;
  if (!TrajRead(data, static_cast<uint32_t>(size), &t)) return 0;
  if (t.count < 0 || t.count > TRAJ_POINTS) __builtin_trap();
  gTrajectories[0] = t;
  TrajBuildGrid();
  // 100 segments across the world and its margins stay far below 1e7.
  if (!(gTrajLength >= 0.0f && gTrajLength < 1.0e7f)) __builtin_trap();
  return 0;
}
