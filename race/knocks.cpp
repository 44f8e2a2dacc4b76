// Until knocks, slides and scripted jumps exist: a vehicle in one of their
// states is back on its wheels at the next step, a hit only marks the
// vehicle as knocked, and no object is touched.
#include "race/vehicle_steps.h"

void VehicleStepSpecialState(Vehicle* vehicle, Vehicle*, float, float* distance, int32_t*, float*) {
  vehicle->state = VEHICLE_ON_GROUND;
  *distance = 0.0f;
}

void VehicleObjectContactPass(Vehicle*, Vehicle*, int32_t*, float*) {}

void VehicleApplyHit(Vehicle* vehicle, float, float, float, uint8_t) {
  if (vehicle->state != VEHICLE_RESETTING && !(vehicle->hitProtect > 0.0f)) vehicle->state = VEHICLE_KNOCKED;
}

void VehicleSetBodySway(Vehicle*, float) {}
