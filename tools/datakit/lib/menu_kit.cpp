#include "tools/datakit/lib/menu_kit.h"

#include <string>

#include "tools/datakit/lib/model3ds_writer.h"
#include "tools/datakit/lib/picture_writer.h"

namespace datakit {
namespace {

constexpr int SIDE = 256;
constexpr int ICON = 48, ICONS_A_ROW = 5;
constexpr int SMALL_FONT_V = 96, SMALL_CELL = 8, SMALL_A_ROW = 32;

uint16_t Argb1555(int r, int g, int b) { return static_cast<uint16_t>(0x8000 | (r >> 3) << 10 | (g >> 3) << 5 | (b >> 3)); }

// The drum glyph k's character: A-Z, 0-9, blank, '/', then the accented
// letters drawn as their plain capitals (the kit has no accents to draw).
char DrumGlyphChar(int k) {
  if (k < 26) return static_cast<char>('A' + k);
  if (k < 36) return static_cast<char>('0' + k - 26);
  if (k == 37) return '/';
  constexpr char ACCENTED[] = "AEOUCAOUAO";  // glyphs 40-49
  if (k >= 40 && k <= 49) return ACCENTED[k - 40];
  return ' ';
}

// Glyphs 0-31 on the first font texture, 32-63 on the second; black is clear.
std::vector<uint16_t> DrumFontTexels(int firstGlyph) {
  std::vector<uint16_t> texels(SIDE * SIDE, 0);
  for (int cell = 0; cell < 32; ++cell) FontDrawGlyphCell(&texels, SIDE, cell, DrumGlyphChar(firstGlyph + cell));
  return texels;
}

void Fill(std::vector<uint16_t>* t, int x0, int y0, int w, int h, uint16_t c) {
  for (int y = y0; y < y0 + h && y < SIDE; ++y)
    for (int x = x0; x < x0 + w && x < SIDE; ++x) (*t)[static_cast<size_t>(y * SIDE + x)] = c;
}

// A text in 5 x 7 dots of `dot` texels from (x, y).
void Text(std::vector<uint16_t>* t, int x, int y, const std::string& text, int dot, uint16_t c) {
  for (char ch : text) {
    if (const char* const* rows = FontGlyphRows(ch))
      for (int r = 0; r < 7; ++r)
        for (int col = 0; col < 5; ++col)
          if (rows[r][col] == '#') Fill(t, x + col * dot, y + r * dot, dot, dot, c);
    x += 6 * dot;
  }
}

// An icon cell: a tinted square with a light rim and its number.
void IconCell(std::vector<uint16_t>* t, int slot, int number) {
  const int x = (slot % ICONS_A_ROW) * ICON, y = (slot / ICONS_A_ROW) * ICON;
  Fill(t, x, y, ICON, ICON, Argb1555(230, 230, 230));
  Fill(t, x + 2, y + 2, ICON - 4, ICON - 4, Argb1555(40 + number * 37 % 160, 60 + number * 53 % 140, 90 + number * 29 % 120));
  Text(t, x + 4, y + 17, std::to_string(number), 2, Argb1555(255, 255, 0));
}

// The pointer: an arrow with its tip at the cell's top-left, white with a dark rim.
void Pointer(std::vector<uint16_t>* t) {
  for (int y = 0; y < 63; ++y)
    for (int x = 0; x < 31; ++x) {
      const bool body = x * 2 <= y && y < 50 - x / 2;
      const bool tail = x >= 8 && x <= 16 && y >= 36 && y <= 62 && x * 2 <= y;
      if (body || tail) (*t)[static_cast<size_t>((MENU_POINTER_V + y) * SIDE + MENU_POINTER_U + x)] = Argb1555(255, 255, 255);
    }
}

// The small font: glyph c - 33 for the printable characters, 78-87 for the
// accented letters (drawn plain), 8 x 8 cells from texel row 96.
void SmallFont(std::vector<uint16_t>* t) {
  auto glyph = [&](int index, char ch) {
    const int x = (index % SMALL_A_ROW) * SMALL_CELL, y = SMALL_FONT_V + (index / SMALL_A_ROW) * SMALL_CELL;
    Text(t, x + 1, y, std::string(1, ch), 1, Argb1555(255, 255, 255));
  };
  for (int c = '!'; c <= 'Z'; ++c) glyph(c - 33, static_cast<char>(c));
  constexpr char ACCENTED[] = "AEOUCAOUAO";
  for (int i = 0; i < 10; ++i) glyph(78 + i, ACCENTED[i]);
}

// The spinner arrows: 13 x 11, up at v 0 and down at v 14, u 215.
void SpinnerArrows(std::vector<uint16_t>* t) {
  for (int y = 0; y < 11; ++y)
    for (int x = 0; x < 13; ++x) {
      const int half = y * 6 / 10;
      if (x >= 6 - half && x <= 6 + half) {
        (*t)[static_cast<size_t>(y * SIDE + 215 + x)] = Argb1555(255, 200, 0);
        (*t)[static_cast<size_t>((14 + 10 - y) * SIDE + 215 + x)] = Argb1555(255, 200, 0);
      }
    }
}

std::vector<uint16_t> IconTexels(bool second) {
  std::vector<uint16_t> t(SIDE * SIDE, 0);
  if (!second) {
    for (int cell = 0; cell < 25; ++cell) IconCell(&t, cell, cell);
    Fill(&t, 0, 240, 96, 16, Argb1555(200, 40, 40));  // the two markers
    Text(&t, 4, 241, "M1", 2, Argb1555(255, 255, 255));
    Fill(&t, 96, 240, 96, 16, Argb1555(40, 160, 40));
    Text(&t, 100, 241, "M2", 2, Argb1555(255, 255, 255));
    return t;
  }
  IconCell(&t, 0, 100);
  for (int cell = 103; cell <= 106; ++cell) IconCell(&t, cell - 100, cell);
  Fill(&t, 48, 1, 64, 46, Argb1555(60, 60, 200));  // the hint cells
  Text(&t, 52, 5, "H1", 2, Argb1555(255, 255, 255));
  Fill(&t, 96, 49, 64, 46, Argb1555(60, 200, 200));
  Text(&t, 100, 53, "H2", 2, Argb1555(255, 255, 255));
  SmallFont(&t);
  SpinnerArrows(&t);  // inside icon cell 104: painted after it
  return t;
}

std::vector<uint16_t> PointerFontTexels() {
  std::vector<uint16_t> t = DrumFontTexels(32);
  Pointer(&t);
  return t;
}

// The push button (z up in the modeller): a square key on a flat base, and
// its pressed frame with the key lowered; the same quads in both.
Model3ds ButtonModel(float keyTop) {
  ModelBuilder b;
  const size_t base = b.Material("BASE", 90, 90, 100);
  const size_t key = b.Material("KEY", 200, 40, 30);
  b.Box(base, base, {-25, -25, 0}, {25, 25, 4});
  b.Box(key, key, {-18, -18, 4}, {18, 18, keyTop});
  return b.Done("BOUTON");
}

// The drum arrows: a wedge up and a wedge down, 17 wide, 36 high together.
Model3ds ArrowsModel() {
  ModelBuilder b;
  const size_t arrow = b.Material("ARROW", 230, 200, 40);
  b.Quad(arrow, {-8.5f, 2, 0}, {8.5f, 2, 0}, {0, 18, 0}, {0, 18, 4});
  b.Quad(arrow, {8.5f, -2, 0}, {-8.5f, -2, 0}, {0, -18, 0}, {0, -18, 4});
  b.Box(arrow, arrow, {-8.5f, -2, 0}, {8.5f, 2, 4});
  return b.Done("FLECHES");
}

}  // namespace

std::vector<KitTexture> MenuTextures() {
  return {{"typhab", TEX_ARGB1555, SIDE, SIDE, DrumFontTexels(0)},
          {"typhab1", TEX_ARGB1555, SIDE, SIDE, PointerFontTexels()},
          {"icones", TEX_ARGB1555, SIDE, SIDE, IconTexels(false)},
          {"icones1", TEX_ARGB1555, SIDE, SIDE, IconTexels(true)}};
}

std::vector<DataFile> MenuArchiveFiles() {
  std::vector<DataFile> files = KitTextureArchiveFiles(MenuTextures());
  files.push_back({1, "bitos.3ds", Make3ds(ArrowsModel())});
  files.push_back({1, "boutr01.3ds", Make3ds(ButtonModel(14))});
  files.push_back({1, "boutr02.3ds", Make3dsFrame(ButtonModel(7).meshes[0].vertices)});
  files.push_back({3, "menu1.qvr", MakeQvr(640, 480, PatternRgb555(640, 480, 61))});
  files.push_back({3, "menu12.qvr", MakeQvr(640, 480, PatternRgb555(640, 480, 62))});
  files.push_back({3, "menu14.qvr", MakeQvr(640, 480, PatternRgb555(640, 480, 63))});
  return files;
}

std::vector<DataFile> MenuLooseFiles() { return KitTextureLooseFiles(MenuTextures()); }

}  // namespace datakit
