// The front end's entry, the frame-rate probe, the main page and the quit
// confirmation.
#include "frontend/menu_main.h"

#include <cstddef>

#include "backend_common/display.h"
#include "backend_common/texture.h"
#include "frontend/frontend.h"
#include "frontend/menu_championship.h"
#include "frontend/menu_drum.h"
#include "frontend/menu_icons.h"
#include "frontend/menu_items.h"
#include "frontend/menu_models.h"
#include "frontend/menu_pages.h"
#include "frontend/menu_values.h"
#include "frontend/menu_view.h"
#include "frontend/menu_widgets.h"
#include "frontend/test_race.h"
#include "platform/app.h"
#include "presentation/music.h"
#include "presentation/replay.h"
#include "presentation/sfx.h"
#include "race/assets.h"
#include "race/race.h"
#include "shell/game.h"

namespace {

constexpr uint32_t PROBE_MS = 1000;
constexpr int32_t PROBE_PREVIEWS = 6;
constexpr int32_t PREVIEW_CENTRE_X = 305, PREVIEW_CLIP_RIGHT = 502;
constexpr int32_t RESOLUTION_512 = 1, RESOLUTION_512_WIDE = 6;
constexpr int32_t AMBIENCE_START = 33, LEAVING_SOUND = 35, MENU_VOLUME = -1500;
constexpr float TRANSITION = 10.0f;
constexpr int32_t PLAYERS_NETWORK = 2;
constexpr int32_t GAME_TRAINING = 0, GAME_ARCADE = 1, GAME_CHAMPIONSHIP = 3, GAME_NETWORK = 4;
constexpr int32_t HINT_X = 568, HINT_Y = 281, HINT_W = 64, HINT_H = 46;

// The main page's buttons in gMenuButtons.
enum : int {
  BUTTON_CATEGORY_ARROWS,
  BUTTON_VALUE_ARROWS,
  BUTTON_QUIT,
  BUTTON_START,
  BUTTON_ENTER,
  BUTTON_RESUME,
  BUTTON_STAY,  // the quit page's second answer
};

// The push buttons' places.
struct Place {
  int32_t x, y;
};
constexpr Place START_PLACE = {316, 445}, RESUME_PLACE = {587, 445}, ENTER_PLACE = {600, 338}, QUIT_PLACE = {178, 445};
constexpr Place QUIT_ANSWER = {250, 447}, STAY_ANSWER = {390, 447};
constexpr int32_t PUSH_HALF = 50, ARROWS_HALF_W = 17, ARROWS_HALF_H = 36;
constexpr Place CATEGORY_ARROWS = {88, 240}, VALUE_ARROWS = {88, 341};

int32_t Push(Place p, int button) {
  return MenuButton(p.x, p.y, PUSH_HALF, PUSH_HALF, MENU_BUTTON_PUSH, &gMenuButtons[button]);
}
int32_t Arrows(Place p, int button) {
  return MenuButton(p.x, p.y, ARROWS_HALF_W, ARROWS_HALF_H, MENU_BUTTON_ARROWS, &gMenuButtons[button]);
}

void RestButton(int button) {
  gMenuButtons[button] = {MENU_BUTTON_REST_ANGLE, MENU_BUTTON_REST_ANGLE, MENU_BUTTON_REST_ANGLE, 0.0f};
}

bool TrackOpen() {
  const int32_t t = gRace.trackIndex;
  return t >= 0 && t < MENU_TRACK_ITEMS && gMenuItems[static_cast<size_t>(t)].enabled;
}

// The start button: on an open track, and in the network players mode only
// once a network game is being set up.
bool StartShown() { return TrackOpen() && (gRace.playersMode != PLAYERS_NETWORK || gMenuNetSetup != 0); }

// Clears and swaps twice, then opens the display entry as the one in use.
void OpenDisplay(int32_t index) {
  RdrSetClipWindow(0, 0, gRdrState.screenWidth, gRdrState.screenHeight);
  for (int i = 0; i < 2; ++i) {
    RdrClear(0, 0, 0);
    RdrSwapBuffers();
  }
  gDisplayModeIndex = index;
  RdrSetMode(gDisplayModes[index], AppGetWindow());
}

// The hint beside the enter button: what entering the track or the game mode shows.
void DrawHint() {
  if (gMenuNetSetup != 0) return;
  int32_t u = -1, v = 0;
  if (gMenu.category == 0) {
    u = 48;
    v = 1;
  } else if (gMenu.category == 2 && gRace.gameMode != GAME_TRAINING) {
    u = 96;
    v = 49;
  }
  if (u < 0) return;
  RdrDepthOff();
  MenuDrawIconCell(HINT_X, HINT_Y, u, v, HINT_W, HINT_H, gMenu.iconTexture[1]);
  RdrDepthOn();
}

// The start of every main-page frame: camera, screen, hint, cursor, drums.
void BeginMainFrame(bool hint) {
  MenuSetCamera();
  MenuFrameBegin();
  if (hint) DrawHint();
  MenuUpdateCursor();
  MenuDrawDrum(&gMenuCategoryDrum);
  MenuDrawDrum(&gMenuValueDrum);
}

// The entry steps of the main page, up to its first frame.
void EnterMainPage() {
  gMenu.startRequest = 0;
  gMenu.savedPlayer2Type = gPlayer2Vehicle->type;
  gPlayer2Vehicle->type = gMenu.player2DefaultType;
  gMenu.fade = 255.0f;
  MusicPause();
  gMenu.championshipTrack = 0;
  gRace.noHumanMode = 0;
  MenuEnterScene();
  SfxLoadTrackBank(SFX_BANK_FRONT_END);
  if (gDisplayModeIndex != MENU_DISPLAY_MODE) OpenDisplay(MENU_DISPLAY_MODE);
  const int32_t w = gRdrState.screenWidth, h = gRdrState.screenHeight;
  if (gRace.playersMode != 0) {
    RdrSetClipWindow(0, 0, w, h);
    RdrSetProjCentre(w / 2, h / 2);
  }
  RdrSetProjScale(static_cast<float>(400 * w / 512), static_cast<float>(400 * h / 384));
  TexMemReset();
  AssetReloadTrackTextures();
  MenuLoadTextures();
  MenuLoadModels();
  if (gMenuNetSetup != 0)
    MenuRunPage(MENU_ACTION_NETWORK);
  else
    MenuLoadBackground("menu1.qvr");
  if (gMenu.assetsInvalid) MenuRefreshItems(1);
}

// What TORVANE_TEST_RACE's first main page leaves for, without a frame.
int32_t PresetAction(int32_t start) {
  switch (start) {
    case TEST_START_DEMO:
    case TEST_START_DEMO_REPEAT:
      gRace.noHumanMode = start == TEST_START_DEMO ? MENU_DEMO_PREVIEW : MENU_DEMO_ATTRACT;
      gMenu.demoTrack = gRace.trackIndex;
      return MENU_ACTION_NONE;
    case TEST_START_CREDITS: return MENU_ACTION_QUIT;
    default: return MENU_ACTION_START;
  }
}

// The enter button: what the shown category and value open.
int32_t EnterAction() {
  switch (gMenu.category) {
    case 0:
      gRace.noHumanMode = MENU_DEMO_PREVIEW;
      gMenu.demoTrack = gRace.trackIndex;
      return MENU_ACTION_NONE;
    case 2: return MENU_ACTION_RECORDS;
    case 5: return gMenu.saveValue == 0 ? MENU_ACTION_LOAD : MENU_ACTION_SAVE;
    default: return MenuCategoryPage();
  }
}

// How a frame of the main page ended.
struct FrameOutcome {
  int32_t action;
  bool fromButton;
};

FrameOutcome RunMainFrame() {
  FrameOutcome out = {MENU_ACTION_NONE, false};
  BeginMainFrame(true);
  if (gMenuNetSetup == 0) {
    if (const int32_t r = Arrows(CATEGORY_ARROWS, BUTTON_CATEGORY_ARROWS)) {
      MenuStepItem(MENU_ROW_CATEGORIES, &gMenu.category, r, 6);
      MenuShowValueLabel();
    }
  } else {
    gMenu.enterButton = 0;
  }
  if (MenuValueArrowsShown())
    if (const int32_t r = Arrows(VALUE_ARROWS, BUTTON_VALUE_ARROWS)) MenuStepValue(r);
  if (StartShown() && Push(START_PLACE, BUTTON_START))
    out = {gMenuNetSetup == 0 ? MENU_ACTION_START : MENU_ACTION_NETWORK, true};
  if (gMenuNetSetup == 0 && MenuCanResumeRace() && Push(RESUME_PLACE, BUTTON_RESUME))
    out = {MENU_ACTION_RESUME, true};
  if (gMenu.enterButton && Push(ENTER_PLACE, BUTTON_ENTER)) out = {EnterAction(), true};
  if (gMenuNetSetup == 0 && Push(QUIT_PLACE, BUTTON_QUIT) && MenuConfirmQuit(MenuCanResumeRace()) == 1)
    out = {MENU_ACTION_QUIT, true};
  if (MenuFrameEnd(1) >= 0) out = {MenuCategoryPage(), false};
  if (gKeyScanCode == MENU_SCAN_D) {
    gRace.noHumanMode = MENU_DEMO_ATTRACT;
    gMenu.demoTrack = gRace.trackIndex;
  }
  if (gMenu.startRequest) {
    out = {MENU_ACTION_START, false};
    gRace.noHumanMode = 0;
  }
  return out;
}

// The leaving sound and the ten frames of a press's transition.
void LeaveByButton(int32_t action) {
  const bool leaving = action == MENU_ACTION_QUIT || action == MENU_ACTION_START || action == MENU_ACTION_RESUME ||
                       gRace.noHumanMode == MENU_DEMO_PREVIEW;
  if (leaving) {
    if (gMenu.ambienceSlot >= 0) SfxStopSlot(gMenu.ambienceSlot);
    gMenu.ambienceSlot = -1;
    SfxPlayEffect2D(LEAVING_SOUND, MENU_VOLUME);
  }
  const int32_t canResume = MenuCanResumeRace();
  for (float t = TRANSITION; t > 0.0f; t -= gRace.timeStep) MenuDrawMainFrame(canResume, 0);
}

// Runs the page an action names; false when the action left the menus.
bool Dispatch(int32_t action) {
  switch (action) {
    case MENU_ACTION_QUIT:
      MenuLeaveForQuit();
      CreditsAndQuit();
    case MENU_ACTION_START:
      if (gRace.gameMode == GAME_CHAMPIONSHIP) {
        gRace.trackIndex = gMenu.championshipTrack;
        if (gRace.trackIndex == 0) ChampionshipResetStandings();
      }
      MenuLeaveAndLoadRace();
      return false;
    case MENU_ACTION_RESUME: MenuLeaveToRace(); return false;
    case MENU_ACTION_VEHICLE_CHOICE: MenuRunVehicleChoice(); break;
    case MENU_ACTION_GRAPHICS: MenuRunGraphicsPage(); break;
    case MENU_ACTION_CONTROLS: MenuRunControlsPage(); break;
    case MENU_ACTION_KIT_CAR: MenuRunKitCarPage(); break;
    case MENU_ACTION_RECORDS: MenuRunRecordsPage(); break;
    case MENU_ACTION_LOAD:
    case MENU_ACTION_SAVE: MenuRunSavesPage(action); break;
    case MENU_ACTION_NETWORK: MenuRunPage(MENU_ACTION_NETWORK); break;
    default: break;
  }
  return true;
}

}  // namespace

void MenuApplyProbeCount(int32_t frames) {
  const bool small = gMenuItems[MENU_ROW_RESOLUTIONS + RESOLUTION_512].enabled != 0;
  if (frames < 20) {
    gOptions.detailSetting = 3;
    if (small) gOptions.hardwarePreset = RESOLUTION_512_WIDE;
  } else if (frames < 40) {
    gOptions.detailSetting = 2;
    if (small) gOptions.hardwarePreset = RESOLUTION_512;
  } else if (frames < 60) {
    gOptions.detailSetting = 1;
  }
  GameApplyDetailLevel();
}

void MenuMeasureFrameRate() {
  AppTimerStart(MENU_IDLE_TIMER);
  AppPumpMessages();
  int32_t frames = 0;
  while (AppTimerElapsed(MENU_IDLE_TIMER) < PROBE_MS) {
    AppPumpMessages();
    RdrClear(0, 0, 0);
    for (int32_t type = 0; type < PROBE_PREVIEWS; ++type)
      PreviewDrawVehicle(gPlayer1Vehicle, type, PREVIEW_CENTRE_X, PREVIEW_CLIP_RIGHT);
    MenuSetLight();
    RdrSetClipWindow(0, 0, gRdrState.screenWidth, gRdrState.screenHeight);
    ++frames;
  }
  MenuApplyProbeCount(frames);
}

int32_t MenuDrawMainFrame(int32_t canResume, int32_t confirm) {
  BeginMainFrame(!confirm);
  if (gMenuNetSetup == 0) Arrows(CATEGORY_ARROWS, BUTTON_CATEGORY_ARROWS);
  if (MenuValueArrowsShown()) Arrows(VALUE_ARROWS, BUTTON_VALUE_ARROWS);
  int32_t answer = 0;
  if (confirm) {
    if (Push(QUIT_ANSWER, BUTTON_QUIT)) answer = 1;
    if (Push(STAY_ANSWER, BUTTON_STAY)) answer = 2;
  } else {
    if (StartShown()) Push(START_PLACE, BUTTON_START);
    if (gMenuNetSetup == 0 && canResume) Push(RESUME_PLACE, BUTTON_RESUME);
    if (gMenu.enterButton) Push(ENTER_PLACE, BUTTON_ENTER);
    if (gMenuNetSetup == 0) Push(QUIT_PLACE, BUTTON_QUIT);
  }
  MenuFrameEnd(1);
  return answer;
}

int32_t MenuConfirmQuit(int32_t canResume) {
  MenuLoadBackground("menu14.qvr");
  RestButton(BUTTON_QUIT);
  RestButton(BUTTON_STAY);
  int32_t answer = 0;
  while (answer == 0) {
    answer = MenuDrawMainFrame(canResume, 1);
    // The attract demo about to start takes the page away.
    if (answer == 0 && gRace.noHumanMode) answer = 2;
  }
  if (!gRace.noHumanMode)
    for (float t = TRANSITION; t > 0.0f; t -= gRace.timeStep) MenuDrawMainFrame(canResume, 1);
  MenuLoadBackground("menu1.qvr");
  return answer;
}

void MenuRunMainPage() {
  EnterMainPage();
  int32_t action = MENU_ACTION_NONE;
  bool fromButton = false;
  const int32_t preset = FrontEndTakeTestPreset();
  if (preset >= 0) {
    action = PresetAction(preset);
  } else {
    gMenu.ambienceSlot = SfxPlayEffect2D(AMBIENCE_START, MENU_VOLUME);
    gMenu.clickSlot = -1;
    gMenu.rollSlot = -1;
    gMenu.drumRolling = 0;
    AppTimerStart(MENU_IDLE_TIMER);
  }
  for (;;) {
    while (action == MENU_ACTION_NONE && !gMenu.startRequest && !gRace.noHumanMode) {
      const FrameOutcome out = RunMainFrame();
      action = out.action;
      fromButton = out.fromButton;
      if (gRace.noHumanMode) break;
    }
    // The transition's frames read the input again: a preview asked for stays asked for.
    const uint8_t request = gRace.noHumanMode;
    if (fromButton) LeaveByButton(action);
    gRace.noHumanMode = request;
    if (gRace.noHumanMode == MENU_DEMO_PREVIEW || gRace.noHumanMode == MENU_DEMO_ATTRACT) {
      gMenu.menuTrack = gRace.trackIndex;
      gRace.trackIndex = gMenu.demoTrack;
      MenuLeaveAndLoadRace();
      return;
    }
    if (!Dispatch(action)) return;
    action = MENU_ACTION_NONE;
    fromButton = false;
  }
}

void MenuRunFrontEnd() {
  if (!gMenuOpeningDone) {
    // A preset run counts the frames it always has: no probe.
    if (!FrontEndTestPresetSet()) MenuMeasureFrameRate();
    gMenuOpeningDone = 1;
  }
  if (gRace.gameMode == GAME_NETWORK) gRace.gameMode = GAME_TRAINING;
  gMenu.raceEnded = gRace.raceLeft || gRace.raceFinished ? 1 : 0;
  for (;;) {
    MenuRunMainPage();
    const uint8_t request = gRace.noHumanMode;
    if (request == 0) return;
    const int32_t players = gRace.playersMode, mode = gRace.gameMode;
    gRace.playersMode = 0;
    gRace.gameMode = GAME_ARCADE;
    ReplayRunAttract(request - 1);
    gRace.playersMode = players;
    gRace.gameMode = mode;
    MenuNextChampionshipTrack();
    gMenu.demoTrack = gRace.trackIndex;
    gMenu.raceEnded = 1;
    gRace.trackIndex = gMenu.menuTrack;
  }
}
