// .3DF reader: the header is checked line by line, exactly; the texels of the
// largest level must lie wholly within the file.
#include "hal/gfx/gfx3df.h"

#include <cstring>
#include <string>
#include <vector>

#include "hal/fs.h"
#include "hal/gfx/gfx.h"

namespace {

constexpr size_t HEADER_LIMIT = 128;
// The header and the largest possible level (256 x 256 texels): nothing
// behind that is read.
constexpr size_t READ_LIMIT = HEADER_LIMIT + 256 * 256 * 2;

struct AspectLine {
  const char* text;
  int32_t code;
  int32_t widthDivisor;
  int32_t heightDivisor;
};

constexpr AspectLine ASPECT_LINES[] = {
    {"aspect ratio: 8 1", GFX_ASPECT_8x1, 1, 8}, {"aspect ratio: 4 1", GFX_ASPECT_4x1, 1, 4},
    {"aspect ratio: 2 1", GFX_ASPECT_2x1, 1, 2}, {"aspect ratio: 1 1", GFX_ASPECT_1x1, 1, 1},
    {"aspect ratio: 1 2", GFX_ASPECT_1x2, 2, 1}, {"aspect ratio: 1 4", GFX_ASPECT_1x4, 4, 1},
    {"aspect ratio: 1 8", GFX_ASPECT_1x8, 8, 1},
};

// Next line of the header (without its line feed); false when no line feed
// comes within the header limit.
bool NextLine(const uint8_t* file, size_t size, size_t* pos, std::string* line) {
  size_t end = size < HEADER_LIMIT ? size : HEADER_LIMIT;
  for (size_t i = *pos; i < end; ++i) {
    if (file[i] == '\n') {
      line->assign(reinterpret_cast<const char*>(file) + *pos, i - *pos);
      *pos = i + 1;
      return true;
    }
  }
  return false;
}

// A decimal number of at most 3 digits at text[*i].
bool ParseNumber(const std::string& text, size_t* i, uint32_t* value) {
  size_t start = *i;
  uint32_t v = 0;
  while (*i < text.size() && text[*i] >= '0' && text[*i] <= '9' && *i - start < 3) {
    v = v * 10 + static_cast<uint32_t>(text[*i] - '0');
    ++*i;
  }
  if (*i == start) return false;
  *value = v;
  return true;
}

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

int32_t GfxLodFromSize(uint32_t size) {
  for (int32_t lod = 0; lod <= 8; ++lod)
    if (size == (256u >> lod)) return lod;
  return -1;
}

bool Gfx3dfParse(const uint8_t* file, size_t size, Gfx3dfInfo* info, size_t* texelOffset) {
  if (!file || !info) return false;
  size_t pos = 0;
  std::string line;
  if (!NextLine(file, size, &pos, &line) || line != "3df v1.1") return false;

  if (!NextLine(file, size, &pos, &line)) return false;
  int32_t format;
  if (line == "argb1555") {
    format = GFX_TEXFMT_ARGB_1555;
  } else if (line == "rgb565") {
    format = GFX_TEXFMT_RGB_565;
  } else if (line == "argb4444") {
    format = GFX_TEXFMT_ARGB_4444;
  } else {
    return false;
  }

  if (!NextLine(file, size, &pos, &line) || line.compare(0, 10, "lod range:") != 0) return false;
  size_t i = 10;
  while (i < line.size() && line[i] == ' ') ++i;
  uint32_t smallSize, largeSize;
  if (!ParseNumber(line, &i, &smallSize) || i >= line.size() || line[i] != ' ') return false;
  ++i;
  if (!ParseNumber(line, &i, &largeSize) || i != line.size()) return false;
  int32_t smallLod = GfxLodFromSize(smallSize), largeLod = GfxLodFromSize(largeSize);
  if (smallLod < 0 || largeLod < 0 || smallSize > largeSize) return false;

  if (!NextLine(file, size, &pos, &line)) return false;
  const AspectLine* aspect = nullptr;
  for (const AspectLine& a : ASPECT_LINES)
    if (line == a.text) aspect = &a;
  if (!aspect) return false;
  uint32_t width = largeSize / static_cast<uint32_t>(aspect->widthDivisor);
  uint32_t height = largeSize / static_cast<uint32_t>(aspect->heightDivisor);
  if (width == 0 || height == 0) return false;

  size_t bytes = static_cast<size_t>(width) * height * 2;
  if (size - pos < bytes) return false;
  info->width = width;
  info->height = height;
  info->smallLod = smallLod;
  info->largeLod = largeLod;
  info->aspect = aspect->code;
  info->format = format;
  info->memRequired = static_cast<uint32_t>(bytes);
  if (texelOffset) *texelOffset = pos;
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
