// The real torvane, headless, on the data kit's data: what a player would see.
#include <sys/wait.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "ppm.h"
#include "screen_picture.h"
#include "support/test_support.h"
#include "tools/datakit/lib/boot_set.h"
#include "tools/datakit/lib/music_writer.h"

namespace {

using Frame = e2e::Picture;
using e2e::ReadPpm;

void ExpectIntroOnScreen(const Frame& frame, bool greenLowBitRepeats = true) {
  ASSERT_EQ(frame.width, 640);
  ASSERT_EQ(frame.height, 480);
  EXPECT_EQ(e2e::PictureMismatches(frame, "intro.qvr", e2e::WholeScreen(frame), greenLowBitRepeats), 0);
}

// The main page: its background where no widget covers it.
void ExpectMainPage(const Frame& frame, bool greenLowBitRepeats = true) {
  ASSERT_EQ(frame.width, 640);
  EXPECT_EQ(e2e::PictureMismatches(frame, "menu1.qvr", e2e::MENU_BARE_CORNER, greenLowBitRepeats), 0);
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

// The intro, then the main page; the script's end closes the window.
constexpr const char* TO_THE_MAIN_PAGE = "f70 end\n";

TEST_F(Boot, ShowsTheIntroFromTheArchivesThenTheMainPage) {
  ASSERT_EQ(Run("'" DATAKIT_PATH "' ."), 0);
  EXPECT_EQ(RunGame(TO_THE_MAIN_PAGE), 0) << dir_.Read("stderr.txt");
  Frame intro, menu;
  ASSERT_TRUE(ReadPpm(dir_ / "frames/frame00002.ppm", &intro));
  ExpectIntroOnScreen(intro);
  ASSERT_TRUE(ReadPpm(dir_ / "frames/frame00060.ppm", &menu));
  ExpectMainPage(menu);
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

  EXPECT_EQ(RunGame(TO_THE_MAIN_PAGE), 0) << dir_.Read("stderr.txt");
  Frame intro;
  ASSERT_TRUE(ReadPpm(dir_ / "frames/frame00002.ppm", &intro));
  ExpectIntroOnScreen(intro);
  EXPECT_EQ(dir_.Read("stderr.txt"), "");
}

TEST_F(Boot, WithoutArchivesReadsLooseFiles) {
  ASSERT_EQ(Run("'" DATAKIT_PATH "' --loose ."), 0);
  ASSERT_FALSE(std::filesystem::exists(dir_.path() / "data/rur0.pak"));
  EXPECT_EQ(RunGame(TO_THE_MAIN_PAGE), 0) << dir_.Read("stderr.txt");
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
// without them: the intro and the main page as torvane shows them but for
// green's lowest bit.
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
    EXPECT_EQ(RunGame(TO_THE_MAIN_PAGE, TORVANED3D_PATH), 0) << withConfig;
    EXPECT_EQ(dir_.Read("stderr.txt"), "") << withConfig;
    Frame intro, menu;
    ASSERT_TRUE(ReadPpm(dir_ / "frames/frame00002.ppm", &intro));
    ExpectIntroOnScreen(intro, false);
    ASSERT_TRUE(ReadPpm(dir_ / "frames/frame00060.ppm", &menu));
    ExpectMainPage(menu, false);
  }
  // The same from loose files.
  std::filesystem::remove_all(dir_.path() / "data");
  ASSERT_EQ(Run("'" DATAKIT_PATH "' --loose ."), 0);
  std::filesystem::remove_all(dir_.path() / "frames");
  EXPECT_EQ(RunGame(TO_THE_MAIN_PAGE, TORVANED3D_PATH), 0) << dir_.Read("stderr.txt");
  Frame intro;
  ASSERT_TRUE(ReadPpm(dir_ / "frames/frame00002.ppm", &intro));
  ExpectIntroOnScreen(intro, false);
}

// An arcade race left alone runs out of time (training has none): the
// game-over picture, in the race's 320 x 200, until a key; then the main
// page, without the resume button, since that race is over.
TEST_F(Boot, ARaceLeftAloneEndsOnTheGameOverPictureAndAKeyOpensTheMainPage) {
  ASSERT_EQ(Run("'" DATAKIT_PATH "' ."), 0);
  dir_.Write("script.txt", "f9800 press A\nf9900 end\n");
  std::filesystem::create_directories(dir_.path() / "frames");
  ASSERT_EQ(Run("TORVANE_HEADLESS=1 TORVANE_TEST_RACE='display=0' TORVANE_SCRIPT='" + (dir_ / "script.txt") +
                "' TORVANE_DUMP_FRAMES='" + (dir_ / "frames") + "' TORVANE_DUMP_AT=9800,9880 '" TORVANE_PATH "'"),
            0)
      << dir_.Read("stderr.txt");
  EXPECT_EQ(dir_.Read("stderr.txt"), "");
  Frame over, menu;
  ASSERT_TRUE(ReadPpm(dir_ / "frames/frame09800.ppm", &over));
  ASSERT_EQ(over.width, 320);
  EXPECT_EQ(e2e::PictureMismatches(over, "ro.qvr", e2e::WholeScreen(over)), 0);
  ASSERT_TRUE(ReadPpm(dir_ / "frames/frame09880.ppm", &menu));
  ExpectMainPage(menu);
  // Where the resume button would stand, the background.
  EXPECT_EQ(e2e::PictureMismatches(menu, "menu1.qvr", {545, 430, 630, 475}), 0);
}

}  // namespace
