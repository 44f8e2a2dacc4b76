// The menus on torvaned3d's back end: the resolution rule (a size is offered
// when the driver lists it and the video memory left holds it), the drums'
// glyph mapping, and the main page's drums drawn against the software back
// end's stored picture.
#include "back_buffer_rgb.h"
#include "backend_common/drum_glyph.h"
#include "d3d_fixture.h"
#include "engine3d/angle.h"
#include "frontend/menu_icons.h"
#include "frontend/menu_items.h"
#include "menu_frames.h"
#include "menu_ring_cases.h"
#include "platform/mem.h"
#include "support/picture_compare.h"

namespace {

TEST_F(D3dBackendTest, MenuResolutionsFollowTheDriverAndItsMemory) {
  HalDevice d = HalDeviceDefault();
  d.localVideoMemory = 4000000;
  d.textureMemory = 2000001;  // a budget of 2,000,000 bytes
  HalDevicesSet({d});
  Open();
  EXPECT_EQ(MenuEnableResolutions(), 2);
  std::vector<int> rows;
  for (int r = 30; r < 40; ++r)
    if (gMenuItems[static_cast<size_t>(r)].enabled) rows.push_back(r);
  EXPECT_EQ(rows, (std::vector<int>{30, 31, 32, 35, 36, 37}));
}

// torvaned3d samples in 0..1: a cell's origin on the nominal 256 texels, the
// offsets within it on the texture's own size.
TEST(MenuDrumMapGlyphD3d, GlyphsMapInUnitsOfTheFontsSize) {
  MemPoolInit();
  MathBuildTables();
  MenuBuildDrumRing();
  gTextureTable.count = 2;
  gTextureTable.entries[0].handle = 0;
  gTextureTable.entries[0].sRange = 256;
  gTextureTable.entries[0].tRange = 256;
  gTextureTable.entries[1].handle = 1;
  gTextureTable.entries[1].sRange = 256;
  gTextureTable.entries[1].tRange = 128;
  for (const RingCase& c : RING_CASES) {
    MenuDrumMapGlyph(&gMenuDrumRing, c.position, 0, 1);
    for (const RingFace& want : c.faces) {
      const Face& f = gMenuDrumRing.faces[want.face];
      SCOPED_TRACE(testing::Message() << "position " << c.position << " face " << want.face);
      EXPECT_EQ(+f.type, 0x02000000u | static_cast<uint32_t>(want.font));
      const float h = want.font == 0 ? 256.0f : 128.0f;
      const float s0 = want.cellU / 256.0f, t0 = want.cellV / 256.0f;
      const float s1 = s0 + 31 / 256.0f;
      const float top = t0 + want.top / h, bottom = t0 + (want.top - 7) / h;
      const float st[8] = {s0, top, s1, top, s1, bottom, s0, bottom};
      for (int k = 0; k < 8; ++k) EXPECT_FLOAT_EQ(f.st[k], st[k]) << k;
    }
  }
  MenuFreeDrumRing();
}


class MenuFramesD3d : public D3dBackendTest {
 protected:
  void SetUp() override {
    D3dBackendTest::SetUp();
    RecordFatalErrors();
    Open();
    ASSERT_TRUE(MenuFramesEnter(dir_.path().string()));
  }
  void TearDown() override {
    MenuFramesLeave();
    D3dBackendTest::TearDown();
  }
  TempDir dir_;
};

// The same 13 frames of the roll as the software back end's picture: every
// glyph in its place within the tolerance of the two rasterisers, which is
// tight enough to miss the drums on the background alone.
TEST_F(MenuFramesD3d, TheMainDrumsMatchTheSoftwarePicture) {
  std::vector<uint8_t> stored;
  uint32_t w = 0, h = 0;
  ASSERT_TRUE(ReadPng(MenuFramePath("menu_drums"), &stored, &w, &h));
  ASSERT_EQ(w, static_cast<uint32_t>(MENU_DRUMS_RECT.w));
  ASSERT_EQ(h, static_cast<uint32_t>(MENU_DRUMS_RECT.h));
  EXPECT_TRUE(MenuFramesRollDrums(13));
  const std::vector<uint8_t> drawn = MenuFrameCut(D3dBackBufferRgb(), MENU_DRUMS_RECT);
  const size_t tiles = RendererTilesDiffering(drawn, stored, MENU_DRUMS_RECT.w, MENU_DRUMS_RECT.h);
  if (tiles) WritePng(MenuFrameActualPath("menu_drums_d3d"), drawn, MENU_DRUMS_RECT.w, MENU_DRUMS_RECT.h);
  EXPECT_EQ(tiles, 0u) << "drawn: " << MenuFrameActualPath("menu_drums_d3d");
  RdrClear(0, 0, 0);
  MenuDrawBackground();
  const std::vector<uint8_t> background = MenuFrameCut(D3dBackBufferRgb(), MENU_DRUMS_RECT);
  EXPECT_GT(RendererTilesDiffering(background, stored, MENU_DRUMS_RECT.w, MENU_DRUMS_RECT.h), 0u);
  EXPECT_TRUE(gFatalErrors.empty());
}

}  // namespace
