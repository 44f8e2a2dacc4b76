#include "platform/fatal.h"

#include <cstdio>

#include "hal/window.h"

namespace {
GameFatalHook gFatalHook;
GameNumberHook gNumberHook;
GameQuitHook gQuitHook;
}  // namespace

void GameSetFatalErrorHook(GameFatalHook hook) { gFatalHook = hook; }

void GameFatalError(const char* message) {
  if (!message) message = "";
  if (gFatalHook) {
    gFatalHook(message);
    return;
  }
  std::fprintf(stderr, "TALVEROS ERROR... %s\n", message);
}

void GameSetShowNumberHook(GameNumberHook hook) { gNumberHook = hook; }

void GameShowNumber(int32_t number) {
  if (gNumberHook) {
    gNumberHook(number);
    return;
  }
  std::fprintf(stderr, "%d\n", static_cast<int>(number));
}

void GameSetQuitHook(GameQuitHook hook) { gQuitHook = hook; }

void GameFatalQuit() {
  if (gQuitHook) gQuitHook();
  HalExit(1);
}
