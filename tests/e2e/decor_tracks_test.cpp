// The kit's snow, volcano and savanna tracks in the real torvane, headless,
// chosen through the menus' test preset: each race loads
// without a word on stderr, starts player 1 on the track's grid place, drives
// off, and a second run of the same script writes the same trace.
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>

#include "game_run.h"

namespace {

// End the presentation, drive off after the countdown, leave.
constexpr const char* SCRIPT =
    "f40 press A\n"
    "f344 down UP\n"
    "f520 press ESC\n";

struct TrackRun {
  int track;
  float startX, startZ;
};

class DecorTrackRace : public e2e::GameRun, public ::testing::WithParamInterface<TrackRun> {};

TEST_P(DecorTrackRace, StartsOnItsGridAndRunsTheSameTwice) {
  const TrackRun run = GetParam();
  const std::string env = "TORVANE_TEST_RACE='track=" + std::to_string(run.track) + " display=0'";
  dir_.Write("script.txt", SCRIPT);
  ASSERT_EQ(RunGame("trace1.txt", "frames", "340,500", env), 0) << dir_.Read("stderr.txt");
  ASSERT_EQ(RunGame("trace2.txt", "frames2", "1", env), 0) << dir_.Read("stderr.txt");
  EXPECT_EQ(dir_.Read("stderr.txt"), "");
  const std::string trace = dir_.Read("trace1.txt");
  EXPECT_EQ(trace, dir_.Read("trace2.txt"));

  // Player 1 first seen on its grid place, and later away from it.
  std::istringstream lines(trace);
  std::string line;
  bool seen = false, moved = false;
  while (std::getline(lines, line)) {
    float x = 0, y = 0, z = 0;
    if (std::sscanf(line.c_str(), "#   vehicle 0 player1 position %f %f %f", &x, &y, &z) != 3) continue;
    if (!seen) {
      seen = true;
      EXPECT_EQ(x, run.startX) << line;
      EXPECT_EQ(z, run.startZ) << line;
    }
    moved = moved || std::abs(x - run.startX) + std::abs(z - run.startZ) > 100.0f;
  }
  EXPECT_TRUE(seen);
  EXPECT_TRUE(moved);
  EXPECT_TRUE(std::filesystem::exists(dir_.path() / "frames" / e2e::FrameName(500)));
}

INSTANTIATE_TEST_SUITE_P(Kit, DecorTrackRace,
                         ::testing::Values(TrackRun{1, 1876.0f, 2180.0f}, TrackRun{3, 1041.0f, 4405.0f},
                                           TrackRun{8, 3554.0f, 5158.0f}),
                         [](const ::testing::TestParamInfo<TrackRun>& info) {
                           return std::string(info.param.track == 1 ? "neige" : info.param.track == 3 ? "volcano" : "savana");
                         });

}  // namespace
