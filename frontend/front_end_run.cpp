// The placeholder front end's one screen: it starts the next race at once,
// or, as TORVANE_TEST_RACE asks, the attract demo or the credits backdrop,
// after which the program ends. Esc in a race (the shell brings the player
// here with it) leaves the race, so the game-over picture shows; Esc
// anywhere else quits the game. Kept in a file of its own so that programs
// that use the rest of the placeholder do not link the replays.
#include <cstring>

#include "backend_common/display.h"
#include "frontend/frontend.h"
#include "frontend/test_race.h"
#include "platform/app.h"
#include "platform/mem.h"
#include "presentation/replay.h"
#include "race/race.h"
#include "shell/game.h"

namespace {

constexpr uint8_t SCAN_ESC = 1;
uint8_t gRaceLoaded;

[[noreturn]] void RunAttractDemo(int32_t repeat) {
  gRace.noHumanMode = 1;
  RaceLoad(gRace.trackIndex);
  ReplayRunAttract(repeat);
  GameQuit();
}

// The credits draw over a picture of the whole screen from the pool, black
// until the first window is pasted into it.
[[noreturn]] void RunCredits() {
  const uint32_t bytes = static_cast<uint32_t>(gRdrState.screenWidth) * static_cast<uint32_t>(gRdrState.screenHeight) * 2u;
  uint16_t* buffer = static_cast<uint16_t*>(MemAlloc(bytes));
  if (buffer) std::memset(buffer, 0, bytes);
  CreditsSetupScene(gRace.trackIndex);
  ReplayRunCreditsDemo(buffer);
  if (buffer) MemFree(buffer);
  GameQuit();
}

}  // namespace

void MenuRunFrontEnd() {
  if (gMenuOpeningDone == 0) gMenuOpeningDone = 1;
  if (gKeyScanCode == SCAN_ESC) {
    MenuEscape(gRaceLoaded && !gRace.raceLeft && !gRace.raceFinished);
    return;
  }
  FrontEndApplyTestRace();
  const int32_t start = FrontEndTestStart();
  if (start == TEST_START_DEMO || start == TEST_START_DEMO_REPEAT) RunAttractDemo(start == TEST_START_DEMO_REPEAT);
  if (start == TEST_START_CREDITS) RunCredits();
  RaceLoad(gRace.trackIndex);
  gRaceLoaded = 1;
}
