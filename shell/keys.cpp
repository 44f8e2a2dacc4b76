#include <cstdio>

#include "backend_common/display.h"
#include "backend_common/dotfont.h"
#include "frontend/frontend.h"
#include "hal/window.h"
#include "net/net.h"
#include "platform/app.h"
#include "shell/game.h"
#include "presentation/presentation.h"
#include "race/race.h"

uint8_t gGameKeyLatch[2];

namespace {

enum : uint8_t {
  SCAN_ESC = 1,
  SCAN_P = 25,
  SCAN_F1 = 59,
  SCAN_F2 = 60,
  SCAN_F3 = 61,
  SCAN_F4 = 62,
  SCAN_F5 = 63,
  SCAN_F9 = 67,
};

void CycleView(Vehicle* v) { v->viewRequest = static_cast<uint8_t>(v->viewRequest >= 2 ? 0 : v->viewRequest + 1); }

void WaitWhileKeyDown() {
  while (gKeyScanCode != 0) AppPumpMessages();
}

void WaitForKeyPress() {
  while (gKeyScanCode == 0) AppPumpMessages();
}

}  // namespace

void GameHotkeys() {
  if (gRace.networkGame) {
    GamePlayerKeys(gLocalNetVehicle, &gGameKeyLatch[0]);
    return;
  }
  GamePlayerKeys(gPlayer1Vehicle, &gGameKeyLatch[0]);
  if (gRace.playersMode == 1) GamePlayerKeys(gPlayer2Vehicle, &gGameKeyLatch[1]);
}

void GamePlayerKeys(Vehicle* v, uint8_t* latch) {
  if (v->finished) return;
  const bool split = gRace.playersMode == 1;
  Vehicle* mainVehicle = gRace.networkGame ? gLocalNetVehicle : gPlayer1Vehicle;
  bool handled = false;
  auto act = [&](auto action) {
    handled = true;
    if (*latch) return;
    action();
    *latch = 1;
  };

  const uint8_t key = gKeyScanCode;
  if (v == mainVehicle) {
    switch (key) {
      case SCAN_F1: act([&] { CycleView(v); SfxCommitListener(); }); break;
      case SCAN_F2: if (!split) act([] { gRace.insetView = !gRace.insetView; }); break;
      case SCAN_F3: act([] { gRace.hudText = !gRace.hudText; }); break;
      case SCAN_F4: act([] { gRace.gauges = !gRace.gauges; }); break;
      case SCAN_F5: if (split) act([] { gRace.splitSideBySide = !gRace.splitSideBySide; }); break;
      default: break;
    }
  } else if (key == SCAN_F9) {
    act([&] { CycleView(v); });
  }

  if ((v->controller == 2 || v->controller == 3) && gJoyButton2)
    act([&] { CycleView(v); SfxCommitListener(); });

  if (!handled) *latch = 0;
}

int32_t GamePauseOrAbort() {
  const uint8_t key = gKeyScanCode;
  if (key == 0) return 0;
  if (key == SCAN_ESC) {
    if (gRace.networkGame) {
      gRace.playersMode = 0;
      MenuShowPlayersLabel();
      gMenuNetworkLeft = 1;
      NetShutdown();
      gMenuNetSetup = 0;
    } else {
      gMenuNetworkLeft = 0;
    }
    return 1;
  }
  if (key == SCAN_P && !gRace.networkGame) {
    AppPauseTimers(1);
    SfxStopAll();
    while (gKeyScanCode == SCAN_P) AppPumpMessages();
    WaitForKeyPress();
    WaitWhileKeyDown();
    DecorStartAmbientSound();
    AppResumeTimers(1);
  }
  return 0;
}

void GameFatalErrorScreen(const char* message) {
  if (HalIsHeadless()) std::fprintf(stderr, "TALVEROS ERROR... %s\n", message);
  // A key still held from before would dismiss the screen unseen: let it go first.
  WaitWhileKeyDown();
  while (gKeyScanCode == 0) {
    RdrClear(0, 0, 0);
    DotFontPrintf(100, 100, "TALVEROS ERROR... %s", message);
    RdrSwapBuffers();
    AppPumpMessages();
  }
  WaitWhileKeyDown();
}

void GameShowNumberScreen(int32_t number) {
  if (HalIsHeadless()) std::fprintf(stderr, "%d\n", number);
  WaitWhileKeyDown();
  RdrClear(0, 255, 0);
  DotFontPrintf(100, 100, "%d", number);
  RdrSwapBuffers();
  WaitForKeyPress();
  WaitWhileKeyDown();
}
