// The rear-view mirror in the real torvane, headless, on the kit's desert:
// F2 once the race runs shows it near the top of the screen, compared with
// a small reference picture beside this file.
#include "game_run.h"

namespace {

class MirrorReference : public e2e::GameRun {};

TEST_F(MirrorReference, F2ShowsTheMirrorAboveTheRoadAhead) {
  dir_.Write("script.txt", "f446 press F2\nf480 press ESC\n");
  ASSERT_EQ(RunGame("trace.txt", "frames", "470"), 0) << dir_.Read("stderr.txt");
  EXPECT_EQ(dir_.Read("stderr.txt"), "");
  e2e::ExpectFrameLikeReference(dir_ / ("frames/" + e2e::FrameName(470)), "race_mirror.png");
}

}  // namespace
