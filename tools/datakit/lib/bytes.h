// Little- and big-endian byte building for the kit's writers.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace datakit {

using Bytes = std::vector<uint8_t>;

class ByteWriter {
 public:
  void U8(uint8_t v) { out_.push_back(v); }
  void U16(uint16_t v);
  void U32(uint32_t v);
  void U16Be(uint16_t v);
  void U32Be(uint32_t v);
  void F32(float v);
  void Raw(const void* data, size_t size);
  void Raw(const Bytes& data) { Raw(data.data(), data.size()); }
  // The text and its terminating zero.
  void CString(const std::string& text);
  // Overwrites 4 bytes at `offset` (a size known only once the rest is written).
  void PatchU32(size_t offset, uint32_t v);

  size_t size() const { return out_.size(); }
  const Bytes& bytes() const { return out_; }
  Bytes Take() { return std::move(out_); }

 private:
  Bytes out_;
};

// Writes `data` to `path`, creating folders; false on failure.
bool WriteFile(const std::string& path, const Bytes& data);

}  // namespace datakit
