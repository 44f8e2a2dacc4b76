// Until the highway's track objects exist: no traffic moves.
#include "race/vehicle_steps.h"

void TrackObjTrafficStep() {}
// Their poses stand still with them.
void TrackObjStepAll() {}
// Nor is any drawn.
void TrackObjDrawAll() {}
