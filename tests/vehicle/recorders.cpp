// Recording stand-ins for the vehicles' sounds, effects and force feedback,
// and the fixture's set-up.
#include <cstdlib>

#include "backend_common/display.h"
#include "engine3d/angle.h"
#include "engine3d/mesh.h"
#include "engine3d/random.h"
#include "frontend/frontend.h"
#include "net/net.h"
#include "platform/app.h"
#include "presentation/presentation.h"
#include "support/test_support.h"
#include "vehicle_fixture.h"

std::vector<std::string> gVehicleCalls;
std::vector<int32_t> gSoundEvents;

namespace {
void Note(const std::string& s) { gVehicleCalls.push_back(s); }
}  // namespace

int CountCalls(const std::string& call) {
  int n = 0;
  for (const std::string& c : gVehicleCalls) n += c == call;
  return n;
}

void SfxUpdateVehicle(Vehicle*, Vehicle*, int32_t event, uint8_t) { gSoundEvents.push_back(event); }
void SfxStopVehicleLoops(Vehicle*) { Note("SfxStopVehicleLoops"); }
int32_t SfxVehicleSlideTest(Vehicle*) { return 1; }
void FxAttachVehicleBurst(Vehicle*) { Note("FxAttachVehicleBurst"); }
void FxAttachVehicleEmitter(Vehicle*, float amount) { Note("FxAttachVehicleEmitter(" + std::to_string(int(amount)) + ")"); }
void FxAttachVehicleEmitterDrive(Vehicle*) { Note("FxAttachVehicleEmitterDrive"); }
void FxVehicleLoseWheel(Vehicle*, int32_t landing) { Note("FxVehicleLoseWheel(" + std::to_string(landing) + ")"); }
void FxSpawnSplash(Vehicle*) { Note("FxSpawnSplash"); }
void FfbSetActive(Vehicle*, int32_t on) { Note("FfbSetActive(" + std::to_string(on) + ")"); }
void FfbUpdateWheelContact(Vehicle*) { Note("FfbUpdateWheelContact"); }
void FfbUpdateEngineFromVehicle(Vehicle*) {}
void FfbTakeOff(Vehicle*) { Note("FfbTakeOff"); }
void FfbLandVehicle(Vehicle*) { Note("FfbLandVehicle"); }
void FfbShockFull(Vehicle*, float, float) { Note("FfbShockFull"); }
void FfbSkid(Vehicle*) { Note("FfbSkid"); }
void FfbShock(Vehicle*, int32_t, int32_t) { Note("FfbShock"); }
void FxVehicleCrash(Vehicle*) { Note("FxVehicleCrash"); }
void FxVehicleDebris(Vehicle*) { Note("FxVehicleDebris"); }
uint8_t gTestObjectGivesWay;
uint8_t gTestObjectSolid;
uint8_t DecorKnockObject(DrawSlot*, Vehicle*) {
  Note("DecorKnockObject");
  return gTestObjectGivesWay;
}
uint8_t FxObjectKindIs4Or5(const DrawSlot*) { return gTestObjectSolid; }
void FfbCheckDeviceLost() { Note("FfbCheckDeviceLost"); }
// The race loader's presentation runs race frames, which this suite leaves out.
void ViewRunTrackPresentation() {}
void ViewRunStartFlyIn() {}

void VehicleTest::SetUp() {
  ResetHalForTest(10000);
  ASSERT_TRUE(RdrOpen(gDisplayModes[2], 1));
  MeshPoolAllocVertices(MESH_POOL_VERTICES);
  MeshPoolAllocFaces(MESH_POOL_FACES);
  gRace = RaceState{};
  gRace.raceStarted = 1;
  SetFrameRate(25.0f);
  gVehicleStep = VehicleStepState{};
  gPlayer1 = VehiclePlayer1Initial();
  for (Vehicle& v : gVehicleRecords) v = Vehicle{};
  for (Vehicle*& v : gVehicleTable) v = nullptr;
  gOptions = Options{};
  gNetParticipants = NetParticipants{};
  gApp.keyBits = 0;
  RandSetIndex(0);
  gVehicleCalls.clear();
  gSoundEvents.clear();
  gTestObjectGivesWay = 0;
  gTestObjectSolid = 0;
  for (Vehicle& t : gTrackObjects) t = Vehicle{};
}

void VehicleTest::TearDown() { RdrClose(); }

void VehicleTest::SetFrameRate(float fps) {
  gRace.frameRate = fps;
  gRace.timeStep = 25.0f / fps;
  gRace.timeStepFifth = gRace.timeStep * 0.2f;
  gRace.timeStepFourFifths = gRace.timeStep * 0.8f;
  gRace.frameHours = (1.0f / fps) / 3600.0f;
}

void VehicleTest::BuildTerrain(uint32_t columns, uint32_t rows, float spacing,
                               const std::function<int(uint32_t, uint32_t)>& heights) {
  heights_.assign(static_cast<size_t>(columns) * rows, 0);
  for (uint32_t r = 0; r < rows; ++r)
    for (uint32_t c = 0; c < columns; ++c) heights_[r * columns + c] = static_cast<int16_t>(heights(c, r));
  desc_ = TerrainDesc{};
  desc_.columns = columns;
  desc_.rows = rows;
  desc_.subdivisions = 1;
  desc_.heights = heights_.data();
  desc_.spacing = spacing;
  gMesh.vertexCount = 0;
  gMesh.faceCount = 0;
  ASSERT_EQ(TerrainBuild(&desc_), 1);
}

void VehicleTest::BuildRacePlane(int height) {
  heights_.assign(17 * 9, static_cast<int16_t>(height));
  desc_ = TerrainDesc{};
  desc_.columns = 17;
  desc_.rows = 9;
  desc_.subdivisions = 10;
  desc_.heights = heights_.data();
  desc_.spacing = 100.0f;
  gMesh.vertexCount = 0;
  gMesh.faceCount = 0;
  ASSERT_EQ(TerrainBuild(&desc_), 1);
}

void VehicleTest::MakeCar(Vehicle* v, float x, float z, float heading, uint8_t human) {
  *v = Vehicle{};
  VehicleCopyDefaults(v);
  v->type = 0;
  VehicleResetDynamics(v);
  VehicleApplyType(v);
  for (WheelState& w : v->wheels) w.attached = 1;
  v->pose = Camera{x, TerrainHeightAt(x, z), z, 0.0f, heading, 0.0f};
  v->heading = heading;
  v->human = human;
  v->cellLevel = 8.0f;
  v->baseSurfaceGrip = 0.5f;
  v->physParams[PHYS_SURFACE_GRIP] = 1.3f;
  v->timerSlot = 3;
  v->championRank = -1;
  gRace.currentPose = &v->pose;
}

void VehicleTest::Step(Vehicle* v, Vehicle* driver) {
  gRace.currentPose = &v->pose;
  VehicleDriveStep(v, driver);
}

// The front end's placeholder quits through the shell, which this suite leaves out.
void GameQuit() { std::abort(); }
