// What a race's decor needs before the first frame, track by track. Alone in
// its file: the race loader's tests stand in for it.
#include "presentation/decor_actors.h"
#include "presentation/presentation.h"
#include "presentation/weather.h"
#include "race/race.h"
#include "race/tracks.h"
#include "race/traffic.h"
#include "race/vehicle.h"
#include "race/vehicle_steps.h"

void DecorSetupTrack() {
  gRace.currentPose = gRace.noHumanMode ? &gVehicleRecords[VEHICLE_EXTRA_CAR].pose : &gPlayer1Vehicle->pose;
  switch (gRace.trackIndex) {
    case TRACK_NEIGE:
      WeatherScatterParticles();
      DecorSetupLifts();
      DecorLoadSkiPath();
      DecorFindBell();
      break;
    case TRACK_BOUE:
      WeatherResetRain();
      WeatherScatterParticles();
      DecorBuildRippleRing();
      WeatherPrepareBolts();
      break;
    case TRACK_VOLCANO:
      DecorBuildRippleRing();
      WeatherResetVolcano();
      break;
    case TRACK_HIGHWAY:
      TrackObjSetup();
      break;
    case TRACK_LOOPING:
      WeatherBuildSkyPoints();
      break;
    case TRACK_SUNSET:
      DecorBuildRippleRing();
      break;
    case TRACK_SAVANA:
      DecorSetupElephants();
      break;
    default:
      break;
  }
  DecorStartAmbientSound();
}
