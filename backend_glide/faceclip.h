// The one work polygon every face passes through on its way to the
// accelerator, and the cut of a face against the near or the far plane with
// the projection of its surviving corners back to the screen.
#pragma once
#include <cstdint>

#include "backend_common/draw.h"
#include "backend_glide/glide.h"
#include "engine3d/mesh.h"

constexpr int32_t RDR_POLY_CORNERS = 12;
constexpr int32_t RDR_POLY_CLIP = 10;
// 262140 = 65535 x 4: the depth value reaches the top of the depth buffer at z = 4.
constexpr float RDR_DEPTH_SCALE = 262140.0f;

// While a face is prepared the slots of a corner carry, in turn: the vertex's
// screen x, y with its view z in the ooz slot (gathered); the view x, y, z
// (input of a plane clip); the projected screen x, y with the view z in the
// ooz slot (after the projection); and finally the accelerator's values.
// sow and tow hold the plain s, t until the corner is finished.
struct RdrPoly {
  RdrVertex corner[RDR_POLY_CORNERS];  // during a clip, the entry after the last is corner 0 again
  uint32_t count;                      // below 3: nothing is drawn
  RdrVertex clip[RDR_POLY_CLIP];
  // The face's box from the screen x, y and view z of its vertices, before any clip.
  float minY, minZ, minX, maxX, maxY, maxZ;
};
extern RdrPoly gRdrPoly;

// The polygon's box against the clip window: wholly outside it, wholly inside.
bool RdrPolyOffClip(const RdrPoly& p);
bool RdrPolyInsideClip(const RdrPoly& p);
// The same box also past the near or far plane.
inline bool RdrPolyOffView(const RdrPoly& p) {
  return p.maxZ < gRdrState.nearPlane || p.minZ > gRdrState.farPlane || RdrPolyOffClip(p);
}
// A screen position dropped to the whole pixel, as the corners are drawn.
float RdrWholePixel(float v);

// Cut the corner list (count corners and the closing copy) against one plane
// into the clip list; the count becomes the number of corners kept.
void RdrClipNear();
void RdrClipFar();
// Load the view position of each of the face's vertices into the corners,
// clip, and when 3 or more corners remain project them back into the corner
// list. The caller has filled count and the colour and texture slots.
void RdrClipNearProject(Face* face);
void RdrClipFarProject(Face* face);
