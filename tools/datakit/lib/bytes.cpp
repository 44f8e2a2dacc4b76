#include "tools/datakit/lib/bytes.h"

#include <cstring>
#include <filesystem>
#include <fstream>

namespace datakit {

void ByteWriter::U16(uint16_t v) {
  U8(static_cast<uint8_t>(v));
  U8(static_cast<uint8_t>(v >> 8));
}

void ByteWriter::U32(uint32_t v) {
  U16(static_cast<uint16_t>(v));
  U16(static_cast<uint16_t>(v >> 16));
}

void ByteWriter::U16Be(uint16_t v) {
  U8(static_cast<uint8_t>(v >> 8));
  U8(static_cast<uint8_t>(v));
}

void ByteWriter::U32Be(uint32_t v) {
  U16Be(static_cast<uint16_t>(v >> 16));
  U16Be(static_cast<uint16_t>(v));
}

void ByteWriter::F32(float v) {
  uint32_t bits;
  std::memcpy(&bits, &v, 4);
  U32(bits);
}

void ByteWriter::Raw(const void* data, size_t size) {
  const auto* p = static_cast<const uint8_t*>(data);
  out_.insert(out_.end(), p, p + size);
}

void ByteWriter::CString(const std::string& text) {
  Raw(text.data(), text.size());
  U8(0);
}

void ByteWriter::PatchU32(size_t offset, uint32_t v) {
  for (int i = 0; i < 4; ++i) out_.at(offset + i) = static_cast<uint8_t>(v >> (8 * i));
}

bool WriteFile(const std::string& path, const Bytes& data) {
  std::error_code ec;
  auto parent = std::filesystem::path(path).parent_path();
  if (!parent.empty()) std::filesystem::create_directories(parent, ec);
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  if (!f) return false;
  f.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
  return static_cast<bool>(f);
}

}  // namespace datakit
