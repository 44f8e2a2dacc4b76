// What the files of this back end share with one another and with their own
// tests, beside the interface in backend_common: the accelerator's vertex,
// the state cache, the water ripple, the sun and flare and the layer scroll.
#pragma once
#include <cstdint>

#include "backend_common/display.h"
#include "backend_common/draw.h"
#include "backend_common/texture.h"
#include "engine3d/mesh.h"
#include "hal/gfx/gfx.h"

static_assert(RDR_RES_320x200 == uint32_t{GFX_RES_320x200} && RDR_RES_512x384 == uint32_t{GFX_RES_512x384} &&
                  RDR_RES_640x480 == uint32_t{GFX_RES_640x480} && RDR_RES_800x600 == uint32_t{GFX_RES_800x600} &&
                  RDR_RES_1024x768 == uint32_t{GFX_RES_1024x768},
              "the display-mode table stores the accelerator's resolution codes");
static_assert(TEX_FMT_RGB_565 == int32_t{GFX_TEXFMT_RGB_565} && TEX_FMT_ARGB_1555 == int32_t{GFX_TEXFMT_ARGB_1555} &&
                  TEX_FMT_ARGB_4444 == int32_t{GFX_TEXFMT_ARGB_4444},
              "texture files store the accelerator's format codes");

// The back end's screen vertex.
using RdrVertex = GfxVertex;

// The texture and colour-combine mode last handed to the accelerator, -1 when
// unknown, so draw routines only change them when they differ.
struct RdrCache {
  int32_t texture;
  int32_t combine;
};
extern RdrCache gRdrCache;
// Sets the colour combine unless the cache says it is already in force.
void RdrCacheColorCombine(int32_t combine);
// Binds a texture unless the cache says it is already bound.
void RdrCacheTexSource(int32_t texture);

// The phase of the water ripple; only ever advances.
extern float gRdrWave;

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
// One flare element centred on a screen point; it fades as it moves sideways
// from the centre. Alpha above 255 is handed over as it is (the accelerator
// clamps it).
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
