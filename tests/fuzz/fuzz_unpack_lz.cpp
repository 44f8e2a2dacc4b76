// UnpackLz on arbitrary streams: the first two bytes give the unpacked size.
// Decoded apart and in place, a stream must give the same verdict and bytes.
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/mem.h"
#include "platform/pak.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool ready = (MemPoolInit(), true);
  (void)ready;
  if (size < 2) return 0;
  uint32_t unpacked = data[0] | data[1] << 8;
  const uint8_t* packed = data + 2;
  auto packedSize = static_cast<uint32_t>(size - 2);

  std::vector<uint8_t> source(packed, packed + packedSize);
  std::vector<uint8_t> apart(unpacked);
  int okApart = UnpackLz(source.data(), packedSize, apart.data(), unpacked);

  if (packedSize <= unpacked) {
    std::vector<uint8_t> buffer(unpacked);
    uint8_t* tail = buffer.data() + unpacked - packedSize;
    if (packedSize) std::memcpy(tail, packed, packedSize);
    int okInPlace = UnpackLz(tail, packedSize, buffer.data(), unpacked);
    if (okInPlace != okApart) __builtin_trap();
    if (okApart && buffer != apart) __builtin_trap();
  }
  if (MemPoolUsedBytes() != 0) __builtin_trap();  // scratch blocks are always returned
  return 0;
}
