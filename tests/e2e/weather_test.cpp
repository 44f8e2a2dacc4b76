// The track weather as a player sees it, from the real torvane run headless
// on the data kit's data, on tracks chosen through the menus' test
// preset: a frame of each track's weather compared with a small
// reference picture beside this file, and a second run of the same script
// writing the same trace.
#include <cstdio>
#include <sstream>

#include "game_run.h"

namespace {

struct WeatherRun {
  const char* env;
  int frame;  // the frame compared, shortly before the script leaves
  const char* reference;
  const char* moves = "";  // player 1's keys after the countdown
};

constexpr const char* DRIVE_OFF = "f344 down UP\n";

// Named so that scripts/update-references.sh finds it.
class WeatherReference : public e2e::GameRun {
 protected:
  void Check(const WeatherRun& run) {
    // A ends the track presentation early; Esc leaves the race.
    dir_.Write("script.txt", std::string("f40 press A\n") + run.moves + "f" +
                                 std::to_string(run.frame + 10) + " press ESC\n");
    ASSERT_EQ(RunGame("trace1.txt", "frames", std::to_string(run.frame), run.env), 0) << dir_.Read("stderr.txt");
    ASSERT_EQ(RunGame("trace2.txt", "frames2", "1", run.env), 0) << dir_.Read("stderr.txt");
    EXPECT_EQ(dir_.Read("stderr.txt"), "");
    e2e::ExpectFrameLikeReference(dir_ / ("frames/" + e2e::FrameName(run.frame)), run.reference);
    const std::string trace = dir_.Read("trace1.txt");
    EXPECT_FALSE(trace.empty());
    EXPECT_EQ(trace, dir_.Read("trace2.txt"));
  }
};

// The rain starts 750 ticks (30 s, 1200 frames of 25 ms) after the load and
// swells: its first drops streak across the clouded sky. In the smallest
// display mode, to keep the run short.
TEST_F(WeatherReference, OnBoueTheFirstDropsFallAfterThirtySeconds) {
  Check({"TORVANE_TEST_RACE='track=2 display=0'", 1400, "weather_boue_rain.png"});
  if (HasFatalFailure()) return;
  // The intensity every 25 frames: below zero until about the 1200th frame
  // (a frame lasts a little over 25 ms).
  std::istringstream lines(dir_.Read("trace1.txt"));
  int frame = 0, firstWet = 0, readings = 0;
  for (std::string line; std::getline(lines, line);) {
    int race = 0, n = 0;
    float rain = 0.0f;
    unsigned lightning = 0;
    if (std::sscanf(line.c_str(), "%d %d", &race, &n) == 2) frame = n;
    if (std::sscanf(line.c_str(), "#   rain %f lightning %u", &rain, &lightning) != 2) continue;
    ++readings;
    if (rain > 0.0f && !firstWet) firstWet = frame;
    if (!firstWet) {
      EXPECT_EQ(lightning, 0u) << line;
    }
  }
  EXPECT_GT(readings, 40);
  EXPECT_GT(firstWet, 1150);
  EXPECT_LE(firstWet, 1225);
}

// Snow falls round the car as it drives off, flakes near the camera as
// small squares, far ones as points, now and then a flake on the lens.
TEST_F(WeatherReference, OnNeigeTheSnowFalls) {
  Check({"TORVANE_TEST_RACE='track=1'", 500, "weather_neige_snow.png", DRIVE_OFF});
}

// The volcano throws rocks as soon as the race is loaded; those seen from
// the course fall onto its points and smoke where they land (here on the
// slope hidden in the haze, left of the course).
TEST_F(WeatherReference, OnVolcanoTheRocksFallAndSmoke) {
  Check({"TORVANE_TEST_RACE='track=3'", 650, "weather_volcano_rocks.png", DRIVE_OFF});
  if (HasFatalFailure()) return;
  std::istringstream lines(dir_.Read("trace1.txt"));
  int mostUsed = 0;
  bool landed = false;
  for (std::string line; std::getline(lines, line);) {
    int flying = 0, used = 0;
    if (std::sscanf(line.c_str(), "#   volcano rocks flying %d points used %d", &flying, &used) != 2) continue;
    EXPECT_LE(flying, 20);
    EXPECT_GE(used, mostUsed);  // a point once used stays used
    mostUsed = used;
    landed = landed || used > flying;
  }
  EXPECT_GT(mostUsed, 0);
  EXPECT_TRUE(landed);
}

// The night track: the star field, and the moon ahead as the car turns
// left off the grid.
TEST_F(WeatherReference, OnLoopingTheMoonAndStarsShine) {
  Check({"TORVANE_TEST_RACE='track=6'", 420, "weather_looping_night.png", "f344 down UP\nf360 down LEFT\n"});
}

}  // namespace
