// The attract demo round the ten tracks three times, a few frames each,
// in demo_soak: at every load of the third round the memory pool's use and
// peak and the sound objects alive are those of the same track in the
// second round.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <map>
#include <sstream>
#include <string>

#include "support/test_support.h"

namespace {

// Every track, in championship order.
constexpr const char* KIT_TRACKS = "0,1,2,3,4,5,6,7,8,9";
constexpr int TRACKS = 10;

struct Load {
  unsigned used = 0, peak = 0, sounds = 0;
};

TEST(DemoSoak, TheSecondAndThirdRoundsOfTrackLoadsLeaveTheSameFigures) {
  TempDir dir;
  std::filesystem::create_directories(dir.path() / "data");
  const std::string data = dir / "data";
  ASSERT_EQ(std::system(("cd '" + data + "' && '" DATAKIT_PATH "' . >/dev/null").c_str()), 0);
  const std::string command = "cd '" + data +
                              "' && TORVANE_HEADLESS=1 SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy '" SOAK_PATH
                              "' 3 5 " + KIT_TRACKS + " >'" + (dir / "out.txt") + "' 2>'" + (dir / "err.txt") + "'";
  const int status = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << dir.Read("out.txt") << dir.Read("err.txt");
  std::map<std::pair<int, int>, Load> loads;  // (round, track)
  std::istringstream lines(dir.Read("out.txt"));
  std::string line;
  int count = 0;
  while (std::getline(lines, line)) {
    int n = 0, round = 0, track = 0;
    long rss = 0;
    Load l;
    if (std::sscanf(line.c_str(), "load %d round %d track %d used %u peak %u sounds %u rss %ld", &n, &round, &track,
                    &l.used, &l.peak, &l.sounds, &rss) != 7)
      continue;
    EXPECT_EQ(n, ++count);
    loads[{round, track}] = l;
  }
  ASSERT_EQ(count, 3 * TRACKS) << dir.Read("out.txt");
  std::istringstream tracks(KIT_TRACKS);
  std::string item;
  while (std::getline(tracks, item, ',')) {
    const int t = std::stoi(item);
    SCOPED_TRACE(t);
    ASSERT_TRUE(loads.count({2, t}) && loads.count({3, t}));
    const Load& second = loads[{2, t}];
    const Load& third = loads[{3, t}];
    EXPECT_EQ(third.used, second.used);
    EXPECT_EQ(third.peak, second.peak);
    EXPECT_EQ(third.sounds, second.sounds);
    EXPECT_GT(second.used, 0u);
  }
}

}  // namespace
