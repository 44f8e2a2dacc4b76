// The menus' drum rings: the glyph a ring face shows at a roll position, and
// the back-end operation that writes the ring's textures and coordinates.
#pragma once
#include <cstdint>

struct MeshHeader;

constexpr int32_t DRUM_RING_FACES = 16;
constexpr int32_t DRUM_GLYPH_UNITS = 512;   // ring angle units per glyph
constexpr int32_t DRUM_GLYPH_CELL_W = 32;   // texels of a glyph's cell
constexpr int32_t DRUM_GLYPH_CELL_H = 64;
constexpr int32_t DRUM_GLYPH_BAND = 8;      // texel rows of a face's band
constexpr int32_t DRUM_FONT_SIZE = 256;     // texels of a font texture's side

// Where a ring face takes its texels: which of the two font textures, the
// origin of the glyph's cell on it, and the band's top row within the cell
// (63 for the half's first face, then 8 rows lower a face).
struct DrumGlyphFace {
  int32_t font;  // 0 or 1
  int32_t cellU, cellV;
  int32_t bandTop;
};

// Face `face` (0..15) of the ring at roll position `position`: the glyph
// g = position / 512 faces the viewer, g + 1 is on the other half; an odd g
// takes faces 0-7, an even one faces 8-15. Glyphs 0-31 lie on the first
// font texture, 32-63 on the second; positions outside them show the
// nearest glyph the textures hold.
DrumGlyphFace DrumGlyphFaceAt(int32_t position, int32_t face);

// Writes the texture and the texture coordinates of the ring's 16 faces for
// roll position `position`; font0 and font1 are the two font textures'
// entries in gTextureTable. Each back end writes its own coordinate units.
void MenuDrumMapGlyph(MeshHeader* ring, int32_t position, int32_t font0, int32_t font1);
// The texture word of a font's table entry, for the ring faces (lit textured).
uint32_t DrumFontFaceWord(int32_t tableIndex);
// The walk both back ends' MenuDrumMapGlyph share: each face gets its font's
// texture word and the corners (u0, v), (u1, v), (u1, v - 7), (u0, v - 7) of
// its band, u1 = u0 + 31; `units` turns a point of a cell (its origin and the
// offset from it, in texels) into the back end's coordinates.
using DrumTexelUnits = void (*)(int32_t tableIndex, int32_t cellU, int32_t cellV, int32_t du, int32_t dv, float* s,
                                float* t);
void DrumMapGlyphFaces(MeshHeader* ring, int32_t position, int32_t font0, int32_t font1, DrumTexelUnits units);
// The units of a back end that samples in texels.
void DrumTexelsInTexels(int32_t tableIndex, int32_t cellU, int32_t cellV, int32_t du, int32_t dv, float* s, float* t);
