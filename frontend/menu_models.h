// The menu's 3D models: the push button with its pressed frame and the drum
// arrows, and the press animation state of each button.
#pragma once
#include <cstdint>

#include "engine3d/mesh.h"

struct MenuButtonState {
  float angle, start, target, time;
};
static_assert(sizeof(MenuButtonState) == 16);

// Category arrows, value arrows, quit, start, enter, resume and one more.
constexpr int MENU_BUTTON_COUNT = 7;
constexpr float MENU_BUTTON_REST_ANGLE = -256.0f;
extern MenuButtonState gMenuButtons[MENU_BUTTON_COUNT];

struct MenuModels {
  MeshHeader* arrows;        // bitos.3ds
  MeshHeader* button;        // boutr01.3ds
  MeshFrameSet* buttonFrames;  // boutr01.3ds and boutr02.3ds, centred
};
extern MenuModels gMenuModels;

// Loads the models (a model that does not load stays null) and puts every
// button at rest.
void MenuLoadModels();
void MenuFreeModels();
