// Inside the software accelerator: the records shared between the state
// calls, the primitive set-up and the pixel loops. Frame data (buffers) is
// kept apart from render state so that rows could later be drawn by several
// threads from one read-only pipeline description.
#pragma once
#include <cstdint>
#include <vector>

namespace gfx {

// A downloaded texture, decoded once to 8-bit channels.
struct Texture {
  int32_t width = 0, height = 0;
  int32_t format = 0;
  bool bilinear = false;
  bool downloaded = false;
  uint32_t bytes = 0;            // share of texture memory
  float texelsPerUnit = 0.0f;    // long side / 256
  std::vector<uint32_t> argb;    // a << 24 | r << 16 | g << 8 | b, rows from the top
  // Bilinear textures also keep each texel with its right-hand neighbour
  // (wrapped) in one 64-bit entry, so that the filter fetches two texels at
  // once: low half texel x, high half texel x + 1.
  std::vector<uint64_t> pairs;
};

// The pixel loops read and write whole groups of eight pixels, those past a
// span unchanged: the colour and depth buffers hold this many pixels more
// than the screen, so that a group starting on the last row's last pixels
// stays inside them.
constexpr int32_t BUFFER_PAD = 8;

// The buffers drawn into.
struct Target {
  int32_t width = 0, height = 0;
  uint16_t* colour = nullptr;  // back buffer, RGB565
  uint16_t* depth = nullptr;
  // Scissor after intersection with the buffer: [minX, maxX) x [minY, maxY).
  int32_t minX = 0, minY = 0, maxX = 0, maxY = 0;
};

enum class BlendFactor : uint8_t { ZERO, ONE, SRC_ALPHA, ONE_MINUS_SRC_ALPHA };

// Everything the pixel loops need, derived from render state before a
// primitive. Read-only while drawing.
struct Pipe {
  int32_t combine = 0;
  int32_t alphaSource = 0;
  bool useTexture = false;     // the combine reads T
  const Texture* texture = nullptr;
  bool useIterColour = false;  // combine reads I
  bool useIterAlpha = false;   // the alpha source or La reads Ia
  bool useOow = false;         // texture or fog need 1/w
  int32_t depthFunc = -1;      // -1: no depth test
  bool depthWrite = false;
  int32_t alphaFunc = 7;
  bool general = false;        // no loops specialised for common states
  int32_t alphaRef = 0;
  bool fog = false;
  // The fog table for the pixel loops, one fetch a lane, indexed by the top
  // eleven bits of w's float bits (its exponent and the top two bits of its
  // mantissa; w is positive, so the sign bit is 0): the fog entry there in
  // the low 16 bits, the step from it to the next entry above them (entry +
  // step x 65536). Exponents below the table's take entry 0, those above it
  // entry 63, both with no step, so no index needs clamping.
  static constexpr int FOG_WIDE = 2048;
  int32_t fogWide[FOG_WIDE] = {};
  int32_t fogR = 0, fogG = 0, fogB = 0;
  BlendFactor src = BlendFactor::ONE, dst = BlendFactor::ZERO;
  int32_t cr = 0, cg = 0, cb = 0, ca = 0;  // constant colour
};

// The row-by-row walk of the sloped edges of a triangle. Edge j is E = a *
// px + b * py + k with px, py in sub-pixels (16 per pixel), positive inside;
// it bounds row y's span by q = floor(m / d), 0 <= r < d, for m = E(0, row
// centre) + a * 8 and d = 16 |a|; m grows by 16 b a row (dq, dr: its
// quotient and remainder by d). Slots 0 and 1 hold left edges (a > 0), which
// start the span at -q; slots 2 and 3 right edges (a < 0), which end it
// before q + 1. A triangle has one or two of each; a missing one never binds
// (q = NO_EDGE, no step). Horizontal edges only cut rows, which the row range
// already reflects.
constexpr int64_t NO_EDGE = int64_t{1} << 40;

struct Edges {
  int64_t q[4], r[4], d[4], dq[4], dr[4];
};

constexpr int ATTRS = 8;  // ooz, sow, tow, oow, r, g, b, a

// A run of n pixels of one row, starting at x: attribute k of pixel i is
// base[k] + i x step[k].
struct Run {
  int32_t x, y, n;
  float base[ATTRS], step[ATTRS];
};

// A triangle ready for the pixel loops: the rows to walk (already cut to the
// scissor), its edges at the first row, and the plane of each attribute in
// pixels about corner 0 (fx0, fy0). Pixel i of a span starting at xl on row y
// gets float(v0 + ddx * (xl + 0.5 - fx0) + ddy * (y + 0.5 - fy0)) +
// i x float(ddx), the same as a Run.
struct Triangle {
  int32_t rowFirst, rowEnd;
  Edges edges;
  double fx0, fy0;
  double v0[ATTRS], ddx[ATTRS], ddy[ATTRS];
};

// Pixel loops, built twice: plain and with wider instructions.
using ShadeRunFn = void (*)(const Pipe&, const Target&, const Run&);
void ShadeRunBaseline(const Pipe& pipe, const Target& target, const Run& run);
void ShadeRunAvx2(const Pipe& pipe, const Target& target, const Run& run);
using ShadeTriangleFn = void (*)(const Pipe&, const Target&, const Triangle&);
void ShadeTriangleBaseline(const Pipe& pipe, const Target& target, const Triangle& tri);
void ShadeTriangleAvx2(const Pipe& pipe, const Target& target, const Triangle& tri);

// Writes the frame just shown to disk when the environment asks for it.
void GfxDumpShownFrame();

// The state the primitives draw with: null / false when nothing can be drawn
// (no screen open, or a textured combine with no usable texture bound).
const Pipe* CurrentPipe();
bool CurrentTarget(Target* target);
ShadeRunFn CurrentShade();
ShadeTriangleFn CurrentShadeTriangle();

// Shows a frame of RGB565 pixels in the desktop window; headless, nothing.
void PresentFrame(const uint16_t* pixels, int32_t width, int32_t height);
// Lets go of the window's renderer and texture.
void PresentShutdown();

}  // namespace gfx
