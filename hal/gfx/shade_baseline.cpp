// The pixel loops for every x86-64 processor.
#include "hal/gfx/gfx_internal.h"

#define GFX_SHADE_RUN ShadeRunBaseline
#include "hal/gfx/shade.inc"
