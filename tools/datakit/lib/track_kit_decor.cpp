#include "tools/datakit/lib/track_kit_decor.h"

#include <cmath>
#include <string>

namespace datakit {

namespace {

constexpr uint16_t ALONG_X = 256, ALONG_Z = 0;
constexpr float PI = 3.14159265f;

float Clamp01(float v) { return v < 0.0f ? 0.0f : v > 1.0f ? 1.0f : v; }

// A closed loop of four quarter bends of `radius` about `bends` (in driving
// order), joined by straights in steps of at most `step`, from `from` round
// to it again. Bend b turns from angle (2 - b) quarters about its centre,
// x = cos, z = sin, a quarter to the left, as boue's does.
std::vector<KitPoint> RoundedLoop(KitPoint from, const KitPoint (&bends)[4], float radius, float step) {
  std::vector<KitPoint> points;
  auto straight = [&](KitPoint a, KitPoint b) {
    const float dx = b.x - a.x, dz = b.z - a.z;
    const int n = static_cast<int>(std::ceil(std::sqrt(dx * dx + dz * dz) / step));
    for (int k = 0; k < n; ++k) {
      const float t = static_cast<float>(k) / static_cast<float>(n);
      points.push_back({a.x + dx * t, a.z + dz * t});
    }
  };
  constexpr float QUARTER = PI * 0.5f;
  constexpr int STEPS = 6;
  auto at = [&](int bend, float a) {
    return KitPoint{bends[bend].x + radius * std::cos(a), bends[bend].z + radius * std::sin(a)};
  };
  const KitPoint start = from;
  for (int bend = 0; bend < 4; ++bend) {
    const float a = QUARTER * static_cast<float>(2 - bend);
    straight(from, at(bend, a));
    for (int i = 0; i < STEPS; ++i) points.push_back(at(bend, a - QUARTER * static_cast<float>(i) / STEPS));
    from = at(bend, a - QUARTER);
  }
  straight(from, start);
  return points;
}

// Hills away from the course: nothing within `flat`, rising by `slope` to at
// most `top`, rolling with x and z.
float Hills(float x, float z, float course, float flat, float slope, float top) {
  if (course <= flat) return 0.0f;
  const float rise = std::fmin(top, (course - flat) * slope);
  return rise * (0.6f + 0.4f * std::sin(x / 800.0f) * std::cos(z / 650.0f));
}

// ---- neige: a snow field sloping up toward +x, the lifts climbing it, the
// course a wide loop up the slope and back between the lifts' lines, far
// enough up it (beyond x 9000) that a car's finish line arms again.

constexpr float NEIGE_LIFT_LINES_Z[2] = {1650.0f, 6050.0f};
constexpr KitPoint NEIGE_BENDS[4] = {{3476.0f, 3900.0f}, {10400.0f, 3900.0f}, {10400.0f, 2500.0f}, {3476.0f, 2500.0f}};
constexpr float NEIGE_BEND = 1600.0f;
constexpr float NEIGE_FAR_X = NEIGE_BENDS[1].x + NEIGE_BEND;

float NeigeHeight(float x, float z, float course) {
  // The lifts' cables (x 0.061513 + 630) stay well above the snow: no hills
  float clear = 1.0f;
  // under them, nor where the skiers come down beside the first.
  for (float line : NEIGE_LIFT_LINES_Z) clear = std::fmin(clear, Clamp01((std::fabs(z - line) - 500.0f) / 400.0f));
  const float ground = 380.0f + 0.05f * x + 12.0f * std::sin(z / 900.0f) * std::cos(x / 1300.0f);
  return std::round(ground + clear * Hills(x, z, course, 500.0f, 0.15f, 160.0f));
}

std::vector<KitPoint> NeigeCourse(const KitTrackDesc& desc) {
  return RoundedLoop({desc.startX, desc.startZ + desc.bendLead}, NEIGE_BENDS, NEIGE_BEND, 500.0f);
}

std::vector<KitPlacement> NeigeObjects(const KitTrackDesc& desc) {
  constexpr uint16_t PILONNE = 44, CAB9 = 47, EGLISE = 63, CHECKN = 64, SAPIN1 = 38, SAPIN2 = 39, CHALET = 46;
  const std::vector<KitPoint> course = KitTrackCourse(desc);
  std::vector<KitPlacement> out;
  auto at = [&](uint16_t type, uint16_t yaw, float x, float z) {
    out.push_back({yaw, 0, 0xFF, type, x, KitTrackHeightAt(desc, x, z), z});
  };
  auto nearCourse = [&](float x, float z, float within) {
    for (const KitPoint& p : course)
      if (std::fabs(p.x - x) < within && std::fabs(p.z - z) < within) return true;
    return false;
  };
  // A row of every kind of snow-track scenery outside the start straight.
  constexpr uint16_t ROW[] = {38, 39, 40, 41, 42, 43, 45, 46, 49, 50, 51, 52, 57, 58, 59, 60, 61, 62, 65};
  for (size_t i = 0; i < sizeof ROW / sizeof ROW[0]; ++i)
    at(ROW[i], static_cast<uint16_t>(40 * i), desc.startX - 430.0f, desc.startZ + 520.0f + 170.0f * static_cast<float>(i));
  at(EGLISE, 256, KIT_NEIGE_CHURCH_X, KIT_NEIGE_CHURCH_Z);
  // Checkpoints across the start straight and the far straight down the slope.
  const float farMiddle = (NEIGE_BENDS[1].z + NEIGE_BENDS[2].z) * 0.5f;
  at(CHECKN, 0, desc.startX, desc.startZ + 2000.0f);
  at(CHECKN, 512, NEIGE_FAR_X, farMiddle);
  // Firs inside the loop, a chalet beyond the far straight.
  for (int i = 0; i < 5; ++i)
    at(i % 2 ? SAPIN2 : SAPIN1, static_cast<uint16_t>(200 * i), 4200.0f + 1000.0f * static_cast<float>(i),
       3000.0f + 400.0f * static_cast<float>(i % 3));
  at(CHALET, 768, NEIGE_FAR_X + 700.0f, farMiddle);
  // The three lifts: a station at each end, pylons along the cable clear of the course.
  struct Lift {
    float bottom, top, z;
  };
  constexpr Lift LIFTS[3] = {{1450.0f, 12250.0f, 1650.0f}, {4950.0f, 8550.0f, 6050.0f}, {10250.0f, 15050.0f, 6050.0f}};
  for (const Lift& lift : LIFTS) {
    at(CAB9, 256, lift.bottom - 150.0f, lift.z);
    at(CAB9, 768, lift.top + 150.0f, lift.z);
    for (float x = lift.bottom + 600.0f; x < lift.top - 300.0f; x += 1200.0f)
      if (!nearCourse(x, lift.z, 400.0f)) at(PILONNE, 0, x, lift.z);
  }
  return out;
}

// ---- volcano: dark rolling ground around a cone with its crater, the
// course a wide loop round it.

constexpr float VOLCANO_CONE = 2600.0f, VOLCANO_RIM = 350.0f;
// The top straight lies well inside the world's edge (z 7500), where a car is put back.
constexpr KitPoint VOLCANO_BENDS[4] = {{1741.0f, 6300.0f}, {11000.0f, 6300.0f}, {11000.0f, 1900.0f}, {1741.0f, 1900.0f}};
constexpr float VOLCANO_BEND = 700.0f;

float VolcanoHeight(float x, float z, float course) {
  const float ground = 1080.0f + 25.0f * std::sin(x / 1500.0f) * std::cos(z / 1100.0f);
  const float dx = x - KIT_CRATER_X, dz = z - KIT_CRATER_Z;
  const float d = std::sqrt(dx * dx + dz * dz);
  float cone = 0.0f;
  if (d < VOLCANO_CONE) cone = (VOLCANO_CONE - std::fmax(d, VOLCANO_RIM)) * 0.09f;
  if (d < VOLCANO_RIM) cone -= (VOLCANO_RIM - d) * 0.3f;  // the crater
  return std::round(ground + cone + Hills(x, z, course, 700.0f, 0.12f, 180.0f));
}

std::vector<KitPoint> VolcanoCourse(const KitTrackDesc& desc) {
  return RoundedLoop({desc.startX, desc.startZ + desc.bendLead}, VOLCANO_BENDS, VOLCANO_BEND, 500.0f);
}

std::vector<KitPlacement> VolcanoObjects(const KitTrackDesc& desc) {
  constexpr uint16_t VARBRE1 = 147, VLUM1 = 153, VBAR1 = 156, VROC1 = 141;
  std::vector<KitPlacement> out;
  auto at = [&](uint16_t type, uint16_t yaw, float x, float z) {
    out.push_back({yaw, 0, 0xFF, type, x, KitTrackHeightAt(desc, x, z), z});
  };
  const float top = VOLCANO_BENDS[0].z + VOLCANO_BEND;
  // A row of every kind of volcano scenery outside the top straight.
  constexpr uint16_t ROW[] = {140, 141, 142, 143, 144, 145, 146, 147, 148, 149, 150, 151, 152,
                              153, 154, 155, 156, 157, 158, 159, 161, 162, 163, 164, 165, 166};
  for (size_t i = 0; i < sizeof ROW / sizeof ROW[0]; ++i)
    at(ROW[i], static_cast<uint16_t>(40 * i), 2000.0f + 300.0f * static_cast<float>(i), top + 400.0f);
  // Lamps beside the start straight, barriers round the first bend, burnt
  // trees and fallen rocks on the cone's foot.
  for (int i = 0; i < 3; ++i) at(static_cast<uint16_t>(VLUM1 + i), 256, desc.startX - 200.0f, desc.startZ + 600.0f * static_cast<float>(i));
  for (int i = 0; i < 4; ++i) {
    const float a = PI - PI * 0.5f * static_cast<float>(i) / 3.0f;
    at(static_cast<uint16_t>(VBAR1 + i), static_cast<uint16_t>(256 + 85 * i), VOLCANO_BENDS[0].x + (VOLCANO_BEND + 180.0f) * std::cos(a),
       VOLCANO_BENDS[0].z + (VOLCANO_BEND + 180.0f) * std::sin(a));
  }
  for (int i = 0; i < 6; ++i) {
    const float a = PI * 2.0f * static_cast<float>(i) / 6.0f;
    at(static_cast<uint16_t>(i % 2 ? VARBRE1 + i % 5 : VROC1 + i), static_cast<uint16_t>(170 * i),
       KIT_CRATER_X + 1700.0f * std::cos(a), KIT_CRATER_Z + 1700.0f * std::sin(a));
  }
  return out;
}

// ---- savana: dry grassland in long swells, the course an oval along +x.

float SavanaHeight(float x, float z, float course) {
  const float ground = 300.0f + 30.0f * std::sin(x / 1700.0f) + 20.0f * std::cos(z / 1200.0f);
  return std::round(ground + Hills(x, z, course, 600.0f, 0.1f, 150.0f));
}

// The elephants' rings: across the start straight and across the way back.
constexpr KitPoint ELEPHANT_RINGS[2] = {{7000.0f, 5158.0f}, {9000.0f, 2758.0f}};
constexpr float ELEPHANT_RING = 450.0f;

std::vector<KitPlacement> SavanaObjects(const KitTrackDesc& desc) {
  constexpr uint16_t SAPALM1 = 223, SAFOUG1 = 216, SAGATE = 237, SAMAIS1 = 238;
  std::vector<KitPlacement> out;
  auto at = [&](uint16_t type, uint16_t yaw, float x, float z) {
    out.push_back({yaw, 0, 0xFF, type, x, KitTrackHeightAt(desc, x, z), z});
  };
  const float returnZ = desc.startZ - desc.width;
  // A row of every kind of savanna scenery outside the start straight.
  for (uint16_t type = 211; type <= 239; ++type)
    at(type, static_cast<uint16_t>(40 * (type - 211)), desc.startX + 450.0f + 200.0f * static_cast<float>(type - 211),
       desc.startZ + 430.0f);
  // Palms and bushes inside the loop, a village and its gate beyond the way back.
  for (int i = 0; i < 6; ++i)
    at(static_cast<uint16_t>((i % 2 ? SAPALM1 : SAFOUG1) + i % 3), static_cast<uint16_t>(150 * i),
       desc.startX + 1500.0f + 1200.0f * static_cast<float>(i), desc.startZ - 700.0f - 300.0f * static_cast<float>(i % 3));
  at(SAGATE, 256, desc.startX + 900.0f, returnZ - 260.0f);
  for (int i = 0; i < 3; ++i) at(static_cast<uint16_t>(SAMAIS1 + i % 2), static_cast<uint16_t>(300 * i), 5200.0f + 260.0f * static_cast<float>(i), returnZ - 700.0f);
  return out;
}

}  // namespace

KitTrackDesc NeigeTrackDesc() {
  return {1, "neige", 1876.0f, 2180.0f, ALONG_Z, 0.0f, 0.0f, NeigeHeight, {{140.0f, 3}}, 1, NeigeObjects,
          0, 320.0f, -1, 0, -1, {}, KIT_NO_WATER, NeigeCourse};
}

KitTrackDesc VolcanoTrackDesc() {
  return {3, "volcano", 1041.0f, 4405.0f, ALONG_Z, 0.0f, 0.0f, VolcanoHeight, {{140.0f, 3}}, 1, VolcanoObjects,
          0, 320.0f, -1, 0, -1, {}, KIT_NO_WATER, VolcanoCourse};
}

KitTrackDesc SavanaTrackDesc() {
  return {8, "savana", 3554.0f, 5158.0f, ALONG_X, 10000.0f, 2400.0f, SavanaHeight, {{140.0f, 3}}, 1, SavanaObjects};
}

std::vector<KitPoint> NeigeSkiPath(int k) {
  // Down the slope (toward -x) in 22 legs of 400, swinging across the lift
  // line and the course's third bend, each path its own width and phase,
  // then straight on into the loop.
  std::vector<KitPoint> path;
  const float swing = 200.0f + 60.0f * static_cast<float>(k), phase = 0.8f * static_cast<float>(k);
  for (int i = 0; i < 22; ++i) {
    const float x = KIT_SKI_TOP_X - 150.0f - 400.0f * static_cast<float>(i);
    const float fade = i == 0 ? 0.0f : 1.0f;  // the first point right below the top
    path.push_back({x, KIT_SKI_TOP_Z + fade * swing * std::sin(0.9f * static_cast<float>(i) + phase)});
  }
  path.push_back({path.back().x - 500.0f, KIT_SKI_TOP_Z + 100.0f * static_cast<float>(k)});
  return path;
}

std::vector<KitPoint> SavanaElephantPath(int k) {
  std::vector<KitPoint> ring;
  for (int i = 0; i < 24; ++i) {
    const float a = 2.0f * PI * static_cast<float>(i) / 24.0f;
    ring.push_back({ELEPHANT_RINGS[k].x + ELEPHANT_RING * std::sin(a), ELEPHANT_RINGS[k].z + ELEPHANT_RING * std::cos(a)});
  }
  return ring;
}

std::vector<DataFile> DecorPathFiles() {
  constexpr int PATH_ARCHIVE = 5;
  std::vector<DataFile> files;
  for (int k = 0; k < 4; ++k)
    files.push_back({PATH_ARCHIVE, std::string("ski.t") + static_cast<char>('A' + k), PathFileWrite(NeigeSkiPath(k))});
  for (int k = 0; k < 2; ++k)
    files.push_back({PATH_ARCHIVE, std::string("ele.t") + static_cast<char>('A' + k), PathFileWrite(SavanaElephantPath(k))});
  return files;
}

std::vector<DataFile> NeigeWithoutChurchFiles() {
  constexpr uint16_t EGLISE = 63;
  const KitTrackDesc desc = NeigeTrackDesc();
  std::vector<KitPlacement> placements;
  for (const KitPlacement& p : desc.placements(desc))
    if (p.type != EGLISE) placements.push_back(p);
  return {{4, "neige.uv", TrackMeshFileWrite(KitTrackMesh(desc), placements)}};
}

std::vector<DataFile> VolcanoTrajectoryBeyondEdgeFiles() {
  std::vector<KitPoint> course = KitTrackCourse(VolcanoTrackDesc());
  course.back().x = KIT_BEYOND_EDGE_X;
  return {{5, "traj\\volcano.tA", PathFileWrite(course)}};
}

}  // namespace datakit
