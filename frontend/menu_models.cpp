#include "frontend/menu_models.h"

#include "engine3d/instance.h"
#include "engine3d/model3ds.h"

MenuButtonState gMenuButtons[MENU_BUTTON_COUNT];
MenuModels gMenuModels;

namespace {
// The kit's models are drawn in screen units: the menu camera sees 1 unit as
// 1 pixel at depth 0, so a 50-pixel button is a 50-unit model. The modeller's
// z up becomes y up, as for every model of the game.
constexpr MeshPlacement MENU_PLACEMENT = {0, 1.0f, 0.0f, {1, 0, 0, 0, 0, 1, 0, 1, 0}, 1, 1};
constexpr const char* BUTTON_FRAMES[] = {"boutr01.3ds", "boutr02.3ds", nullptr};
}  // namespace

void MenuLoadModels() {
  MenuFreeModels();
  gMenuModels.arrows = MeshLoad3ds("bitos.3ds", "", &MENU_PLACEMENT);
  if (gMenuModels.arrows) MeshRestOnGround(gMenuModels.arrows);
  gMenuModels.button = MeshLoad3ds("boutr01.3ds", "", &MENU_PLACEMENT);
  if (gMenuModels.button) {
    MeshRestOnGround(gMenuModels.button);
    gMenuModels.buttonFrames = MeshLoadFrames(BUTTON_FRAMES, gMenuModels.button, &MENU_PLACEMENT);
    if (gMenuModels.buttonFrames) MeshFramesCentre(gMenuModels.buttonFrames, gMenuModels.button);
  }
  for (MenuButtonState& b : gMenuButtons) b = {MENU_BUTTON_REST_ANGLE, MENU_BUTTON_REST_ANGLE, MENU_BUTTON_REST_ANGLE, 0.0f};
}

void MenuFreeModels() {
  if (gMenuModels.buttonFrames) MeshFramesFree(gMenuModels.buttonFrames);
  if (gMenuModels.button) MeshFree(gMenuModels.button);
  if (gMenuModels.arrows) MeshFree(gMenuModels.arrows);
  gMenuModels = {};
}
