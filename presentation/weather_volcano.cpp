// The volcano: it smokes for the first 150 s of the race and throws rocks
// that rise, wait until they are seen, fall whistling onto points of the
// course, dig a crater and stay there as obstacles. A car that drives into
// the crater is put back on the track.
#include <cmath>
#include <cstdlib>

#include "backend_common/draw.h"
#include "engine3d/mathutil.h"
#include "engine3d/normals.h"
#include "engine3d/random.h"
#include "engine3d/terrain.h"
#include "net/net.h"
#include "platform/app.h"
#include "presentation/fx.h"
#include "presentation/messages.h"
#include "presentation/presentation.h"
#include "presentation/sfx.h"
#include "presentation/weather.h"
#include "presentation/weather_common.h"
#include "race/object_types.h"
#include "race/track_files.h"
#include "race/vehicle_steps.h"

namespace {

constexpr uint32_t ERUPTION_MS = 150000;
constexpr float CRATER_TOP = 2000.0f;
constexpr float CRATER_MIN_X = 8075.0f, CRATER_MAX_X = 8675.0f, CRATER_MIN_Z = 4130.0f, CRATER_MAX_Z = 4730.0f;
constexpr float VENT_X = 8320.0f, VENT_Y = 1300.0f, VENT_Z = 4477.0f;
constexpr float LAUNCH_SOUND_ABOVE = 500.0f;
constexpr int32_t SFX_LAUNCH = 41;   // "VOLCROC"
constexpr int32_t SFX_WHISTLE = 43;  // "roc"
constexpr int32_t SFX_IMPACT = 44;   // "rocsol"
constexpr uint8_t PHASE_RISING = 0, PHASE_WAITING = 1, PHASE_FALLING = 2;
constexpr float RISE_TIMER = 200.0f, LAND_TIMER = 200.0f, WHISTLE_TIMER = 100.0f;
constexpr float SEEN_NEAR = 1000.0f, SEEN_FAR = 1500.0f;
constexpr float ROCK_SINKS = 20.0f;
// How deep each of the six rocks digs.
constexpr float CRATER_DEPTH[WEATHER_ROCK_MODELS] = {60.0f, 40.0f, 20.0f, 60.0f, 20.0f, 40.0f};

// A rock's own values in its slot's box floats: where it flies from and to.
float& StartX(DrawSlot* s) { return s->boxMinX; }
float& StartY(DrawSlot* s) { return s->boxMinY; }
float& StartZ(DrawSlot* s) { return s->boxMinZ; }
float& TargetX(DrawSlot* s) { return s->boxMaxX; }
float& TargetY(DrawSlot* s) { return s->boxMaxY; }
float& TargetZ(DrawSlot* s) { return s->boxMaxZ; }

void PutBackFromCrater(Vehicle* v) {
  if (!v) return;
  const Camera& p = v->pose;
  if (p.y < CRATER_TOP && p.x > CRATER_MIN_X && p.x < CRATER_MAX_X && p.z > CRATER_MIN_Z && p.z < CRATER_MAX_Z)
    AiRespawnVehicle(nullptr, v, 0);
}

void SpawnSmoke(float x, float y, float z, int32_t divisorBase, float rise) {
  const float dx = static_cast<float>(RandNext() % 30);
  const float dy = static_cast<float>(RandNext() & 15);
  const float dz = static_cast<float>(RandNext() % 30);
  const float divisor = static_cast<float>((RandNext() & 7) + divisorBase);
  FxSpawnWeatherSmoke(x + dx, y + dy, z + dz, divisor, rise);
}

// The rock (0..5) whose model the slot draws, -1 for none.
int32_t RockOf(const void* model) {
  for (int32_t k = 0; k < WEATHER_ROCK_MODELS; ++k)
    if (model && gObjectModels[WEATHER_ROW_ROCK + k] == model) return k;
  return -1;
}

VolcanoBurst* BurstOf(const DrawSlot* slot) {
  return slot->user < static_cast<uintptr_t>(VOLCANO_BURSTS) ? &gWeather.bursts[slot->user] : nullptr;
}

void Throw() {
  VolcanoBurst* b = nullptr;
  uintptr_t index = 0;
  for (; index < VOLCANO_BURSTS; ++index)
    if (!gWeather.bursts[index].inUse) {
      b = &gWeather.bursts[index];
      break;
    }
  if (!b) return;
  *b = VolcanoBurst{1, PHASE_RISING, VOLCANO_NO_WHISTLE, RISE_TIMER, static_cast<float>(RandNext() & 1023)};
  const int32_t k = std::abs(RandNext() % WEATHER_ROCK_MODELS);
  MeshHeader* model = gObjectModels[WEATHER_ROW_ROCK + k];
  DrawSlot* s = model ? DrawListClaimDynamic(model, index, WeatherStepVolcanoBurst, VENT_X, VENT_Y, VENT_Z) : nullptr;
  if (!s) {
    b->inUse = 0;
    return;
  }
  // The volcano roars for every rock it throws, one that finds no point too.
  SfxPlayEffectAt(SFX_LAUNCH, VENT_X, VENT_Y + LAUNCH_SOUND_ABOVE, VENT_Z);
  StartX(s) = VENT_X;
  StartY(s) = VENT_Y;
  StartZ(s) = VENT_Z;
  Trajectory& targets = gWeather.targets;
  TrajPoint* p = targets.count > 0 ? &targets.points[RandNextAbs() % targets.count] : nullptr;
  // A point a rock already landed on takes no other.
  if (!p || p->x == VOLCANO_TARGET_USED) {
    DrawListRelease(s);
    b->inUse = 0;
    return;
  }
  // Snapped to the 100-unit grid in floats: a point from the file far off
  // the world must not overflow an integer on its way.
  TargetX(s) = std::trunc(p->x / 100.0f) * 100.0f;
  TargetZ(s) = std::trunc(p->z / 100.0f) * 100.0f;
  TargetY(s) = TerrainHeightAt(TargetX(s), TargetZ(s)) - ROCK_SINKS;
  p->x = VOLCANO_TARGET_USED;
}

// The terrain vertex nearest to the rock goes down by the rock's depth,
// unless a four-sided face uses it; off the terrain nothing is dug.
void DigCrater(float x, float z, int32_t rock) {
  TerrainHeightAt(x, z);
  Vertex* v = TerrainNearestVertex(x, z);
  if (!v || !gMesh.vertices || v < gMesh.vertices || v >= gMesh.vertices + gMesh.vertexCount) return;
  const int32_t index = static_cast<int32_t>(v - gMesh.vertices);
  const float before = v->y;
  v->y -= CRATER_DEPTH[rock];
  if (!MeshRefreshNormalsAtVertex(index)) {
    v->y = before;
    MeshRefreshNormalsAtVertex(index);
  }
}

// The rock is down: a crater, the impact, smoke, and a new obstacle.
void Land(DrawSlot* slot, VolcanoBurst* b, int32_t rock) {
  DigCrater(slot->x, slot->z, rock);
  slot->visible = VOLCANO_ROCK_RESTING;
  slot->y = TerrainHeightAt(slot->x, slot->z) - ROCK_SINKS;
  const uint8_t whistle = b->whistle;
  const float spin = b->spin;
  *b = VolcanoBurst{0, 0, VOLCANO_NO_WHISTLE, 0.0f, 0.0f};
  if (whistle != VOLCANO_NO_WHISTLE) SfxPlayEffectCopyAt(SFX_IMPACT, slot->x, slot->y, slot->z, whistle);
  for (int32_t i = 0; i < 5; ++i) SpawnSmoke(slot->x, slot->y, slot->z, 30, 5.0f);
  if (gPlacementCount < 0 || gPlacementCount >= PLACEMENT_MAX) {
    DrawListRelease(slot);
    return;
  }
  const int32_t index = gPlacementCount;
  gPlacements[index] = ObjectPlacement{static_cast<uint16_t>(TruncI32(spin) & 1023), 0, COUNTER_SLOT_NONE,
                                       static_cast<uint16_t>(WEATHER_ROW_ROCK + rock), slot->x, slot->y, slot->z};
  slot->user = static_cast<uintptr_t>(index);
  ++gPlacementCount;  // for the grid to see the rock's type
  if (!TrackGridAddObject(slot)) {
    --gPlacementCount;
    DrawListRelease(slot);
  }
}

void Fly(DrawSlot* slot, VolcanoBurst* b, int32_t rock) {
  const float t = gRace.timeStep;
  b->spin += 50.0f * t;
  if (b->phase == PHASE_RISING) {
    slot->y += 100.0f * t;
    const float step = 2.0f * t;
    slot->x += TargetX(slot) > slot->x ? step : TargetX(slot) < slot->x ? -step : 0.0f;
    slot->z += TargetZ(slot) > slot->z ? step : TargetZ(slot) < slot->z ? -step : 0.0f;
    b->timer -= 5.0f * t;
    if (b->timer <= 0.0f) {
      b->phase = PHASE_WAITING;
      b->timer = 0.0f;
      slot->x = StartX(slot) = StartX(slot) + 0.8f * (TargetX(slot) - StartX(slot));
      slot->z = StartZ(slot) = StartZ(slot) + 0.8f * (TargetZ(slot) - StartZ(slot));
      slot->y = StartY(slot) = TargetY(slot) + 1000.0f;
    }
  } else if (b->phase == PHASE_FALLING) {
    b->timer += 5.0f * t;
    const float f = b->timer * 0.005f;
    slot->x = StartX(slot) + (TargetX(slot) - StartX(slot)) * f;
    slot->y = StartY(slot) + (TargetY(slot) - StartY(slot)) * f;
    slot->z = StartZ(slot) + (TargetZ(slot) - StartZ(slot)) * f;
    if (b->whistle == VOLCANO_NO_WHISTLE) {
      if (b->timer > WHISTLE_TIMER) {
        b->whistle = static_cast<uint8_t>(WeatherNextCopy(SFX_WHISTLE, &gWeather.whistleCopy));
        SfxPlayEffectCopyAt(SFX_WHISTLE, slot->x, slot->y, slot->z, b->whistle);
      }
    } else {
      SfxMoveEffectCopy(SFX_WHISTLE, slot->x, slot->y, slot->z, b->whistle);
    }
    if (b->timer >= LAND_TIMER) Land(slot, b, rock);
  }
}

}  // namespace

void WeatherCraterCheck() {
  PutBackFromCrater(gRace.networkGame ? NetOwnRecord() : gPlayer1Vehicle);
  if (gRace.playersMode != 0) PutBackFromCrater(gPlayer2Vehicle);
}

void WeatherStepVolcano() {
  WeatherCraterCheck();
  if (!RaceViewAdvances() || AppTimerElapsed(RACE_CLOCK_TIMER) > ERUPTION_MS || (gRace.ticks & 3) != 0 ||
      !gRace.tickPassed)
    return;
  SpawnSmoke(VENT_X, 1400.0f, 4472.0f, 50, 15.0f);
  if ((RandNext() & 7) == 0) Throw();
}

void WeatherStepVolcanoBurst(DrawSlot* slot, void* owner) {
  MeshHeader* mesh = static_cast<MeshHeader*>(owner);
  if (!mesh) return;
  if (slot->visible == VOLCANO_ROCK_RESTING) {
    if (slot->user < static_cast<uintptr_t>(gPlacementCount)) mesh->angle[1] = gPlacements[slot->user].yaw;
    RdrDrawObjectYaw(slot, mesh);
    return;
  }
  VolcanoBurst* b = BurstOf(slot);
  const int32_t rock = RockOf(owner);
  if (!b || !b->inUse || rock < 0) {
    DrawListRelease(slot);
    return;
  }
  if (RaceViewAdvances()) Fly(slot, b, rock);
  // Landed this frame: drawn where it rests from the next one on.
  if (!slot->inUse || slot->visible == VOLCANO_ROCK_RESTING) return;
  // A waiting rock falls once a player's view has it in sight, in either
  // split-screen view; an inset only draws it.
  if (b->phase == PHASE_WAITING && !gViewInsetPass && slot->viewZ > SEEN_NEAR && slot->viewZ < SEEN_FAR)
    b->phase = PHASE_FALLING;
  mesh->angle[1] = static_cast<uint16_t>(TruncI32(b->spin) & 1023);
  RdrDrawObjectYaw(slot, mesh);
}
