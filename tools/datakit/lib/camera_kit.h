// The camera spots of the kit's tracks, laid out from each track's
// description: a fixed spot ahead of the grid looking back at it, then along
// the course in turn fixed spots (kind 0) beside it looking ahead, tracking
// spots (kind 1) and spots of kind 2 that only take part in the choice, and
// two spots not in use, one of them on the grid itself.
#pragma once
#include <vector>

#include "tools/datakit/lib/bytes.h"
#include "tools/datakit/lib/track_kit.h"
#include "tools/datakit/lib/track_writer.h"

namespace datakit {

constexpr int32_t KIT_SPOT_OTHER_KIND = 2;

// Desert's blind stretch: the part of its way back (heading -x at
// z = start z - width) between these x. No fixed spot looks at it from
// nearer than KIT_BLIND_FIXED_REACH, and no other spot in use stands nearer
// than KIT_BLIND_OTHER_REACH, so a cut forced there has no spot to go to.
constexpr float KIT_DESERT_BLIND_X0 = 3600.0f, KIT_DESERT_BLIND_X1 = 6000.0f;
constexpr float KIT_BLIND_FIXED_REACH = 2000.0f;
constexpr float KIT_BLIND_OTHER_REACH = 1800.0f;

std::vector<KitCameraSpot> KitTrackCameraSpots(const KitTrackDesc& desc);
// A whole camera file (desert's spots) with none of them in use.
Bytes KitCameraFileNoSpotInUse();

}  // namespace datakit
