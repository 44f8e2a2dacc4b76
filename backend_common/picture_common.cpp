#include "backend_common/picture.h"

#include <filesystem>
#include <string>

#include "engine3d/lebytes.h"
#include "hal/fs.h"

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

bool LfbWriteScreenshot(const char* path, int32_t width, int32_t height, int32_t step, bool rgb565,
                        const std::function<void(int32_t y, uint16_t* row)>& readRow) {
  if (!path || width <= 0 || height <= 0 || step <= 0) return false;
  const int32_t outW = width / step, outH = height / step;
  if (outW <= 0 || outH <= 0) return false;
  const std::string target = HalResolvePath(path);
  std::error_code ec;
  const auto parent = std::filesystem::path(target).parent_path();
  if (!parent.empty()) std::filesystem::create_directories(parent, ec);

  const size_t rowBytes = static_cast<size_t>(outW) * 3;
  std::vector<uint8_t> file(SCREENSHOT_HEADER_SIZE + rowBytes * static_cast<size_t>(outH));
  uint8_t* header = file.data();
  header[0] = 'B';
  header[1] = 'M';
  PutU32(header + 2, SCREENSHOT_HEADER_SIZE + static_cast<uint32_t>(outW) * static_cast<uint32_t>(outH) * 3);
  PutU32(header + 10, SCREENSHOT_HEADER_SIZE);
  PutU32(header + 14, 40);
  PutU32(header + 18, static_cast<uint32_t>(outW));
  PutU32(header + 22, static_cast<uint32_t>(outH));
  PutU16(header + 26, 1);
  PutU16(header + 28, 24);
  PutU32(header + 38, 123600);
  PutU32(header + 42, 92700);

  std::vector<uint16_t> screenRow(static_cast<size_t>(width));
  uint8_t* fileRow = file.data() + SCREENSHOT_HEADER_SIZE;
  for (int32_t r = 0; r < outH; ++r, fileRow += rowBytes) {
    screenRow.assign(screenRow.size(), 0);
    readRow(height - 1 - r * step, screenRow.data());
    for (int32_t x = 0; x < outW; ++x) {
      const uint16_t p = screenRow[static_cast<size_t>(x) * static_cast<size_t>(step)];
      fileRow[3 * x] = static_cast<uint8_t>((p & 0x1F) << 3);
      if (rgb565) {
        fileRow[3 * x + 1] = static_cast<uint8_t>(((p >> 5) & 0x3F) << 2);
        fileRow[3 * x + 2] = static_cast<uint8_t>(((p >> 11) & 0x1F) << 3);
      } else {
        fileRow[3 * x + 1] = static_cast<uint8_t>(((p >> 5) & 0x1F) << 3);
        fileRow[3 * x + 2] = static_cast<uint8_t>(((p >> 10) & 0x1F) << 3);
      }
    }
  }
  return HalWriteFileAtomic(target.c_str(), file.data(), file.size());
}
