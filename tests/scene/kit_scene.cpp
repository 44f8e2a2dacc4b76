#include "kit_scene.h"

#include "backend_glide/display.h"
#include "backend_glide/objdraw.h"
#include "engine3d/angle.h"
#include "engine3d/grid.h"
#include "engine3d/model3ds.h"
#include "engine3d/scene.h"
#include "tools/datakit/lib/boot_set.h"

namespace {

// The kit's models stand in the modeller's z-up axes; the world is y-up.
const MeshPlacement PLACE_UPRIGHT = {0, 1.0f, 0.0f, {1, 0, 0, 0, 0, 1, 0, 1, 0}, 1, 1};

void DrawPlaced(DrawSlot* slot, void* owner) {
  if (!RdrObjectInDepthRange(slot)) return;
  RdrDrawObjectLit(slot, static_cast<MeshHeader*>(owner));
}

float HalfHeight(const MeshHeader* mesh) {
  float hi = 0.0f;
  for (uint32_t i = 0; i < mesh->vertexCount; ++i)
    if (mesh->vertices[i].y > hi) hi = mesh->vertices[i].y;
  return hi;
}

}  // namespace

bool KitSceneBuild(KitScene* scene, const std::string& folder, std::string* error) {
  *scene = KitScene{};
  std::vector<datakit::DataFile> files = datakit::ModelFiles();
  for (const auto& f : datakit::BootLooseFiles()) files.push_back(f);
  if (!datakit::WriteLooseFiles(files, folder, error)) return false;

  const char* names[KIT_SCENE_MODELS] = {"tree.3ds", "sign.3ds", "car.3ds"};
  for (int i = 0; i < KIT_SCENE_MODELS; ++i) {
    scene->models[i] = MeshLoad3ds(names[i], "", &PLACE_UPRIGHT);
    if (!scene->models[i]) {
      *error = std::string("cannot load ") + names[i];
      return false;
    }
  }

  scene->spec = datakit::TerrainHills(17, 17, 4, 7);
  const datakit::TerrainSpec& s = scene->spec;
  TerrainDesc& d = scene->desc;
  d.columns = s.columns;
  d.rows = s.rows;
  d.subdivisions = s.subdivisions;
  d.heights = s.heights.data();
  d.roughness = s.roughness.empty() ? nullptr : s.roughness.data();
  d.defaultRoughness = s.defaultRoughness;
  d.palette = s.palette.empty() ? nullptr : s.palette.data();
  d.paletteCount = static_cast<uint16_t>(s.palette.size() / 3);
  d.paletteLow = s.paletteLow;
  d.paletteHigh = s.paletteHigh;
  d.lowColourHeight = s.lowColourHeight;
  d.highColourHeight = s.highColourHeight;
  d.spacing = s.spacing;
  if (TerrainBuild(&d) != 1) {
    *error = "cannot build the terrain";
    return false;
  }
  // The ground takes the sign's texture, the water the car's.
  const MeshHeader* sign = scene->models[1];
  const MeshHeader* car = scene->models[2];
  TerrainTextureAll(sign->faces[sign->faceCount - 1].type & 0xFFFFFF);
  TerrainAddWaterPlane(10.0f, car->faces[car->faceCount - 1].type & 0xFFFFFF);

  // A ring of trees and signs around the basin, and two cars.
  const float centre = d.extentX * 0.5f;
  for (int i = 0; i < 12; ++i) {
    MeshHeader* mesh = scene->models[i % 3 == 2 ? 1 : 0];
    const float x = centre + (i % 2 ? 700.0f : 900.0f) * MathCos(i * 1024 / 12);
    const float z = centre + (i % 2 ? 700.0f : 900.0f) * MathSin(i * 1024 / 12);
    const float h = HalfHeight(mesh);
    if (DrawListAddStatic(mesh, static_cast<uint32_t>(i), DrawPlaced, x,
                          TerrainHeightAt(x, z) + h, z, 60.0f, h) != 1)
      break;
    ++scene->placed;
  }
  for (int i = 0; i < 2; ++i) {
    const float x = centre - 300.0f + 600.0f * i, z = centre - 500.0f;
    const float h = HalfHeight(car);
    if (DrawListAddStatic(scene->models[2], 100u + i, DrawPlaced, x, TerrainHeightAt(x, z) + h, z, 80.0f, h) == 1)
      ++scene->placed;
  }
  if (GridBuild() != 1) {
    *error = "cannot bin the world grid";
    return false;
  }
  // A white sun from above and to the south; the views light the world
  // vertices as they project them.
  LightSetColour(255, 255, 255);
  Light sun{0.3f, 1.0f, -0.5f, 40.0f, 24.0f};
  LightSet(&sun);
  GridSetLight(sun.directionX, sun.directionY, sun.directionZ, sun.intensity, sun.ambient);
  return true;
}

void KitSceneFree(KitScene* scene) {
  for (MeshHeader*& m : scene->models) {
    if (m) MeshFree(m);
    m = nullptr;
  }
}

Camera KitSceneCamera(int which) {
  switch (which) {
    case 0:
      return Camera{1280.0f, 1100.0f, -300.0f, 940.0f, 0.0f, 0.0f};  // over the south edge, looking north
    case 1:
      return Camera{2800.0f, 1000.0f, 1280.0f, 950.0f, 768.0f, 0.0f};  // over the east edge, towards the water
    default:
      return Camera{1000.0f, 600.0f, 900.0f, 900.0f, 128.0f, 0.0f};  // high over the basin
  }
}

void KitSceneDraw(const Camera& camera) {
  CamSet(&camera);
  ObjRenderSceneTwoPass();
  ObjDrawDeferredTranslucent();
}
