// Full-screen pictures, grabs and screenshots on the device layer's surfaces.
// A picture lives in the one work surface, converted once to the back
// buffer's format so each frame draws it with a single copy; the block a load
// returns only stands for it. A second load replaces the first.
#include <algorithm>
#include <cstring>
#include <vector>

#include "backend_common/picture.h"
#include "backend_d3d/d3d_backend.h"
#include "backend_d3d/faces.h"
#include "engine3d/lebytes.h"
#include "engine3d/mathutil.h"
#include "platform/file.h"
#include "platform/mem.h"
#include "platform/pak.h"

namespace {

constexpr int PICTURE_ARCHIVE_SLOT = 2;
constexpr uint32_t PALETTED_HEADER_SIZE = 4 + 256 * 3;

uint16_t Unchanged(uint16_t p) { return p; }

void ReleaseWorkSurface() {
  if (gD3d.workSurface) HalObjectRelease(gD3d.workSurface);
  gD3d.workSurface = 0;
}

// An off-screen surface in system memory in the format of `like`.
HalObject NewSurface(HalObject like, int32_t width, int32_t height) {
  HalSurfaceDesc desc{};
  if (!like || !HalSurfaceGetDesc(like, &desc)) return 0;
  HalSurfaceDesc want{};
  want.caps = HAL_CAPS_OFFSCREENPLAIN | HAL_CAPS_SYSTEMMEMORY;
  want.width = width;
  want.height = height;
  want.format = desc.format;
  return HalDDrawCreateSurface(gD3d.ddraw, want);
}

// Copies rows of `width` pixels into a locked surface at its pitch.
void PutRows(uint8_t* surface, int32_t pitch, const uint16_t* pixels, int32_t width, int32_t height) {
  for (int32_t y = 0; y < height; ++y)
    std::memcpy(surface + static_cast<size_t>(y) * static_cast<size_t>(pitch),
                pixels + static_cast<size_t>(y) * static_cast<size_t>(width), static_cast<size_t>(width) * 2);
}

// A new work surface of the display's size holding `pixels` (display size,
// already in the back buffer's format). False, with no work surface, when it
// can't be made or filled; the device is kept either way.
bool FillWorkSurface(const std::vector<uint16_t>& pixels) {
  ReleaseWorkSurface();
  const int32_t w = gRdrState.screenWidth, h = gRdrState.screenHeight;
  gD3d.workSurface = NewSurface(gD3d.backBuffer, w, h);
  if (!gD3d.workSurface) return false;
  int32_t pitch = 0;
  auto* out = static_cast<uint8_t*>(HalSurfaceLock(gD3d.workSurface, &pitch));
  if (!out) {
    ReleaseWorkSurface();
    return false;
  }
  PutRows(out, pitch, pixels.data(), w, h);
  HalSurfaceUnlock(gD3d.workSurface);
  return true;
}

// A picture of w x h pixels scaled to the display into the work surface, and
// the block that stands for it; null when either can't be had.
uint16_t* HoldScaled(const uint16_t* source, int32_t width, int32_t height, uint16_t (*convert)(uint16_t)) {
  const int32_t w = gRdrState.screenWidth, h = gRdrState.screenHeight;
  if (w <= 0 || h <= 0) return nullptr;
  std::vector<uint16_t> scaled(static_cast<size_t>(w) * static_cast<size_t>(h));
  LfbScalePixels(source, width, height, scaled.data(), w, h, convert);
  auto* block = static_cast<uint16_t*>(MemAlloc(static_cast<uint32_t>(scaled.size() * 2)));
  if (!block) return nullptr;
  if (!FillWorkSurface(scaled)) {
    MemFree(block);
    return nullptr;
  }
  return block;
}

// The whole back buffer, rows from the top; empty when it can't be locked.
std::vector<uint16_t> ReadBackBuffer(int32_t* width, int32_t* height) {
  std::vector<uint16_t> pixels;
  HalSurfaceDesc desc{};
  if (!HalSurfaceGetDesc(gD3d.backBuffer, &desc)) return pixels;
  int32_t pitch = 0;
  auto* in = static_cast<const uint8_t*>(HalSurfaceLock(gD3d.backBuffer, &pitch));
  if (!in) return pixels;
  pixels.resize(static_cast<size_t>(desc.width) * static_cast<size_t>(desc.height));
  for (int32_t y = 0; y < desc.height; ++y)
    std::memcpy(&pixels[static_cast<size_t>(y) * static_cast<size_t>(desc.width)],
                in + static_cast<size_t>(y) * static_cast<size_t>(pitch), static_cast<size_t>(desc.width) * 2);
  HalSurfaceUnlock(gD3d.backBuffer);
  *width = desc.width;
  *height = desc.height;
  return pixels;
}

// The screen's pixels are read once; the file takes the rows it needs.
void SaveScreenshot(const char* path, int32_t width, int32_t height, int32_t step) {
  int32_t bw = 0, bh = 0;
  const std::vector<uint16_t> screen = ReadBackBuffer(&bw, &bh);
  LfbWriteScreenshot(path, width, height, step, gD3d.backBuffer565, [&](int32_t y, uint16_t* row) {
    if (y < 0 || y >= bh) return;
    std::copy_n(&screen[static_cast<size_t>(y) * static_cast<size_t>(bw)], std::min(width, bw), row);
  });
}

}  // namespace

uint16_t LfbRgb555To565(uint16_t p) { return static_cast<uint16_t>(((p << 1) & 0xFFC0) | (p & 0x1F)); }

uint16_t LfbRgb565To1555(uint16_t p) {
  return static_cast<uint16_t>(0x8000 | ((p >> 11) & 31) << 10 | (((p >> 5) & 63) >> 1) << 5 | (p & 31));
}

uint16_t LfbPaletteTo565(const uint8_t* rgb) {
  return static_cast<uint16_t>((rgb[0] >> 3) << 11 | (rgb[1] >> 2) << 5 | (rgb[2] >> 3));
}

uint16_t LfbPaletteTo555(const uint8_t* rgb) {
  return static_cast<uint16_t>((rgb[0] >> 3) << 10 | (rgb[1] >> 3) << 5 | (rgb[2] >> 3));
}

uint16_t* LfbLoadScreenImage(const char* fileName) {
  uint32_t size = 0;
  uint8_t* file = PakLoadFile(fileName, PICTURE_ARCHIVE_SLOT, &size);
  if (!file) return nullptr;
  int32_t width = 0, height = 0;
  std::vector<uint16_t> pixels;
  uint16_t* block = nullptr;
  // A damaged picture keeps the one held before.
  if (LfbParseQvr(file, size, &width, &height, &pixels))
    block = HoldScaled(pixels.data(), width, height, gD3d.backBuffer565 ? LfbRgb555To565 : Unchanged);
  MemFree(file);
  return block;
}

void LfbDrawScreenImage(const uint16_t*) {
  const int32_t w = gRdrState.screenWidth, h = gRdrState.screenHeight;
  RdrSetClipWindowOnly(0, 0, w - 1, h - 1);
  RdrDepthOff();
  if (gD3d.workSurface) {
    // The work surface may predate a change of display size: copy what both hold.
    HalSurfaceDesc work{};
    HalSurfaceGetDesc(gD3d.workSurface, &work);
    const HalRect source{0, 0, std::min(w, work.width), std::min(h, work.height)};
    HalSurfaceBltFast(gD3d.backBuffer, 0, 0, gD3d.workSurface, &source, false);
  }
  RdrDepthOn();
  RdrSetClipWindowOnly(TruncI32(gRdrState.clipMinX), TruncI32(gRdrState.clipMinY), TruncI32(gRdrState.clipMaxX),
                       TruncI32(gRdrState.clipMaxY));
}

void LfbGrabScreen(uint16_t*) {
  ReleaseWorkSurface();
  const int32_t w = gRdrState.screenWidth, h = gRdrState.screenHeight;
  gD3d.workSurface = NewSurface(gD3d.backBuffer, w, h);
  if (!gD3d.workSurface) return;
  const HalRect source{0, 0, w, h};
  HalSurfaceBltFast(gD3d.workSurface, 0, 0, gD3d.backBuffer, &source, false);
}

// The grab is a pool block of ARGB1555 texels, as the other back end's is:
// TexLock hands it back as it is and TexDownloadTexels copies it into a
// texture; the caller frees it.
uint16_t* LfbGrabScreenScaled(int32_t width, int32_t height) {
  if (width <= 0 || height <= 0) return nullptr;
  const uint64_t bytes = uint64_t{static_cast<uint32_t>(width)} * static_cast<uint32_t>(height) * 2;
  if (bytes > UINT32_MAX) return nullptr;
  const HalObject surface = NewSurface(gD3d.primary, width, height);
  if (!surface) return nullptr;
  const HalRect target{0, 0, width, height};
  HalSurfaceBlt(surface, &target, gD3d.primary, nullptr);
  int32_t pitch = 0;
  auto* in = static_cast<const uint8_t*>(HalSurfaceLock(surface, &pitch));
  uint16_t* block = in ? static_cast<uint16_t*>(MemAlloc(static_cast<uint32_t>(bytes))) : nullptr;
  if (block) {
    for (int32_t y = 0; y < height; ++y) {
      const auto* row = reinterpret_cast<const uint16_t*>(in + static_cast<size_t>(y) * static_cast<size_t>(pitch));
      uint16_t* out = block + static_cast<size_t>(y) * static_cast<size_t>(width);
      for (int32_t x = 0; x < width; ++x)
        out[x] = gD3d.backBuffer565 ? LfbRgb565To1555(row[x]) : static_cast<uint16_t>(0x8000 | row[x]);
    }
  }
  if (in) HalSurfaceUnlock(surface);
  HalObjectRelease(surface);
  return block;
}

void LfbClearWorkSurface() {
  if (gD3d.workSurface) HalSurfaceBltFill(gD3d.workSurface, nullptr, 0);
}

void LfbSaveScreenshot(const char* path, int32_t width, int32_t height) { SaveScreenshot(path, width, height, 1); }

void LfbSaveScreenshotQuarter(const char* path, int32_t width, int32_t height) {
  SaveScreenshot(path, width, height, 4);
}

// The file's pixels unscaled, one after another into the work surface (a
// picture narrower than the display wraps onto the next row); as many as
// the surface holds. The block has the picture's size.
uint16_t* LfbLoadScreenImageUnscaled(const char* fileName) {
  uint32_t size = 0;
  uint8_t* file = PakLoadFile(fileName, PICTURE_ARCHIVE_SLOT, &size);
  if (!file) return nullptr;
  int32_t width = 0, height = 0;
  std::vector<uint16_t> pixels;
  uint16_t* block = nullptr;
  const int32_t w = gRdrState.screenWidth, h = gRdrState.screenHeight;
  if (w > 0 && h > 0 && LfbParseQvr(file, size, &width, &height, &pixels)) {
    std::vector<uint16_t> screen(static_cast<size_t>(w) * static_cast<size_t>(h), 0);
    const size_t count = std::min(screen.size(), pixels.size());
    for (size_t i = 0; i < count; ++i) screen[i] = gD3d.backBuffer565 ? LfbRgb555To565(pixels[i]) : pixels[i];
    block = static_cast<uint16_t*>(MemAlloc(static_cast<uint32_t>(pixels.size() * 2)));
    if (block && !FillWorkSurface(screen)) {
      MemFree(block);
      block = nullptr;
    }
  }
  MemFree(file);
  return block;
}

// The 8-bit form: a palette of 256 RGB entries, then one index a pixel.
uint16_t* LfbLoadPalettedImage(const char* fileName) {
  const uint32_t size = FileSize(fileName);
  auto* file = static_cast<uint8_t*>(FileLoad(fileName));
  if (!file) return nullptr;
  uint16_t* block = nullptr;
  const int32_t width = size >= 4 ? GetU16(file) : 0, height = size >= 4 ? GetU16(file + 2) : 0;
  const uint64_t count = uint64_t(width) * uint64_t(height);
  if (count > 0 && size >= PALETTED_HEADER_SIZE + count) {
    std::vector<uint16_t> pixels(count);
    for (uint64_t i = 0; i < count; ++i) {
      const uint8_t* entry = file + 4 + 3 * file[PALETTED_HEADER_SIZE + i];
      pixels[i] = gD3d.backBuffer565 ? LfbPaletteTo565(entry) : LfbPaletteTo555(entry);
    }
    block = HoldScaled(pixels.data(), width, height, Unchanged);
  }
  MemFree(file);
  return block;
}

void LfbGrabScreenBgr24(uint8_t* buffer) {
  if (!buffer) return;
  int32_t w = 0, h = 0;
  std::vector<uint16_t> screen = ReadBackBuffer(&w, &h);
  if (screen.empty()) return;
  const int32_t sw = std::min(w, gRdrState.screenWidth), sh = std::min(h, gRdrState.screenHeight);
  uint8_t* out = buffer;
  for (int32_t y = sh - 1; y >= 0; --y)
    for (int32_t x = 0; x < sw; ++x, out += 3) {
      const uint16_t p = screen[static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)];
      out[0] = static_cast<uint8_t>((p & 0x1F) << 3);
      out[1] = static_cast<uint8_t>(gD3d.backBuffer565 ? ((p >> 5) & 0x3F) << 2 : ((p >> 5) & 0x1F) << 3);
      out[2] = static_cast<uint8_t>(gD3d.backBuffer565 ? ((p >> 11) & 0x1F) << 3 : ((p >> 10) & 0x1F) << 3);
    }
  // The rows go back as 15-bit colours in the back buffer's own layout.
  RdrDepthOff();
  RdrFogOff();
  HalD3dSetRenderState(gD3d.device, HAL_RS_SHADEMODE, HAL_SHADE_GOURAUD);
  int32_t pitch = 0;
  if (auto* back = static_cast<uint8_t*>(HalSurfaceLock(gD3d.backBuffer, &pitch))) {
    const uint8_t* in = buffer;
    for (int32_t y = sh - 1; y >= 0; --y) {
      auto* row = reinterpret_cast<uint16_t*>(back + static_cast<size_t>(y) * static_cast<size_t>(pitch));
      for (int32_t x = 0; x < sw; ++x, in += 3) {
        const uint16_t r = in[2] >> 3, g = in[1] >> 3, b = in[0] >> 3;
        row[x] = static_cast<uint16_t>(gD3d.backBuffer565 ? r << 11 | g << 6 | b : r << 10 | g << 5 | b);
      }
    }
    HalSurfaceUnlock(gD3d.backBuffer);
  }
  RdrDepthOn();
}
