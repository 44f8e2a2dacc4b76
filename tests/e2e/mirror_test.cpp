// The rear-view mirror in the real torvane, headless, on the kit's tracks:
// F2 once the race runs shows it near the top of the screen, compared with
// a small reference picture beside this file; and the mirror only draws, so
// a race with it on writes the same trace as the race with it off.
#include <algorithm>

#include "game_run.h"

namespace {

class MirrorReference : public e2e::GameRun {};

TEST_F(MirrorReference, F2ShowsTheMirrorAboveTheRoadAhead) {
  dir_.Write("script.txt", "f446 press F2\nf480 press ESC\n");
  ASSERT_EQ(RunGame("trace.txt", "frames", "470", e2e::DESERT_RACE), 0) << dir_.Read("stderr.txt");
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

// Player 1 turns off the desert's outward straight and drives through a
// fence panel beside the way back, on its own, away from the other cars. The
// panel's faces fly on ahead of the car, soon further ahead than the
// mirror's backward look lets anything lie behind its eye: only the first
// view may end their flight, or the mirror would cut it short.
TEST_F(MirrorOnAndOff, DebrisThrownAheadFliesOnWithTheMirrorOn) {
  std::string off, on;
  RunBoth("display=0", "f310 down UP\nf440 down LEFT\nf453 up LEFT\nf900 press ESC\n", &off, &on);
  if (HasFatalFailure()) return;
  ASSERT_NE(off.find("type 19 at 3400.000"), std::string::npos) << "player 1 knocked the fence panel";
  EXPECT_TRUE(on == off) << "the traces part at byte " << Parting(on, off);
}

}  // namespace
