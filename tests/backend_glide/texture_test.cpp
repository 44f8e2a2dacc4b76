// The texture manager: names, alpha rules, the table, filtering, and the TEX
// and 3DF files, well-formed and damaged.
#include <cstring>
#include <string>

#include "backend_fixture.h"
#include "tools/datakit/lib/picture_writer.h"
#include "tools/datakit/lib/texture_3df.h"

namespace {

// A .TEX header of six u32 and `texelBytes` bytes of texels.
Bytes TexFile(uint32_t width, uint32_t height, uint32_t lod, uint32_t aspect, uint32_t format, size_t texelBytes) {
  datakit::ByteWriter w;
  for (uint32_t v : {width, height, lod, lod, aspect, format}) w.U32(v);
  for (size_t i = 0; i < texelBytes; ++i) w.U8(static_cast<uint8_t>(i * 7));
  return w.Take();
}

// A .3DF text header and `texelBytes` bytes of texels.
Bytes File3df(const std::string& header, size_t texelBytes) {
  Bytes b(header.begin(), header.end());
  for (size_t i = 0; i < texelBytes; ++i) b.push_back(static_cast<uint8_t>(i * 5));
  return b;
}

std::vector<uint16_t> Texels(const TextureRecord* record) {
  const auto* t = static_cast<const uint16_t*>(record->info.data);
  return std::vector<uint16_t>(t, t + record->info.width * record->info.height);
}

// Pixels of one row of the screen that are neither black nor white.
int BlendedPixels(int32_t y, int32_t x0, int32_t x1) {
  int n = 0;
  for (int32_t x = x0; x < x1; ++x) {
    uint16_t p = Screen()[static_cast<size_t>(y) * gRdrState.screenWidth + x];
    n += p != 0 && p != 0xFFFF;
  }
  return n;
}

}  // namespace

TEST(TextureNames, KeyIsTheUpperCasedNameUpToItsFirstDot) {
  const std::pair<const char*, const char*> cases[] = {
      {"desert\\gomme.3df", "GOMME"},     {"desert\\abcdefghij.3df", "ABCDEFGH"},
      {"", ""},                            {"desert\\.hidden", ""},
      {".3df", ""},                        {"noext", "NOEXT"},
      {"dir.x\\name", "NAME"},             {"a\\b\\Name.Two.3df", "NAME"},
      {"tex/slash.3df", "TEX/SLAS"},       {"trailing\\", ""},
      {"MixEd9_z.tex", "MIXED9_Z"},
  };
  for (const auto& [path, key] : cases) EXPECT_STREQ(TexKeyFromPath(path), key) << path;
}

TEST(TextureNames, PathGetsTheGivenExtensionOrNothingWhenTooLong) {
  const std::string name25(25, 'n');  // 25 + ".3DF" = 29 characters: fits
  const std::string name26(26, 'n');  // 30 characters: does not
  const std::pair<std::string, std::string> cases[] = {
      {"desert\\gomme.3df", "desert\\gomme.3DF"},
      {"desert\\gomme", "desert\\gomme.3DF"},
      {"desert\\gomme.tex", "desert\\gomme.3DF"},
      {"", ""},
      {"dir.x\\name", "dir.x\\name.3DF"},
      {"a.b.c", "a.b.3DF"},
      {name25, name25 + ".3DF"},
      {name26, ""},
      {name25 + ".longextension", name25 + ".3DF"},
  };
  for (const auto& [path, want] : cases) EXPECT_EQ(TexPathSetExt(path.c_str(), ".3DF"), want) << path;
}

TEST_F(BackendTest, AlphaPassesSetTheAlphaOfEachTexel) {
  struct Case {
    const char* what;
    int32_t key[3];
    bool fromColour;  // the 4444 pass, else the 1555 colour-key pass
    uint16_t in, out;
  };
  const Case cases[] = {
      {"keyed texel", {255, 0, 255}, false, 0x7C1F, 0x7C1F},
      {"keyed texel with its alpha bit", {255, 0, 255}, false, 0xFC1F, 0x7C1F},
      {"one blue step off the key", {255, 0, 255}, false, 0x7C1E, 0xFC1E},
      {"black", {255, 0, 255}, false, 0x0000, 0x8000},
      {"key compared in 5 bits", {250, 7, 249}, false, 0x7C1F, 0x7C1F},
      {"no key", {-1, -1, -1}, false, 0x7C1F, 0xFC1F},
      {"4444 red 3 green 9 blue 5", {-1, -1, -1}, true, 0x0395, 0x9395},
      {"4444 black is transparent", {-1, -1, -1}, true, 0xF000, 0x0000},
      {"4444 keeps its colour", {-1, -1, -1}, true, 0x5F12, 0xFF12},
  };
  for (const Case& c : cases) {
    TexSetColourKey(c.key[0], c.key[1], c.key[2]);
    uint16_t texel = c.in;
    if (c.fromColour)
      TexAlphaFromColour(&texel, 1, 1);
    else
      TexApplyColourKey(&texel, 1, 1);
    EXPECT_EQ(texel, c.out) << c.what;
  }
}

// Each format through the loader and onto the screen: 4 texels side by side,
// each drawn 16 pixels wide over a green background.
TEST_F(BackendTest, LoadedTexturesGetTheirFormatsAlphaRule) {
  constexpr uint16_t GREEN = 0x07E0;
  constexpr uint16_t ANY = 0;  // not compared on screen (blended)
  struct Case {
    const char* what;
    int32_t format;
    bool keyed;  // colour key (255, 0, 255)
    uint16_t in[4], loaded[4], screen[4];
  };
  const Case cases[] = {
      {"1555 keyed", 11, true, {0x7C1F, 0xFC1F, 0x0000, 0x03E0}, {0x7C1F, 0x7C1F, 0x8000, 0x83E0},
       {GREEN, GREEN, 0x0000, 0x07E0}},
      {"1555 without key", 11, false, {0x7C1F, 0x001F, 0x0000, 0x7FFF}, {0xFC1F, 0x801F, 0x8000, 0xFFFF},
       {0xF81F, 0x001F, 0x0000, 0xFFFF}},
      {"565 keyed stays opaque", 10, true, {0xF81F, 0x7C1F, 0x0000, 0xFFFF}, {0xF81F, 0x7C1F, 0x0000, 0xFFFF},
       {0xF81F, 0x7C1F, 0x0000, 0xFFFF}},
      {"565 without key stays as it is", 10, false, {0x7FFF, 0x8000, 0x0001, 0x07E0},
       {0x7FFF, 0x8000, 0x0001, 0x07E0}, {0x7FFF, 0x8000, 0x0001, 0x07E0}},
      {"4444 alpha from colour", 12, false, {0x0395, 0xFFFF, 0x0000, 0x000F}, {0x9395, 0xFFFF, 0x0000, 0xF00F},
       {ANY, 0xFFFF, GREEN, 0x001F}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string name = std::string("t") + std::to_string(&c - cases) + ".3df";
    Put(name, datakit::Make3df(c.format, 4, 1, std::vector<uint16_t>(c.in, c.in + 4)));
    TexSetColourKey(c.keyed ? 255 : -1, 0, 255);
    TextureRecord* record = TexLoadUnfiltered(name.c_str());
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(Texels(record), std::vector<uint16_t>(c.loaded, c.loaded + 4));
    const int32_t handle = TexDownload(record);
    ASSERT_GE(handle, 0);
    RdrClear(0, 255, 0);
    DrawTexture(handle, record->sRange, record->tRange, 0, 0, 64, 16);
    TexFree(record);
    for (int i = 0; i < 4; ++i)
      if (c.screen[i] != ANY) {
        EXPECT_EQ(Pixel(i * 16 + 8, 2), c.screen[i]) << "texel " << i;
      }
  }
}

TEST_F(BackendTest, TableTakesFourHundredTexturesAndRefusesTheNext) {
  Put("tex/one.3df", datakit::Make3df(datakit::TEX3DF_ARGB1555, 2, 1, {0x7C00, 0x001F}));
  const uint32_t before = MemPoolUsedBytes();
  for (int i = 0; i <= TEX_TABLE_SIZE; ++i) {
    TexSetColourKey(i == 0 ? 8 : -1, 16, 24);
    TextureRecord* record = TexLoad("tex\\one.3df");
    ASSERT_NE(record, nullptr) << i;
    const int32_t handle = TexDownload(record);
    if (i < TEX_TABLE_SIZE) {
      EXPECT_EQ(handle, i);
      EXPECT_EQ(record->info.data, nullptr);
    } else {
      EXPECT_EQ(handle, -1);
      EXPECT_NE(record->info.data, nullptr);  // still the caller's to free
    }
    TexFree(record);
  }
  EXPECT_EQ(gTextureTable.count, TEX_TABLE_SIZE);
  EXPECT_EQ(gTextureTable.texelBytes, (TEX_TABLE_SIZE + 1) * 4);
  EXPECT_EQ(MemPoolUsedBytes(), before);
  EXPECT_EQ(TexDownload(nullptr), -1);

  // The first entry carries the key in force at its download; later ones none.
  const TextureTableEntry& first = gTextureTable.entries[0];
  EXPECT_STREQ(first.path, "tex\\one.3DF");
  EXPECT_STREQ(first.key, "ONE");
  EXPECT_EQ(Val(first.keyRed), 8);
  EXPECT_EQ(Val(first.keyGreen), 16);
  EXPECT_EQ(Val(first.keyBlue), 24);
  EXPECT_EQ(Val(gTextureTable.entries[1].keyRed), 0xFFFF);

  // Lookups go by key, first match in table order.
  EXPECT_EQ(TexFind("other\\One.tex"), &gTextureTable.entries[0]);
  int32_t s = -5, t = -5;
  EXPECT_EQ(TexFindHandle("one", &s, &t), 0);
  EXPECT_EQ(s, 256);
  EXPECT_EQ(t, 128);
  s = t = -5;
  EXPECT_EQ(TexFindHandle("absent", &s, &t), 0);
  EXPECT_EQ(s, -5);
  EXPECT_EQ(t, -5);
  EXPECT_EQ(TexFind("absent"), nullptr);

  TexMemReset();
  EXPECT_EQ(gTextureTable.count, 0);
  EXPECT_EQ(gTextureTable.texelBytes, 0);
}

// New texels for a texture already in the table: the screen shows them, as
// given (no alpha pass) and copied at the call, and nothing else changes.
TEST_F(BackendTest, DownloadTexelsReplacesOneTexturesTexels) {
  Put("a.3df", datakit::Make3df(datakit::TEX3DF_RGB565, 4, 1, {0xF800, 0xF800, 0xF800, 0xF800}));
  Put("b.3df", datakit::Make3df(datakit::TEX3DF_ARGB1555, 4, 1, {0x801F, 0x801F, 0x801F, 0x801F}));
  int32_t handles[2];
  uint16_t s = 0, t = 0;
  for (int i = 0; i < 2; ++i) {
    TextureRecord* record = TexLoadUnfiltered(i == 0 ? "a.3df" : "b.3df");
    ASSERT_NE(record, nullptr);
    handles[i] = TexDownload(record);
    ASSERT_GE(handles[i], 0);
    s = record->sRange;
    t = record->tRange;
    TexFree(record);
  }
  const uint32_t used = MemPoolUsedBytes();

  // Alpha 0 in a 1555 texture stays transparent: no alpha pass adds it back.
  uint16_t fresh[4] = {0x07E0, 0x001F, 0xFFFF, 0x0000};
  TexDownloadTexels(handles[0], fresh);
  uint16_t fresh1555[4] = {0xFC00, 0x83E0, 0x03E0, 0x8000};
  TexDownloadTexels(handles[1], fresh1555);
  fresh[0] = fresh1555[0] = 0x1234;  // the accelerator holds its own copy

  RdrClear(255, 255, 0);
  DrawTexture(handles[0], s, t, 0, 0, 64, 16);
  DrawTexture(handles[1], s, t, 0, 32, 64, 48);
  const uint16_t yellow = 0xFFE0;
  const uint16_t want[2][4] = {{0x07E0, 0x001F, 0xFFFF, 0x0000}, {0xF800, 0x07E0, yellow, 0x0000}};
  for (int row = 0; row < 2; ++row)
    for (int i = 0; i < 4; ++i) EXPECT_EQ(Pixel(i * 16 + 8, row * 32 + 8), want[row][i]) << row << " " << i;
  EXPECT_EQ(gTextureTable.count, 2);
  EXPECT_EQ(Val(gTextureTable.entries[0].handle), static_cast<uint32_t>(handles[0]));
  EXPECT_EQ(MemPoolUsedBytes(), used);
  EXPECT_TRUE(gScreens.fatal.empty());
}

// A download that cannot happen (the record was downloaded already, or its
// texture memory went in a reset) takes no entry and hands back -1; the
// record keeps what it holds for TexFree.
TEST_F(BackendTest, ADownloadThatFailsTakesNoEntry) {
  Put("one.3df", datakit::Make3df(datakit::TEX3DF_ARGB1555, 2, 1, {0x7C00, 0x001F}));
  const uint32_t before = MemPoolUsedBytes();
  TextureRecord* twice = TexLoad("one.3df");
  ASSERT_NE(twice, nullptr);
  EXPECT_EQ(TexDownload(twice), 0);
  EXPECT_EQ(TexDownload(twice), -1);
  EXPECT_EQ(gTextureTable.count, 1);
  TexFree(twice);

  TextureRecord* reset = TexLoad("one.3df");
  ASSERT_NE(reset, nullptr);
  TexMemReset();
  EXPECT_EQ(TexDownload(reset), -1);
  EXPECT_EQ(gTextureTable.count, 0);
  EXPECT_NE(reset->info.data, nullptr);
  TexFree(reset);
  EXPECT_EQ(MemPoolUsedBytes(), before);
}

// A black-and-white 8x8 texture magnified 8 times shows grey steps only when
// it is filtered bilinearly.
TEST_F(BackendTest, FilterFollowsTheColourKeyAndTheLoader) {
  std::vector<uint16_t> texels(64);
  for (int i = 0; i < 64; ++i) texels[i] = (i % 8) < 4 ? 0x0000 : 0xFFFF;
  Put("filt.3df", datakit::Make3df(datakit::TEX3DF_RGB565, 8, 8, texels));
  datakit::PakSet set;
  set.archives[1].AddFile("FILT.TEX", datakit::MakeTex(datakit::TEX_RGB565, 8, 8, texels));

  struct Case {
    bool packed, keyed, unfiltered, bilinear;
  };
  const Case cases[] = {
      {false, false, false, true}, {false, true, false, false}, {false, false, true, false},
      {false, true, true, false},  {true, false, false, true},  {true, true, false, false},
      {true, false, true, true},   {true, true, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "packed " << c.packed << " keyed " << c.keyed << " unfiltered "
                                    << c.unfiltered);
    if (c.packed && !gPakMounted) Mount(set);
    TexSetColourKey(c.keyed ? 255 : -1, 0, 255);
    TextureRecord* record = c.unfiltered ? TexLoadUnfiltered("filt.3df") : TexLoad("filt.3df");
    ASSERT_NE(record, nullptr);
    const int32_t handle = TexDownload(record);
    TexFree(record);
    RdrClear(0, 0, 0);
    DrawTexture(handle, 256, 256, 0, 0, 64, 64);
    if (c.bilinear)
      EXPECT_GT(BlendedPixels(32, 0, 64), 0);
    else
      EXPECT_EQ(BlendedPixels(32, 0, 64), 0);
  }
  EXPECT_TRUE(gScreens.fatal.empty());
}

// Every field from the file's own table, byte by byte: a 16x8 ARGB1555
// texture (aspect 2:1, level 4 for a 16-texel side).
TEST_F(BackendTest, TexFileIsReadFieldByField) {
  datakit::ByteWriter w;
  const uint8_t header[24] = {16, 0, 0, 0, 8, 0, 0, 0, 4, 0, 0, 0, 4, 0, 0, 0, 2, 0, 0, 0, 11, 0, 0, 0};
  w.Raw(header, sizeof header);
  std::vector<uint16_t> texels(128);
  for (size_t i = 0; i < texels.size(); ++i) {
    texels[i] = static_cast<uint16_t>(i * 0x0101 + (i & 1 ? 0x8000 : 0));
    w.U8(static_cast<uint8_t>(texels[i]));
    w.U8(static_cast<uint8_t>(texels[i] >> 8));
  }
  const Bytes file = w.Take();
  ASSERT_EQ(file.size(), 24u + 256u);
  EXPECT_EQ(datakit::MakeTex(datakit::TEX_ARGB1555, 16, 8, texels), file);

  datakit::PakSet set;
  set.archives[1].AddFile("TRACK\\BRICK.TEX", file);
  Mount(set);
  // A key that matches texel 0 changes nothing: the file's texels are final.
  TexSetColourKey(0, 0, 0);
  TextureRecord* record = TexLoad("track\\brick.3df");
  ASSERT_NE(record, nullptr);
  EXPECT_STREQ(record->path, "track\\brick.3DF");
  EXPECT_STREQ(record->key, "BRICK");
  EXPECT_EQ(record->info.width, 16u);
  EXPECT_EQ(record->info.height, 8u);
  EXPECT_EQ(record->info.smallLod, 4);
  EXPECT_EQ(record->info.largeLod, 4);
  EXPECT_EQ(record->info.aspect, 2);
  EXPECT_EQ(record->info.format, 11);
  EXPECT_EQ(record->info.memRequired, 256u);
  EXPECT_EQ(record->sRange, 256);
  EXPECT_EQ(record->tRange, 128);
  EXPECT_EQ(Texels(record), texels);
  EXPECT_EQ(gTextureTable.texelBytes, 256);

  const int32_t handle = TexDownload(record);
  TexFree(record);
  ASSERT_GE(handle, 0);
  const TextureTableEntry& entry = gTextureTable.entries[0];
  EXPECT_STREQ(entry.path, "track\\brick.3DF");
  EXPECT_STREQ(entry.key, "BRICK");
  EXPECT_EQ(Val(entry.handle), static_cast<uint32_t>(handle));
  EXPECT_EQ(Val(entry.sRange), 256);
  EXPECT_EQ(Val(entry.tRange), 128);
  EXPECT_EQ(Val(entry.keyRed), 0);
}

// Every line of the text header and the big-endian texels, byte by byte: an
// 8x32 ARGB4444 texture (aspect 1:4).
TEST_F(BackendTest, File3dfIsReadLineByLine) {
  const char header[] = "3df v1.1\nargb4444\nlod range: 32 32\naspect ratio: 1 4\n";
  Bytes file(header, header + sizeof header - 1);
  std::vector<uint16_t> texels(8 * 32);
  for (size_t i = 0; i < texels.size(); ++i) {
    texels[i] = static_cast<uint16_t>(0xF000 | (i % 16) << 8 | (15 - i % 16) << 4 | (i / 16));
    file.push_back(static_cast<uint8_t>(texels[i] >> 8));
    file.push_back(static_cast<uint8_t>(texels[i]));
  }
  EXPECT_EQ(datakit::Make3df(datakit::TEX3DF_ARGB4444, 8, 32, texels), file);
  Put("WALL.3DF", file);

  TextureRecord* record = TexLoad("wall.3df");
  ASSERT_NE(record, nullptr);
  EXPECT_STREQ(record->path, "wall.3DF");
  EXPECT_STREQ(record->key, "WALL");
  EXPECT_EQ(record->info.width, 8u);
  EXPECT_EQ(record->info.height, 32u);
  EXPECT_EQ(record->info.smallLod, 3);
  EXPECT_EQ(record->info.largeLod, 3);
  EXPECT_EQ(record->info.aspect, 5);
  EXPECT_EQ(record->info.format, 12);
  EXPECT_EQ(record->info.memRequired, 512u);
  EXPECT_EQ(record->sRange, 64);
  EXPECT_EQ(record->tRange, 256);
  // Host order, alpha from the largest colour nibble.
  std::vector<uint16_t> want(texels);
  for (uint16_t& t : want) {
    uint16_t a = std::max({(t >> 8) & 0xF, (t >> 4) & 0xF, t & 0xF});
    t = static_cast<uint16_t>(a << 12 | (t & 0x0FFF));
  }
  EXPECT_EQ(Texels(record), want);
  TexFree(record);
}

TEST_F(BackendTest, DamagedTexFilesAreRefusedWithoutLeaking) {
  struct Case {
    const char* what;
    Bytes file;
  };
  const Case cases[] = {
      {"short header", Bytes(23, 8)},
      {"empty file", Bytes{}},
      {"width not a power of two", TexFile(12, 8, 5, 2, 11, 12 * 8 * 2)},
      {"height zero", TexFile(8, 0, 5, 3, 11, 0)},
      {"wider than 256", TexFile(512, 64, 0, 0, 11, 512 * 64 * 2)},
      {"aspect code for another shape", TexFile(16, 8, 4, 3, 11, 256)},
      {"aspect code beyond the table", TexFile(8, 8, 5, 7, 11, 128)},
      {"negative aspect code", TexFile(8, 8, 5, 0xFFFFFFFF, 11, 128)},
      {"unknown format", TexFile(8, 8, 5, 3, 13, 128)},
      {"8-bit format", TexFile(8, 8, 5, 3, 5, 128)},
      {"truncated texels", TexFile(8, 8, 5, 3, 11, 127)},
      {"byte count overflows 32 bits", TexFile(0x80000000u, 1, 0, 0, 11, 64)},
      {"texel count overflows 32 bits", TexFile(0x10000, 0x10000, 0, 3, 11, 64)},
  };
  datakit::PakSet set;
  set.archives[1].AddFile("GOOD.TEX", TexFile(8, 8, 5, 3, 11, 128));
  for (const Case& c : cases) set.archives[1].AddFile("BAD" + std::to_string(&c - cases) + ".TEX", c.file);
  Mount(set);
  const uint32_t before = MemPoolUsedBytes();

  TextureRecord* good = TexLoad("good");
  EXPECT_NE(good, nullptr);  // the cases differ from a loadable file in one field
  TexFree(good);
  for (const Case& c : cases) {
    const std::string name = "bad" + std::to_string(&c - cases);
    EXPECT_EQ(TexLoad(name.c_str()), nullptr) << c.what;
  }
  EXPECT_EQ(MemPoolUsedBytes(), before);
  EXPECT_EQ(gTextureTable.texelBytes, 128);
  EXPECT_TRUE(gScreens.fatal.empty());
}

TEST_F(BackendTest, Damaged3dfFilesAreRefusedWithoutLeaking) {
  const std::string good = "3df v1.1\nargb1555\nlod range: 8 8\naspect ratio: 1 1\n";
  struct Case {
    const char* what;
    Bytes file;
  };
  const Case cases[] = {
      {"carriage return after the signature",
       File3df("3df v1.1\r\nargb1555\nlod range: 8 8\naspect ratio: 1 1\n", 128)},
      {"other version", File3df("3df v1.0\nargb1555\nlod range: 8 8\naspect ratio: 1 1\n", 128)},
      {"unknown format", File3df("3df v1.1\nrgb332\nlod range: 8 8\naspect ratio: 1 1\n", 128)},
      {"one level size", File3df("3df v1.1\nargb1555\nlod range: 8\naspect ratio: 1 1\n", 128)},
      {"level of 512", File3df("3df v1.1\nargb1555\nlod range: 512 512\naspect ratio: 1 1\n", 512 * 512 * 2)},
      {"level not a power of two", File3df("3df v1.1\nargb1555\nlod range: 12 12\naspect ratio: 1 1\n", 288)},
      {"unknown aspect", File3df("3df v1.1\nargb1555\nlod range: 8 8\naspect ratio: 3 1\n", 128)},
      {"aspect too narrow for the level", File3df("3df v1.1\nargb1555\nlod range: 4 4\naspect ratio: 8 1\n", 64)},
      {"truncated texels", File3df(good, 127)},
      {"header without its last line feed", File3df(good.substr(0, good.size() - 1), 0)},
      {"header longer than 128 bytes",
       File3df("3df v1.1\nargb1555\nlod range: 8 8\n" + std::string(120, ' ') + "aspect ratio: 1 1\n", 128)},
      {"empty file", Bytes{}},
  };
  Put("good.3df", File3df(good, 128));
  for (const Case& c : cases) Put("bad" + std::to_string(&c - cases) + ".3df", c.file);
  const uint32_t before = MemPoolUsedBytes();

  TextureRecord* loaded = TexLoad("good.3df");
  EXPECT_NE(loaded, nullptr);
  TexFree(loaded);
  for (const Case& c : cases) {
    const std::string name = "bad" + std::to_string(&c - cases) + ".3df";
    EXPECT_EQ(TexLoad(name.c_str()), nullptr) << c.what;
    EXPECT_EQ(TexLoadUnfiltered(name.c_str()), nullptr) << c.what;
  }
  EXPECT_EQ(TexLoad("absent.3df"), nullptr);
  EXPECT_EQ(MemPoolUsedBytes(), before);
  EXPECT_TRUE(gScreens.fatal.empty());  // loose files fail quietly
}

TEST_F(BackendTest, MissingPackedTextureIsReportedWithTheCallersPath) {
  datakit::PakSet set;
  set.archives[1].AddFile("TRACK\\HERE.TEX", TexFile(8, 8, 5, 3, 11, 128));
  Mount(set);
  const uint32_t before = MemPoolUsedBytes();
  EXPECT_EQ(TexLoad("track\\gone.3df"), nullptr);
  EXPECT_EQ(TexLoadUnfiltered("Track\\Gone"), nullptr);
  // A path of 30 characters: too long for any name the archive could hold.
  const std::string longPath = "track\\twenty_letter_name_x.3df";
  ASSERT_EQ(longPath.size(), 30u);
  EXPECT_EQ(TexLoadPacked(longPath.c_str()), nullptr);
  EXPECT_EQ(gScreens.fatal, (std::vector<std::string>{"track\\gone.3df", "Track\\Gone", longPath}));
  EXPECT_EQ(MemPoolUsedBytes(), before);
  EXPECT_EQ(gTextureTable.texelBytes, 0);
}
