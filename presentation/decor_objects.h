// The draw callbacks of the placed track objects, one per draw kind; the
// slot's user value is the placement's index in gPlacements.
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
