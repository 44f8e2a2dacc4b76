// The traffic's records on their own, so that what only reads them (the
// trace, the collisions) need not bring the steps along.
#include "race/traffic.h"

Vehicle gTrackObjects[TRACK_OBJECTS];
Trajectory gObjectPaths[TRAJ_SLOTS];
TrafficType gTrafficTypes[TRAFFIC_TYPES];
TrackObjState gTrackObjState;
