// The kit's vehicle models, in the modeller's z-up axes with the car facing
// +y: a body for each detail level (fewer faces at each), the interior, front
// and rear wheels whose treads bear the tyre texture, and the driver with
// the six frames of its animation.
#pragma once
#include <array>
#include <vector>

#include "tools/datakit/lib/model3ds_writer.h"

namespace datakit {

constexpr int CAR_BODY_LEVELS = 4;  // res1 .. res4

// Level 0 is the nearest and most detailed; level 3 is one box.
Model3ds CarBodyModel(int level);
Model3ds CarInteriorModel();
// Wheels turn about the x axis through the origin. The rear wheels are
// larger and wider than the front ones.
Model3ds CarFrontWheelModel();
Model3ds CarRearWheelModel();

// A box of one colour, w and d either side of the axes and h high: the
// steering wheels, the dashboard, the engines and the arrow. The vehicles'
// models are loaded mirrored (the modeller's y and z swap places), so their
// faces wind the other way from the track objects'.
Model3ds CarPartModel(const char* name, float w, float d, float h, uint8_t r, uint8_t g, uint8_t b);

Model3ds DriverModel();
// Frame k (1..6) of the driver: at rest, leaning left, leaning right,
// thrown forward, thrown back, looking back. Frame 1 is the model itself.
std::vector<std::array<float, 3>> DriverFrame(int k);

}  // namespace datakit
