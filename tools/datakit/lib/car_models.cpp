#include "tools/datakit/lib/car_models.h"

#include <cmath>
#include <string>

namespace datakit {

namespace {

using Vec3 = std::array<float, 3>;

// Three places are plenty for sample models, and the same bytes everywhere.
float Round3(double v) { return static_cast<float>(std::round(v * 1000.0) / 1000.0); }

struct BodyBox {
  int minLevel, maxLevel;  // the levels that carry it
  enum Paint { BODY, GLASS, DARK, LAMP } paint;
  Vec3 lo, hi;
};

// The body in pieces, each carried from level 0 up to its last level; level
// 3, the far body, is the single box at the end.
constexpr BodyBox BODY_BOXES[] = {
    {0, 2, BodyBox::BODY, {-5.0f, -19.0f, 1.0f}, {5.0f, 19.0f, 5.0f}},        // chassis
    {0, 2, BodyBox::GLASS, {-4.5f, -8.0f, 5.0f}, {4.5f, 5.0f, 10.0f}},        // cabin
    {0, 1, BodyBox::DARK, {-6.0f, 19.0f, 1.5f}, {6.0f, 21.0f, 3.5f}},         // front bumper
    {0, 1, BodyBox::DARK, {-6.0f, -21.0f, 1.5f}, {6.0f, -19.0f, 3.5f}},       // rear bumper
    {0, 1, BodyBox::BODY, {-8.6f, 8.0f, 5.0f}, {-5.0f, 14.5f, 5.8f}},         // fenders
    {0, 1, BodyBox::BODY, {5.0f, 8.0f, 5.0f}, {8.6f, 14.5f, 5.8f}},
    {0, 1, BodyBox::BODY, {-9.0f, -15.0f, 5.0f}, {-5.0f, -8.0f, 5.8f}},
    {0, 1, BodyBox::BODY, {5.0f, -15.0f, 5.0f}, {9.0f, -8.0f, 5.8f}},
    {0, 0, BodyBox::BODY, {-1.5f, 8.0f, 5.0f}, {1.5f, 13.0f, 6.2f}},          // bonnet scoop
    {0, 0, BodyBox::BODY, {-6.0f, -19.0f, 9.5f}, {6.0f, -16.5f, 10.2f}},      // rear wing
    {0, 0, BodyBox::DARK, {-4.0f, -18.5f, 5.0f}, {-3.4f, -17.5f, 9.5f}},      // its posts
    {0, 0, BodyBox::DARK, {3.4f, -18.5f, 5.0f}, {4.0f, -17.5f, 9.5f}},
    {0, 0, BodyBox::LAMP, {-4.0f, 19.0f, 3.6f}, {-2.2f, 19.5f, 4.8f}},        // headlamps
    {0, 0, BodyBox::LAMP, {2.2f, 19.0f, 3.6f}, {4.0f, 19.5f, 4.8f}},
    {3, 3, BodyBox::BODY, {-5.0f, -20.0f, 1.0f}, {5.0f, 20.0f, 8.0f}},        // the far body
};

// One ring of `segments` quads about the x axis from -w to +w, radius r,
// its faces towards the outside.
void Tread(ModelBuilder* b, size_t group, int segments, float r, float w) {
  for (int i = 0; i < segments; ++i) {
    const double a0 = 6.283185307179586 * i / segments, a1 = 6.283185307179586 * (i + 1) / segments;
    const float y0 = Round3(r * std::cos(a0)), z0 = Round3(r * std::sin(a0));
    const float y1 = Round3(r * std::cos(a1)), z1 = Round3(r * std::sin(a1));
    b->Quad(group, {-w, y0, z0}, {-w, y1, z1}, {w, y1, z1}, {w, y0, z0});
  }
}

// The two hub discs closing the tread, a triangle a segment each side.
void Hubs(ModelBuilder* b, size_t group, int segments, float r, float w) {
  for (int i = 0; i < segments; ++i) {
    const double a0 = 6.283185307179586 * i / segments, a1 = 6.283185307179586 * (i + 1) / segments;
    const float y0 = Round3(r * std::cos(a0)), z0 = Round3(r * std::sin(a0));
    const float y1 = Round3(r * std::cos(a1)), z1 = Round3(r * std::sin(a1));
    const auto base = static_cast<int>(b->mesh.vertices.size());
    b->mesh.vertices.insert(b->mesh.vertices.end(),
                            {{w, 0.0f, 0.0f}, {w, y0, z0}, {w, y1, z1}, {-w, 0.0f, 0.0f}, {-w, y1, z1}, {-w, y0, z0}});
    b->mesh.mapping.insert(b->mesh.mapping.end(), 6, {0.0f, 0.0f});
    b->Triangle(group, base, base + 1, base + 2);
    b->Triangle(group, base + 3, base + 4, base + 5);
  }
}

Model3ds Wheel(const char* name, int segments, float r, float w, uint8_t hubShade) {
  ModelBuilder b;
  const size_t tyre = b.Material("TYRE", 30, 30, 30, "gomme.3df");
  const size_t hub = b.Material("HUB", hubShade, hubShade, hubShade);
  Tread(&b, tyre, segments, r, w);
  Hubs(&b, hub, segments, r, w);
  return b.Done(name);
}

// The driver: body, helmet and its visor, which faces forward (+y).
constexpr Vec3 DRIVER_BOXES[3][2] = {
    {{-2.0f, -1.5f, 0.0f}, {2.0f, 1.5f, 5.0f}},
    {{-1.3f, -1.3f, 5.0f}, {1.3f, 1.3f, 7.8f}},
    {{-1.0f, 1.3f, 6.0f}, {1.0f, 1.8f, 7.0f}},
};
constexpr float DRIVER_HEIGHT = 7.8f;


// A box whose faces share its eight corners, so that the loader's vertex
// normals lean over the edges: a side turned from the sun still takes light
// along its upper edge instead of going black from edge to edge, as a
// rounded body would. The top and sides take `sides`, the bottom `bottom`.
void RoundedBox(ModelBuilder* b, size_t sides, size_t bottom, const Vec3& lo, const Vec3& hi) {
  const auto base = static_cast<int>(b->mesh.vertices.size());
  for (int k = 0; k < 8; ++k) {
    b->mesh.vertices.push_back({(k & 1) ? hi[0] : lo[0], (k & 2) ? hi[1] : lo[1], (k & 4) ? hi[2] : lo[2]});
    b->mesh.mapping.push_back({(k & 1) ? 1.0f : 0.0f, (k & 2) ? 1.0f : 0.0f});
  }
  // Corner k has x from bit 0, y from bit 1, z from bit 2; the windings are
  // those of ModelBuilder::Box.
  const int QUADS[6][4] = {{4, 5, 7, 6}, {2, 3, 1, 0}, {0, 1, 5, 4}, {3, 2, 6, 7}, {1, 3, 7, 5}, {2, 0, 4, 6}};
  for (int q = 0; q < 6; ++q) {
    const size_t group = q == 1 ? bottom : sides;
    b->Triangle(group, base + QUADS[q][0], base + QUADS[q][1], base + QUADS[q][2]);
    b->Triangle(group, base + QUADS[q][0], base + QUADS[q][2], base + QUADS[q][3]);
  }
}

}  // namespace

Model3ds CarBodyModel(int level) {
  ModelBuilder b;
  const size_t paints[] = {b.Material("BODY", 255, 255, 255, "car.3df"), b.Material("GLASS", 40, 60, 90),
                           b.Material("DARK", 40, 40, 40), b.Material("LAMP", 250, 230, 120)};
  for (const BodyBox& box : BODY_BOXES)
    if (level >= box.minLevel && level <= box.maxLevel)
      RoundedBox(&b, paints[box.paint], paints[BodyBox::DARK], box.lo, box.hi);
  return b.Done("body");
}

Model3ds CarInteriorModel() {
  ModelBuilder b;
  const size_t body = b.Material("BODY", 255, 255, 255, "car.3df");
  const size_t dark = b.Material("DARK", 40, 40, 40);
  b.Box(dark, dark, {-4.5f, -8.0f, 1.0f}, {4.5f, 5.0f, 2.0f});  // floor
  b.Box(dark, dark, {-3.0f, -6.0f, 2.0f}, {3.0f, -3.0f, 6.0f});  // seat
  b.Box(body, dark, {-4.5f, 3.0f, 4.0f}, {4.5f, 5.0f, 6.5f});    // dashboard
  return b.Done("interior");
}

Model3ds CarFrontWheelModel() { return Wheel("front", 10, 3.6f, 1.1f, 150); }
Model3ds CarRearWheelModel() { return Wheel("rear", 14, 4.2f, 1.6f, 90); }

Model3ds CarPartModel(const char* name, float w, float d, float h, uint8_t r, uint8_t g, uint8_t b) {
  ModelBuilder m;
  const size_t paint = m.Material(std::string("M") + name, r, g, b);
  m.Box(paint, paint, {-w, -d, 0.0f}, {w, d, h});
  return m.Done(name);
}

Model3ds DriverModel() {
  ModelBuilder b;
  const size_t suit = b.Material("SUIT", 200, 160, 120);
  const size_t helmet = b.Material("HELMET", 230, 40, 40);
  const size_t visor = b.Material("VISOR", 20, 20, 30);
  const size_t paints[3] = {suit, helmet, visor};
  for (int i = 0; i < 3; ++i) b.Box(paints[i], paints[i], DRIVER_BOXES[i][0], DRIVER_BOXES[i][1]);
  return b.Done("man");
}

std::vector<Vec3> DriverFrame(int k) {
  std::vector<Vec3> vertices = DriverModel().meshes[0].vertices;
  // Leans grow with the height above the seat; the head turns about its own axis.
  float leanX = 0.0f, leanY = 0.0f, turn = 0.0f;
  switch (k) {
    case 2: leanX = 1.6f; break;
    case 3: leanX = -1.6f; break;
    case 4: leanY = 1.8f; break;
    case 5: leanY = -1.8f; break;
    case 6: turn = 2.6f; break;
    default: break;
  }
  const float c = std::cos(turn), s = std::sin(turn);
  for (Vec3& v : vertices) {
    if (turn != 0.0f && v[2] >= DRIVER_BOXES[1][0][2]) {
      const float x = v[0], y = v[1];
      v[0] = Round3(x * c - y * s);
      v[1] = Round3(x * s + y * c);
    }
    v[0] = Round3(v[0] + leanX * v[2] / DRIVER_HEIGHT);
    v[1] = Round3(v[1] + leanY * v[2] / DRIVER_HEIGHT);
  }
  return vertices;
}

}  // namespace datakit
