// The launcher's built-in texts, one set per language edition (UTF-8).
#pragma once
#include "platform/edition.h"

enum LauncherTextId {
  LAUNCHER_TEXT_GO,             // push button 1012
  LAUNCHER_TEXT_CANCEL,         // push button 1016
  LAUNCHER_TEXT_API_GROUP,      // group box 1017
  LAUNCHER_TEXT_GLIDE,          // radio button 1007
  LAUNCHER_TEXT_D3D,            // radio button 1008
  LAUNCHER_TEXT_OPTIONS_GROUP,  // group box 1013
  LAUNCHER_TEXT_DITHERING,      // check box 1009
  LAUNCHER_TEXT_FILTERING,      // check box 1010
  LAUNCHER_TEXT_EXIT,           // the button of the machine-check message
  LAUNCHER_TEXT_NO_VIDEO,       // the machine cannot show a window
  LAUNCHER_TEXT_NO_OPENGL,      // it shows windows but has no OpenGL
  LAUNCHER_TEXT_START_FAILED,   // %s: the program that did not start
  LAUNCHER_TEXT_COUNT
};

// The dialog's caption, the same in every edition.
constexpr const char* LAUNCHER_CAPTION = "Torvane";

const char* LauncherTextFor(Edition edition, LauncherTextId id);
inline const char* LauncherText(LauncherTextId id) { return LauncherTextFor(LAUNCHER_EDITION, id); }
