// Layer planes: a textured 4 x 4 grid of quads in a horizontal plane around
// the camera (the sky layer, and the lightning layer lit around the flash's
// screen point), and the test whether a screen point falls within a face's
// projected bounds.
#pragma once
#include <cstdint>

#include "engine3d/mesh.h"

// Added to the camera-relative plane origin before the layer's texture
// coordinates are taken; both 0 at the start.
struct RdrStripScroll {
  float x, z;
};
extern RdrStripScroll gRdrStripScroll;

// The layer at camera height + height (flag 0) or at the given height (flag
// not 0), `texelSize` world units a texel, drawn without depth and with the
// far plane raised by the height (at least 200) for the time of the drawing.
void RdrDrawGroundStrip(uint32_t texture, float height, float texelSize, uint8_t absoluteHeight);
// The same layer added in the light colour, bright at the screen point and
// dark from 25/32 of the screen width away.
void RdrDrawGroundStripAdd(uint32_t texture, float height, float texelSize, uint8_t absoluteHeight, float screenX,
                           float screenY);
// The vertex's light value from its screen distance to the point: 64 there,
// falling linearly to 0 at 25/32 of the screen width.
void RdrStripVertexFade(Vertex* vertex, float screenX, float screenY);
void RdrScrollGroundStrip(float xStep, float zStep);

// Whether the face, clipped at the near or far plane and projected, is on
// screen with the point within its screen bounds (edges included). The work
// polygon keeps the projected face.
bool RdrClipProjectFace(Face* face, int32_t screenX, int32_t screenY);
