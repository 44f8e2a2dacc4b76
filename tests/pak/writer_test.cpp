// The kit's archive writer read back through the game's loader.
#include <filesystem>
#include <random>

#include "pak/pak_fixture.h"

namespace {

using WriterTest = PakFixture;

// Either of the compressing methods, whichever packs smaller.
constexpr uint8_t COMPRESSED = 0xFF;

Bytes Prose(size_t n) {
  Bytes b;
  const char* s = "Torvane drives over dunes, snow, mud and ash. ";
  for (size_t i = 0; i < n; ++i) b.push_back(static_cast<uint8_t>(s[i % 47] ^ ((i / 4096) & 1)));
  return b;
}

Bytes Noise(size_t n) {
  std::mt19937 rng(99);
  Bytes b(n);
  for (auto& x : b) x = static_cast<uint8_t>(rng());
  return b;
}

TEST_F(WriterTest, EveryMethodRoundTripsThroughTheGamesLoader) {
  struct File {
    std::string path;
    Bytes data;
    uint8_t method;
    uint8_t expectedMethod;
    bool packsLarger = false;
  };
  Bytes everyByte;
  for (int i = 0; i < 256; ++i) everyByte.push_back(static_cast<uint8_t>(i));
  const std::vector<File> files = {
      {"stored.bin", Prose(5000), datakit::PACK_STORED, PAK_METHOD_STORED},
      {"none.bin", Prose(5000), datakit::PACK_NONE, PAK_METHOD_NONE},
      {"models/lz.bin", Prose(300000), datakit::PACK_LZ, PAK_METHOD_LZ},
      {"models/lz_alt.bin", Prose(20000), datakit::PACK_LZ_ALT, PAK_METHOD_LZ_ALT},
      {"track/deflate.bin", Prose(300000), datakit::PACK_DEFLATE, PAK_METHOD_DEFLATE},
      {"track/noise_deflate.bin", Noise(200000), datakit::PACK_DEFLATE, PAK_METHOD_DEFLATE, true},  // stored blocks
      {"track/sub/smallest.bin", Prose(9000), datakit::PACK_SMALLEST, COMPRESSED},
      {"noise_smallest.bin", Noise(3000), datakit::PACK_SMALLEST, PAK_METHOD_STORED},
      {"empty.bin", {}, datakit::PACK_DEFLATE, PAK_METHOD_DEFLATE, true},
      // LZ asked for by name is kept where it packs larger.
      {"one_lz.bin", {'x'}, datakit::PACK_LZ, PAK_METHOD_LZ, true},
      {"every_byte_lz.bin", everyByte, datakit::PACK_LZ_ALT, PAK_METHOD_LZ_ALT, true},
      {"noise_lz.bin", Noise(70000), datakit::PACK_LZ, PAK_METHOD_LZ, true},
  };
  datakit::PakSet set;
  for (const File& f : files) {
    int index = set.archives[2].AddFile(f.path, f.data, f.method);
    ASSERT_GE(index, 0);
    uint8_t method = set.archives[2].EntryMethod(index);
    if (f.expectedMethod == COMPRESSED) {
      EXPECT_TRUE(method == PAK_METHOD_LZ || method == PAK_METHOD_DEFLATE) << f.path;
      EXPECT_LT(set.archives[2].EntryPackedSize(index), f.data.size() / 4) << f.path;
    } else {
      EXPECT_EQ(method, f.expectedMethod) << f.path;
    }
    EXPECT_EQ(set.archives[2].EntryPackedSize(index) > f.data.size(), f.packsLarger) << f.path;
  }
  EXPECT_EQ(set.archives[2].AddFile("TRACK\\DEFLATE.BIN", {}, datakit::PACK_STORED), -1);  // same path
  std::string error;
  ASSERT_TRUE(datakit::WritePakSet(set, dir_.path().string(), &error)) << error;
  ASSERT_EQ(PakMountArchives(), 1) << PakLastError();

  for (const File& f : files) {
    std::string gamePath = f.path;
    for (char& c : gamePath)
      if (c == '/') c = '\\';
    uint32_t size = 0;
    uint8_t* data = PakLoadFile(gamePath.c_str(), 2, &size);
    ASSERT_NE(data, nullptr) << f.path << ": " << PakLastError();
    EXPECT_EQ(Bytes(data, data + size), f.data) << f.path;
    MemFree(data);
  }
  EXPECT_EQ(PakLoadFile("stored.bin", 1, nullptr), nullptr);  // another archive
}

TEST_F(WriterTest, LzThatWouldBeOvertakenInPlaceIsStored) {
  // A run that packs well, then every byte value: the escaped escape byte
  // near the end makes the output catch up with its input.
  Bytes data(200, 0);
  for (int i = 0; i < 256; ++i) data.push_back(static_cast<uint8_t>(i));
  for (int i = 255; i >= 0; --i) data.push_back(static_cast<uint8_t>(i));
  int64_t lead = 0;
  Bytes packed = datakit::LzEncode(data, &lead);
  EXPECT_LT(packed.size(), data.size());
  EXPECT_FALSE(datakit::LzFitsInPlace(data, packed, lead));

  datakit::PakWriter writer;
  EXPECT_EQ(writer.AddData(data, datakit::PACK_LZ), 0);
  EXPECT_EQ(writer.EntryMethod(0), datakit::PACK_STORED);
  Put("rur1.pak", writer.Archive());
  EXPECT_EQ(Load("rur1.pak", 0), Text(data));
}

TEST_F(WriterTest, PackFromFolderIsDeterministicAndListsWhatItHolds) {
  TempDir src;
  src.Write("2/Intro.qvr", "picture");
  src.Write("2/maps/Desert.qvr", "map");
  src.Write("5/wav/Horn.wav", std::string(5000, 'h'));
  auto build = [&](const std::string& out) {
    datakit::PakSet set;
    std::string error;
    ASSERT_TRUE(datakit::PakSetFromFolder(src.path().string(), &set, &error)) << error;
    ASSERT_TRUE(datakit::WritePakSet(set, out, &error)) << error;
  };
  build(dir_ / "a");
  build(dir_ / "b");
  for (int n = 0; n <= 7; ++n) {
    std::string name = "rur" + std::to_string(n) + ".pak";
    EXPECT_EQ(dir_.Read("a/" + name), dir_.Read("b/" + name)) << name;
  }
  ASSERT_EQ(::chdir((dir_ / "a").c_str()), 0);
  ASSERT_EQ(PakMountArchives(), 1) << PakLastError();
  std::vector<datakit::PakListedFile> listed;
  ASSERT_TRUE(datakit::PakDirectoryParse(gPakSlots[1].directory, gPakSlots[1].directorySize, &listed));
  ASSERT_EQ(listed.size(), 2u);
  EXPECT_EQ(listed[0].path, "INTRO.QVR");
  EXPECT_EQ(listed[1].path, "MAPS\\DESERT.QVR");
  uint32_t size = 0;
  uint8_t* horn = PakLoadFile("WAV\\HORN.WAV", 4, &size);
  ASSERT_NE(horn, nullptr) << PakLastError();
  EXPECT_EQ(size, 5000u);
  MemFree(horn);
}

}  // namespace
