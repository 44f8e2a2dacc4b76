#include "tools/datakit/lib/race_kit.h"

#include <cmath>
#include <string>
#include <utility>

#include "tools/datakit/lib/contact_kit.h"
#include "tools/datakit/lib/model3ds_writer.h"
#include "tools/datakit/lib/picture_writer.h"
#include "tools/datakit/lib/texture_3df.h"

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
  AppendDesertContactObjects(&out, GroundHeight, START_Z, RETURN_Z);
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

namespace {

struct NumberedGround {
  char letter;
  int32_t count;
  int32_t tint[3];
};
constexpr NumberedGround NUMBERED_GROUNDS[] = {
    {'a', 55, {224, 186, 128}}, {'b', 44, {236, 238, 244}}, {'c', 53, {110, 88, 60}},  {'d', 56, {96, 70, 62}},
    {'e', 55, {150, 146, 136}}, {'f', 55, {190, 168, 126}}, {'g', 58, {112, 124, 110}}, {'h', 55, {200, 176, 130}},
    {'i', 55, {190, 174, 110}}, {'j', 30, {210, 224, 242}},
};
constexpr uint32_t GROUND_SIDE = 16;
constexpr uint32_t TYRE_SIDE = 32;

uint16_t Rgb565(int32_t r, int32_t g, int32_t b) {
  auto c = [](int32_t v) { return static_cast<uint32_t>(v < 0 ? 0 : v > 255 ? 255 : v); };
  return static_cast<uint16_t>((c(r) >> 3) << 11 | (c(g) >> 2) << 5 | (c(b) >> 3));
}
uint16_t Argb1555(int32_t r, int32_t g, int32_t b) {
  return static_cast<uint16_t>(0x8000 | (r >> 3) << 10 | (g >> 3) << 5 | (b >> 3));
}

struct KitTex {
  std::string path;  // without extension
  uint32_t format, width, height;
  std::vector<uint16_t> texels;
};

// Numbered ground k of a track: the track's tint, a little darker or lighter
// by number, with a grain; the course texture (3) is a pale packed track.
std::vector<uint16_t> NumberedGroundTexels(const NumberedGround& g, int32_t k) {
  std::vector<uint16_t> texels(GROUND_SIDE * GROUND_SIDE);
  const int32_t shift = k == 3 ? 30 : (k % 7) * 6 - 18;
  uint32_t s = static_cast<uint32_t>(g.letter * 131 + k);
  for (uint32_t i = 0; i < texels.size(); ++i) {
    s = s * 1103515245u + 12345u;
    const int32_t grain = static_cast<int32_t>((s >> 16) % 16) - 8;
    texels[i] = Rgb565(g.tint[0] + shift + grain, g.tint[1] + shift + grain, g.tint[2] + shift + grain);
  }
  return texels;
}

std::vector<uint16_t> Plain1555(uint32_t side, int32_t r, int32_t g, int32_t b, bool ring) {
  std::vector<uint16_t> texels(side * side);
  for (uint32_t y = 0; y < side; ++y)
    for (uint32_t x = 0; x < side; ++x) {
      const bool dark = ring && ((x / 4 + y / 4) % 2 == 0);
      texels[y * side + x] = Argb1555(dark ? r / 2 : r, dark ? g / 2 : g, dark ? b / 2 : b);
    }
  return texels;
}

std::vector<KitTex> RaceKitTextures() {
  std::vector<KitTex> list;
  for (const NumberedGround& g : NUMBERED_GROUNDS)
    for (int32_t k = 1; k <= g.count; ++k)
      list.push_back({std::string(1, g.letter) + std::to_string(k), TEX3DF_RGB565, GROUND_SIDE, GROUND_SIDE,
                      NumberedGroundTexels(g, k)});
  list.push_back({"gomme", TEX3DF_ARGB1555, TYRE_SIDE, TYRE_SIDE, Plain1555(TYRE_SIDE, 40, 40, 40, true)});
  list.push_back({"gom", TEX3DF_ARGB1555, TYRE_SIDE, TYRE_SIDE, Plain1555(TYRE_SIDE, 60, 50, 40, false)});
  list.push_back({"desert\\gomme", TEX3DF_ARGB1555, TYRE_SIDE, TYRE_SIDE, Plain1555(TYRE_SIDE, 200, 160, 110, false)});
  for (const char* name : {"vdavg", "vdavd", "vdarg", "vdard"})
    list.push_back({name, TEX3DF_ARGB1555, 32, 32, Plain1555(32, 255, 230, 150, false)});
  list.push_back({"minicar", TEX3DF_ARGB1555, 32, 32, Plain1555(32, 240, 40, 40, true)});
  // Each car's body texture, and the same smaller for low texture memory; the
  // wheels' treads bear the tyre texture.
  for (int32_t car = 1; car <= 6; ++car) {
    const std::string dir = "car" + std::to_string(car) + "\\";
    const int32_t r = 60 + 30 * car, g = 220 - 25 * car, b = 40 + 20 * (car % 3);
    for (const auto& [sub, side] : {std::pair<std::string, uint32_t>{"", 32}, {"low\\", 16}}) {
      list.push_back({dir + sub + "car", TEX3DF_ARGB1555, side, side, Plain1555(side, r, g, b, false)});
    }
  }
  for (const char* sub : {"kit\\", "kit\\low\\"}) {
    list.push_back({std::string(sub) + "car", TEX3DF_ARGB1555, 32, 32, Plain1555(32, 200, 200, 60, false)});
  }
  // The effect sprites: smoke greys, flames, explosions, bubble, fire, glow, reflection.
  for (int32_t k = 1; k <= 8; ++k) list.push_back({"fumee" + std::to_string(k), TEX3DF_ARGB1555, 32, 32, Plain1555(32, 90 + 15 * k, 90 + 15 * k, 90 + 15 * k, true)});
  for (int32_t k = 1; k <= 4; ++k) list.push_back({"flam" + std::to_string(k), TEX3DF_ARGB1555, 32, 32, Plain1555(32, 250, 60 + 40 * k, 20, true)});
  for (int32_t k = 1; k <= 8; ++k) list.push_back({"explo" + std::to_string(k), TEX3DF_ARGB1555, 32, 32, Plain1555(32, 250, 200 - 20 * k, 40, true)});
  list.push_back({"bulle", TEX3DF_ARGB1555, 32, 32, Plain1555(32, 200, 230, 250, true)});
  list.push_back({"feu", TEX3DF_ARGB1555, 32, 32, Plain1555(32, 250, 120, 20, true)});
  list.push_back({"flare", TEX3DF_ARGB1555, 32, 32, Plain1555(32, 250, 250, 210, true)});
  list.push_back({"reflet", TEX3DF_ARGB1555, 32, 32, Plain1555(32, 220, 220, 240, false)});
  return list;
}

// A box of one colour standing on z = 0 in the modeller's axes, its top
// leaning by `lean` (the frames of the animated rows lean by frame).
Model3ds Block(const std::string& name, float w, float d, float h, uint8_t r, uint8_t g, uint8_t b, float lean = 0.0f) {
  Model3ds m;
  m.materials.push_back({"M" + name, r, g, b, AmbientChunks::BOTH, ""});
  Mesh3ds mesh;
  mesh.name = name;
  for (int k = 0; k < 8; ++k) {
    const float x = (k & 1) ? w : -w, y = (k & 2) ? d : -d, z = (k & 4) ? h : 0.0f;
    mesh.vertices.push_back({x + ((k & 4) ? lean : 0.0f), y, z});
  }
  const uint16_t quads[6][4] = {{0, 1, 3, 2}, {4, 6, 7, 5}, {0, 4, 5, 1}, {2, 3, 7, 6}, {0, 2, 6, 4}, {1, 5, 7, 3}};
  Group3ds group{"M" + name, {}};
  for (const auto& q : quads) {
    mesh.faces.push_back({q[0], q[1], q[2]});
    mesh.faces.push_back({q[0], q[2], q[3]});
  }
  for (uint16_t f = 0; f < 12; ++f) group.faces.push_back(f);
  mesh.groups.push_back(group);
  m.meshes.push_back(mesh);
  return m;
}

struct KitObject {
  const char* name;
  float w, d, h;  // half width and depth, height, in model units (scaled at load)
  uint8_t r, g, b;
  int32_t frames;  // animation frame files name1 .. nameN
  const char* frameStem;
};

// Desert rows (track 0) and the rows of every track (100). Sizes are in the
// units of each row's scale (mostly 0.01: hundreds of units per metre).
constexpr KitObject DESERT_OBJECTS[] = {
    {"bugdead", 60, 30, 40, 90, 70, 40, 0, ""},        {"cactus1", 300, 300, 4000, 60, 140, 60, 0, ""},
    {"cactus2", 300, 300, 3000, 70, 150, 70, 0, ""},   {"cactus3", 400, 400, 2500, 50, 130, 60, 0, ""},
    {"vache1", 700, 1800, 1500, 240, 240, 230, 3, "vache"}, {"chato", 1500, 1500, 6000, 160, 150, 140, 0, ""},
    {"oiltank", 1200, 1200, 2500, 150, 150, 160, 0, ""}, {"oiltrack", 500, 500, 400, 20, 20, 20, 0, ""},
    {"rocher1", 2000, 1500, 1500, 150, 110, 80, 0, ""}, {"bidon", 300, 300, 900, 200, 40, 30, 0, ""},
    {"bidon1", 300, 300, 900, 40, 60, 200, 0, ""},      {"barriere", 1500, 100, 700, 240, 240, 240, 0, ""},
    {"checkp", 2500, 200, 2500, 240, 200, 0, 0, ""},    {"camion", 1200, 3000, 2500, 200, 120, 30, 0, ""},
    {"fuel", 400, 400, 1200, 220, 30, 30, 0, ""},      {"cater", 1500, 2000, 2000, 230, 180, 0, 0, ""},
    {"pano", 1000, 100, 2000, 30, 60, 200, 0, ""},      {"pano01", 1000, 100, 2000, 30, 160, 200, 0, ""},
    {"pano02", 1000, 100, 2000, 200, 60, 30, 0, ""},    {"pano03", 1000, 100, 2000, 60, 200, 30, 0, ""},
    {"pano04", 1000, 100, 2000, 200, 200, 30, 0, ""},   {"pano05", 1000, 100, 2000, 200, 30, 200, 0, ""},
    {"pano06", 1000, 100, 2000, 30, 200, 200, 0, ""},   {"pipbas", 300, 3000, 300, 120, 120, 120, 0, ""},
    {"pipcoud", 300, 300, 1000, 120, 120, 120, 0, ""},  {"piphor", 3000, 300, 300, 120, 120, 120, 0, ""},
    {"pipt", 300, 300, 1500, 120, 120, 120, 0, ""},     {"petrol", 800, 800, 1800, 180, 30, 30, 0, ""},
    {"fleche", 800, 100, 800, 250, 250, 0, 0, ""},      {"helicop", 700, 2000, 800, 60, 80, 60, 0, ""},
    {"pflag1", 50, 50, 2500, 250, 250, 250, 0, ""},     {"flag1", 600, 30, 2500, 220, 0, 0, 6, "flag"},
    {"pub1", 1500, 100, 1500, 250, 250, 250, 0, ""},    {"pub2", 1500, 100, 1500, 250, 200, 200, 0, ""},
    {"pub3", 1500, 100, 1500, 200, 200, 250, 0, ""},
};

// Every other track's models, as plain blocks, so each track loads.
constexpr const char* OTHER_OBJECTS[] = {
    "lune", "losap1", "losap2", "losap3", "loblob", "logate", "mout01", "hwbui1", "sapin1", "sapin2", "sapin3",
    "troncut", "tronc", "foret", "pilonne", "barsecu", "chalet", "cab9", "neuf", "rochn1", "rochn2", "rochn3",
    "baresto", "skidn1", "skidd1", "skidg1", "skidm1", "maison1", "maison2", "fanion1", "fanion2", "filet",
    "filetpil", "eglise", "checkn", "direct", "hetre", "portail", "eclair1", "eclair2", "eclair3", "eclair4",
    "muret1", "muret2", "muret3", "tomb1", "tomb2", "tomb3", "croix", "hetre1", "pierre", "tour", "mur1",
    "mur2", "mur3", "auberge", "men1", "men2", "men3", "men4", "chato1", "chato2", "chato3", "chato4", "chato5",
    "chato6", "barque", "ponton", "nessy1", "cochon1", "rdir", "hwbui2", "hwbui3", "hwcuve", "hwcuve1",
    "hwcuve2", "hwguid", "hwhlm1", "hwhlm2", "hwhlm3", "hwhlm4", "hwhlm5", "hwhlm6", "hwpan1", "hwpan2",
    "hwpan3", "hwgate", "vlum1", "sufma1", "sufmb1", "sufmc1", "sufmd1", "suballe", "suchais", "sucoco1",
    "sucoco2", "sucoco3", "sudir1", "sudir2", "sugate", "supail1", "supail2", "susurf1", "susurf2", "sutable",
    "suyatch", "troue1", "vroue1", "vgate", "vroc1", "vroc2", "vroc3", "vroc4", "vroc5", "vroc6", "varbre1",
    "varbre2", "varbre3", "varbre4", "varbre5", "vpont1", "vlum2", "vlum3", "vbar1", "vbar2", "vbar3", "vbar4",
    "vbar5", "vpano1", "vpano2", "vpano3", "vpano4", "vpano5", "vpano6", "tblue1", "tblue2", "tmaro1", "tmaro2",
    "tred1", "tred2", "vflic1", "vflic2", "vmau1", "vmau2", "vora1", "vora2", "vred1", "vred2", "vsh1", "vsh2",
    "ruamph", "ruaqua1", "ruaqua2", "ruaqua3", "rubloc1", "rubloc2", "rucipr1", "rucipr2", "rucol1", "rucol2",
    "rucol3", "rucol4", "rucol5", "rucol6", "rucol7", "rucolb", "rugate", "rupan1", "rupan2", "rusocle",
    "rustat1", "rustat2", "rustat3", "rustat4", "rustat5", "rutempl", "rutemp1", "sabuis1", "safdes1",
    "safdes2", "safdes3", "safond", "safoug1", "safoug2", "safoug3", "safoug4", "safoug5", "safoug6", "safoug7",
    "sapalm1", "sapalm2", "sapalm3", "saplmb1", "saplmb2", "saplmb3", "saplmb4", "satronc1", "satronc2",
    "satronc3", "satronc4", "satronc5", "sadir1", "sadir2", "sagate", "samais1", "samais2", "icdir1", "icdir2",
    "icsous", "icpg01", "icdir3", "icsou1", "icbloc1", "icbloc2", "icbloc", "icgate", "icancre", "icgate1",
    "icgate2", "saelef1", "lflag01", "projo", "chenille",
};
// The animation frames of the animated rows among them: stem, first and last
// number, and whether the numbers take two digits.
struct FrameList {
  const char* stem;
  int32_t first, last;
  bool twoDigits;
};
constexpr FrameList OTHER_FRAMES[] = {
    {"mout", 1, 3, true},   {"nessy", 1, 3, false}, {"cochon", 1, 3, false}, {"icpg", 1, 4, true},
    {"sufma", 1, 4, false}, {"sufmb", 1, 4, false}, {"sufmc", 1, 4, false},  {"sufmd", 1, 4, false},
    {"saelef", 1, 6, false}, {"lflag", 1, 6, true},
};

}  // namespace

std::vector<DataFile> RaceKitTextureArchiveFiles() {
  std::vector<DataFile> files;
  for (const KitTex& t : RaceKitTextures()) files.push_back({2, t.path + ".tex", MakeTex(t.format, t.width, t.height, t.texels)});
  return files;
}

std::vector<DataFile> RaceKitTextureLooseFiles() {
  std::vector<DataFile> files;
  for (const KitTex& t : RaceKitTextures())
    files.push_back({0, t.path + ".3df", Make3df(static_cast<int32_t>(t.format), t.width, t.height, t.texels)});
  return files;
}

std::vector<DataFile> ObjectModelFiles() {
  std::vector<DataFile> files;
  for (const KitObject& o : DESERT_OBJECTS) {
    const Model3ds model = Block(o.name, o.w, o.d, o.h, o.r, o.g, o.b);
    files.push_back({1, std::string("others\\") + o.name + ".3ds", Make3ds(model)});
    for (int32_t k = 1; k <= o.frames; ++k) {
      // The first frame is the model's own file.
      if (std::string(o.frameStem) + std::to_string(k) == o.name) continue;
      const Model3ds frame = Block(o.name, o.w, o.d, o.h, o.r, o.g, o.b, o.w * 0.1f * static_cast<float>(k - 1));
      files.push_back({1, std::string("others\\") + o.frameStem + std::to_string(k) + ".3ds",
                       Make3dsFrame(frame.meshes[0].vertices)});
    }
  }
  uint32_t hue = 7;
  for (const char* name : OTHER_OBJECTS) {
    hue = hue * 1103515245u + 12345u;
    const auto shade = [&](int shift) { return static_cast<uint8_t>(80 + ((hue >> shift) & 127)); };
    files.push_back({1, std::string("others\\") + name + ".3ds", Make3ds(Block(name, 500, 500, 1500, shade(8), shade(15), shade(22)))});
  }
  for (const FrameList& list : OTHER_FRAMES)
    for (int32_t k = list.first; k <= list.last; ++k) {
      const std::string name = std::string(list.stem) + (list.twoDigits && k < 10 ? "0" : "") + std::to_string(k);
      bool own = false;  // the first frame is the model's own file
      for (const char* model : OTHER_OBJECTS) own = own || name == model;
      if (own) continue;
      const Model3ds frame = Block(name, 500, 500, 1500, 0, 0, 0, 50.0f * static_cast<float>(k));
      files.push_back({1, "others\\" + name + ".3ds", Make3dsFrame(frame.meshes[0].vertices)});
    }
  return files;
}

namespace {

// A wheel whose tread bears gomme.3df, the texture the tyre marks replace.
Model3ds TyreWheel() {
  Model3ds wheel = ModelWheel();
  for (Material3ds& m : wheel.materials)
    if (!m.texture.empty()) m.texture = "gomme.3df";
  return wheel;
}

}  // namespace

std::vector<DataFile> VehicleModelFiles() {
  std::vector<DataFile> files;
  const auto model = [&](const std::string& path, const Model3ds& m) { files.push_back({1, path, Make3ds(m)}); };
  for (int32_t car = 1; car <= 6; ++car) {
    const std::string dir = "car" + std::to_string(car) + "\\";
    for (const char* level : {"res1\\", "res2\\", "res3\\", "res4\\", "int\\"}) model(dir + level + "ziziz.3ds", ModelCarBody());
    for (const char* level : {"res1\\", "res2\\", "res3\\"})
      for (const char* wheel : {"rouearg", "roueard", "roueavg", "roueavd"}) model(dir + level + wheel + ".3ds", TyreWheel());
    model(dir + "volant.3ds", Block("volant", 2, 2, 1, 30, 30, 30));
    model(dir + "bord.3ds", Block("bord", 6, 2, 2, 50, 50, 60));
  }
  for (int32_t k = 1; k <= 4; ++k) {
    model("kit\\kcaisse" + std::to_string(k) + ".3ds", ModelCarBody());
    model("kit\\kmotor" + std::to_string(k) + ".3ds", Block("kmotor", 3, 4, 3, 90, 90, 100));
    for (const char* dir : {"kit\\res1\\", "kit\\res2\\", "kit\\res3\\", "kit\\"})
      for (const char* wheel : {"krarg0", "krard0", "kravg0", "kravd0"}) model(dir + std::string(wheel) + std::to_string(k) + ".3ds", TyreWheel());
  }
  model("kit\\kvolant.3ds", Block("kvolant", 2, 2, 1, 30, 30, 30));
  // The driver and its six frames, each leaning a little further.
  model("man.3ds", Block("man", 2, 2, 8, 200, 160, 120));
  for (int32_t k = 1; k <= 6; ++k)
    files.push_back({1, "man" + std::to_string(k) + ".3ds",
                     Make3dsFrame(Block("man", 2, 2, 8, 0, 0, 0, 0.5f * static_cast<float>(k - 1)).meshes[0].vertices)});
  model("volext.3ds", Block("volext", 2, 2, 1, 30, 30, 30));
  model("dfleche.3ds", Block("dfleche", 4, 8, 1, 250, 220, 0));
  return files;
}

}  // namespace datakit
