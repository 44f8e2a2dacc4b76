// The border between the menu scene and a race: what entering the menus
// keeps of the suspended race, whether it can go on, and the three ways out.
#include <cstddef>

#include "backend_common/display.h"
#include "engine3d/camera.h"
#include "frontend/frontend.h"
#include "frontend/menu_drum.h"
#include "frontend/menu_items.h"
#include "frontend/menu_main.h"
#include "frontend/menu_models.h"
#include "frontend/menu_view.h"
#include "frontend/menu_widgets.h"
#include "platform/app.h"
#include "platform/mem.h"
#include "presentation/music.h"
#include "presentation/sfx.h"
#include "race/race.h"
#include "race/tracks.h"

namespace {

constexpr int32_t GAME_CHALLENGE = 2;
constexpr int32_t PLAYERS_TWO = 1;

void FreeBackground() {
  if (gMenu.background) MemFree(gMenu.background);
  gMenu.background = nullptr;
}

// What every way out releases, in this order.
void Release(bool stopMusic) {
  SfxStopAll();
  if (stopMusic) MusicStop();
  MenuFreeDrumRing();
  MenuFreeModels();
  FreeBackground();
  if (gOptions.detail[3]) RdrFogOn();
  if (gOptions.detail[2])
    RdrLightingOn();
  else
    RdrLightingOff();
}

// The display mode chosen in the menus opens only now; the race's view
// globals take the clip window either way.
void SwitchDisplay() {
  int32_t chosen = gOptions.hardwarePreset;
  if (chosen < 0 || chosen >= DISPLAY_MODE_COUNT) chosen = MENU_DISPLAY_MODE;
  if (gDisplayModeIndex != chosen) {
    RdrSetClipWindow(0, 0, gRdrState.screenWidth, gRdrState.screenHeight);
    for (int i = 0; i < 2; ++i) {
      RdrClear(0, 0, 0);
      RdrSwapBuffers();
    }
    gDisplayModeIndex = chosen;
    if (!RdrSetMode(gDisplayModes[chosen], AppGetWindow()) && chosen != MENU_DISPLAY_MODE) {
      // A mode the device refuses: the race runs in the menus' own.
      gDisplayModeIndex = MENU_DISPLAY_MODE;
      RdrSetMode(gDisplayModes[MENU_DISPLAY_MODE], AppGetWindow());
    }
  }
  gRace.viewWidth = static_cast<int32_t>(gRdrState.clipMaxX - gRdrState.clipMinX + 1.0f);
  gRace.viewLeft = static_cast<int32_t>(gRdrState.clipMinX);
}

// Also before a race loads: its track presentation zooms back to the scale
// it finds, which must be the race's, not the menus'.
void SetRaceProjection() {
  const int32_t w = gRdrState.screenWidth, h = gRdrState.screenHeight;
  RdrSetProjScale(static_cast<float>(200 * w / 512), static_cast<float>(200 * h / 384));
}

}  // namespace

void MenuEnterScene() {
  AppPauseTimers(0);
  SfxStopAll();
  FfbStopAll();
  gMenu.resume = {gRace.trackIndex, gRace.playersMode, gRace.gameMode, gPlayer1Vehicle->type,
                  static_cast<int8_t>(gOptions.detail[3])};
  gMenu.buttonState = 0;
  FreeBackground();
  RdrFogOff();
  RdrLightingOn();
  MenuSetLight();
  MenuBuildDrumRing();
  MenuSetCamera();
}

uint8_t MenuCanResumeRace() {
  const MenuState::Resume& r = gMenu.resume;
  const int32_t track = gRace.trackIndex;
  const bool trackOpen = track >= 0 && track < MENU_TRACK_ITEMS && gMenuItems[static_cast<size_t>(track)].enabled;
  return !gMenu.assetsInvalid && track == r.track && gRace.playersMode == r.playersMode &&
         gRace.gameMode == r.gameMode && !gMenu.raceEnded &&
         (gRace.gameMode != GAME_CHALLENGE || gPlayer1Vehicle->type == r.player1Type) && trackOpen &&
         !gMenuNetworkLeft;
}

void MenuLeaveToRace() {
  if (gRace.playersMode != PLAYERS_TWO) gPlayer2Vehicle->type = gMenu.savedPlayer2Type;
  Release(false);
  SwitchDisplay();
  if (MenuCanResumeRace()) {
    RaceReloadAssets(static_cast<int8_t>(gOptions.detail[3]) != gMenu.resume.fog ? 1 : 0);
    const float* l = gTrackInfo[gRace.trackIndex].light;
    Light light = {l[0], l[1], l[2], l[3], l[4]};
    LightSet(&light);
    AppResumeTimers(0);
    MusicResume();
  } else {
    MusicStop();
    SetRaceProjection();
    RaceLoad(gRace.trackIndex);
  }
  gMenu.assetsInvalid = 0;
  SetRaceProjection();
}

void MenuLeaveAndLoadRace() {
  Release(true);
  SwitchDisplay();
  gMenu.assetsInvalid = 0;
  SetRaceProjection();
  RaceLoad(gRace.trackIndex);
  SetRaceProjection();
}

void MenuLeaveForQuit() { Release(true); }
