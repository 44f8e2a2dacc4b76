// What the files of this back end share with one another and with their own
// tests, beside the interface in backend_common: the accelerator's vertex,
// the state cache and the water ripple.
#pragma once
#include <cstdint>

#include "backend_common/display.h"
#include "backend_common/draw.h"
#include "backend_common/draw_common.h"
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

