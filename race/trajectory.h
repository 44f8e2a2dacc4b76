// The recorded driving lines of the current track, and the one reader of the
// 804-byte path files (trajectories, object paths, skier and elephant paths).
// gTrajectories is written by TrajLoad only.
#pragma once
#include <cstdint>

constexpr int32_t TRAJ_POINTS = 100;
constexpr int32_t TRAJ_SLOTS = 16;
constexpr uint32_t TRAJ_FILE_BYTES = 804;
constexpr int32_t TRAJ_ARCHIVE_SLOT = 4;

struct TrajPoint {
  float x, z;
};
struct Trajectory {
  int32_t count;  // 0..100
  TrajPoint points[TRAJ_POINTS];
};
static_assert(sizeof(Trajectory) == TRAJ_FILE_BYTES);

extern Trajectory gTrajectories[TRAJ_SLOTS];

// A path file's image into `out`: 1, or 0 (out emptied) when it is shorter
// than 804 bytes, its count lies outside 0..100, or one of its counted points
// is not a number or lies far outside the world (16000 x 8000).
int32_t TrajRead(const uint8_t* file, uint32_t size, Trajectory* out);
// The same from a file of archive slot 4.
int32_t TrajLoadFile(const char* path, Trajectory* out);
// The sixteen trajectories of gRace.trackIndex, trajectoriesLoaded, and the
// course's grid (empty when trajectory A has fewer than 2 points).
void TrajLoad();

// The course line (trajectory A) cut into points every 10 units, each with
// its distance from the start, and sorted into 100-unit cells so that the
// nearest one to a vehicle is found among 25 cells. Written by TrajBuildGrid
// at each race load; read by the race progress and the track presentation.
constexpr int32_t TRAJ_DENSE_MAX = 8000;
constexpr int32_t TRAJ_GRID_COLS = 160;
constexpr int32_t TRAJ_GRID_ROWS = 80;
constexpr float TRAJ_GRID_CELL = 100.0f;

struct TrajDensePoint {
  float x, z, distance;
};
struct TrajGridCell {
  int16_t count;
  const TrajDensePoint* first;  // into gTrajGridPoints
};
extern TrajDensePoint gTrajDense[TRAJ_DENSE_MAX];
extern int32_t gTrajDenseCount;
extern float gTrajLength;  // of trajectory A, closing segment included
extern TrajGridCell gTrajGrid[TRAJ_GRID_ROWS][TRAJ_GRID_COLS];
// The dense points of each cell together, cell after cell in grid order.
extern TrajDensePoint gTrajGridPoints[TRAJ_DENSE_MAX];

void TrajBuildGrid();
// Appends the dense points of the segment a -> b and adds its length.
void TrajDensifySegment(const TrajPoint& a, const TrajPoint& b);
// The grid cell (column, row) holding (x, z); false outside the grid.
bool TrajGridCellOf(float x, float z, int32_t* column, int32_t* row);
