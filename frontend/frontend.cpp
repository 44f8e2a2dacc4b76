// Until the menus exist: the placeholder front end's state and the
// operations the race and the shell call of it (its one screen is in
// front_end_run.cpp).
#include "frontend/frontend.h"

#include "race/race.h"
#include "shell/game.h"

Options gOptions;
uint8_t gMenuNetworkLeft;
int32_t gMenuNetSetup;
int32_t gMenuOpeningDone;

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
void SceneDrawQuadOverlay() {}

int32_t MenuNextChampionshipTrack() {
  if (++gRace.trackIndex < 10) return 0;
  gRace.trackIndex = 0;
  return 1;
}
