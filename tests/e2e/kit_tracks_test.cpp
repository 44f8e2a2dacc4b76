// The kit's ruins and sunset beach raced headless: chosen through the
// menus' test preset, each loads, counts down and starts,
// player 1 drives off its grid place, and the run ends without a word on
// stderr. A frame of each after the start is kept in the run's folder.
#include <cstdio>
#include <sstream>

#include "game_run.h"

namespace {

struct KitTrack {
  const char* name;
  const char* env;
  float startX, startZ;
};

class KitTrackRace : public e2e::GameRun, public ::testing::WithParamInterface<KitTrack> {};

TEST_P(KitTrackRace, LoadsStartsAndDrivesOff) {
  const KitTrack& track = GetParam();
  dir_.Write("script.txt", "f40 press A\nf344 down UP\nf560 press ESC\n");
  ASSERT_EQ(RunGame("trace.txt", "frames", "540", track.env), 0) << dir_.Read("stderr.txt");
  EXPECT_EQ(dir_.Read("stderr.txt"), "");
  std::istringstream lines(dir_.Read("trace.txt"));
  std::string line;
  bool seen = false, started = false;
  float lastX = 0.0f;
  while (std::getline(lines, line)) {
    if (line.rfind("# raceStarted", 0) == 0) started = started || line.find("raceStarted 1") != std::string::npos;
    float x = 0, y = 0, z = 0;
    if (std::sscanf(line.c_str(), "#   vehicle 0 player1 position %f %f %f", &x, &y, &z) != 3) continue;
    if (!seen) {
      EXPECT_EQ(x, track.startX) << line;
      EXPECT_EQ(z, track.startZ) << line;
    }
    seen = true;
    lastX = x;
  }
  EXPECT_TRUE(seen);
  EXPECT_TRUE(started);
  // Both start along +x.
  EXPECT_GT(lastX, track.startX + 100.0f);
  EXPECT_TRUE(std::filesystem::exists(dir_.path() / "frames" / e2e::FrameName(540)));
}

INSTANTIATE_TEST_SUITE_P(RuinesAndSunset, KitTrackRace,
                         ::testing::Values(KitTrack{"ruines", "TORVANE_TEST_RACE='track=5'", 1796.0f, 6556.0f},
                                           KitTrack{"sunset", "TORVANE_TEST_RACE='track=7'", 3175.0f, 4875.0f}),
                         [](const ::testing::TestParamInfo<KitTrack>& info) { return std::string(info.param.name); });

}  // namespace
