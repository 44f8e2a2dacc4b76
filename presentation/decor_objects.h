// The draw callbacks of the placed track objects, one per draw kind; the
// slot's user value is the placement's index in gPlacements. Each turns the
// type's shared model to the placement's yaw before it draws; animated types
// are posed first, and on the ice some are drawn again as their reflection.
#pragma once
#include "engine3d/mesh.h"

void DecorDrawPlainObject(DrawSlot* slot, void* model);
void DecorDrawObjectKind1(DrawSlot* slot, void* model);
void DecorDrawNothing(DrawSlot* slot, void* model);
void DecorDrawObjectKind3(DrawSlot* slot, void* model);
void DecorDrawLargeObject(DrawSlot* slot, void* model);
void DecorDrawObjectKind5(DrawSlot* slot, void* model);
void DecorDrawBoat(DrawSlot* slot, void* model);
void DecorDrawObjectKind7(DrawSlot* slot, void* model);
void DecorDrawPanel(DrawSlot* slot, void* model);
void DecorDrawFlag(DrawSlot* slot, void* model);
void DecorDrawObjectKind10(DrawSlot* slot, void* model);

// The glow of a light, gate or panel into the view's screen-glow list, at its
// offset turned by the yaw the model was just drawn with.
struct ObjectGlow;
void DecorAddObjectGlow(DrawSlot* slot, MeshHeader* mesh, const ObjectGlow* glow);
