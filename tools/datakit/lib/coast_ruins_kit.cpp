#include "tools/datakit/lib/coast_ruins_kit.h"

#include <cmath>

namespace datakit {

namespace {

// Adds a placement of `type` standing on the track's ground.
struct Placer {
  const KitTrackDesc& desc;
  std::vector<KitPlacement>* out;
  void operator()(uint16_t type, uint16_t yaw, float x, float z) const {
    out->push_back({yaw, 0, 0xFF, type, x, KitTrackHeightAt(desc, x, z), z});
  }
};

}  // namespace

// ---- ruines: a dry plateau around 100, rising into low hills away from the
// course; temples, columns and an aqueduct.

float RuinesHeight(float x, float z, float course) {
  const float hills = course > 400.0f ? std::fmin(150.0f, (course - 400.0f) * 0.2f) : 0.0f;
  return std::round(100.0f + 25.0f * std::sin(x / 1200.0f) + 20.0f * std::cos(z / 700.0f) + hills);
}

std::vector<KitPlacement> RuinesObjects(const KitTrackDesc& desc) {
  constexpr uint16_t RUAMPH = 184, RUAQUA1 = 185, RUBLOC1 = 188, RUCIPR1 = 190, RUCOL1 = 192, RUCOLB = 199,
                     RUGATE = 200, RUPAN1 = 201, RUSOCLE = 203, RUSTAT1 = 204, RUTEMPL = 209, RUTEMP1 = 210,
                     PFLAG1 = 254, PUB1 = 256, PUB3 = 258;
  std::vector<KitPlacement> out;
  const Placer at{desc, &out};
  const float startZ = desc.startZ, returnZ = desc.startZ - desc.width, middle = (startZ + returnZ) * 0.5f;
  // A colonnade outside the straight out, one column of it fallen.
  for (int i = 0; i < 7; ++i) at(static_cast<uint16_t>(RUCOL1 + i), 0, 2600.0f + 350.0f * static_cast<float>(i), startZ + 320.0f);
  at(RUCOLB, 256, 5200.0f, startZ + 380.0f);
  for (int i = 0; i < 2; ++i) at(static_cast<uint16_t>(RUBLOC1 + i), static_cast<uint16_t>(90 * i), 3000.0f + 1500.0f * static_cast<float>(i), startZ - 250.0f);
  // Two temples inside the loop, the statues on their plinths between them.
  at(RUTEMPL, 0, 4200.0f, middle);
  at(RUTEMP1, 256, 7400.0f, middle);
  at(RUSOCLE, 0, 5200.0f, middle);
  for (int i = 0; i < 5; ++i) at(static_cast<uint16_t>(RUSTAT1 + i), 512, 5500.0f + 300.0f * static_cast<float>(i), middle);
  // The aqueduct beyond the way back, cypresses inside it.
  for (int i = 0; i < 3; ++i) at(static_cast<uint16_t>(RUAQUA1 + i), 256, 3000.0f + 700.0f * static_cast<float>(i), returnZ - 450.0f);
  for (int i = 0; i < 6; ++i) at(static_cast<uint16_t>(RUCIPR1 + i % 2), 0, 5500.0f + 600.0f * static_cast<float>(i), returnZ + 250.0f);
  // The amphitheatre beyond the far bend, the gate beside the grid.
  at(RUAMPH, 768, desc.startX + desc.length + desc.width * 0.5f + 700.0f, middle);
  at(RUGATE, 0, desc.startX - 300.0f, startZ + 400.0f);
  at(RUPAN1, 256, 2300.0f, startZ - 250.0f);
  at(static_cast<uint16_t>(RUPAN1 + 1), 768, 8000.0f, returnZ - 250.0f);
  // The panels and a pennant of every track.
  at(PUB1, 768, 6000.0f, startZ + 280.0f);
  at(PUB3, 768, 6400.0f, startZ + 280.0f);
  at(PFLAG1, 0, desc.startX + 500.0f, startZ - 230.0f);
  return out;
}

// ---- sunset: a beach sloping down to the sea along the bottom of the map;
// palms, straw huts and their guests, surfboards and a yacht.

float SunsetHeight(float x, float z, float /*course*/) {
  const float beach = KIT_SUNSET_WATER + (z - KIT_SUNSET_SHORE_Z) * 0.1f;
  return std::round(std::fmax(KIT_SUNSET_SEA_BED, std::fmin(470.0f, beach)) + 6.0f * std::sin(x / 700.0f));
}

std::vector<KitPlacement> SunsetObjects(const KitTrackDesc& desc) {
  constexpr uint16_t SUFMA1 = 119, SUBALLE = 123, SUCHAIS = 124, SUCOCO1 = 125, SUDIR1 = 128, SUDIR2 = 129,
                     SUGATE = 130, SUPAIL1 = 131, SUSURF1 = 133, SUTABLE = 135, SUYATCH = 136, PFLAG1 = 254,
                     PUB1 = 256, PUB3 = 258;
  std::vector<KitPlacement> out;
  const Placer at{desc, &out};
  const float startZ = desc.startZ, returnZ = desc.startZ - desc.width, middle = (startZ + returnZ) * 0.5f;
  const float radius = desc.width * 0.5f;
  // Palms between the way back and the sea, surfboards on the sand below.
  for (int i = 0; i < 7; ++i) at(static_cast<uint16_t>(SUCOCO1 + i % 3), static_cast<uint16_t>(140 * i), 3800.0f + 900.0f * static_cast<float>(i), returnZ - 280.0f);
  at(SUSURF1, 200, 5000.0f, KIT_SUNSET_SHORE_Z + 150.0f);
  at(static_cast<uint16_t>(SUSURF1 + 1), 300, 5300.0f, KIT_SUNSET_SHORE_Z + 180.0f);
  at(SUSURF1, 700, 6800.0f, KIT_SUNSET_SHORE_Z + 160.0f);
  // The yacht rides on the sea.
  out.push_back({256, 0, 0xFF, SUYATCH, 7000.0f, KIT_SUNSET_WATER, 1300.0f});
  // Two straw huts inside the loop, a table, chairs, a ball and the four
  // figures that dance there.
  at(SUPAIL1, 0, 5000.0f, middle);
  at(static_cast<uint16_t>(SUPAIL1 + 1), 256, 6500.0f, middle);
  at(SUTABLE, 0, 5400.0f, middle);
  at(SUCHAIS, 0, 5330.0f, middle - 80.0f);
  at(SUCHAIS, 512, 5470.0f, middle + 80.0f);
  at(SUBALLE, 0, 5900.0f, middle - 200.0f);
  for (int i = 0; i < 4; ++i)
    at(static_cast<uint16_t>(SUFMA1 + i), static_cast<uint16_t>(256 * i), 4800.0f + 600.0f * static_cast<float>(i), middle + (i % 2 ? 150.0f : -150.0f));
  // Arrows beyond both bends, the gate beside the grid.
  at(SUDIR1, 768, desc.startX + desc.length + radius + 300.0f, middle);
  at(SUDIR2, 256, desc.startX + desc.bendLead - radius - 300.0f, middle);
  at(SUGATE, 0, desc.startX + 400.0f, startZ + 320.0f);
  // The panels and a pennant of every track.
  at(PUB1, 768, 4400.0f, startZ + 280.0f);
  at(PUB3, 768, 4800.0f, startZ + 280.0f);
  at(PFLAG1, 0, desc.startX + 700.0f, startZ - 230.0f);
  return out;
}

}  // namespace datakit
