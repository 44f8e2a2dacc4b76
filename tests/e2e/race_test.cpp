// The real torvane, headless, on the data kit's data: the placeholder front
// end's desert race, its countdown and its start, as small pictures compared
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
  // Esc once the race has started; Esc on the way back to the menus quits.
  static constexpr const char* SCRIPT = "f250 press ESC\n";
};

// The shown frames of the countdown at "5", "3" and "1", and of the race after the start.
struct Shot {
  int frame;
  const char* reference;
};
constexpr Shot SHOTS[] = {{40, "race_countdown5.png"}, {100, "race_countdown3.png"}, {160, "race_countdown1.png"},
                          {240, "race_started.png"}};

// Named so that scripts/update-references.sh finds it.
class RaceReference : public Race {};

TEST_F(RaceReference, TheDesertCountdownAndStartLookAsTheyShould) {
  ASSERT_EQ(RunGame("trace.txt", "frames", "40,100,160,240"), 0) << dir_.Read("stderr.txt");
  EXPECT_EQ(dir_.Read("stderr.txt"), "");
  for (const Shot& shot : SHOTS) e2e::ExpectFrameLikeReference(dir_ / ("frames/" + e2e::FrameName(shot.frame)), shot.reference);
}

TEST_F(Race, TwoRunsOfOneScriptWriteTheSameTrace) {
  ASSERT_EQ(RunGame("trace1.txt", "frames1", "1"), 0) << dir_.Read("stderr.txt");
  ASSERT_EQ(RunGame("trace2.txt", "frames2", "1"), 0) << dir_.Read("stderr.txt");
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
// is -z), while the computer cars wait on their grid places; only the cars
// ahead of player 1 in its lane (even slots) may be shoved forward, one into
// the next.
TEST_F(Race, Player1DrivesOffTheGridUnderTheKeysAndTheComputerCarsWait) {
  dir_.Write("script.txt", "f230 down UP\nf300 down LEFT\nf330 up LEFT\nf360 press ESC\n");
  ASSERT_EQ(RunGame("trace1.txt", "frames1", "1"), 0) << dir_.Read("stderr.txt");
  ASSERT_EQ(RunGame("trace2.txt", "frames2", "1"), 0) << dir_.Read("stderr.txt");
  const std::string first = dir_.Read("trace1.txt");
  EXPECT_EQ(first, dir_.Read("trace2.txt"));
  std::istringstream lines(first);
  std::string line;
  bool started = false;
  float lastX = 0.0f, lastZ = 0.0f, lastHeading = 0.0f;
  int computers = 0;
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
    ++computers;
    EXPECT_EQ(std::string(who), "computer");
    const float gridX = 780.0f + static_cast<float>(slot / 2) * 53.0f;
    const float gridZ = 6620.0f + static_cast<float>(slot % 2) * 40.0f;
    if (slot % 2 == 0 && started) {
      EXPECT_GE(x, gridX - 1.0f) << line;
      EXPECT_NEAR(z, gridZ, 20.0f) << line;
      continue;
    }
    EXPECT_EQ(velocity, 0.0f) << line;
    EXPECT_EQ(x, gridX) << line;
    EXPECT_EQ(z, gridZ) << line;
  }
  EXPECT_GT(computers, 5 * 10);
  // Held up by the car ahead, it still gets forward and turns left.
  EXPECT_GT(lastX, 800.0f);
  EXPECT_GT(lastHeading, 300.0f);
  EXPECT_LT(lastZ, 6620.0f);
}

}  // namespace
