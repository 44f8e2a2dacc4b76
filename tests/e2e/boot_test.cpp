// The real torvane, headless, on the data kit's data: what a player would see.
#include <sys/wait.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "ppm.h"
#include "support/test_support.h"
#include "tools/datakit/lib/boot_set.h"
#include "tools/datakit/lib/music_writer.h"

namespace {

using Frame = e2e::Picture;
using e2e::ReadPpm;

// A picture of the boot set as the kit wrote it: width, height and RGB555 pixels.
std::vector<uint16_t> PicturePixels(const char* name, int* width, int* height) {
  for (const datakit::DataFile& f : datakit::BootArchiveFiles()) {
    if (f.path != name) continue;
    *width = f.data[0] | f.data[1] << 8;
    *height = f.data[2] | f.data[3] << 8;
    std::vector<uint16_t> pixels(static_cast<size_t>(*width) * *height);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint16_t>(f.data[4 + 2 * i] | f.data[5 + 2 * i] << 8);
    return pixels;
  }
  return {};
}

// What the screen must show of a full-screen picture: each screen pixel takes
// the source pixel found by 16.16 steps of (source size - 1) / screen size,
// and the screen keeps 5-6-5 bits. torvane's green low bit repeats its top
// bit; torvaned3d's is 0, the one difference between the two programs' pictures.
void ExpectPictureOnScreen(const Frame& frame, const char* name, bool greenLowBitRepeats = true) {
  int w = 0, h = 0;
  std::vector<uint16_t> intro = PicturePixels(name, &w, &h);
  ASSERT_FALSE(intro.empty()) << name;
  ASSERT_EQ(frame.width, 640);
  ASSERT_EQ(frame.height, 480);
  const uint32_t rowStep = (static_cast<uint32_t>(h - 1) << 16) / 480;
  const uint32_t colStep = (static_cast<uint32_t>(w - 1) << 16) / 640;
  int wrong = 0;
  for (uint32_t y = 0; y < 480; ++y) {
    for (uint32_t x = 0; x < 640; ++x) {
      uint16_t p = intro[((y * rowStep) >> 16) * w + ((x * colStep) >> 16)];
      uint8_t r5 = (p >> 10) & 31, g5 = (p >> 5) & 31, b5 = p & 31;
      uint8_t g6 = static_cast<uint8_t>(g5 << 1 | (greenLowBitRepeats ? g5 >> 4 : 0));
      const uint8_t* shown = &frame.rgb[(y * 640 + x) * 3];
      if (shown[0] != (r5 << 3) || shown[1] != (g6 << 2) || shown[2] != (b5 << 3)) ++wrong;
    }
  }
  EXPECT_EQ(wrong, 0) << name;
}

void ExpectIntroOnScreen(const Frame& frame, bool greenLowBitRepeats = true) {
  ExpectPictureOnScreen(frame, "intro.qvr", greenLowBitRepeats);
}

class Boot : public ::testing::Test {
 protected:
  // Runs a program in the data folder; its exit code, with standard error kept.
  int Run(const std::string& command) {
    std::filesystem::create_directories(dir_.path() / "data");
    std::string line = "cd '" + (dir_ / "data") + "' && " + command + " 2>'" + (dir_ / "stderr.txt") + "'";
    int status = std::system(line.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  int RunGame(const std::string& script, const char* program = TORVANE_PATH) {
    dir_.Write("script.txt", script);
    std::filesystem::create_directories(dir_.path() / "frames");
    return Run("TORVANE_HEADLESS=1 TORVANE_SCRIPT='" + (dir_ / "script.txt") + "' TORVANE_DUMP_FRAMES='" +
               (dir_ / "frames") + "' TORVANE_DUMP_AT=2,60 '" + program + "'");
  }

  TempDir dir_;
};

// Esc in a race returns to the front end, whose Esc quits the game.
// The track presentation and its zoom come first.
constexpr const char* QUIT_IN_A_RACE = "13000 press ESC\n";

TEST_F(Boot, ShowsTheIntroFromTheArchivesRunsRacesAndQuits) {
  ASSERT_EQ(Run("'" DATAKIT_PATH "' ."), 0);
  EXPECT_EQ(RunGame(QUIT_IN_A_RACE), 0) << dir_.Read("stderr.txt");
  Frame intro, race;
  ASSERT_TRUE(ReadPpm(dir_ / "frames/frame00002.ppm", &intro));
  ExpectIntroOnScreen(intro);
  // The state loop ran: sixty frames were shown, the later ones race frames.
  ASSERT_TRUE(ReadPpm(dir_ / "frames/frame00060.ppm", &race));
  EXPECT_NE(race.rgb, intro.rgb);
  EXPECT_EQ(dir_.Read("stderr.txt"), "");
}

// LZ as another archive writer may store it: literals only, so each entry
// holds more packed bytes than the file has.
datakit::Bytes LiteralLz(const datakit::Bytes& data) {
  constexpr uint8_t E = 0xF7;
  datakit::Bytes out = {E};
  for (uint8_t b : data) {
    out.push_back(b);
    if (b == E) out.push_back(0);
  }
  return out;
}

TEST_F(Boot, StartsOnArchivesWhoseLzEntriesOutnumberTheirFiles) {
  // The kit's set (whose rur1.pak holds a 1-byte and an incompressible file
  // packed with LZ), with every directory the start-up reads stored so too.
  datakit::PakSet set;
  datakit::AddPlaceholderFiles(&set);
  datakit::AddBootFiles(&set, datakit::PACK_LZ);
  const std::string data = dir_ / "data";
  std::string error;
  ASSERT_TRUE(datakit::WritePakSet(set, data, &error) &&
              datakit::WriteLooseFiles(datakit::BootLooseFiles(), data, &error) &&
              datakit::WriteMusicFolder(data, &error))
      << error;
  datakit::PakWriter directories;
  for (const datakit::PakWriter& archive : set.archives) {
    const datakit::Bytes image = archive.DirectoryImage();
    directories.AddRawEntry(datakit::PACK_LZ, LiteralLz(image), static_cast<uint32_t>(image.size()));
  }
  ASSERT_TRUE(datakit::WriteFile(dir_ / "data/rur0.pak", directories.Archive()));

  EXPECT_EQ(RunGame(QUIT_IN_A_RACE), 0) << dir_.Read("stderr.txt");
  Frame intro;
  ASSERT_TRUE(ReadPpm(dir_ / "frames/frame00002.ppm", &intro));
  ExpectIntroOnScreen(intro);
  EXPECT_EQ(dir_.Read("stderr.txt"), "");
}

TEST_F(Boot, WithoutArchivesReadsLooseFiles) {
  ASSERT_EQ(Run("'" DATAKIT_PATH "' --loose ."), 0);
  ASSERT_FALSE(std::filesystem::exists(dir_.path() / "data/rur0.pak"));
  EXPECT_EQ(RunGame(QUIT_IN_A_RACE), 0) << dir_.Read("stderr.txt");
  Frame intro;
  ASSERT_TRUE(ReadPpm(dir_ / "frames/frame00002.ppm", &intro));
  ExpectIntroOnScreen(intro);
}

TEST_F(Boot, ADamagedDirectoryArchiveIsReportedAndTheGameEnds) {
  ASSERT_EQ(Run("'" DATAKIT_PATH "' ."), 0);
  std::filesystem::resize_file(dir_.path() / "data/rur0.pak", 40);
  EXPECT_EQ(RunGame("1000 press A\n"), 1);
  EXPECT_NE(dir_.Read("stderr.txt").find("TALVEROS ERROR... rur0.pak entry"), std::string::npos)
      << dir_.Read("stderr.txt");
  // The error screen: dot-font text at (100, 100) on black; "T" starts with three dots.
  Frame screen;
  ASSERT_TRUE(ReadPpm(dir_ / "frames/frame00002.ppm", &screen));
  auto pixel = [&](int x, int y) { return &screen.rgb[(static_cast<size_t>(y) * screen.width + x) * 3]; };
  for (int x : {100, 101, 102}) EXPECT_EQ(pixel(x, 100)[1], 252) << x;
  EXPECT_EQ(pixel(103, 100)[1], 0);
  EXPECT_EQ(pixel(50, 50)[1], 0);
}

// torvaned3d on its OpenGL back end, with the launcher's settings and
// without them: the intro as torvane shows it but for green's lowest bit.
TEST_F(Boot, TorvaneD3dRunsTheSameScriptWithAndWithoutSettings) {
  ASSERT_EQ(Run("'" DATAKIT_PATH "' ."), 0);
  std::string config(12, '\0');
  const int32_t head[3] = {0, 0, 1};  // Direct3D, filtering off, dithering on
  std::memcpy(config.data(), head, 12);
  config += std::string("Torvane OpenGL display") + '\0';
  for (bool withConfig : {true, false}) {
    std::filesystem::remove(dir_.path() / "data/rur.cfg");
    if (withConfig) dir_.Write("data/rur.cfg", config);
    std::filesystem::remove_all(dir_.path() / "frames");
    EXPECT_EQ(RunGame(QUIT_IN_A_RACE, TORVANED3D_PATH), 0) << withConfig;
    EXPECT_EQ(dir_.Read("stderr.txt"), "") << withConfig;
    Frame intro, race;
    ASSERT_TRUE(ReadPpm(dir_ / "frames/frame00002.ppm", &intro));
    ExpectIntroOnScreen(intro, false);
    ASSERT_TRUE(ReadPpm(dir_ / "frames/frame00060.ppm", &race));
    EXPECT_EQ(race.width, 640);
    EXPECT_NE(race.rgb, intro.rgb);
  }
  // The same from loose files.
  std::filesystem::remove_all(dir_.path() / "data");
  ASSERT_EQ(Run("'" DATAKIT_PATH "' --loose ."), 0);
  std::filesystem::remove_all(dir_.path() / "frames");
  EXPECT_EQ(RunGame(QUIT_IN_A_RACE, TORVANED3D_PATH), 0) << dir_.Read("stderr.txt");
  Frame intro;
  ASSERT_TRUE(ReadPpm(dir_ / "frames/frame00002.ppm", &intro));
  ExpectIntroOnScreen(intro, false);
}

// Esc leaves the race; the game-over picture stays until a key, which starts
// the next race. Both programs show the same frames of it.
TEST_F(Boot, BothProgramsShowTheGameOverPictureAfterEscInARace) {
  ASSERT_EQ(Run("'" DATAKIT_PATH "' ."), 0);
  constexpr const char* LEAVE_AND_WAIT = "13000 press ESC\n+6000 press A\n+1000 end\n";
  for (const char* program : {TORVANE_PATH, TORVANED3D_PATH}) {
    const bool software = std::string(program) == TORVANE_PATH;
    std::filesystem::remove_all(dir_.path() / "frames");
    dir_.Write("script.txt", LEAVE_AND_WAIT);
    std::filesystem::create_directories(dir_.path() / "frames");
    ASSERT_EQ(Run("TORVANE_HEADLESS=1 TORVANE_SCRIPT='" + (dir_ / "script.txt") + "' TORVANE_DUMP_FRAMES='" +
                  (dir_ / "frames") + "' TORVANE_DUMP_AT=2,500 '" + program + "'"),
              0)
        << program << dir_.Read("stderr.txt");
    Frame intro, over;
    ASSERT_TRUE(ReadPpm(dir_ / "frames/frame00002.ppm", &intro));
    ExpectIntroOnScreen(intro, software);
    ASSERT_TRUE(ReadPpm(dir_ / "frames/frame00500.ppm", &over)) << program;
    ExpectPictureOnScreen(over, "ro.qvr", software);
  }
}

}  // namespace
