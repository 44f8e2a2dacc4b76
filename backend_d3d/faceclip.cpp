#include "backend_d3d/faces.h"

RdrPoly gRdrPoly;

namespace {

uint32_t Channel(uint32_t diffuse, int shift) { return (diffuse >> shift) & 0xFF; }

// Colour channels are whole numbers between the ends, truncated.
uint32_t LerpChannel(const RdrVertex& a, const RdrVertex& b, int shift, double t) {
  const double from = Channel(a.diffuse, shift), to = Channel(b.diffuse, shift);
  const double v = from + (to - from) * t;
  return v <= 0.0 ? 0u : v >= 255.0 ? 255u : static_cast<uint32_t>(v);
}

float Lerp(float a, float b, double t) {
  return static_cast<float>(static_cast<double>(a) + (static_cast<double>(b) - static_cast<double>(a)) * t);
}

// The alpha never survives a clip: every corner the clipper emits is opaque.
uint32_t Opaque(uint32_t diffuse) { return 0xFF000000u | (diffuse & 0xFFFFFF); }

// The crossing is interpolated from the end with the smaller x, so an edge
// shared by two faces is cut at one point whichever way each face runs it.
RdrVertex Crossing(const RdrVertex& previous, const RdrVertex& current, float plane) {
  const RdrVertex& a = previous.sx < current.sx ? previous : current;
  const RdrVertex& b = previous.sx < current.sx ? current : previous;
  const double t = (static_cast<double>(plane) - a.sz) / (static_cast<double>(b.sz) - a.sz);
  RdrVertex out = a;
  out.sx = Lerp(a.sx, b.sx, t);
  out.sy = Lerp(a.sy, b.sy, t);
  out.sz = plane;
  out.tu = Lerp(a.tu, b.tu, t);
  out.tv = Lerp(a.tv, b.tv, t);
  out.diffuse = 0xFF000000u | LerpChannel(a, b, 16, t) << 16 | LerpChannel(a, b, 8, t) << 8 | LerpChannel(a, b, 0, t);
  return out;
}

// One Sutherland-Hodgman pass; a corner on the plane counts as inside.
template <bool FAR>
void ClipAgainst(float plane) {
  RdrPoly& poly = gRdrPoly;
  if (poly.count < 1 || poly.count >= static_cast<uint32_t>(RDR_POLY_WORK)) {
    poly.count = 0;
    return;
  }
  auto inside = [plane](const RdrVertex& v) { return FAR ? v.sz <= plane : v.sz >= plane; };
  uint32_t out = 0;
  auto emit = [&out](const RdrVertex& v) {
    if (out < static_cast<uint32_t>(RDR_POLY_CLIP)) gRdrPoly.clip[out++] = v;
  };
  const RdrVertex* previous = &poly.work[0];
  for (uint32_t i = 1; i <= poly.count; ++i) {
    const RdrVertex* current = &poly.work[i];
    const bool previousIn = inside(*previous);
    if (previousIn) {
      RdrVertex kept = *previous;
      kept.diffuse = Opaque(kept.diffuse);
      emit(kept);
    }
    if (previousIn != inside(*current)) emit(Crossing(*previous, *current, plane));
    previous = current;
  }
  poly.count = out;
}

template <bool FAR>
void ClipProject(Face* face) {
  RdrPoly& poly = gRdrPoly;
  const uint32_t n = poly.count;
  if (!RdrFaceReadable(face) || n != face->vertexCount) {
    poly.count = 0;
    return;
  }
  for (uint32_t i = 0; i < n; ++i) {
    const Vertex& v = gMesh.vertices[face->index[i]];
    poly.work[i].sx = v.viewX;
    poly.work[i].sy = v.viewY;
    poly.work[i].sz = v.viewZ;
  }
  poly.work[n] = poly.work[0];
  if (FAR)
    RdrClipFar();
  else
    RdrClipNear();
  if (poly.count < 3) return;
  const RdrState& s = gRdrState;
  for (uint32_t k = 0; k < poly.count; ++k) {
    const RdrVertex& c = poly.clip[k];
    RdrVertex& v = poly.work[k];
    v.sx = s.centreX + c.sx * s.scaleX / c.sz;
    v.sy = s.centreY + c.sy * s.scaleY / c.sz;
    v.sz = c.sz;
    v.diffuse = c.diffuse;
    v.specular = c.specular;
    v.tu = c.tu;
    v.tv = c.tv;
  }
}

}  // namespace

void RdrClipNear() { ClipAgainst<false>(gRdrState.nearPlane); }
void RdrClipFar() { ClipAgainst<true>(gRdrState.farPlane); }
void RdrClipNearProject(Face* face) { ClipProject<false>(face); }
void RdrClipFarProject(Face* face) { ClipProject<true>(face); }
