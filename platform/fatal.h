// The one way any layer stops on an error it cannot recover from. The body
// lives here so that the layers below the shell can call it; the shell sets
// the hook to its blocking error screen once the screen is open. Without a
// hook the message goes to standard error.
#pragma once

using GameFatalHook = void (*)(const char* message);
void GameSetFatalErrorHook(GameFatalHook hook);
void GameFatalError(const char* message);
