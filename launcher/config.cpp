#include "launcher/config.h"

#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "hal/fs.h"

namespace {

void PutLe32(std::vector<uint8_t>* out, int32_t value) {
  uint32_t v = static_cast<uint32_t>(value);
  for (int i = 0; i < 4; ++i) out->push_back(static_cast<uint8_t>(v >> (8 * i)));
}

int32_t GetLe32(const uint8_t* p) {
  return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                              static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24);
}

void SetDefaults(LauncherConfig* config) {
  config->renderer = LAUNCHER_RENDERER_GLIDE;
  config->filtering = 1;
  config->dithering = 1;
  config->description[0] = '\0';
}

}  // namespace

std::vector<uint8_t> LauncherConfigEncode(int32_t renderer, int32_t filtering, int32_t dithering,
                                          const std::string& description) {
  std::vector<uint8_t> out;
  PutLe32(&out, renderer);
  PutLe32(&out, filtering);
  PutLe32(&out, dithering);
  if (renderer == LAUNCHER_RENDERER_D3D) {
    // The text ends at its first 0 byte, as a reader will take it.
    for (char c : description) {
      if (c == '\0') break;
      out.push_back(static_cast<uint8_t>(c));
    }
  }
  out.push_back(0);
  return out;
}

void LauncherConfigDecode(const uint8_t* data, size_t size, LauncherConfig* config) {
  SetDefaults(config);
  if (size < LAUNCHER_CONFIG_RECORD_BYTES) return;
  config->renderer = GetLe32(data);
  config->filtering = GetLe32(data + 4);
  config->dithering = GetLe32(data + 8);
  if (config->renderer != LAUNCHER_RENDERER_D3D && config->renderer != LAUNCHER_RENDERER_GLIDE)
    config->renderer = LAUNCHER_RENDERER_GLIDE;
  size_t n = 0;
  for (size_t i = LAUNCHER_CONFIG_RECORD_BYTES; i < size && n + 1 < LAUNCHER_DESCRIPTION_SIZE; ++i) {
    if (data[i] == 0) break;
    config->description[n++] = static_cast<char>(data[i]);
  }
  config->description[n] = '\0';
}

void LauncherReadConfig(LauncherConfig* config, const char* path) {
  std::FILE* f = std::fopen(HalResolvePath(path).c_str(), "rb");
  if (!f) {
    SetDefaults(config);
    return;
  }
  uint8_t bytes[LAUNCHER_CONFIG_RECORD_BYTES + LAUNCHER_DESCRIPTION_SIZE];
  size_t got = std::fread(bytes, 1, sizeof bytes, f);
  std::fclose(f);
  LauncherConfigDecode(bytes, got, config);
}

bool LauncherWriteConfig(LauncherConfig* config, int32_t renderer, const char* path) {
  std::vector<uint8_t> bytes =
      LauncherConfigEncode(renderer, config->filtering, config->dithering, config->chosenDescription);
  config->chosenDescription.clear();

  // Never half a file for torvaned3d to read.
  return HalWriteFileAtomic(path, bytes.data(), bytes.size());
}
