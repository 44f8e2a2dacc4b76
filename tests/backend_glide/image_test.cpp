// A lit, textured cube written by the data kit, read back through the 3D
// library's record loader and drawn through the real rasterizer.
//
// The frames are pinned by a checksum of the back buffer. After a deliberate
// change of the pixels, run with TORVANE_FACEDRAW_DUMP=<folder> to write the
// frames as PPM pictures, look at them, and pin the printed checksums.
#include <cstdio>
#include <cstdlib>

#include "backend_common/draw.h"
#include "facedraw_support.h"
#include "tools/datakit/lib/mesh_writer.h"

namespace {

class CubeImageTest : public FaceDrawTest {
 protected:
  void SetUp() override {
    FaceDrawTest::SetUp();
    Camera camera{};
    CamSet(&camera);
    MatViewFromCamera();
    slot_.z = 20.0f;
    slot_.viewZ = 20.0f;
    std::vector<uint16_t> checker(16 * 16);
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) checker[y * 16 + x] = ((x / 4 + y / 4) & 1) ? 0xFFFF : 0x7BEF;
    checker_ = GfxTexAllocateMemory(GFX_TMU0, GFX_MIPMAPLEVELMASK_BOTH, 16, 16, GFX_TEXFMT_RGB_565,
                                    GFX_MIPMAP_DISABLE, 0, 0, GFX_ASPECT_1x1, GFX_TEXTURECLAMP_WRAP,
                                    GFX_TEXTURECLAMP_WRAP, GFX_TEXTUREFILTER_POINT_SAMPLED,
                                    GFX_TEXTUREFILTER_POINT_SAMPLED, 0.0f, false);
    GfxTexDownloadMipMap(checker_, checker.data(), nullptr);
    white_ = SolidTexture(0xFFFF);
  }

  // The kit's cube through a record file and the game's loader.
  MeshHeader* LoadCube(int32_t texture) {
    datakit::KitMesh kit = datakit::KitCube(3.0f, uint32_t{FACE_TEX_LIT} << 24 | static_cast<uint32_t>(texture));
    dir_.Write("cube.msh", [&] {
      datakit::Bytes b = datakit::MeshRecordsWrite(kit);
      return std::string(b.begin(), b.end());
    }());
    MeshHeader* mesh = MeshLoadRecords((dir_ / "cube.msh").c_str());
    EXPECT_NE(mesh, nullptr);
    return mesh;
  }

  static uint64_t FrameChecksum(const char* name) {
    std::vector<uint16_t> frame(640 * 480);
    GfxLfbReadRegion(GFX_BUFFER_BACKBUFFER, 0, 0, 640, 480, 640 * 2, frame.data());
    uint64_t h = 1469598103934665603ull;
    for (uint16_t p : frame) {
      h = (h ^ (p & 0xFF)) * 1099511628211ull;
      h = (h ^ (p >> 8)) * 1099511628211ull;
    }
    if (const char* folder = std::getenv("TORVANE_FACEDRAW_DUMP")) {
      std::string path = std::string(folder) + "/" + name + ".ppm";
      if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fprintf(f, "P6 640 480 255\n");
        for (uint16_t p : frame) {
          unsigned char rgb[3] = {static_cast<unsigned char>((p >> 11) << 3),
                                  static_cast<unsigned char>(((p >> 5) & 0x3F) << 2),
                                  static_cast<unsigned char>((p & 0x1F) << 3)};
          std::fwrite(rgb, 1, 3, f);
        }
        std::fclose(f);
      }
      std::printf("%s: 0x%016llx\n", name, static_cast<unsigned long long>(h));
    }
    return h;
  }

  DrawSlot slot_{};
  int32_t checker_ = -1, white_ = -1;
  TempDir dir_;
};

TEST_F(CubeImageTest, KitCubeReadsBackThroughTheRecordLoader) {
  MeshHeader* mesh = LoadCube(white_);
  ASSERT_NE(mesh, nullptr);
  EXPECT_EQ(mesh->vertexCount, 24u);
  EXPECT_EQ(mesh->faceCount, 6u);
  datakit::KitMesh kit = datakit::KitCube(3.0f, 0);
  for (uint32_t i = 0; i < 24; ++i) {
    EXPECT_EQ(+mesh->vertices[i].x, kit.vertices[i].x);
    EXPECT_EQ(+mesh->vertices[i].normalZ, kit.vertices[i].normalZ);
  }
  EXPECT_EQ(+mesh->faces[5].index[3], 23);
  EXPECT_EQ(mesh->faces[0].type >> 24, uint32_t{FACE_TEX_LIT});
}

// The side facing the camera shows the white texture times its light value.
TEST_F(CubeImageTest, FrontSideCarriesItsLight) {
  MeshHeader* mesh = LoadCube(white_);
  ASSERT_NE(mesh, nullptr);
  struct Case {
    float intensity, ambient, light;
  } cases[] = {{24.0f, 10.0f, 56.0f}, {-40.0f, 10.0f, 10.0f}, {40.0f, 0.0f, 63.0f}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.light);
    Light light{0, 0, 1, c.intensity, c.ambient};
    LightSet(&light);
    RdrClear(0, 0, 40);
    RdrDrawObjectLit(&slot_, mesh);
    int expected = static_cast<int>(c.light * 3.984375f);
    uint16_t p = Pixel(320, 240);
    EXPECT_NEAR((p >> 11) << 3, expected, 8);
    EXPECT_EQ(p >> 11, p & 0x1F);
    EXPECT_EQ(Pixel(5, 5), 0x0005);  // the clear colour, blue 40
    // The side at z = 17 holds the depth.
    EXPECT_EQ(GfxReadDepth(320, 240), static_cast<uint16_t>(262140.0f * (1.0f / 17.0f)));
  }
}

TEST_F(CubeImageTest, ReferenceFrames) {
  MeshHeader* mesh = LoadCube(checker_);
  ASSERT_NE(mesh, nullptr);
  Light light{0.6f, -0.5f, 1.0f, 30.0f, 12.0f};
  LightSet(&light);

  RdrClear(20, 30, 50);
  mesh->angle[0] = 90;
  mesh->angle[1] = 150;
  mesh->angle[2] = 40;
  RdrDrawObjectLit(&slot_, mesh);
  uint64_t turned = FrameChecksum("cube_lit_turned");

  RdrClear(20, 30, 50);
  LightSetColour(255, 180, 90);
  RdrColourLightOn();
  mesh->angle[1] = 350;
  slot_.x = -4.0f;
  slot_.z = 7.0f;  // near enough for the near plane to cut the nearest edge
  RdrDrawObjectYawLit(&slot_, mesh);
  uint64_t coloured = FrameChecksum("cube_yaw_coloured_light");

  RdrClear(20, 30, 50);
  RdrLightingOff();
  RdrDrawObjectYawLit(&slot_, mesh);
  uint64_t unlit = FrameChecksum("cube_yaw_unlit");

  EXPECT_NE(turned, coloured);
  EXPECT_NE(coloured, unlit);
  EXPECT_EQ(turned, 0xf3b480fc2fe33a4aull);
  EXPECT_EQ(coloured, 0xbf9decb778cb5697ull);
  EXPECT_EQ(unlit, 0x5123a90744a354efull);
}

}  // namespace
