// The debug dot font: its glyphs as they land on the screen, characters it
// has no glyph for, clipping, and long texts.
#include <string>

#include "backend_fixture.h"
#include "backend_common/dotfont.h"
#include "engine3d/mesh.h"

namespace {

// The font as the players see it: rows top first, columns left first.
const std::pair<char, const char*> GLYPHS[DOT_FONT_GLYPH_COUNT] = {
    {'A', "0110 1001 1111 1001 1001"}, {'B', "1110 1001 1110 1001 1111"}, {'C', "0111 1000 1000 1000 0111"},
    {'D', "1110 1001 1001 1001 1110"}, {'E', "1111 1000 1110 1000 1111"}, {'F', "1111 1000 1110 1000 1000"},
    {'G', "0111 1000 1001 1001 0110"}, {'H', "1001 1001 1111 1001 1001"}, {'I', "1110 0100 0100 0100 1110"},
    {'J', "0111 0010 0010 1010 1100"}, {'K', "1001 1010 1100 1010 1001"}, {'L', "1000 1000 1000 1000 1111"},
    {'M', "1001 1111 1001 1001 1001"}, {'N', "1001 1101 1011 1001 1001"}, {'O', "0110 1001 1001 1001 0110"},
    {'P', "1110 1001 1110 1000 1000"}, {'Q', "0110 1001 1001 1011 0111"}, {'R', "1110 1001 1110 1010 1001"},
    {'S', "0111 1000 0110 0001 1110"}, {'T', "1110 0100 0100 0100 0100"}, {'U', "1001 1001 1001 1001 1111"},
    {'V', "1010 1010 1010 1010 0100"}, {'W', "1001 1001 1001 1111 1001"}, {'X', "1001 1001 0110 1001 1001"},
    {'Y', "1010 1010 0100 0100 0100"}, {'Z', "1111 0001 0110 1000 1111"}, {'0', "1111 1001 1001 1001 1111"},
    {'1', "0010 0110 0010 0010 0111"}, {'2', "1111 0001 1111 1000 1111"}, {'3', "1111 0001 0110 0001 1111"},
    {'4', "1000 1000 1111 1001 1001"}, {'5', "1111 1000 1111 0001 1111"}, {'6', "1000 1000 1111 1001 1111"},
    {'7', "1111 0001 0010 0010 0010"}, {'8', "1111 1001 1111 1001 1111"}, {'9', "1111 1001 1111 0001 0001"},
    {'.', "0000 0000 0000 0000 0100"}, {'-', "0000 0000 0000 1110 0000"},
};

bool Dot(const char* rows, int c, int r) { return rows[r * 5 + c] == '1'; }

// The screen's pixels in [x0, x0 + w) x [y0, y0 + h), row by row.
std::vector<uint16_t> Region(int32_t x0, int32_t y0, int32_t w, int32_t h) {
  std::vector<uint16_t> out(static_cast<size_t>(w) * static_cast<size_t>(h));
  GfxLfbReadRegion(GFX_BUFFER_BACKBUFFER, x0, y0, w, h, w * 2, out.data());
  return out;
}

}  // namespace

TEST_F(BackendTest, GlyphsLandOnTheScreenAsTheFontDraws) {
  std::string text;
  for (const auto& g : GLYPHS) text += g.first;
  RdrClear(0, 0, 0);
  DotFontPrintf(20, 40, "%s", text.c_str());
  // One pixel of margin all round: nothing spills out of a glyph's cell.
  const std::vector<uint16_t> seen = Region(19, 39, 5 * DOT_FONT_GLYPH_COUNT + 2, 7);
  const int32_t w = 5 * DOT_FONT_GLYPH_COUNT + 2;
  for (int i = 0; i < DOT_FONT_GLYPH_COUNT; ++i) {
    for (int r = -1; r <= 5; ++r) {
      for (int c = -1; c < 5; ++c) {
        const bool dot = r >= 0 && r < 5 && c >= 0 && c < 4 && Dot(GLYPHS[i].second, c, r);
        const int32_t x = 1 + i * 5 + c;
        if (x < 0) continue;
        EXPECT_EQ(seen[static_cast<size_t>((r + 1) * w + x)], dot ? 0xFFFF : 0)
            << GLYPHS[i].first << " column " << c << " row " << r;
      }
    }
  }
}

TEST_F(BackendTest, LowerCaseDrawsTheUpperCaseGlyphs) {
  RdrClear(0, 0, 0);
  DotFontPrintf(10, 10, "abcdefghijklmnopqrstuvwxyz");
  DotFontPrintf(10, 30, "ABCDEFGHIJKLMNOPQRSTUVWXYZ");
  EXPECT_EQ(Region(10, 10, 130, 5), Region(10, 30, 130, 5));
  EXPECT_NE(Region(10, 10, 130, 5), std::vector<uint16_t>(130 * 5, 0));
}

TEST_F(BackendTest, CharactersWithoutGlyphDrawNothingButTakeTheirPlace) {
  RdrClear(0, 0, 0);
  DotFontPrintf(105, 10, "A");
  const std::vector<uint16_t> reference = Region(100, 10, 10, 5);
  for (char c : std::string("! #~/\t\x7F")) {
    RdrClear(0, 0, 0);
    DotFontPrintf(100, 10, "%cA", c);
    EXPECT_EQ(Region(100, 10, 10, 5), reference) << static_cast<int>(c);
  }
  RdrClear(0, 0, 0);
  DotFontPrintf(100, 10, "\xC9");  // a character above 127
  EXPECT_EQ(Region(100, 10, 10, 5), std::vector<uint16_t>(50, 0));
}

// "M" has a dot in every column and every row, so each lost column or row
// shows. The accelerator's own clip is opened to the whole screen, so that
// only the font's test against the stored window (maximum included) clips.
TEST_F(BackendTest, DotsOutsideTheClipWindowAreDropped) {
  struct Case {
    const char* what;
    int32_t clip[4];
    int32_t x, y;
    int firstColumn, lastColumn, firstRow, lastRow;  // of the glyph, still drawn
  };
  const Case cases[] = {
      {"2 pixels left of the screen", {0, 0, 640, 480}, -2, 100, 2, 3, 0, 4},
      {"2 pixels left of a clip window", {10, 10, 100, 100}, 8, 50, 2, 3, 0, 4},
      {"2 pixels above a clip window", {10, 10, 100, 100}, 50, 8, 0, 3, 2, 4},
      {"at the right edge of the screen", {0, 0, 640, 480}, 637, 100, 0, 2, 0, 4},
      {"at the bottom of a clip window", {10, 10, 100, 100}, 50, 97, 0, 3, 0, 3},
      {"at the right of a clip window", {10, 10, 100, 100}, 98, 50, 0, 2, 0, 4},
      {"wholly outside", {10, 10, 100, 100}, 200, 200, 0, -1, 0, -1},
  };
  const char* m = "1001 1111 1001 1001 1001";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    RdrSetClipWindow(0, 0, 640, 480);
    RdrClear(0, 0, 0);
    RdrSetClipWindow(c.clip[0], c.clip[1], c.clip[2], c.clip[3]);
    RdrSetClipWindowOnly(0, 0, 640, 480);
    DotFontPrintf(c.x, c.y, "M");
    int lit = 0, want = 0;
    for (uint16_t p : Screen()) lit += p != 0;
    for (int r = 0; r < 5; ++r) {
      for (int col = 0; col < 4; ++col) {
        if (!Dot(m, col, r) || col < c.firstColumn || col > c.lastColumn || r < c.firstRow || r > c.lastRow) continue;
        ++want;
        EXPECT_EQ(Pixel(c.x + col, c.y + r), 0xFFFF) << "column " << col << " row " << r;
      }
    }
    EXPECT_EQ(lit, want);
  }
}

TEST_F(BackendTest, LongTextIsCutTo199Characters) {
  ASSERT_TRUE(Open(4));  // 1024 pixels: room for 204 characters
  const std::string text(1000, 'I');
  RdrClear(0, 0, 0);
  DotFontPrintf(0, 10, "%s", text.c_str());
  EXPECT_EQ(Pixel(198 * 5, 10), 0xFFFF);
  EXPECT_EQ(Pixel(199 * 5, 10), 0);
}

TEST_F(BackendTest, ScaledTextDrawsEachDotAsARectangleAndKeepsTheMeshCounts) {
  ASSERT_NE(MeshPoolAllocVertices(100), nullptr);
  ASSERT_NE(MeshPoolAllocFaces(100), nullptr);
  gMesh.vertexCount = 7;
  gMesh.faceCount = 3;
  RdrClear(0, 0, 0);
  DotFontPrintfScaled(10, 20, 2, 3, "%s", "A7");  // A's top row is 0110, 7's is 1111
  // A dot is the quad (left, top)..(left + w - 1, top + h - 1); the fill rule
  // leaves out its right column and bottom row, so a 2 x 3 dot fills 1 x 2.
  EXPECT_EQ(Pixel(10, 20), 0);       // A: the first column of the top row is empty
  EXPECT_EQ(Pixel(12, 20), 0xFFFF);  // the second column starts at x 12
  EXPECT_EQ(Pixel(12, 21), 0xFFFF);
  EXPECT_EQ(Pixel(13, 20), 0);
  EXPECT_EQ(Pixel(12, 22), 0);
  EXPECT_EQ(Pixel(10, 23), 0xFFFF);  // A's second row, 1001, starts at y 23
  EXPECT_EQ(Pixel(20, 20), 0xFFFF);  // 7 starts 5 dot widths on, all four columns set
  EXPECT_EQ(Pixel(26, 20), 0xFFFF);
  EXPECT_EQ(gMesh.vertexCount, 7);
  EXPECT_EQ(gMesh.faceCount, 3);
}
