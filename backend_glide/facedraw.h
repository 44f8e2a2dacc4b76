// One draw routine per kind of face. Each takes a face of the current mesh
// whose vertices already carry their view and screen positions, and runs the
// same pipeline: gather the corners into the work polygon, reject a face that
// lies wholly outside, clip one that crosses the near or far plane, finish the
// accelerator's vertices, set the state through the cache and draw with the
// plain call, or the clipping one when the face leaves the clip window. The
// routines differ in how they colour the corners, the state they set, and
// three small twists: depth bias, depth clamp and the water ripple.
#pragma once
#include <cstdint>

#include "backend_glide/display.h"
#include "engine3d/mesh.h"

// The phase of the water ripple; only ever advances.
extern float gRdrWave;

// Binds a texture unless the cache says it is already bound.
void RdrCacheTexSource(int32_t texture);

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
