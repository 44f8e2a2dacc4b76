#include "backend_common/display.h"

#include "backend_common/texture.h"
#include "engine3d/grid.h"
#include "engine3d/mesh.h"

namespace {

DisplayMode kModes[DISPLAY_MODE_COUNT] = {
    {RDR_RES_320x200, 1, 0, 0, 319, 199, 5, 1700, 160, 100, 125.0f, 104.0f},
    {RDR_RES_512x384, 1, 0, 0, 512, 384, 5, 1700, 256, 192, 200.0f, 200.0f},
    {RDR_RES_640x480, 1, 0, 0, 640, 480, 5, 1700, 320, 240, 250.0f, 250.0f},
    {RDR_RES_800x600, 1, 0, 0, 800, 600, 5, 1700, 400, 300, 312.0f, 312.0f},
    {RDR_RES_1024x768, 1, 0, 0, 1024, 768, 5, 1700, 512, 384, 400.0f, 400.0f},
    {RDR_RES_320x200, 1, 0, 10, 319, 189, 5, 1700, 160, 100, 125.0f, 93.0f},
    {RDR_RES_512x384, 1, 0, 48, 512, 336, 5, 1700, 256, 192, 200.0f, 150.0f},
    {RDR_RES_640x480, 1, 0, 60, 640, 420, 5, 1700, 320, 240, 250.0f, 187.0f},
    {RDR_RES_800x600, 1, 0, 75, 800, 525, 5, 1700, 400, 300, 312.0f, 234.0f},
    {RDR_RES_1024x768, 1, 0, 96, 1024, 672, 5, 1700, 512, 384, 400.0f, 300.0f},
};

}  // namespace

DisplayMode* const gDisplayModes[DISPLAY_MODE_COUNT] = {&kModes[0], &kModes[1], &kModes[2], &kModes[3], &kModes[4],
                                                       &kModes[5], &kModes[6], &kModes[7], &kModes[8], &kModes[9]};
int32_t gDisplayModeIndex = 2;
RdrState gRdrState;
RdrConfig gRdrConfig{0, 1, 1, ""};

void RdrStateFromMode(const DisplayMode* mode) {
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

void RdrFreeLibrary() {
  MeshPoolFreeVertices();
  MeshPoolFreeFaces();
  DrawListFreeStatic();
  DrawListFreeDynamic();
  GridFree();
  gTextureTable.count = 0;
  gTextureTable.texelBytes = 0;
}

void RdrLightingOn() { gRdrState.vertexLighting = 1; }
void RdrLightingOff() { gRdrState.vertexLighting = 0; }
void RdrColourLightOn() { gRdrState.colouredLight = 1; }
void RdrColourLightOff() { gRdrState.colouredLight = 0; }

void RdrSetProjScale(float sx, float sy) {
  if (sx != 0.0f) gRdrState.scaleX = sx;
  if (sy != 0.0f) gRdrState.scaleY = sy;
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

bool RdrQueryFalse() { return false; }
