// A whole race on each of the kit's ten tracks, with no one at the keys:
// the autopilot drives player 1 round trajectory A, headless at 320 x 200,
// for the track's laps, and the race is judged from its trace. It must end
// by player 1's finish; every computer car must finish too, every crossing
// of an armed finish line must count, no car may be put back more than three
// times nor drive far with its progress standing still, no car may go
// faster than its top speed by more than a downhill run gives it but while a
// boost lasts, and none may boost for long. On the highway the traffic must
// drive.
//
// The rows are separate tests, so ctest runs them side by side. Under the
// sanitizer build each race takes minutes; the rows are skipped there, and
// the desert race of the autopilot test drives the same code.
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <ostream>
#include <sstream>
#include <string>

#include "support/test_support.h"

namespace {

constexpr int MOST_RESPAWNS = 3;
constexpr float MOST_FROZEN = 1500.0f;  // units driven with the progress unchanged
constexpr uint32_t SHORTEST_LAP_MS = 25000;
// Neige's long slope takes a car down it some 47 km/h beyond its top speed;
// a boost takes it 70 beyond.
constexpr float SPEED_MARGIN = 50.0f;
// Checkpoints and falling far behind give a car a boost now and then (at
// most 18% of a race's frames in the kit's races); a driver whose progress
// stands still thinks itself far behind and boosts without end.
constexpr int MOST_BOOSTED_SHARE = 3;  // one frame in
constexpr float SLOWEST_TRAFFIC = 20.0f;  // mean speed of the active traffic, km/h

struct KitRace {
  const char* name;
  int track;
};
void PrintTo(const KitRace& race, std::ostream* out) { *out << race.name; }

// What the trace says of one grid slot.
struct Car {
  bool computer = false;
  bool finished = false;
  int laps = 0, respawns = 0, boosted = 0;
  float frozen = 0.0f, fastest = 0.0f, top = 0.0f;
  int counted = 0, lost = 0;
  uint32_t shortest = 0xFFFFFFFFu;
};

class KitRaces : public ::testing::TestWithParam<KitRace> {
 protected:
  int Run(const std::string& command) {
    const std::string line = "cd '" + (dir_ / "data") + "' && " + command + " 2>>'" + (dir_ / "stderr.txt") + "'";
    const int status = std::system(line.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  TempDir dir_;
};

TEST_P(KitRaces, TheAutopilotsRaceEndsByItsFinishWithEveryCarRoundEveryLap) {
  if (ADDRESS_SANITIZED) GTEST_SKIP() << "a whole race takes minutes under the sanitizer";
  const KitRace& race = GetParam();
  std::filesystem::create_directories(dir_.path() / "data");
  ASSERT_EQ(Run("'" DATAKIT_PATH "' ."), 0);
  ASSERT_EQ(Run("TORVANE_HEADLESS=1 SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy TORVANE_TEST_RACE='display=0 track=" +
                std::to_string(race.track) + "' TORVANE_TRACE='" + (dir_ / "trace.txt") + "' '" AUTOPILOT_PATH "' '" +
                (dir_ / "script.txt") + "'"),
            0)
      << dir_.Read("stderr.txt");
  EXPECT_EQ(dir_.Read("stderr.txt"), "");

  std::istringstream lines(dir_.Read("trace.txt"));
  std::map<int, Car> cars;
  std::string last;
  int lapCount = 0, snapshots = 0, frames = 0;
  double trafficSpeeds = 0.0, trafficActive = 0.0;
  for (std::string line; std::getline(lines, line);) {
    int slot = 0, counted = 0, active = 0, crowded = 0, siren = 0;
    unsigned ms = 0;
    char kind[16];
    float speed = 0.0f;
    Car c;
    if (line.rfind("# raceStarted", 0) == 0) {
      last = line;
      std::sscanf(line.c_str() + line.find("lapCount"), "lapCount %d", &lapCount);
    } else if (std::sscanf(line.c_str(), "#   lap vehicle %d ms %u counted %d", &slot, &ms, &counted) == 3) {
      Car& car = cars[slot];
      (counted ? car.counted : car.lost) += 1;
      if (counted && ms < car.shortest) car.shortest = ms;
    } else if (std::sscanf(line.c_str(), "#   traffic active %d crowded %d siren %d speed %f", &active, &crowded, &siren,
                           &speed) == 4) {
      trafficSpeeds += static_cast<double>(speed) * active;
      trafficActive += active;
      ++snapshots;
    } else if (line.rfind("#   vehicle ", 0) == 0) {
      unsigned finished = 0;
      float x, y, z, heading, velocity;
      int state, progress;
      ASSERT_EQ(std::sscanf(line.c_str(),
                            "#   vehicle %d %15s position %f %f %f heading %f velocity %f state %d laps %d finished %u "
                            "progress %d respawns %d frozen %f fastest %f top %f boosted %d",
                            &slot, kind, &x, &y, &z, &heading, &velocity, &state, &c.laps, &finished, &progress,
                            &c.respawns, &c.frozen, &c.fastest, &c.top, &c.boosted),
                16)
          << line;
      Car& car = cars[slot];
      car.computer = std::string(kind) == "computer";
      car.finished = finished != 0;
      car.laps = c.laps;
      car.respawns = c.respawns;
      car.frozen = c.frozen;
      car.fastest = c.fastest;
      car.top = c.top;
      car.boosted = c.boosted;
    } else if (line[0] != '#') {
      ++frames;
    }
  }
  // Player 1's finish ends the race, not the clock.
  EXPECT_NE(last.find("raceFinished 1 raceLeft 0"), std::string::npos) << last;
  const std::string script = dir_.Read("script.txt");
  EXPECT_TRUE(script.size() > 5 && script.compare(script.size() - 5, 5, " end\n") == 0);
  ASSERT_GT(lapCount, 0);
  ASSERT_EQ(cars.size(), 6u);
  for (const auto& [slot, car] : cars) {
    SCOPED_TRACE("vehicle " + std::to_string(slot));
    EXPECT_TRUE(car.finished);
    EXPECT_EQ(car.laps, lapCount - 1);  // the last lap is counted as the finish
    EXPECT_EQ(car.counted, lapCount);
    EXPECT_EQ(car.lost, 0) << "crossings of an armed finish line dropped as too short";
    EXPECT_GT(car.shortest, SHORTEST_LAP_MS);
    EXPECT_LE(car.respawns, MOST_RESPAWNS);
    EXPECT_LE(car.frozen, MOST_FROZEN);
    EXPECT_LT(car.fastest, car.top + SPEED_MARGIN) << "top speed " << car.top;
    EXPECT_LE(car.boosted * MOST_BOOSTED_SHARE, frames) << "frames boosted of " << frames;
  }
  int computers = 0;
  for (const auto& [slot, car] : cars) computers += car.computer;
  EXPECT_EQ(computers, 5);
  if (race.track == 4) {
    ASSERT_GT(snapshots, 0);
    ASSERT_GT(trafficActive, 0.0);
    EXPECT_GT(trafficSpeeds / trafficActive, SLOWEST_TRAFFIC);
  }
}

INSTANTIATE_TEST_SUITE_P(EveryTrack, KitRaces,
                         ::testing::Values(KitRace{"desert", 0}, KitRace{"neige", 1}, KitRace{"boue", 2},
                                           KitRace{"volcano", 3}, KitRace{"highway", 4}, KitRace{"ruines", 5},
                                           KitRace{"looping", 6}, KitRace{"sunset", 7}, KitRace{"savana", 8},
                                           KitRace{"ice", 9}),
                         [](const ::testing::TestParamInfo<KitRace>& info) { return std::string(info.param.name); });

}  // namespace
