// The shell's blocking screens and its quit, reached from any layer below it
// through hooks: the bodies live here so that those layers never include the
// shell, and the shell sets the hooks once its screen is open. Without a hook
// the message or number goes to standard error.
#pragma once
#include <cstdint>

// The one way any layer stops on an error it cannot recover from: the error
// screen ("TALVEROS ERROR... <message>" until a key is pressed); the caller
// decides what follows.
using GameFatalHook = void (*)(const char* message);
void GameSetFatalErrorHook(GameFatalHook hook);
void GameFatalError(const char* message);

// The number screen: the number on green until a key is pressed.
using GameNumberHook = void (*)(int32_t number);
void GameSetShowNumberHook(GameNumberHook hook);
void GameShowNumber(int32_t number);

// Ends the program after an error GameFatalError has shown (a race asset
// that did not load): through the shell's quit, its shutdown included, once
// the shell has set the hook; before that, or should the hook return, the
// process ends with exit code 1.
using GameQuitHook = void (*)();
void GameSetQuitHook(GameQuitHook hook);
[[noreturn]] void GameFatalQuit();
