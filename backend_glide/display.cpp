#include "backend_glide/display.h"

#include "backend_glide/texture.h"
#include "engine3d/angle.h"
#include "engine3d/camera.h"
#include "engine3d/grid.h"
#include "engine3d/mathutil.h"
#include "engine3d/mesh.h"
#include "platform/file.h"
#include "platform/mem.h"
#include "platform/pak.h"

namespace {

DisplayMode kModes[DISPLAY_MODE_COUNT] = {
    {GFX_RES_320x200, 1, 0, 0, 319, 199, 5, 1700, 160, 100, 125.0f, 104.0f},
    {GFX_RES_512x384, 1, 0, 0, 512, 384, 5, 1700, 256, 192, 200.0f, 200.0f},
    {GFX_RES_640x480, 1, 0, 0, 640, 480, 5, 1700, 320, 240, 250.0f, 250.0f},
    {GFX_RES_800x600, 1, 0, 0, 800, 600, 5, 1700, 400, 300, 312.0f, 312.0f},
    {GFX_RES_1024x768, 1, 0, 0, 1024, 768, 5, 1700, 512, 384, 400.0f, 400.0f},
    {GFX_RES_320x200, 1, 0, 10, 319, 189, 5, 1700, 160, 100, 125.0f, 93.0f},
    {GFX_RES_512x384, 1, 0, 48, 512, 336, 5, 1700, 256, 192, 200.0f, 150.0f},
    {GFX_RES_640x480, 1, 0, 60, 640, 420, 5, 1700, 320, 240, 250.0f, 187.0f},
    {GFX_RES_800x600, 1, 0, 75, 800, 525, 5, 1700, 400, 300, 312.0f, 234.0f},
    {GFX_RES_1024x768, 1, 0, 96, 1024, 672, 5, 1700, 512, 384, 400.0f, 300.0f},
};

// The mode the screen is open in, so a failed change can go back to it.
const DisplayMode* gOpenMode;
bool gGfxStarted;

bool OpenWindow(const DisplayMode* mode, uint32_t window) {
  if (gRdrState.windowOpen) {
    GfxWinClose();
    gRdrState.windowOpen = 0;
  }
  if (!GfxWinOpen(window, static_cast<int32_t>(mode->resolutionCode), GFX_REFRESH_60HZ, GFX_COLORFORMAT_ABGR,
                  GFX_ORIGIN_UPPER_LEFT, 2, 1))
    return false;
  gRdrState.windowOpen = 1;
  int32_t w, h;
  if (GfxResolutionSize(static_cast<int32_t>(mode->resolutionCode), &w, &h)) {
    gRdrState.screenWidth = w;
    gRdrState.screenHeight = h;
  }
  gOpenMode = mode;
  GfxDepthBufferMode(GFX_DEPTHBUFFER_ZBUFFER);
  GfxDepthBufferFunction(GFX_CMP_GEQUAL);
  GfxDepthMask(true);
  return true;
}

void CopyMode(const DisplayMode* mode) {
  gRdrState.clipMinX = static_cast<float>(mode->clipMinX);
  gRdrState.clipMinY = static_cast<float>(mode->clipMinY);
  gRdrState.clipMaxX = static_cast<float>(mode->clipMaxX);
  gRdrState.clipMaxY = static_cast<float>(mode->clipMaxY);
  RdrSetDepthRange(mode->nearPlane, mode->farPlane);
  gRdrState.centreX = static_cast<float>(mode->centreX);
  gRdrState.centreY = static_cast<float>(mode->centreY);
  gRdrState.scaleX = mode->scaleX;
  gRdrState.scaleY = mode->scaleY;
}

// The render state every routine assumes between draws.
void SetDefaultDrawState() {
  GfxClipWindow(TruncI32(gRdrState.clipMinX), TruncI32(gRdrState.clipMinY), TruncI32(gRdrState.clipMaxX),
                TruncI32(gRdrState.clipMaxY));
  GfxTexCombineFunction(GFX_TMU0, GFX_TEXTURECOMBINE_DECAL);
  GfxAlphaSource(GFX_ALPHASOURCE_TEXTURE_ALPHA);
  GfxAlphaBlendFunction(GFX_BLEND_SRC_ALPHA, GFX_BLEND_ONE_MINUS_SRC_ALPHA, GFX_BLEND_ONE, GFX_BLEND_ZERO);
  gRdrCache = RdrCache{-1, -1};
  gRdrState.colourKeyR = gRdrState.colourKeyG = gRdrState.colourKeyB = -1;
  gRdrState.glow = 0;
  gRdrState.colouredLight = 0;
  GfxAlphaTestFunction(GFX_CMP_NOTEQUAL);
  GfxAlphaTestReferenceValue(0);
}

}  // namespace

DisplayMode* const gDisplayModes[DISPLAY_MODE_COUNT] = {&kModes[0], &kModes[1], &kModes[2], &kModes[3], &kModes[4],
                                                       &kModes[5], &kModes[6], &kModes[7], &kModes[8], &kModes[9]};
int32_t gDisplayModeIndex = 2;
RdrState gRdrState;
RdrCache gRdrCache{-1, -1};

void RdrCacheColorCombine(int32_t combine) {
  if (gRdrCache.combine == combine) return;
  GfxColorCombineFunction(combine);
  gRdrCache.combine = combine;
}

bool RdrOpen(DisplayMode* mode, uint32_t window) {
  PakReset();
  GfxInit();
  gGfxStarted = true;
  GfxHardwareInfo hardware{};
  if (!GfxQueryHardware(&hardware)) {
    GfxShutdown();
    gGfxStarted = false;
    return false;
  }
  gAppBoard = AppBoardInfo{hardware.boardType, hardware.frameBufferMiB};
  GfxSelect(0);
  if (!OpenWindow(mode, window)) {
    GfxShutdown();
    gGfxStarted = false;
    return false;
  }
  MemPoolInit();
  LightSetColour(255, 255, 255);
  gMesh = MeshPools{};
  gDrawLists = DrawLists{};
  gTextureTable.count = 0;
  CopyMode(mode);
  MathBuildTables();
  gCamera.x = gCamera.y = gCamera.z = 0.0f;
  gCamera.heading = 0;
  gLight.pointsApplied = 0;
  SetDefaultDrawState();
  gTextureTable.texelBytes = 0;
  gRdrState.vertexLighting = 1;
  return true;
}

bool RdrSetMode(DisplayMode* mode, uint32_t window) {
  const DisplayMode* previous = gOpenMode;
  if (!OpenWindow(mode, window)) {
    // A game without a screen cannot even show why: stay in the mode it had.
    if (previous && OpenWindow(previous, window)) {
      CopyMode(previous);
      SetDefaultDrawState();
    }
    return false;
  }
  CopyMode(mode);
  SetDefaultDrawState();
  return true;
}

// Closing the display also frees the 3D library's pools and world grid.
void RdrClose() {
  MeshPoolFreeVertices();
  MeshPoolFreeFaces();
  DrawListFreeStatic();
  DrawListFreeDynamic();
  GridFree();
  gTextureTable.count = 0;
  gTextureTable.texelBytes = 0;
  if (!gGfxStarted) return;
  GfxTexMemReset();
  GfxShutdown();
  gGfxStarted = false;
  gRdrState.windowOpen = 0;
  gOpenMode = nullptr;
}

void RdrLightingOn() { gRdrState.vertexLighting = 1; }
void RdrLightingOff() { gRdrState.vertexLighting = 0; }
void RdrColourLightOn() { gRdrState.colouredLight = 1; }
void RdrColourLightOff() { gRdrState.colouredLight = 0; }

void RdrDepthOff() {
  GfxDepthBufferMode(GFX_DEPTHBUFFER_DISABLE);
  GfxDepthMask(false);
}

void RdrDepthOn() {
  GfxDepthBufferMode(GFX_DEPTHBUFFER_ZBUFFER);
  GfxDepthMask(true);
}

void RdrDepthWriteOff() { GfxDepthMask(false); }
void RdrDepthWriteOn() { GfxDepthMask(true); }

void RdrSetProjScale(float sx, float sy) {
  if (sx != 0.0f) gRdrState.scaleX = sx;
  if (sy != 0.0f) gRdrState.scaleY = sy;
}

void RdrSetClipWindow(int32_t minX, int32_t minY, int32_t maxX, int32_t maxY) {
  gRdrState.clipMinX = static_cast<float>(minX);
  gRdrState.clipMinY = static_cast<float>(minY);
  gRdrState.clipMaxX = static_cast<float>(maxX);
  gRdrState.clipMaxY = static_cast<float>(maxY);
  GfxClipWindow(minX, minY, maxX, maxY);
}

void RdrSetClipWindowOnly(int32_t minX, int32_t minY, int32_t maxX, int32_t maxY) {
  GfxClipWindow(minX, minY, maxX, maxY);
}

void RdrSetDepthRange(int32_t nearPlane, int32_t farPlane) {
  gRdrState.nearPlane = nearPlane < 1 ? 1.0f : static_cast<float>(nearPlane);
  gRdrState.farPlane = static_cast<float>(farPlane);
  gRdrState.objectNear = gRdrState.nearPlane - 200.0f;
  gRdrState.objectFar = gRdrState.farPlane + 200.0f;
}

void RdrSetProjCentre(int32_t cx, int32_t cy) {
  gRdrState.centreX = static_cast<float>(cx);
  gRdrState.centreY = static_cast<float>(cy);
}

namespace {
uint32_t PackColour(int32_t r, int32_t g, int32_t b) {
  return static_cast<uint32_t>(r & 0xFF) | static_cast<uint32_t>(g & 0xFF) << 8 | static_cast<uint32_t>(b & 0xFF) << 16;
}
}  // namespace

void RdrClear(int32_t r, int32_t g, int32_t b) {
  GfxBufferClear(PackColour(r, g, b), 0, 0);
  gRdrState.glow = 0;
}

void RdrSetFog(int32_t r, int32_t g, int32_t b, float start, float end) {
  GfxFogMode(GFX_FOG_WITH_TABLE);
  GfxFogColorValue(PackColour(r, g, b));
  uint8_t table[64];
  GfxFogGenerateLinear(table, start, end);
  GfxFogTable(table);
}

void RdrFogOn() { GfxFogMode(GFX_FOG_WITH_TABLE); }
void RdrFogOff() { GfxFogMode(GFX_FOG_DISABLE); }
void RdrSwapBuffers() { GfxBufferSwap(1); }

int32_t TexMemSizeKb() {
  return static_cast<int32_t>((GfxTexMaxAddress(GFX_TMU0) - GfxTexMinAddress(GFX_TMU0)) / 1024);
}
