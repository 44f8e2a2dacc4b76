// The .TEX header check both back ends load by, on arbitrary bytes: what it
// accepts has every texel inside the file.
#include <cstddef>
#include <cstdint>

#include "backend_common/texture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > UINT32_MAX) return 0;
  TexInfo info{};
  if (TexParseHeader(data, static_cast<uint32_t>(size), &info)) {
    if (info.memRequired != info.width * info.height * 2) __builtin_trap();
    volatile uint8_t sum = 0;
    for (size_t i = TEX_FILE_HEADER_SIZE; i < TEX_FILE_HEADER_SIZE + info.memRequired; ++i)
      sum = static_cast<uint8_t>(sum + data[i]);
  }
  return 0;
}
