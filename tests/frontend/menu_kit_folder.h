// Writes the kit's menu files into a folder and makes it the working folder,
// as the game finds its data where it starts. The page fixture, the menu
// model tests and the reference frames share it.
#pragma once
#include <unistd.h>

#include <string>

#include "tools/datakit/lib/menu_kit.h"

// False, with a reason in *error, when a file cannot be written or the
// folder entered; *home is the working folder before.
inline bool MenuKitEnterFolder(const std::string& folder, std::string* home, std::string* error) {
  if (!datakit::WriteLooseFiles(datakit::MenuArchiveFiles(), folder, error) ||
      !datakit::WriteLooseFiles(datakit::MenuLooseFiles(), folder, error))
    return false;
  char here[4096];
  if (!::getcwd(here, sizeof here) || ::chdir(folder.c_str()) != 0) {
    *error = "cannot enter " + folder;
    return false;
  }
  *home = here;
  return true;
}
