// The kit scene of the scene tests drawn through this back end at 320 x 200
// from its three fixed cameras, compared with the software back end's stored
// pictures of the same views (tests/scene/reference_view<N>.png) by the
// tolerance of support/picture_compare.h, which lets through what the two
// rasterisers may differ in (sub-pixel edges, filtering, fog by w) and is
// shown to be tight: the same comparison fails without the tree model and
// with red and blue swapped.
//
// When a view differs, what was drawn is written next to the test program as
// d3d_scene_view<N>.png.
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "../scene/kit_scene.h"
#include "../scene/scene_support.h"
#include "back_buffer_rgb.h"
#include "backend_d3d/d3d_backend.h"
#include "support/picture_compare.h"
#include "support/png_rgb.h"

namespace {

std::vector<uint8_t> Stored(int view, uint32_t* w, uint32_t* h) {
  std::vector<uint8_t> rgb;
  const std::string path = std::string(SCENE_TEST_SOURCE_DIR) + "/reference_view" + std::to_string(view) + ".png";
  if (!ReadPng(path, &rgb, w, h)) return {};
  return rgb;
}

class D3dKitScene : public SceneTest {
 protected:
  void SetUp() override {
    ASSERT_NE(::getcwd(home_, sizeof home_), nullptr);
    ASSERT_EQ(::chdir(dir_.path().c_str()), 0);
    SceneTest::SetUp();
    ASSERT_TRUE(RdrSetMode(gDisplayModes[0], 1));
    // Filtering on, as the software back end filters its textures.
    gD3d.filtering = 1;
    RdrFilterBilinear();
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

TEST_F(D3dKitScene, FixedViewsMatchTheSoftwarePicturesWithinATightTolerance) {
  std::string error;
  ASSERT_TRUE(KitSceneBuild(&scene_, dir_.path().string(), &error)) << error;
  ASSERT_TRUE(gFatalErrors.empty());
  ASSERT_EQ(gD3d.width, 320);
  ASSERT_EQ(gD3d.height, 200);
  MeshHeader* tree = scene_.models[0];
  // Over the three views: the tiles that differ as drawn, with red and blue
  // swapped, and with the trees left out of the scene.
  size_t drawnTiles = 0, swappedTiles = 0, treelessTiles = 0;
  for (int view = 0; view < KIT_SCENE_CAMERAS; ++view) {
    SCOPED_TRACE("view " + std::to_string(view));
    uint32_t w = 0, h = 0;
    const std::vector<uint8_t> stored = Stored(view, &w, &h);
    ASSERT_EQ(w, 320u);
    ASSERT_EQ(h, 200u);

    KitSceneDraw(scene_, KitSceneCamera(view));
    const std::vector<uint8_t> drawn = D3dBackBufferRgb();
    const size_t tiles = RendererTilesDiffering(drawn, stored, 320, 200);
    if (tiles)
      WritePng(std::string(D3D_TEST_BINARY_DIR) + "/d3d_scene_view" + std::to_string(view) + ".png", drawn, 320, 200);
    EXPECT_EQ(tiles, 0u) << "tiles differing; drawn: d3d_scene_view" << view << ".png";
    drawnTiles += tiles;
    swappedTiles += RendererTilesDiffering(RedBlueSwapped(drawn), stored, 320, 200);

    const uint32_t treeFaces = tree->faceCount;
    tree->faceCount = 0;
    KitSceneDraw(scene_, KitSceneCamera(view));
    tree->faceCount = treeFaces;
    treelessTiles += RendererTilesDiffering(D3dBackBufferRgb(), stored, 320, 200);
  }
  // The tolerance is tight: the same comparison fails without the trees and
  // with red and blue swapped.
  EXPECT_EQ(drawnTiles, 0u);
  EXPECT_GT(treelessTiles, 0u);
  EXPECT_GT(swappedTiles, 0u);
  std::printf("tiles differing: drawn %zu, without the trees %zu, red and blue swapped %zu\n", drawnTiles,
              treelessTiles, swappedTiles);
}

}  // namespace
