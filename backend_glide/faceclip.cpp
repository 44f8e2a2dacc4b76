#include "backend_glide/faceclip.h"

#include "engine3d/mathutil.h"

RdrPoly gRdrPoly;

bool RdrPolyOffClip(const RdrPoly& p) {
  const RdrState& s = gRdrState;
  return p.minX > s.clipMaxX || p.maxX < s.clipMinX || p.minY > s.clipMaxY || p.maxY < s.clipMinY;
}

bool RdrPolyInsideClip(const RdrPoly& p) {
  const RdrState& s = gRdrState;
  return p.minX >= s.clipMinX && p.maxX <= s.clipMaxX && p.minY >= s.clipMinY && p.maxY <= s.clipMaxY;
}

float RdrWholePixel(float v) { return static_cast<float>(TruncI32(v)); }

namespace {

// The crossing point is always interpolated from the same end of an edge,
// whichever face the edge belongs to and whichever way it runs, so two faces
// that share an edge get bit-identical points and no crack opens between
// them. The end with the smaller x is taken; edges in one vertical line
// (same x) are decided by y, then by z, which differ at a crossing edge.
bool IsBase(const RdrVertex& a, const RdrVertex& b) {
  if (a.x != b.x) return a.x < b.x;
  if (a.y != b.y) return a.y < b.y;
  return a.z < b.z;
}

double Lerp(double from, double to, double t) { return from + t * (to - from); }

// The point on the edge p-c at depth `plane`. Alpha travels with the colour so
// that faces of one translucency keep it on the corners a clip adds.
RdrVertex Crossing(const RdrVertex& p, const RdrVertex& c, float plane) {
  const RdrVertex& from = IsBase(p, c) ? p : c;
  const RdrVertex& to = IsBase(p, c) ? c : p;
  double t = (static_cast<double>(plane) - from.z) / (static_cast<double>(to.z) - from.z);
  RdrVertex out = from;
  out.x = static_cast<float>(Lerp(from.x, to.x, t));
  out.y = static_cast<float>(Lerp(from.y, to.y, t));
  out.z = plane;
  out.r = static_cast<float>(Lerp(from.r, to.r, t));
  out.g = static_cast<float>(Lerp(from.g, to.g, t));
  out.b = static_cast<float>(Lerp(from.b, to.b, t));
  out.a = static_cast<float>(Lerp(from.a, to.a, t));
  out.tmu[0].sow = static_cast<float>(Lerp(from.tmu[0].sow, to.tmu[0].sow, t));
  out.tmu[0].tow = static_cast<float>(Lerp(from.tmu[0].tow, to.tmu[0].tow, t));
  return out;
}

// One Sutherland-Hodgman pass; a corner on the plane counts as inside.
template <bool FAR>
void ClipAgainst(float plane) {
  RdrPoly& poly = gRdrPoly;
  // The corner list holds at most 11 corners and the closing copy.
  if (poly.count < 1 || poly.count >= static_cast<uint32_t>(RDR_POLY_CORNERS)) {
    poly.count = 0;
    return;
  }
  auto inside = [plane](const RdrVertex& v) { return FAR ? v.z <= plane : v.z >= plane; };
  uint32_t out = 0;
  auto append = [&out](const RdrVertex& v) {
    if (out < static_cast<uint32_t>(RDR_POLY_CLIP)) gRdrPoly.clip[out++] = v;
  };
  const RdrVertex* previous = &poly.corner[0];
  for (uint32_t i = 1; i <= poly.count; ++i) {
    const RdrVertex* current = &poly.corner[i];
    bool previousIn = inside(*previous);
    if (previousIn) append(*previous);
    if (previousIn != inside(*current)) append(Crossing(*previous, *current, plane));
    previous = current;
  }
  poly.count = out;
}

template <bool FAR>
void ClipProject(Face* face) {
  RdrPoly& poly = gRdrPoly;
  uint32_t n = poly.count;
  if (!RdrFaceReadable(face) || n != face->vertexCount) {
    poly.count = 0;
    return;
  }
  for (uint32_t i = 0; i < n; ++i) {
    const Vertex& v = gMesh.vertices[face->index[i]];
    poly.corner[i].x = v.viewX;
    poly.corner[i].y = v.viewY;
    poly.corner[i].z = v.viewZ;
  }
  poly.corner[n] = poly.corner[0];
  if (FAR)
    RdrClipFar();
  else
    RdrClipNear();
  if (poly.count < 3) return;
  const RdrState& s = gRdrState;
  for (uint32_t k = 0; k < poly.count; ++k) {
    const RdrVertex& c = poly.clip[k];
    RdrVertex& v = poly.corner[k];
    v.x = s.centreX + c.x * s.scaleX / c.z;
    v.y = s.centreY + c.y * s.scaleY / c.z;
    v.ooz = c.z;
    v.r = c.r;
    v.g = c.g;
    v.b = c.b;
    v.a = c.a;
    v.tmu[0].sow = c.tmu[0].sow;
    v.tmu[0].tow = c.tmu[0].tow;
  }
}

}  // namespace

void RdrClipNear() { ClipAgainst<false>(gRdrState.nearPlane); }
void RdrClipFar() { ClipAgainst<true>(gRdrState.farPlane); }
void RdrClipNearProject(Face* face) { ClipProject<false>(face); }
void RdrClipFarProject(Face* face) { ClipProject<true>(face); }
