// The savanna's herd: eight elephants walking two looping paths, trumpeting
// now and then and throwing aside the cars that come too close.
#include <cmath>

#include "backend_common/draw.h"
#include "engine3d/angle.h"
#include "engine3d/camera.h"
#include "engine3d/mathutil.h"
#include "engine3d/random.h"
#include "engine3d/terrain.h"
#include "net/net.h"
#include "presentation/decor_actors.h"
#include "presentation/presentation.h"
#include "race/object_types.h"
#include "race/race.h"
#include "race/vehicle.h"
#include "race/vehicle_steps.h"

namespace {

constexpr int32_t HERD_PATHS = 2;
constexpr int32_t START_POINTS[] = {0, 5, 10, 15};
constexpr float POINT_REACHED = 20.0f;
constexpr float TURN_RATE = 0.2f;
constexpr float WALK_SPEED = 10.0f;  // km/h
constexpr float HIT_REACH = 40.0f;
constexpr float HIT_STRENGTH = 50.0f;
constexpr float CALL_DEPTH = 1500.0f;
constexpr float CALL_ABOVE = 50.0f;
constexpr float FRAME_TICKS = 8.0f;
constexpr float BLEND_DEPTH = 640.0f;  // beyond it a frame is shown alone

float& PointIndex(DrawSlot* s) { return s->boxMinX; }
float& PathNumber(DrawSlot* s) { return s->boxMinY; }
float& FrameTimer(DrawSlot* s) { return s->boxMinZ; }
float& Frame(DrawSlot* s) { return s->boxMaxX; }
float& Heading(DrawSlot* s) { return s->boxMaxY; }

const Trajectory& PathOf(DrawSlot* s) {
  const int32_t n = TruncI32(PathNumber(s));
  return gDecor.paths[n >= 0 && n < HERD_PATHS ? n : 0];
}

void Walk(DrawSlot* s) {
  const Trajectory& path = PathOf(s);
  // An elephant without a path stands where it is.
  if (path.count <= 0) return;
  int32_t i = TruncI32(PointIndex(s));
  if (i < 0 || i >= path.count) i = 0;
  if (std::fabs(s->x - path.points[i].x) < POINT_REACHED && std::fabs(s->z - path.points[i].z) < POINT_REACHED)
    i = i + 1 < path.count ? i + 1 : 0;
  PointIndex(s) = static_cast<float>(i);
  const TrajPoint& p = path.points[i];
  const int32_t target = MathAngleTo(s->z, s->x, p.z, p.x);
  const int32_t heading = MathAngleTurn(TruncI32(Heading(s)) & ANGLE_MASK, target, TURN_RATE * gRace.timeStep);
  Heading(s) = static_cast<float>(heading);
  const float d = gRace.frameRate > 0.0f ? VehicleStepDistance(WALK_SPEED) : 0.0f;
  s->x += d * MathSin(heading);
  s->z += d * MathCos(heading);
  s->y = TerrainHeightAt(s->x, s->z);
}

void HitNear(const DrawSlot* s, Vehicle* v) {
  const float dx = v->pose.x - s->x, dz = v->pose.z - s->z;
  if (std::fabs(dx) < HIT_REACH && std::fabs(dz) < HIT_REACH) VehicleApplyHit(v, HIT_STRENGTH, dx, dz, 0);
}

void HitVehicles(const DrawSlot* s) {
  if (gRace.networkGame) {
    for (int32_t i = 0; i < NetParticipantCount(); ++i)
      if (Vehicle* v = NetParticipantRecord(i)) HitNear(s, v);
    return;
  }
  for (Vehicle* v : gVehicleTable)
    if (v) HitNear(s, v);
}

}  // namespace

void DecorSetupElephants() {
  char name[] = "ele.tA";
  for (int32_t p = 0; p < HERD_PATHS; ++p) {
    gDecor.paths[p] = Trajectory{};
    name[sizeof name - 2] = static_cast<char>('A' + p);
    TrajLoadFile(name, &gDecor.paths[p]);
  }
  gDecor.elephantCopy = 0;
  MeshHeader* model = gObjectModels[DECOR_ROW_ELEPHANT];
  for (int32_t p = 0; p < HERD_PATHS; ++p) {
    for (int32_t start : START_POINTS) {
      // Points beyond a short path's end are empty (the origin) like its whole.
      const TrajPoint& at = gDecor.paths[p].points[start];
      DrawSlot* s =
          DrawListClaimDynamic(model, 0, DecorStepElephantActor, at.x, TerrainHeightAt(at.x, at.z), at.z);
      if (!s) return;
      PointIndex(s) = static_cast<float>(start);
      PathNumber(s) = static_cast<float>(p);
      FrameTimer(s) = Frame(s) = Heading(s) = 0.0f;
      s->boxMaxZ = 0.0f;
    }
  }
}

void DecorStepElephantActor(DrawSlot* slot, void* model) {
  if (RaceViewAdvances()) Walk(slot);
  MeshHeader* mesh = static_cast<MeshHeader*>(model);
  if (!RdrObjectInDepthRange(slot)) return;
  if (mesh) {
    DecorStepElephant(slot, mesh);
    mesh->angle[0] = mesh->angle[2] = 0;
    mesh->angle[1] = static_cast<uint16_t>(TruncI32(Heading(slot)) & ANGLE_MASK);
    RdrDrawObjectYawLit(slot, mesh);
  }
  if (RaceViewAdvances()) HitVehicles(slot);
}

void DecorStepElephant(DrawSlot* slot, MeshHeader* mesh) {
  if (!gViewInsetPass && slot->viewZ < CALL_DEPTH && gRace.tickPassed && (RandNext() & 31) == 0) {
    SfxPlayEffectCopyAt(DECOR_SOUND_ELEPHANT, slot->x, slot->y + CALL_ABOVE, slot->z, gDecor.elephantCopy);
    gDecor.elephantCopy = (gDecor.elephantCopy + 1) & 3;
  }
  const ObjectAnim* anim = gObjectTypes[DECOR_ROW_ELEPHANT].anim;
  const MeshFrameSet* frames = anim ? anim->frameSet : nullptr;
  const int32_t count = frames ? static_cast<int32_t>(frames->frameCount) : 0;
  int32_t frame = TruncI32(Frame(slot));
  if (frame < 0 || frame >= count) frame = 0;
  if (RaceViewAdvances()) {
    FrameTimer(slot) += gRace.timeStep;
    if (FrameTimer(slot) > FRAME_TICKS) {
      FrameTimer(slot) = 0.0f;
      frame = frame + 1 < count ? frame + 1 : 0;
    }
  }
  Frame(slot) = static_cast<float>(frame);
  if (count <= 0) return;
  const uint32_t from = static_cast<uint32_t>(frame);
  if (slot->viewZ > BLEND_DEPTH)
    MeshSetFrame(mesh, frames, from);
  else
    MeshLerpFrames(mesh, frames, from, (from + 1) % static_cast<uint32_t>(count), FrameTimer(slot), FRAME_TICKS);
}
