// The back end's drawing routines that the 3D library, the race, the
// presentation and the menus call: one routine per kind of face, whole
// objects, camera-facing sprites, the sun glow and lens flare, blend switches,
// lines, the outline test and the layer planes. Every back end defines them
// all under these names.
#pragma once
#include <cstdint>

#include "engine3d/mesh.h"

// The vertices a face may name are read through gMesh.vertices: the world
// pool (its capacity and the reserve behind it) or, while an object is drawn,
// the object's own array, whose length the object routine sets here.
extern int64_t gRdrObjectVertexCount;  // -1: the world pool
// A face the routines can read: 3 or 4 corners, each naming a vertex there.
// Faces built by hand are not trusted; one past the array draws nothing.
bool RdrFaceReadable(const Face* face);

// Each face routine takes a face of the current mesh whose vertices already
// carry their view and screen positions.
void RdrDrawFaceFlat(Face* face);
void RdrDrawFaceWire(Face* face);
void RdrDrawFaceGouraud(Face* face);
void RdrDrawFaceShaded(Face* face);
void RdrDrawFaceFlatAlpha(Face* face);
void RdrDrawFaceFlatAlphaRgb(Face* face, int32_t red, int32_t green, int32_t blue);
void RdrDrawFaceVColour(Face* face);
void RdrDrawFaceFlatAlphaBiased(Face* face, float bias);
void RdrDrawFaceVertexColours(Face* face, float bias);
void RdrDrawFaceVColourLit(Face* face);
void RdrDrawFaceVColourOpaque(Face* face);
void RdrDrawFaceWater(Face* face);
void RdrDrawFaceTexLit(Face* face);
void RdrDrawFaceTexLitClamped(Face* face);
void RdrDrawFaceDecalClamped(Face* face);
void RdrDrawFaceDecal(Face* face);
void RdrDrawFaceTexVColour(Face* face);
void RdrDrawFaceTexVColourUnlit(Face* face);
void RdrDrawFaceTexShaded(Face* face);

// The translucent, light-weighted and additive textured faces.
// One alpha for every corner, texture x alpha.
void RdrDrawFaceTexAlpha(Face* face, float alpha);
// Corner alpha = light x factor / 64; texture, combine and alpha source are
// the caller's. A face whose corners all come to 0 is not drawn.
void RdrDrawFaceTexLight(Face* face, float factor);
// Corner colour = light x light colour / 64, added to the texture.
void RdrDrawFaceTexAdd(Face* face);
// Corner colour and alpha as given; the texture is the face's whole type word
// (callers store a bare texture id there). Combine and alpha source are the
// caller's. Alpha above 255 is handed over as it is: the accelerator clamps
// iterated colour and alpha to 0..255 and depth to 0..65535.
void RdrDrawFaceTexRaw(Face* face, float red, float green, float blue, float alpha);

// One opaque point in the vertex's colour, when its screen position lies in
// the clip window (edges included) and its depth between the planes.
void RdrDrawPoint(const Vertex* v);
// The same, but a point on the clip window's edge is not drawn.
void RdrDrawPointInside(const Vertex* v);

// Moves the water ripple on by 2 x step; the second value has no effect.
void RdrAdvanceWave(float step, float second);

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

// The vertex's view position from its world position and the camera, and its
// screen position from a view depth raised to the near plane. The stored view
// z is the true one, small or negative as it may be.
void RdrProjectVertex(Vertex* vertex);

// Every sprite routine takes a draw slot whose owner is a Sprite. Bits 8-23
// of the slot's kind word are the sprite's alpha (0..255) where the routine
// draws with vertex alpha. The sprite's texture is the low 8 bits of its type
// word, except in RdrDrawQuadRotated, which takes the slot's low 24 bits.
//
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

// Draws the sun glow at the screen point of the light source, records the sun
// for the flare and raises the glow flag. A sun at or behind the near plane is
// put off screen (x = 10000).
void RdrDrawViewQuad(uint32_t texture, int32_t red, int32_t green, int32_t blue);
// The lens flare of the sun last drawn, when the glow flag is up.
void RdrDrawAdditiveGlows();

// Additive blending with the given alpha source and constant colour, until
// RdrSetNormalBlend.
void RdrSetAdditiveBlend(int32_t red, int32_t green, int32_t blue, int32_t source);
void RdrSetNormalBlend();

// An opaque line in one colour (red in the low byte) between two projected
// vertices; nothing when either end lies outside the depth range.
void RdrDrawLine(const Vertex* a, const Vertex* b, uint32_t colour);

// Whether some part of the outline of four consecutive vertices, seen from
// above (view x, view z), lies in the rectangle minX..maxX, minZ..maxZ, edges
// included. The clipper's limits are put back on every path.
bool RdrOutlineOnScreen(const Vertex* vertices, float minX, float minZ, float maxX, float maxZ);

// Layer planes: a textured 4 x 4 grid of quads in a horizontal plane around
// the camera (the sky layer, and the lightning layer lit around the flash's
// screen point). The layer lies at camera height + height (flag 0) or at the
// given height (flag not 0), `texelSize` world units a texel, drawn without
// depth and with the far plane raised by the height (at least 200) for the
// time of the drawing.
void RdrDrawGroundStrip(uint32_t texture, float height, float texelSize, uint8_t absoluteHeight);
// The same layer added in the light colour, bright at the screen point and
// dark from 25/32 of the screen width away.
void RdrDrawGroundStripAdd(uint32_t texture, float height, float texelSize, uint8_t absoluteHeight, float screenX,
                           float screenY);
// Moves the layer planes' texture by the steps (gRdrStripScroll); nothing
// in the game calls it. The software back end's name, and the OpenGL back
// end's.
void RdrScrollGroundStrip(float xStep, float zStep);
void RdrAdvanceStripScroll(float du, float dv);

// Whether the face, clipped at the near or far plane and projected, is on
// screen with the point within its screen bounds (edges included). The work
// polygon keeps the projected face.
bool RdrClipProjectFace(Face* face, int32_t screenX, int32_t screenY);

