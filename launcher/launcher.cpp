#include "launcher/launcher.h"

#include <cstdio>
#include <string>

#include "launcher/check.h"
#include "launcher/devices.h"
#include "launcher/dialog_view.h"
#include "launcher/message.h"
#include "launcher/start.h"
#include "launcher/texts.h"
#include "launcher/video.h"

LauncherState gLauncher;

namespace {
LauncherDialogRunner gRunner = nullptr;
}  // namespace

void LauncherSetDialogRunner(LauncherDialogRunner runner) { gRunner = runner; }

int LauncherStart() {
  gLauncher = LauncherState{};
  LauncherReadConfig(&gLauncher.config);
  // A refused machine ends the launcher with a failure, so a script or a
  // desktop that started it can tell.
  if (!LauncherCheckDirectX()) return LAUNCHER_EXIT_REFUSED;
  gLauncher.glideBoards = LauncherGlideBoardCount();

  LauncherDialog dialog;
  dialog.config = &gLauncher.config;
  dialog.drivers = &gLauncher.drivers;
  dialog.glideBoards = gLauncher.glideBoards;
  dialog.enumerate = LauncherEnumerateDisplayDevices;
  gLauncher.dialogResult = gRunner ? gRunner(&dialog) : LauncherRunDialog(&dialog);

  // Without a window or a display the videos are left out, and the game still starts.
  if (gLauncher.dialogResult != LAUNCHER_RESULT_CANCEL && VideoCreateWindow() && VideoOpenDisplay()) VideoPlayAll();

  if (gLauncher.dialogResult == LAUNCHER_RESULT_GO) {
    std::string error;
    gLauncher.gameStarted = LauncherStartGame(gLauncher.config.renderer, &error);
    if (!gLauncher.gameStarted) {
      std::fprintf(stderr, "launcher: %s\n", error.c_str());
      char text[256];
      std::snprintf(text, sizeof text, LauncherText(LAUNCHER_TEXT_START_FAILED),
                    LauncherProgramName(gLauncher.config.renderer));
      LauncherMessageBox(LAUNCHER_CAPTION, text, LauncherText(LAUNCHER_TEXT_EXIT));
    }
  }
  LauncherFreeDrivers(&gLauncher.drivers);
  return 0;
}
