// The OpenGL context the layer draws with: the game window's when there is
// one, else a surfaceless EGL context (Mesa renders off screen without a
// display or a GPU), else a window of SDL's offscreen driver.
#include "hal/d3d/gl_context.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <SDL.h>

#include <cstdio>
#include <cstring>

#include "hal/keep_loaded.h"
#include "hal/window.h"

namespace {

struct Context {
  bool ready = false;
  SDL_Window* window = nullptr;  // the game window, presented to
  SDL_GLContext sdlContext = nullptr;
  EGLDisplay eglDisplay = EGL_NO_DISPLAY;
  EGLContext eglContext = EGL_NO_CONTEXT;
  SDL_Window* offscreenWindow = nullptr;
  bool offscreenVideo = false;
};
Context gCtx;

bool HasExtension(const char* list, const char* name) {
  if (!list) return false;
  const size_t n = std::strlen(name);
  for (const char* p = list; (p = std::strstr(p, name)) != nullptr; p += n)
    if ((p == list || p[-1] == ' ') && (p[n] == ' ' || p[n] == 0)) return true;
  return false;
}

bool OpenEgl() {
  const char* clientExtensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
  if (!HasExtension(clientExtensions, "EGL_MESA_platform_surfaceless")) return false;
  auto getPlatformDisplay =
      reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
  if (!getPlatformDisplay) return false;
  EGLDisplay display = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
  if (display == EGL_NO_DISPLAY) return false;
  EGLint major = 0, minor = 0;
  if (!eglInitialize(display, &major, &minor)) return false;
  if (!HasExtension(eglQueryString(display, EGL_EXTENSIONS), "EGL_KHR_no_config_context") ||
      !eglBindAPI(EGL_OPENGL_API)) {
    eglTerminate(display);
    return false;
  }
  const EGLint attributes[] = {EGL_CONTEXT_MAJOR_VERSION, 3, EGL_CONTEXT_MINOR_VERSION, 0, EGL_NONE};
  EGLContext context = eglCreateContext(display, EGL_NO_CONFIG_KHR, EGL_NO_CONTEXT, attributes);
  if (context == EGL_NO_CONTEXT) {
    eglTerminate(display);
    return false;
  }
  if (!eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context)) {
    eglDestroyContext(display, context);
    eglTerminate(display);
    return false;
  }
  gCtx.eglDisplay = display;
  gCtx.eglContext = context;
  return true;
}

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
  if (gCtx.eglContext != EGL_NO_CONTEXT) {
    eglMakeCurrent(gCtx.eglDisplay, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroyContext(gCtx.eglDisplay, gCtx.eglContext);
  }
  if (gCtx.eglDisplay != EGL_NO_DISPLAY) {
    eglTerminate(gCtx.eglDisplay);
    eglReleaseThread();
  }
  gCtx = Context{};
}

SDL_Window* HalGlContextWindow() { return gCtx.window; }

void HalGlContextSwap() {
  if (gCtx.window) SDL_GL_SwapWindow(gCtx.window);
}
