// The test cars and the fixture's set-up.
#include <unistd.h>

#include <cmath>
#include <memory>
#include <unordered_map>

#include "backend_common/display.h"
#include "draw_fixture.h"
#include "engine3d/sprite.h"
#include "frontend/frontend.h"
#include "hal/gfx/gfx.h"
#include "net/net.h"
#include "race/assets.h"
#include "race/race.h"
#include "race/track_files.h"
#include "race/tracks.h"
#include "race/vehicle_steps.h"
#include "shell/game.h"
#include "tools/datakit/lib/boot_set.h"

namespace {

struct OwnedMesh {
  MeshHeader header{};
  std::vector<Vertex> vertices;
  std::vector<Face> faces;
};
std::vector<std::unique_ptr<OwnedMesh>> gOwned;
std::unordered_map<const MeshHeader*, std::string> gNames;
std::unordered_map<const Vertex*, const MeshHeader*> gByVertices;
Sprite gReflet{0x04000000u | 7u, 100.0f, 100.0f, 0.0f, 0.0f, 31.0f, 31.0f};

MeshHeader* Own(std::unique_ptr<OwnedMesh> m, const std::string& name) {
  m->header.type = MESH_TYPE_WORD;
  m->header.vertexCount = static_cast<uint32_t>(m->vertices.size());
  m->header.faceCount = static_cast<uint32_t>(m->faces.size());
  m->header.vertices = m->vertices.data();
  m->header.faces = m->faces.data();
  MeshHeader* h = &m->header;
  gNames[h] = name;
  gByVertices[m->vertices.data()] = h;
  gOwned.push_back(std::move(m));
  return h;
}

// A box; a wheel's box has its four faces around the axle (x) textured and
// flagged as tyre faces.
MeshHeader* Box(const std::string& name, float x0, float y0, float z0, float x1, float y1, float z1, uint32_t colour,
                bool wheel) {
  auto m = std::make_unique<OwnedMesh>();
  const float n = 1024.0f / std::sqrt(3.0f);
  for (int i = 0; i < 8; ++i) {
    Vertex v{};
    v.x = i & 1 ? x1 : x0;
    v.y = i & 2 ? y1 : y0;
    v.z = i & 4 ? z1 : z0;
    v.normalX = i & 1 ? n : -n;
    v.normalY = i & 2 ? n : -n;
    v.normalZ = i & 4 ? n : -n;
    v.red = v.green = v.blue = 200;
    m->vertices.push_back(v);
  }
  struct Side {
    uint16_t index[4];
    float nx, ny, nz;
    bool tyre;
  };
  const Side sides[6] = {{{0, 4, 6, 2}, -1024, 0, 0, false}, {{1, 3, 7, 5}, 1024, 0, 0, false},
                         {{0, 1, 5, 4}, 0, -1024, 0, true},  {{2, 6, 7, 3}, 0, 1024, 0, true},
                         {{0, 2, 3, 1}, 0, 0, -1024, true},  {{4, 5, 7, 6}, 0, 0, 1024, true}};
  for (const Side& s : sides) {
    Face f{};
    const bool tyre = wheel && s.tyre;
    f.type = tyre ? FACE_TEX_LIT << 24 : FACE_COLOUR << 24 | colour;
    f.vertexCount = 4;
    for (int i = 0; i < 4; ++i) f.index[i] = s.index[i];
    const float st[8] = {0, 0, 16, 0, 16, 64, 0, 64};
    for (int i = 0; i < 8; ++i) f.st[i] = tyre ? st[i] : 0.0f;
    f.normalX = s.nx;
    f.normalY = s.ny;
    f.normalZ = s.nz;
    f.tag = tyre ? 1 : 0;
    m->faces.push_back(f);
  }
  return Own(std::move(m), name);
}

MeshHeader* Copy(const MeshHeader* source, const std::string& name) {
  auto m = std::make_unique<OwnedMesh>();
  m->vertices.assign(source->vertices, source->vertices + source->vertexCount);
  m->faces.assign(source->faces, source->faces + source->faceCount);
  return Own(std::move(m), name);
}

std::string Id(int a, int b, int c) {
  return std::to_string(a) + "/" + std::to_string(b) + "/" + std::to_string(c);
}

}  // namespace

void BuildTestCars() {
  for (int type = 0; type < CAR_MODEL_ROWS; ++type) {
    CarModel& row = gCarModels[type];
    row = CarModel{};
    for (int set = 0; set < CAR_BODY_SETS; ++set)
      for (int stage = 0; stage < CAR_BODY_STAGES; ++stage)
        row.body[set][stage] = Box("body " + Id(type, set, stage), -8, 0, -20, 8, 10, 20,
                                   static_cast<uint32_t>(40 * set + 20) | 0x6040u << 8, false);
    for (int set = 0; set < 3; ++set)
      for (int w = 0; w < 4; ++w) {
        row.wheels[set][w] = Box("wheel " + Id(type, set, w), -1, -5, -5, 1, 5, 5, 0x303030, true);
        row.wheels[set + 3][w] = Copy(row.wheels[set][w], "wheel " + Id(type, set + 3, w));
      }
  }
  CarModelSetGeometry();
  VehicleAssets& a = gVehicleAssets;
  a = VehicleAssets{};
  a.driver = Box("driver", -2, 0, -2, 2, 8, 2, 0x2080C0, false);
  a.driverClones[0] = Copy(a.driver, "driver clone 0");
  a.driverClones[1] = Copy(a.driver, "driver clone 1");
  a.driverWheel = Box("outside wheel", -3, -3, -0.5f, 3, 3, 0.5f, 0x101010, false);
  a.driverWheelClone = Copy(a.driverWheel, "outside wheel clone");
  for (Sprite*& s : gFxSprites) s = nullptr;
  gFxSprites[24] = &gReflet;
  for (int k = 0; k < TYRE_MARK_TEXTURES; ++k) gAssets.tyreMarks[k] = static_cast<uint32_t>(100 + k);
}

void FreeTestCars() {
  for (CarModel& row : gCarModels) row = CarModel{};
  gVehicleAssets = VehicleAssets{};
  gNames.clear();
  gByVertices.clear();
  gOwned.clear();
}

std::string MeshName(const MeshHeader* mesh) {
  auto it = gNames.find(mesh);
  return it == gNames.end() ? "?" : it->second;
}

const MeshHeader* MeshOfVertices(const Vertex* vertices) {
  auto it = gByVertices.find(vertices);
  return it == gByVertices.end() ? nullptr : it->second;
}

MeshHeader* TestMeshWithNormals(const std::vector<std::array<float, 3>>& normals) {
  auto m = std::make_unique<OwnedMesh>();
  for (size_t i = 0; i < normals.size(); ++i) {
    Vertex v{};
    v.x = static_cast<float>(i);
    v.y = static_cast<float>(i % 2);
    v.normalX = normals[i][0];
    v.normalY = normals[i][1];
    v.normalZ = normals[i][2];
    m->vertices.push_back(v);
  }
  return Own(std::move(m), "normals");
}

void StandVehicle(Vehicle* v, int32_t type, float x, float y, float z) {
  v->type = type;
  v->human = 0;
  v->state = VEHICLE_ON_GROUND;
  v->pose = Camera{x, y, z, 0.0f, 0.0f, 0.0f};
  const uint16_t angles[3] = {0, 0, 512};  // level, roll turned half round as the wheel pass leaves it
  for (int i = 0; i < 3; ++i) v->frameAngles[i] = v->bodyAngles[i] = angles[i];
  v->driverRoll = 512;
  MatFromAngles(angles[0], angles[1], angles[2], v->bodyMatrix);
  const CarModel& m = gCarModels[type];
  const float* b = v->bodyMatrix;
  auto place = [&](const float from[3], float a, float c, float d, float out[3]) {
    out[0] = b[0] * a + b[1] * c + b[2] * d + from[0];
    out[1] = b[3] * a + b[4] * c + b[5] * d + from[1];
    out[2] = b[6] * a + b[7] * c + b[8] * d + from[2];
  };
  const float pose[3] = {x, y, z};
  place(pose, 0.0f, m.bodyPointHeight, 0.0f, v->bodyPoint);
  const CarPoint front = m.point4, rear = m.point5;
  place(pose, -front.x, front.y, front.z - 2.0f, v->wheels[WHEEL_FRONT_LEFT].centre);
  place(pose, front.x, front.y, front.z - 2.0f, v->wheels[WHEEL_FRONT_RIGHT].centre);
  place(pose, -rear.x, rear.y, rear.z - 2.0f, v->wheels[WHEEL_REAR_LEFT].centre);
  place(pose, rear.x, rear.y, rear.z - 2.0f, v->wheels[WHEEL_REAR_RIGHT].centre);
  for (WheelState& w : v->wheels) w.attached = 1;
  place(v->bodyPoint, m.point1.x, m.point1.y, m.point1.z - 2.0f, v->eyePoint);
  place(v->bodyPoint, m.point1.x, m.point1.y - 6.5f, m.point1.z - 3.7f, v->headPoint);
  v->treadBlurFront = v->treadBlurRear = 1.0f;
}

void VehicleDrawTest::SetUp() {
  ResetHalForTest();
  GfxSetBoardConfig(GfxBoardConfig{});
  ASSERT_TRUE(RdrOpen(gDisplayModes[0], 1));
  RecordFatalErrors();
  MeshPoolAllocVertices(MESH_POOL_VERTICES);
  MeshPoolAllocFaces(MESH_POOL_FACES);
  DrawListAllocStatic(DRAW_LIST_STATIC);
  DrawListAllocDynamic(DRAW_LIST_DYNAMIC);
  gRace = RaceState{};
  gRace.frameRate = 25.0f;
  gRace.timeStep = 1.0f;
  gRace.viewDistance = 1700.0f;
  gRace.trajectoriesLoaded = 1;
  gRace.gameMode = 1;
  for (int32_t& c : gRace.lightColour) c = 255;
  RdrSetDepthRange(5, 1700);
  RdrLightingOn();
  Light light{0.0f, 1024.0f, 0.0f, 32.0f, 10.0f};
  LightSet(&light);
  gPlayer1 = VehiclePlayer1Initial();
  for (Vehicle& v : gVehicleRecords) v = Vehicle{};
  gPlayer1Vehicle = &gPlayer1;
  gPlayer2Vehicle = &gVehicleRecords[0];
  gOptions = Options{};
  gIceReflections = 0;
  gNetParticipants = NetParticipants{};
  BuildTestCars();
  LookFrom(0.0f);
  gDrawn.clear();
  gLogDraws = true;
}

void VehicleDrawTest::TearDown() {
  gLogDraws = false;
  FreeTestCars();
  RdrClose();
}

void VehicleDrawTest::LookFrom(float z) {
  camera_ = Camera{0.0f, 20.0f, z, 0.0f, 0.0f, 0.0f};
  CamSet(&camera_);
  MatViewFromCamera();
}

// The front end's placeholder quits through the shell, which this suite leaves out.
void GameQuit() { std::abort(); }

void KitVehicleDrawTest::SetUp() {
  VehicleDrawTest::SetUp();
  FreeTestCars();
  ASSERT_NE(::getcwd(home_, sizeof home_), nullptr);
  std::string error;
  ASSERT_TRUE(datakit::WriteLooseFiles(datakit::BootLooseFiles(), dir_.path().string(), &error)) << error;
  ASSERT_TRUE(datakit::WriteLooseFiles(datakit::BootArchiveFiles(), dir_.path().string(), &error)) << error;
  ASSERT_EQ(::chdir(dir_.path().c_str()), 0);
  gDriverFrames = nullptr;
  for (Sprite*& sprite : gFxSprites) sprite = nullptr;
  AssetLoadVehicles();
  ASSERT_TRUE(gFatalErrors.empty());
}

void KitVehicleDrawTest::TearDown() {
  VehicleDrawTest::TearDown();
  ASSERT_EQ(::chdir(home_), 0);
}
