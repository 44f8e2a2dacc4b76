// The launcher's run: the settings file, the machine check, the dialog, the
// logo videos and the start of the chosen game.
#pragma once
#include <cstdint>

#include "launcher/config.h"
#include "launcher/dialog_model.h"

// Written by LauncherStart; tests read them afterwards.
struct LauncherState {
  LauncherConfig config;
  LauncherDriverList drivers;
  int32_t glideBoards = 0;
  int32_t dialogResult = LAUNCHER_RESULT_CANCEL;
  bool gameStarted = false;
};
extern LauncherState gLauncher;

// Tests replace the dialog's run (null: the dialog on screen).
using LauncherDialogRunner = int32_t (*)(LauncherDialog* dialog);
void LauncherSetDialogRunner(LauncherDialogRunner runner);

// The program's exit code when the machine cannot show the dialog.
constexpr int LAUNCHER_EXIT_REFUSED = 1;

// Returns 0, or LAUNCHER_EXIT_REFUSED when the machine check refused (the
// message was shown and nothing else happened).
int LauncherStart();
