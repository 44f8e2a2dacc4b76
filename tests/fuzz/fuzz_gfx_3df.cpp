// The 3DF header parser on arbitrary bytes.
#include <cstddef>
#include <cstdint>

#include "hal/gfx/gfx3df.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Gfx3dfInfo info{};
  size_t offset = 0;
  if (Gfx3dfParse(data, size, &info, &offset)) {
    // What the parser accepts must be readable in full.
    volatile uint8_t sum = 0;
    for (size_t i = offset; i < offset + info.memRequired; ++i) sum = static_cast<uint8_t>(sum + data[i]);
  }
  return 0;
}
