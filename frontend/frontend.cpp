// The front end's state that the shell and the race read, and the operations
// they call of it that the podium, credits, car-preview and scene issues
// have not built yet.
#include "frontend/frontend.h"

Options gOptions;
uint8_t gMenuNetworkLeft;
int32_t gMenuNetSetup;
int32_t gMenuOpeningDone;

void PreviewApplyKitCar(int32_t, int32_t) {}
void CreditsDrawScroll() {}
void PodiumRun() {}
void PodiumShowChampionshipEnd() {}
void SceneRunGameOver() {}
void SceneRunAfterRace() {}
void SceneDrawQuadOverlay() {}
