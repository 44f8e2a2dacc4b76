#include "backend_common/picture.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "backend_glide/glide.h"
#include "engine3d/lebytes.h"
#include "engine3d/mathutil.h"
#include "hal/fs.h"
#include "platform/file.h"
#include "platform/mem.h"
#include "platform/pak.h"

namespace {

constexpr int PICTURE_ARCHIVE_SLOT = 2;

uint16_t Unchanged(uint16_t p) { return p; }

// A screen pixel (RGB565) as an opaque ARGB1555 texel.
uint16_t GrabPixel(uint16_t p) {
  return static_cast<uint16_t>(0x8000 | ((p >> 11) & 0x1F) << 10 | (((p >> 5) & 0x3F) / 2) << 5 | (p & 0x1F));
}

uint16_t* FitToScreen(const uint16_t* source, int32_t width, int32_t height) {
  const int32_t sw = gRdrState.screenWidth, sh = gRdrState.screenHeight;
  if (sw <= 0 || sh <= 0) return nullptr;
  auto* picture = static_cast<uint16_t*>(MemAlloc(static_cast<uint32_t>(sw) * static_cast<uint32_t>(sh) * 2));
  if (picture) LfbScalePixels(source, width, height, picture, sw, sh, Unchanged);
  return picture;
}

// Gathers the screenshot whole, then saves it in one piece, so a failed write
// never leaves a damaged picture under the real name.
void WriteBmp(const char* path, int32_t width, int32_t height, int32_t step) {
  LfbWriteScreenshot(path, width, height, step, true, [width](int32_t y, uint16_t* row) {
    GfxLfbReadRegion(GFX_BUFFER_BACKBUFFER, 0, y, width, 1, width * 2, row);
  });
}

}  // namespace

uint16_t* LfbLoadScreenImage(const char* fileName) {
  uint32_t size = 0;
  uint8_t* file = PakLoadFile(fileName, PICTURE_ARCHIVE_SLOT, &size);
  if (!file) return nullptr;
  int32_t width, height;
  std::vector<uint16_t> pixels;
  uint16_t* picture = LfbParseQvr(file, size, &width, &height, &pixels) ? FitToScreen(pixels.data(), width, height) : nullptr;
  MemFree(file);
  return picture;
}

void LfbDrawScreenImage(const uint16_t* picture) {
  if (!picture) return;
  const int32_t sw = gRdrState.screenWidth;
  // A picture loaded before a change to a larger mode holds fewer rows than
  // the screen now has: draw the rows it has, never read past its end.
  const uint32_t rowBytes = static_cast<uint32_t>(sw) * 2;
  const uint32_t rowsHeld = rowBytes ? MemBlockSize(picture) / rowBytes : 0;
  const int32_t sh = std::min(gRdrState.screenHeight, static_cast<int32_t>(rowsHeld));
  if (sh <= 0) return;
  GfxClipWindow(0, 0, sw, sh);
  RdrDepthOff();
  GfxAlphaBlendFunction(GFX_BLEND_ONE, GFX_BLEND_ZERO, GFX_BLEND_ONE, GFX_BLEND_ZERO);
  GfxAlphaTestFunction(GFX_CMP_ALWAYS);
  RdrCacheColorCombine(GFX_COMBINE_CCRGB);
  GfxConstantColorValue(0xFFFFFF);
  GfxIdle();
  GfxLfbWriteRegion(GFX_BUFFER_BACKBUFFER, 0, 0, GFX_LFB_SRC_FMT_555, sw, sh, sw * 2, picture);
  GfxAlphaBlendFunction(GFX_BLEND_SRC_ALPHA, GFX_BLEND_ONE_MINUS_SRC_ALPHA, GFX_BLEND_ONE, GFX_BLEND_ZERO);
  GfxAlphaTestFunction(GFX_CMP_NOTEQUAL);
  RdrDepthOn();
  GfxClipWindow(TruncI32(gRdrState.clipMinX), TruncI32(gRdrState.clipMinY), TruncI32(gRdrState.clipMaxX),
                TruncI32(gRdrState.clipMaxY));
}

void LfbSaveScreenshot(const char* path, int32_t width, int32_t height) { WriteBmp(path, width, height, 1); }

void LfbSaveScreenshotQuarter(const char* path, int32_t width, int32_t height) { WriteBmp(path, width, height, 4); }

// Pictures live in their blocks here: there is no held picture to blank.
void LfbClearWorkSurface() {}

void LfbGrabScreen(uint16_t* buffer) {
  const int32_t sw = gRdrState.screenWidth, sh = gRdrState.screenHeight;
  GfxLfbReadRegion(GFX_BUFFER_BACKBUFFER, 0, 0, sw, sh, sw * 2, buffer);
  for (size_t i = 0, n = static_cast<size_t>(sw) * static_cast<size_t>(sh); i < n; ++i) buffer[i] = GrabPixel(buffer[i]);
}

uint16_t* LfbGrabScreenScaled(int32_t width, int32_t height) {
  const int32_t sw = gRdrState.screenWidth, sh = gRdrState.screenHeight;
  if (width <= 0 || height <= 0 || sw <= 0 || sh <= 0) return nullptr;
  // A size whose byte count does not fit the pool's 32 bits would wrap to a
  // small block that the scaling then overruns.
  const uint64_t bytes = uint64_t{static_cast<uint32_t>(width)} * static_cast<uint32_t>(height) * 2;
  if (bytes > UINT32_MAX) return nullptr;
  std::vector<uint16_t> screen(static_cast<size_t>(sw) * static_cast<size_t>(sh));
  GfxLfbReadRegion(GFX_BUFFER_FRONTBUFFER, 0, 0, sw, sh, sw * 2, screen.data());
  auto* out = static_cast<uint16_t*>(MemAlloc(static_cast<uint32_t>(bytes)));
  if (out) LfbScalePixels(screen.data(), sw, sh, out, width, height, GrabPixel);
  return out;
}

uint16_t* LfbLoadImagePixels(const char* fileName) {
  uint32_t size = 0;
  uint8_t* file = PakLoadFile(fileName, PICTURE_ARCHIVE_SLOT, &size);
  if (!file) return nullptr;
  int32_t width, height;
  std::vector<uint16_t> pixels;
  uint16_t* copy = nullptr;
  if (LfbParseQvr(file, size, &width, &height, &pixels)) {
    copy = static_cast<uint16_t*>(MemAlloc(static_cast<uint32_t>(pixels.size() * 2)));
    if (copy) std::memcpy(copy, pixels.data(), pixels.size() * 2);
  }
  MemFree(file);
  return copy;
}

uint16_t* LfbLoadIndexedImage(const char* fileName) {
  constexpr uint32_t HEADER = 4 + 256 * 3;
  uint32_t size = FileSize(fileName);
  auto* file = static_cast<uint8_t*>(FileLoad(fileName));
  if (!file) return nullptr;
  uint16_t* picture = nullptr;
  if (size >= HEADER) {
    int32_t width = static_cast<int16_t>(GetU16(file)), height = static_cast<int16_t>(GetU16(file + 2));
    uint64_t count = width > 0 && height > 0 ? uint64_t(width) * uint64_t(height) : 0;
    if (count > 0 && size >= HEADER + count) {
      std::vector<uint16_t> pixels(count);
      for (uint64_t i = 0; i < count; ++i) {
        const uint8_t* c = file + 4 + 3 * file[HEADER + i];
        pixels[i] = static_cast<uint16_t>((c[0] >> 3) << 10 | (c[1] >> 3) << 5 | (c[2] >> 3));
      }
      picture = FitToScreen(pixels.data(), width, height);
    }
  }
  MemFree(file);
  return picture;
}
