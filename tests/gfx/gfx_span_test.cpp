// The pixel loops shade spans in groups of eight pixels batched across spans,
// read and write whole groups where the buffer allows, and skip groups the
// depth test rejects: spans of every short length, spans at the very end of
// the buffer, long spans with rejected groups inside, and many tiny
// triangles must give exactly the pixels a pixel-by-pixel reading of the
// rules gives, in both builds of the loops.
#include <cstdint>
#include <vector>

#include "gfx_test_support.h"

namespace {

constexpr int32_t SW = 320, SH = 200;

class GfxSpan : public GfxTest {
 protected:
  // Flat constant colour, depth written with the given test.
  static void FlatState(int32_t depthFunc) {
    Opaque();
    GfxColorCombineFunction(GFX_COMBINE_CCRGB);
    GfxConstantColorValue(Abgr(255, 255, 255));
    GfxDepthBufferMode(GFX_DEPTHBUFFER_ZBUFFER);
    GfxDepthBufferFunction(depthFunc);
    GfxDepthMask(true);
  }

  // Thousands of tiny and small triangles under every kind of state (texture
  // filters, fog far beyond the table and nearer than w = 1, translucency,
  // alpha and depth tests). With common set, half the blocks of triangles take
  // the states the game draws with most (texture alone or times alpha, GEQUAL
  // depth, NOTEQUAL alpha), which have loops of their own.
  static void DrawManySmallTriangles(bool common) {
    uint32_t seed = 7;
    auto rnd = [&seed]() {
      seed = seed * 1664525u + 1013904223u;
      return seed >> 8;
    };
    auto uni = [&rnd](float lo, float hi) { return lo + (hi - lo) * static_cast<float>(rnd() & 0xFFFF) / 65535.0f; };

    std::vector<uint16_t> texels(32 * 32);
    for (uint16_t& t : texels) t = static_cast<uint16_t>(rnd());
    GfxTexMemReset();
    ASSERT_EQ(Texture(32, 32, GFX_ASPECT_1x1, GFX_TEXFMT_ARGB_1555, texels, false), 0);
    ASSERT_EQ(Texture(32, 32, GFX_ASPECT_1x1, GFX_TEXFMT_ARGB_4444, texels, true), 1);
    std::vector<uint8_t> fog(64);
    for (uint8_t& f : fog) f = static_cast<uint8_t>(rnd());

    GfxBufferClear(Abgr(10, 20, 30), 0, 3000);
    GfxDepthBufferMode(GFX_DEPTHBUFFER_ZBUFFER);
    GfxFogTable(fog.data());
    GfxFogColorValue(Abgr(90, 100, 110));
    const int32_t combines[] = {2, 4, 5, 6, 8, 9, 10};
    const int32_t factors[] = {GFX_BLEND_ZERO, GFX_BLEND_SRC_ALPHA, GFX_BLEND_ONE, GFX_BLEND_ONE_MINUS_SRC_ALPHA};
    for (int32_t i = 0; i < 3000; ++i) {
      if (i % 50 == 0) {
        GfxTexSource(rnd() % 2);
        GfxColorCombineFunction(combines[rnd() % 7]);
        GfxAlphaSource(static_cast<int32_t>(rnd() % 4));
        GfxConstantColorValue(rnd());
        GfxDepthBufferFunction(rnd() % 2 ? GFX_CMP_GEQUAL : static_cast<int32_t>(rnd() % 8));
        GfxDepthMask(rnd() % 4 != 0);
        GfxAlphaTestFunction(rnd() % 2 ? GFX_CMP_NOTEQUAL : static_cast<int32_t>(rnd() % 8));
        GfxAlphaTestReferenceValue(static_cast<uint8_t>(rnd()));
        if (common && rnd() % 2) {
          const bool decal = rnd() % 2;
          GfxColorCombineFunction(decal ? GFX_COMBINE_DECAL_TEXTURE : GFX_COMBINE_TEXTURE_TIMES_ALPHA);
          GfxAlphaSource(decal ? GFX_ALPHASOURCE_TEXTURE_ALPHA : GFX_ALPHASOURCE_TEXTURE_ALPHA_TIMES_ITERATED_ALPHA);
          GfxDepthBufferFunction(GFX_CMP_GEQUAL);
          GfxAlphaTestFunction(GFX_CMP_NOTEQUAL);
        }
        if (rnd() % 2)
          GfxAlphaBlendFunction(GFX_BLEND_SRC_ALPHA, GFX_BLEND_ONE_MINUS_SRC_ALPHA, GFX_BLEND_ONE, GFX_BLEND_ZERO);
        else
          GfxAlphaBlendFunction(factors[rnd() % 4], factors[rnd() % 4], GFX_BLEND_ONE, GFX_BLEND_ZERO);
        GfxFogMode(rnd() % 3 ? GFX_FOG_WITH_TABLE : GFX_FOG_DISABLE);
      }
      float size = i % 3 == 0 ? uni(0.2f, 3.0f) : uni(2.0f, 20.0f);
      float cx = uni(-10, SW + 10), cy = uni(-10, SH + 10);
      float w = rnd() % 6 == 0 ? uni(2e4f, 1e6f) : (rnd() % 6 == 0 ? uni(0.01f, 1.0f) : uni(1.0f, 300.0f));
      GfxVertex v[3];
      for (GfxVertex& c : v) {
        c = Coloured(Vtx(cx + uni(-size, size), cy + uni(-size, size), w * uni(0.5f, 2.0f), uni(-500, 500),
                         uni(-500, 500)),
                     uni(-20, 280), uni(-20, 280), uni(-20, 280), uni(-20, 280));
        c.ooz = uni(0, 70000);
      }
      GfxDrawTriangle(&v[0], &v[1], &v[2]);
    }
  }

  static std::vector<uint16_t> Depths() {
    std::vector<uint16_t> out;
    for (int32_t y = 0; y < SH; ++y)
      for (int32_t x = 0; x < SW; ++x) out.push_back(GfxReadDepth(x, y));
    return out;
  }
};

// A one-row span [x0, x0 + len) on row y over a cleared screen: the span's
// pixels take the colour and depth, every other pixel keeps the clear.
TEST_F(GfxSpan, ShortAndEdgeSpansChangeOnlyTheirOwnPixels) {
  struct Case {
    int32_t x0, len, y;
  };
  std::vector<Case> cases;
  for (int32_t len = 1; len <= 20; ++len) {
    cases.push_back({0, len, 0});
    cases.push_back({5, len, 100});
    cases.push_back({SW - len, len, SH - 1});  // ends at the last pixel of the buffer
  }
  cases.push_back({3, 67, 50});      // nine groups, the last one short
  cases.push_back({0, SW, SH - 1});  // the whole last row
  cases.push_back({1, 129, 7});

  const uint16_t clear = Rgb565(16, 32, 64), white = Rgb565(255, 255, 255);
  const uint16_t clearDepth = 1000, drawnDepth = 26214;  // 262140 / w at w = 10
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "x0 " << c.x0 << " len " << c.len << " y " << c.y);
    GfxBufferClear(Abgr(16, 32, 64), 0, clearDepth);
    FlatState(GFX_CMP_ALWAYS);
    Rect(static_cast<float>(c.x0), static_cast<float>(c.y), static_cast<float>(c.x0 + c.len),
         static_cast<float>(c.y + 1), Vtx(0, 0));
    std::vector<uint16_t> screen = Screen();
    int32_t wrong = 0;
    for (int32_t y = 0; y < SH; ++y)
      for (int32_t x = 0; x < SW; ++x) {
        bool inside = y == c.y && x >= c.x0 && x < c.x0 + c.len;
        wrong += screen[static_cast<size_t>(y) * SW + x] != (inside ? white : clear);
        // Depth only where it can change, to keep the case cheap.
        if (y >= c.y - 1 && y <= c.y + 1) wrong += GfxReadDepth(x, y) != (inside ? drawnDepth : clearDepth);
      }
    EXPECT_EQ(wrong, 0);
  }
}

// A long span over a depth buffer striped in runs of 5 near and 11 far
// columns: the span draws exactly where it is not behind, including the
// groups that lie wholly in a near stripe and are skipped.
TEST_F(GfxSpan, DepthRejectedGroupsInsideLongSpansKeepTheirPixels) {
  GfxBufferClear(Abgr(0, 0, 0), 0, 0);
  FlatState(GFX_CMP_ALWAYS);
  std::vector<bool> near(SW, false);
  for (int32_t x = 0; x < SW; ++x) near[x] = (x / 8) % 3 == 1 || x % 16 < 5;
  for (int32_t x = 0; x < SW; ++x)
    if (near[x]) Rect(static_cast<float>(x), 10, static_cast<float>(x + 1), 13, Vtx(0, 0, 2.0f));  // z 65535

  FlatState(GFX_CMP_GEQUAL);
  GfxConstantColorValue(Abgr(255, 0, 0));
  Rect(0, 11, SW, 12, Vtx(0, 0, 10.0f));
  int32_t wrong = 0;
  for (int32_t x = 0; x < SW; ++x) {
    uint16_t expect = near[x] ? Rgb565(255, 255, 255) : Rgb565(255, 0, 0);
    wrong += Pixel(x, 11) != expect;
    wrong += GfxReadDepth(x, 11) != (near[x] ? 65535 : 26214);
  }
  EXPECT_EQ(wrong, 0);
}

// The scene did draw: a good share of the pixels differ from the clear.
void ExpectMostlyDrawn(const std::vector<uint16_t>& screen) {
  int32_t drawn = 0;
  for (uint16_t p : screen) drawn += p != Rgb565(10, 20, 30);
  EXPECT_GT(drawn, SW * SH / 4);
}

// One triangle over the whole screen: every row is a span of forty groups,
// so batches fill part-way through rows and spans go on in the next batch.
// Colour follows x alone, so every row must repeat the first row's colours,
// and depth is 1000 + 3 x + 100 y, exact in single precision, so every pixel
// has one right depth: a span carried on with another span's attributes or
// the wrong pixel offset breaks one or the other.
TEST_F(GfxSpan, SpansCarriedIntoTheNextBatchKeepTheirAttributes) {
  GfxBufferClear(0, 0, 0);
  FlatState(GFX_CMP_ALWAYS);
  GfxColorCombineFunction(GFX_COMBINE_ITRGB);
  GfxVertex v[3] = {Coloured(Vtx(0, 0), 0, 0, 0), Coloured(Vtx(2 * SW, 0), 510, 0, 0),
                    Coloured(Vtx(0, 2 * SH), 0, 0, 0)};
  v[0].ooz = 1000.0f;
  v[1].ooz = 1000.0f + 3.0f * 2 * SW;
  v[2].ooz = 1000.0f + 100.0f * 2 * SH;
  GfxDrawTriangle(&v[0], &v[1], &v[2]);
  std::vector<uint16_t> screen = Screen(), depth = Depths();
  int32_t wrong = 0;
  for (int32_t y = 0; y < SH; ++y)
    for (int32_t x = 0; x < SW; ++x) {
      const size_t at = static_cast<size_t>(y) * SW + x;
      wrong += screen[at] != screen[static_cast<size_t>(x)];
      wrong += depth[at] != 1051 + 3 * x + 100 * y;  // at the pixel's centre
    }
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(screen[0], Rgb565(0, 0, 0));
  EXPECT_EQ(screen[SW - 1], Rgb565(255, 0, 0));
}

TEST_F(GfxSpan, PlainAndWideLoopsAgreeOnManySmallTriangles) {
  GfxForceBaselineLoops(true);
  DrawManySmallTriangles(false);
  std::vector<uint16_t> plainColour = Screen(), plainDepth = Depths();
  GfxForceBaselineLoops(false);
  DrawManySmallTriangles(false);
  EXPECT_TRUE(Screen() == plainColour) << "loops in use: " << GfxLoopsName();
  EXPECT_TRUE(Depths() == plainDepth) << "loops in use: " << GfxLoopsName();
  ExpectMostlyDrawn(plainColour);
}

TEST_F(GfxSpan, LoopsForCommonStatesAgreeWithTheGeneralOnes) {
  GfxForceGeneralLoops(true);
  DrawManySmallTriangles(true);
  std::vector<uint16_t> generalColour = Screen(), generalDepth = Depths();
  GfxForceGeneralLoops(false);
  DrawManySmallTriangles(true);
  EXPECT_TRUE(Screen() == generalColour) << "loops in use: " << GfxLoopsName();
  EXPECT_TRUE(Depths() == generalDepth) << "loops in use: " << GfxLoopsName();
  ExpectMostlyDrawn(generalColour);
}

}  // namespace
