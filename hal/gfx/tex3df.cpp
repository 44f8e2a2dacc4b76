// .3DF reader on the header parser of hal: the texels of the largest level
// must lie wholly within the file.
#include "hal/gfx/gfx3df.h"

#include <cstring>
#include <string>
#include <vector>

#include "hal/fs.h"
#include "hal/gfx/gfx.h"
#include "hal/tex3df.h"

namespace {

// The header and the largest possible level (256 x 256 texels): nothing
// behind that is read.
constexpr size_t READ_LIMIT = HAL_3DF_HEADER_LIMIT + 256 * 256 * 2;

static_assert(HAL_3DF_RGB_565 == GFX_TEXFMT_RGB_565 && HAL_3DF_ARGB_1555 == GFX_TEXFMT_ARGB_1555 &&
                  HAL_3DF_ARGB_4444 == GFX_TEXFMT_ARGB_4444 && GFX_ASPECT_8x1 == 0 && GFX_ASPECT_1x8 == 6,
              "the accelerator's codes are the files' own");

bool ReadFile(const char* path, std::vector<uint8_t>* out) {
  int fd = HalFdOpen(path, HAL_OPEN_READ);
  if (fd < 0) return false;
  int64_t length = HalFdLength(fd);
  bool ok = length >= 0;
  if (ok) {
    size_t want = static_cast<size_t>(length) < READ_LIMIT ? static_cast<size_t>(length) : READ_LIMIT;
    out->resize(want);
    ok = HalFdRead(fd, out->data(), want) == static_cast<int64_t>(want);
  }
  HalFdClose(fd);
  return ok;
}

}  // namespace

int32_t GfxLodFromSize(uint32_t size) { return HalLodFromSize(size); }

bool Gfx3dfParse(const uint8_t* file, size_t size, Gfx3dfInfo* info, size_t* texelOffset) {
  if (!file || !info) return false;
  Hal3dfHeader h;
  if (!Hal3dfParseHeader(file, size, size, &h, texelOffset)) return false;
  info->width = h.width;
  info->height = h.height;
  info->smallLod = h.smallLod;
  info->largeLod = h.largeLod;
  info->aspect = h.aspect;
  info->format = h.format;
  info->memRequired = h.memRequired;
  return true;
}

bool Gfx3dfGetInfo(const char* path, Gfx3dfInfo* info) {
  std::vector<uint8_t> file;
  if (!path || !info || !ReadFile(path, &file)) return false;
  return Gfx3dfParse(file.data(), file.size(), info, nullptr);
}

bool Gfx3dfLoad(const char* path, Gfx3dfInfo* info) {
  std::vector<uint8_t> file;
  if (!path || !info || !info->data || !ReadFile(path, &file)) return false;
  Gfx3dfInfo now;
  size_t offset;
  if (!Gfx3dfParse(file.data(), file.size(), &now, &offset)) return false;
  if (now.width != info->width || now.height != info->height || now.format != info->format) return false;
  uint8_t* out = static_cast<uint8_t*>(info->data);
  const uint8_t* in = file.data() + offset;
  for (size_t t = 0; t < static_cast<size_t>(now.width) * now.height; ++t) {
    uint16_t texel = static_cast<uint16_t>(in[t * 2] << 8 | in[t * 2 + 1]);
    std::memcpy(out + t * 2, &texel, 2);
  }
  info->smallLod = now.smallLod;
  info->largeLod = now.largeLod;
  info->aspect = now.aspect;
  info->memRequired = now.memRequired;
  return true;
}
