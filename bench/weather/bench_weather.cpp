// One view of the weather at 640 x 480 on the software back end, on one
// core: full rain (1000 streaks), snow (1000 flakes, near ones as quads and
// far ones as points) and the 999 stars of the night sky. The time step is 0
// and the second view is drawn, so nothing falls or ages and every iteration
// draws the same. Target: 1 ms each.
#include <benchmark/benchmark.h>

#include "bench/support/bench_common.h"

#include "backend_common/display.h"
#include "engine3d/angle.h"
#include "engine3d/camera.h"
#include "engine3d/random.h"
#include "frontend/frontend.h"
#include "hal/clock.h"
#include "hal/window.h"
#include "presentation/fx.h"
#include "presentation/presentation.h"
#include "presentation/weather.h"
#include "race/race.h"
#include "race/tracks.h"

namespace {

Camera gBenchCamera{0.0f, 30.0f, 0.0f, 0.0f, 0.0f, 0.0f};

bool Open() {
  if (!BenchOpenView()) return false;
  gRace.timeStep = 0.0f;
  gRace.waterLevel = NO_WATER_LEVEL;
  gRace.viewTop = 0;
  gRace.viewHeight = gRdrState.screenHeight;
  gRace.viewIndex = 1;
  for (int i = 0; i < 3; ++i) gRace.clearColour[i] = 30 + 10 * i;
  gOptions = Options{};
  gOptions.detail[3] = 1;
  RdrSetDepthRange(5, 1700);
  CamSet(&gBenchCamera);
  MatViewFromCamera();
  return true;
}

// The second view's particles spread over the view, from 20 to 1700 ahead.
void Spread(float height) {
  RandSetIndex(0);
  for (int i = 0; i < WEATHER_PARTICLES; ++i) {
    Vertex& v = gWeatherParticles[1][i];
    v = Vertex{};
    const float z = 20.0f + static_cast<float>(i % 100) * 16.8f;
    v.x = static_cast<float>(RandNext() % 1000) * z / 1000.0f;
    v.y = height + static_cast<float>(RandNext() & 511) * z / 1000.0f;
    v.z = z;
  }
}

void BM_WeatherFullRain(benchmark::State& state) {
  Spread(10.0f);
  gWeather = WeatherState{};
  gWeather.rainIntensity = 2000.0f;
  gWeather.rising = 1;
  gWeather.target = 3000.0f;
  for (auto _ : state) WeatherStepRain();
}
BENCHMARK(BM_WeatherFullRain)->Unit(benchmark::kMillisecond);

void BM_WeatherSnow(benchmark::State& state) {
  Spread(10.0f);
  for (auto _ : state) WeatherStepSnowfall();
}
BENCHMARK(BM_WeatherSnow)->Unit(benchmark::kMillisecond);

void BM_WeatherStarField(benchmark::State& state) {
  gRace.trackIndex = TRACK_LOOPING;
  WeatherBuildSkyPoints();
  Camera sky{8000.0f, 300.0f, 4000.0f, 0.0f, 0.0f, 0.0f};
  CamSet(&sky);
  for (auto _ : state) WeatherDrawSkyPoints();
  CamSet(&gBenchCamera);
}
BENCHMARK(BM_WeatherStarField)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (!Open()) return 1;
  benchmark::RunSpecifiedBenchmarks();
  RdrClose();
  benchmark::Shutdown();
  return 0;
}
