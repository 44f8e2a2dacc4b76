// The shell's blocking screens, recorded instead of shown.
#include "backend_fixture.h"
#include "platform/game.h"

BlockingScreens gScreens;

void GameFatalError(const char* message) { gScreens.fatal.emplace_back(message ? message : "(null)"); }
void GameShowNumber(int32_t number) { gScreens.numbers.push_back(number); }
