// The OpenGL context of the 3D device layer (internal to hal/d3d).
#pragma once

struct SDL_Window;

// Makes a context current; false when none can be had.
bool HalGlContextOpen();
void HalGlContextClose();
// The window presented to, null when rendering off screen only.
SDL_Window* HalGlContextWindow();
void HalGlContextSwap();
