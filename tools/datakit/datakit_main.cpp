// datakit OUTDIR: writes the complete synthetic data set into OUTDIR.
#include <cstdio>
#include <filesystem>
#include <string>

#include "tools/datakit/lib/music_writer.h"
#include "tools/datakit/lib/pak_writer.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: datakit OUTDIR\n");
    return 2;
  }
  std::error_code ec;
  std::filesystem::create_directories(argv[1], ec);
  if (ec) {
    std::fprintf(stderr, "datakit: cannot create %s: %s\n", argv[1], ec.message().c_str());
    return 1;
  }
  datakit::PakSet paks;
  datakit::AddPlaceholderFiles(&paks);
  std::string error;
  if (!datakit::WritePakSet(paks, argv[1], &error) || !datakit::WriteMusicFolder(argv[1], &error)) {
    std::fprintf(stderr, "datakit: %s\n", error.c_str());
    return 1;
  }
  return 0;
}
