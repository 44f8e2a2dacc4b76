// The kit's desert attract demo, headless at 640 x 480: one demo frame (the
// simulation step, the replay camera, the scene, the HUD, the
// picture-in-picture and the panels, from the simulation step to the frame
// clock) over 300 frames that draw the picture-in-picture,
// from the 100th after the start, in a child process pinned to one core.
// Prints the median and 95th percentile in milliseconds. Target: a median of
// 6 ms; the frame budget is 25 ms.
#include <benchmark/benchmark.h>
#include <sched.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/support/bench_common.h"
#include "frontend/frontend.h"
#include "hal/window.h"
#include "presentation/replay.h"
#include "race/race.h"
#include "shell/game.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int WARM_FRAMES = 100;
constexpr int MEASURED_FRAMES = 300;
constexpr const char* OPEN_SCRIPT = "f4294967295 end\n";

struct Measure {
  Clock::time_point frameStart;
  bool inset;
  int framesSinceStart;
  std::vector<double> samples;
  std::string out;
};
Measure gMeasure;

void SaveAndLeave() {
  std::FILE* f = std::fopen(gMeasure.out.c_str(), "wb");
  if (!f) std::_Exit(3);
  std::fwrite(gMeasure.samples.data(), sizeof(double), gMeasure.samples.size(), f);
  std::fclose(f);
  std::_Exit(0);
}

}  // namespace

extern "C" {
void __real__Z13RaceLogicStepv();
void __real__Z14RaceFrameClockv();

void __wrap__Z13RaceLogicStepv() {
  gMeasure.inset = gReplayView.insetShown && gOptions.detail[3];
  gMeasure.frameStart = Clock::now();
  __real__Z13RaceLogicStepv();
}

void __wrap__Z14RaceFrameClockv() {
  const double ms = std::chrono::duration<double, std::milli>(Clock::now() - gMeasure.frameStart).count();
  __real__Z14RaceFrameClockv();
  if (!gRace.raceStarted || ++gMeasure.framesSinceStart <= WARM_FRAMES || !gMeasure.inset) return;
  gMeasure.samples.push_back(ms);
  if (static_cast<int>(gMeasure.samples.size()) == MEASURED_FRAMES) SaveAndLeave();
}
}

namespace {

std::vector<double> RunDemo(const std::string& data) {
  const std::string out = data + "/../demo.samples";
  std::filesystem::remove(out);
  const pid_t child = fork();
  if (child == 0) {
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(sched_getcpu(), &one);
    sched_setaffinity(0, sizeof one, &one);
    if (chdir(data.c_str()) != 0) std::_Exit(4);
    setenv("TORVANE_HEADLESS", "1", 1);
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    setenv("TORVANE_TEST_RACE", "demo=1 display=2", 1);
    unsetenv("TORVANE_SCRIPT");
    unsetenv("TORVANE_TRACE");
    gMeasure.out = out;
    std::string error;
    if (!HalInitFromEnv(&error) || !HalScriptLoad(OPEN_SCRIPT, &error)) std::_Exit(5);
    WinMain(1, 0, "", 1);
    std::_Exit(6);  // the demo ended before its frames were measured
  }
  int status = 0;
  waitpid(child, &status, 0);
  std::vector<double> samples(MEASURED_FRAMES);
  std::FILE* f = std::fopen(out.c_str(), "rb");
  if (!f) return {};
  const size_t n = std::fread(samples.data(), sizeof(double), samples.size(), f);
  std::fclose(f);
  samples.resize(n);
  return samples;
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  char pattern[] = "/tmp/bench-replay-XXXXXX";
  const char* root = mkdtemp(pattern);
  if (!root) return 1;
  const std::string data = std::string(root) + "/data";
  std::filesystem::create_directories(data);
  if (std::system(("'" DATAKIT_PATH "' '" + data + "' >/dev/null").c_str()) != 0) return 1;
  const std::vector<double> samples = RunDemo(data);
  std::filesystem::remove_all(root);
  if (samples.size() != MEASURED_FRAMES) {
    std::fprintf(stderr, "bench_replay: the demo did not draw %d frames with the inset\n", MEASURED_FRAMES);
    return 1;
  }
  benchmark::RegisterBenchmark("BM_AttractFrameWithInset",
                               [samples](benchmark::State& state) {
                                 size_t i = 0;
                                 for (auto _ : state) state.SetIterationTime(samples[i++ % samples.size()] / 1000.0);
                               })
      ->UseManualTime()
      ->Iterations(static_cast<int64_t>(samples.size()))
      ->Unit(benchmark::kMillisecond);
  benchmark::RunSpecifiedBenchmarks();
  std::printf("attract frame with inset: median %.3f ms, p95 %.3f ms\n", BenchPercentile(samples, 0.5),
              BenchPercentile(samples, 0.95));
  benchmark::Shutdown();
  return 0;
}
