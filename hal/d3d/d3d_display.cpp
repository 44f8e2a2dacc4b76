// The display's two colour buffers and its depth buffer as OpenGL
// framebuffers, their pixels read and written for locks and copies, and the
// flip that shows the back one on the window.
#include "hal/d3d/d3d_internal.h"

#include <SDL.h>

#include <cstdint>
#include <vector>

#include "hal/d3d/d3d.h"
#include "hal/d3d/gl_context.h"
#include "hal/frame_dump.h"
#include "hal/window.h"

namespace hal_d3d {

Display gDisplay;

void ReleaseDisplayBuffers() {
  if (!gDisplay.glReady) return;
  Flush();
  if (gDisplay.fbo[0]) glDeleteFramebuffers(2, gDisplay.fbo);
  if (gDisplay.colour[0]) glDeleteRenderbuffers(2, gDisplay.colour);
  if (gDisplay.depth) glDeleteRenderbuffers(1, &gDisplay.depth);
  gDisplay.fbo[0] = gDisplay.fbo[1] = gDisplay.colour[0] = gDisplay.colour[1] = gDisplay.depth = 0;
  gDisplay.shown = false;
  gAppliedValid = false;
}

bool CreateDisplayBuffers() {
  if (!PrepareGl()) return false;
  glGenRenderbuffers(2, gDisplay.colour);
  glGenFramebuffers(2, gDisplay.fbo);
  for (int i = 0; i < 2; ++i) {
    glBindRenderbuffer(GL_RENDERBUFFER, gDisplay.colour[i]);
    glRenderbufferStorage(GL_RENDERBUFFER, gDisplay.rgb555 ? GL_RGB5 : GL_RGB565, gDisplay.width, gDisplay.height);
    glBindFramebuffer(GL_FRAMEBUFFER, gDisplay.fbo[i]);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, gDisplay.colour[i]);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
      ReleaseDisplayBuffers();
      return false;
    }
    glDisable(GL_SCISSOR_TEST);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
  }
  gDisplay.back = 0;
  gAppliedValid = false;
  return true;
}

bool AttachDepth() {
  glGenRenderbuffers(1, &gDisplay.depth);
  glBindRenderbuffer(GL_RENDERBUFFER, gDisplay.depth);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT16, gDisplay.width, gDisplay.height);
  for (int i = 0; i < 2; ++i) {
    glBindFramebuffer(GL_FRAMEBUFFER, gDisplay.fbo[i]);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, gDisplay.depth);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) return false;
  }
  gAppliedValid = false;
  return true;
}

void ReadBuffer(int32_t index, uint16_t* out, int32_t pitchPixels) {
  Flush();
  glBindFramebuffer(GL_READ_FRAMEBUFFER, gDisplay.fbo[index]);
  glPixelStorei(GL_PACK_ALIGNMENT, 2);
  glPixelStorei(GL_PACK_ROW_LENGTH, pitchPixels);
  if (gDisplay.rgb555) {
    glReadPixels(0, 0, gDisplay.width, gDisplay.height, GL_BGRA, GL_UNSIGNED_SHORT_1_5_5_5_REV, out);
    for (int32_t y = 0; y < gDisplay.height; ++y)
      for (int32_t x = 0; x < gDisplay.width; ++x) out[y * pitchPixels + x] &= 0x7FFF;
  } else {
    glReadPixels(0, 0, gDisplay.width, gDisplay.height, GL_RGB, GL_UNSIGNED_SHORT_5_6_5, out);
  }
  glPixelStorei(GL_PACK_ROW_LENGTH, 0);
  gAppliedValid = false;
}

void WriteBuffer(int32_t index, const uint16_t* in, int32_t pitchPixels) {
  GLuint tex = 0, fbo = 0;
  glGenTextures(1, &tex);
  glActiveTexture(GL_TEXTURE0);
  glBindTexture(GL_TEXTURE_2D, tex);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 2);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, pitchPixels);
  if (gDisplay.rgb555) {
    std::vector<uint16_t> opaque(static_cast<size_t>(pitchPixels) * gDisplay.height);
    for (size_t i = 0; i < opaque.size(); ++i) opaque[i] = in[i] | 0x8000;
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB5_A1, gDisplay.width, gDisplay.height, 0, GL_BGRA,
                 GL_UNSIGNED_SHORT_1_5_5_5_REV, opaque.data());
  } else {
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB565, gDisplay.width, gDisplay.height, 0, GL_RGB, GL_UNSIGNED_SHORT_5_6_5,
                 in);
  }
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  glGenFramebuffers(1, &fbo);
  glBindFramebuffer(GL_READ_FRAMEBUFFER, fbo);
  glFramebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, tex, 0);
  glBindFramebuffer(GL_DRAW_FRAMEBUFFER, gDisplay.fbo[index]);
  glDisable(GL_SCISSOR_TEST);
  glBlitFramebuffer(0, 0, gDisplay.width, gDisplay.height, 0, 0, gDisplay.width, gDisplay.height,
                    GL_COLOR_BUFFER_BIT, GL_NEAREST);
  glDeleteFramebuffers(1, &fbo);
  glDeleteTextures(1, &tex);
  gAppliedValid = false;
}

void Present() {
  SDL_Window* window = HalGlContextWindow();
  if (!window) return;
  int32_t w = 0, h = 0;
  SDL_GL_GetDrawableSize(window, &w, &h);
  if (w <= 0 || h <= 0) return;
  // Scaled to the screen with its aspect kept.
  int32_t dw = w, dh = static_cast<int32_t>(static_cast<int64_t>(w) * gDisplay.height / gDisplay.width);
  if (dh > h) dh = h, dw = static_cast<int32_t>(static_cast<int64_t>(h) * gDisplay.width / gDisplay.height);
  const int32_t x = (w - dw) / 2, y = (h - dh) / 2;
  glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
  glDisable(GL_SCISSOR_TEST);
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  glBindFramebuffer(GL_READ_FRAMEBUFFER, gDisplay.fbo[1 - gDisplay.back]);
  // Rows are top first in the buffers, bottom first on the window.
  glBlitFramebuffer(0, 0, gDisplay.width, gDisplay.height, x, y + dh, x + dw, y, GL_COLOR_BUFFER_BIT, GL_LINEAR);
  HalGlContextSwap();
  gAppliedValid = false;
}

}  // namespace hal_d3d

using namespace hal_d3d;

bool HalSurfaceFlip(HalObject primary) {
  if (!Call("Flip")) return false;
  Surface* s = SurfaceOf(primary);
  if (!s || s->role != Role::PRIMARY || !gDisplay.fbo[0]) return false;
  Flush();
  gDisplay.back = 1 - gDisplay.back;
  gDisplay.shown = true;
  gAppliedValid = false;
  Present();
  HalNoteFrame();
  if (HalFrameDumpWanted()) {
    std::vector<uint16_t> pixels(static_cast<size_t>(gDisplay.width) * gDisplay.height);
    ReadBuffer(1 - gDisplay.back, pixels.data(), gDisplay.width);
    HalFrameDumpWrite(pixels.data(), gDisplay.width, gDisplay.height, gDisplay.width * 2, !gDisplay.rgb555);
  }
  return true;
}

void HalD3dSetDisplay555(bool rgb555) { gDisplay.want555 = rgb555; }

bool HalD3dReadFrontBuffer(std::vector<uint16_t>* pixels, int32_t* width, int32_t* height) {
  if (!gDisplay.fbo[0] || !gDisplay.shown || !pixels) return false;
  pixels->resize(static_cast<size_t>(gDisplay.width) * gDisplay.height);
  ReadBuffer(1 - gDisplay.back, pixels->data(), gDisplay.width);
  if (width) *width = gDisplay.width;
  if (height) *height = gDisplay.height;
  return true;
}

