// What this back end's back buffer shows, as the 8-bit RGB pictures the
// reference tests store (support/png_rgb.h).
#pragma once
#include <cstdint>
#include <cstring>
#include <vector>

#include "backend_d3d/d3d_backend.h"
#include "support/png_rgb.h"

inline std::vector<uint8_t> D3dBackBufferRgb() {
  HalSurfaceDesc d{};
  HalSurfaceGetDesc(gD3d.backBuffer, &d);
  int32_t pitch = 0;
  auto* p = static_cast<const uint8_t*>(HalSurfaceLock(gD3d.backBuffer, &pitch));
  std::vector<uint16_t> pixels(static_cast<size_t>(d.width) * d.height);
  for (int32_t y = 0; p && y < d.height; ++y)
    for (int32_t x = 0; x < d.width; ++x) {
      uint16_t v = 0;
      std::memcpy(&v, p + y * pitch + 2 * x, 2);
      pixels[static_cast<size_t>(y) * d.width + x] = gD3d.backBuffer565 ? v : LfbRgb555To565(v);
    }
  HalSurfaceUnlock(gD3d.backBuffer);
  return Rgb565ToRgb(pixels);
}
