// paktool: the pak archives as the game sees them.
//   paktool list DIR          each file of the seven archives mounted from DIR/rur0.pak
//   paktool extract DIR OUT   every file loaded as the game loads it, to OUT/<n>/<path>
//                             (DIR may also name one of its archives, DIR/rur3.pak:
//                             the set is one, mounted from its folder)
//   paktool pack [--method METHOD] SRC DIR
//                             rur0.pak .. rur7.pak in DIR from the folders SRC/1 .. SRC/7,
//                             every entry packed with METHOD (default: the smallest)
// Exit status: 0 success, 1 a damaged or unreadable archive, 2 usage.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/mem.h"
#include "platform/pak.h"
#include "tools/datakit/lib/pak_writer.h"

namespace fs = std::filesystem;

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: paktool list DIR|ARCHIVE\n"
               "       paktool extract DIR|ARCHIVE OUT\n"
               "(an ARCHIVE such as data/rur0.pak stands for the archives of its folder)\n"
               "       paktool pack [--method stored|none|lz|lz-alt|deflate|smallest] SRC DIR\n");
  return 2;
}

// Mounts the archives of DIR as the game does, from its working directory.
// The archives of a set are read together, so a file names its folder's set.
bool Mount(const char* where) {
  std::error_code ec;
  fs::path dir = where;
  if (fs::is_regular_file(dir, ec)) dir = dir.has_parent_path() ? dir.parent_path() : fs::path(".");
  if (::chdir(dir.c_str()) != 0) {
    std::fprintf(stderr, "paktool: cannot enter %s (give the folder of the archives, or one of them)\n", where);
    return false;
  }
  MemPoolInit();
  if (!PakMountArchives()) {
    std::fprintf(stderr, "paktool: %s\n", PakLastError());
    return false;
  }
  return true;
}

// The listed files of a mounted slot; false when its directory is damaged.
bool ListedFiles(int slot, std::vector<datakit::PakListedFile>* files) {
  const PakSlot& s = gPakSlots[slot];
  if (datakit::PakDirectoryParse(s.directory, s.directorySize, files)) return true;
  std::fprintf(stderr, "paktool: %s entry %d: the directory of %s is damaged\n", PAK_DIRECTORY_ARCHIVE, slot, s.name);
  return false;
}

// A listed path as a relative path below the output folder; false for one
// that would leave it.
bool SafeRelativePath(const std::string& gamePath, fs::path* out) {
  fs::path p;
  size_t start = 0;
  while (start <= gamePath.size()) {
    size_t end = gamePath.find('\\', start);
    if (end == std::string::npos) end = gamePath.size();
    std::string part = gamePath.substr(start, end - start);
    if (part.empty() || part == "." || part == ".." || part.find('/') != std::string::npos) return false;
    p /= part;
    start = end + 1;
  }
  *out = p;
  return true;
}

int List(const char* dir) {
  if (!Mount(dir)) return 1;
  int status = 0;
  for (int slot = 0; slot < PAK_SLOT_COUNT; ++slot) {
    std::vector<datakit::PakListedFile> files;
    if (!ListedFiles(slot, &files)) {
      status = 1;
      continue;
    }
    for (const auto& f : files) std::printf("%d %s %u\n", slot + 1, f.path.c_str(), f.size);
  }
  return status;
}

int Extract(const char* dir, const char* outArg) {
  std::error_code ec;
  fs::path out = fs::absolute(outArg, ec);
  if (ec || !Mount(dir)) return 1;
  int status = 0;
  for (int slot = 0; slot < PAK_SLOT_COUNT; ++slot) {
    std::vector<datakit::PakListedFile> files;
    if (!ListedFiles(slot, &files)) {
      status = 1;
      continue;
    }
    for (const auto& f : files) {
      fs::path relative;
      if (!SafeRelativePath(f.path, &relative)) {
        std::fprintf(stderr, "paktool: %s entry %u: unsafe path %s\n", gPakSlots[slot].name, f.index, f.path.c_str());
        status = 1;
        continue;
      }
      uint32_t size = 0;
      uint8_t* data = PakLoadFile(f.path.c_str(), slot, &size);
      if (!data) {
        std::fprintf(stderr, "paktool: %s\n", PakLastError());
        status = 1;
        continue;
      }
      fs::path target = out / std::to_string(slot + 1) / relative;
      std::string temporary = target.string() + ".tmp";
      bool written = datakit::WriteFile(temporary, datakit::Bytes(data, data + size));
      MemFree(data);
      if (written) fs::rename(temporary, target, ec);
      if (!written || ec) {
        fs::remove(temporary, ec);
        std::fprintf(stderr, "paktool: cannot write %s\n", target.c_str());
        status = 1;
      }
    }
  }
  return status;
}

int Pack(const char* source, const char* dir, uint8_t method) {
  datakit::PakSet set;
  std::string error;
  uint8_t directoryMethod = method == datakit::PACK_SMALLEST ? datakit::PACK_DEFLATE : method;
  if (!datakit::PakSetFromFolder(source, &set, &error, method) ||
      !datakit::WritePakSet(set, dir, &error, directoryMethod)) {
    std::fprintf(stderr, "paktool: %s\n", error.c_str());
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  std::string command = argv[1];
  if (command == "list" && argc == 3) return List(argv[2]);
  if (command == "extract" && argc == 4) return Extract(argv[2], argv[3]);
  if (command == "pack" && argc == 4) return Pack(argv[2], argv[3], datakit::PACK_SMALLEST);
  uint8_t method = 0;
  if (command == "pack" && argc == 6 && std::string(argv[2]) == "--method" &&
      datakit::PackMethodByName(argv[3], &method))
    return Pack(argv[4], argv[5], method);
  return Usage();
}
