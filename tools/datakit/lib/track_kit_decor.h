// The kit's tracks with moving scenery: neige (1) with its lifts, skiers and
// church, volcano (3) whose rocks land on its course, and savana (8) with its
// elephants; and the paths their decor reads.
#pragma once
#include <vector>

#include "tools/datakit/lib/boot_set.h"
#include "tools/datakit/lib/track_kit.h"

namespace datakit {

KitTrackDesc NeigeTrackDesc();
KitTrackDesc VolcanoTrackDesc();
KitTrackDesc SavanaTrackDesc();

// neige's church, whose first placement gives the bell its place.
constexpr float KIT_NEIGE_CHURCH_X = 1000.0f, KIT_NEIGE_CHURCH_Z = 4600.0f;
// The first lift's top, where the skiers set off down the slope across the
// course's third bend.
constexpr float KIT_SKI_TOP_X = 12250.0f, KIT_SKI_TOP_Z = 1650.0f;
// The volcano's crater, which the rocks leave and the crater check guards.
constexpr float KIT_CRATER_X = 8375.0f, KIT_CRATER_Z = 4430.0f;

// Skier path `k` (0..3, "ski.tA".."ski.tD"): from the first lift's top
// zigzagging down the slope and across the course's third bend.
std::vector<KitPoint> NeigeSkiPath(int k);
// Elephant path `k` (0..1, "ele.tA", "ele.tB"): a ring of 24 points across the
// start straight (A) and the way back (B).
std::vector<KitPoint> SavanaElephantPath(int k);
// "ski.tA".."ski.tD" and "ele.tA", "ele.tB", at the root of the path archive.
std::vector<DataFile> DecorPathFiles();

// neige's mesh file ("neige.uv") with every placement but the church's, for
// a race on a snow track without a church.
std::vector<DataFile> NeigeWithoutChurchFiles();
// volcano's trajectory A ("traj\volcano.tA") with its last point moved
// KIT_BEYOND_EDGE_X, beyond the terrain's east edge (x 16000).
constexpr float KIT_BEYOND_EDGE_X = 16450.0f;
std::vector<DataFile> VolcanoTrajectoryBeyondEdgeFiles();

}  // namespace datakit
