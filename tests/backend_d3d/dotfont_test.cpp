// The dot font: one white point a dot, inside the clip window only.
#include <cstdio>
#include <set>
#include <utility>

#include "backend_common/dotfont.h"
#include "face_fixture.h"
#include "hal/beep.h"

namespace {

using Dots = std::set<std::pair<int, int>>;

// The font's bitmap, '#' a dot, rows top to bottom.
const std::pair<char, const char*> GLYPHS[] = {
    {'A', ".##.#..######..##..#"}, {'1', "..#..##...#...#..###"}, {'.', ".................#.."},
    {'-', "............###....."}, {'4', "#..##..#####...#...#"},
};

Dots Expected(const char* text, int x, int y) {
  Dots out;
  for (const char* p = text; *p; ++p, x += 5)
    for (const auto& [c, bits] : GLYPHS)
      if (c == *p)
        for (int i = 0; i < 20; ++i)
          if (bits[i] == '#') out.insert({x + i % 4, y + i / 4});
  return out;
}

class D3dDotFontTest : public D3dFaceTest {
 protected:
  // The dots drawn since the calls were last cleared; each a one-point list, white.
  Dots Drawn() {
    Dots out;
    for (const std::string& d : Calls("DrawPrimitive")) {
      float x, y, z, rhw;
      unsigned diffuse, specular;
      EXPECT_EQ(std::sscanf(d.c_str(), "DrawPrimitive 1 1 24 (%g %g %g %g %x %x 0 0)", &x, &y, &z, &rhw, &diffuse,
                            &specular),
                6)
          << d;
      EXPECT_EQ(diffuse, 0xFFFFFFFFu);
      out.insert({static_cast<int>(x), static_cast<int>(y)});
    }
    return out;
  }
};

TEST_F(D3dDotFontTest, TextDrawsTheGlyphsDotsFivePixelsApart) {
  Fresh();
  DotFontPrintf(10, 20, "A%d.-%d", 1, 4);
  EXPECT_EQ(Drawn(), Expected("A1.-4", 10, 20));
  // Depth off around the text, no texture, colour from the white vertices.
  EXPECT_EQ(calls.front(), "SetRenderState ZENABLE 0");
  EXPECT_EQ(calls.back(), "SetRenderState ZWRITEENABLE 1");
  EXPECT_TRUE(Has("SetTexture 0 0"));
  EXPECT_EQ(gRdrCache, 1);

  // Lower case as upper case; a character without a glyph leaves a gap of 5.
  calls.clear();
  DotFontPrintf(10, 20, "a:1");
  Dots want = Expected("A", 10, 20), one = Expected("1", 20, 20);
  want.insert(one.begin(), one.end());
  EXPECT_EQ(Drawn(), want);
}

TEST_F(D3dDotFontTest, OnlyTheDotsInsideTheClipWindowAreDrawn) {
  // Rows 2 and 3 of the glyph, every column: the window's edges are inside it.
  RdrSetClipWindow(9, 10, 12, 11);
  Fresh();
  DotFontDrawChar(9, 9, '4');
  EXPECT_EQ(Drawn(), (Dots{{9, 10}, {12, 10}, {9, 11}, {10, 11}, {11, 11}, {12, 11}}));
}

// A dot the device refuses beeps once; the glyph's other dots are drawn.
TEST_F(D3dDotFontTest, ARefusedDotBeepsAndTheOthersAreDrawn) {
  const uint32_t beeps = HalBeepCount();
  HalD3dFailNext("DrawPrimitive", 2);
  DotFontDrawChar(10, 20, '4');
  EXPECT_EQ(HalBeepCount() - beeps, 2u);
  EXPECT_EQ(Calls("DrawPrimitive").size(), Expected("4", 10, 20).size());
  calls.clear();
  DotFontDrawChar(10, 20, '4');
  EXPECT_EQ(HalBeepCount() - beeps, 2u);
  EXPECT_EQ(Drawn(), Expected("4", 10, 20));
}

TEST_F(D3dDotFontTest, LongTextIsCutToTheBuffer) {
  const std::string text(500, '-');
  gRdrState.clipMaxX = 4000.0f;  // room for every dash
  Fresh();
  DotFontPrintf(0, 0, "%s", text.c_str());
  // Three dots a dash, 199 dashes.
  EXPECT_EQ(Drawn().size(), 3u * (DOT_FONT_BUFFER - 1));
}

}  // namespace

namespace {

TEST_F(D3dDotFontTest, ScaledTextDrawsEachDotAsAWhiteRectangle) {
  std::vector<Vertex> vertices(8 + MESH_SCRATCH_VERTICES);
  std::vector<Face> faces(MESH_SCRATCH_FACES);
  gMesh.vertices = vertices.data();
  gMesh.vertexCapacity = gMesh.vertexCount = 8;
  gMesh.faces = faces.data();
  gMesh.faceCapacity = gMesh.faceCount = 0;
  Fresh();
  DotFontPrintfScaled(10, 20, 3, 2, "-.");
  // '-' has three dots, '.' one: four flat faces, the last 15 pixels on.
  const std::vector<std::string> draws = Calls("DrawPrimitive");
  ASSERT_EQ(draws.size(), 4u);
  EXPECT_NE(draws[0].find("(10 26 "), std::string::npos) << draws[0];
  EXPECT_NE(draws[0].find("(12 27 "), std::string::npos) << draws[0];
  EXPECT_NE(draws[3].find("(28 28 "), std::string::npos) << draws[3];
  EXPECT_EQ(gRdrPoly.work[0].diffuse & 0xFFFFFF, 0xFFFFFFu);
  EXPECT_EQ(calls.front(), "SetRenderState ZENABLE 0");
  EXPECT_EQ(calls.back(), "SetRenderState ZWRITEENABLE 1");
  EXPECT_EQ(gMesh.vertexCount, 8);
  EXPECT_EQ(gMesh.faceCount, 0);

  // No room behind the counts: nothing drawn.
  gMesh.faceCount = MESH_SCRATCH_FACES + 1;
  calls.clear();
  DotFontPrintfScaled(10, 20, 3, 2, "-");
  EXPECT_TRUE(Calls("DrawPrimitive").empty());
  gMesh = MeshPools{};
}

}  // namespace
