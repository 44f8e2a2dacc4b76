// The debug dot font: 4x5 dots a character drawn as points, no texture needed.
#pragma once
#include <cstdint>

constexpr int DOT_FONT_GLYPH_COUNT = 38;
constexpr int DOT_FONT_BUFFER = 200;  // formatted text is cut to 199 characters

// 5 rows of 4 bytes, top row first, left column first; non-zero is a dot.
// A..Z, then 0..9, then '.' and '-'. Each back end defines its own.
extern const uint8_t DOT_FONT_GLYPHS[DOT_FONT_GLYPH_COUNT][20];

// The glyph of a character, or null for one the font does not have.
const uint8_t* DotFontGlyph(char character);
void DotFontDrawChar(int32_t x, int32_t y, char character);
void DotFontPrintf(int32_t x, int32_t y, const char* format, ...) __attribute__((format(printf, 3, 4)));
// The same font with every dot a filled dotWidth x dotHeight rectangle,
// drawn with RdrDrawFaceFlat between DotFontScaledBegin and DotFontScaledEnd.
// Begin makes the scratch face: white, four vertices behind the faces and
// vertices in use (the counts stay), at the near plane + 1; false, and no
// dots drawn, when the pools have no room.
bool DotFontScaledBegin();
void DotFontScaledEnd();
void DotFontDrawCharScaled(int32_t x, int32_t y, int32_t dotWidth, int32_t dotHeight, char character);
void DotFontPrintfScaled(int32_t x, int32_t y, int32_t dotWidth, int32_t dotHeight, const char* format, ...)
    __attribute__((format(printf, 5, 6)));
