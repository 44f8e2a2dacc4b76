// The .3DF reader of torvaned3d's texture manager on arbitrary files: the
// header from the file's first bytes, then exactly the texels it promises.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "backend_common/texture.h"
#include "hal/fs.h"

bool Tex3dfReadHeader(int fd, TexInfo* info);

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "/tmp/fuzz_d3d_3df." + std::to_string(::getpid()) + ".3DF";
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);
  const int fd = HalFdOpen(path.c_str(), HAL_OPEN_READ);
  if (fd < 0) return 0;
  TexInfo info{};
  if (Tex3dfReadHeader(fd, &info)) {
    // What the header accepts must be readable in full.
    std::vector<uint8_t> texels(info.memRequired);
    if (HalFdRead(fd, texels.data(), texels.size()) != static_cast<int64_t>(texels.size())) __builtin_trap();
  }
  HalFdClose(fd);
  return 0;
}
