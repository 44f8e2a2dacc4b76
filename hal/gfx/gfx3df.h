// Reader of .3DF texture files: a text header ("3df v1.1", the format name,
// "lod range: <small> <large>", "aspect ratio: <w> <h>", each line ending in a
// bare line feed, all within the first 128 bytes) and then the texels of the
// largest level, 16 bits each, big-endian. Only the largest level is read.
#pragma once
#include <cstddef>
#include <cstdint>

// Level codes: 0 is a 256-texel side, 8 a 1-texel side.
int32_t GfxLodFromSize(uint32_t size);  // -1 when not a power of two up to 256

struct Gfx3dfInfo {
  uint32_t width;
  uint32_t height;
  int32_t smallLod;
  int32_t largeLod;
  int32_t aspect;
  int32_t format;
  uint8_t table[1024];  // palette / NCC table; unused by the 16-bit formats
  void* data;           // where Gfx3dfLoad puts the texels
  uint32_t memRequired; // bytes of the largest level: width x height x 2
};

// Parses a whole file image. On success fills the six size and format fields
// and memRequired, and gives the offset of the first texel; the texels of the
// largest level are known to lie within `size`.
bool Gfx3dfParse(const uint8_t* file, size_t size, Gfx3dfInfo* info, size_t* texelOffset);
// Reads the header of the file at a game path. False when the file is
// missing, damaged or of another format.
bool Gfx3dfGetInfo(const char* path, Gfx3dfInfo* info);
// Reads the texels into info->data (memRequired bytes, host order). The file
// must still describe the texture that Gfx3dfGetInfo reported.
bool Gfx3dfLoad(const char* path, Gfx3dfInfo* info);
