// The frame of every menu page and its widgets: the camera, the start and
// end of a frame with the idle time-out, the cursor and the press edge, the
// 3D push buttons and drum arrows, the row stepping, and the page chooser
// and runner.
#pragma once
#include <cstdint>

struct MenuButtonState;

// What a widget of the main page asks for.
enum MenuAction : int32_t {
  MENU_ACTION_NONE = 0,
  MENU_ACTION_QUIT = 1,
  MENU_ACTION_START = 2,
  MENU_ACTION_VEHICLE_CHOICE = 3,
  MENU_ACTION_GRAPHICS = 4,
  MENU_ACTION_SOUND = 5,
  MENU_ACTION_CONTROLS = 6,
  MENU_ACTION_KIT_CAR = 7,
  MENU_ACTION_RESUME = 8,
  MENU_ACTION_LOAD = 9,
  MENU_ACTION_SAVE = 10,
  MENU_ACTION_NETWORK = 11,
  MENU_ACTION_RECORDS = 12,
};

// The no-human requests of gRace.noHumanMode the menus raise.
constexpr uint8_t MENU_DEMO_PREVIEW = 1;
constexpr uint8_t MENU_DEMO_ATTRACT = 2;
constexpr int MENU_IDLE_TIMER = 2;
constexpr uint32_t MENU_IDLE_MS = 20000;
constexpr uint8_t MENU_SCAN_ENTER = 28;
constexpr uint8_t MENU_SCAN_D = 32;

// Clears the roll flag, clears the screen to the background picture and
// raises the attract demo after 20 s without input (never in a network game).
void MenuFrameBegin();
// The cursor, moved by the arrow keys as well; the left button or Enter as
// the button, with its press edge; any input restarts the idle time.
void MenuUpdateCursor();
// The ambience and roll sounds, the frame clock, the icon bar, the fade and,
// with `swap`, the buffer swap. A clicked icon sets its category; returns it,
// or -1.
int32_t MenuFrameEnd(int32_t swap);

enum MenuButtonKind : int32_t { MENU_BUTTON_ARROWS = 0, MENU_BUTTON_PUSH = 1 };
// Draws the push button or a drum's arrows at (x, y) and tests a press on
// it: +1 below y, -1 at or above y, 0 without one. A press starts its
// animation unless one runs.
int32_t MenuButton(int32_t x, int32_t y, int32_t halfWidth, int32_t halfHeight, int32_t kind, MenuButtonState* state);

// Steps *value by `step` through the `count` rows from `firstRow`, wrapping
// and passing disabled rows; when none of them is enabled the value stays.
void MenuStepItem(int32_t firstRow, int32_t* value, int32_t step, int32_t count);
// The page of the shown category and value (MenuAction), 0 for none.
int32_t MenuCategoryPage();
// Runs the page an action names; any other action returns to the main page.
void MenuRunPage(int32_t action);
