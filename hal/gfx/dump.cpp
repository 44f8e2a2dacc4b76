// The accelerator's shown frame handed to the frame dump of hal.
#include <cstddef>
#include <vector>

#include "hal/frame_dump.h"
#include "hal/gfx/gfx.h"
#include "hal/gfx/gfx_internal.h"

void gfx::GfxDumpShownFrame() {
  if (!HalFrameDumpWanted()) return;
  int32_t w = 0, h = 0;
  GfxScreenSize(&w, &h);
  if (w <= 0 || h <= 0) return;
  std::vector<uint16_t> pixels(static_cast<size_t>(w) * static_cast<size_t>(h));
  if (!GfxLfbReadRegion(GFX_BUFFER_FRONTBUFFER, 0, 0, w, h, w * 2, pixels.data())) return;
  HalFrameDumpWrite(pixels.data(), w, h, w * 2, true);
}
