// Camera-facing sprites and the blend switches, through the device calls
// they make and the corners they hand over.
#include <cstring>
#include <functional>

#include "engine3d/camera.h"
#include "engine3d/sprite.h"
#include "sprite_fixture.h"
#include "tools/datakit/lib/texture_3df.h"

namespace {

uint32_t Bits(float f) {
  uint32_t b;
  std::memcpy(&b, &f, 4);
  return b;
}

TEST_F(D3dSpriteTest, BillboardsProjectRejectAndChooseTheClipFlag) {
  struct Case {
    const char* name;
    float x, y, z, halfWidth;
    int flags;  // -1: nothing sent
    float x0, x1;
  };
  // Scale 320 at depth 100: a half width of 10 is 32 pixels, x = 100 is 320 right of the centre.
  const Case cases[] = {
      {"inside: no device clipping", 0, 0, 100, 10, 28, 288, 352},
      {"a half width of 0 is one pixel wide", 0, 0, 100, 0, 28, 320, 321},
      {"on the window's edge: still inside", 89.6875f, 0, 100, 10, 28, 575, 639},
      {"crossing the right edge: the device clips", 100, 0, 100, 10, 24, 608, 672},
      {"wholly right of the window", 110, 0, 100, 10, -1, 0, 0},
      {"wholly above it", 0, -100, 100, 10, -1, 0, 0},
      {"nearer than the near plane is drawn (taller than the window)", 0, 0, 5, 1, 24, 256, 384},
      {"at the eye: nothing", 0, 0, 0, 10, -1, 0, 0},
      {"behind the eye: nothing", 0, 0, -50, 10, -1, 0, 0},
  };
  for (const Case& c : cases) {
    At(c.x, c.y, c.z);
    sprite_.halfWidth = c.halfWidth;
    Fresh();
    RdrDrawSprite(&slot_);
    EXPECT_EQ(Flags(), c.flags) << c.name;
    if (c.flags < 0) {
      EXPECT_TRUE(Draws().empty()) << c.name;
      continue;
    }
    EXPECT_EQ(Calls("DrawPrimitive 6 4 ").size(), 1u) << c.name;
    const RdrVertex* w = gRdrPoly.work;
    EXPECT_EQ(+w[0].sx, c.x0) << c.name;
    EXPECT_EQ(+w[1].sx, c.x1) << c.name;
    EXPECT_EQ(+w[2].sx, c.x1) << c.name;
    EXPECT_EQ(+w[3].sx, c.x0) << c.name;
    EXPECT_EQ(+w[0].sy, +w[1].sy) << c.name;
    EXPECT_EQ(+w[2].tu, 1.0f) << c.name;
    EXPECT_EQ(+w[2].tv, 1.0f) << c.name;
    EXPECT_EQ(+w[0].rhw, 1.0f / c.z) << c.name;
    EXPECT_EQ(+w[0].sz, 1.0f - 1.0f / c.z) << c.name;
  }
}

TEST_F(D3dSpriteTest, EachBillboardColoursItsCornersAndSetsOnlyItsOwnStates) {
  RdrSetAlphaSourceColour(0x11, 0x22, 0x33, 2);
  struct Case {
    const char* name;
    std::function<void(DrawSlot*)> draw;
    uint32_t diffuse;
    float rhw;
    bool setsStage;
  };
  const Case cases[] = {
      {"plain: the colour is not written", RdrDrawSprite, 0xDEADBEEF, 1.0f / 100, true},
      {"alpha: white with the slot's alpha", RdrDrawSpriteAlpha, 0x80FFFFFF, 1.0f / 100, true},
      {"texture alpha: grey with the slot's alpha", RdrDrawSpriteTexAlpha, 0x807F7F7F, 1.0f / 100, false},
      {"cell: the constant colour or'ed in, 4 nearer",
       [](DrawSlot* s) { RdrDrawSpriteCell(s, 0x40, 0x01, 0x300); }, 0x80512333, 1.0f / 96, false},
  };
  At(0, 0, 100);
  for (const Case& c : cases) {
    for (int i = 0; i < 4; ++i) gRdrPoly.work[i].diffuse = 0xDEADBEEF;
    gRdrCache = 1;  // a mode none of them uses
    calls.clear();
    c.draw(&slot_);
    ASSERT_EQ(Draws().size(), 1u) << c.name;
    for (int i = 0; i < 4; ++i) EXPECT_EQ(+gRdrPoly.work[i].diffuse, c.diffuse) << c.name;
    EXPECT_EQ(+gRdrPoly.work[0].rhw, c.rhw) << c.name;
    EXPECT_EQ(Calls("SetTextureStageState").empty(), !c.setsStage) << c.name;
    // The texture is bound for every sprite, cached or not.
    EXPECT_EQ(Calls("SetTexture 0 ").size(), 1u) << c.name;
  }
}

TEST_F(D3dSpriteTest, ACellParticleNearerThanFourIsHeldAtTheFrontOfTheDepthRange) {
  At(0, 0, 3);
  RdrDrawSpriteCell(&slot_, 0, 0, 0);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(+gRdrPoly.work[i].sz, 0.0f);
    EXPECT_EQ(Bits(gRdrPoly.work[i].rhw), 0x3F7FF972u);
  }
  // Its rectangle still comes from its own depth.
  EXPECT_EQ(+gRdrPoly.work[1].sx - gRdrPoly.work[0].sx, 2 * 10.0f * 320.0f / 3.0f);
}

TEST_F(D3dSpriteTest, TheAlphaSpriteIsBracketedByItsBlendAndUsesTheSlotsAlpha) {
  At(0, 0, 100);
  Fresh();
  RdrDrawSpriteAlpha(&slot_);
  std::vector<std::string> order;
  for (const std::string& c : calls)
    if (c.rfind("SetRenderState", 0) == 0 || c.rfind("DrawPrimitive", 0) == 0 || c.rfind("SetTextureStageState 0 ALPHAOP", 0) == 0)
      order.push_back(c.substr(0, c.rfind("DrawPrimitive", 0) == 0 ? 13 : std::string::npos));
  // Source alpha over the rest, alpha = texture x vertex, then opaque again.
  EXPECT_EQ(order, (std::vector<std::string>{"SetRenderState SRCBLEND 5", "SetRenderState DESTBLEND 6",
                                             "SetTextureStageState 0 ALPHAOP 4", "DrawPrimitive",
                                             "SetRenderState SRCBLEND 2", "SetRenderState DESTBLEND 1"}));
  EXPECT_EQ(gRdrCache, 2);
}

TEST_F(D3dSpriteTest, BlendSwitchesSetTheBlendAndTheStageModeOfTheAlphaSource) {
  struct Case {
    int32_t source;
    uint16_t mode;
  };
  const Case cases[] = {{0, 0}, {1, 0}, {2, 0}, {3, 4}, {4, 2}};
  for (const Case& c : cases) {
    for (auto set : {RdrSetAlphaSourceColour, RdrSetAdditiveBlend}) {
      gRdrCache = 1;
      calls.clear();
      set(1, 2, 3, c.source);
      EXPECT_EQ(gRdrCache, c.mode) << c.source;
      EXPECT_TRUE(Has("SetRenderState SRCBLEND 5")) << c.source;
      EXPECT_TRUE(Has(set == RdrSetAdditiveBlend ? "SetRenderState DESTBLEND 2" : "SetRenderState DESTBLEND 6"))
          << c.source;
      EXPECT_EQ(gRdrConstantColour, 0x010203u);
      // The same source again sends no stage state.
      calls.clear();
      set(1, 2, 3, c.source);
      EXPECT_TRUE(Calls("SetTextureStageState").empty()) << c.source;
    }
  }
  for (auto reset : {RdrResetAlphaSource, RdrSetNormalBlend}) {
    RdrSetAdditiveBlend(0, 0, 0, 3);
    calls.clear();
    reset();
    EXPECT_TRUE(Has("SetRenderState SRCBLEND 2") && Has("SetRenderState DESTBLEND 1"));
    EXPECT_EQ(gRdrCache, 0);
  }
}

TEST_F(D3dSpriteTest, AStreakStandsOnItsBaseAndNeedsBothEndsBeyondDepthOne) {
  // Camera at the origin looking down +z.
  gCamera = CameraState{};
  MatViewFromCamera();
  sprite_.halfHeight = 20.0f;
  slot_.x = 10, slot_.y = 0, slot_.z = 100;
  Fresh();
  RdrDrawSpriteStreak(&slot_);
  ASSERT_EQ(Draws().size(), 1u);
  const RdrVertex* w = gRdrPoly.work;
  Vertex top{}, base{};
  base.x = top.x = 10, base.z = top.z = 100, top.y = 40;
  RdrProjectVertex(&base);
  RdrProjectVertex(&top);
  EXPECT_EQ(+w[0].sy, top.screenY);
  EXPECT_EQ(+w[2].sy, base.screenY);
  // Both edges centred on the base's x, each end as wide as its own depth makes it.
  EXPECT_EQ(+w[1].sx, base.screenX + 10.0f * 320.0f / top.viewZ);
  EXPECT_EQ(+w[2].sx, base.screenX + 10.0f * 320.0f / base.viewZ);
  EXPECT_EQ(+w[0].rhw, 1.0f / top.viewZ);
  EXPECT_EQ(+w[3].diffuse, 0x80FFFFFFu);

  for (float z : {0.5f, -30.0f}) {
    slot_.z = z;
    calls.clear();
    RdrDrawSpriteStreak(&slot_);
    EXPECT_TRUE(Draws().empty()) << z;
  }
}

TEST_F(D3dSpriteTest, ARotatedSpriteIsATurnedFaceWithTheSlotsAlpha) {
  At(0, 0, 100);
  Fresh();
  RdrDrawSpriteRotated(&slot_, 10, 20, 30, 256);
  ASSERT_EQ(Draws().size(), 1u);
  // A quarter turn: the corner (-hw, +hh) goes to (-hh, -hw).
  EXPECT_FLOAT_EQ(gRdrPoly.work[0].sx, 320.0f - 5.0f * 3.2f);
  EXPECT_FLOAT_EQ(gRdrPoly.work[0].sy, 240.0f - 10.0f * 3.2f);
  EXPECT_EQ(+gRdrPoly.work[0].diffuse, 0x800A141Eu);
  EXPECT_EQ(+gRdrPoly.work[0].tv, 1.0f);
  // The mesh's counts are left as they were.
  EXPECT_EQ(gMesh.vertexCount, USED_VERTICES);
  EXPECT_EQ(gMesh.faceCount, 0);

  // No room behind the counts: nothing drawn, nothing written.
  gMesh.faceCount = gMesh.faceCapacity + MESH_SCRATCH_FACES;
  calls.clear();
  RdrDrawSpriteRotated(&slot_, 10, 20, 30, 256);
  EXPECT_TRUE(calls.empty());
}

TEST_F(D3dSpriteTest, ATurnedSquareSpansTheWholeTextureInZeroToOne) {
  At(0, 0, 100);
  slot_.kind = static_cast<uint32_t>(texture_) | 0x80 << 24;  // the texture is the low 24 bits
  Fresh();
  RdrDrawQuadRotated(&slot_, 10, 20, 30, 64.0f, 5.0f, 0);
  ASSERT_EQ(Draws().size(), 1u);
  const TextureTableEntry& entry = gTextureTable.entries[texture_];
  EXPECT_FLOAT_EQ(gRdrPoly.work[2].tu, 255.0f / entry.sRange);
  EXPECT_FLOAT_EQ(gRdrPoly.work[2].tv, 255.0f / entry.tRange);
  EXPECT_FLOAT_EQ(gRdrPoly.work[1].sx - gRdrPoly.work[0].sx, 2 * 5.0f * 3.2f);
  // The colour modulates the texture; the alpha argument goes with the corners.
  EXPECT_EQ(+gRdrPoly.work[0].diffuse, 0x400A141Eu);
  EXPECT_EQ(gRdrCache, 1);
  EXPECT_EQ(gMesh.vertexCount, USED_VERTICES);

  slot_.kind = static_cast<uint32_t>(gTextureTable.count);
  calls.clear();
  RdrDrawQuadRotated(&slot_, 10, 20, 30, 64.0f, 5.0f, 0);
  EXPECT_TRUE(Draws().empty());
}

TEST_F(D3dSpriteTest, ACrossIsTwoUprightQuadsShadedByTheVertexItNames) {
  gCamera = CameraState{};
  MatViewFromCamera();
  LightSetColour(255, 255, 255);
  slot_.x = 0, slot_.y = 0, slot_.z = 100;
  vertices_[2].light = 40.0f;
  slot_.kind = 2 << 8;
  Fresh();
  RdrDrawCross(&slot_);
  ASSERT_EQ(Draws().size(), 2u);
  // The second quad, across the line of sight, is edge-on: its corners share x.
  EXPECT_FLOAT_EQ(gRdrPoly.work[0].sx, 320.0f);
  EXPECT_FLOAT_EQ(gRdrPoly.work[1].sx, 320.0f);
  // Light 40 of the light colour, the face's texture, the sprite's corners.
  EXPECT_EQ(+gRdrPoly.work[0].diffuse, 0x009F9F9Fu);
  EXPECT_EQ(+gRdrPoly.work[0].tv, 1.0f);
  EXPECT_EQ(gMesh.vertexCount, USED_VERTICES);
  EXPECT_EQ(gMesh.faceCount, 0);

  // A vertex past the mesh: the ambient level instead.
  slot_.kind = 5000 << 8;
  gLight.ambient = 16.0f;
  calls.clear();
  RdrDrawCross(&slot_);
  ASSERT_EQ(Draws().size(), 2u);
  EXPECT_EQ(+gRdrPoly.work[0].diffuse, 0x003F3F3Fu);
}

TEST_F(D3dSpriteTest, ASpriteWhoseTextureIsNotInTheTableDrawsNothing) {
  At(0, 0, 100);
  sprite_.type = (sprite_.type & 0xFFFFFF00) | static_cast<uint32_t>(gTextureTable.count);
  slot_.x = 0, slot_.z = 100;
  gCamera = CameraState{};
  MatViewFromCamera();
  calls.clear();
  RdrDrawSprite(&slot_);
  RdrDrawSpriteAlpha(&slot_);
  RdrDrawSpriteTexAlpha(&slot_);
  RdrDrawSpriteCell(&slot_, 1, 2, 3);
  RdrDrawSpriteStreak(&slot_);
  RdrDrawSpriteRotated(&slot_, 1, 2, 3, 0);
  EXPECT_TRUE(calls.empty());
}

TEST_F(D3dSpriteTest, SpritesAreMadeWithCoordinatesInZeroToOne) {
  TempDir dir;
  const std::filesystem::path old = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  const datakit::Bytes file =
      datakit::Make3df(datakit::TEX3DF_RGB565, 64, 32, std::vector<uint16_t>(64 * 32, 0x1234));
  dir.Write("smoke.3df", std::string(file.begin(), file.end()));
  Sprite* filtered = ObjCreateSprite("smoke.3df", 8.0f, 8.0f);
  Sprite* point = ObjCreateSpritePoint("smoke.3df", 8.0f, 8.0f);
  std::filesystem::current_path(old);
  ASSERT_NE(filtered, nullptr);
  ASSERT_NE(point, nullptr);
  // Laid out in the ranges (255 along the long side, 127 along the short),
  // two in from each edge when filtered, one off the far edge when not.
  const TextureTableEntry* entry = TexFind("smoke.3df");
  ASSERT_NE(entry, nullptr);
  ASSERT_EQ(std::make_pair(+entry->sRange, +entry->tRange), std::make_pair(255, 127));
  EXPECT_EQ(filtered->s0, 2.0f / 255);
  EXPECT_EQ(filtered->t0, 2.0f / 127);
  EXPECT_EQ(filtered->s1, 253.0f / 255);
  EXPECT_EQ(filtered->t1, 125.0f / 127);
  EXPECT_EQ(point->s0, 0.0f);
  EXPECT_EQ(point->s1, 254.0f / 255);
  EXPECT_EQ(point->t1, 126.0f / 127);
  DrawSlot slot{};
  slot.owner = filtered;
  slot.viewZ = 100;
  calls.clear();
  RdrDrawSprite(&slot);
  ASSERT_EQ(Draws().size(), 1u);
  EXPECT_EQ(+gRdrPoly.work[2].tu, 253.0f / 255);
  EXPECT_EQ(+gRdrPoly.work[2].tv, 125.0f / 127);
  ObjFreeSprite(filtered);
  ObjFreeSprite(point);
}

}  // namespace
