// The menus' data: the drum font textures (typhab, typhab1) with the
// pointer, the icon textures (icones, icones1) with the small font, the
// spinner arrows, the hint cells and the markers, the push button and drum
// arrow models, and the menu backgrounds. Every cell is painted with its
// number or glyph, so a wrong cell shows.
#pragma once
#include <cstdint>
#include <vector>

#include "tools/datakit/lib/boot_set.h"
#include "tools/datakit/lib/race_textures.h"

namespace datakit {

// The pointer's texels on typhab1: u 224..254, v 192..254.
constexpr int MENU_POINTER_U = 224, MENU_POINTER_V = 192;

std::vector<KitTexture> MenuTextures();
std::vector<DataFile> MenuArchiveFiles();  // the .TEX files, models and pictures
std::vector<DataFile> MenuLooseFiles();    // the .3DF files

}  // namespace datakit
