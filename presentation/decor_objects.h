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

// The boat's ripples: a sprite growing from the size it was spawned with,
// drawn as the ripple ring; freed beyond 120.
void DecorStepSplash(DrawSlot* slot, void* owner);

// Knocked objects (DecorKnockObject, presentation.h) and their debris. The
// launched object's slot names its placement; a pennant's names the static
// slot it stands in for; a face shard's owner is its face, its last word the
// model; a resting block's last word is the placement it became.
struct Vehicle;
// The flight everything knocked shares, run in the first view only: along the
// heading, falling and bouncing off the ground (+ floorLift), the pitch
// turning at spinRate; its box floats hold speed, lift, pitch, bounces left,
// spin direction. -> true when its last bounce is over.
bool FxFlyKnocked(DrawSlot* slot, float heading, float spinRate, float floorLift);
void FxStepLaunchedObject(DrawSlot* slot, void* model);
void FxStepSlidingObject(DrawSlot* slot, void* model);
void FxStepKnockedPiece(DrawSlot* slot, void* model);
void DecorShatterFaces(DrawSlot* object, Vehicle* vehicle);
void FxStepFaceShard(DrawSlot* slot, void* face);
// Ten to thirteen pieces of the row's model from the object's box.
void DecorBreakIntoPieces(DrawSlot* object, Vehicle* vehicle, uint16_t pieceRow);
void FxStepObjectShard(DrawSlot* slot, void* model);
// Blocks that come to rest as new placements, entered into the track grid.
void DecorBreakIntoBlocks(DrawSlot* object, Vehicle* vehicle);
void FxStepBlock(DrawSlot* slot, void* model);
