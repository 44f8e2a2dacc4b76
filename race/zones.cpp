// Until race progress, zones and ground cells exist: no lap is counted, no
// ground cell is coded, and only track 6's jump trigger is kept.
#include "race/race.h"
#include "race/tracks.h"
#include "race/vehicle_steps.h"

void RaceCheckZone(Vehicle*, Vehicle*) {}
int32_t VehicleCheckGroundCell(Vehicle*) { return 0; }

int32_t VehicleCheckLoopJump(Vehicle* v) {
  if (gRace.trackIndex != TRACK_LOOPING) return 0;
  return v->rampCountdown > 0.0f && v->velocity > 120.0f && v->velocity * 2.0f * gRace.timeStep > v->rampCountdown;
}
