#include "tools/datakit/lib/texture_3df.h"

#include <string>

namespace datakit {

Bytes Make3df(int32_t format, uint32_t width, uint32_t height, const std::vector<uint16_t>& texels) {
  const char* name = format == TEX3DF_RGB565     ? "rgb565"
                     : format == TEX3DF_ARGB1555 ? "argb1555"
                     : format == TEX3DF_ARGB4444 ? "argb4444"
                                                 : nullptr;
  auto pow2 = [](uint32_t v) { return v >= 1 && v <= 256 && (v & (v - 1)) == 0; };
  if (!name || !pow2(width) || !pow2(height) || texels.size() != static_cast<size_t>(width) * height)
    return {};
  uint32_t longSide = width > height ? width : height;
  uint32_t ratio = width > height ? width / height : height / width;
  if (ratio > 8) return {};
  std::string aspect = width >= height ? std::to_string(ratio) + " 1" : "1 " + std::to_string(ratio);
  std::string header = std::string("3df v1.1\n") + name + "\nlod range: " + std::to_string(longSide) +
                       " " + std::to_string(longSide) + "\naspect ratio: " + aspect + "\n";
  ByteWriter w;
  w.Raw(header.data(), header.size());
  for (uint16_t t : texels) w.U16Be(t);
  return w.Take();
}

}  // namespace datakit
