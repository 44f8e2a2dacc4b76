// The .TEX header check both back ends load by, on arbitrary file contents:
// a header it accepts describes texels that lie wholly inside the file, and
// taking them and running the alpha passes over them stays inside the blocks
// they were given.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "backend_common/texture.h"
#include "fuzz_pool.h"
#include "platform/mem.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  uint8_t* file = FuzzFileInPool(data, size);
  if (!file) return 0;
  TexInfo info{};
  if (TexParseHeader(file, static_cast<uint32_t>(size), &info)) {
    if (uint64_t{info.width} * info.height * 2 != info.memRequired ||
        uint64_t{TEX_FILE_HEADER_SIZE} + info.memRequired > size)
      std::abort();
    auto* texels = static_cast<uint16_t*>(MemAlloc(info.memRequired));
    if (!texels) std::abort();
    std::memcpy(texels, file + TEX_FILE_HEADER_SIZE, info.memRequired);
    // The key in force decides which pass a 1555 texture gets.
    TexSetColourKey(size & 1 ? 255 : -1, 0, 255);
    if (info.format == TEX_FMT_ARGB_4444) TexAlphaFromColour(texels, info.width, info.height);
    else TexApplyColourKey(texels, info.width, info.height);
    uint16_t s = 0, t = 0;
    TexAspectRanges(info.aspect, &s, &t);
    if (s == 0 || t == 0) std::abort();
    MemFree(texels);
  }
  MemFree(file);
  return 0;
}
