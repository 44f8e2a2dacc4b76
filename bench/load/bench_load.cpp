// Load-time costs in milliseconds: the game start's vehicle, driver and
// effect assets, and the race load of the kit's desert without the track
// presentation and the start fly-in (timed loops of their own). The kit's car
// bodies are replaced by grids, the finest of about 1500 vertices, so that
// the dented bodies' welds cost what a real body's do. Targets on one core:
// the game start within 1 s, the race load within 200 ms.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "backend_common/display.h"
#include "engine3d/grid.h"
#include "engine3d/mesh.h"
#include "hal/clock.h"
#include "hal/window.h"
#include "platform/fatal.h"
#include "platform/mem.h"
#include "race/assets.h"
#include "race/object_types.h"
#include "race/race.h"
#include "race/tracks.h"
#include "race/vehicle_steps.h"
#include "shell/game.h"
#include "tools/datakit/lib/boot_set.h"
#include "tools/datakit/lib/model3ds_writer.h"

extern "C" {
void __wrap__Z24ViewRunTrackPresentationv() {}
void __wrap__Z17ViewRunStartFlyInv() {}
}

// Nothing in the kit is missing; should something be, the run says what.
void GameQuit() {
  std::fprintf(stderr, "bench_load: a model or texture of the kit is missing\n");
  std::abort();
}


namespace {

constexpr uint32_t BODY_GRID = 19;  // 19 x 19 quads of four vertices: 1444 vertices

// The kit in a fresh folder, with heavy car bodies, made the working folder.
void WriteKitOnce() {
  static bool done = false;
  if (done) return;
  done = true;
  static const std::string dir =
      (std::filesystem::temp_directory_path() / ("torvane-bench-load-" + std::to_string(getpid()))).string();
  std::string error;
  if (!datakit::WriteLooseFiles(datakit::BootLooseFiles(), dir, &error) ||
      !datakit::WriteLooseFiles(datakit::BootArchiveFiles(), dir, &error)) {
    std::fprintf(stderr, "bench_load: %s\n", error.c_str());
    std::abort();
  }
  // The finest level at about 1500 vertices, the coarser ones smaller, as
  // a game's detail levels go (all of them at full size would not fit the pool).
  const struct {
    const char* level;
    uint32_t grid;
  } levels[] = {{"res1", BODY_GRID}, {"res2", 12}, {"res3", 8}, {"res4", 5}, {"int", 12}};
  std::vector<datakit::DataFile> bodies;
  for (int car = 1; car <= 6; ++car)
    for (const auto& l : levels)
      bodies.push_back({1, "car" + std::to_string(car) + "\\" + l.level + "\\ziziz.3ds",
                        datakit::Make3ds(datakit::ModelGrid(l.grid, "car.3df"))});
  if (!datakit::WriteLooseFiles(bodies, dir, &error) || ::chdir(dir.c_str()) != 0) {
    std::fprintf(stderr, "bench_load: %s\n", error.c_str());
    std::abort();
  }
  std::atexit([] {
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  });
}

// A fresh pool, display and world, as the game has them before its start load.
void FreshGame() {
  HalResetForTest();
  HalClockUseVirtual(0, 0);
  GameSetQuitHook(GameQuit);  // a load that cannot go on quits through it
  MemPoolInit();
  RdrOpen(gDisplayModes[2], 1);
  MeshPoolAllocVertices(MESH_POOL_VERTICES);
  MeshPoolAllocFaces(MESH_POOL_FACES);
  DrawListAllocStatic(DRAW_LIST_STATIC);
  DrawListAllocDynamic(DRAW_LIST_DYNAMIC);
  GridCreate(640, 25, 1, 12);
  gRace = RaceState{};
  gRace.gameMode = 1;
  gAssets = AssetState{};
  ObjectTypesReset();
  for (MeshHeader*& m : gObjectModels) m = nullptr;
  for (CarModel& row : gCarModels) row = CarModel{};
  gVehicleAssets = VehicleAssets{};
  for (Sprite*& sprite : gFxSprites) sprite = nullptr;
  gDriverFrames = nullptr;
}

void BM_GameStartAssets(benchmark::State& state) {
  WriteKitOnce();
  for (auto _ : state) {
    state.PauseTiming();
    RdrClose();
    FreshGame();
    state.ResumeTiming();
    AssetLoadVehicles();
  }
  RdrClose();
}
BENCHMARK(BM_GameStartAssets)->Unit(benchmark::kMillisecond);

void BM_DesertRaceLoad(benchmark::State& state) {
  WriteKitOnce();
  for (auto _ : state) {
    state.PauseTiming();
    RdrClose();
    FreshGame();
    AssetLoadVehicles();
    state.ResumeTiming();
    RaceLoad(TRACK_DESERT);
  }
  RdrClose();
}
BENCHMARK(BM_DesertRaceLoad)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
