// The kit's desert track: its mesh file on the shared terrain grid with a
// course and placements, its trajectories and the other tracks' paths, the
// position maps, the camera spots and the loading pictures.
#pragma once
#include <vector>

#include "tools/datakit/lib/boot_set.h"
#include "tools/datakit/lib/track_writer.h"

namespace datakit {

// The course: a closed loop from the start grid that passes x > 9000.
std::vector<KitPoint> DesertCourse();
// The terrain grid (161 x 81 vertices, 100 apart, two triangles a square cut
// from (c, r) to (c + 1, r + 1)) with the course in ground texture 3.
KitMesh DesertTrackMesh();
std::vector<KitPlacement> DesertPlacements();
// The 80 x 40 codes of mappos.qvr: desert's quadrant holds the finish line
// just beyond the grid and the sectors from 2 in driving order.
std::vector<uint8_t> DesertPositionCodes();

// What the archives hold (.uv in rur4.pak; .cam and paths in rur5.pak; maps
// and loading pictures in rur3.pak).
std::vector<DataFile> TrackArchiveFiles();

// Every track's numbered ground textures (a1 .. j30, so no texture number of
// a track shifts), the tyre textures (gomme.3df, gom.3df and desert\gomme.3df,
// 32 x 32 ARGB1555), the driver-view textures and the mini-car texture: .TEX
// in rur2.pak, .3DF loose.
std::vector<DataFile> RaceKitTextureArchiveFiles();
std::vector<DataFile> RaceKitTextureLooseFiles();
// The models of every object row, with the animation frames of the animated
// ones, in others\: the desert's shaped and coloured by what they are, the
// other tracks' as plain blocks.
std::vector<DataFile> ObjectModelFiles();

// The game start's models: the six cars' bodies at every detail level with
// their wheels, steering wheels and dashboards; the kit parts; the driver
// with its frames; the outside steering wheel and the arrow.
std::vector<DataFile> VehicleModelFiles();

// minicar.3df: 256 x 128, seven vehicle icons of 40 x 64 texels, 4 a row.
std::vector<uint16_t> MiniCarTexels();

}  // namespace datakit
