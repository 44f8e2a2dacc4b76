#include "tools/datakit/lib/picture_writer.h"

namespace datakit {

namespace {

int32_t Log2(uint32_t v) {
  int32_t n = 0;
  while (v > 1) {
    v >>= 1;
    ++n;
  }
  return n;
}

bool PowerOfTwoUpTo256(uint32_t v) { return v >= 1 && v <= 256 && (v & (v - 1)) == 0; }

}  // namespace

Bytes MakeQvr(uint16_t width, uint16_t height, const std::vector<uint16_t>& pixels) {
  ByteWriter w;
  w.U16(width);
  w.U16(height);
  for (size_t i = 0; i < size_t{width} * height; ++i) w.U16(i < pixels.size() ? pixels[i] : 0);
  return w.Take();
}

Bytes MakeTex(uint32_t format, uint32_t width, uint32_t height, const std::vector<uint16_t>& texels) {
  if (!PowerOfTwoUpTo256(width) || !PowerOfTwoUpTo256(height)) return {};
  int32_t ratio = Log2(width) - Log2(height);  // 3 for 8:1 .. -3 for 1:8
  if (ratio > 3 || ratio < -3) return {};
  uint32_t aspect = static_cast<uint32_t>(3 - ratio);
  uint32_t level = static_cast<uint32_t>(8 - Log2(width > height ? width : height));
  ByteWriter w;
  w.U32(width);
  w.U32(height);
  w.U32(level);
  w.U32(level);
  w.U32(aspect);
  w.U32(format);
  for (size_t i = 0; i < size_t{width} * height; ++i) w.U16(i < texels.size() ? texels[i] : 0);
  return w.Take();
}

std::vector<uint16_t> PatternRgb555(uint32_t width, uint32_t height, uint32_t seed) {
  std::vector<uint16_t> out(size_t{width} * height);
  for (uint32_t y = 0; y < height; ++y) {
    for (uint32_t x = 0; x < width; ++x) {
      uint32_t r = (x * 31 / (width > 1 ? width - 1 : 1) + seed) & 31;
      uint32_t g = (y * 31 / (height > 1 ? height - 1 : 1)) & 31;
      uint32_t b = (((x / 16) + (y / 16)) & 1) ? 31 : (seed * 7) & 31;
      out[size_t{y} * width + x] = static_cast<uint16_t>(r << 10 | g << 5 | b);
    }
  }
  return out;
}

std::vector<uint16_t> PatternTexels(uint32_t format, uint32_t width, uint32_t height, uint32_t seed) {
  std::vector<uint16_t> out(size_t{width} * height);
  for (uint32_t y = 0; y < height; ++y) {
    for (uint32_t x = 0; x < width; ++x) {
      uint32_t v = (x * 7 + y * 13 + seed * 29) & 0xFF;
      bool hole = ((x / 4) + (y / 4)) % 5 == 0;
      uint16_t t;
      if (format == TEX_ARGB4444)
        t = static_cast<uint16_t>((hole ? 0 : 0xF000) | ((v >> 4) << 8) | ((x & 15) << 4) | (y & 15));
      else if (format == TEX_ARGB1555)
        t = static_cast<uint16_t>((hole ? 0 : 0x8000) | ((v >> 3) << 10) | ((x & 31) << 5) | (y & 31));
      else
        t = static_cast<uint16_t>(((v >> 3) << 11) | ((x & 63) << 5) | (y & 31));
      out[size_t{y} * width + x] = t;
    }
  }
  return out;
}

}  // namespace datakit
