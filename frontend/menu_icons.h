// The menus' flat layer: the icon bar with its hover and shading rules, the
// pointer, the small 8 x 8 font and the dot-font labels, the menu textures
// and the background picture.
#pragma once
#include <cstdint>

constexpr int32_t MENU_TEXT_BUFFER = 256;
constexpr int32_t MENU_ICON_SLOTS = 7;

// The drum fonts with the colour key black, then the icon textures unfiltered
// and without a key; each file copy is freed once downloaded.
void MenuLoadTextures();
// The background picture over the whole screen; none while none loaded.
void MenuDrawBackground();

// The small font's glyph of a character: c - 33 for the printable ones, the
// accented code-page-437 letters and '$' 78-87, -1 (nothing drawn) for a blank
// and every other character.
int32_t MenuTextGlyphIndex(char c);
void MenuTextGlyph(int32_t x, int32_t y, char c);
// Formats into the shared text buffer, cut to 255 characters, and draws it
// from (x, y), 8 pixels a character; returns the characters drawn.
int32_t MenuTextPrintf(int32_t x, int32_t y, const char* format, ...) __attribute__((format(printf, 3, 4)));
int32_t MenuTextPrintfCentred(int32_t y, const char* format, ...) __attribute__((format(printf, 2, 3)));
extern char gMenuTextBuffer[MENU_TEXT_BUFFER];

// Accented letters and '$' to the plain capitals the dot font has.
char MenuDotFontFold(char c);
// A menu label in the dot font from (x, y): leading blanks skipped, 5 pixels
// a character, a blank inside it starting a new line 7 pixels lower.
void MenuDotFontLabel(int32_t x, int32_t y, const char* label);

void MenuSetMainIconLayout();
void MenuDrawIconCell(int32_t x, int32_t y, int32_t u, int32_t v, int32_t width, int32_t height, int32_t texture);
// Whether the slot can be clicked now (network stage, network role, mode).
bool MenuIconClickable(int32_t slot);
// Whether the cursor is over the slot's hover rectangle.
bool MenuIconUnderCursor(int32_t slot);
int32_t MenuIconHover(int32_t slot);
int32_t MenuDrawIcon(int32_t slot, int32_t cell);
void MenuDrawIconHalf(int32_t slot, int32_t cell, int32_t offset);
int32_t MenuDrawIconPair(int32_t slot, int32_t cell1, int32_t cell2);
int32_t MenuDrawIconLabelled(int32_t slot, int32_t cell, int32_t block, int32_t index, int32_t block2, int32_t index2);
struct SaveSlot;
struct Vehicle;
// A saved championship's row of 16-pixel icons from x 377, 19 apart, at
// y - 3: track, both vehicles (halved when it was a two-player save), game
// mode, players mode, and its detail in the dot font.
void MenuDrawSaveSlotIcons(int32_t y, const SaveSlot* slot);
// The vehicle's type icon at 32 pixels, x 424.
void MenuDrawVehicleIcon(int32_t y, const Vehicle* vehicle);
// Draws the seven slots; the clicked slot, or -1.
int32_t MenuIconBarDraw();
// The bar and the pointer over it, without the depth test.
int32_t MenuIconBar();
