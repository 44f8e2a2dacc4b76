// The .qvr picture reader on arbitrary file contents: a picture it accepts
// has every pixel the header promises inside the file, and fitting it to a
// screen reads only those pixels.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "backend_common/picture.h"
#include "fuzz_pool.h"
#include "platform/mem.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  uint8_t* file = FuzzFileInPool(data, size);
  if (!file) return 0;
  int32_t width = 0, height = 0;
  std::vector<uint16_t> pixels;
  if (LfbParseQvr(file, static_cast<uint32_t>(size), &width, &height, &pixels)) {
    const uint64_t count = uint64_t(width) * uint64_t(height);
    if (width <= 0 || height <= 0 || pixels.size() != count || QVR_HEADER_SIZE + count * 2 > size) std::abort();
    // A screen larger and one smaller than most pictures.
    for (const auto& [w, h] : {std::pair{64, 48}, std::pair{3, 2}}) {
      auto* screen = static_cast<uint16_t*>(MemAlloc(static_cast<uint32_t>(w * h * 2)));
      if (!screen) std::abort();
      LfbScalePixels(pixels.data(), width, height, screen, w, h, [](uint16_t p) { return p; });
      MemFree(screen);
    }
  }
  MemFree(file);
  return 0;
}
