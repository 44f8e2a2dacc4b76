// The null back end: the whole back-end interface, drawing nothing. Every
// operation records its call, so tests of the scene passes, loaders and
// fuzz targets can link it where pixels do not matter. The display opens as
// the software back end's does for everything above the accelerator (pools,
// tables, camera, render state); textures load as fixed-size records without
// reading a file, and pictures never load.
#include "support/null_backend.h"

#include <cstring>

#include "backend_common/display.h"
#include "backend_common/dotfont.h"
#include "backend_common/drum_glyph.h"
#include "backend_common/draw.h"
#include "backend_common/picture.h"
#include "backend_common/texture.h"
#include "engine3d/angle.h"
#include "engine3d/camera.h"
#include "engine3d/grid.h"
#include "engine3d/mesh.h"
#include "engine3d/model3ds.h"
#include "engine3d/terrain.h"
#include "platform/mem.h"

std::vector<std::string> gNullCalls;
void (*gNullRecord)(const std::string& call) = [](const std::string& call) { gNullCalls.push_back(call); };
bool (*gNullTextureMissing)(const char* path) = [](const char*) { return false; };
bool (*gNullDownloadRefused)(const char* key) = [](const char*) { return false; };

namespace {

void Record(const char* routine) { gNullRecord(routine); }
// Face routines are told apart by the face's tag.
void Record(const char* routine, const Face* face) {
  gNullRecord(std::string(routine) + ":" + std::to_string(face ? face->tag : -1));
}

void OpenMode(const DisplayMode* mode) {
  static const int32_t SIZES[][3] = {{RDR_RES_320x200, 320, 200}, {RDR_RES_512x384, 512, 384},
                                     {RDR_RES_640x480, 640, 480}, {RDR_RES_800x600, 800, 600},
                                     {RDR_RES_1024x768, 1024, 768}};
  for (const auto& size : SIZES)
    if (static_cast<uint32_t>(size[0]) == mode->resolutionCode) {
      gRdrState.screenWidth = size[1];
      gRdrState.screenHeight = size[2];
    }
  gRdrState.windowOpen = 1;
  RdrStateFromMode(mode);
  gRdrState.colourKeyR = gRdrState.colourKeyG = gRdrState.colourKeyB = -1;
  gRdrState.glow = 0;
  gRdrState.colouredLight = 0;
}

}  // namespace

bool RdrOpen(DisplayMode* mode, uint32_t) {
  Record("RdrOpen");
  MemPoolInit();
  LightSetColour(255, 255, 255);
  gMesh = MeshPools{};
  TerrainForget();
  gDrawLists = DrawLists{};
  gTextureTable.count = 0;
  gTextureTable.texelBytes = 0;
  OpenMode(mode);
  MathBuildTables();
  gCamera.x = gCamera.y = gCamera.z = 0.0f;
  gCamera.heading = 0;
  gRdrState.vertexLighting = 1;
  return true;
}

bool RdrSetMode(DisplayMode* mode, uint32_t) {
  Record("RdrSetMode");
  OpenMode(mode);
  return true;
}

void RdrClose() {
  Record("RdrClose");
  RdrFreeLibrary();
  gRdrState.windowOpen = 0;
}

int32_t TexMemSizeKb() { return 4096; }
bool RdrModeFits(uint32_t code) { return code == RDR_RES_640x480; }

// Every texture is a 256 x 64 record with no texels, numbered in load order.
TextureRecord* TexLoad(const char* path) {
  Record("TexLoad");
  if (gNullTextureMissing(path)) return nullptr;
  auto* record = static_cast<TextureRecord*>(MemAlloc(sizeof(TextureRecord)));
  if (!record) return nullptr;
  std::memset(record, 0, sizeof *record);
  std::memcpy(record->key, TexKeyFromPath(path), TEX_KEY_SIZE);
  std::memcpy(record->path, TexPathSetExt(path, ".3DF"), TEX_PATH_SIZE);
  record->sRange = 256;
  record->tRange = 64;
  record->handle = gTextureTable.count;
  return record;
}
TextureRecord* TexLoadUnfiltered(const char* path) { return TexLoad(path); }
TextureRecord* TexLoadPacked(const char* path) { return TexLoad(path); }

int32_t TexDownload(TextureRecord* record) {
  Record("TexDownload");
  if (!record || gTextureTable.count >= TEX_TABLE_SIZE || gNullDownloadRefused(record->key)) return -1;
  TextureTableEntry& entry = gTextureTable.entries[gTextureTable.count++];
  std::memset(&entry, 0, sizeof entry);
  std::memcpy(entry.path, record->path, TEX_PATH_SIZE);
  std::memcpy(entry.key, record->key, TEX_KEY_SIZE);
  entry.handle = static_cast<uint32_t>(record->handle);
  entry.sRange = record->sRange;
  entry.tRange = record->tRange;
  entry.keyRed = static_cast<uint16_t>(gRdrState.colourKeyR);
  entry.keyGreen = static_cast<uint16_t>(gRdrState.colourKeyG);
  entry.keyBlue = static_cast<uint16_t>(gRdrState.colourKeyB);
  return record->handle;
}

void TexFree(TextureRecord* record) {
  if (record) MemFree(record);
}

void TexMemReset() {
  Record("TexMemReset");
  gTextureTable.count = 0;
  gTextureTable.texelBytes = 0;
}

void TexReloadAll() { Record("TexReloadAll"); }
void* TexLock(void* texels) { return texels; }
void DotFontPrintf(int32_t, int32_t, const char*, ...) { Record("DotFontPrintf"); }
void DotFontPrintfScaled(int32_t, int32_t, int32_t, int32_t, const char*, ...) { Record("DotFontPrintfScaled"); }

void RdrLoadConfig() { Record("RdrLoadConfig"); }
void RdrDepthOff() { Record("RdrDepthOff"); }
void RdrDepthOn() { Record("RdrDepthOn"); }
void RdrDepthWriteOff() { Record("RdrDepthWriteOff"); }
void RdrDepthWriteOn() { Record("RdrDepthWriteOn"); }
void RdrSetClipWindow(int32_t, int32_t, int32_t, int32_t) { Record("RdrSetClipWindow"); }
void RdrSetClipWindowOnly(int32_t, int32_t, int32_t, int32_t) { Record("RdrSetClipWindowOnly"); }
void RdrClear(int32_t, int32_t, int32_t) { Record("RdrClear"); }
void RdrSetFog(int32_t, int32_t, int32_t, float, float) { Record("RdrSetFog"); }
void RdrFogOn() { Record("RdrFogOn"); }
void RdrFogOff() { Record("RdrFogOff"); }
void RdrSwapBuffers() { Record("RdrSwapBuffers"); }
void RdrBlankBuffers() { Record("RdrBlankBuffers"); }
void RdrBeginScene() { Record("RdrBeginScene"); }
void RdrEndScene() { Record("RdrEndScene"); }
void RdrFilterPoint() { Record("RdrFilterPoint"); }
void RdrFilterBilinear() { Record("RdrFilterBilinear"); }
void RdrSetTextureDecal() { Record("RdrSetTextureDecal"); }
void TexFixupTexels(TextureRecord*) { Record("TexFixupTexels"); }
void TexDownloadTexels(int32_t, const uint16_t*) { Record("TexDownloadTexels"); }
void TexUnlock(void*) { Record("TexUnlock"); }
void TexNormalizeFaceCoords(TextureTable*) { Record("TexNormalizeFaceCoords"); }
void MeshFaceTexCoords(Face* face, const Vertex* vertices, const TextureTableEntry* texture) {
  MeshScaleFaceTexCoords(face, vertices, texture);
}
void TexCoordUnits(uint32_t, float* sUnit, float* tUnit) {
  *sUnit = 1.0f;
  *tUnit = 1.0f;
}
uint8_t RdrHasAlphaTest() { return 0; }
// In texels, as the software accelerator's.
void MenuDrumMapGlyph(MeshHeader* ring, int32_t position, int32_t font0, int32_t font1) {
  Record("MenuDrumMapGlyph");
  DrumMapGlyphFaces(ring, position, font0, font1, DrumTexelsInTexels);
}
uint16_t* LfbLoadScreenImage(const char*) {
  Record("LfbLoadScreenImage");
  return nullptr;
}
void LfbDrawScreenImage(const uint16_t*) { Record("LfbDrawScreenImage"); }
void LfbSaveScreenshot(const char*, int32_t, int32_t) { Record("LfbSaveScreenshot"); }
void LfbSaveScreenshotQuarter(const char*, int32_t, int32_t) { Record("LfbSaveScreenshotQuarter"); }
void LfbGrabScreen(uint16_t*) { Record("LfbGrabScreen"); }
void LfbClearWorkSurface() { Record("LfbClearWorkSurface"); }
uint16_t* LfbGrabScreenScaled(int32_t, int32_t) {
  Record("LfbGrabScreenScaled");
  return nullptr;
}
uint16_t* LfbLoadImagePixels(const char*) {
  Record("LfbLoadImagePixels");
  return nullptr;
}
uint16_t* LfbLoadIndexedImage(const char*) {
  Record("LfbLoadIndexedImage");
  return nullptr;
}
uint16_t* LfbLoadScreenImageUnscaled(const char*) {
  Record("LfbLoadScreenImageUnscaled");
  return nullptr;
}
uint16_t* LfbLoadPalettedImage(const char*) {
  Record("LfbLoadPalettedImage");
  return nullptr;
}
void DotFontDrawChar(int32_t, int32_t, char) { Record("DotFontDrawChar"); }
void DotFontDrawCharScaled(int32_t, int32_t, int32_t, int32_t, char) { Record("DotFontDrawCharScaled"); }
void RdrDrawFaceFlat(Face* face) { Record("Flat", face); }
void RdrDrawFaceWire(Face* face) { Record("Wire", face); }
void RdrDrawFaceGouraud(Face* face) { Record("Gouraud", face); }
void RdrDrawFaceShaded(Face* face) { Record("Shaded", face); }
void RdrDrawFaceFlatAlpha(Face* face) { Record("FlatAlpha", face); }
void RdrDrawFaceFlatAlphaRgb(Face* face, int32_t, int32_t, int32_t) { Record("FlatAlphaRgb", face); }
void RdrDrawFaceVColour(Face* face) { Record("VColour", face); }
void RdrDrawFaceFlatAlphaBiased(Face* face, float) { Record("FlatAlphaBiased", face); }
void RdrDrawFaceVertexColours(Face* face, float) { Record("VertexColours", face); }
void RdrDrawFaceVColourLit(Face* face) { Record("VColourLit", face); }
void RdrDrawFaceVColourOpaque(Face* face) { Record("VColourOpaque", face); }
void RdrDrawFaceWater(Face* face) { Record("Water", face); }
void RdrDrawFaceTexLit(Face* face) { Record("TexLit", face); }
void RdrDrawFaceTexLitClamped(Face* face) { Record("TexLitClamped", face); }
void RdrDrawFaceDecalClamped(Face* face) { Record("DecalClamped", face); }
void RdrDrawFaceDecal(Face* face) { Record("Decal", face); }
void RdrDrawFaceTexVColour(Face* face) { Record("TexVColour", face); }
void RdrDrawFaceTexVColourUnlit(Face* face) { Record("TexVColourUnlit", face); }
void RdrDrawFaceTexShaded(Face* face) { Record("TexShaded", face); }
void RdrDrawFaceTexAlpha(Face* face, float) { Record("TexAlpha", face); }
void RdrDrawFaceTexLight(Face* face, float) { Record("TexLight", face); }
void RdrDrawFaceTexAdd(Face* face) { Record("TexAdd", face); }
void RdrDrawFaceTexRaw(Face* face, float, float, float, float) { Record("TexRaw", face); }
void RdrDrawPoint(const Vertex*) { Record("RdrDrawPoint"); }
void RdrDrawPointInside(const Vertex*) { Record("RdrDrawPointInside"); }
void RdrAdvanceWave(float, float) { Record("RdrAdvanceWave"); }
void RdrDrawObject(DrawSlot*, MeshHeader*) { Record("RdrDrawObject"); }
void RdrDrawObjectTwoSided(DrawSlot*, MeshHeader*) { Record("RdrDrawObjectTwoSided"); }
void RdrDrawObjectLit(DrawSlot*, MeshHeader*) { Record("RdrDrawObjectLit"); }
void RdrDrawObjectLitTwoSided(DrawSlot*, MeshHeader*) { Record("RdrDrawObjectLitTwoSided"); }
void RdrDrawObjectClamped(DrawSlot*, MeshHeader*) { Record("RdrDrawObjectClamped"); }
void RdrDrawObjectLitClamped(DrawSlot*, MeshHeader*) { Record("RdrDrawObjectLitClamped"); }
void RdrDrawObjectYaw(DrawSlot*, MeshHeader*) { Record("RdrDrawObjectYaw"); }
void RdrDrawObjectYawLit(DrawSlot*, MeshHeader*) { Record("RdrDrawObjectYawLit"); }
void RdrDrawObjectYawTwoSided(DrawSlot*, MeshHeader*) { Record("RdrDrawObjectYawTwoSided"); }
void RdrDrawObjectYawLitTwoSided(DrawSlot*, MeshHeader*) { Record("RdrDrawObjectYawLitTwoSided"); }
void RdrDrawObjectYawAnyDepth(DrawSlot*, MeshHeader*) { Record("RdrDrawObjectYawAnyDepth"); }
void RdrDrawObjectYawLitAnyDepth(DrawSlot*, MeshHeader*) { Record("RdrDrawObjectYawLitAnyDepth"); }
void RdrDrawObjectYawShaded(DrawSlot*, MeshHeader*) { Record("RdrDrawObjectYawShaded"); }
void RdrDrawObjectYawVColour(DrawSlot*, MeshHeader*) { Record("RdrDrawObjectYawVColour"); }
void RdrDrawObjectBlended(DrawSlot*, MeshHeader*, uint32_t, float) { Record("RdrDrawObjectBlended"); }
void RdrDrawSprite(DrawSlot*) { Record("RdrDrawSprite"); }
void RdrDrawSpriteAlpha(DrawSlot*) { Record("RdrDrawSpriteAlpha"); }
void RdrDrawSpriteTexAlpha(DrawSlot*) { Record("RdrDrawSpriteTexAlpha"); }
void RdrDrawSpriteCell(DrawSlot*, int32_t, int32_t, int32_t) { Record("RdrDrawSpriteCell"); }
void RdrDrawSpriteStreak(DrawSlot*) { Record("RdrDrawSpriteStreak"); }
void RdrDrawSpriteRotated(DrawSlot*, int32_t, int32_t, int32_t, uint16_t) { Record("RdrDrawSpriteRotated"); }
void RdrDrawQuadRotated(DrawSlot*, int32_t, int32_t, int32_t, float, float, uint16_t) { Record("RdrDrawQuadRotated"); }
void RdrDrawCross(DrawSlot*) { Record("RdrDrawCross"); }
void RdrSetAlphaSourceColour(int32_t, int32_t, int32_t, int32_t) { Record("RdrSetAlphaSourceColour"); }
void RdrResetAlphaSource() { Record("RdrResetAlphaSource"); }
void RdrDrawViewQuad(uint32_t, int32_t, int32_t, int32_t) { Record("RdrDrawViewQuad"); }
void RdrDrawAdditiveGlows() { Record("RdrDrawAdditiveGlows"); }
void RdrSetAdditiveBlend(int32_t, int32_t, int32_t, int32_t) { Record("RdrSetAdditiveBlend"); }
void RdrSetNormalBlend() { Record("RdrSetNormalBlend"); }
void RdrDrawLine(const Vertex*, const Vertex*, uint32_t) { Record("RdrDrawLine"); }
void RdrDrawGroundStrip(uint32_t, float, float, uint8_t) { Record("RdrDrawGroundStrip"); }
void RdrDrawGroundStripAdd(uint32_t, float, float, uint8_t, float, float) { Record("RdrDrawGroundStripAdd"); }
void RdrScrollGroundStrip(float, float) { Record("RdrScrollGroundStrip"); }
void RdrAdvanceStripScroll(float, float) { Record("RdrAdvanceStripScroll"); }
bool RdrClipProjectFace(Face* face, int32_t, int32_t) {
  Record("ClipProjectFace", face);
  return false;
}
