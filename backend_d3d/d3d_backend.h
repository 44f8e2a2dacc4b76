// What the files of this back end share with one another and with their own
// tests, beside the interface in backend_common: the driver table, the device
// state and the texture pairs, on the device layer of hal/d3d.
#pragma once
#include <cstdint>

#include "backend_common/display.h"
#include "backend_common/texture.h"
#include "engine3d/mesh.h"
#include "hal/d3d/d3d.h"

constexpr int RDR_MAX_DRIVERS = 8;
constexpr int RDR_MAX_DRIVER_MODES = 30;
constexpr int RDR_RESOLUTION_CODES = 16;

// One driver found by the enumeration.
struct RdrDriverInfo {
  char name[256];
  char description[256];
  HalObject ddraw;
  uint8_t modes[RDR_MAX_DRIVER_MODES];  // mode indices (16-bit plain, +10 for 24, +20 for 32 bits)
  int32_t modeCount;
};

struct RdrDriverTable {
  RdrDriverInfo drivers[RDR_MAX_DRIVERS];
  int32_t count;
  RdrDriverInfo* chosen;
};
extern RdrDriverTable gRdrDrivers;

// The device state, written by RdrOpen, RdrSetMode and RdrReleaseDevice.
struct D3dState {
  HalObject ddraw;  // the chosen driver's, with one more reference
  HalObject d3d;
  HalObject primary, backBuffer, zBuffer;
  HalObject device, viewport, clipper;
  HalDeviceCaps hardware, emulation;
  uint8_t tableFog;
  uint8_t alphaTest;
  uint8_t backBuffer565;
  int32_t filtering, dithering;
  int32_t width, height;
  int32_t clearRect[4];  // min x, min y, max x, max y
  HalViewport viewportDesc;
  float fogStart, fogEnd;
  // The picture the frame-buffer code holds, in the back buffer's format.
  HalObject workSurface;
};
extern D3dState gD3d;

// The Direct3D texture and video-memory surface of each downloaded texture,
// indexed by handle (the texture table index).
struct TexSurfacePair {
  HalObject texture;
  HalObject surface;
  int32_t width;  // in texels, which the water's ripple is measured in
};
extern TexSurfacePair gTexSurfaces[TEX_TABLE_SIZE];

// The mode index of a display size (0..6), -1 for a size the game does not use.
int32_t RdrModeIndexOfSize(int32_t width, int32_t height);
// Width and height of a resolution code; false for a code above 15.
bool RdrResolutionSize(uint32_t code, int32_t* width, int32_t* height);
int32_t RdrFindDriver(const RdrConfig* config);
void RdrReleaseDevice();
uint32_t RdrFrameBufferBudget();
// The operations only this back end has.
void RdrClearOnly(int32_t r, int32_t g, int32_t b);
void RdrBlendAlpha();
void RdrBlendOpaque();
// The frame-buffer code's pixel conversions.
uint16_t LfbRgb555To565(uint16_t p);   // the new low green bit is 0
uint16_t LfbRgb565To1555(uint16_t p);  // alpha bit set
uint16_t LfbPaletteTo565(const uint8_t* rgb);
uint16_t LfbPaletteTo555(const uint8_t* rgb);
// The back buffer into the caller's display width x height x 3 bytes, blue,
// green, red, bottom row first, then written back.
void LfbGrabScreenBgr24(uint8_t* buffer);
// Reads a .3DF header from an open file and leaves it at the first texel;
// false for a damaged header or a file too short for its texels.
bool Tex3dfReadHeader(int fd, TexInfo* info);
// Mapping coordinates of a 3DS face's first three corners copied unscaled.
void MeshCopyFaceTexCoords(Face* face, const Vertex* vertices);
// The vertex-colour object drawer with the face word its copies carry: every
// face, front or back, in the colour of the mesh's first face with the low
// byte of `faceWord` as alpha, under the caller's blend and stage state.
void RdrDrawObjectYawVColour(DrawSlot* slot, MeshHeader* mesh, uint32_t faceWord);
