// The ripple ring of the water tracks: 32 quads between radius 10 and 10.5
// around the origin, at the water level + 0.25. The splash rings and the
// boat's ripples draw it moved and scaled.
#include "backend_common/draw.h"
#include "engine3d/angle.h"
#include "presentation/fx_common.h"
#include "presentation/decor_objects.h"
#include "presentation/fx.h"
#include "presentation/presentation.h"
#include "race/race.h"

FxRippleRing gDecorRippleRing;

namespace {

constexpr float RING_INNER = 10.0f;
constexpr float RING_OUTER = RING_INNER * 1.05f;

}  // namespace

void DecorBuildRippleRing() {
  FxRippleRing& r = gDecorRippleRing;
  const float y = gRace.waterLevel + 0.25f;
  for (int32_t i = 0; i < FX_RING_QUADS; ++i) {
    const int32_t a = i * (1024 / FX_RING_QUADS);
    Vertex& inner = r.vertices[2 * i];
    Vertex& outer = r.vertices[2 * i + 1];
    inner = Vertex{};
    outer = Vertex{};
    inner.x = RING_INNER * MathSin(a);
    inner.z = RING_INNER * MathCos(a);
    outer.x = RING_OUTER * MathSin(a);
    outer.z = RING_OUTER * MathCos(a);
    inner.y = outer.y = y;
  }
  // Quad i joins pair i to pair i + 1, the last back to the first.
  for (int32_t i = 0; i < FX_RING_QUADS; ++i) {
    Face& f = r.faces[i];
    f = Face{};
    f.vertexCount = 4;
    const int32_t corners[4] = {2 * i, 2 * i + 2, 2 * i + 3, 2 * i + 1};
    for (int32_t k = 0; k < 4; ++k) f.index[k] = static_cast<uint16_t>(corners[k] % (2 * FX_RING_QUADS));
  }
  r.built = 1;
}

void FxDrawRippleRing(const DrawSlot* slot, float size) {
  if (!gDecorRippleRing.built) return;
  const int32_t first = gMesh.vertexCount;
  constexpr int32_t n = 2 * FX_RING_QUADS;
  Vertex* v = first + n <= UINT16_MAX + 1 ? MeshScratchVertices(first, n) : nullptr;
  Face* f = MeshScratchFaces(gMesh.faceCount, 1);
  if (!v || !f) return;
  RdrSetAlphaSourceColour(0, 0, 0, 1);
  int32_t alpha = TruncI32((130.0f - size) * 0.5f);
  if (alpha < 0) alpha = 0;
  const float scale = size * 0.1f;
  for (int32_t i = 0; i < n; ++i) {
    const Vertex& r = gDecorRippleRing.vertices[i];
    v[i] = Vertex{};
    v[i].x = slot->x + r.x * scale;
    v[i].y = r.y;
    v[i].z = slot->z + r.z * scale;
    FxColour(&v[i], 82, 90, 66);
    RdrProjectVertex(&v[i]);
  }
  for (int32_t q = 0; q < FX_RING_QUADS; ++q) {
    *f = gDecorRippleRing.faces[q];
    for (int32_t k = 0; k < f->vertexCount && k < 4; ++k) f->index[k] = static_cast<uint16_t>(first + f->index[k]);
    f->type = static_cast<uint32_t>(alpha);
    RdrDrawFaceVColour(f);
  }
  RdrSetAlphaSourceColour(0, 0, 0, 3);
}

void DecorStepSplash(DrawSlot* slot, void*) {
  if (slot->viewZ > 5.0f) FxDrawRippleRing(slot, FxW1(slot));
  if (!RaceViewAdvances()) return;
  FxW1(slot) += 0.5f * gRace.timeStep;
  if (FxW1(slot) > 120.0f) slot->visible = FX_KIND_FREE;
}
