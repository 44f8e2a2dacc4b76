// Shared by the archive suites: a pool, a fresh folder as the working
// directory (archives are opened by bare name, as the game does), and byte
// builders for archives assembled by hand.
#pragma once
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/mem.h"
#include "platform/pak.h"
#include "support/test_support.h"
#include "tools/datakit/lib/bytes.h"
#include "tools/datakit/lib/pak_writer.h"

using datakit::Bytes;

class PakFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    MemPoolInit();
    PakReset();
    std::memset(gPakSlots, 0, sizeof gPakSlots);
    char here[4096];
    ASSERT_NE(::getcwd(here, sizeof here), nullptr);
    home_ = here;
    ASSERT_EQ(::chdir(dir_.path().c_str()), 0);
  }
  void TearDown() override { ASSERT_EQ(::chdir(home_.c_str()), 0); }

  void Put(const std::string& name, const Bytes& bytes) { ASSERT_TRUE(datakit::WriteFile(dir_ / name, bytes)); }

  // The entry's bytes, or the failure text prefixed with "!".
  static std::string Load(const char* archive, uint32_t index) {
    uint32_t size = 0;
    uint8_t* data = PakLoadEntry(archive, index, &size);
    if (!data) return std::string("!") + PakLastError();
    std::string s(reinterpret_cast<char*>(data), size);
    MemFree(data);
    return s;
  }

  static std::string Text(const Bytes& b) { return std::string(b.begin(), b.end()); }

  TempDir dir_;
  std::string home_;
};

// One entry in the layout of the archive tables.
inline void PutEntry(datakit::ByteWriter* w, uint32_t stored, uint32_t unpacked, uint8_t method, const Bytes& extra,
                     const Bytes& packed) {
  w->Raw("JUNK", 4);  // never read
  w->U32(stored);
  w->U32(unpacked);
  w->U8(method);
  w->U8(0x5A);  // never read
  w->U16(static_cast<uint16_t>(extra.size()));
  w->Raw(extra);
  w->Raw(packed);
}
