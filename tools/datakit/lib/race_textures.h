// The textures of a race, drawn by the kit's own code: the letter and digit
// fonts (typo1, typo2), the sun sheet, the sky ring of each sky list, every
// track's ground texture and the loaded sky layers. Each goes into the
// texture archive as .TEX and beside it as a loose .3DF file.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "tools/datakit/lib/boot_set.h"

namespace datakit {

struct KitTexture {
  std::string name;  // without extension
  uint32_t format, width, height;
  std::vector<uint16_t> texels;
};

// typo1: 256 x 256 ARGB1555, letters 'A'.. in 32 x 64 cells, 8 a row, with
// '/' in the cell of '[' and ':' in the cell of '\'. typo2: 256 x 128, the
// digits 0-4 in row 0 and 5-9 in row 1, the dial panel in (160, 1)..(255, 127).
// Black is clear (the race loads both with the colour key 0, 0, 0).
std::vector<uint16_t> FontLetterTexels();
std::vector<uint16_t> FontDigitTexels();
// Which texels of a glyph are lit: 5 x 7 dots, top row first; null for a
// character the kit does not draw.
const char* const* FontGlyphRows(char ch);
// Draws `ch` into glyph cell `cell` (32 x 64 texels, 8 a row) of a texture
// `width` texels wide, as the fonts are drawn; nothing for a character the
// kit does not draw.
void FontDrawGlyphCell(std::vector<uint16_t>* texels, int width, int cell, char ch);

// Textures as files: each as .TEX for the texture archive (rur2.pak), and as
// a loose .3DF file.
std::vector<DataFile> KitTextureArchiveFiles(const std::vector<KitTexture>& textures);
std::vector<DataFile> KitTextureLooseFiles(const std::vector<KitTexture>& textures);

std::vector<KitTexture> RaceTextures();
std::vector<DataFile> RaceArchiveFiles();  // the .TEX files (rur2.pak)
std::vector<DataFile> RaceLooseFiles();    // the .3DF files

}  // namespace datakit
