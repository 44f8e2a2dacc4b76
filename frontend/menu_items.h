// The menu item table: every choice the menus offer is a row with an enabled
// byte and a 13-character drum label (code page 437). In memory only.
#pragma once
#include <array>
#include <cstdint>

#include "frontend/menu_drum.h"
#include "platform/edition.h"

constexpr int MENU_ITEM_COUNT = 59;
// The first row of each block.
constexpr int MENU_ROW_TRACKS = 0;
constexpr int MENU_ROW_CATEGORIES = 10;
constexpr int MENU_ROW_VEHICLE = 16;
constexpr int MENU_ROW_GAME_MODES = 18;
constexpr int MENU_ROW_PLAYERS = 22;
constexpr int MENU_ROW_OPTIONS = 25;
constexpr int MENU_ROW_SAVES = 28;
constexpr int MENU_ROW_RESOLUTIONS = 30;  // + display-mode index
constexpr int MENU_ROW_DETAIL = 40;
constexpr int MENU_ROW_CONTROLS1 = 44;
constexpr int MENU_ROW_CONTROLS2 = 48;
constexpr int MENU_ROW_NET_KINDS = 52;
constexpr int MENU_ROW_LEVELS = 56;

struct MenuItem {
  uint8_t enabled;
  const char* label;
};
extern std::array<MenuItem, MENU_ITEM_COUNT> gMenuItems;

constexpr int MENU_NAME_BYTES = 16;
// The built-in texts of one language edition.
struct MenuEditionTexts {
  char labels[MENU_ITEM_COUNT][MENU_DRUM_LABEL_BYTES];
  char playerName[MENU_NAME_BYTES];  // the default name of the one player
  char player1Name[MENU_NAME_BYTES];
  char player2Name[MENU_NAME_BYTES];
  char standingsHeading[32];
};
const MenuEditionTexts& MenuTextsOf(Edition edition);

// Every label a drum label, every default name at most 15 characters.
constexpr bool MenuEditionTextsValid(const MenuEditionTexts& texts) {
  for (const auto& label : texts.labels)
    if (!MenuLabelValid(label)) return false;
  for (const char* name : {texts.playerName, texts.player1Name, texts.player2Name})
    if (name[0] == '\0' || name[MENU_NAME_BYTES - 1] != '\0') return false;
  return true;
}

// The front end's state that the menu rows and drums use.
struct MenuState {
  int32_t category;      // 0..5: track, vehicle, game mode, players, options, saves
  int32_t vehicleValue;  // 0 choose, 1 build
  int32_t optionValue;   // 0 graphics, 1 sound, 2 controls
  int32_t saveValue;     // 0 load, 1 save
  int32_t networkKind;   // 0..3
  uint8_t enterButton;   // the enter button shows for the current category and value
  uint8_t drumRolling;   // a drum rolls this frame: the roll sound plays
  uint16_t* background;  // the picture under every menu frame, null: none
  // The cursor and the left button's press edge (set in the frame it went down).
  int32_t cursorX, cursorY;
  uint8_t pressEdge;
  int32_t clickSlot = -1;  // the sound slot of the last click, -1 none
  // The menu textures: the two drum fonts as entries of gTextureTable, the
  // two icon textures as handles; -1 where one did not load.
  int32_t fontEntry[2] = {-1, -1};
  int32_t iconTexture[2] = {-1, -1};
  // The icon layout the icon routines place slots by; the main one is the bar's.
  int32_t iconSize, iconX, iconY, iconStep;
  uint8_t mainLayout;
  // The main page's own.
  uint8_t startRequest;       // the waiting page saw the host start the race
  uint8_t assetsInvalid = 1;  // the menus refresh every row and label at their next entry
  uint8_t raceEnded;          // the race the menus were entered from is over
  int32_t demoTrack;          // the track the next attract demo shows
  int32_t menuTrack;          // the track shown before a demo took over
  int32_t championshipTrack;  // the running championship's track
  float fade;                 // the black over a page as it opens, 255 down to 0
  int32_t ambienceSlot = -1, rollSlot = -1;  // sound slots, -1 none
  int32_t lastCursorX, lastCursorY;
  uint8_t buttonState;  // the left button (or Enter) as last seen
  int32_t savedPlayer2Type;   // player 2's type as the main page found it
  int32_t player2DefaultType; // the type player 2 shows in the menus
  // What the suspended race was when the menus were entered.
  struct Resume {
    int32_t track, playersMode, gameMode, player1Type;
    int8_t fog;
  } resume;
};
extern MenuState gMenu;

// Opens the resolution rows of the display sizes the back end can show;
// returns the display-mode index the game starts with (640 x 480).
int32_t MenuEnableResolutions();
void MenuUnlockTracks();
// Re-applies every rule and puts every drum's label on at once; with
// `refresh` the background picture is loaded again.
void MenuRefreshItems(int32_t refresh);
void MenuShowValueLabel();
// The label of the shown category's current value.
const char* MenuValueLabel();
void MenuShowLabels();
void MenuShowPlayersLabel();
// Frees the picture shown now and loads the named one (none when it fails).
void MenuLoadBackground(const char* name);
