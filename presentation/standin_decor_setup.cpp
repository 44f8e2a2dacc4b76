// Until the decor exists: the race loader's set-up of the track's decor only
// builds the ripple ring of the water tracks, which the splashes draw, and
// the weather of the snow, mud, volcano and night tracks.
#include "presentation/presentation.h"
#include "presentation/weather.h"
#include "race/race.h"
#include "race/tracks.h"
#include "race/vehicle.h"
#include "race/traffic.h"

void DecorSetupTrack() {
  const int32_t t = gRace.trackIndex;
  gRace.currentPose = gRace.noHumanMode ? &gVehicleRecords[VEHICLE_EXTRA_CAR].pose : &gPlayer1Vehicle->pose;
  if (t == TRACK_NEIGE) WeatherScatterParticles();
  if (t == TRACK_BOUE) {
    WeatherResetRain();
    WeatherScatterParticles();
    WeatherPrepareBolts();
  }
  if (t == TRACK_BOUE || t == TRACK_VOLCANO || t == TRACK_SUNSET) DecorBuildRippleRing();
  if (t == TRACK_VOLCANO) WeatherResetVolcano();
  if (t == TRACK_LOOPING) WeatherBuildSkyPoints();
  if (t == TRACK_HIGHWAY) TrackObjSetup();
}
