#include "hal/d3d/egl_surfaceless.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>

#include <cstring>

#include "hal/keep_loaded.h"

namespace {

bool HasExtension(const char* list, const char* name) {
  if (!list) return false;
  const size_t n = std::strlen(name);
  for (const char* p = list; (p = std::strstr(p, name)) != nullptr; p += n)
    if ((p == list || p[-1] == ' ') && (p[n] == ' ' || p[n] == 0)) return true;
  return false;
}

}  // namespace

bool HalEglOpenSurfaceless(int glMajor, int glMinor, HalEglContext* out) {
  *out = HalEglContext{};
  const char* clientExtensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
  if (!HasExtension(clientExtensions, "EGL_MESA_platform_surfaceless")) return false;
  auto getPlatformDisplay =
      reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
  if (!getPlatformDisplay) return false;
  EGLDisplay display = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
  if (display == EGL_NO_DISPLAY) return false;
  EGLint major = 0, minor = 0;
  if (!eglInitialize(display, &major, &minor)) return false;
  // The driver is loaded now. Pin it even if this is only a probe that closes
  // at once: a driver unloaded before exit leaves its start-up allocations
  // unnamed, and the leak checker can no longer tell them from ours.
  HalKeepLoadedLibraries();
  if (!HasExtension(eglQueryString(display, EGL_EXTENSIONS), "EGL_KHR_no_config_context") ||
      !eglBindAPI(EGL_OPENGL_API)) {
    eglTerminate(display);
    return false;
  }
  const EGLint versioned[] = {EGL_CONTEXT_MAJOR_VERSION, glMajor, EGL_CONTEXT_MINOR_VERSION, glMinor, EGL_NONE};
  EGLContext context = eglCreateContext(display, EGL_NO_CONFIG_KHR, EGL_NO_CONTEXT, glMajor > 0 ? versioned : nullptr);
  if (context == EGL_NO_CONTEXT) {
    eglTerminate(display);
    return false;
  }
  if (!eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context)) {
    eglDestroyContext(display, context);
    eglTerminate(display);
    return false;
  }
  HalKeepLoadedLibraries();
  out->display = display;
  out->context = context;
  return true;
}

void HalEglClose(HalEglContext* ctx) {
  if (ctx->context) {
    eglMakeCurrent(ctx->display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroyContext(ctx->display, ctx->context);
  }
  if (ctx->display) {
    eglTerminate(ctx->display);
    eglReleaseThread();
  }
  *ctx = HalEglContext{};
}
