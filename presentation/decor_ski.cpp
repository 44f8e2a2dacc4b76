// The snow track's lifts and skiers: cabins run up and down three cables,
// those of the first lift drop off skiers at its top at every turn, and the
// skiers come down one of four paths until a car knocks them over.
#include <cmath>

#include "backend_common/draw.h"
#include "engine3d/angle.h"
#include "engine3d/mathutil.h"
#include "engine3d/random.h"
#include "engine3d/terrain.h"
#include "net/net.h"
#include "presentation/decor_actors.h"
#include "presentation/decor_objects.h"
#include "presentation/presentation.h"
#include "race/object_types.h"
#include "race/race.h"
#include "race/vehicle.h"
#include "race/vehicle_steps.h"

const DecorLift DECOR_LIFTS_TABLE[DECOR_LIFTS] = {
    {1450.0f, 12250.0f, 1650.0f, 1},
    {4950.0f, 8550.0f, 6050.0f, 0},
    {10250.0f, 15050.0f, 6050.0f, 0},
};

namespace {

constexpr float CABLE_SLOPE = 0.061513f;
constexpr float CABLE_BASE = 630.0f;
constexpr float PAIRS_PER_UNIT = 0.0025f;  // one pair of cabins every 400 units
constexpr float PAIR_SPACING = 400.0f;
constexpr float DOWN_CABIN_AHEAD = 200.0f;
constexpr float CABLE_SIDE = 50.0f;  // up cabins on one side of the lift's line, down cabins on the other

constexpr float POINT_REACHED = 50.0f;
constexpr float TURN_SCALE = 0.04f;
constexpr float SKIER_ACCELERATION = 0.5f;
constexpr float SOUND_DEPTH = 1000.0f;
constexpr int32_t START_HEADING = 768;
constexpr float HIT_REACH = 20.0f;
constexpr float FALL_SPEED_ADDED = 50.0f;
constexpr float FALL_ROLL = 512.0f;
constexpr float FALL_ROLL_RATE = 20.0f;
constexpr float FALL_PITCH_RATE = 18.0f;

// A cabin's box floats.
float& BottomX(DrawSlot* s) { return s->boxMinX; }
float& Direction(DrawSlot* s) { return s->boxMinY; }
float& TopX(DrawSlot* s) { return s->boxMinZ; }
float& SkierFlag(DrawSlot* s) { return s->boxMaxX; }

// A skier's box floats.
float& PointIndex(DrawSlot* s) { return s->boxMinX; }
float& Heading(DrawSlot* s) { return s->boxMinY; }
float& TurnRate(DrawSlot* s) { return s->boxMinZ; }
float& PathNumber(DrawSlot* s) { return s->boxMaxX; }
float& Velocity(DrawSlot* s) { return s->boxMaxY; }
float& TopVelocity(DrawSlot* s) { return s->boxMaxZ; }

// A fallen skier's: the knocked objects' flight, and its roll.
float& FallSpeed(DrawSlot* s) { return s->boxMinX; }
float& FallLift(DrawSlot* s) { return s->boxMinY; }
float& FallPitch(DrawSlot* s) { return s->boxMinZ; }
float& FallBounces(DrawSlot* s) { return s->boxMaxX; }
float& FallSpin(DrawSlot* s) { return s->boxMaxY; }
float& FallRoll(DrawSlot* s) { return s->boxMaxZ; }

MeshHeader* Model(uint16_t row) { return gObjectModels[row]; }

float StepDistance(float velocity) { return gRace.frameRate > 0.0f ? VehicleStepDistance(velocity) : 0.0f; }

void Pose(MeshHeader* mesh, int32_t pitch, int32_t yaw, int32_t roll) {
  mesh->angle[0] = static_cast<uint16_t>(pitch & ANGLE_MASK);
  mesh->angle[1] = static_cast<uint16_t>(yaw & ANGLE_MASK);
  mesh->angle[2] = static_cast<uint16_t>(roll & ANGLE_MASK);
}

void AddCabin(const DecorLift& lift, float x, float z, float direction) {
  DrawSlot* s = DrawListClaimDynamic(Model(DECOR_ROW_CABIN), 0, DecorStepCabin, x, DecorCableHeight(x), z);
  if (!s) return;
  BottomX(s) = lift.bottomX;
  Direction(s) = direction;
  TopX(s) = lift.topX;
  SkierFlag(s) = lift.skiers ? 1.0f : 0.0f;
  s->boxMaxY = s->boxMaxZ = 0.0f;
}

// The path a skier follows; an out-of-range number (never written so) reads path 0.
const Trajectory& PathOf(DrawSlot* s) {
  const int32_t n = TruncI32(PathNumber(s));
  return gDecor.paths[n >= 0 && n < DECOR_PATHS ? n : 0];
}

// -> the next point the skier heads for, or false when its path has none left.
bool NextPoint(DrawSlot* s, TrajPoint* point) {
  const Trajectory& path = PathOf(s);
  int32_t i = TruncI32(PointIndex(s));
  if (i < 0 || i >= path.count) return false;
  if (std::fabs(s->x - path.points[i].x) < POINT_REACHED && std::fabs(s->z - path.points[i].z) < POINT_REACHED) {
    if (++i >= path.count) return false;
    PointIndex(s) = static_cast<float>(i);
  }
  *point = path.points[i];
  return true;
}

// The vehicles a decor actor can meet: the network participants, or the
// local race's grid.
template <typename Visit>
void ForEachVehicle(Visit visit) {
  if (gRace.networkGame) {
    for (int32_t i = 0; i < NetParticipantCount(); ++i)
      if (Vehicle* v = NetParticipantRecord(i); v && visit(v)) return;
    return;
  }
  for (Vehicle* v : gVehicleTable)
    if (v && visit(v)) return;
}

void ThrowFallenSkier(const DrawSlot* skier, const Vehicle* v) {
  MeshHeader* model = Model(DECOR_ROW_SKIER_FALLEN);
  if (!model) return;
  const uintptr_t heading = static_cast<uintptr_t>(TruncI32(v->heading) & ANGLE_MASK);
  DrawSlot* s = DrawListClaimDynamic(model, heading, FxStepFallenSkier, skier->x, skier->y, skier->z);
  if (!s) return;
  FallSpeed(s) = v->velocity + FALL_SPEED_ADDED;
  FallLift(s) = FallSpeed(s) * 30.0f * 0.004f;
  FallPitch(s) = 0.0f;
  FallRoll(s) = FALL_ROLL;
  FallSpin(s) = static_cast<float>(RandNext() & 1);
  FallBounces(s) = static_cast<float>((RandNext() & 1) + 2);
}

}  // namespace

float DecorCableHeight(float x) { return x * CABLE_SLOPE + CABLE_BASE; }

void DecorSetupLifts() {
  for (const DecorLift& lift : DECOR_LIFTS_TABLE) {
    const int32_t pairs = TruncI32((lift.topX - lift.bottomX) * PAIRS_PER_UNIT);
    float x = lift.bottomX;
    for (int32_t i = 0; i < pairs; ++i) {
      AddCabin(lift, x, lift.z - CABLE_SIDE, 1.0f);
      AddCabin(lift, x + DOWN_CABIN_AHEAD, lift.z + CABLE_SIDE, -1.0f);
      x += PAIR_SPACING;
    }
  }
}

void DecorStepCabin(DrawSlot* slot, void* model) {
  if (RaceViewAdvances()) {
    slot->x += Direction(slot) * gDecor.skierPace;
    bool turned = false;
    // A turn crosses to the other cable: down cabins run on the far side of
    // the line (z + 50), up cabins on the near side (z - 50).
    if (Direction(slot) < 0.0f && slot->x < BottomX(slot)) {
      slot->z -= 2.0f * CABLE_SIDE;
      Direction(slot) = 1.0f;
      turned = true;
    } else if (Direction(slot) > 0.0f && slot->x > TopX(slot)) {
      slot->z += 2.0f * CABLE_SIDE;
      Direction(slot) = -1.0f;
      turned = true;
    }
    if (turned && SkierFlag(slot) != 0.0f) DecorSpawnSkier();
    slot->y = DecorCableHeight(slot->x);
  }
  MeshHeader* mesh = static_cast<MeshHeader*>(model);
  if (!mesh || !RdrObjectInDepthRange(slot)) return;
  Pose(mesh, 0, 0, 0);
  RdrDrawObjectYaw(slot, mesh);
}

void DecorLoadSkiPath() {
  char name[] = "ski.tA";
  for (int32_t i = 0; i < DECOR_PATHS; ++i) {
    // A missing file leaves an empty path with no stale points behind it.
    gDecor.paths[i] = Trajectory{};
    name[sizeof name - 2] = static_cast<char>('A' + i);
    TrajLoadFile(name, &gDecor.paths[i]);
  }
  DecorCentreSkierModels();
}

void DecorCentreSkierModels() {
  for (uint16_t row = DECOR_ROW_SKIER; row <= DECOR_ROW_SKIER_FALLEN; ++row) {
    MeshHeader* mesh = Model(row);
    if (!mesh || !mesh->vertices || mesh->vertexCount == 0) continue;
    float lowest = mesh->vertices[0].y;
    for (uint32_t i = 1; i < mesh->vertexCount; ++i)
      if (mesh->vertices[i].y < lowest) lowest = mesh->vertices[i].y;
    bool first = true;
    float minX = 0.0f, maxX = 0.0f, minZ = 0.0f, maxZ = 0.0f;
    for (uint32_t i = 0; i < mesh->vertexCount; ++i) {
      const Vertex& v = mesh->vertices[i];
      if (v.y != lowest) continue;
      if (first || v.x < minX) minX = v.x;
      if (first || v.x > maxX) maxX = v.x;
      if (first || v.z < minZ) minZ = v.z;
      if (first || v.z > maxZ) maxZ = v.z;
      first = false;
    }
    const float cx = (minX + maxX) * 0.5f, cz = (minZ + maxZ) * 0.5f;
    for (uint32_t i = 0; i < mesh->vertexCount; ++i) {
      Vertex& v = mesh->vertices[i];
      v.x -= cx;
      v.y -= lowest;
      v.z -= cz;
    }
  }
}

void DecorSpawnSkier() {
  const DecorLift& lift = DECOR_LIFTS_TABLE[0];
  const float y = TerrainHeightAt(lift.topX, lift.z);
  const int32_t count = (RandNext() & 15) + 1;
  for (int32_t i = 0; i < count; ++i) {
    DrawSlot* s = DrawListClaimDynamic(Model(DECOR_ROW_SKIER), static_cast<uintptr_t>(i & 3), DecorStepSkier,
                                       lift.topX, y, lift.z);
    if (!s) return;
    PointIndex(s) = 0.0f;
    Heading(s) = static_cast<float>(START_HEADING);
    PathNumber(s) = static_cast<float>(RandNext() & 3);
    Velocity(s) = static_cast<float>(RandNext() & 15);
    TurnRate(s) = static_cast<float>((RandNext() & 7) + 4) * 0.0625f;
    TopVelocity(s) = static_cast<float>((RandNext() & 31) + 15);
  }
}

void DecorStepSkier(DrawSlot* slot, void* model) {
  MeshHeader* mesh = static_cast<MeshHeader*>(model);
  bool turnBegins = false;
  uint16_t turnSound = 0;
  if (RaceViewAdvances()) {
    TrajPoint point;
    if (!NextPoint(slot, &point)) {
      DrawListRelease(slot);
      return;
    }
    const int32_t was = TruncI32(Heading(slot)) & ANGLE_MASK;
    const int32_t target = MathAngleTo(slot->z, slot->x, point.z, point.x);
    const int32_t heading = MathAngleTurn(was, target, TurnRate(slot) * TURN_SCALE * gRace.timeStep);
    const int32_t turn = MathAngleDiff(was, heading);
    Heading(slot) = static_cast<float>(heading);
    const float d = StepDistance(Velocity(slot));
    slot->x += d * MathSin(heading);
    slot->z += d * MathCos(heading);
    slot->y = TerrainHeightAt(slot->x, slot->z);
    if (Velocity(slot) < TopVelocity(slot)) Velocity(slot) += SKIER_ACCELERATION * gRace.timeStep;
    // A turn is heard as it begins, not again on every frame it lasts.
    MeshHeader* chosen = Model(turn > 0 ? DECOR_ROW_SKIER_RIGHT : turn < 0 ? DECOR_ROW_SKIER_LEFT : DECOR_ROW_SKIER);
    turnBegins = turn != 0 && chosen != mesh;
    turnSound = turn > 0 ? DECOR_SOUND_SKI_RIGHT : DECOR_SOUND_SKI_LEFT;
    slot->owner = mesh = chosen;
  }
  if (mesh && RdrObjectInDepthRange(slot)) {
    Pose(mesh, 0, TruncI32(Heading(slot)), 0);
    RdrDrawObjectYaw(slot, mesh);
    if (turnBegins && slot->viewZ < SOUND_DEPTH)
      SfxPlayEffectCopyAt(turnSound, slot->x, slot->y, slot->z, static_cast<int32_t>(slot->user & 3));
  }
  if (!RaceViewAdvances() || !DecorSkierHit(slot)) return;
  const int32_t sound =
      SfxPlayEffectCopyAt(DECOR_SOUND_SKIER, slot->x, slot->y, slot->z, static_cast<int32_t>(slot->user & 3));
  if (sound) SfxSetSlotFrequency(sound, (RandNext() & 3) * 10);
}

int32_t DecorSkierHit(DrawSlot* slot) {
  const Vehicle* hitter = nullptr;
  ForEachVehicle([&](Vehicle* v) {
    if (std::fabs(v->pose.x - slot->x) < HIT_REACH && std::fabs(v->pose.z - slot->z) < HIT_REACH) hitter = v;
    return hitter != nullptr;
  });
  if (!hitter) return 0;
  ThrowFallenSkier(slot, hitter);
  DrawListRelease(slot);
  return 1;
}

void FxStepFallenSkier(DrawSlot* slot, void* model) {
  MeshHeader* mesh = static_cast<MeshHeader*>(model);
  const float heading = static_cast<float>(slot->user & ANGLE_MASK);
  if (!mesh || FxFlyKnocked(slot, heading, FALL_PITCH_RATE, 0.0f)) {
    DrawListRelease(slot);
    return;
  }
  if (RaceViewAdvances()) FallRoll(slot) += FALL_ROLL_RATE * gRace.timeStep;
  Pose(mesh, TruncI32(FallPitch(slot)), static_cast<int32_t>(heading), TruncI32(FallRoll(slot)));
  RdrDrawObject(slot, mesh);
}
