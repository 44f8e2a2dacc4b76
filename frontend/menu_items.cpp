// The menu item table, its edition texts, the rules that open and close its
// rows, and the routines that put the current values on the drums. The race
// calls some of these, so nothing here pulls in a menu page.
#include "frontend/menu_items.h"

#include <algorithm>

#include "backend_common/display.h"
#include "backend_common/picture.h"
#include "frontend/frontend.h"
#include "frontend/menu_championship.h"
#include "platform/mem.h"
#include "race/ffb.h"
#include "race/race.h"

MenuState gMenu;

namespace {

// Rows 16 and 26 carry the code-page-437 capitals A and O umlaut (0x8E, 0x99).
constexpr MenuEditionTexts GERMAN = {
    {" HOT TANKER  ", "  BIG WHITE  ", " OLD CASTLE  ", "   VOLCANO   ", "   HIGHWAY   ", "    RUINS    ",
     "   LOOPING   ", "   SUNSET    ", "   SAVANA    ", "  MAGIC ICE  ",
     "     WEG     ", "  FAHRZEUG   ", " SPIELWEISE  ", " MEHR SPIELER", "  OPTIONEN   ", "SPEICHERUNGEN",
     "    W\x8E" "HLEN   ", "     BAU     ",
     "  TRAINING   ", "   ARKADE    ", "  CHALLENGE  ", "MEISTERSCHAFT",
     " SOLO PARTIE ", "  2 SPIELER  ", "  NETZWERK   ",
     " GRAPHISMEN  ", "     T\x99" "NE    ", " STEUERUNGEN ",
     "    LADEN    ", "  SPEICHERN  ",
     "   320X200   ", "   512X384   ", "   640X480   ", "   800X600   ", "  1024X768   ",
     "320X200 16/9 ", "512X384 16/9 ", "640X480 16/9 ", "800X600 16/9 ", "1024X768 16/9",
     "   MAXIMUM   ", "     HOCH    ", "    MITTEL   ", "     TIEF    ",
     "  TASTATUR   ", "    MAUS     ", "  JOYSTICK   ", "     RAD     ",
     "  TASTATUR   ", "    MAUS     ", "  JOYSTICK   ", "     RAD     ",
     "     IPX     ", "   TCP/IP    ", "    MODEM    ", "    SERIE    ",
     "     HOCH    ", "    MITTEL   ", "     TIEF    "},
    "SPIELER", "SPIELER 1", "SPIELER 2", "KUMULIERTES TOTAL"};

// The drums have no accented Italian or Spanish capitals: those words go without.
constexpr MenuEditionTexts ITALIAN = {
    {" HOT TANKER  ", "  BIG WHITE  ", " OLD CASTLE  ", "   VOLCANO   ", "   HIGHWAY   ", "    RUINS    ",
     "   LOOPING   ", "   SUNSET    ", "   SAVANA    ", "  MAGIC ICE  ",
     "   PERCORSO  ", "   VEICOLO   ", "  MODALITA   ", "  GIOCATORI  ", "   OPZIONI   ", " SALVATAGGI  ",
     "  SCEGLIERE  ", "  COSTRUIRE  ",
     " ALLENAMENTO ", "   ARCADE    ", "    SFIDA    ", " CAMPIONATO  ",
     "   SINGOLO   ", " 2 GIOCATORI ", "    RETE     ",
     "   GRAFICA   ", "    SUONO    ", "  CONTROLLI  ",
     "   CARICA    ", "    SALVA    ",
     "   320X200   ", "   512X384   ", "   640X480   ", "   800X600   ", "  1024X768   ",
     "320X200 16/9 ", "512X384 16/9 ", "640X480 16/9 ", "800X600 16/9 ", "1024X768 16/9",
     "   MASSIMO   ", "     ALTO    ", "    MEDIO    ", "    BASSO    ",
     "  TASTIERA   ", "    MOUSE    ", "  JOYSTICK   ", "   VOLANTE   ",
     "  TASTIERA   ", "    MOUSE    ", "  JOYSTICK   ", "   VOLANTE   ",
     "     IPX     ", "   TCP/IP    ", "    MODEM    ", "   SERIALE   ",
     "     ALTO    ", "    MEDIO    ", "    BASSO    "},
    "GIOCATORE", "GIOCATORE 1", "GIOCATORE 2", "TOTALE CUMULATO"};

constexpr MenuEditionTexts SPANISH = {
    {" HOT TANKER  ", "  BIG WHITE  ", " OLD CASTLE  ", "   VOLCANO   ", "   HIGHWAY   ", "    RUINS    ",
     "   LOOPING   ", "   SUNSET    ", "   SAVANA    ", "  MAGIC ICE  ",
     "  CIRCUITO   ", "  VEHICULO   ", "  MODALIDAD  ", "  JUGADORES  ", "  OPCIONES   ", "  GUARDADOS  ",
     "   ELEGIR    ", "  CONSTRUIR  ",
     "ENTRENAMIENTO", "   ARCADE    ", "   DESAFIO   ", "  CAMPEONATO ",
     "  INDIVIDUAL ", " 2 JUGADORES ", "     RED     ",
     "  GRAFICOS   ", "   SONIDO    ", "  CONTROLES  ",
     "   CARGAR    ", "   GUARDAR   ",
     "   320X200   ", "   512X384   ", "   640X480   ", "   800X600   ", "  1024X768   ",
     "320X200 16/9 ", "512X384 16/9 ", "640X480 16/9 ", "800X600 16/9 ", "1024X768 16/9",
     "    MAXIMO   ", "     ALTO    ", "    MEDIO    ", "     BAJO    ",
     "   TECLADO   ", "    RATON    ", "  JOYSTICK   ", "   VOLANTE   ",
     "   TECLADO   ", "    RATON    ", "  JOYSTICK   ", "   VOLANTE   ",
     "     IPX     ", "   TCP/IP    ", "    MODEM    ", "    SERIE    ",
     "     ALTO    ", "    MEDIO    ", "     BAJO    "},
    "JUGADOR", "JUGADOR 1", "JUGADOR 2", "TOTAL ACUMULADO"};

static_assert(MenuEditionTextsValid(GERMAN), "a German menu text does not fit the drums");
static_assert(MenuEditionTextsValid(ITALIAN), "an Italian menu text does not fit the drums");
static_assert(MenuEditionTextsValid(SPANISH), "a Spanish menu text does not fit the drums");

// The enabled bytes at program start; the rules below change them.
constexpr uint8_t START_ENABLED[MENU_ITEM_COUNT] = {
    1, 1, 1, 1, 1, 1, 1, 1, 1, 1,  // tracks
    1, 1, 1, 1, 1, 1,              // categories
    1, 1,                          // vehicle
    1, 1, 1, 1,                    // game modes
    1, 1, 1,                       // players
    1, 0, 1,                       // options: no sound page
    1, 1,                          // saves
    0, 0, 1, 0, 0,                 // resolutions
    0, 0, 1, 0, 0,                 // resolutions 16/9
    1, 1, 1, 1,                    // detail
    1, 1, 0, 0,                    // player 1's controls
    1, 1, 0, 0,                    // player 2's controls
    1, 1, 0, 1,                    // network kinds: no modem
    1, 1, 1,                       // levels
};

constexpr std::array<MenuItem, MENU_ITEM_COUNT> StartItems(const MenuEditionTexts& texts) {
  std::array<MenuItem, MENU_ITEM_COUNT> items{};
  for (int i = 0; i < MENU_ITEM_COUNT; ++i) items[i] = {START_ENABLED[i], texts.labels[i]};
  return items;
}

constexpr int CATEGORY_PLAYERS_ROW = MENU_ROW_CATEGORIES + 3;
constexpr int CONTROLLER_JOYSTICK = 2;
constexpr int CONTROLLER_WHEEL = 3;
constexpr int32_t DISPLAY_MENU_INDEX = 2;  // 640 x 480
constexpr int32_t PLAYERS_NETWORK = 2;

// The row of `value` in a block of `count` rows; a value outside the block
// shows its nearest row rather than another block's.
int32_t Row(int32_t first, int32_t count, int32_t value) { return first + std::clamp(value, 0, count - 1); }
const char* Label(int32_t row) { return gMenuItems[static_cast<size_t>(row)].label; }

int32_t TrackRow() { return Row(MENU_ROW_TRACKS, MENU_TRACK_ITEMS, gRace.trackIndex); }

int32_t ValueRow() {
  switch (gMenu.category) {
    case 1: return Row(MENU_ROW_VEHICLE, 2, gMenu.vehicleValue);
    case 2: return Row(MENU_ROW_GAME_MODES, 4, gRace.gameMode);
    case 3: return Row(MENU_ROW_PLAYERS, 3, gRace.playersMode);
    case 4: return Row(MENU_ROW_OPTIONS, 3, gMenu.optionValue);
    case 5: return Row(MENU_ROW_SAVES, 2, gMenu.saveValue);
    default: return TrackRow();
  }
}

uint8_t EnterButtonShown() {
  switch (gMenu.category) {
    case 2: return gRace.gameMode != 0;
    case 3: return gRace.playersMode == PLAYERS_NETWORK && gMenuItems[static_cast<size_t>(TrackRow())].enabled;
    case 5: return gRace.playersMode != PLAYERS_NETWORK;
    default: return 1;
  }
}

int32_t CategoryRow() { return Row(MENU_ROW_CATEGORIES, 6, gMenu.category); }

void SetRows(std::initializer_list<int> rows, uint8_t enabled) {
  for (int row : rows) gMenuItems[static_cast<size_t>(row)].enabled = enabled;
}

void ApplyControllerRules() {
  if (!gFfbDeviceActive) {
    SetRows({46, 47, 50, 51}, 0);
    if (gPlayer1Vehicle && gPlayer1Vehicle->controller >= CONTROLLER_JOYSTICK) gPlayer1Vehicle->controller = 0;
    if (gPlayer2Vehicle && gPlayer2Vehicle->controller >= CONTROLLER_JOYSTICK) gPlayer2Vehicle->controller = 1;
  } else if (gFfb.deviceKind != 0) {
    SetRows({MENU_ROW_CONTROLS1 + CONTROLLER_WHEEL, MENU_ROW_CONTROLS2 + CONTROLLER_WHEEL}, 1);
  } else {
    SetRows({MENU_ROW_CONTROLS1 + CONTROLLER_JOYSTICK, MENU_ROW_CONTROLS2 + CONTROLLER_JOYSTICK}, 1);
  }
}

int32_t ControllerOf(const Vehicle* v) { return v ? v->controller : 0; }

}  // namespace

std::array<MenuItem, MENU_ITEM_COUNT> gMenuItems = StartItems(MenuTextsOf(GAME_EDITION));

const MenuEditionTexts& MenuTextsOf(Edition edition) {
  switch (edition) {
    case EDITION_ITALIAN: return ITALIAN;
    case EDITION_SPANISH: return SPANISH;
    default: return GERMAN;
  }
}

int32_t MenuEnableResolutions() {
  struct Size {
    uint32_t code;
    int row;
  };
  // 640 x 480 needs no question: the menus run in it.
  constexpr Size SIZES[] = {{RDR_RES_320x200, 0}, {RDR_RES_512x384, 1}, {RDR_RES_800x600, 3}, {RDR_RES_1024x768, 4}};
  for (const Size& size : SIZES) {
    const uint8_t fits = RdrModeFits(size.code) ? 1 : 0;
    SetRows({MENU_ROW_RESOLUTIONS + size.row, MENU_ROW_RESOLUTIONS + 5 + size.row}, fits);
  }
  SetRows({MENU_ROW_RESOLUTIONS + DISPLAY_MENU_INDEX, MENU_ROW_RESOLUTIONS + 5 + DISPLAY_MENU_INDEX}, 1);
  return DISPLAY_MENU_INDEX;
}

void MenuUnlockTracks() {
  gMenuItems[CATEGORY_PLAYERS_ROW].enabled = gMenuNetSetup == 0;
  const uint32_t count = gScores.unlockedCount;
  const int32_t open = gRace.debugMode != 0 ? MENU_TRACK_ITEMS - 1 : static_cast<int32_t>(std::min<uint32_t>(count, MENU_TRACK_ITEMS - 1));
  for (int32_t place = 0; place < MENU_TRACK_ITEMS; ++place)
    gMenuItems[MenuUnlockOrderTrack(place)].enabled = place <= open;
}

const char* MenuValueLabel() { return Label(ValueRow()); }

void MenuShowValueLabel() {
  MenuDrumSetLabel(&gMenuValueDrum, Label(ValueRow()));
  gMenu.enterButton = EnterButtonShown();
  MenuDrumSetLabel(&gMenuCategoryDrum, Label(CategoryRow()));
}

void MenuShowLabels() {
  MenuDrumSetLabelNow(&gMenuValueDrum, Label(ValueRow()));
  gMenu.enterButton = EnterButtonShown();
  MenuDrumSetLabelNow(&gMenuCategoryDrum, Label(CategoryRow()));
}

void MenuShowPlayersLabel() { MenuDrumSetLabelNow(&gMenuValueDrum, Label(Row(MENU_ROW_PLAYERS, 3, gRace.playersMode))); }

void MenuLoadBackground(const char* name) {
  if (gMenu.background) MemFree(gMenu.background);
  gMenu.background = LfbLoadScreenImage(name);
}

void MenuRefreshItems(int32_t refresh) {
  MenuUnlockTracks();
  ApplyControllerRules();
  const int32_t display = gOptions.hardwarePreset;
  if (display < 0 || display >= DISPLAY_MODE_COUNT || !gMenuItems[static_cast<size_t>(MENU_ROW_RESOLUTIONS + display)].enabled)
    gOptions.hardwarePreset = DISPLAY_MENU_INDEX;
  MenuShowLabels();
  MenuDrumSetLabelNow(&gMenuResolutionDrum, Label(MENU_ROW_RESOLUTIONS + gOptions.hardwarePreset));
  MenuDrumSetLabelNow(&gMenuDetailDrum, Label(Row(MENU_ROW_DETAIL, 4, gOptions.detailSetting)));
  MenuDrumSetLabelNow(&gMenuControls1Drum, Label(Row(MENU_ROW_CONTROLS1, 4, ControllerOf(gPlayer1Vehicle))));
  MenuDrumSetLabelNow(&gMenuControls2Drum, Label(Row(MENU_ROW_CONTROLS2, 4, ControllerOf(gPlayer2Vehicle))));
  MenuDrumSetLabelNow(&gMenuNetKindDrum, Label(Row(MENU_ROW_NET_KINDS, 4, gMenu.networkKind)));
  MenuDrumSetLabelNow(&gMenuLevelDrum, Label(Row(MENU_ROW_LEVELS, 3, gOptions.keyboardSensitivity)));
  FfbStopAll();
  if (refresh) MenuLoadBackground(gMenuNetSetup == 0 ? "menu1.qvr" : "menu12.qvr");
}
