#include "backend_glide/glide.h"

#include "engine3d/angle.h"
#include "engine3d/camera.h"
#include "engine3d/grid.h"
#include "engine3d/mathutil.h"
#include "engine3d/mesh.h"
#include "engine3d/terrain.h"
#include "platform/app.h"
#include "platform/mem.h"
#include "platform/pak.h"

namespace {

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

// The render state every routine assumes between draws.
void SetDefaultDrawState() {
  GfxClipWindow(TruncI32(gRdrState.clipMinX), TruncI32(gRdrState.clipMinY), TruncI32(gRdrState.clipMaxX),
                TruncI32(gRdrState.clipMaxY));
  RdrSetTextureDecal();
  gRdrState.colourKeyR = gRdrState.colourKeyG = gRdrState.colourKeyB = -1;
  gRdrState.glow = 0;
  gRdrState.colouredLight = 0;
  GfxAlphaTestFunction(GFX_CMP_NOTEQUAL);
  GfxAlphaTestReferenceValue(0);
}

}  // namespace

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
  // A fresh memory pool: the old pools, and any terrain in them, are gone.
  gMesh = MeshPools{};
  TerrainForget();
  gDrawLists = DrawLists{};
  gTextureTable.count = 0;
  RdrStateFromMode(mode);
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
      RdrStateFromMode(previous);
      SetDefaultDrawState();
    }
    return false;
  }
  RdrStateFromMode(mode);
  SetDefaultDrawState();
  return true;
}

// Closing the display also frees the 3D library's pools and world grid.
void RdrClose() {
  RdrFreeLibrary();
  if (!gGfxStarted) return;
  GfxTexMemReset();
  GfxShutdown();
  gGfxStarted = false;
  gRdrState.windowOpen = 0;
  gOpenMode = nullptr;
}


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
// The screens that end with a fade to black leave the accelerator's buffers
// as they drew them.
void RdrBlankBuffers() {}

// The accelerator takes no start-up settings, has no scene brackets and
// filters per texture as each is reserved.
void RdrLoadConfig() {}
uint8_t RdrHasAlphaTest() { return 0; }
void RdrBeginScene() {}
void RdrEndScene() {}
void RdrFilterPoint() {}
void RdrFilterBilinear() {}

void RdrSetTextureDecal() {
  GfxTexCombineFunction(GFX_TMU0, GFX_TEXTURECOMBINE_DECAL);
  GfxAlphaSource(GFX_ALPHASOURCE_TEXTURE_ALPHA);
  GfxAlphaBlendFunction(GFX_BLEND_SRC_ALPHA, GFX_BLEND_ONE_MINUS_SRC_ALPHA, GFX_BLEND_ONE, GFX_BLEND_ZERO);
  gRdrCache = RdrCache{-1, -1};
}

int32_t TexMemSizeKb() {
  return static_cast<int32_t>((GfxTexMaxAddress(GFX_TMU0) - GfxTexMinAddress(GFX_TMU0)) / 1024);
}

bool RdrModeFits(uint32_t code) {
  const int32_t memoryMb = AppQueryBoardMemory();
  switch (code) {
    case RDR_RES_512x384: return memoryMb >= 2;
    case RDR_RES_640x480: return true;
    case RDR_RES_800x600: return memoryMb >= 4;
    case RDR_RES_1024x768: return memoryMb >= 8;
    default: return false;  // 320 x 200 is never offered
  }
}
