// The ripple ring of the water tracks: 32 quads between radius 10 and 10.5
// around the origin, at the water level + 0.25. The splash rings and the
// boat's ripples draw it moved and scaled.
#include "engine3d/angle.h"
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
