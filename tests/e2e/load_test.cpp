// The real torvane, headless, loading the data kit's desert race: the loading
// picture on screen before the race, the race on the track's terrain when its
// mesh file is missing, and the end of the game when a car body is missing.
#include <sys/wait.h>

#include <cstdio>
#include <sstream>

#include "support/ppm.h"
#include "support/test_support.h"

namespace {

// The pixels of a screen picture as the game shows them on a 640 x 480 5-6-5
// screen: each screen pixel takes the source pixel found by 16.16 steps of
// (source size - 1) / screen size, green's low bit repeating its top bit.
std::vector<uint8_t> PictureOnScreen(const std::string& qvr) {
  const auto byte = [&](size_t i) { return static_cast<uint8_t>(qvr[i]); };
  if (qvr.size() < 4) return {};
  const uint32_t w = byte(0) | byte(1) << 8, h = byte(2) | byte(3) << 8;
  if (w == 0 || h == 0 || qvr.size() < 4 + 2 * size_t{w} * h) return {};
  const uint32_t rowStep = ((h - 1) << 16) / 480, colStep = ((w - 1) << 16) / 640;
  std::vector<uint8_t> rgb;
  for (uint32_t y = 0; y < 480; ++y)
    for (uint32_t x = 0; x < 640; ++x) {
      const size_t at = 4 + 2 * (((y * rowStep) >> 16) * w + ((x * colStep) >> 16));
      const uint16_t p = static_cast<uint16_t>(byte(at) | byte(at + 1) << 8);
      const uint8_t r5 = (p >> 10) & 31, g5 = (p >> 5) & 31, b5 = p & 31;
      rgb.insert(rgb.end(), {static_cast<uint8_t>(r5 << 3), static_cast<uint8_t>((g5 << 1 | g5 >> 4) << 2),
                             static_cast<uint8_t>(b5 << 3)});
    }
  return rgb;
}

class LoadRace : public ::testing::Test {
 protected:
  int Run(const std::string& command) {
    std::filesystem::create_directories(dir_.path() / "data");
    std::string line = "cd '" + (dir_ / "data") + "' && " + command + " 2>>'" + (dir_ / "stderr.txt") + "'";
    int status = std::system(line.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  // The kit's files loose, so that one of them can be taken away.
  void SetUp() override { ASSERT_EQ(Run("'" DATAKIT_PATH "' --loose ."), 0); }
  int RunGame(const std::string& script, const std::string& name, const std::string& at) {
    dir_.Write(name + ".script", script);
    std::filesystem::create_directories(dir_.path() / name);
    return Run("TORVANE_HEADLESS=1 SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy TORVANE_TEST_RACE='track=0' "
               "TORVANE_SCRIPT='" +
               (dir_ / (name + ".script")) + "' TORVANE_TRACE='" + (dir_ / (name + ".trace")) +
               "' TORVANE_DUMP_FRAMES='" + (dir_ / name) + "' TORVANE_DUMP_AT=" + at + " '" TORVANE_PATH "'");
  }
  PpmPicture Shown(const std::string& name, int frame) {
    char file[32];
    std::snprintf(file, sizeof file, "/frame%05d.ppm", frame);
    PpmPicture f;
    EXPECT_TRUE(ReadPpm(dir_ / (name + file), &f)) << name << file;
    return f;
  }
  // Race frames written to the trace, and whether the countdown ended.
  void CountRaceFrames(const std::string& name, int* frames, bool* started) {
    std::istringstream lines(dir_.Read(name + ".trace"));
    std::string line;
    *frames = 0;
    *started = false;
    while (std::getline(lines, line)) {
      if (line.rfind("#", 0) != 0)
        ++*frames;
      else if (line.find("raceStarted 1") != std::string::npos)
        *started = true;
    }
  }

  // The track presentation and its zoom take 196 frames before the race.
  static constexpr const char* ESC_IN_THE_RACE = "f446 press ESC\n";
  TempDir dir_;
};

TEST_F(LoadRace, TheLoadingPictureIsOnScreenBeforeTheRace) {
  ASSERT_EQ(RunGame(ESC_IN_THE_RACE, "run", "1,2,3,4,5,6,7,8"), 0) << dir_.Read("stderr.txt");
  const std::vector<uint8_t> picture = PictureOnScreen(dir_.Read("data/vue1.qvr"));
  ASSERT_EQ(picture.size(), 640u * 480u * 3u);
  int shownAt = 0;
  for (int n = 1; n <= 8 && !shownAt; ++n)
    if (Shown("run", n).rgb == picture) shownAt = n;
  EXPECT_GT(shownAt, 0) << "no frame shows vue1.qvr";
  int frames = 0;
  bool started = false;
  CountRaceFrames("run", &frames, &started);
  EXPECT_GT(frames, 200);
  EXPECT_TRUE(started);
}

// Without desert.uv the track is the desert's terrain: the race runs the
// same from the same grid, on ground that shows no course.
TEST_F(LoadRace, WithoutItsMeshFileTheDesertRaceRunsOnItsTerrain) {
  ASSERT_EQ(RunGame(ESC_IN_THE_RACE, "mesh", "373"), 0) << dir_.Read("stderr.txt");
  ASSERT_EQ(::unlink((dir_ / "data/desert.uv").c_str()), 0);
  ASSERT_EQ(RunGame(ESC_IN_THE_RACE, "terrain", "373"), 0) << dir_.Read("stderr.txt");
  EXPECT_EQ(dir_.Read("stderr.txt"), "");
  int frames = 0;
  bool started = false;
  CountRaceFrames("terrain", &frames, &started);
  EXPECT_GT(frames, 200);
  EXPECT_TRUE(started);
  EXPECT_NE(dir_.Read("terrain.trace").find("vehicle 0 player1 position 780.000"), std::string::npos);
  EXPECT_NE(Shown("terrain", 373).rgb, Shown("mesh", 373).rgb);
}

// The error screen names the file that cannot be loaded until a key is
// pressed; then the game ends with an error status.
TEST_F(LoadRace, AFileThatCannotBeLoadedIsNamedAndEndsTheGameWithAnError) {
  struct Case {
    const char* name;
    const char* file;
    bool truncate;  // else removed
    const char* shown;
  };
  const Case cases[] = {{"body", "car3/res2/ziziz.3ds", false, "car3\\res2\\ziziz.3ds"},
                        {"ground", "a5.3df", true, "a5.3df"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = dir_ / (std::string("data/") + c.file);
    const std::string kept = dir_.Read(std::string("data/") + c.file);
    if (c.truncate)
      dir_.Write(std::string("data/") + c.file, kept.substr(0, 100));
    else
      ASSERT_EQ(::unlink(path.c_str()), 0);
    EXPECT_EQ(RunGame("f300 press A\n", c.name, "1"), 1);
    EXPECT_NE(dir_.Read("stderr.txt").find(std::string("TALVEROS ERROR... ") + c.shown), std::string::npos)
        << dir_.Read("stderr.txt");
    EXPECT_EQ(dir_.Read(std::string(c.name) + ".trace"), "");  // no race was run
    dir_.Write(std::string("data/") + c.file, kept);
  }
}

}  // namespace
