#include "frontend/menu_icons.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "backend_common/display.h"
#include "backend_common/dotfont.h"
#include "backend_common/draw.h"
#include "backend_common/picture.h"
#include "backend_common/texture.h"
#include "frontend/frontend.h"
#include "frontend/menu_items.h"
#include "presentation/presentation.h"
#include "presentation/quads.h"
#include "presentation/sfx.h"
#include "race/race.h"
#include "race/track_files.h"

char gMenuTextBuffer[MENU_TEXT_BUFFER];

namespace {

constexpr int32_t ICON_TEXELS = 48, ICONS_A_ROW = 5;
constexpr int32_t SECOND_ICON_CELLS = 100;
constexpr int32_t SMALL_FONT_V = 96, SMALL_CELL = 8, SMALL_A_ROW = 32;
constexpr int32_t FIRST_SMALL_ACCENT = 78;
constexpr float FLAT_DEPTH = 20.0f;
constexpr int32_t PLAYERS_TWO = 1, PLAYERS_NETWORK = 2;
constexpr int32_t GAME_CHALLENGE = 2;
constexpr int32_t NET_HOST = 2, NET_CLIENT = 3;
constexpr int32_t CLICK_EFFECT = 31, CLICK_VOLUME = -1000;
constexpr int32_t SHADE_ALPHA = 200;
constexpr int32_t HIGHEST_VEHICLE_ICON = 6;
// The accented letters in the order of their glyphs, and their plain capitals.
constexpr unsigned char ACCENTED[] = {0x83, 0x88, 0x93, 0x96, 0x87, '$', 0xCF, 0x9A, 0x8E, 0x99};
constexpr char ACCENTED_PLAIN[] = "AEOUCAOUAO";

// Returns the handle of a downloaded texture and its table entry, -1 when it
// did not load or the table is full.
int32_t LoadTexture(const char* name, bool unfiltered, int32_t* entry) {
  TextureRecord* record = unfiltered ? TexLoadUnfiltered(name) : TexLoad(name);
  if (!record) return -1;
  const int32_t handle = TexDownload(record);
  TexFree(record);
  if (entry) *entry = handle < 0 ? -1 : gTextureTable.count - 1;
  return handle;
}

uint32_t FontHandle(int32_t font) {
  const int32_t entry = gMenu.fontEntry[font];
  return entry >= 0 && entry < gTextureTable.count ? gTextureTable.entries[entry].handle : 0;
}

int32_t SlotX(int32_t slot) { return gMenu.iconX + gMenu.iconStep * slot; }

const char* RowLabel(int32_t block, int32_t index) {
  const int32_t row = std::clamp(block + index, 0, MENU_ITEM_COUNT - 1);
  return gMenuItems[static_cast<size_t>(row)].label;
}

// Types above the last icon (the kit car and the network players' cars) show it.
int32_t VehicleTypeIcon(int32_t type) { return 18 + std::clamp(type, 0, HIGHEST_VEHICLE_ICON); }
int32_t VehicleIcon(const Vehicle* v) { return VehicleTypeIcon(v ? v->type : 0); }
int32_t ControlsIcon(const Vehicle* v) { return 10 + std::clamp(v ? v->controller : 0, 0, 3); }

bool TrackLocked() { return !gMenuItems[static_cast<size_t>(std::clamp(+gRace.trackIndex, 0, 9))].enabled; }

// Slots a set-up network race keeps from this machine: the host keeps the
// game and players modes, a client the track and the vehicle in challenge too.
bool NetworkHolds(int32_t slot) {
  if (gRace.networkGame != NET_HOST && gRace.networkGame != NET_CLIENT) return false;
  if (slot == 2 || slot == 3) return true;
  if (gRace.networkGame == NET_HOST) return false;
  return slot == 0 || (slot == 1 && gRace.gameMode == GAME_CHALLENGE);
}

void ShadeSlot(int32_t slot) {
  const float x = static_cast<float>(97 + 60 * slot);
  ViewDrawShadeQuad(x, 14.0f, x + 52.0f, 70.0f, 0, SHADE_ALPHA);
}

int32_t TextDraw(int32_t x, int32_t y) {
  const int32_t n = static_cast<int32_t>(std::strlen(gMenuTextBuffer));
  for (int32_t i = 0; i < n; ++i) MenuTextGlyph(x + SMALL_CELL * i, y, gMenuTextBuffer[i]);
  return n;
}

}  // namespace

void MenuLoadTextures() {
  TexSetColourKey(0, 0, 0);
  LoadTexture("typhab.3df", false, &gMenu.fontEntry[0]);
  LoadTexture("typhab1.3df", false, &gMenu.fontEntry[1]);
  TexSetColourKey(-1, 0, 0);
  gMenu.iconTexture[0] = LoadTexture("icones.3df", true, nullptr);
  gMenu.iconTexture[1] = LoadTexture("icones1.3df", true, nullptr);
}

void MenuDrawBackground() {
  if (gMenu.background) LfbDrawScreenImage(gMenu.background);
}

int32_t MenuTextGlyphIndex(char c) {
  const auto u = static_cast<unsigned char>(c);
  for (int32_t i = 0; i < 10; ++i)
    if (u == ACCENTED[i]) return FIRST_SMALL_ACCENT + i;
  if (u > ' ' && u < 0x7F) return u - 33;
  return -1;
}

void MenuTextGlyph(int32_t x, int32_t y, char c) {
  const int32_t g = MenuTextGlyphIndex(c);
  if (g < 0 || gMenu.iconTexture[1] < 0) return;
  const float u = static_cast<float>(g % SMALL_A_ROW * SMALL_CELL);
  const float v = static_cast<float>(SMALL_FONT_V + g / SMALL_A_ROW * SMALL_CELL);
  const auto fx = static_cast<float>(x), fy = static_cast<float>(y);
  QuadDrawPicture(fx, fy, fx + SMALL_CELL, fy + SMALL_CELL, static_cast<uint32_t>(gMenu.iconTexture[1]), u, v,
                  u + SMALL_CELL, v + SMALL_CELL);
}

int32_t MenuTextPrintf(int32_t x, int32_t y, const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::vsnprintf(gMenuTextBuffer, sizeof gMenuTextBuffer, format, args);
  va_end(args);
  return TextDraw(x, y);
}

int32_t MenuTextPrintfCentred(int32_t y, const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::vsnprintf(gMenuTextBuffer, sizeof gMenuTextBuffer, format, args);
  va_end(args);
  const auto length = static_cast<int32_t>(std::strlen(gMenuTextBuffer));
  return TextDraw((640 - SMALL_CELL * length) / 2, y);
}

char MenuDotFontFold(char c) {
  for (int32_t i = 0; i < 10; ++i)
    if (static_cast<unsigned char>(c) == ACCENTED[i]) return ACCENTED_PLAIN[i];
  return c;
}

void MenuDotFontLabel(int32_t x, int32_t y, const char* label) {
  int32_t i = 0;
  while (label[i] == ' ') ++i;
  int32_t cx = x, cy = y;
  for (; label[i] != '\0'; ++i) {
    if (label[i] == ' ') {
      cx = x;
      cy += 7;
      continue;
    }
    DotFontPrintf(cx, cy, "%c", MenuDotFontFold(label[i]));
    cx += 5;
  }
}

void MenuSetMainIconLayout() {
  gMenu.iconSize = 48;
  gMenu.iconX = 100;
  gMenu.iconY = 18;
  gMenu.iconStep = 60;
  gMenu.mainLayout = 1;
}

void MenuDrawIconCell(int32_t x, int32_t y, int32_t u, int32_t v, int32_t width, int32_t height, int32_t texture) {
  if (texture < 0) return;
  const auto fx = static_cast<float>(x), fy = static_cast<float>(y);
  const auto fu = static_cast<float>(u), fv = static_cast<float>(v);
  QuadDrawPicture(fx, fy, fx + static_cast<float>(width), fy + static_cast<float>(height), static_cast<uint32_t>(texture),
                  fu, fv, fu + static_cast<float>(width), fv + static_cast<float>(height));
}

bool MenuIconClickable(int32_t slot) {
  if (slot == 6 && gMenuNetSetup == 1) return false;
  return !(NetworkHolds(slot) || (slot == 6 && (gRace.networkGame == NET_HOST || gRace.networkGame == NET_CLIENT)));
}

bool MenuIconUnderCursor(int32_t slot) {
  const int32_t left = 97 + 60 * slot;
  return gMenu.cursorX >= left && gMenu.cursorX < left + 52 && gMenu.cursorY >= 14 && gMenu.cursorY < 70;
}

int32_t MenuIconHover(int32_t slot) {
  if (!MenuIconClickable(slot) || !MenuIconUnderCursor(slot)) return 0;
  const auto left = static_cast<float>(97 + 60 * slot);
  if (Face* f = QuadBuild(left, 14.0f, left + 52.0f, 70.0f, FLAT_DEPTH)) {
    f->type = 0xFFFFFF;
    RdrDrawFaceWire(f);
  }
  return gMenu.pressEdge;
}

namespace {
// The cell's texture and texel origin.
int32_t CellTexture(int32_t cell, int32_t* u, int32_t* v) {
  const bool second = cell >= SECOND_ICON_CELLS;
  const int32_t c = second ? cell - SECOND_ICON_CELLS : cell;
  *u = c % ICONS_A_ROW * ICON_TEXELS;
  *v = c / ICONS_A_ROW * ICON_TEXELS;
  return gMenu.iconTexture[second ? 1 : 0];
}

int32_t HoverIfMain(int32_t slot) { return gMenu.mainLayout ? MenuIconHover(slot) : 0; }
}  // namespace

int32_t MenuDrawIcon(int32_t slot, int32_t cell) {
  int32_t u = 0, v = 0;
  const int32_t texture = CellTexture(cell, &u, &v);
  const int32_t size = gMenu.iconSize;
  if (texture >= 0) {
    const auto x = static_cast<float>(SlotX(slot)), y = static_cast<float>(gMenu.iconY);
    QuadDrawPicture(x, y, x + static_cast<float>(size), y + static_cast<float>(size), static_cast<uint32_t>(texture),
                    static_cast<float>(u), static_cast<float>(v), static_cast<float>(u + ICON_TEXELS),
                    static_cast<float>(v + ICON_TEXELS));
  }
  return HoverIfMain(slot);
}

void MenuDrawIconHalf(int32_t slot, int32_t cell, int32_t offset) {
  int32_t u = 0, v = 0;
  const int32_t texture = CellTexture(cell, &u, &v);
  if (texture < 0) return;
  const int32_t half = gMenu.iconSize / 2;
  // The right half takes the cell's right texels, whatever the screen gap.
  const int32_t texelLeft = u + (offset == 0 ? 0 : ICON_TEXELS / 2);
  const auto x = static_cast<float>(SlotX(slot) + offset), y = static_cast<float>(gMenu.iconY);
  QuadDrawPicture(x, y, x + static_cast<float>(half), y + static_cast<float>(gMenu.iconSize),
                  static_cast<uint32_t>(texture), static_cast<float>(texelLeft), static_cast<float>(v),
                  static_cast<float>(texelLeft + ICON_TEXELS / 2), static_cast<float>(v + ICON_TEXELS));
}

int32_t MenuDrawIconPair(int32_t slot, int32_t cell1, int32_t cell2) {
  if (gRace.playersMode != PLAYERS_TWO) return MenuDrawIcon(slot, cell1);
  MenuDrawIconHalf(slot, cell1, 0);
  MenuDrawIconHalf(slot, cell2, gMenu.iconSize / 2 + 2);
  return HoverIfMain(slot);
}

int32_t MenuDrawIconLabelled(int32_t slot, int32_t cell, int32_t block, int32_t index, int32_t block2, int32_t index2) {
  const int32_t clicked = cell == -1 ? HoverIfMain(slot) : MenuDrawIcon(slot, cell);
  const int32_t x = SlotX(slot) + 6;
  MenuDotFontLabel(x, gMenu.iconY + 10, RowLabel(block, index));
  MenuDotFontLabel(x, gMenu.iconY + 27, RowLabel(block2, index2));
  return clicked;
}

int32_t MenuIconBarDraw() {
  MenuSetMainIconLayout();
  bool clicked[MENU_ICON_SLOTS] = {};
  clicked[0] = MenuDrawIcon(0, std::clamp(+gRace.trackIndex, 0, 9)) != 0;
  clicked[1] = MenuDrawIconPair(1, VehicleIcon(gPlayer1Vehicle), VehicleIcon(gPlayer2Vehicle)) != 0;
  clicked[2] = MenuDrawIcon(2, 103 + std::clamp(+gRace.gameMode, 0, 3)) != 0;
  clicked[3] = MenuDrawIcon(3, 15 + std::clamp(+gRace.playersMode, 0, 2)) != 0;
  clicked[4] = MenuDrawIconLabelled(4, 14, MENU_ROW_RESOLUTIONS, gOptions.hardwarePreset, MENU_ROW_DETAIL,
                                    gOptions.detailSetting) != 0;
  clicked[5] = MenuDrawIconPair(5, ControlsIcon(gPlayer1Vehicle), ControlsIcon(gPlayer2Vehicle)) != 0;
  clicked[6] = MenuDrawIcon(6, 100) != 0;

  // Slots the current set-up keeps: shaded, and a click on them does nothing.
  bool shaded[MENU_ICON_SLOTS] = {};
  if (gRace.playersMode == PLAYERS_NETWORK) {
    shaded[3] = TrackLocked();
    shaded[6] = true;
  }
  for (int32_t slot = 0; slot < MENU_ICON_SLOTS; ++slot) shaded[slot] = shaded[slot] || NetworkHolds(slot);
  int32_t result = -1;
  for (int32_t slot = 0; slot < MENU_ICON_SLOTS; ++slot)
    if (clicked[slot] && !shaded[slot]) result = slot;
  if (result >= 0) {
    if (gMenu.clickSlot >= 0) SfxStopSlot(gMenu.clickSlot);
    gMenu.clickSlot = SfxPlayEffect2D(CLICK_EFFECT, CLICK_VOLUME);
  }
  RdrDepthOff();
  for (int32_t slot = 0; slot < MENU_ICON_SLOTS; ++slot)
    if (shaded[slot]) ShadeSlot(slot);
  return result;
}

int32_t MenuIconBar() {
  RdrDepthOff();
  const int32_t clicked = MenuIconBarDraw();
  if (gMenu.fontEntry[1] >= 0) {
    const auto x = static_cast<float>(gMenu.cursorX), y = static_cast<float>(gMenu.cursorY);
    QuadDrawPicture(x, y, x + 20.0f, y + 40.0f, FontHandle(1), 224.0f, 192.0f, 254.0f, 254.0f);
  }
  RdrDepthOn();
  return clicked;
}

namespace {
void SetLayout(int32_t size, int32_t x, int32_t y, int32_t step) {
  gMenu.iconSize = size;
  gMenu.iconX = x;
  gMenu.iconY = y;
  gMenu.iconStep = step;
  gMenu.mainLayout = 0;
}
}  // namespace

void MenuDrawSaveSlotIcons(int32_t y, const SaveSlot* slot) {
  if (!slot) return;
  constexpr const char* DETAIL[] = {"MAX", "HIG", "MED", "LOW"};
  SetLayout(16, 377, y - 3, 19);
  MenuDrawIcon(0, std::clamp(+slot->trackIndex, 0, 9));
  // The pair shows the save's players mode, not the one in force now.
  const int32_t playersMode = gRace.playersMode;
  gRace.playersMode = slot->playersMode;
  MenuDrawIconPair(1, VehicleTypeIcon(slot->vehicleType[0]), VehicleTypeIcon(slot->vehicleType[1]));
  gRace.playersMode = playersMode;
  MenuDrawIcon(2, 103 + std::clamp(+slot->gameMode, 0, 3));
  MenuDrawIcon(3, 15 + std::clamp(+slot->playersMode, 0, 2));
  Options options;
  static_assert(sizeof options == sizeof slot->options);
  std::memcpy(&options, slot->options, sizeof options);
  DotFontPrintf(SlotX(4), y, "%s", DETAIL[std::clamp(+options.detailSetting, 0, 3)]);
}

void MenuDrawVehicleIcon(int32_t y, const Vehicle* vehicle) {
  SetLayout(32, 424, y, 0);
  MenuDrawIcon(0, VehicleTypeIcon(vehicle ? vehicle->type : 0));
}
