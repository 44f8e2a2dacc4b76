// The texture font: which cell each character samples, where the quads go,
// the scale, and the line buffer's limit.
#include <string>

#include "hal/gfx/gfx.h"
#include "presentation/text.h"
#include "race_fixture.h"
#include "support/gfx_recorder.h"

namespace {

constexpr uint32_t LETTERS = 3, DIGITS = 4;

class Text : public RaceTest {
 protected:
  void SetUp() override {
    RaceTest::SetUp();
    HudFont.letterTexture = LETTERS;
    HudFont.digitTexture = DIGITS;
    TextSetScale(16);
  }
};

TEST_F(Text, EachCharacterSamplesTheInsideOfItsCell) {
  struct Case {
    char ch;
    uint32_t texture;
    float s0, t0;
  };
  const Case cases[] = {
      {'A', LETTERS, 1, 1},     {'Z', LETTERS, 33, 193},  {'[', LETTERS, 65, 193}, {'`', LETTERS, 225, 193},
      {'/', LETTERS, 65, 193},  {':', LETTERS, 97, 193},  {'0', DIGITS, 1, 1},     {'4', DIGITS, 129, 1},
      {'5', DIGITS, 1, 65},     {'9', DIGITS, 129, 65},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(1, c.ch));
    gFaces.clear();
    TextDrawGlyph(100.0f, 50.0f, c.ch);
    ASSERT_EQ(gFaces.size(), 1u);
    const Face& f = gFaces[0].face;
    EXPECT_EQ(+f.type, 0x2000000u | c.texture);
    const float st[8] = {c.s0, c.t0, c.s0 + 30, c.t0, c.s0 + 30, c.t0 + 62, c.s0, c.t0 + 62};
    for (int k = 0; k < 8; ++k) EXPECT_FLOAT_EQ(+f.st[k], +st[k]) << k;
  }
}

TEST_F(Text, BlanksLowerCaseAndOtherSignsDrawNothing) {
  for (char ch : {' ', 'a', 'z', '!', '.', '-', '\x80'}) TextDrawGlyph(0.0f, 0.0f, ch);
  EXPECT_TRUE(gFaces.empty());
}

TEST_F(Text, AGlyphIsASquareScreenQuadAtDepthTen) {
  TextSetScale(24);  // 30 pixels at 640
  RecordStart();
  TextDrawGlyph(100.0f, 50.0f, 'A');
  const std::vector<GfxCall> draws = DrawCalls(RecordStop());
  ASSERT_EQ(gFaces.size(), 1u);
  const float xs[4] = {100, 130, 130, 100}, ys[4] = {50, 50, 80, 80};
  for (int i = 0; i < 4; ++i) {
    EXPECT_FLOAT_EQ(+gFaces[0].corners[i].screenX, +xs[i]);
    EXPECT_FLOAT_EQ(+gFaces[0].corners[i].screenY, +ys[i]);
    EXPECT_FLOAT_EQ(+gFaces[0].corners[i].viewZ, 10.0f);
  }
  // The accelerator gets one quad over those pixels, the cell's texels across it.
  ASSERT_EQ(draws.size(), 1u);
  ASSERT_EQ(draws[0].vertices.size(), 4u);
  const GfxVertex& first = draws[0].vertices[0];
  const GfxVertex& third = draws[0].vertices[2];
  EXPECT_FLOAT_EQ(+first.x, 100.0f);
  EXPECT_FLOAT_EQ(+third.y, 80.0f);
  EXPECT_FLOAT_EQ(first.tmu[0].sow / first.oow, 1.0f);
  EXPECT_FLOAT_EQ(third.tmu[0].tow / third.oow, 63.0f);
}

TEST_F(Text, TheQuadsComeFromTheReserveBehindTheWorld) {
  gMesh.vertexCount = 1000;
  gMesh.faceCount = 2000;
  TextDrawGlyph(0.0f, 0.0f, 'B');
  ASSERT_EQ(gFaces.size(), 1u);
  EXPECT_EQ(+gFaces[0].face.index[0], 1000);
  EXPECT_EQ(+gMesh.vertexCount, 1000);
  // With no room behind a full pool nothing is drawn, and nothing overrun.
  gFaces.clear();
  gMesh.vertexCount = gMesh.vertexCapacity + MESH_SCRATCH_VERTICES - 3;
  TextDrawGlyph(0.0f, 0.0f, 'B');
  EXPECT_TRUE(gFaces.empty());
  gMesh.vertexCount = 0;
  gMesh.faceCount = 0;
}

TEST_F(Text, TheAdvanceScalesWithTheScreenWidth) {
  const struct {
    int32_t width, n, advance;
  } cases[] = {{320, 12, 7}, {640, 12, 15}, {1024, 12, 24}, {320, 64, 40}, {640, 64, 80}, {1024, 64, 128}};
  for (const auto& c : cases) {
    gRdrState.screenWidth = c.width;
    EXPECT_EQ(TextSetScale(c.n), +c.advance) << c.width << " " << c.n;
    EXPECT_FLOAT_EQ(+HudFont.advanceF, static_cast<float>(c.advance));
    EXPECT_EQ(TextWidth("LAP 1"), 5 * c.advance);
  }
  gRdrState.screenWidth = 640;
}

TEST_F(Text, APrintAdvancesOverGapsAndCentresOnTheScreen) {
  TextSetScale(16);  // 20 pixels
  TextPrintAt(10, 30, "LAP  %d", 3);
  ASSERT_EQ(gFaces.size(), 4u);
  const float xs[4] = {10, 30, 50, 110};  // "LAP", two gaps, then the digit
  for (int i = 0; i < 4; ++i) EXPECT_FLOAT_EQ(+gFaces[i].corners[0].screenX, +xs[i]);
  EXPECT_EQ(gFaces[3].face.type & 0xFFFFFF, DIGITS);
  gFaces.clear();
  TextPrintCentred(100, "%s", "AB");
  ASSERT_EQ(gFaces.size(), 2u);
  EXPECT_FLOAT_EQ(+gFaces[0].corners[0].screenX, 300.0f);
  EXPECT_FLOAT_EQ(+gFaces[0].corners[0].screenY, 100.0f);
}

TEST_F(Text, ALongLineIsCutTo267Characters) {
  TextSetScale(1);
  const std::string line(300, 'A');
  TextPrintAt(0, 0, "%s", line.c_str());
  EXPECT_EQ(gFaces.size(), 267u);
  EXPECT_EQ(std::string(HudFont.line).size(), 267u);
}

TEST_F(Text, FadedPrintsDrawWithTheFadeLevelBetweenAlphaSourceCalls) {
  HudFont.fadeLevel = 120.0f;
  RecordStart();
  TextPrintFadedCentred(10, "GO");
  const std::vector<std::string> calls = CallTexts(RecordStop());
  ASSERT_EQ(gFaces.size(), 2u);
  EXPECT_TRUE(gFaces[0].faded);
  EXPECT_FLOAT_EQ(+gFaces[0].alpha, 120.0f);
  // An alpha source is set before the text and put back after it.
  int firstAlpha = -1, lastAlpha = -1, firstDraw = -1, lastDraw = -1;
  for (int i = 0; i < static_cast<int>(calls.size()); ++i) {
    if (calls[i].rfind("alpha ", 0) == 0) {
      if (firstAlpha < 0) firstAlpha = i;
      lastAlpha = i;
    }
    if (calls[i].rfind("polygon", 0) == 0) {
      if (firstDraw < 0) firstDraw = i;
      lastDraw = i;
    }
  }
  ASSERT_GE(firstDraw, 0);
  EXPECT_GE(firstAlpha, 0);
  EXPECT_LT(firstAlpha, firstDraw);
  EXPECT_GT(lastAlpha, lastDraw);
}

}  // namespace
