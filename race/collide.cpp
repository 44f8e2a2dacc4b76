// Until vehicle collisions exist: only the slide start the control update asks for.
#include <cmath>

#include "race/vehicle_steps.h"

int32_t CollideStartSlide(Vehicle* v, float threshold) {
  const int32_t s = v->state;
  const bool may = s == VEHICLE_ON_GROUND || s == VEHICLE_CRIPPLED || s == VEHICLE_ROLLED_OVER ||
                   s == VEHICLE_BLOCKED || s > VEHICLE_HANDBRAKE_SLIDE;
  if (!may || !(std::fabs(v->slideAngle) > threshold)) return 0;
  v->state = VEHICLE_CONTACT_SLIDE;
  return 1;
}

// No vehicle touches another yet.
void CollideAllVehicles() {}
