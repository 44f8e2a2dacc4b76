// datakit [--loose] OUTDIR: writes the complete synthetic data set into
// OUTDIR; with --loose every file lies loose on disk instead of in archives.
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
  if (argc != 2 && !loose) {
    std::fprintf(stderr, "usage: datakit [--loose] OUTDIR\n");
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
    ok = datakit::WriteLooseFiles(datakit::BootArchiveFiles(), out, &error) &&
         datakit::WriteLooseFiles(datakit::TrackArchiveFiles(), out, &error);
  } else {
    datakit::PakSet paks;
    datakit::AddPlaceholderFiles(&paks);
    datakit::AddBootFiles(&paks);
    for (const datakit::DataFile& f : datakit::TrackArchiveFiles()) paks.archives[f.archive - 1].AddFile(f.path, f.data);
    ok = datakit::WritePakSet(paks, out, &error);
  }
  ok = ok && datakit::WriteLooseFiles(datakit::BootLooseFiles(), out, &error) &&
       datakit::WriteMusicFolder(out, &error) && datakit::WriteVideoFolder(out, &error);
  if (!ok) {
    std::fprintf(stderr, "datakit: %s\n", error.c_str());
    return 1;
  }
  return 0;
}
