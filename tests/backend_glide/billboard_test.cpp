#include "backend_common/draw.h"
#include "sprites_support.h"

namespace {

using Billboards = SpriteDrawTest;

Sprite MakeSprite(int32_t texture, float hw, float hh) {
  return Sprite{0x04000000u | static_cast<uint32_t>(texture), hw, hh, 0.0f, 0.0f, 255.0f, 255.0f};
}

TEST_F(Billboards, AZeroWidthSpriteIsWidenedToOneColumnAndATinyOneIsNot) {
  struct Case {
    float halfWidth;
    bool widened;
    float left, right;  // the accelerator's whole-pixel x
  };
  for (const Case& c : {Case{0.0f, true, 320.0f, 321.0f}, Case{0.001f, false, 319.0f, 320.0f}}) {
    SCOPED_TRACE(c.halfWidth);
    Sprite sprite = MakeSprite(tex_, c.halfWidth, 4.0f);
    DrawSlot slot = SlotFor(&sprite, 255, 0.0f, 0.0f, 100.0f);
    RecordStart();
    RdrDrawSprite(&slot);
    auto draws = DrawCalls(RecordStop());
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(gRdrPoly.maxX - gRdrPoly.minX == 1.0f, c.widened);
    const auto& v = draws[0].vertices;
    EXPECT_EQ(std::vector<float>({v[0].x, v[1].x, v[2].x, v[3].x}),
              std::vector<float>({c.left, c.right, c.right, c.left}));
  }
}

TEST_F(Billboards, TheClipWindowDecidesBetweenThePlainCallTheClippingCallAndNothing) {
  // Half width 10 at depth 100 is 25 pixels; the centre lies at 320 + 2.5 x.
  struct Case {
    const char* what;
    float viewX;
    const char* call;  // null: nothing drawn
  };
  const Case cases[] = {
      {"inside", 0.0f, "polygon 4"},
      {"crossing the left edge", -124.0f, "polygon clip 4"},
      {"right edge on the left edge", -138.0f, "polygon clip 4"},
      {"wholly left", -140.0f, nullptr},
      {"wholly below", 0.0f, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Sprite sprite = MakeSprite(tex_, 10.0f, 10.0f);
    DrawSlot slot = SlotFor(&sprite, 255, c.viewX, std::string(c.what) == "wholly below" ? 200.0f : 0.0f, 100.0f);
    RecordStart();
    RdrDrawSpriteTexAlpha(&slot);
    auto draws = DrawCalls(RecordStop());
    if (!c.call) {
      EXPECT_TRUE(draws.empty());
      continue;
    }
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].text, c.call);
  }
}

TEST_F(Billboards, SlotAlphaZeroLeavesNoPixelAndFullAlphaShowsTheTexture) {
  for (uint32_t alpha : {0u, 255u}) {
    SCOPED_TRACE(alpha);
    RdrClear(0, 0, 0);
    gRdrCache = RdrCache{-1, -1};
    Sprite sprite = MakeSprite(tex_, 10.0f, 10.0f);
    DrawSlot slot = SlotFor(&sprite, alpha, 0.0f, 0.0f, 100.0f);
    RecordStart();
    RdrDrawSpriteAlpha(&slot);
    auto calls = RecordStop();
    EXPECT_EQ(CallTexts(calls), std::vector<std::string>({"combine 9", "texture " + std::to_string(tex_), "alpha 3",
                                                          "polygon 4", "alpha 2"}));
    EXPECT_EQ(DrawCalls(calls)[0].vertices[0].a, static_cast<float>(alpha));
    EXPECT_EQ(Pixel(320, 240), alpha ? 0xF800 : 0x0000);
  }
}

TEST_F(Billboards, ARunOfTheSameSpriteSetsTextureAndCombineOnce) {
  Sprite sprite = MakeSprite(tex_, 10.0f, 10.0f);
  DrawSlot slot = SlotFor(&sprite, 255, 0.0f, 0.0f, 100.0f);
  RecordStart();
  RdrDrawSprite(&slot);
  RdrDrawSprite(&slot);
  EXPECT_EQ(CallTexts(RecordStop()),
            std::vector<std::string>({"combine 4", "texture " + std::to_string(tex_), "polygon 4", "polygon 4"}));
}

TEST_F(Billboards, OnlyTheLowByteOfTheSpriteWordNamesTheTexture) {
  Sprite sprite = MakeSprite(tex_, 10.0f, 10.0f);
  sprite.type |= 0x7F00;  // a glow keeps its strength above the texture byte
  DrawSlot slot = SlotFor(&sprite, 255, 0.0f, 0.0f, 100.0f);
  RecordStart();
  RdrDrawSpriteTexAlpha(&slot);
  auto texts = CallTexts(RecordStop());
  EXPECT_EQ(texts[1], "texture " + std::to_string(tex_));
}

TEST_F(Billboards, SlotsAtOrBehindTheCameraAreSkippedButOnesInsideTheNearPlaneDraw) {
  struct Case {
    float depth;
    size_t draws;
  };
  for (const Case& c : {Case{3.0f, 1}, Case{0.0f, 0}, Case{-5.0f, 0}, Case{-0.0f, 0}}) {
    SCOPED_TRACE(c.depth);
    Sprite sprite = MakeSprite(tex_, 1.0f, 1.0f);
    DrawSlot slot = SlotFor(&sprite, 255, 0.0f, 0.0f, c.depth);
    RecordStart();
    RdrDrawSprite(&slot);
    RdrDrawSpriteAlpha(&slot);
    RdrDrawSpriteTexAlpha(&slot);
    RdrDrawSpriteCell(&slot, 1, 2, 3);
    EXPECT_EQ(DrawCalls(RecordStop()).size(), 4 * c.draws);
  }
}

TEST_F(Billboards, ACellParticleIsSizedByItsDepthButDepthTestedFourUnitsNearer) {
  struct Case {
    float depth;
    float pulled;  // the depth behind oow and ooz
  };
  for (const Case& c : {Case{3.0f, 1.0f}, Case{100.0f, 96.0f}}) {
    SCOPED_TRACE(c.depth);
    gRdrCache = RdrCache{-1, -1};
    Sprite sprite = MakeSprite(tex_, 1.0f, 1.0f);
    DrawSlot slot = SlotFor(&sprite, 128, 0.0f, 0.0f, c.depth);
    RecordStart();
    RdrDrawSpriteCell(&slot, 10, 20, 30);
    auto calls = RecordStop();
    EXPECT_EQ(CallTexts(calls)[0], "combine 10");
    const GfxVertex v = DrawCalls(calls)[0].vertices[0];
    EXPECT_FLOAT_EQ(v.oow, 1.0f / c.pulled);
    EXPECT_FLOAT_EQ(v.ooz, 262140.0f / c.pulled);
    EXPECT_EQ(v.x, static_cast<float>(static_cast<int32_t>(320.0f - 250.0f / c.depth)));
    EXPECT_EQ(std::vector<float>({v.r, v.g, v.b, v.a}), std::vector<float>({10.0f, 20.0f, 30.0f, 128.0f}));
  }
}

TEST_F(Billboards, ProjectingAPointBehindTheNearPlaneKeepsItsTrueDepth) {
  Vertex v{};
  v.x = 10.0f;
  v.y = 20.0f;
  v.z = 2.0f;
  RdrProjectVertex(&v);
  EXPECT_EQ(std::vector<float>({v.viewX, v.viewY, v.viewZ}), std::vector<float>({-10.0f, -20.0f, 2.0f}));
  EXPECT_FLOAT_EQ(v.screenX, 320.0f - 10.0f * 250.0f / 5.0f);
  EXPECT_FLOAT_EQ(v.screenY, 240.0f - 20.0f * 250.0f / 5.0f);  // above the camera is higher on the screen

  v.z = -50.0f;
  RdrProjectVertex(&v);
  const float trueDepth = v.viewZ;
  EXPECT_EQ(trueDepth, -50.0f);
  EXPECT_FLOAT_EQ(v.screenX, 320.0f - 10.0f * 250.0f / 5.0f);
}

TEST_F(Billboards, ARotatedSpriteTurnsByTheAngleThroughTheFacePipeline) {
  Sprite sprite = MakeSprite(tex_, 10.0f, 5.0f);
  sprite.type |= 0x2A00;
  DrawSlot slot = SlotFor(&sprite, 200, 4.0f, -2.0f, 100.0f);
  std::vector<std::vector<GfxCall>> runs;
  for (uint16_t angle : {uint16_t{256}, uint16_t{1280}}) {
    gRdrCache = RdrCache{-1, -1};
    RecordStart();
    RdrDrawSpriteRotated(&slot, 10, 20, 30, angle);
    runs.push_back(RecordStop());
  }
  EXPECT_EQ(gMesh.vertexCount, WORLD_VERTICES);
  EXPECT_EQ(gMesh.faceCount, WORLD_FACES);
  // A quarter turn takes the corner offset (-hw, +hh) to (-hh, -hw).
  const Vertex* q = &gMesh.vertices[WORLD_VERTICES];
  EXPECT_NEAR(q[0].viewX, 4.0f - 5.0f, 1e-4f);
  EXPECT_NEAR(q[0].viewY, -2.0f - 10.0f, 1e-4f);
  EXPECT_NEAR(q[2].viewX, 4.0f + 5.0f, 1e-4f);
  EXPECT_NEAR(q[2].viewY, -2.0f + 10.0f, 1e-4f);
  const uint32_t faceType = gMesh.faces[WORLD_FACES].type;  // packed fields are read by value
  EXPECT_EQ(faceType, static_cast<uint32_t>(tex_));

  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(CallTexts(runs[0]), CallTexts(runs[1]));
  EXPECT_EQ(CallTexts(runs[0]), std::vector<std::string>({"combine 8", "texture " + std::to_string(tex_), "polygon 4"}));
  auto a = DrawCalls(runs[0])[0].vertices, b = DrawCalls(runs[1])[0].vertices;
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(a[i].x, b[i].x);
    EXPECT_EQ(a[i].y, b[i].y);
    EXPECT_EQ(std::vector<float>({a[i].r, a[i].g, a[i].b, a[i].a}), std::vector<float>({10.0f, 20.0f, 30.0f, 200.0f}));
  }
}

TEST_F(Billboards, AStreakStandsUprightOnItsBaseAndNeedsBothEndsAheadOfTheCamera) {
  Sprite sprite = MakeSprite(tex_, 2.0f, 10.0f);
  DrawSlot slot{};
  slot.kind = sprite.type | 90u << 8;
  slot.owner = &sprite;
  slot.x = -8.0f;
  slot.y = -5.0f;
  slot.z = 100.0f;
  RecordStart();
  RdrDrawSpriteStreak(&slot);
  auto calls = RecordStop();
  EXPECT_EQ(CallTexts(calls), std::vector<std::string>({"combine 9", "texture " + std::to_string(tex_), "polygon 4"}));
  const auto v = DrawCalls(calls)[0].vertices;
  // Base at screen (340, 252.5); the top 20 units up at y 202.5.
  EXPECT_EQ(std::vector<float>({v[0].x, v[1].x, v[2].x, v[3].x}), std::vector<float>({335.0f, 345.0f, 345.0f, 335.0f}));
  EXPECT_EQ(std::vector<float>({v[0].y, v[2].y}), std::vector<float>({202.0f, 252.0f}));
  EXPECT_EQ(v[0].a, 90.0f);

  slot.z = 0.5f;
  RecordStart();
  RdrDrawSpriteStreak(&slot);
  EXPECT_TRUE(DrawCalls(RecordStop()).empty());
}

TEST_F(Billboards, ACrossDrawsTwoQuadsShadedByItsVertexLightOrTheAmbientLevel) {
  gMesh.vertices[3].light = 40.0f;
  gLight.ambient = 12.0f;
  Sprite sprite = MakeSprite(tex_, 5.0f, 5.0f);
  sprite.type = (sprite.type & 0x00FFFFFF) | 0x0B000000;
  struct Case {
    uint32_t lightVertex;
    uint8_t tag;
  };
  for (const Case& c : {Case{3, 40}, Case{WORLD_VERTICES, 12}, Case{0xFFFF, 12}}) {
    SCOPED_TRACE(c.lightVertex);
    DrawSlot slot{};
    slot.kind = sprite.type | c.lightVertex << 8;
    slot.owner = &sprite;
    slot.z = 100.0f;
    RecordStart();
    RdrDrawCross(&slot);
    auto draws = DrawCalls(RecordStop());
    EXPECT_EQ(draws.size(), 2u);
    const Face f = gMesh.faces[WORLD_FACES];
    const uint32_t type = f.type;
    const uint8_t tag = f.tag;
    const float z = gMesh.vertices[WORLD_VERTICES + 5].z;
    EXPECT_EQ(type, static_cast<uint32_t>(tex_) | 0x02000000u);
    EXPECT_EQ(tag, c.tag);
    EXPECT_EQ(z, 105.0f);
    EXPECT_EQ(gMesh.vertexCount, WORLD_VERTICES);
  }
}

TEST_F(Billboards, AlphaSourceSwitchesSetTheSourceAndAnAbgrConstant) {
  RecordStart();
  RdrSetAlphaSourceColour(0x10, 0x20, 0x30, 1);
  RdrResetAlphaSource();
  EXPECT_EQ(CallTexts(RecordStop()), std::vector<std::string>({"alpha 1", "colour 0x302010", "alpha 2"}));
}

}  // namespace
