// A whole scene made from the data kit, for tests and benchmarks that draw the
// world: hilly terrain with vertex colours and a water plane in its basin,
// and the kit's 3DS models placed on it as static draw slots, binned into the
// world grid. Needs the display open, the world pools and the grid made.
#pragma once
#include <cstdint>
#include <string>

#include "engine3d/camera.h"
#include "engine3d/mesh.h"
#include "engine3d/terrain.h"
#include "tools/datakit/lib/model3ds_writer.h"

constexpr int KIT_SCENE_MODELS = 3;
constexpr int KIT_SCENE_CAMERAS = 3;

struct KitScene {
  datakit::TerrainSpec spec;  // the terrain keeps pointing into it
  TerrainDesc desc;
  MeshHeader* models[KIT_SCENE_MODELS];  // tree, sign, car
  int32_t placed;                        // static slots
};

// Writes the kit's models and textures into `folder`, which must be the
// working directory, and builds the scene. False with a message on failure.
bool KitSceneBuild(KitScene* scene, const std::string& folder, std::string* error);
void KitSceneFree(KitScene* scene);
// One of the fixed views of the scene (0 .. KIT_SCENE_CAMERAS - 1).
Camera KitSceneCamera(int which);
// What the race's scene flush does for this world: the two-pass scene (the
// ground keeps vertex colours), then the translucent water.
void KitSceneDraw(const Camera& camera);
