// The software 3D accelerator: one board with two RGB565 colour buffers and a
// 16-bit depth buffer, texture memory, and the fixed-function pixel pipeline
// the renderer back end draws through (colour combine, alpha source, alpha
// test, table fog, depth test, alpha blending). Frames are drawn into memory;
// on a desktop each swap shows the front buffer in the SDL window, scaled with
// its aspect ratio kept. Main thread only.
//
// Conventions:
// - Colour arguments are red | green << 8 | blue << 16 (alpha, where used, in
//   the top byte). Stored pixels are RGB565: red in bits 11-15.
// - Vertices carry screen x, y in pixels (origin upper left), a depth value
//   ooz (0..65535, larger is nearer with GEQUAL), oow = 1 / w and the texture
//   coordinates already divided by w (sow, tow). Texture coordinates are in
//   units where 256 spans the long side of the texture, whatever its size.
// - The clip window is a scissor on every primitive and on the clear; its
//   maximum is exclusive.
#pragma once
#include <cstdint>

// Screen-resolution codes the board can open: all sixteen of the board's
// table, 0 to 15.
enum GfxResolution : int32_t {
  GFX_RES_320x200 = 0,
  GFX_RES_320x240 = 1,
  GFX_RES_400x256 = 2,
  GFX_RES_512x384 = 3,
  GFX_RES_640x200 = 4,
  GFX_RES_640x350 = 5,
  GFX_RES_640x400 = 6,
  GFX_RES_640x480 = 7,
  GFX_RES_800x600 = 8,
  GFX_RES_960x720 = 9,
  GFX_RES_856x480 = 10,
  GFX_RES_512x256 = 11,
  GFX_RES_1024x768 = 12,
  GFX_RES_1280x1024 = 13,
  GFX_RES_1600x1200 = 14,
  GFX_RES_400x300 = 15,
  GFX_RES_COUNT = 16,
};

enum : int32_t { GFX_REFRESH_60HZ = 0 };
enum : int32_t { GFX_COLORFORMAT_ARGB = 0, GFX_COLORFORMAT_ABGR = 1 };
enum : int32_t { GFX_ORIGIN_UPPER_LEFT = 0, GFX_ORIGIN_LOWER_LEFT = 1 };
enum : int32_t { GFX_TMU0 = 0 };

// Compare functions of the depth and alpha tests.
enum GfxCmp : int32_t {
  GFX_CMP_NEVER = 0,
  GFX_CMP_LESS = 1,
  GFX_CMP_EQUAL = 2,
  GFX_CMP_LEQUAL = 3,
  GFX_CMP_GREATER = 4,
  GFX_CMP_NOTEQUAL = 5,
  GFX_CMP_GEQUAL = 6,
  GFX_CMP_ALWAYS = 7,
};

enum GfxDepthBufferMode : int32_t { GFX_DEPTHBUFFER_DISABLE = 0, GFX_DEPTHBUFFER_ZBUFFER = 1 };

// Blend factors (colour = source x src factor + destination x dst factor).
enum GfxBlend : int32_t {
  GFX_BLEND_ZERO = 0,
  GFX_BLEND_SRC_ALPHA = 1,
  GFX_BLEND_ONE = 4,
  GFX_BLEND_ONE_MINUS_SRC_ALPHA = 5,
};

// Colour combine. T = texel colour, I = iterated (vertex) colour, C = constant
// colour, La = local alpha (the constant alpha with alpha source CONSTANT, the
// iterated alpha otherwise). Products are x / 255; sums saturate at 255.
enum GfxColorCombine : int32_t {
  GFX_COMBINE_ZERO = 0,                           // black
  GFX_COMBINE_CCRGB = 1,                          // C
  GFX_COMBINE_ITRGB = 2,                          // I
  GFX_COMBINE_DECAL_TEXTURE = 4,                  // T
  GFX_COMBINE_TEXTURE_ADD_ITRGB = 5,              // T + I
  GFX_COMBINE_TEXTURE_TIMES_ITRGB = 6,            // T x I
  GFX_COMBINE_TEXTURE_TIMES_ITRGB_ADD_ALPHA = 8,  // T x I + La
  GFX_COMBINE_TEXTURE_TIMES_ALPHA = 9,            // T x La
  GFX_COMBINE_TEXTURE_TIMES_ALPHA_ADD_ITRGB = 10, // T x La + I
};

// Where the fragment's alpha comes from. Ta = texel alpha (255 when the
// colour combine uses no texture), Ia = iterated alpha, Ca = constant alpha.
enum GfxAlphaSource : int32_t {
  GFX_ALPHASOURCE_CC_ALPHA = 0,                    // Ca
  GFX_ALPHASOURCE_ITERATED_ALPHA = 1,              // Ia
  GFX_ALPHASOURCE_TEXTURE_ALPHA = 2,               // Ta
  GFX_ALPHASOURCE_TEXTURE_ALPHA_TIMES_ITERATED_ALPHA = 3,  // Ta x Ia / 255
};

enum : int32_t { GFX_TEXTURECOMBINE_DECAL = 0 };
enum GfxFogMode : int32_t { GFX_FOG_DISABLE = 0, GFX_FOG_WITH_TABLE = 1 };

// Texture formats, 16 bits a texel, as TEX and 3DF files carry them.
enum GfxTextureFormat : int32_t {
  GFX_TEXFMT_RGB_565 = 10,
  GFX_TEXFMT_ARGB_1555 = 11,
  GFX_TEXFMT_ARGB_4444 = 12,
};

// Aspect codes: width : height.
enum GfxAspect : int32_t {
  GFX_ASPECT_8x1 = 0, GFX_ASPECT_4x1 = 1, GFX_ASPECT_2x1 = 2, GFX_ASPECT_1x1 = 3,
  GFX_ASPECT_1x2 = 4, GFX_ASPECT_1x4 = 5, GFX_ASPECT_1x8 = 6,
};

enum : int32_t { GFX_MIPMAPLEVELMASK_BOTH = 3 };
enum : int32_t { GFX_MIPMAP_DISABLE = 0 };
enum : int32_t { GFX_TEXTURECLAMP_WRAP = 0 };
enum GfxTextureFilter : int32_t { GFX_TEXTUREFILTER_POINT_SAMPLED = 0, GFX_TEXTUREFILTER_BILINEAR = 1 };

enum GfxBuffer : int32_t { GFX_BUFFER_FRONTBUFFER = 0, GFX_BUFFER_BACKBUFFER = 1 };
enum GfxLfbSourceFormat : int32_t { GFX_LFB_SRC_FMT_565 = 0, GFX_LFB_SRC_FMT_555 = 1 };

// Screen vertex: fifteen floats. Only x, y, r, g, b, ooz, a, oow and the
// first texture unit's sow and tow are read; the rest is carried for callers
// that fill a whole record.
struct GfxVertex {
  float x, y;
  float z;
  float r, g, b;
  float ooz;
  float a;
  float oow;
  struct {
    float sow, tow, oow;
  } tmu[2];
};
static_assert(sizeof(GfxVertex) == 15 * sizeof(float));

// What the hardware query reports.
struct GfxHardwareInfo {
  int32_t boardCount;
  int32_t boardType;
  int32_t frameBufferMiB;
  int32_t textureUnits;
  int32_t textureMemoryMiB;
};

// The simulated board. Tests shrink it to reach the small-memory paths.
struct GfxBoardConfig {
  int32_t boardCount = 1;
  int32_t boardType = 0;
  int32_t frameBufferMiB = 8;
  uint32_t textureMemoryBytes = 4u << 20;
};

// Board set-up; takes effect at the next GfxInit.
void GfxSetBoardConfig(const GfxBoardConfig& config);
GfxBoardConfig GfxGetBoardConfig();

void GfxInit();
// Closes the screen, forgets every texture and all render state.
void GfxShutdown();
// False when no board is present.
bool GfxQueryHardware(GfxHardwareInfo* info);
void GfxSelect(int32_t board);

// Opens the screen: two colour buffers and one depth buffer. Fails for a
// resolution code other than the five above, a colour format other than
// ABGR, an origin other than upper left, or buffer counts other than 2 and 1.
// Opening resets the render state to the board's defaults.
bool GfxWinOpen(uint32_t window, int32_t resolution, int32_t refresh, int32_t colorFormat,
                int32_t origin, int32_t colorBuffers, int32_t auxBuffers);
void GfxWinClose();
bool GfxIsOpen();
// Size of a resolution code; false for codes the board cannot open.
bool GfxResolutionSize(int32_t resolution, int32_t* width, int32_t* height);
void GfxScreenSize(int32_t* width, int32_t* height);
void GfxIdle();

// Fills the back buffer's colour and depth inside the clip window. The alpha
// argument is accepted and ignored (there is no alpha buffer).
void GfxBufferClear(uint32_t color, uint8_t alpha, uint16_t depth);
// The back buffer becomes the front buffer and is shown; counts a frame.
void GfxBufferSwap(int32_t interval);

void GfxClipWindow(int32_t minX, int32_t minY, int32_t maxX, int32_t maxY);
void GfxDepthBufferMode(int32_t mode);
void GfxDepthBufferFunction(int32_t cmp);
void GfxDepthMask(bool enable);
// Factors other than the four above leave the blend function unchanged.
void GfxAlphaBlendFunction(int32_t rgbSrc, int32_t rgbDst, int32_t alphaSrc, int32_t alphaDst);
void GfxAlphaTestFunction(int32_t cmp);
void GfxAlphaTestReferenceValue(uint8_t ref);
void GfxTexCombineFunction(int32_t tmu, int32_t function);
// Values other than those of GfxColorCombine / GfxAlphaSource are ignored.
void GfxColorCombineFunction(int32_t function);
void GfxAlphaSource(int32_t source);
void GfxConstantColorValue(uint32_t color);

// Table fog: colour moves towards the fog colour by table[w] / 255, where
// entry i stands for w = 2^(i / 4) x (1 + (i % 4) / 4) (1.0 for entry 0,
// 57344 for entry 63) and values between entries are interpolated linearly.
void GfxFogMode(int32_t mode);
void GfxFogColorValue(uint32_t color);
void GfxFogTable(const uint8_t table[64]);
float GfxFogTableIndexToW(int32_t index);
// Linear fog: 0 at w <= start, 255 at w >= end.
void GfxFogGenerateLinear(uint8_t table[64], float start, float end);

// Texture memory of the first texture unit, in bytes.
uint32_t GfxTexMinAddress(int32_t tmu);
uint32_t GfxTexMaxAddress(int32_t tmu);
// Reserves width x height x 2 bytes for a one-level texture; its size comes
// from width, height and aspect (the level codes are not read). Returns the
// next id (0, 1, 2 ... since the last reset), or -1 when memory runs out or
// width, height, aspect and format do not describe a texture.
int32_t GfxTexAllocateMemory(int32_t tmu, int32_t evenOdd, int32_t width, int32_t height,
                             int32_t format, int32_t mipmapMode, int32_t smallLod, int32_t largeLod,
                             int32_t aspect, int32_t sClamp, int32_t tClamp, int32_t minFilter,
                             int32_t magFilter, float lodBias, bool trilinear);
// Copies width x height texels (host order) into an allocated texture. The
// NCC table is not used by the 16-bit formats. False for an unknown id.
bool GfxTexDownloadMipMap(int32_t id, const uint16_t* texels, const void* nccTable);
// Binds a texture. An id that names no downloaded texture is remembered too:
// textured drawing then draws nothing.
void GfxTexSource(uint32_t id);
void GfxTexMemReset();

// Primitives. Polygons are convex, 3 to 12 corners, drawn as fans with a
// top-left fill rule; the WithClip forms are the same calls (every primitive
// is scissored). Points cover the pixel (floor x, floor y); lines cover the
// pixels of both ends.
void GfxDrawPoint(const GfxVertex* v);
void GfxDrawLine(const GfxVertex* a, const GfxVertex* b);
void GfxDrawTriangle(const GfxVertex* a, const GfxVertex* b, const GfxVertex* c);
void GfxDrawTriangleWithClip(const GfxVertex* a, const GfxVertex* b, const GfxVertex* c);
void GfxDrawPolygonVertexList(int32_t count, const GfxVertex* list);
void GfxDrawPolygonVertexListWithClip(int32_t count, const GfxVertex* list);

// Frame-buffer regions, bypassing the pixel pipeline and the clip window and
// cut to the buffer. 555 sources widen green by repeating its top bit. Stride
// in bytes. False when no screen is open or nothing of the region lies on it.
bool GfxLfbWriteRegion(int32_t buffer, int32_t x, int32_t y, int32_t sourceFormat, int32_t width,
                       int32_t height, int32_t strideBytes, const void* data);
bool GfxLfbReadRegion(int32_t buffer, int32_t x, int32_t y, int32_t width, int32_t height,
                      int32_t strideBytes, void* out);
// Depth value at a pixel of the depth buffer (tests); 0 outside.
uint16_t GfxReadDepth(int32_t x, int32_t y);

// 555 to the stored 565, the one conversion every caller shares.
inline uint16_t GfxRgb555To565(uint16_t p) {
  uint16_t g5 = (p >> 5) & 0x1F;
  return static_cast<uint16_t>(((p >> 10) & 0x1F) << 11 | (g5 << 1 | g5 >> 4) << 5 | (p & 0x1F));
}

// Draws through the plain (no wider instructions) pixel loops even on a
// processor that has wider ones. Both give identical pixels; tests prove it.
void GfxForceBaselineLoops(bool force);
// Draws every pipeline through the loops written for any render state, not
// through those specialised for the common ones. Both give identical
// pixels; tests prove it.
void GfxForceGeneralLoops(bool force);
// Name of the loops in use ("avx2" or "baseline").
const char* GfxLoopsName();
