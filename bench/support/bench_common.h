// What several benchmarks share: one view opened on the software back end
// at 640 x 480 with the pools a race has, and the percentile of a sample.
#pragma once
#include <algorithm>
#include <cstddef>
#include <vector>

#include "backend_common/display.h"
#include "engine3d/angle.h"
#include "engine3d/mesh.h"
#include "engine3d/random.h"
#include "hal/clock.h"
#include "hal/window.h"
#include "race/race.h"

// The back end open in display mode 2, the tables and pools filled, and a
// fresh race state at 25 frames a second seeing 1700 far.
inline bool BenchOpenView() {
  HalResetForTest();
  HalClockUseVirtual(0, 0);
  if (!RdrOpen(gDisplayModes[2], 1)) return false;
  MathBuildTables();
  if (!gRandom.filled) RandFillTable(RandomTable, RANDOM_TABLE_SIZE);
  MeshPoolAllocVertices(MESH_POOL_VERTICES);
  MeshPoolAllocFaces(MESH_POOL_FACES);
  DrawListAllocDynamic(DRAW_LIST_DYNAMIC);
  gRace = RaceState{};
  gRace.frameRate = 25.0f;
  gRace.viewDistance = 1700.0f;
  return true;
}

// The value p of the way up the sorted samples (0.5 the median), 0 for none.
inline double BenchPercentile(std::vector<double> v, double p) {
  if (v.empty()) return 0.0;
  std::sort(v.begin(), v.end());
  return v[static_cast<size_t>(p * static_cast<double>(v.size() - 1) + 0.5)];
}
