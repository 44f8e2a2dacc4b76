// The race's files beyond the kit's tracks (track_kit.h): the other tracks'
// paths, the position maps, the loading pictures, the ground and vehicle
// textures, the object models and the vehicle models.
#pragma once
#include <vector>

#include "tools/datakit/lib/boot_set.h"
#include "tools/datakit/lib/track_kit.h"
#include "tools/datakit/lib/track_writer.h"

namespace datakit {

// What the archives hold: every kit track's files (.uv in rur4.pak; .cam and
// paths in rur5.pak), the shared paths, the maps with each kit track's
// quadrant and the loading pictures (rur3.pak). Without `objectPaths` the
// highway traffic's paths are left out, as on a disk that lost them.
std::vector<DataFile> TrackArchiveFiles(bool objectPaths = true);

// Every track's numbered ground textures (a1 .. j30, so no texture number of
// a track shifts), the tyre textures (gomme.3df, gom.3df and the kit tracks'
// <track>\gomme.3df of every kit track, 32 x 32 ARGB1555), the driver-view
// textures and the mini-car texture: .TEX in rur2.pak, .3DF loose.
std::vector<DataFile> RaceKitTextureArchiveFiles();
std::vector<DataFile> RaceKitTextureLooseFiles();
// The models of every object row, with the animation frames of the animated
// ones, in others\: the desert's and boue's coloured boxes, the snow,
// volcano and savanna tracks' and the decor's shaped by what they are
// (shaped_models.h), the other tracks' as plain blocks.
std::vector<DataFile> ObjectModelFiles();

// The game start's models: the six cars' bodies at every detail level with
// their wheels, steering wheels and dashboards; the kit parts; the driver
// with its frames; the outside steering wheel and the arrow.
std::vector<DataFile> VehicleModelFiles();

// minicar.3df: 256 x 128, seven vehicle icons of 40 x 64 texels, 4 a row.
std::vector<uint16_t> MiniCarTexels();

}  // namespace datakit
