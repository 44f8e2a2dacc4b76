// Whether this machine can run the games: it must show windows, and OpenGL
// in them (the dialog and torvaned3d draw with it). The answer is kept in the
// version codes the launcher has always used, so the refusal rule stays one
// comparison.
#pragma once
#include <cstdint>

constexpr int32_t LAUNCHER_DX_NONE = 0;       // no video at all
constexpr int32_t LAUNCHER_DX_NO_GL = 0x500;  // video, but no OpenGL
constexpr int32_t LAUNCHER_DX_FULL = 0x700;   // video and OpenGL

int32_t LauncherDxCodeFromProbes(bool video, bool openGl);
bool LauncherDxCodeAccepted(int32_t code);

// The machine's video starts (headless: the off-screen display does).
bool LauncherIsWin9x();
int32_t LauncherDxVersion();
// Refuses a machine that lacks video or OpenGL: says so in a message box and returns false.
bool LauncherCheckDirectX();

// Tests replace the probes; null restores the machine's own.
using LauncherProbe = bool (*)();
void LauncherSetProbes(LauncherProbe video, LauncherProbe openGl);
