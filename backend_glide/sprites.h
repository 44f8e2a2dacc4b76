// Camera-facing sprites: billboards of the sprite records in the draw lists,
// upright streaks, rotated quads and crossed two-quad sprites; the projection
// of one world point onto the screen; and the two alpha-state switches that
// callers put around their translucent drawing.
//
// Every sprite routine takes a draw slot whose owner is a Sprite. Bits 8-23
// of the slot's kind word are the sprite's alpha (0..255) where the routine
// draws with vertex alpha. The sprite's texture is the low 8 bits of its type
// word (the sprite loader refuses a texture whose id would not fit), except in
// RdrDrawQuadRotated, which takes the slot's low 24 bits.
#pragma once
#include <cstdint>

#include "engine3d/mesh.h"

// The vertex's view position from its world position and the camera, and its
// screen position from a view depth raised to the near plane. The stored view
// z is the true one, small or negative as it may be.
void RdrProjectVertex(Vertex* vertex);

// Billboards: the screen rectangle of the sprite's half extents at the slot's
// view position, drawn straight through the work polygon. A slot at view
// depth zero or behind the camera is not drawn; one between the camera and
// the near plane is.
void RdrDrawSprite(DrawSlot* slot);
// With the slot's alpha, alpha source texture x iterated during the draw.
void RdrDrawSpriteAlpha(DrawSlot* slot);
// With the slot's alpha, alpha source as the caller left it.
void RdrDrawSpriteTexAlpha(DrawSlot* slot);
// With the slot's alpha and the given colour added; the depth buffer sees the
// particle 4 units nearer (but never nearer than depth 1).
void RdrDrawSpriteCell(DrawSlot* slot, int32_t red, int32_t green, int32_t blue);
// A quad standing upright on the screen from the slot's world position up to
// twice the sprite's half height; nothing when either end is nearer than 1.
void RdrDrawSpriteStreak(DrawSlot* slot);
// The billboard turned by an angle (Angle10) through the face pipeline.
void RdrDrawSpriteRotated(DrawSlot* slot, int32_t red, int32_t green, int32_t blue, uint16_t angle);
// A turned square of the given half size with the whole texture.
void RdrDrawQuadRotated(DrawSlot* slot, int32_t red, int32_t green, int32_t blue, float alpha, float halfSize,
                        uint16_t angle);
// Two vertical quads crossing at the slot's world position, shaded by the
// light of the current mesh's vertex named in bits 8-23 of the slot's kind
// word (the ambient level when no such vertex exists).
void RdrDrawCross(DrawSlot* slot);

// Alpha source and constant colour for translucent drawing (red in the low byte).
void RdrSetAlphaSourceColour(int32_t red, int32_t green, int32_t blue, int32_t source);
// Alpha source back to texture alpha.
void RdrResetAlphaSource();
