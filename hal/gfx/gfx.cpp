// Board, screen, render state, texture memory and frame-buffer regions of
// the software accelerator; present.cpp shows its frames.
#include "hal/gfx/gfx.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "hal/gfx/gfx_internal.h"
#include "hal/window.h"

namespace gfx {
namespace {

struct RenderState {
  int32_t clipMinX = 0, clipMinY = 0, clipMaxX = 0, clipMaxY = 0;
  int32_t depthMode = GFX_DEPTHBUFFER_DISABLE;
  int32_t depthFunc = GFX_CMP_LESS;
  bool depthMask = true;
  BlendFactor src = BlendFactor::ONE, dst = BlendFactor::ZERO;
  int32_t alphaFunc = GFX_CMP_ALWAYS;
  int32_t alphaRef = 0;
  int32_t combine = GFX_COMBINE_CCRGB;
  int32_t alphaSource = GFX_ALPHASOURCE_CC_ALPHA;
  uint32_t constantColor = 0;
  int32_t fogMode = GFX_FOG_DISABLE;
  uint32_t fogColor = 0;
  uint8_t fogTable[64] = {};
  uint32_t texSource = 0xFFFFFFFFu;
};

struct Board {
  GfxBoardConfig config;
  bool initialised = false;
  bool open = false;
  int32_t width = 0, height = 0;
  std::vector<uint16_t> colour[2];
  int front = 0;
  std::vector<uint16_t> depth;
  std::vector<Texture> textures;
  uint32_t textureBytesUsed = 0;
  RenderState state;
  Pipe pipe;
  bool pipeDirty = true;
  bool fogDirty = true;
  bool pipeDrawable = false;
  bool forceBaseline = false;
  bool forceGeneral = false;
};

Board gBoard;

void Dirty() { gBoard.pipeDirty = true; }

bool HasAvx2() {
#if defined(GFX_HAVE_AVX2_LOOPS) && (defined(__x86_64__) || defined(__i386__))
  static const bool has = __builtin_cpu_supports("avx2");
  return has;
#else
  return false;
#endif
}

bool CombineUsesTexture(int32_t c) { return c == 4 || c == 5 || c == 6 || c == 8 || c == 9 || c == 10; }
bool CombineUsesIterated(int32_t c) { return c == 2 || c == 5 || c == 6 || c == 8 || c == 10; }
bool CombineUsesLocalAlpha(int32_t c) { return c == 8 || c == 9 || c == 10; }

void BuildPipe() {
  const RenderState& s = gBoard.state;
  Pipe& p = gBoard.pipe;
  p.combine = s.combine;
  p.alphaSource = s.alphaSource;
  p.useTexture = CombineUsesTexture(s.combine);
  p.texture = nullptr;
  gBoard.pipeDrawable = gBoard.open;
  if (p.useTexture) {
    if (s.texSource < gBoard.textures.size() && gBoard.textures[s.texSource].downloaded) {
      p.texture = &gBoard.textures[s.texSource];
    } else {
      gBoard.pipeDrawable = false;
    }
  }
  p.useIterColour = CombineUsesIterated(s.combine);
  bool alphaReadsIterated = s.alphaSource == GFX_ALPHASOURCE_ITERATED_ALPHA ||
                            s.alphaSource == GFX_ALPHASOURCE_TEXTURE_ALPHA_TIMES_ITERATED_ALPHA;
  p.useIterAlpha = alphaReadsIterated || (CombineUsesLocalAlpha(s.combine) && s.alphaSource != 0);
  p.fog = s.fogMode == GFX_FOG_WITH_TABLE;
  p.useOow = p.useTexture || p.fog;
  bool z = s.depthMode == GFX_DEPTHBUFFER_ZBUFFER;
  p.depthFunc = z ? s.depthFunc : -1;
  p.depthWrite = z && s.depthMask;
  p.alphaFunc = s.alphaFunc;
  p.general = gBoard.forceGeneral;
  p.alphaRef = s.alphaRef;
  if (gBoard.fogDirty) {
    // Table entry i covers w from 2^(i / 4) on: index 4 x 127 + i of the
    // wide table.
    for (int k = 0; k < Pipe::FOG_WIDE; ++k) {
      const int i = k - 4 * 127;
      if (i < 0) {
        p.fogWide[k] = s.fogTable[0];
      } else if (i >= 63) {
        p.fogWide[k] = s.fogTable[63];
      } else {
        p.fogWide[k] = s.fogTable[i] + (s.fogTable[i + 1] - s.fogTable[i]) * 65536;
      }
    }
    gBoard.fogDirty = false;
  }
  p.fogR = static_cast<int32_t>(s.fogColor & 255);
  p.fogG = static_cast<int32_t>((s.fogColor >> 8) & 255);
  p.fogB = static_cast<int32_t>((s.fogColor >> 16) & 255);
  p.src = s.src;
  p.dst = s.dst;
  p.cr = static_cast<int32_t>(s.constantColor & 255);
  p.cg = static_cast<int32_t>((s.constantColor >> 8) & 255);
  p.cb = static_cast<int32_t>((s.constantColor >> 16) & 255);
  p.ca = static_cast<int32_t>(s.constantColor >> 24);
  gBoard.pipeDirty = false;
}

void ResetRenderState() {
  gBoard.state = RenderState{};
  gBoard.state.clipMaxX = gBoard.width;
  gBoard.state.clipMaxY = gBoard.height;
  gBoard.fogDirty = true;
  Dirty();
}

uint16_t Pack565(uint32_t abgr) {
  uint32_t r = abgr & 255, g = (abgr >> 8) & 255, b = (abgr >> 16) & 255;
  return static_cast<uint16_t>((r >> 3) << 11 | (g >> 2) << 5 | (b >> 3));
}

bool ToBlendFactor(int32_t value, BlendFactor* out) {
  switch (value) {
    case GFX_BLEND_ZERO: *out = BlendFactor::ZERO; return true;
    case GFX_BLEND_ONE: *out = BlendFactor::ONE; return true;
    case GFX_BLEND_SRC_ALPHA: *out = BlendFactor::SRC_ALPHA; return true;
    case GFX_BLEND_ONE_MINUS_SRC_ALPHA: *out = BlendFactor::ONE_MINUS_SRC_ALPHA; return true;
    default: return false;
  }
}

bool IsCmp(int32_t cmp) { return cmp >= GFX_CMP_NEVER && cmp <= GFX_CMP_ALWAYS; }

int32_t Log2(int32_t v) {
  int32_t n = 0;
  while ((1 << n) < v) ++n;
  return (1 << n) == v ? n : -1;
}

// Width : height of each aspect code, as log2(width) - log2(height).
constexpr int32_t ASPECT_LOG_RATIO[7] = {3, 2, 1, 0, -1, -2, -3};

// Decodes 16-bit texels to 8-bit channels, widening by repeating top bits.
uint32_t DecodeTexel(int32_t format, uint16_t t) {
  uint32_t a, r, g, b;
  switch (format) {
    case GFX_TEXFMT_RGB_565:
      a = 255;
      r = (t >> 11) & 31; r = r << 3 | r >> 2;
      g = (t >> 5) & 63;  g = g << 2 | g >> 4;
      b = t & 31;         b = b << 3 | b >> 2;
      break;
    case GFX_TEXFMT_ARGB_1555:
      a = (t & 0x8000) ? 255 : 0;
      r = (t >> 10) & 31; r = r << 3 | r >> 2;
      g = (t >> 5) & 31;  g = g << 3 | g >> 2;
      b = t & 31;         b = b << 3 | b >> 2;
      break;
    default:  // ARGB4444
      a = ((t >> 12) & 15) * 17;
      r = ((t >> 8) & 15) * 17;
      g = ((t >> 4) & 15) * 17;
      b = (t & 15) * 17;
      break;
  }
  return a << 24 | r << 16 | g << 8 | b;
}

std::vector<uint16_t>* BufferFor(int32_t buffer) {
  if (!gBoard.open) return nullptr;
  if (buffer == GFX_BUFFER_FRONTBUFFER) return &gBoard.colour[gBoard.front];
  if (buffer == GFX_BUFFER_BACKBUFFER) return &gBoard.colour[1 - gBoard.front];
  return nullptr;
}

// Cuts a region to the screen; false when nothing is left. Offsets of the
// first kept pixel inside the region come back in skipX, skipY.
bool CutRegion(int32_t* x, int32_t* y, int32_t* w, int32_t* h, int32_t* skipX, int32_t* skipY) {
  int64_t x0 = *x, y0 = *y, x1 = x0 + *w, y1 = y0 + *h;
  int64_t cx0 = x0 < 0 ? 0 : x0, cy0 = y0 < 0 ? 0 : y0;
  int64_t cx1 = x1 > gBoard.width ? gBoard.width : x1, cy1 = y1 > gBoard.height ? gBoard.height : y1;
  if (*w <= 0 || *h <= 0 || cx0 >= cx1 || cy0 >= cy1) return false;
  *skipX = static_cast<int32_t>(cx0 - x0);
  *skipY = static_cast<int32_t>(cy0 - y0);
  *x = static_cast<int32_t>(cx0);
  *y = static_cast<int32_t>(cy0);
  *w = static_cast<int32_t>(cx1 - cx0);
  *h = static_cast<int32_t>(cy1 - cy0);
  return true;
}

}  // namespace

const Pipe* CurrentPipe() {
  if (gBoard.pipeDirty) BuildPipe();
  return gBoard.pipeDrawable ? &gBoard.pipe : nullptr;
}

bool CurrentTarget(Target* t) {
  if (!gBoard.open) return false;
  t->width = gBoard.width;
  t->height = gBoard.height;
  t->colour = gBoard.colour[1 - gBoard.front].data();
  t->depth = gBoard.depth.data();
  const RenderState& s = gBoard.state;
  t->minX = s.clipMinX < 0 ? 0 : s.clipMinX;
  t->minY = s.clipMinY < 0 ? 0 : s.clipMinY;
  t->maxX = s.clipMaxX > gBoard.width ? gBoard.width : s.clipMaxX;
  t->maxY = s.clipMaxY > gBoard.height ? gBoard.height : s.clipMaxY;
  return t->minX < t->maxX && t->minY < t->maxY;
}

ShadeRunFn CurrentShade() {
  return (HasAvx2() && !gBoard.forceBaseline) ? ShadeRunAvx2 : ShadeRunBaseline;
}

ShadeTriangleFn CurrentShadeTriangle() {
  return (HasAvx2() && !gBoard.forceBaseline) ? ShadeTriangleAvx2 : ShadeTriangleBaseline;
}

}  // namespace gfx

using namespace gfx;

void GfxSetBoardConfig(const GfxBoardConfig& config) { gBoard.config = config; }
GfxBoardConfig GfxGetBoardConfig() { return gBoard.config; }

void GfxInit() {
  GfxShutdown();
  gBoard.initialised = true;
}

void GfxShutdown() {
  GfxWinClose();
  PresentShutdown();
  GfxTexMemReset();
  gBoard.initialised = false;
}

bool GfxQueryHardware(GfxHardwareInfo* info) {
  const GfxBoardConfig& c = gBoard.config;
  if (info) {
    info->boardCount = c.boardCount;
    info->boardType = c.boardType;
    info->frameBufferMiB = c.frameBufferMiB;
    info->textureUnits = c.boardCount > 0 ? 1 : 0;
    info->textureMemoryMiB = static_cast<int32_t>(c.textureMemoryBytes >> 20);
  }
  return c.boardCount > 0;
}

void GfxSelect(int32_t) {}

bool GfxResolutionSize(int32_t resolution, int32_t* width, int32_t* height) {
  // Indexed by code.
  static constexpr int32_t SIZES[GFX_RES_COUNT][2] = {
      {320, 200}, {320, 240}, {400, 256},  {512, 384},   {640, 200},   {640, 350},   {640, 400}, {640, 480},
      {800, 600}, {960, 720}, {856, 480},  {512, 256},   {1024, 768},  {1280, 1024}, {1600, 1200}, {400, 300},
  };
  if (resolution < 0 || resolution >= GFX_RES_COUNT) return false;
  if (width) *width = SIZES[resolution][0];
  if (height) *height = SIZES[resolution][1];
  return true;
}

bool GfxWinOpen(uint32_t, int32_t resolution, int32_t, int32_t colorFormat, int32_t origin,
                int32_t colorBuffers, int32_t auxBuffers) {
  int32_t w, h;
  if (!gBoard.initialised || gBoard.config.boardCount <= 0) return false;
  if (!GfxResolutionSize(resolution, &w, &h)) return false;
  if (colorFormat != GFX_COLORFORMAT_ABGR || origin != GFX_ORIGIN_UPPER_LEFT) return false;
  if (colorBuffers != 2 || auxBuffers != 1) return false;
  GfxWinClose();
  gBoard.width = w;
  gBoard.height = h;
  size_t pixels = static_cast<size_t>(w) * h + BUFFER_PAD;
  gBoard.colour[0].assign(pixels, 0);
  gBoard.colour[1].assign(pixels, 0);
  gBoard.depth.assign(pixels, 0);
  gBoard.front = 0;
  gBoard.open = true;
  ResetRenderState();
  HalSetLogicalSize(w, h);
  return true;
}

void GfxWinClose() {
  gBoard.open = false;
  gBoard.width = gBoard.height = 0;
  for (auto& c : gBoard.colour) std::vector<uint16_t>().swap(c);
  std::vector<uint16_t>().swap(gBoard.depth);
  Dirty();
}

bool GfxIsOpen() { return gBoard.open; }

void GfxScreenSize(int32_t* width, int32_t* height) {
  if (width) *width = gBoard.width;
  if (height) *height = gBoard.height;
}

void GfxIdle() {}

namespace {

// Fills n 16-bit pixels with v, four at a time (the loop of std::fill is
// left one pixel at a time at the default optimisation level).
void FillPixels(uint16_t* p, size_t n, uint16_t v) {
  const uint64_t four = v * 0x0001000100010001ull;
  size_t i = 0;
  for (; i + 4 <= n; i += 4) std::memcpy(p + i, &four, sizeof(four));
  for (; i < n; ++i) p[i] = v;
}

}  // namespace

void GfxBufferClear(uint32_t color, uint8_t, uint16_t depth) {
  Target t;
  if (!CurrentTarget(&t)) return;
  uint16_t c = Pack565(color);
  if (t.minX >= t.maxX || t.minY >= t.maxY) return;
  // Whole rows are one run of pixels.
  const bool wholeRows = t.minX == 0 && t.maxX == t.width;
  const int32_t rows = wholeRows ? 1 : t.maxY - t.minY;
  const size_t count = wholeRows ? static_cast<size_t>(t.maxY - t.minY) * t.width : t.maxX - t.minX;
  for (int32_t i = 0; i < rows; ++i) {
    const size_t at = static_cast<size_t>(t.minY + i) * t.width + t.minX;
    FillPixels(t.colour + at, count, c);
    FillPixels(t.depth + at, count, depth);
  }
}

void GfxBufferSwap(int32_t) {
  if (!gBoard.open) return;
  gBoard.front = 1 - gBoard.front;
  PresentFrame(gBoard.colour[gBoard.front].data(), gBoard.width, gBoard.height);
  HalNoteFrame();
  GfxDumpShownFrame();
}

void GfxClipWindow(int32_t minX, int32_t minY, int32_t maxX, int32_t maxY) {
  RenderState& s = gBoard.state;
  s.clipMinX = minX;
  s.clipMinY = minY;
  s.clipMaxX = maxX;
  s.clipMaxY = maxY;
}

void GfxDepthBufferMode(int32_t mode) {
  if (mode == GFX_DEPTHBUFFER_DISABLE || mode == GFX_DEPTHBUFFER_ZBUFFER) gBoard.state.depthMode = mode;
  Dirty();
}

void GfxDepthBufferFunction(int32_t cmp) {
  if (IsCmp(cmp)) gBoard.state.depthFunc = cmp;
  Dirty();
}

void GfxDepthMask(bool enable) {
  gBoard.state.depthMask = enable;
  Dirty();
}

void GfxAlphaBlendFunction(int32_t rgbSrc, int32_t rgbDst, int32_t, int32_t) {
  BlendFactor s, d;
  if (ToBlendFactor(rgbSrc, &s) && ToBlendFactor(rgbDst, &d)) {
    gBoard.state.src = s;
    gBoard.state.dst = d;
  }
  Dirty();
}

void GfxAlphaTestFunction(int32_t cmp) {
  if (IsCmp(cmp)) gBoard.state.alphaFunc = cmp;
  Dirty();
}

void GfxAlphaTestReferenceValue(uint8_t ref) {
  gBoard.state.alphaRef = ref;
  Dirty();
}

void GfxTexCombineFunction(int32_t, int32_t) {}

void GfxColorCombineFunction(int32_t function) {
  switch (function) {
    case GFX_COMBINE_ZERO: case GFX_COMBINE_CCRGB: case GFX_COMBINE_ITRGB:
    case GFX_COMBINE_DECAL_TEXTURE: case GFX_COMBINE_TEXTURE_ADD_ITRGB:
    case GFX_COMBINE_TEXTURE_TIMES_ITRGB: case GFX_COMBINE_TEXTURE_TIMES_ITRGB_ADD_ALPHA:
    case GFX_COMBINE_TEXTURE_TIMES_ALPHA: case GFX_COMBINE_TEXTURE_TIMES_ALPHA_ADD_ITRGB:
      gBoard.state.combine = function;
      break;
    default:
      break;
  }
  Dirty();
}

void GfxAlphaSource(int32_t source) {
  if (source >= 0 && source <= 3) gBoard.state.alphaSource = source;
  Dirty();
}

void GfxConstantColorValue(uint32_t color) {
  gBoard.state.constantColor = color;
  Dirty();
}

void GfxFogMode(int32_t mode) {
  if (mode == GFX_FOG_DISABLE || mode == GFX_FOG_WITH_TABLE) gBoard.state.fogMode = mode;
  Dirty();
}

void GfxFogColorValue(uint32_t color) {
  gBoard.state.fogColor = color;
  Dirty();
}

void GfxFogTable(const uint8_t table[64]) {
  std::memcpy(gBoard.state.fogTable, table, 64);
  gBoard.fogDirty = true;
  Dirty();
}

float GfxFogTableIndexToW(int32_t index) {
  if (index < 0) index = 0;
  if (index > 63) index = 63;
  return std::ldexp(1.0f + static_cast<float>(index & 3) / 4.0f, index >> 2);
}

void GfxFogGenerateLinear(uint8_t table[64], float start, float end) {
  for (int32_t i = 0; i < 64; ++i) {
    float w = GfxFogTableIndexToW(i);
    float f;
    if (w <= start) {
      f = 0.0f;
    } else if (w >= end) {
      f = 1.0f;
    } else {
      f = (w - start) / (end - start);
    }
    table[i] = static_cast<uint8_t>(f * 255.0f + 0.5f);
  }
}

uint32_t GfxTexMinAddress(int32_t) { return 0; }
uint32_t GfxTexMaxAddress(int32_t) { return gBoard.config.textureMemoryBytes; }

int32_t GfxTexAllocateMemory(int32_t, int32_t, int32_t width, int32_t height, int32_t format, int32_t,
                             int32_t, int32_t, int32_t aspect, int32_t, int32_t, int32_t,
                             int32_t magFilter, float, bool) {
  if (format != GFX_TEXFMT_RGB_565 && format != GFX_TEXFMT_ARGB_1555 && format != GFX_TEXFMT_ARGB_4444)
    return -1;
  if (aspect < 0 || aspect > 6 || width < 1 || width > 256 || height < 1 || height > 256) return -1;
  int32_t lw = Log2(width), lh = Log2(height);
  if (lw < 0 || lh < 0 || lw - lh != ASPECT_LOG_RATIO[aspect]) return -1;
  uint32_t bytes = static_cast<uint32_t>(width * height * 2);
  if (bytes > gBoard.config.textureMemoryBytes - gBoard.textureBytesUsed ||
      gBoard.textureBytesUsed > gBoard.config.textureMemoryBytes)
    return -1;
  Texture t;
  t.width = width;
  t.height = height;
  t.format = format;
  t.bilinear = magFilter == GFX_TEXTUREFILTER_BILINEAR;
  t.bytes = bytes;
  t.texelsPerUnit = static_cast<float>(width > height ? width : height) / 256.0f;
  gBoard.textures.push_back(std::move(t));
  gBoard.textureBytesUsed += bytes;
  Dirty();
  return static_cast<int32_t>(gBoard.textures.size() - 1);
}

bool GfxTexDownloadMipMap(int32_t id, const uint16_t* texels, const void*) {
  if (id < 0 || static_cast<size_t>(id) >= gBoard.textures.size() || !texels) return false;
  Texture& t = gBoard.textures[id];
  size_t count = static_cast<size_t>(t.width) * t.height;
  t.argb.resize(count);
  for (size_t i = 0; i < count; ++i) t.argb[i] = DecodeTexel(t.format, texels[i]);
  t.pairs.clear();
  if (t.bilinear) {
    t.pairs.resize(count);
    for (int32_t y = 0; y < t.height; ++y)
      for (int32_t x = 0; x < t.width; ++x) {
        size_t row = static_cast<size_t>(y) * t.width;
        t.pairs[row + x] = t.argb[row + x] | static_cast<uint64_t>(t.argb[row + (x + 1) % t.width]) << 32;
      }
  }
  t.downloaded = true;
  Dirty();
  return true;
}

void GfxTexSource(uint32_t id) {
  gBoard.state.texSource = id;
  Dirty();
}

void GfxTexMemReset() {
  gBoard.textures.clear();
  gBoard.textureBytesUsed = 0;
  Dirty();
}

bool GfxLfbWriteRegion(int32_t buffer, int32_t x, int32_t y, int32_t sourceFormat, int32_t width,
                       int32_t height, int32_t strideBytes, const void* data) {
  std::vector<uint16_t>* dst = BufferFor(buffer);
  if (!dst || !data) return false;
  if (sourceFormat != GFX_LFB_SRC_FMT_555 && sourceFormat != GFX_LFB_SRC_FMT_565) return false;
  int32_t sx, sy;
  if (!CutRegion(&x, &y, &width, &height, &sx, &sy)) return false;
  const uint8_t* src = static_cast<const uint8_t*>(data);
  for (int32_t j = 0; j < height; ++j) {
    const uint8_t* row = src + static_cast<int64_t>(j + sy) * strideBytes + static_cast<int64_t>(sx) * 2;
    uint16_t* out = dst->data() + static_cast<size_t>(y + j) * gBoard.width + x;
    for (int32_t i = 0; i < width; ++i) {
      uint16_t p;
      std::memcpy(&p, row + i * 2, 2);
      out[i] = sourceFormat == GFX_LFB_SRC_FMT_555 ? GfxRgb555To565(p) : p;
    }
  }
  return true;
}

bool GfxLfbReadRegion(int32_t buffer, int32_t x, int32_t y, int32_t width, int32_t height,
                      int32_t strideBytes, void* out) {
  std::vector<uint16_t>* src = BufferFor(buffer);
  if (!src || !out) return false;
  int32_t sx, sy;
  if (!CutRegion(&x, &y, &width, &height, &sx, &sy)) return false;
  uint8_t* dst = static_cast<uint8_t*>(out);
  for (int32_t j = 0; j < height; ++j) {
    uint8_t* row = dst + static_cast<int64_t>(j + sy) * strideBytes + static_cast<int64_t>(sx) * 2;
    std::memcpy(row, src->data() + static_cast<size_t>(y + j) * gBoard.width + x,
                static_cast<size_t>(width) * 2);
  }
  return true;
}

uint16_t GfxReadDepth(int32_t x, int32_t y) {
  if (!gBoard.open || x < 0 || y < 0 || x >= gBoard.width || y >= gBoard.height) return 0;
  return gBoard.depth[static_cast<size_t>(y) * gBoard.width + x];
}

void GfxForceBaselineLoops(bool force) { gBoard.forceBaseline = force; }

void GfxForceGeneralLoops(bool force) {
  gBoard.forceGeneral = force;
  Dirty();
}

const char* GfxLoopsName() { return CurrentShade() == ShadeRunAvx2 ? "avx2" : "baseline"; }
