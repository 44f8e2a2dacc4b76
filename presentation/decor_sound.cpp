// The decor's sounds that run all race long: each track's ambient loop (and
// the debug mode's music sample), and where the snow track's church bell
// rings; the pace the snow step sets for the cabins and skiers.
#include "presentation/decor_actors.h"
#include "presentation/presentation.h"
#include "presentation/sfx.h"
#include "race/race.h"
#include "race/track_files.h"
#include "race/tracks.h"

DecorState gDecor;

namespace {

constexpr int32_t SOUND_VENT = 27, SOUND_RUAMB = 38, SOUND_SUNAMB = 39, SOUND_VOLCAMB = 40, SOUND_VENTICE = 42,
                  SOUND_NIGHT = 51;
constexpr int32_t NO_LOOP = -1;
constexpr float BELL_ABOVE_CHURCH = 100.0f;

// Mud, highway and savanna have no ambient loop; the snow track has its bell.
constexpr int32_t AMBIENT_LOOPS[TRACK_COUNT] = {SOUND_VENT,  NO_LOOP,     NO_LOOP,      SOUND_VOLCAMB, NO_LOOP,
                                                SOUND_RUAMB, SOUND_NIGHT, SOUND_SUNAMB, NO_LOOP,       SOUND_VENTICE};

constexpr int32_t DEBUG_MUSIC_MODE = 1;

}  // namespace

void DecorStartAmbientSound() {
  const int32_t track = gRace.trackIndex;
  if (track >= 0 && track < TRACK_COUNT && AMBIENT_LOOPS[track] != NO_LOOP)
    SfxLoopEffectAt(AMBIENT_LOOPS[track], 0.0f, 0.0f, 0.0f);
  if (gRace.debugMode == DEBUG_MUSIC_MODE) SfxMusicSampleStart();
}

void DecorFindBell() {
  gDecor.bellOn = 0;
  for (int32_t i = 0; i < gPlacementCount && i < PLACEMENT_MAX; ++i) {
    const ObjectPlacement& p = gPlacements[i];
    if (p.type != DECOR_ROW_CHURCH) continue;
    gDecor.bellOn = 1;
    gDecor.bellX = p.x;
    gDecor.bellY = p.y + BELL_ABOVE_CHURCH;
    gDecor.bellZ = p.z;
    return;
  }
}

int32_t DecorBellPosition(float* x, float* y, float* z) {
  if (!gDecor.bellOn) return 0;
  *x = gDecor.bellX;
  *y = gDecor.bellY;
  *z = gDecor.bellZ;
  return 1;
}

void DecorSetSkierPace(float pace) { gDecor.skierPace = pace; }
