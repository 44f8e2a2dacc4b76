// The one work polygon every face passes through on its way to the device,
// its cut against the near or far plane with the projection of the surviving
// corners back to the screen, and the state the face routines share.
#pragma once
#include <cstdint>

#include "backend_common/draw.h"
#include "backend_d3d/d3d_backend.h"
#include "engine3d/mesh.h"

// The device's transformed-and-lit vertex: screen x, y (fractional), depth
// 1 - 1/z, 1/z, diffuse alpha << 24 | red << 16 | green << 8 | blue, a
// specular colour the faces never write, texture coordinates in 0..1.
// While a polygon is clipped, sx, sy and sz hold the view x, y and z.
using RdrVertex = HalTLVertex;
static_assert(sizeof(RdrVertex) == 32, "the device vertex is 32 bytes");

constexpr int32_t RDR_POLY_WORK = 24;
constexpr int32_t RDR_POLY_CLIP = 20;
// XYZRHW | DIFFUSE | SPECULAR | TEX1, as the device names this layout.
constexpr uint32_t RDR_VERTEX_FORMAT = 0x1C4;
// Inside the clip window the device is told not to clip.
constexpr uint32_t RDR_DRAW_INSIDE = HAL_DP_DONOTCLIP | HAL_DP_DONOTUPDATEEXTENTS | HAL_DP_DONOTLIGHT;
constexpr uint32_t RDR_DRAW_CLIPPED = HAL_DP_DONOTUPDATEEXTENTS | HAL_DP_DONOTLIGHT;

struct RdrPoly {
  RdrVertex work[RDR_POLY_WORK];  // during a clip, entry count is entry 0 again
  RdrVertex clip[RDR_POLY_CLIP];
  uint32_t count;  // below 3: nothing is drawn
  // Over the face's projected x, y and view z, before any clip.
  float minX, maxX, minY, maxY, minZ, maxZ;
};
extern RdrPoly gRdrPoly;

// Cut the work list (count corners and the closing copy) against one plane
// into the clip list; count becomes the number of corners kept.
void RdrClipNear();
void RdrClipFar();
// Load the view position of each of the face's vertices into the work list,
// clip, and when 3 or more corners remain project them back into it. The
// caller has filled count and the colour and texture fields.
void RdrClipNearProject(Face* face);
void RdrClipFarProject(Face* face);

// The texture-stage-0 mode last set, 0xFFFF when unknown. The stage is set
// only when a routine needs a different mode.
extern uint16_t gRdrCache;
constexpr uint16_t RDR_MODE_UNKNOWN = 0xFFFF;
// Sets the stage-0 states of mode 0, 1, 2, 3 or 4 unless the cache holds it.
// Mode 3, texture x diffuse alpha plus diffuse colour and texture x diffuse
// alpha, is the software back end's glow combine (texture x iterated alpha
// plus iterated colour, texture alpha x iterated alpha), for the sun and its
// flare.
void RdrCacheStageMode(uint16_t mode);
// The same states, always sent, and the cache set to match.
void RdrSetStageMode(uint16_t mode);

// The phase of the water ripple; only ever advances.
extern float gRdrWave;

// The constant colour of the blend switches (red << 16 | green << 8 | blue),
// which the cell sprites add to their own.
extern uint32_t gRdrConstantColour;
