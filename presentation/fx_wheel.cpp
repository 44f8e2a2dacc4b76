// What the wheel pass throws up: sprays that follow a wheel, smoke puffs,
// dust, the water drops of a wheel in water with the drops' steps, the splash
// rings, and the bubbles of a sinking car.
#include "backend_common/draw.h"
#include "engine3d/angle.h"
#include "engine3d/random.h"
#include "engine3d/terrain.h"
#include "presentation/fx_common.h"
#include "presentation/presentation.h"

namespace {

constexpr float FAR_DROP_DISTANCE = 320.0f;
constexpr int32_t DROP_GREY = 80;

float Rate(float divisor) { return static_cast<float>(4 + (RandNextAbs() & 3)) / divisor; }

void SprayStep(DrawSlot* slot, const int32_t colour[3], int32_t alpha) {
  int32_t frame;
  if (FxPuffEnded(slot, &frame)) return;
  const WheelState* wheel = reinterpret_cast<const WheelState*>(slot->user);
  if (wheel) {
    slot->x = wheel->spray[0];
    slot->y = wheel->spray[1] + FxW2(slot);
    slot->z = wheel->spray[2];
  }
  FxViewPosition(slot);
  if (FxInDepth(slot)) {
    slot->owner = FxSprite(FX_SPRITE_SMOKE + frame);
    FxSetAlpha(slot, alpha);
    if (slot->owner) RdrDrawSpriteCell(slot, colour[0], colour[1], colour[2]);
  }
  if (!RaceViewAdvances()) return;
  FxW1(slot) += gRace.timeStep * FxW4(slot);
  FxW2(slot) += gRace.timeStep;
}

void SpawnSpray(WheelState* wheel, float divisor, DrawCallback step) {
  if (!wheel) return;
  DrawSlot* s = FxAllocSprite(&gFxSpriteOwner, step, wheel->spray[0], wheel->spray[1], wheel->spray[2]);
  if (!s) return;
  s->visible = FX_KIND_WHEEL;
  s->user = reinterpret_cast<uintptr_t>(wheel);
  FxW4(s) = Rate(divisor);
}

// Smoke puffs and wheel dust: a smoke frame in the first particle colour.
void PuffStep(DrawSlot* slot, float rise) {
  int32_t frame;
  if (FxPuffEnded(slot, &frame)) return;
  if (FxInDepth(slot)) {
    slot->owner = FxSprite(FX_SPRITE_SMOKE + frame);
    FxSetAlpha(slot, gRace.particleAlphaA + 30);
    const int32_t* c = gRace.particleColourA;
    if (slot->owner) RdrDrawSpriteCell(slot, c[0], c[1], c[2]);
  }
  if (!RaceViewAdvances()) return;
  FxW1(slot) += gRace.timeStep * FxW4(slot);
  slot->y += rise * gRace.timeStep;
}

// Both drops: the triangle in grey, then the fall.
void DrawDrop(const float corners[3][3], uint32_t faceWord) {
  Vertex* v;
  Face* f;
  if (!FxScratch(3, &v, &f)) return;
  for (int32_t i = 0; i < 3; ++i) {
    v[i] = Vertex{};
    v[i].x = corners[i][0];
    v[i].y = corners[i][1];
    v[i].z = corners[i][2];
    FxColour(&v[i], DROP_GREY, DROP_GREY, DROP_GREY);
    RdrProjectVertex(&v[i]);
  }
  f->type = faceWord;
  RdrDrawFaceVColour(f);
}

void DropFall(DrawSlot* slot) {
  slot->x += FxW1(slot);
  slot->z += FxW3(slot);
  slot->y += FxW2(slot) * gRace.timeStep;
  FxW2(slot) -= FxW6(slot) * gRace.timeStep;
  if (FxW2(slot) < -3.0f) FxFree(slot);
}

bool Human(const Vehicle* v) { return v->human == 1; }

}  // namespace

void FxStepWheelSpray(DrawSlot* slot, void*) { SprayStep(slot, gRace.particleColourA, gRace.particleAlphaA); }
void FxStepWheelSpray2(DrawSlot* slot, void*) { SprayStep(slot, gRace.particleColourB, gRace.particleAlphaB); }

void FxSpawnWheelSpray(WheelState* wheel, float divisor) { SpawnSpray(wheel, divisor, FxStepWheelSpray); }
void FxSpawnWheelSpray2(WheelState* wheel, float divisor) { SpawnSpray(wheel, divisor, FxStepWheelSpray2); }

void FxStepSmokePuff(DrawSlot* slot, void*) { PuffStep(slot, 1.0f); }
void FxStepWheelParticle(DrawSlot* slot, void*) { PuffStep(slot, 0.0f); }

void FxSpawnSmokePuff(float x, float y, float z, float divisor) {
  DrawSlot* s = FxAllocSprite(&gFxSpriteOwner, FxStepSmokePuff, x, y, z);
  if (s) FxW4(s) = Rate(divisor);
}

void FxSpawnWheelParticle(float x, float y, float z) {
  DrawSlot* s = FxAllocSprite(&gFxSpriteOwner, FxStepWheelParticle, x, y, z);
  if (s) FxW4(s) = static_cast<float>(4 + (RandNextAbs() & 3)) * 0.05f;
}

void FxStepGroundDust(DrawSlot* slot, void*) {
  if (FxW4(slot) < 0.0f) {
    FxFree(slot);
    return;
  }
  if (FxInDepth(slot)) {
    slot->owner = FxSprite(FX_SPRITE_DUST);
    FxSetAlpha(slot, TruncI32(FxW4(slot)));
    const int32_t* c = gRace.particleColourA;
    if (slot->owner) RdrDrawSpriteCell(slot, c[0], c[1], c[2]);
  }
  if (RaceViewAdvances()) FxW4(slot) -= 6.0f * gRace.timeStep;
}

// Behind the car, spread across it.
void FxSpawnGroundDust(Vehicle* v) {
  if (!v || !(v->waterDepthSum < 40.0f)) return;
  const float q = static_cast<float>(RandNext() % 10);
  const float* m = v->bodyMatrix;
  const float x = v->pose.x + q * m[0] - 20.0f * m[2];
  const float z = v->pose.z + q * m[6] - 20.0f * m[8];
  DrawSlot* s = FxAllocSprite(&gFxSpriteOwner, FxStepGroundDust, x, TerrainHeightAt(x, z) + 2.0f, z);
  if (s) FxW4(s) = static_cast<float>(gRace.particleAlphaA);
}

void FxStepDropFar(DrawSlot* slot, void*) {
  const float x = slot->x, y = slot->y, z = slot->z;
  const float corners[3][3] = {{x, y, z}, {x + 3.5f, y, z + 0.1f}, {x + 3.5f, y + 3.5f, z + 0.1f}};
  DrawDrop(corners, 50);
  if (RaceViewAdvances()) DropFall(slot);
}

void FxStepDropNear(DrawSlot* slot, void*) {
  const int32_t a = TruncI32(FxW4(slot)) & ANGLE_MASK;
  const float c = 0.75f * MathCos(a), s = 0.75f * MathSin(a);
  const float x = slot->x, y = slot->y, z = slot->z;
  const float corners[3][3] = {{x - c + s, y - s - c, z}, {x + c + s, y + s - c, z}, {x + c - s, y + c + s, z}};
  DrawDrop(corners, 30);
  if (!RaceViewAdvances()) return;
  FxW4(slot) += FxW5(slot) * gRace.timeStep;
  DropFall(slot);
}

DrawSlot* FxSpawnDrop(const Vehicle* v, float x, float y, float z) {
  if (static_cast<float>(v->cameraDistance) >= FAR_DROP_DISTANCE)
    return FxAllocPiece(&gFxDropOwner, FxStepDropFar, x, y, z);
  const int32_t angle = RandNext() & ANGLE_MASK;
  const int32_t spin = RandNext() % 30;
  DrawSlot* s = FxAllocPiece(&gFxDropOwner, FxStepDropNear, x, y, z);
  if (!s) return nullptr;
  FxW4(s) = static_cast<float>(angle);
  FxW5(s) = static_cast<float>(spin);
  return s;
}

void FxSpawnWheelClods(Vehicle* v, WheelState* w) {
  if (!v || !w) return;
  const bool slow = v->velocity <= 10.0f || gRace.noHumanMode;
  const float size = w->trailHalfWidth;
  const float side = slow && (RandNext() & 1) ? size : -size;
  const float lateral = static_cast<float>(RandNext() % 16) * size * 0.0625f;
  const float* m = v->bodyMatrix;
  const float dx = 2.0f * side * m[2] + lateral * m[0];
  const float dz = 2.0f * side * m[8] + lateral * m[6];
  DrawSlot* s = FxSpawnDrop(v, w->centre[0] + dx, gRace.waterLevel, w->centre[2] + dz);
  const float t = gRace.timeStep;
  float vx, vz;
  if (slow) {
    vx = dx * 0.125f * t;
    vz = dz * 0.125f * t;
  } else {
    const float c = v->velocity * 1000.0f * 10.0f / (gRace.frameRate * 3600.0f);
    vx = m[2] * c * t;
    vz = m[8] * c * t;
  }
  const float rise = static_cast<float>(((RandNextAbs() & 3) + 2) / 2);
  if (!s) return;
  FxW1(s) = vx;
  FxW3(s) = vz;
  FxW6(s) = 0.1f;
  FxW2(s) = rise;
}

void FxStepSplash(DrawSlot* slot, void*) {
  if (slot->viewZ > 5.0f && slot->viewZ < gRace.viewDistance) FxDrawRippleRing(slot, FxW1(slot));
  if (!RaceViewAdvances()) return;
  FxW1(slot) += 3.0f * gRace.timeStep;
  if (FxW1(slot) > 120.0f) FxFree(slot);
}

void FxSpawnSplashRing(float x, float y, float z) {
  DrawSlot* s = FxAllocSprite(&gFxSpriteOwner, FxStepSplash, x, y, z);
  if (s) FxW1(s) = 10.0f;
}

void FxStepBubble(DrawSlot* slot, void*) {
  if (!FxEffectsOn()) return;
  slot->owner = FxSprite(FX_SPRITE_BUBBLE);
  slot->kind |= 150u << 8;
  if (slot->owner) RdrDrawSpriteAlpha(slot);
  if (!RaceViewAdvances()) return;
  slot->y += FxW2(slot) * gRace.timeStep;
  if (slot->y > gRace.waterLevel) {
    DrawListRelease(slot);
    return;
  }
  slot->x += static_cast<float>(RandNext() % 2) * 0.1f;
  slot->z += static_cast<float>(RandNext() % 2) * 0.1f;
}

void FxSpawnBubbles(Vehicle* v) {
  if (!v || !FxEffectsOn()) return;
  const float x = v->eyePoint[0] + static_cast<float>(RandNext() % 16) * 0.0625f;
  const float y = v->eyePoint[1] + 3.0f + static_cast<float>(RandNextAbs() & 3);
  const float z = v->eyePoint[2] + static_cast<float>(RandNext() % 16) * 0.0625f;
  DrawSlot* s = DrawListClaimDynamic(&gFxSpriteOwner, 0, FxStepBubble, x, y, z);
  if (!s) return;
  if (Human(v)) SfxPlayEffectAt(FX_SOUND_BUBBLE, x, y, z);
  FxW2(s) = static_cast<float>((RandNext() & 3) + 5) * 0.2f;
}
