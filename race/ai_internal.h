// What the computer drivers and the recovery share: walks over the loaded
// trajectories.
#pragma once
#include <cstdint>

#include "race/trajectory.h"

// The trajectories in slot order up to the first empty slot.
inline int32_t AiTrajectoryCount() {
  int32_t n = 0;
  while (n < TRAJ_SLOTS && gTrajectories[n].count > 0) ++n;
  return n;
}

// The index before `i` on a closed line of `count` points.
inline int32_t AiPointBefore(int32_t i, int32_t count) { return i > 0 ? i - 1 : count - 1; }
