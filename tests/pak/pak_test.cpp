// The archive loader: an archive assembled byte by byte, lookups, mounting,
// the loose-file fallback, the hook, and damaged archives.
#include <zlib.h>

#include "pak/pak_fixture.h"

namespace {

constexpr uint8_t E = 0xF7;  // escape byte of the hand-written LZ streams

// A directory image written from the table, not by the kit.
struct HandDir {
  std::string name;
  std::vector<std::tuple<std::string, uint32_t, uint32_t>> files;  // name, size, index
};

Bytes HandDirectory(const std::vector<HandDir>& dirs) {
  datakit::ByteWriter w;
  w.U32(static_cast<uint32_t>(dirs.size()));
  std::vector<size_t> at;
  for (const auto& d : dirs) {
    w.CString(d.name);
    at.push_back(w.size());
    w.U32(0);
    w.U32(static_cast<uint32_t>(d.files.size()));
  }
  for (size_t i = 0; i < dirs.size(); ++i) {
    w.PatchU32(at[i], static_cast<uint32_t>(w.size()));
    for (const auto& [name, size, index] : dirs[i].files) {
      w.CString(name);
      w.U32(size);
      w.U32(index);
    }
  }
  return w.Take();
}

// A whole archive of entries, each given as (stored, unpacked, method, extra, packed).
struct HandEntry {
  uint32_t stored, unpacked;
  uint8_t method;
  Bytes extra, packed;
};

Bytes HandArchive(const std::vector<HandEntry>& entries) {
  datakit::ByteWriter w;
  w.Raw("PAK?", 4);
  uint32_t offset = 4 + 4 * static_cast<uint32_t>(entries.size());
  for (const auto& e : entries) {
    w.U32(offset);
    offset += 16 + static_cast<uint32_t>(e.extra.size() + e.packed.size());
  }
  for (const auto& e : entries) PutEntry(&w, e.stored, e.unpacked, e.method, e.extra, e.packed);
  return w.Take();
}

HandEntry Plain(const Bytes& b, uint8_t method = PAK_METHOD_NONE) {
  return {static_cast<uint32_t>(b.size()), static_cast<uint32_t>(b.size()), method, {}, b};
}

// rur0.pak with the given directory image in slot `slot` and empty ones elsewhere.
Bytes HandRur0(const Bytes& directory, int slot = 0) {
  std::vector<HandEntry> entries;
  for (int i = 0; i < PAK_SLOT_COUNT; ++i) entries.push_back(Plain(i == slot ? directory : Bytes{0, 0, 0, 0}));
  return HandArchive(entries);
}

using PakTest = PakFixture;

TEST_F(PakTest, HandAssembledArchiveMountsAndLoads) {
  const Bytes lz = {E, 'x', E, 0, E, 0xA3, 'p', 'q'};  // x E pqpqpqpqpq
  const std::string lzOut = std::string("x") + char(E) + "pqpqpqpqpq";
  Put("RUR1.PAK", HandArchive({
                      {5, 5, PAK_METHOD_STORED, {'e', 'x', 't'}, {'H', 'E', 'L', 'L', 'O'}},
                      {static_cast<uint32_t>(lz.size()), 12, PAK_METHOD_LZ_ALT, {}, lz},
                  }));
  Put("rur0.pak", HandRur0(HandDirectory({{"", {{"A.TXT", 5, 0}}}, {"TRACK\\", {{"FILE.UV", 12, 1}}}})));

  ASSERT_EQ(PakMountArchives(), 1) << PakLastError();
  EXPECT_EQ(gPakMounted, 1u);
  EXPECT_STREQ(gPakSlots[0].name, "rur1.pak");
  EXPECT_STREQ(gPakSlots[6].name, "rur7.pak");

  char path[] = "track\\file.uv";  // the caller's text must stay as it was
  uint32_t size = 0;
  uint8_t* data = PakLoadFile(path, 0, &size);
  ASSERT_NE(data, nullptr) << PakLastError();
  EXPECT_STREQ(path, "track\\file.uv");
  EXPECT_EQ(std::string(reinterpret_cast<char*>(data), size), lzOut);
  MemFree(data);

  data = PakLoadFile("a.txt", 0, &size);
  ASSERT_NE(data, nullptr) << PakLastError();
  EXPECT_EQ(std::string(reinterpret_cast<char*>(data), size), "HELLO");
  MemFree(data);

  EXPECT_EQ(PakLoadFile("b.txt", 0, &size), nullptr);
  EXPECT_STREQ(PakLastError(), "B.TXT: not in rur1.pak");
  EXPECT_EQ(PakLoadFile("a.txt", 1, &size), nullptr);  // slot 1's directory is empty
  EXPECT_EQ(PakLoadFile("a.txt", 7, &size), nullptr);
  EXPECT_EQ(MemPoolUsedBytes() > 0, true);  // the mounted directories stay
}

TEST_F(PakTest, LookupSplitsAtTheLastBackslashAndTheFirstDirectoryDecides) {
  const Bytes image = HandDirectory({
      {"", {{"A.TXT", 11, 0}, {"\\LEAD.TXT", 12, 7}}},
      {"TRACK\\", {{"FILE.UV", 22, 1}}},
      {"TRACK\\", {{"OTHER.UV", 33, 2}, {"FILE.UV", 44, 3}}},
      {"A\\B\\", {{"C.TXT", 55, 4}}},
  });
  struct Case {
    const char* path;
    int32_t index;
    uint32_t size;
  } cases[] = {
      {"A.TXT", 0, 11},
      {"TRACK\\FILE.UV", 1, 22},
      {"TRACK\\OTHER.UV", PAK_FIND_NO_FILE, 0},  // only the first TRACK\ is searched
      {"FILE.UV", PAK_FIND_NO_FILE, 0},          // the root exists, the file is not in it
      {"NOPE\\FILE.UV", PAK_FIND_NO_DIRECTORY, 0},
      {"A\\B\\C.TXT", 4, 55},
      {"B\\C.TXT", PAK_FIND_NO_DIRECTORY, 0},
      {"\\LEAD.TXT", 7, 12},  // a leading backslash alone stays part of the name
      {"track\\FILE.UV", PAK_FIND_NO_DIRECTORY, 0},  // names compare byte by byte
      {"TRACK\\", PAK_FIND_NO_FILE, 0},
  };
  for (const Case& c : cases) {
    uint32_t size = 0;
    EXPECT_EQ(PakFindFile(image.data(), static_cast<uint32_t>(image.size()), c.path, &size), c.index) << c.path;
    EXPECT_EQ(size, c.size) << c.path;
  }
}

TEST_F(PakTest, DamagedDirectoryImagesStayInsideTheImage) {
  auto dirWith = [](uint32_t count, const std::string& name, uint32_t offset, uint32_t files) {
    datakit::ByteWriter w;
    w.U32(count);
    w.CString(name);
    w.U32(offset);
    w.U32(files);
    return w.Take();
  };
  Bytes good = HandDirectory({{"D\\", {{"F", 1, 2}}}});
  Bytes cut = good;
  cut.pop_back();
  Bytes noNul = {1, 0, 0, 0, 'D', '\\'};
  Bytes hugeIndex = HandDirectory({{"D\\", {{"F", 1, 0x80000000u}}}});
  const std::vector<Bytes> images = {
      {},                                  // nothing at all
      {1, 0},                              // count cut off
      {5, 0, 0, 0},                        // five directories promised, none there
      noNul,                               // name without its terminator
      dirWith(1, "D\\", 1000, 1),          // file list past the end
      dirWith(1, "D\\", 0, 0xFFFFFFFFu),   // file count far beyond the image
      dirWith(0xFFFFFFFFu, "X\\", 0, 0),   // directory count far beyond the image
      cut,                                 // last index cut off
      hugeIndex,                           // index not representable
  };
  for (size_t i = 0; i < images.size(); ++i) {
    // Exactly sized copies, so the sanitizer sees any read past the end.
    std::unique_ptr<uint8_t[]> copy(new uint8_t[images[i].size()]);
    if (!images[i].empty()) std::memcpy(copy.get(), images[i].data(), images[i].size());
    uint32_t size = 0;
    EXPECT_LT(PakFindFile(copy.get(), static_cast<uint32_t>(images[i].size()), "D\\F", &size), 0) << "image " << i;
  }
  EXPECT_EQ(PakFindFile(good.data(), static_cast<uint32_t>(good.size()), "D\\F", nullptr), 2);
  EXPECT_EQ(PakFindFile(nullptr, 0, "D\\F", nullptr), PAK_FIND_NO_DIRECTORY);
}

TEST_F(PakTest, MountingIsAllOrNothing) {
  // No rur0.pak at all.
  EXPECT_EQ(PakMountArchives(), 0);
  EXPECT_EQ(gPakMounted, 0u);
  EXPECT_NE(std::string(PakLastError()).find("rur0.pak entry 0"), std::string::npos) << PakLastError();

  // Only three directories: the fourth fails and nothing is mounted.
  Put("rur0.pak", HandArchive({Plain({0, 0, 0, 0}), Plain({0, 0, 0, 0}), Plain({0, 0, 0, 0})}));
  uint32_t before = MemPoolUsedBytes();
  EXPECT_EQ(PakMountArchives(), 0);
  EXPECT_EQ(gPakMounted, 0u);
  EXPECT_EQ(gPakSlots[0].directory, nullptr);
  EXPECT_EQ(MemPoolUsedBytes(), before);
  EXPECT_NE(std::string(PakLastError()).find("rur0.pak entry 3"), std::string::npos) << PakLastError();

  // A failed load never mounts an empty slot, nor does a name that does not fit.
  uint8_t image[4] = {};
  EXPECT_EQ(PakSetSlot("rur1.pak", nullptr, 0, 0), 0);
  EXPECT_EQ(PakSetSlot("a-very-long-name.pak", image, 4, 0), 0);
  EXPECT_EQ(PakSetSlot("rur1.pak", image, 4, 7), 0);
  EXPECT_EQ(gPakMounted, 0u);
  EXPECT_EQ(PakSetSlot("rur1.pak", image, 4, 6), 1);
  EXPECT_EQ(gPakMounted, 1u);
  PakReset();
  EXPECT_EQ(gPakMounted, 0u);
}

TEST_F(PakTest, UnmountedLoadsReadLooseFilesWhatEverTheirCase) {
  TempDir& d = dir_;
  d.Write("Track/File.Uv", "loose bytes");
  char path[] = "track\\file.uv";
  uint32_t size = 0;
  uint8_t* data = PakLoadFile(path, 3, &size);
  ASSERT_NE(data, nullptr) << PakLastError();
  EXPECT_EQ(std::string(reinterpret_cast<char*>(data), size), "loose bytes");
  EXPECT_STREQ(path, "track\\file.uv");
  MemFree(data);
  EXPECT_EQ(PakLoadFile("track\\none.uv", 3, &size), nullptr);
  EXPECT_NE(std::string(PakLastError()).find("TRACK\\NONE.UV"), std::string::npos);
}

TEST_F(PakTest, DirectorySizeMustMatchTheEntry) {
  Put("rur1.pak", HandArchive({Plain({'a', 'b', 'c'})}));
  Put("rur0.pak", HandRur0(HandDirectory({{"", {{"LIAR.BIN", 300, 0}, {"GONE.BIN", 3, 9}}}})));
  ASSERT_EQ(PakMountArchives(), 1);
  uint32_t size = 0;
  EXPECT_EQ(PakLoadFile("LIAR.BIN", 0, &size), nullptr);
  EXPECT_STREQ(PakLastError(), "rur1.pak entry 0 (LIAR.BIN): the directory gives 300 bytes, the entry holds 3");
  EXPECT_EQ(PakLoadFile("GONE.BIN", 0, &size), nullptr);
  EXPECT_NE(std::string(PakLastError()).find("rur1.pak entry 9 (GONE.BIN)"), std::string::npos) << PakLastError();
}

// Raw deflate of stored blocks written by hand: `blocks` lengths, the last final.
Bytes StoredDeflate(const std::vector<uint16_t>& blocks, Bytes* unpacked) {
  datakit::ByteWriter w;
  uint8_t v = 1;
  for (size_t i = 0; i < blocks.size(); ++i) {
    w.U8(i + 1 == blocks.size() ? 1 : 0);  // BFINAL, BTYPE 00, padding
    w.U16(blocks[i]);
    w.U16(static_cast<uint16_t>(~blocks[i]));
    for (uint16_t k = 0; k < blocks[i]; ++k) {
      w.U8(v);
      unpacked->push_back(v);
      v = static_cast<uint8_t>(v * 5 + 3);
    }
  }
  return w.Take();
}

int gHookCalls;
void CountHook() { ++gHookCalls; }

TEST_F(PakTest, HookedLoaderCallsPerWholePieceThenPerDeflateBlock) {
  // 3 x (5 + 65535) + 5 + 3375 = 200000 stored bytes in four blocks.
  Bytes unpacked;
  Bytes packed = StoredDeflate({65535, 65535, 65535, 3375}, &unpacked);
  ASSERT_EQ(packed.size(), 200000u);
  Put("rur1.pak", HandArchive({{200000, static_cast<uint32_t>(unpacked.size()), PAK_METHOD_DEFLATE, {}, packed},
                               Plain(Bytes(200000, 7), PAK_METHOD_STORED)}));
  uint32_t size = 0;
  gHookCalls = 0;
  uint8_t* data = PakLoadEntryHooked("rur1.pak", 0, CountHook, &size);
  ASSERT_NE(data, nullptr) << PakLastError();
  EXPECT_EQ(gHookCalls, 3 + 4);
  EXPECT_EQ(Bytes(data, data + size), unpacked);
  MemFree(data);

  gHookCalls = 0;  // other methods: only the reading pieces
  data = PakLoadEntryHooked("rur1.pak", 1, CountHook, &size);
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(gHookCalls, 3);
  MemFree(data);

  // Through PakLoadFile once the hook is set, and not after it is cleared.
  Put("rur0.pak", HandRur0(HandDirectory({{"", {{"BIG.BIN", static_cast<uint32_t>(unpacked.size()), 0}}}})));
  ASSERT_EQ(PakMountArchives(), 1);
  PakSetLoadHook(CountHook);
  gHookCalls = 0;
  data = PakLoadFile("big.bin", 0, &size);
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(gHookCalls, 7);
  MemFree(data);
  PakSetLoadHook(nullptr);
  gHookCalls = 0;
  data = PakLoadFile("big.bin", 0, &size);
  MemFree(data);
  EXPECT_EQ(gHookCalls, 0);
}

TEST_F(PakTest, LoadIntoTheCallersBuffer) {
  Bytes unpacked;
  Bytes packed = StoredDeflate({100}, &unpacked);
  Put("rur1.pak", HandArchive({{static_cast<uint32_t>(packed.size()), 100, PAK_METHOD_DEFLATE, {}, packed}}));
  std::vector<uint8_t> buffer(100 + PAK_DEFLATE_SLACK);
  uint32_t size = 0;
  EXPECT_EQ(PakLoadEntryInto("rur1.pak", 0, buffer.data(), 100, &size), nullptr);  // no room for the slack
  EXPECT_EQ(PakLoadEntryInto("nothere.pak", 0, buffer.data(), 2100, &size), nullptr);
  ASSERT_EQ(PakLoadEntryInto("rur1.pak", 0, buffer.data(), 2100, &size), buffer.data());
  EXPECT_EQ(size, 100u);
  EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + 100), unpacked);
}

TEST_F(PakTest, PackedBytesMayOutnumberTheUnpackedOnes) {
  Bytes deflated;
  Bytes deflate = StoredDeflate(std::vector<uint16_t>(500, 1), &deflated);  // 3000 bytes for 500
  ASSERT_GT(deflate.size(), deflated.size() + PAK_DEFLATE_SLACK);
  struct Case {
    const char* what;
    uint8_t method;
    Bytes packed;
    Bytes unpacked;
  } cases[] = {
      {"one byte", PAK_METHOD_LZ, {E, 'x'}, {'x'}},
      {"the escape byte alone", PAK_METHOD_LZ_ALT, {E, E, 0}, {E}},
      {"literals and escapes", PAK_METHOD_LZ, {E, 'a', E, 0, 'b', E, 0}, {'a', E, 'b', E}},
      {"nothing", PAK_METHOD_LZ, {E}, {}},
      {"deflate beyond its slack", PAK_METHOD_DEFLATE, deflate, deflated},
  };
  std::vector<HandEntry> entries;
  for (const Case& c : cases)
    entries.push_back({static_cast<uint32_t>(c.packed.size()), static_cast<uint32_t>(c.unpacked.size()), c.method,
                       {}, c.packed});
  Put("rur1.pak", HandArchive(entries));
  for (uint32_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    EXPECT_EQ(Load("rur1.pak", i), Text(c.unpacked)) << c.what;
    uint32_t size = 99;
    uint8_t* data = PakLoadEntryHooked("rur1.pak", i, CountHook, &size);
    ASSERT_NE(data, nullptr) << c.what << ": " << PakLastError();
    EXPECT_EQ(Bytes(data, data + size), c.unpacked) << c.what;
    EXPECT_LE(MemBlockSize(data), std::max<uint32_t>(size, 1) + MEM_ALIGN - 1) << c.what << ": the room is given back";
    MemFree(data);
    // The caller's buffer must hold the packed bytes too.
    const auto need = static_cast<uint32_t>(c.packed.size());
    Bytes into(need);
    EXPECT_EQ(PakLoadEntryInto("rur1.pak", i, into.data(), need - 1, &size), nullptr) << c.what;
    ASSERT_EQ(PakLoadEntryInto("rur1.pak", i, into.data(), need, &size), into.data()) << c.what << ": " << PakLastError();
    EXPECT_EQ(Bytes(into.begin(), into.begin() + size), c.unpacked) << c.what;
  }
}

TEST_F(PakTest, OutputThatWouldOvertakeItsInputStillDecodesRight) {
  // A 32-byte run first, then three escaped escape bytes: decoded in place,
  // the run reaches the packed bytes not yet read.
  const Bytes lz = {E, E, 0x9E, 'a', E, 0, E, 0, E, 0};
  // Deflate with the packed bytes filling the whole slack: 400 one-byte
  // stored blocks take six packed bytes per byte of output.
  Bytes unpacked;
  Bytes packed = StoredDeflate(std::vector<uint16_t>(400, 1), &unpacked);
  ASSERT_EQ(packed.size(), 400u + PAK_DEFLATE_SLACK);
  Put("rur1.pak", HandArchive({{static_cast<uint32_t>(lz.size()), 35, PAK_METHOD_LZ, {}, lz},
                               {static_cast<uint32_t>(packed.size()), 400, PAK_METHOD_DEFLATE, {}, packed}}));
  EXPECT_EQ(Load("rur1.pak", 0), std::string(32, 'a') + std::string(3, char(E)));
  EXPECT_EQ(Load("rur1.pak", 1), Text(unpacked));
  EXPECT_EQ(MemPoolUsedBytes(), 0u);
}

// Damage done to a kit-written archive, and what the loader must say.
struct Damage {
  const char* what;
  uint32_t entry;
  std::function<void(Bytes&, const std::vector<uint32_t>&)> apply;  // offsets of the entries
  const char* message;
};

void PatchU32(Bytes& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

std::vector<uint32_t> EntryOffsets(const Bytes& archive, size_t count) {
  std::vector<uint32_t> offsets;
  for (size_t i = 0; i < count; ++i)
    offsets.push_back(archive[4 + 4 * i] | archive[5 + 4 * i] << 8 | archive[6 + 4 * i] << 16 |
                      uint32_t{archive[7 + 4 * i]} << 24);
  return offsets;
}

Bytes Compressible(size_t n) {
  Bytes b;
  for (size_t i = 0; i < n; ++i) b.push_back(static_cast<uint8_t>("the quick brown fox "[i % 20] + (i / 997) % 3));
  return b;
}

TEST_F(PakTest, DamagedArchivesFailCleanlyNamingArchiveAndEntry) {
  datakit::PakWriter writer;
  ASSERT_EQ(writer.AddData(Compressible(3000), datakit::PACK_DEFLATE), 0);
  ASSERT_EQ(writer.AddData(Compressible(3000), datakit::PACK_LZ), 1);
  ASSERT_EQ(writer.AddData(Compressible(300), datakit::PACK_STORED), 2);
  ASSERT_EQ(writer.EntryMethod(0), datakit::PACK_DEFLATE);
  ASSERT_EQ(writer.EntryMethod(1), datakit::PACK_LZ);
  const Bytes good = writer.Archive();
  const auto at = EntryOffsets(good, 3);

  const Damage cases[] = {
      {"index past the table", 1000, [](Bytes&, auto&) {}, "the offset table ends before this entry"},
      {"index into the entries", 3, [](Bytes&, auto&) {}, "past the end of the archive"},
      {"offset past the end", 0, [](Bytes& b, auto&) { PatchU32(b, 4, 0x7FFFFFF0); }, "past the end of the archive"},
      {"huge stored size", 0, [](Bytes& b, auto& o) { PatchU32(b, o[0] + 4, 0xFFFFFFF0u); }, "run past the end"},
      {"stored beyond the unpacked size, stream longer than both", 1,
       [](Bytes& b, auto& o) { PatchU32(b, o[1] + 8, b[o[1] + 4] + (b[o[1] + 5] << 8) - 1); },
       "output longer than the unpacked size"},
      {"huge unpacked size", 1, [](Bytes& b, auto& o) { PatchU32(b, o[1] + 8, 0xFFFFFFFFu); },
       "larger than the memory pool"},
      {"extra field past the end", 2, [](Bytes& b, auto& o) { b[o[2] + 14] = 0xFF; b[o[2] + 15] = 0xFF; },
       "run past the end"},
      {"unknown method", 2, [](Bytes& b, auto& o) { b[o[2] + 12] = 9; }, "unknown method 9"},
      {"method 1 with sizes apart", 2, [](Bytes& b, auto& o) { b[o[2] + 12] = 1; PatchU32(b, o[2] + 8, 301); },
       "stored size 300 differs from the unpacked size 301"},
      {"reserved deflate block type", 0, [](Bytes& b, auto& o) { b[o[0] + 16] = 0xFF; }, "deflate stream:"},
      {"deflate stream cut short", 0,
       [](Bytes& b, auto& o) { PatchU32(b, o[0] + 4, b[o[0] + 4] + (b[o[0] + 5] << 8) - 20); }, "deflate stream:"},
      {"deflate longer than its size", 0, [](Bytes& b, auto& o) { PatchU32(b, o[0] + 8, 2000); },
       "more data than the unpacked size"},
      {"deflate shorter than its size", 0, [](Bytes& b, auto& o) { PatchU32(b, o[0] + 8, 3001); },
       "3000 bytes where 3001 were expected"},
      {"LZ shorter than its size", 1, [](Bytes& b, auto& o) { PatchU32(b, o[1] + 8, 3001); },
       "3000 bytes where 3001 were expected"},
      {"LZ longer than its size", 1, [](Bytes& b, auto& o) { PatchU32(b, o[1] + 8, 2999); },
       "output longer than the unpacked size"},
  };
  for (const Damage& d : cases) {
    Bytes bad = good;
    d.apply(bad, at);
    Put("rur1.pak", bad);
    std::string got = Load("rur1.pak", d.entry);
    EXPECT_EQ(got.rfind("!rur1.pak entry " + std::to_string(d.entry) + ": ", 0), 0u) << d.what << ": " << got;
    EXPECT_NE(got.find(d.message), std::string::npos) << d.what << ": " << got;
  }
  EXPECT_EQ(MemPoolUsedBytes(), 0u);  // nothing leaked on the way out
}

TEST_F(PakTest, EveryTruncationLoadsRightOrFailsCleanly) {
  datakit::PakWriter writer;
  writer.AddData(Compressible(700), datakit::PACK_DEFLATE);
  writer.AddData(Compressible(700), datakit::PACK_LZ_ALT);
  writer.AddData(Compressible(70), datakit::PACK_NONE);
  const Bytes good = writer.Archive();
  const std::string expected[] = {Text(Compressible(700)), Text(Compressible(700)), Text(Compressible(70))};
  for (size_t cut = 0; cut <= good.size(); ++cut) {
    Put("rur1.pak", Bytes(good.begin(), good.begin() + cut));
    for (uint32_t i = 0; i < 3; ++i) {
      std::string got = Load("rur1.pak", i);
      if (got[0] == '!') EXPECT_EQ(got.rfind("!rur1.pak entry " + std::to_string(i), 0), 0u) << got;
      else EXPECT_EQ(got, expected[i]) << "cut at " << cut;
    }
    ASSERT_EQ(MemPoolUsedBytes(), 0u);
  }
  EXPECT_EQ(Load("missing.pak", 0), "!missing.pak entry 0: the archive does not open");
}

TEST_F(PakTest, UnpackBlockRefusesWhatIsNotExactlyTheUnpackedSize) {
  uint8_t src[4] = {1, 2, 3, 4}, dst[8] = {};
  EXPECT_EQ(UnpackBlock(PAK_METHOD_STORED, src, dst, 4, 4), 1);
  EXPECT_EQ(dst[3], 4);
  EXPECT_EQ(UnpackBlock(PAK_METHOD_STORED, src, dst, 4, 5), 0);
  EXPECT_EQ(UnpackBlock(PAK_METHOD_NONE, src, dst, 4, 3), 0);
  EXPECT_EQ(UnpackBlock(5, src, dst, 4, 4), 0);
  EXPECT_STREQ(PakLastError(), "unknown method 5");
  EXPECT_EQ(UnpackBlock(PAK_METHOD_DEFLATE, src, dst, 4, 4), 0);
}

}  // namespace
