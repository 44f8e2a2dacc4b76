// Whole-program runs of torvane, headless, on the data kit's data: the run
// itself, the frames it dumps, and their comparison with small reference
// pictures beside the tests (TORVANE_UPDATE_REFERENCES=1 rewrites them).
#pragma once
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "support/png_rgb.h"
#include "support/test_support.h"

namespace e2e {

constexpr int SHRINK = 4;  // the references keep one pixel of each 4 x 4 block's average

struct Picture {
  int width = 0, height = 0;
  std::vector<uint8_t> rgb;
};

inline bool ReadPpm(const std::string& path, Picture* p) {
  std::ifstream f(path, std::ios::binary);
  std::string magic;
  int maxValue = 0;
  if (!(f >> magic >> p->width >> p->height >> maxValue) || magic != "P6" || maxValue != 255) return false;
  f.get();
  p->rgb.resize(static_cast<size_t>(p->width) * p->height * 3);
  return static_cast<bool>(f.read(reinterpret_cast<char*>(p->rgb.data()), static_cast<std::streamsize>(p->rgb.size())));
}

inline Picture Shrink(const Picture& in) {
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
