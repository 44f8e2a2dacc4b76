// torvaned3d's .qvr pictures on arbitrary files, both forms, on a headless
// display opened once: a file is refused or fits the screen, never read past.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "backend_common/display.h"
#include "backend_common/picture.h"
#include "platform/mem.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool open = [] {
    setenv("TORVANE_HEADLESS", "1", 1);
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    return RdrOpen(gDisplayModes[2], 0);
  }();
  if (!open) return 0;
  static const std::string path = "/tmp/fuzz_d3d_qvr." + std::to_string(::getpid()) + ".qvr";
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);
  for (uint16_t* (*load)(const char*) : {LfbLoadScreenImage, LfbLoadScreenImageUnscaled, LfbLoadPalettedImage}) {
    std::string name = path;
    if (uint16_t* block = load(name.data())) {
      LfbDrawScreenImage(block);
      MemFree(block);
    }
  }
  return 0;
}
