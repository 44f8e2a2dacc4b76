// Drawing that both back ends do alike and that code outside a back end never
// calls by itself: the temporary quads of turned sprites and screen-space
// glows, the sun and its lens flare, and the layer planes' grid. Each back end
// draws the results through its own face routines.
#pragma once
#include <cstdint>

#include "engine3d/mesh.h"

// Four corners turned by an angle (Angle10) around the slot's view position,
// as temporary vertices behind the vertex count, and a face over them behind
// the face count (its type word and texture coordinates are the caller's);
// null when the pools have no room. The corners keep the slot's view depth;
// their screen positions come from that depth raised to the near plane.
Face* RdrTurnedQuad(const DrawSlot* slot, float halfWidth, float halfHeight, uint16_t angle);

// The turned square of RdrDrawQuadRotated: a turned quad of the given half
// size on both axes, its texture the slot's kind word's low 24 bits, the
// whole texture (texels 0..255) in the back end's units (TexCoordUnits);
// null when the pools have no room.
Face* RdrRotatedSquare(const DrawSlot* slot, float halfSize, uint16_t angle);

// A screen-space square of half size `half` around (x, y) at the near plane,
// as four temporary vertices behind the vertex count whose view x, y are the
// screen coordinates; `face` (the caller's) gets the texture word and the
// cell from (s, t) to (s + size, t + size). False when the pool has no room.
bool RdrScreenQuad(Face* face, float x, float y, float half, uint32_t texture, float s, float t, float size);

// The sun last drawn, for the flare.
struct RdrSun {
  uint32_t texture;
  int32_t red, green, blue;
  float screenX, screenY;
};
extern RdrSun gRdrSun;
// Records the sun's texture and colour, raises the glow flag, rebuilds the
// view matrix and puts the sun's screen point, against the scene light's
// direction, into gRdrSun; a sun at or behind the near plane is put off
// screen (x = 10000).
void RdrSunProject(uint32_t texture, int32_t red, int32_t green, int32_t blue);

// One element of the lens flare: its place along the flare line in 1/350 of
// the line, its size (in 1/512 of the screen width), the corner of its
// 127 x 127-texel cell in the 256 x 256 sun texture, and its colour (0..255).
struct RdrFlareElement {
  float position, size;
  float s, t;
  float red, green, blue;
};
// Ends at the first element whose position is 0.
extern const RdrFlareElement gRdrFlares[];
// The flare's line, from the sun through the screen centre and half as far
// again beyond it: its start and its length; an element lies at start +
// length x position x RDR_FLARE_STEP. False when the glow flag is down or the
// sun lies more than a screen away from the clip window, where no flare shows.
constexpr float RDR_FLARE_STEP = 0.0028571428f;  // 1/350 of the line
bool RdrFlareLine(float* x, float* y, float* dx, float* dy);
// One flare element centred on a screen point; it fades as it moves sideways
// from the centre. Each back end's own.
void RdrDrawGlowQuad(float x, float y, const RdrFlareElement* element);

// Added to the camera-relative plane origin before the layer's texture
// coordinates are taken; both 0 at the start.
struct RdrStripScroll {
  float x, z;
};
extern RdrStripScroll gRdrStripScroll;
// The vertex's light value from its screen distance to the point: 64 there,
// falling linearly to 0 at 25/32 of the screen width.
void RdrStripVertexFade(Vertex* vertex, float screenX, float screenY);
// The layer plane of RdrDrawGroundStrip (lit: RdrDrawGroundStripAdd, faded
// around the flash's screen point), its texture coordinates in the back
// end's units (TexCoordUnits).
void RdrDrawStripLayer(uint32_t texture, float height, float texelSize, uint8_t absoluteHeight, bool lit,
                       float flashX, float flashY);
