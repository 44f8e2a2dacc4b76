// A race that finishes: the autopilot drives player 1 round the kit's desert
// and records its keys as a script; torvane replaying the script must run the
// same race, byte for byte in the trace, to the finish of the third lap.
//
// On the kit's looping track the autopilot's run is the jump run: player 1
// drives over the ramp, through the scripted jump's run-up (8) and flight (7)
// into the air (1) and lands; the run ends soon after, and torvane replaying
// its script writes the same trace.
//
// Every 100th line of the trace and its last are kept beside this file
// (autopilot_trace.txt), so an unintended change of the race fails here. After
// a deliberate one, TORVANE_UPDATE_REFERENCES=1 writes them anew (as
// scripts/update-references.sh does); say so in the commit.
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "game_run.h"
#include "support/png_rgb.h"
#include "support/test_support.h"

namespace {

constexpr int KEEP_EVERY = 100;
// Arcade, desert, one player on the keyboard (the shell's defaults), in the smallest display mode.
constexpr const char* RACE = "display=0";
constexpr const char* LOOPING_RACE = "track=6 display=0";
// The same on boue, the water track.
constexpr const char* BOUE_RACE = "display=0 track=2";
constexpr float BOUE_WATER_LEVEL = 820.0f;

class AutopilotRun : public ::testing::Test {
 protected:
  explicit AutopilotRun(const char* race = RACE) : race_(race) {}
  int Run(const std::string& command) {
    const std::string line = "cd '" + (dir_ / "data") + "' && TORVANE_HEADLESS=1 SDL_VIDEODRIVER=dummy "
                             "SDL_AUDIODRIVER=dummy TORVANE_TEST_RACE='" + race_ + "' " + command +
                             " 2>>'" + (dir_ / "stderr.txt") + "'";
    const int status = std::system(line.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  void SetUp() override {
    std::filesystem::create_directories(dir_.path() / "data");
    ASSERT_EQ(Run("'" DATAKIT_PATH "' ."), 0);
  }
  // The autopilot's run (its script, and `extra` arguments after it), then
  // torvane replaying the script (with the settings `replayEnv`, "NAME='value' ");
  // both traces must be the same.
  void RecordAndReplay(const std::string& extra = "", const std::string& replayEnv = "") {
    ASSERT_EQ(Run("TORVANE_TRACE='" + (dir_ / "trace1.txt") + "' '" AUTOPILOT_PATH "' '" + (dir_ / "script.txt") +
                  "'" + extra),
              0)
        << dir_.Read("stderr.txt");
    ASSERT_EQ(Run(replayEnv + "TORVANE_TRACE='" + (dir_ / "trace2.txt") + "' TORVANE_SCRIPT='" + (dir_ / "script.txt") + "' '" +
                  TORVANE_PATH "'"),
              0)
        << dir_.Read("stderr.txt");
    EXPECT_EQ(dir_.Read("stderr.txt"), "");
    ASSERT_EQ(dir_.Read("trace1.txt"), dir_.Read("trace2.txt"));
    const std::string script = dir_.Read("script.txt");
    EXPECT_TRUE(script.size() > 5 && script.compare(script.size() - 5, 5, " end\n") == 0) << script;
  }
  std::string race_;
  TempDir dir_;
};

class AutopilotReference : public AutopilotRun {};
class LoopingJump : public AutopilotRun {
 protected:
  LoopingJump() : AutopilotRun(LOOPING_RACE) {}
};

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) out.push_back(line);
  return out;
}

std::string Kept(const std::vector<std::string>& lines) {
  std::string out;
  for (size_t i = KEEP_EVERY - 1; i < lines.size(); i += KEEP_EVERY) out += lines[i] + "\n";
  if (!lines.empty()) out += lines.back() + "\n";
  return out;
}

// Frames of the replay (counted from the program's start) on the first lap:
// after the cars ahead have run through the drum on the outward straight,
// the drum in the air ahead of player 1 and then tumbling past above it; and
// on the way back the fence's faces lying as shards where the cars ahead ran
// through it.
constexpr int DRUM_FLYING = 780, DRUM_EXPLODES = 966, FENCE_SHARDS = 1960;

TEST_F(AutopilotReference, TheRecordedRaceReplaysToItsFinish) {
  std::filesystem::create_directories(dir_.path() / "frames");
  RecordAndReplay("", "TORVANE_DUMP_FRAMES='" + (dir_ / "frames") + "' TORVANE_DUMP_AT=" + std::to_string(DRUM_FLYING) +
                          "," + std::to_string(DRUM_EXPLODES) + "," + std::to_string(FENCE_SHARDS) + " ");
  if (HasFatalFailure()) return;
  const std::string trace = dir_.Read("trace1.txt");

  // Race message 2 ("RENNEN VORBEI") shows, then player 1 has finished its
  // third lap of three with lapsDone 2, and the race is over.
  const std::vector<std::string> lines = Lines(trace);
  bool raceOver = false, finishedAfterMessage = false, raceFinished = false;
  for (const std::string& line : lines) {
    if (line.rfind("# raceStarted", 0) == 0) {
      EXPECT_NE(line.find("lapCount 3"), std::string::npos) << line;
      raceOver = raceOver || line.find("message 2 ") != std::string::npos;
      raceFinished = line.find("raceFinished 1") != std::string::npos;
    } else if (line.find(" player1 ") != std::string::npos && line.find("laps 2 finished 1") != std::string::npos) {
      finishedAfterMessage = finishedAfterMessage || raceOver;
    }
  }
  EXPECT_TRUE(raceOver);
  EXPECT_TRUE(finishedAfterMessage);
  EXPECT_TRUE(raceFinished);
  // The objects the cars ran into stay knocked over, listed by type row.
  std::set<int> knocked;
  for (const std::string& line : lines) {
    unsigned placement, type;
    if (std::sscanf(line.c_str(), "#   knocked placement %u type %u", &placement, &type) == 2)
      knocked.insert(static_cast<int>(type));
  }
  EXPECT_EQ(knocked.count(19), 1u) << "the fence on the course (barriere)";
  EXPECT_EQ(knocked.count(17), 1u) << "the drum on the course (bidon)";
  e2e::ExpectFrameLikeReference(dir_ / ("frames/" + e2e::FrameName(DRUM_FLYING)), "autopilot_drum_flying.png");
  e2e::ExpectFrameLikeReference(dir_ / ("frames/" + e2e::FrameName(DRUM_EXPLODES)), "autopilot_drum_explodes.png");
  e2e::ExpectFrameLikeReference(dir_ / ("frames/" + e2e::FrameName(FENCE_SHARDS)), "autopilot_fence_shards.png");

  const std::string kept = Kept(lines);
  const std::string path = std::string(E2E_DIR) + "/autopilot_trace.txt";
  if (UpdatingReferences()) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr) << path;
    std::fwrite(kept.data(), 1, kept.size(), f);
    std::fclose(f);
    return;
  }
  std::FILE* f = std::fopen(path.c_str(), "rb");
  ASSERT_NE(f, nullptr) << path << " (TORVANE_UPDATE_REFERENCES=1 writes it)";
  std::string want;
  char buffer[4096];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) want.append(buffer, n);
  std::fclose(f);
  EXPECT_EQ(kept, want) << "the race ran differently; after a deliberate change rewrite " << path
                        << " with TORVANE_UPDATE_REFERENCES=1";
}

TEST_F(LoopingJump, PlayerOneFliesTheScriptedJumpAndLands) {
  RecordAndReplay(" '" + (dir_ / "states.txt") + "'");
  if (HasFatalFailure()) return;
  // Player 1's state word, one entry a change: the run-up, the flight and
  // the air after it, in that order; then the touch-down, onto its wheels
  // (0) or thrown by a bad landing (2), and in the end on its wheels again.
  const std::string log = dir_.Read("states.txt");
  std::vector<int> states;
  for (const std::string& line : Lines(log)) {
    const size_t at = line.find(" state ");
    ASSERT_NE(at, std::string::npos) << line;
    states.push_back(std::stoi(line.substr(at + 7)));
  }
  const std::vector<int> jump = {8, 7, 1};
  const auto flight = std::search(states.begin(), states.end(), jump.begin(), jump.end());
  ASSERT_NE(flight, states.end()) << log;
  const auto after = flight + 3;
  ASSERT_NE(after, states.end()) << log;
  EXPECT_TRUE(*after == 0 || *after == 2) << log;
  EXPECT_EQ(states.back(), 0) << log;
  // The race ran on the looping track and was not over when the run ended.
  const std::string trace = dir_.Read("trace1.txt");
  EXPECT_NE(trace.find("lapCount 3"), std::string::npos);
  EXPECT_EQ(trace.find("raceFinished 1"), std::string::npos);
}

// On boue the course crosses the shallow edge of a pond: player 1 drives
// through the water without sinking and on to the finish of its third lap,
// and the replay runs the same race.
class BoueAutopilot : public AutopilotRun {
 protected:
  BoueAutopilot() : AutopilotRun(BOUE_RACE) {}
};

// The value after `key` in a trace line.
float ValueAfter(const std::string& line, const std::string& key, int skip = 0) {
  std::istringstream in(line.substr(line.find(key) + key.size()));
  float v = 0.0f;
  for (int i = 0; i <= skip; ++i) in >> v;
  return v;
}

TEST_F(BoueAutopilot, TheCarDrivesThroughThePondAndFinishes) {
  RecordAndReplay();
  if (HasFatalFailure()) return;
  const std::string trace = dir_.Read("trace1.txt");
  int wet = 0, sinking = 0;
  bool finished = false, raceFinished = false;
  for (const std::string& line : Lines(trace)) {
    if (line.rfind("# raceStarted", 0) == 0) raceFinished = line.find("raceFinished 1") != std::string::npos;
    if (line.find(" player1 ") == std::string::npos) continue;
    // Only the pond lies below the water level; the wheels stand on its bed.
    wet += ValueAfter(line, " position ", 1) < BOUE_WATER_LEVEL;
    sinking += ValueAfter(line, " state ") == 5.0f;
    finished = finished || line.find("laps 2 finished 1") != std::string::npos;
  }
  EXPECT_GE(wet, 3);  // once a lap at least, in the snapshots every 25 frames
  EXPECT_EQ(sinking, 0);
  EXPECT_TRUE(finished);
  EXPECT_TRUE(raceFinished);
}

// Named so that scripts/update-references.sh finds it.
class BoueDropsReference : public BoueAutopilot {};

// The replay's frames as player 1 drives into the pond's edge: the water
// drops its left wheels throw as they enter, then the sprays of all its
// wheels in the water, grey on the pale water.
TEST_F(BoueDropsReference, TheWheelsThrowDropsAsTheCarEntersThePond) {
  std::filesystem::create_directories(dir_.path() / "frames");
  RecordAndReplay("", "TORVANE_DUMP_FRAMES='" + (dir_ / "frames") + "' TORVANE_DUMP_AT=550,565 ");
  if (HasFatalFailure()) return;
  e2e::ExpectFrameLikeReference(dir_ / ("frames/" + e2e::FrameName(550)), "boue_drops_enter.png");
  e2e::ExpectFrameLikeReference(dir_ / ("frames/" + e2e::FrameName(565)), "boue_drops_wading.png");
}

}  // namespace
