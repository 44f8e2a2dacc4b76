// The pixel pipeline on a small screen: scissor, depth, alpha test, colour
// combine, alpha sources, blending, fog and the fill rule.
#include <cmath>

#include "gfx_test_support.h"

namespace {

using GfxPixel = GfxTest;

// Constant-colour drawing with no test in the way.
void FlatWhite() {
  GfxColorCombineFunction(GFX_COMBINE_CCRGB);
  GfxConstantColorValue(Abgr(255, 255, 255));
  GfxAlphaBlendFunction(GFX_BLEND_ONE, GFX_BLEND_ZERO, GFX_BLEND_ONE, GFX_BLEND_ZERO);
  GfxAlphaTestFunction(GFX_CMP_ALWAYS);
  GfxDepthBufferMode(GFX_DEPTHBUFFER_DISABLE);
}

TEST_F(GfxPixel, ScissorDropsPixelsOnAndBeyondTheClipMaximum) {
  FlatWhite();
  struct Case {
    int32_t minX, minY, maxX, maxY;
    float x, y;
    bool drawn;
  } cases[] = {
      {0, 0, 320, 200, 319.0f, 199.0f, true},  {0, 0, 320, 200, 320.0f, 10.0f, false},
      {0, 0, 320, 200, 10.0f, 200.0f, false},  {0, 0, 320, 200, -1.0f, 10.0f, false},
      {10, 10, 20, 20, 10.0f, 10.0f, true},    {10, 10, 20, 20, 19.5f, 19.9f, true},
      {10, 10, 20, 20, 20.0f, 15.0f, false},   {10, 10, 20, 20, 9.0f, 15.0f, false},
      {-100, -100, 1000, 1000, 0.0f, 0.0f, true}, {0, 0, 1000, 1000, 319.9f, 0.0f, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
    GfxClipWindow(0, 0, 320, 200);
    GfxBufferClear(0, 0, 0);
    GfxClipWindow(c.minX, c.minY, c.maxX, c.maxY);
    GfxVertex v = Vtx(c.x, c.y);
    GfxDrawPoint(&v);
    auto screen = Screen();
    int lit = 0;
    for (uint16_t p : screen) lit += p != 0;
    EXPECT_EQ(lit, c.drawn ? 1 : 0);
    if (c.drawn) {
      EXPECT_EQ(Pixel(static_cast<int32_t>(c.x), static_cast<int32_t>(c.y)), 0xFFFF);
    }
  }
}

TEST_F(GfxPixel, HugeAndBrokenCoordinatesFillExactlyTheClipWindow) {
  FlatWhite();
  GfxClipWindow(5, 6, 300, 190);
  GfxVertex a = Vtx(-1.0e7f, -1.0e7f), b = Vtx(3.0e7f, -1.0e7f), c = Vtx(-1.0e7f, 3.0e7f);
  GfxDrawTriangle(&a, &b, &c);
  auto screen = Screen();
  for (int32_t y = 0; y < 200; ++y)
    for (int32_t x = 0; x < 320; ++x) {
      bool inside = x >= 5 && x < 300 && y >= 6 && y < 190;
      ASSERT_EQ(screen[y * 320 + x], inside ? 0xFFFF : 0) << x << "," << y;
    }
  // Non-finite corners draw nothing and do not fail.
  GfxClipWindow(0, 0, 320, 200);
  GfxBufferClear(0, 0, 0);
  GfxVertex n = Vtx(NAN, 10.0f), i = Vtx(INFINITY, 50.0f);
  GfxDrawTriangle(&n, &b, &c);
  GfxDrawTriangle(&i, &b, &c);
  GfxDrawLine(&n, &a);
  GfxDrawPoint(&i);
  GfxVertex line[2] = {Vtx(-1.0e9f, 100.0f), Vtx(1.0e9f, 100.0f)};
  GfxDrawLine(&line[0], &line[1]);
  EXPECT_EQ(Pixel(0, 100), 0xFFFF);
  EXPECT_EQ(Pixel(319, 100), 0xFFFF);
  EXPECT_EQ(Pixel(0, 99), 0);
}

TEST_F(GfxPixel, GequalDepthTestWithTheMaskOnAndOff) {
  FlatWhite();
  GfxDepthBufferMode(GFX_DEPTHBUFFER_ZBUFFER);
  GfxDepthBufferFunction(GFX_CMP_GEQUAL);
  struct Case {
    uint16_t stored;
    float ooz;
    bool mask;
    bool drawn;
    uint16_t depthAfter;
  } cases[] = {
      {1000, 2000.0f, true, true, 2000},   {1000, 1000.0f, true, true, 1000},
      {1000, 999.0f, true, false, 1000},   {1000, 2000.0f, false, true, 1000},
      {1000, 500.0f, false, false, 1000},  {65535, 262140.0f, true, true, 65535},  // saturates
      {0, -50.0f, true, true, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.ooz);
    GfxBufferClear(0, 0, c.stored);
    GfxDepthMask(c.mask);
    GfxVertex v = Vtx(0, 0);
    v.ooz = c.ooz;
    Rect(10, 10, 20, 20, v);
    EXPECT_EQ(Pixel(15, 15), c.drawn ? 0xFFFF : 0);
    EXPECT_EQ(GfxReadDepth(15, 15), c.depthAfter);
  }
  // Depth disabled: no test, no write.
  GfxDepthMask(true);
  GfxBufferClear(0, 0, 60000);
  GfxDepthBufferMode(GFX_DEPTHBUFFER_DISABLE);
  GfxVertex v = Vtx(0, 0);
  v.ooz = 10.0f;
  Rect(10, 10, 20, 20, v);
  EXPECT_EQ(Pixel(15, 15), 0xFFFF);
  EXPECT_EQ(GfxReadDepth(15, 15), 60000);
}

TEST_F(GfxPixel, AlphaTestDropsColourKeyedTexels) {
  GameDefaults();
  // 2x2 ARGB1555: the top-right texel is keyed out (alpha bit 0).
  int32_t id = Texture(2, 2, GFX_ASPECT_1x1, GFX_TEXFMT_ARGB_1555, {0xFC00, 0x7C1F, 0x83E0, 0x801F});
  ASSERT_EQ(id, 0);
  GfxTexSource(0);
  GfxBufferClear(Abgr(0, 0, 255), 0, 0);
  // 256 units span the 2 texels: the 20x20 square shows each texel as 10x10.
  GfxVertex v[4] = {Vtx(0, 0, 10, 0, 0), Vtx(20, 0, 10, 256, 0), Vtx(20, 20, 10, 256, 256),
                    Vtx(0, 20, 10, 0, 256)};
  GfxDrawPolygonVertexList(4, v);
  EXPECT_EQ(Pixel(5, 5), 0xF800);
  EXPECT_EQ(Pixel(15, 5), Rgb565(0, 0, 255));  // keyed: background stays
  EXPECT_EQ(Pixel(5, 15), 0x07E0);
  EXPECT_EQ(Pixel(15, 15), 0x001F);
  // With the test off the keyed texel is drawn as what it is (alpha 0 blends to nothing,
  // so draw it opaque).
  Opaque();
  GfxDrawPolygonVertexList(4, v);
  EXPECT_EQ(Pixel(15, 5), 0xF81F);
}

// T = (255, 136, 0, alpha 170) from an ARGB4444 texel 0xAF80; I = (68, 255, 34),
// Ia = 102; C = (17, 51, 85), Ca = 204. The blend (SRC_ALPHA, ZERO) over black
// shows colour x alpha, so each case shows both the combine and the alpha.
TEST_F(GfxPixel, EachCombineModeAndAlphaSource) {
  ASSERT_EQ(Texture(1, 1, GFX_ASPECT_1x1, GFX_TEXFMT_ARGB_4444, {0xAF80}), 0);
  GfxTexSource(0);
  GfxConstantColorValue(Abgr(17, 51, 85, 204));
  GfxAlphaBlendFunction(GFX_BLEND_SRC_ALPHA, GFX_BLEND_ZERO, GFX_BLEND_ONE, GFX_BLEND_ZERO);
  GfxAlphaTestFunction(GFX_CMP_ALWAYS);
  auto mul = [](int a, int b) { return (a * b + 127) / 255; };
  const int T[3] = {255, 136, 0}, I[3] = {68, 255, 34}, C[3] = {17, 51, 85};
  const int Ta = 170, Ia = 102, Ca = 204;
  struct Case {
    int32_t combine, source;
  } cases[] = {
      {GFX_COMBINE_CCRGB, GFX_ALPHASOURCE_CC_ALPHA},
      {GFX_COMBINE_ITRGB, GFX_ALPHASOURCE_ITERATED_ALPHA},
      {GFX_COMBINE_DECAL_TEXTURE, GFX_ALPHASOURCE_TEXTURE_ALPHA},
      {GFX_COMBINE_TEXTURE_ADD_ITRGB, GFX_ALPHASOURCE_TEXTURE_ALPHA},
      {GFX_COMBINE_TEXTURE_TIMES_ITRGB, GFX_ALPHASOURCE_TEXTURE_ALPHA_TIMES_ITERATED_ALPHA},
      {GFX_COMBINE_TEXTURE_TIMES_ITRGB_ADD_ALPHA, GFX_ALPHASOURCE_ITERATED_ALPHA},
      {GFX_COMBINE_TEXTURE_TIMES_ALPHA, GFX_ALPHASOURCE_TEXTURE_ALPHA_TIMES_ITERATED_ALPHA},
      {GFX_COMBINE_TEXTURE_TIMES_ALPHA, GFX_ALPHASOURCE_CC_ALPHA},
      {GFX_COMBINE_TEXTURE_TIMES_ALPHA_ADD_ITRGB, GFX_ALPHASOURCE_ITERATED_ALPHA},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "combine " << c.combine << " source " << c.source);
    int rgb[3];
    int la = c.source == GFX_ALPHASOURCE_CC_ALPHA ? Ca : Ia;
    for (int k = 0; k < 3; ++k) {
      switch (c.combine) {
        case GFX_COMBINE_CCRGB: rgb[k] = C[k]; break;
        case GFX_COMBINE_ITRGB: rgb[k] = I[k]; break;
        case GFX_COMBINE_DECAL_TEXTURE: rgb[k] = T[k]; break;
        case GFX_COMBINE_TEXTURE_ADD_ITRGB: rgb[k] = std::min(255, T[k] + I[k]); break;
        case GFX_COMBINE_TEXTURE_TIMES_ITRGB: rgb[k] = mul(T[k], I[k]); break;
        case GFX_COMBINE_TEXTURE_TIMES_ITRGB_ADD_ALPHA: rgb[k] = std::min(255, mul(T[k], I[k]) + la); break;
        case GFX_COMBINE_TEXTURE_TIMES_ALPHA: rgb[k] = mul(T[k], la); break;
        default: rgb[k] = std::min(255, mul(T[k], la) + I[k]); break;
      }
    }
    int usesTexture = c.combine != GFX_COMBINE_CCRGB && c.combine != GFX_COMBINE_ITRGB;
    int ta = usesTexture ? Ta : 255;
    int alpha = c.source == 0 ? Ca : c.source == 1 ? Ia : c.source == 2 ? ta : mul(ta, Ia);
    GfxColorCombineFunction(c.combine);
    GfxAlphaSource(c.source);
    GfxBufferClear(0, 0, 0);
    Rect(0, 0, 8, 8, Coloured(Vtx(0, 0), 68, 255, 34, 102));
    uint16_t got = Pixel(4, 4);
    // Blending rounds once more: allow one step of the 565 quantisation.
    int expect[3] = {mul(rgb[0], alpha), mul(rgb[1], alpha), mul(rgb[2], alpha)};
    int gotRgb[3] = {(got >> 11) << 3, ((got >> 5) & 63) << 2, (got & 31) << 3};
    EXPECT_NEAR(gotRgb[0], expect[0] & ~7, 8);
    EXPECT_NEAR(gotRgb[1], expect[1] & ~3, 4);
    EXPECT_NEAR(gotRgb[2], expect[2] & ~7, 8);
  }
}

TEST_F(GfxPixel, IteratedColourAndAlphaSaturate) {
  GfxColorCombineFunction(GFX_COMBINE_ITRGB);
  GfxAlphaSource(GFX_ALPHASOURCE_ITERATED_ALPHA);
  GfxAlphaBlendFunction(GFX_BLEND_SRC_ALPHA, GFX_BLEND_ONE_MINUS_SRC_ALPHA, GFX_BLEND_ONE, GFX_BLEND_ZERO);
  GfxAlphaTestFunction(GFX_CMP_NOTEQUAL);
  GfxBufferClear(Abgr(0, 0, 255), 0, 0);
  Rect(0, 0, 8, 8, Coloured(Vtx(0, 0), 400.0f, -20.0f, 1000.0f, 400.0f));
  EXPECT_EQ(Pixel(4, 4), Rgb565(255, 0, 255));
  // Alpha 0 fails NOTEQUAL 0: nothing drawn.
  Rect(10, 0, 18, 8, Coloured(Vtx(0, 0), 255.0f, 255.0f, 255.0f, 0.0f));
  EXPECT_EQ(Pixel(14, 4), Rgb565(0, 0, 255));
}

TEST_F(GfxPixel, TheThreeBlendSetups) {
  GfxColorCombineFunction(GFX_COMBINE_CCRGB);
  GfxAlphaSource(GFX_ALPHASOURCE_CC_ALPHA);
  GfxAlphaTestFunction(GFX_CMP_NOTEQUAL);
  struct Case {
    int32_t src, dst;
    uint32_t background, colour;
    uint16_t expected;
  } cases[] = {
      // Opaque: the source replaces whatever alpha says.
      {GFX_BLEND_ONE, GFX_BLEND_ZERO, Abgr(0, 0, 255), Abgr(255, 0, 0, 51), 0xF800},
      // Source alpha: 204 of red over blue.
      {GFX_BLEND_SRC_ALPHA, GFX_BLEND_ONE_MINUS_SRC_ALPHA, Abgr(0, 0, 255), Abgr(255, 0, 0, 204),
       Rgb565(204, 0, 51)},
      // Additive: 128 of grey added to blue, green saturating.
      {GFX_BLEND_SRC_ALPHA, GFX_BLEND_ONE, Abgr(0, 255, 128), Abgr(200, 200, 200, 128),
       Rgb565(100, 255, 232)},  // stored blue 128 reads back as 132
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.src * 10 + c.dst);
    GfxAlphaBlendFunction(c.src, c.dst, GFX_BLEND_ONE, GFX_BLEND_ZERO);
    GfxBufferClear(c.background, 0, 0);
    GfxConstantColorValue(c.colour);
    Rect(0, 0, 8, 8, Vtx(0, 0));
    EXPECT_EQ(Pixel(4, 4), c.expected);
  }
}

TEST_F(GfxPixel, FogByW) {
  FlatWhite();
  GfxConstantColorValue(Abgr(0, 0, 0));
  uint8_t table[64];
  GfxFogGenerateLinear(table, 100.0f, 1000.0f);
  EXPECT_EQ(GfxFogTableIndexToW(0), 1.0f);
  EXPECT_EQ(GfxFogTableIndexToW(1), 1.25f);
  EXPECT_EQ(GfxFogTableIndexToW(40), 1024.0f);
  EXPECT_EQ(GfxFogTableIndexToW(63), 57344.0f);
  EXPECT_EQ(table[0], 0);
  EXPECT_EQ(table[63], 255);
  GfxFogTable(table);
  GfxFogColorValue(Abgr(255, 255, 255));
  GfxFogMode(GFX_FOG_WITH_TABLE);
  struct Case {
    float w;
    int fog;  // expected fog amount 0..255
  } cases[] = {
      {50.0f, 0},
      {2000.0f, 255},
      {GfxFogTableIndexToW(32), table[32]},  // w = 256: an entry exactly
      {GfxFogTableIndexToW(34), table[34]},
      {(GfxFogTableIndexToW(34) + GfxFogTableIndexToW(35)) / 2, (table[34] + table[35]) / 2},
  };
  auto check = [](const Case& c) {
    SCOPED_TRACE(c.w);
    GfxBufferClear(0, 0, 0);
    Rect(0, 0, 8, 8, Vtx(0, 0, c.w));
    uint16_t p = Pixel(4, 4);
    EXPECT_NEAR(((p >> 5) & 63) << 2, c.fog & ~3, 4);
  };
  for (const Case& c : cases) check(c);
  // A table set after drawing replaces the first; w beyond either end takes
  // the end entry.
  uint8_t ramp[64];
  for (int i = 0; i < 64; ++i) ramp[i] = static_cast<uint8_t>(40 + 2 * i);
  GfxFogTable(ramp);
  const Case beyond[] = {{0.25f, 40}, {1.0e-6f, 40}, {1.0e7f, 166}, {3.0e38f, 166}, {GfxFogTableIndexToW(10), 60}};
  for (const Case& c : beyond) check(c);
  GfxFogMode(GFX_FOG_DISABLE);
  Rect(0, 0, 8, 8, Vtx(0, 0, 2000.0f));
  EXPECT_EQ(Pixel(4, 4), 0);
}

// Adjacent translucent faces: each pixel is blended exactly once, whatever
// the split (two triangles, a fan, corners off the pixel grid).
TEST_F(GfxPixel, NoDoubleBlendedSeamInTranslucentQuads) {
  GfxColorCombineFunction(GFX_COMBINE_CCRGB);
  GfxAlphaSource(GFX_ALPHASOURCE_CC_ALPHA);
  GfxConstantColorValue(Abgr(255, 255, 255, 128));
  GfxAlphaBlendFunction(GFX_BLEND_SRC_ALPHA, GFX_BLEND_ONE_MINUS_SRC_ALPHA, GFX_BLEND_ONE, GFX_BLEND_ZERO);
  GfxAlphaTestFunction(GFX_CMP_NOTEQUAL);
  struct Case {
    float x[4], y[4];
  } cases[] = {
      {{10, 60, 60, 10}, {10, 10, 50, 50}},
      {{10.3f, 70.7f, 55.2f, 3.9f}, {12.1f, 20.6f, 90.4f, 60.2f}},
      {{100, 140, 120, 90}, {10, 30, 80, 40}},
      // A kite whose diagonals lie on pixel centres, one of them horizontal.
      {{10, 40.5f, 70, 40.5f}, {30.5f, 5.25f, 30.5f, 60.75f}},
  };
  const uint16_t once = Rgb565(128, 128, 128);
  for (const Case& c : cases) {
    GfxBufferClear(0, 0, 0);
    GfxVertex v[4];
    for (int i = 0; i < 4; ++i) v[i] = Vtx(c.x[i], c.y[i]);
    GfxDrawTriangle(&v[0], &v[1], &v[2]);
    GfxDrawTriangle(&v[0], &v[2], &v[3]);
    // The same quad split the other way, drawn on the right half of the screen.
    GfxVertex w[4];
    for (int i = 0; i < 4; ++i) w[i] = Vtx(c.x[i] + 160, c.y[i]);
    GfxDrawTriangle(&w[1], &w[2], &w[3]);
    GfxDrawTriangle(&w[3], &w[0], &w[1]);
    auto screen = Screen();
    int covered = 0;
    for (uint16_t p : screen) {
      ASSERT_TRUE(p == 0 || p == once) << std::hex << p;
      covered += p == once;
    }
    EXPECT_GT(covered, 100);
    // The middle of the quad, on either split.
    const int32_t mx = static_cast<int32_t>((c.x[0] + c.x[2]) / 2), my = static_cast<int32_t>((c.y[0] + c.y[2]) / 2);
    EXPECT_EQ(Pixel(mx, my), once);
    EXPECT_EQ(Pixel(mx + 160, my), once);
  }
  // A hexagon drawn as one fan: every pixel once.
  GfxBufferClear(0, 0, 0);
  GfxVertex hex[6];
  for (int i = 0; i < 6; ++i)
    hex[i] = Vtx(100.0f + 40.0f * std::cos(i * 1.047f), 100.0f + 40.0f * std::sin(i * 1.047f));
  GfxDrawPolygonVertexList(6, hex);
  for (uint16_t p : Screen()) ASSERT_TRUE(p == 0 || p == once);
  EXPECT_EQ(Pixel(100, 100), once);
}

TEST_F(GfxPixel, LinesAndPoints) {
  FlatWhite();
  GfxVertex a = Vtx(2, 2), b = Vtx(6, 4);
  GfxDrawLine(&a, &b);
  int lit = 0;
  for (uint16_t p : Screen()) lit += p != 0;
  EXPECT_EQ(lit, 5);  // one pixel per column, both ends included
  EXPECT_EQ(Pixel(2, 2), 0xFFFF);
  EXPECT_EQ(Pixel(6, 4), 0xFFFF);
  // The four points of a dot at half-pixel offsets land on one pixel.
  GfxBufferClear(0, 0, 0);
  const float dx[4] = {0, 0.5f, 0, 0.5f}, dy[4] = {0, 0, 0.5f, 0.5f};
  for (int i = 0; i < 4; ++i) {
    GfxVertex p = Vtx(30 + dx[i], 40 + dy[i]);
    GfxDrawPoint(&p);
  }
  lit = 0;
  for (uint16_t p : Screen()) lit += p != 0;
  EXPECT_EQ(lit, 1);
  EXPECT_EQ(Pixel(30, 40), 0xFFFF);
}

}  // namespace
