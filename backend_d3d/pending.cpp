// Stand-ins for the operations of this back end still to come (objects,
// sprites, special draws, the dot font): they draw nothing. Kept together here so that
// torvaned3d links and runs meanwhile; each moves to its own file as it is built.
#include "backend_common/dotfont.h"
#include "backend_common/draw.h"

void DotFontPrintf(int32_t, int32_t, const char*, ...) {}
void DotFontPrintfScaled(int32_t, int32_t, int32_t, int32_t, const char*, ...) {}
void DotFontDrawChar(int32_t, int32_t, char) {}
void DotFontDrawCharScaled(int32_t, int32_t, int32_t, int32_t, char) {}
void RdrDrawFaceFlatAlphaRgb(Face*, int32_t, int32_t, int32_t) {}
void RdrDrawFaceVColourLit(Face*) {}
void RdrDrawFaceVColourOpaque(Face*) {}
void RdrDrawFaceTexLitClamped(Face*) {}
void RdrDrawFaceDecalClamped(Face*) {}
void RdrDrawFaceTexAlpha(Face*, float) {}
void RdrDrawFaceTexLight(Face*, float) {}
void RdrDrawFaceTexAdd(Face*) {}
void RdrDrawFaceTexRaw(Face*, float, float, float, float) {}
void RdrDrawObjectClamped(DrawSlot*, MeshHeader*) {}
void RdrDrawObjectLitClamped(DrawSlot*, MeshHeader*) {}
void RdrDrawObjectYawLitTwoSided(DrawSlot*, MeshHeader*) {}
void RdrDrawSprite(DrawSlot*) {}
void RdrDrawSpriteAlpha(DrawSlot*) {}
void RdrDrawSpriteTexAlpha(DrawSlot*) {}
void RdrDrawSpriteCell(DrawSlot*, int32_t, int32_t, int32_t) {}
void RdrDrawSpriteStreak(DrawSlot*) {}
void RdrDrawSpriteRotated(DrawSlot*, int32_t, int32_t, int32_t, uint16_t) {}
void RdrDrawQuadRotated(DrawSlot*, int32_t, int32_t, int32_t, float, float, uint16_t) {}
void RdrDrawCross(DrawSlot*) {}
void RdrSetAlphaSourceColour(int32_t, int32_t, int32_t, int32_t) {}
void RdrResetAlphaSource() {}
void RdrDrawViewQuad(uint32_t, int32_t, int32_t, int32_t) {}
void RdrDrawAdditiveGlows() {}
void RdrSetAdditiveBlend(int32_t, int32_t, int32_t, int32_t) {}
void RdrSetNormalBlend() {}
void RdrDrawLine(const Vertex*, const Vertex*, uint32_t) {}
void RdrDrawGroundStrip(uint32_t, float, float, uint8_t) {}
void RdrDrawGroundStripAdd(uint32_t, float, float, uint8_t, float, float) {}
void RdrScrollGroundStrip(float, float) {}
bool RdrClipProjectFace(Face*, int32_t, int32_t) {
  return false;
}
