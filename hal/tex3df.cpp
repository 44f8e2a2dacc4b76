#include "hal/tex3df.h"

#include <string>

namespace {

struct AspectLine {
  const char* text;
  int32_t widthDivisor;
  int32_t heightDivisor;
};

// In aspect-code order.
constexpr AspectLine ASPECT_LINES[] = {
    {"aspect ratio: 8 1", 1, 8}, {"aspect ratio: 4 1", 1, 4}, {"aspect ratio: 2 1", 1, 2},
    {"aspect ratio: 1 1", 1, 1}, {"aspect ratio: 1 2", 2, 1}, {"aspect ratio: 1 4", 4, 1},
    {"aspect ratio: 1 8", 8, 1},
};

// Next line of the header (without its line feed); false when no line feed
// comes within the header limit.
bool NextLine(const uint8_t* file, size_t size, size_t* pos, std::string* line) {
  size_t end = size < HAL_3DF_HEADER_LIMIT ? size : HAL_3DF_HEADER_LIMIT;
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

}  // namespace

int32_t HalLodFromSize(uint32_t size) {
  for (int32_t lod = 0; lod <= 8; ++lod)
    if (size == (256u >> lod)) return lod;
  return -1;
}

bool Hal3dfParseHeader(const uint8_t* head, size_t headSize, uint64_t fileSize, Hal3dfHeader* header,
                       size_t* texelOffset) {
  if (!head || !header) return false;
  if (headSize > fileSize) headSize = static_cast<size_t>(fileSize);
  size_t pos = 0;
  std::string line;
  if (!NextLine(head, headSize, &pos, &line) || line != "3df v1.1") return false;

  if (!NextLine(head, headSize, &pos, &line)) return false;
  int32_t format;
  if (line == "argb1555") {
    format = HAL_3DF_ARGB_1555;
  } else if (line == "rgb565") {
    format = HAL_3DF_RGB_565;
  } else if (line == "argb4444") {
    format = HAL_3DF_ARGB_4444;
  } else {
    return false;
  }

  if (!NextLine(head, headSize, &pos, &line) || line.compare(0, 10, "lod range:") != 0) return false;
  size_t i = 10;
  while (i < line.size() && line[i] == ' ') ++i;
  uint32_t smallSize, largeSize;
  if (!ParseNumber(line, &i, &smallSize) || i >= line.size() || line[i] != ' ') return false;
  ++i;
  if (!ParseNumber(line, &i, &largeSize) || i != line.size()) return false;
  int32_t smallLod = HalLodFromSize(smallSize), largeLod = HalLodFromSize(largeSize);
  if (smallLod < 0 || largeLod < 0 || smallSize > largeSize) return false;

  if (!NextLine(head, headSize, &pos, &line)) return false;
  int32_t aspect = -1;
  for (int32_t a = 0; a < 7; ++a)
    if (line == ASPECT_LINES[a].text) aspect = a;
  if (aspect < 0) return false;
  uint32_t width = largeSize / static_cast<uint32_t>(ASPECT_LINES[aspect].widthDivisor);
  uint32_t height = largeSize / static_cast<uint32_t>(ASPECT_LINES[aspect].heightDivisor);
  if (width == 0 || height == 0) return false;

  uint64_t bytes = uint64_t{width} * height * 2;
  if (fileSize - pos < bytes) return false;
  header->width = width;
  header->height = height;
  header->smallLod = smallLod;
  header->largeLod = largeLod;
  header->aspect = aspect;
  header->format = format;
  header->memRequired = static_cast<uint32_t>(bytes);
  if (texelOffset) *texelOffset = pos;
  return true;
}
