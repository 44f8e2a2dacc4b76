// The ruins (5) and the sunset beach (7): the ground and the placements of
// their short descriptions in track_kit.cpp.
#pragma once
#include <vector>

#include "tools/datakit/lib/track_kit.h"

namespace datakit {

// Sunset's sea lies along the bottom of the map: the beach falls below the
// water level south of KIT_SUNSET_SHORE_Z, to its bed KIT_SUNSET_SEA_BED.
constexpr float KIT_SUNSET_WATER = 360.0f;
constexpr float KIT_SUNSET_SHORE_Z = 2200.0f;
constexpr float KIT_SUNSET_SEA_BED = 300.0f;

float RuinesHeight(float x, float z, float course);
std::vector<KitPlacement> RuinesObjects(const KitTrackDesc& desc);
float SunsetHeight(float x, float z, float course);
std::vector<KitPlacement> SunsetObjects(const KitTrackDesc& desc);

}  // namespace datakit
