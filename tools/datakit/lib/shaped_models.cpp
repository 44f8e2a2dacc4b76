#include "tools/datakit/lib/shaped_models.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cmath>
#include <functional>
#include <map>

#include "tools/datakit/lib/model3ds_writer.h"
#include "tools/datakit/lib/object_kit.h"

namespace datakit {

namespace {

using V = std::array<float, 3>;
constexpr float PI = 3.14159265f;

struct Rgb {
  uint8_t r, g, b;
};

V Sub(V a, V b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
V Cross(V e, V f) { return {e[1] * f[2] - e[2] * f[1], e[2] * f[0] - e[0] * f[2], e[0] * f[1] - e[1] * f[0]}; }
float Dot(V a, V b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

// Builds a model in the modeller's axes (x across, y ahead, z up) from
// convex parts, each face with vertices of its own. Faces are wound as the
// kit's other object models are (their winding's normal points into the
// solid), so that the back-face test keeps the outer side.
class Shaper {
 public:
  size_t Colour(Rgb c) {
    const uint32_t key = static_cast<uint32_t>(c.r) << 16 | static_cast<uint32_t>(c.g) << 8 | c.b;
    const auto found = colours_.find(key);
    if (found != colours_.end()) return found->second;
    // Appended rather than "K" + to_string(...): GCC 12 at -O3 warns falsely
    // (-Wrestrict) on a literal prefixed to a temporary string.
    std::string name = "K";
    name += std::to_string(colours_.size());
    model_.materials.push_back({name, c.r, c.g, c.b, AmbientChunks::BOTH, ""});
    mesh_.groups.push_back({name, {}});
    colours_[key] = mesh_.groups.size() - 1;
    return mesh_.groups.size() - 1;
  }
  // A flat convex polygon facing away from `inside`.
  void Poly(size_t group, std::vector<V> p, V inside) {
    V centre{0, 0, 0};
    for (const V& v : p)
      for (int i = 0; i < 3; ++i) centre[i] += v[i] / static_cast<float>(p.size());
    const V n = Cross(Sub(p[1], p[0]), Sub(p[2], p[0]));
    if (Dot(n, Sub(centre, inside)) > 0.0f) std::reverse(p.begin(), p.end());
    Emit(group, p);
  }
  // A flat polygon seen from both sides.
  void TwoSided(size_t group, std::vector<V> p) {
    Emit(group, p);
    std::reverse(p.begin(), p.end());
    Emit(group, p);
  }
  // A box whose top is moved by (topX, topY): a slanted leg, a leaning body.
  void Box(size_t group, V lo, V hi, float topX = 0.0f, float topY = 0.0f) {
    V c[8];
    for (int k = 0; k < 8; ++k) {
      const bool top = (k & 4) != 0;
      c[k] = {((k & 1) ? hi[0] : lo[0]) + (top ? topX : 0.0f), ((k & 2) ? hi[1] : lo[1]) + (top ? topY : 0.0f),
              top ? hi[2] : lo[2]};
    }
    const V inside{(lo[0] + hi[0] + topX) * 0.5f, (lo[1] + hi[1] + topY) * 0.5f, (lo[2] + hi[2]) * 0.5f};
    static const int QUADS[6][4] = {{0, 1, 3, 2}, {4, 5, 7, 6}, {0, 1, 5, 4}, {2, 3, 7, 6}, {0, 2, 6, 4}, {1, 3, 7, 5}};
    for (const auto& q : QUADS) Poly(group, {c[q[0]], c[q[1]], c[q[2]], c[q[3]]}, inside);
  }
  // A frustum about the z axis at (cx, cy): `sides` sides from radius r0 at z0
  // to r1 at z1 (0: a cone), each ring point's radius scaled by `jitter`.
  void Frustum(size_t group, float cx, float cy, float z0, float z1, float r0, float r1, int sides,
               const std::function<float(int)>& jitter = nullptr, size_t topGroup = SIZE_MAX) {
    std::vector<V> low, high;
    for (int i = 0; i < sides; ++i) {
      const float a = 2.0f * PI * static_cast<float>(i) / static_cast<float>(sides);
      const float j = jitter ? jitter(i) : 1.0f;
      low.push_back({cx + r0 * j * std::cos(a), cy + r0 * j * std::sin(a), z0});
      high.push_back({cx + r1 * j * std::cos(a), cy + r1 * j * std::sin(a), z1});
    }
    const V inside{cx, cy, (z0 + z1) * 0.5f};
    for (int i = 0; i < sides; ++i) {
      const int n = (i + 1) % sides;
      if (r1 > 0.0f)
        Poly(group, {low[i], low[n], high[n], high[i]}, inside);
      else
        Poly(group, {low[i], low[n], {cx, cy, z1}}, inside);
    }
    Poly(group, low, inside);
    if (r1 > 0.0f) Poly(topGroup == SIZE_MAX ? group : topGroup, high, inside);
  }
  // A cylinder lying along y, centred at (cx, cz) across, from y0 to y1.
  void Log(size_t group, float cx, float cz, float y0, float y1, float r, int sides) {
    std::vector<V> a, b;
    for (int i = 0; i < sides; ++i) {
      const float t = 2.0f * PI * static_cast<float>(i) / static_cast<float>(sides);
      a.push_back({cx + r * std::cos(t), y0, cz + r * std::sin(t)});
      b.push_back({cx + r * std::cos(t), y1, cz + r * std::sin(t)});
    }
    const V inside{cx, (y0 + y1) * 0.5f, cz};
    for (int i = 0; i < sides; ++i) {
      const int n = (i + 1) % sides;
      Poly(group, {a[i], a[n], b[n], b[i]}, inside);
    }
    Poly(group, a, inside);
    Poly(group, b, inside);
  }
  // A gable roof over x0..x1 (across) and y0..y1, from z0 up to the ridge z1
  // along y.
  void Roof(size_t group, float x0, float x1, float y0, float y1, float z0, float z1) {
    const float mid = (x0 + x1) * 0.5f;
    const V inside{mid, (y0 + y1) * 0.5f, z0 + (z1 - z0) * 0.3f};
    Poly(group, {{x0, y0, z0}, {x0, y1, z0}, {mid, y1, z1}, {mid, y0, z1}}, inside);
    Poly(group, {{x1, y0, z0}, {x1, y1, z0}, {mid, y1, z1}, {mid, y0, z1}}, inside);
    Poly(group, {{x0, y0, z0}, {x1, y0, z0}, {mid, y0, z1}}, inside);
    Poly(group, {{x0, y1, z0}, {x1, y1, z0}, {mid, y1, z1}}, inside);
    Poly(group, {{x0, y0, z0}, {x1, y0, z0}, {x1, y1, z0}, {x0, y1, z0}}, inside);
  }
  Model3ds Done(const std::string& name) {
    mesh_.name = name;
    model_.meshes.push_back(mesh_);
    return model_;
  }
  const std::vector<V>& Vertices() const { return mesh_.vertices; }

 private:
  void Emit(size_t group, const std::vector<V>& p) {
    const auto base = static_cast<uint16_t>(mesh_.vertices.size());
    mesh_.vertices.insert(mesh_.vertices.end(), p.begin(), p.end());
    for (size_t i = 1; i + 1 < p.size(); ++i) {
      mesh_.groups[group].faces.push_back(static_cast<uint16_t>(mesh_.faces.size()));
      mesh_.faces.push_back({base, static_cast<uint16_t>(base + i), static_cast<uint16_t>(base + i + 1)});
    }
  }
  Model3ds model_;
  Mesh3ds mesh_;
  std::map<uint32_t, size_t> colours_;
};

// A deterministic wobble for rocks: ring point i of a rock with `seed`.
std::function<float(int)> Wobble(uint32_t seed, float amount) {
  return [seed, amount](int i) {
    uint32_t s = seed * 2654435761u + static_cast<uint32_t>(i) * 40503u;
    s ^= s >> 13;
    s *= 1103515245u;
    return 1.0f - amount + amount * static_cast<float>((s >> 16) & 1023) / 1023.0f;
  };
}

constexpr Rgb BARK{96, 66, 40}, DARK_BARK{50, 40, 34}, FIR{30, 90, 50}, SNOW{240, 244, 250};

// ---- plants

Model3ds Fir(const std::string& name, float h, float r, Rgb needles) {
  Shaper s;
  s.Box(s.Colour(BARK), {-0.06f * r, -0.06f * r, 0.0f}, {0.06f * r, 0.06f * r, 0.2f * h});
  for (int i = 0; i < 3; ++i) {
    const float z0 = h * (0.15f + 0.25f * static_cast<float>(i));
    s.Frustum(s.Colour(needles), 0.0f, 0.0f, z0, z0 + 0.45f * h, r * (1.0f - 0.25f * static_cast<float>(i)), 0.0f, 7);
  }
  return s.Done(name);
}

Model3ds Forest(const std::string& name) {
  Shaper s;
  const float spots[3][3] = {{-2500.0f, 0.0f, 11000.0f}, {1500.0f, 1800.0f, 9000.0f}, {1800.0f, -1900.0f, 12500.0f}};
  for (const auto& spot : spots) {
    s.Box(s.Colour(BARK), {spot[0] - 250.0f, spot[1] - 250.0f, 0.0f}, {spot[0] + 250.0f, spot[1] + 250.0f, 0.2f * spot[2]});
    s.Frustum(s.Colour(FIR), spot[0], spot[1], 0.15f * spot[2], spot[2], 1900.0f, 0.0f, 7);
  }
  return s.Done(name);
}

// A burnt tree: a black trunk with bare branches, or a thin grey crown.
Model3ds BurntTree(const std::string& name, float h, bool crown) {
  Shaper s;
  const size_t trunk = s.Colour(DARK_BARK);
  s.Frustum(trunk, 0.0f, 0.0f, 0.0f, h * 0.75f, 300.0f, 150.0f, 6);
  s.Box(trunk, {-80.0f, -80.0f, h * 0.45f}, {80.0f, 80.0f, h * 0.75f}, 1800.0f, 300.0f);
  s.Box(trunk, {-80.0f, -80.0f, h * 0.55f}, {80.0f, 80.0f, h * 0.85f}, -1500.0f, -600.0f);
  s.Box(trunk, {-70.0f, -70.0f, h * 0.65f}, {70.0f, 70.0f, h}, 300.0f, 1400.0f);
  if (crown) s.Frustum(s.Colour({90, 96, 80}), 0.0f, 0.0f, h * 0.6f, h * 1.05f, 1400.0f, 500.0f, 6, Wobble(7, 0.3f));
  return s.Done(name);
}

// An acacia: a slim trunk and a wide flat crown.
Model3ds Acacia(const std::string& name, float h, float r, Rgb leaves) {
  Shaper s;
  s.Frustum(s.Colour(BARK), 0.0f, 0.0f, 0.0f, h * 0.8f, 260.0f, 160.0f, 6);
  s.Frustum(s.Colour(leaves), 0.0f, 0.0f, h * 0.75f, h, r * 0.7f, r, 8, Wobble(static_cast<uint32_t>(h), 0.2f));
  return s.Done(name);
}

// A palm: a tall leaning trunk and a star of drooping fronds.
Model3ds Palm(const std::string& name, float h, int fronds) {
  Shaper s;
  const float lean = h * 0.08f;
  s.Box(s.Colour({150, 120, 80}), {-220.0f, -220.0f, 0.0f}, {220.0f, 220.0f, h}, lean, 0.0f);
  const size_t green = s.Colour({60, 140, 50});
  for (int i = 0; i < fronds; ++i) {
    const float a = 2.0f * PI * static_cast<float>(i) / static_cast<float>(fronds);
    const float c = std::cos(a), d = std::sin(a), len = h * 0.4f, w = h * 0.06f;
    const V root{lean, 0.0f, h};
    s.TwoSided(green, {{root[0] - d * w, root[1] + c * w, h}, {root[0] + d * w, root[1] - c * w, h},
                       {root[0] + c * len, root[1] + d * len, h - len * 0.45f}});
  }
  return s.Done(name);
}

Model3ds Bush(const std::string& name, float r, Rgb leaves, int clumps) {
  Shaper s;
  for (int i = 0; i < clumps; ++i) {
    const float x = (static_cast<float>(i) - 0.5f * static_cast<float>(clumps - 1)) * r * 1.2f;
    s.Frustum(s.Colour(leaves), x, 0.0f, 0.0f, r * 1.1f, r, r * 0.45f, 7, Wobble(static_cast<uint32_t>(31 + i), 0.3f));
  }
  return s.Done(name);
}

// ---- rocks and wood

Model3ds Rock(const std::string& name, float r, float h, Rgb stone, uint32_t seed, bool snowCap = false) {
  Shaper s;
  const size_t body = s.Colour(stone);
  s.Frustum(body, 0.0f, 0.0f, 0.0f, h, r, r * 0.55f, 7, Wobble(seed, 0.35f), snowCap ? s.Colour(SNOW) : body);
  return s.Done(name);
}

Model3ds Stump(const std::string& name) {
  Shaper s;
  s.Frustum(s.Colour(BARK), 0.0f, 0.0f, 0.0f, 900.0f, 600.0f, 500.0f, 8, nullptr, s.Colour({200, 170, 110}));
  return s.Done(name);
}

Model3ds LogModel(const std::string& name, float length, float r, Rgb bark) {
  Shaper s;
  s.Log(s.Colour(bark), 0.0f, r, -length * 0.5f, length * 0.5f, r, 8);
  return s.Done(name);
}

// ---- buildings

Model3ds House(const std::string& name, float w, float d, float h, Rgb wall, Rgb roof) {
  Shaper s;
  s.Box(s.Colour(wall), {-w, -d, 0.0f}, {w, d, h});
  s.Roof(s.Colour(roof), -w * 1.15f, w * 1.15f, -d * 1.1f, d * 1.1f, h, h + w * 0.9f);
  s.Box(s.Colour({70, 50, 35}), {-w * 0.2f, -d - 40.0f, 0.0f}, {w * 0.2f, -d, h * 0.55f});  // the door
  return s.Done(name);
}

Model3ds Church(const std::string& name) {
  Shaper s;
  const size_t wall = s.Colour({230, 220, 196}), slate = s.Colour({70, 74, 86});
  s.Box(wall, {-2500.0f, -4500.0f, 0.0f}, {2500.0f, 4500.0f, 4500.0f});
  s.Roof(slate, -2800.0f, 2800.0f, -4600.0f, 4600.0f, 4500.0f, 7500.0f);
  s.Box(wall, {-1300.0f, 4500.0f, 0.0f}, {1300.0f, 7100.0f, 10000.0f});
  s.Frustum(slate, 0.0f, 5800.0f, 10000.0f, 15500.0f, 1800.0f, 0.0f, 4);
  const size_t gold = s.Colour({230, 190, 40});
  s.Box(gold, {-100.0f, 5700.0f, 15500.0f}, {100.0f, 5900.0f, 17000.0f});
  s.Box(gold, {-600.0f, 5700.0f, 16100.0f}, {600.0f, 5900.0f, 16400.0f});
  s.Box(s.Colour({60, 40, 30}), {-700.0f, 7100.0f, 0.0f}, {700.0f, 7160.0f, 2600.0f});  // the door
  return s.Done(name);
}

Model3ds LiftStation(const std::string& name) {
  Shaper s;
  s.Box(s.Colour({150, 160, 175}), {-2000.0f, -1500.0f, 0.0f}, {2000.0f, 1500.0f, 3500.0f});
  s.Roof(s.Colour({200, 40, 40}), -2300.0f, 2300.0f, -1700.0f, 1700.0f, 3500.0f, 5000.0f);
  // The cable's wheel on its front.
  std::vector<V> wheel;
  for (int i = 0; i < 12; ++i) {
    const float a = 2.0f * PI * static_cast<float>(i) / 12.0f;
    wheel.push_back({1200.0f * std::cos(a), -1560.0f, 2200.0f + 1200.0f * std::sin(a)});
  }
  s.TwoSided(s.Colour({40, 40, 44}), wheel);
  return s.Done(name);
}

Model3ds Kiosk(const std::string& name) {
  Shaper s;
  s.Box(s.Colour({180, 120, 60}), {-1500.0f, -1000.0f, 0.0f}, {1500.0f, 1000.0f, 2400.0f});
  s.Box(s.Colour({220, 40, 40}), {-1900.0f, -1500.0f, 2400.0f}, {1900.0f, 1500.0f, 2700.0f});
  s.Box(s.Colour({240, 240, 240}), {-1500.0f, -1050.0f, 1100.0f}, {1500.0f, -1000.0f, 1300.0f});  // the counter
  return s.Done(name);
}

Model3ds Hut(const std::string& name, float r, Rgb wall) {
  Shaper s;
  s.Frustum(s.Colour(wall), 0.0f, 0.0f, 0.0f, r * 0.9f, r, r * 0.95f, 9);
  s.Frustum(s.Colour({210, 180, 90}), 0.0f, 0.0f, r * 0.9f, r * 2.0f, r * 1.3f, 0.0f, 9);
  return s.Done(name);
}

// Two pillars and a beam across: a gate or a checkpoint arch, `w` across.
Model3ds Arch(const std::string& name, float w, float h, Rgb pillars, Rgb beam) {
  Shaper s;
  const size_t p = s.Colour(pillars);
  s.Box(p, {-w - 400.0f, -400.0f, 0.0f}, {-w + 400.0f, 400.0f, h});
  s.Box(p, {w - 400.0f, -400.0f, 0.0f}, {w + 400.0f, 400.0f, h});
  s.Box(s.Colour(beam), {-w - 500.0f, -300.0f, h - 900.0f}, {w + 500.0f, 300.0f, h + 300.0f});
  return s.Done(name);
}

Model3ds Bridge(const std::string& name) {
  Shaper s;
  const size_t stone = s.Colour({100, 90, 84});
  s.Box(stone, {-1500.0f, -5000.0f, 1500.0f}, {1500.0f, 5000.0f, 2000.0f});
  for (float x : {-1500.0f, 1400.0f}) s.Box(s.Colour({60, 56, 52}), {x, -5000.0f, 2000.0f}, {x + 100.0f, 5000.0f, 2800.0f});
  for (float y : {-3000.0f, 2400.0f}) s.Box(stone, {-1200.0f, y, 0.0f}, {1200.0f, y + 600.0f, 1500.0f});
  return s.Done(name);
}

// ---- poles, signs and barriers

// A signboard on two posts, `w` across; an arrow on it when `arrow`.
Model3ds Sign(const std::string& name, float w, float h, Rgb board, bool arrow) {
  Shaper s;
  const size_t post = s.Colour({90, 90, 90});
  s.Box(post, {-w * 0.8f, -60.0f, 0.0f}, {-w * 0.8f + 120.0f, 60.0f, h});
  s.Box(post, {w * 0.8f - 120.0f, -60.0f, 0.0f}, {w * 0.8f, 60.0f, h});
  s.Box(s.Colour(board), {-w, -50.0f, h * 0.55f}, {w, 50.0f, h});
  if (arrow) {
    const size_t mark = s.Colour({250, 250, 250});
    const float z = h * 0.775f, a = h * 0.18f;
    s.TwoSided(mark, {{-w * 0.6f, -60.0f, z - a * 0.4f}, {w * 0.2f, -60.0f, z - a * 0.4f}, {w * 0.2f, -60.0f, z + a * 0.4f},
                      {-w * 0.6f, -60.0f, z + a * 0.4f}});
    s.TwoSided(mark, {{w * 0.2f, -60.0f, z - a}, {w * 0.7f, -60.0f, z}, {w * 0.2f, -60.0f, z + a}});
  }
  return s.Done(name);
}

// A low barrier of `n` blocks in two alternating colours, along x.
Model3ds Barrier(const std::string& name, int n, float block, float h, Rgb a, Rgb b) {
  Shaper s;
  for (int i = 0; i < n; ++i) {
    const float x0 = (static_cast<float>(i) - 0.5f * static_cast<float>(n)) * block;
    s.Box(s.Colour(i % 2 ? b : a), {x0, -150.0f, 0.0f}, {x0 + block, 150.0f, h});
  }
  return s.Done(name);
}

Model3ds Pennant(const std::string& name, float h, Rgb cloth) {
  Shaper s;
  s.Box(s.Colour({200, 200, 200}), {-h * 0.015f, -h * 0.015f, 0.0f}, {h * 0.015f, h * 0.015f, h});
  s.TwoSided(s.Colour(cloth), {{0.0f, 0.0f, h}, {h * 0.45f, 0.0f, h * 0.88f}, {0.0f, 0.0f, h * 0.76f}});
  return s.Done(name);
}

Model3ds Net(const std::string& name) {
  Shaper s;
  const size_t post = s.Colour({40, 40, 40});
  s.Box(post, {-2100.0f, -80.0f, 0.0f}, {-1900.0f, 80.0f, 1500.0f});
  s.Box(post, {1900.0f, -80.0f, 0.0f}, {2100.0f, 80.0f, 1500.0f});
  s.TwoSided(s.Colour({250, 120, 20}), {{-1900.0f, 0.0f, 200.0f}, {1900.0f, 0.0f, 200.0f}, {1900.0f, 0.0f, 1400.0f},
                                         {-1900.0f, 0.0f, 1400.0f}});
  return s.Done(name);
}

Model3ds Post(const std::string& name, float h, Rgb a, Rgb b) {
  Shaper s;
  s.Box(s.Colour(a), {-120.0f, -120.0f, 0.0f}, {120.0f, 120.0f, h * 0.5f});
  s.Box(s.Colour(b), {-120.0f, -120.0f, h * 0.5f}, {120.0f, 120.0f, h});
  return s.Done(name);
}

// A lift pylon: a tapering steel mast up to the cable with its cross arm.
Model3ds Pylon(const std::string& name) {
  Shaper s;
  const size_t steel = s.Colour({120, 124, 130});
  s.Frustum(steel, 0.0f, 0.0f, 0.0f, 29000.0f, 700.0f, 250.0f, 4);
  s.Box(steel, {-1600.0f, -200.0f, 28000.0f}, {1600.0f, 200.0f, 28600.0f});
  const size_t wheel = s.Colour({30, 30, 30});
  for (float x : {-1400.0f, 1100.0f}) s.Box(wheel, {x, -260.0f, 28600.0f}, {x + 300.0f, 260.0f, 29100.0f});
  return s.Done(name);
}

Model3ds Lamp(const std::string& name, float h, Rgb light) {
  Shaper s;
  s.Box(s.Colour({60, 60, 64}), {-100.0f, -100.0f, 0.0f}, {100.0f, 100.0f, h});
  s.Box(s.Colour({60, 60, 64}), {-100.0f, -100.0f, h - 200.0f}, {900.0f, 100.0f, h});
  s.Box(s.Colour(light), {600.0f, -250.0f, h - 500.0f}, {1100.0f, 250.0f, h - 200.0f});
  // The light bears the texture its glow is centred on.
  Model3ds lamp = s.Done(name);
  KitMapMaterialTexture(&lamp, 1, "vlum3.3df");
  return lamp;
}

// ---- the decor's actors

// The gondola cabin: a red box with a window band, its hanger on top.
Model3ds Cabin(const std::string& name) {
  Shaper s;
  s.Box(s.Colour({210, 30, 30}), {-800.0f, -800.0f, 0.0f}, {800.0f, 800.0f, 1000.0f});
  s.Box(s.Colour({150, 200, 230}), {-800.0f, -800.0f, 1000.0f}, {800.0f, 800.0f, 1500.0f});
  s.Box(s.Colour({210, 30, 30}), {-850.0f, -850.0f, 1500.0f}, {850.0f, 850.0f, 1800.0f});
  s.Box(s.Colour({50, 50, 50}), {-80.0f, -80.0f, 1800.0f}, {80.0f, 80.0f, 3200.0f});
  s.Box(s.Colour({50, 50, 50}), {-400.0f, -120.0f, 3200.0f}, {400.0f, 120.0f, 3450.0f});
  return s.Done(name);
}

// A skier on skis pointing ahead (+y), leaning by `lean` across (the turns),
// or lying on its side when `fallen`.
Model3ds Skier(const std::string& name, float lean, Rgb jacket, bool fallen) {
  Shaper s;
  const size_t ski = s.Colour({240, 200, 0}), trousers = s.Colour({30, 30, 60}), coat = s.Colour(jacket),
               face = s.Colour({230, 180, 150}), pole = s.Colour({150, 150, 150});
  if (fallen) {
    // Lying across the slope, skis crossed beside it.
    s.Box(trousers, {-900.0f, -150.0f, 0.0f}, {0.0f, 150.0f, 300.0f});
    s.Box(coat, {0.0f, -200.0f, 0.0f}, {700.0f, 200.0f, 380.0f});
    s.Box(face, {700.0f, -130.0f, 40.0f}, {950.0f, 130.0f, 300.0f});
    s.Box(ski, {-1200.0f, 200.0f, 0.0f}, {-1100.0f, 1600.0f, 40.0f}, 0.0f, 0.0f);
    s.Box(ski, {-400.0f, 300.0f, 0.0f}, {-300.0f, 1700.0f, 40.0f}, 500.0f, 0.0f);
    s.Box(pole, {200.0f, -900.0f, 0.0f}, {260.0f, -200.0f, 60.0f});
    return s.Done(name);
  }
  for (float x : {-220.0f, 120.0f}) s.Box(ski, {x, -900.0f, 0.0f}, {x + 100.0f, 1000.0f, 40.0f});
  const float l = lean;
  s.Box(trousers, {-200.0f, -130.0f, 40.0f}, {200.0f, 130.0f, 850.0f}, l * 0.45f, 120.0f);
  s.Box(coat, {-250.0f + l * 0.45f, -40.0f, 850.0f}, {250.0f + l * 0.45f, 260.0f, 1450.0f}, l * 0.35f, 80.0f);
  s.Box(face, {-130.0f + l * 0.8f, 0.0f, 1450.0f}, {130.0f + l * 0.8f, 260.0f, 1750.0f}, l * 0.1f, 0.0f);
  for (float x : {-330.0f, 280.0f}) s.Box(pole, {x + l * 0.3f, 300.0f, 60.0f}, {x + 50.0f + l * 0.3f, 350.0f, 1150.0f}, l * 0.2f, -250.0f);
  return s.Done(name);
}

// Elephant walk frame k (1..6): the same parts in every frame, the legs
// swinging in pairs, the trunk and ears swaying.
Model3ds Elephant(const std::string& name, int k) {
  Shaper s;
  const float phase = 2.0f * PI * static_cast<float>(k - 1) / 6.0f;
  const size_t hide = s.Colour({128, 124, 120}), dark = s.Colour({96, 92, 90}), tusk = s.Colour({245, 240, 220});
  // Ahead is +y. Legs: front left and rear right together, then the others.
  const float legs[4][3] = {{-420.0f, 1000.0f, 0.0f}, {420.0f, 1000.0f, PI}, {-420.0f, -1000.0f, PI}, {420.0f, -1000.0f, 0.0f}};
  for (const auto& leg : legs) {
    const float swing = 450.0f * std::sin(phase + leg[2]);
    // The foot moves; the hip stays under the body.
    s.Box(hide, {leg[0] - 200.0f + 0.0f, leg[1] - 200.0f + swing, 0.0f}, {leg[0] + 200.0f, leg[1] + 200.0f + swing, 1400.0f},
          0.0f, -swing);
  }
  const float bob = 60.0f * std::cos(2.0f * phase);
  s.Box(hide, {-750.0f, -1400.0f, 1300.0f + bob}, {750.0f, 1400.0f, 2700.0f + bob});
  s.Box(hide, {-500.0f, 1400.0f, 1800.0f + bob}, {500.0f, 2100.0f, 2800.0f + bob});
  const float flap = 250.0f * std::sin(phase);
  s.Box(dark, {-1300.0f - flap, 1450.0f, 1600.0f + bob}, {-500.0f, 1600.0f, 2800.0f + bob});
  s.Box(dark, {500.0f, 1450.0f, 1600.0f + bob}, {1300.0f + flap, 1600.0f, 2800.0f + bob});
  const float sway = 350.0f * std::sin(phase + 0.7f);
  s.Box(hide, {-170.0f + sway, 2000.0f + 150.0f, 300.0f}, {170.0f + sway, 2300.0f + 150.0f, 2000.0f + bob}, -sway, -150.0f);
  for (float x : {-350.0f, 250.0f}) s.Box(tusk, {x, 2100.0f, 1500.0f + bob}, {x + 100.0f, 2700.0f, 1650.0f + bob});
  s.Box(dark, {-60.0f, -1500.0f, 1500.0f + bob}, {60.0f, -1400.0f, 2500.0f + bob}, 0.0f, 0.0f);  // the tail
  return s.Done(name);
}

// Lightning bolt k (0..3): a jagged ribbon standing up from its foot, each
// bolt its own zigzag.
Model3ds Bolt(const std::string& name, int k) {
  Shaper s;
  const size_t glow = s.Colour({250, 250, 230});
  constexpr int SEGMENTS = 7;
  const float height = 150000.0f, width = 5000.0f;
  float x = 0.0f;
  uint32_t seed = 17u + 31u * static_cast<uint32_t>(k);
  for (int i = 0; i < SEGMENTS; ++i) {
    seed = seed * 1103515245u + 12345u;
    const float next = (i == SEGMENTS - 1) ? 0.0f : static_cast<float>(static_cast<int32_t>((seed >> 16) % 24000) - 12000);
    const float z0 = height * static_cast<float>(i) / SEGMENTS, z1 = height * static_cast<float>(i + 1) / SEGMENTS;
    const float w = width * (1.0f - 0.1f * static_cast<float>(i));
    s.TwoSided(glow, {{x - w, 0.0f, z0}, {x + w, 0.0f, z0}, {next + w * 0.9f, 0.0f, z1}, {next - w * 0.9f, 0.0f, z1}});
    x = next;
  }
  return s.Done(name);
}

// The moon: a pale disc facing ahead (-y), with darker seas on it.
Model3ds Moon(const std::string& name) {
  Shaper s;
  auto disc = [&](size_t group, float cx, float cz, float r, float y) {
    std::vector<V> ring;
    for (int i = 0; i < 20; ++i) {
      const float a = 2.0f * PI * static_cast<float>(i) / 20.0f;
      ring.push_back({cx + r * std::cos(a), y, cz + r * std::sin(a)});
    }
    s.TwoSided(group, ring);
  };
  disc(s.Colour({250, 246, 220}), 0.0f, 400.0f, 400.0f, 0.0f);
  const size_t sea = s.Colour({190, 186, 170});
  disc(sea, -120.0f, 520.0f, 90.0f, -2.0f);
  disc(sea, 140.0f, 330.0f, 70.0f, -2.0f);
  disc(sea, 30.0f, 250.0f, 50.0f, -2.0f);
  return s.Done(name);
}

struct ShapedRow {
  const char* name;
  std::function<Model3ds(const std::string&)> build;
};

const std::vector<ShapedRow>& ShapedRows() {
  static const std::vector<ShapedRow> rows = {
      // looping and boue
      {"lune", Moon},
      {"eclair1", [](const std::string& n) { return Bolt(n, 0); }},
      {"eclair2", [](const std::string& n) { return Bolt(n, 1); }},
      {"eclair3", [](const std::string& n) { return Bolt(n, 2); }},
      {"eclair4", [](const std::string& n) { return Bolt(n, 3); }},
      // neige
      {"sapin1", [](const std::string& n) { return Fir(n, 12000.0f, 3000.0f, FIR); }},
      {"sapin2", [](const std::string& n) { return Fir(n, 9000.0f, 2400.0f, {40, 110, 60}); }},
      {"sapin3", [](const std::string& n) { return Fir(n, 15000.0f, 3400.0f, {225, 235, 240}); }},  // snow-laden
      {"troncut", Stump},
      {"tronc", [](const std::string& n) { return LogModel(n, 5000.0f, 450.0f, BARK); }},
      {"foret", Forest},
      {"pilonne", Pylon},
      {"barsecu", [](const std::string& n) { return Barrier(n, 6, 700.0f, 900.0f, {220, 30, 30}, {245, 245, 245}); }},
      {"chalet", [](const std::string& n) { return House(n, 3000.0f, 3600.0f, 3000.0f, {140, 90, 50}, SNOW); }},
      {"cab9", LiftStation},
      {"neuf", Cabin},
      {"rochn1", [](const std::string& n) { return Rock(n, 2200.0f, 1800.0f, {120, 120, 126}, 1, true); }},
      {"rochn2", [](const std::string& n) { return Rock(n, 1500.0f, 2400.0f, {110, 108, 116}, 2, true); }},
      {"rochn3", [](const std::string& n) { return Rock(n, 3000.0f, 1400.0f, {130, 128, 136}, 3, true); }},
      {"baresto", Kiosk},
      {"skidn1", [](const std::string& n) { return Skier(n, 0.0f, {30, 80, 220}, false); }},
      {"skidd1", [](const std::string& n) { return Skier(n, 450.0f, {30, 80, 220}, false); }},
      {"skidg1", [](const std::string& n) { return Skier(n, -450.0f, {30, 80, 220}, false); }},
      {"skidm1", [](const std::string& n) { return Skier(n, 0.0f, {30, 80, 220}, true); }},
      {"maison1", [](const std::string& n) { return House(n, 3500.0f, 4500.0f, 3500.0f, {235, 230, 215}, {170, 50, 40}); }},
      {"maison2", [](const std::string& n) { return House(n, 3000.0f, 3500.0f, 4500.0f, {210, 180, 120}, {80, 80, 90}); }},
      {"fanion1", [](const std::string& n) { return Pennant(n, 200.0f, {230, 30, 30}); }},
      {"fanion2", [](const std::string& n) { return Pennant(n, 3500.0f, {30, 60, 230}); }},
      {"filet", Net},
      {"filetpil", [](const std::string& n) { return Post(n, 1600.0f, {250, 120, 20}, {30, 30, 30}); }},
      {"eglise", Church},
      {"checkn", [](const std::string& n) { return Arch(n, 3000.0f, 4500.0f, {220, 30, 30}, {250, 250, 250}); }},
      {"direct", [](const std::string& n) { return Sign(n, 1500.0f, 2200.0f, {30, 90, 200}, true); }},
      // volcano
      {"vgate", [](const std::string& n) { return Arch(n, 3000.0f, 4500.0f, {30, 30, 30}, {240, 110, 20}); }},
      {"vroc1", [](const std::string& n) { return Rock(n, 1600.0f, 1500.0f, {60, 36, 30}, 11); }},
      {"vroc2", [](const std::string& n) { return Rock(n, 1200.0f, 1100.0f, {44, 40, 40}, 12); }},
      {"vroc3", [](const std::string& n) { return Rock(n, 750.0f, 700.0f, {80, 40, 28}, 13); }},
      {"vroc4", [](const std::string& n) { return Rock(n, 1500.0f, 1800.0f, {50, 46, 44}, 14); }},
      {"vroc5", [](const std::string& n) { return Rock(n, 700.0f, 800.0f, {90, 50, 30}, 15); }},
      {"vroc6", [](const std::string& n) { return Rock(n, 1100.0f, 1300.0f, {70, 34, 26}, 16); }},
      {"varbre1", [](const std::string& n) { return BurntTree(n, 9000.0f, true); }},
      {"varbre2", [](const std::string& n) { return BurntTree(n, 7000.0f, false); }},
      {"varbre3", [](const std::string& n) { return BurntTree(n, 11000.0f, true); }},
      {"varbre4", [](const std::string& n) { return BurntTree(n, 6000.0f, false); }},
      {"varbre5", [](const std::string& n) { return BurntTree(n, 8000.0f, true); }},
      {"vpont1", Bridge},
      {"vlum1", [](const std::string& n) { return Lamp(n, 4500.0f, {255, 200, 60}); }},
      {"vlum2", [](const std::string& n) { return Lamp(n, 3500.0f, {255, 150, 40}); }},
      {"vlum3", [](const std::string& n) { return Lamp(n, 5500.0f, {255, 230, 120}); }},
      {"vbar1", [](const std::string& n) { return Barrier(n, 5, 800.0f, 900.0f, {20, 20, 20}, {240, 200, 0}); }},
      {"vbar2", [](const std::string& n) { return Barrier(n, 3, 900.0f, 1200.0f, {240, 200, 0}, {20, 20, 20}); }},
      {"vbar3", [](const std::string& n) { return Barrier(n, 7, 600.0f, 700.0f, {200, 30, 20}, {240, 240, 240}); }},
      {"vbar4", [](const std::string& n) { return Barrier(n, 4, 1000.0f, 1000.0f, {90, 90, 90}, {240, 110, 20}); }},
      {"vbar5", [](const std::string& n) { return Barrier(n, 2, 1000.0f, 1000.0f, {20, 20, 20}, {240, 200, 0}); }},
      {"vpano1", [](const std::string& n) { return Sign(n, 2500.0f, 3500.0f, {200, 40, 30}, false); }},
      {"vpano2", [](const std::string& n) { return Sign(n, 2500.0f, 3500.0f, {240, 160, 20}, false); }},
      {"vpano3", [](const std::string& n) { return Sign(n, 2500.0f, 3500.0f, {40, 40, 40}, true); }},
      {"vpano4", [](const std::string& n) { return Sign(n, 2500.0f, 3500.0f, {230, 230, 230}, false); }},
      {"vpano5", [](const std::string& n) { return Sign(n, 2500.0f, 3500.0f, {30, 120, 200}, false); }},
      {"vpano6", [](const std::string& n) { return Sign(n, 2500.0f, 3500.0f, {120, 30, 140}, true); }},
      // savana
      {"sabuis1", [](const std::string& n) { return Bush(n, 1200.0f, {110, 130, 50}, 2); }},
      {"safdes1", [](const std::string& n) { return Rock(n, 2500.0f, 3000.0f, {190, 110, 70}, 21); }},
      {"safdes2", [](const std::string& n) { return Rock(n, 1800.0f, 4500.0f, {200, 120, 80}, 22); }},
      {"safdes3", [](const std::string& n) { return Rock(n, 3200.0f, 2000.0f, {170, 100, 64}, 23); }},
      {"safond", [](const std::string& n) { return Bush(n, 1800.0f, {120, 120, 60}, 4); }},
      {"safoug1", [](const std::string& n) { return Acacia(n, 7000.0f, 4000.0f, {100, 130, 50}); }},
      {"safoug2", [](const std::string& n) { return Acacia(n, 6000.0f, 3200.0f, {120, 140, 60}); }},
      {"safoug3", [](const std::string& n) { return Acacia(n, 8000.0f, 4500.0f, {90, 120, 40}); }},
      {"safoug4", [](const std::string& n) { return Acacia(n, 5000.0f, 2800.0f, {130, 150, 70}); }},
      {"safoug5", [](const std::string& n) { return Acacia(n, 7500.0f, 3600.0f, {110, 125, 45}); }},
      {"safoug6", [](const std::string& n) { return Acacia(n, 6500.0f, 4200.0f, {95, 135, 55}); }},
      {"safoug7", [](const std::string& n) { return Acacia(n, 9000.0f, 5000.0f, {105, 128, 48}); }},
      {"sapalm1", [](const std::string& n) { return Palm(n, 9000.0f, 7); }},
      {"sapalm2", [](const std::string& n) { return Palm(n, 11000.0f, 8); }},
      {"sapalm3", [](const std::string& n) { return Palm(n, 7000.0f, 6); }},
      {"saplmb1", [](const std::string& n) { return Palm(n, 4000.0f, 9); }},
      {"saplmb2", [](const std::string& n) { return Palm(n, 5000.0f, 8); }},
      {"saplmb3", [](const std::string& n) { return Palm(n, 3500.0f, 10); }},
      {"saplmb4", [](const std::string& n) { return Palm(n, 4500.0f, 7); }},
      {"satronc1", [](const std::string& n) { return LogModel(n, 6000.0f, 500.0f, {110, 90, 70}); }},
      {"satronc2", [](const std::string& n) { return LogModel(n, 4000.0f, 400.0f, {120, 96, 72}); }},
      {"satronc3", [](const std::string& n) { return LogModel(n, 8000.0f, 600.0f, {100, 80, 60}); }},
      {"satronc4", [](const std::string& n) { return LogModel(n, 3000.0f, 350.0f, {130, 104, 80}); }},
      {"satronc5", [](const std::string& n) { return LogModel(n, 5000.0f, 700.0f, {90, 72, 56}); }},
      {"sadir1", [](const std::string& n) { return Sign(n, 1500.0f, 2200.0f, {200, 150, 40}, true); }},
      {"sadir2", [](const std::string& n) { return Sign(n, 1500.0f, 2200.0f, {150, 90, 40}, true); }},
      {"sagate", [](const std::string& n) { return Arch(n, 3000.0f, 4500.0f, {120, 80, 40}, {200, 160, 90}); }},
      {"samais1", [](const std::string& n) { return Hut(n, 2000.0f, {160, 110, 70}); }},
      {"samais2", [](const std::string& n) { return Hut(n, 2600.0f, {180, 130, 80}); }},
      {"saelef1", [](const std::string& n) { return Elephant(n, 1); }},
  };
  return rows;
}

}  // namespace

std::vector<DataFile> ShapedObjectModelFiles() {
  std::vector<DataFile> files;
  for (const ShapedRow& row : ShapedRows()) files.push_back({1, std::string("others\\") + row.name + ".3ds", Make3ds(row.build(row.name))});
  // The elephant's other walk frames: its mesh in other poses.
  for (int k = 2; k <= 6; ++k) {
    const Model3ds frame = Elephant("saelef" + std::to_string(k), k);
    files.push_back({1, "others\\saelef" + std::to_string(k) + ".3ds", Make3dsFrame(frame.meshes[0].vertices)});
  }
  return files;
}

bool IsShapedObjectModel(const std::string& name) {
  for (const ShapedRow& row : ShapedRows())
    if (name == row.name) return true;
  return name.rfind("saelef", 0) == 0;
}

}  // namespace datakit
