#include "race/trajectory.h"

#include <string>

#include "engine3d/lebytes.h"
#include "platform/mem.h"
#include "platform/pak.h"
#include "race/race.h"
#include "race/tracks.h"

Trajectory gTrajectories[TRAJ_SLOTS];

namespace {
// The grid build starts with the segment from point n - 2 to n - 1.
constexpr int32_t TRAJ_COURSE_MIN_POINTS = 2;
// A line may pass a little beyond the world's edges, never far: a point past
// this margin is damage, and its lengths would overflow the progress sums.
constexpr float TRAJ_WORLD_MARGIN = 4000.0f;
constexpr float TRAJ_WORLD_WIDTH = TRAJ_GRID_CELL * TRAJ_GRID_COLS;
constexpr float TRAJ_WORLD_DEPTH = TRAJ_GRID_CELL * TRAJ_GRID_ROWS;

bool PointUsable(const TrajPoint& p) {
  // Written so that a NaN fails every comparison.
  return p.x >= -TRAJ_WORLD_MARGIN && p.x <= TRAJ_WORLD_WIDTH + TRAJ_WORLD_MARGIN && p.z >= -TRAJ_WORLD_MARGIN &&
         p.z <= TRAJ_WORLD_DEPTH + TRAJ_WORLD_MARGIN;
}
}  // namespace

int32_t TrajRead(const uint8_t* file, uint32_t size, Trajectory* out) {
  out->count = 0;
  if (!file || size < TRAJ_FILE_BYTES) return 0;
  const int32_t count = static_cast<int32_t>(GetU32(file));
  if (count < 0 || count > TRAJ_POINTS) return 0;
  for (int32_t i = 0; i < TRAJ_POINTS; ++i)
    out->points[i] = TrajPoint{GetF32(file + 4 + 8 * i), GetF32(file + 8 + 8 * i)};
  // Only the counted points are the line; the rest of the file is filler.
  for (int32_t i = 0; i < count; ++i)
    if (!PointUsable(out->points[i])) return 0;
  out->count = count;
  return 1;
}

int32_t TrajLoadFile(const char* path, Trajectory* out) {
  uint32_t size = 0;
  uint8_t* file = PakLoadFile(path, TRAJ_ARCHIVE_SLOT, &size);
  const int32_t read = TrajRead(file, size, out);
  if (file) MemFree(file);
  return read;
}

void TrajLoad() {
  gRace.trajectoriesLoaded = 1;
  const int32_t track = gRace.trackIndex >= 0 && gRace.trackIndex < TRACK_COUNT ? gRace.trackIndex : 0;
  const std::string stem = std::string("traj\\") + gTrackInfo[track].directory + ".t";
  for (int32_t i = 0; i < TRAJ_SLOTS; ++i) {
    const std::string path = stem + static_cast<char>('A' + i);
    TrajLoadFile(path.c_str(), &gTrajectories[i]);
  }
  // Without a course of at least one segment no computer car can follow it.
  if (gTrajectories[0].count < TRAJ_COURSE_MIN_POINTS) gRace.trajectoriesLoaded = 0;
  // Built even then: an unusable course leaves an empty line, never the
  // previous track's.
  TrajBuildGrid();
}
