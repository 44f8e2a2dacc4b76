// The texture font of the race texts: one textured screen quad a character,
// capital letters, digits, '/' and ':'; any other character leaves a gap. Its
// size follows the screen width.
#pragma once
#include <cstdint>

constexpr int TEXT_LINE_BYTES = 268;  // a formatted line keeps 267 characters

struct HudFontState {
  uint32_t letterTexture;  // the race's letter and digit textures
  uint32_t digitTexture;
  int32_t advance;  // pixels from one character to the next
  float advanceF;
  float fadeLevel;  // 0..255, the alpha of the faded prints
  char line[TEXT_LINE_BYTES];
};
extern HudFontState HudFont;

constexpr int32_t TEXT_START_ADVANCE = 16;

// advance := screen width x n / 512; returns it.
int32_t TextSetScale(int32_t n);
int32_t TextWidth(const char* text);
void TextDrawGlyph(float x, float y, char ch);
void TextDrawGlyphFaded(float x, float y, char ch);
void TextPrintAt(int16_t x, int16_t y, const char* format, ...) __attribute__((format(printf, 3, 4)));
void TextPrintCentred(int16_t y, const char* format, ...) __attribute__((format(printf, 2, 3)));
void TextPrintFadedAt(int16_t x, int16_t y, const char* format, ...) __attribute__((format(printf, 3, 4)));
void TextPrintFadedCentred(int16_t y, const char* format, ...) __attribute__((format(printf, 2, 3)));
