// The display layer: the mode table, the state after opening and after a mode
// change, clearing, and the failures of opening and changing the mode.
#include <cstring>
#include <functional>

#include "backend_fixture.h"
#include "backend_common/dotfont.h"
#include "backend_common/picture.h"
#include "engine3d/mesh.h"
#include "tools/datakit/lib/texture_3df.h"

namespace {

struct ModeRow {
  uint32_t code;
  int32_t width, height;
  int32_t clip[4];
  int32_t centre[2];
  float scale[2];
};

// Entries 0-4 full frame, 5-9 letterboxed to 16/9.
constexpr ModeRow MODE_ROWS[DISPLAY_MODE_COUNT] = {
    {0, 320, 200, {0, 0, 319, 199}, {160, 100}, {125.0f, 104.0f}},
    {3, 512, 384, {0, 0, 512, 384}, {256, 192}, {200.0f, 200.0f}},
    {7, 640, 480, {0, 0, 640, 480}, {320, 240}, {250.0f, 250.0f}},
    {8, 800, 600, {0, 0, 800, 600}, {400, 300}, {312.0f, 312.0f}},
    {12, 1024, 768, {0, 0, 1024, 768}, {512, 384}, {400.0f, 400.0f}},
    {0, 320, 200, {0, 10, 319, 189}, {160, 100}, {125.0f, 93.0f}},
    {3, 512, 384, {0, 48, 512, 336}, {256, 192}, {200.0f, 150.0f}},
    {7, 640, 480, {0, 60, 640, 420}, {320, 240}, {250.0f, 187.0f}},
    {8, 800, 600, {0, 75, 800, 525}, {400, 300}, {312.0f, 234.0f}},
    {12, 1024, 768, {0, 96, 1024, 672}, {512, 384}, {400.0f, 300.0f}},
};

constexpr uint16_t RED = 0xF800;

// The projection and clip fields of the render state against a table row.
void ExpectModeState(const ModeRow& row) {
  EXPECT_EQ(gRdrState.screenWidth, row.width);
  EXPECT_EQ(gRdrState.screenHeight, row.height);
  EXPECT_EQ(gRdrState.clipMinX, static_cast<float>(row.clip[0]));
  EXPECT_EQ(gRdrState.clipMinY, static_cast<float>(row.clip[1]));
  EXPECT_EQ(gRdrState.clipMaxX, static_cast<float>(row.clip[2]));
  EXPECT_EQ(gRdrState.clipMaxY, static_cast<float>(row.clip[3]));
  EXPECT_EQ(gRdrState.centreX, static_cast<float>(row.centre[0]));
  EXPECT_EQ(gRdrState.centreY, static_cast<float>(row.centre[1]));
  EXPECT_EQ(gRdrState.scaleX, row.scale[0]);
  EXPECT_EQ(gRdrState.scaleY, row.scale[1]);
  EXPECT_EQ(gRdrState.nearPlane, 5.0f);
  EXPECT_EQ(gRdrState.farPlane, 1700.0f);
  EXPECT_EQ(gRdrState.objectNear, -195.0f);
  EXPECT_EQ(gRdrState.objectFar, 1900.0f);
}

// What opening and every mode change reset: the draw cache, the colour key,
// the glow and coloured-light flags.
void ExpectFreshDrawState() {
  EXPECT_EQ(gRdrCache.texture, -1);
  EXPECT_EQ(gRdrCache.combine, -1);
  EXPECT_EQ(gRdrState.colourKeyR, -1);
  EXPECT_EQ(gRdrState.colourKeyG, -1);
  EXPECT_EQ(gRdrState.colourKeyB, -1);
  EXPECT_EQ(gRdrState.glow, 0);
  EXPECT_EQ(gRdrState.colouredLight, 0);
  EXPECT_EQ(gRdrState.windowOpen, 1);
}

// Clearing to red fills the clip window of the row and nothing else (the
// accelerator's clip maximum is exclusive, as the table's values are).
void ExpectClearFillsClipWindow(const ModeRow& row) {
  RdrClear(255, 0, 0);
  const int32_t minX = row.clip[0], minY = row.clip[1], maxX = row.clip[2], maxY = row.clip[3];
  EXPECT_EQ(Pixel(minX, minY), RED);
  EXPECT_EQ(Pixel(maxX - 1, maxY - 1), RED);
  if (minY > 0) {
    EXPECT_EQ(Pixel(minX, minY - 1), 0);
  }
  if (maxY < row.height) {
    EXPECT_EQ(Pixel(minX, maxY), 0);
  }
  if (maxX < row.width) {
    EXPECT_EQ(Pixel(maxX, minY), 0);
  }
}

}  // namespace

TEST(DisplayModeTable, EntriesAreThoseTheMenusChooseFrom) {
  for (int i = 0; i < DISPLAY_MODE_COUNT; ++i) {
    SCOPED_TRACE(i);
    const DisplayMode& m = *gDisplayModes[i];
    const ModeRow& row = MODE_ROWS[i];
    EXPECT_EQ(Val(m.resolutionCode), row.code);
    EXPECT_EQ(Val(m.flag), 1);
    EXPECT_EQ(Val(m.clipMinX), row.clip[0]);
    EXPECT_EQ(Val(m.clipMinY), row.clip[1]);
    EXPECT_EQ(Val(m.clipMaxX), row.clip[2]);
    EXPECT_EQ(Val(m.clipMaxY), row.clip[3]);
    EXPECT_EQ(Val(m.nearPlane), 5);
    EXPECT_EQ(Val(m.farPlane), 1700);
    EXPECT_EQ(Val(m.centreX), row.centre[0]);
    EXPECT_EQ(Val(m.centreY), row.centre[1]);
    EXPECT_EQ(Val(m.scaleX), row.scale[0]);
    EXPECT_EQ(Val(m.scaleY), row.scale[1]);
  }
}

TEST_F(BackendTest, OpeningInEveryEntrySetsItsScreenClipAndProjection) {
  for (int i = 0; i < DISPLAY_MODE_COUNT; ++i) {
    SCOPED_TRACE(i);
    ASSERT_TRUE(Open(i));
    ExpectModeState(MODE_ROWS[i]);
    ExpectFreshDrawState();
    EXPECT_EQ(gRdrState.vertexLighting, 1);
    EXPECT_EQ(gTextureTable.count, 0);
    EXPECT_EQ(gTextureTable.texelBytes, 0);
    EXPECT_EQ(TexMemSizeKb(), 4096);
    ExpectClearFillsClipWindow(MODE_ROWS[i]);
  }
}

// The table uses five resolution codes, but a mode may name any of the
// board's sixteen: each opens, and the stored size is the board's.
TEST_F(BackendTest, EveryResolutionCodeOpensAndStoresItsScreenSize) {
  for (uint32_t code = 0; code < 16; ++code) {
    SCOPED_TRACE(code);
    DisplayMode mode = *gDisplayModes[2];
    mode.resolutionCode = code;
    ASSERT_TRUE(RdrSetMode(&mode, 1));
    int32_t w = 0, h = 0;
    GfxScreenSize(&w, &h);
    EXPECT_GT(w, 0);
    EXPECT_EQ(gRdrState.screenWidth, w);
    EXPECT_EQ(gRdrState.screenHeight, h);
  }
}

TEST_F(BackendTest, ClearIsInScreenOrderAndDropsTheGlow) {
  struct Case {
    int32_t r, g, b;
    uint16_t pixel;
  };
  const Case cases[] = {{255, 0, 0, 0xF800}, {0, 255, 0, 0x07E0}, {0, 0, 255, 0x001F}, {8, 4, 8, 0x0821}};
  for (const Case& c : cases) {
    gRdrState.glow = 1;
    RdrClear(c.r, c.g, c.b);
    EXPECT_EQ(Pixel(320, 240), c.pixel) << c.r << "," << c.g << "," << c.b;
    EXPECT_EQ(gRdrState.glow, 0);
  }
}

TEST_F(BackendTest, DepthRangeRaisesTheNearPlaneAndWidensTheObjectBounds) {
  struct Case {
    int32_t nearIn, farIn;
    float nearPlane, farPlane, objectNear, objectFar;
  };
  const Case cases[] = {
      {0, 1700, 1.0f, 1700.0f, -199.0f, 1900.0f},
      {5, 1700, 5.0f, 1700.0f, -195.0f, 1900.0f},
      {-40, 100, 1.0f, 100.0f, -199.0f, 300.0f},
      {1, 1, 1.0f, 1.0f, -199.0f, 201.0f},
      {300, 5000, 300.0f, 5000.0f, 100.0f, 5200.0f},
  };
  for (const Case& c : cases) {
    RdrSetDepthRange(c.nearIn, c.farIn);
    EXPECT_EQ(gRdrState.nearPlane, c.nearPlane) << c.nearIn;
    EXPECT_EQ(gRdrState.farPlane, c.farPlane) << c.nearIn;
    EXPECT_EQ(gRdrState.objectNear, c.objectNear) << c.nearIn;
    EXPECT_EQ(gRdrState.objectFar, c.objectFar) << c.nearIn;
  }
}

TEST_F(BackendTest, ProjectionScaleOfZeroKeepsThatAxis) {
  struct Case {
    float sx, sy, wantX, wantY;
  };
  // From the 640x480 entry's 250, 250; each row starts from the row before.
  const Case cases[] = {
      {0.0f, 187.0f, 250.0f, 187.0f},
      {300.0f, 0.0f, 300.0f, 187.0f},
      {0.0f, 0.0f, 300.0f, 187.0f},
      {-125.5f, 93.25f, -125.5f, 93.25f},
  };
  for (const Case& c : cases) {
    RdrSetProjScale(c.sx, c.sy);
    EXPECT_EQ(gRdrState.scaleX, c.wantX) << c.sx << "," << c.sy;
    EXPECT_EQ(gRdrState.scaleY, c.wantY) << c.sx << "," << c.sy;
  }
}

TEST_F(BackendTest, ModeChangeKeepsTexturesAndTheLightingSwitch) {
  // An opaque 8x8 texture: left half red, right half blue.
  std::vector<uint16_t> texels(64);
  for (int i = 0; i < 64; ++i) texels[i] = (i % 8) < 4 ? 0xF800 : 0x001F;
  Put("paint.3df", datakit::Make3df(datakit::TEX3DF_RGB565, 8, 8, texels));
  TextureRecord* record = TexLoad("paint.3df");
  ASSERT_NE(record, nullptr);
  const int32_t handle = TexDownload(record);
  TexFree(record);
  ASSERT_GE(handle, 0);
  const int32_t texelBytes = gTextureTable.texelBytes;

  RdrLightingOff();
  RdrColourLightOn();
  TexSetColourKey(255, 0, 255);
  gRdrState.glow = 1;
  for (int mode : {7, 3}) {
    SCOPED_TRACE(mode);
    ASSERT_TRUE(RdrSetMode(gDisplayModes[mode], 1));
    ExpectModeState(MODE_ROWS[mode]);
    ExpectFreshDrawState();
    EXPECT_EQ(gRdrState.vertexLighting, 0);
    EXPECT_EQ(gTextureTable.count, 1);
    EXPECT_EQ(gTextureTable.texelBytes, texelBytes);
    int32_t s = 0, t = 0;
    EXPECT_EQ(TexFindHandle("PAINT", &s, &t), handle);

    // The texture still draws after the new window opened.
    RdrClear(0, 0, 0);
    DrawTexture(handle, 256, 256, 100, 100, 164, 164);
    EXPECT_EQ(Pixel(110, 130), 0xF800);
    EXPECT_EQ(Pixel(150, 130), 0x001F);
  }
}

TEST_F(BackendTest, FailedModeChangeGoesBackToTheModeItHad) {
  ASSERT_TRUE(RdrSetMode(gDisplayModes[7], 1));
  RdrLightingOff();
  // A resolution code the board cannot open.
  for (uint32_t code : {16u, 0xFFFFFFFFu}) {
    SCOPED_TRACE(code);
    DisplayMode bad = *gDisplayModes[3];
    bad.resolutionCode = code;
    EXPECT_FALSE(RdrSetMode(&bad, 1));
    EXPECT_TRUE(GfxIsOpen());
    ExpectModeState(MODE_ROWS[7]);
    ExpectFreshDrawState();
    EXPECT_EQ(gRdrState.vertexLighting, 0);
    ExpectClearFillsClipWindow(MODE_ROWS[7]);
  }
}

TEST_F(BackendTest, OpenFailsWithoutABoardOrAWindow) {
  RdrClose();
  DisplayMode bad = *gDisplayModes[2];
  bad.resolutionCode = 16;
  EXPECT_FALSE(RdrOpen(&bad, 1));
  EXPECT_FALSE(GfxIsOpen());

  GfxBoardConfig none;
  none.boardCount = 0;
  GfxSetBoardConfig(none);
  EXPECT_FALSE(RdrOpen(gDisplayModes[2], 1));
  EXPECT_FALSE(GfxIsOpen());
}

TEST_F(BackendTest, OpenForgetsMountedArchives) {
  datakit::PakSet set;
  set.archives[0].AddFile("A.TXT", Bytes{'a'});
  Mount(set);
  ASSERT_TRUE(gPakMounted);
  ASSERT_TRUE(Open(2));
  EXPECT_FALSE(gPakMounted);
}

TEST_F(BackendTest, CloseTwiceFreesEverythingOnce) {
  ASSERT_NE(MeshPoolAllocVertices(100), nullptr);
  ASSERT_NE(MeshPoolAllocFaces(100), nullptr);
  ASSERT_NE(DrawListAllocStatic(10), nullptr);
  ASSERT_NE(DrawListAllocDynamic(10), nullptr);
  RdrClose();
  EXPECT_EQ(MemPoolUsedBytes(), 0u);
  EXPECT_EQ(gTextureTable.count, 0);
  EXPECT_FALSE(GfxIsOpen());
  RdrClose();
  EXPECT_TRUE(gScreens.fatal.empty()) << gScreens.fatal.front();
  EXPECT_TRUE(gScreens.numbers.empty());
}

// The state between draws, read back from the pixels: a near texture whose
// left half has alpha 0 and right half alpha 8 of 15, over black, then a far
// green quad across both. With the alpha test the left half writes no depth
// and shows green; blending greys the right half; the depth test (with depth
// writes) keeps the green off it.
TEST_F(BackendTest, TwoDimensionalDrawingLeavesTheStateOpeningSets) {
  ASSERT_TRUE(Open(7));  // letterboxed: the clip window is not the screen
  std::vector<uint16_t> texels(64);
  for (int i = 0; i < 64; ++i) texels[i] = (i % 8) < 4 ? 0x0FFF : 0x8FFF;
  const int32_t probe = GfxTexAllocateMemory(GFX_TMU0, GFX_MIPMAPLEVELMASK_BOTH, 8, 8, GFX_TEXFMT_ARGB_4444,
                                             GFX_MIPMAP_DISABLE, 5, 5, GFX_ASPECT_1x1, GFX_TEXTURECLAMP_WRAP,
                                             GFX_TEXTURECLAMP_WRAP, GFX_TEXTUREFILTER_POINT_SAMPLED,
                                             GFX_TEXTUREFILTER_POINT_SAMPLED, 0.0f, false);
  ASSERT_TRUE(GfxTexDownloadMipMap(probe, texels.data(), nullptr));
  auto drawProbe = [&] {
    RdrClear(0, 0, 0);
    DrawTexture(probe, 256, 256, 100, 100, 164, 164, 60000.0f);
    DrawFlat(0x00FF00, 90, 90, 180, 180, 100.0f);
    return std::pair<uint16_t, uint16_t>(Pixel(110, 130), Pixel(150, 130));
  };
  const auto opened = drawProbe();
  ASSERT_EQ(opened.first, 0x07E0);
  ASSERT_NE(opened.second, 0x07E0);
  ASSERT_NE(opened.second, 0xFFFF);
  ASSERT_NE(opened.second, 0x0000);

  // A red picture over the whole screen, the clip window notwithstanding.
  auto* picture = static_cast<uint16_t*>(MemAlloc(640 * 480 * 2));
  ASSERT_NE(picture, nullptr);
  for (int i = 0; i < 640 * 480; ++i) picture[i] = 0x7C00;
  const std::pair<const char*, std::function<void()>> calls[] = {
      {"DotFontPrintf", [] { DotFontPrintf(0, 100, "STATE 0123"); }},
      {"LfbDrawScreenImage", [&] { LfbDrawScreenImage(picture); }},
  };
  for (const auto& [what, call] : calls) {
    SCOPED_TRACE(what);
    RdrSetClipWindow(0, 60, 640, 420);
    RdrClear(0, 0, 255);
    call();
    EXPECT_EQ(gRdrCache.combine, GFX_COMBINE_CCRGB);
    EXPECT_EQ(drawProbe(), opened);
    // Outside the clip window the probe's clear left what the call drew.
    EXPECT_EQ(Pixel(5, 10), std::string(what) == "LfbDrawScreenImage" ? 0xF800 : 0x0000);
  }
  MemFree(picture);
}
