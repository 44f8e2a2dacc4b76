// Pictures, grabs and screenshots on the device's surfaces, on 5-6-5 and
// 5-5-5 back buffers.
#include "picture_fixture.h"

namespace {

TEST_F(D3dPictureTest, PixelConversions) {
  struct Case {
    uint16_t in, out;
  };
  for (const Case& c : {Case{0x7C00, 0xF800}, Case{0x001F, 0x001F}, Case{0x03E0, 0x07C0}, Case{0x7FFF, 0xFFDF}})
    EXPECT_EQ(LfbRgb555To565(c.in), +c.out) << std::hex << c.in;
  for (const Case& c : {Case{0xFFFF, 0xFFFF}, Case{0xF800, 0xFC00}, Case{0x07E0, 0x83E0}, Case{0x0020, 0x8000}})
    EXPECT_EQ(LfbRgb565To1555(c.in), +c.out) << std::hex << c.in;
  const uint8_t white[3] = {255, 255, 255}, dark[3] = {8, 4, 8};
  EXPECT_EQ(LfbPaletteTo565(white), 0xFFFF);
  EXPECT_EQ(LfbPaletteTo555(white), 0x7FFF);
  EXPECT_EQ(LfbPaletteTo565(dark), 0x0821);
  EXPECT_EQ(LfbPaletteTo555(dark), 0x0401);
}

// A 640 x 480 picture on a 640 x 480 display is resampled with the step
// (639 << 16) / 640: columns 0 and 1 show column 0, 639 shows 637, row 479 row 477.
TEST_F(D3dPictureTest, PicturesAreScaledAndStoredInTheBackBuffersFormat) {
  auto coded = [](int32_t x, int32_t y) { return static_cast<uint16_t>((y & 31) << 10 | (x & 31)); };
  dir_.Write("pic.qvr", Qvr(640, 480, coded));
  for (bool rgb555 : {false, true}) {
    if (rgb555) Reopen555();
    uint16_t* block = LfbLoadScreenImage("pic.qvr");
    ASSERT_NE(block, nullptr);
    LfbDrawScreenImage(block);
    const std::vector<uint16_t> back = Back();
    auto shown = [&](int32_t x, int32_t y) { return back[static_cast<size_t>(y) * 640 + x]; };
    auto stored = [&](int32_t x, int32_t y) { return rgb555 ? coded(x, y) : LfbRgb555To565(coded(x, y)); };
    EXPECT_EQ(shown(0, 0), stored(0, 0)) << rgb555;
    EXPECT_EQ(shown(1, 0), stored(0, 0)) << rgb555;
    EXPECT_EQ(shown(639, 0), stored(637, 0)) << rgb555;
    EXPECT_EQ(shown(0, 479), stored(0, 477)) << rgb555;
    EXPECT_EQ(shown(5, 0), stored(4, 0)) << rgb555;
    EXPECT_EQ(MemFree(block), 1);
  }
}

// The unscaled load puts the file's pixels one after another into the held
// picture, whatever the picture's width: a 3 x 2 picture fills the first six
// pixels of the top row, and one of the display's size is copied as it is.
// The paletted load scales its picture like the scaled load.
TEST_F(D3dPictureTest, TheUnscaledAndPalettedLoadsFillTheHeldPicture) {
  auto coded = [](int32_t x, int32_t y) { return static_cast<uint16_t>((y & 31) << 10 | (x & 31)); };
  dir_.Write("small.qvr", Qvr(3, 2, coded));
  Reopen555();
  uint16_t* block = LfbLoadScreenImageUnscaled("small.qvr");
  ASSERT_NE(block, nullptr);
  LfbDrawScreenImage(block);
  std::vector<uint16_t> back = Back();
  EXPECT_EQ(std::vector<uint16_t>(back.begin(), back.begin() + 7),
            (std::vector<uint16_t>{coded(0, 0), coded(1, 0), coded(2, 0), coded(0, 1), coded(1, 1), coded(2, 1), 0}));
  EXPECT_EQ(back[640], 0);
  MemFree(block);

  dir_.Write("full.qvr", Qvr(640, 480, coded));
  block = LfbLoadScreenImageUnscaled("full.qvr");
  ASSERT_NE(block, nullptr);
  LfbDrawScreenImage(block);
  back = Back();
  EXPECT_EQ(back[639], coded(639, 0));
  EXPECT_EQ(back[479 * 640 + 5], coded(5, 479));
  MemFree(block);

  // 2 x 2 indices into a palette whose entry 1 is pure red, the rest black.
  std::string paletted(4 + 768 + 4, '\0');
  paletted[0] = 2, paletted[2] = 2;
  paletted[4 + 3] = static_cast<char>(0xFF);
  paletted[4 + 768] = 1;
  dir_.Write("pal.qvr", paletted);
  block = LfbLoadPalettedImage("pal.qvr");
  ASSERT_NE(block, nullptr);
  LfbDrawScreenImage(block);
  back = Back();
  // Red in 5-5-5 everywhere: scaled up, the last row and column of a picture
  // are reached only in the limit.
  EXPECT_EQ(back[0], 0x7C00);
  EXPECT_EQ(back[640 * 480 - 1], 0x7C00);
  MemFree(block);
}

TEST_F(D3dPictureTest, DamagedPicturesAreRefusedAndTheHeldOneStays) {
  dir_.Write("good.qvr", Qvr(4, 2, [](int32_t, int32_t) { return Solid(0x001F); }));
  uint16_t* held = LfbLoadScreenImage("good.qvr");
  ASSERT_NE(held, nullptr);
  struct Case {
    const char* name;
    std::string file;
    bool loads;
  };
  const Case cases[] = {
      {"width 0", Qvr(0, 5, [](int32_t, int32_t) { return Solid(0); }), false},
      {"height 0", Qvr(5, 0, [](int32_t, int32_t) { return Solid(0); }), false},
      {"one byte short", Qvr(3, 3, [](int32_t, int32_t) { return Solid(0x7C00); }, 1), false},
      {"header only", std::string("\x03\x00", 2), false},
      {"exact size", Qvr(3, 3, [](int32_t, int32_t) { return Solid(0x001F); }), true},
  };
  for (const Case& c : cases) {
    dir_.Write("case.qvr", c.file);
    uint16_t* block = LfbLoadScreenImage("case.qvr");
    EXPECT_EQ(block != nullptr, +c.loads) << c.name;
    if (block) MemFree(block);
    LfbDrawScreenImage(held);
    EXPECT_EQ(Back()[1000], 0x001F) << c.name;
  }
  EXPECT_EQ(LfbLoadScreenImage("missing.qvr"), nullptr);
  MemFree(held);
}

TEST_F(D3dPictureTest, ASecondPictureReplacesTheFirst) {
  dir_.Write("red.qvr", Qvr(2, 2, [](int32_t, int32_t) { return Solid(0x7C00); }));
  dir_.Write("blue.qvr", Qvr(2, 2, [](int32_t, int32_t) { return Solid(0x001F); }));
  uint16_t* red = LfbLoadScreenImage("red.qvr");
  uint16_t* blue = LfbLoadScreenImage("blue.qvr");
  ASSERT_TRUE(red && blue);
  LfbDrawScreenImage(red);
  EXPECT_EQ(Back()[12345], 0x001F);
  MemFree(red);
  MemFree(blue);
  // The picture outlives its block, and a clear blanks it.
  LfbDrawScreenImage(nullptr);
  EXPECT_EQ(Back()[12345], 0x001F);
  LfbClearWorkSurface();
  LfbDrawScreenImage(nullptr);
  EXPECT_EQ(Back()[12345], 0);
}

TEST_F(D3dPictureTest, SurfaceFailuresKeepTheDevice) {
  dir_.Write("pic.qvr", Qvr(2, 2, [](int32_t, int32_t) { return Solid(0x7C00); }));
  HalD3dFailNext("CreateSurface", 1);
  EXPECT_EQ(LfbLoadScreenImage("pic.qvr"), nullptr);
  HalD3dFailNext("Lock", 1);
  EXPECT_EQ(LfbLoadScreenImage("pic.qvr"), nullptr);
  EXPECT_EQ(+gD3d.workSurface, 0u);
  EXPECT_NE(+gD3d.device, 0u);
  EXPECT_EQ(+gRdrState.windowOpen, 1);
  HalD3dFailNext("CreateSurface", 1);
  EXPECT_EQ(LfbGrabScreenScaled(256, 256), nullptr);
  EXPECT_EQ(LfbGrabScreenScaled(0, 256), nullptr);
  // Drawing with no picture held copies nothing and keeps the screen usable.
  RdrClear(0, 0, 0);
  LfbDrawScreenImage(nullptr);
  uint16_t* block = LfbLoadScreenImage("pic.qvr");
  ASSERT_NE(block, nullptr);
  MemFree(block);
}

// A picture held across a change of display size is copied as far as both
// surfaces reach.
TEST_F(D3dPictureTest, AModeChangeClampsTheCopy) {
  dir_.Write("pic.qvr", Qvr(2, 2, [](int32_t, int32_t) { return Solid(0x001F); }));
  uint16_t* block = LfbLoadScreenImage("pic.qvr");
  ASSERT_NE(block, nullptr);
  for (uint32_t code : {8u, 0u}) {
    DisplayMode mode = *gDisplayModes[2];
    mode.resolutionCode = code;
    ASSERT_TRUE(RdrSetMode(&mode, 0));
    RdrClear(0, 0, 0);
    LfbDrawScreenImage(block);
    int32_t width = 0;
    const std::vector<uint16_t> back = Back(&width);
    EXPECT_EQ(back[static_cast<size_t>(std::min(gD3d.height, 480) - 1) * width + std::min(width, 640) - 1], 0x001F);
    if (width > 640) {
      EXPECT_EQ(back[static_cast<size_t>(500) * width + 700], 0);
    }
  }
  MemFree(block);
}

// The file as its table lays it out, from the pixels of the screen.
std::string ExpectedShot(const std::vector<uint16_t>& screen, int32_t w, int32_t h, bool rgb565) {
  std::string file(56 + static_cast<size_t>(w) * h * 3, '\0');
  auto* p = reinterpret_cast<uint8_t*>(file.data());
  p[0] = 'B', p[1] = 'M';
  PutU32(p + 2, static_cast<uint32_t>(file.size()));
  PutU32(p + 10, 56);
  PutU32(p + 14, 40);
  PutU32(p + 18, static_cast<uint32_t>(w));
  PutU32(p + 22, static_cast<uint32_t>(h));
  PutU16(p + 26, 1);
  PutU16(p + 28, 24);
  PutU32(p + 38, 123600);
  PutU32(p + 42, 92700);
  uint8_t* out = p + 56;
  for (int32_t y = h - 1; y >= 0; --y)
    for (int32_t x = 0; x < w; ++x, out += 3) {
      const uint16_t q = screen[static_cast<size_t>(y) * w + x];
      out[0] = static_cast<uint8_t>((q & 31) << 3);
      out[1] = static_cast<uint8_t>(rgb565 ? ((q >> 5) & 63) << 2 : ((q >> 5) & 31) << 3);
      out[2] = static_cast<uint8_t>(rgb565 ? ((q >> 11) & 31) << 3 : ((q >> 10) & 31) << 3);
    }
  return file;
}

TEST_F(D3dPictureTest, ScreenshotsAreWrittenByteForByteAndTheFolderMade) {
  auto pattern = [](int32_t x, int32_t y) { return static_cast<uint16_t>(x * 7 + y * 131 + (x == 0 ? 0xFFFF : 0)); };
  for (bool rgb555 : {false, true}) {
    if (rgb555) Reopen555();
    std::filesystem::remove_all(dir_.path() / "vue");
    FillBack(pattern);
    const std::vector<uint16_t> screen = Back();
    LfbSaveScreenshot("vue\\shoot000.bmp", 640, 480);
    const std::string shot = ReadFile("vue/shoot000.bmp");
    EXPECT_EQ(shot.size(), 921656u);
    EXPECT_TRUE(shot == ExpectedShot(screen, 640, 480, !rgb555)) << rgb555;
    if (!rgb555) {
      // 5-6-5 white is 248, 252, 248.
      EXPECT_EQ(static_cast<uint8_t>(shot[56 + 479 * 1920]), 248);
      EXPECT_EQ(static_cast<uint8_t>(shot[56 + 479 * 1920 + 1]), 252);
    }
  }
  // A quarter shot takes every fourth row and column, bottom first.
  LfbSaveScreenshotQuarter("quarter.bmp", 640, 480);
  const std::string quarter = ReadFile("quarter.bmp");
  ASSERT_EQ(quarter.size(), 56u + 160 * 120 * 3);
  EXPECT_EQ(GetU32(reinterpret_cast<const uint8_t*>(quarter.data()) + 18), 160u);
  const uint16_t corner = Back()[static_cast<size_t>(479) * 640 + 4];
  EXPECT_EQ(static_cast<uint8_t>(quarter[56 + 3]), static_cast<uint8_t>((corner & 31) << 3));
  // Where no folder can be made the shot is skipped.
  std::filesystem::remove_all(dir_.path() / "vue");
  dir_.Write("vue", "a file in the way");
  LfbSaveScreenshot("vue\\shoot001.bmp", 640, 480);
  EXPECT_EQ(ReadFile("vue"), "a file in the way");
}

// The character scenes grab the shown frame, lock it as texels, tint it,
// unlock it, download it into a texture and free it: once.
TEST_F(D3dPictureTest, TheScenesGrabSequenceWorksAndFreesOnce) {
  for (bool rgb555 : {false, true}) {
    if (rgb555) Reopen555();
    const int32_t tex = MakeTexture(4, 4, std::vector<uint16_t>(16, 0), HAL_PIXEL_ARGB1555);
    FillBack(rgb555 ? [](int32_t x, int32_t) { return static_cast<uint16_t>(x < 320 ? 0x7C00 : 0x001F); }
                    : [](int32_t x, int32_t) { return static_cast<uint16_t>(x < 320 ? 0xF800 : 0x001F); });
    RdrSwapBuffers();
    RdrClear(0, 0, 0);  // the back buffer is not what is grabbed
    uint16_t* grab = LfbGrabScreenScaled(4, 4);
    ASSERT_NE(grab, nullptr);
    auto* texels = static_cast<uint16_t*>(TexLock(grab));
    ASSERT_EQ(texels, grab);
    EXPECT_EQ(+texels[0], 0xFC00) << rgb555;
    EXPECT_EQ(+texels[3], 0x801F) << rgb555;
    texels[5] = 0x83E0;  // the tint
    TexUnlock(grab);
    TexDownloadTexels(tex, grab);
    EXPECT_EQ(MemFree(grab), 1);
    int32_t pitch = 0;
    auto* t = static_cast<const uint8_t*>(HalSurfaceLock(gTexSurfaces[tex].surface, &pitch));
    ASSERT_NE(t, nullptr);
    uint16_t first, tinted, last;
    std::memcpy(&first, t, 2);
    std::memcpy(&tinted, t + pitch + 2, 2);
    std::memcpy(&last, t + 3 * pitch + 6, 2);
    HalSurfaceUnlock(gTexSurfaces[tex].surface);
    EXPECT_EQ(first, 0xFC00);
    EXPECT_EQ(tinted, 0x83E0);
    EXPECT_EQ(last, 0x801F);
  }
}

}  // namespace
