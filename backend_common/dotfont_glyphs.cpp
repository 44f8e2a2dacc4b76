#include "backend_common/dotfont.h"

// The table is each back end's own: their glyphs differ.
const uint8_t* DotFontGlyph(char c) {
  if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  if (c >= 'A' && c <= 'Z') return DOT_FONT_GLYPHS[c - 'A'];
  if (c >= '0' && c <= '9') return DOT_FONT_GLYPHS[26 + (c - '0')];
  if (c == '.') return DOT_FONT_GLYPHS[36];
  if (c == '-') return DOT_FONT_GLYPHS[37];
  return nullptr;
}
