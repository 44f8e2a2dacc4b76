// A whole scene made from the data kit, for tests and benchmarks that draw the
// world: hilly terrain with vertex colours and a water plane in its basin,
// the kit's 3DS models and billboard bushes placed on it as static draw slots
// and binned into the world grid, the sun with its glow and lens flare, and
// fog. Needs the display open, the world pools and the grid made.
#pragma once
#include <cstdint>
#include <string>

#include "engine3d/camera.h"
#include "engine3d/mesh.h"
#include "engine3d/terrain.h"
#include "tools/datakit/lib/model3ds_writer.h"

constexpr int KIT_SCENE_MODELS = 3;
constexpr int KIT_SCENE_CAMERAS = 3;
constexpr int KIT_SCENE_BUSHES = 24;
// The fog and sky colour, and where the fog starts and ends (view depth).
constexpr int32_t KIT_SCENE_FOG_RED = 176, KIT_SCENE_FOG_GREEN = 196, KIT_SCENE_FOG_BLUE = 224;
constexpr float KIT_SCENE_FOG_START = 500.0f, KIT_SCENE_FOG_END = 1600.0f;

struct KitScene {
  datakit::TerrainSpec spec;  // the terrain keeps pointing into it
  TerrainDesc desc;
  MeshHeader* models[KIT_SCENE_MODELS];  // tree, sign, car
  int32_t placed;                        // static model slots
  Sprite* bush;                          // the billboards' sprite
  int32_t bushes;                        // static sprite slots
  uint32_t sunTexture;                   // glow and flare sheet
};

// Writes the kit's models and textures into `folder`, which must be the
// working directory, and builds the scene. False with a message on failure.
bool KitSceneBuild(KitScene* scene, const std::string& folder, std::string* error);
void KitSceneFree(KitScene* scene);
// The display opened at 640x480, the world pools and grid made as the race
// makes them, then the scene built (for the benchmarks).
bool KitSceneOpen(KitScene* scene, const std::string& folder, std::string* error);
// One of the fixed views of the scene (0 .. KIT_SCENE_CAMERAS - 1).
Camera KitSceneCamera(int which);
// One camera along a closed loop over the scene, `frame` of `frames`.
Camera KitSceneFlightCamera(int frame, int frames);
// What the race's view renderer does for this world: clear to the sky colour,
// set the fog, the sun glow, the two-pass scene (the ground keeps vertex
// colours), the translucent water, then the lens flare.
// `layers` leaves out the billboards and the sun's glow and flare when false
// (for comparisons with a back end that has not drawn those yet).
struct KitSceneLayers {
  bool billboards = true;
  bool sun = true;
};
void KitSceneDraw(const KitScene& scene, const Camera& camera, const KitSceneLayers& layers = {});
