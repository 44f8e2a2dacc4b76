// The real torvane, headless, on the data kit's data: the desert race,
// its countdown and its start, as small pictures compared
// with references beside this file (TORVANE_UPDATE_REFERENCES=1 rewrites
// them), and the race trace, which two runs of one script write alike.
#include <cstdio>
#include <sstream>

#include "game_run.h"

namespace {

class Race : public e2e::GameRun {
 protected:
  void SetUp() override {
    GameRun::SetUp();
    dir_.Write("script.txt", SCRIPT);
  }
  // Esc once the race has started: the menus, and the script's end.
  static constexpr const char* SCRIPT = "f446 press ESC\n";
};

// The shown frames of the countdown at "5", "3" and "1", and of the race after
// the start. The track presentation and its zoom come first, on the kit's
// desert; "5" shows as the fly-in fades in.
struct Shot {
  int frame;
  const char* reference;
};
constexpr Shot SHOTS[] = {{244, "race_countdown5.png"}, {316, "race_countdown3.png"}, {379, "race_countdown1.png"},
                          {436, "race_started.png"}};

// Named so that scripts/update-references.sh finds it.
class RaceReference : public Race {};

TEST_F(RaceReference, TheDesertCountdownAndStartLookAsTheyShould) {
  ASSERT_EQ(RunGame("trace.txt", "frames", "244,316,379,436", e2e::DESERT_RACE), 0) << dir_.Read("stderr.txt");
  EXPECT_EQ(dir_.Read("stderr.txt"), "");
  for (const Shot& shot : SHOTS) e2e::ExpectFrameLikeReference(dir_ / ("frames/" + e2e::FrameName(shot.frame)), shot.reference);
}

// The track's model turning under its name, the zoom toward the start, the
// fly-in down onto the chase camera, and the in-car view (F1) once the race runs.
constexpr Shot PRESENTATION_SHOTS[] = {{40, "presentation_model.png"},
                                       {173, "presentation_zoom.png"},
                                       {203, "presentation_flyin.png"},
                                       {523, "race_in_car.png"}};

TEST_F(RaceReference, ThePresentationFlyInAndInCarViewLookAsTheyShould) {
  dir_.Write("script.txt", "f443 press F1\nf533 press ESC\n");
  ASSERT_EQ(RunGame("trace.txt", "frames", "40,173,203,523", e2e::DESERT_RACE), 0) << dir_.Read("stderr.txt");
  EXPECT_EQ(dir_.Read("stderr.txt"), "");
  for (const Shot& shot : PRESENTATION_SHOTS)
    e2e::ExpectFrameLikeReference(dir_ / ("frames/" + e2e::FrameName(shot.frame)), shot.reference);
}

TEST_F(Race, TwoRunsOfOneScriptWriteTheSameTrace) {
  ASSERT_EQ(RunGame("trace1.txt", "frames1", "1", e2e::DESERT_RACE), 0) << dir_.Read("stderr.txt");
  ASSERT_EQ(RunGame("trace2.txt", "frames2", "1", e2e::DESERT_RACE), 0) << dir_.Read("stderr.txt");
  const std::string first = dir_.Read("trace1.txt");
  EXPECT_EQ(first, dir_.Read("trace2.txt"));
  // One race, its frames counted from 1, the countdown over before Esc.
  std::istringstream lines(first);
  std::string line;
  int frames = 0;
  bool started = false;
  while (std::getline(lines, line)) {
    if (line.rfind("#", 0) == 0) {
      if (line.find("raceStarted 1") != std::string::npos) started = true;
      continue;
    }
    int race = 0, frame = 0;
    char hash[17] = {};
    ASSERT_EQ(std::sscanf(line.c_str(), "%d %d %16s", &race, &frame, hash), 3) << line;
    EXPECT_EQ(race, 1);
    EXPECT_EQ(frame, ++frames);
    EXPECT_EQ(std::string(hash).size(), 16u);
  }
  EXPECT_GT(frames, 200);
  EXPECT_TRUE(started);
}

// Player 1 holds Up from the start, then the left arrow: it drives off the
// grid and turns to its left (heading 256 runs along +x, the driver's left
// is -z). The computer cars wait on their grid places until the start, then
// drive off along the course.
TEST_F(Race, Player1DrivesOffTheGridUnderTheKeysAndTheComputerCarsSetOffAtTheStart) {
  dir_.Write("script.txt", "f426 down UP\nf496 down LEFT\nf526 up LEFT\nf556 press ESC\n");
  ASSERT_EQ(RunGame("trace1.txt", "frames1", "1", e2e::DESERT_RACE), 0) << dir_.Read("stderr.txt");
  ASSERT_EQ(RunGame("trace2.txt", "frames2", "1", e2e::DESERT_RACE), 0) << dir_.Read("stderr.txt");
  const std::string first = dir_.Read("trace1.txt");
  EXPECT_EQ(first, dir_.Read("trace2.txt"));
  std::istringstream lines(first);
  std::string line;
  bool started = false;
  float lastX = 0.0f, lastZ = 0.0f, lastHeading = 0.0f;
  int computers = 0, computersOff = 0;
  while (std::getline(lines, line)) {
    if (line.rfind("# raceStarted", 0) == 0) {
      started = line.find("raceStarted 1") != std::string::npos;
      continue;
    }
    int slot = 0;
    char who[16] = {};
    float x = 0, y = 0, z = 0, heading = 0, velocity = 0;
    if (std::sscanf(line.c_str(), "#   vehicle %d %15s position %f %f %f heading %f velocity %f", &slot, who, &x, &y,
                    &z, &heading, &velocity) != 7)
      continue;
    if (std::string(who) == "player1") {
      EXPECT_EQ(slot, 0);
      if (!started) {
        EXPECT_EQ(x, 780.0f) << line;
        EXPECT_EQ(velocity, 0.0f) << line;
      }
      lastX = x;
      lastZ = z;
      lastHeading = heading;
      continue;
    }
    EXPECT_EQ(std::string(who), "computer");
    if (started) {
      computersOff += x > 1500.0f;
      continue;
    }
    ++computers;
    EXPECT_EQ(velocity, 0.0f) << line;
    EXPECT_EQ(x, 780.0f + static_cast<float>(slot / 2) * 53.0f) << line;
    EXPECT_EQ(z, 6620.0f + static_cast<float>(slot % 2) * 40.0f) << line;
  }
  EXPECT_GT(computers, 5 * 5);
  EXPECT_GT(computersOff, 0);
  EXPECT_GT(lastX, 900.0f);
  EXPECT_GT(lastHeading, 300.0f);
  EXPECT_LT(lastZ, 6600.0f);
}

}  // namespace
