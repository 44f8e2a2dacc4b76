// Smoke of the weather, the scenes, the placed objects and the ambient
// vehicle; explosions of knocked objects and of burning cars; the fire and
// exhaust flames the vehicle drawing starts.
#include <cmath>

#include "backend_common/draw.h"
#include "engine3d/random.h"
#include "presentation/fx_common.h"
#include "presentation/presentation.h"
#include "race/tracks.h"

namespace {

constexpr int32_t FIRE_ALPHA = 240;
constexpr int32_t EXHAUST_ALPHA = 120;
constexpr uint8_t LAST_EXHAUST_STAGE = 6;  // from this damage stage on, one exhaust is left

bool Human(const Vehicle* v) { return v->human == 1; }

// Weather and scene smoke: the frame grows to w3 as it rises by w2.
void SpawnGrowing(float x, float y, float z, float divisor, float rise, float size) {
  DrawSlot* s = FxAllocSprite(&gFxSpriteOwner, FxStepGrowingSmoke, x, y, z);
  if (!s) return;
  FxW2(s) = rise;
  FxW3(s) = size;
  FxW4(s) = static_cast<float>(4 + (RandNextAbs() & 3)) / divisor;
}

// Chimney and ambient-vehicle smoke: frames run backwards, sizes shrink by w6.
void SpawnShrinking(float x, float y, float z, float sizeDivisor, float divisor, DrawCallback step) {
  x += static_cast<float>(RandNext() % 2);
  y += static_cast<float>(RandNextAbs() & 1);
  z += static_cast<float>(RandNext() % 2);
  DrawSlot* s = FxAllocSprite(&gFxSpriteOwner, step, x, y, z);
  if (!s) return;
  FxW4(s) = 5.0f / divisor;
  FxW6(s) = sizeDivisor;
  FxW3(s) = static_cast<float>(70 + (RandNextAbs() & 63));
}

void ShrinkingStep(DrawSlot* slot, float rise) {
  int32_t frame;
  if (FxPuffEnded(slot, &frame)) return;
  Sprite* sprite = FxSprite(FX_SPRITE_SMOKE + 7 - frame);
  // A divisor at or below zero (only from a caller's odd value) draws nothing.
  if (FxInDepth(slot) && sprite && FxW6(slot) > 0.0f) {
    slot->owner = sprite;
    FxSetAlpha(slot, TruncI32(FxW3(slot)));
    FxSpriteSizes sizes(sprite, sprite->halfWidth / FxW6(slot), sprite->halfHeight / FxW6(slot));
    RdrDrawSpriteTexAlpha(slot);
  }
  if (!RaceViewAdvances()) return;
  const float t = gRace.timeStep;
  FxW1(slot) += t * FxW4(slot);
  slot->y += rise * t;
  FxW6(slot) -= 0.1f * t;
  if (FxW6(slot) < 1.0f) FxW6(slot) = 3.0f;
}

// Explosion frames, alpha fading from 200 to at least 20.
void ExplosionDraw(DrawSlot* slot, int32_t frame, float widthScale, float heightScale) {
  Sprite* sprite = FxSprite(FX_SPRITE_EXPLOSION + frame);
  if (!FxInDepth(slot) || !sprite) return;
  slot->owner = sprite;
  int32_t alpha = TruncI32(FxW4(slot));
  if (alpha < 20) alpha = 20;
  FxSetAlpha(slot, alpha);
  FxSpriteSizes sizes(sprite, sprite->halfWidth * widthScale, sprite->halfHeight * heightScale);
  RdrDrawSpriteTexAlpha(slot);
}

void ExplosionAge(DrawSlot* slot, float rate) {
  if (!RaceViewAdvances()) return;
  FxW1(slot) += rate * gRace.timeStep;
  FxW4(slot) -= 10.0f * gRace.timeStep;
}

// The vehicle explosion sits above the car model's point 3.
void ExplosionPoint(const Vehicle* v, float out[3]) {
  const int32_t row = v->type >= 0 && v->type < CAR_MODEL_ROWS ? v->type : 0;
  const CarPoint& p = gCarModels[row].point3;
  const float* m = v->bodyMatrix;
  for (int32_t i = 0; i < 3; ++i) out[i] = v->bodyPoint[i] + m[3 * i] * p.x + m[3 * i + 1] * 7.0f + m[3 * i + 2] * p.z;
}

}  // namespace

void FxSpawnWeatherSmoke(float x, float y, float z, float divisor, float rise) {
  SpawnGrowing(x, y, z, divisor, rise, 100.0f);
}

void FxSpawnSceneParticle(float x, float y, float z, float divisor, float rise) {
  SpawnGrowing(x, y, z, divisor, rise, 15.0f);
}

void FxStepGrowingSmoke(DrawSlot* slot, void*) {
  int32_t frame;
  if (FxPuffEnded(slot, &frame)) return;
  Sprite* sprite = FxSprite(FX_SPRITE_SMOKE + frame);
  if (FxInDepth(slot) && sprite) {
    slot->owner = sprite;
    FxSetAlpha(slot, gRace.particleAlphaA + 30);
    FxSpriteSizes sizes(sprite, FxW3(slot), FxW3(slot));
    const int32_t* c = gRace.particleColourA;
    RdrDrawSpriteCell(slot, c[0], c[1], c[2]);
  }
  if (!RaceViewAdvances()) return;
  const float t = gRace.timeStep;
  FxW1(slot) += t * FxW4(slot);
  slot->y += FxW2(slot) * t;
  FxW3(slot) += 2.0f * t;
}

void FxSpawnObjectSmoke(float x, float y, float z, float sizeDivisor, float divisor) {
  SpawnShrinking(x, y, z, sizeDivisor, divisor, FxStepChimneySmoke);
}

void FxSpawnAmbientVehicleDust(float x, float y, float z, float sizeDivisor, float divisor) {
  SpawnShrinking(x, y, z, sizeDivisor, divisor, FxStepAmbientVehicleDust);
}

void FxStepChimneySmoke(DrawSlot* slot, void*) { ShrinkingStep(slot, 1.3f); }
void FxStepAmbientVehicleDust(DrawSlot* slot, void*) { ShrinkingStep(slot, 0.2f); }

// The copy of the explosion sound follows the object's placement number, so
// neighbouring objects blowing up together do not cut each other off.
void FxSpawnSlotExplosion(DrawSlot* object) {
  if (!object) return;
  DrawSlot* s = FxAllocPuff(&gFxSpriteOwner, FxStepExplosionPuff, object->x, object->y, object->z);
  if (!s) return;
  SfxPlayEffectCopyAt(FX_SOUND_EXPLOSION, object->x, object->y, object->z, static_cast<int32_t>(object->user & 3) + 1);
  FxW4(s) = 200.0f;
}

void FxStepExplosionPuff(DrawSlot* slot, void*) {
  int32_t frame;
  if (FxPuffEnded(slot, &frame)) return;
  ExplosionDraw(slot, frame, 1.0f, 1.0f);
  ExplosionAge(slot, 0.8f);
}

void FxSpawnVehicleExplosion(Vehicle* v) {
  if (!v || v->waterDepthSum > 60.0f) return;
  if (Human(v) && v->viewRequest == 2) return;
  float p[3];
  ExplosionPoint(v, p);
  DrawSlot* s = FxAllocPuff(&gFxSpriteOwner, FxStepVehicleExplosion, p[0], p[1], p[2]);
  if (!s) return;
  s->visible = FX_KIND_SELF;
  s->user = reinterpret_cast<uintptr_t>(v);
  FxW4(s) = 200.0f;
  if (Human(v)) SfxPlayEffectCopyAt(FX_SOUND_EXPLOSION, p[0], p[1], p[2], 0);
}

void FxStepVehicleExplosion(DrawSlot* slot, void*) {
  int32_t frame;
  if (FxPuffEnded(slot, &frame)) return;
  if (const Vehicle* v = reinterpret_cast<const Vehicle*>(slot->user)) {
    float p[3];
    ExplosionPoint(v, p);
    slot->x = p[0];
    slot->y = p[1];
    slot->z = p[2];
  }
  FxViewPosition(slot);
  ExplosionDraw(slot, frame, 0.2f, 0.125f);
  ExplosionAge(slot, 0.9f);
}

// A burning car: a flame streak at its smoke point, shorter the faster it
// goes; every other phase a wisp of smoke. The crackle plays even when the
// flame is too short to show.
void FxSpawnVehicleFire(Vehicle* v) {
  if (!v || !RaceViewAdvances() || v->waterDepthSum > 60.0f) return;
  const float h = std::fabs(v->velocity) * 0.025f;
  DrawSlot* s = FxAllocPuff(&gFxSpriteOwner, FxStepVehicleSparks, v->smokePoint[0], v->smokePoint[1] - h * 0.5f,
                            v->smokePoint[2]);
  if (!s) return;
  FxW1(s) = v->fireClock;
  FxW2(s) = 6.0f - h;
  if (FxW2(s) < 0.1f) FxFree(s);
  if (Human(v)) SfxPlayEffectAt(FX_SOUND_FIRE, s->x, s->y, s->z);
  v->fireClock += gRace.timeStep;
}

void FxStepVehicleSparks(DrawSlot* slot, void*) {
  Sprite* sprite = FxSprite(FX_SPRITE_FLAME + (TruncI32(FxW1(slot) * 0.5f) & 3));
  if (sprite) {
    slot->owner = sprite;
    FxSetAlpha(slot, FIRE_ALPHA);
    FxSpriteSizes sizes(sprite, sprite->halfWidth, FxW2(slot));
    RdrDrawSpriteStreak(slot);
  }
  if ((TruncI32(FxW1(slot)) & 1) == 0) FxSpawnObjectSmoke(slot->x, slot->y, slot->z, 3.0f, 16.0f);
  FxFree(slot);
}

void FxSpawnExhaustFlames(Vehicle* v) {
  if (!v) return;
  Sprite* fire = FxSprite(FX_SPRITE_FIRE);
  FxAllocPuff(fire, FxStepExhaustFlame, v->exhaustPoint1[0], v->exhaustPoint1[1], v->exhaustPoint1[2]);
  if (v->damageStage < LAST_EXHAUST_STAGE)
    FxAllocPuff(fire, FxStepExhaustFlame, v->exhaustPoint2[0], v->exhaustPoint2[1], v->exhaustPoint2[2]);
}

void FxStepExhaustFlame(DrawSlot* slot, void* owner) {
  if (owner) {
    FxSetAlpha(slot, EXHAUST_ALPHA);
    RdrDrawSpriteTexAlpha(slot);
  }
  FxFree(slot);
}
