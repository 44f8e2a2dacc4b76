// The launcher's message boxes: on standard error always, and in a box of
// its own when a display is there to show one.
#pragma once

void LauncherMessageBox(const char* caption, const char* text, const char* button);
