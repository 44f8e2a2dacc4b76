#include "menu_frames.h"

#include "menu_kit_folder.h"

#include <unistd.h>

#include "backend_common/display.h"
#include "backend_common/texture.h"
#include "engine3d/mesh.h"
#include "frontend/frontend.h"
#include "frontend/menu_drum.h"
#include "frontend/menu_icons.h"
#include "frontend/menu_items.h"
#include "frontend/menu_models.h"
#include "frontend/menu_view.h"
#include "platform/mem.h"
#include "platform/pak.h"
#include "race/race.h"
#include "tools/datakit/lib/menu_kit.h"

namespace {
std::string gHome;

constexpr int32_t CATEGORY_SAVES = 5, CATEGORY_TRACK = 0;

void FrameBegin() {
  RdrClear(0, 0, 0);
  MenuDrawBackground();
}
}  // namespace

std::string MenuFramePath(const char* name) { return std::string(MENU_FRAMES_SOURCE_DIR) + "/" + name + ".png"; }
std::string MenuFrameActualPath(const char* name) {
  return std::string(MENU_FRAMES_BINARY_DIR) + "/" + name + "_actual.png";
}

bool MenuFramesEnter(const std::string& folder) {
  std::string error;
  if (!MenuKitEnterFolder(folder, &gHome, &error)) return false;
  PakReset();
  MeshPoolAllocVertices(MESH_POOL_VERTICES);
  MeshPoolAllocFaces(MESH_POOL_FACES);
  TexMemReset();
  MenuLoadTextures();
  MenuBuildDrumRing();
  MenuLoadModels();
  MenuLoadBackground("menu1.qvr");
  RdrFogOff();
  RdrLightingOn();
  MenuSetLight();
  // The menus' projection: 400 x 640 / 512 and 400 x 480 / 384.
  RdrSetProjScale(500.0f, 500.0f);
  MenuSetCamera();
  return true;
}

void MenuFramesLeave() {
  MenuFreeDrumRing();
  MenuFreeModels();
  if (gMenu.background) MemFree(gMenu.background);
  gMenu.background = nullptr;
  if (!gHome.empty()) (void)::chdir(gHome.c_str());
}

bool MenuFramesRollDrums(int frames) {
  gMenu.category = CATEGORY_SAVES;
  gMenu.saveValue = 0;
  MenuShowLabels();
  gMenu.category = CATEGORY_TRACK;
  gRace.trackIndex = 0;
  MenuShowValueLabel();
  gRace.timeStep = 1.0f;
  for (int frame = 0; frame < frames; ++frame) {
    FrameBegin();
    MenuDrawDrum(&gMenuCategoryDrum);
    MenuDrawDrum(&gMenuValueDrum);
  }
  for (const MenuDrum* drum : {&gMenuCategoryDrum, &gMenuValueDrum})
    for (const MenuDrumChar& c : drum->chars)
      if (c.position != c.target) return false;
  return true;
}

void MenuFramesIconBar(int32_t slot) {
  // The choices the game starts with: the desert, arcade, one player,
  // 640 x 480 at the highest detail.
  gRace.trackIndex = 0;
  gRace.gameMode = 1;
  gRace.playersMode = 0;
  gOptions.hardwarePreset = 2;
  gOptions.detailSetting = 0;
  FrameBegin();
  gMenu.cursorX = 97 + 60 * slot + 20;
  gMenu.cursorY = 40;
  gMenu.pressEdge = 0;
  MenuIconBar();
}

std::vector<uint8_t> MenuFrameCut(const std::vector<uint8_t>& screen, const MenuFrameRect& rect) {
  constexpr int32_t WIDTH = 640;
  std::vector<uint8_t> out;
  if (screen.size() != static_cast<size_t>(WIDTH) * 480 * 3) return out;
  for (int32_t y = rect.y; y < rect.y + rect.h; ++y) {
    const auto row = screen.begin() + (static_cast<std::ptrdiff_t>(y) * WIDTH + rect.x) * 3;
    out.insert(out.end(), row, row + static_cast<std::ptrdiff_t>(rect.w) * 3);
  }
  return out;
}
