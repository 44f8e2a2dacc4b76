#include "sprites_support.h"

void SpriteDrawTest::SetUp() {
  ResetHalForTest();
  RecordFatalErrors();
  ASSERT_TRUE(RdrOpen(gDisplayModes[2], 1));
  RdrClear(0, 0, 0);
  LightSetColour(255, 255, 255);
  ASSERT_NE(MeshPoolAllocVertices(WORLD_VERTICES + 2), nullptr);
  ASSERT_NE(MeshPoolAllocFaces(WORLD_FACES + 2), nullptr);
  gMesh.vertexCount = WORLD_VERTICES;
  gMesh.faceCount = WORLD_FACES;
  SetCamera(0.0f, 0.0f, 0.0f);
  tex_ = SolidTexture(0xF800);
  ASSERT_GE(tex_, 0);
  gRdrCache = RdrCache{-1, -1};
}

void SpriteDrawTest::TearDown() {
  RecordStop();
  RdrClose();
}

void SpriteDrawTest::SetCamera(float x, float y, float z, float pitch, float heading) {
  Camera c{x, y, z, pitch, heading, 0.0f};
  CamSet(&c);
  MatViewFromCamera();
}

int32_t SpriteDrawTest::SolidTexture(uint16_t colour) {
  std::vector<uint16_t> texels(64, colour);
  int32_t id = GfxTexAllocateMemory(GFX_TMU0, GFX_MIPMAPLEVELMASK_BOTH, 8, 8, GFX_TEXFMT_RGB_565, GFX_MIPMAP_DISABLE,
                                    0, 0, GFX_ASPECT_1x1, GFX_TEXTURECLAMP_WRAP, GFX_TEXTURECLAMP_WRAP,
                                    GFX_TEXTUREFILTER_POINT_SAMPLED, GFX_TEXTUREFILTER_POINT_SAMPLED, 0.0f, false);
  if (id >= 0) GfxTexDownloadMipMap(id, texels.data(), nullptr);
  return id;
}

uint16_t SpriteDrawTest::Pixel(int32_t x, int32_t y) {
  uint16_t p = 0;
  GfxLfbReadRegion(GFX_BUFFER_BACKBUFFER, x, y, 1, 1, 2, &p);
  return p;
}

DrawSlot SpriteDrawTest::SlotFor(Sprite* sprite, uint32_t alpha, float viewX, float viewY, float viewZ) {
  DrawSlot slot{};
  slot.kind = (sprite->type & 0xFF0000FF) | (alpha & 0xFFFF) << 8;
  slot.owner = sprite;
  slot.viewX = viewX;
  slot.viewY = viewY;
  slot.viewZ = viewZ;
  return slot;
}
