// An OpenGL context for the launcher: on the display in a window of SDL's, or
// headless on Mesa's surfaceless EGL platform, drawing into a framebuffer of
// its own. Only one is open at a time.
#pragma once
#include <cstdint>
#include <vector>

// Headless: a context on the surfaceless EGL display with a `width` x `height`
// colour framebuffer bound. Displayed: a context on the window (HalWindowSdl).
bool LauncherGlOpen(int32_t width, int32_t height);
void LauncherGlClose();
// Shows what was drawn (displayed), or does nothing (headless).
void LauncherGlPresent();
// The framebuffer as RGB rows from the top.
std::vector<uint8_t> LauncherGlReadPixels(int32_t width, int32_t height);

// The machine probes. An off-screen display / context headless, SDL's video
// and an OpenGL window otherwise.
bool LauncherProbeVideo();
bool LauncherProbeOpenGl();
