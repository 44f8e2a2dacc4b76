// The kit's placed objects drawn through the rasterizer by their draw
// callbacks, compared pixel for pixel with stored pictures
// (tests/presentation/reference_decor_<name>.png) in the smallest display
// mode: a row of the desert's kinds with the cows and flags posed between
// frames, the ice's panel, pennant, gates and penguin with their
// reflections, and the looping's floodlight with its glow. After a
// deliberate change of what is drawn, or of the kit's models, regenerate
// them with scripts/update-references.sh, or this suite with
//   TORVANE_UPDATE_REFERENCES=1 build/tests/presentation/tests_decor_objects --gtest_filter='DecorReference.*'
// A picture that differs is written next to the test program as
// decor_actual_<name>.png.
#include <unistd.h>

#include "backend_common/display.h"
#include "backend_common/draw.h"
#include "backend_common/texture.h"
#include "decor_fixture.h"
#include "engine3d/camera.h"
#include "engine3d/sprite.h"
#include "frontend/frontend.h"
#include "hal/gfx/gfx.h"
#include "presentation/fx.h"
#include "presentation/presentation.h"
#include "race/assets.h"
#include "race/race.h"
#include "race/tracks.h"
#include "support/png_rgb.h"
#include "support/test_support.h"
#include "tools/datakit/lib/boot_set.h"

namespace {

struct Put {
  uint16_t type;
  float x, z;
  uint16_t yaw;
};

class DecorReference : public DecorTest {
 protected:
  void SetUp() override {
    DecorTest::SetUp();
    ASSERT_NE(::getcwd(home_, sizeof home_), nullptr);
    std::string error;
    ASSERT_TRUE(datakit::WriteLooseFiles(datakit::BootLooseFiles(), dir_.path().string(), &error)) << error;
    ASSERT_TRUE(datakit::WriteLooseFiles(datakit::BootArchiveFiles(), dir_.path().string(), &error)) << error;
    ASSERT_EQ(::chdir(dir_.path().c_str()), 0);
    DrawListAllocStatic(DRAW_LIST_STATIC);
    LightSetColour(255, 255, 255);
    gDecorLogging = false;
  }
  void TearDown() override {
    AssetFreeTrackObjects();
    DecorTest::TearDown();
    ASSERT_EQ(::chdir(home_), 0);
  }

  // Loads the track's objects, places them as the track loader does, and
  // draws every slot through its callback from a camera that looks down the
  // row from above.
  void Draw(int32_t track, const std::vector<Put>& puts) {
    gRace.trackIndex = track;
    AssetLoadTrackObjects();
    ASSERT_TRUE(gFatalErrors.empty());
    gPlacementCount = 0;
    for (const Put& p : puts) gPlacements[gPlacementCount++] = ObjectPlacement{p.yaw, 0, 0, p.type, p.x, 0.0f, p.z};
    gDrawLists.staticCount = 0;
    gObjectCounterCount = 0;
    TrackPlaceObjects();
    // Every animated placement between two frames, each at its own point.
    for (int32_t i = 0; i < gObjectCounterCount; ++i)
      gObjectCounters[i] = ObjectCounter{100.0f, 30.0f + 20.0f * static_cast<float>(i), i % 3};
    gRace.viewIndex = 1;  // posed, not advanced
    RdrClear(150, 170, 200);
    Camera camera{0.0f, 22.0f, -30.0f, 1004.0f, 0.0f, 0.0f};
    CamSet(&camera);
    MatViewFromCamera();
    for (int32_t i = 0; i < gDrawLists.staticCount; ++i) {
      DrawSlot* slot = &gDrawLists.statics[i];
      const Vertex view = ViewOf(slot->x, slot->y, slot->z);
      slot->viewX = view.viewX;
      slot->viewY = view.viewY;
      slot->viewZ = view.viewZ;
      slot->callback(slot, slot->owner);
    }
    EXPECT_TRUE(gFatalErrors.empty());
  }

  void Compare(const std::string& name) {
    const int32_t w = gRdrState.screenWidth, h = gRdrState.screenHeight;
    std::vector<uint16_t> screen(static_cast<size_t>(w) * h);
    ASSERT_TRUE(GfxLfbReadRegion(GFX_BUFFER_BACKBUFFER, 0, 0, w, h, w * 2, screen.data()));
    const std::string source = std::string(PRESENTATION_TEST_SOURCE_DIR) + "/reference_decor_" + name + ".png";
    const std::string actual = std::string(PRESENTATION_TEST_BINARY_DIR) + "/decor_actual_" + name + ".png";
    EXPECT_EQ(MatchReferencePicture(Rgb565ToRgb(screen), w, h, source, actual), "");
  }

  TempDir dir_;
  char home_[4096];
};

TEST_F(DecorReference, TheDesertRowOfKindsMatchesItsPicture) {
  // Cows, drum, fence, oil track, dead bug, cactus, pennant, panel, flags and the invisible post.
  Draw(0, {{12, -60.0f, 110.0f, 256},
           {12, -20.0f, 150.0f, 700},
           {17, 12.0f, 60.0f, 0},
           {19, 40.0f, 170.0f, 0},
           {15, -35.0f, 55.0f, 0},
           {8, -14.0f, 45.0f, 100},
           {9, 85.0f, 200.0f, 0},
           {254, 30.0f, 70.0f, 0},
           {256, 0.0f, 230.0f, 0},
           {255, 55.0f, 95.0f, 0},
           {255, -75.0f, 200.0f, 0},
           {100, 0.0f, 80.0f, 0}});
  Compare("desert");
  if (UpdatingReferences()) GTEST_SKIP() << "rewrote the reference pictures";
}

TEST_F(DecorReference, TheIcePanelPennantAndGatesMirrorInTheIce) {
  gIceReflections = 1;
  Draw(9, {{256, -28.0f, 90.0f, 0},
           {254, 14.0f, 70.0f, 0},
           {243, 38.0f, 100.0f, 768},
           {246, -55.0f, 150.0f, 0},
           {251, 5.0f, 160.0f, 0}});
  // The gate's light went into the glow list for the particle pass.
  EXPECT_GT(gFxGlowList.count, 0);
  Compare("ice");
  if (UpdatingReferences()) GTEST_SKIP() << "rewrote the reference pictures";
}

TEST_F(DecorReference, TheLoopingFloodlightGlowsAtItsLamp) {
  gRace.trackIndex = TRACK_LOOPING;
  AssetLoadTrackTextureLists();  // g5, the floodlight's lamp
  // A glow is the flare sprite, in the particle pass after the scene.
  gFxSprites[FX_SPRITE_FLARE] = ObjCreateSprite("flare.3df", 100.0f, 100.0f);
  ASSERT_NE(gFxSprites[FX_SPRITE_FLARE], nullptr);
  Draw(TRACK_LOOPING, {{260, -20.0f, 150.0f, 0}});
  ASSERT_EQ(gFxGlowList.count, 1);
  gOptions.detail[3] = 1;
  FxClearPools();
  FxDrawParticles();
  ObjFreeSprite(gFxSprites[FX_SPRITE_FLARE]);
  gFxSprites[FX_SPRITE_FLARE] = nullptr;
  Compare("looping_glow");
  if (UpdatingReferences()) GTEST_SKIP() << "rewrote the reference pictures";
}

// The kit's street lights, highway gates and panels, and the looping's
// floodlights: the loader finds each glow texture by name among the
// textures the track loaded, centres the glow on the lamp faces that bear
// it, and the drawn light adds its glow.
class KitGlow : public DecorReference {};

TEST_F(KitGlow, EachLightFindsItsGlowTextureOnItsLampAndAddsItsGlow) {
  struct Case {
    int32_t track;
    uint16_t row;
  };
  const Case cases[] = {{3, 153}, {3, 154}, {3, 155}, {4, 114}, {4, 115}, {4, 116}, {4, 117}, {4, 118}, {6, 260}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "track " << c.track << " row " << c.row);
    gRace.trackIndex = c.track;
    TexMemReset();
    AssetLoadTrackTextureLists();
    gFxGlowList.count = 0;
    Draw(c.track, {{c.row, 0.0f, 150.0f, 0}});
    const ObjectType& type = gObjectTypes[c.row];
    const MeshHeader* model = gObjectModels[c.row];
    ASSERT_NE(model, nullptr);
    ASSERT_NE(type.glow, nullptr);
    const TextureTableEntry* texture = TexFind(type.glow->textureName);
    ASSERT_NE(texture, nullptr) << type.glow->textureName;
    int32_t lampFaces = 0;
    for (uint32_t f = 0; f < model->faceCount; ++f)
      lampFaces += model->faces[f].type == (uint32_t{FACE_TEX_LIT} << 24 | (texture->handle & 0xFFFFFF));
    EXPECT_GT(lampFaces, 0);
    // The lamp tops the light's pole: its centre lies in the model's upper half.
    EXPECT_GT(type.glow->y, (type.minY + type.maxY) * 0.5f);
    EXPECT_EQ(gFxGlowList.count, 1);
    AssetFreeTrackObjects();
  }
}

}  // namespace
