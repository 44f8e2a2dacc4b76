#include "platform/fatal.h"

#include <cstdio>

namespace {
GameFatalHook gFatalHook;
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
