// The three effect pools and their allocators.
#include "engine3d/camera.h"
#include "frontend/frontend.h"
#include "presentation/fx.h"
#include "presentation/presentation.h"

DrawSlot gFxSpritePool[FX_SPRITE_POOL];
DrawSlot gFxPuffPool[FX_PUFF_POOL];
DrawSlot gFxPiecePool[FX_PIECE_POOL];
uint32_t gFxSpriteOwner = 0x04000000u;
uint32_t gFxDropOwner = 0x01000000u;
int32_t gTyreMarkNext;

namespace {

constexpr uint32_t SPRITE_TYPE_WORD = 0x04000000u;

DrawSlot* Alloc(DrawSlot* pool, int32_t n, void* owner, DrawCallback step, float x, float y, float z) {
  for (int32_t i = 0; i < n; ++i) {
    DrawSlot& s = pool[i];
    if (s.visible != FX_KIND_FREE) continue;
    s.kind = SPRITE_TYPE_WORD;
    s.visible = FX_KIND_PLAIN;
    s.inUse = 1;
    s.owner = owner;
    s.callback = step;
    s.x = x;
    s.y = y;
    s.z = z;
    s.boxMinX = s.boxMinY = s.boxMinZ = s.boxMaxX = s.boxMaxY = s.boxMaxZ = 0.0f;
    s.user = 0;
    return &s;
  }
  return nullptr;
}

}  // namespace

bool FxEffectsOn() { return gOptions.detail[3] != 0; }

DrawSlot* FxAllocSprite(void* owner, DrawCallback step, float x, float y, float z) {
  if (!FxEffectsOn()) return nullptr;
  return Alloc(gFxSpritePool, FX_SPRITE_POOL, owner, step, x, y, z);
}

DrawSlot* FxAllocPuff(void* owner, DrawCallback step, float x, float y, float z) {
  if (!FxEffectsOn()) return nullptr;
  return Alloc(gFxPuffPool, FX_PUFF_POOL, owner, step, x, y, z);
}

// Drops go in whatever the option says: they wait, unseen, until it is on.
DrawSlot* FxAllocPiece(void* owner, DrawCallback step, float x, float y, float z) {
  return Alloc(gFxPiecePool, FX_PIECE_POOL, owner, step, x, y, z);
}

void FxViewPosition(DrawSlot* slot) {
  const float dx = slot->x - gCamera.x, dy = slot->y - gCamera.y, dz = slot->z - gCamera.z;
  const float* v = gCamera.view;
  slot->viewX = v[0] * dx + v[1] * dy + v[2] * dz;
  slot->viewY = v[3] * dx + v[4] * dy + v[5] * dz;
  slot->viewZ = v[6] * dx + v[7] * dy + v[8] * dz;
}
