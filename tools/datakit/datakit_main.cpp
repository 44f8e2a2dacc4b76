// datakit [--loose | --method METHOD] OUTDIR: writes the complete synthetic
// data set into OUTDIR; with --loose every file lies loose on disk instead of
// in archives; with --method the game's files and the archive directories are
// packed with METHOD (stored, none, lz, lz-alt, deflate, smallest) even where
// that makes them larger.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "tools/datakit/lib/boot_set.h"
#include "tools/datakit/lib/music_writer.h"
#include "tools/datakit/lib/pak_writer.h"
#include "tools/datakit/lib/race_kit.h"
#include "tools/datakit/lib/video_writer.h"

int main(int argc, char** argv) {
  bool loose = argc == 3 && std::strcmp(argv[1], "--loose") == 0;
  bool chosen = argc == 4 && std::strcmp(argv[1], "--method") == 0;
  uint8_t method = datakit::PACK_SMALLEST;
  if ((argc != 2 && !loose && !chosen) || (chosen && !datakit::PackMethodByName(argv[2], &method))) {
    std::fprintf(stderr, "usage: datakit [--loose | --method stored|none|lz|lz-alt|deflate|smallest] OUTDIR\n");
    return 2;
  }
  const std::string out = argv[argc - 1];
  std::error_code ec;
  std::filesystem::create_directories(out, ec);
  if (ec) {
    std::fprintf(stderr, "datakit: cannot create %s: %s\n", out.c_str(), ec.message().c_str());
    return 1;
  }
  std::string error;
  bool ok;
  if (loose) {
    ok = datakit::WriteLooseFiles(datakit::BootArchiveFiles(), out, &error);
  } else {
    datakit::PakSet paks;
    datakit::AddPlaceholderFiles(&paks);
    datakit::AddBootFiles(&paks, method);
    ok = datakit::WritePakSet(paks, out, &error, chosen ? method : datakit::PACK_DEFLATE);
  }
  ok = ok && datakit::WriteLooseFiles(datakit::BootLooseFiles(), out, &error) &&
       datakit::WriteMusicFolder(out, &error) && datakit::WriteVideoFolder(out, &error);
  if (!ok) {
    std::fprintf(stderr, "datakit: %s\n", error.c_str());
    return 1;
  }
  return 0;
}
