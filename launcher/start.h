// Where the game programs are, and their start: detached, in a session of
// their own, with no arguments, in the launcher's working directory.
#pragma once
#include <cstdint>
#include <string>

// The folder the launcher's own program lies in (the build puts the three
// programs together), or TORVANE_PROGRAM_DIR when it is set.
std::string LauncherProgramFolder();
// "torvane" for Glide, "torvaned3d" for Direct3D.
const char* LauncherProgramName(int32_t renderer);
// 1 when torvane is in the program folder and can be run, else 0.
int32_t LauncherGlideBoardCount();
// Starts the renderer's program and does not wait for it. On failure `error`
// says why, and false.
bool LauncherStartGame(int32_t renderer, std::string* error);
