#include "tools/datakit/lib/ambient_kit.h"

namespace datakit {

namespace {
constexpr float HELICOPTER_STRETCH = 1.5f;
}  // namespace

Model3ds HelicopterModel() {
  ModelBuilder b;
  const size_t body = b.Material("Mhelibody", 70, 95, 60);
  const size_t belly = b.Material("Mhelibelly", 45, 60, 40);
  const size_t glass = b.Material("Mheliglass", 130, 180, 215);
  const size_t metal = b.Material("Mhelimetal", 35, 35, 40);
  const size_t stripe = b.Material("Mhelistripe", 230, 200, 40);
  // Skids and their struts.
  for (const float side : {-1.0f, 1.0f}) {
    const float a = side < 0 ? -500.0f : 450.0f, c = side < 0 ? -450.0f : 500.0f;
    b.Box(metal, metal, {a, -900.0f, 0.0f}, {c, 900.0f, 60.0f});
    for (const float y : {-500.0f, 400.0f}) b.Box(metal, metal, {a, y - 35.0f, 60.0f}, {c, y + 35.0f, 260.0f});
  }
  b.Box(body, belly, {-420.0f, -800.0f, 250.0f}, {420.0f, 700.0f, 1100.0f});
  b.Box(glass, belly, {-360.0f, -1050.0f, 400.0f}, {360.0f, -800.0f, 1000.0f});
  b.Box(stripe, stripe, {-425.0f, -400.0f, 600.0f}, {425.0f, 700.0f, 700.0f});
  b.Box(body, belly, {-100.0f, 700.0f, 700.0f}, {100.0f, 3000.0f, 920.0f});
  b.Box(stripe, stripe, {-35.0f, 2700.0f, 920.0f}, {35.0f, 3050.0f, 1500.0f});
  b.Box(metal, metal, {100.0f, 2600.0f, 600.0f}, {135.0f, 3100.0f, 1100.0f});
  b.Box(metal, metal, {-70.0f, -70.0f, 1100.0f}, {70.0f, 70.0f, 1400.0f});
  // The game spins a rotor disc 50 units across (70 corner to corner) 14
  // above the craft's lowest point: the craft is drawn out to that rotor,
  // some 62 long, its mast still reaching up to the disc.
  for (auto& v : b.mesh.vertices) {
    v[0] *= HELICOPTER_STRETCH;
    v[1] *= HELICOPTER_STRETCH;
  }
  return b.Done("helicop");
}

}  // namespace datakit
