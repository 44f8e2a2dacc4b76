// The game-start load: the vehicles' models with their dented copies, the kit
// parts, the driver, the effect sprites and the arrow, with the textures the
// vehicles and the race draw with. Every model here is needed: a missing one
// ends the program on the fatal error screen naming its path.
#include <initializer_list>
#include <string>

#include "backend_common/texture.h"
#include "engine3d/instance.h"
#include "engine3d/model3ds.h"
#include "engine3d/normals.h"
#include "engine3d/random.h"
#include "engine3d/sprite.h"
#include "frontend/frontend.h"
#include "race/assets.h"
#include "race/race.h"
#include "race/tracks.h"
#include "race/vehicle_steps.h"

VehicleAssets gVehicleAssets;
Sprite* gFxSprites[FX_SPRITES];

namespace {

// The modeller's z is up; the game's y is.
const MeshPlacement MODEL_PLACEMENT = {0, 1.0f, 0.0f, {1, 0, 0, 0, 0, 1, 0, 1, 0}, 1, 1};
// The dents open no seams between faces that met before.
constexpr float DENT_WELD_TOLERANCE = 0.01f;

const char* const LEVELS[CAR_BODY_SETS] = {"res1\\", "res2\\", "res3\\", "res4\\", "int\\"};
constexpr int WHEEL_LEVELS = 3;  // the wheels of the first three levels; sets 4..6 are their clones
const char* const WHEEL_FILES[4] = {"rouearg.3ds", "roueard.3ds", "roueavg.3ds", "roueavd.3ds"};
const char* const KIT_WHEEL_STEMS[4] = {"krarg0", "krard0", "kravg0", "kravd0"};
const char* const KIT_WHEEL_DIRS[KIT_WHEEL_LEVELS] = {"kit\\res1\\", "kit\\res2\\", "kit\\res3\\", "kit\\"};
// The driver's frames: rest, steer left, steer right, two reactions, looking back.
const char* const DRIVER_FRAMES[] = {"man1.3ds", "man2.3ds", "man3.3ds", "man4.3ds", "man5.3ds", "man6.3ds", nullptr};

// The effect type table: the sprites of each row in index order; a row whose
// end value is 0 closes it.
struct FxRow {
  const char* names[8];
  float width, height;
  float end;
};
const FxRow FX_ROWS[] = {
    {{"fumee1", "fumee2", "fumee3", "fumee4", "fumee5", "fumee6", "fumee7", "fumee8"}, 12, 12, 1},
    {{"flam1", "flam2", "flam3", "flam4"}, 6, 6, 1},
    {{"explo1", "explo2", "explo3", "explo4", "explo5", "explo6", "explo7", "explo8"}, 120, 100, 1},
    {{"bulle"}, 5, 5, 1},
    {{"feu"}, 8, 8, 1},
    {{"flare"}, 100, 100, 1},
    {{"fumee3"}, 30, 20, 1},
    {{"reflet"}, 100, 100, 1},
    {{"explo5", "explo6", "explo7", "explo8"}, 4, 4, 1},
    {{}, 0, 0, 0},
};

// Kit-built cars have no point list of their own: their emitters spawn nothing.
const EmitterPoint NO_POINTS[] = {{CAR_MODEL_POINTS_END, 0, 0, 0, 0}};
MeshHeader gKitCarEmpty[CAR_MODEL_ROWS - CAR_MODEL_GAME_ROWS];

// A texture of the game start, or nothing when the kit has none.
void LoadGameStartTexture(const char* name, bool unfiltered) {
  TextureRecord* record = unfiltered ? TexLoadUnfiltered(name) : TexLoad(name);
  if (!record) return;
  TexDownload(record);
  TexFree(record);
}

MeshHeader* LoadModel(const std::string& path, const std::string& textures) {
  MeshHeader* mesh = MeshLoad3ds(path.c_str(), textures.c_str(), &MODEL_PLACEMENT);
  if (!mesh) AssetMissing(path);
  return mesh;
}

MeshHeader* Merged(MeshHeader* mesh) {
  MeshMergeQuads(mesh);
  return mesh;
}

MeshHeader* Cloned(const MeshHeader* mesh) {
  MeshHeader* copy = MeshClone(mesh);
  if (!copy) AssetMissing("clone");
  return copy;
}

std::string TextureDirectory(const std::string& directory) {
  return gOptions.lowTextureMemory ? directory + "low\\" : directory;
}

void LoadCarType(int32_t type) {
  CarModel& row = gCarModels[type];
  const std::string dir = "car" + std::to_string(type + 1) + "\\";
  const std::string textures = TextureDirectory(dir);
  for (int level = 0; level < CAR_BODY_SETS; ++level) {
    MeshHeader* body = LoadModel(dir + LEVELS[level] + "ziziz.3ds", textures);
    MeshRestOnGroundShiftZ(body);
    row.body[level][0] = body;
    if (level >= WHEEL_LEVELS) continue;
    for (int w = 0; w < 4; ++w) row.wheels[level][w] = Merged(LoadModel(dir + LEVELS[level] + WHEEL_FILES[w], textures));
    for (int w = 0; w < 4; ++w) row.wheels[level + WHEEL_LEVELS][w] = Cloned(row.wheels[level][w]);
  }
  row.steeringWheel = Merged(LoadModel(dir + "volant.3ds", textures));
  // The in-car view draws one dashboard for every car: the last type's.
  MeshHeader* dashboard = Merged(LoadModel(dir + "bord.3ds", textures));
  if (gVehicleAssets.dashboard) MeshFree(gVehicleAssets.dashboard);
  gVehicleAssets.dashboard = dashboard;
}

void DentBodies() {
  for (int32_t type = 0; type < CAR_MODEL_GAME_ROWS; ++type) {
    CarModel& row = gCarModels[type];
    for (int stage = 1; stage < CAR_BODY_STAGES; ++stage) {
      // Each stage restarts the table at the type's index, so one type's
      // dents deepen in one pattern from stage to stage.
      RandSetIndex(static_cast<uint32_t>(6 - type));
      const float amount = 0.2f + 0.05f * static_cast<float>(stage - 1);
      for (int level = 0; level < CAR_BODY_SETS; ++level) {
        row.body[level][stage] = Cloned(row.body[level][0]);
        AssetDentMesh(row.body[level][stage], DENT_WELD_TOLERANCE,
                      level == CAR_BODY_SETS - 1 ? amount * 0.5f : amount);
      }
    }
    for (int level = 0; level < CAR_BODY_SETS; ++level) MeshMergeQuads(row.body[level][0]);
  }
}

MeshHeader* LoadKitModel(const std::string& directory, const std::string& name, bool restOnGround) {
  MeshHeader* mesh = LoadModel(directory + name, TextureDirectory("kit\\"));
  if (restOnGround) MeshRestOnGroundShiftZ(mesh);
  return Merged(mesh);
}

void PrepareKitCars() {
  for (int32_t r = CAR_MODEL_GAME_ROWS; r < CAR_MODEL_ROWS; ++r) {
    CarModel& row = gCarModels[r];
    row.points = NO_POINTS;
    row.word1 = row.word2 = 0.0f;
    row.flag1 = 0;
    MeshHeader* empty = &gKitCarEmpty[r - CAR_MODEL_GAME_ROWS];
    *empty = MeshHeader{};
    empty->type = MESH_TYPE_WORD;
    for (auto& set : row.body)
      for (MeshHeader*& m : set) m = empty;
    for (auto& set : row.wheels)
      for (MeshHeader*& m : set) m = empty;
  }
}

void LoadKitParts() {
  VehicleAssets& a = gVehicleAssets;
  for (int k = 0; k < KIT_PART_KINDS; ++k) a.kitBodies[k] = LoadKitModel("kit\\", "kcaisse" + std::to_string(k + 1) + ".3ds", true);
  for (int k = 0; k < KIT_PART_KINDS; ++k) a.kitEngines[k] = LoadKitModel("kit\\", "kmotor" + std::to_string(k + 1) + ".3ds", true);
  for (int kind = 0; kind < KIT_PART_KINDS; ++kind)
    for (int level = 0; level < KIT_WHEEL_LEVELS; ++level)
      for (int w = 0; w < 4; ++w)
        a.kitWheels[kind][level][w] =
            LoadKitModel(KIT_WHEEL_DIRS[level], KIT_WHEEL_STEMS[w] + std::to_string(kind + 1) + ".3ds", false);
  a.kitSteeringWheel = LoadKitModel("kit\\", "kvolant.3ds", false);
  PrepareKitCars();
}

void MarkTyreFaces(MeshHeader* mesh, uint32_t tyreWord) {
  if (!mesh || !mesh->faces) return;
  for (uint32_t f = 0; f < mesh->faceCount; ++f) mesh->faces[f].tag = mesh->faces[f].type == tyreWord ? 1 : 0;
}

void MarkTyreFaces() {
  int32_t s = 0, t = 0;
  gAssets.tyreTexture = static_cast<uint32_t>(TexFindHandle("gomme.3df", &s, &t));
  const uint32_t word = FACE_TEX_LIT << 24 | (gAssets.tyreTexture & 0xFFFFFF);
  for (int32_t type = 0; type < CAR_MODEL_GAME_ROWS; ++type)
    for (auto& set : gCarModels[type].wheels)
      for (MeshHeader* wheel : set) MarkTyreFaces(wheel, word);
  for (auto& kind : gVehicleAssets.kitWheels)
    for (auto& level : kind)
      for (MeshHeader* wheel : level) MarkTyreFaces(wheel, word);
}

void LoadDriver() {
  VehicleAssets& a = gVehicleAssets;
  TexSetColourKey(-1, -1, -1);
  a.driver = Merged(LoadModel("man.3ds", ""));
  MeshRestOnGround(a.driver);
  gDriverFrames = MeshLoadFrames(DRIVER_FRAMES, a.driver, &MODEL_PLACEMENT);
  if (!gDriverFrames) AssetMissing("anim");
  MeshFramesCentre(gDriverFrames, a.driver);
  for (MeshHeader*& clone : a.driverClones) clone = Cloned(a.driver);
  a.driverWheel = Merged(LoadModel("volext.3ds", ""));
  a.driverWheelClone = Cloned(a.driverWheel);
  TexSetColourKey(-1, -1, -1);
}

void CreateEffectSprites() {
  // fumee1 comes first: its sprite is the default for the rest.
  Sprite* fallback = nullptr;
  int index = 0;
  for (const FxRow* row = FX_ROWS; row->end != 0.0f; ++row)
    for (const char* name : row->names) {
      if (!name || index >= FX_SPRITES) continue;
      Sprite* sprite = ObjCreateSprite((std::string(name) + ".3df").c_str(), row->width, row->height);
      gFxSprites[index++] = sprite ? sprite : fallback;
      if (!fallback) fallback = sprite;
    }
}

}  // namespace

void AssetDentMesh(MeshHeader* mesh, float weldTolerance, float amount) {
  if (!mesh || !mesh->vertices) return;
  for (uint32_t i = 0; i < mesh->vertexCount; ++i) {
    const int32_t first = RandNext();
    const int32_t second = RandNext();
    float r = static_cast<float>(first & 15);
    if (second & 1) r = -r;
    Vertex& v = mesh->vertices[i];
    const float depth = r * amount * 0.00009765625f;
    v.x += v.normalX * depth;
    v.y += v.normalY * depth;
    v.z += v.normalZ * depth;
  }
  MeshPlacement weld = MODEL_PLACEMENT;
  weld.weldTolerance = weldTolerance;
  MeshWeld(mesh, &weld);
  MeshMergeQuads(mesh);
  MeshRebuildNormalsOf(mesh);
}

void AssetLoadVehicles() {
  // Pure green is transparent in the driver-view, car and kit textures; the
  // driver's load clears the key.
  TexSetColourKey(0, 255, 0);
  for (const char* name : {"vdavg.3df", "vdavd.3df", "vdarg.3df", "vdard.3df"}) LoadGameStartTexture(name, true);
  // Before the wheels, whose treads name it.
  LoadGameStartTexture("gomme.3df", false);
  CarModelSetGeometry();
  for (int32_t type = 0; type < CAR_MODEL_GAME_ROWS; ++type) LoadCarType(type);
  DentBodies();
  LoadKitParts();
  MarkTyreFaces();
  LoadDriver();
  CreateEffectSprites();
  gVehicleAssets.arrow = Merged(LoadModel("dfleche.3ds", ""));
  LoadGameStartTexture("minicar.3df", false);
  AssetRecordGameStartTextures();
  PreviewApplyKitCar(0, CAR_MODEL_GAME_ROWS);
  PreviewApplyKitCar(1, CAR_MODEL_GAME_ROWS + 1);
}
