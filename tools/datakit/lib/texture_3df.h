// .3DF textures: the text header ("3df v1.1", format name, "lod range: ",
// "aspect ratio: ") and one level of big-endian 16-bit texels.
#pragma once
#include <cstdint>
#include <vector>

#include "tools/datakit/lib/bytes.h"

namespace datakit {

// Format codes as the texture files carry them.
constexpr int32_t TEX3DF_RGB565 = 10;
constexpr int32_t TEX3DF_ARGB1555 = 11;
constexpr int32_t TEX3DF_ARGB4444 = 12;

// One level of width x height texels (rows from the top). Width and height
// are powers of two up to 256 with a ratio of at most 8; the lod range names
// the long side twice. Empty when the size or format cannot be written.
Bytes Make3df(int32_t format, uint32_t width, uint32_t height, const std::vector<uint16_t>& texels);

}  // namespace datakit
