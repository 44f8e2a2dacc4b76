// The frame and widgets every menu page is built of.
#include "frontend/menu_widgets.h"

#include <algorithm>

#include "backend_common/display.h"
#include "engine3d/mathutil.h"
#include "frontend/frontend.h"
#include "frontend/menu_icons.h"
#include "frontend/menu_items.h"
#include "frontend/menu_models.h"
#include "frontend/menu_view.h"
#include "frontend/menu_pages.h"
#include "platform/app.h"
#include "presentation/presentation.h"
#include "presentation/sfx.h"
#include "race/race.h"

namespace {

constexpr float CURSOR_SPEED = 30.0f;  // pixels a frame at 25 frames a second
constexpr int32_t AMBIENCE_LOOP = 34, ROLL_LOOP = 32, MENU_VOLUME = -1500;
constexpr int32_t PUSH_CLICK = 31, ARROWS_CLICK = 36, CLICK_VOLUME = -1000;
constexpr float FADE_STEP = 15.0f;
constexpr float PRESS_SPEED = 40.0f;  // animation units a frame
constexpr float PRESS_TURN = 100.0f, PRESS_END = 200.0f;
constexpr float ARROWS_DOWN_ANGLE = -406.0f, ARROWS_UP_ANGLE = -106.0f;
constexpr int32_t NET_HOSTING = 2;

// The shown category and the value the icon of each bar slot opens.
struct IconChoice {
  int32_t category, optionValue;
};
constexpr IconChoice ICON_CHOICES[MENU_ICON_SLOTS] = {{0, -1}, {1, -1}, {2, -1}, {3, -1}, {4, 0}, {4, 2}, {5, -1}};

void AnimateButton(MenuButtonState* s) {
  if (s->time == 0.0f) return;
  s->time += PRESS_SPEED * gRace.timeStep;
  if (s->time > PRESS_END) {
    s->time = 0.0f;
    s->angle = MENU_BUTTON_REST_ANGLE;
  }
}

float ButtonPhase(const MenuButtonState* s) { return s->time <= PRESS_TURN ? s->time : PRESS_END - s->time; }

}  // namespace

void MenuFrameBegin() {
  gMenu.drumRolling = 0;
  AppPumpMessages();
  RdrClear(0, 0, 0);
  MenuDrawBackground();
  if (gRace.networkGame) AppTimerStart(MENU_IDLE_TIMER);
  AppPumpMessages();
  if (AppTimerElapsed(MENU_IDLE_TIMER) > MENU_IDLE_MS) gRace.noHumanMode = MENU_DEMO_ATTRACT;
}

void MenuUpdateCursor() {
  AppReadCursor();
  const uint8_t keys = gApp.keyBits;
  if (keys & (APP_KEY_UP | APP_KEY_DOWN | APP_KEY_LEFT | APP_KEY_RIGHT)) {
    const int32_t step = TruncI32(CURSOR_SPEED * gRace.timeStep);
    int32_t x = gApp.cursorX, y = gApp.cursorY;
    if (keys & APP_KEY_RIGHT) x += step;
    if (keys & APP_KEY_LEFT) x -= step;
    if (keys & APP_KEY_DOWN) y += step;
    if (keys & APP_KEY_UP) y -= step;
    AppSetCursor(x, y);
  }
  gMenu.cursorX = gApp.cursorX;
  gMenu.cursorY = gApp.cursorY;
  const uint8_t button = (gApp.mouseButtons & APP_MOUSE_LEFT) != 0 || gKeyScanCode == MENU_SCAN_ENTER ? 1 : 0;
  gMenu.pressEdge = button != gMenu.buttonState ? button : 0;
  gMenu.buttonState = button;
  const bool moved = gMenu.cursorX != gMenu.lastCursorX || gMenu.cursorY != gMenu.lastCursorY;
  if (moved || gApp.mouseButtons != 0 || keys != 0 || gKeyScanCode != 0) {
    AppTimerStart(MENU_IDLE_TIMER);
    gRace.noHumanMode = 0;
  }
  gMenu.lastCursorX = gMenu.cursorX;
  gMenu.lastCursorY = gMenu.cursorY;
}

int32_t MenuFrameEnd(int32_t swap) {
  if (gMenu.ambienceSlot >= 0 && SfxSlotFinished(gMenu.ambienceSlot))
    gMenu.ambienceSlot = SfxLoopEffect2D(AMBIENCE_LOOP, MENU_VOLUME);
  if (gMenu.drumRolling && gMenu.rollSlot < 0) {
    gMenu.rollSlot = SfxLoopEffect2D(ROLL_LOOP, MENU_VOLUME);
  } else if (!gMenu.drumRolling && gMenu.rollSlot >= 0) {
    SfxStopSlot(gMenu.rollSlot);
    gMenu.rollSlot = -1;
  }
  RaceFrameClock();
  const int32_t icon = MenuIconBar();
  if (gMenu.fade > 0.0f) {
    RdrDepthOff();
    ViewDrawShadeQuad(0.0f, 0.0f, static_cast<float>(gRdrState.screenWidth), static_cast<float>(gRdrState.screenHeight),
                      0, TruncI32(gMenu.fade));
    RdrDepthOn();
    gMenu.fade -= FADE_STEP * gRace.timeStep;
  }
  if (swap) RdrSwapBuffers();
  if (icon >= 0 && icon < MENU_ICON_SLOTS) {
    gMenu.category = ICON_CHOICES[icon].category;
    if (ICON_CHOICES[icon].optionValue >= 0) gMenu.optionValue = ICON_CHOICES[icon].optionValue;
    MenuShowValueLabel();
  }
  return icon;
}

int32_t MenuButton(int32_t x, int32_t y, int32_t halfWidth, int32_t halfHeight, int32_t kind, MenuButtonState* state) {
  AnimateButton(state);
  const float phase = ButtonPhase(state);
  const auto fx = static_cast<float>(x), fy = static_cast<float>(y);
  if (kind == MENU_BUTTON_PUSH) {
    if (gMenuModels.button) {
      if (gMenuModels.buttonFrames) MeshLerpFrames(gMenuModels.button, gMenuModels.buttonFrames, 0, 1, phase, PRESS_TURN);
      MenuDrawLitAt(gMenuModels.button, fx, fy);
    }
  } else {
    if (state->time != 0.0f) state->angle = state->start + (state->target - state->start) * phase * 0.01f;
    if (gMenuModels.arrows) {
      gMenuModels.arrows->angle[0] = static_cast<uint16_t>(TruncI32(state->angle));
      MenuDrawLitAt(gMenuModels.arrows, fx, fy);
    }
  }
  const int32_t right = kind == MENU_BUTTON_PUSH ? x + halfWidth : x + 2 * halfWidth;
  const bool inside = gMenu.cursorX >= x - halfWidth && gMenu.cursorX < right && gMenu.cursorY >= y - halfHeight &&
                      gMenu.cursorY < y + halfHeight;
  if (!inside || !gMenu.pressEdge) return 0;
  if (gMenu.clickSlot >= 0) SfxStopSlot(gMenu.clickSlot);
  gMenu.clickSlot = SfxPlayEffect2D(kind == MENU_BUTTON_PUSH ? PUSH_CLICK : ARROWS_CLICK, CLICK_VOLUME);
  const int32_t result = gMenu.cursorY > y ? 1 : -1;
  if (state->time == 0.0f) {
    state->start = state->angle;
    state->target = result > 0 ? ARROWS_DOWN_ANGLE : ARROWS_UP_ANGLE;
    state->time = 1.0f;
  }
  return result;
}

void MenuStepItem(int32_t firstRow, int32_t* value, int32_t step, int32_t count) {
  if (count <= 0 || firstRow < 0 || firstRow + count > MENU_ITEM_COUNT) return;
  int32_t v = *value;
  // One round at most: a block with no enabled row keeps its value.
  for (int32_t tries = 0; tries < count; ++tries) {
    v += step;
    if (v > count - 1) v = 0;
    if (v < 0) v = count - 1;
    if (gMenuItems[static_cast<size_t>(firstRow + v)].enabled) {
      *value = v;
      return;
    }
  }
}

int32_t MenuCategoryPage() {
  constexpr int32_t PLAYERS_NETWORK = 2;
  switch (gMenu.category) {
    case 1: return gMenu.vehicleValue == 0 ? MENU_ACTION_VEHICLE_CHOICE : MENU_ACTION_KIT_CAR;
    case 3: return gRace.playersMode == PLAYERS_NETWORK ? MENU_ACTION_NETWORK : MENU_ACTION_NONE;
    case 4:
      switch (gMenu.optionValue) {
        case 0: return MENU_ACTION_GRAPHICS;
        case 1: return MENU_ACTION_SOUND;
        default: return MENU_ACTION_CONTROLS;
      }
    default: return MENU_ACTION_NONE;
  }
}

void MenuRunPage(int32_t action) {
  switch (action) {
    case MENU_ACTION_VEHICLE_CHOICE: MenuRunVehicleChoice(); break;
    case MENU_ACTION_GRAPHICS: MenuRunGraphicsPage(); break;
    case MENU_ACTION_CONTROLS: MenuRunControlsPage(); break;
    case MENU_ACTION_KIT_CAR: MenuRunKitCarPage(); break;
    case MENU_ACTION_NETWORK:
      if (gMenuNetSetup == 0)
        MenuRunNetConnectionPage();
      else if (gMenuNetSetup == 1)
        MenuRunNetGamePage();
      else
        MenuRunNetWaitingPage(gRace.networkGame == NET_HOSTING ? 2 : 3);
      break;
    default: MenuRefreshItems(1); break;
  }
}
