// The header of .3DF texture files: four text lines ("3df v1.1", the format
// name, "lod range: <small> <large>", "aspect ratio: <w> <h>"), each ending in
// a bare line feed, all within the first 128 bytes; then the texels of the
// largest level, 16 bits each, big-endian. Shared by every reader of the format.
#pragma once
#include <cstddef>
#include <cstdint>

constexpr size_t HAL_3DF_HEADER_LIMIT = 128;

// Format codes as texture files store them.
constexpr int32_t HAL_3DF_RGB_565 = 10;
constexpr int32_t HAL_3DF_ARGB_1555 = 11;
constexpr int32_t HAL_3DF_ARGB_4444 = 12;

struct Hal3dfHeader {
  uint32_t width;
  uint32_t height;
  int32_t smallLod;  // level codes: 0 is a 256-texel side, 8 a 1-texel side
  int32_t largeLod;
  int32_t aspect;    // 0 (8:1) .. 3 (1:1) .. 6 (1:8)
  int32_t format;    // HAL_3DF_*
  uint32_t memRequired;  // bytes of the largest level: width x height x 2
};

// -1 when not a power of two up to 256.
int32_t HalLodFromSize(uint32_t size);

// Parses the header from the first bytes of a file (`head`, `headSize` of
// them; only the first 128 are looked at) whose whole length is `fileSize`.
// True when the header is exact and the largest level's texels all lie
// within the file; then `texelOffset` is where they start.
bool Hal3dfParseHeader(const uint8_t* head, size_t headSize, uint64_t fileSize, Hal3dfHeader* header,
                       size_t* texelOffset);
