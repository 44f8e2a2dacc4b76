// Stand-ins for the drawing, frame-buffer and dot-font operations of this
// back end, which come in the next steps: they draw nothing, pictures and
// grabs never load, and no face is on screen. Kept together here so that
// torvaned3d links and runs meanwhile; each moves to its own file as it is built.
#include "backend_common/dotfont.h"
#include "backend_common/draw.h"
#include "backend_common/picture.h"

void DotFontPrintf(int32_t, int32_t, const char*, ...) {}
void DotFontPrintfScaled(int32_t, int32_t, int32_t, int32_t, const char*, ...) {}
uint16_t* LfbLoadScreenImage(const char*) {
  return nullptr;
}
void LfbDrawScreenImage(const uint16_t*) {}
void LfbSaveScreenshot(const char*, int32_t, int32_t) {}
void LfbSaveScreenshotQuarter(const char*, int32_t, int32_t) {}
void LfbGrabScreen(uint16_t*) {}
uint16_t* LfbGrabScreenScaled(int32_t, int32_t) {
  return nullptr;
}
uint16_t* LfbLoadImagePixels(const char*) {
  return nullptr;
}
uint16_t* LfbLoadIndexedImage(const char*) {
  return nullptr;
}
void DotFontDrawChar(int32_t, int32_t, char) {}
void DotFontDrawCharScaled(int32_t, int32_t, int32_t, int32_t, char) {}
void RdrDrawFaceFlat(Face*) {}
void RdrDrawFaceWire(Face*) {}
void RdrDrawFaceGouraud(Face*) {}
void RdrDrawFaceShaded(Face*) {}
void RdrDrawFaceFlatAlpha(Face*) {}
void RdrDrawFaceFlatAlphaRgb(Face*, int32_t, int32_t, int32_t) {}
void RdrDrawFaceVColour(Face*) {}
void RdrDrawFaceFlatAlphaBiased(Face*, float) {}
void RdrDrawFaceVertexColours(Face*, float) {}
void RdrDrawFaceVColourLit(Face*) {}
void RdrDrawFaceVColourOpaque(Face*) {}
void RdrDrawFaceWater(Face*) {}
void RdrDrawFaceTexLit(Face*) {}
void RdrDrawFaceTexLitClamped(Face*) {}
void RdrDrawFaceDecalClamped(Face*) {}
void RdrDrawFaceDecal(Face*) {}
void RdrDrawFaceTexVColour(Face*) {}
void RdrDrawFaceTexVColourUnlit(Face*) {}
void RdrDrawFaceTexShaded(Face*) {}
void RdrDrawFaceTexAlpha(Face*, float) {}
void RdrDrawFaceTexLight(Face*, float) {}
void RdrDrawFaceTexAdd(Face*) {}
void RdrDrawFaceTexRaw(Face*, float, float, float, float) {}
void RdrDrawPoint(const Vertex*) {}
void RdrDrawPointInside(const Vertex*) {}
void RdrAdvanceWave(float, float) {}
void RdrDrawObject(DrawSlot*, MeshHeader*) {}
void RdrDrawObjectTwoSided(DrawSlot*, MeshHeader*) {}
void RdrDrawObjectLit(DrawSlot*, MeshHeader*) {}
void RdrDrawObjectLitTwoSided(DrawSlot*, MeshHeader*) {}
void RdrDrawObjectClamped(DrawSlot*, MeshHeader*) {}
void RdrDrawObjectLitClamped(DrawSlot*, MeshHeader*) {}
void RdrDrawObjectYaw(DrawSlot*, MeshHeader*) {}
void RdrDrawObjectYawLit(DrawSlot*, MeshHeader*) {}
void RdrDrawObjectYawTwoSided(DrawSlot*, MeshHeader*) {}
void RdrDrawObjectYawLitTwoSided(DrawSlot*, MeshHeader*) {}
void RdrDrawObjectYawAnyDepth(DrawSlot*, MeshHeader*) {}
void RdrDrawObjectYawLitAnyDepth(DrawSlot*, MeshHeader*) {}
void RdrDrawObjectYawShaded(DrawSlot*, MeshHeader*) {}
void RdrDrawObjectYawVColour(DrawSlot*, MeshHeader*) {}
void RdrDrawObjectBlended(DrawSlot*, MeshHeader*, uint32_t, float) {}
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
