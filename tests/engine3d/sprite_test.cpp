#include "engine3d/sprite.h"

#include <unistd.h>

#include "backend_common/display.h"
#include "backend_common/texture.h"
#include "hal/gfx/gfx.h"
#include "platform/mem.h"
#include "support/test_support.h"
#include "tools/datakit/lib/picture_writer.h"
#include "tools/datakit/lib/texture_3df.h"

namespace {

class Sprites : public ::testing::Test {
 protected:
  void SetUp() override {
    getcwd(oldDir_, sizeof oldDir_);
    ASSERT_EQ(chdir(dir_.path().c_str()), 0);
    Write3df("fx/flame.3df", 64, 64);
    Write3df("flame.3df", 64, 64);
    Write3df("banner.3df", 256, 64);
    ASSERT_TRUE(RdrOpen(gDisplayModes[2], 1));
  }
  void TearDown() override {
    RdrClose();
    chdir(oldDir_);
  }
  void Write3df(const std::string& name, uint32_t w, uint32_t h) {
    datakit::Bytes file = datakit::Make3df(datakit::TEX3DF_ARGB1555, w, h,
                                           datakit::PatternTexels(datakit::TEX_ARGB1555, w, h, 1));
    ASSERT_FALSE(file.empty());
    dir_.Write(name, std::string(file.begin(), file.end()));
  }

  TempDir dir_;
  char oldDir_[4096];
};

TEST_F(Sprites, FilteredSpritesKeepTwoTexelsOffTheEdge) {
  Sprite* a = ObjCreateSprite("fx\\flame.3df", 20.0f, 10.0f);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->type >> 24, 0x04u);
  EXPECT_FLOAT_EQ(a->halfWidth, 10.0f);
  EXPECT_FLOAT_EQ(a->halfHeight, 5.0f);
  EXPECT_EQ(std::vector<float>({a->s0, a->t0, a->s1, a->t1}), std::vector<float>({2.0f, 2.0f, 254.0f, 254.0f}));

  Sprite* b = ObjCreateSprite("flame.3df", 4.0f, 4.0f);  // found in the table by its key
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->type, a->type);
  EXPECT_EQ(gTextureTable.count, 1);

  Sprite* wide = ObjCreateSprite("banner.3df", 4.0f, 4.0f);  // 4:1, so t spans 64
  ASSERT_NE(wide, nullptr);
  EXPECT_FLOAT_EQ(wide->s1, 254.0f);
  EXPECT_FLOAT_EQ(wide->t1, 62.0f);
  for (Sprite* s : {a, b, wide}) ObjFreeSprite(s);
  ObjFreeSprite(nullptr);
}

TEST_F(Sprites, PointSpritesAndCrossesUseTheWholeTexture) {
  Sprite* p = ObjCreateSpritePoint("flame.3df", 8.0f, 8.0f);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(std::vector<float>({p->s0, p->t0, p->s1, p->t1}), std::vector<float>({0.0f, 0.0f, 255.0f, 255.0f}));
  Sprite* c = ObjCreateCross("flame.3df", 8.0f, 8.0f);
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->type, (p->type & 0x00FFFFFFu) | 0x0B000000u);
}

TEST_F(Sprites, AMissingTextureGivesNoSpriteAndLeaksNothing) {
  uint32_t before = MemPoolUsedBytes();
  EXPECT_EQ(ObjCreateSprite("nothere.3df", 1.0f, 1.0f), nullptr);
  EXPECT_EQ(ObjCreateCross("nothere.3df", 1.0f, 1.0f), nullptr);
  EXPECT_EQ(MemPoolUsedBytes(), before);
  EXPECT_EQ(gTextureTable.count, 0);
}

TEST_F(Sprites, ASpriteTexturePastTheLowByteIsAnErrorAtLoad) {
  // Fill texture ids 0..254 so the next two downloads get 255 and 256.
  for (int i = 0; i < 255; ++i)
    ASSERT_EQ(GfxTexAllocateMemory(GFX_TMU0, GFX_MIPMAPLEVELMASK_BOTH, 8, 8, GFX_TEXFMT_RGB_565, GFX_MIPMAP_DISABLE, 0,
                                   0, GFX_ASPECT_1x1, GFX_TEXTURECLAMP_WRAP, GFX_TEXTURECLAMP_WRAP,
                                   GFX_TEXTUREFILTER_POINT_SAMPLED, GFX_TEXTUREFILTER_POINT_SAMPLED, 0.0f, false),
              i);
  RecordFatalErrors();
  Sprite* last = ObjCreateSprite("flame.3df", 4.0f, 4.0f);
  ASSERT_NE(last, nullptr);
  EXPECT_EQ(last->type, 0x04000000u | 255u);
  EXPECT_TRUE(gFatalErrors.empty());

  const uint32_t before = MemPoolUsedBytes();
  EXPECT_EQ(ObjCreateSprite("banner.3df", 4.0f, 4.0f), nullptr);        // downloaded as 256
  EXPECT_EQ(ObjCreateCross("banner.3df", 4.0f, 4.0f), nullptr);         // found in the table as 256
  EXPECT_EQ(ObjCreateSpritePoint("banner.3df", 4.0f, 4.0f), nullptr);
  EXPECT_EQ(gFatalErrors, std::vector<std::string>(3, "SPRITE TEXTURE banner.3df"));
  EXPECT_EQ(MemPoolUsedBytes(), before);
  ObjFreeSprite(last);
}

TEST_F(Sprites, TextureListsRoundTripAndDamagedOnesAreRefused) {
  ObjFreeSprite(ObjCreateSprite("flame.3df", 1.0f, 1.0f));
  ObjFreeSprite(ObjCreateSprite("banner.3df", 1.0f, 1.0f));
  ASSERT_EQ(TexListSaveFile("LIST.BIN"), 1);
  std::string saved = dir_.Read("LIST.BIN");
  ASSERT_EQ(saved.size(), 4u + 2 * 53u);
  EXPECT_EQ(saved.substr(0, 4), std::string("\x02\x00\x00\x00", 4));
  EXPECT_EQ(saved.substr(4 + 30, 6), std::string("FLAME\0", 6));

  TexMemReset();
  ASSERT_EQ(TexListLoadFile("list.bin"), 1);
  ASSERT_EQ(gTextureTable.count, 2);
  EXPECT_STREQ(gTextureTable.entries[1].key, "BANNER");

  const std::string damaged[] = {
      saved.substr(0, 3),                                             // no count
      saved.substr(0, saved.size() - 1),                              // one byte short
      saved + "x",                                                    // one byte over
      std::string("\x91\x01\x00\x00", 4) + std::string(401 * 53, 0),  // more than the table holds
  };
  for (const std::string& bytes : damaged) {
    dir_.Write("bad.bin", bytes);
    EXPECT_EQ(TexListLoadFile("bad.bin"), 0) << bytes.size();
    EXPECT_EQ(gTextureTable.count, 2);  // the table was left as it was
  }
  EXPECT_EQ(TexListLoadFile("missing.bin"), 0);
}

}  // namespace
