// What happens to a vehicle made visible: crash smoke and damage stages,
// bent and lost wheels flying off, debris cut from the body's own faces, the
// boost and burst emitters along the car model's emitter points, and the
// splash of a car falling into water.
#include <cmath>

#include "backend_common/draw.h"
#include "engine3d/angle.h"
#include "engine3d/camera.h"
#include "engine3d/random.h"
#include "engine3d/terrain.h"
#include "frontend/frontend.h"
#include "presentation/fx_common.h"
#include "presentation/presentation.h"
#include "race/track_files.h"
#include "race/tracks.h"
#include "race/vehicle_steps.h"

namespace {

constexpr uint8_t MAX_DAMAGE_STAGE = 8;
constexpr uint8_t EXPLOSION_STAGE = 6;
constexpr int32_t CRASH_SMOKE_DISTANCE = 1500;
constexpr int32_t EXPLOSION_DISTANCE = 1000;
constexpr int32_t CRASH_BEND_LIMIT = 25;
constexpr int32_t LOOSE_BEND_LIMIT = 20;
constexpr float SPLASH_DISTANCE = 1280.0f;
constexpr int32_t SPLASH_DROPS = 50;
constexpr float EMITTER_DRIVE_TIME = 10.0f;
constexpr float BURST_TIME = 8.0f;
constexpr float DEBRIS_FALL_LIMIT = -20.0f;

// The emitter slots own nothing to draw.
uint32_t gEmitterOwner;

bool Human(const Vehicle* v) { return v->human == 1; }

CarModel& ModelOf(const Vehicle* v) {
  return gCarModels[v->type >= 0 && v->type < CAR_MODEL_ROWS ? v->type : 0];
}

// From `index` on, cyclically, the first attached wheel; -1 when none is.
int32_t AttachedFrom(const Vehicle* v, int32_t index) {
  for (int32_t k = 0; k < VEHICLE_WHEELS; ++k) {
    const int32_t i = (index + k) & 3;
    if (v->wheels[i].attached) return i;
  }
  return -1;
}

// The bend moves away from 0 by 3 or 7 (bit 2 of `bits`), from 0 to the side
// bit 0 chooses.
int16_t BendAway(int16_t bend, int32_t bits) {
  const int32_t g = (bits & 4) | 3;
  int32_t b = bend;
  if (b > 0)
    b += g;
  else if (b < 0)
    b -= g;
  else
    b = (bits & 1) ? g : -g;
  return static_cast<int16_t>(b);
}

// Record order is front left, front right, rear left, rear right; the loose
// wheels of the second wheel set are rear, rear, front, front.
MeshHeader* LooseWheelMesh(const Vehicle* v, int32_t wheel) {
  return ModelOf(v).wheels[1][(wheel + 2) & 3];
}

void TearOff(Vehicle* v, int32_t index) {
  WheelState& w = v->wheels[index];
  FxSpawnFlyingWheel(&w, LooseWheelMesh(v, index), v);
  w.attached = 0;
  ++v->wheelsLost;
  FfbUpdateWheelContact(v);
}

// An emitter point's particle: from the point along the point's angles.
void EmitterParticlePlace(DrawSlot* slot, float* f) {
  const Vehicle* v = reinterpret_cast<const Vehicle*>(slot->user);
  const EmitterPoint* points = v ? ModelOf(v).points : nullptr;
  const int32_t index = TruncI32(FxW5(slot));
  if (!points || index < 0) return;
  for (int32_t i = 0; i < index; ++i)
    if (points[i].x == CAR_MODEL_POINTS_END) return;
  const EmitterPoint& p = points[index];
  if (p.x == CAR_MODEL_POINTS_END) return;
  float x = p.x, y = p.y, z = p.z;
  if (v->viewRequest == 1) {
    x *= 1.33f;
    y *= 1.33f;
    z *= 1.33f;
  }
  if (gRace.debugMode == 1) {
    x *= 0.625f;
    y *= 0.833333f;
    z *= 0.625f;
  }
  const float length = FxW2(slot);
  const float ca = MathCos(p.elevation), sa = MathSin(p.elevation);
  const float ex = x + length * ca * MathSin(p.heading), ey = y + length * sa, ez = z + length * ca * MathCos(p.heading);
  const float* m = v->bodyMatrix;
  const float* q = v->bodyPoint;
  *f = FxW4(slot) != 0.0f ? FxW1(slot) / FxW4(slot) : 1.0f;
  float start[3], end[3];
  for (int32_t i = 0; i < 3; ++i) {
    start[i] = m[3 * i] * x + m[3 * i + 1] * y + m[3 * i + 2] * z + q[i];
    end[i] = m[3 * i] * ex + m[3 * i + 1] * ey + m[3 * i + 2] * ez + q[i];
  }
  slot->x = start[0] + (end[0] - start[0]) * *f;
  slot->y = start[1] + (end[1] - start[1]) * *f;
  slot->z = start[2] + (end[2] - start[2]) * *f;
}

// Places and ages an emitter particle -> whether to draw it (f its age share).
bool EmitterParticleStep(DrawSlot* slot, float* f) {
  *f = 0.0f;
  EmitterParticlePlace(slot, f);
  FxViewPosition(slot);
  return slot->viewZ >= 5.0f;
}

void EmitterParticleAge(DrawSlot* slot) {
  if (!RaceViewAdvances()) return;
  FxW1(slot) += gRace.timeStep;
  if (FxW4(slot) < FxW1(slot)) FxFree(slot);
}

int32_t Clamp(int32_t v, int32_t lo, int32_t hi) { return v < lo ? lo : v > hi ? hi : v; }

// Shared by the two emitters: every tick, particles along every point.
void EmitterStep(DrawSlot* slot, bool burst) {
  if (!RaceViewAdvances()) return;
  FxW1(slot) -= 2.0f * gRace.timeStep;
  if (FxW1(slot) <= 0.0f) {
    DrawListRelease(slot);
    return;
  }
  if (!gRace.tickPassed) return;
  Vehicle* v = reinterpret_cast<Vehicle*>(slot->user);
  const EmitterPoint* points = v ? ModelOf(v).points : nullptr;
  if (!points) return;
  for (int32_t i = 0; points[i].x != CAR_MODEL_POINTS_END; ++i) {
    const float life = static_cast<float>((RandNext() & 1) + 5);
    const float length = static_cast<float>((RandNext() & 3) + 5);
    if (DrawSlot* s = FxAllocPuff(&gFxSpriteOwner, FxStepEmitterPuff, v->bodyPoint[0], v->bodyPoint[1], v->bodyPoint[2])) {
      s->visible = FX_KIND_SELF;
      s->user = reinterpret_cast<uintptr_t>(v);
      FxW4(s) = life;
      FxW2(s) = length;
      FxW5(s) = static_cast<float>(i);
    }
    if (!burst || gOptions.detail[0] > 1) continue;
    const float burstLife = static_cast<float>((RandNext() & 3) + 10);
    const float burstLength = static_cast<float>((RandNext() & 3) + 15);
    if (DrawSlot* s = FxAllocSprite(&gFxSpriteOwner, FxStepVehicleBurst, v->bodyPoint[0], v->bodyPoint[1], v->bodyPoint[2])) {
      s->visible = FX_KIND_SELF;
      s->user = reinterpret_cast<uintptr_t>(v);
      FxW4(s) = burstLife;
      FxW2(s) = burstLength;
      FxW5(s) = static_cast<float>(i);
    }
  }
}

bool EmitterAllowed(const Vehicle* v) { return FxEffectsOn() && v->state == VEHICLE_ON_GROUND && v->viewRequest != 2; }

void Attach(Vehicle* v, DrawCallback step, float time) {
  DrawSlot* s = DrawListClaimDynamic(&gEmitterOwner, reinterpret_cast<uintptr_t>(v), step, v->bodyPoint[0],
                                     v->bodyPoint[1], v->bodyPoint[2]);
  if (s) FxW1(s) = time;
}

}  // namespace

void FxVehicleCrash(Vehicle* v) {
  if (!v) return;
  if (v->cameraDistance < CRASH_SMOKE_DISTANCE && v->waterDepthSum < 40.0f) {
    const int32_t puffs = (RandNextAbs() & 7) + 10;
    for (int32_t i = 0; i < puffs; ++i) {
      const float x = v->pose.x + static_cast<float>(RandNext() % 30);
      const float y = v->pose.y + static_cast<float>(RandNext() % 10 + 10);
      const float z = v->pose.z + static_cast<float>(RandNextAbs() % 30);
      FxSpawnSmokePuff(x, y, z, 20.0f);
    }
  }
  if (v->timerSlot == 0 || v->velocity < 50.0f) return;
  if (v->damageStage < MAX_DAMAGE_STAGE && v->velocity > 100.0f) {
    if (v->damageStage == EXPLOSION_STAGE && v->cameraDistance < EXPLOSION_DISTANCE) FxSpawnVehicleExplosion(v);
    ++v->damageStage;
  }
  if (v->wheelsLost > 2) return;
  // Every machine of a network race bends the same wheel the same way.
  const bool network = gRace.networkGame != 0;
  const int32_t heading = TruncI32(v->heading);
  const int32_t index = AttachedFrom(v, network ? heading & 3 : RandNextAbs() & 3);
  if (index < 0) return;
  WheelState& w = v->wheels[index];
  w.bend = BendAway(w.bend, network ? heading : RandNextAbs());
  w.bend = BendAway(w.bend, network ? heading : RandNextAbs());
  if (MathAbs16(w.bend) > CRASH_BEND_LIMIT) TearOff(v, index);
}

void FxVehicleLoseWheel(Vehicle* v, int32_t forced) {
  if (!v || v->wheelsLost > 1) return;
  if (!v->wheelSpin && !v->ffBumpFrames && !forced) return;
  if ((RandNextAbs() & 255) != 32 || v->velocity < 100.0f) return;
  const int32_t index = AttachedFrom(v, RandNextAbs() & 3);
  if (index < 0 || MathAbs16(v->wheels[index].bend) <= LOOSE_BEND_LIMIT) return;
  TearOff(v, index);
}

void FxVehicleDebris(Vehicle* v) {
  if (!v) return;
  float m[9];
  MatFromAngles(TruncI32(v->pose.pitch) & ANGLE_MASK, TruncI32(-v->pose.heading - v->slideAngle) & ANGLE_MASK,
                TruncI32(v->pose.roll + 512.0f) & ANGLE_MASK, m);
  MeshHeader* body = ModelOf(v).body[0][0];
  // The pieces fly from this vehicle whatever pose the caller had current.
  Camera* const saved = gRace.currentPose;
  gRace.currentPose = &v->pose;
  const int32_t pieces = (RandNextAbs() & 3) + 2;
  for (int32_t i = 0; i < pieces; ++i) {
    const float a = static_cast<float>(RandNext() % 30);
    const float h = static_cast<float>((RandNextAbs() & 7) + 10);
    const float d = static_cast<float>((RandNextAbs() & 15) + 10);
    FxSpawnDebrisPiece(d * m[2] + a * m[0], h, a * m[6] + d * m[8], body);
  }
  gRace.currentPose = saved;
}

void FxSpawnDebrisPiece(float dx, float dy, float dz, MeshHeader* mesh) {
  const Camera* pose = gRace.currentPose;
  if (!pose || !mesh) return;
  DrawSlot* s = DrawListClaimDynamic(mesh, 0, FxStepDebris, pose->x + dx, pose->y + dy, pose->z + dz);
  if (!s) return;
  FxW1(s) = dx;
  FxW2(s) = dy;
  FxW3(s) = dz;
  FxW4(s) = static_cast<float>((RandNextAbs() & 3) + 2);
  FxW5(s) = static_cast<float>((RandNextAbs() & 3) + 2);
  FxW6(s) = static_cast<float>((RandNextAbs() & 3) + 2);
}

void FxStepDebris(DrawSlot* slot, void* owner) {
  const MeshHeader* body = static_cast<const MeshHeader*>(owner);
  // A body without faces (a damaged or odd model) has nothing to cut a piece from.
  if (!body || body->faceCount == 0 || !body->faces) {
    DrawListRelease(slot);
    return;
  }
  float m[9];
  MatFromAngles(TruncI32(slot->x) & ANGLE_MASK, TruncI32(slot->y) & ANGLE_MASK, TruncI32(slot->z) & ANGLE_MASK, m);
  if (RaceViewAdvances()) {
    const float t = gRace.timeStep;
    slot->x += FxW1(slot) * t;
    slot->y += FxW2(slot) * t;
    slot->z += FxW3(slot) * t;
    FxW2(slot) -= t;
    if (FxW2(slot) < DEBRIS_FALL_LIMIT) {
      DrawListRelease(slot);
      return;
    }
  }
  const int64_t pick = TruncI32(FxW1(slot) + FxW3(slot));
  const Face& source = body->faces[(pick < 0 ? -pick : pick) % body->faceCount];
  if (source.type >> 24 != FACE_TEX_LIT) {
    DrawListRelease(slot);
    return;
  }
  Vertex* v;
  Face* f;
  if (!FxScratch(3, &v, &f)) return;
  const float e1 = FxW4(slot), e2 = FxW5(slot), e3 = FxW6(slot);
  const float sign[3][3] = {{1, 1, 1}, {-1, -1, 1}, {-1, 1, -1}};
  const float c[3] = {slot->x, slot->y, slot->z};
  for (int32_t k = 0; k < 3; ++k) {
    v[k] = Vertex{};
    float p[3];
    for (int32_t i = 0; i < 3; ++i)
      p[i] = c[i] + sign[k][0] * e1 * m[3 * i] + sign[k][1] * e2 * m[3 * i + 1] + sign[k][2] * e3 * m[3 * i + 2];
    v[k].x = p[0];
    v[k].y = p[1];
    v[k].z = p[2];
    RdrProjectVertex(&v[k]);
  }
  f->type = source.type;
  for (int32_t i = 0; i < 6; ++i) f->st[i] = source.st[i];
  RdrDrawFaceDecal(f);
}

void FxSpawnFlyingWheel(WheelState* wheel, MeshHeader* mesh, Vehicle* v) {
  if (!wheel || !mesh || !v) return;
  DrawSlot* s = DrawListClaimDynamic(mesh, 0, FxStepFlyingWheel, wheel->centre[0], wheel->centre[1], wheel->centre[2]);
  if (!s) return;
  FxW1(s) = v->frameAngles[0];
  FxW2(s) = v->frameAngles[1];
  FxW3(s) = v->frameAngles[2];
  FxW6(s) = v->velocity + 50.0f;
  if (v->state == VEHICLE_KNOCKED) FxW6(s) += v->knockImpulse;
  FxW4(s) = FxW6(s) * 20.0f * 0.004f;
  if (FxW4(s) < 10.0f) FxW4(s) = 10.0f;
  FxW5(s) = 3.0f;
}

void FxStepFlyingWheel(DrawSlot* slot, void* owner) {
  MeshHeader* mesh = static_cast<MeshHeader*>(owner);
  if (!mesh) {
    DrawListRelease(slot);
    return;
  }
  mesh->angle[0] = static_cast<uint16_t>(TruncI32(FxW1(slot)));
  mesh->angle[1] = static_cast<uint16_t>(TruncI32(FxW2(slot)));
  mesh->angle[2] = static_cast<uint16_t>(TruncI32(FxW3(slot)));
  if (RaceViewAdvances()) {
    const float s = FxW6(slot) * 1000.0f * 10.0f / (gRace.frameRate * 3600.0f);
    const int32_t heading = TruncI32(FxW2(slot));
    slot->x += s * MathSin(-heading);
    slot->z += s * MathCos(heading);
    slot->y += FxW4(slot) * gRace.timeStep;
    FxW4(slot) -= gRace.timeStep;
    const float ground = TerrainHeightAt(slot->x, slot->z);
    if (slot->y < ground) {
      slot->y = ground;
      FxW5(slot) -= 1.0f;
      if (FxW5(slot) < 0.0f) {
        DrawListRelease(slot);
        return;
      }
      FxW6(slot) -= 20.0f;
      FxW4(slot) = FxW6(slot) * 20.0f * 0.004f;
      if (FxW4(slot) < 10.0f) FxW4(slot) = 10.0f;
    }
    FxViewPosition(slot);
  }
  RdrDrawObjectLit(slot, mesh);
  if (!gIceReflections) return;
  DrawSlot mirrored = *slot;
  mirrored.y = -slot->y;
  FxViewPosition(&mirrored);
  const uint16_t roll = mesh->angle[2];
  mesh->angle[2] = static_cast<uint16_t>(roll + 512);
  RdrDrawObject(&mirrored, mesh);
  mesh->angle[2] = roll;
}

void FxAttachVehicleEmitter(Vehicle* v, float duration) {
  if (!v) return;
  if (EmitterAllowed(v)) Attach(v, FxStepVehicleEmitter, duration);
  v->exhaustSoundFlag = 1;
}

void FxAttachVehicleEmitterDrive(Vehicle* v) {
  if (!v || v->cameraDistance > 320 || !EmitterAllowed(v)) return;
  Attach(v, FxStepVehicleEmitter, EMITTER_DRIVE_TIME);
}

void FxAttachVehicleBurst(Vehicle* v) {
  if (!v || !gRace.tickPassed || v->cameraDistance > 400 || (gRace.ticks & 1) || !EmitterAllowed(v)) return;
  Attach(v, FxStepBurstEmitter, BURST_TIME);
}

void FxStepVehicleEmitter(DrawSlot* slot, void*) { EmitterStep(slot, false); }
void FxStepBurstEmitter(DrawSlot* slot, void*) { EmitterStep(slot, true); }

// Green flames fading toward blue along the point's direction.
void FxStepEmitterPuff(DrawSlot* slot, void*) {
  float f;
  if (EmitterParticleStep(slot, &f)) {
    if (Sprite* sprite = FxSprite(FX_SPRITE_SPARK + Clamp(TruncI32(3.0f * f), 0, 3))) {
      slot->owner = sprite;
      FxSetAlpha(slot, TruncI32(150.0f * (1.0f - f)));
      int32_t blue = TruncI32(f * 180.0f + 50.0f);
      if (blue > 230) blue = 230;
      RdrDrawSpriteCell(slot, 0, 255, blue);
    }
  }
  EmitterParticleAge(slot);
}

void FxStepVehicleBurst(DrawSlot* slot, void*) {
  float f;
  if (EmitterParticleStep(slot, &f)) {
    if (Sprite* sprite = FxSprite(FX_SPRITE_SMOKE + 7 - Clamp(TruncI32(7.0f * f), 0, 7))) {
      slot->owner = sprite;
      FxSetAlpha(slot, TruncI32(255.0f - 205.0f * f));
      RdrDrawSpriteTexAlpha(slot);
    }
  }
  EmitterParticleAge(slot);
}

void FxSpawnSplash(Vehicle* v) {
  if (!v) return;
  v->splashDone = 1;
  if (static_cast<float>(v->cameraDistance) > SPLASH_DISTANCE) return;
  const float x = v->eyePoint[0], z = v->eyePoint[2], level = gRace.waterLevel;
  if (DrawSlot* s = DrawListClaimDynamic(&gEmitterOwner, 0, FxStepSplashEmitter, x, level - 0.25f, z)) {
    FxW1(s) = 75.0f;
    FxW4(s) = 4.0f;
  }
  if (Human(v)) SfxPlayEffectAt(FX_SOUND_SPLASH, x, level, z);
  FxSpawnSplashRing(x, level - 0.25f, z);
  for (int32_t i = 0; i < SPLASH_DROPS; ++i) {
    const float dx = static_cast<float>(RandNext() % 10);
    const float dz = static_cast<float>(RandNext() % 10);
    DrawSlot* s = FxSpawnDrop(v, x + dx, level, z + dz);
    const float vx = static_cast<float>(RandNext() % 10) * 0.2f;
    const float vz = static_cast<float>(RandNext() % 10) * 0.2f;
    const float rise = static_cast<float>((RandNextAbs() & 3) + 2);
    if (!s) continue;
    FxW1(s) = vx;
    FxW3(s) = vz;
    FxW6(s) = 0.01f;
    FxW2(s) = rise;
  }
}

void FxStepSplashEmitter(DrawSlot* slot, void*) {
  if (!RaceViewAdvances()) return;
  FxW4(slot) -= gRace.timeStep;
  if (FxW4(slot) < 0.0f) {
    FxW4(slot) = 4.0f;
    FxSpawnSplashRing(slot->x, slot->y, slot->z);
  }
  FxW1(slot) -= gRace.timeStep;
  if (FxW1(slot) < 0.0f) DrawListRelease(slot);
}
