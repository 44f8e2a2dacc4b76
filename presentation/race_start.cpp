// Until the sound bank, the decor and the music exist: the race loader's
// calls into them find nothing to do, but for the ripple ring of the water
// tracks, which the splashes draw.
#include "presentation/presentation.h"
#include "race/race.h"
#include "race/tracks.h"

void SfxLoadTrackBank() {}
void DecorSetupTrack() {
  const int32_t t = gRace.trackIndex;
  if (t == TRACK_BOUE || t == TRACK_VOLCANO || t == TRACK_SUNSET) DecorBuildRippleRing();
}
void MusicPlayTrack(int32_t) {}
