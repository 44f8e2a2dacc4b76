// Whole-program runs of torvane, headless, on the data kit's data: the run
// itself, the frames it dumps, and their comparison with small reference
// pictures beside the tests (TORVANE_UPDATE_REFERENCES=1 rewrites them).
#pragma once
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "ppm.h"
#include "support/png_rgb.h"
#include "support/test_support.h"

namespace e2e {

// The dumped frame `ppm`, shrunk, against the picture `reference` of
// tests/e2e: alike to within 2 a channel everywhere. While the references
// are being updated it rewrites the picture instead.
inline void ExpectFrameLikeReference(const std::string& ppm, const std::string& reference) {
  SCOPED_TRACE(reference);
  Picture full;
  ASSERT_TRUE(ReadPpm(ppm, &full)) << ppm;
  const Picture small = Shrink(full);
  const std::string path = std::string(E2E_DIR) + "/" + reference;
  if (UpdatingReferences()) {
    ASSERT_TRUE(WritePng(path, small.rgb, small.width, small.height));
    return;
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

// The desert race the tests that drive one start with (the shell's
// defaults: arcade, one player on the keyboard).
constexpr const char* DESERT_RACE = "TORVANE_TEST_RACE='track=0'";

inline std::string FrameName(int frame) {
  char name[32];
  std::snprintf(name, sizeof name, "frame%05d.ppm", frame);
  return name;
}

// A folder with the kit's data, a script, and torvane run in it.
class GameRun : public ::testing::Test {
 protected:
  int Run(const std::string& command) {
    std::string line = "cd '" + (dir_ / "data") + "' && " + command + " 2>>'" + (dir_ / "stderr.txt") + "'";
    int status = std::system(line.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  void SetUp() override {
    std::filesystem::create_directories(dir_.path() / "data");
    ASSERT_EQ(Run("'" DATAKIT_PATH "' ."), 0);
  }
  // One headless run of script.txt writing `trace` and the frames listed in
  // `at` into the folder `frames`; `env` adds settings ("NAME='value' ...").
  int RunGame(const std::string& trace, const std::string& frames, const std::string& at, const std::string& env = "") {
    std::filesystem::create_directories(dir_.path() / frames);
    return Run("TORVANE_HEADLESS=1 SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy " + env + " TORVANE_SCRIPT='" +
               (dir_ / "script.txt") + "' TORVANE_TRACE='" + (dir_ / trace) + "' TORVANE_DUMP_FRAMES='" +
               (dir_ / frames) + "' TORVANE_DUMP_AT=" + at + " '" TORVANE_PATH "'");
  }
  TempDir dir_;
};

}  // namespace e2e
