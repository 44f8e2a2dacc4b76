// The settings dialog drawn with Dear ImGui on OpenGL: every control at the
// place the dialog's layout gives it, in dialog units turned into pixels by
// one fixed scale. Input comes from hal/window's queue, so a script can click
// it headless, where it draws off screen.
#pragma once
#include <cstdint>
#include <vector>

#include "launcher/dialog_model.h"

constexpr int32_t LAUNCHER_DIALOG_UNIT_PX = 2;
constexpr int32_t LAUNCHER_DIALOG_WIDTH = 272 * LAUNCHER_DIALOG_UNIT_PX;
constexpr int32_t LAUNCHER_DIALOG_HEIGHT = 230 * LAUNCHER_DIALOG_UNIT_PX;

struct LauncherRect {
  int32_t x, y, width, height;  // pixels
};
// Where a control is drawn.
LauncherRect LauncherControlRect(int32_t controlId);

// Starts the dialog and runs it until it ends; its result (10 or -1). A
// dialog that cannot be shown counts as cancelled.
int32_t LauncherRunDialog(LauncherDialog* dialog);
// One frame of the dialog as it stands, off screen: RGB rows from the top,
// LAUNCHER_DIALOG_WIDTH x LAUNCHER_DIALOG_HEIGHT. Empty when it cannot be drawn.
std::vector<uint8_t> LauncherDrawDialogPicture(LauncherDialog* dialog);
