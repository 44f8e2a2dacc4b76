// The kit's menu models and textures as the menus load them.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "backend_common/display.h"
#include "engine3d/angle.h"
#include "engine3d/model3ds.h"
#include "backend_common/texture.h"
#include "frontend/menu_icons.h"
#include "frontend/menu_items.h"
#include "frontend/menu_models.h"
#include "platform/pak.h"
#include "support/test_support.h"
#include "menu_kit_folder.h"
#include "tools/datakit/lib/menu_kit.h"

namespace {

class MenuKitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetHalForTest();
    RecordFatalErrors();
    ASSERT_TRUE(RdrOpen(gDisplayModes[2], 1));
    MathBuildTables();
    PakReset();
    std::string error;
    ASSERT_TRUE(MenuKitEnterFolder(dir_.path().string(), &home_, &error)) << error;
  }
  void TearDown() override {
    MenuFreeModels();
    ASSERT_EQ(::chdir(home_.c_str()), 0);
    RdrClose();
  }
  TempDir dir_;
  std::string home_;
};

TEST_F(MenuKitTest, TheButtonAndArrowsLoadResting) {
  gMenuButtons[3] = {12.0f, 3.0f, -106.0f, 40.0f};
  MenuLoadModels();
  ASSERT_NE(gMenuModels.arrows, nullptr);
  ASSERT_NE(gMenuModels.button, nullptr);
  ASSERT_NE(gMenuModels.buttonFrames, nullptr);
  EXPECT_EQ(gMenuModels.buttonFrames->frameCount, 2u);
  // Both rest on the ground; the button is about the 50 pixels its place on
  // the screen has, the arrows the 17 x 36 of theirs.
  auto bounds = [](const MeshHeader* m, int axis, float* lo, float* hi) {
    *lo = 1e9f;
    *hi = -1e9f;
    for (uint32_t i = 0; i < m->vertexCount; ++i) {
      const float v = axis == 0 ? m->vertices[i].x : axis == 1 ? m->vertices[i].y : m->vertices[i].z;
      *lo = std::min(*lo, v);
      *hi = std::max(*hi, v);
    }
  };
  float lo, hi;
  bounds(gMenuModels.button, 1, &lo, &hi);
  EXPECT_NEAR(std::min(std::abs(lo), std::abs(hi)), 0.0f, 0.01f);
  bounds(gMenuModels.button, 0, &lo, &hi);
  EXPECT_NEAR(hi - lo, 50.0f, 0.5f);
  bounds(gMenuModels.arrows, 0, &lo, &hi);
  EXPECT_NEAR(hi - lo, 17.0f, 0.5f);
  bounds(gMenuModels.arrows, 2, &lo, &hi);
  EXPECT_NEAR(hi - lo, 36.0f, 0.5f);
  // The pressed frame lowers the key: the two frames differ but match vertex for vertex.
  const MeshFrame& up = gMenuModels.buttonFrames->frames[0];
  const MeshFrame& down = gMenuModels.buttonFrames->frames[1];
  int moved = 0;
  for (uint32_t i = 0; i < gMenuModels.button->vertexCount; ++i)
    if (up.vertices[i].y != down.vertices[i].y) ++moved;
  EXPECT_GT(moved, 0);
  for (const MenuButtonState& b : gMenuButtons) {
    EXPECT_EQ(b.angle, -256.0f);
    EXPECT_EQ(b.start, -256.0f);
    EXPECT_EQ(b.target, -256.0f);
    EXPECT_EQ(b.time, 0.0f);
  }
  MenuFreeModels();
  EXPECT_EQ(gMenuModels.button, nullptr);
  EXPECT_TRUE(gFatalErrors.empty());
}

TEST_F(MenuKitTest, TheFontTexturesHoldTheGlyphsWhereTheDrumsLookForThem) {
  const auto textures = datakit::MenuTextures();
  ASSERT_EQ(textures.size(), 4u);
  auto lit = [](const datakit::KitTexture& t, int u0, int v0, int w, int h) {
    int n = 0;
    for (int v = v0; v < v0 + h; ++v)
      for (int u = u0; u < u0 + w; ++u) n += (t.texels[static_cast<size_t>(v * 256 + u)] & 0x7FFF) != 0;
    return n;
  };
  // Glyph 36 (blank) is empty, 'A' (0) and '9' (35, the second texture's row 0) are drawn.
  EXPECT_GT(lit(textures[0], 0, 0, 32, 64), 0);
  EXPECT_GT(lit(textures[1], 3 * 32, 0, 32, 64), 0);
  EXPECT_EQ(lit(textures[1], 4 * 32, 0, 32, 64), 0);
  // The pointer fills the cell the drums never use.
  EXPECT_GT(lit(textures[1], datakit::MENU_POINTER_U, datakit::MENU_POINTER_V, 31, 63), 200);
}

TEST_F(MenuKitTest, TheMenuTexturesLoadFontsKeyedAndIconsNot) {
  TexMemReset();
  MenuLoadTextures();
  ASSERT_EQ(gTextureTable.count, 4);
  EXPECT_EQ(gMenu.fontEntry[0], 0);
  EXPECT_EQ(gMenu.fontEntry[1], 1);
  EXPECT_EQ(gMenu.iconTexture[0], static_cast<int32_t>(gTextureTable.entries[2].handle));
  EXPECT_EQ(gMenu.iconTexture[1], static_cast<int32_t>(gTextureTable.entries[3].handle));
  EXPECT_STREQ(gTextureTable.entries[1].key, "TYPHAB1");
  EXPECT_EQ(+gTextureTable.entries[0].keyRed, 0);
  EXPECT_EQ(+gTextureTable.entries[1].keyBlue, 0);
  EXPECT_EQ(+gTextureTable.entries[2].keyRed, 0xFFFF);
  EXPECT_EQ(+gTextureTable.entries[3].keyRed, 0xFFFF);
  EXPECT_EQ(gRdrState.colourKeyR, -1);
  EXPECT_TRUE(gFatalErrors.empty());
}

}  // namespace
