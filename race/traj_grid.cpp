// The course's dense points and their grid. The points are sorted into the
// cells by counting: one pass counts each cell's points, one places them, so
// each cell holds its points in the order of the line.
#include <cmath>

#include "race/trajectory.h"

TrajDensePoint gTrajDense[TRAJ_DENSE_MAX];
int32_t gTrajDenseCount;
float gTrajLength;
TrajGridCell gTrajGrid[TRAJ_GRID_ROWS][TRAJ_GRID_COLS];
TrajDensePoint gTrajGridPoints[TRAJ_DENSE_MAX];

namespace {

constexpr float DENSE_STEPS_PER_UNIT = 0.1f;

// The cell index along one axis: i with 100 i <= v < 100 i + 100, exactly as
// a comparison with the cell's edges decides it; -1 outside 0..cells - 1.
int32_t CellIndex(float v, int32_t cells) {
  if (!(v >= 0.0f && v < TRAJ_GRID_CELL * static_cast<float>(cells))) return -1;
  int32_t i = static_cast<int32_t>(v / TRAJ_GRID_CELL);
  if (i >= cells) i = cells - 1;
  while (i > 0 && v < TRAJ_GRID_CELL * static_cast<float>(i)) --i;
  while (i + 1 < cells && v >= TRAJ_GRID_CELL * static_cast<float>(i + 1)) ++i;
  return i;
}

}  // namespace

bool TrajGridCellOf(float x, float z, int32_t* column, int32_t* row) {
  *column = CellIndex(x, TRAJ_GRID_COLS);
  *row = CellIndex(z, TRAJ_GRID_ROWS);
  return *column >= 0 && *row >= 0;
}

void TrajDensifySegment(const TrajPoint& a, const TrajPoint& b) {
  const float dx = b.x - a.x, dz = b.z - a.z;
  const float length = std::sqrt(dx * dx + dz * dz);
  const float steps = length * DENSE_STEPS_PER_UNIT;
  if (steps > 0.0f) {
    for (int32_t w = 0; static_cast<float>(w) < steps && gTrajDenseCount < TRAJ_DENSE_MAX; ++w) {
      const float fw = static_cast<float>(w);
      gTrajDense[gTrajDenseCount++] =
          TrajDensePoint{a.x + dx * fw / steps, a.z + dz * fw / steps, gTrajLength + length * fw / steps};
    }
  }
  gTrajLength += length;
}

void TrajBuildGrid() {
  gTrajDenseCount = 0;
  gTrajLength = 0.0f;
  const Trajectory& course = gTrajectories[0];
  const int32_t n = course.count;
  // Distance 0 lies at point n - 2: the line starts with the segment n - 2 -> n - 1.
  for (int32_t k = 0; k < n && n >= 2; ++k) {
    const int32_t a = (n - 2 + k) % n;
    TrajDensifySegment(course.points[a], course.points[(a + 1) % n]);
  }
  static int32_t cellOf[TRAJ_DENSE_MAX];
  for (auto& row : gTrajGrid)
    for (TrajGridCell& cell : row) cell = TrajGridCell{0, gTrajGridPoints};
  for (int32_t i = 0; i < gTrajDenseCount; ++i) {
    int32_t column, row;
    cellOf[i] = TrajGridCellOf(gTrajDense[i].x, gTrajDense[i].z, &column, &row) ? row * TRAJ_GRID_COLS + column : -1;
    if (cellOf[i] >= 0) ++gTrajGrid[row][column].count;
  }
  // Each cell's first point follows the points of the cells before it.
  int32_t next = 0;
  for (auto& row : gTrajGrid)
    for (TrajGridCell& cell : row) {
      cell.first = gTrajGridPoints + next;
      next += cell.count;
    }
  static int16_t placed[TRAJ_GRID_ROWS * TRAJ_GRID_COLS];
  for (int16_t& p : placed) p = 0;
  for (int32_t i = 0; i < gTrajDenseCount; ++i) {
    if (cellOf[i] < 0) continue;
    TrajGridCell& cell = gTrajGrid[cellOf[i] / TRAJ_GRID_COLS][cellOf[i] % TRAJ_GRID_COLS];
    gTrajGridPoints[cell.first - gTrajGridPoints + placed[cellOf[i]]++] = gTrajDense[i];
  }
}
