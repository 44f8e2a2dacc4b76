// The textured faces that take their colour from the caller, the sun quad,
// lines, the layer planes and the screen-point test of a face.
#include <cstdio>
#include <cstring>
#include <functional>

#include "backend_common/draw_common.h"
#include "sprite_fixture.h"
#include "support/renderer_twins.h"

namespace {

using D3dOverlayTest = D3dSpriteTest;

// The texture coordinates of every corner of the drawn fans, in order.
std::vector<std::pair<float, float>> FanCoords(const std::vector<std::string>& draws) {
  std::vector<std::pair<float, float>> out;
  for (const std::string& d : draws)
    for (size_t at = d.find('('); at != std::string::npos; at = d.find('(', at + 1)) {
      float f[6], tu, tv;
      unsigned diffuse, specular;
      if (std::sscanf(d.c_str() + at, "(%g %g %g %g %x %x %g %g)", &f[0], &f[1], &f[2], &f[3], &diffuse, &specular,
                      &tu, &tv) == 8)
        out.emplace_back(tu, tv);
    }
  return out;
}

TEST_F(D3dOverlayTest, CallerColouredFacesTakeTheirColourTextureAndMode) {
  const uint32_t T = static_cast<uint32_t>(texture_);
  struct Case {
    const char* name;
    std::function<void(Face*)> draw;
    uint32_t word;
    float light;
    uint32_t diffuse;  // every corner's
    uint16_t mode;     // after the draw, from unknown
  };
  const Case cases[] = {
      {"raw: the caller's colour and alpha",
       [](Face* f) { RdrDrawFaceTexRaw(f, 10.9f, 20.0f, 300.0f, 128.5f); }, T, 0, 0x800A14FF, RDR_MODE_UNKNOWN},
      {"alpha: white at the caller's alpha", [](Face* f) { RdrDrawFaceTexAlpha(f, 64.0f); }, T | 0x05000000, 0,
       0x40FFFFFF, RDR_MODE_UNKNOWN},
      // 40 x 2 / 64 = 1.25: grey 1 in colour and alpha
      {"light: grey in colour and alpha", [](Face* f) { RdrDrawFaceTexLight(f, 2.0f); }, T | 0x05000000, 40,
       0x01010101, RDR_MODE_UNKNOWN},
      {"light: at most 255", [](Face* f) { RdrDrawFaceTexLight(f, 1000.0f); }, T, 64, 0xFFFFFFFF,
       RDR_MODE_UNKNOWN},
      // 32 x (255, 128, 0) / 64
      {"additive: light x light colour, modulated", RdrDrawFaceTexAdd, T | 0x02000000, 32, 0x007F4000, 1},
  };
  LightSetColour(255, 128, 0);
  for (const Case& c : cases) {
    for (int i = 0; i < 3; ++i) Place(i, 100.0f + 50 * (i == 1), 100.0f + 50 * (i == 2), 50).light = c.light;
    Face f = MakeFace(c.word, {0, 1, 2});
    Fresh();
    c.draw(&f);
    ASSERT_EQ(Draws().size(), 1u) << c.name;
    for (int i = 0; i < 3; ++i) EXPECT_EQ(+gRdrPoly.work[i].diffuse, c.diffuse) << c.name;
    EXPECT_EQ(gRdrCache, c.mode) << c.name;
    EXPECT_EQ(Calls("SetTexture 0 ").size(), 1u) << c.name;
    EXPECT_TRUE(Calls("SetRenderState").empty()) << c.name;
  }
}

TEST_F(D3dOverlayTest, CallerColouredFacesThatHaveNothingToShowDrawNothing) {
  const uint32_t T = static_cast<uint32_t>(texture_);
  struct Case {
    const char* name;
    std::function<void(Face*)> draw;
    uint32_t word;
    float light;
    float z;
  };
  const Case cases[] = {
      {"raw takes the whole word as the texture", [](Face* f) { RdrDrawFaceTexRaw(f, 1, 1, 1, 255); },
       T | 0x02000000, 64, 50},
      {"raw with an id past the table", [](Face* f) { RdrDrawFaceTexRaw(f, 1, 1, 1, 255); },
       static_cast<uint32_t>(gTextureTable.count), 64, 50},
      {"alpha with an id past the table", [](Face* f) { RdrDrawFaceTexAlpha(f, 255); },
       static_cast<uint32_t>(gTextureTable.count), 64, 50},
      {"light with every corner at 0", [](Face* f) { RdrDrawFaceTexLight(f, 5.0f); }, T, 0, 50},
      {"light with a factor of 0", [](Face* f) { RdrDrawFaceTexLight(f, 0.0f); }, T, 64, 50},
      {"additive before the near plane", RdrDrawFaceTexAdd, T, 64, 5},
  };
  for (const Case& c : cases) {
    for (int i = 0; i < 3; ++i) Place(i, 100.0f + 50 * (i == 1), 100.0f + 50 * (i == 2), c.z).light = c.light;
    Face f = MakeFace(c.word, {0, 1, 2});
    Fresh();
    c.draw(&f);
    EXPECT_TRUE(calls.empty()) << c.name;
  }
  // Just above 0 before truncation is drawn, though its grey is 0.
  for (int i = 0; i < 3; ++i) Place(i, 100.0f + 50 * (i == 1), 100.0f + 50 * (i == 2), 50).light = 0;
  vertices_[2].light = 0.5f;
  Face f = MakeFace(T, {0, 1, 2});
  Fresh();
  RdrDrawFaceTexLight(&f, 1.0f);
  EXPECT_EQ(Draws().size(), 1u);
}

TEST_F(D3dOverlayTest, ClippedFacesKeepTheCallersAlphaAndTheirGreyAsAlpha) {
  const uint32_t T = static_cast<uint32_t>(texture_);
  for (int i = 0; i < 3; ++i) PlaceView(i, i == 1 ? 20.0f : -20.0f, i == 2 ? 20.0f : 0.0f, i == 2 ? 5.0f : 50.0f).light = 64;
  Face f = MakeFace(T, {0, 1, 2});
  RdrDrawFaceTexRaw(&f, 1, 2, 3, 99);
  ASSERT_EQ(+gRdrPoly.count, 4u);
  for (uint32_t i = 0; i < 4; ++i) EXPECT_EQ(+gRdrPoly.work[i].diffuse, 0x63010203u) << i;
  RdrDrawFaceTexLight(&f, 128.0f);  // grey 128 everywhere
  ASSERT_EQ(+gRdrPoly.count, 4u);
  for (uint32_t i = 0; i < 4; ++i) EXPECT_EQ(+gRdrPoly.work[i].diffuse, 0x80808080u) << i;
}

TEST_F(D3dOverlayTest, TheSunQuadIsAGlowLaidOverTheSkyAtTheLightsScreenPoint) {
  gCamera = CameraState{};
  const int32_t sky = MakeTexture(256, 256, std::vector<uint16_t>(256 * 256, 0xFFFF));
  // The sun lies against the light: straight ahead.
  gLight.directionX = 0, gLight.directionY = 0, gLight.directionZ = -1024;
  Fresh();
  RdrDrawViewQuad(static_cast<uint32_t>(sky), 10, 20, 30);
  EXPECT_EQ(gRdrState.glow, 1);
  EXPECT_EQ(gRdrSun.screenX, 320.0f);
  ASSERT_EQ(Draws().size(), 1u);
  // A quarter of the width each way, at the near plane, a quarter of the texture.
  const RdrVertex* w = gRdrPoly.work;
  EXPECT_EQ(std::vector<float>({w[0].sx, w[0].sy, w[2].sx, w[2].sy}), std::vector<float>({160, 80, 480, 400}));
  EXPECT_EQ(std::vector<float>({w[0].tu, w[0].tv, w[2].tu, w[2].tv}), std::vector<float>({0, 0, 0.5f, 0.5f}));
  EXPECT_EQ(+w[0].rhw, 1.0f / 10.0f);
  EXPECT_EQ(+w[0].diffuse, 0xFF0A141Eu);
  std::vector<std::string> states;
  for (const std::string& c : calls)
    if (c.rfind("SetRenderState", 0) == 0 || c.rfind("DrawPrimitive", 0) == 0) states.push_back(c.substr(0, 30));
  EXPECT_EQ(states, (std::vector<std::string>{"SetRenderState ZENABLE 0", "SetRenderState ZWRITEENABLE 0",
                                              "SetRenderState SRCBLEND 5", "SetRenderState DESTBLEND 6",
                                              "DrawPrimitive 6 4 28 (160 80 0", "SetRenderState SRCBLEND 2",
                                              "SetRenderState DESTBLEND 1", "SetRenderState ZENABLE 1",
                                              "SetRenderState ZWRITEENABLE 1"}));
  // Texture weighed by the vertex alpha plus the sky colour: torvane's glow.
  EXPECT_EQ(gRdrCache, 3);
  EXPECT_TRUE(Has("SetTextureStageState 0 COLOROP 8"));
  EXPECT_EQ(gMesh.vertexCount, USED_VERTICES);

  // Behind the camera: off screen at x = 10000, nothing drawn, and no flare.
  gLight.directionZ = 1024;
  calls.clear();
  RdrDrawViewQuad(static_cast<uint32_t>(sky), 10, 20, 30);
  EXPECT_EQ(gRdrSun.screenX, 10000.0f);
  EXPECT_TRUE(Draws().empty());
  calls.clear();
  RdrDrawAdditiveGlows();
  EXPECT_TRUE(calls.empty());
}

TEST_F(D3dOverlayTest, TheFlareDrawsItsCellsInTheWholeTexture) {
  gCamera = CameraState{};
  const int32_t sky = MakeTexture(256, 256, std::vector<uint16_t>(256 * 256, 0xFFFF));
  gLight.directionX = 0, gLight.directionY = 0, gLight.directionZ = -1024;
  RdrDrawViewQuad(static_cast<uint32_t>(sky), 10, 20, 30);
  Fresh();
  RdrDrawAdditiveGlows();
  size_t elements = 0;
  while (gRdrFlares[elements].position != 0.0f) ++elements;
  // A centred sun puts every element on the centre at full intensity.
  ASSERT_EQ(Draws().size(), elements);
  const std::vector<std::pair<float, float>> st = FanCoords(Draws());
  EXPECT_EQ(st[0], std::make_pair(0.5f, 0.5f));
  EXPECT_NEAR(st[2].first, 0.9999f, 1e-5f);
  // The first element: red 100 at an intensity of 400, held at 255.
  EXPECT_NE(Draws()[0].find(" ff640000 "), std::string::npos) << Draws()[0];
  // Added by its alpha, in the glow's stage mode.
  EXPECT_TRUE(Has("SetRenderState SRCBLEND 5") && Has("SetRenderState DESTBLEND 2"));
  EXPECT_EQ(gRdrCache, 3);
  EXPECT_EQ(calls.back(), "SetRenderState ZWRITEENABLE 1");
}

// The flare over the sky with torvane's pixels (support/renderer_twins.h):
// the texture's colour is weighed by the intensity before the element's
// colour is added.
TEST_F(D3dOverlayTest, TheFlareAddsItsElementsColoursOverTheSkyAsTorvanesDoes) {
  for (const FlareTwin& c : FLARE_TWINS) {
    SCOPED_TRACE(c.probe.x);
    const int32_t sun = MakeTexture(8, 8, std::vector<uint16_t>(64, c.texel), HAL_PIXEL_ARGB4444);
    RdrClear(16, 96, 168);
    gRdrState.centreX = c.centreX;
    gRdrSun = RdrSun{static_cast<uint32_t>(sun), 0, 0, 0, 320.0f, 240.0f};
    gRdrState.glow = 1;
    RdrDrawAdditiveGlows();
    EXPECT_EQ(BackPixel(c.probe.x, c.probe.y), c.probe.pixel);
  }
}

TEST_F(D3dOverlayTest, ALineIsDrawnOnlyWithBothEndsInTheDepthRange) {
  struct Case {
    const char* name;
    float z0, z1, x1;
    bool drawn;
  };
  const Case cases[] = {
      {"both ends inside", 50, 60, 200, true},
      {"on the planes", 10, 1000, 200, true},
      {"one end before the near plane", 9.5f, 60, 200, false},
      {"one end beyond the far plane", 50, 1000.5f, 200, false},
      {"left of the window", 50, 60, -5, false},
  };
  for (const Case& c : cases) {
    Place(0, c.x1 < 0 ? -10.0f : 100.0f, 100, c.z0);
    Place(1, c.x1, 120, c.z1);
    Fresh();
    RdrDrawLine(&vertices_[0], &vertices_[1], 0x80FF2010);
    if (!c.drawn) {
      EXPECT_TRUE(calls.empty()) << c.name;
      continue;
    }
    const std::vector<std::string> lines = Calls("DrawPrimitive 2 2 24 ");
    ASSERT_EQ(lines.size(), 1u) << c.name;
    EXPECT_NE(lines[0].find("80ff2010 00000000 0 0) ("), std::string::npos) << lines[0];
    EXPECT_EQ(gRdrCache, 0) << c.name;
    EXPECT_TRUE(Has("SetTexture 0 0") && Has("SetRenderState ALPHATESTENABLE 0")) << c.name;
    EXPECT_EQ(calls.back().rfind("SetRenderState", 0), 0u) << c.name;
  }
}

TEST_F(D3dOverlayTest, StripVertexFadeFallsToZeroAt25Of32OfTheWidth) {
  ASSERT_EQ(gRdrState.screenWidth, 640);
  struct Case {
    float dx, dy, light;
  };
  const Case cases[] = {{0, 0, 64}, {250, 0, 32}, {0, 250, 32}, {300, 400, 0}, {600, 0, 0}, {125, 0, 48}};
  for (const Case& c : cases) {
    Vertex v{};
    v.screenX = 100 + c.dx;
    v.screenY = 50 + c.dy;
    RdrStripVertexFade(&v, 100, 50);
    EXPECT_EQ(+v.light, c.light) << c.dx << " " << c.dy;
  }
}

TEST_F(D3dOverlayTest, AFacesScreenBoxHoldsAPointWithItsEdges) {
  Place(0, 100, 100, 50), Place(1, 200, 100, 50), Place(2, 100, 200, 50);
  Face f = MakeFace(0, {0, 1, 2});
  struct Case {
    int32_t x, y;
    bool inside;
  };
  const Case cases[] = {{150, 150, true}, {100, 100, true}, {200, 200, true}, {201, 150, false}, {150, 99, false}};
  for (const Case& c : cases) EXPECT_EQ(RdrClipProjectFace(&f, c.x, c.y), c.inside) << c.x << " " << c.y;

  // Before the near plane: rejected wherever the point is.
  Place(0, 100, 100, 5), Place(1, 200, 100, 5), Place(2, 100, 200, 5);
  EXPECT_FALSE(RdrClipProjectFace(&f, 150, 150));
  // Crossing it: the box of the clipped, projected polygon.
  PlaceView(0, -20, 0, 50), PlaceView(1, 20, 0, 50), PlaceView(2, 0, 20, 5);
  EXPECT_TRUE(RdrClipProjectFace(&f, 320, 300));
  EXPECT_FALSE(RdrClipProjectFace(&f, 320, 240 + 641));
  EXPECT_TRUE(Draws().empty());
}

TEST_F(D3dOverlayTest, AGroundStripIsSixteenQuadsInTheTexturesOwnUnits) {
  const int32_t sky = MakeTexture(64, 32, std::vector<uint16_t>(64 * 32, 0x1234));
  // Looking straight up: view x = world x, view y = world z, depth = height above the camera.
  gCamera = CameraState{};
  const float up[9] = {1, 0, 0, 0, 0, 1, 0, 1, 0};
  std::memcpy(gCamera.view, up, sizeof up);
  gRdrState.scaleX = gRdrState.scaleY = 1.0f;  // the whole layer on screen
  gRdrStripScroll = RdrStripScroll{0, 0};
  for (bool lit : {false, true}) {
    SCOPED_TRACE(lit);
    Fresh();
    if (lit)
      RdrDrawGroundStripAdd(static_cast<uint32_t>(sky), 60.0f, 4.0f, 0, 320, 240);
    else
      RdrDrawGroundStrip(static_cast<uint32_t>(sky), 60.0f, 4.0f, 0);
    EXPECT_EQ(gRdrState.farPlane, 1000.0f);
    EXPECT_EQ(gMesh.vertexCount, USED_VERTICES);
    EXPECT_EQ(calls.front(), "SetRenderState ZENABLE 0");
    EXPECT_EQ(calls.back(), "SetRenderState ZWRITEENABLE 1");
    EXPECT_EQ(gRdrCache, lit ? 1 : 0);
    const std::vector<std::string> draws = Calls("DrawPrimitive 6 4 28 ");
    ASSERT_EQ(draws.size(), 16u);
    // Far 1000 + 200: cells of 600 world units, 150 texels, from texel 181 (-1200 / 16 wrapped).
    const std::vector<std::pair<float, float>> st = FanCoords(draws);
    for (int row = 0; row < 4; ++row)
      for (int cell = 0; cell < 4; ++cell) {
        const float s = 181.0f + 150.0f * cell, t = 181.0f + 150.0f * row;
        const float want[4][2] = {{s, t}, {s + 150, t}, {s + 150, t + 150}, {s, t + 150}};
        for (int k = 0; k < 4; ++k) {
          const auto& got = st[static_cast<size_t>((row * 4 + cell) * 4 + k)];
          EXPECT_NEAR(got.first, want[k][0] / 64.0f, 1e-4f) << row << " " << cell << " " << k;
          EXPECT_NEAR(got.second, want[k][1] / 32.0f, 1e-4f) << row << " " << cell << " " << k;
        }
      }
  }
}

}  // namespace
