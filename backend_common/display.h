// The back-end interface: what the game, the 3D library, the menus and the
// shell call to open the screen and set the small render states around their
// drawing, under the same names in every game program. Each program links one
// back end that defines these operations (backend_glide on the software 3D
// accelerator for torvane, backend_d3d for torvaned3d); code outside a back
// end includes only the headers of this folder.
//
// RdrOpen keeps its (mode, window) form in every back end. A back end that
// needs start-up settings takes them from gRdrConfig, which RdrLoadConfig
// fills from "rur.cfg" before the start-up calls RdrOpen; where a back end has
// no such settings RdrLoadConfig does nothing.
//
// gDisplayModes, gDisplayModeIndex and gRdrState are written by the back end's
// display operations and by the shared helpers of this folder; the menus write
// gDisplayModeIndex when the player picks a resolution.
#pragma once
#include <cstdint>

// Screen-resolution codes as the display-mode table stores them.
constexpr uint32_t RDR_RES_320x200 = 0;
constexpr uint32_t RDR_RES_512x384 = 3;
constexpr uint32_t RDR_RES_640x480 = 7;
constexpr uint32_t RDR_RES_800x600 = 8;
constexpr uint32_t RDR_RES_1024x768 = 12;

#pragma pack(push, 1)
struct DisplayMode {
  uint32_t resolutionCode;
  uint8_t flag;  // 1 in every entry; not interpreted
  int32_t clipMinX, clipMinY, clipMaxX, clipMaxY;
  int32_t nearPlane, farPlane;
  int32_t centreX, centreY;
  float scaleX, scaleY;
};
#pragma pack(pop)
static_assert(sizeof(DisplayMode) == 45, "DisplayMode is a 45-byte record");

constexpr int DISPLAY_MODE_COUNT = 10;
// 0-4 full frame at the five sizes, 5-9 the same sizes letterboxed to 16/9.
extern DisplayMode* const gDisplayModes[DISPLAY_MODE_COUNT];
// The entry the game uses now; the game starts in entry 2 (640x480).
extern int32_t gDisplayModeIndex;

struct RdrState {
  int32_t screenWidth, screenHeight;
  float clipMinX, clipMinY, clipMaxX, clipMaxY;
  float nearPlane, farPlane;
  float objectNear, objectFar;  // whole objects outside these depths are rejected
  float centreX, centreY;
  float scaleX, scaleY;
  int32_t vertexLighting;
  uint8_t colouredLight;
  uint8_t glow;
  int32_t windowOpen;
  int32_t colourKeyR, colourKeyG, colourKeyB;  // texture colour key, red -1 = none
};
extern RdrState gRdrState;

// The renderer settings the launcher leaves in "rur.cfg".
constexpr int RDR_DEVICE_NAME_SIZE = 256;
struct RdrConfig {
  int32_t renderer;   // 1 software accelerator, 0 the other back end
  int32_t filtering;  // 0 point sampling, else bilinear
  int32_t dithering;  // 0 off, else on
  char device[RDR_DEVICE_NAME_SIZE];
};
extern RdrConfig gRdrConfig;

// The clip window, depth range, projection centre and scale of gRdrState
// from a display mode, as every back end's open and mode change do.
void RdrStateFromMode(const DisplayMode* mode);
// What every back end's RdrClose frees besides its device: the 3D library's
// pools, draw lists and world grid; the texture table is emptied.
void RdrFreeLibrary();

void RdrLoadConfig();
bool RdrOpen(DisplayMode* mode, uint32_t window);
bool RdrSetMode(DisplayMode* mode, uint32_t window);
void RdrClose();
// Whether the device can show the display size of a resolution code, as the
// menus ask before they offer it: the software accelerator answers from its
// board's frame-buffer memory, torvaned3d from its driver's mode list and the
// video memory left beside the textures.
bool RdrModeFits(uint32_t code);
void RdrLightingOn();
void RdrLightingOff();
void RdrColourLightOn();
void RdrColourLightOff();
void RdrDepthOff();
void RdrDepthOn();
void RdrDepthWriteOff();
void RdrDepthWriteOn();
void RdrSetProjScale(float sx, float sy);
void RdrSetClipWindow(int32_t minX, int32_t minY, int32_t maxX, int32_t maxY);
void RdrSetClipWindowOnly(int32_t minX, int32_t minY, int32_t maxX, int32_t maxY);
void RdrSetDepthRange(int32_t nearPlane, int32_t farPlane);
void RdrSetProjCentre(int32_t cx, int32_t cy);
void RdrClear(int32_t r, int32_t g, int32_t b);
void RdrSetFog(int32_t r, int32_t g, int32_t b, float start, float end);
void RdrFogOn();
void RdrFogOff();
void RdrSwapBuffers();
// Both display buffers black, for a back end whose buffers outlive a screen:
// what the next frames leave undrawn then stays black in either of them. The
// picture shown does not change and no frame is shown. Nothing in a back end
// that keeps no such buffers.
void RdrBlankBuffers();
// Brackets for drawing that does not start with RdrClear or end with
// RdrSwapBuffers; a back end without scenes does nothing.
void RdrBeginScene();
void RdrEndScene();
// Texture filtering for the textures bound next, where the back end filters
// by device state rather than per texture.
void RdrFilterPoint();
void RdrFilterBilinear();
// Texture colour and alpha straight from the texture, blended by its alpha;
// the cached texture and combine are forgotten.
void RdrSetTextureDecal();
int32_t TexMemSizeKb();
// 1 when the device can drop texels by an alpha test (NOTEQUAL 0); a back end
// without that choice answers 0.
uint8_t RdrHasAlphaTest();
// Always false; kept for the interface's completeness.
bool RdrQueryFalse();
