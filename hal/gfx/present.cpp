// The accelerator's frames shown in the desktop window: the front buffer
// scaled to the window with its aspect ratio kept (bars where the shapes
// differ). Headless, frames stay in memory.
#include <SDL.h>

#include "hal/gfx/gfx_internal.h"
#include "hal/window.h"

namespace gfx {
namespace {

struct Presenter {
  SDL_Window* window = nullptr;
  SDL_Renderer* renderer = nullptr;
  SDL_Texture* screen = nullptr;
  int32_t width = 0, height = 0;
};

Presenter gPresenter;

}  // namespace

void PresentShutdown() {
  if (gPresenter.screen) SDL_DestroyTexture(gPresenter.screen);
  if (gPresenter.renderer) SDL_DestroyRenderer(gPresenter.renderer);
  gPresenter = Presenter{};
}

void PresentFrame(const uint16_t* pixels, int32_t width, int32_t height) {
  if (HalIsHeadless()) return;
  SDL_Window* window = HalWindowSdl();
  if (!window) return;
  Presenter& p = gPresenter;
  if (window != p.window) {
    PresentShutdown();
    p.renderer = SDL_CreateRenderer(window, -1, 0);
    if (!p.renderer) return;
    p.window = window;
  }
  if (!p.screen || p.width != width || p.height != height) {
    if (p.screen) SDL_DestroyTexture(p.screen);
    p.screen = SDL_CreateTexture(p.renderer, SDL_PIXELFORMAT_RGB565, SDL_TEXTUREACCESS_STREAMING, width, height);
    if (!p.screen) return;
    p.width = width;
    p.height = height;
    SDL_RenderSetLogicalSize(p.renderer, width, height);
  }
  SDL_UpdateTexture(p.screen, nullptr, pixels, width * 2);
  SDL_SetRenderDrawColor(p.renderer, 0, 0, 0, 255);
  SDL_RenderClear(p.renderer);
  SDL_RenderCopy(p.renderer, p.screen, nullptr, nullptr);
  SDL_RenderPresent(p.renderer);
}

}  // namespace gfx
