// The kit's desert race, headless at 640 x 480, with player 1 under the
// autopilot: RaceFrame and RaceFrameClock (without its wait for the 25 ms
// frame) over 500 frames from the 100th after the start, in one view and in
// split screen, each run in a child process pinned to one core. Prints the
// median and 95th percentile in milliseconds, with the split between the
// simulation step, the scene (everything else the frame draws), the vehicles
// and the HUD. Targets: a median of 4 ms in one view and 7 ms in split screen,
// 0.3 ms for the simulation step; the frame budget is 25 ms.
//
// The same on the kit's highway, whose traffic drives beside the course
// near player 1: a median within 5 ms.
//
// The desert again with its placement array full (900 objects: half in rows
// beside the course, the rest spread over the ground), to the desert's
// targets; a race that loads another count is no run.
//
// Also TrajBuildGrid on 8000 dense points; target 2 ms. And the highway
// traffic's set-up (its paths read from the kit's files, 250 objects placed
// on them); target 20 ms.
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
#include "autopilot_drive.h"
#include "engine3d/angle.h"
#include "hal/window.h"
#include "platform/mem.h"
#include "race/race.h"
#include "race/track_files.h"
#include "race/tracks.h"
#include "race/traffic.h"
#include "race/trajectory.h"
#include "shell/game.h"
#include "tools/datakit/lib/boot_set.h"
#include "tools/datakit/lib/object_kit.h"
#include "tools/datakit/lib/track_kit.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int WARM_FRAMES = 100;
constexpr int MEASURED_FRAMES = 500;
constexpr const char* OPEN_SCRIPT = "f4294967295 end\n";
constexpr size_t FULL_PLACEMENTS = 900;

struct Sample {
  double frame, simulation, scene, vehicles, hud;  // ms
};

struct Measure {
  Clock::time_point simulationStart;
  double raceFrame, simulation, vehicles, hud, wait;
  int framesSinceStart;
  std::vector<Sample> samples;
  std::string out;
  uint32_t lastShown;
  int32_t placements;  // the track must have loaded this many (0: any)
};
Measure gMeasure;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

template <typename F>
double TimeOf(F f) {
  const Clock::time_point t = Clock::now();
  f();
  return Ms(Clock::now() - t);
}

void SaveAndLeave() {
  std::FILE* f = std::fopen(gMeasure.out.c_str(), "wb");
  if (!f) std::_Exit(3);
  std::fwrite(gMeasure.samples.data(), sizeof(Sample), gMeasure.samples.size(), f);
  std::fclose(f);
  std::_Exit(0);
}

void DriveHook() {
  const uint32_t shown = HalFrameCount();
  if (shown == gMeasure.lastShown) return;
  gMeasure.lastShown = shown;
  AutopilotDrive(shown, nullptr);
}

}  // namespace

struct Vehicle;
extern "C" {
void __real__Z9RaceFramev();
void __real__Z14RaceFrameClockv();
float __real__Z12AppFrameWaitv();
void __real__Z16AmbientFrameStepv();
void __real__Z13ViewFrameStepv();
void __real__Z14VehicleDrawAllv();
void __real__Z11HudDrawViewv();
void __real__Z16HudDrawSplitViewP7Vehiclei(Vehicle* vehicle, int32_t view);

void __wrap__Z9RaceFramev() {
  gMeasure.simulation = gMeasure.vehicles = gMeasure.hud = 0.0;
  gMeasure.raceFrame = TimeOf(__real__Z9RaceFramev);
}

void __wrap__Z14RaceFrameClockv() {
  gMeasure.wait = 0.0;
  const double clock = TimeOf(__real__Z14RaceFrameClockv);
  if (!gRace.raceStarted || ++gMeasure.framesSinceStart <= WARM_FRAMES) return;
  if (gMeasure.placements != 0 && gPlacementCount != gMeasure.placements) std::_Exit(7);
  const double frame = gMeasure.raceFrame + clock - gMeasure.wait;
  const double scene = frame - gMeasure.simulation - gMeasure.vehicles - gMeasure.hud;
  gMeasure.samples.push_back({frame, gMeasure.simulation, scene, gMeasure.vehicles, gMeasure.hud});
  if (static_cast<int>(gMeasure.samples.size()) == MEASURED_FRAMES) SaveAndLeave();
}

float __wrap__Z12AppFrameWaitv() {
  const Clock::time_point t = Clock::now();
  const float rate = __real__Z12AppFrameWaitv();
  gMeasure.wait += Ms(Clock::now() - t);
  return rate;
}

void __wrap__Z16AmbientFrameStepv() {
  gMeasure.simulationStart = Clock::now();
  __real__Z16AmbientFrameStepv();
}

void __wrap__Z13ViewFrameStepv() {
  __real__Z13ViewFrameStepv();
  gMeasure.simulation += Ms(Clock::now() - gMeasure.simulationStart);
}

void __wrap__Z14VehicleDrawAllv() { gMeasure.vehicles += TimeOf(__real__Z14VehicleDrawAllv); }
void __wrap__Z11HudDrawViewv() { gMeasure.hud += TimeOf(__real__Z11HudDrawViewv); }
void __wrap__Z16HudDrawSplitViewP7Vehiclei(Vehicle* vehicle, int32_t view) {
  gMeasure.hud += TimeOf([&] { __real__Z16HudDrawSplitViewP7Vehiclei(vehicle, view); });
}
}

namespace {

// The race in a child process: the samples of its measured frames, or none.
std::vector<Sample> RunRace(const std::string& data, const char* name, const char* race, int32_t placements = 0) {
  const std::string out = data + "/../" + name + ".samples";
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
    setenv("TORVANE_TEST_RACE", race, 1);
    unsetenv("TORVANE_SCRIPT");
    unsetenv("TORVANE_TRACE");
    gMeasure.out = out;
    gMeasure.placements = placements;
    std::string error;
    if (!HalInitFromEnv(&error) || !HalScriptLoad(OPEN_SCRIPT, &error)) std::_Exit(5);
    HalAddPollHook(DriveHook);
    WinMain(1, 0, "", 1);
    std::_Exit(6);  // the race ended before its frames were measured
  }
  int status = 0;
  waitpid(child, &status, 0);
  std::vector<Sample> samples(MEASURED_FRAMES);
  std::FILE* f = std::fopen(out.c_str(), "rb");
  if (!f) return {};
  const size_t n = std::fread(samples.data(), sizeof(Sample), samples.size(), f);
  std::fclose(f);
  samples.resize(n);
  return samples;
}

void Report(const char* name, const std::vector<Sample>& samples) {
  const auto column = [&](double Sample::*field) {
    std::vector<double> v;
    for (const Sample& s : samples) v.push_back(s.*field);
    return v;
  };
  std::printf("%-12s %8s %8s\n", name, "median", "p95");
  const struct {
    const char* label;
    double Sample::*field;
  } rows[] = {{"frame", &Sample::frame},   {"simulation", &Sample::simulation}, {"scene", &Sample::scene},
              {"vehicles", &Sample::vehicles}, {"hud", &Sample::hud}};
  for (const auto& r : rows)
    std::printf("  %-10s %8.3f %8.3f ms\n", r.label, BenchPercentile(column(r.field), 0.5), BenchPercentile(column(r.field), 0.95));
}

// One measured frame per iteration, as manual time.
void RegisterFrames(const char* name, const std::vector<Sample>& samples) {
  benchmark::RegisterBenchmark(name,
                               [samples](benchmark::State& state) {
                                 size_t i = 0;
                                 for (auto _ : state) state.SetIterationTime(samples[i++ % samples.size()].frame / 1000.0);
                               })
      ->UseManualTime()
      ->Iterations(static_cast<int64_t>(samples.size()))
      ->Unit(benchmark::kMillisecond);
}

// A 100-point zigzag course of about 89000 units: cut at 8000 dense points.
void BM_TrajBuildGrid(benchmark::State& state) {
  Trajectory& t = gTrajectories[0];
  t.count = 100;
  for (int32_t i = 0; i < 100; ++i) t.points[i] = {i % 2 ? 1850.0f : 1000.0f, 100.0f + 50.0f * static_cast<float>(i)};
  for (auto _ : state) {
    TrajBuildGrid();
    benchmark::DoNotOptimize(gTrajDenseCount);
  }
}
BENCHMARK(BM_TrajBuildGrid)->Unit(benchmark::kMillisecond);

// Run in a folder holding the kit's traffic paths loose.
void BM_TrafficSetup(benchmark::State& state) {
  gRace.trackIndex = TRACK_HIGHWAY;
  for (auto _ : state) {
    TrackObjSetup();
    benchmark::DoNotOptimize(gTrackObjects[TRACK_OBJECTS - 1].pose.x);
  }
  if (!gTrackObjState.placed) state.SkipWithError("no traffic placed");
}
BENCHMARK(BM_TrafficSetup)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  char pattern[] = "/tmp/bench-race-XXXXXX";
  const char* root = mkdtemp(pattern);
  if (!root) return 1;
  const std::string data = std::string(root) + "/data";
  std::filesystem::create_directories(data);
  if (std::system(("'" DATAKIT_PATH "' '" + data + "' >/dev/null").c_str()) != 0) return 1;
  const std::vector<Sample> one = RunRace(data, "one", "display=2");
  const std::vector<Sample> split = RunRace(data, "split", "players=1 display=2");
  const std::vector<Sample> highway = RunRace(data, "highway", "display=2 track=4");
  std::string error;
  if (!datakit::WritePaksWithFilledDesert(data, FULL_PLACEMENTS, &error)) {
    std::fprintf(stderr, "bench_race: %s\n", error.c_str());
    std::filesystem::remove_all(root);
    return 1;
  }
  const auto full = static_cast<int32_t>(FULL_PLACEMENTS);
  const std::vector<Sample> oneFull = RunRace(data, "one_full", "display=2", full);
  const std::vector<Sample> splitFull = RunRace(data, "split_full", "players=1 display=2", full);
  const std::string paths = std::string(root) + "/paths";
  if (!datakit::WriteLooseFiles(datakit::HighwayObjectPathFiles(), paths, &error) || chdir(paths.c_str()) != 0) {
    std::fprintf(stderr, "bench_race: %s\n", error.c_str());
    std::filesystem::remove_all(root);
    return 1;
  }
  MemPoolInit();
  MathBuildTables();
  for (const std::vector<Sample>* run : {&one, &split, &highway, &oneFull, &splitFull})
    if (run->size() != MEASURED_FRAMES) {
      std::fprintf(stderr, "bench_race: a race did not run %d mid-race frames\n", MEASURED_FRAMES);
      std::filesystem::remove_all(root);
      return 1;
    }
  RegisterFrames("BM_RaceFrame/one_view", one);
  RegisterFrames("BM_RaceFrame/split_screen", split);
  RegisterFrames("BM_RaceFrame/highway_traffic", highway);
  RegisterFrames("BM_RaceFrame/one_view_900_objects", oneFull);
  RegisterFrames("BM_RaceFrame/split_screen_900_objects", splitFull);
  benchmark::RunSpecifiedBenchmarks();
  std::filesystem::remove_all(root);
  Report("one view", one);
  Report("split", split);
  Report("highway", highway);
  Report("one view, 900 objects", oneFull);
  Report("split, 900 objects", splitFull);
  benchmark::Shutdown();
  return 0;
}
