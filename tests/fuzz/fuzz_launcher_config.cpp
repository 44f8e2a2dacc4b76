// rur.cfg's reader on arbitrary bytes: never a read past the input, always a
// terminated description and a renderer that names a program.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "launcher/config.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  LauncherConfig config;
  std::memset(config.description, 'x', sizeof config.description);
  LauncherConfigDecode(data, size, &config);
  if (std::memchr(config.description, 0, sizeof config.description) == nullptr) std::abort();
  if (config.renderer != LAUNCHER_RENDERER_D3D && config.renderer != LAUNCHER_RENDERER_GLIDE) std::abort();
  // What was read writes back as the same record.
  std::vector<uint8_t> again = LauncherConfigEncode(config.renderer, config.filtering, config.dithering, config.description);
  LauncherConfig back;
  LauncherConfigDecode(again.data(), again.size(), &back);
  if (back.renderer != config.renderer || back.filtering != config.filtering || back.dithering != config.dithering)
    std::abort();
  return 0;
}
