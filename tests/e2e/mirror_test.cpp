// The rear-view mirror in the real torvane, headless, on the kit's tracks:
// F2 once the race runs shows it near the top of the screen, compared with
// a small reference picture beside this file; and the mirror only draws, so
// a race with it on writes the same trace as the race with it off.
#include <algorithm>
#include <cstdlib>
#include <sstream>

#include "game_run.h"

namespace {

class MirrorReference : public e2e::GameRun {};

TEST_F(MirrorReference, F2ShowsTheMirrorAboveTheRoadAhead) {
  dir_.Write("script.txt", "f446 press F2\nf480 press ESC\n");
  ASSERT_EQ(RunGame("trace.txt", "frames", "470"), 0) << dir_.Read("stderr.txt");
  EXPECT_EQ(dir_.Read("stderr.txt"), "");
  e2e::ExpectFrameLikeReference(dir_ / ("frames/" + e2e::FrameName(470)), "race_mirror.png");
}

// Where two traces part, for the message.
size_t Parting(const std::string& a, const std::string& b) {
  return static_cast<size_t>(std::mismatch(a.begin(), a.end(), b.begin(), b.end()).first - a.begin());
}

class MirrorOnAndOff : public e2e::GameRun {
 protected:
  // The race `race` run by `script` with the mirror off, then with F2
  // pressed before the start; the two traces.
  void RunBoth(const std::string& race, const std::string& script, std::string* off, std::string* on) {
    const std::string env = "TORVANE_TEST_RACE='" + race + "'";
    dir_.Write("script.txt", script);
    ASSERT_EQ(RunGame("off.txt", "frames", "1", env), 0) << dir_.Read("stderr.txt");
    dir_.Write("script.txt", "f300 press F2\n" + script);
    ASSERT_EQ(RunGame("on.txt", "frames", "1", env), 0) << dir_.Read("stderr.txt");
    EXPECT_EQ(dir_.Read("stderr.txt"), "");
    *off = dir_.Read("off.txt");
    *on = dir_.Read("on.txt");
  }
};

// Player 1 drives straight off the grid. Behind it the mirror sees what the
// first view has not drawn yet (the animals' and flags' counters, the smoking
// wrecks), the volcano's waiting rocks, and clears the sunset's and the
// savanna's sky.
TEST_F(MirrorOnAndOff, TheWorldRunsTheSameOnEveryTrack) {
  for (const char* track : {"0", "2", "3", "7", "8"}) {
    SCOPED_TRACE(std::string("track ") + track);
    std::string off, on;
    RunBoth(std::string("display=0 track=") + track, "f310 down UP\nf900 press ESC\n", &off, &on);
    if (HasFatalFailure()) return;
    EXPECT_GT(off.size(), 10000u);
    EXPECT_TRUE(on == off) << "the traces part at byte " << Parting(on, off);
  }
}

// The autopilot's desert race runs through the fence on its first lap; the
// fence's faces fly ahead of the car, where the mirror, looking back, sees
// them far behind its eye: they fly on all the same.
TEST_F(MirrorOnAndOff, DebrisThrownAheadFliesOnWithTheMirrorOn) {
  const std::string cd = "cd '" + (dir_ / "data") + "' && ";
  ASSERT_EQ(std::system((cd + "TORVANE_HEADLESS=1 SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy TORVANE_TEST_RACE="
                              "'display=0' '" AUTOPILOT_PATH "' '" + (dir_ / "recorded.txt") + "' 2>>'" +
                              (dir_ / "stderr.txt") + "'")
                             .c_str()),
            0);
  // The recorded keys up to just past the fence, then Esc.
  std::istringstream recorded(dir_.Read("recorded.txt"));
  std::string script;
  for (std::string line; std::getline(recorded, line);)
    if (line.size() > 1 && line[0] == 'f' && std::atoi(line.c_str() + 1) <= 2000) script += line + "\n";
  script += "f2000 press ESC\n";
  std::string off, on;
  RunBoth("display=0", script, &off, &on);
  if (HasFatalFailure()) return;
  ASSERT_NE(off.find("type 19 at"), std::string::npos) << "the fence (barriere) was knocked";
  EXPECT_TRUE(on == off) << "the traces part at byte " << Parting(on, off);
}

}  // namespace
