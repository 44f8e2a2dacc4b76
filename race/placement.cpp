// The start placement: each participant on the grid of the current track,
// on the terrain and facing the start heading, with its dynamic values reset
// and its type applied; the traffic vehicles of the highway; and the default
// physical parameters, which are player 1's.
#include "engine3d/mathutil.h"
#include "engine3d/random.h"
#include "engine3d/terrain.h"
#include "net/net.h"
#include "platform/app.h"
#include "race/race.h"
#include "race/tracks.h"
#include "race/vehicle_steps.h"

uint8_t gTrafficForcedType;
MeshHeader* gTrafficModels[TRAFFIC_TYPES];

namespace {

constexpr int32_t LOCAL_GRID_SIZE = 6;
constexpr int32_t GAME_MODE_CHAMPIONSHIP = 3;
constexpr uint16_t GUIDE_HEADING_START = 512;

const TrackInfo& CurrentTrack() {
  const int32_t t = gRace.trackIndex;
  return gTrackInfo[t >= 0 && t < TRACK_COUNT ? t : 0];
}

void SetGrip(NetVehicle* v, const TrackInfo& t) {
  v->baseSurfaceGrip = t.grip;
  v->physParams[PHYS_SURFACE_GRIP] = t.grip + 0.8f;
  v->paintIndexMin = gRace.trackIndex == TRACK_NEIGE ? 2 : gRace.trackIndex == TRACK_BOUE ? 4 : 0;
}

void StandAt(NetVehicle* v, const TrackInfo& t, float x, float z) {
  v->pose = Camera{x, TerrainHeightAt(x, z), z, 0.0f, static_cast<float>(t.startHeading), 0.0f};
  v->pushHeading1 = v->pushTargetHeading = v->pushVelocity1 = 0.0f;
}

// The values every placed vehicle starts from.
void ResetRecord(NetVehicle* v, uint16_t heading) {
  v->treadBlurRear = v->treadBlurFront = 1.0f;
  v->engineRevsHeard = v->engineRevs;
  v->heading = static_cast<float>(heading);
  v->steerInput = v->steerOffset = 0.0f;
  v->state = VEHICLE_ON_GROUND;
  v->effectClock = 0.0f;
  v->bouncesLeft = 0;
  v->spinSide = 0;
  v->rollOverAngle = 0.0f;
  v->knockLift = v->knockImpulse = v->knockDirX = v->knockDirZ = 0.0f;
  v->landingSide = 0;
  for (int i = 0; i < VEHICLE_WHEELS; ++i) {
    WheelState& w = v->wheels[i];
    const float size = i < 2 ? 1.0f : 2.0f;
    w.attached = 1;
    w.suspension = 0.0f;
    w.lastMarkX = w.lastMarkZ = -1.0f;
    w.trailHalfWidth = size;
    w.trailDepthBias = size;
    w.bend = 0;
    w.waterDepth = 0.0f;
  }
  v->wheelTurnFront = v->wheelTurnRear = 0.0f;
  v->cameraDistance = 0;
  v->wheelsLost = 0;
  v->damageStage = 0;
  v->damageA = v->damageB = 0;
  v->damageCounter = 0;
  v->boostLeft = 0.0f;
  v->cellLevel = 8.0f;
  v->hitProtect = 0.0f;
  v->splashDone = 0;
  v->fireClock = 0.0f;
  v->shakeTarget = 0.0f;
  v->tractionOverride = v->contactTime = v->pushVelocity2 = 0.0f;
  v->loopSound = v->slideSound = 0;
}

void ResetRaceValues(Vehicle* v) {
  v->zoneCode = 0;
  v->cellCode = 0;
  v->progress = 0;
  v->lapsDone = 0;
  v->totalMs = 0;
  v->bestLapMs = VEHICLE_BEST_LAP_NONE;
  v->finished = 0;
  v->guideHeading = GUIDE_HEADING_START;
  v->nearestTrajectory = nullptr;
  v->guidePoint = -1;
  v->guideMisses = 0;
  v->lastCheckpoint = nullptr;
}

int32_t GridSize() { return gRace.networkGame ? NetParticipantCount() : LOCAL_GRID_SIZE; }

}  // namespace

int32_t VehicleChampionRank(const Vehicle* v) {
  if (gRace.gameMode != GAME_MODE_CHAMPIONSHIP) return -1;
  // Records that never raced a championship hold no rank (0 in a fresh
  // record); such a rank would stack every car on one spot off the grid.
  const int32_t r = v->championRank;
  return r >= 1 && r <= GridSize() ? r : -1;
}

void VehiclePlaceOnGrid(Vehicle* v, int32_t slot, int32_t type) {
  v->human = 0;
  v->type = type;
  if (slot >= 0 && slot < VEHICLE_TABLE_SLOTS) gVehicleTable[slot] = v;
  const TrackInfo& t = CurrentTrack();
  SetGrip(v, t);
  gRace.currentPose = &v->pose;

  const int32_t n = GridSize();
  const int32_t rank = VehicleChampionRank(v);
  const int32_t g = rank != -1 ? n - rank : slot;
  v->championRank = n - g;
  v->position = n - g;
  float x, z;
  if (t.startFlag) {
    x = t.startX + static_cast<float>(g / 2) * t.spacingAlong;
    z = t.startZ + static_cast<float>(g % 2) * t.spacingAcross;
  } else {
    x = t.startX + static_cast<float>(g % 2) * t.spacingAlong;
    z = t.startZ + static_cast<float>(g / 2) * t.spacingAcross;
  }
  StandAt(v, t, x, z);
  v->lineCrossed = 1;
  VehicleResetDynamics(v);
  VehicleApplyType(v);
  v->lastGoodX = x;
  v->lastGoodZ = z;
  ResetRecord(v, t.startHeading);
  ResetRaceValues(v);
  v->timerSlot = slot + 3;
  v->lapTimerSlot = slot + 12;
  VehicleGroundAngles(v);
  v->pose.pitch = gVehicleStep.groundPitch;
  v->pose.roll = gVehicleStep.groundRoll;
  AppTimerStart(slot + 3);
  FfbUpdateWheelContact(v);
}

void VehiclePlaceTrafficObject(Vehicle* r, const Vehicle* path) {
  r->human = 2;
  r->type = gTrafficForcedType ? 3 : (RandNext() & 7);
  const TrackInfo& t = CurrentTrack();
  SetGrip(r, t);
  r->paintIndexMin = 0;
  StandAt(r, t, r->pose.x, r->pose.z);
  VehicleResetDynamics(r);
  VehicleApplyTypeAlt(r);
  r->lastGoodX = r->pose.x;
  r->lastGoodZ = r->pose.z;
  if (const MeshHeader* model = gTrafficModels[r->type & (TRAFFIC_TYPES - 1)]) VehicleMeasureModel(r, model);
  r->heading = static_cast<float>(path->aiHeading);
  ResetRecord(r, path->aiHeading);
}

void VehicleCopyDefaults(NetVehicle* record) {
  for (int i = 0; i < VEHICLE_PHYS_PARAMS; ++i) record->physParams[i] = gPlayer1.physParams[i];
}
