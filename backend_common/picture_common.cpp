#include "backend_common/picture.h"

#include "engine3d/lebytes.h"

void LfbScalePixels(const uint16_t* source, int32_t sourceWidth, int32_t sourceHeight, uint16_t* target,
                    int32_t targetWidth, int32_t targetHeight, uint16_t (*convert)(uint16_t)) {
  const uint32_t rowStep = (static_cast<uint32_t>(sourceHeight - 1) << 16) / static_cast<uint32_t>(targetHeight);
  const uint32_t columnStep = (static_cast<uint32_t>(sourceWidth - 1) << 16) / static_cast<uint32_t>(targetWidth);
  for (int32_t j = 0; j < targetHeight; ++j) {
    const uint16_t* row = source + static_cast<size_t>((uint64_t{static_cast<uint32_t>(j)} * rowStep) >> 16) *
                                       static_cast<size_t>(sourceWidth);
    uint16_t* out = target + static_cast<size_t>(j) * static_cast<size_t>(targetWidth);
    for (int32_t i = 0; i < targetWidth; ++i)
      out[i] = convert(row[(uint64_t{static_cast<uint32_t>(i)} * columnStep) >> 16]);
  }
}

bool LfbParseQvr(const uint8_t* file, uint32_t size, int32_t* width, int32_t* height, std::vector<uint16_t>* pixels) {
  if (size < QVR_HEADER_SIZE) return false;
  *width = GetU16(file);
  *height = GetU16(file + 2);
  uint64_t count = uint64_t(*width) * uint64_t(*height);
  if (count == 0 || size < QVR_HEADER_SIZE + count * 2) return false;
  pixels->resize(count);
  for (uint64_t i = 0; i < count; ++i) (*pixels)[i] = GetU16(file + QVR_HEADER_SIZE + 2 * i);
  return true;
}
