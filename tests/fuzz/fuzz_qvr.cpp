// The .qvr picture reader on arbitrary file contents: a picture it accepts
// has every pixel the header promises inside the file, and fitting it to a
// screen reads only those pixels.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "backend_common/picture.h"
#include "platform/mem.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool ready = false;
  if (!ready) {
    MemSetErrorHooks([](const char*) {}, [](int32_t) {});
    ready = true;
  }
  if (size > (1u << 20)) return 0;
  MemPoolInit();
  // As the loader has it: the file in a pool block of its own size.
  auto* file = static_cast<uint8_t*>(MemAlloc(static_cast<uint32_t>(size)));
  if (!file) return 0;
  if (size) std::memcpy(file, data, size);
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
