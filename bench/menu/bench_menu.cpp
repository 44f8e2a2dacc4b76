// One frame of the main menu page at 640 x 480 through the software
// accelerator: the background picture, the two drums of 13 rings each, the
// drum arrows and push buttons, the hint, the icon bar and the pointer, and
// the swap; on the virtual clock, so the frame clock's 25 ms wait takes no
// time. Reported in milliseconds a frame. The frame budget is 25 ms.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "bench/support/bench_common.h"
#include "frontend/frontend.h"
#include "frontend/menu_drum.h"
#include "frontend/menu_icons.h"
#include "frontend/menu_items.h"
#include "frontend/menu_main.h"
#include "frontend/menu_models.h"
#include "frontend/menu_view.h"
#include "platform/pak.h"
#include "shell/game.h"
#include "tools/datakit/lib/menu_kit.h"

namespace {

bool OpenMainPage(const std::string& folder) {
  std::string error;
  if (!datakit::WriteLooseFiles(datakit::MenuArchiveFiles(), folder, &error) ||
      !datakit::WriteLooseFiles(datakit::MenuLooseFiles(), folder, &error) || chdir(folder.c_str()) != 0)
    return false;
  if (!BenchOpenView()) return false;
  HalClockUseVirtual(0, 1);
  PakReset();
  gRace.timeStep = 1.0f;
  gScores.unlockedCount = 3;
  gOptions.detailSetting = 0;
  GameApplyDetailLevel();
  MenuEnterScene();
  RdrSetProjScale(500.0f, 500.0f);
  MenuLoadTextures();
  MenuLoadModels();
  MenuLoadBackground("menu1.qvr");
  MenuRefreshItems(0);
  gMenu.fade = 0.0f;
  return gMenu.background && gMenuModels.button && gMenuDrumRing.faces;
}

void BM_MainPageFrame(benchmark::State& state) {
  for (auto _ : state) MenuDrawMainFrame(0, 0);
}
BENCHMARK(BM_MainPageFrame)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  char pattern[] = "/tmp/bench-menu-XXXXXX";
  const char* root = mkdtemp(pattern);
  if (!root || !OpenMainPage(root)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  std::filesystem::remove_all(root);
  return 0;
}
