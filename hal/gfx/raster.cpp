// Primitive set-up: triangles, fans, lines and points become runs of pixels
// for the pixel loops.
//
// Coverage: a pixel is covered when its centre (x + 0.5, y + 0.5) lies inside
// the triangle; a centre exactly on an edge belongs to the triangle only when
// the edge is a left edge or a horizontal top edge. Positions are snapped to
// 1/16 pixel and the edge tests are exact integer arithmetic, so two
// triangles sharing an edge never both cover (and never both blend) a pixel
// on it. Attributes are interpolated linearly in screen space from plane
// equations set up per triangle, sampled at pixel centres; texture
// coordinates arrive divided by w and are divided back per pixel.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <utility>

#include "hal/gfx/gfx.h"
#include "hal/gfx/gfx_internal.h"

namespace gfx {
namespace {

constexpr int32_t SUBPIXEL = 16;
// Primitives reaching beyond this band are cut to it first, so that the
// integer edge tests cannot overflow; the band is far wider than any screen.
constexpr float GUARD_MIN = -4096.0f;
constexpr float GUARD_MAX = 8192.0f;

struct Corner {
  float x, y;
  float v[ATTRS];
};

Corner FromVertex(const GfxVertex& g) {
  return Corner{g.x, g.y, {g.ooz, g.tmu[0].sow, g.tmu[0].tow, g.oow, g.r, g.g, g.b, g.a}};
}

// v x 0 is 0 for every finite v and NaN for infinities and NaNs, so one sum
// tells whether all are finite, with no branch per value.
bool Finite(const Corner& c) {
  float sum = c.x * 0.0f + c.y * 0.0f;
  for (float v : c.v) sum += v * 0.0f;
  return sum == 0.0f;
}

Corner Lerp(const Corner& a, const Corner& b, float t) {
  Corner c;
  c.x = a.x + (b.x - a.x) * t;
  c.y = a.y + (b.y - a.y) * t;
  for (int i = 0; i < ATTRS; ++i) c.v[i] = a.v[i] + (b.v[i] - a.v[i]) * t;
  return c;
}

// One Sutherland-Hodgman pass against x (axis 0) or y (axis 1) >= / <= limit.
int ClipAxis(const Corner* in, int n, Corner* out, int axis, float limit, bool keepAbove) {
  int m = 0;
  for (int i = 0; i < n; ++i) {
    const Corner& a = in[i];
    const Corner& b = in[(i + 1) % n];
    float da = (axis == 0 ? a.x : a.y) - limit;
    float db = (axis == 0 ? b.x : b.y) - limit;
    if (!keepAbove) {
      da = -da;
      db = -db;
    }
    if (da >= 0) out[m++] = a;
    if ((da >= 0) != (db >= 0)) out[m++] = Lerp(a, b, da / (da - db));
  }
  return m;
}

int64_t FloorDiv(int64_t a, int64_t b) {  // b > 0
  int64_t q = a / b;
  return (a % b != 0 && a < 0) ? q - 1 : q;
}

int64_t CeilDiv(int64_t a, int64_t b) { return -FloorDiv(-a, b); }


void DrawTriangleCorners(const Pipe& pipe, const Target& target, ShadeTriangleFn shadeTriangle, const Corner& c0,
                         Corner c1, Corner c2) {
  int64_t X[3], Y[3];
  const Corner* c[3] = {&c0, &c1, &c2};
  for (int i = 0; i < 3; ++i) {
    X[i] = static_cast<int64_t>(std::floor(c[i]->x * SUBPIXEL + 0.5f));
    Y[i] = static_cast<int64_t>(std::floor(c[i]->y * SUBPIXEL + 0.5f));
  }
  int64_t area = (X[1] - X[0]) * (Y[2] - Y[0]) - (X[2] - X[0]) * (Y[1] - Y[0]);
  if (area == 0) return;
  if (area < 0) {
    std::swap(X[1], X[2]);
    std::swap(Y[1], Y[2]);
    std::swap(c[1], c[2]);
    area = -area;
  }

  // Edge i runs from corner i to corner i + 1: E = a * px + b * py + k, with
  // px, py in sub-pixels, positive inside.
  int64_t ea[3], eb[3], ek[3];
  for (int i = 0; i < 3; ++i) {
    int j = (i + 1) % 3;
    ea[i] = Y[i] - Y[j];
    eb[i] = X[j] - X[i];
    bool topLeft = ea[i] > 0 || (ea[i] == 0 && eb[i] > 0);
    ek[i] = -ea[i] * X[i] - eb[i] * Y[i] - (topLeft ? 0 : 1);
  }

  // Plane equations of the attributes, in pixels.
  double fx0 = static_cast<double>(X[0]) / SUBPIXEL, fy0 = static_cast<double>(Y[0]) / SUBPIXEL;
  double dx1 = static_cast<double>(X[1] - X[0]) / SUBPIXEL, dy1 = static_cast<double>(Y[1] - Y[0]) / SUBPIXEL;
  double dx2 = static_cast<double>(X[2] - X[0]) / SUBPIXEL, dy2 = static_cast<double>(Y[2] - Y[0]) / SUBPIXEL;
  double det = dx1 * dy2 - dx2 * dy1;
  double ddx[ATTRS], ddy[ATTRS], v0[ATTRS];
  for (int i = 0; i < ATTRS; ++i) {
    double p0 = c[0]->v[i], p1 = c[1]->v[i] - p0, p2 = c[2]->v[i] - p0;
    v0[i] = p0;
    ddx[i] = (p1 * dy2 - p2 * dy1) / det;
    ddy[i] = (p2 * dx1 - p1 * dx2) / det;
    if (!std::isfinite(ddx[i]) || !std::isfinite(ddy[i])) return;
  }

  int64_t minY = Y[0] < Y[1] ? (Y[0] < Y[2] ? Y[0] : Y[2]) : (Y[1] < Y[2] ? Y[1] : Y[2]);
  int64_t maxY = Y[0] > Y[1] ? (Y[0] > Y[2] ? Y[0] : Y[2]) : (Y[1] > Y[2] ? Y[1] : Y[2]);
  int64_t rowFirst = CeilDiv(minY - SUBPIXEL / 2, SUBPIXEL);
  int64_t rowEnd = FloorDiv(maxY - SUBPIXEL / 2, SUBPIXEL) + 1;
  if (rowFirst < target.minY) rowFirst = target.minY;
  if (rowEnd > target.maxY) rowEnd = target.maxY;
  // A horizontal edge keeps the rows whose centre py = 16 y + 8 has
  // b * py + k >= 0: from a first row (b > 0) or up to a last one (b < 0).
  for (int i = 0; i < 3; ++i) {
    if (ea[i] != 0) continue;
    if (eb[i] > 0) {
      int64_t first = CeilDiv(CeilDiv(-ek[i], eb[i]) - SUBPIXEL / 2, SUBPIXEL);
      if (rowFirst < first) rowFirst = first;
    } else {
      int64_t end = FloorDiv(FloorDiv(ek[i], -eb[i]) - SUBPIXEL / 2, SUBPIXEL) + 1;
      if (rowEnd > end) rowEnd = end;
    }
  }

  if (rowFirst >= rowEnd) return;

  // The span ends of each row, floor((E-part + a * 8) / (16 |a|)), are
  // stepped from row to row with an exact quotient and remainder instead of a
  // division per row and edge.
  Triangle tri;
  tri.rowFirst = static_cast<int32_t>(rowFirst);
  tri.rowEnd = static_cast<int32_t>(rowEnd);
  Edges& e = tri.edges;
  for (int j = 0; j < 4; ++j) {
    e.q[j] = NO_EDGE;
    e.r[j] = e.dq[j] = e.dr[j] = 0;
    e.d[j] = 1;
  }
  int lefts = 0, rights = 0;
  for (int i = 0; i < 3; ++i) {
    if (ea[i] == 0) continue;
    // A non-degenerate triangle has at most two edges on either side.
    const int j = ea[i] > 0 ? (lefts++ & 1) : 2 + (rights++ & 1);
    e.d[j] = (ea[i] > 0 ? ea[i] : -ea[i]) * SUBPIXEL;
    int64_t m = eb[i] * (rowFirst * SUBPIXEL + SUBPIXEL / 2) + ek[i] + ea[i] * (SUBPIXEL / 2);
    e.q[j] = FloorDiv(m, e.d[j]);
    e.r[j] = m - e.q[j] * e.d[j];
    int64_t dm = eb[i] * SUBPIXEL;
    e.dq[j] = FloorDiv(dm, e.d[j]);
    e.dr[j] = dm - e.dq[j] * e.d[j];
  }
  tri.fx0 = fx0;
  tri.fy0 = fy0;
  for (int i = 0; i < ATTRS; ++i) {
    tri.v0[i] = v0[i];
    tri.ddx[i] = ddx[i];
    tri.ddy[i] = ddy[i];
  }
  shadeTriangle(pipe, target, tri);
}

bool InsideGuard(const Corner& c) {
  return c.x >= GUARD_MIN && c.x <= GUARD_MAX && c.y >= GUARD_MIN && c.y <= GUARD_MAX;
}

// Convex polygon as a fan from corner 0.
void DrawPolygon(int32_t count, const GfxVertex* const* list) {
  if (count < 3 || count > 12) return;
  const Pipe* pipe = CurrentPipe();
  Target target;
  if (!pipe || !CurrentTarget(&target)) return;
  ShadeTriangleFn shadeTriangle = CurrentShadeTriangle();

  // Room for the corners added by four cuts.
  Corner a[12 + 4], b[12 + 4];
  bool inside = true;
  for (int32_t i = 0; i < count; ++i) {
    a[i] = FromVertex(*list[i]);
    if (!Finite(a[i])) return;
    inside = inside && InsideGuard(a[i]);
  }
  int n = count;
  if (!inside) {
    n = ClipAxis(a, n, b, 0, GUARD_MIN, true);
    n = ClipAxis(b, n, a, 0, GUARD_MAX, false);
    n = ClipAxis(a, n, b, 1, GUARD_MIN, true);
    n = ClipAxis(b, n, a, 1, GUARD_MAX, false);
    if (n < 3) return;
  }
  for (int i = 1; i + 1 < n; ++i) DrawTriangleCorners(*pipe, target, shadeTriangle, a[0], a[i], a[i + 1]);
}

void ShadePixel(const Pipe& pipe, const Target& target, ShadeRunFn shade, int32_t x, int32_t y,
                const Corner& c) {
  if (x < target.minX || x >= target.maxX || y < target.minY || y >= target.maxY) return;
  Run run;
  run.x = x;
  run.y = y;
  run.n = 1;
  for (int i = 0; i < ATTRS; ++i) {
    run.base[i] = c.v[i];
    run.step[i] = 0.0f;
  }
  shade(pipe, target, run);
}

}  // namespace
}  // namespace gfx

using namespace gfx;

void GfxDrawTriangle(const GfxVertex* a, const GfxVertex* b, const GfxVertex* c) {
  if (!a || !b || !c) return;
  const GfxVertex* list[3] = {a, b, c};
  DrawPolygon(3, list);
}

void GfxDrawTriangleWithClip(const GfxVertex* a, const GfxVertex* b, const GfxVertex* c) {
  GfxDrawTriangle(a, b, c);
}

void GfxDrawPolygonVertexList(int32_t count, const GfxVertex* list) {
  if (!list || count < 3 || count > 12) return;
  const GfxVertex* ptrs[12];
  for (int32_t i = 0; i < count; ++i) ptrs[i] = &list[i];
  DrawPolygon(count, ptrs);
}

void GfxDrawPolygonVertexListWithClip(int32_t count, const GfxVertex* list) {
  GfxDrawPolygonVertexList(count, list);
}

void GfxDrawPoint(const GfxVertex* v) {
  if (!v) return;
  const Pipe* pipe = CurrentPipe();
  Target target;
  if (!pipe || !CurrentTarget(&target)) return;
  Corner c = FromVertex(*v);
  if (!Finite(c) || !InsideGuard(c)) return;
  ShadePixel(*pipe, target, CurrentShade(), static_cast<int32_t>(std::floor(c.x)),
             static_cast<int32_t>(std::floor(c.y)), c);
}

// Steps along the longer axis one pixel at a time from the pixel of the first
// end to the pixel of the second, both included.
void GfxDrawLine(const GfxVertex* va, const GfxVertex* vb) {
  if (!va || !vb) return;
  const Pipe* pipe = CurrentPipe();
  Target target;
  if (!pipe || !CurrentTarget(&target)) return;
  Corner a = FromVertex(*va), b = FromVertex(*vb);
  if (!Finite(a) || !Finite(b)) return;
  if (!InsideGuard(a) || !InsideGuard(b)) {
    // Cut the segment to the guard band (Liang-Barsky), keeping its slope.
    float t0 = 0.0f, t1 = 1.0f;
    float dx = b.x - a.x, dy = b.y - a.y;
    const float p[4] = {-dx, dx, -dy, dy};
    const float q[4] = {a.x - GUARD_MIN, GUARD_MAX - a.x, a.y - GUARD_MIN, GUARD_MAX - a.y};
    for (int i = 0; i < 4; ++i) {
      if (p[i] == 0.0f) {
        if (q[i] < 0.0f) return;
        continue;
      }
      float r = q[i] / p[i];
      if (p[i] < 0.0f) {
        if (r > t1) return;
        if (r > t0) t0 = r;
      } else {
        if (r < t0) return;
        if (r < t1) t1 = r;
      }
    }
    Corner na = Lerp(a, b, t0), nb = Lerp(a, b, t1);
    a = na;
    b = nb;
  }
  ShadeRunFn shade = CurrentShade();
  int32_t x0 = static_cast<int32_t>(std::floor(a.x)), y0 = static_cast<int32_t>(std::floor(a.y));
  int32_t x1 = static_cast<int32_t>(std::floor(b.x)), y1 = static_cast<int32_t>(std::floor(b.y));
  int32_t steps = std::abs(x1 - x0) > std::abs(y1 - y0) ? std::abs(x1 - x0) : std::abs(y1 - y0);
  for (int32_t i = 0; i <= steps; ++i) {
    float t = steps == 0 ? 0.0f : static_cast<float>(i) / static_cast<float>(steps);
    Corner c = Lerp(a, b, t);
    int32_t x = x0 + static_cast<int32_t>(std::lround(static_cast<double>(x1 - x0) * i / (steps ? steps : 1)));
    int32_t y = y0 + static_cast<int32_t>(std::lround(static_cast<double>(y1 - y0) * i / (steps ? steps : 1)));
    ShadePixel(*pipe, target, shade, x, y, c);
  }
}
