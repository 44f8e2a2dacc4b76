// The drum ring mesh and the software back end's glyph mapping on it.
#include <gtest/gtest.h>

#include "backend_common/drum_glyph.h"
#include "backend_common/texture.h"
#include "engine3d/angle.h"
#include "frontend/menu_drum.h"
#include "menu_ring_cases.h"
#include "platform/mem.h"

namespace {

class MenuRingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MemPoolInit();
    MathBuildTables();
    MenuBuildDrumRing();
  }
  void TearDown() override { MenuFreeDrumRing(); }
};

TEST_F(MenuRingTest, TheRingFollowsItsCircle) {
  const MeshHeader& ring = gMenuDrumRing;
  ASSERT_EQ(+ring.vertexCount, 32u);
  ASSERT_EQ(ring.faceCount, 16u);
  for (int i = 0; i < 16; ++i) {
    for (int side = 0; side < 2; ++side) {
      const Vertex& v = ring.vertices[2 * i + side];
      EXPECT_EQ(v.x, side == 0 ? -10.0f : 10.0f);
      EXPECT_EQ(v.y, 26.0f * SineTable[(64 * i + 256) & 1023]) << i;
      EXPECT_EQ(v.z, 26.0f * SineTable[(64 * i) & 1023]) << i;
    }
    const Face& f = ring.faces[i];
    EXPECT_EQ(+f.vertexCount, 4);
    EXPECT_EQ(f.type >> 24, uint32_t{FACE_TEX_LIT});
    const int next = i == 15 ? 0 : 2 * i + 2;
    EXPECT_EQ(+f.index[0], 2 * i);
    EXPECT_EQ(+f.index[1], 2 * i + 1);
    EXPECT_EQ(+f.index[2], next + 1);
    EXPECT_EQ(+f.index[3], next);
    // The normals were rebuilt: every face looks away from the axis.
    const float cy = (ring.vertices[2 * i].y + ring.vertices[next].y) / 2;
    const float cz = (ring.vertices[2 * i].z + ring.vertices[next].z) / 2;
    EXPECT_NE(f.normalY * cy + f.normalZ * cz, 0.0f) << i;
  }
  // A second build leaves one ring, the first one's arrays freed.
  const uint32_t used = MemPoolUsedBytes();
  MenuBuildDrumRing();
  EXPECT_EQ(MemPoolUsedBytes(), used);
  MenuFreeDrumRing();
  EXPECT_EQ(gMenuDrumRing.faces, nullptr);
  EXPECT_EQ(gMenuDrumRing.faceCount, 0u);
}

TEST_F(MenuRingTest, TheSoftwareBackEndMapsGlyphsInTexels) {
  gTextureTable.count = 2;
  gTextureTable.entries[0].handle = 5;
  gTextureTable.entries[1].handle = 9;
  for (const RingCase& c : RING_CASES) {
    MenuDrumMapGlyph(&gMenuDrumRing, c.position, 0, 1);
    for (const RingFace& want : c.faces) {
      const Face& f = gMenuDrumRing.faces[want.face];
      SCOPED_TRACE(testing::Message() << "position " << c.position << " face " << want.face);
      EXPECT_EQ(+f.type, 0x02000000u | (want.font == 0 ? 5u : 9u));
      const float u0 = static_cast<float>(want.cellU), u1 = u0 + 31;
      const float v = static_cast<float>(want.cellV + want.top);
      const float st[8] = {u0, v, u1, v, u1, v - 7, u0, v - 7};
      for (int k = 0; k < 8; ++k) EXPECT_EQ(+f.st[k], st[k]) << k;
    }
  }
}

}  // namespace
