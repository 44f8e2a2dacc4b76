// The attract demo and the credits backdrop in the real torvane, headless,
// on the kit's desert at the smallest display mode: what the trace's
// readable lines show of the camera, the fade, the music and the tracks, two
// frames against reference pictures, the ways a demo ends, and the main page
// after it.
#include <algorithm>
#include <cstdio>
#include <set>
#include <sstream>

#include "game_run.h"
#include "screen_picture.h"

namespace {

// One readable group of the trace: the race it belongs to and what its
// replay and sound lines say.
struct Readable {
  int race = 0, frame = 0;
  int track = -1;
  unsigned ms = 0;
  int spot = -1;
  float hold = 0.0f;
  int follow = 0;
  float fade = 0.0f;
  int windowX = 0, windowY = 0;
  int fader = -1;
};

struct Trace {
  std::vector<Readable> readable;
  int lastRace = 0, lastFrame = 0;
};

Trace ParseTrace(const std::string& text) {
  Trace t;
  std::istringstream lines(text);
  std::string line;
  int fader = -1;
  while (std::getline(lines, line)) {
    int race = 0, frame = 0;
    char hash[17] = {};
    if (line[0] != '#' && std::sscanf(line.c_str(), "%d %d %16s", &race, &frame, hash) == 3) {
      t.lastRace = race;
      t.lastFrame = frame;
      continue;
    }
    int sound = 0, track = 0;
    if (std::sscanf(line.c_str(), "#   sound %d music track %d fader %d", &sound, &track, &fader) == 3) continue;
    Readable r;
    if (std::sscanf(line.c_str(), "#   replay track %d ms %u spot %d hold %f follow %d fade %f window %d %d", &r.track,
                    &r.ms, &r.spot, &r.hold, &r.follow, &r.fade, &r.windowX, &r.windowY) == 8) {
      r.race = t.lastRace;
      r.frame = t.lastFrame;
      r.fader = fader;
      t.readable.push_back(r);
    }
  }
  return t;
}

class Demo : public e2e::GameRun {
 protected:
  void SetUp() override {
    GameRun::SetUp();
    dir_.Write("script.txt", OPEN);
  }
  int RunDemo(const std::string& trace, const std::string& frames, const std::string& at, const char* setting) {
    return RunGame(trace, frames, at, std::string("TORVANE_TEST_RACE='") + setting + "'");
  }
  // Nothing pressed: the demo runs its 90 seconds, the main page follows,
  // and the script ends the run there.
  static constexpr const char* OPEN = "100000 end\n";
};

constexpr int32_t FADE_MS = 84000, DEMO_MS = 90000;

class DemoReference : public Demo {};

// Frame 100 is a shot from a camera spot before the start, 1700 a shot
// following close behind a car, 2200 a car seen from its side, the side
// turned from the sun; all with the panels, 100 and 2200 with the
// picture-in-picture. The demo's last frame is 3401; two black frames as
// the menus open their 640 x 480, then the main page fades in.
constexpr int MAIN_PAGE_AFTER_DEMO = 3440;

TEST_F(DemoReference, TheDesertDemoCutsBetweenSpotsAndFollowShotsFadesOutAndEndsAfterNinetySeconds) {
  ASSERT_EQ(RunDemo("trace1.txt", "frames", "100,1700,2200," + std::to_string(MAIN_PAGE_AFTER_DEMO), "demo=1 display=0"),
            0)
      << dir_.Read("stderr.txt");
  EXPECT_EQ(dir_.Read("stderr.txt"), "");
  const std::string text = dir_.Read("trace1.txt");
  const Trace t = ParseTrace(text);
  ASSERT_FALSE(t.readable.empty());
  EXPECT_EQ(t.lastRace, 1);
  std::set<int> spots;
  bool followed = false, fadeRose = true;
  float lastFade = -1.0f;
  unsigned lastMs = 0;
  for (const Readable& r : t.readable) {
    SCOPED_TRACE(r.frame);
    EXPECT_EQ(r.track, 0);
    EXPECT_GE(r.ms, lastMs);
    lastMs = r.ms;
    if (r.ms < static_cast<unsigned>(FADE_MS)) {
      if (r.spot >= 0 && r.hold <= 0.0f) spots.insert(r.spot);
      followed = followed || r.hold > 0.0f;
      EXPECT_EQ(r.fade, -1.0f);
      EXPECT_NE(r.fader, 2);  // not fading out
    } else if (r.ms > static_cast<unsigned>(FADE_MS) + 100) {
      EXPECT_EQ(r.fader, 2);
      fadeRose = fadeRose && r.fade > lastFade;
      lastFade = r.fade;
    }
  }
  EXPECT_GE(spots.size(), 3u);
  EXPECT_TRUE(followed);
  EXPECT_TRUE(fadeRose);
  EXPECT_GT(lastFade, 200.0f);
  // The last readable group lies within a second of the end.
  EXPECT_GE(lastMs, static_cast<unsigned>(DEMO_MS - 1000));
  EXPECT_LT(lastMs, static_cast<unsigned>(DEMO_MS));
  e2e::ExpectFrameLikeReference(dir_ / ("frames/" + e2e::FrameName(100)), "demo_spot_shot.png");
  e2e::ExpectFrameLikeReference(dir_ / ("frames/" + e2e::FrameName(1700)), "demo_follow_shot.png");
  e2e::ExpectFrameLikeReference(dir_ / ("frames/" + e2e::FrameName(2200)), "demo_side_shot.png");
  e2e::Picture menu;
  ASSERT_TRUE(e2e::ReadPpm(dir_ / ("frames/" + e2e::FrameName(MAIN_PAGE_AFTER_DEMO)), &menu));
  ASSERT_EQ(menu.width, 640);
  EXPECT_EQ(e2e::PictureMismatches(menu, "menu1.qvr", e2e::MENU_BARE_CORNER), 0);

  ASSERT_EQ(RunDemo("trace2.txt", "frames2", "1", "demo=1 display=0"), 0) << dir_.Read("stderr.txt");
  EXPECT_EQ(text, dir_.Read("trace2.txt"));
}

TEST_F(Demo, WithRepeatTheNextTrackFollowsAfterNinetySecondsAndAKeyEndsTheRun) {
  // Held from 100000 ms; the script ends the run on the main page after it.
  dir_.Write("script.txt", "100000 down SPACE\n+2000 end\n");
  ASSERT_EQ(RunDemo("trace.txt", "frames", "1", "demo=2 display=0"), 0) << dir_.Read("stderr.txt");
  const Trace t = ParseTrace(dir_.Read("trace.txt"));
  EXPECT_EQ(t.lastRace, 2);
  bool boue = false;
  for (const Readable& r : t.readable) {
    if (r.race == 1) {
      EXPECT_EQ(r.track, 0);
      EXPECT_LT(r.ms, static_cast<unsigned>(DEMO_MS));
    } else {
      // The championship order's second track.
      EXPECT_EQ(r.race, 2);
      EXPECT_EQ(r.track, 2);
      // The key came in the first seconds of boue's demo.
      EXPECT_LT(r.ms, 10000u);
      boue = true;
    }
  }
  EXPECT_TRUE(boue);
}

// The key goes down once frame 1150 is shown (about 30 seconds in): the
// demo ends at the end of the next frame, with no other track loaded; the
// next frame is black, as the menus open their 640 x 480.
TEST_F(Demo, AKeyEndsTheDemoWithinAFrameWithoutLoadingAnotherTrack) {
  dir_.Write("script.txt", "f1150 press SPACE\nf1200 end\n");
  ASSERT_EQ(RunDemo("trace.txt", "frames", "1149,1150,1151,1152,1154", "demo=2 display=0"), 0) << dir_.Read("stderr.txt");
  const Trace t = ParseTrace(dir_.Read("trace.txt"));
  EXPECT_EQ(t.lastRace, 1);
  e2e::Picture last, next, menu;
  ASSERT_TRUE(e2e::ReadPpm(dir_ / "frames/frame01151.ppm", &last));
  ASSERT_TRUE(e2e::ReadPpm(dir_ / "frames/frame01152.ppm", &next));
  ASSERT_TRUE(e2e::ReadPpm(dir_ / "frames/frame01154.ppm", &menu));
  EXPECT_NE(std::count(last.rgb.begin(), last.rgb.end(), uint8_t{0}), static_cast<std::ptrdiff_t>(last.rgb.size()));
  EXPECT_EQ(std::count(next.rgb.begin(), next.rgb.end(), uint8_t{0}), static_cast<std::ptrdiff_t>(next.rgb.size()));
  EXPECT_EQ(menu.width, 640);
}

// An arrow key ends the demo of one track the same way.
TEST_F(Demo, AnArrowKeyEndsTheDemoWithinAFrame) {
  dir_.Write("script.txt", "f300 press LEFT\nf340 end\n");
  ASSERT_EQ(RunDemo("trace.txt", "frames", "299,300,301,302", "demo=1 display=0"), 0) << dir_.Read("stderr.txt");
  EXPECT_EQ(ParseTrace(dir_.Read("trace.txt")).lastRace, 1);
  // The demo's last frame, then black as the menus open their 640 x 480.
  e2e::Picture last, next;
  ASSERT_TRUE(e2e::ReadPpm(dir_ / "frames/frame00301.ppm", &last));
  ASSERT_TRUE(e2e::ReadPpm(dir_ / "frames/frame00302.ppm", &next));
  EXPECT_NE(std::count(last.rgb.begin(), last.rgb.end(), uint8_t{0}), static_cast<std::ptrdiff_t>(last.rgb.size()));
  EXPECT_EQ(std::count(next.rgb.begin(), next.rgb.end(), uint8_t{0}), static_cast<std::ptrdiff_t>(next.rgb.size()));
}

TEST_F(Demo, TheCreditsWindowMovesAboutTheScreenAndTheTrackChangesAfter37Seconds) {
  // Held from 45000 ms; only at 90000 ms would the script close the window,
  // a third track in. The menus' poll that ends the credits counts the keys
  // of a scan code (Enter), not those of the key bits (arrows, Ctrl, Space).
  dir_.Write("script.txt", "45000 down ENTER\n90000 end\n");
  ASSERT_EQ(RunDemo("trace.txt", "frames", "1", "credits=1 display=0"), 0) << dir_.Read("stderr.txt");
  const Trace t = ParseTrace(dir_.Read("trace.txt"));
  EXPECT_EQ(t.lastRace, 2);
  int lastX = 160, lastY = 120, lastMoveFrame = 0, moves = 0;
  for (const Readable& r : t.readable) {
    SCOPED_TRACE(r.frame);
    EXPECT_EQ(r.track, r.race == 1 ? 0 : 2);  // desert, then boue in championship order
    if (r.race == 1) {
      EXPECT_LT(r.ms, 37000u);
    }
    EXPECT_GE(r.windowX, 0);
    EXPECT_LE(r.windowX, 319);
    EXPECT_GE(r.windowY, 0);
    EXPECT_LE(r.windowY, 279);
    if (r.windowX == lastX && r.windowY == lastY) continue;
    EXPECT_TRUE(std::abs(r.windowX - lastX) >= 100 || std::abs(r.windowY - lastY) >= 80);
    // Every 250 units (a frame is a little over one), or at the track change.
    if (r.race == 1 && moves > 0) {
      EXPECT_GE(r.frame - lastMoveFrame, 225);
    }
    ++moves;
    lastMoveFrame = r.frame;
    lastX = r.windowX;
    lastY = r.windowY;
  }
  EXPECT_GE(moves, 4);
}

}  // namespace
