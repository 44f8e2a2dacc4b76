// The tyre-mark texture blends.
#include "race/assets.h"

#include <initializer_list>

AssetState gAssets;

namespace {
constexpr int32_t BLEND_TEXELS = 1024;
constexpr int32_t BLEND_STEPS = 8;
}  // namespace

void AssetBlendTexels(const uint16_t* base, const uint16_t* target, int32_t step, uint16_t* out) {
  for (int32_t i = 0; i < BLEND_TEXELS; ++i) {
    uint16_t texel = 0x8000;
    for (int shift : {10, 5, 0}) {
      const int32_t b = (base[i] >> shift) & 31, t = (target[i] >> shift) & 31;
      // Integer division truncates toward zero, as the blend wants for a negative difference.
      const int32_t c = b + (t - b) * step / BLEND_STEPS;
      texel = static_cast<uint16_t>(texel | (c & 31) << shift);
    }
    out[i] = texel;
  }
}
