#include "backend_common/drum_glyph.h"

#include <algorithm>

#include "backend_common/texture.h"
#include "engine3d/mesh.h"

namespace {
constexpr int32_t GLYPHS_A_ROW = DRUM_FONT_SIZE / DRUM_GLYPH_CELL_W;    // 8
constexpr int32_t ROWS_A_FONT = DRUM_FONT_SIZE / DRUM_GLYPH_CELL_H;     // 4
constexpr int32_t LAST_GLYPH = 2 * GLYPHS_A_ROW * ROWS_A_FONT - 1;      // 63
constexpr int32_t FACES_A_HALF = DRUM_RING_FACES / 2;
}  // namespace

DrumGlyphFace DrumGlyphFaceAt(int32_t position, int32_t face) {
  const int32_t g = std::clamp(position / DRUM_GLYPH_UNITS, 0, LAST_GLYPH - 1);
  const bool firstHalf = face < FACES_A_HALF;
  const int32_t glyph = (g % 2 == 1) == firstHalf ? g : g + 1;
  const int32_t row = glyph / GLYPHS_A_ROW;
  DrumGlyphFace out;
  out.font = row < ROWS_A_FONT ? 0 : 1;
  out.cellU = (glyph % GLYPHS_A_ROW) * DRUM_GLYPH_CELL_W;
  out.cellV = (row % ROWS_A_FONT) * DRUM_GLYPH_CELL_H;
  out.bandTop = DRUM_GLYPH_CELL_H - 1 - DRUM_GLYPH_BAND * (face % FACES_A_HALF);
  return out;
}

uint32_t DrumFontFaceWord(int32_t tableIndex) {
  // An index the table does not hold names itself, as a handle would.
  uint32_t handle = static_cast<uint32_t>(tableIndex);
  if (tableIndex >= 0 && tableIndex < gTextureTable.count && tableIndex < TEX_TABLE_SIZE)
    handle = gTextureTable.entries[tableIndex].handle;
  return (handle & 0x00FFFFFFu) | (uint32_t{FACE_TEX_LIT} << 24);
}

void DrumMapGlyphFaces(MeshHeader* ring, int32_t position, int32_t font0, int32_t font1, DrumTexelUnits units) {
  if (!ring || !ring->faces) return;
  const int32_t faces = std::min(static_cast<int32_t>(ring->faceCount), DRUM_RING_FACES);
  constexpr int32_t RIGHT = DRUM_GLYPH_CELL_W - 1;
  constexpr int32_t LOWER = DRUM_GLYPH_BAND - 1;
  for (int32_t i = 0; i < faces; ++i) {
    const DrumGlyphFace g = DrumGlyphFaceAt(position, i);
    const int32_t font = g.font == 0 ? font0 : font1;
    Face& face = ring->faces[i];
    face.type = DrumFontFaceWord(font);
    const int32_t corners[4][2] = {{0, g.bandTop}, {RIGHT, g.bandTop}, {RIGHT, g.bandTop - LOWER}, {0, g.bandTop - LOWER}};
    for (int c = 0; c < 4; ++c) {
      // The face is packed: its coordinates go through locals.
      float s = 0.0f, t = 0.0f;
      units(font, g.cellU, g.cellV, corners[c][0], corners[c][1], &s, &t);
      face.st[2 * c] = s;
      face.st[2 * c + 1] = t;
    }
  }
}

void DrumTexelsInTexels(int32_t, int32_t cellU, int32_t cellV, int32_t du, int32_t dv, float* s, float* t) {
  *s = static_cast<float>(cellU + du);
  *t = static_cast<float>(cellV + dv);
}
