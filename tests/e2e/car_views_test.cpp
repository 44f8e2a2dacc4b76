// The player's car as a player sees it, from the real torvane run headless on
// the data kit's data: the chase view on the grid and after a turn, F1 to the
// in-car view and again to on board; and on the ice track, chosen through the
// menus' test preset, the cars mirrored in the ice. Each
// frame is compared with a small reference picture beside this file, and a
// second run of the same script writes the same trace.
#include <cstdio>
#include <sstream>

#include "game_run.h"

namespace {

// Drive off the grid and turn left, then F1 twice, then leave.
constexpr const char* SCRIPT =
    "f40 press A\n"  // ends the track presentation early, on either track
    "f344 down UP\n"
    "f374 down LEFT\n"
    "f404 up LEFT\n"
    "f424 press F1\n"
    "f454 press F1\n"
    "f484 press ESC\n";

struct Shot {
  int frame;
  const char* reference;
};

struct CarRun {
  const char* env;
  float startX, startZ;  // player 1's grid place on the chosen track
  std::vector<Shot> shots;
};

// Named so that scripts/update-references.sh finds it.
class CarViewsReference : public e2e::GameRun {
 protected:
  void Check(const CarRun& run) {
    dir_.Write("script.txt", SCRIPT);
    std::string at;
    for (const Shot& shot : run.shots) at += (at.empty() ? "" : ",") + std::to_string(shot.frame);
    ASSERT_EQ(RunGame("trace1.txt", "frames", at, run.env), 0) << dir_.Read("stderr.txt");
    ASSERT_EQ(RunGame("trace2.txt", "frames2", "1", run.env), 0) << dir_.Read("stderr.txt");
    EXPECT_EQ(dir_.Read("stderr.txt"), "");
    for (const Shot& shot : run.shots)
      e2e::ExpectFrameLikeReference(dir_ / ("frames/" + e2e::FrameName(shot.frame)), shot.reference);

    const std::string trace = dir_.Read("trace1.txt");
    EXPECT_EQ(trace, dir_.Read("trace2.txt"));
    // The race ran on the chosen track: player 1 first seen on its grid place.
    std::istringstream lines(trace);
    std::string line;
    bool seen = false;
    while (!seen && std::getline(lines, line)) {
      float x = 0, y = 0, z = 0;
      if (std::sscanf(line.c_str(), "#   vehicle 0 player1 position %f %f %f", &x, &y, &z) != 3) continue;
      seen = true;
      EXPECT_EQ(x, run.startX) << line;
      EXPECT_EQ(z, run.startZ) << line;
    }
    EXPECT_TRUE(seen);
  }
};

TEST_F(CarViewsReference, TheChaseViewFollowsTheCarAndF1CyclesTheViews) {
  Check({e2e::DESERT_RACE, 780.0f, 6620.0f,
         {{334, "car_chase_start.png"}, {419, "car_chase_turned.png"}, {444, "car_in_car.png"}, {474, "car_on_board.png"}}});
}

TEST_F(CarViewsReference, OnTheIceTheCarsAreMirrored) {
  Check({"TORVANE_TEST_RACE='track=9'", 2241.0f, 6041.0f, {{334, "car_ice_start.png"}, {419, "car_ice_turned.png"}}});
}

}  // namespace
