// Whole objects: a mesh drawn at a draw slot's position. Every member
// transforms and projects the mesh's vertices into the mesh's own vertex
// array, may light them, drops faces turned away from the camera and hands the
// rest to the face routine of their kind. The members differ in the rotation
// (three angles or heading only), the depth gate, the back-face test, the
// light and the face routines; the lit members draw as their unlit partner
// while vertex lighting is off.
#pragma once
#include <cstdint>

#include "engine3d/mesh.h"

// 1 when the slot's view depth lies within the object bounds (near plane -
// 200 .. far plane + 200, both included), else 0.
int32_t RdrObjectInDepthRange(const DrawSlot* slot);

void RdrDrawObject(DrawSlot* slot, MeshHeader* mesh);
void RdrDrawObjectTwoSided(DrawSlot* slot, MeshHeader* mesh);
void RdrDrawObjectLit(DrawSlot* slot, MeshHeader* mesh);
void RdrDrawObjectLitTwoSided(DrawSlot* slot, MeshHeader* mesh);
void RdrDrawObjectClamped(DrawSlot* slot, MeshHeader* mesh);
void RdrDrawObjectLitClamped(DrawSlot* slot, MeshHeader* mesh);
void RdrDrawObjectYaw(DrawSlot* slot, MeshHeader* mesh);
void RdrDrawObjectYawLit(DrawSlot* slot, MeshHeader* mesh);
void RdrDrawObjectYawTwoSided(DrawSlot* slot, MeshHeader* mesh);
void RdrDrawObjectYawLitTwoSided(DrawSlot* slot, MeshHeader* mesh);
void RdrDrawObjectYawAnyDepth(DrawSlot* slot, MeshHeader* mesh);
void RdrDrawObjectYawLitAnyDepth(DrawSlot* slot, MeshHeader* mesh);
void RdrDrawObjectYawShaded(DrawSlot* slot, MeshHeader* mesh);
void RdrDrawObjectYawVColour(DrawSlot* slot, MeshHeader* mesh);
// As the lit member, then a second layer over the textured faces: the overlay
// texture mapped from the turned vertex normals, weighted by the light.
void RdrDrawObjectBlended(DrawSlot* slot, MeshHeader* mesh, uint32_t overlayTexture, float lightFactor);
