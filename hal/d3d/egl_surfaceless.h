// An OpenGL context without a display or a GPU: Mesa's surfaceless EGL
// platform, which renders off screen. The 3D device layer and the launcher's
// dialog both fall back to it when they run headless.
#pragma once

struct HalEglContext {
  void* display = nullptr;  // EGLDisplay
  void* context = nullptr;  // EGLContext
};

// Makes a new surfaceless context current; glMajor 0 takes the driver's
// default version. False (and nothing left open) when the platform, the
// no-config extension or the context is missing.
bool HalEglOpenSurfaceless(int glMajor, int glMinor, HalEglContext* out);
// Releases what HalEglOpenSurfaceless made; safe on an empty record.
void HalEglClose(HalEglContext* ctx);
