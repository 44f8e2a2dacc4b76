// Until the placed objects have their own drawing: every kind but the empty
// one draws its model lit, turned to the placement's yaw.
#include "presentation/decor_objects.h"

#include "backend_common/draw.h"
#include "race/track_files.h"

namespace {

void DrawLitAtYaw(DrawSlot* slot, void* model) {
  auto* mesh = static_cast<MeshHeader*>(model);
  if (!slot || !mesh || slot->user >= static_cast<uint32_t>(gPlacementCount)) return;
  mesh->angle[1] = gPlacements[slot->user].yaw;
  RdrDrawObjectYawLit(slot, mesh);
}

}  // namespace

void DecorDrawPlainObject(DrawSlot* slot, void* model) { DrawLitAtYaw(slot, model); }
void DecorDrawObjectKind1(DrawSlot* slot, void* model) { DrawLitAtYaw(slot, model); }
void DecorDrawNothing(DrawSlot*, void*) {}
void DecorDrawObjectKind3(DrawSlot* slot, void* model) { DrawLitAtYaw(slot, model); }
void DecorDrawLargeObject(DrawSlot* slot, void* model) { DrawLitAtYaw(slot, model); }
void DecorDrawObjectKind5(DrawSlot* slot, void* model) { DrawLitAtYaw(slot, model); }
void DecorDrawBoat(DrawSlot* slot, void* model) { DrawLitAtYaw(slot, model); }
void DecorDrawObjectKind7(DrawSlot* slot, void* model) { DrawLitAtYaw(slot, model); }
void DecorDrawPanel(DrawSlot* slot, void* model) { DrawLitAtYaw(slot, model); }
void DecorDrawFlag(DrawSlot* slot, void* model) { DrawLitAtYaw(slot, model); }
void DecorDrawObjectKind10(DrawSlot* slot, void* model) { DrawLitAtYaw(slot, model); }
