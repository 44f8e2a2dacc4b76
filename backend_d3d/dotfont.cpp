// The debug dot font: each dot one white point, no texture needed.
#include "backend_common/dotfont.h"

#include <cstdarg>
#include <cstdio>

#include "backend_d3d/faces.h"
#include "hal/beep.h"

const uint8_t DOT_FONT_GLYPHS[DOT_FONT_GLYPH_COUNT][20] = {
    {0,1,1,0, 1,0,0,1, 1,1,1,1, 1,0,0,1, 1,0,0,1},  // A
    {1,1,1,0, 1,0,0,1, 1,1,1,0, 1,0,0,1, 1,1,1,1},  // B
    {0,1,1,1, 1,0,0,0, 1,0,0,0, 1,0,0,0, 0,1,1,1},  // C
    {1,1,1,0, 1,0,0,1, 1,0,0,1, 1,0,0,1, 1,1,1,0},  // D
    {1,1,1,1, 1,0,0,0, 1,1,1,0, 1,0,0,0, 1,1,1,1},  // E
    {1,1,1,1, 1,0,0,0, 1,1,1,0, 1,0,0,0, 1,0,0,0},  // F
    {0,1,1,1, 1,0,0,0, 1,0,0,1, 1,0,0,1, 0,1,1,0},  // G
    {1,0,0,1, 1,0,0,1, 1,1,1,1, 1,0,0,1, 1,0,0,1},  // H
    {1,1,1,0, 0,1,0,0, 0,1,0,0, 0,1,0,0, 1,1,1,0},  // I
    {0,1,1,1, 0,0,1,0, 0,0,1,0, 1,0,1,0, 1,1,0,0},  // J
    {1,0,0,1, 1,0,1,0, 1,1,0,0, 1,0,1,0, 1,0,0,1},  // K
    {1,0,0,0, 1,0,0,0, 1,0,0,0, 1,0,0,0, 1,1,1,1},  // L
    {1,0,0,1, 1,1,1,1, 1,0,0,1, 1,0,0,1, 1,0,0,1},  // M
    {1,0,0,1, 1,1,0,1, 1,0,1,1, 1,0,0,1, 1,0,0,1},  // N
    {0,1,1,0, 1,0,0,1, 1,0,0,1, 1,0,0,1, 0,1,1,0},  // O
    {1,1,1,0, 1,0,0,1, 1,1,1,0, 1,0,0,0, 1,0,0,0},  // P
    {0,1,1,0, 1,0,0,1, 1,0,0,1, 1,0,1,1, 0,1,1,1},  // Q
    {1,1,1,0, 1,0,0,1, 1,1,1,0, 1,0,1,0, 1,0,0,1},  // R
    {0,1,1,1, 1,0,0,0, 0,1,1,0, 0,0,0,1, 1,1,1,0},  // S
    {1,1,1,0, 0,1,0,0, 0,1,0,0, 0,1,0,0, 0,1,0,0},  // T
    {1,0,0,1, 1,0,0,1, 1,0,0,1, 1,0,0,1, 1,1,1,1},  // U
    {1,0,1,0, 1,0,1,0, 1,0,1,0, 1,0,1,0, 0,1,0,0},  // V
    {1,0,0,1, 1,0,0,1, 1,0,0,1, 1,1,1,1, 1,0,0,1},  // W
    {1,0,0,1, 1,0,0,1, 0,1,1,0, 1,0,0,1, 1,0,0,1},  // X
    {1,0,1,0, 1,0,1,0, 0,1,0,0, 0,1,0,0, 0,1,0,0},  // Y
    {1,1,1,1, 0,0,0,1, 0,1,1,0, 1,0,0,0, 1,1,1,1},  // Z
    {1,1,1,1, 1,0,0,1, 1,0,0,1, 1,0,0,1, 1,1,1,1},  // 0
    {0,0,1,0, 0,1,1,0, 0,0,1,0, 0,0,1,0, 0,1,1,1},  // 1
    {1,1,1,1, 0,0,0,1, 1,1,1,1, 1,0,0,0, 1,1,1,1},  // 2
    {1,1,1,1, 0,0,0,1, 0,1,1,0, 0,0,0,1, 1,1,1,1},  // 3
    {1,0,0,1, 1,0,0,1, 1,1,1,1, 0,0,0,1, 0,0,0,1},  // 4
    {1,1,1,1, 1,0,0,0, 1,1,1,1, 0,0,0,1, 1,1,1,1},  // 5
    {1,0,0,0, 1,0,0,0, 1,1,1,1, 1,0,0,1, 1,1,1,1},  // 6
    {1,1,1,1, 0,0,0,1, 0,0,1,0, 0,0,1,0, 0,0,1,0},  // 7
    {1,1,1,1, 1,0,0,1, 1,1,1,1, 1,0,0,1, 1,1,1,1},  // 8
    {1,1,1,1, 1,0,0,1, 1,1,1,1, 0,0,0,1, 0,0,0,1},  // 9
    {0,0,0,0, 0,0,0,0, 0,0,0,0, 0,0,0,0, 0,1,0,0},  // .
    {0,0,0,0, 0,0,0,0, 0,0,0,0, 1,1,1,0, 0,0,0,0},  // -
};

namespace {

constexpr int32_t DOT_PITCH = 5;

// The one point every dot is drawn with; only its position changes.
RdrVertex gDot = {0.0f, 0.0f, 0.5f, 1.0f, 0xFFFFFFFF, 0xFF000000, 0.0f, 0.0f};

}  // namespace

void DotFontDrawChar(int32_t x, int32_t y, char character) {
  const uint8_t* glyph = DotFontGlyph(character);
  if (!glyph) return;
  const RdrState& s = gRdrState;
  for (int32_t r = 0; r < 5; ++r) {
    for (int32_t c = 0; c < 4; ++c) {
      if (!glyph[r * 4 + c]) continue;
      const float px = static_cast<float>(x + c), py = static_cast<float>(y + r);
      if (px < s.clipMinX || px > s.clipMaxX || py < s.clipMinY || py > s.clipMaxY) continue;
      gDot.sx = px;
      gDot.sy = py;
      // A dot the device refuses beeps; the text goes on.
      if (!HalD3dDrawPrimitive(gD3d.device, HAL_PRIM_POINTLIST, &gDot, 1, RDR_DRAW_CLIPPED)) HalBeep();
    }
  }
}

void DotFontPrintf(int32_t x, int32_t y, const char* format, ...) {
  char text[DOT_FONT_BUFFER];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);

  RdrDepthOff();
  HalD3dSetTexture(gD3d.device, 0, 0);
  RdrCacheStageMode(1);
  for (const char* p = text; *p; ++p, x += DOT_PITCH) DotFontDrawChar(x, y, *p);
  RdrDepthOn();
}

// Nothing in the game calls it: each dot a white flat rectangle.
void DotFontPrintfScaled(int32_t x, int32_t y, int32_t dotWidth, int32_t dotHeight, const char* format, ...) {
  char text[DOT_FONT_BUFFER];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);

  if (!DotFontScaledBegin()) return;
  RdrDepthOff();
  for (const char* p = text; *p; ++p, x += DOT_PITCH * dotWidth) DotFontDrawCharScaled(x, y, dotWidth, dotHeight, *p);
  RdrDepthOn();
  DotFontScaledEnd();
}
