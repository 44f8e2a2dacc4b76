#include <cstdio>
#include <string>

#include "hal/window.h"
#include "launcher/launcher.h"

int main() {
  std::string error;
  if (!HalInitFromEnv(&error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 2;
  }
  HalExit(LauncherStart());
}
