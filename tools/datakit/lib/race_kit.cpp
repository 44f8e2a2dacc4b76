#include "tools/datakit/lib/race_kit.h"

#include <cmath>
#include <string>

#include "tools/datakit/lib/picture_writer.h"

namespace datakit {

namespace {

constexpr int32_t GRID_COLS = 161, GRID_ROWS = 81;
constexpr float SPACING = 100.0f;
constexpr float START_X = 780.0f, START_Z = 6620.0f;  // desert's grid, heading along +x
constexpr float FAR_X = 9300.0f, RETURN_Z = 6000.0f;
constexpr uint32_t FACE_TEX_LIT = 0x02;
constexpr uint32_t GROUND_PLAIN = 1, GROUND_COURSE = 3;
constexpr float COURSE_HALF_WIDTH = 140.0f;

float GroundHeight(float x, float z) {
  return std::round(60.0f + 25.0f * std::sin(x / 1300.0f) + 15.0f * std::cos(z / 900.0f));
}

struct V3 {
  float x, y, z;
};
V3 Sub(V3 a, V3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
V3 Cross(V3 e, V3 f) { return {e.y * f.z - e.z * f.y, e.z * f.x - e.x * f.z, e.x * f.y - e.y * f.x}; }
V3 Scale1024(V3 v) {
  const float len = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
  if (len == 0.0f) return {0.0f, 0.0f, 1024.0f};
  return {v.x * 1024.0f / len, v.y * 1024.0f / len, v.z * 1024.0f / len};
}

// Distance from (x, z) to the course polyline.
float DistanceToCourse(const std::vector<KitPoint>& course, float x, float z) {
  float best = 1e30f;
  for (size_t i = 0; i < course.size(); ++i) {
    const KitPoint a = course[i], b = course[(i + 1) % course.size()];
    const float dx = b.x - a.x, dz = b.z - a.z;
    const float len2 = dx * dx + dz * dz;
    float t = len2 > 0.0f ? ((x - a.x) * dx + (z - a.z) * dz) / len2 : 0.0f;
    t = t < 0.0f ? 0.0f : t > 1.0f ? 1.0f : t;
    const float px = a.x + t * dx - x, pz = a.z + t * dz - z;
    best = std::fmin(best, std::sqrt(px * px + pz * pz));
  }
  return best;
}

std::vector<KitPoint> Offset(const std::vector<KitPoint>& course, float side) {
  std::vector<KitPoint> out;
  for (size_t i = 0; i < course.size(); ++i) {
    const KitPoint a = course[i], b = course[(i + 1) % course.size()];
    const float dx = b.x - a.x, dz = b.z - a.z;
    const float len = std::sqrt(dx * dx + dz * dz);
    out.push_back({a.x - dz / len * side, a.z + dx / len * side});
  }
  return out;
}

std::vector<KitPoint> Loop(float cx, float cz, float radius, int n) {
  std::vector<KitPoint> out;
  for (int i = 0; i < n; ++i) {
    const float a = 6.2831853f * static_cast<float>(i) / static_cast<float>(n);
    out.push_back({cx + radius * std::sin(a), cz + radius * std::cos(a)});
  }
  return out;
}

}  // namespace

std::vector<KitPoint> DesertCourse() {
  std::vector<KitPoint> points;
  const float radius = (START_Z - RETURN_Z) * 0.5f, centreZ = (START_Z + RETURN_Z) * 0.5f;
  for (float x = START_X; x < FAR_X; x += 400.0f) points.push_back({x, START_Z});
  for (int i = 0; i <= 6; ++i) {
    const float a = 3.14159265f * static_cast<float>(i) / 6.0f;
    points.push_back({FAR_X + radius * std::sin(a), centreZ + radius * std::cos(a)});
  }
  for (float x = FAR_X - 400.0f; x > START_X - 400.0f; x -= 400.0f) points.push_back({x, RETURN_Z});
  for (int i = 1; i < 6; ++i) {
    const float a = 3.14159265f * static_cast<float>(i) / 6.0f;
    points.push_back({START_X - 400.0f - radius * std::sin(a), centreZ - radius * std::cos(a)});
  }
  return points;
}

KitMesh DesertTrackMesh() {
  const std::vector<KitPoint> course = DesertCourse();
  KitMesh mesh;
  for (int32_t r = 0; r < GRID_ROWS; ++r)
    for (int32_t c = 0; c < GRID_COLS; ++c) {
      KitVertex v{};
      v.x = static_cast<float>(c) * SPACING;
      v.z = static_cast<float>(r) * SPACING;
      v.y = GroundHeight(v.x, v.z);
      v.red = v.green = v.blue = 255;
      mesh.vertices.push_back(v);
    }
  std::vector<V3> sums(mesh.vertices.size(), V3{0, 0, 0});
  auto pos = [&](uint16_t i) { return V3{mesh.vertices[i].x, mesh.vertices[i].y, mesh.vertices[i].z}; };
  static const float A[6] = {0.0f, 0.0f, 254.0f, 0.0f, 254.0f, 254.0f};
  static const float B[6] = {0.0f, 0.0f, 254.0f, 254.0f, 0.0f, 254.0f};
  for (int32_t r = 0; r + 1 < GRID_ROWS; ++r)
    for (int32_t c = 0; c + 1 < GRID_COLS; ++c) {
      const auto tl = static_cast<uint16_t>(r * GRID_COLS + c), tr = static_cast<uint16_t>(tl + 1);
      const auto bl = static_cast<uint16_t>(tl + GRID_COLS), br = static_cast<uint16_t>(bl + 1);
      const float cx = (static_cast<float>(c) + 0.5f) * SPACING, cz = (static_cast<float>(r) + 0.5f) * SPACING;
      const uint32_t s = DistanceToCourse(course, cx, cz) < COURSE_HALF_WIDTH ? GROUND_COURSE : GROUND_PLAIN;
      const uint16_t corners[2][3] = {{tl, tr, br}, {tl, br, bl}};
      for (int k = 0; k < 2; ++k) {
        KitFace f{};
        f.type = FACE_TEX_LIT << 24 | s;
        f.vertexCount = 3;
        for (int i = 0; i < 3; ++i) f.index[i] = corners[k][i];
        for (int i = 0; i < 6; ++i) f.st[i] = k == 0 ? A[i] : B[i];
        const V3 p = pos(corners[k][0]);
        const V3 n = Scale1024(Cross(Sub(pos(corners[k][1]), p), Sub(pos(corners[k][2]), p)));
        f.normalX = n.x;
        f.normalY = n.y;
        f.normalZ = n.z;
        for (int i = 0; i < 3; ++i) {
          V3& sum = sums[corners[k][i]];
          sum = {sum.x + n.x, sum.y + n.y, sum.z + n.z};
        }
        mesh.faces.push_back(f);
      }
    }
  for (size_t i = 0; i < mesh.vertices.size(); ++i) {
    const V3 n = Scale1024(sums[i]);
    mesh.vertices[i].normalX = n.x;
    mesh.vertices[i].normalY = n.y;
    mesh.vertices[i].normalZ = n.z;
  }
  return mesh;
}

std::vector<KitPlacement> DesertPlacements() {
  constexpr uint16_t BIDON = 17, BARRIERE = 19, VACHE = 12, CHECKP = 20, PANO = 24;
  std::vector<KitPlacement> out;
  auto at = [&](uint16_t type, uint16_t yaw, float x, float z) {
    out.push_back({yaw, 0, 0xFF, type, x, GroundHeight(x, z), z});
  };
  for (int i = 0; i < 6; ++i) at(BIDON, 0, 1800.0f + 900.0f * static_cast<float>(i), START_Z + 220.0f);
  for (int i = 0; i < 8; ++i) at(BARRIERE, 256, 2200.0f + 600.0f * static_cast<float>(i), RETURN_Z - 220.0f);
  at(VACHE, 300, 5200.0f, 6310.0f);
  at(CHECKP, 256, 5000.0f, START_Z);
  at(CHECKP, 768, 5000.0f, RETURN_Z);
  for (int i = 0; i < 3; ++i) at(PANO, 512, 3000.0f + 2500.0f * static_cast<float>(i), START_Z - 260.0f);
  return out;
}

std::vector<uint8_t> DesertPositionCodes() {
  std::vector<uint8_t> codes(POSITION_MAP_WIDTH * POSITION_MAP_HEIGHT, 0);
  const std::vector<KitPoint> course = DesertCourse();
  auto cell = [](float x, float z) { return static_cast<size_t>(z * 0.0025f) * POSITION_MAP_WIDTH + static_cast<size_t>(x * 0.0025f); };
  const size_t finish = cell(START_X + 400.0f, START_Z);
  codes[finish] = 1;
  uint8_t sector = 2;
  // Walk the loop from the finish line on, in small steps, numbering each new cell.
  const size_t n = course.size();
  for (size_t i = 0; i <= n; ++i) {
    const KitPoint a = course[(i + 1) % n], b = course[(i + 2) % n];
    for (int k = 0; k < 16; ++k) {
      const float t = static_cast<float>(k) / 16.0f;
      const size_t c = cell(a.x + (b.x - a.x) * t, a.z + (b.z - a.z) * t);
      if (codes[c] == 0 && sector <= 54) codes[c] = sector++;
    }
  }
  return codes;
}

std::vector<DataFile> TrackArchiveFiles() {
  std::vector<DataFile> files;
  files.push_back({4, "desert.uv", TrackMeshFileWrite(DesertTrackMesh(), DesertPlacements())});

  const std::vector<KitPoint> course = DesertCourse();
  std::vector<KitCameraSpot> spots;
  for (size_t i = 0; i < course.size(); i += 8) {
    const KitPoint p = course[i];
    spots.push_back({1, static_cast<int32_t>(i % 16 == 0 ? 0 : 1), p.x, GroundHeight(p.x, p.z) + 120.0f, p.z + 300.0f,
                     1000.0f, 512.0f, 0.0f});
  }
  files.push_back({5, "desert.cam", CameraFileWrite(spots)});

  files.push_back({5, "traj\\desert.tA", PathFileWrite(course)});
  files.push_back({5, "traj\\desert.tB", PathFileWrite(Offset(course, 60.0f))});
  files.push_back({5, "traj\\desert.tC", PathFileWrite(Offset(course, -60.0f))});
  files.push_back({5, "traj\\desert.tD", PathFileWrite(Offset(course, 100.0f))});
  // The paths of the highway traffic, the skiers and the elephants.
  for (char c = 'A'; c <= 'D'; ++c) {
    const float f = static_cast<float>(c - 'A');
    files.push_back({5, std::string("other.t") + c, PathFileWrite(Loop(4000.0f + 1500.0f * f, 4000.0f, 1200.0f, 40))});
    files.push_back({5, std::string("ski.t") + c, PathFileWrite(Loop(3000.0f, 2000.0f + 800.0f * f, 500.0f, 20))});
  }
  for (char c = 'A'; c <= 'B'; ++c)
    files.push_back({5, std::string("ele.t") + c, PathFileWrite(Loop(6000.0f, 3000.0f + 900.0f * static_cast<float>(c - 'A'), 700.0f, 24))});

  files.push_back({3, "mappos.qvr", PositionMapWrite(DesertPositionCodes())});
  files.push_back({3, "mappos1.qvr", PositionMapWrite({})});
  files.push_back({3, "mappos2.qvr", PositionMapWrite({})});
  for (int i = 1; i <= 10; ++i)
    files.push_back({3, "vue" + std::to_string(i) + ".qvr", MakeQvr(640, 480, PatternRgb555(640, 480, 40 + i))});
  return files;
}

}  // namespace datakit
