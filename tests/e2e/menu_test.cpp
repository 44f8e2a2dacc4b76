// The menus in the real torvane, headless, on the kit's data, played by
// scripts of pointer clicks and keys without a test preset: the main page
// after the intro, a race started from it and resumed after Esc, the
// attract demo after 20 seconds without input or on D, and quitting through
// the confirmation page to the credits.
#include <algorithm>
#include <cstdio>
#include <map>
#include <sstream>

#include "game_run.h"
#include "screen_picture.h"

namespace {

// A click at (x, y): the pointer moves once frame `frame` is shown, the
// button goes down and up on the next two.
std::string Click(int frame, int x, int y) {
  char text[96];
  std::snprintf(text, sizeof text, "f%d move %d %d\nf%d ldown\nf%d lup\n", frame, x, y, frame + 1, frame + 2);
  return text;
}

// The widgets' places on the 640 x 480 menu screen.
constexpr int VALUE_LOWER_ARROW_X = 95, VALUE_LOWER_ARROW_Y = 360;
constexpr int START_X = 316, START_Y = 445, RESUME_X = 587, RESUME_Y = 445, QUIT_X = 178, QUIT_Y = 445;
constexpr int QUIT_ANSWER_X = 250, STAY_ANSWER_X = 390, ANSWER_Y = 447;

// The trace's frame lines and readable groups.
struct TraceFrame {
  int race, frame;
  std::string hash;
};
struct TraceView {
  std::vector<TraceFrame> frames;
  std::map<int, int> trackOfRace;                     // from the replay lines
  std::map<std::pair<int, int>, std::vector<float>> cars;  // (race, frame) -> x, z of vehicles 1..5
};

TraceView ReadTrace(const std::string& text) {
  TraceView t;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    TraceFrame f;
    char hash[17] = {};
    if (line[0] != '#' && std::sscanf(line.c_str(), "%d %d %16s", &f.race, &f.frame, hash) == 3) {
      f.hash = hash;
      t.frames.push_back(f);
      continue;
    }
    if (t.frames.empty()) continue;
    const TraceFrame& last = t.frames.back();
    int track = 0, slot = 0;
    float x = 0, y = 0, z = 0;
    if (std::sscanf(line.c_str(), "#   replay track %d", &track) == 1) t.trackOfRace[last.race] = track;
    if (std::sscanf(line.c_str(), "#   vehicle %d computer position %f %f %f", &slot, &x, &y, &z) == 4) {
      auto& cars = t.cars[{last.race, last.frame}];
      cars.push_back(x);
      cars.push_back(z);
    }
  }
  return t;
}

class Menus : public e2e::GameRun {
 protected:
  int Play(const std::string& script, const std::string& trace, const std::string& frames, const std::string& at) {
    dir_.Write("script.txt", script);
    return RunGame(trace, frames, at);
  }
  e2e::Picture Frame(const std::string& frames, int n) {
    e2e::Picture p;
    EXPECT_TRUE(e2e::ReadPpm(dir_ / (frames + "/" + e2e::FrameName(n)), &p)) << frames << " " << n;
    return p;
  }
};

// Named so that scripts/update-references.sh finds it.
class MenusReference : public Menus {};

// The value drum's lower arrow, Start, Esc once the race runs, Resume.
TEST_F(MenusReference, ARaceStartedFromTheMainPageGoesOnAfterEscAndResume) {
  const std::string start = Click(40, VALUE_LOWER_ARROW_X, VALUE_LOWER_ARROW_Y) + Click(60, START_X, START_Y);
  const std::string esc = "f560 press ESC\n" + Click(620, RESUME_X, RESUME_Y);
  ASSERT_EQ(Play(start + esc + "f760 end\n", "trace.txt", "frames", "30,600"), 0) << dir_.Read("stderr.txt");
  EXPECT_EQ(dir_.Read("stderr.txt"), "");
  // After the intro, menu1.qvr with the drums on it.
  const e2e::Picture menu = Frame("frames", 30);
  EXPECT_EQ(e2e::PictureMismatches(menu, "menu1.qvr", e2e::MENU_BARE_CORNER), 0);
  EXPECT_GT(e2e::PictureMismatches(menu, "menu1.qvr", {164, 214, 520, 266}), 1000);  // the category drum
  // The main page after Esc, with the resume button.
  e2e::ExpectFrameLikeReference(dir_ / "frames/frame00600.ppm", "menu_resume.png");

  // The same race without Esc: both traces alike up to Esc, then the resumed
  // race goes on with its frame numbers and its cars where they were.
  ASSERT_EQ(Play(start + "f680 end\n", "plain.txt", "plain", "1"), 0) << dir_.Read("stderr.txt");
  const TraceView resumed = ReadTrace(dir_.Read("trace.txt")), plain = ReadTrace(dir_.Read("plain.txt"));
  ASSERT_FALSE(resumed.frames.empty());
  EXPECT_EQ(resumed.trackOfRace, (std::map<int, int>{{1, 2}}));  // one race, on boue
  size_t same = 0;
  while (same < resumed.frames.size() && same < plain.frames.size() &&
         resumed.frames[same].hash == plain.frames[same].hash)
    ++same;
  EXPECT_GT(same, 200u);  // the countdown is over before Esc
  ASSERT_GT(resumed.frames.size(), same + 50);
  for (size_t i = 0; i < resumed.frames.size(); ++i) {
    EXPECT_EQ(resumed.frames[i].race, 1);
    EXPECT_EQ(resumed.frames[i].frame, static_cast<int>(i) + 1);
  }
  // Each computer car within a few units of where the race without the
  // menus has it: the same race, not a new one from the grid.
  int compared = 0;
  for (const auto& [key, cars] : resumed.cars) {
    if (key.second <= static_cast<int>(same)) continue;
    const auto other = plain.cars.find(key);
    if (other == plain.cars.end()) continue;
    ASSERT_EQ(cars.size(), other->second.size());
    for (size_t i = 0; i < cars.size(); ++i) EXPECT_NEAR(cars[i], other->second[i], 30.0f) << key.second;
    ++compared;
  }
  EXPECT_GT(compared, 0);
}

// 20 s without input: the attract demo on the demo track (the desert); a key
// ends it within a frame and the main page follows; D starts it at once.
TEST_F(Menus, TheAttractDemoComesAfterTwentySecondsOrOnD) {
  // D goes up a frame later: a key still down when the demo's first frame
  // is shown ends it, and a headless load takes no time to speak of.
  const std::string script = "f1000 press SPACE\nf1100 down D\nf1101 up D\nf1300 end\n";
  ASSERT_EQ(Play(script, "trace.txt", "frames", "700,1001,1002,1040,1110"), 0) << dir_.Read("stderr.txt");
  EXPECT_EQ(dir_.Read("stderr.txt"), "");
  const TraceView t = ReadTrace(dir_.Read("trace.txt"));
  EXPECT_EQ(t.trackOfRace, (std::map<int, int>{{1, 0}, {2, 0}}));
  // The first demo began once the main page had shown 20 s of frames.
  int firstDemoFrames = 0;
  for (const TraceFrame& f : t.frames) firstDemoFrames += f.race == 1;
  EXPECT_GT(1001 - firstDemoFrames, 20000 / 26);
  EXPECT_LT(1001 - firstDemoFrames, 20000 / 25 + 10);
  // Waiting on the main page, the demo's last frame, the main page's first
  // (black as it fades in), the main page again, the demo on D.
  EXPECT_EQ(e2e::PictureMismatches(Frame("frames", 700), "menu1.qvr", e2e::MENU_BARE_CORNER), 0);
  EXPECT_GT(e2e::PictureMismatches(Frame("frames", 1001), "menu1.qvr", e2e::MENU_BARE_CORNER), 1000);
  const e2e::Picture black = Frame("frames", 1002);
  EXPECT_EQ(std::count(black.rgb.begin(), black.rgb.end(), uint8_t{0}), static_cast<std::ptrdiff_t>(black.rgb.size()));
  EXPECT_EQ(e2e::PictureMismatches(Frame("frames", 1040), "menu1.qvr", e2e::MENU_BARE_CORNER), 0);
  EXPECT_GT(e2e::PictureMismatches(Frame("frames", 1110), "menu1.qvr", e2e::MENU_BARE_CORNER), 1000);
}

// Quit asks on menu14.qvr; "stay" brings menu1.qvr back; quit again and
// "quit": the credits, until a key ends the game.
TEST_F(Menus, QuitAsksStayComesBackAndQuitEndsInTheCredits) {
  const std::string script = Click(40, QUIT_X, QUIT_Y) + Click(80, STAY_ANSWER_X, ANSWER_Y) + Click(130, QUIT_X, QUIT_Y) +
                             Click(170, QUIT_ANSWER_X, ANSWER_Y) + "f400 press A\nf600 end\n";
  ASSERT_EQ(Play(script, "trace.txt", "frames", "70,120,160,300,401"), 0) << dir_.Read("stderr.txt");
  EXPECT_EQ(dir_.Read("stderr.txt"), "");
  EXPECT_EQ(e2e::PictureMismatches(Frame("frames", 70), "menu14.qvr", e2e::MENU_BARE_CORNER), 0);
  EXPECT_EQ(e2e::PictureMismatches(Frame("frames", 120), "menu1.qvr", e2e::MENU_BARE_CORNER), 0);
  EXPECT_EQ(e2e::PictureMismatches(Frame("frames", 160), "menu14.qvr", e2e::MENU_BARE_CORNER), 0);
  // The credits' backdrop: a race on the desert in a window over black.
  const e2e::Picture credits = Frame("frames", 300);
  EXPECT_EQ(credits.rgb[0], 0);
  const TraceView t = ReadTrace(dir_.Read("trace.txt"));
  EXPECT_EQ(t.trackOfRace, (std::map<int, int>{{1, 0}}));
  // The key ended the game: no frame after it.
  EXPECT_FALSE(std::filesystem::exists(dir_.path() / "frames" / e2e::FrameName(401)));
}

}  // namespace
