// Shared by the back-end suites: an open display on the software accelerator
// in a fresh working folder, the shell's error screens recorded, and small
// drawing probes that read the pixels back.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <vector>

#include "backend_common/display.h"
#include "backend_common/texture.h"
#include "backend_glide/glide.h"
#include "hal/gfx/gfx.h"
#include "platform/mem.h"
#include "platform/pak.h"
#include "support/test_support.h"
#include "tools/datakit/lib/bytes.h"
#include "tools/datakit/lib/pak_writer.h"

using datakit::Bytes;

// What the shell's two blocking screens would have shown.
struct BlockingScreens {
  std::vector<std::string> fatal;
  std::vector<int32_t> numbers;
};
inline BlockingScreens gScreens;

// A packed record's field by value: the test macros bind references, which a
// field off its natural alignment must not get.
template <class T>
T Val(T v) {
  return v;
}

inline uint16_t Pixel(int32_t x, int32_t y) {
  uint16_t p = 0xDEAD;
  GfxLfbReadRegion(GFX_BUFFER_BACKBUFFER, x, y, 1, 1, 2, &p);
  return p;
}

inline std::vector<uint16_t> Screen() {
  const int32_t w = gRdrState.screenWidth, h = gRdrState.screenHeight;
  std::vector<uint16_t> out(static_cast<size_t>(w) * static_cast<size_t>(h));
  GfxLfbReadRegion(GFX_BUFFER_BACKBUFFER, 0, 0, w, h, w * 2, out.data());
  return out;
}

// An axis-aligned quad [x0, x1) x [y0, y1) at depth ooz, in whatever state
// is set; the texture coordinates span s 0..sMax, t 0..tMax.
inline void Quad(float x0, float y0, float x1, float y1, float ooz, float sMax = 0.0f, float tMax = 0.0f) {
  GfxVertex v[4] = {};
  const float xs[4] = {x0, x1, x1, x0}, ys[4] = {y0, y0, y1, y1};
  const float ss[4] = {0.0f, sMax, sMax, 0.0f}, ts[4] = {0.0f, 0.0f, tMax, tMax};
  for (int i = 0; i < 4; ++i) {
    v[i].x = xs[i];
    v[i].y = ys[i];
    v[i].ooz = ooz;
    v[i].oow = 1.0f;
    v[i].tmu[0].sow = ss[i];
    v[i].tmu[0].tow = ts[i];
  }
  GfxDrawTriangle(&v[0], &v[1], &v[2]);
  GfxDrawTriangle(&v[0], &v[2], &v[3]);
}

// A whole downloaded texture over the quad, texel colours unchanged.
inline void DrawTexture(int32_t handle, uint16_t sRange, uint16_t tRange, float x0, float y0, float x1, float y1,
                        float ooz = 30000.0f) {
  GfxTexSource(static_cast<uint32_t>(handle));
  RdrCacheColorCombine(GFX_COMBINE_DECAL_TEXTURE);
  Quad(x0, y0, x1, y1, ooz, sRange, tRange);
}

// A quad of one constant colour (red | green << 8 | blue << 16).
inline void DrawFlat(uint32_t colour, float x0, float y0, float x1, float y1, float ooz) {
  RdrCacheColorCombine(GFX_COMBINE_CCRGB);
  GfxConstantColorValue(colour);
  Quad(x0, y0, x1, y1, ooz);
}

class BackendTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetHalForTest();
    GfxSetBoardConfig(GfxBoardConfig{});
    gScreens = {};
    char here[4096];
    ASSERT_NE(::getcwd(here, sizeof here), nullptr);
    home_ = here;
    ASSERT_EQ(::chdir(dir_.path().c_str()), 0);
    ASSERT_TRUE(Open(2));
  }
  void TearDown() override {
    RdrClose();
    PakReset();
    ASSERT_EQ(::chdir(home_.c_str()), 0);
  }

  // Opens the display in an entry of the mode table, with the pool's errors
  // going to the recorded screens.
  static bool Open(int mode) {
    bool ok = RdrOpen(gDisplayModes[mode], 1);
    GameSetFatalErrorHook([](const char* message) { gScreens.fatal.emplace_back(message); });
    MemSetErrorHooks(GameFatalError, [](int32_t number) { gScreens.numbers.push_back(number); });
    return ok;
  }

  void Put(const std::string& name, const Bytes& bytes) { ASSERT_TRUE(datakit::WriteFile(dir_ / name, bytes)); }

  // Writes the archives into the working folder and mounts them.
  void Mount(const datakit::PakSet& set) {
    std::string error;
    ASSERT_TRUE(datakit::WritePakSet(set, dir_.path().string(), &error)) << error;
    ASSERT_EQ(PakMountArchives(), 1) << PakLastError();
  }

  TempDir dir_;
  std::string home_;
};
