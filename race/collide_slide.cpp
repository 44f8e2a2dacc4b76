// The start of a contact slide, which the control update asks for too; kept
// apart so that the control update links without the collision pass.
#include <cmath>

#include "race/vehicle_steps.h"

int32_t CollideStartSlide(Vehicle* v, float threshold) {
  const int32_t s = v->state;
  const bool may = s == VEHICLE_ON_GROUND || s == VEHICLE_CRIPPLED || s == VEHICLE_ROLLED_OVER ||
                   s == VEHICLE_BLOCKED || s >= VEHICLE_BACKING_OFF;
  if (!may || !(std::fabs(v->slideAngle) > threshold)) return 0;
  v->state = VEHICLE_CONTACT_SLIDE;
  return 1;
}
