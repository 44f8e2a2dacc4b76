#include <cmath>

#include "backend_common/draw.h"
#include "sprites_support.h"

namespace {

using Layers = SpriteDrawTest;

TEST_F(Layers, TheGroundStripLaysA4By4GridAroundTheCameraWithTheFarPlaneRaised) {
  // Looking straight up from (1000, 50, 2000): view x = -dx, view y = dz,
  // view z = dy, so every cell lies at one depth and only the four cells
  // around the camera reach the screen.
  struct Case {
    const char* what;
    float height, texel;
    uint8_t absolute;
    float scrollX, scrollZ;
    float depth;   // plane height above the camera
    float cell;    // world units; the far plane raised by max(height, 200), halved
    float s0, t0;  // texture start of the grid's first cell
  };
  const Case cases[] = {
      // far 1700 + 200 = 1900: the grid spans 3800 from x -900 (texel 199 after the wrap) and z 100 (texel 6)
      {"sky layer", 60.0f, 4.0f, 0, 0.0f, 0.0f, 60.0f, 950.0f, 199.0f, 6.0f},
      {"scrolled", 60.0f, 4.0f, 0, 32.0f, 16.0f, 60.0f, 950.0f, 201.0f, 7.0f},
      // far 2200: x from -1200 (texel 181), z from -200 (texel 243)
      {"absolute height", 500.0f, 1.0f, 1, 0.0f, 0.0f, 450.0f, 1100.0f, 181.0f, 243.0f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetCamera(1000.0f, 50.0f, 2000.0f, 256.0f);
    gRdrStripScroll = RdrStripScroll{0.0f, 0.0f};
    RdrScrollGroundStrip(c.scrollX, c.scrollZ);
    gRdrCache = RdrCache{-1, -1};
    RecordStart();
    RdrDrawGroundStrip(static_cast<uint32_t>(tex_), c.height, c.texel, c.absolute);
    auto calls = RecordStop();
    auto texts = CallTexts(calls);
    EXPECT_EQ(texts.front(), "depth 0");
    EXPECT_EQ(texts.back(), "depth 1");
    EXPECT_EQ(texts[1], "combine 4");
    EXPECT_EQ(texts[2], "texture " + std::to_string(tex_));
    EXPECT_EQ(gRdrState.farPlane, 1700.0f);
    EXPECT_EQ(gMesh.vertexCount, WORLD_VERTICES);
    EXPECT_EQ(gMesh.faceCount, WORLD_FACES);

    auto draws = DrawCalls(calls);
    ASSERT_EQ(draws.size(), 4u);
    const float T = c.cell / c.texel;
    for (size_t k = 0; k < 4; ++k) {
      SCOPED_TRACE(k);
      const size_t row = 1 + k / 2, col = 1 + k % 2;
      const GfxVertex& v = draws[k].vertices[0];
      EXPECT_NEAR(1.0f / v.oow, c.depth, 0.01f);
      EXPECT_NEAR(v.tmu[0].sow / v.oow, c.s0 + static_cast<float>(col) * T, 0.01f);
      EXPECT_NEAR(v.tmu[0].tow / v.oow, c.t0 + static_cast<float>(row) * T, 0.01f);
      // The cell's first corner: x = camera x - far + col x cell, seen mirrored.
      const float worldX = -c.cell * 2.0f + static_cast<float>(col) * c.cell;
      EXPECT_NEAR(v.x, std::trunc(320.0f - worldX * 250.0f / c.depth), 1.0f);
    }
  }
}

TEST_F(Layers, TheLightningLayerIsLitAroundTheFlashPoint) {
  SetCamera(1000.0f, 50.0f, 2000.0f, 256.0f);
  RecordStart();
  RdrDrawGroundStripAdd(static_cast<uint32_t>(tex_), 50.0f, 1.0f, 0, 320.0f, 240.0f);
  auto calls = RecordStop();
  EXPECT_EQ(CallTexts(calls)[1], "combine 5");
  auto draws = DrawCalls(calls);
  ASSERT_EQ(draws.size(), 4u);
  // The camera's own corner (third of the first cell) projects onto the flash.
  const GfxVertex& lit = draws[0].vertices[2];
  EXPECT_EQ(std::vector<float>({lit.x, lit.y}), std::vector<float>({320.0f, 240.0f}));
  EXPECT_FLOAT_EQ(lit.r, 255.0f);
  EXPECT_FLOAT_EQ(draws[0].vertices[0].r, 0.0f);  // thousands of pixels away
  EXPECT_EQ(gRdrState.farPlane, 1700.0f);
}

TEST_F(Layers, TheFadeRunsFromFullAtTheFlashToNothingAt25_32OfTheWidth) {
  struct Case {
    float dx, dy;
    float light;
  };
  for (const Case& c : {Case{0, 0, 64.0f}, Case{250, 0, 32.0f}, Case{300, 400, 0.0f}, Case{0, 800, 0.0f}}) {
    Vertex v{};
    v.screenX = 100.0f + c.dx;
    v.screenY = 50.0f + c.dy;
    RdrStripVertexFade(&v, 100.0f, 50.0f);
    EXPECT_FLOAT_EQ(v.light, c.light) << c.dx << "," << c.dy;
  }
}

// A vertex at a view position, projected as the scene does (depth raised to the near plane).
void PlaceView(Vertex& v, float x, float y, float z) {
  v.viewX = x;
  v.viewY = y;
  v.viewZ = z;
  const float zp = z < 5.0f ? 5.0f : z;
  v.screenX = 320.0f + x * 250.0f / zp;
  v.screenY = 240.0f + y * 250.0f / zp;
}

TEST_F(Layers, TheFacePickTestsThePointAgainstTheClippedFacesScreenBounds) {
  Face face{};
  face.vertexCount = 4;
  for (uint16_t i = 0; i < 4; ++i) face.index[i] = i;
  Vertex* v = gMesh.vertices;
  // Screen 300..350 x 200..260 at depth 50.
  PlaceView(v[0], -4.0f, -8.0f, 50.0f);
  PlaceView(v[1], 6.0f, -8.0f, 50.0f);
  PlaceView(v[2], 6.0f, 4.0f, 50.0f);
  PlaceView(v[3], -4.0f, 4.0f, 50.0f);
  struct Case {
    int32_t x, y;
    bool in;
  };
  for (const Case& c : {Case{300, 200, true}, Case{350, 260, true}, Case{325, 230, true}, Case{299, 230, false},
                        Case{325, 261, false}}) {
    EXPECT_EQ(RdrClipProjectFace(&face, c.x, c.y), c.in) << c.x << "," << c.y;
  }

  // Crossing the near plane: the near corners are cut at depth 5, where the
  // top edge is at view y -8.75 (screen -197.5); the bottom stays at 290.
  PlaceView(v[0], -10.0f, -10.0f, 2.0f);
  PlaceView(v[1], 10.0f, -10.0f, 2.0f);
  PlaceView(v[2], 10.0f, 10.0f, 50.0f);
  PlaceView(v[3], -10.0f, 10.0f, 50.0f);
  EXPECT_TRUE(RdrClipProjectFace(&face, 320, 280));
  EXPECT_EQ(gRdrPoly.count, 4u);
  EXPECT_FLOAT_EQ(gRdrPoly.minY, 240.0f - 8.75f * 50.0f);
  EXPECT_FALSE(RdrClipProjectFace(&face, 320, 295));

  for (int i = 0; i < 4; ++i) PlaceView(v[i], static_cast<float>(i), 0.0f, 4.0f);  // wholly inside the near plane
  EXPECT_FALSE(RdrClipProjectFace(&face, 320, 240));
  face.vertexCount = 0;
  EXPECT_FALSE(RdrClipProjectFace(&face, 320, 240));
}

}  // namespace
