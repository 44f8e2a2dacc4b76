// A race on the kit's highway, whose traffic drives its
// lanes beside the racers: the trace of two runs alike, the traffic near
// the player stepped, and a frame of it against its reference picture.
#include <algorithm>
#include <cstdio>
#include <sstream>

#include "game_run.h"

namespace {

constexpr const char* HIGHWAY = "TORVANE_TEST_RACE='track=4'";

class Highway : public e2e::GameRun {
 protected:
  void SetUp() override {
    GameRun::SetUp();
    dir_.Write("script.txt", "f426 down UP\nf500 press ESC\n");
  }
};

class HighwayReference : public Highway {};

TEST_F(Highway, AShortRaceWritesTheSameTraceTwiceWithTrafficNearThePlayer) {
  ASSERT_EQ(RunGame("trace1.txt", "frames1", "1", HIGHWAY), 0) << dir_.Read("stderr.txt");
  ASSERT_EQ(RunGame("trace2.txt", "frames2", "1", HIGHWAY), 0) << dir_.Read("stderr.txt");
  EXPECT_EQ(dir_.Read("stderr.txt"), "");
  const std::string first = dir_.Read("trace1.txt");
  EXPECT_EQ(first, dir_.Read("trace2.txt"));
  std::istringstream lines(first);
  std::string line;
  int traffic = 0, most = 0;
  while (std::getline(lines, line)) {
    int active = 0;
    if (std::sscanf(line.c_str(), "#   traffic active %d", &active) != 1) continue;
    ++traffic;
    most = std::max(most, active);
  }
  EXPECT_GT(traffic, 10);
  EXPECT_GT(most, 0);
  EXPECT_LE(most, 250);
}

// Trucks and cars in both directions beside the course, the nearest with
// their wheels, after the start.
TEST_F(HighwayReference, TheTrafficOnTheHighwayLooksAsItShould) {
  ASSERT_EQ(RunGame("trace.txt", "frames", "460", HIGHWAY), 0) << dir_.Read("stderr.txt");
  e2e::ExpectFrameLikeReference(dir_ / ("frames/" + e2e::FrameName(460)), "highway_traffic.png");
}

}  // namespace
