// Screen-space effects and the state switches around them: the sun glow at
// the light source's screen point, the lens flare strung from it through the
// screen centre, additive blending on and off, the opaque line, and the test
// whether a four-corner outline seen from above overlaps a ground rectangle.
#pragma once
#include <cstdint>

#include "backend_glide/facedraw.h"
#include "engine3d/mesh.h"

// The sun last drawn, for the flare.
struct RdrSun {
  uint32_t texture;
  int32_t red, green, blue;
  float screenX, screenY;
};
extern RdrSun gRdrSun;

// One element of the lens flare: its place along the flare line in 1/350 of
// the line, its size (in 1/512 of the screen width), the corner of its
// 127 x 127-texel cell in the sun texture, and its colour (0..255).
struct RdrFlareElement {
  float position, size;
  float s, t;
  float red, green, blue;
};
// Ends at the first element whose position is 0.
extern const RdrFlareElement gRdrFlares[];

// Draws the sun glow at the screen point of the light source, records the sun
// for the flare and raises the glow flag. A sun at or behind the near plane is
// put off screen (x = 10000).
void RdrDrawViewQuad(uint32_t texture, int32_t red, int32_t green, int32_t blue);
// The lens flare of the sun last drawn, when the glow flag is up.
void RdrDrawAdditiveGlows();
// One flare element centred on a screen point; it fades as it moves sideways
// from the centre. Alpha above 255 is handed over as it is (the accelerator
// clamps it).
void RdrDrawGlowQuad(float x, float y, const RdrFlareElement* element);

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
