// The OpenGL context the layer draws with: the game window's when there is
// one, else a surfaceless EGL context (Mesa renders off screen without a
// display or a GPU), else a window of SDL's offscreen driver.
#include "hal/d3d/gl_context.h"

#include <SDL.h>

#include <cstdio>

#include "hal/d3d/egl_surfaceless.h"

#include "hal/keep_loaded.h"
#include "hal/window.h"

namespace {

struct Context {
  bool ready = false;
  SDL_Window* window = nullptr;  // the game window, presented to
  SDL_GLContext sdlContext = nullptr;
  HalEglContext egl;
  SDL_Window* offscreenWindow = nullptr;
  bool offscreenVideo = false;
};
Context gCtx;

bool OpenEgl() { return HalEglOpenSurfaceless(3, 0, &gCtx.egl); }

bool OpenOffscreenSdl() {
  if (SDL_VideoInit("offscreen") != 0) return false;
  gCtx.offscreenVideo = true;
  gCtx.offscreenWindow = SDL_CreateWindow("torvane", 0, 0, 16, 16, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
  if (gCtx.offscreenWindow) gCtx.sdlContext = SDL_GL_CreateContext(gCtx.offscreenWindow);
  return gCtx.sdlContext != nullptr;
}

}  // namespace

bool HalGlContextOpen() {
  if (gCtx.ready) return true;
  SDL_Window* window = HalIsHeadless() ? nullptr : HalWindowSdl();
  if (window) {
    gCtx.sdlContext = SDL_GL_CreateContext(window);
    if (gCtx.sdlContext) {
      gCtx.window = window;
      SDL_GL_SetSwapInterval(1);
    }
  }
  if (!gCtx.sdlContext && !OpenEgl() && !OpenOffscreenSdl()) {
    std::fprintf(stderr, "no OpenGL context: %s\n", SDL_GetError());
    HalGlContextClose();
    return false;
  }
  HalKeepLoadedLibraries();
  gCtx.ready = true;
  return true;
}

void HalGlContextClose() {
  if (gCtx.sdlContext) SDL_GL_DeleteContext(gCtx.sdlContext);
  if (gCtx.offscreenWindow) SDL_DestroyWindow(gCtx.offscreenWindow);
  if (gCtx.offscreenVideo) SDL_VideoQuit();
  HalEglClose(&gCtx.egl);
  gCtx = Context{};
}

SDL_Window* HalGlContextWindow() { return gCtx.window; }

void HalGlContextSwap() {
  if (gCtx.window) SDL_GL_SwapWindow(gCtx.window);
}
