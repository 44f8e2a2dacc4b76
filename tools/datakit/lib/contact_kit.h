// The desert placements that object contact meets: checkpoints across the
// far end of the course, a fence line, a building beside the course, and a
// cluster of drums crowding one cell of the object grid past its 20 places.
#pragma once
#include <vector>

#include "tools/datakit/lib/track_writer.h"

namespace datakit {

// `ground` gives the terrain height; the course runs out along z = outZ and
// back along z = backZ.
void AppendDesertContactObjects(std::vector<KitPlacement>* out, float (*ground)(float, float), float outZ,
                                float backZ);

// Where they stand, for the tests.
constexpr float KIT_BUILDING_X = 8800.0f;
constexpr float KIT_BUILDING_DZ = 130.0f;  // beside the outward straight
constexpr float KIT_CROWD_X = 8400.0f, KIT_CROWD_Z = 7000.0f;  // one 200-unit cell from here
constexpr int KIT_CROWD = 22;
constexpr float KIT_FENCE_X = 8000.0f;
constexpr int KIT_FENCE = 8;

}  // namespace datakit
