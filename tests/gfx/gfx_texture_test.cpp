// Texturing: units, wrap, the two filters, perspective, unknown ids, and the
// 3DF reader on files written by the data kit.
#include <cmath>

#include "gfx_test_support.h"
#include "hal/gfx/gfx3df.h"
#include "tools/datakit/lib/texture_3df.h"

namespace {

using GfxTexture = GfxTest;

// 4x4 RGB565 texture whose texel (x, y) has red 8 * x and blue 8 * y (in
// 5-bit steps), so a pixel tells which texel it shows.
std::vector<uint16_t> Grid4() {
  std::vector<uint16_t> t(16);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) t[y * 4 + x] = static_cast<uint16_t>((x * 8) << 11 | (y * 8));
  return t;
}

int TexelX(uint16_t p) { return (p >> 11) / 8; }
int TexelY(uint16_t p) { return (p & 31) / 8; }

void Decal() {
  GfxColorCombineFunction(GFX_COMBINE_DECAL_TEXTURE);
  GfxAlphaSource(GFX_ALPHASOURCE_TEXTURE_ALPHA);
  GfxAlphaBlendFunction(GFX_BLEND_ONE, GFX_BLEND_ZERO, GFX_BLEND_ONE, GFX_BLEND_ZERO);
  GfxAlphaTestFunction(GFX_CMP_ALWAYS);
}

// A small square whose four corners all carry the coordinates (s, t).
uint16_t SampleAt(float s, float t) {
  GfxVertex v[4] = {Vtx(0, 0, 10, s, t), Vtx(4, 0, 10, s, t), Vtx(4, 4, 10, s, t), Vtx(0, 4, 10, s, t)};
  GfxDrawPolygonVertexList(4, v);
  uint16_t p = 0;
  GfxLfbReadRegion(GFX_BUFFER_BACKBUFFER, 2, 2, 1, 1, 2, &p);
  return p;
}

TEST_F(GfxTexture, PointSamplingWrapsInBothDirections) {
  Decal();
  ASSERT_EQ(Texture(4, 4, GFX_ASPECT_1x1, GFX_TEXFMT_RGB_565, Grid4()), 0);
  GfxTexSource(0);
  // 64 units per texel on a 4-texel side.
  struct Case {
    float s, t;
    int x, y;
  } cases[] = {
      {0.0f, 0.0f, 0, 0},     {70.0f, 0.0f, 1, 0},   {255.0f, 200.0f, 3, 3},
      {256.0f, 0.0f, 0, 0},   {-1.0f, 0.0f, 3, 0},   {-64.0f, -65.0f, 3, 2},
      {256.0f * 1000 + 130.0f, 256.0f * 77 + 1.0f, 2, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.s << "," << c.t);
    uint16_t p = SampleAt(c.s, c.t);
    EXPECT_EQ(TexelX(p), c.x);
    EXPECT_EQ(TexelY(p), c.y);
  }
}

TEST_F(GfxTexture, UnitsFollowTheLongSide) {
  Decal();
  // 8x2 texture (aspect 4:1): 256 units span 8 texels on both axes, so t
  // reaches the second row at 32.
  std::vector<uint16_t> t(16, 0);
  t[8 + 5] = 0xFFFF;
  ASSERT_EQ(Texture(8, 2, GFX_ASPECT_4x1, GFX_TEXFMT_RGB_565, t), 0);
  GfxTexSource(0);
  EXPECT_EQ(SampleAt(5 * 32 + 16, 32 + 16), 0xFFFF);
  EXPECT_EQ(SampleAt(5 * 32 + 16, 16), 0);
  EXPECT_EQ(SampleAt(5 * 32 + 16, 64 + 32 + 16), 0xFFFF);  // t wraps at 64
}

TEST_F(GfxTexture, BilinearFilteringBlendsNeighbours) {
  Decal();
  // Black and white texels side by side, 2x1.
  ASSERT_EQ(Texture(2, 1, GFX_ASPECT_2x1, GFX_TEXFMT_RGB_565, {0x0000, 0xFFFF}, true), 0);
  GfxTexSource(0);
  struct Case {
    float s;
    int green;  // 6-bit green expected
  } cases[] = {
      {64.0f, 0},     // centre of texel 0
      {192.0f, 63},   // centre of texel 1
      {128.0f, 31},   // halfway: the average
      {0.0f, 31},     // the left edge blends with the wrapped right texel
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.s);
    uint16_t p = SampleAt(c.s, 64.0f);
    EXPECT_NEAR((p >> 5) & 63, c.green, 1);
  }
}

// A floor rectangle seen in perspective, from w = 2 to w = 20: screen x =
// 160 + 100 X / w, y = 10 + 360 / w for floor points X in -2.4..2.4. Each
// pixel must show the texel that exact perspective division gives at its centre.
TEST_F(GfxTexture, PerspectiveCorrectOnARecedingQuad) {
  Decal();
  std::vector<uint16_t> tex(16 * 16);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) tex[y * 16 + x] = static_cast<uint16_t>(x << 11 | y << 6);
  ASSERT_EQ(Texture(16, 16, GFX_ASPECT_1x1, GFX_TEXFMT_RGB_565, tex), 0);
  GfxTexSource(0);
  GfxVertex v[4] = {Vtx(40, 190, 2, 0, 256), Vtx(280, 190, 2, 256, 256), Vtx(172, 28, 20, 256, 0),
                    Vtx(148, 28, 20, 0, 0)};
  GfxDrawPolygonVertexList(4, v);
  auto screen = Screen();
  int checked = 0;
  for (int y = 29; y < 189; ++y) {
    double oow = (y + 0.5 - 10.0) / 360.0;
    double t = 256.0 * (20.0 - 1.0 / oow) / 18.0;
    double left = 160.0 - 240.0 * oow, right = 160.0 + 240.0 * oow;
    for (int x = static_cast<int>(left) + 1; x < static_cast<int>(right) - 1; ++x) {
      double X = (x + 0.5 - 160.0) / 100.0 / oow;
      double s = 256.0 * (X + 2.4) / 4.8;
      double u = s * 16 / 256, tv = t * 16 / 256;
      // Skip centres within a hair of a texel boundary: rounding may go either way there.
      if (std::fabs(u - std::round(u)) < 0.01 || std::fabs(tv - std::round(tv)) < 0.01) continue;
      uint16_t p = screen[y * 320 + x];
      ASSERT_EQ(p >> 11, static_cast<int>(std::floor(u)) & 15) << x << "," << y;
      ASSERT_EQ((p >> 6) & 31, static_cast<int>(std::floor(tv)) & 15) << x << "," << y;
      ++checked;
    }
  }
  EXPECT_GT(checked, 10000);
  // An affine mapping would be far off: mid-screen the texture row is not the mid row.
  uint16_t mid = screen[109 * 320 + 160];
  EXPECT_NE((mid >> 6) & 31, 8);
}

TEST_F(GfxTexture, UnknownTextureIdsDrawNothing) {
  Decal();
  GfxBufferClear(Abgr(0, 0, 255), 0, 0);
  for (uint32_t id : {0u, 7u, 0x02000001u, 0xFFFFFFFFu}) {
    GfxTexSource(id);
    EXPECT_EQ(SampleAt(10, 10), Rgb565(0, 0, 255)) << id;
  }
  // Allocated but never downloaded: nothing either.
  ASSERT_EQ(GfxTexAllocateMemory(GFX_TMU0, GFX_MIPMAPLEVELMASK_BOTH, 4, 4, GFX_TEXFMT_RGB_565, 0, 0, 0,
                                 GFX_ASPECT_1x1, 0, 0, 0, 0, 0.0f, false),
            0);
  GfxTexSource(0);
  EXPECT_EQ(SampleAt(10, 10), Rgb565(0, 0, 255));
  // Untextured combines still draw with a bad id bound.
  GfxTexSource(0x02000001u);
  GfxColorCombineFunction(GFX_COMBINE_CCRGB);
  GfxConstantColorValue(Abgr(255, 0, 0));
  EXPECT_EQ(SampleAt(10, 10), 0xF800);
}

TEST_F(GfxTexture, FormatsDecodeAsTheFilesCarryThem) {
  Decal();
  struct Case {
    int32_t format;
    uint16_t texel;
    uint16_t shown;
  } cases[] = {
      {GFX_TEXFMT_RGB_565, 0xF81F, 0xF81F},
      {GFX_TEXFMT_ARGB_1555, 0xFC00, 0xF800},
      {GFX_TEXFMT_ARGB_1555, 0x83E0, 0x07E0},
      {GFX_TEXFMT_ARGB_4444, 0xF0F0, 0x07E0},
      {GFX_TEXFMT_ARGB_4444, 0xFF0F, 0xF81F},
  };
  for (const Case& c : cases) {
    GfxTexMemReset();
    ASSERT_EQ(Texture(1, 1, GFX_ASPECT_1x1, c.format, {c.texel}), 0);
    GfxTexSource(0);
    EXPECT_EQ(SampleAt(1, 1), c.shown) << c.format << " " << std::hex << c.texel;
  }
}

TEST(Gfx3df, KitFilesRoundTrip) {
  ResetHalForTest();
  TempDir dir;
  struct Case {
    int32_t format;
    uint32_t w, h;
    int32_t aspect;
  } cases[] = {
      {datakit::TEX3DF_ARGB1555, 256, 128, GFX_ASPECT_2x1},
      {datakit::TEX3DF_RGB565, 8, 64, GFX_ASPECT_1x8},
      {datakit::TEX3DF_ARGB4444, 4, 4, GFX_ASPECT_1x1},
      {datakit::TEX3DF_RGB565, 1, 1, GFX_ASPECT_1x1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.w * 1000 + c.h);
    std::vector<uint16_t> texels(c.w * c.h);
    for (size_t i = 0; i < texels.size(); ++i) texels[i] = static_cast<uint16_t>(i * 2654435761u >> 7);
    auto bytes = datakit::Make3df(c.format, c.w, c.h, texels);
    ASSERT_FALSE(bytes.empty());
    ASSERT_TRUE(datakit::WriteFile(dir / "tex/Gomme.3df", bytes));
    Gfx3dfInfo info{};
    ASSERT_TRUE(Gfx3dfGetInfo((dir / "TEX\\GOMME.3DF").c_str(), &info));
    EXPECT_EQ(info.width, c.w);
    EXPECT_EQ(info.height, c.h);
    EXPECT_EQ(info.format, c.format);
    EXPECT_EQ(info.aspect, c.aspect);
    EXPECT_EQ(info.largeLod, GfxLodFromSize(std::max(c.w, c.h)));
    EXPECT_EQ(info.memRequired, c.w * c.h * 2);
    std::vector<uint16_t> loaded(c.w * c.h);
    info.data = loaded.data();
    ASSERT_TRUE(Gfx3dfLoad((dir / "tex/gomme.3df").c_str(), &info));
    EXPECT_EQ(loaded, texels);
  }
  EXPECT_EQ(GfxLodFromSize(256), 0);
  EXPECT_EQ(GfxLodFromSize(1), 8);
  EXPECT_EQ(GfxLodFromSize(3), -1);
}

TEST(Gfx3df, DamagedHeadersAreRefused) {
  const std::string texels(2 * 2 * 2, '\x11');
  const std::string good = "3df v1.1\nrgb565\nlod range: 2 2\naspect ratio: 1 1\n";
  Gfx3dfInfo info{};
  auto parse = [&](const std::string& file) {
    return Gfx3dfParse(reinterpret_cast<const uint8_t*>(file.data()), file.size(), &info, nullptr);
  };
  ASSERT_TRUE(parse(good + texels));
  EXPECT_EQ(info.width, 2u);
  const std::string bad[] = {
      "3df v1.1\r\nrgb565\nlod range: 2 2\naspect ratio: 1 1\n" + texels,  // carriage return
      "3df v1.0\nrgb565\nlod range: 2 2\naspect ratio: 1 1\n" + texels,
      "3df v1.1\nrgb555\nlod range: 2 2\naspect ratio: 1 1\n" + texels,
      "3df v1.1\nrgb565\nlod range: 3 3\naspect ratio: 1 1\n" + texels,   // not a power of two
      "3df v1.1\nrgb565\nlod range: 4 2\naspect ratio: 1 1\n" + texels,   // small above large
      "3df v1.1\nrgb565\nlod range: 512 512\naspect ratio: 1 1\n" + texels,
      "3df v1.1\nrgb565\nlod range: 2\naspect ratio: 1 1\n" + texels,
      "3df v1.1\nrgb565\nlod range: 2 2\naspect ratio: 1 3\n" + texels,
      "3df v1.1\nrgb565\nlod range: 2 2\naspect ratio: 8 1\n" + texels,   // 2 / 8 is no texel
      good + texels.substr(1),                                            // one byte short
      "3df v1.1\nrgb565\nlod range: 2 2\naspect ratio: 1 1",              // no line feed
      std::string(200, 'x') + "\n",
      "",
  };
  for (const std::string& b : bad) EXPECT_FALSE(parse(b)) << b.substr(0, 60);
  // The header lines must end within 128 bytes.
  EXPECT_FALSE(parse("3df v1.1\nrgb565\nlod range: 2 2" + std::string(120, ' ') + "\naspect ratio: 1 1\n" +
                     texels));
  Gfx3dfInfo missing{};
  EXPECT_FALSE(Gfx3dfGetInfo("/nonexistent/none.3df", &missing));
}

}  // namespace
