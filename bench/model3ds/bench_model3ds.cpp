// Load-time costs in milliseconds: the kit's largest model from the archives,
// welded grids of growing size (the weld and the exchange sort are quadratic
// in the vertex and face counts), and a terrain that fills the pools.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "backend_common/texture.h"
#include "engine3d/mesh.h"
#include "engine3d/model3ds.h"
#include "engine3d/terrain.h"
#include "platform/mem.h"
#include "platform/pak.h"
#include "tools/datakit/lib/boot_set.h"
#include "tools/datakit/lib/model3ds_writer.h"

namespace {

const MeshPlacement PLACE{0, 1.0f, 0.0f, {1, 0, 0, 0, 1, 0, 0, 0, 1}, 1, 1};
const MeshPlacement WELD{0, 1.0f, 0.01f, {1, 0, 0, 0, 1, 0, 0, 0, 1}, 1, 1};

// The kit's archives (and a few grid models) in a fresh folder, mounted.
void MountOnce() {
  static bool done = false;
  if (done) return;
  done = true;
  std::string dir = (std::filesystem::temp_directory_path() / ("torvane-bench-3ds-" + std::to_string(getpid()))).string();
  std::filesystem::create_directories(dir);
  datakit::PakSet set;
  for (const auto& f : datakit::ModelFiles()) set.archives[f.archive - 1].AddFile(f.path, f.data);
  for (int n : {8, 16, 32})
    set.archives[0].AddFile("grid" + std::to_string(n) + ".3ds", datakit::Make3ds(datakit::ModelGrid(n, "car.3df")));
  static std::string folder = dir;
  std::atexit([] {
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
  });
  std::string error;
  if (!datakit::WritePakSet(set, dir, &error) || chdir(dir.c_str()) != 0) std::abort();
  MemPoolInit();
  if (!PakMountArchives()) std::abort();
}

std::string LargestKitModel() {
  std::string best;
  size_t size = 0;
  for (const auto& f : datakit::ModelFiles())
    if (f.archive == 1 && f.data.size() > size) {
      size = f.data.size();
      best = f.path;
    }
  return best;
}

void Load(benchmark::State& state, const std::string& name, const MeshPlacement& place) {
  MountOnce();
  uint32_t faces = 0;
  for (auto _ : state) {
    MeshHeader* mesh = MeshLoad3ds(name.c_str(), "", &place);
    if (!mesh) {
      state.SkipWithError("load failed");
      return;
    }
    faces = mesh->faceCount;
    MeshFree(mesh);
  }
  state.counters["faces"] = faces;
  state.SetLabel(name);
}

void BM_LoadLargestKitModel(benchmark::State& state) { Load(state, LargestKitModel(), PLACE); }

void BM_LoadWeldedGrid(benchmark::State& state) {
  Load(state, "grid" + std::to_string(state.range(0)) + ".3ds", WELD);
}

void BM_TerrainBuildFull(benchmark::State& state) {
  MemPoolInit();
  MeshPoolAllocVertices(MESH_POOL_VERTICES);
  MeshPoolAllocFaces(MESH_POOL_FACES);
  // 14 x 14 corners at 10 subdivisions: 131 x 131 vertices, 33800 faces.
  datakit::TerrainSpec spec = datakit::TerrainHills(14, 14, 10, 1);
  TerrainDesc d{};
  d.columns = spec.columns;
  d.rows = spec.rows;
  d.subdivisions = spec.subdivisions;
  d.heights = spec.heights.data();
  d.roughness = spec.roughness.data();
  d.spacing = spec.spacing;
  for (auto _ : state) {
    if (!TerrainBuild(&d)) {
      state.SkipWithError("terrain refused");
      return;
    }
    benchmark::DoNotOptimize(TerrainHeightAt(100.0f, 100.0f));
  }
  state.counters["faces"] = gMesh.faceCount;
}

}  // namespace

BENCHMARK(BM_LoadLargestKitModel)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadWeldedGrid)->Arg(8)->Arg(16)->Arg(32)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TerrainBuildFull)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
