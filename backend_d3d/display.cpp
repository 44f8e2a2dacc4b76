#include <SDL.h>

#include <cstdio>
#include <cstring>

#include "backend_d3d/d3d_backend.h"
#include "backend_d3d/faces.h"
#include "engine3d/angle.h"
#include "engine3d/camera.h"
#include "engine3d/mathutil.h"
#include "engine3d/mesh.h"
#include "hal/d3d/devices.h"
#include "hal/window.h"
#include "platform/mem.h"

RdrDriverTable gRdrDrivers;
D3dState gD3d;

namespace {

constexpr int32_t RESOLUTIONS[RDR_RESOLUTION_CODES][2] = {
    {320, 200}, {320, 240}, {400, 256}, {512, 384}, {640, 200},  {640, 350},  {640, 400},   {640, 480},
    {800, 600}, {960, 720}, {856, 480}, {512, 256}, {1024, 768}, {1280, 1024}, {1600, 1200}, {400, 300}};

constexpr int32_t MODE_SIZES[7][2] = {{320, 200}, {512, 384}, {640, 400}, {640, 480},
                                      {800, 600}, {1024, 768}, {1280, 1024}};

// The size the display was last opened in, kept by codes above 15.
int32_t gOpenWidth = 640, gOpenHeight = 480;

// Records a device's usable modes in its driver entry, each once.
void RecordModes(RdrDriverInfo* info, const HalDevice& device) {
  for (const HalDisplayModeDesc& m : device.modes) {
    const int32_t index = RdrModeIndexOfSize(m.width, m.height);
    if (index < 0) continue;
    int32_t code = -1;
    if (m.bitsPerPixel == 16 && (device.renderDepths & HAL_DEPTH_16)) code = index;
    if (m.bitsPerPixel == 24 && (device.renderDepths & HAL_DEPTH_24)) code = index + 10;
    if (m.bitsPerPixel == 32 && (device.renderDepths & HAL_DEPTH_32)) code = index + 20;
    if (code < 0 || info->modeCount >= RDR_MAX_DRIVER_MODES) continue;
    bool known = false;
    for (int32_t i = 0; i < info->modeCount; ++i) known |= info->modes[i] == code;
    if (!known) info->modes[info->modeCount++] = static_cast<uint8_t>(code);
  }
}

bool AddDriver(const HalDeviceGuid*, const char* description, const char* name, void*) {
  if (gRdrDrivers.count >= RDR_MAX_DRIVERS) return false;
  const int32_t index = gRdrDrivers.count;
  RdrDriverInfo& info = gRdrDrivers.drivers[index];
  info = RdrDriverInfo{};
  std::snprintf(info.description, sizeof info.description, "%s", description);
  std::snprintf(info.name, sizeof info.name, "%s", name);
  // A driver whose objects cannot be made is skipped.
  info.ddraw = HalDDrawCreate(index);
  if (!info.ddraw) return true;
  HalObject d3d = HalDDrawQuery3d(info.ddraw);
  if (!d3d) {
    HalObjectRelease(info.ddraw);
    info.ddraw = 0;
    return true;
  }
  if (const HalDevice* device = HalDeviceAt(index)) RecordModes(&info, *device);
  HalObjectRelease(d3d);
  ++gRdrDrivers.count;
  return true;
}

void SetViewport(int32_t minX, int32_t minY, int32_t maxX, int32_t maxY) {
  gD3d.clearRect[0] = minX;
  gD3d.clearRect[1] = minY;
  gD3d.clearRect[2] = maxX;
  gD3d.clearRect[3] = maxY;
  gD3d.viewportDesc = HalViewport{minX, minY, maxX - minX, maxY - minY, -1.0f, 1.0f, 2.0f, 2.0f, 0.0f, 1.0f};
  HalViewportSet(gD3d.viewport, gD3d.viewportDesc);
}

void ClearRect(uint32_t colour, bool beginScene) {
  const HalRect r{gD3d.clearRect[0], gD3d.clearRect[1], gD3d.clearRect[2], gD3d.clearRect[3]};
  HalViewportClear(gD3d.viewport, &r, 1, HAL_CLEAR_TARGET | HAL_CLEAR_ZBUFFER, colour, 1.0f, 0);
  if (beginScene) HalD3dBeginScene(gD3d.device);
}

void ShowNoHardware(uint32_t) {
  static const char TEXT[] = "Graphic Hardware not detected";
  static const char CAPTION[] = "Error";
  if (HalIsHeadless() || !HalWindowSdl() ||
      SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, CAPTION, TEXT, HalWindowSdl()) != 0)
    std::fprintf(stderr, "%s: %s\n", CAPTION, TEXT);
}

// Steps shared by the open and the mode change: the flip chain, the z-buffer
// and the device on the display mode just set.
bool CreateSurfacesAndDevice(uint32_t window, bool showFailure) {
  HalSurfaceDesc primary{};
  primary.caps = HAL_CAPS_PRIMARY | HAL_CAPS_3DDEVICE | HAL_CAPS_VIDEOMEMORY;
  gD3d.primary = HalDDrawCreateSurface(gD3d.ddraw, primary);
  if (!gD3d.primary) {
    if (showFailure) ShowNoHardware(window);
    return false;
  }
  gD3d.backBuffer = HalSurfaceGetBackBuffer(gD3d.primary);
  if (!gD3d.backBuffer) return false;
  HalSurfaceDesc back{};
  if (!HalSurfaceGetDesc(gD3d.backBuffer, &back)) return false;
  gD3d.backBuffer565 = back.format == HAL_PIXEL_RGB565;
  HalSurfaceDesc z{};
  z.caps = HAL_CAPS_ZBUFFER | HAL_CAPS_VIDEOMEMORY;
  z.width = back.width;
  z.height = back.height;
  z.format = HAL_PIXEL_Z16;
  gD3d.zBuffer = HalDDrawCreateSurface(gD3d.ddraw, z);
  if (!gD3d.zBuffer || !HalSurfaceAddAttachedDepth(gD3d.backBuffer, gD3d.zBuffer)) {
    HalDDrawFlipToGdi(gD3d.ddraw);
    return false;
  }
  if (!gD3d.d3d) gD3d.d3d = HalDDrawQuery3d(gD3d.ddraw);
  gD3d.device = gD3d.d3d ? HalD3dCreateDevice(gD3d.d3d, gD3d.backBuffer) : 0;
  if (!gD3d.device) {
    HalDDrawFlipToGdi(gD3d.ddraw);
    return false;
  }
  return true;
}

bool CreateViewport(const DisplayMode* mode) {
  gD3d.viewport = HalD3dCreateViewport(gD3d.d3d);
  if (!gD3d.viewport || !HalD3dAddViewport(gD3d.device, gD3d.viewport)) return false;
  SetViewport(mode->clipMinX, mode->clipMinY, mode->clipMaxX, mode->clipMaxY);
  return HalD3dSetCurrentViewport(gD3d.device, gD3d.viewport);
}

void SetDefaultStates(bool wrapOff) {
  // Stage 0 in mode 0, and the face routines' cache told so.
  RdrSetStageMode(0);
  gRdrState.glow = 0;
  gRdrState.colourKeyR = gRdrState.colourKeyG = gRdrState.colourKeyB = 0;
  const HalObject d = gD3d.device;
  HalD3dSetRenderState(d, HAL_RS_ANTIALIAS, HAL_ANTIALIAS_NONE);
  HalD3dSetRenderState(d, HAL_RS_ALPHABLENDENABLE, 1);
  HalD3dSetRenderState(d, HAL_RS_SRCBLEND, HAL_BLEND_ONE);
  HalD3dSetRenderState(d, HAL_RS_DESTBLEND, HAL_BLEND_ZERO);
  HalD3dSetRenderState(d, HAL_RS_SHADEMODE, HAL_SHADE_GOURAUD);
  if (wrapOff) {
    HalD3dSetRenderState(d, HAL_RS_WRAPU, 0);
    HalD3dSetRenderState(d, HAL_RS_WRAPV, 0);
  }
  HalD3dSetRenderState(d, HAL_RS_ZENABLE, 1);
  HalD3dSetRenderState(d, HAL_RS_ZWRITEENABLE, 1);
  HalD3dSetRenderState(d, HAL_RS_ZFUNC, HAL_CMP_LESSEQUAL);
  HalD3dSetRenderState(d, HAL_RS_TEXTUREHANDLE, 0);
  HalD3dSetRenderState(d, HAL_RS_DITHERENABLE, gD3d.dithering ? 1 : 0);
  HalD3dSetRenderState(d, HAL_RS_TEXTUREPERSPECTIVE, 1);
  const uint32_t filter = gD3d.filtering ? HAL_TFG_LINEAR : HAL_TFG_POINT;
  HalD3dSetTextureStageState(d, 0, HAL_TSS_MINFILTER, filter);
  HalD3dSetTextureStageState(d, 0, HAL_TSS_MAGFILTER, filter);
  HalD3dSetRenderState(d, HAL_RS_CULLMODE, HAL_CULL_NONE);
  HalD3dSetRenderState(d, HAL_RS_SPECULARENABLE, 0);
  HalD3dSetRenderState(d, HAL_RS_COLORKEYENABLE, 0);
  HalD3dSetRenderState(d, HAL_RS_ALPHAREF, 0);
  HalD3dSetRenderState(d, HAL_RS_ALPHAFUNC, HAL_CMP_NOTEQUAL);
  HalD3dSetRenderState(d, HAL_RS_ALPHATESTENABLE, 1);
  if (!gD3d.alphaTest) HalD3dSetRenderState(d, HAL_RS_COLORKEYENABLE, 1);
}

void Release(HalObject* object) {
  if (*object) HalObjectRelease(*object);
  *object = 0;
}

void ReleaseChain() {
  if (gD3d.viewport) {
    if (gD3d.device) HalD3dDeleteViewport(gD3d.device, gD3d.viewport);
    Release(&gD3d.viewport);
  }
  Release(&gD3d.device);
  Release(&gD3d.zBuffer);
  Release(&gD3d.backBuffer);
  Release(&gD3d.primary);
  Release(&gD3d.d3d);
}

// The display mode of a code, and the flip chain, device and viewport on it.
bool OpenMode(const DisplayMode* mode, uint32_t window) {
  int32_t w = gOpenWidth, h = gOpenHeight;
  RdrResolutionSize(mode->resolutionCode, &w, &h);
  if (!HalDDrawSetDisplayMode(gD3d.ddraw, w, h, 16)) return false;
  gOpenWidth = gD3d.width = gRdrState.screenWidth = w;
  gOpenHeight = gD3d.height = gRdrState.screenHeight = h;
  if (!CreateSurfacesAndDevice(window, false)) return false;
  RdrStateFromMode(mode);
  gRdrState.colouredLight = 0;
  if (!CreateViewport(mode)) return false;
  return HalSurfaceSetClipper(gD3d.primary, gD3d.clipper);
}

// The mode the display is open in, so a failed change can go back to it.
const DisplayMode* gOpenMode;

}  // namespace

int32_t RdrModeIndexOfSize(int32_t width, int32_t height) {
  for (int32_t i = 0; i < 7; ++i)
    if (MODE_SIZES[i][0] == width && MODE_SIZES[i][1] == height) return i;
  return -1;
}

bool RdrResolutionSize(uint32_t code, int32_t* width, int32_t* height) {
  if (code >= RDR_RESOLUTION_CODES) return false;
  *width = RESOLUTIONS[code][0];
  *height = RESOLUTIONS[code][1];
  return true;
}

void RdrLoadConfig() {
  std::FILE* f = std::fopen("rur.cfg", "rb");
  if (!f) return;
  int32_t head[3];
  // A file too short for the three switches keeps the defaults.
  if (std::fread(head, 1, sizeof head, f) == sizeof head) {
    gRdrConfig.renderer = head[0];
    gRdrConfig.filtering = head[1];
    gRdrConfig.dithering = head[2];
    int n = 0;
    for (; n < RDR_DEVICE_NAME_SIZE - 1; ++n) {
      const int c = std::fgetc(f);
      if (c == EOF || c == 0) break;
      gRdrConfig.device[n] = static_cast<char>(c);
    }
    gRdrConfig.device[n] = 0;
  }
  std::fclose(f);
}

int32_t RdrFindDriver(const RdrConfig* config) {
  for (int32_t i = 0; i < gRdrDrivers.count; ++i)
    if (std::strcmp(gRdrDrivers.drivers[i].description, config->device) == 0) return i;
  return 0;
}

uint8_t RdrHasAlphaTest() { return gD3d.alphaTest; }

bool RdrOpen(DisplayMode* mode, uint32_t window) {
  gD3d.filtering = gRdrConfig.filtering;
  gD3d.dithering = gRdrConfig.dithering;
  gRdrDrivers = RdrDriverTable{};
  if (!HalEnumerateDevices(AddDriver, nullptr) || gRdrDrivers.count == 0) {
    RdrReleaseDevice();
    return false;
  }
  gRdrDrivers.chosen = &gRdrDrivers.drivers[RdrFindDriver(&gRdrConfig)];
  gD3d.ddraw = gRdrDrivers.chosen->ddraw;
  HalObjectAddRef(gD3d.ddraw);
  gD3d.d3d = HalDDrawQuery3d(gD3d.ddraw);
  if (!gD3d.d3d) {
    HalDDrawFlipToGdi(gD3d.ddraw);
    RdrReleaseDevice();
    return false;
  }
  MemPoolInit();
  int32_t w = gOpenWidth, h = gOpenHeight;
  RdrResolutionSize(mode->resolutionCode, &w, &h);
  if (!HalDDrawSetCooperativeLevel(gD3d.ddraw, window) || !HalDDrawSetDisplayMode(gD3d.ddraw, w, h, 16)) {
    RdrReleaseDevice();
    return false;
  }
  gOpenWidth = gD3d.width = gRdrState.screenWidth = w;
  gOpenHeight = gD3d.height = gRdrState.screenHeight = h;
  if (!CreateSurfacesAndDevice(window, true)) {
    RdrReleaseDevice();
    return false;
  }
  HalDeviceCaps hardware{}, emulation{};
  if (HalD3dGetCaps(gD3d.device, &hardware, &emulation)) {
    gD3d.hardware = hardware;
    gD3d.emulation = emulation;
    gD3d.tableFog = hardware.tableFog;
    gD3d.alphaTest = hardware.alphaCompareNotEqual;
  } else {
    gD3d.tableFog = gD3d.alphaTest = 0;
  }
  LightSetColour(255, 255, 255);
  gMesh = MeshPools{};
  gDrawLists = DrawLists{};
  RdrStateFromMode(mode);
  gRdrState.colouredLight = 0;
  MathBuildTables();
  gCamera.x = gCamera.y = gCamera.z = 0.0f;
  gCamera.heading = 0;
  gLight.pointsApplied = 0;
  gTextureTable.count = 0;
  if (!CreateViewport(mode)) {
    HalDDrawFlipToGdi(gD3d.ddraw);
    RdrReleaseDevice();
    return false;
  }
  gD3d.clipper = HalDDrawCreateClipper(gD3d.ddraw);
  if (!gD3d.clipper || !HalClipperSetWindow(gD3d.clipper, window) ||
      !HalSurfaceSetClipper(gD3d.primary, gD3d.clipper)) {
    HalDDrawFlipToGdi(gD3d.ddraw);
    RdrReleaseDevice();
    return false;
  }
  SetDefaultStates(false);
  ClearRect(0, false);
  gTextureTable.texelBytes = 0;
  gRdrState.vertexLighting = 1;
  gRdrState.windowOpen = 1;
  gOpenMode = mode;
  return true;
}

bool RdrSetMode(DisplayMode* mode, uint32_t window) {
  if (!gD3d.ddraw) return false;
  ReleaseChain();
  if (!OpenMode(mode, window)) {
    // A game without a screen cannot even show why: stay in the mode it had.
    ReleaseChain();
    const DisplayMode* previous = gOpenMode;
    if (!previous || !OpenMode(previous, window)) {
      RdrReleaseDevice();
      return false;
    }
    SetDefaultStates(true);
    ClearRect(0, false);
    return false;
  }
  SetDefaultStates(true);
  ClearRect(0, false);
  gOpenMode = mode;
  return true;
}

void RdrReleaseDevice() {
  Release(&gD3d.workSurface);
  Release(&gD3d.clipper);
  ReleaseChain();
  Release(&gD3d.ddraw);
  for (int32_t i = gRdrDrivers.count - 1; i >= 0; --i) Release(&gRdrDrivers.drivers[i].ddraw);
  gRdrDrivers.count = 0;
  gRdrDrivers.chosen = nullptr;
  gRdrState.windowOpen = 0;
  gOpenMode = nullptr;
}

void RdrClose() {
  RdrFreeLibrary();
  TexMemReset();
  RdrReleaseDevice();
}

uint32_t RdrFrameBufferBudget() {
  uint32_t local = 0, texture = 0;
  HalDDrawGetAvailableVidMem(gD3d.ddraw, HAL_CAPS_VIDEOMEMORY | HAL_CAPS_LOCALVIDMEM, &local, nullptr);
  HalDDrawGetAvailableVidMem(gD3d.ddraw, HAL_CAPS_TEXTURE, &texture, nullptr);
  const int64_t rest = int64_t{local} - int64_t{texture};
  return rest < 2000000 ? local / 2 : static_cast<uint32_t>(rest);
}

bool RdrModeFits(uint32_t code) {
  int32_t w = 0, h = 0;
  if (!gRdrDrivers.chosen || !RdrResolutionSize(code, &w, &h)) return false;
  const int32_t index = RdrModeIndexOfSize(w, h);
  if (index < 0) return false;
  bool listed = false;
  for (int32_t i = 0; i < gRdrDrivers.chosen->modeCount; ++i) listed |= gRdrDrivers.chosen->modes[i] == index;
  return listed && uint64_t{RdrFrameBufferBudget()} >= uint64_t(w) * uint64_t(h) * 6;
}

void RdrDepthOff() {
  HalD3dSetRenderState(gD3d.device, HAL_RS_ZENABLE, 0);
  HalD3dSetRenderState(gD3d.device, HAL_RS_ZWRITEENABLE, 0);
}

void RdrDepthOn() {
  HalD3dSetRenderState(gD3d.device, HAL_RS_ZENABLE, 1);
  HalD3dSetRenderState(gD3d.device, HAL_RS_ZWRITEENABLE, 1);
}

void RdrDepthWriteOff() { HalD3dSetRenderState(gD3d.device, HAL_RS_ZWRITEENABLE, 0); }
void RdrDepthWriteOn() { HalD3dSetRenderState(gD3d.device, HAL_RS_ZWRITEENABLE, 1); }

void RdrFilterPoint() {
  if (!gD3d.filtering) return;
  HalD3dSetTextureStageState(gD3d.device, 0, HAL_TSS_MAGFILTER, HAL_TFG_POINT);
  HalD3dSetTextureStageState(gD3d.device, 0, HAL_TSS_MINFILTER, HAL_TFG_POINT);
}

void RdrFilterBilinear() {
  if (!gD3d.filtering) return;
  HalD3dSetTextureStageState(gD3d.device, 0, HAL_TSS_MAGFILTER, HAL_TFG_LINEAR);
  HalD3dSetTextureStageState(gD3d.device, 0, HAL_TSS_MINFILTER, HAL_TFG_LINEAR);
}

void RdrBlendAlpha() {
  HalD3dSetRenderState(gD3d.device, HAL_RS_SRCBLEND, HAL_BLEND_SRCALPHA);
  HalD3dSetRenderState(gD3d.device, HAL_RS_DESTBLEND, HAL_BLEND_INVSRCALPHA);
}

void RdrBlendOpaque() {
  HalD3dSetRenderState(gD3d.device, HAL_RS_SRCBLEND, HAL_BLEND_ONE);
  HalD3dSetRenderState(gD3d.device, HAL_RS_DESTBLEND, HAL_BLEND_ZERO);
}

void RdrSetTextureDecal() {
  RdrSetStageMode(0);
  gRdrState.glow = 0;
}

void RdrFogOn() {
  if (gD3d.tableFog) HalD3dSetRenderState(gD3d.device, HAL_RS_FOGENABLE, 1);
}

void RdrFogOff() { HalD3dSetRenderState(gD3d.device, HAL_RS_FOGENABLE, 0); }
void RdrBeginScene() { HalD3dBeginScene(gD3d.device); }
void RdrEndScene() { HalD3dEndScene(gD3d.device); }

namespace {
uint32_t PackColour(int32_t r, int32_t g, int32_t b) {
  return static_cast<uint32_t>(r & 0xFF) << 16 | static_cast<uint32_t>(g & 0xFF) << 8 | static_cast<uint32_t>(b & 0xFF);
}
}  // namespace

void RdrClear(int32_t r, int32_t g, int32_t b) {
  gRdrState.glow = 0;
  ClearRect(PackColour(r, g, b), true);
}

void RdrClearOnly(int32_t r, int32_t g, int32_t b) {
  gRdrState.glow = 0;
  ClearRect(PackColour(r, g, b), false);
}

void RdrSwapBuffers() {
  HalD3dEndScene(gD3d.device);
  HalSurfaceFlip(gD3d.primary);
}

void RdrBlankBuffers() {
  HalSurfaceBltFill(gD3d.backBuffer, nullptr, 0);
  HalSurfaceBltFill(gD3d.primary, nullptr, 0);
}

void RdrSetClipWindow(int32_t minX, int32_t minY, int32_t maxX, int32_t maxY) {
  gRdrState.clipMinX = static_cast<float>(minX);
  gRdrState.clipMinY = static_cast<float>(minY);
  gRdrState.clipMaxX = static_cast<float>(maxX);
  gRdrState.clipMaxY = static_cast<float>(maxY);
  SetViewport(minX, minY, maxX, maxY);
}

void RdrSetClipWindowOnly(int32_t minX, int32_t minY, int32_t maxX, int32_t maxY) {
  SetViewport(minX, minY, maxX, maxY);
}

void RdrSetFog(int32_t r, int32_t g, int32_t b, float start, float end) {
  gD3d.fogStart = start;
  gD3d.fogEnd = end;
  uint32_t startBits, endBits;
  std::memcpy(&startBits, &start, 4);
  std::memcpy(&endBits, &end, 4);
  const HalObject d = gD3d.device;
  HalD3dSetRenderState(d, HAL_RS_FOGCOLOR, PackColour(r, g, b));
  HalD3dSetRenderState(d, HAL_RS_RANGEFOGENABLE, 0);
  HalD3dSetLightState(d, HAL_LS_FOGMODE, HAL_FOG_NONE);
  HalD3dSetRenderState(d, HAL_RS_FOGTABLEMODE, HAL_FOG_LINEAR);
  HalD3dSetRenderState(d, HAL_RS_FOGTABLESTART, startBits);
  HalD3dSetRenderState(d, HAL_RS_FOGTABLEEND, endBits);
  // The raw value 1, as the game has always passed it (not the bits of 1.0).
  HalD3dSetRenderState(d, HAL_RS_FOGTABLEDENSITY, 1);
}

int32_t TexMemSizeKb() {
  uint32_t total = 0;
  HalDDrawGetAvailableVidMem(gD3d.ddraw, HAL_CAPS_TEXTURE, &total, nullptr);
  return static_cast<int32_t>(total / 1024);
}
