// Helpers of the accelerator tests: a fresh board with an open 320x200
// screen, vertices, texture upload and pixel reads.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "hal/gfx/gfx.h"
#include "support/test_support.h"

inline uint16_t Rgb565(uint32_t r, uint32_t g, uint32_t b) {
  return static_cast<uint16_t>((r >> 3) << 11 | (g >> 2) << 5 | (b >> 3));
}

inline uint32_t Abgr(uint32_t r, uint32_t g, uint32_t b, uint32_t a = 0) {
  return r | g << 8 | b << 16 | a << 24;
}

// A vertex at depth w: ooz and oow from w, texture coordinates divided by w.
inline GfxVertex Vtx(float x, float y, float w = 10.0f, float s = 0.0f, float t = 0.0f) {
  GfxVertex v{};
  v.x = x;
  v.y = y;
  v.oow = 1.0f / w;
  v.ooz = 262140.0f / w;
  v.tmu[0].sow = s / w;
  v.tmu[0].tow = t / w;
  return v;
}

inline GfxVertex Coloured(GfxVertex v, float r, float g, float b, float a = 255.0f) {
  v.r = r;
  v.g = g;
  v.b = b;
  v.a = a;
  return v;
}

class GfxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetHalForTest();
    GfxSetBoardConfig(GfxBoardConfig{});
    GfxForceBaselineLoops(false);
    GfxInit();
    ASSERT_TRUE(GfxWinOpen(1, GFX_RES_320x200, GFX_REFRESH_60HZ, GFX_COLORFORMAT_ABGR,
                           GFX_ORIGIN_UPPER_LEFT, 2, 1));
  }
  void TearDown() override { GfxShutdown(); }

  // The render state the game keeps between draws.
  static void GameDefaults() {
    GfxDepthBufferMode(GFX_DEPTHBUFFER_ZBUFFER);
    GfxDepthBufferFunction(GFX_CMP_GEQUAL);
    GfxDepthMask(true);
    GfxColorCombineFunction(GFX_COMBINE_DECAL_TEXTURE);
    GfxAlphaSource(GFX_ALPHASOURCE_TEXTURE_ALPHA);
    GfxAlphaBlendFunction(GFX_BLEND_SRC_ALPHA, GFX_BLEND_ONE_MINUS_SRC_ALPHA, GFX_BLEND_ONE, GFX_BLEND_ZERO);
    GfxAlphaTestFunction(GFX_CMP_NOTEQUAL);
    GfxAlphaTestReferenceValue(0);
  }

  static void Opaque() {
    GfxAlphaBlendFunction(GFX_BLEND_ONE, GFX_BLEND_ZERO, GFX_BLEND_ONE, GFX_BLEND_ZERO);
    GfxAlphaTestFunction(GFX_CMP_ALWAYS);
  }

  // Allocates and downloads a texture; returns its id.
  static int32_t Texture(int32_t width, int32_t height, int32_t aspect, int32_t format,
                         const std::vector<uint16_t>& texels, bool bilinear = false) {
    int32_t filter = bilinear ? GFX_TEXTUREFILTER_BILINEAR : GFX_TEXTUREFILTER_POINT_SAMPLED;
    int32_t id = GfxTexAllocateMemory(GFX_TMU0, GFX_MIPMAPLEVELMASK_BOTH, width, height, format,
                                      GFX_MIPMAP_DISABLE, 0, 0, aspect, GFX_TEXTURECLAMP_WRAP,
                                      GFX_TEXTURECLAMP_WRAP, filter, filter, 0.0f, false);
    if (id >= 0) GfxTexDownloadMipMap(id, texels.data(), nullptr);
    return id;
  }

  static uint16_t Pixel(int32_t x, int32_t y, int32_t buffer = GFX_BUFFER_BACKBUFFER) {
    uint16_t p = 0xDEAD;
    GfxLfbReadRegion(buffer, x, y, 1, 1, 2, &p);
    return p;
  }

  static std::vector<uint16_t> Screen(int32_t buffer = GFX_BUFFER_BACKBUFFER) {
    int32_t w, h;
    GfxScreenSize(&w, &h);
    std::vector<uint16_t> out(static_cast<size_t>(w) * h);
    GfxLfbReadRegion(buffer, 0, 0, w, h, w * 2, out.data());
    return out;
  }

  // An axis-aligned rectangle [x0, x1) x [y0, y1) as two triangles.
  static void Rect(float x0, float y0, float x1, float y1, GfxVertex proto) {
    GfxVertex v[4] = {proto, proto, proto, proto};
    v[0].x = x0; v[0].y = y0;
    v[1].x = x1; v[1].y = y0;
    v[2].x = x1; v[2].y = y1;
    v[3].x = x0; v[3].y = y1;
    GfxDrawTriangle(&v[0], &v[1], &v[2]);
    GfxDrawTriangle(&v[0], &v[2], &v[3]);
  }
};
