// The per-track pass of each view after the vehicles: weather, the highway's
// objects, the deferred translucent faces (water, ice) and the screen glows.
#include "backend_common/draw.h"
#include "engine3d/scene.h"
#include "frontend/frontend.h"
#include "presentation/presentation.h"
#include "race/race.h"
#include "race/tracks.h"
#include "race/vehicle_steps.h"

void DecorFrameStep() {
  const bool effects = gOptions.detail[3] != 0;
  switch (gRace.trackIndex) {
    case TRACK_NEIGE:
      WeatherStepSnowfall();
      break;
    case TRACK_BOUE:
      if (effects) {
        WeatherStepRain();
        ObjDrawDeferredTranslucent();
      }
      break;
    case TRACK_VOLCANO:
      if (effects) ObjDrawDeferredTranslucent();
      if (gRace.trajectoriesLoaded) WeatherStepVolcano();
      break;
    case TRACK_HIGHWAY:
      TrackObjDrawAll();
      break;
    case TRACK_LOOPING:
      if (effects) WeatherDrawMoon();
      break;
    case TRACK_SUNSET:
    case TRACK_ICE:
      // The mirrored cars below the ice show through it.
      if (effects) ObjDrawDeferredTranslucent();
      break;
    default:
      break;
  }
  if (effects) RdrDrawAdditiveGlows();
}
