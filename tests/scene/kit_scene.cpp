#include "kit_scene.h"

#include "backend_common/display.h"
#include "backend_common/draw.h"
#include "backend_common/texture.h"
#include "engine3d/angle.h"
#include "engine3d/grid.h"
#include "engine3d/model3ds.h"
#include "engine3d/random.h"
#include "engine3d/scene.h"
#include "engine3d/sprite.h"
#include "tools/datakit/lib/boot_set.h"
#include "tools/datakit/lib/scene_textures.h"

namespace {

// The kit's models stand in the modeller's z-up axes; the world is y-up. They
// are made at a car's scale; the scene's hills are far larger, so they are
// placed five times their size to be seen from the views' heights.
const MeshPlacement PLACE_UPRIGHT = {0, 5.0f, 0.0f, {1, 0, 0, 0, 0, 1, 0, 1, 0}, 1, 1};

void DrawPlaced(DrawSlot* slot, void* owner) {
  if (!RdrObjectInDepthRange(slot)) return;
  RdrDrawObjectLit(slot, static_cast<MeshHeader*>(owner));
}

// The handle of a texture file loaded and downloaded, -1 when it cannot be.
int32_t LoadTexture(const char* name) {
  TextureRecord* record = TexLoad(name);
  if (!record) return -1;
  const int32_t id = TexDownload(record);
  TexFree(record);
  return id;
}

bool gDrawBillboards = true;
void DrawBush(DrawSlot* slot, void*) {
  if (gDrawBillboards) RdrDrawSprite(slot);
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
  // The ground under the water takes random tints: the same ones every build.
  RandSetIndex(0);
  std::vector<datakit::DataFile> files = datakit::ModelFiles();
  for (const auto& f : datakit::BootLooseFiles()) files.push_back(f);
  for (const auto& f : datakit::SceneTextureFiles()) files.push_back(f);
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
  // Grass on the ground (under the palette's colours), ripples on the water.
  const int32_t grass = LoadTexture("grass.3df"), water = LoadTexture("water.3df");
  if (grass < 0 || water < 0) {
    *error = "cannot load the ground textures";
    return false;
  }
  TerrainTextureAll(static_cast<uint32_t>(grass));
  TerrainAddWaterPlane(10.0f, static_cast<uint32_t>(water));
  // As the race loader does: the world's texture coordinates into the units
  // the back end samples in (a back end that samples in texels keeps them).
  TexNormalizeFaceCoords(&gTextureTable);
  const MeshHeader* car = scene->models[2];

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
  // Bushes scattered over the dry ground, billboards of a colour-keyed sprite.
  TexSetColourKey(datakit::SCENE_BUSH_KEY_RED, datakit::SCENE_BUSH_KEY_GREEN, datakit::SCENE_BUSH_KEY_BLUE);
  scene->bush = ObjCreateSprite("bush.3df", 90.0f, 110.0f);
  TexSetColourKey(-1, -1, -1);
  if (!scene->bush) {
    *error = "cannot load the bush sprite";
    return false;
  }
  uint32_t seed = 12345;
  auto next = [&seed](uint32_t range) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) % range;
  };
  for (int tries = 0; tries < 200 && scene->bushes < KIT_SCENE_BUSHES; ++tries) {
    const float x = 200.0f + static_cast<float>(next(static_cast<uint32_t>(d.extentX) - 400));
    const float z = 200.0f + static_cast<float>(next(static_cast<uint32_t>(d.extentZ) - 400));
    const float ground = TerrainHeightAt(x, z);
    if (ground < 40.0f) continue;  // not in or at the water
    const float h = scene->bush->halfHeight;
    if (DrawListAddStatic(scene->bush, 200u + static_cast<uint32_t>(scene->bushes), DrawBush, x, ground + h, z,
                          scene->bush->halfWidth, h) != 1)
      break;
    ++scene->bushes;
  }

  // The sun's sheet: the glow in one cell, the flare's rings in the others.
  const int32_t sunId = LoadTexture("glow.3df");
  if (sunId < 0) {
    *error = "cannot load the sun texture";
    return false;
  }
  scene->sunTexture = static_cast<uint32_t>(sunId);

  if (GridBuild() != 1) {
    *error = "cannot bin the world grid";
    return false;
  }
  // A white sun low in the west, a little to the south, so the view over
  // the east edge looks into it. The light's direction is the way its rays
  // travel (the world's normals point into the surface, away from the eye).
  LightSetColour(255, 255, 255);
  Light sun{1.0f, -0.2f, -0.25f, 100.0f, 24.0f};
  LightSet(&sun);
  GridSetLight(gLight.directionX, gLight.directionY, gLight.directionZ, sun.intensity, sun.ambient);
  return true;
}

bool KitSceneOpen(KitScene* scene, const std::string& folder, std::string* error) {
  if (!RdrOpen(gDisplayModes[2], 1)) {
    *error = "display did not open";
    return false;
  }
  if (!MeshPoolAllocVertices(MESH_POOL_VERTICES) || !MeshPoolAllocFaces(MESH_POOL_FACES) ||
      !DrawListAllocStatic(DRAW_LIST_STATIC) || !DrawListAllocDynamic(DRAW_LIST_DYNAMIC) ||
      GridCreate(640, 25, 1, 12) != 1) {
    *error = "world pools not made";
    return false;
  }
  return KitSceneBuild(scene, folder, error);
}

void KitSceneFree(KitScene* scene) {
  for (MeshHeader*& m : scene->models) {
    if (m) MeshFree(m);
    m = nullptr;
  }
  ObjFreeSprite(scene->bush);
  scene->bush = nullptr;
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

Camera KitSceneFlightCamera(int frame, int frames) {
  // A circle around the basin, looking inwards and a little down, rising and
  // falling once per lap.
  const int32_t a = frames > 0 ? frame * 1024 / frames : 0;
  const float radius = 1500.0f;
  Camera c{};
  c.x = 1280.0f - radius * MathSin(a);
  c.z = 1280.0f - radius * MathCos(a);
  c.y = 700.0f + 200.0f * MathSin(2 * a);
  c.pitch = 960.0f;
  c.heading = static_cast<float>(a);
  return c;
}

void KitSceneDraw(const KitScene& scene, const Camera& camera, const KitSceneLayers& layers) {
  RdrClear(KIT_SCENE_FOG_RED, KIT_SCENE_FOG_GREEN, KIT_SCENE_FOG_BLUE);
  CamSet(&camera);
  RdrSetFog(KIT_SCENE_FOG_RED, KIT_SCENE_FOG_GREEN, KIT_SCENE_FOG_BLUE, KIT_SCENE_FOG_START, KIT_SCENE_FOG_END);
  RdrFogOn();
  if (layers.sun) RdrDrawViewQuad(scene.sunTexture, KIT_SCENE_FOG_RED, KIT_SCENE_FOG_GREEN, KIT_SCENE_FOG_BLUE);
  gDrawBillboards = layers.billboards;
  ObjRenderSceneTwoPass();
  gDrawBillboards = true;
  ObjDrawDeferredTranslucent();
  if (layers.sun) RdrDrawAdditiveGlows();
  RdrFogOff();
}
