// Textures: .3DF files from disk and .TEX files from the archives, assembled
// byte by byte here, their headers refused when damaged, the transparency
// passes, downloads into the device's textures and the coordinate helpers.
#include <cstring>

#include "d3d_fixture.h"
#include "engine3d/mesh.h"
#include "platform/pak.h"

namespace {

std::string Texels(std::initializer_list<uint8_t> bytes) { return std::string(bytes.begin(), bytes.end()); }

std::string File3df(const std::string& format, const std::string& lod, const std::string& aspect,
                    const std::string& texels) {
  return "3df v1.1\n" + format + "\n" + lod + "\n" + aspect + "\n" + texels;
}

class D3dTextureTest : public D3dBackendTest {
 protected:
  void SetUp() override {
    D3dBackendTest::SetUp();
    old_ = std::filesystem::current_path();
    std::filesystem::current_path(dir_.path());
    Open();
    TexSetColourKey(-1, -1, -1);
    displayObjects_ = HalD3dLiveObjects();
  }
  void TearDown() override {
    std::filesystem::current_path(old_);
    D3dBackendTest::TearDown();
  }
  // The texels of a loaded record, row by row at the surface's pitch.
  std::vector<uint16_t> TexelsOf(TextureRecord* record) {
    int32_t pitch = 0;
    HalObject surface = static_cast<HalObject>(reinterpret_cast<uintptr_t>(record->info.data));
    auto* p = static_cast<uint8_t*>(HalSurfaceLock(surface, &pitch));
    std::vector<uint16_t> out;
    for (uint32_t y = 0; p && y < record->info.height; ++y)
      for (uint32_t x = 0; x < record->info.width; ++x) {
        uint16_t t;
        std::memcpy(&t, p + y * pitch + x * 2, 2);
        out.push_back(t);
      }
    HalSurfaceUnlock(surface);
    return out;
  }
  TempDir dir_;
  std::filesystem::path old_;
  int32_t displayObjects_ = 0;
};

TEST_F(D3dTextureTest, HeaderCases) {
  const std::string square = std::string(8, '\0');  // 2 x 2 texels
  struct Row {
    const char* name;
    std::string file;
    bool ok;
  };
  const Row rows[] = {
      {"good", File3df("rgb565", "lod range: 2 2", "aspect ratio: 1 1", square), true},
      {"carriage return", "3df v1.1\r\nrgb565\nlod range: 2 2\naspect ratio: 1 1\n" + square, false},
      {"unknown format", File3df("rgb555", "lod range: 2 2", "aspect ratio: 1 1", square), false},
      {"bad aspect", File3df("rgb565", "lod range: 2 2", "aspect ratio: 3 1", square), false},
      {"lod not a power of two", File3df("rgb565", "lod range: 2 3", "aspect ratio: 1 1", square), false},
      {"small above large", File3df("rgb565", "lod range: 4 2", "aspect ratio: 1 1", square), false},
      {"missing texels", File3df("rgb565", "lod range: 2 2", "aspect ratio: 1 1", square.substr(1)), false},
      {"header past 128 bytes", File3df("rgb565", "lod range:" + std::string(120, ' ') + "2 2", "aspect ratio: 1 1", square), false},
  };
  for (const Row& row : rows) {
    dir_.Write("t.3DF", row.file);
    TextureRecord* r = TexLoad("t.3df");
    EXPECT_EQ(r != nullptr, +row.ok) << row.name;
    TexFree(r);
  }
  EXPECT_EQ(HalD3dLiveObjects(), displayObjects_);  // nothing leaked
}

TEST_F(D3dTextureTest, LooseAndPackedRangesOfOneTexture) {
  dir_.Write("wide.3DF", File3df("rgb565", "lod range: 8 256", "aspect ratio: 2 1", std::string(256 * 128 * 2, '\0')));
  TextureRecord* loose = TexLoad("wide.3df");
  ASSERT_NE(loose, nullptr);
  EXPECT_EQ(+loose->info.width, 256u);
  EXPECT_EQ(+loose->info.height, 128u);
  EXPECT_EQ(+loose->sRange, 255);
  EXPECT_EQ(+loose->tRange, 127);
  EXPECT_STREQ(loose->path, "wide.3DF");
  EXPECT_STREQ(loose->key, "WIDE");
  EXPECT_EQ(+gTextureTable.texelBytes, 256 * 128 * 2);
  TexFree(loose);

  // The same texture as a .TEX file, as the archives hold it.
  std::string tex(24, '\0');
  const uint32_t head[6] = {256, 128, 8, 0, 2, TEX_FMT_RGB_565};
  std::memcpy(tex.data(), head, 24);
  tex += std::string(256 * 128 * 2, '\x11');
  dir_.Write("wide.TEX", tex);
  TextureRecord* packed = TexLoadPacked("wide.3df");
  ASSERT_NE(packed, nullptr);
  EXPECT_EQ(+packed->sRange, 256);
  EXPECT_EQ(+packed->tRange, 128);
  EXPECT_STREQ(packed->path, "wide.3DF");
  EXPECT_EQ(TexelsOf(packed)[0], 0x1111);
  TexFree(packed);
}

TEST_F(D3dTextureTest, TexFilesWithBadHeadersAreRefused) {
  struct Row {
    const char* name;
    uint32_t head[6];
    size_t texelBytes;
  };
  const Row rows[] = {
      {"size past the file", {256, 256, 0, 0, 3, 10}, 100},
      {"aspect out of range", {4, 4, 0, 0, 7, 10}, 32},
      {"aspect that disagrees", {4, 4, 0, 0, 2, 10}, 32},
      {"format 9", {4, 4, 0, 0, 3, 9}, 32},
      {"huge sides", {0x80000000u, 2, 0, 0, 3, 10}, 32},
  };
  for (const Row& row : rows) {
    std::string tex(24, '\0');
    std::memcpy(tex.data(), row.head, 24);
    dir_.Write("bad.TEX", tex + std::string(row.texelBytes, '\0'));
    EXPECT_EQ(TexLoadPacked("bad.3df"), nullptr) << row.name;
  }
}

TEST_F(D3dTextureTest, TexelsAreSwappedAndTheKeyPassRunsOn1555Only) {
  struct Row {
    const char* format;
    int32_t keyRed, keyGreen, keyBlue;
    uint16_t want[4];
  };
  // Stored big-endian; 1555's stored alpha bit is inverted on loading.
  const std::string texels = Texels({0x80, 0x1F, 0x00, 0x1F, 0xF8, 0x00, 0x0F, 0x0F});
  const Row rows[] = {
      // 0x80 0x1F becomes 0x001F: keyed by pure blue it stays transparent,
      // and so does 0x00 0x1F, whose alpha bit the loading set.
      {"argb1555", 0, 0, 255, {0x001F, 0x001F, 0xF800, 0x8F0F}},
      {"argb1555", -1, -1, -1, {0x801F, 0x801F, 0xF800, 0x8F0F}},
      {"rgb565", 0, 0, 255, {0x801F, 0x001F, 0xF800, 0x0F0F}},
      {"argb4444", -1, -1, -1, {0xF01F, 0xF01F, 0x8800, 0xFF0F}},
  };
  for (const Row& row : rows) {
    dir_.Write("k.3DF", File3df(row.format, "lod range: 2 2", "aspect ratio: 1 1", texels));
    TexSetColourKey(row.keyRed, row.keyGreen, row.keyBlue);
    TextureRecord* r = TexLoad("k.3df");
    ASSERT_NE(r, nullptr) << row.format;
    EXPECT_EQ(TexelsOf(r), std::vector<uint16_t>(row.want, row.want + 4)) << row.format << " key " << row.keyRed;
    TexFree(r);
  }
}

TEST_F(D3dTextureTest, DownloadFillsTheTableAndThe401stFails) {
  dir_.Write("a.3DF", File3df("argb1555", "lod range: 2 2", "aspect ratio: 1 1", std::string(8, '\0')));
  for (int i = 0; i < TEX_TABLE_SIZE; ++i) {
    TextureRecord* r = TexLoad("a.3df");
    ASSERT_EQ(TexDownload(r), i);
    EXPECT_EQ(+r->info.data, nullptr);
    TexFree(r);
  }
  EXPECT_EQ(+gTextureTable.count, TEX_TABLE_SIZE);
  const TextureTableEntry last = gTextureTable.entries[TEX_TABLE_SIZE - 1];
  TextureRecord* r = TexLoad("a.3df");
  EXPECT_EQ(TexDownload(r), -1);
  EXPECT_EQ(+gTextureTable.count, TEX_TABLE_SIZE);
  EXPECT_EQ(std::memcmp(&last, &gTextureTable.entries[TEX_TABLE_SIZE - 1], sizeof last), 0);
  TexFree(r);
  EXPECT_EQ(+gTextureTable.entries[0].sRange, 255);
  EXPECT_STREQ(gTextureTable.entries[0].key, "A");

  TexMemReset();
  EXPECT_EQ(+gTextureTable.count, 0);
  EXPECT_EQ(+gTextureTable.texelBytes, 0);
  EXPECT_EQ(+gTexSurfaces[0].texture, 0u);
  EXPECT_EQ(HalD3dLiveObjects(), displayObjects_);
}

TEST_F(D3dTextureTest, AFailedDownloadLeavesNothingBehind) {
  dir_.Write("a.3DF", File3df("rgb565", "lod range: 2 2", "aspect ratio: 1 1", std::string(8, '\0')));
  for (const char* step : {"CreateSurface", "QueryInterfaceTexture", "Load", "Blt"}) {
    TextureRecord* r = TexLoad("a.3df");
    const int32_t live = HalD3dLiveObjects();
    HalD3dFailNext(step, 1);
    EXPECT_EQ(TexDownload(r), -1) << step;
    EXPECT_EQ(+gTextureTable.count, 0) << step;
    EXPECT_EQ(HalD3dLiveObjects(), live) << step;
    TexFree(r);
  }
  EXPECT_EQ(TexDownload(nullptr), -1);
}

TEST_F(D3dTextureTest, SourceKeyOnlyWithoutNotEqual) {
  dir_.Write("a.3DF", File3df("argb1555", "lod range: 2 2", "aspect ratio: 1 1", std::string(8, '\0')));
  TexSetColourKey(255, 0, 255);
  TextureRecord* r = TexLoad("a.3df");
  TexDownload(r);
  TexFree(r);
  EXPECT_TRUE(Calls("SetColorKey").empty());

  RdrClose();
  HalDevice d = HalDeviceDefault();
  d.alphaCompareNotEqual = false;
  HalDevicesSet({d});
  Open();
  TexSetColourKey(255, 0, 255);
  r = TexLoad("a.3df");
  EXPECT_EQ(TexDownload(r), 0);
  TexFree(r);
  const std::string key = std::to_string(0xFF00FF);
  EXPECT_EQ(Calls("SetColorKey"), (std::vector<std::string>{"SetColorKey " + key + " " + key}));
  EXPECT_EQ(+gTextureTable.entries[0].keyRed, 255);
}

TEST_F(D3dTextureTest, DownloadTexelsWithoutAGrabDoesNothing) {
  dir_.Write("a.3DF", File3df("rgb565", "lod range: 2 2", "aspect ratio: 1 1", std::string(8, '\0')));
  TextureRecord* r = TexLoad("a.3df");
  TexDownload(r);
  TexFree(r);
  calls.clear();
  TexDownloadTexels(0, nullptr);
  EXPECT_TRUE(calls.empty());
}

TEST_F(D3dTextureTest, FaceCoordinatesAreDividedByTheirTexturesRanges) {
  gTextureTable.count = 1;
  gTextureTable.entries[0].sRange = 256;
  gTextureTable.entries[0].tRange = 64;
  Face faces[2] = {};
  faces[0].type = 0x02000000;
  faces[1].type = 0x02000007;  // no such texture: left alone
  for (int k = 0; k < 8; ++k) faces[0].st[k] = faces[1].st[k] = 128.0f;
  gMesh.faces = faces;
  gMesh.faceCount = 2;
  TexNormalizeFaceCoords(&gTextureTable);
  EXPECT_EQ(+faces[0].st[0], 0.5f);
  EXPECT_EQ(+faces[0].st[1], 2.0f);
  EXPECT_EQ(+faces[0].st[7], 2.0f);
  EXPECT_EQ(+faces[1].st[0], 128.0f);
  gMesh.faces = nullptr;
  gMesh.faceCount = 0;

  // The 3DS loader's step keeps the file's 0..1 mapping.
  Vertex v[3] = {};
  v[0].viewX = 0.25f;
  v[0].viewY = 0.75f;
  v[2].viewX = 1.0f;
  Face f{};
  f.index[0] = 0;
  f.index[1] = 1;
  f.index[2] = 2;
  MeshFaceTexCoords(&f, v, &gTextureTable.entries[0]);
  EXPECT_EQ(+f.st[0], 0.25f);
  EXPECT_EQ(+f.st[1], 0.75f);
  EXPECT_EQ(+f.st[4], 1.0f);
}

}  // namespace

TEST_F(D3dTextureTest, AMissingOrOverlongPackedTextureIsReportedWithTheCallersPath) {
  RecordFatalErrors();
  // 30 characters: too long for any name the archive could hold.
  const std::string longPath = "track\\twenty_letter_name_x.3df";
  ASSERT_EQ(longPath.size(), 30u);
  EXPECT_EQ(TexLoadPacked("track\\gone.3df"), nullptr);
  EXPECT_EQ(TexLoadPacked(longPath.c_str()), nullptr);
  EXPECT_EQ(gFatalErrors, (std::vector<std::string>{"track\\gone.3df", longPath}));
  GameSetFatalErrorHook(nullptr);
}
