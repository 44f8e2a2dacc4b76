// The pixel loops built with AVX2 (CMake compiles this file with -mavx2 and
// nothing else wider: no FMA, so results equal the baseline loops).
#include "hal/gfx/gfx_internal.h"

#define GFX_SHADE_RUN ShadeRunAvx2
#define GFX_SHADE_TRIANGLE ShadeTriangleAvx2
#include "hal/gfx/shade.inc"
