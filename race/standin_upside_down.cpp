// Until vehicle recovery exists: every vehicle that ends a knock is back on
// its wheels.
#include "race/vehicle_steps.h"

int32_t VehicleCheckUpsideDown(Vehicle* vehicle) {
  vehicle->state = VEHICLE_ON_GROUND;
  return 0;
}
