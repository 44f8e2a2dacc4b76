#include <cstdio>
#include <string>

#include "hal/window.h"

namespace {
intptr_t LauncherWindowProc(uint32_t window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  return HalDefWindowProc(window, message, wParam, lParam);
}
}  // namespace

int main() {
  std::string error;
  if (!HalInitFromEnv(&error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 2;
  }
  if (HalWindowCreate("launcher", LauncherWindowProc) == 0) {
    std::fprintf(stderr, "launcher: cannot open a window\n");
    return 1;
  }
  HalWindowDestroy();
  return 0;
}
