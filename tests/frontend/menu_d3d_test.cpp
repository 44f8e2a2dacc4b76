// The menus' resolution rule asked of torvaned3d's back end: a size is
// offered when the driver lists it and the video memory left holds it.
#include "backend_common/drum_glyph.h"
#include "d3d_fixture.h"
#include "engine3d/angle.h"
#include "frontend/menu_items.h"
#include "menu_ring_cases.h"
#include "platform/mem.h"

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

}  // namespace
