// The kit-made scene of the scene tests drawn at 640x480 for 200 frames from
// the camera flying its loop, through the OpenGL back end (headless, on the
// driver's default thread count unless LP_NUM_THREADS says otherwise); each
// frame is waited for until OpenGL has drawn it. Counters per repetition:
// "median_ms" (the median frame), "faces" (faces handed to the device per
// frame), "gl_draws" and "gl_states" (OpenGL draw calls and state changes per
// frame). A summary of each run goes to stderr.
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
#include "hal/d3d/d3d.h"
#include "kit_scene.h"

namespace {
int64_t gDeviceDraws = 0;
}  // namespace

extern "C" {
bool __real__Z19HalD3dDrawPrimitivej12HalPrimitivePK11HalTLVertexij(HalObject, HalPrimitive, const HalTLVertex*,
                                                                     int32_t, uint32_t);
bool __wrap__Z19HalD3dDrawPrimitivej12HalPrimitivePK11HalTLVertexij(HalObject device, HalPrimitive primitive,
                                                                     const HalTLVertex* vertices, int32_t count,
                                                                     uint32_t flags) {
  ++gDeviceDraws;
  return __real__Z19HalD3dDrawPrimitivej12HalPrimitivePK11HalTLVertexij(device, primitive, vertices, count, flags);
}
}

namespace {

using Clock = std::chrono::steady_clock;
constexpr int FRAMES = 200;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }


void BM_SceneFrameD3d(benchmark::State& state) {
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("bench_scene_d3d_" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  const std::filesystem::path home = std::filesystem::current_path();
  std::filesystem::current_path(folder);
  KitScene scene{};
  std::string error;
  if (!KitSceneOpen(&scene, folder.string(), &error)) {
    state.SkipWithError(error.c_str());
  } else {
    std::vector<double> frames;
    frames.reserve(FRAMES);
    int64_t faces = 0, draws = 0, states = 0;
    for (auto _ : state) {
      frames.clear();
      faces = 0;
      HalD3dFinish();
      const int64_t draws0 = HalD3dGlDrawCount(), states0 = HalD3dGlStateCount();
      for (int f = 0; f < FRAMES; ++f) {
        gDeviceDraws = 0;
        const Clock::time_point start = Clock::now();
        KitSceneDraw(scene, KitSceneFlightCamera(f, FRAMES));
        HalD3dFinish();
        frames.push_back(Ms(Clock::now() - start));
        faces += gDeviceDraws;
      }
      draws = HalD3dGlDrawCount() - draws0;
      states = HalD3dGlStateCount() - states0;
    }
    std::vector<double> sorted = frames;
    std::sort(sorted.begin(), sorted.end());
    const double median = sorted[sorted.size() / 2];
    state.counters["median_ms"] = median;
    state.counters["faces"] = static_cast<double>(faces) / FRAMES;
    state.counters["gl_draws"] = static_cast<double>(draws) / FRAMES;
    state.counters["gl_states"] = static_cast<double>(states) / FRAMES;
    std::fprintf(stderr,
                 "bench_scene_d3d: %d frames at 640x480 on %s: median %.3f ms; faces %.1f, OpenGL draws %.1f, "
                 "state changes %.1f a frame; worst %.3f ms\n",
                 FRAMES, HalD3dRendererName(), median, static_cast<double>(faces) / FRAMES,
                 static_cast<double>(draws) / FRAMES, static_cast<double>(states) / FRAMES, sorted.back());
  }
  KitSceneFree(&scene);
  RdrClose();
  std::filesystem::current_path(home);
  std::filesystem::remove_all(folder);
}
BENCHMARK(BM_SceneFrameD3d)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(5);

}  // namespace

BENCHMARK_MAIN();
