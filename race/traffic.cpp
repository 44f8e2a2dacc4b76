// Until the highway's track objects exist: no traffic moves.
#include "race/vehicle_steps.h"

void TrackObjTrafficStep() {}
