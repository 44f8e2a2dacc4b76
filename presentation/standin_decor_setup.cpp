// Until the decor exists: the race loader's set-up of the track's decor only
// builds the ripple ring of the water tracks, which the splashes draw.
#include "presentation/presentation.h"
#include "race/race.h"
#include "race/tracks.h"
#include "race/traffic.h"

void DecorSetupTrack() {
  const int32_t t = gRace.trackIndex;
  if (t == TRACK_BOUE || t == TRACK_VOLCANO || t == TRACK_SUNSET) DecorBuildRippleRing();
  if (t == TRACK_HIGHWAY) TrackObjSetup();
}
