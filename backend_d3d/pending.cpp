// Stand-ins for the operations of this back end still to come (objects,
// sprites, special draws, the dot font): they draw nothing. Kept together here so that
// torvaned3d links and runs meanwhile; each moves to its own file as it is built.
#include "backend_common/dotfont.h"
#include "backend_common/draw.h"

void DotFontPrintfScaled(int32_t, int32_t, int32_t, int32_t, const char*, ...) {}
void DotFontDrawCharScaled(int32_t, int32_t, int32_t, int32_t, char) {}
void RdrDrawFaceFlatAlphaRgb(Face*, int32_t, int32_t, int32_t) {}
void RdrDrawFaceVColourLit(Face*) {}
void RdrDrawFaceVColourOpaque(Face*) {}
void RdrDrawFaceTexLitClamped(Face*) {}
void RdrDrawFaceDecalClamped(Face*) {}
void RdrDrawObjectClamped(DrawSlot*, MeshHeader*) {}
void RdrDrawObjectLitClamped(DrawSlot*, MeshHeader*) {}
void RdrDrawObjectYawLitTwoSided(DrawSlot*, MeshHeader*) {}
void RdrDrawQuadRotated(DrawSlot*, int32_t, int32_t, int32_t, float, float, uint16_t) {}
void RdrDrawCross(DrawSlot*) {}
