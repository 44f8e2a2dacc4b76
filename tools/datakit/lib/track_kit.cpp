#include "tools/datakit/lib/track_kit.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "tools/datakit/lib/camera_kit.h"
#include "tools/datakit/lib/coast_ruins_kit.h"
#include "tools/datakit/lib/contact_kit.h"
#include "tools/datakit/lib/track_kit_decor.h"

namespace datakit {

namespace {

constexpr int32_t GRID_COLS = 161, GRID_ROWS = 81;
constexpr float SPACING = 100.0f;
constexpr uint32_t FACE_TEX_LIT = 0x02;
// Written as water: the game draws it see-through, after the cars.
constexpr uint32_t FACE_TRANSLUCENT = 0x0E;
constexpr float STRAIGHT_STEP = 400.0f;  // course points on the straights
constexpr int BEND_STEPS = 12;
constexpr uint16_t HEADING_ALONG_X = 256;
constexpr uint32_t QUADRANT_COLS = POSITION_MAP_WIDTH / 2, QUADRANT_ROWS = POSITION_MAP_HEIGHT / 2;
constexpr uint8_t LAST_SECTOR = 54;

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

float HeightAt(const KitTrackDesc& desc, const std::vector<KitPoint>& course, float x, float z) {
  return desc.height(x, z, DistanceToCourse(course, x, z));
}

// ---- desert: rolling sand, the course out along +x and back 1020 units to its left.

float DesertHeight(float x, float z, float /*course*/) {
  return std::round(60.0f + 25.0f * std::sin(x / 1300.0f) + 15.0f * std::cos(z / 900.0f));
}

std::vector<KitPlacement> DesertObjects(const KitTrackDesc& desc) {
  constexpr uint16_t BIDON = 17, BARRIERE = 19, VACHE = 12, CHECKP = 20, PANO = 24;
  const float startZ = desc.startZ, returnZ = desc.startZ - desc.width;
  std::vector<KitPlacement> out;
  auto at = [&](uint16_t type, uint16_t yaw, float x, float z) {
    out.push_back({yaw, 0, 0xFF, type, x, desc.height(x, z, 0.0f), z});
  };
  for (int i = 0; i < 6; ++i) at(BIDON, 0, 1800.0f + 900.0f * static_cast<float>(i), startZ + 220.0f);
  for (int i = 0; i < 8; ++i) at(BARRIERE, 256, 2200.0f + 600.0f * static_cast<float>(i), returnZ - 220.0f);
  at(VACHE, 300, 5200.0f, 6310.0f);
  at(CHECKP, 256, 5000.0f, startZ);
  at(CHECKP, 768, 5000.0f, returnZ);
  for (int i = 0; i < 3; ++i) at(PANO, 512, 3000.0f + 2500.0f * static_cast<float>(i), startZ - 260.0f);
  // A row of every draw kind and hit kind the desert loads, outside the
  // outward straight: two cows, the oil track, the dead bug, the cacti, the
  // pennant, the panels, two flags, a drum and the invisible post.
  constexpr uint16_t ROW_TYPES[] = {VACHE, VACHE, 15, 8, 9, 10, 11, 254, 256, 257, 258, 255, 255, 18, 100};
  for (size_t i = 0; i < sizeof ROW_TYPES / sizeof ROW_TYPES[0]; ++i)
    at(ROW_TYPES[i], static_cast<uint16_t>(768 + 40 * i), 1500.0f + 170.0f * static_cast<float>(i), startZ + 430.0f);
  // A fence panel and a drum on the course itself, where the cars drive
  // through them: the drum 24 units left of the course line, where player
  // 1's car settles on the outward straight (a drum is too slim to be met
  // by a car holding its line anywhere else), and far enough along it that
  // the drum, launched ahead of the car, bursts still ahead of it.
  at(BARRIERE, 256, 6000.0f, returnZ);  // across the way back
  at(BIDON, 0, 4400.0f, startZ - 24.0f);
  // Cows grazing beside the course, on the inside of the outward straight.
  at(VACHE, 200, 3400.0f, startZ - 210.0f);
  at(VACHE, 900, 3560.0f, startZ - 230.0f);
  AppendDesertContactObjects(
      &out, [](float x, float z) { return DesertHeight(x, z, 0.0f); }, startZ, returnZ);
  return out;
}

// ---- ice: a frozen lake at height 0 around the course, its shore rising beyond.

constexpr float ICE_SHORE = 520.0f;
// Deeper than any car's mirror image reaches.
constexpr float ICE_BED_DEPTH = 120.0f;

float IceHeight(float x, float z, float course) {
  if (course <= ICE_SHORE) return 0.0f;
  const float ramp = std::fmin(260.0f, (course - ICE_SHORE) * 0.3f);
  return std::round(ramp * (1.0f + 0.3f * std::sin(x / 700.0f) * std::cos(z / 800.0f)));
}

std::vector<KitPlacement> IceObjects(const KitTrackDesc& desc) {
  constexpr uint16_t ICDIR1 = 240, ICBLOC2 = 247;
  const std::vector<KitPoint> course = KitTrackCourse(desc);
  const float radius = desc.width * 0.5f, centreZ = desc.startZ - radius;
  std::vector<KitPlacement> out;
  auto at = [&](uint16_t type, uint16_t yaw, float x, float z) {
    out.push_back({yaw, 0, 0xFF, type, x, HeightAt(desc, course, x, z), z});
  };
  // Blocks of ice beside the first straight, arrows at both turns.
  for (int i = 0; i < 4; ++i) at(ICBLOC2, static_cast<uint16_t>(100 * i), desc.startX + 1500.0f + 1200.0f * static_cast<float>(i), desc.startZ + 300.0f);
  at(ICDIR1, 768, desc.startX + desc.length + radius + 300.0f, centreZ);
  at(ICDIR1, 256, desc.startX - STRAIGHT_STEP - radius - 300.0f, centreZ);
  // On the ice ahead of the grid, to the right of the course: a penguin, the
  // two kinds of block, both gates with their lights, and a panel and a
  // pennant that mirror in the ice.
  constexpr uint16_t ICPG01 = 243, ICBLOC1 = 246, ICGATE1 = 251, ICGATE2 = 252, PUB1 = 256, PFLAG1 = 254;
  const float right = desc.startZ + 260.0f;
  at(ICPG01, 768, desc.startX + 700.0f, right);
  at(ICPG01, 700, desc.startX + 760.0f, right + 60.0f);
  at(ICBLOC1, 0, desc.startX + 900.0f, right + 40.0f);
  at(ICGATE1, 0, desc.startX + 1100.0f, right + 120.0f);
  at(ICGATE2, 0, desc.startX + 1400.0f, right + 120.0f);
  at(PUB1, 768, desc.startX + 1000.0f, right);
  at(PFLAG1, 0, desc.startX + 820.0f, right - 40.0f);
  return out;
}

// ---- looping: a night course turning right, level near the course for the
// scripted jump, rising into low hills beyond.

constexpr float LOOPING_LEVEL = 20.0f;
constexpr float LOOPING_FLAT = 720.0f;

float LoopingHeight(float x, float z, float course) {
  if (course <= LOOPING_FLAT) return LOOPING_LEVEL;
  const float rise = std::fmin(300.0f, (course - LOOPING_FLAT) * 0.4f);
  return std::round(LOOPING_LEVEL + rise * (0.7f + 0.3f * std::sin(x / 900.0f) * std::cos(z / 700.0f)));
}

std::vector<KitPlacement> LoopingObjects(const KitTrackDesc& desc) {
  constexpr uint16_t LOSAP1 = 1, LOSAP2 = 2, LFLAG01 = 259, PROJO = 260;
  const std::vector<KitPoint> course = KitTrackCourse(desc);
  const float returnZ = desc.startZ - desc.width, far = desc.startX + desc.length;
  std::vector<KitPlacement> out;
  auto at = [&](uint16_t type, uint16_t yaw, float x, float z) {
    out.push_back({yaw, 0, 0xFF, type, x, HeightAt(desc, course, x, z), z});
  };
  // Pines outside both straights, clear of the ramp and of the jump's landing.
  for (int i = 0; i < 6; ++i) at(LOSAP1, static_cast<uint16_t>(150 * i), 4500.0f + 1100.0f * static_cast<float>(i), desc.startZ - 330.0f);
  for (float x : {5000.0f, 6000.0f, 9200.0f, 10200.0f}) at(LOSAP2, 0, x, returnZ + 330.0f);
  at(LFLAG01, 256, desc.startX + 400.0f, desc.startZ - 260.0f);
  // Floodlights beyond both bends.
  const float middle = (desc.startZ + returnZ) * 0.5f;
  at(PROJO, 256, desc.startX - 1000.0f, middle);
  at(PROJO, 768, far + (returnZ - desc.startZ) * 0.5f + 400.0f, middle);
  return out;
}

// ---- boue: muddy fields at about 860, the course a long loop of left
// turns: up along +z from the grid past a pond, out along +x beyond 9000
// (where a car's finish line arms again), back along -z and home along -x.

constexpr float BOUE_WATER = 820.0f;
constexpr float BOUE_BEND = 600.0f;
// The loop's bend centres, in driving order from the first bend on.
constexpr KitPoint BOUE_BENDS[4] = {{1180.0f, 4300.0f}, {11000.0f, 4300.0f}, {11000.0f, 1700.0f}, {1180.0f, 1700.0f}};
// The pond's bed falls gently from its shore to its middle, so the wheels on
// the course stay shallow; outside the shore the bank rises faster.
constexpr float POND_BED_SLOPE = 0.06f, POND_BANK_SLOPE = 0.2f;

float BoueHeight(float x, float z, float /*course*/) {
  const float fields = 860.0f + 20.0f * std::sin(x / 1100.0f) + 15.0f * std::cos(z / 1300.0f);
  const float dx = x - KIT_POND_X, dz = z - KIT_POND_Z;
  const float d = std::sqrt(dx * dx + dz * dz);
  const float pond = BOUE_WATER + (d - KIT_POND_SHORE) * (d < KIT_POND_SHORE ? POND_BED_SLOPE : POND_BANK_SLOPE);
  return std::round(std::fmin(fields, pond));
}

std::vector<KitPoint> BoueCourse(const KitTrackDesc& desc) {
  std::vector<KitPoint> points;
  // A straight from `from` up to (not including) `to`, in steps of at most STRAIGHT_STEP.
  auto straight = [&](KitPoint from, KitPoint to) {
    const float dx = to.x - from.x, dz = to.z - from.z;
    const int n = static_cast<int>(std::ceil(std::sqrt(dx * dx + dz * dz) / STRAIGHT_STEP));
    for (int k = 0; k < n; ++k) {
      const float t = static_cast<float>(k) / static_cast<float>(n);
      points.push_back({from.x + dx * t, from.z + dz * t});
    }
  };
  // Each bend turns a quarter to the left: from angle a (x = cos, z = sin
  // about its centre) down to a - 90 degrees.
  constexpr float QUARTER = 1.57079633f;
  auto at = [](int bend, float a) {
    return KitPoint{BOUE_BENDS[bend].x + BOUE_BEND * std::cos(a), BOUE_BENDS[bend].z + BOUE_BEND * std::sin(a)};
  };
  KitPoint from{desc.startX, desc.startZ + desc.bendLead};
  for (int bend = 0; bend < 4; ++bend) {
    const float a = QUARTER * static_cast<float>(2 - bend);
    straight(from, at(bend, a));
    for (int i = 0; i < BEND_STEPS / 2; ++i)
      points.push_back(at(bend, a - QUARTER * static_cast<float>(i) / static_cast<float>(BEND_STEPS / 2)));
    from = at(bend, a - QUARTER);
  }
  straight(from, {desc.startX, desc.startZ + desc.bendLead});
  return points;
}

std::vector<KitPlacement> BoueObjects(const KitTrackDesc& desc) {
  constexpr uint16_t BIDON = 17, HETRE = 66, PORTAIL = 67, MURET1 = 72, TOMB1 = 75, CROIX = 78, HETRE1 = 79,
                     TOUR = 81, AUBERGE = 85, CHATO1 = 90, BARQUE = 96, PONTON = 97, NESSY = 98, COCHON = 99;
  std::vector<KitPlacement> list;
  auto at = [&](uint16_t type, uint16_t yaw, float x, float z) {
    list.push_back({yaw, 0, 0xFF, type, x, desc.height(x, z, 0.0f), z});
  };
  // Beeches and a pig beyond the long straight out, the three low walls
  // inside it.
  const float outward = BOUE_BENDS[0].z + BOUE_BEND;
  for (int i = 0; i < 6; ++i)
    at(i % 2 ? HETRE1 : HETRE, static_cast<uint16_t>(170 * i), 2000.0f + 1100.0f * static_cast<float>(i), outward + 350.0f);
  at(COCHON, 300, 2550.0f, outward + 500.0f);
  for (int i = 0; i < 3; ++i)
    at(static_cast<uint16_t>(MURET1 + i), 256, 3000.0f + 1500.0f * static_cast<float>(i), outward - 300.0f);
  // Barrels and the inn to the right of the straight past the pond.
  for (int i = 0; i < 4; ++i) at(BIDON, 0, desc.startX - 220.0f, 2600.0f + 500.0f * static_cast<float>(i));
  at(AUBERGE, 256, desc.startX - 380.0f, 3800.0f);
  // A graveyard and its tower inside the loop; a gate and a castle outside it.
  for (int i = 0; i < 3; ++i) at(static_cast<uint16_t>(TOMB1 + i), 0, 4850.0f + 150.0f * static_cast<float>(i), 3000.0f);
  at(CROIX, 0, 5000.0f, 3200.0f);
  at(TOUR, 0, 6500.0f, 3000.0f);
  at(PORTAIL, 0, 5000.0f, BOUE_BENDS[3].z - BOUE_BEND - 400.0f);
  at(CHATO1, 768, BOUE_BENDS[1].x + BOUE_BEND + 620.0f, 3000.0f);
  // The pond's pier on its far shore, the boat in its middle, rocking from
  // the middle of its swing and rising, and the creature beside it.
  at(PONTON, 256, KIT_POND_X + KIT_POND_COURSE, KIT_POND_Z);
  list.push_back({0, 1500, 1, BARQUE, KIT_POND_X, BOUE_WATER, KIT_POND_Z});
  list.push_back({512, 0, 0xFF, NESSY, KIT_POND_X + 120.0f, BOUE_WATER, KIT_POND_Z + 250.0f});
  return list;
}

// ---- highway: a wide road on level ground at 100, the course along +x out
// of the grid and back 1400 units to its left, with hills beyond it.

constexpr float HIGHWAY_LEVEL = 100.0f;
constexpr float HIGHWAY_VERGE = 360.0f;

float HighwayHeight(float x, float z, float course) {
  if (course <= HIGHWAY_VERGE) return HIGHWAY_LEVEL;
  const float rise = std::fmin(220.0f, (course - HIGHWAY_VERGE) * 0.25f);
  return std::round(HIGHWAY_LEVEL + rise * (0.8f + 0.2f * std::sin(x / 800.0f) * std::cos(z / 600.0f)));
}

std::vector<KitPlacement> HighwayObjects(const KitTrackDesc& desc) {
  constexpr uint16_t HWBUI1 = 7, HWBUI2 = 102, HWBUI3 = 103, HWCUVE = 104, HWCUVE1 = 105, HWCUVE2 = 106,
                     HWGUID = 107, HWHLM1 = 108, HWPAN1 = 114, HWGATE = 117, VLUM1 = 118;
  const std::vector<KitPoint> course = KitTrackCourse(desc);
  const float middle = desc.startZ - desc.width * 0.5f, outside = desc.startZ + 300.0f;
  std::vector<KitPlacement> out;
  auto at = [&](uint16_t type, uint16_t yaw, float x, float z) {
    out.push_back({yaw, 0, 0xFF, type, x, HeightAt(desc, course, x, z), z});
  };
  // Buildings and tanks inside the oval, lamps and guides along the outer
  // verge of the way out, its lit panels and a gate beyond them.
  const uint16_t buildings[] = {HWBUI1, HWBUI2, HWBUI3, HWCUVE, HWCUVE1, HWCUVE2};
  for (int i = 0; i < 6; ++i) at(buildings[i], static_cast<uint16_t>(128 * i), 3800.0f + 1300.0f * static_cast<float>(i), middle);
  for (int i = 0; i < 6; ++i) at(static_cast<uint16_t>(HWHLM1 + i), 256, 3400.0f + 1200.0f * static_cast<float>(i), outside);
  for (int i = 0; i < 4; ++i) at(HWGUID, 256, 4000.0f + 1200.0f * static_cast<float>(i), outside + 60.0f);
  for (int i = 0; i < 3; ++i) at(static_cast<uint16_t>(HWPAN1 + i), 0, 4500.0f + 2000.0f * static_cast<float>(i), outside + 120.0f);
  at(HWGATE, 0, 9500.0f, outside + 140.0f);
  for (int i = 0; i < 4; ++i) at(VLUM1, 0, 5000.0f + 1500.0f * static_cast<float>(i), middle + 400.0f);
  return out;
}

// A water quad at `level` over every grid square with a corner below it,
// its own vertices shared between neighbouring squares; the terrain queries
// read the grid alone, so the ground under the water stays where it is.
void AddWaterFaces(float level, KitMesh* mesh) {
  std::vector<int32_t> waterIndex(static_cast<size_t>(GRID_COLS * GRID_ROWS), -1);
  for (int32_t r = 0; r + 1 < GRID_ROWS; ++r)
    for (int32_t c = 0; c + 1 < GRID_COLS; ++c) {
      const int32_t corners[4] = {r * GRID_COLS + c, r * GRID_COLS + c + 1, (r + 1) * GRID_COLS + c + 1,
                                  (r + 1) * GRID_COLS + c};
      bool wet = false;
      for (int32_t i : corners) wet = wet || mesh->vertices[static_cast<size_t>(i)].y < level;
      if (!wet) continue;
      KitFace f{};
      f.type = FACE_TRANSLUCENT << 24;
      f.vertexCount = 4;
      for (int k = 0; k < 4; ++k) {
        int32_t& to = waterIndex[static_cast<size_t>(corners[k])];
        if (to < 0) {
          KitVertex v = mesh->vertices[static_cast<size_t>(corners[k])];
          v.y = level;
          v.normalX = v.normalZ = 0.0f;
          v.normalY = -1024.0f;
          to = static_cast<int32_t>(mesh->vertices.size());
          mesh->vertices.push_back(v);
        }
        f.index[k] = static_cast<uint16_t>(to);
        f.st[2 * k] = mesh->vertices[static_cast<size_t>(to)].x * 0.1f;
        f.st[2 * k + 1] = mesh->vertices[static_cast<size_t>(to)].z * 0.1f;
      }
      f.normalY = -1024.0f;
      mesh->faces.push_back(f);
    }
}

}  // namespace

// Every lap is long enough (24,700 units and more, as far as the world
// allows) that the fastest computer car needs well over the 25 seconds below
// which a lap is not counted, and every course reaches past x 9000, where
// the finish line arms again.
const std::vector<KitTrackDesc>& KitTracks() {
  static const std::vector<KitTrackDesc> tracks = {
      {0, "desert", 780.0f, 6620.0f, HEADING_ALONG_X, 12000.0f, 1020.0f, DesertHeight, {{140.0f, 3}}, 1, DesertObjects,
       0, 320.0f, 12, 3, 8},
      NeigeTrackDesc(),
      {2, "boue", 580.0f, 2120.0f, 0, 0.0f, 0.0f, BoueHeight, {{140.0f, 3}}, 1, BoueObjects, 0, 320.0f, -1, 0, -1,
       {}, BOUE_WATER, BoueCourse},
      VolcanoTrackDesc(),
      {4, "highway", 2753.0f, 7061.0f, HEADING_ALONG_X, 11500.0f, 1400.0f, HighwayHeight, {{230.0f, 3}}, 1,
       HighwayObjects},
      {6, "looping", 3815.0f, 5459.0f, HEADING_ALONG_X, 10500.0f, -(KIT_LOOPING_RETURN_Z - 5459.0f), LoopingHeight,
       {{140.0f, 3}}, 1, LoopingObjects, 0, 320.0f, -1, 0, -1,
       {{KIT_RAMP_X0, KIT_RAMP_Z0, KIT_RAMP_X1, 6900.0f, 56}, {KIT_RAMP_X0, 6900.0f, KIT_RAMP_X1, KIT_RAMP_Z1, 57}}},
      {5, "ruines", 1796.0f, 6556.0f, HEADING_ALONG_X, 11500.0f, 1300.0f, RuinesHeight, {{140.0f, 3}}, 1, RuinesObjects},
      {7, "sunset", 3175.0f, 4875.0f, HEADING_ALONG_X, 11000.0f, 1900.0f, SunsetHeight, {{140.0f, 3}}, 1, SunsetObjects,
       0, 320.0f, -1, 0, -1, {}, KIT_SUNSET_WATER},
      {9, "ice", 2241.0f, 6041.0f, HEADING_ALONG_X, 10500.0f, 2000.0f, IceHeight, {{140.0f, 3}, {ICE_SHORE, 1}}, 2,
       IceObjects, 3},
      SavanaTrackDesc(),
  };
  return tracks;
}

const KitTrackDesc* KitTrackByIndex(int32_t track) {
  for (const KitTrackDesc& d : KitTracks())
    if (d.track == track) return &d;
  return nullptr;
}

std::vector<KitPoint> KitTrackCourse(const KitTrackDesc& desc) {
  if (desc.course) return desc.course(desc);
  // Worked out along the start heading and across it; the turns go to the
  // driver's left, which is -z heading along +x and +x heading along +z. The
  // bends are gentle enough for a car at race speed.
  const bool alongX = desc.startHeading == HEADING_ALONG_X;
  const float start = alongX ? desc.startX : desc.startZ;
  const float side = alongX ? desc.startZ : desc.startX;
  const float far = start + desc.length, lead = start + desc.bendLead;
  const float back = alongX ? side - desc.width : side + desc.width;
  const float radius = (side - back) * 0.5f, centre = (side + back) * 0.5f, reach = std::fabs(radius);
  std::vector<KitPoint> points;
  auto put = [&](float along, float across) { points.push_back(alongX ? KitPoint{along, across} : KitPoint{across, along}); };
  for (float a = lead; a < far; a += STRAIGHT_STEP) put(a, side);
  for (int i = 0; i <= BEND_STEPS; ++i) {
    const float t = 3.14159265f * static_cast<float>(i) / static_cast<float>(BEND_STEPS);
    put(far + reach * std::sin(t), centre + radius * std::cos(t));
  }
  for (float a = far - STRAIGHT_STEP; a > lead; a -= STRAIGHT_STEP) put(a, back);
  for (int i = 0; i < BEND_STEPS; ++i) {
    const float t = 3.14159265f * static_cast<float>(i) / static_cast<float>(BEND_STEPS);
    put(lead - reach * std::sin(t), centre - radius * std::cos(t));
  }
  return points;
}

std::vector<KitPoint> KitTrackLine(const KitTrackDesc& desc) {
  std::vector<KitPoint> course = KitTrackCourse(desc);
  const bool alongX = desc.startHeading == HEADING_ALONG_X;
  const KitPoint finish = alongX ? KitPoint{desc.startX + KIT_FINISH_AHEAD, desc.startZ}
                                 : KitPoint{desc.startX, desc.startZ + KIT_FINISH_AHEAD};
  // The finish line lies on the straight out of the grid: the segment that
  // holds it gets it as a point of its own.
  size_t at = 0;
  float best = 1e30f;
  for (size_t i = 0; i < course.size(); ++i) {
    const KitPoint a = course[i], b = course[(i + 1) % course.size()];
    const float dx = b.x - a.x, dz = b.z - a.z, len2 = dx * dx + dz * dz;
    float t = len2 > 0.0f ? ((finish.x - a.x) * dx + (finish.z - a.z) * dz) / len2 : 0.0f;
    t = std::fmin(std::fmax(t, 0.0f), 1.0f);
    const float px = a.x + dx * t - finish.x, pz = a.z + dz * t - finish.z, d = px * px + pz * pz;
    if (d < best) {
      best = d;
      at = i;
    }
  }
  const KitPoint a = course[at];
  if (a.x != finish.x || a.z != finish.z) course.insert(course.begin() + static_cast<std::ptrdiff_t>(++at), finish);
  // Then comes second last: a line's length counts from its point n - 2.
  std::rotate(course.begin(), course.begin() + static_cast<std::ptrdiff_t>((at + 2) % course.size()), course.end());
  return course;
}

float KitTrackRoadReach(const KitTrackDesc& desc) {
  constexpr float WIDEST_LINE = 100.0f, MARGIN = 100.0f;
  return std::fmax(desc.bands.empty() ? 0.0f : desc.bands.front().within, WIDEST_LINE) + MARGIN;
}

float KitTrackHeightAt(const KitTrackDesc& desc, float x, float z) { return HeightAt(desc, KitTrackCourse(desc), x, z); }

KitMesh KitTrackMesh(const KitTrackDesc& desc) {
  const std::vector<KitPoint> course = KitTrackCourse(desc);
  KitMesh mesh;
  for (int32_t r = 0; r < GRID_ROWS; ++r)
    for (int32_t c = 0; c < GRID_COLS; ++c) {
      KitVertex v{};
      v.x = static_cast<float>(c) * SPACING;
      v.z = static_cast<float>(r) * SPACING;
      v.y = HeightAt(desc, course, v.x, v.z);
      v.red = v.green = v.blue = 255;
      mesh.vertices.push_back(v);
    }
  std::vector<V3> sums(mesh.vertices.size(), V3{0, 0, 0});
  std::vector<KitFace> bed;
  auto pos = [&](uint16_t i) { return V3{mesh.vertices[i].x, mesh.vertices[i].y, mesh.vertices[i].z}; };
  static const float A[6] = {0.0f, 0.0f, 254.0f, 0.0f, 254.0f, 254.0f};
  static const float B[6] = {0.0f, 0.0f, 254.0f, 254.0f, 0.0f, 254.0f};
  for (int32_t r = 0; r + 1 < GRID_ROWS; ++r)
    for (int32_t c = 0; c + 1 < GRID_COLS; ++c) {
      const auto tl = static_cast<uint16_t>(r * GRID_COLS + c), tr = static_cast<uint16_t>(tl + 1);
      const auto bl = static_cast<uint16_t>(tl + GRID_COLS), br = static_cast<uint16_t>(bl + 1);
      const float cx = (static_cast<float>(c) + 0.5f) * SPACING, cz = (static_cast<float>(r) + 0.5f) * SPACING;
      const float d = DistanceToCourse(course, cx, cz);
      uint32_t s = desc.plainGround;
      for (auto band = desc.bands.rbegin(); band != desc.bands.rend(); ++band)
        if (d < band->within) s = band->texture;
      for (const KitGroundPatch& p : desc.patches)
        if (cx >= p.x0 && cx < p.x1 && cz >= p.z0 && cz < p.z1) s = p.texture;
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
        bool level = true;
        for (int i = 0; i < 3; ++i) level = level && mesh.vertices[corners[k][i]].y == 0.0f;
        if (desc.seeThroughBand != 0 && s == desc.seeThroughBand && level) {
          bed.push_back(f);
          f.type = FACE_TRANSLUCENT << 24;
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
  // The bed under the ice: its own vertices, one per grid vertex it uses.
  std::vector<int32_t> bedIndex(mesh.vertices.size(), -1);
  for (KitFace f : bed) {
    for (int i = 0; i < 3; ++i) {
      int32_t& to = bedIndex[f.index[i]];
      if (to < 0) {
        KitVertex v = mesh.vertices[f.index[i]];
        v.y = -ICE_BED_DEPTH;
        to = static_cast<int32_t>(mesh.vertices.size());
        mesh.vertices.push_back(v);
      }
      f.index[i] = static_cast<uint16_t>(to);
    }
    mesh.faces.push_back(f);
  }
  if (desc.waterLevel != KIT_NO_WATER) AddWaterFaces(desc.waterLevel, &mesh);
  return mesh;
}

void KitTrackPositionCodes(const KitTrackDesc& desc, std::vector<uint8_t>* map) {
  map->resize(POSITION_MAP_WIDTH * POSITION_MAP_HEIGHT, 0);
  std::vector<uint8_t>& codes = *map;
  const std::vector<KitPoint> course = KitTrackLine(desc);
  const int32_t quadrant = desc.track & 3;
  const size_t left = (quadrant & 1) ? QUADRANT_COLS : 0, top = (quadrant & 2) ? QUADRANT_ROWS : 0;
  // A quadrant cell is 400 x 400 units of the 16000 x 8000 world; nothing
  // of the road lies outside it.
  auto cell = [&](float x, float z) {
    const float cx = std::fmin(std::fmax(x * 0.0025f, 0.0f), static_cast<float>(QUADRANT_COLS - 1));
    const float cz = std::fmin(std::fmax(z * 0.0025f, 0.0f), static_cast<float>(QUADRANT_ROWS - 1));
    return (top + static_cast<size_t>(cz)) * POSITION_MAP_WIDTH + left + static_cast<size_t>(cx);
  };
  // Every cell the road or a car's line crosses is coded: where no code
  // lies a car's progress stands still.
  const float reach = KitTrackRoadReach(desc);
  constexpr float STEP = 20.0f;
  const size_t n = course.size();
  auto across = [&](size_t i, float t, float side, float* x, float* z) {
    const KitPoint a = course[i], b = course[(i + 1) % n];
    const float dx = b.x - a.x, dz = b.z - a.z, len = std::sqrt(dx * dx + dz * dz);
    *x = a.x + dx * t - dz / len * side;
    *z = a.z + dz * t + dx / len * side;
  };
  // The finish line, across the road where the line's length is counted
  // from (its point n - 2).
  for (float side = -reach; side <= reach; side += STEP) {
    float x, z;
    across(n - 2, 0.0f, side, &x, &z);
    codes[cell(x, z)] = 1;
  }
  // The sectors in driving order: each cell by how far along the lap the
  // road first reaches it, the lap shared evenly among sectors 2 to 54.
  float length = 0.0f;
  for (size_t i = 0; i < n; ++i) {
    const KitPoint a = course[i], b = course[(i + 1) % n];
    length += std::sqrt((b.x - a.x) * (b.x - a.x) + (b.z - a.z) * (b.z - a.z));
  }
  const float sectors = static_cast<float>(LAST_SECTOR - 1);
  float along = 0.0f;
  for (size_t k = 0; k < n; ++k) {
    const size_t i = (n - 2 + k) % n;
    const KitPoint a = course[i], b = course[(i + 1) % n];
    const float len = std::sqrt((b.x - a.x) * (b.x - a.x) + (b.z - a.z) * (b.z - a.z));
    const int steps = std::max(1, static_cast<int>(std::ceil(len / STEP)));
    for (int w = 0; w < steps; ++w) {
      const float t = static_cast<float>(w) / static_cast<float>(steps);
      const float sector = std::fmin(sectors - 1.0f, std::floor((along + len * t) / length * sectors));
      for (float side = -reach; side <= reach; side += STEP) {
        float x, z;
        across(i, t, side, &x, &z);
        uint8_t& code = codes[cell(x, z)];
        if (code == 0) code = static_cast<uint8_t>(2.0f + sector);
      }
    }
    along += len;
  }
  // A wrong road, and the world's edge out of bounds.
  constexpr uint8_t WRONG_ROAD = 55, OUT_OF_BOUNDS = 254;
  auto at = [&](size_t row, size_t col) -> uint8_t& { return codes[(top + row) * POSITION_MAP_WIDTH + left + col]; };
  if (desc.wrongRoadRow >= 0)
    for (int32_t c = desc.wrongRoadFirst; c <= desc.wrongRoadLast; ++c)
      at(static_cast<size_t>(desc.wrongRoadRow), static_cast<size_t>(c)) = WRONG_ROAD;
  for (size_t c = 0; c < QUADRANT_COLS; ++c) at(0, c) = at(QUADRANT_ROWS - 1, c) = OUT_OF_BOUNDS;
  for (size_t r = 0; r < QUADRANT_ROWS; ++r) at(r, 0) = at(r, QUADRANT_COLS - 1) = OUT_OF_BOUNDS;
}

std::vector<DataFile> HighwayObjectPathFiles() {
  const KitTrackDesc& desc = *KitTrackByIndex(4);
  const std::vector<KitPoint> course = KitTrackCourse(desc);
  auto reversed = [](std::vector<KitPoint> points) {
    std::reverse(points.begin(), points.end());
    return points;
  };
  // A lane each way beside the racers' lines, driving on the right: with
  // the course on its right, against it on its left. Each vehicle takes one
  // of the eight paths, so a lane holds an eighth of them; the others drive
  // loops through the country south of the course, farther from it than a
  // vehicle is stepped in full.
  std::vector<std::vector<KitPoint>> paths = {Offset(course, 130.0f), reversed(Offset(course, -130.0f))};
  constexpr int LOOP_POINTS = 40;
  for (int k = 0; k < 6; ++k) {
    const float cx = 2700.0f + 5200.0f * static_cast<float>(k % 3), cz = 1200.0f + 1600.0f * static_cast<float>(k / 3);
    std::vector<KitPoint> loop;
    for (int i = 0; i < LOOP_POINTS; ++i) {
      const float a = 6.2831853f * static_cast<float>(i) / LOOP_POINTS * (k % 2 ? -1.0f : 1.0f);
      loop.push_back({cx + 2200.0f * std::cos(a), cz + 700.0f * std::sin(a)});
    }
    paths.push_back(loop);
  }
  std::vector<DataFile> files;
  for (size_t i = 0; i < paths.size(); ++i)
    files.push_back({5, std::string("other.t") + static_cast<char>('A' + i), PathFileWrite(paths[i])});
  return files;
}

std::vector<DataFile> KitTrackFiles(const KitTrackDesc& desc) {
  const std::string name = desc.name;
  const std::vector<KitPoint> course = KitTrackLine(desc);
  std::vector<DataFile> files;
  files.push_back({4, name + ".uv", TrackMeshFileWrite(KitTrackMesh(desc), desc.placements(desc))});
  files.push_back({5, name + ".cam", CameraFileWrite(KitTrackCameraSpots(desc))});
  const std::string traj = "traj\\" + name + ".t";
  files.push_back({5, traj + "A", PathFileWrite(course)});
  // The computer cars of grid slots 1 to 5 take lines A to E in turn; slots
  // 2 and 4 stand on the course's line, 1, 3 and 5 to its right, so B and D
  // lie to the left and C and E to the right, and no car crosses its
  // neighbour's way off the grid.
  files.push_back({5, traj + "B", PathFileWrite(Offset(course, -60.0f))});
  files.push_back({5, traj + "C", PathFileWrite(Offset(course, 60.0f))});
  files.push_back({5, traj + "D", PathFileWrite(Offset(course, -100.0f))});
  files.push_back({5, traj + "E", PathFileWrite(Offset(course, 100.0f))});
  return files;
}

std::vector<KitPoint> DesertCourse() { return KitTrackCourse(*KitTrackByIndex(0)); }
KitMesh DesertTrackMesh() { return KitTrackMesh(*KitTrackByIndex(0)); }
std::vector<KitPlacement> DesertPlacements() { return DesertObjects(*KitTrackByIndex(0)); }
std::vector<uint8_t> DesertPositionCodes() {
  std::vector<uint8_t> codes;
  KitTrackPositionCodes(*KitTrackByIndex(0), &codes);
  return codes;
}

}  // namespace datakit
