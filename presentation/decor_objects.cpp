// The placed track objects: each draw kind's callback, the reflections on the
// ice, the glows that lights, gates and panels add to the screen, and the
// smoke of the burning wrecks.
#include "presentation/decor_objects.h"

#include "backend_common/display.h"
#include "backend_common/draw.h"
#include "engine3d/angle.h"
#include "engine3d/mathutil.h"
#include "engine3d/random.h"
#include "frontend/frontend.h"
#include "presentation/fx.h"
#include "presentation/presentation.h"
#include "race/object_types.h"
#include "race/race.h"
#include "race/track_files.h"

namespace {

constexpr float GLOW_NEAREST = 5.0f;
constexpr uint8_t HIT_KIND_OIL = 5, HIT_KIND_WRECK = 11;
constexpr float SMOKE_RISE = 10.0f, SMOKE_SIZE_DIVISOR = 0.7f, SMOKE_RATE_DIVISOR = 24.0f;
// The light bar's sweep, by (tick counter >> 2) & 3.
constexpr float BOAT_RATE = 10.0f, RIPPLE_START = 10.0f, BOAT_SOUND_DEPTH = 1500.0f;
constexpr int32_t BOAT_PHASE_LOW = 1000, BOAT_PHASE_HIGH = 2000;
constexpr int32_t SOUND_WATER = 18;  // "eau"
constexpr float LIGHT_BAR_SWEEP[4] = {-70.0f, -7.0f, 70.0f, 7.0f};

struct Placed {
  ObjectPlacement* placement;
  const ObjectType* type;
  MeshHeader* mesh;
};

bool Resolve(DrawSlot* slot, void* model, Placed* out) {
  if (!slot || !model || slot->user >= static_cast<uint32_t>(gPlacementCount)) return false;
  ObjectPlacement* p = &gPlacements[slot->user];
  if (p->type >= OBJECT_TYPE_ROWS) return false;
  *out = Placed{p, &gObjectTypes[p->type], static_cast<MeshHeader*>(model)};
  return true;
}

// The type's animation step for this placement, when it has a counter.
void Animate(DrawSlot* slot, const Placed& o) {
  if (o.placement->counterSlot == COUNTER_SLOT_NONE || !o.type->anim || !o.type->anim->step) return;
  o.type->anim->step(slot, o.mesh, 0);
}

void Turn(const Placed& o) { o.mesh->angle[1] = o.placement->yaw; }

void Glow(DrawSlot* slot, const Placed& o) {
  if (o.type->glow) DecorAddObjectGlow(slot, o.mesh, o.type->glow);
}

void Level(const Placed& o) { o.mesh->angle[0] = o.mesh->angle[2] = 0; }

// The mirror image under the ice: the draw with the slot's height negated.
template <typename Draw>
void BelowGround(DrawSlot* slot, MeshHeader* mesh, Draw draw) {
  const float y = slot->y;
  slot->y = -y;
  draw(slot, mesh);
  slot->y = y;
}

}  // namespace

void DecorDrawPlainObject(DrawSlot* slot, void* model) {
  Placed o;
  if (!Resolve(slot, model, &o)) return;
  Animate(slot, o);
  Turn(o);
  RdrDrawObjectYawLit(slot, o.mesh);
  Glow(slot, o);
}

void DecorDrawObjectKind1(DrawSlot* slot, void* model) {
  Placed o;
  if (!Resolve(slot, model, &o)) return;
  Animate(slot, o);
  Turn(o);
  RdrDrawObjectYaw(slot, o.mesh);
  // Drawn again where it stands: the reflection of these types is not mirrored.
  if (gIceReflections && o.placement->counterSlot != COUNTER_SLOT_NONE) {
    Level(o);
    RdrDrawObject(slot, o.mesh);
  }
  Glow(slot, o);
  // Smoke rises in the views of the race; an inset only draws.
  if ((o.type->hitKind == HIT_KIND_OIL || o.type->hitKind == HIT_KIND_WRECK) && (gRace.ticks & 3) == 0 &&
      gRace.tickPassed && !gViewInsetPass)
    FxSpawnObjectSmoke(slot->x, slot->y + SMOKE_RISE, slot->z, SMOKE_SIZE_DIVISOR, SMOKE_RATE_DIVISOR);
}

void DecorDrawNothing(DrawSlot*, void*) {}

void DecorDrawObjectKind3(DrawSlot* slot, void* model) {
  Placed o;
  if (!Resolve(slot, model, &o)) return;
  Animate(slot, o);
  Turn(o);
  RdrDrawObjectYawTwoSided(slot, o.mesh);
  if (gIceReflections && o.placement->counterSlot != COUNTER_SLOT_NONE)
    BelowGround(slot, o.mesh, RdrDrawObjectYawTwoSided);
  Glow(slot, o);
}

void DecorDrawLargeObject(DrawSlot* slot, void* model) {
  Placed o;
  if (!Resolve(slot, model, &o)) return;
  Turn(o);
  RdrDrawObjectYawLitAnyDepth(slot, o.mesh);
  Glow(slot, o);
}

void DecorDrawObjectKind5(DrawSlot* slot, void* model) {
  Placed o;
  if (!Resolve(slot, model, &o)) return;
  Animate(slot, o);
  Turn(o);
  RdrDrawObjectYawTwoSided(slot, o.mesh);
  Glow(slot, o);
}

// The boat rocks between phases 1000 and 2000 (its direction in the counter
// byte, non-zero rising) and spawns a ripple at each turn and now and then.
void DecorDrawBoat(DrawSlot* slot, void* model) {
  Placed o;
  if (!Resolve(slot, model, &o)) return;
  ObjectPlacement* p = o.placement;
  const bool firstView = RaceViewAdvances();
  if (firstView) {
    const float step = gRace.timeStep * BOAT_RATE;
    bool splash = false;
    int32_t phase;
    if (p->counterSlot != 0) {
      phase = TruncI32(static_cast<float>(p->second) + step);
      if (phase > BOAT_PHASE_HIGH) {
        phase = BOAT_PHASE_HIGH;
        p->counterSlot = 0;
        splash = true;
      }
    } else {
      phase = TruncI32(static_cast<float>(p->second) - step);
      if (phase < BOAT_PHASE_LOW) {
        phase = BOAT_PHASE_LOW;
        p->counterSlot = 1;
        splash = true;
      }
    }
    p->second = static_cast<uint16_t>(phase);
    if (splash || ((gRace.ticks & 1) && gRace.tickPassed && (RandNext() & 31) == 0)) {
      DrawSlot* ripple = FxAllocSprite(&gFxSpriteOwner, DecorStepSplash, slot->x, gRace.waterLevel - 0.25f, slot->z);
      if (ripple) FxW1(ripple) = RIPPLE_START;
    }
  }
  o.mesh->angle[0] = 0;
  o.mesh->angle[1] = p->yaw;
  o.mesh->angle[2] = static_cast<uint16_t>((512 + (static_cast<int32_t>(p->second) - 1500) / 20) & ANGLE_MASK);
  RdrDrawObjectLit(slot, o.mesh);
  if (firstView && slot->viewZ < BOAT_SOUND_DEPTH) SfxPlayEffectAt(SOUND_WATER, slot->x, slot->y, slot->z);
}

void DecorDrawObjectKind7(DrawSlot* slot, void* model) {
  Placed o;
  if (!Resolve(slot, model, &o)) return;
  Turn(o);
  RdrDrawObjectYawShaded(slot, o.mesh);
}

void DecorDrawPanel(DrawSlot* slot, void* model) {
  Placed o;
  if (!Resolve(slot, model, &o)) return;
  Turn(o);
  RdrDrawObjectYawTwoSided(slot, o.mesh);
  if (gIceReflections) {
    Level(o);
    RdrDrawObjectTwoSided(slot, o.mesh);
  }
}

void DecorDrawFlag(DrawSlot* slot, void* model) {
  Placed o;
  if (!Resolve(slot, model, &o)) return;
  Animate(slot, o);
  Turn(o);
  RdrDrawObjectYawLit(slot, o.mesh);
  if (gIceReflections) {
    Level(o);
    BelowGround(slot, o.mesh, RdrDrawObject);
  }
  Glow(slot, o);
}

void DecorDrawObjectKind10(DrawSlot* slot, void* model) {
  if (gOptions.detailSetting != 0) return;
  Placed o;
  if (!Resolve(slot, model, &o)) return;
  Turn(o);
  RdrDrawObjectYawTwoSided(slot, o.mesh);
}

void DecorAddObjectGlow(DrawSlot* slot, MeshHeader* mesh, const ObjectGlow* glow) {
  if (!slot || !mesh || !glow) return;
  const float far = gRdrState.farPlane;
  if (slot->viewZ < GLOW_NEAREST || slot->viewZ > far) return;
  const float s = MathSin(mesh->angle[1]), c = MathCos(mesh->angle[1]);
  float gx = glow->x, gy = glow->y, gz = glow->z;
  if (glow->kind == 1) {
    gy += 17.0f;
    gz += 7.0f;
    gx += LIGHT_BAR_SWEEP[(gRace.ticks >> 2) & 3];
  }
  Vertex point{};
  point.x = gx * c - gz * s + slot->x;
  point.y = gy + slot->y;
  point.z = gx * s + gz * c + slot->z;
  RdrProjectVertex(&point);
  if (point.viewZ < GLOW_NEAREST || point.viewZ > far) return;
  if (gFxGlowList.count < 0 || gFxGlowList.count >= FX_GLOW_MAX) return;
  DrawSlot* entry = &gFxGlowList.entries[gFxGlowList.count];
  *entry = DrawSlot{};
  entry->viewX = point.viewX;
  entry->viewY = point.viewY;
  entry->viewZ = point.viewZ;
  entry->user = reinterpret_cast<uintptr_t>(glow);
  if (glow->kind == 1)
    FxAddScreenGlow(entry, (gRace.ticks & 3) * 16);
  else
    FxAddScreenGlowPlain(entry);
}
