// The kit-made scene (terrain with water, placed models, billboard bushes,
// the sun glow and lens flare, fog) drawn headless from the three fixed
// cameras and compared pixel for pixel with stored pictures. The scene is
// drawn in the smallest display mode (320x200) so the stored pictures stay
// small; the benchmark draws it at 640x480.
//
// After a deliberate change of what the scene draws, regenerate the pictures
// (tests/scene/reference_view<N>.png, and reference_view<N>_objects.png without
// the billboards and the sun) with scripts/update-references.sh, or
// this suite alone with
//   TORVANE_UPDATE_REFERENCES=1 build/tests/scene/tests_scene_reference --gtest_filter='SceneReference.*'
// When a view differs, what was drawn is written next to the test program as
// scene_actual_view<N>.png.
#include <unistd.h>

#include <string>
#include <vector>

#include "hal/gfx/gfx.h"
#include "kit_scene.h"
#include "scene_support.h"
#include "support/png_rgb.h"

namespace {

std::string ReferencePath(int view) {
  return std::string(SCENE_TEST_SOURCE_DIR) + "/reference_view" + std::to_string(view) + ".png";
}

// The same views without the billboards and the sun's glow and flare.
std::string ObjectsOnlyPath(int view) {
  return std::string(SCENE_TEST_SOURCE_DIR) + "/reference_view" + std::to_string(view) + "_objects.png";
}

std::string ActualPath(int view) {
  return std::string(SCENE_TEST_BINARY_DIR) + "/scene_actual_view" + std::to_string(view) + ".png";
}

// The back buffer as 8-bit RGB.
std::vector<uint8_t> ScreenRgb(int32_t w, int32_t h) {
  std::vector<uint16_t> screen(static_cast<size_t>(w) * h);
  if (!GfxLfbReadRegion(GFX_BUFFER_BACKBUFFER, 0, 0, w, h, w * 2, screen.data())) return {};
  return Rgb565ToRgb(screen);
}

class SceneReference : public SceneTest {
 protected:
  void SetUp() override {
    ASSERT_NE(::getcwd(home_, sizeof home_), nullptr);
    ASSERT_EQ(::chdir(dir_.path().c_str()), 0);
    SceneTest::SetUp();
    ASSERT_TRUE(RdrSetMode(gDisplayModes[0], 1));
  }
  void TearDown() override {
    KitSceneFree(&scene_);
    SceneTest::TearDown();
    ASSERT_EQ(::chdir(home_), 0);
  }
  TempDir dir_;
  char home_[4096];
  KitScene scene_{};
};

TEST_F(SceneReference, EveryFixedViewMatchesItsStoredPicture) {
  std::string error;
  ASSERT_TRUE(KitSceneBuild(&scene_, dir_.path().string(), &error)) << error;
  ASSERT_TRUE(gFatalErrors.empty());
  const int32_t w = gRdrState.screenWidth, h = gRdrState.screenHeight;
  ASSERT_EQ(w, 320);
  ASSERT_EQ(h, 200);
  for (int picture = 0; picture < 2 * KIT_SCENE_CAMERAS; ++picture) {
    const int view = picture % KIT_SCENE_CAMERAS;
    const bool objectsOnly = picture >= KIT_SCENE_CAMERAS;
    const std::string path = objectsOnly ? ObjectsOnlyPath(view) : ReferencePath(view);
    SCOPED_TRACE(path);
    KitSceneLayers layers;
    layers.billboards = layers.sun = !objectsOnly;
    KitSceneDraw(scene_, KitSceneCamera(view), layers);
    EXPECT_EQ(MatchReferencePicture(ScreenRgb(w, h), w, h, path, ActualPath(picture)), "");
  }
  if (UpdatingReferences()) GTEST_SKIP() << "rewrote the reference pictures";
}

// The whole scene at the game's 640x480.
class KitSceneDrawn : public SceneReference {
 protected:
  void SetUp() override {
    SceneReference::SetUp();
    ASSERT_TRUE(RdrSetMode(gDisplayModes[2], 1));
  }
};

TEST_F(KitSceneDrawn, EveryFixedViewShowsGroundBelowTheSky) {
  std::string error;
  ASSERT_TRUE(KitSceneBuild(&scene_, dir_.path().string(), &error)) << error;
  for (int view = 0; view < KIT_SCENE_CAMERAS; ++view) {
    RdrClear(0, 0, 0);
    KitSceneDraw(scene_, KitSceneCamera(view));
    // The ground fills the middle of the lower half in every view: most of
    // those pixels differ from the sky's clear colour.
    const uint16_t sky = static_cast<uint16_t>((KIT_SCENE_FOG_RED >> 3) << 11 | (KIT_SCENE_FOG_GREEN >> 2) << 5 |
                                               KIT_SCENE_FOG_BLUE >> 3);
    std::vector<uint16_t> row(640);
    for (int y = 300; y <= 380; y += 40) {
      ASSERT_TRUE(GfxLfbReadRegion(GFX_BUFFER_BACKBUFFER, 0, y, 640, 1, 1280, row.data()));
      int lit = 0;
      for (uint16_t p : row) lit += p != sky;
      EXPECT_GT(lit, 320) << "view " << view << " row " << y;
    }
  }
}

}  // namespace
