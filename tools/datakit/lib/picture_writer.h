// Pictures: .qvr screens (RGB555) and .TEX textures (one level, 16-bit texels).
#pragma once
#include <cstdint>
#include <vector>

#include "tools/datakit/lib/bytes.h"
#include "tools/datakit/lib/texture_3df.h"

namespace datakit {

// .TEX files carry the same format codes as .3DF files.
constexpr uint32_t TEX_RGB565 = TEX3DF_RGB565;
constexpr uint32_t TEX_ARGB1555 = TEX3DF_ARGB1555;
constexpr uint32_t TEX_ARGB4444 = TEX3DF_ARGB4444;

// u16 width, u16 height, then the pixels row by row from the top.
Bytes MakeQvr(uint16_t width, uint16_t height, const std::vector<uint16_t>& pixels);

// A header of six u32 (width, height, small and large level, aspect, format)
// and the texels. Width and height are powers of two up to 256 with a ratio
// of at most 8; the aspect code and level follow from them.
Bytes MakeTex(uint32_t format, uint32_t width, uint32_t height, const std::vector<uint16_t>& texels);

// Deterministic test pictures: a gradient with a checker so scaling and
// colour conversion both show.
std::vector<uint16_t> PatternRgb555(uint32_t width, uint32_t height, uint32_t seed);
std::vector<uint16_t> PatternTexels(uint32_t format, uint32_t width, uint32_t height, uint32_t seed);

}  // namespace datakit
