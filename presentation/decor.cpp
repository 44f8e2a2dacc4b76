// The per-track pass of each view after the vehicles: weather, the highway's
// objects, the deferred translucent faces (water, ice) and the screen glows.
#include "backend_common/draw.h"
#include "engine3d/scene.h"
#include "frontend/frontend.h"
#include "presentation/decor_actors.h"
#include "presentation/presentation.h"
#include "race/race.h"
#include "race/tracks.h"
#include "race/vehicle_steps.h"

void DecorFrameStep() {
  const bool effects = gOptions.detail[3] != 0;
  switch (gRace.trackIndex) {
    case TRACK_NEIGE:
      WeatherStepSnowfall();
      if (!gRace.viewIndex) {
        float x, y, z;
        if (DecorBellPosition(&x, &y, &z)) SfxLoopEffectAt(DECOR_SOUND_BELL, x, y, z);
        DecorSetSkierPace(gRace.frameRate > 0.0f ? 100000.0f / (gRace.frameRate * 3600.0f) : 0.0f);
      }
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
