// Program entry of torvane and torvaned3d: they differ only in the back end
// they are linked with.
#include <cstdio>
#include <string>

#include "hal/window.h"
#include "platform/app.h"
#include "shell/game.h"

int main() {
  std::string error;
  if (!HalInitFromEnv(&error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 2;
  }
  return WinMain(1, 0, "", 1);
}
