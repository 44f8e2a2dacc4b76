// Until the menus exist: the placeholder front end's state and the
// operations the race and the shell call of it (its one screen is in
// front_end_run.cpp).
#include "frontend/frontend.h"

#include <cstdio>
#include <cstring>

#include "backend_common/display.h"
#include "engine3d/mathutil.h"
#include "presentation/presentation.h"
#include "platform/app.h"
#include "race/race.h"
#include "shell/game.h"

Options gOptions;
uint8_t gMenuNetworkLeft;
int32_t gMenuNetSetup;
int32_t gMenuOpeningDone;

namespace {
uint8_t gPressLatch;

}  // namespace

void MenuEscape(bool raceRuns) {
  // Called from a race that runs: leave it and let the shell's game over follow.
  if (raceRuns) {
    gRace.raceLeft = 1;
    return;
  }
  GameQuit();
}

void PreviewApplyKitCar(int32_t, int32_t) {}
void CreditsDrawScroll() {}
void PodiumRun() {}
void PodiumShowChampionshipEnd() {}
void SceneRunGameOver() {}
void SceneRunAfterRace() {}
SceneScreenSaved gSceneScreenSaved;

void SceneScreenBegin() {
  SceneScreenSaved& saved = gSceneScreenSaved;
  const RdrState& s = gRdrState;
  saved.scaleX = s.scaleX;
  saved.scaleY = s.scaleY;
  saved.clipMinX = s.clipMinX;
  saved.clipMinY = s.clipMinY;
  saved.clipMaxX = s.clipMaxX;
  saved.clipMaxY = s.clipMaxY;
  saved.centreX = s.centreX;
  saved.centreY = s.centreY;
  saved.viewTop = gRace.viewTop;
  saved.viewHeight = gRace.viewHeight;
  saved.viewLeft = gRace.viewLeft;
  saved.viewWidth = gRace.viewWidth;
  // The back end keeps no readable fog switch: the race has fog exactly when
  // its fog option is on.
  saved.fogOn = gOptions.detail[3] != 0;
  const int32_t w = s.screenWidth, h = s.screenHeight;
  RdrSetClipWindow(0, 0, w, h);
  RdrSetProjCentre(w / 2, h / 2);
  gRace.viewTop = 0;
  gRace.viewHeight = h;
  gRace.viewLeft = 0;
  gRace.viewWidth = w;
  RdrFogOff();
  SfxStopAll();
  FfbStopAll();
}

void SceneScreenEnd() {
  const SceneScreenSaved& saved = gSceneScreenSaved;
  RdrSetProjScale(saved.scaleX, saved.scaleY);
  RdrSetClipWindow(TruncI32(saved.clipMinX), TruncI32(saved.clipMinY), TruncI32(saved.clipMaxX),
                   TruncI32(saved.clipMaxY));
  RdrSetProjCentre(TruncI32(saved.centreX), TruncI32(saved.centreY));
  gRace.viewTop = saved.viewTop;
  gRace.viewHeight = saved.viewHeight;
  gRace.viewLeft = saved.viewLeft;
  gRace.viewWidth = saved.viewWidth;
  if (saved.fogOn)
    RdrFogOn();
  else
    RdrFogOff();
}
void SceneDrawQuadOverlay() {}

int32_t MenuPollInput() {
  AppPumpMessages();
  bool down = gKeyScanCode != 0 || gApp.mouseButtons != 0;
  if (!down) {
    gPressLatch = 0;
    return 0;
  }
  if (gPressLatch) return 0;
  gPressLatch = 1;
  return 2;
}

void MenuPollInputNow() {
  gPressLatch = 0;
  MenuPollInput();
}

int32_t MenuNextChampionshipTrack() {
  if (++gRace.trackIndex < 10) return 0;
  gRace.trackIndex = 0;
  return 1;
}
