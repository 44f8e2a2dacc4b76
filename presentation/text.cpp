#include "presentation/text.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "backend_common/display.h"
#include "backend_common/draw.h"
#include "backend_common/texture.h"
#include "engine3d/mesh.h"
#include "presentation/quads.h"

HudFontState HudFont = {0, 0, TEXT_START_ADVANCE, static_cast<float>(TEXT_START_ADVANCE), 0.0f, {}};

namespace {

constexpr float GLYPH_DEPTH = 10.0f;
constexpr int32_t CELL_WIDTH = 32, CELL_HEIGHT = 64, CELLS_PER_ROW = 8;
constexpr int32_t LETTER_SLASH_CELL = 26, LETTER_COLON_CELL = 27;

// The texture and cell of a character; false for one the font leaves blank.
bool GlyphCell(char ch, uint32_t* texture, int32_t* cell) {
  const int32_t code = static_cast<unsigned char>(ch);
  *texture = HudFont.letterTexture;
  if (code >= 'A' && code <= '`') {
    *cell = code - 'A';
  } else if (ch == '/') {
    *cell = LETTER_SLASH_CELL;
  } else if (ch == ':') {
    *cell = LETTER_COLON_CELL;
  } else if (ch >= '0' && ch <= '9') {
    *texture = HudFont.digitTexture;
    *cell = ch <= '4' ? ch - '0' : CELLS_PER_ROW + (ch - '5');
  } else {
    return false;
  }
  return true;
}

// One glyph quad in the scratch room past the current mesh, drawn at once;
// nothing when the room is not there.
void DrawGlyph(float x, float y, char ch, bool faded) {
  uint32_t texture = 0;
  int32_t cell = 0;
  if (!GlyphCell(ch, &texture, &cell)) return;
  const float a = HudFont.advanceF;
  Face* f = QuadBuild(x, y, x + a, y + a, GLYPH_DEPTH);
  if (!f) return;
  const float s0 = static_cast<float>(CELL_WIDTH * (cell % CELLS_PER_ROW) + 1);
  const float t0 = static_cast<float>(CELL_HEIGHT * (cell / CELLS_PER_ROW) + 1);
  const float st[8] = {s0, t0, s0 + 30.0f, t0, s0 + 30.0f, t0 + 62.0f, s0, t0 + 62.0f};
  f->type = (texture & 0xFFFFFF) | QUAD_PICTURE_TYPE;
  QuadSetTexels(f, st);
  if (faded)
    RdrDrawFaceTexAlpha(f, HudFont.fadeLevel);
  else
    RdrDrawFaceDecal(f);
}

void Format(const char* format, va_list args) {
  std::vsnprintf(HudFont.line, sizeof HudFont.line, format, args);
}

void PrintLine(int32_t x, int32_t y, bool faded) {
  for (const char* p = HudFont.line; *p; ++p, x += HudFont.advance)
    DrawGlyph(static_cast<float>(static_cast<int16_t>(x)), static_cast<float>(y), *p, faded);
}

int32_t CentredX() {
  return (gRdrState.screenWidth - static_cast<int32_t>(std::strlen(HudFont.line)) * HudFont.advance) / 2;
}

void FadedPrintLine(int32_t x, int32_t y) {
  RdrSetAlphaSourceColour(0, 0, 0, 3);
  PrintLine(x, y, true);
  RdrResetAlphaSource();
}

}  // namespace

int32_t TextSetScale(int32_t n) {
  HudFont.advance = gRdrState.screenWidth * n / 512;
  HudFont.advanceF = static_cast<float>(HudFont.advance);
  return HudFont.advance;
}

int32_t TextWidth(const char* text) { return static_cast<int32_t>(std::strlen(text)) * HudFont.advance; }

void TextDrawGlyph(float x, float y, char ch) { DrawGlyph(x, y, ch, false); }
void TextDrawGlyphFaded(float x, float y, char ch) { DrawGlyph(x, y, ch, true); }

void TextPrintAt(int16_t x, int16_t y, const char* format, ...) {
  va_list args;
  va_start(args, format);
  Format(format, args);
  va_end(args);
  PrintLine(x, y, false);
}

void TextPrintCentred(int16_t y, const char* format, ...) {
  va_list args;
  va_start(args, format);
  Format(format, args);
  va_end(args);
  PrintLine(CentredX(), y, false);
}

void TextPrintFadedAt(int16_t x, int16_t y, const char* format, ...) {
  va_list args;
  va_start(args, format);
  Format(format, args);
  va_end(args);
  FadedPrintLine(x, y);
}

void TextPrintFadedCentred(int16_t y, const char* format, ...) {
  va_list args;
  va_start(args, format);
  Format(format, args);
  va_end(args);
  FadedPrintLine(CentredX(), y);
}
