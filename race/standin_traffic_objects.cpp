// Until the highway's track objects exist: the records stay inactive, the
// set-up places none, a knock and a horn do nothing.
#include "race/vehicle_steps.h"

Vehicle gTrackObjects[TRACK_OBJECTS];

void TrackObjKnock(Vehicle*, float, float, float, uint8_t) {}
void TrackObjHorn(Vehicle*) {}
void TrackObjSetup() {}
