#include "tools/datakit/lib/camera_kit.h"

#include <cmath>
#include <utility>

namespace datakit {

namespace {

constexpr float TWO_PI = 6.2831853f;
constexpr float SPOT_SPACING = 1200.0f;  // along the course
constexpr float FIXED_SIDE = 260.0f, FIXED_BACK = 200.0f, FIXED_ABOVE = 150.0f, FIXED_LOOK = 700.0f;
constexpr float OTHER_SIDE = 300.0f, OTHER_ABOVE = 200.0f;
constexpr float START_SPOT_AHEAD = 1300.0f, START_SPOT_SIDE = 200.0f;
// In the order they follow each other along the course.
constexpr int32_t KIND_CYCLE[4] = {0, 1, 0, KIT_SPOT_OTHER_KIND};

// 1024 units a turn; headings count from +z toward +x, pitches up from level.
float Angle10Of(float y, float x) {
  float a = std::atan2(y, x) / TWO_PI * 1024.0f;
  if (a < 0.0f) a += 1024.0f;
  return std::round(a);
}

struct CourseWalk {
  std::vector<KitPoint> points;
  std::vector<float> along;  // course length up to each point
  float total = 0.0f;

  explicit CourseWalk(std::vector<KitPoint> course) : points(std::move(course)) {
    for (size_t i = 0; i < points.size(); ++i) {
      along.push_back(total);
      const KitPoint a = points[i], b = points[(i + 1) % points.size()];
      total += std::sqrt((b.x - a.x) * (b.x - a.x) + (b.z - a.z) * (b.z - a.z));
    }
  }
  // The point `s` along the course, and the unit direction of driving there.
  void At(float s, KitPoint* p, KitPoint* dir) const {
    s = std::fmod(s, total);
    if (s < 0.0f) s += total;
    size_t i = points.size() - 1;
    while (i > 0 && along[i] > s) --i;
    const KitPoint a = points[i], b = points[(i + 1) % points.size()];
    const float len = std::sqrt((b.x - a.x) * (b.x - a.x) + (b.z - a.z) * (b.z - a.z));
    const float t = (s - along[i]) / len;
    *p = {a.x + (b.x - a.x) * t, a.z + (b.z - a.z) * t};
    *dir = {(b.x - a.x) / len, (b.z - a.z) / len};
  }
};

// A spot in use at (x, y, z) facing (tx, ty, tz), level across.
KitCameraSpot Looking(int32_t kind, float x, float y, float z, float tx, float ty, float tz) {
  const float dx = tx - x, dz = tz - z;
  return {1, kind, x, y, z, Angle10Of(ty - y, std::sqrt(dx * dx + dz * dz)), Angle10Of(dx, dz), 0.0f};
}

// Whether the spot could show any of desert's blind stretch (a generous
// bound on what the replay camera's tests allow).
bool ReachesBlindStretch(const KitTrackDesc& desc, const KitCameraSpot& s) {
  const float z = desc.startZ - desc.width;
  for (float x = KIT_DESERT_BLIND_X0; x <= KIT_DESERT_BLIND_X1; x += 50.0f) {
    const float dx = x - s.x, dz = z - s.z, d = std::sqrt(dx * dx + dz * dz);
    if (s.kind != 0) {
      if (d < KIT_BLIND_OTHER_REACH) return true;
      continue;
    }
    if (d >= KIT_BLIND_FIXED_REACH) continue;
    const float h = s.heading * TWO_PI / 1024.0f;
    const float facing = (std::sin(h) * dx + std::cos(h) * dz) / d;  // cosine of the angle off the heading
    if (facing > 0.5f) return true;
  }
  return false;
}

}  // namespace

std::vector<KitCameraSpot> KitTrackCameraSpots(const KitTrackDesc& desc) {
  const CourseWalk walk(KitTrackCourse(desc));
  const auto ground = [&](float x, float z) { return KitTrackHeightAt(desc, x, z); };
  // The course starts `bendLead` ahead of the grid.
  const float grid = walk.total - desc.bendLead;
  std::vector<KitCameraSpot> spots;
  KitPoint p{}, d{}, g{}, gd{};
  // Ahead of the grid, to its right, looking back at it down the course.
  walk.At(grid + START_SPOT_AHEAD, &p, &d);
  walk.At(grid, &g, &gd);
  {
    const float x = p.x - d.z * START_SPOT_SIDE, z = p.z + d.x * START_SPOT_SIDE, y = ground(x, z) + FIXED_ABOVE;
    spots.push_back(Looking(0, x, y, z, g.x, ground(g.x, g.z) + 10.0f, g.z));
  }
  // On the grid itself, where it would always be the nearest: not in use.
  spots.push_back({0, 1, g.x, ground(g.x, g.z) + OTHER_ABOVE, g.z, 0.0f, 0.0f, 0.0f});
  for (int32_t k = 0;; ++k) {
    const float s = grid + START_SPOT_AHEAD + SPOT_SPACING * static_cast<float>(k + 1);
    if (s > grid + walk.total - SPOT_SPACING * 0.5f) break;
    walk.At(s, &p, &d);
    const int32_t kind = KIND_CYCLE[k % 4];
    KitCameraSpot spot{};
    if (kind == 0) {
      // Beside the course, a little back, looking at it further on.
      const float x = p.x - d.x * FIXED_BACK - d.z * FIXED_SIDE, z = p.z - d.z * FIXED_BACK + d.x * FIXED_SIDE;
      KitPoint q{}, qd{};
      walk.At(s + FIXED_LOOK, &q, &qd);
      spot = Looking(0, x, ground(x, z) + FIXED_ABOVE, z, q.x, ground(q.x, q.z) + 10.0f, q.z);
    } else {
      const float x = p.x - d.z * OTHER_SIDE, z = p.z + d.x * OTHER_SIDE;
      spot = Looking(kind, x, ground(x, z) + OTHER_ABOVE, z, p.x, ground(p.x, p.z), p.z);
    }
    if (desc.track == 0 && ReachesBlindStretch(desc, spot)) continue;
    spots.push_back(spot);
  }
  // Half way round, a fixed spot not in use.
  walk.At(grid + walk.total * 0.5f, &p, &d);
  spots.push_back({0, 0, p.x, ground(p.x, p.z) + FIXED_ABOVE, p.z, 0.0f, 0.0f, 0.0f});
  return spots;
}

Bytes KitCameraFileNoSpotInUse() {
  std::vector<KitCameraSpot> spots = KitTrackCameraSpots(*KitTrackByIndex(0));
  for (KitCameraSpot& s : spots) s.inUse = 0;
  return CameraFileWrite(spots);
}

}  // namespace datakit
