#include "launcher/gl_context.h"

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>
#include <SDL.h>

#include <cstdio>
#include <string>

#include "hal/d3d/egl_surfaceless.h"
#include "hal/keep_loaded.h"
#include "hal/window.h"

namespace {

struct GlState {
  HalEglContext egl;
  GLuint framebuffer = 0;
  GLuint colour = 0;
  SDL_GLContext sdlContext = nullptr;
};
GlState gGl;

// Headless: a surfaceless context of the driver's default (compatibility)
// version, which the dialog's fixed-function drawing needs, rendering into a
// framebuffer of the dialog's size.
bool EglOpen(int32_t width, int32_t height) {
  if (!HalEglOpenSurfaceless(0, 0, &gGl.egl)) return false;
  if (width <= 0 || height <= 0) return true;
  glGenRenderbuffers(1, &gGl.colour);
  glBindRenderbuffer(GL_RENDERBUFFER, gGl.colour);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
  glGenFramebuffers(1, &gGl.framebuffer);
  glBindFramebuffer(GL_FRAMEBUFFER, gGl.framebuffer);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, gGl.colour);
  return glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
}

}  // namespace

bool LauncherGlOpen(int32_t width, int32_t height) {
  LauncherGlClose();
  bool ok;
  if (HalIsHeadless()) {
    ok = EglOpen(width, height);
  } else {
    SDL_Window* window = HalWindowSdl();
    gGl.sdlContext = window ? SDL_GL_CreateContext(window) : nullptr;
    ok = gGl.sdlContext && SDL_GL_MakeCurrent(window, gGl.sdlContext) == 0;
    if (ok) SDL_GL_SetSwapInterval(1);
  }
  if (!ok) LauncherGlClose();
  if (ok) HalKeepLoadedLibraries();
  return ok;
}

void LauncherGlClose() {
  if (gGl.egl.context) {
    if (gGl.framebuffer) glDeleteFramebuffers(1, &gGl.framebuffer);
    if (gGl.colour) glDeleteRenderbuffers(1, &gGl.colour);
  }
  HalEglClose(&gGl.egl);
  if (gGl.sdlContext) SDL_GL_DeleteContext(gGl.sdlContext);
  gGl = GlState{};
}

void LauncherGlPresent() {
  if (gGl.sdlContext && HalWindowSdl()) SDL_GL_SwapWindow(HalWindowSdl());
}

std::vector<uint8_t> LauncherGlReadPixels(int32_t width, int32_t height) {
  std::vector<uint8_t> rgb(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
  // OpenGL's rows run from the bottom.
  const size_t row = static_cast<size_t>(width) * 3;
  for (int32_t y = 0; y < height / 2; ++y)
    std::swap_ranges(rgb.begin() + y * row, rgb.begin() + (y + 1) * row, rgb.begin() + (height - 1 - y) * row);
  return rgb;
}

bool LauncherProbeVideo() {
  if (HalIsHeadless()) {
    HalEglContext probe;
    const bool ok = HalEglOpenSurfaceless(0, 0, &probe);
    HalEglClose(&probe);
    return ok;
  }
  // Started here once for the whole launcher, and on the session's own
  // display: the dialog and the videos use the same start.
  std::string error;
  if (HalVideoStart(&error)) return true;
  std::fprintf(stderr, "launcher: %s\n", error.c_str());
  return false;
}

bool LauncherProbeOpenGl() {
  if (HalIsHeadless()) {
    bool ok = EglOpen(0, 0);
    LauncherGlClose();
    return ok;
  }
  std::string error;
  if (!HalVideoStart(&error)) return false;
  bool ok = false;
  if (SDL_Window* window = SDL_CreateWindow("Torvane", 0, 0, 16, 16, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN)) {
    if (SDL_GLContext context = SDL_GL_CreateContext(window)) {
      ok = true;
      SDL_GL_DeleteContext(context);
    }
    SDL_DestroyWindow(window);
  }
  return ok;
}
