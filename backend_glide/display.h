// The display layer of the back end: opening and closing the screen in one of
// the display modes, and the small render-state operations every subsystem
// calls between and around its drawing.
#pragma once
#include <cstdint>

#include "hal/gfx/gfx.h"

// The back end's screen vertex.
using RdrVertex = GfxVertex;

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

// The texture and colour-combine mode last handed to the accelerator, -1 when
// unknown, so draw routines only change them when they differ.
struct RdrCache {
  int32_t texture;
  int32_t combine;
};
extern RdrCache gRdrCache;
// Sets the colour combine unless the cache says it is already in force.
void RdrCacheColorCombine(int32_t combine);

bool RdrOpen(DisplayMode* mode, uint32_t window);
bool RdrSetMode(DisplayMode* mode, uint32_t window);
void RdrClose();
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
int32_t TexMemSizeKb();
