// The textures of the kit's whole scene, as .3DF files: grass for the ground
// and ripples for the water (RGB565, 64 x 64, gentle so they read at any
// distance), a bush for the billboards (ARGB1555 on a magenta background that a colour key removes) and
// the sun sheet (ARGB4444, 256 x 256 in four 128 x 128 cells: the glow at the
// top left, a ring, a soft disc and a halo for the lens flare; the texture
// manager turns brightness into alpha, so black is clear).
#pragma once
#include <cstdint>
#include <vector>

#include "tools/datakit/lib/boot_set.h"

namespace datakit {

constexpr uint8_t SCENE_BUSH_KEY_RED = 255, SCENE_BUSH_KEY_GREEN = 0, SCENE_BUSH_KEY_BLUE = 255;

std::vector<uint16_t> SceneGrassTexels();  // 64 x 64, RGB565
std::vector<uint16_t> SceneWaterTexels();  // 64 x 64, RGB565
std::vector<uint16_t> SceneBushTexels();   // 64 x 64, ARGB1555
std::vector<uint16_t> SceneSunTexels();   // 256 x 256, ARGB4444
// "grass.3df", "water.3df", "bush.3df" and "glow.3df".
std::vector<DataFile> SceneTextureFiles();

}  // namespace datakit
