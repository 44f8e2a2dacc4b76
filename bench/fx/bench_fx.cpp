// One view's effect passes (tyre marks, then particles) with every pool full
// and with every pool empty, at 640 x 480 on the software back end. The
// instances are drawn in the second view, so nothing ages and every
// iteration draws the same. Targets: 3 ms full, 0.05 ms empty.
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
#include "race/assets.h"
#include "race/race.h"
#include "race/tracks.h"

namespace {

Sprite gBenchSprites[FX_SPRITES];
Camera gBenchCamera{0.0f, 30.0f, 0.0f, 980.0f, 0.0f, 0.0f};

bool Open() {
  if (!BenchOpenView()) return false;
  gRace.timeStep = 1.0f;
  gRace.waterLevel = -5.0f;
  gRace.trackIndex = TRACK_BOUE;
  gRace.particleAlphaA = 120;
  gOptions = Options{};
  gOptions.detail[3] = 1;
  for (int i = 0; i < FX_SPRITES; ++i) {
    gBenchSprites[i] = Sprite{0x04000000u, 6.0f, 6.0f, 0, 0, 31, 31};
    gFxSprites[i] = &gBenchSprites[i];
  }
  DecorBuildRippleRing();
  CamSet(&gBenchCamera);
  MatViewFromCamera();
  return true;
}

// Everything in front of the camera, spread over the view.
void Fill() {
  FxClearPools();
  RandSetIndex(0);
  for (int i = 0; i < FX_SPRITE_POOL; ++i)
    FxSpawnSmokePuff(static_cast<float>(i % 30 - 15) * 8.0f, 5.0f, 60.0f + static_cast<float>(i / 30) * 10.0f, 4.0f);
  for (int i = 0; i < FX_PUFF_POOL; ++i) {
    DrawSlot s{};
    s.x = static_cast<float>(i % 20 - 10) * 12.0f;
    s.y = 10.0f;
    s.z = 80.0f + static_cast<float>(i / 20) * 20.0f;
    FxSpawnSlotExplosion(&s);
  }
  for (int i = 0; i < FX_PIECE_POOL; ++i)
    FxAllocPiece(&gFxDropOwner, i & 1 ? FxStepDropNear : FxStepDropFar, static_cast<float>(i % 40 - 20) * 5.0f, 2.0f,
                 50.0f + static_cast<float>(i / 40) * 10.0f);
  for (int i = 0; i < TYRE_MARK_ENTRIES; ++i) {
    TyreMark& m = gTyreMarks[i];
    m.inUse = 1;
    m.alpha = 50.0f;
    const float x = static_cast<float>(i % 20 - 10) * 10.0f, z = 40.0f + static_cast<float>(i / 20) * 10.0f;
    const float corners[4][2] = {{x - 2, z}, {x + 2, z}, {x + 2, z + 8}, {x - 2, z + 8}};
    for (int k = 0; k < 4; ++k) {
      m.corners[k][0] = corners[k][0];
      m.corners[k][1] = 0.0f;
      m.corners[k][2] = corners[k][1];
    }
  }
}

void Passes(benchmark::State& state) {
  gRace.viewIndex = 1;
  for (auto _ : state) {
    FxDrawTyreMarks();
    FxDrawParticles();
  }
}

void BM_FxPassesFullPools(benchmark::State& state) {
  Fill();
  Passes(state);
}
BENCHMARK(BM_FxPassesFullPools)->Unit(benchmark::kMillisecond);

void BM_FxPassesEmptyPools(benchmark::State& state) {
  FxClearPools();
  for (TyreMark& m : gTyreMarks) m.inUse = 0;
  Passes(state);
}
BENCHMARK(BM_FxPassesEmptyPools)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (!Open()) return 1;
  benchmark::RunSpecifiedBenchmarks();
  RdrClose();
  benchmark::Shutdown();
  return 0;
}
