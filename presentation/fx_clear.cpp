// The race loader empties the effect pools.
#include "presentation/fx.h"
#include "presentation/presentation.h"

void FxClearPools() {
  for (DrawSlot& s : gFxSpritePool) s.visible = FX_KIND_FREE;
  for (DrawSlot& s : gFxPuffPool) s.visible = FX_KIND_FREE;
  for (DrawSlot& s : gFxPiecePool) s.visible = FX_KIND_FREE;
}
