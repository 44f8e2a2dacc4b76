#include "backend_common/dotfont.h"

#include <cstdarg>
#include <cstdio>

#include "backend_glide/glide.h"
#include "engine3d/mesh.h"

namespace {

// Depth and 1/w of every dot: any value does, the depth test is off.
constexpr float DOT_OOZ = 26214.0f;
constexpr float DOT_OOW = 0.1f;
constexpr int32_t DOT_PITCH = 5;

}  // namespace

const uint8_t DOT_FONT_GLYPHS[DOT_FONT_GLYPH_COUNT][20] = {
    {0,1,1,0,1,0,0,1,1,1,1,1,1,0,0,1,1,0,0,1},  // A
    {1,1,1,0,1,0,0,1,1,1,1,0,1,0,0,1,1,1,1,1},  // B
    {0,1,1,1,1,0,0,0,1,0,0,0,1,0,0,0,0,1,1,1},  // C
    {1,1,1,0,1,0,0,1,1,0,0,1,1,0,0,1,1,1,1,0},  // D
    {1,1,1,1,1,0,0,0,1,1,1,0,1,0,0,0,1,1,1,1},  // E
    {1,1,1,1,1,0,0,0,1,1,1,0,1,0,0,0,1,0,0,0},  // F
    {0,1,1,1,1,0,0,0,1,0,0,1,1,0,0,1,0,1,1,0},  // G
    {1,0,0,1,1,0,0,1,1,1,1,1,1,0,0,1,1,0,0,1},  // H
    {1,1,1,0,0,1,0,0,0,1,0,0,0,1,0,0,1,1,1,0},  // I
    {0,1,1,1,0,0,1,0,0,0,1,0,1,0,1,0,1,1,0,0},  // J
    {1,0,0,1,1,0,1,0,1,1,0,0,1,0,1,0,1,0,0,1},  // K
    {1,0,0,0,1,0,0,0,1,0,0,0,1,0,0,0,1,1,1,1},  // L
    {1,0,0,1,1,1,1,1,1,0,0,1,1,0,0,1,1,0,0,1},  // M
    {1,0,0,1,1,1,0,1,1,0,1,1,1,0,0,1,1,0,0,1},  // N
    {0,1,1,0,1,0,0,1,1,0,0,1,1,0,0,1,0,1,1,0},  // O
    {1,1,1,0,1,0,0,1,1,1,1,0,1,0,0,0,1,0,0,0},  // P
    {0,1,1,0,1,0,0,1,1,0,0,1,1,0,1,1,0,1,1,1},  // Q
    {1,1,1,0,1,0,0,1,1,1,1,0,1,0,1,0,1,0,0,1},  // R
    {0,1,1,1,1,0,0,0,0,1,1,0,0,0,0,1,1,1,1,0},  // S
    {1,1,1,0,0,1,0,0,0,1,0,0,0,1,0,0,0,1,0,0},  // T
    {1,0,0,1,1,0,0,1,1,0,0,1,1,0,0,1,1,1,1,1},  // U
    {1,0,1,0,1,0,1,0,1,0,1,0,1,0,1,0,0,1,0,0},  // V
    {1,0,0,1,1,0,0,1,1,0,0,1,1,1,1,1,1,0,0,1},  // W
    {1,0,0,1,1,0,0,1,0,1,1,0,1,0,0,1,1,0,0,1},  // X
    {1,0,1,0,1,0,1,0,0,1,0,0,0,1,0,0,0,1,0,0},  // Y
    {1,1,1,1,0,0,0,1,0,1,1,0,1,0,0,0,1,1,1,1},  // Z
    {1,1,1,1,1,0,0,1,1,0,0,1,1,0,0,1,1,1,1,1},  // 0
    {0,0,1,0,0,1,1,0,0,0,1,0,0,0,1,0,0,1,1,1},  // 1
    {1,1,1,1,0,0,0,1,1,1,1,1,1,0,0,0,1,1,1,1},  // 2
    {1,1,1,1,0,0,0,1,0,1,1,0,0,0,0,1,1,1,1,1},  // 3
    {1,0,0,0,1,0,0,0,1,1,1,1,1,0,0,1,1,0,0,1},  // 4
    {1,1,1,1,1,0,0,0,1,1,1,1,0,0,0,1,1,1,1,1},  // 5
    {1,0,0,0,1,0,0,0,1,1,1,1,1,0,0,1,1,1,1,1},  // 6
    {1,1,1,1,0,0,0,1,0,0,1,0,0,0,1,0,0,0,1,0},  // 7
    {1,1,1,1,1,0,0,1,1,1,1,1,1,0,0,1,1,1,1,1},  // 8
    {1,1,1,1,1,0,0,1,1,1,1,1,0,0,0,1,0,0,0,1},  // 9
    {0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,1,0,0},  // .
    {0,0,0,0,0,0,0,0,0,0,0,0,1,1,1,0,0,0,0,0},  // -
};

void DotFontDrawChar(int32_t x, int32_t y, char character) {
  const uint8_t* glyph = DotFontGlyph(character);
  if (!glyph) return;
  for (int32_t r = 0; r < 5; ++r) {
    for (int32_t c = 0; c < 4; ++c) {
      if (!glyph[r * 4 + c]) continue;
      const float px = static_cast<float>(x + c), py = static_cast<float>(y + r);
      if (px < gRdrState.clipMinX || px > gRdrState.clipMaxX || py < gRdrState.clipMinY || py > gRdrState.clipMaxY)
        continue;
      RdrVertex v{};
      v.ooz = DOT_OOZ;
      v.oow = DOT_OOW;
      const float offsets[4][2] = {{0.0f, 0.0f}, {0.5f, 0.0f}, {0.0f, 0.5f}, {0.5f, 0.5f}};
      for (const auto& o : offsets) {
        v.x = px + o[0];
        v.y = py + o[1];
        GfxDrawPoint(&v);
      }
    }
  }
}

namespace {

void SetTextState() {
  RdrDepthOff();
  GfxAlphaBlendFunction(GFX_BLEND_ONE, GFX_BLEND_ZERO, GFX_BLEND_ONE, GFX_BLEND_ZERO);
  GfxAlphaTestFunction(GFX_CMP_ALWAYS);
  RdrCacheColorCombine(GFX_COMBINE_CCRGB);
  GfxConstantColorValue(0xFFFFFF);
}

void RestoreDrawState() {
  GfxAlphaBlendFunction(GFX_BLEND_SRC_ALPHA, GFX_BLEND_ONE_MINUS_SRC_ALPHA, GFX_BLEND_ONE, GFX_BLEND_ZERO);
  GfxAlphaTestFunction(GFX_CMP_NOTEQUAL);
  RdrDepthOn();
}

}  // namespace

void DotFontPrintfScaled(int32_t x, int32_t y, int32_t dotWidth, int32_t dotHeight, const char* format, ...) {
  char text[DOT_FONT_BUFFER];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);

  if (!DotFontScaledBegin()) return;
  SetTextState();
  for (const char* p = text; *p; ++p, x += 5 * dotWidth) DotFontDrawCharScaled(x, y, dotWidth, dotHeight, *p);
  RestoreDrawState();
  DotFontScaledEnd();
}

void DotFontPrintf(int32_t x, int32_t y, const char* format, ...) {
  char text[DOT_FONT_BUFFER];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);

  SetTextState();
  for (const char* p = text; *p; ++p, x += DOT_PITCH) DotFontDrawChar(x, y, *p);
  RestoreDrawState();
}
