// Small scenes drawn by the face routines and the picture code through the
// device layer's OpenGL, compared with stored pictures within a small
// per-channel tolerance. The pictures are named after the renderer that drew
// them (llvmpipe_decal.png, ...), since another rasteriser rounds edges and
// filters differently; on a renderer with none stored the comparison is skipped.
//
// After a deliberate change of what is drawn, regenerate the pictures with
// scripts/update-references.sh, or this suite alone with
//   TORVANE_UPDATE_REFERENCES=1 build/tests/backend_d3d/tests_backend_d3d --gtest_filter='D3dSceneReference.*'
// When a scene differs, what was drawn is written next to the test program as
// d3d_actual_<scene>.png.
#include <cctype>
#include <cstdlib>

#include "backend_common/dotfont.h"
#include "support/png_rgb.h"
#include "tools/datakit/lib/scene_textures.h"
#include "picture_fixture.h"

namespace {

// The screen is stored at a quarter of its width and height.
constexpr int32_t STEP = 4;
constexpr int TOLERANCE = 6;

uint16_t Rgb(int r, int g, int b) { return static_cast<uint16_t>((r >> 3) << 11 | (g >> 2) << 5 | b >> 3); }

// The renderer's name up to its first blank, lower case: "llvmpipe".
std::string RendererTag() {
  std::string tag;
  for (const char* p = HalD3dRendererName(); *p && *p != ' '; ++p)
    if (std::isalnum(static_cast<unsigned char>(*p))) tag += static_cast<char>(std::tolower(static_cast<unsigned char>(*p)));
  return tag;
}

class D3dSceneReference : public D3dPictureTest {
 protected:
  // A face over the vertices first..first+count-1, its texture spanning
  // `repeat` times across it.
  Face Quad(uint32_t word, uint16_t first, float repeat = 1.0f) {
    Face f = MakeFace(word, {first, static_cast<uint16_t>(first + 1), static_cast<uint16_t>(first + 2),
                             static_cast<uint16_t>(first + 3)});
    for (size_t k = 0; k < 8; ++k) f.st[k] *= repeat;  // by index: Face is packed
    return f;
  }
  // An opaque flat rectangle on the screen at one depth.
  void Backdrop(float x0, float y0, float x1, float y1, float z, uint32_t word) {
    Place(12, x0, y0, z), Place(13, x1, y0, z), Place(14, x1, y1, z), Place(15, x0, y1, z);
    Face f = Quad(word, 12);
    RdrDrawFaceFlat(&f);
  }

 public:
  void Decal() {
    std::vector<uint16_t> texels(32 * 32);
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x) {
        const uint16_t quadrant[4] = {Rgb(220, 40, 40), Rgb(40, 200, 40), Rgb(40, 60, 220), Rgb(230, 210, 40)};
        texels[static_cast<size_t>(y) * 32 + x] = x == y ? Rgb(255, 255, 255) : quadrant[(y / 16) * 2 + x / 16];
      }
    const int32_t tex = MakeTexture(32, 32, texels);
    // A floor tile seen from above its near edge: the far edge narrower.
    PlaceView(0, -60, -40, 100), PlaceView(1, 60, -40, 100), PlaceView(2, 60, 40, 60), PlaceView(3, -60, 40, 60);
    Face f = Quad(static_cast<uint32_t>(tex), 0);
    RdrDrawFaceDecal(&f);
  }

  void TranslucentClipped() {
    Backdrop(40, 40, 600, 330, 200, 0x906030);
    // One corner behind the near plane: the quad is cut into five corners.
    PlaceView(0, -30, -20, 60), PlaceView(1, 30, -20, 60), PlaceView(2, 30, 20, 4), PlaceView(3, -30, 20, 60);
    vertices_[0].red = 255, vertices_[0].green = 96, vertices_[0].blue = 0;
    Face f = Quad(0x000080, 0);
    RdrDrawFaceFlatAlpha(&f);
  }

  void FoggedStrip() {
    RdrClear(170, 180, 200);
    RdrSetFog(170, 180, 200, 100.0f, 800.0f);
    RdrFogOn();
    // A road of eight slabs below the eye from depth 20 to 900, alternating green.
    for (uint16_t i = 0; i < 8; ++i) {
      const float z0 = 20.0f + 110.0f * i, z1 = z0 + 110.0f;
      PlaceView(0, -40, 20, z0), PlaceView(1, 40, 20, z0), PlaceView(2, 40, 20, z1), PlaceView(3, -40, 20, z1);
      Face f = Quad(i % 2 ? 0x20A040 : 0x108020, 0);
      RdrDrawFaceFlat(&f);
    }
    RdrFogOff();
  }

  void Water() {
    Backdrop(0, 0, 639, 479, 900, 0x60B0D8);  // sand
    std::vector<uint16_t> texels(64 * 64);
    for (int y = 0; y < 64; ++y)
      for (int x = 0; x < 64; ++x) texels[static_cast<size_t>(y) * 64 + x] = (x / 8) % 2 ? Rgb(30, 90, 200) : Rgb(150, 200, 255);
    const int32_t tex = MakeTexture(64, 64, texels);
    RdrAdvanceWave(150.0f, 0.0f);
    // Four rows of water receding; the ripple shifts each row's stripes by its world depth.
    for (int row = 0; row < 4; ++row) {
      const float z0 = 40.0f + 60.0f * row, z1 = z0 + 60.0f;
      PlaceView(0, -60, 15, z1).z = z1 * 4, PlaceView(1, 60, 15, z1).z = z1 * 4;
      PlaceView(2, 60, 15, z0).z = z0 * 4, PlaceView(3, -60, 15, z0).z = z0 * 4;
      Face f = Quad(static_cast<uint32_t>(tex), 0, 2.0f);
      RdrDrawFaceWater(&f);
    }
  }

  void PointAndBilinear() {
    std::vector<uint16_t> texels(8 * 8);
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x)
        texels[static_cast<size_t>(y) * 8 + x] = (x + y) % 2 ? Rgb(240, 240, 240) : Rgb(x * 32, 40, y * 32);
    const int32_t tex = MakeTexture(8, 8, texels);
    gD3d.filtering = 1;
    Place(0, 20, 90, 50), Place(1, 310, 90, 50), Place(2, 310, 380, 50), Place(3, 20, 380, 50);
    Face left = Quad(static_cast<uint32_t>(tex), 0);
    RdrFilterPoint();
    RdrDrawFaceDecal(&left);
    Place(4, 330, 90, 50), Place(5, 620, 90, 50), Place(6, 620, 380, 50), Place(7, 330, 380, 50);
    Face right = Quad(static_cast<uint32_t>(tex), 4);
    RdrFilterBilinear();
    RdrDrawFaceDecal(&right);
  }

  // A 5-5-5 picture of 80 x 60: a gradient with a white frame and diagonal,
  // scaled to the whole display.
  void Picture() {
    dir_.Write("pic.qvr", Qvr(80, 60, [](int32_t x, int32_t y) {
                 if (x == 0 || y == 0 || x == 79 || y == 59 || x == y) return static_cast<uint16_t>(0x7FFF);
                 return static_cast<uint16_t>((x * 31 / 79) << 10 | (y * 31 / 59) << 5 | (31 - x * 31 / 79));
               }));
    uint16_t* block = LfbLoadScreenImage("pic.qvr");
    ASSERT_NE(block, nullptr);
    LfbDrawScreenImage(block);
    MemFree(block);
  }
  void Picture555() {
    Reopen555();
    Picture();
  }

  // Over a striped backdrop: the sun quad added at the light's screen point,
  // an opaque sprite, a translucent one, a turned one and an additive cell.
  void SpritesAndSun() {
    for (int i = 0; i < 4; ++i)
      Backdrop(160.0f * i, 0, 160.0f * i + 159, 479, 900, i % 2 ? 0x503020 : 0x304060);
    std::vector<uint16_t> disc(64 * 64);
    for (int y = 0; y < 64; ++y)
      for (int x = 0; x < 64; ++x) {
        const int d = (x - 32) * (x - 32) + (y - 32) * (y - 32);
        disc[static_cast<size_t>(y) * 64 + x] = d < 900 ? Rgb(255 - d / 4, 230 - d / 4, 120) : 0;
      }
    const int32_t sun = MakeTexture(64, 64, disc);
    gCamera = CameraState{};
    gLight.directionX = -0.3f * 1024, gLight.directionY = 0.2f * 1024, gLight.directionZ = -1024;
    // The quad covers a quarter of the texture: the disc's top-left quarter, four times magnified.
    RdrDrawViewQuad(static_cast<uint32_t>(sun), 40, 30, 20);

    std::vector<uint16_t> ring(16 * 16);  // 1-5-5-5: a ring, clear outside it
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) {
        const int d = (2 * x - 15) * (2 * x - 15) + (2 * y - 15) * (2 * y - 15);
        ring[static_cast<size_t>(y) * 16 + x] = d < 225 ? static_cast<uint16_t>(0x8000 | (d < 100 ? 0x7C00 : 0x03FF)) : 0;
      }
    const int32_t tex = MakeTexture(16, 16, ring, HAL_PIXEL_ARGB1555);
    Sprite sprite{static_cast<uint32_t>(tex), 30.0f, 30.0f, 0.0f, 0.0f, 1.0f, 1.0f};
    DrawSlot slot{};
    slot.owner = &sprite;
    auto at = [&slot](float x, float y, float z, uint32_t alpha) {
      slot.viewX = x, slot.viewY = y, slot.viewZ = z;
      slot.kind = alpha << 8;
    };
    at(-150, 60, 200, 255);
    RdrDrawSprite(&slot);
    at(-50, 60, 200, 0x60);
    RdrDrawSpriteAlpha(&slot);
    std::vector<Face> faces(MESH_SCRATCH_FACES);
    gMesh.faces = faces.data();
    at(50, 60, 200, 0xC0);
    RdrSetAlphaSourceColour(0, 0, 0, 4);
    RdrDrawSpriteRotated(&slot, 255, 255, 80, 128);
    RdrResetAlphaSource();
    gMesh.faces = nullptr;
    at(150, 60, 200, 0xFF);
    RdrSetAdditiveBlend(40, 0, 0, 2);
    RdrDrawSpriteCell(&slot, 0, 60, 0);
    RdrSetNormalBlend();
  }

  // A grass cube turned to show three sides, lit from the upper left, with
  // the kit's sun sheet as its overlay: the glow shows over the faces whose
  // normals point its way, weighted by their light.
  void BlendedCube() {
    Backdrop(0, 0, 639, 479, 900, 0x402818);
    std::string error;
    ASSERT_TRUE(datakit::WriteLooseFiles(datakit::SceneTextureFiles(), ".", &error)) << error;
    auto load = [](const char* name) {
      TextureRecord* record = TexLoad(name);
      const int32_t id = record ? TexDownload(record) : -1;
      TexFree(record);
      return id;
    };
    const int32_t grass = load("grass.3df"), glow = load("glow.3df");
    ASSERT_GE(grass, 0);
    ASSERT_GE(glow, 0);

    // Six sides of 4 corners; the world's normals point into the surface.
    std::vector<Vertex> corners;
    std::vector<Face> sides;
    const int axes[6][3] = {{0, 0, -1}, {0, 0, 1}, {-1, 0, 0}, {1, 0, 0}, {0, -1, 0}, {0, 1, 0}};
    for (const auto& n : axes) {
      // Two directions across the side.
      const int u[3] = {n[1] != 0 ? 1 : 0, n[1] != 0 ? 0 : 1, 0};
      const int v[3] = {n[1] * n[1] != 0 ? 0 : -n[2], 0, n[1] != 0 ? 1 : n[0]};
      Face f{};
      f.type = uint32_t{FACE_TEX_LIT} << 24 | static_cast<uint32_t>(grass);
      f.vertexCount = 4;
      const float su[4] = {-1, 1, 1, -1}, sv[4] = {-1, -1, 1, 1};
      for (int c = 0; c < 4; ++c) {
        Vertex p{};
        p.x = 30.0f * (n[0] + su[c] * u[0] + sv[c] * v[0]);
        p.y = 30.0f * (n[1] + su[c] * u[1] + sv[c] * v[1]);
        p.z = 30.0f * (n[2] + su[c] * u[2] + sv[c] * v[2]);
        // A corner's normal leans out towards the corner, so the overlay moves across a side.
        p.normalX = -(p.x / 30.0f) * 591.0f, p.normalY = -(p.y / 30.0f) * 591.0f, p.normalZ = -(p.z / 30.0f) * 591.0f;
        f.index[c] = static_cast<uint16_t>(corners.size());
        f.st[2 * c] = su[c] < 0 ? 0.0f : 1.0f;
        f.st[2 * c + 1] = sv[c] < 0 ? 0.0f : 1.0f;
        corners.push_back(p);
      }
      f.normalX = -1024.0f * n[0], f.normalY = -1024.0f * n[1], f.normalZ = -1024.0f * n[2];
      sides.push_back(f);
    }
    MeshHeader cube{MESH_TYPE_WORD, 24, 6, sides.data(), corners.data(), {96, 160, 40}, 1};

    Camera camera{};
    CamSet(&camera);
    MatViewFromCamera();
    LightSetColour(255, 255, 255);
    Light light{0.6f, 0.5f, 0.6f, 40.0f, 12.0f};
    LightSet(&light);
    gRdrState.vertexLighting = 1;
    gRdrState.objectNear = gRdrState.nearPlane - 200.0f;
    gRdrState.objectFar = gRdrState.farPlane + 200.0f;
    std::vector<Face> scratch(MESH_SCRATCH_FACES);
    gMesh.faces = scratch.data();
    DrawSlot slot{};
    slot.z = slot.viewZ = 150.0f;
    RdrDrawObjectBlended(&slot, &cube, static_cast<uint32_t>(glow), 128.0f);
    gMesh.faces = nullptr;
  }

  void DotFontLine() { DotFontPrintf(4, 4, "TORVANE 0123456789 .- abc"); }

  // A part of the back buffer, every step-th pixel, 8 bits a channel.
  std::vector<uint8_t> Shown(const HalRect& area, int32_t step) {
    const std::vector<uint16_t> back = Back();
    std::vector<uint16_t> small;
    for (int32_t y = area.top; y < area.bottom; y += step)
      for (int32_t x = area.left; x < area.right; x += step) {
        const uint16_t p = back[static_cast<size_t>(y) * gD3d.width + x];
        small.push_back(gD3d.backBuffer565 ? p : LfbRgb555To565(p));
      }
    return Rgb565ToRgb(small);
  }
};

// Faded text and the screen glows blend by texture alpha x vertex alpha (alpha
// source 3): the clear texels around a glyph leave the screen as it was, and
// the glyph itself is laid over it by the fade.
using D3dFadedGlyph = D3dSceneReference;
TEST_F(D3dFadedGlyph, TheClearTexelsAroundAFadedGlyphLeaveTheScreenAsItWas) {
  std::vector<uint16_t> glyph(16 * 16, 0);  // 4-4-4-4, clear
  for (int y = 4; y < 12; ++y)
    for (int x = 4; x < 12; ++x) glyph[static_cast<size_t>(y) * 16 + x] = 0xFFFF;
  const int32_t tex = MakeTexture(16, 16, glyph, HAL_PIXEL_ARGB4444);
  RdrClear(0, 0, 0);
  Backdrop(0, 0, 639, 479, 900, 0x804020);  // blue 128, green 64, red 32
  // 20 pixels a texel: texel (1, 1) is clear, texel (8, 8) the glyph.
  Place(0, 100, 100, 50), Place(1, 420, 100, 50), Place(2, 420, 420, 50), Place(3, 100, 420, 50);
  Face f = Quad(static_cast<uint32_t>(tex), 0);
  RdrSetAlphaSourceColour(0, 0, 0, 3);
  RdrDrawFaceTexAlpha(&f, 128.0f);
  RdrResetAlphaSource();
  const std::vector<uint8_t> rgb = Shown({0, 0, 640, 480}, 1);
  auto at = [&rgb](int x, int y) { return std::vector<int>(rgb.begin() + (y * 640 + x) * 3, rgb.begin() + (y * 640 + x) * 3 + 3); };
  EXPECT_EQ(at(130, 130), at(50, 50));
  // Half way from the backdrop to white.
  const std::vector<int> glyphPixel = at(270, 270);
  EXPECT_NEAR(glyphPixel[0], (32 + 255) / 2, 8);
  EXPECT_NEAR(glyphPixel[2], (128 + 255) / 2, 8);
}

TEST_F(D3dSceneReference, ScenesMatchTheStoredPictures) {
  // The whole screen at a quarter size, unless a scene needs single pixels.
  const struct {
    const char* name;
    void (D3dSceneReference::*draw)();
    HalRect area = {0, 0, 640, 480};
    int32_t step = STEP;
  } scenes[] = {
      {"decal", &D3dSceneReference::Decal},
      {"translucent_clipped", &D3dSceneReference::TranslucentClipped},
      {"fogged_strip", &D3dSceneReference::FoggedStrip},
      {"water", &D3dSceneReference::Water},
      {"point_bilinear", &D3dSceneReference::PointAndBilinear},
      {"picture_565", &D3dSceneReference::Picture},
      {"picture_555", &D3dSceneReference::Picture555},
      {"sprites_sun", &D3dSceneReference::SpritesAndSun},
      {"dot_font", &D3dSceneReference::DotFontLine, {0, 0, 136, 12}, 1},
      {"blended_cube", &D3dSceneReference::BlendedCube, {160, 80, 480, 400}, 2},
  };
  const std::string tag = RendererTag();
  const std::string first = std::string(D3D_TEST_SOURCE_DIR) + "/" + tag + "_" + scenes[0].name + ".png";
  if (!UpdatingReferences() && !std::filesystem::exists(first))
    GTEST_SKIP() << "no pictures stored for the renderer " << HalD3dRendererName();
  for (const auto& scene : scenes) {
    SCOPED_TRACE(scene.name);
    RdrClear(0, 0, 0);
    (this->*scene.draw)();
    const std::vector<uint8_t> rgb = Shown(scene.area, scene.step);
    const int32_t w = (scene.area.right - scene.area.left) / scene.step;
    const int32_t h = (scene.area.bottom - scene.area.top) / scene.step;
    ASSERT_EQ(rgb.size(), static_cast<size_t>(w) * h * 3);
    const std::string path = std::string(D3D_TEST_SOURCE_DIR) + "/" + tag + "_" + scene.name + ".png";
    if (UpdatingReferences()) {
      ASSERT_TRUE(WritePng(path, rgb, w, h)) << path;
      continue;
    }
    std::vector<uint8_t> stored;
    uint32_t sw = 0, sh = 0;
    ASSERT_TRUE(ReadPng(path, &stored, &sw, &sh)) << path;
    ASSERT_EQ(sw, static_cast<uint32_t>(w));
    ASSERT_EQ(sh, static_cast<uint32_t>(h));
    size_t differing = 0, at = 0;
    for (size_t i = 0; i < rgb.size(); ++i)
      if (std::abs(rgb[i] - stored[i]) > TOLERANCE && differing++ == 0) at = i / 3;
    const std::string actual = std::string(D3D_TEST_BINARY_DIR) + "/d3d_actual_" + scene.name + ".png";
    if (differing) WritePng(actual, rgb, w, h);
    EXPECT_EQ(differing, 0u) << "first difference at " << at % w << "," << at / w << "; drawn: " << actual;
  }
  if (UpdatingReferences()) GTEST_SKIP() << "rewrote the pictures of " << tag;
}

}  // namespace
