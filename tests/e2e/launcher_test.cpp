// The real launcher, headless, in a folder with the kit's videos and stub
// game programs: clicked through by an input script as a player would.
#include <sys/stat.h>
#include <sys/wait.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "hal/d3d/devices.h"
#include "launcher/dialog_view.h"
#include "support/test_support.h"
#include "tools/datakit/lib/video_writer.h"

namespace {

class LauncherWhole : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(datakit::WriteVideoFolder((dir_ / "game"), &error)) << error;
    std::filesystem::create_directories(dir_.path() / "frames");
    for (const char* name : {"torvane", "torvaned3d"}) {
      dir_.Write(std::string("programs/") + name, std::string("#!/bin/sh\necho \"$# $(pwd)\" > started-") + name + "\n");
      ::chmod((dir_ / (std::string("programs/") + name)).c_str(), 0755);
    }
  }

  // A click on the middle of a control's left part (where a radio button's circle is).
  static std::string Click(int32_t controlId, bool atLeft) {
    LauncherRect r = LauncherControlRect(controlId);
    int32_t x = atLeft ? r.x + 8 : r.x + r.width / 2;
    int32_t y = atLeft ? r.y + 10 : r.y + r.height / 2;
    return "+200 move " + std::to_string(x) + " " + std::to_string(y) + "\n+50 ldown\n+50 lup\n";
  }

  int RunLauncher(const std::string& script) {
    dir_.Write("script.txt", script);
    std::string line = "cd '" + (dir_ / "game") + "' && TORVANE_HEADLESS=1 SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy " +
                       "TORVANE_PROGRAM_DIR='" + (dir_ / "programs") + "' TORVANE_SCRIPT='" + (dir_ / "script.txt") +
                       "' TORVANE_DUMP_FRAMES='" + (dir_ / "frames") + "' TORVANE_DUMP_AT=1,6,10 '" LAUNCHER_PATH
                       "' 2>'" + (dir_ / "stderr.txt") + "'";
    int status = std::system(line.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  std::string WaitForStart(const std::string& name) {
    for (int i = 0; i < 200 && dir_.Read("game/started-" + name).empty(); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(25));
    return dir_.Read("game/started-" + name);
  }

  // The colour at the middle of a dumped frame.
  std::vector<int> FrameCentre(int frame) {
    char name[32];
    std::snprintf(name, sizeof name, "frames/frame%05d.ppm", frame);
    std::ifstream f(dir_ / name, std::ios::binary);
    std::string magic;
    int w = 0, h = 0, max = 0;
    if (!(f >> magic >> w >> h >> max) || magic != "P6") return {};
    f.get();
    std::vector<uint8_t> rgb(static_cast<size_t>(w) * h * 3);
    f.read(reinterpret_cast<char*>(rgb.data()), static_cast<std::streamsize>(rgb.size()));
    const uint8_t* p = &rgb[(static_cast<size_t>(h / 2) * w + w / 2) * 3];
    return {p[0], p[1], p[2]};
  }

  TempDir dir_;
};

TEST_F(LauncherWhole, Direct3DAndGoWritesPlaysAndStarts) {
  const std::string script = "500 move 0 0\n" + Click(LAUNCHER_ID_D3D, true) + Click(LAUNCHER_ID_GO, false) +
                             "# keep the script alive through the videos\n20000 move 1 1\n";
  EXPECT_EQ(RunLauncher(script), 0) << dir_.Read("stderr.txt");

  std::string expected("\0\0\0\0\1\0\0\0\1\0\0\0", 12);
  expected += HalDeviceDefault().description;
  expected.push_back('\0');
  EXPECT_EQ(dir_.Read("game/rur.cfg"), expected);

  // Each video's first frame: frames 1, 6 and 10 of 5 + 4 + 6.
  const std::vector<datakit::VideoSpec>& videos = datakit::KitVideos();
  const int firstFrames[] = {1, 6, 10};
  for (int i = 0; i < 3; ++i) {
    std::vector<int> centre = FrameCentre(firstFrames[i]);
    ASSERT_EQ(centre.size(), 3u) << videos[i].name;
    EXPECT_NEAR(centre[0], videos[i].r, 12) << videos[i].name;
    EXPECT_NEAR(centre[1], videos[i].g, 12) << videos[i].name;
    EXPECT_NEAR(centre[2], videos[i].b, 12) << videos[i].name;
  }
  EXPECT_EQ(WaitForStart("torvaned3d"), "0 " + std::filesystem::canonical(dir_.path() / "game").string() + "\n");
  EXPECT_FALSE(std::filesystem::exists(dir_.path() / "game/started-torvane"));
  EXPECT_EQ(dir_.Read("stderr.txt"), "");
}

TEST_F(LauncherWhole, CancellingWritesAndStartsNothing) {
  for (const std::string& script : {"500 move 0 0\n" + Click(LAUNCHER_ID_CANCEL, false) + "20000 move 1 1\n",
                                    std::string("# the window closes when the script runs out\n")}) {
    SCOPED_TRACE(script);
    EXPECT_EQ(RunLauncher(script), 0) << dir_.Read("stderr.txt");
    EXPECT_FALSE(std::filesystem::exists(dir_.path() / "game/rur.cfg"));
    EXPECT_FALSE(std::filesystem::exists(dir_.path() / "frames/frame00001.ppm"));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_FALSE(std::filesystem::exists(dir_.path() / "game/started-torvane"));
    EXPECT_FALSE(std::filesystem::exists(dir_.path() / "game/started-torvaned3d"));
  }
}

}  // namespace
