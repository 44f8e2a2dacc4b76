#include <cmath>
#include <vector>

#include "backend_common/draw.h"
#include "backend_common/draw_common.h"
#include "engine3d/clip.h"
#include "sprites_support.h"
#include "support/renderer_twins.h"

namespace {

using Glow = SpriteDrawTest;

void SunAlong(float x, float y, float z) {
  // The sun lies against the light.
  gLight.directionX = -x;
  gLight.directionY = -y;
  gLight.directionZ = -z;
}

size_t FlareCount() {
  size_t n = 0;
  while (gRdrFlares[n].position != 0.0f) ++n;
  return n;
}

TEST_F(Glow, ASunBehindTheViewerIsPutOffScreenAndGetsNoFlare) {
  SunAlong(0.0f, 0.0f, -1024.0f);
  RecordStart();
  RdrDrawViewQuad(static_cast<uint32_t>(tex_), 10, 20, 30);
  EXPECT_TRUE(DrawCalls(RecordStop()).empty());
  EXPECT_EQ(gRdrSun.screenX, 10000.0f);
  EXPECT_EQ(gRdrState.glow, 1);

  RecordStart();
  RdrDrawAdditiveGlows();
  EXPECT_TRUE(RecordStop().empty());
}

TEST_F(Glow, ACentredSunDrawsItsGlowAndPutsEveryFlareElementOnTheCentreAtAlpha400) {
  SunAlong(0.0f, 0.0f, 1024.0f);
  RecordStart();
  RdrDrawViewQuad(static_cast<uint32_t>(tex_), 10, 20, 30);
  auto calls = RecordStop();
  EXPECT_EQ(CallTexts(calls), std::vector<std::string>({"depth 0", "combine 10", "alpha 3",
                                                        "texture " + std::to_string(tex_), "polygon 4", "alpha 2",
                                                        "depth 1"}));
  EXPECT_EQ(gRdrSun.screenX, 320.0f);
  EXPECT_EQ(gRdrSun.screenY, 240.0f);
  const auto glow = DrawCalls(calls)[0].vertices;
  EXPECT_EQ(std::vector<float>({glow[0].x, glow[0].y, glow[2].x, glow[2].y}),
            std::vector<float>({160.0f, 80.0f, 480.0f, 400.0f}));  // a quarter of the width each way
  EXPECT_EQ(std::vector<float>({glow[0].r, glow[0].g, glow[0].b, glow[0].a}),
            std::vector<float>({10.0f, 20.0f, 30.0f, 255.0f}));
  EXPECT_EQ(gMesh.vertexCount, WORLD_VERTICES);

  gRdrCache = RdrCache{-1, -1};
  RecordStart();
  RdrDrawAdditiveGlows();
  calls = RecordStop();
  auto texts = CallTexts(calls);
  ASSERT_GE(texts.size(), 5u);
  EXPECT_EQ(std::vector<std::string>(texts.begin(), texts.begin() + 5),
            std::vector<std::string>({"depth 0", "blend 1 4 4 0", "test 5", "combine 10", "alpha 3"}));
  EXPECT_EQ(std::vector<std::string>(texts.end() - 4, texts.end()),
            std::vector<std::string>({"alpha 2", "depth 1", "blend 1 5 4 0", "test 5"}));
  auto draws = DrawCalls(calls);
  ASSERT_EQ(draws.size(), FlareCount());
  ASSERT_EQ(draws.size(), 11u);
  for (size_t i = 0; i < draws.size(); ++i) {
    SCOPED_TRACE(i);
    const auto& v = draws[i].vertices;
    const float h = 640.0f * gRdrFlares[i].size / 512.0f;
    EXPECT_EQ(v[0].x, std::trunc(320.0f - h));
    EXPECT_EQ(v[2].x, std::trunc(320.0f + h));
    EXPECT_EQ(v[2].y, std::trunc(240.0f + h));
    EXPECT_EQ(v[0].a, 400.0f);  // handed over as it is; the accelerator clamps it
    EXPECT_EQ(v[0].r, gRdrFlares[i].red);
  }
}

TEST_F(Glow, FlareElementsFadeSidewaysFromTheCentre) {
  // The element sits at x = 320; the centre is moved away from it.
  struct Case {
    float distance;
    float alpha;
  };
  gRdrSun.texture = static_cast<uint32_t>(tex_);
  for (const Case& c : {Case{0.0f, 400.0f}, Case{640.0f, 250.0f}, Case{400.0f * 640.0f / 150.0f, 0.0f},
                        Case{3000.0f, 0.0f}}) {
    SCOPED_TRACE(c.distance);
    gRdrState.centreX = 320.0f - c.distance;
    RecordStart();
    RdrDrawGlowQuad(320.0f, 240.0f, &gRdrFlares[0]);
    auto draws = DrawCalls(RecordStop());
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_NEAR(draws[0].vertices[0].a, c.alpha, 0.001f);
    EXPECT_GE(draws[0].vertices[0].a, 0.0f);
  }
}

TEST_F(Glow, AFlareWhoseSunLiesAScreenBeyondTheClipWindowDrawsNothing) {
  struct Case {
    float x, y;
    bool draws;
  };
  gRdrSun.texture = static_cast<uint32_t>(tex_);
  for (const Case& c : {Case{640.0f + 640.0f, 240.0f, false}, Case{640.0f + 639.0f, 240.0f, true},
                        Case{0.0f - 640.0f, 240.0f, false}, Case{320.0f, 480.0f + 480.0f, false},
                        Case{320.0f, -480.0f, false}, Case{320.0f, -479.0f, true}}) {
    SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
    gRdrState.glow = 1;
    gRdrSun.screenX = c.x;
    gRdrSun.screenY = c.y;
    RecordStart();
    RdrDrawAdditiveGlows();
    EXPECT_EQ(!DrawCalls(RecordStop()).empty(), c.draws);
  }
  RdrClear(0, 0, 0);  // the next view starts without a glow
  gRdrSun.screenX = 320.0f;
  gRdrSun.screenY = 240.0f;
  RecordStart();
  RdrDrawAdditiveGlows();
  EXPECT_TRUE(RecordStop().empty());
}

TEST_F(Glow, TheRawFaceTakesTheWholeTypeWordAsTextureAndLeavesTheCombineAlone) {
  for (int i = 0; i < 4; ++i) {
    Vertex& v = gMesh.vertices[i];
    v.screenX = 100.0f + 50.0f * static_cast<float>(i == 1 || i == 2);
    v.screenY = 100.0f + 50.0f * static_cast<float>(i >= 2);
    v.viewZ = 50.0f;
  }
  Face face{};
  face.type = 0x0C000000u | static_cast<uint32_t>(tex_);
  face.vertexCount = 4;
  for (uint16_t i = 0; i < 4; ++i) face.index[i] = i;
  RecordStart();
  RdrDrawFaceTexRaw(&face, 1.0f, 2.0f, 3.0f, 300.0f);
  auto calls = RecordStop();
  EXPECT_EQ(CallTexts(calls), std::vector<std::string>({"texture " + std::to_string(face.type), "polygon 4"}));
  const GfxVertex c = DrawCalls(calls)[0].vertices[3];
  EXPECT_EQ(std::vector<float>({c.r, c.g, c.b, c.a}), std::vector<float>({1.0f, 2.0f, 3.0f, 300.0f}));
}

TEST_F(Glow, BlendSwitchesGoAdditiveAndBack) {
  RecordStart();
  RdrSetAdditiveBlend(0, 0, 0, 3);
  RdrSetNormalBlend();
  EXPECT_EQ(CallTexts(RecordStop()), std::vector<std::string>({"blend 1 4 4 0", "test 5", "alpha 3", "colour 0x000000",
                                                               "blend 1 5 4 0", "test 5", "alpha 2"}));
}

TEST_F(Glow, ALineDrawsOpaqueBetweenEndsWithinTheDepthRange) {
  struct Case {
    float nearEnd, farEnd;
    bool draws;
  };
  for (const Case& c : {Case{5.0f, 1700.0f, true}, Case{4.999f, 1700.0f, false}, Case{5.0f, 1700.01f, false}}) {
    SCOPED_TRACE(testing::Message() << c.nearEnd << " " << c.farEnd);
    gRdrCache = RdrCache{-1, -1};
    Vertex a{}, b{};
    a.screenX = 10.7f;
    a.screenY = 20.2f;
    a.viewZ = c.nearEnd;
    b.screenX = 300.0f;
    b.screenY = 200.0f;
    b.viewZ = c.farEnd;
    RecordStart();
    RdrDrawLine(&a, &b, 0x303030);
    auto calls = RecordStop();
    if (!c.draws) {
      EXPECT_TRUE(calls.empty());
      continue;
    }
    EXPECT_EQ(CallTexts(calls), std::vector<std::string>({"combine 1", "colour 0x303030", "blend 4 0 4 0", "test 7",
                                                          "line", "blend 1 5 4 0", "test 5"}));
    const auto v = DrawCalls(calls)[0].vertices;
    EXPECT_EQ(std::vector<float>({v[0].x, v[0].y}), std::vector<float>({10.0f, 20.0f}));
    EXPECT_FLOAT_EQ(v[0].ooz, 262140.0f / 5.0f);
  }
}

TEST_F(Glow, TheOutlineTestIsExactAndPutsTheClipperLimitsBack) {
  // The rectangle: x 0..10, z 0..10; each outline is four (view x, view z) points.
  struct Case {
    const char* what;
    float p[4][2];
    bool result;
  };
  const Case cases[] = {
      {"inside", {{2, 2}, {8, 2}, {8, 8}, {2, 8}}, true},
      {"wholly left", {{-8, 2}, {-2, 2}, {-2, 8}, {-8, 8}}, false},
      {"wholly beyond", {{2, 12}, {8, 12}, {8, 18}, {2, 18}}, false},
      {"crossing the left edge", {{-5, 2}, {5, 2}, {5, 8}, {-5, 8}}, true},
      {"around the whole rectangle", {{-5, -5}, {15, -5}, {15, 15}, {-5, 15}}, true},
      {"box overlaps the far right corner, outline misses it", {{9, 13}, {13, 9}, {16, 12}, {12, 16}}, false},
      {"box overlaps the near left corner, outline misses it", {{1, -2}, {-2, 1}, {-5, -2}, {-2, -5}}, false},
      {"one corner on the right edge", {{10, 5}, {15, 0}, {20, 5}, {15, 10}}, true},
      {"over the near left corner", {{-3, -6}, {3, -6}, {3, 1}, {-3, 1}}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    gClip.left = -111.0f;
    gClip.right = 222.0f;
    gClip.nearPlane = 3.0f;
    gClip.farPlane = 444.0f;
    gClip.clipped = 0;
    Vertex v[4] = {};
    for (int i = 0; i < 4; ++i) {
      v[i].viewX = c.p[i][0];
      v[i].viewZ = c.p[i][1];
      v[i].viewY = 1000.0f;  // not read
    }
    EXPECT_EQ(RdrOutlineOnScreen(v, 0.0f, 0.0f, 10.0f, 10.0f), c.result);
    EXPECT_EQ(std::vector<float>({gClip.left, gClip.right, gClip.nearPlane, gClip.farPlane}),
              std::vector<float>({-111.0f, 222.0f, 3.0f, 444.0f}));
    if (std::string(c.what) == "inside") {
      EXPECT_EQ(gClip.clipped, 0);
    }
  }
}

// The flare over the sky, as torvaned3d must draw it too
// (support/renderer_twins.h).
TEST_F(Glow, TheFlareAddsItsElementsColoursOverTheSky) {
  for (const FlareTwin& c : FLARE_TWINS) {
    SCOPED_TRACE(c.probe.x);
    std::vector<uint16_t> texels(64, c.texel);
    const int32_t sun = GfxTexAllocateMemory(GFX_TMU0, GFX_MIPMAPLEVELMASK_BOTH, 8, 8, GFX_TEXFMT_ARGB_4444,
                                             GFX_MIPMAP_DISABLE, 0, 0, GFX_ASPECT_1x1, GFX_TEXTURECLAMP_WRAP,
                                             GFX_TEXTURECLAMP_WRAP, GFX_TEXTUREFILTER_POINT_SAMPLED,
                                             GFX_TEXTUREFILTER_POINT_SAMPLED, 0.0f, false);
    ASSERT_GE(sun, 0);
    GfxTexDownloadMipMap(sun, texels.data(), nullptr);
    RdrClear(16, 96, 168);
    gRdrState.centreX = c.centreX;
    gRdrSun = RdrSun{static_cast<uint32_t>(sun), 0, 0, 0, 320.0f, 240.0f};
    gRdrState.glow = 1;
    RdrDrawAdditiveGlows();
    EXPECT_EQ(Pixel(c.probe.x, c.probe.y), c.probe.pixel);
  }
}

}  // namespace
