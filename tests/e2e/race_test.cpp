// The real torvane, headless, on the data kit's data: the placeholder front
// end's desert race, its countdown and its start, as small pictures compared
// with references beside this file (TORVANE_UPDATE_REFERENCES=1 rewrites
// them), and the race trace, which two runs of one script write alike.
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "support/png_rgb.h"
#include "support/test_support.h"

namespace {

constexpr int SHRINK = 4;  // the references keep one pixel of each 4 x 4 block's average

struct Picture {
  int width = 0, height = 0;
  std::vector<uint8_t> rgb;
};

bool ReadPpm(const std::string& path, Picture* p) {
  std::ifstream f(path, std::ios::binary);
  std::string magic;
  int maxValue = 0;
  if (!(f >> magic >> p->width >> p->height >> maxValue) || magic != "P6" || maxValue != 255) return false;
  f.get();
  p->rgb.resize(static_cast<size_t>(p->width) * p->height * 3);
  return static_cast<bool>(f.read(reinterpret_cast<char*>(p->rgb.data()), static_cast<std::streamsize>(p->rgb.size())));
}

Picture Shrink(const Picture& in) {
  Picture out;
  out.width = in.width / SHRINK;
  out.height = in.height / SHRINK;
  out.rgb.resize(static_cast<size_t>(out.width) * out.height * 3);
  for (int y = 0; y < out.height; ++y)
    for (int x = 0; x < out.width; ++x)
      for (int c = 0; c < 3; ++c) {
        int sum = 0;
        for (int dy = 0; dy < SHRINK; ++dy)
          for (int dx = 0; dx < SHRINK; ++dx)
            sum += in.rgb[(static_cast<size_t>(y * SHRINK + dy) * in.width + x * SHRINK + dx) * 3 + c];
        out.rgb[(static_cast<size_t>(y) * out.width + x) * 3 + c] = static_cast<uint8_t>(sum / (SHRINK * SHRINK));
      }
  return out;
}

class Race : public ::testing::Test {
 protected:
  int Run(const std::string& command) {
    std::string line = "cd '" + (dir_ / "data") + "' && " + command + " 2>>'" + (dir_ / "stderr.txt") + "'";
    int status = std::system(line.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  void SetUp() override {
    std::filesystem::create_directories(dir_.path() / "data");
    ASSERT_EQ(Run("'" DATAKIT_PATH "' ."), 0);
    dir_.Write("script.txt", SCRIPT);
  }
  // One headless run writing `trace` and the listed frames into `frames`.
  int RunGame(const std::string& trace, const std::string& frames, const std::string& at) {
    std::filesystem::create_directories(dir_.path() / frames);
    return Run("TORVANE_HEADLESS=1 SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy TORVANE_SCRIPT='" +
               (dir_ / "script.txt") + "' TORVANE_TRACE='" + (dir_ / trace) + "' TORVANE_DUMP_FRAMES='" +
               (dir_ / frames) + "' TORVANE_DUMP_AT=" + at + " '" TORVANE_PATH "'");
  }

  // Esc once the race has started; Esc on the way back to the menus quits.
  static constexpr const char* SCRIPT = "f383 press ESC\n";
  TempDir dir_;
};

// The shown frames of the countdown at "5", "3" and "1", and of the race after
// the start. The track presentation and its zoom take the first 133 frames
// after loading, on the kit's desert.
struct Shot {
  int frame;
  const char* reference;
};
constexpr Shot SHOTS[] = {{173, "race_countdown5.png"}, {233, "race_countdown3.png"}, {293, "race_countdown1.png"},
                          {373, "race_started.png"}};

// Named so that scripts/update-references.sh finds it.
class RaceReference : public Race {};

// The dumped frames of `shots`, shrunk, against their references beside this file.
template <size_t N>
void CompareShots(const TempDir& dir, const std::string& frames, const Shot (&shots)[N]) {
  const bool update = UpdatingReferences();
  for (const Shot& shot : shots) {
    SCOPED_TRACE(shot.reference);
    char name[32];
    std::snprintf(name, sizeof name, "/frame%05d.ppm", shot.frame);
    Picture full;
    ASSERT_TRUE(ReadPpm(dir / (frames + name), &full));
    const Picture small = Shrink(full);
    const std::string path = std::string(E2E_DIR) + "/" + shot.reference;
    if (update) {
      ASSERT_TRUE(WritePng(path, small.rgb, small.width, small.height));
      continue;
    }
    std::vector<uint8_t> want;
    uint32_t w = 0, h = 0;
    ASSERT_TRUE(ReadPng(path, &want, &w, &h)) << path << " (TORVANE_UPDATE_REFERENCES=1 writes it)";
    ASSERT_EQ(static_cast<int>(w), small.width);
    ASSERT_EQ(static_cast<int>(h), small.height);
    int off = 0;
    for (size_t i = 0; i < want.size(); ++i)
      if (std::abs(int{want[i]} - int{small.rgb[i]}) > 2) ++off;
    EXPECT_EQ(off, 0);
  }
}

TEST_F(RaceReference, TheDesertCountdownAndStartLookAsTheyShould) {
  ASSERT_EQ(RunGame("trace.txt", "frames", "173,233,293,373"), 0) << dir_.Read("stderr.txt");
  EXPECT_EQ(dir_.Read("stderr.txt"), "");
  CompareShots(dir_, "frames", SHOTS);
}

// The track's model turning under its name, the zoom toward the start, the
// fly-in down onto the chase camera, and the in-car view (F1) once the race runs.
constexpr Shot PRESENTATION_SHOTS[] = {{40, "presentation_model.png"},
                                       {110, "presentation_zoom.png"},
                                       {140, "presentation_flyin.png"},
                                       {460, "race_in_car.png"}};

TEST_F(RaceReference, ThePresentationFlyInAndInCarViewLookAsTheyShould) {
  dir_.Write("script.txt", "f380 press F1\nf470 press ESC\n");
  ASSERT_EQ(RunGame("trace.txt", "frames", "40,110,140,460"), 0) << dir_.Read("stderr.txt");
  EXPECT_EQ(dir_.Read("stderr.txt"), "");
  CompareShots(dir_, "frames", PRESENTATION_SHOTS);
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
// is -z), while the computer cars wait on their grid places.
TEST_F(Race, Player1DrivesOffTheGridUnderTheKeysAndTheComputerCarsWait) {
  dir_.Write("script.txt", "f363 down UP\nf433 down LEFT\nf463 up LEFT\nf493 press ESC\n");
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
    EXPECT_EQ(velocity, 0.0f) << line;
    EXPECT_EQ(x, 780.0f + static_cast<float>(slot / 2) * 53.0f) << line;
    EXPECT_EQ(z, 6620.0f + static_cast<float>(slot % 2) * 40.0f) << line;
  }
  EXPECT_GT(computers, 5 * 10);
  EXPECT_GT(lastX, 900.0f);
  EXPECT_GT(lastHeading, 300.0f);
  EXPECT_LT(lastZ, 6600.0f);
}

}  // namespace
