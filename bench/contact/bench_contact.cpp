// The object search of one vehicle (ContactFindObject) standing in a cell
// crowded with 20 placed objects, its neighbours holding a few more, all
// close enough that every one passes the height test and goes to the outline
// clipper. Time per search in microseconds; the target is under 20 us.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <vector>

#include "backend_common/display.h"
#include "engine3d/mesh.h"
#include "engine3d/terrain.h"
#include "hal/clock.h"
#include "race/collide.h"
#include "race/object_types.h"
#include "race/race.h"
#include "race/track_files.h"
#include "race/vehicle_steps.h"

namespace {

constexpr uint16_t ROW = 200;
constexpr int CROWD = 20;
constexpr int NEIGHBOURS = 8;
DrawSlot gSlots[CROWD + NEIGHBOURS];
std::vector<int16_t> gHeights(17 * 9, 0);

void SetUp() {
  HalClockUseVirtual(0, 0);
  RdrOpen(gDisplayModes[2], 1);
  MeshPoolAllocVertices(MESH_POOL_VERTICES);
  MeshPoolAllocFaces(MESH_POOL_FACES);
  TerrainDesc desc{};
  desc.columns = 17;
  desc.rows = 9;
  desc.subdivisions = 10;
  desc.heights = gHeights.data();
  desc.spacing = 100.0f;
  TerrainBuild(&desc);
  gRace = RaceState{};
  gRace.timeStep = 1.0f;
  ObjectType& t = gObjectTypes[ROW];
  t.minX = t.minZ = -6.0f;
  t.maxX = t.maxZ = 6.0f;
  t.minY = 0.0f;
  t.maxY = 30.0f;
  t.gridFlags = 0x10;  // turned boxes: the costlier test
  gDrawLists.staticCount = 0;
  gPlacementCount = 0;
  TrackBuildCellGrid();
  // The crowded cell spans 1000..1200 in x and z; the vehicle stands in it.
  for (int i = 0; i < CROWD + NEIGHBOURS; ++i) {
    DrawSlot& s = gSlots[i];
    s = DrawSlot{};
    s.visible = 1;
    const bool inCell = i < CROWD;
    s.x = inCell ? 1010.0f + static_cast<float>(i % 5) * 40.0f : 1250.0f + static_cast<float>(i % 4) * 40.0f;
    s.z = inCell ? 1010.0f + static_cast<float>(i / 5) * 45.0f : 900.0f + static_cast<float>(i % 2) * 60.0f;
    s.user = static_cast<uint32_t>(gPlacementCount);
    gPlacements[gPlacementCount++] =
        ObjectPlacement{static_cast<uint16_t>(i * 37), 0, COUNTER_SLOT_NONE, ROW, s.x, 0.0f, s.z};
    TrackGridAddObject(&s);
  }
  Vehicle& v = gPlayer1;
  v = Vehicle{};
  const float box[6] = {-8.0f, 8.0f, -5.0f, 5.0f, -20.0f, 20.0f};
  for (int i = 0; i < 6; ++i) v.footprint[i] = box[i];
  v.pose = Camera{1100.0f, 0.0f, 1100.0f, 0.0f, 100.0f, 0.0f};
  v.velocity = 80.0f;
  gRace.currentPose = &v.pose;
}

void BM_FindObjectInACrowdedCell(benchmark::State& state) {
  SetUp();
  int64_t found = 0;
  for (auto _ : state) {
    DrawSlot* object = ContactFindObject(&gPlayer1);
    found += object != nullptr;
    benchmark::DoNotOptimize(object);
  }
  state.counters["touching"] = static_cast<double>(found) / static_cast<double>(state.iterations());
  RdrClose();
}
BENCHMARK(BM_FindObjectInACrowdedCell)->Unit(benchmark::kMicrosecond);

}  // namespace

// The track loader's error screens belong to the shell, which this program leaves out.
void GameQuit() { std::abort(); }

BENCHMARK_MAIN();
