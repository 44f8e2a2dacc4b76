// The kit-made scene of the scene tests (terrain with water, placed models,
// billboard bushes, sun glow and lens flare, fog) drawn at 640x480 for 200
// frames from a camera flying a loop around it, as the race draws one view.
// Counters per repetition: "median_ms" (the median frame), "scene_ms" and
// "raster_ms" (that frame's split between the scene pass and the
// accelerator's draw calls), "clear_ms" (the buffer clear, part of the
// accelerator's share), "faces" (triangles and polygons drawn a frame). A summary of each run goes to stderr.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "backend_common/display.h"
#include "engine3d/grid.h"
#include "engine3d/mesh.h"
#include "hal/gfx/gfx.h"
#include "kit_scene.h"

namespace {

using Clock = std::chrono::steady_clock;
Clock::duration gRasterTime{};
Clock::duration gClearTime{};
int64_t gFaceDraws = 0;  // triangles and polygons handed to the accelerator

struct Timer {
  explicit Timer(Clock::duration* sink) : sink_(sink) {}
  ~Timer() { *sink_ += Clock::now() - start_; }
  Clock::duration* sink_;
  Clock::time_point start_ = Clock::now();
};

}  // namespace

extern "C" {
void __real__Z15GfxDrawTrianglePK9GfxVertexS1_S1_(const GfxVertex*, const GfxVertex*, const GfxVertex*);
void __real__Z23GfxDrawTriangleWithClipPK9GfxVertexS1_S1_(const GfxVertex*, const GfxVertex*, const GfxVertex*);
void __real__Z24GfxDrawPolygonVertexListiPK9GfxVertex(int32_t, const GfxVertex*);
void __real__Z32GfxDrawPolygonVertexListWithClipiPK9GfxVertex(int32_t, const GfxVertex*);
void __real__Z11GfxDrawLinePK9GfxVertexS1_(const GfxVertex*, const GfxVertex*);
void __real__Z14GfxBufferClearjht(uint32_t, uint8_t, uint16_t);
void __wrap__Z15GfxDrawTrianglePK9GfxVertexS1_S1_(const GfxVertex* a, const GfxVertex* b, const GfxVertex* c) {
  Timer t(&gRasterTime);
  ++gFaceDraws;
  __real__Z15GfxDrawTrianglePK9GfxVertexS1_S1_(a, b, c);
}
void __wrap__Z23GfxDrawTriangleWithClipPK9GfxVertexS1_S1_(const GfxVertex* a, const GfxVertex* b,
                                                           const GfxVertex* c) {
  Timer t(&gRasterTime);
  ++gFaceDraws;
  __real__Z23GfxDrawTriangleWithClipPK9GfxVertexS1_S1_(a, b, c);
}
void __wrap__Z24GfxDrawPolygonVertexListiPK9GfxVertex(int32_t n, const GfxVertex* list) {
  Timer t(&gRasterTime);
  ++gFaceDraws;
  __real__Z24GfxDrawPolygonVertexListiPK9GfxVertex(n, list);
}
void __wrap__Z32GfxDrawPolygonVertexListWithClipiPK9GfxVertex(int32_t n, const GfxVertex* list) {
  Timer t(&gRasterTime);
  ++gFaceDraws;
  __real__Z32GfxDrawPolygonVertexListWithClipiPK9GfxVertex(n, list);
}
void __wrap__Z11GfxDrawLinePK9GfxVertexS1_(const GfxVertex* a, const GfxVertex* b) {
  Timer t(&gRasterTime);
  __real__Z11GfxDrawLinePK9GfxVertexS1_(a, b);
}
void __wrap__Z14GfxBufferClearjht(uint32_t colour, uint8_t alpha, uint16_t depth) {
  Timer t(&gClearTime);
  __real__Z14GfxBufferClearjht(colour, alpha, depth);
}
}

namespace {

constexpr int FRAMES = 200;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

struct FrameTimes {
  double total, raster, clear;
};


void BM_SceneFrame(benchmark::State& state) {
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("bench_scene_" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  const std::filesystem::path home = std::filesystem::current_path();
  std::filesystem::current_path(folder);
  KitScene scene{};
  std::string error;
  if (!KitSceneOpen(&scene, folder.string(), &error)) {
    state.SkipWithError(error.c_str());
  } else {
    std::vector<FrameTimes> frames;
    frames.reserve(FRAMES);
    for (auto _ : state) {
      frames.clear();
      gFaceDraws = 0;
      for (int f = 0; f < FRAMES; ++f) {
        gRasterTime = {};
        gClearTime = {};
        const Clock::time_point start = Clock::now();
        KitSceneDraw(scene, KitSceneFlightCamera(f, FRAMES));
        frames.push_back({Ms(Clock::now() - start), Ms(gRasterTime), Ms(gClearTime)});
      }
    }
    std::vector<FrameTimes> sorted = frames;
    std::sort(sorted.begin(), sorted.end(), [](const FrameTimes& a, const FrameTimes& b) { return a.total < b.total; });
    const FrameTimes& median = sorted[sorted.size() / 2];
    double sumTotal = 0, sumRaster = 0, sumClear = 0;
    for (const FrameTimes& t : frames) {
      sumTotal += t.total;
      sumRaster += t.raster;
      sumClear += t.clear;
    }
    const double n = static_cast<double>(frames.size());
    state.counters["median_ms"] = median.total;
    state.counters["scene_ms"] = median.total - median.raster - median.clear;
    state.counters["raster_ms"] = median.raster;
    state.counters["clear_ms"] = median.clear;
    state.counters["faces"] = static_cast<double>(gFaceDraws) / n;
    std::fprintf(stderr,
                 "bench_scene: %d frames at 640x480 (%s loops): median %.3f ms (scene pass %.3f, rasterizer %.3f, "
                 "clear %.3f); mean %.3f ms (scene pass %.3f, rasterizer %.3f, clear %.3f); worst %.3f ms; faces %.1f a frame\n",
                 FRAMES, GfxLoopsName(), median.total, median.total - median.raster - median.clear, median.raster,
                 median.clear, sumTotal / n, (sumTotal - sumRaster - sumClear) / n, sumRaster / n, sumClear / n,
                 sorted.back().total, static_cast<double>(gFaceDraws) / n);
  }
  KitSceneFree(&scene);
  RdrClose();
  std::filesystem::current_path(home);
  std::filesystem::remove_all(folder);
}
BENCHMARK(BM_SceneFrame)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(5);

}  // namespace

BENCHMARK_MAIN();
