// A small textured, fogged, alpha-tested scene compared pixel for pixel with
// a stored picture, and the plain and wide pixel loops compared with each other.
//
// After a deliberate change of the pixel formulas, regenerate the picture
// (tests/gfx/reference_scene.png) with scripts/update-references.sh, or this
// suite alone with
//   TORVANE_UPDATE_REFERENCES=1 build/tests/gfx/tests_gfx --gtest_filter='GfxReference.*'


#include <cmath>
#include <string>

#include "gfx_test_support.h"
#include "support/png_rgb.h"

namespace {

const std::string REFERENCE = std::string(GFX_TEST_SOURCE_DIR) + "/reference_scene.png";

// The scene fills the top-left SCENE_W x SCENE_H pixels: its corners are
// laid out on a 320 x 200 grid and halved.
constexpr int32_t SCENE_W = 160, SCENE_H = 100;

GfxVertex Sv(float x, float y, float w, float s = 0.0f, float t = 0.0f) { return Vtx(x / 2, y / 2, w, s, t); }

void DrawScene() {
  GfxClipWindow(0, 0, SCENE_W, SCENE_H);
  GfxDepthBufferMode(GFX_DEPTHBUFFER_ZBUFFER);
  GfxDepthBufferFunction(GFX_CMP_GEQUAL);
  GfxDepthMask(true);
  GfxBufferClear(Abgr(100, 150, 230), 0, 0);

  uint8_t fog[64];
  GfxFogGenerateLinear(fog, 20.0f, 120.0f);
  GfxFogTable(fog);
  GfxFogColorValue(Abgr(200, 200, 210));
  GfxFogMode(GFX_FOG_WITH_TABLE);

  // Ground: a bilinear checker with a gradient, wrapping eight times.
  std::vector<uint16_t> ground(32 * 32);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x)
      ground[y * 32 + x] = ((x / 8 + y / 8) & 1) ? Rgb565(40 + x * 4, 160, 60) : Rgb565(120, 90, 40 + y * 4);
  int32_t groundId = GfxTexAllocateMemory(GFX_TMU0, GFX_MIPMAPLEVELMASK_BOTH, 32, 32, GFX_TEXFMT_RGB_565, 0, 3,
                                          3, GFX_ASPECT_1x1, 0, 0, GFX_TEXTUREFILTER_BILINEAR,
                                          GFX_TEXTUREFILTER_BILINEAR, 0.0f, false);
  GfxTexDownloadMipMap(groundId, ground.data(), nullptr);
  // Sprite: a keyed-out disc edge (ARGB1555), point sampled.
  std::vector<uint16_t> sprite(16 * 16);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      int dx = x - 8, dy = y - 8;
      bool in = dx * dx + dy * dy < 49;
      sprite[y * 16 + x] = in ? static_cast<uint16_t>(0x8000 | (31 - x) << 10 | (y * 2) << 5 | 20) : 0x7C1F;
    }
  int32_t spriteId = GfxTexAllocateMemory(GFX_TMU0, GFX_MIPMAPLEVELMASK_BOTH, 16, 16, GFX_TEXFMT_ARGB_1555, 0, 4,
                                          4, GFX_ASPECT_1x1, 0, 0, GFX_TEXTUREFILTER_POINT_SAMPLED,
                                          GFX_TEXTUREFILTER_POINT_SAMPLED, 0.0f, false);
  GfxTexDownloadMipMap(spriteId, sprite.data(), nullptr);

  GfxColorCombineFunction(GFX_COMBINE_DECAL_TEXTURE);
  GfxAlphaSource(GFX_ALPHASOURCE_TEXTURE_ALPHA);
  GfxAlphaBlendFunction(GFX_BLEND_SRC_ALPHA, GFX_BLEND_ONE_MINUS_SRC_ALPHA, GFX_BLEND_ONE, GFX_BLEND_ZERO);
  GfxAlphaTestFunction(GFX_CMP_NOTEQUAL);
  GfxAlphaTestReferenceValue(0);

  GfxTexSource(static_cast<uint32_t>(groundId));
  GfxVertex floor[4] = {Sv(-40, 200, 3, 0, 2048), Sv(360, 200, 3, 2048, 2048), Sv(200, 90, 150, 2048, 0),
                        Sv(120, 90, 150, 0, 0)};
  GfxDrawPolygonVertexList(4, floor);

  // Gouraud-lit textured pyramid face, fogged by distance.
  GfxColorCombineFunction(GFX_COMBINE_TEXTURE_TIMES_ITRGB);
  GfxVertex face[3] = {Coloured(Sv(60, 60, 30, 0, 0), 255, 255, 255), Coloured(Sv(140, 150, 8, 256, 0), 60, 60, 60),
                       Coloured(Sv(20, 160, 12, 128, 256), 255, 120, 0)};
  GfxDrawTriangle(&face[0], &face[1], &face[2]);

  // Colour-keyed sprite in front of the ground.
  GfxColorCombineFunction(GFX_COMBINE_DECAL_TEXTURE);
  GfxTexSource(static_cast<uint32_t>(spriteId));
  GfxVertex quad[4] = {Sv(200, 100, 10, 0, 0), Sv(260, 100, 10, 256, 0), Sv(260, 160, 10, 256, 256),
                       Sv(200, 160, 10, 0, 256)};
  GfxDrawPolygonVertexList(4, quad);

  // Translucent red window over both, iterated alpha, depth writes off.
  GfxColorCombineFunction(GFX_COMBINE_ITRGB);
  GfxAlphaSource(GFX_ALPHASOURCE_ITERATED_ALPHA);
  GfxDepthMask(false);
  GfxVertex glass[5];
  for (int i = 0; i < 5; ++i)
    glass[i] = Coloured(Sv(230.0f + 50.0f * std::cos(i * 1.2566f), 110.0f + 40.0f * std::sin(i * 1.2566f), 6.0f),
                        255, 40, 40, 90.0f + 30.0f * i);
  GfxDrawPolygonVertexList(5, glass);
  GfxDepthMask(true);

  // An opaque grey frame line on top, as the inset view draws it.
  GfxFogMode(GFX_FOG_DISABLE);
  GfxColorCombineFunction(GFX_COMBINE_CCRGB);
  GfxConstantColorValue(0x303030);
  GfxAlphaBlendFunction(GFX_BLEND_ONE, GFX_BLEND_ZERO, GFX_BLEND_ONE, GFX_BLEND_ZERO);
  GfxAlphaTestFunction(GFX_CMP_ALWAYS);
  GfxVertex line[2] = {Sv(5, 5, 5), Sv(314, 40, 5)};
  GfxDrawLine(&line[0], &line[1]);
}

using GfxReference = GfxTest;

TEST_F(GfxReference, SceneMatchesTheStoredPicture) {
  DrawScene();
  std::vector<uint16_t> scene(SCENE_W * SCENE_H);
  ASSERT_TRUE(GfxLfbReadRegion(GFX_BUFFER_BACKBUFFER, 0, 0, SCENE_W, SCENE_H, SCENE_W * 2, scene.data()));
  std::vector<uint8_t> rgb = Rgb565ToRgb(scene);
  if (UpdatingReferences()) {
    ASSERT_TRUE(WritePng(REFERENCE, rgb, SCENE_W, SCENE_H));
    GTEST_SKIP() << "rewrote " << REFERENCE;
  }
  std::vector<uint8_t> stored;
  uint32_t w = 0, h = 0;
  ASSERT_TRUE(ReadPng(REFERENCE, &stored, &w, &h)) << REFERENCE;
  ASSERT_EQ(w, static_cast<uint32_t>(SCENE_W));
  ASSERT_EQ(h, static_cast<uint32_t>(SCENE_H));
  size_t differing = 0, first = rgb.size();
  for (size_t i = 0; i < rgb.size(); ++i)
    if (rgb[i] != stored[i]) {
      ++differing;
      if (first == rgb.size()) first = i;
    }
  EXPECT_EQ(differing, 0u) << "first difference at pixel " << first / 3 % SCENE_W << "," << first / 3 / SCENE_W;
}

TEST_F(GfxReference, PlainAndWideLoopsDrawTheSamePixels) {
  GfxForceBaselineLoops(true);
  EXPECT_STREQ(GfxLoopsName(), "baseline");
  DrawScene();
  std::vector<uint16_t> plain = Screen();
  GfxTexMemReset();
  GfxForceBaselineLoops(false);
  DrawScene();
  EXPECT_TRUE(Screen() == plain) << "loops in use: " << GfxLoopsName();
}

}  // namespace
