// The device layer drawn through Mesa's rasterizer: each case draws a little
// scene on a 64 x 64 display and checks a few pixels with a tolerance.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "hal/d3d/d3d.h"
#include "hal/d3d/devices.h"
#include "support/test_support.h"

namespace {

constexpr int W = 64, H = 64;

struct Rgb {
  int r, g, b;
};

class Device {
 public:
  explicit Device(bool rgb555 = false) {
    ResetHalForTest();
    HalD3dSetDisplay555(rgb555);
    dd = HalDDrawCreate(0);
    EXPECT_TRUE(HalDDrawSetDisplayMode(dd, W, H, 16));
    HalSurfaceDesc p{};
    p.caps = HAL_CAPS_PRIMARY | HAL_CAPS_3DDEVICE;
    primary = HalDDrawCreateSurface(dd, p);
    back = HalSurfaceGetBackBuffer(primary);
    HalSurfaceDesc z{};
    z.caps = HAL_CAPS_ZBUFFER;
    z.width = W;
    z.height = H;
    zbuf = HalDDrawCreateSurface(dd, z);
    EXPECT_TRUE(HalSurfaceAddAttachedDepth(back, zbuf));
    d3d = HalDDrawQuery3d(dd);
    dev = HalD3dCreateDevice(d3d, back);
    vp = HalD3dCreateViewport(d3d);
    HalD3dAddViewport(dev, vp);
    HalViewportSet(vp, {0, 0, W, H, -1, 1, 2, 2, 0, 1});
    HalD3dSetCurrentViewport(dev, vp);
    Clear(0);
    // The game's defaults: decal, opaque blend, alpha test NOTEQUAL 0.
    Rs(HAL_RS_ALPHABLENDENABLE, 1);
    Rs(HAL_RS_ALPHAREF, 0);
    Rs(HAL_RS_ALPHAFUNC, HAL_CMP_NOTEQUAL);
    Rs(HAL_RS_ALPHATESTENABLE, 1);
    Stage(HAL_TOP_SELECTARG1, HAL_TA_TEXTURE, HAL_TA_DIFFUSE, HAL_TOP_SELECTARG1, HAL_TA_TEXTURE, HAL_TA_DIFFUSE);
  }
  ~Device() { HalD3dShutdown(); }

  void Rs(HalRenderState s, uint32_t v) { HalD3dSetRenderState(dev, s, v); }
  void Stage(uint32_t cop, uint32_t c1, uint32_t c2, uint32_t aop, uint32_t a1, uint32_t a2) {
    HalD3dSetTextureStageState(dev, 0, HAL_TSS_COLOROP, cop);
    HalD3dSetTextureStageState(dev, 0, HAL_TSS_COLORARG1, c1);
    HalD3dSetTextureStageState(dev, 0, HAL_TSS_COLORARG2, c2);
    HalD3dSetTextureStageState(dev, 0, HAL_TSS_ALPHAOP, aop);
    HalD3dSetTextureStageState(dev, 0, HAL_TSS_ALPHAARG1, a1);
    HalD3dSetTextureStageState(dev, 0, HAL_TSS_ALPHAARG2, a2);
  }
  void Filter(uint32_t f) {
    HalD3dSetTextureStageState(dev, 0, HAL_TSS_MAGFILTER, f);
    HalD3dSetTextureStageState(dev, 0, HAL_TSS_MINFILTER, f);
  }
  void Clear(uint32_t colour, HalRect r = {0, 0, W, H}) {
    HalViewportClear(vp, &r, 1, HAL_CLEAR_TARGET | HAL_CLEAR_ZBUFFER, colour, 1.0f, 0);
  }
  // A texture of w x h texels in the given format, bound to stage 0.
  HalObject Texture(HalPixelFormat f, int w, int h, std::vector<uint16_t> texels) {
    HalSurfaceDesc s{};
    s.caps = HAL_CAPS_TEXTURE | HAL_CAPS_SYSTEMMEMORY;
    s.width = w;
    s.height = h;
    s.format = f;
    HalObject sys = HalDDrawCreateSurface(dd, s);
    int32_t pitch = 0;
    auto* p = static_cast<uint8_t*>(HalSurfaceLock(sys, &pitch));
    for (int y = 0; y < h; ++y) std::memcpy(p + y * pitch, &texels[y * w], w * 2);
    HalSurfaceUnlock(sys);
    s.caps = HAL_CAPS_TEXTURE | HAL_CAPS_VIDEOMEMORY;
    HalObject surface = HalDDrawCreateSurface(dd, s);
    HalSurfaceBlt(surface, nullptr, sys, nullptr);
    HalObjectRelease(sys);
    HalObject tex = HalSurfaceQueryTexture(surface);
    HalD3dSetTexture(dev, 0, tex);
    textureSurface = surface;
    return tex;
  }
  // A screen rectangle as a fan, one colour, depth z, 1/w rhw, texture 0..1.
  void Quad(float x0, float y0, float x1, float y1, uint32_t diffuse, float z = 0.5f, float rhw = 1.0f) {
    HalTLVertex v[4] = {{x0, y0, z, rhw, diffuse, 0, 0, 0},
                        {x1, y0, z, rhw, diffuse, 0, 1, 0},
                        {x1, y1, z, rhw, diffuse, 0, 1, 1},
                        {x0, y1, z, rhw, diffuse, 0, 0, 1}};
    HalD3dDrawPrimitive(dev, HAL_PRIM_TRIANGLEFAN, v, 4, 0);
  }
  Rgb At(int x, int y) {
    if (!shown) {
      HalSurfaceFlip(primary);
      shown = true;
      HalD3dReadFrontBuffer(&front, nullptr, nullptr);
    }
    const uint16_t p = front[y * W + x];
    if (rgb555) return {(p >> 10 & 31) * 255 / 31, (p >> 5 & 31) * 255 / 31, (p & 31) * 255 / 31};
    return {(p >> 11 & 31) * 255 / 31, (p >> 5 & 63) * 255 / 63, (p & 31) * 255 / 31};
  }

  HalObject dd = 0, primary = 0, back = 0, zbuf = 0, d3d = 0, dev = 0, vp = 0, textureSurface = 0;
  bool shown = false;
  bool rgb555 = false;
  std::vector<uint16_t> front;
};

constexpr uint32_t OPAQUE_WHITE = 0xFFFFFFFF;

struct PixelCase {
  const char* name;
  bool rgb555;
  std::function<void(Device&)> draw;
  int x, y;
  Rgb want;
};

// Keeps test names readable and the same on every run.
void PrintTo(const PixelCase& c, std::ostream* out) { *out << c.name; }

// 1555 texels: opaque red, opaque green, transparent blue, opaque white.
const std::vector<uint16_t> TEX1555 = {0xFC00, 0x83E0, 0x001F, 0xFFFF};

const PixelCase CASES[] = {
    {"clear of a rectangle: inside", false, [](Device& d) { d.Clear(0xFF0000, {10, 10, 20, 20}); }, 15, 15, {255, 0, 0}},
    {"clear of a rectangle: outside", false, [](Device& d) { d.Clear(0xFF0000, {10, 10, 20, 20}); }, 25, 15, {0, 0, 0}},
    {"no texture: the diffuse colour whatever the stage says", false,
     [](Device& d) { d.Quad(0, 0, 64, 64, 0xFF00FF00); }, 32, 32, {0, 255, 0}},
    {"no texture: alpha 0 in the diffuse is dropped", false,
     [](Device& d) { d.Quad(0, 0, 64, 64, 0x0000FF00); }, 32, 32, {0, 0, 0}},
    {"mode 0: the texel", false,
     [](Device& d) {
       d.Texture(HAL_PIXEL_ARGB1555, 2, 2, TEX1555);
       d.Filter(HAL_TFG_POINT);
       d.Quad(0, 0, 64, 64, 0xFF000000);
     },
     8, 8, {255, 0, 0}},
    {"mode 1: texel times diffuse", false,
     [](Device& d) {
       d.Texture(HAL_PIXEL_ARGB1555, 2, 2, TEX1555);
       d.Stage(HAL_TOP_MODULATE, HAL_TA_TEXTURE, HAL_TA_DIFFUSE, HAL_TOP_SELECTARG1, HAL_TA_TEXTURE, HAL_TA_DIFFUSE);
       d.Quad(0, 0, 64, 64, 0xFF808080);
     },
     56, 56, {128, 128, 128}},
    {"mode 2: alpha from texel times diffuse, blended", false,
     [](Device& d) {
       d.Clear(0x0000FF);
       d.Texture(HAL_PIXEL_ARGB1555, 2, 2, TEX1555);
       d.Stage(HAL_TOP_MODULATE, HAL_TA_TEXTURE, HAL_TA_DIFFUSE, HAL_TOP_MODULATE, HAL_TA_TEXTURE, HAL_TA_DIFFUSE);
       d.Rs(HAL_RS_SRCBLEND, HAL_BLEND_SRCALPHA);
       d.Rs(HAL_RS_DESTBLEND, HAL_BLEND_INVSRCALPHA);
       d.Quad(0, 0, 64, 64, 0x80FFFFFF);
     },
     56, 56, {128, 128, 255}},
    {"mode 4: texture over diffuse by the texture's alpha", false,
     [](Device& d) {
       d.Texture(HAL_PIXEL_ARGB4444, 1, 1, {0x80F0});  // green, alpha 8/15
       d.Stage(HAL_TOP_BLENDTEXTUREALPHA, HAL_TA_TEXTURE, HAL_TA_DIFFUSE, HAL_TOP_SELECTARG2, HAL_TA_TEXTURE,
               HAL_TA_DIFFUSE);
       d.Quad(0, 0, 64, 64, 0xFFFF0000);
     },
     32, 32, {119, 136, 0}},
    {"modulate alpha add colour: the texel weighed by the diffuse alpha plus the diffuse colour", false,
     [](Device& d) {
       d.Texture(HAL_PIXEL_ARGB4444, 1, 1, {0xFF00});  // opaque red
       d.Stage(HAL_TOP_MODULATEALPHA_ADDCOLOR, HAL_TA_DIFFUSE, HAL_TA_TEXTURE, HAL_TOP_MODULATE, HAL_TA_TEXTURE,
               HAL_TA_DIFFUSE);
       d.Quad(0, 0, 64, 64, 0x80002000);
     },
     32, 32, {131, 32, 0}},
    {"alpha test drops texels of alpha 0", false,
     [](Device& d) {
       d.Clear(0x404040);
       d.Texture(HAL_PIXEL_ARGB1555, 2, 2, TEX1555);
       d.Quad(0, 0, 64, 64, 0xFF000000);
     },
     8, 56, {66, 65, 66}},
    {"4444 texture", false,
     [](Device& d) {
       d.Texture(HAL_PIXEL_ARGB4444, 1, 1, {0xF0F0});
       d.Quad(0, 0, 64, 64, 0xFF000000);
     },
     32, 32, {0, 255, 0}},
    {"565 texture is opaque", false,
     [](Device& d) {
       d.Texture(HAL_PIXEL_RGB565, 1, 1, {0x001F});
       d.Quad(0, 0, 64, 64, 0xFF000000);
     },
     32, 32, {0, 0, 255}},
    {"blend ONE ZERO replaces", false,
     [](Device& d) {
       d.Clear(0xFF0000);
       d.Quad(0, 0, 64, 64, 0x400000FF);
     },
     32, 32, {0, 0, 255}},
    {"blend SRCALPHA INVSRCALPHA mixes", false,
     [](Device& d) {
       d.Clear(0xFF0000);
       d.Rs(HAL_RS_SRCBLEND, HAL_BLEND_SRCALPHA);
       d.Rs(HAL_RS_DESTBLEND, HAL_BLEND_INVSRCALPHA);
       d.Quad(0, 0, 64, 64, 0x400000FF);
     },
     32, 32, {190, 0, 64}},
    {"blend SRCALPHA ONE adds", false,
     [](Device& d) {
       d.Clear(0x800000);
       d.Rs(HAL_RS_SRCBLEND, HAL_BLEND_SRCALPHA);
       d.Rs(HAL_RS_DESTBLEND, HAL_BLEND_ONE);
       d.Quad(0, 0, 64, 64, 0x80FF00FF);
     },
     32, 32, {255, 0, 128}},
    {"blend ZERO SRCCOLOR multiplies", false,
     [](Device& d) {
       d.Clear(0xFFFFFF);
       d.Rs(HAL_RS_SRCBLEND, HAL_BLEND_ZERO);
       d.Rs(HAL_RS_DESTBLEND, HAL_BLEND_SRCCOLOR);
       d.Quad(0, 0, 64, 64, 0xFF808000);
     },
     32, 32, {128, 128, 0}},
    {"depth LESSEQUAL keeps the nearer", false,
     [](Device& d) {
       d.Rs(HAL_RS_ZENABLE, 1);
       d.Rs(HAL_RS_ZWRITEENABLE, 1);
       d.Rs(HAL_RS_ZFUNC, HAL_CMP_LESSEQUAL);
       d.Quad(0, 0, 64, 64, 0xFFFF0000, 0.3f);
       d.Quad(0, 0, 64, 64, 0xFF00FF00, 0.6f);
       d.Quad(0, 0, 32, 64, 0xFF0000FF, 0.3f);  // equal depth passes
     },
     48, 32, {255, 0, 0}},
    {"depth LESSEQUAL: equal depth passes", false,
     [](Device& d) {
       d.Rs(HAL_RS_ZFUNC, HAL_CMP_LESSEQUAL);
       d.Quad(0, 0, 64, 64, 0xFFFF0000, 0.3f);
       d.Quad(0, 0, 32, 64, 0xFF0000FF, 0.3f);
     },
     16, 32, {0, 0, 255}},
    {"depth writes off leave the far one drawable", false,
     [](Device& d) {
       d.Rs(HAL_RS_ZFUNC, HAL_CMP_LESSEQUAL);
       d.Rs(HAL_RS_ZWRITEENABLE, 0);
       d.Quad(0, 0, 64, 64, 0xFFFF0000, 0.3f);
       d.Quad(0, 0, 64, 64, 0xFF00FF00, 0.6f);
     },
     32, 32, {0, 255, 0}},
    {"fog is linear over 1/rhw", false,
     [](Device& d) {
       const float start = 0.0f, end = 100.0f;
       uint32_t s, e;
       std::memcpy(&s, &start, 4);
       std::memcpy(&e, &end, 4);
       d.Rs(HAL_RS_FOGCOLOR, 0xFFFFFF);
       d.Rs(HAL_RS_FOGTABLEMODE, HAL_FOG_LINEAR);
       d.Rs(HAL_RS_FOGTABLESTART, s);
       d.Rs(HAL_RS_FOGTABLEEND, e);
       d.Rs(HAL_RS_FOGENABLE, 1);
       d.Quad(0, 0, 64, 64, 0xFF000000, 0.5f, 1.0f / 50.0f);
     },
     32, 32, {128, 128, 128}},
    {"555 colour buffer", true,
     [](Device& d) { d.Quad(0, 0, 64, 64, 0xFF00FF00); }, 32, 32, {0, 255, 0}},
    {"555 colour buffer: clear", true, [](Device& d) { d.Clear(0xFF0000); }, 32, 32, {255, 0, 0}},
    {"source colour key drops keyed texels", false,
     [](Device& d) {
       d.Clear(0x404040);
       d.Rs(HAL_RS_ALPHATESTENABLE, 0);
       d.Rs(HAL_RS_COLORKEYENABLE, 1);
       d.Texture(HAL_PIXEL_RGB565, 2, 1, {0xF800, 0x07E0});
       HalSurfaceSetColourKey(d.textureSurface, 0xFF0000, 0xFF0000);
       d.Quad(0, 0, 64, 64, 0xFF000000);
     },
     8, 32, {66, 65, 66}},
    {"source colour key keeps the others", false,
     [](Device& d) {
       d.Rs(HAL_RS_ALPHATESTENABLE, 0);
       d.Rs(HAL_RS_COLORKEYENABLE, 1);
       d.Texture(HAL_PIXEL_RGB565, 2, 1, {0xF800, 0x07E0});
       HalSurfaceSetColourKey(d.textureSurface, 0xFF0000, 0xFF0000);
       d.Quad(0, 0, 64, 64, 0xFF000000);
     },
     56, 32, {0, 255, 0}},
    {"point sampling", false,
     [](Device& d) {
       d.Texture(HAL_PIXEL_RGB565, 2, 1, {0x0000, 0xFFFF});
       d.Filter(HAL_TFG_POINT);
       d.Quad(0, 0, 64, 64, 0xFF000000);
     },
     20, 32, {0, 0, 0}},
    {"bilinear filtering", false,
     [](Device& d) {
       d.Texture(HAL_PIXEL_RGB565, 2, 1, {0x0000, 0xFFFF});
       d.Filter(HAL_TFG_LINEAR);
       d.Quad(0, 0, 64, 64, 0xFF000000);
     },
     32, 32, {130, 130, 130}},
};

class DevicePixels : public ::testing::TestWithParam<PixelCase> {};

TEST_P(DevicePixels, Draws) {
  const PixelCase& c = GetParam();
  Device d(c.rgb555);
  d.rgb555 = c.rgb555;
  c.draw(d);
  const Rgb got = d.At(c.x, c.y);
  const int tolerance = 12;
  EXPECT_NEAR(+got.r, +c.want.r, tolerance) << c.name;
  EXPECT_NEAR(+got.g, +c.want.g, tolerance) << c.name;
  EXPECT_NEAR(+got.b, +c.want.b, tolerance) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Cases, DevicePixels, ::testing::ValuesIn(CASES),
                         [](const ::testing::TestParamInfo<PixelCase>& info) {
                           std::string name;
                           for (const char* p = info.param.name; *p; ++p)
                             name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                           return name;
                         });

TEST(DeviceBatching, DrawsUnderOneStateMergeAndAChangeSplitsThem) {
  Device d;
  const int before = HalD3dGlDrawCount();
  d.Quad(0, 0, 8, 8, OPAQUE_WHITE);
  d.Quad(8, 0, 16, 8, OPAQUE_WHITE);
  HalD3dSetRenderState(d.dev, HAL_RS_ZENABLE, 1);  // the same value: no split
  d.Quad(16, 0, 24, 8, OPAQUE_WHITE);
  EXPECT_EQ(HalD3dGlDrawCount() - before, 1);
  d.Quad(0, 8, 8, 16, OPAQUE_WHITE);
  HalD3dSetRenderState(d.dev, HAL_RS_SRCBLEND, HAL_BLEND_SRCALPHA);
  d.Quad(8, 8, 16, 16, OPAQUE_WHITE);
  EXPECT_EQ(HalD3dGlDrawCount() - before, 3);
}

TEST(DeviceRecording, CallsAreLoggedWithTheirArgumentsBeforeBatching) {
  Device d;
  std::vector<std::string> log;
  HalD3dRecordCalls(&log);
  HalD3dBeginScene(d.dev);
  HalD3dSetRenderState(d.dev, HAL_RS_ZFUNC, HAL_CMP_LESSEQUAL);
  HalTLVertex v[1] = {{1, 2, 0.5f, 1, 0xFF00FF00, 0, 0.25f, 0.5f}};
  HalD3dDrawPrimitive(d.dev, HAL_PRIM_POINTLIST, v, 1, HAL_DP_DONOTCLIP);
  HalD3dEndScene(d.dev);
  HalSurfaceFlip(d.primary);
  HalD3dRecordCalls(nullptr);
  EXPECT_EQ(log, (std::vector<std::string>{"BeginScene", "SetRenderState ZFUNC 4",
                                           "DrawPrimitive 1 1 4 (1 2 0.5 1 ff00ff00 00000000 0.25 0.5)", "EndScene",
                                           "Flip"}));
}

TEST(DeviceSurfaces, CopiesAreClampedToBothSurfacesAndHonourThePitch) {
  Device d;
  HalSurfaceDesc s{};
  s.caps = HAL_CAPS_OFFSCREENPLAIN | HAL_CAPS_SYSTEMMEMORY;
  s.width = 3;
  s.height = 2;
  s.format = HAL_PIXEL_RGB565;
  HalObject a = HalDDrawCreateSurface(d.dd, s), b = HalDDrawCreateSurface(d.dd, s);
  HalSurfaceDesc desc{};
  ASSERT_TRUE(HalSurfaceGetDesc(a, &desc));
  EXPECT_GE(+desc.pitch, 6);
  HalSurfaceBltFill(a, nullptr, 0x1234);
  const HalRect whole{-5, -5, 50, 50};
  EXPECT_TRUE(HalSurfaceBltFast(b, 2, 1, a, &whole, false));
  int32_t pitch = 0;
  auto* p = static_cast<uint8_t*>(HalSurfaceLock(b, &pitch));
  ASSERT_NE(p, nullptr);
  auto at = [&](int x, int y) {
    uint16_t v;
    std::memcpy(&v, p + y * pitch + x * 2, 2);
    return v;
  };
  EXPECT_EQ(at(0, 0), 0);
  EXPECT_EQ(at(2, 0), 0);
  EXPECT_EQ(at(2, 1), 0x1234);
  EXPECT_EQ(at(1, 1), 0);
  HalSurfaceUnlock(b);
  // A stretching copy onto the back buffer lands where it is shown.
  HalSurfaceBltFill(a, nullptr, 0xF800);
  const HalRect target{0, 0, 32, 32};
  EXPECT_TRUE(HalSurfaceBlt(d.back, &target, a, nullptr));
  EXPECT_EQ(d.At(31, 31).r, 255);
  EXPECT_EQ(d.At(33, 33).r, 0);
}

}  // namespace
