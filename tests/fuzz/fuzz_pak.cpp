// The archive loader on arbitrary files: the input is written as "rur1.pak"
// and its first entries are loaded plain and hooked; the same bytes are also
// searched as a directory image. Nothing may crash, leak or read outside.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/mem.h"
#include "platform/pak.h"

namespace {

void Hook() {}

// An archive path of our own; the working directory stays libFuzzer's.
std::string Prepare() {
  char dir[] = "/tmp/fuzz-pak-XXXXXX";
  if (!::mkdtemp(dir)) std::abort();
  MemPoolInit();
  return std::string(dir) + "/rur1.pak";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string archive = Prepare();
  FILE* f = std::fopen(archive.c_str(), "wb");
  if (!f) std::abort();
  if (size) std::fwrite(data, 1, size, f);
  std::fclose(f);

  for (uint32_t i = 0; i < 4; ++i) {
    uint32_t n = 0;
    if (uint8_t* p = PakLoadEntry(archive.c_str(), i, &n)) MemFree(p);
    if (uint8_t* p = PakLoadEntryHooked(archive.c_str(), i, Hook, &n)) MemFree(p);
  }
  uint32_t found = 0;
  PakFindFile(data, static_cast<uint32_t>(size), "A\\B.TXT", &found);
  PakFindFile(data, static_cast<uint32_t>(size), "B.TXT", &found);
  if (MemPoolUsedBytes() != 0) __builtin_trap();
  return 0;
}
