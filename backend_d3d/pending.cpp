// Operations the game may call that this back end does not draw yet (the
// scaled dot font, the software back end's extra face and object routines,
// the turned quad and the cross): they draw nothing, so torvaned3d links.
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
