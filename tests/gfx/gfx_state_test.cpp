// Board, screen, clear, swap, frame-buffer regions and texture memory.
#include "gfx_test_support.h"

namespace {

TEST(GfxBoard, ReportsOneBoardWithConfigurableMemory) {
  GfxSetBoardConfig(GfxBoardConfig{});
  GfxInit();
  GfxHardwareInfo info{};
  ASSERT_TRUE(GfxQueryHardware(&info));
  EXPECT_EQ(info.boardCount, 1);
  EXPECT_EQ(info.boardType, 0);
  EXPECT_EQ(info.frameBufferMiB, 8);
  EXPECT_EQ((GfxTexMaxAddress(GFX_TMU0) - GfxTexMinAddress(GFX_TMU0)) / 1024, 4096u);

  GfxBoardConfig small;
  small.frameBufferMiB = 2;
  small.textureMemoryBytes = 2u << 20;
  GfxSetBoardConfig(small);
  GfxInit();
  ASSERT_TRUE(GfxQueryHardware(&info));
  EXPECT_EQ(info.frameBufferMiB, 2);
  EXPECT_EQ((GfxTexMaxAddress(GFX_TMU0) - GfxTexMinAddress(GFX_TMU0)) / 1024, 2048u);

  GfxBoardConfig none;
  none.boardCount = 0;
  GfxSetBoardConfig(none);
  GfxInit();
  EXPECT_FALSE(GfxQueryHardware(&info));
  EXPECT_FALSE(GfxWinOpen(1, GFX_RES_640x480, 0, GFX_COLORFORMAT_ABGR, GFX_ORIGIN_UPPER_LEFT, 2, 1));
  GfxShutdown();
  GfxSetBoardConfig(GfxBoardConfig{});
}

TEST(GfxBoard, OpensTheSixteenResolutionsAndNoOther) {
  ResetHalForTest();
  GfxSetBoardConfig(GfxBoardConfig{});
  GfxInit();
  struct Case {
    int32_t code;
    bool opens;
    int32_t width, height;
  } cases[] = {
      {0, true, 320, 200},   {1, true, 320, 240},    {2, true, 400, 256},     {3, true, 512, 384},
      {4, true, 640, 200},   {5, true, 640, 350},    {6, true, 640, 400},     {7, true, 640, 480},
      {8, true, 800, 600},   {9, true, 960, 720},    {10, true, 856, 480},    {11, true, 512, 256},
      {12, true, 1024, 768}, {13, true, 1280, 1024}, {14, true, 1600, 1200},  {15, true, 400, 300},
      {16, false, 0, 0},     {-1, false, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    bool opened = GfxWinOpen(1, c.code, 0, GFX_COLORFORMAT_ABGR, GFX_ORIGIN_UPPER_LEFT, 2, 1);
    EXPECT_EQ(opened, c.opens);
    if (!opened) continue;
    int32_t w = 0, h = 0;
    GfxScreenSize(&w, &h);
    EXPECT_EQ(w, c.width);
    EXPECT_EQ(h, c.height);
    GfxWinClose();
  }
  EXPECT_FALSE(GfxWinOpen(1, 7, 0, GFX_COLORFORMAT_ARGB, GFX_ORIGIN_UPPER_LEFT, 2, 1));
  EXPECT_FALSE(GfxWinOpen(1, 7, 0, GFX_COLORFORMAT_ABGR, GFX_ORIGIN_UPPER_LEFT, 1, 1));
  EXPECT_FALSE(GfxIsOpen());
  GfxShutdown();
}

using GfxState = GfxTest;

TEST_F(GfxState, ClearFillsColourAndDepthInsideTheClipWindowOnly) {
  struct Case {
    int32_t minX, minY, maxX, maxY;
    int32_t inX, inY;      // a pixel inside
    int32_t outX, outY;    // a pixel outside (-1: none)
  } cases[] = {
      {10, 20, 30, 40, 10, 20, 30, 40},
      {10, 20, 30, 40, 29, 39, 9, 20},
      {-50, -50, 100000, 100000, 319, 199, -1, -1},
      {0, 0, 320, 200, 0, 0, -1, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.minX);
    GfxClipWindow(0, 0, 320, 200);
    GfxBufferClear(Abgr(0, 0, 0), 0, 0);
    GfxClipWindow(c.minX, c.minY, c.maxX, c.maxY);
    GfxBufferClear(Abgr(255, 0, 0), 0, 1234);
    EXPECT_EQ(Pixel(c.inX, c.inY), 0xF800);
    EXPECT_EQ(GfxReadDepth(c.inX, c.inY), 1234);
    if (c.outX >= 0) {
      EXPECT_EQ(Pixel(c.outX, c.outY), 0);
      EXPECT_EQ(GfxReadDepth(c.outX, c.outY), 0);
    }
  }
  // An empty or inverted window clears nothing.
  GfxClipWindow(50, 50, 50, 60);
  GfxBufferClear(Abgr(0, 255, 0), 0, 0);
  GfxClipWindow(60, 60, 40, 40);
  GfxBufferClear(Abgr(0, 255, 0), 0, 0);
  EXPECT_EQ(Pixel(50, 50), 0xF800);
}

TEST_F(GfxState, SwapExchangesBuffersAndCountsFrames) {
  uint32_t frames = HalFrameCount();
  GfxBufferClear(Abgr(0, 0, 255), 0, 0);
  GfxBufferSwap(1);
  EXPECT_EQ(HalFrameCount(), frames + 1);
  EXPECT_EQ(Pixel(5, 5, GFX_BUFFER_FRONTBUFFER), Rgb565(0, 0, 255));
  GfxBufferClear(Abgr(255, 255, 255), 0, 0);
  EXPECT_EQ(Pixel(5, 5, GFX_BUFFER_BACKBUFFER), 0xFFFF);
  EXPECT_EQ(Pixel(5, 5, GFX_BUFFER_FRONTBUFFER), Rgb565(0, 0, 255));
}

TEST_F(GfxState, Region555WriteReadsBackAs565) {
  struct Case {
    uint16_t in555, out565;
  } cases[] = {
      {0x7FFF, 0xFFFF}, {0x0000, 0x0000}, {0x7C00, 0xF800}, {0x001F, 0x001F},
      {0x03E0, 0x07E0}, {0x0200, 0x0420},  // green 16 of 31 widens to 33 of 63
      {0x01E0, 0x03C0},                    // green 15 widens to 30
      {0x8000, 0x0000},                    // bit 15 is not a colour
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.in555);
    uint16_t block[2 * 3];
    for (uint16_t& p : block) p = c.in555;
    ASSERT_TRUE(GfxLfbWriteRegion(GFX_BUFFER_BACKBUFFER, 100, 50, GFX_LFB_SRC_FMT_555, 2, 3, 4, block));
    uint16_t back[6] = {};
    ASSERT_TRUE(GfxLfbReadRegion(GFX_BUFFER_BACKBUFFER, 100, 50, 2, 3, 4, back));
    for (uint16_t p : back) EXPECT_EQ(p, c.out565);
  }
  EXPECT_EQ(GfxRgb555To565(0x0200), 0x0420);
  // Regions are cut to the screen.
  uint16_t picture[4 * 4];
  for (int i = 0; i < 16; ++i) picture[i] = static_cast<uint16_t>(i);
  ASSERT_TRUE(GfxLfbWriteRegion(GFX_BUFFER_FRONTBUFFER, -2, 198, GFX_LFB_SRC_FMT_565, 4, 4, 8, picture));
  EXPECT_EQ(Pixel(0, 198, GFX_BUFFER_FRONTBUFFER), 2);
  EXPECT_EQ(Pixel(1, 199, GFX_BUFFER_FRONTBUFFER), 7);
  EXPECT_FALSE(GfxLfbWriteRegion(GFX_BUFFER_FRONTBUFFER, 320, 0, GFX_LFB_SRC_FMT_555, 4, 4, 8, picture));
  EXPECT_FALSE(GfxLfbReadRegion(GFX_BUFFER_BACKBUFFER, 0, -10, 4, 4, 8, picture));
}

TEST_F(GfxState, TextureIdsAreSequentialAndMemoryExhaustionGivesMinusOne) {
  GfxBoardConfig small;
  small.textureMemoryBytes = 64 * 1024;
  GfxSetBoardConfig(small);
  GfxInit();
  std::vector<uint16_t> texels(128 * 128, 0xFFFF);
  EXPECT_EQ(Texture(256, 256, GFX_ASPECT_1x1, GFX_TEXFMT_RGB_565, std::vector<uint16_t>(256 * 256)), -1);
  EXPECT_EQ(Texture(128, 128, GFX_ASPECT_1x1, GFX_TEXFMT_RGB_565, texels), 0);
  EXPECT_EQ(Texture(128, 128, GFX_ASPECT_1x1, GFX_TEXFMT_RGB_565, texels), 1);
  EXPECT_EQ(Texture(2, 1, GFX_ASPECT_2x1, GFX_TEXFMT_RGB_565, {1, 2}), -1);  // memory full
  GfxTexMemReset();
  EXPECT_EQ(Texture(8, 1, GFX_ASPECT_8x1, GFX_TEXFMT_ARGB_1555, std::vector<uint16_t>(8)), 0);
  // Size, aspect and format must agree.
  struct Bad {
    int32_t w, h, aspect, format;
  } bad[] = {{8, 2, GFX_ASPECT_8x1, GFX_TEXFMT_RGB_565}, {3, 3, GFX_ASPECT_1x1, GFX_TEXFMT_RGB_565},
             {512, 512, GFX_ASPECT_1x1, GFX_TEXFMT_RGB_565}, {16, 16, 7, GFX_TEXFMT_RGB_565},
             {16, 16, GFX_ASPECT_1x1, 1}, {1, 16, GFX_ASPECT_1x8, GFX_TEXFMT_RGB_565}};
  for (const Bad& b : bad) {
    EXPECT_EQ(GfxTexAllocateMemory(GFX_TMU0, GFX_MIPMAPLEVELMASK_BOTH, b.w, b.h, b.format, 0, 0, 0,
                                   b.aspect, 0, 0, 0, 0, 0.0f, false),
              -1)
        << b.w << "x" << b.h;
  }
  EXPECT_FALSE(GfxTexDownloadMipMap(5, texels.data(), nullptr));
  EXPECT_FALSE(GfxTexDownloadMipMap(-1, texels.data(), nullptr));
}

}  // namespace
