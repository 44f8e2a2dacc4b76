#include "hal/clock.h"
#include "platform/app.h"
#include "shell/game.h"

// Kept apart from the rest of the frame: only the programs, which link the
// shell, reach the game's entry from here.
int WinMain(uint32_t instance, uint32_t prevInstance, const char*, int32_t showCommand) {
  // Nothing of the game runs without its window: a failure, for whoever started it.
  if (!AppCreateWindow(instance, prevInstance, showCommand)) return 1;
  AppSetHighPriority();
  AppCaptureMouse(0);
  gTimers[APP_FRAME_TIMER].start = HalTimeGetTime();
  GameEntry();
  return 0;
}
