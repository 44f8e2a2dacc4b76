// Placed objects hit by a vehicle: each reacts by its type's hit kind. What
// flies lives in a slot of the dynamic draw list whose callback steps and
// draws it; its six box floats are its motion (see Motion below).
#include <cstdlib>

#include "backend_common/draw.h"
#include "engine3d/angle.h"
#include "engine3d/camera.h"
#include "engine3d/mathutil.h"
#include "engine3d/random.h"
#include "engine3d/terrain.h"
#include "presentation/decor_objects.h"
#include "presentation/fx_common.h"
#include "presentation/presentation.h"
#include "race/object_types.h"
#include "race/race.h"
#include "race/track_files.h"
#include "race/tracks.h"
#include "race/vehicle_steps.h"

namespace {

// A flying object's motion in its slot's box floats.
float& Speed(DrawSlot* s) { return s->boxMinX; }    // horizontal velocity; a pennant's swing rate
float& Lift(DrawSlot* s) { return s->boxMinY; }     // vertical velocity
float& Pitch(DrawSlot* s) { return s->boxMinZ; }    // 10-bit units; a pennant's swing angle
float& Bounces(DrawSlot* s) { return s->boxMaxX; }  // left; a pennant's direction; a slider's resting flag
float& Spin(DrawSlot* s) { return s->boxMaxY; }     // 0 down, 1 up; a pennant's limit; a slider's turn rate
float& Heading(DrawSlot* s) { return s->boxMaxZ; }  // or the roll of a launched object

constexpr uint8_t FLYING = 1, EXPLODES_OR_RESTS = 2;
constexpr uint16_t ROW_STONE = 80, ROW_BAR_PIECE = 160, ROW_BLOCK = 199, ROW_ICE_BLOCK = 248;
constexpr float SHARD_NEAR = -495.0f, SHARD_BEYOND_FAR = 500.0f;
constexpr float BLOCK_FLOOR_LIFT = 5.0f;
constexpr float SLIDER_REST_DEPTH = 7.0f;

ObjectPlacement* PlacementOf(uintptr_t index) {
  return index < static_cast<uint32_t>(gPlacementCount) ? &gPlacements[index] : nullptr;
}

const ObjectType* TypeOf(const ObjectPlacement* p) {
  return p && p->type < OBJECT_TYPE_ROWS ? &gObjectTypes[p->type] : nullptr;
}

float StepDistance(float speed) { return gRace.frameRate > 0.0f ? VehicleStepDistance(speed) : 0.0f; }

// The knocked form of the type's animation, for the placement `index`.
void AnimateKnocked(const DrawSlot* slot, uintptr_t index, MeshHeader* mesh) {
  const ObjectPlacement* p = PlacementOf(index);
  const ObjectType* type = TypeOf(p);
  if (!type || p->counterSlot == COUNTER_SLOT_NONE || !type->anim || !type->anim->step) return;
  DrawSlot posed = *slot;
  posed.user = index;
  type->anim->step(&posed, mesh, 1);
}

void Pose(MeshHeader* mesh, int32_t pitch, int32_t yaw, int32_t roll) {
  mesh->angle[0] = static_cast<uint16_t>(pitch & ANGLE_MASK);
  mesh->angle[1] = static_cast<uint16_t>(yaw & ANGLE_MASK);
  mesh->angle[2] = static_cast<uint16_t>(roll & ANGLE_MASK);
}

void DrawByKind(DrawSlot* slot, MeshHeader* mesh, const ObjectType* type) {
  if (type && type->drawKind == 1)
    RdrDrawObject(slot, mesh);
  else
    RdrDrawObjectLit(slot, mesh);
}

// Debris exists near enough to be seen, or anywhere in split screen. Only
// the view that moves the world on judges it: the mirror looks the other way
// and would drop the pieces thrown ahead.
bool LeftShardWindow(const DrawSlot* s) {
  if (!RaceViewAdvances() || gRace.playersMode == 1) return false;
  return s->viewZ < SHARD_NEAR || s->viewZ > gRace.viewDistance + SHARD_BEYOND_FAR;
}

// The motion of a piece thrown off by the vehicle along `heading`.
void Throw(DrawSlot* s, const Vehicle* v, float heading) {
  Speed(s) = static_cast<float>(RandNext() & 63) + v->velocity + 32.0f;
  Lift(s) = Speed(s) * 30.0f * 0.004f;
  Pitch(s) = 0.0f;
  Spin(s) = static_cast<float>(RandNext() & 1);
  Bounces(s) = static_cast<float>((RandNext() & 1) + 2);
  Heading(s) = heading + static_cast<float>(RandNext() % 32);
}

// A random offset within the object's box: a divisor the box makes 0
// (narrower than 2 units, or its top below 1) counts as 1.
int32_t Spread(float extent) {
  const int32_t d = TruncI32(extent);
  return RandNext() % (d == 0 ? 1 : d);
}

// Where a piece of the object starts: a random point of its box turned by its yaw.
void PieceStart(const DrawSlot* object, const ObjectType* type, int32_t yaw, float out[3]) {
  const float a = static_cast<float>(Spread((type->maxX - type->minX) * 0.5f));
  const float b = static_cast<float>(Spread((type->maxZ - type->minZ) * 0.5f));
  const float h = static_cast<float>(std::abs(static_cast<int32_t>(static_cast<int16_t>(Spread(type->maxY)))));
  const float s = MathSin(yaw), c = MathCos(yaw);
  out[0] = object->x + a * c - b * s;
  out[1] = object->y + h;
  out[2] = object->z + a * s + b * c;
}

void Launch(DrawSlot* object, const Vehicle* v, uintptr_t index, uint16_t kind) {
  const bool slides = kind == 10;
  DrawSlot* s = DrawListClaimDynamic(object->owner, index, slides ? FxStepSlidingObject : FxStepLaunchedObject,
                                     object->x, object->y, object->z);
  if (!s) return;
  s->visible = kind == 3 ? EXPLODES_OR_RESTS : FLYING;
  Speed(s) = v->velocity + 50.0f;
  Lift(s) = Speed(s) * 30.0f * 0.004f;
  Pitch(s) = 0.0f;
  Heading(s) = 512.0f;
  if (slides) {
    Bounces(s) = 0.0f;
    const float rate = v->velocity * 0.25f;
    Spin(s) = (RandNext() & 1) ? rate : -rate;
  } else {
    Spin(s) = static_cast<float>(RandNext() & 1);
    Bounces(s) = static_cast<float>((RandNext() & 1) + 2);
  }
}

void SwingPennant(DrawSlot* object) {
  DrawSlot* s = DrawListClaimDynamic(object->owner, reinterpret_cast<uintptr_t>(object), FxStepKnockedPiece,
                                     object->x, object->y, object->z);
  if (!s) return;
  Pitch(s) = 0.0f;
  Speed(s) = 60.0f;
  Bounces(s) = static_cast<float>(RandNext() & 1);
  Spin(s) = static_cast<float>((RandNext() & 63) + 150);
}

}  // namespace

uint8_t FxObjectKindIs4Or5(const DrawSlot* object) {
  if (!object || !object->visible) return 0;
  const ObjectType* type = TypeOf(PlacementOf(object->user));
  return type && (type->hitKind == 4 || type->hitKind == 5) ? 1 : 0;
}

uint8_t DecorKnockObject(DrawSlot* object, Vehicle* vehicle) {
  if (!object || !object->visible || !vehicle) return 0;
  const uintptr_t index = object->user;
  ObjectPlacement* p = PlacementOf(index);
  const ObjectType* type = TypeOf(p);
  if (!type) return 0;
  const Camera* pose = gRace.currentPose ? gRace.currentPose : &vehicle->pose;
  const float dx = object->x - pose->x, dz = object->z - pose->z;
  const uint16_t heading = static_cast<uint16_t>(TruncI32(pose->heading) & ANGLE_MASK);
  uint8_t gaveWay = 1;
  switch (type->hitKind) {
    case 1:
    case 3:
    case 10:
      p->second = heading;
      object->visible = 0;
      Launch(object, vehicle, index, type->hitKind);
      break;
    case 2:
      p->second = heading;
      object->visible = 0;
      DecorShatterFaces(object, vehicle);
      break;
    case 4:
    case 5:
      FfbShock(vehicle, TruncI32(dx), TruncI32(dz));
      return 0;
    case 6:
      object->visible = 0;
      SwingPennant(object);
      gaveWay = 0;
      break;
    case 7:
    case 8:
      p->second = heading;
      object->visible = 0;
      DecorBreakIntoPieces(object, vehicle, type->hitKind == 7 ? ROW_STONE : ROW_BAR_PIECE);
      break;
    case 9:
      p->second = heading;
      object->visible = 0;
      DecorBreakIntoBlocks(object, vehicle);
      break;
    default: gaveWay = 0; break;
  }
  FfbShock(vehicle, TruncI32(dx * 0.5f), TruncI32(dz * 0.5f));
  return gaveWay;
}

void FxStepLaunchedObject(DrawSlot* slot, void* model) {
  MeshHeader* mesh = static_cast<MeshHeader*>(model);
  const ObjectPlacement* p = PlacementOf(slot->user);
  if (!mesh || !p) {
    DrawListRelease(slot);
    return;
  }
  AnimateKnocked(slot, slot->user, mesh);
  if (FxFlyKnocked(slot, p->second, 6.0f, 0.0f)) {
    if (slot->visible == EXPLODES_OR_RESTS) FxSpawnSlotExplosion(slot);
    DrawListRelease(slot);
    return;
  }
  if (RaceViewAdvances()) Heading(slot) += gRace.timeStep * 8.0f;
  Pose(mesh, TruncI32(Pitch(slot)), p->yaw, TruncI32(Heading(slot)));
  DrawByKind(slot, mesh, TypeOf(p));
}

void FxStepSlidingObject(DrawSlot* slot, void* model) {
  MeshHeader* mesh = static_cast<MeshHeader*>(model);
  ObjectPlacement* p = PlacementOf(slot->user);
  if (!mesh || !p) {
    DrawListRelease(slot);
    return;
  }
  AnimateKnocked(slot, slot->user, mesh);
  if (RaceViewAdvances()) {
    const float t = gRace.timeStep;
    const float d = StepDistance(Speed(slot));
    slot->x += d * MathSin(p->second);
    slot->z += d * MathCos(p->second);
    if (Bounces(slot) == 0.0f) {
      slot->y += t * Lift(slot) * 0.5f;
      Lift(slot) -= t;
      if (slot->y < 0.0f) {
        slot->y = 0.0f;
        Bounces(slot) = 1.0f;
      }
    }
    if (TerrainHeightAt(slot->x, slot->z) > 0.0f) {  // off the ice
      DrawListRelease(slot);
      return;
    }
    p->yaw = static_cast<uint16_t>((p->yaw + TruncI32(Spin(slot) * t)) & ANGLE_MASK);
  }
  const bool resting = Bounces(slot) != 0.0f;
  const float y = slot->y;
  Pose(mesh, 0, p->yaw, 512);
  slot->y = resting ? -SLIDER_REST_DEPTH : y;
  RdrDrawObject(slot, mesh);
  Pose(mesh, 0, p->yaw, 0);
  slot->y = resting ? SLIDER_REST_DEPTH : -y;
  RdrDrawObject(slot, mesh);
  slot->y = y;
}

void FxStepKnockedPiece(DrawSlot* slot, void* model) {
  MeshHeader* mesh = static_cast<MeshHeader*>(model);
  DrawSlot* object = reinterpret_cast<DrawSlot*>(slot->user);
  const ObjectPlacement* p = object ? PlacementOf(object->user) : nullptr;
  if (!mesh || !p) {
    DrawListRelease(slot);
    return;
  }
  AnimateKnocked(slot, object->user, mesh);
  if (RaceViewAdvances()) {
    const float step = Speed(slot) * gRace.timeStep;
    Pitch(slot) += Bounces(slot) != 0.0f ? step : -step;
    if (Pitch(slot) > Spin(slot) || Pitch(slot) < -Spin(slot)) {
      Speed(slot) -= 4.0f;
      if (Speed(slot) < 10.0f) Speed(slot) = 10.0f;
      Bounces(slot) = Bounces(slot) != 0.0f ? 0.0f : 1.0f;
      Spin(slot) -= 40.0f;
      if (Spin(slot) <= 0.0f) {
        object->visible = 1;  // it stands again
        DrawListRelease(slot);
        return;
      }
    }
  }
  Pose(mesh, TruncI32(Pitch(slot)), p->yaw, 512);
  DrawByKind(slot, mesh, TypeOf(p));
}

void DecorShatterFaces(DrawSlot* object, Vehicle* vehicle) {
  MeshHeader* mesh = static_cast<MeshHeader*>(object->owner);
  const ObjectPlacement* p = PlacementOf(object->user);
  if (!mesh || !mesh->faces || !p || !vehicle) return;
  for (uint32_t i = 0; i < mesh->faceCount; ++i) {
    Face* face = &mesh->faces[i];
    if (face->type >> 24 != FACE_TEX_LIT) continue;
    DrawSlot* s = DrawListClaimDynamic(face, reinterpret_cast<uintptr_t>(mesh), FxStepFaceShard, object->x,
                                       object->y, object->z);
    if (!s) return;
    Throw(s, vehicle, p->second);
  }
}

void FxStepFaceShard(DrawSlot* slot, void* owner) {
  const Face* face = static_cast<const Face*>(owner);
  const MeshHeader* mesh = reinterpret_cast<const MeshHeader*>(slot->user);
  if (!face || !mesh || !mesh->vertices || LeftShardWindow(slot) || FxFlyKnocked(slot, Heading(slot), 6.0f, 0.0f)) {
    DrawListRelease(slot);
    return;
  }
  for (int32_t k = 0; k < 3; ++k)
    if (face->index[k] >= mesh->vertexCount) return;
  Vertex* v;
  Face* f;
  if (!FxScratch(3, &v, &f)) return;
  float m[9];
  MatFromAngles(TruncI32(Pitch(slot)) & ANGLE_MASK, TruncI32(Heading(slot)) & ANGLE_MASK, 512, m);
  const float c[3] = {slot->x, slot->y, slot->z};
  for (int32_t k = 0; k < 3; ++k) {
    const Vertex& src = mesh->vertices[face->index[k]];
    const float local[3] = {src.x, src.y, src.z};
    v[k] = Vertex{};
    float world[3];
    for (int32_t i = 0; i < 3; ++i)
      world[i] = c[i] + m[3 * i] * local[0] + m[3 * i + 1] * local[1] + m[3 * i + 2] * local[2];
    v[k].x = world[0];
    v[k].y = world[1];
    v[k].z = world[2];
    RdrProjectVertex(&v[k]);
  }
  f->type = face->type;
  for (int32_t i = 0; i < 6; ++i) f->st[i] = face->st[i];
  RdrDrawFaceDecal(f);
}

void DecorBreakIntoPieces(DrawSlot* object, Vehicle* vehicle, uint16_t pieceRow) {
  const ObjectPlacement* p = PlacementOf(object->user);
  const ObjectType* type = TypeOf(p);
  MeshHeader* piece = pieceRow < OBJECT_TYPE_ROWS ? gObjectModels[pieceRow] : nullptr;
  if (!type || !piece || !vehicle) return;
  const int32_t n = (RandNext() & 3) + 10;
  for (int32_t i = 0; i < n; ++i) {
    float at[3];
    PieceStart(object, type, p->yaw, at);
    DrawSlot* s = DrawListClaimDynamic(piece, 0, FxStepObjectShard, at[0], at[1], at[2]);
    if (!s) return;
    Throw(s, vehicle, p->second);
  }
}

void FxStepObjectShard(DrawSlot* slot, void* model) {
  MeshHeader* mesh = static_cast<MeshHeader*>(model);
  if (!mesh || LeftShardWindow(slot) || FxFlyKnocked(slot, Heading(slot), 30.0f, 0.0f)) {
    DrawListRelease(slot);
    return;
  }
  Pose(mesh, TruncI32(Pitch(slot)), TruncI32(Heading(slot)), 512);
  RdrDrawObject(slot, mesh);
}

void DecorBreakIntoBlocks(DrawSlot* object, Vehicle* vehicle) {
  const ObjectPlacement* p = PlacementOf(object->user);
  const ObjectType* type = TypeOf(p);
  const uint16_t row = gRace.trackIndex == TRACK_ICE ? ROW_ICE_BLOCK : ROW_BLOCK;
  MeshHeader* block = gObjectModels[row];
  if (!type || !block || !vehicle) return;
  int32_t n = TruncI32((type->maxY - type->minY) * 0.025f);
  float pitch = 0.0f;
  if (n < 2) {  // low and wide: its blocks lie on their sides
    n = TruncI32((type->maxX - type->minX) * 0.025f);
    if (n < 1) n = 1;
    pitch = 256.0f;
  }
  for (int32_t i = 0; i < n; ++i) {
    float at[3];
    PieceStart(object, type, p->yaw, at);
    DrawSlot* s = DrawListClaimDynamic(block, 0, FxStepBlock, at[0], at[1], at[2]);
    if (!s) return;
    Throw(s, vehicle, p->second);
    Pitch(s) = pitch;
  }
}

void FxStepBlock(DrawSlot* slot, void* model) {
  MeshHeader* mesh = static_cast<MeshHeader*>(model);
  if (!mesh) {
    DrawListRelease(slot);
    return;
  }
  if (slot->visible == EXPLODES_OR_RESTS) {
    const ObjectPlacement* p = PlacementOf(slot->user);
    if (!p) return;
    Pose(mesh, TruncI32(Pitch(slot)), p->yaw, 512);
    RdrDrawObjectLit(slot, mesh);
    return;
  }
  if (FxFlyKnocked(slot, Heading(slot), 30.0f, BLOCK_FLOOR_LIFT)) {
    // At rest: a new obstacle, when the placements and the grid have room.
    slot->visible = EXPLODES_OR_RESTS;
    if (gPlacementCount >= PLACEMENT_MAX) {
      DrawListRelease(slot);
      return;
    }
    const int32_t index = gPlacementCount;
    const uint16_t row = gRace.trackIndex == TRACK_ICE ? ROW_ICE_BLOCK : ROW_BLOCK;
    gPlacements[index] = ObjectPlacement{static_cast<uint16_t>(TruncI32(Heading(slot)) & ANGLE_MASK), 0,
                                         COUNTER_SLOT_NONE, row, slot->x, slot->y, slot->z};
    slot->user = static_cast<uintptr_t>(index);
    ++gPlacementCount;  // for the grid to see the block's type
    if (!TrackGridAddObject(slot)) {
      --gPlacementCount;
      DrawListRelease(slot);
    }
    return;
  }
  Pose(mesh, TruncI32(Pitch(slot)), TruncI32(Heading(slot)), 512);
  RdrDrawObjectLit(slot, mesh);
  if (gRace.trackIndex == TRACK_ICE) {
    Pose(mesh, TruncI32(Pitch(slot)), TruncI32(Heading(slot)), 0);
    const float y = slot->y;
    slot->y = -y;
    RdrDrawObjectLit(slot, mesh);
    slot->y = y;
  }
}
