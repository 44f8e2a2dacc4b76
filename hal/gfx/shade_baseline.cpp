// The pixel loops for every x86-64 processor.
#include "hal/gfx/gfx_internal.h"

#define GFX_SHADE_RUN ShadeRunBaseline
#define GFX_SHADE_TRIANGLE ShadeTriangleBaseline
#include "hal/gfx/shade.inc"
