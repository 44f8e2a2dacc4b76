// The rolling drums: a row of 13 characters, each a small ring that turns
// about its horizontal axis until the wanted glyph faces the viewer.
#pragma once
#include <cstdint>

#include "engine3d/mesh.h"

constexpr int MENU_DRUM_CHARS = 13;
constexpr int MENU_DRUM_LABEL_BYTES = 16;
constexpr int32_t MENU_GLYPH_UNITS = 512;  // ring angle units per glyph
constexpr int32_t MENU_GLYPH_BLANK = 36;
constexpr float MENU_DRUM_REST_TIME = 500.0f;

struct MenuDrumChar {
  float position, start, target, rate, time;
};

struct MenuDrum {
  float x, y;  // screen position of the first character; characters 28 px apart
  int32_t count;
  char label[MENU_DRUM_LABEL_BYTES];
  MenuDrumChar chars[MENU_DRUM_CHARS];
};

extern MenuDrum gMenuCategoryDrum;
extern MenuDrum gMenuValueDrum;
extern MenuDrum gMenuResolutionDrum;
extern MenuDrum gMenuDetailDrum;
extern MenuDrum gMenuControls1Drum;
extern MenuDrum gMenuControls2Drum;
extern MenuDrum gMenuLevelDrum;
extern MenuDrum gMenuNetKindDrum;

// The glyph of a label character: A-Z 0-25, 0-9 26-35, '/' 37, the accented
// code-page-437 letters and '$' 40-49; blank and anything else 36.
constexpr int32_t MenuGlyphIndex(char character) {
  const auto c = static_cast<unsigned char>(character);
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= '0' && c <= '9') return 26 + (c - '0');
  switch (c) {
    case '/': return 37;
    case 0x83: return 40;
    case 0x88: return 41;
    case 0x93: return 42;
    case 0x96: return 43;
    case 0x87: return 44;
    case '$': return 45;
    case 0xCF: return 46;
    case 0x9A: return 47;
    case 0x8E: return 48;
    case 0x99: return 49;
    default: return MENU_GLYPH_BLANK;
  }
}

// A drum label: exactly 13 characters, each a blank or a glyph of the drums.
constexpr bool MenuLabelValid(const char* text) {
  for (int i = 0; i < MENU_DRUM_CHARS; ++i) {
    if (text[i] == '\0') return false;
    if (text[i] != ' ' && MenuGlyphIndex(text[i]) == MENU_GLYPH_BLANK) return false;
  }
  return text[MENU_DRUM_CHARS] == '\0';
}

int32_t MenuGlyphDistance(char from, char to);

// Rolls every character from its old glyph to the new text's (at most 15
// characters are taken); a roll that was running jumps to its end first.
void MenuDrumSetLabel(MenuDrum* drum, const char* text);
// Puts the text on the drum at rest.
void MenuDrumSetLabelNow(MenuDrum* drum, const char* text);
// One frame of the roll for every character; true while one still rolls.
bool MenuDrumStep(MenuDrum* drum, float timeStep);
// Rolls every character on by the race's time step and draws it: the ring
// mapped with the glyphs at its position, turned to it, lit, at the
// character's place (28 pixels apart). A rolling character sets the menu's
// drum-roll flag. Nothing is drawn without a ring.
void MenuDrawDrum(MenuDrum* drum);

// The one ring every drum character is drawn with: 32 vertices on a circle
// of radius 26 about the x axis, 20 wide, and 16 quads, half of them for a
// glyph. Built when the menus are entered, freed when they are left.
constexpr int32_t MENU_RING_VERTICES = 32;
constexpr int32_t MENU_RING_FACES = 16;
extern MeshHeader gMenuDrumRing;
void MenuBuildDrumRing();
void MenuFreeDrumRing();
