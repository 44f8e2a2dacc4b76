#include "facedraw_support.h"

void FaceDrawTest::SetUp() {
  ResetHalForTest();
  RecordFatalErrors();
  ASSERT_TRUE(RdrOpen(gDisplayModes[2], 1));
  RdrClear(0, 0, 0);
  LightSetColour(255, 128, 64);
  gMesh.vertices = vertices_.data();
  texA_ = SolidTexture(0xF800);
  texB_ = SolidTexture(0x07E0);
  ASSERT_GE(texA_, 0);
  ASSERT_GE(texB_, 0);
}

void FaceDrawTest::TearDown() {
  RecordStop();
  gMesh.vertices = nullptr;
  RdrClose();
}

Vertex& FaceDrawTest::Place(int i, float sx, float sy, float z) {
  Vertex& v = vertices_[static_cast<size_t>(i)];
  v.screenX = sx;
  v.screenY = sy;
  v.viewZ = z;
  v.viewX = (sx - gRdrState.centreX) * z / gRdrState.scaleX;
  v.viewY = (sy - gRdrState.centreY) * z / gRdrState.scaleY;
  return v;
}

Face FaceDrawTest::MakeFace(uint32_t type, std::initializer_list<uint16_t> corners) {
  Face f{};
  f.type = type;
  f.vertexCount = static_cast<uint8_t>(corners.size());
  int i = 0;
  for (uint16_t c : corners) {
    f.index[i] = c;
    f.st[2 * i] = static_cast<float>(i * 40);
    f.st[2 * i + 1] = static_cast<float>(i * 20 + 5);
    ++i;
  }
  return f;
}

int32_t FaceDrawTest::SolidTexture(uint16_t colour) {
  std::vector<uint16_t> texels(64, colour);
  int32_t id = GfxTexAllocateMemory(GFX_TMU0, GFX_MIPMAPLEVELMASK_BOTH, 8, 8, GFX_TEXFMT_RGB_565, GFX_MIPMAP_DISABLE,
                                    0, 0, GFX_ASPECT_1x1, GFX_TEXTURECLAMP_WRAP, GFX_TEXTURECLAMP_WRAP,
                                    GFX_TEXTUREFILTER_POINT_SAMPLED, GFX_TEXTUREFILTER_POINT_SAMPLED, 0.0f, false);
  if (id >= 0) GfxTexDownloadMipMap(id, texels.data(), nullptr);
  return id;
}

void FaceDrawTest::Fresh() {
  gRdrCache = RdrCache{-1, -1};
  for (RdrVertex& c : gRdrPoly.corner) {
    float* f = &c.x;
    for (size_t i = 0; i < sizeof(RdrVertex) / sizeof(float); ++i) f[i] = SENTINEL;
  }
}

uint16_t FaceDrawTest::Pixel(int32_t x, int32_t y) {
  uint16_t p = 0;
  GfxLfbReadRegion(GFX_BUFFER_BACKBUFFER, x, y, 1, 1, 2, &p);
  return p;
}
