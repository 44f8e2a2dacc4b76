// The decor actors seen in a race, from the real torvane run headless on the
// data kit's tracks chosen through the menus' test preset:
// on neige the car turns off the grid and stops short of the first lift,
// whose cabins run along its cable; on savana it drives down the start
// straight into the herd, which throws a computer car aside. Each frame is
// compared with a small reference picture beside this file, and a second run
// of the same script writes the same trace.
#include <cmath>
#include <cstdio>
#include <sstream>

#include "game_run.h"

namespace {

struct DecorRun {
  const char* env;
  const char* script;
  int frame;
  const char* reference;
};

// Named so that scripts/update-references.sh finds it.
class DecorRaceReference : public e2e::GameRun {
 protected:
  // -> the trace of the first run.
  std::string Check(const DecorRun& run) {
    dir_.Write("script.txt", run.script);
    const std::string at = std::to_string(run.frame);
    EXPECT_EQ(RunGame("trace1.txt", "frames", at, run.env), 0) << dir_.Read("stderr.txt");
    EXPECT_EQ(RunGame("trace2.txt", "frames2", "1", run.env), 0) << dir_.Read("stderr.txt");
    EXPECT_EQ(dir_.Read("stderr.txt"), "");
    e2e::ExpectFrameLikeReference(dir_ / ("frames/" + e2e::FrameName(run.frame)), run.reference);
    const std::string trace = dir_.Read("trace1.txt");
    EXPECT_FALSE(trace.empty());
    EXPECT_EQ(trace, dir_.Read("trace2.txt"));
    return trace;
  }
};

TEST_F(DecorRaceReference, OnTheSnowTheLiftCabinsHangAlongTheirCable) {
  Check({"TORVANE_TEST_RACE='track=1'",
         "f40 press A\n"  // ends the track presentation early
         "f344 down UP\n"
         "f350 down RIGHT\n"
         "f420 up RIGHT\n"
         "f430 up UP\n"
         "f431 down DOWN\n"  // brakes to a stop short of the cable
         "f510 press ESC\n",
         500, "decor_neige_lift.png"});
}

TEST_F(DecorRaceReference, OnTheSavannaTheHerdWalksAcrossTheCourseAndThrowsCarsAside) {
  const std::string trace = Check({"TORVANE_TEST_RACE='track=8'",
                                   "f40 press A\n"
                                   "f344 down UP\n"
                                   "f670 press ESC\n",
                                   660, "decor_savana_herd.png"});
  // A computer car knocked where the first ring of elephants crosses the start straight.
  std::istringstream lines(trace);
  std::string line;
  bool thrown = false;
  while (!thrown && std::getline(lines, line)) {
    int slot = 0, state = 0;
    float x = 0, y = 0, z = 0;
    if (std::sscanf(line.c_str(), "#   vehicle %d computer position %f %f %f", &slot, &x, &y, &z) != 4) continue;
    const size_t at = line.find(" state ");
    if (at == std::string::npos || std::sscanf(line.c_str() + at, " state %d", &state) != 1) continue;
    thrown = state == 2 && std::fabs(x - 7000.0f) < 1000.0f && std::fabs(z - 5158.0f) < 700.0f;
  }
  EXPECT_TRUE(thrown);
}

}  // namespace
