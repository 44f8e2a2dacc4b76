// The ambient craft of the desert: a small helicopter.
#pragma once

#include "tools/datakit/lib/model3ds_writer.h"

namespace datakit {

// Cabin, canopy, tail boom and fin, skids and the rotor mast, in the
// modeller's axes (z up, the nose toward -y), in the units of a row of scale
// 0.01. The main rotor is not part of it: the game draws the turning disc
// 14 units above the skids.
Model3ds HelicopterModel();

}  // namespace datakit
