// A small 3D device layer shaped like the one the renderer was written
// against: a driver object per display device, surfaces with lock and blit,
// a device with render states, texture stage 0 and DrawPrimitive of
// transformed-and-lit vertices, viewports, clippers. It renders with OpenGL
// (compatibility profile): into the game window's context when there is a
// window, otherwise into a context of its own (EGL surfaceless on Mesa, or
// SDL's offscreen driver), so it runs headless with no display and no GPU.
//
// Objects are numbered handles (0 = none), released with HalObjectRelease.
// Results are bool: true on success.
//
// Rules fixed here once, where the interface it stands in for leaves them to
// the device:
// - with no texture bound, stage 0 passes the diffuse colour and alpha through
//   whatever its operations say;
// - table fog is linear over the view depth 1/rhw between its start and end;
// - the device always clips to the viewport: the do-not-clip flag is a hint;
// - texture coordinates wrap;
// - a triangle's screen coordinates are pixel edges, as the game computes
//   them: pixel i spans i..i + 1 and is shaded at i + 0.5, so a quad laid on
//   whole pixels with a texel a pixel samples each texel at its centre;
//   points and lines at whole numbers land on that pixel.
//
// A state reaches OpenGL only when it differs from what the next draw needs,
// and consecutive draws under one state become one OpenGL draw.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

using HalObject = uint32_t;

enum HalPixelFormat : int32_t {
  HAL_PIXEL_NONE = 0,
  HAL_PIXEL_RGB565,
  HAL_PIXEL_RGB555,
  HAL_PIXEL_ARGB1555,
  HAL_PIXEL_ARGB4444,
  HAL_PIXEL_Z16,
};

// Surface capabilities (HalSurfaceDesc::caps).
constexpr uint32_t HAL_CAPS_PRIMARY = 1u << 0;   // the display, with one back buffer
constexpr uint32_t HAL_CAPS_BACKBUFFER = 1u << 1;
constexpr uint32_t HAL_CAPS_TEXTURE = 1u << 2;
constexpr uint32_t HAL_CAPS_ZBUFFER = 1u << 3;
constexpr uint32_t HAL_CAPS_SYSTEMMEMORY = 1u << 4;
constexpr uint32_t HAL_CAPS_VIDEOMEMORY = 1u << 5;
constexpr uint32_t HAL_CAPS_3DDEVICE = 1u << 6;
constexpr uint32_t HAL_CAPS_OFFSCREENPLAIN = 1u << 7;
constexpr uint32_t HAL_CAPS_LOCALVIDMEM = 1u << 8;
constexpr uint32_t HAL_CAPS_ALLOCONLOAD = 1u << 9;

struct HalSurfaceDesc {
  uint32_t caps;
  int32_t width, height;       // ignored for the primary (the display's size)
  HalPixelFormat format;       // HAL_PIXEL_NONE: the display's format
  bool sourceColourKey;        // announces a source colour key
  int32_t pitch;               // filled by HalSurfaceGetDesc, in bytes
};

struct HalRect {
  int32_t left, top, right, bottom;  // right and bottom excluded
};

// ---- Driver objects ---------------------------------------------------------

// The driver object of a device of the table (hal/d3d/devices.h).
HalObject HalDDrawCreate(int32_t deviceIndex);
// Exclusive full screen for the game window (0 headless).
bool HalDDrawSetCooperativeLevel(HalObject ddraw, uint32_t window);
// Any size at 16 bits; the colour buffer is 5-6-5 unless HalD3dSetDisplay555.
bool HalDDrawSetDisplayMode(HalObject ddraw, int32_t width, int32_t height, int32_t bitsPerPixel);
HalObject HalDDrawCreateSurface(HalObject ddraw, const HalSurfaceDesc& desc);
HalObject HalDDrawCreateClipper(HalObject ddraw);
// Memory of the given kind (HAL_CAPS_TEXTURE, or HAL_CAPS_VIDEOMEMORY |
// HAL_CAPS_LOCALVIDMEM), total and free, from the device table.
bool HalDDrawGetAvailableVidMem(HalObject ddraw, uint32_t caps, uint32_t* total, uint32_t* available);
bool HalDDrawFlipToGdi(HalObject ddraw);
// The 3D interface of a driver object (a new object).
HalObject HalDDrawQuery3d(HalObject ddraw);

// ---- Surfaces ---------------------------------------------------------------

HalObject HalSurfaceGetBackBuffer(HalObject primary);
bool HalSurfaceAddAttachedDepth(HalObject surface, HalObject depth);
bool HalSurfaceGetDesc(HalObject surface, HalSurfaceDesc* desc);
// The whole surface; null when it cannot be locked. Rows are pitch bytes apart.
void* HalSurfaceLock(HalObject surface, int32_t* pitch);
bool HalSurfaceUnlock(HalObject surface);
// Stretching copy of src's rectangle onto dst's (null: the whole surface),
// nearest pixel; both rectangles are clamped to their surfaces. Formats are
// converted when they differ.
bool HalSurfaceBlt(HalObject dst, const HalRect* dstRect, HalObject src, const HalRect* srcRect);
// Fills dst's rectangle (null: whole) with a raw pixel value.
bool HalSurfaceBltFill(HalObject dst, const HalRect* dstRect, uint32_t pixel);
// Unscaled copy to x, y, clamped to both surfaces; sourceKey honours src's
// source colour key.
bool HalSurfaceBltFast(HalObject dst, int32_t x, int32_t y, HalObject src, const HalRect* srcRect, bool sourceKey);
// Source colour key as a 24-bit colour (red << 16 | green << 8 | blue),
// compared with the texels' colour bits.
bool HalSurfaceSetColourKey(HalObject surface, uint32_t low, uint32_t high);
bool HalSurfaceSetClipper(HalObject primary, HalObject clipper);
// Shows the back buffer and makes the shown picture the front buffer; counts
// a frame and writes the frame dump.
bool HalSurfaceFlip(HalObject primary);
// The texture interface of a texture surface (a new object).
HalObject HalSurfaceQueryTexture(HalObject surface);
// Takes the texels of src into the texture.
bool HalTextureLoad(HalObject texture, HalObject src);

bool HalClipperSetWindow(HalObject clipper, uint32_t window);

// ---- Device -----------------------------------------------------------------

struct HalDeviceCaps {
  bool tableFog;
  bool alphaCompareNotEqual;
};

HalObject HalD3dCreateDevice(HalObject d3d, HalObject backBuffer);
bool HalD3dGetCaps(HalObject device, HalDeviceCaps* hardware, HalDeviceCaps* emulation);
HalObject HalD3dCreateViewport(HalObject d3d);
bool HalD3dAddViewport(HalObject device, HalObject viewport);
bool HalD3dDeleteViewport(HalObject device, HalObject viewport);
bool HalD3dSetCurrentViewport(HalObject device, HalObject viewport);

struct HalViewport {
  int32_t x, y, width, height;
  float clipX, clipY, clipWidth, clipHeight;
  float minZ, maxZ;
};
bool HalViewportSet(HalObject viewport, const HalViewport& v);

constexpr uint32_t HAL_CLEAR_TARGET = 1;
constexpr uint32_t HAL_CLEAR_ZBUFFER = 2;
// Clears the rectangles (screen pixels, clamped to the viewport's target).
bool HalViewportClear(HalObject viewport, const HalRect* rects, int32_t count, uint32_t flags, uint32_t colour,
                      float z, uint32_t stencil);

bool HalD3dBeginScene(HalObject device);
bool HalD3dEndScene(HalObject device);

enum HalRenderState : int32_t {
  HAL_RS_ANTIALIAS,
  HAL_RS_TEXTUREHANDLE,
  HAL_RS_TEXTUREPERSPECTIVE,
  HAL_RS_WRAPU,
  HAL_RS_WRAPV,
  HAL_RS_ZENABLE,
  HAL_RS_ZWRITEENABLE,
  HAL_RS_ZFUNC,
  HAL_RS_SHADEMODE,
  HAL_RS_ALPHABLENDENABLE,
  HAL_RS_SRCBLEND,
  HAL_RS_DESTBLEND,
  HAL_RS_ALPHATESTENABLE,
  HAL_RS_ALPHAREF,
  HAL_RS_ALPHAFUNC,
  HAL_RS_DITHERENABLE,
  HAL_RS_CULLMODE,
  HAL_RS_SPECULARENABLE,
  HAL_RS_COLORKEYENABLE,
  HAL_RS_FOGENABLE,
  HAL_RS_FOGCOLOR,
  HAL_RS_FOGTABLEMODE,
  HAL_RS_FOGTABLESTART,    // the float's bits
  HAL_RS_FOGTABLEEND,      // the float's bits
  HAL_RS_FOGTABLEDENSITY,  // the float's bits
  HAL_RS_RANGEFOGENABLE,
  HAL_RS_COUNT
};

enum HalTextureStageState : int32_t {
  HAL_TSS_COLOROP,
  HAL_TSS_COLORARG1,
  HAL_TSS_COLORARG2,
  HAL_TSS_ALPHAOP,
  HAL_TSS_ALPHAARG1,
  HAL_TSS_ALPHAARG2,
  HAL_TSS_MAGFILTER,
  HAL_TSS_MINFILTER,
  HAL_TSS_COUNT
};

enum HalLightState : int32_t { HAL_LS_FOGMODE };

// Values.
enum : uint32_t { HAL_ANTIALIAS_NONE = 0 };
enum : uint32_t { HAL_SHADE_FLAT = 1, HAL_SHADE_GOURAUD = 2 };
enum : uint32_t {
  HAL_CMP_NEVER = 1, HAL_CMP_LESS, HAL_CMP_EQUAL, HAL_CMP_LESSEQUAL, HAL_CMP_GREATER, HAL_CMP_NOTEQUAL,
  HAL_CMP_GREATEREQUAL, HAL_CMP_ALWAYS
};
enum : uint32_t {
  HAL_BLEND_ZERO = 1, HAL_BLEND_ONE, HAL_BLEND_SRCCOLOR, HAL_BLEND_INVSRCCOLOR, HAL_BLEND_SRCALPHA,
  HAL_BLEND_INVSRCALPHA, HAL_BLEND_DESTALPHA, HAL_BLEND_INVDESTALPHA, HAL_BLEND_DESTCOLOR, HAL_BLEND_INVDESTCOLOR
};
enum : uint32_t { HAL_CULL_NONE = 1, HAL_CULL_CW, HAL_CULL_CCW };
enum : uint32_t { HAL_FOG_NONE = 0, HAL_FOG_EXP, HAL_FOG_EXP2, HAL_FOG_LINEAR };
enum : uint32_t {
  HAL_TOP_DISABLE = 1, HAL_TOP_SELECTARG1, HAL_TOP_SELECTARG2, HAL_TOP_MODULATE, HAL_TOP_ADD,
  HAL_TOP_BLENDDIFFUSEALPHA, HAL_TOP_BLENDTEXTUREALPHA,
  HAL_TOP_MODULATEALPHA_ADDCOLOR,  // colour only: arg1 + arg1's alpha x arg2
};
enum : uint32_t { HAL_TA_DIFFUSE = 0, HAL_TA_CURRENT = 1, HAL_TA_TEXTURE = 2, HAL_TA_SPECULAR = 4 };
enum : uint32_t { HAL_TFG_POINT = 1, HAL_TFG_LINEAR = 2 };

bool HalD3dSetRenderState(HalObject device, HalRenderState state, uint32_t value);
bool HalD3dSetTextureStageState(HalObject device, int32_t stage, HalTextureStageState state, uint32_t value);
bool HalD3dSetLightState(HalObject device, HalLightState state, uint32_t value);
// Binds a texture object to stage 0 (0: none).
bool HalD3dSetTexture(HalObject device, int32_t stage, HalObject texture);

// A transformed-and-lit vertex: screen position and depth 0..1, 1/w,
// colours as alpha << 24 | red << 16 | green << 8 | blue, texture coordinates.
struct HalTLVertex {
  float sx, sy, sz, rhw;
  uint32_t diffuse, specular;
  float tu, tv;
};

enum HalPrimitive : int32_t {
  HAL_PRIM_POINTLIST = 1,
  HAL_PRIM_LINELIST = 2,
  HAL_PRIM_TRIANGLELIST = 4,
  HAL_PRIM_TRIANGLEFAN = 6,
};
constexpr uint32_t HAL_DP_DONOTCLIP = 1u << 2;
constexpr uint32_t HAL_DP_DONOTUPDATEEXTENTS = 1u << 3;
constexpr uint32_t HAL_DP_DONOTLIGHT = 1u << 4;
constexpr uint32_t HAL_DP_WAIT = 1u << 5;

bool HalD3dDrawPrimitive(HalObject device, HalPrimitive primitive, const HalTLVertex* vertices, int32_t count,
                         uint32_t flags);

// ---- Objects, tests and presentation ---------------------------------------

void HalObjectRelease(HalObject object);
// One more reference: the object lives until released once more.
void HalObjectAddRef(HalObject object);
// Objects not yet released, of every kind.
int32_t HalD3dLiveObjects();
// Releases everything and the OpenGL context: back to a fresh layer.
void HalD3dShutdown();

// Tests: the display's colour buffer in 5-5-5 instead of 5-6-5 (at the next
// display mode).
void HalD3dSetDisplay555(bool rgb555);
// Tests: every call is appended to the log as text ("SetRenderState ZENABLE 1")
// before any batching; null stops it.
void HalD3dRecordCalls(std::vector<std::string>* log);
// Tests: the next `count` calls named `call` (as the log names them) fail.
void HalD3dFailNext(const char* call, int32_t count);
// OpenGL draws issued so far (merged draws count once).
int32_t HalD3dGlDrawCount();
// Changes of the OpenGL state between draws so far (each a group of calls).
int32_t HalD3dGlStateCount();
// Sends what is batched and waits until OpenGL has drawn everything so far.
void HalD3dFinish();
// The last presented frame, rows from the top, in the display's format;
// false when nothing is shown.
bool HalD3dReadFrontBuffer(std::vector<uint16_t>* pixels, int32_t* width, int32_t* height);
const char* HalD3dRendererName();
