#include "tools/datakit/lib/object_kit.h"

#include <cmath>

#include "tools/datakit/lib/boot_set.h"
#include "tools/datakit/lib/pak_writer.h"
#include "tools/datakit/lib/picture_writer.h"
#include "tools/datakit/lib/track_kit.h"

namespace datakit {

namespace {

constexpr uint32_t SIDE = 32;

uint16_t Rgb565(int32_t r, int32_t g, int32_t b) {
  auto c = [](int32_t v) { return static_cast<uint32_t>(v < 0 ? 0 : v > 255 ? 255 : v); };
  return static_cast<uint16_t>((c(r) >> 3) << 11 | (c(g) >> 2) << 5 | (c(b) >> 3));
}

// Red and white bands across the fence, so that its shards show as such.
std::vector<uint16_t> FenceTexels() {
  std::vector<uint16_t> texels(SIDE * SIDE);
  for (uint32_t y = 0; y < SIDE; ++y)
    for (uint32_t x = 0; x < SIDE; ++x) texels[y * SIDE + x] = (x / 8) % 2 ? Rgb565(250, 250, 245) : Rgb565(220, 30, 20);
  return texels;
}

// A lamp: bright at its middle, warmer toward its rim.
std::vector<uint16_t> LampTexels(int32_t r, int32_t g, int32_t b) {
  std::vector<uint16_t> texels(SIDE * SIDE);
  for (uint32_t y = 0; y < SIDE; ++y)
    for (uint32_t x = 0; x < SIDE; ++x) {
      const int32_t dx = static_cast<int32_t>(x) - 16, dy = static_cast<int32_t>(y) - 16;
      const int32_t rim = (dx * dx + dy * dy) / 4;
      texels[y * SIDE + x] = Rgb565(r - rim / 3, g + 40 - rim, b + 40 - rim);
    }
  return texels;
}

// A light bar: lamps in a row with dark gaps, the row's number of them.
std::vector<uint16_t> LightBarTexels(uint32_t lamps) {
  std::vector<uint16_t> texels(SIDE * SIDE);
  for (uint32_t y = 0; y < SIDE; ++y)
    for (uint32_t x = 0; x < SIDE; ++x) {
      const bool lit = (x * lamps / SIDE) % 2 == 0 && y > 6 && y < 26;
      texels[y * SIDE + x] = lit ? Rgb565(255, 150, 20) : Rgb565(40, 36, 30);
    }
  return texels;
}

// A light: a grey pole of half width `pole` and height `height`, and on it
// a lamp of half width `w`, half depth `d` and height `h` bearing `texture`
// (model units, the modeller's z up).
struct Light {
  const char* name;
  float pole, height, w, d, h;
  const char* texture;
};
constexpr Light LIGHTS[] = {
    {"hwgate", 150, 3000, 4000, 150, 400, "hwgate1.3df"},
    {"hwpan1", 100, 1500, 2000, 80, 800, "hwpan1.3df"}, {"hwpan2", 100, 1500, 2000, 80, 800, "hwpan2.3df"},
    {"hwpan3", 100, 1500, 2000, 80, 800, "hwpan3.3df"}, {"projo", 80, 3500, 400, 200, 300, "g5.3df"},
};

}  // namespace

std::vector<KitTexture> ObjectTextures() {
  return {
      {"others\\barriere", TEX_RGB565, SIDE, SIDE, FenceTexels()},
      {"others\\vlum3", TEX_RGB565, SIDE, SIDE, LampTexels(255, 200, 120)},
      {"others\\hwgate1", TEX_RGB565, SIDE, SIDE, LightBarTexels(8)},
      {"others\\hwpan1", TEX_RGB565, SIDE, SIDE, LightBarTexels(4)},
      {"others\\hwpan2", TEX_RGB565, SIDE, SIDE, LightBarTexels(6)},
      {"others\\hwpan3", TEX_RGB565, SIDE, SIDE, LightBarTexels(10)},
  };
}

std::vector<uint16_t> GlowFlareTexels() {
  std::vector<uint16_t> texels(SIDE * SIDE);
  const float c = static_cast<float>(SIDE) * 0.5f - 0.5f;
  for (uint32_t y = 0; y < SIDE; ++y)
    for (uint32_t x = 0; x < SIDE; ++x) {
      const float dx = static_cast<float>(x) - c, dy = static_cast<float>(y) - c;
      const float fade = std::fmax(0.0f, 1.0f - std::sqrt(dx * dx + dy * dy) / 15.0f);
      const auto nib = [fade](float v) { return static_cast<uint32_t>(v * fade * fade / 16.0f) & 15; };
      texels[y * SIDE + x] = static_cast<uint16_t>(nib(255.0f) << 12 | nib(255.0f) << 8 | nib(255.0f) << 4 | nib(220.0f));
    }
  return texels;
}

bool KitLightModel(const std::string& name, Model3ds* out) {
  for (const Light& l : LIGHTS) {
    if (name != l.name) continue;
    ModelBuilder b;
    const size_t pole = b.Material("P" + name, 110, 110, 115);
    const size_t lamp = b.Material("L" + name, 255, 220, 150, l.texture);
    b.Box(pole, pole, {-l.pole, -l.pole, 0.0f}, {l.pole, l.pole, l.height});
    b.Box(lamp, lamp, {-l.w, -l.d, l.height}, {l.w, l.d, l.height + l.h});
    *out = b.Done(name);
    return true;
  }
  return false;
}

void KitMapMaterialTexture(Model3ds* model, size_t material, const std::string& texture) {
  if (model->meshes.empty() || material >= model->materials.size()) return;
  model->materials[material].texture = texture;
  Mesh3ds& mesh = model->meshes[0];
  std::vector<bool> bears(mesh.vertices.size(), false);
  if (material < mesh.groups.size())
    for (uint16_t f : mesh.groups[material].faces)
      for (uint16_t i : mesh.faces[f]) bears[i] = true;
  float lo[3] = {1e30f, 1e30f, 1e30f}, hi[3] = {-1e30f, -1e30f, -1e30f};
  for (size_t i = 0; i < mesh.vertices.size(); ++i)
    for (int k = 0; bears[i] && k < 3; ++k) {
      lo[k] = std::fmin(lo[k], mesh.vertices[i][k]);
      hi[k] = std::fmax(hi[k], mesh.vertices[i][k]);
    }
  auto along = [&](size_t i, int k) { return hi[k] > lo[k] ? (mesh.vertices[i][k] - lo[k]) / (hi[k] - lo[k]) : 0.0f; };
  mesh.mapping.clear();
  for (size_t i = 0; i < mesh.vertices.size(); ++i)
    mesh.mapping.push_back(bears[i] ? std::array<float, 2>{along(i, 0), along(i, 2)} : std::array<float, 2>{0.0f, 0.0f});
}

void KitApplyObjectTexture(const std::string& name, Model3ds* model) {
  // Along the fence and up it: the bands run across its length.
  if (name == "barriere") KitMapMaterialTexture(model, 0, "barriere.3df");
}

std::vector<KitPlacement> DesertPlacementsFilled(size_t count) {
  const KitTrackDesc& desc = *KitTrackByIndex(0);
  const std::vector<KitPoint> course = KitTrackCourse(desc);
  std::vector<KitPlacement> out = DesertPlacements();
  constexpr size_t MOST = 900;
  if (count > MOST) count = MOST;
  // Cacti, rocks, panels, tanks and pumps, with now and then a grazing cow
  // or a waving flag.
  constexpr uint16_t TYPES[] = {9, 24, 10, 16, 11, 25, 12, 14, 9, 26, 22, 10, 255, 27, 11, 35};
  size_t k = 0;
  auto put = [&](float x, float z) {
    const uint16_t type = TYPES[k % (sizeof TYPES / sizeof TYPES[0])];
    out.push_back({static_cast<uint16_t>((k * 97) & 1023), 0, 0xFF, type, x, KitTrackHeightAt(desc, x, z), z});
    ++k;
  };
  // Rows beside the course, 300 units and more from it, in view all the way
  // round: beyond the outward straight, inside the loop, beyond the way back.
  const float outward = desc.startZ, back = desc.startZ - desc.width, middle = (outward + back) * 0.5f;
  const float rows[] = {outward + 300.0f, back - 300.0f, middle + 110.0f, middle - 110.0f,
                        outward + 520.0f, back - 450.0f, outward + 700.0f, back - 600.0f};
  for (float x = desc.startX + 400.0f; x < desc.startX + desc.length - 200.0f; x += 140.0f)
    for (float z : rows)
      if (out.size() < count) put(x, z);
  // The rest spread over the whole ground, away from the course.
  for (float z = 200.0f; z < 8000.0f && out.size() < count; z += 300.0f)
    for (float x = 200.0f; x < 16000.0f && out.size() < count; x += 300.0f) {
      float nearest = 1e30f;
      for (const KitPoint& p : course) nearest = std::fmin(nearest, std::hypot(p.x - x, p.z - z));
      if (nearest > 800.0f) put(x, z);
    }
  return out;
}

Bytes DesertTrackFileFilled(size_t count) {
  return TrackMeshFileWrite(KitTrackMesh(*KitTrackByIndex(0)), DesertPlacementsFilled(count));
}

bool WritePaksWithFilledDesert(const std::string& folder, size_t count, std::string* error) {
  PakSet paks;
  AddPlaceholderFiles(&paks);
  for (DataFile& f : BootArchiveFiles()) {
    if (f.archive == 4 && f.path == "desert.uv") f.data = DesertTrackFileFilled(count);
    paks.archives[static_cast<size_t>(f.archive - 1)].AddFile(f.path, f.data);
  }
  return WritePakSet(paks, folder, error);
}

}  // namespace datakit
