// The kit's courses as the race reads them: on every kit track each of the
// five lines the computer cars follow lies well inside the world, crosses
// only coded cells of the position map (where a car's progress moves on),
// reaches past the line where a car's finish line arms again, and meets the
// finish line where the lap's length starts; and every lap is long enough
// that no car drives it in the 25 seconds below which a lap is not counted.
#include <cmath>

#include "files_fixture.h"
#include "race/tracks.h"
#include "race/trajectory.h"
#include "race/vehicle_steps.h"
#include "tools/datakit/lib/race_kit.h"
#include "tools/datakit/lib/track_kit.h"

namespace {

constexpr int LINES = 5;
constexpr float STEP = 20.0f;
// Where VehicleCheckWorldBounds puts a car back, and a margin inside it.
constexpr float WORLD_MIN = 100.0f, WORLD_MAX_X = 15500.0f, WORLD_MAX_Z = 7500.0f, INSIDE = 200.0f;
constexpr float REARM_X = 9000.0f;
// The fastest kit car's top speed, 371 km/h, covers 1030 units a second:
// flat out all the way round such a lap would take it 23 seconds, and the
// bends cost it more than two.
constexpr float SHORTEST_COURSE = 24000.0f;
constexpr uint8_t ZONE_NONE = 0, ZONE_FINISH = 1, ZONE_WRONG_ROAD = 55, ZONE_OUT = 254;

class KitCourses : public FilesTest {
 protected:
  void SetUp() override {
    FilesTest::SetUp();
    std::string error;
    ASSERT_TRUE(datakit::WriteLooseFiles(datakit::TrackArchiveFiles(), dir_.path().string(), &error)) << error;
  }
};

TEST_F(KitCourses, EveryLineStaysInsideTheWorldOnCodedCellsAndArmsTheFinishLineOnceALap) {
  for (const datakit::KitTrackDesc& desc : datakit::KitTracks()) {
    SCOPED_TRACE(desc.name);
    gRace.trackIndex = desc.track;
    TrajLoad();
    TrackLoadMapTile();
    ASSERT_EQ(+gRace.trajectoriesLoaded, 1);
    EXPECT_GT(gTrajLength, SHORTEST_COURSE);
    const Trajectory& course = gTrajectories[0];
    ASSERT_GT(course.count, 2);
    // The lap's length counts from the course's point n - 2: on the finish line.
    const TrajPoint start = course.points[course.count - 2];
    EXPECT_EQ(RaceZoneCodeAt(start.x, start.z), ZONE_FINISH);
    for (int slot = 0; slot < LINES; ++slot) {
      SCOPED_TRACE("line " + std::to_string(slot));
      const Trajectory& line = gTrajectories[slot];
      ASSERT_EQ(line.count, course.count);
      float farthest = 0.0f;
      int finishes = 0, uncoded = 0, outside = 0;
      uint8_t previous = 0;
      for (int32_t i = 0; i < line.count; ++i) {
        const TrajPoint a = line.points[i], b = line.points[(i + 1) % line.count];
        const float len = std::hypot(b.x - a.x, b.z - a.z);
        for (float s = 0.0f; s < len; s += STEP) {
          const float x = a.x + (b.x - a.x) * s / len, z = a.z + (b.z - a.z) * s / len;
          farthest = std::fmax(farthest, x);
          outside += x < WORLD_MIN + INSIDE || z < WORLD_MIN + INSIDE || x > WORLD_MAX_X - INSIDE ||
                     z > WORLD_MAX_Z - INSIDE;
          const uint8_t code = RaceZoneCodeAt(x, z);
          uncoded += code == ZONE_NONE || code == ZONE_WRONG_ROAD || code == ZONE_OUT;
          finishes += code == ZONE_FINISH && previous != ZONE_FINISH;
          previous = code;
        }
      }
      EXPECT_EQ(outside, 0);
      EXPECT_EQ(uncoded, 0);
      EXPECT_GT(farthest, REARM_X + INSIDE);
      EXPECT_LE(finishes, 2);  // once a lap; the walk may start inside the finish cells
      EXPECT_GE(finishes, 1);
    }
  }
}

}  // namespace
