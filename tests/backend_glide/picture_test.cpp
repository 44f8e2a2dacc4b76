// Full-screen pictures: the .qvr file, scaling to the screen, drawing into
// the frame; screen grabs; the BMP screenshot.
#include <algorithm>
#include <filesystem>
#include <map>

#include "backend_fixture.h"
#include "backend_common/picture.h"
#include "tools/datakit/lib/picture_writer.h"

namespace {

// A picture whose pixels count along one axis (the value is the column, or
// the row), so the screen shows which source pixel each place took.
Bytes AxisPicture(uint16_t width, uint16_t height, bool columns) {
  std::vector<uint16_t> pixels(size_t{width} * height);
  for (uint16_t y = 0; y < height; ++y)
    for (uint16_t x = 0; x < width; ++x) pixels[size_t{y} * width + x] = columns ? x : y;
  return datakit::MakeQvr(width, height, pixels);
}

// Loads and draws a picture; returns the screen as RGB555 values again.
std::vector<uint16_t> ShowPicture(const char* name) {
  uint16_t* picture = LfbLoadScreenImage(name);
  EXPECT_NE(picture, nullptr) << name;
  if (!picture) return {};
  LfbDrawScreenImage(picture);
  MemFree(picture);
  std::vector<uint16_t> screen = Screen();
  // Every value of the axis pictures is below 1024: blue and the low green
  // bits hold it, and 555 -> 565 is undone by dropping green's repeated bit.
  for (uint16_t& p : screen) p = static_cast<uint16_t>((p >> 11) << 10 | ((p >> 6) & 0x1F) << 5 | (p & 0x1F));
  return screen;
}

uint32_t U32At(const std::string& s, size_t at) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<uint8_t>(s[at + i]);
  return v;
}

uint16_t U16At(const std::string& s, size_t at) {
  return static_cast<uint16_t>(static_cast<uint8_t>(s[at]) | static_cast<uint8_t>(s[at + 1]) << 8);
}

}  // namespace

TEST_F(BackendTest, QvrFileIsReadFieldByField) {
  // 3 x 2 pixels, RGB555, rows from the top.
  const Bytes file = {3, 0, 2, 0, 0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00, 0xFF, 0x7F, 0x21, 0x04, 0x00, 0x00};
  const std::vector<uint16_t> pixels = {0x7C00, 0x03E0, 0x001F, 0x7FFF, 0x0421, 0x0000};
  EXPECT_EQ(datakit::MakeQvr(3, 2, pixels), file);
  Put("menu/pic.qvr", file);

  uint16_t* copy = LfbLoadImagePixels("MENU\\PIC.QVR");
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(std::vector<uint16_t>(copy, copy + 6), pixels);
  MemFree(copy);

  // On the screen: the first source column and row fill most of it, the last
  // ones are never reached.
  uint16_t* picture = LfbLoadScreenImage("menu\\pic.qvr");
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(picture[0], 0x7C00);
  EXPECT_EQ(picture[639], 0x03E0);
  EXPECT_EQ(picture[479 * 640 + 639], 0x03E0);
  MemFree(picture);

  // Mounted, the same name comes from the pictures' archive.
  datakit::PakSet set;
  set.archives[2].AddFile("MENU\\PIC.QVR", datakit::MakeQvr(1, 1, {0x1234}));
  Mount(set);
  picture = LfbLoadScreenImage("menu\\pic.qvr");
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(picture[0], 0x1234);
  EXPECT_EQ(picture[479 * 640 + 639], 0x1234);
  MemFree(picture);
}

TEST_F(BackendTest, PictureOfTheScreensSizeIsShiftedByLessThanAPixel) {
  Put("cols.qvr", AxisPicture(640, 480, true));
  Put("rows.qvr", AxisPicture(640, 480, false));
  const std::vector<uint16_t> cols = ShowPicture("cols.qvr");
  const std::vector<uint16_t> rows = ShowPicture("rows.qvr");
  ASSERT_EQ(cols.size(), 640u * 480u);
  ASSERT_EQ(rows.size(), 640u * 480u);
  // Columns 0, 0, 1, 2, ... 635, 635, 636, 637; rows 0, 0, 1, ... 476, 477, 477.
  for (int k = 0; k < 640; ++k) {
    const int want = k == 0 ? 0 : k <= 636 ? k - 1 : k - 2;
    ASSERT_EQ(cols[300 * 640 + k], want) << "column " << k;
  }
  for (int j = 0; j < 480; ++j) {
    const int want = j == 0 ? 0 : j <= 478 ? j - 1 : 477;
    ASSERT_EQ(rows[j * 640 + 300], want) << "row " << j;
  }
}

TEST_F(BackendTest, SmallPictureIsEnlargedByRepeatingPixels) {
  ASSERT_TRUE(Open(3));  // 800 x 600
  Put("cols.qvr", AxisPicture(320, 200, true));
  Put("rows.qvr", AxisPicture(320, 200, false));
  struct Axis {
    const char* name;
    int32_t sourceSize, targetSize, stride, fixed;
    int minRepeat, maxRepeat;
  };
  // 800 / 319 = 2.5 screen columns a source column; 600 / 199 = 3.02 rows.
  const Axis axes[] = {{"cols.qvr", 320, 800, 1, 800 * 123, 2, 3}, {"rows.qvr", 200, 600, 800, 517, 3, 4}};
  for (const Axis& a : axes) {
    SCOPED_TRACE(a.name);
    const std::vector<uint16_t> screen = ShowPicture(a.name);
    ASSERT_EQ(screen.size(), 800u * 600u);
    std::map<int, int> repeats;
    int previous = 0;
    for (int i = 0; i < a.targetSize; ++i) {
      const int v = screen[static_cast<size_t>(a.fixed + i * a.stride)];
      ASSERT_TRUE(v == previous || v == previous + 1) << i;
      previous = v;
      ++repeats[v];
    }
    EXPECT_EQ(static_cast<int>(repeats.size()), a.sourceSize - 1);  // all but the last
    for (const auto& [v, n] : repeats) {
      EXPECT_GE(n, a.minRepeat) << v;
      EXPECT_LE(n, a.maxRepeat) << v;
    }
  }
}

TEST_F(BackendTest, DamagedOrMissingPicturesGiveNull) {
  struct Case {
    const char* what;
    Bytes file;
  };
  const Case cases[] = {
      {"empty", Bytes{}},
      {"half a header", Bytes{4, 0, 4}},
      {"width 0", datakit::MakeQvr(0, 4, {})},
      {"height 0", datakit::MakeQvr(4, 0, {})},
      {"one pixel short", [] {
         Bytes b = datakit::MakeQvr(4, 4, std::vector<uint16_t>(16, 0x1111));
         b.pop_back();
         return b;
       }()},
      {"largest size, no pixels", Bytes{0xFF, 0xFF, 0xFF, 0xFF, 1, 2, 3, 4}},
  };
  for (const Case& c : cases) Put("bad" + std::to_string(&c - cases) + ".qvr", c.file);
  const uint32_t before = MemPoolUsedBytes();
  for (const Case& c : cases) {
    const std::string name = "bad" + std::to_string(&c - cases) + ".qvr";
    EXPECT_EQ(LfbLoadScreenImage(name.c_str()), nullptr) << c.what;
    EXPECT_EQ(LfbLoadImagePixels(name.c_str()), nullptr) << c.what;
  }
  EXPECT_EQ(LfbLoadScreenImage("absent.qvr"), nullptr);
  LfbDrawScreenImage(nullptr);  // what a caller without a picture does
  EXPECT_EQ(MemPoolUsedBytes(), before);
  EXPECT_TRUE(gScreens.fatal.empty());  // a missing picture is not reported
}

TEST_F(BackendTest, ScreenshotIsABottomUpBmpOfTheBackBuffer) {
  std::vector<uint16_t> frame(640 * 480, 0x1234);
  const uint16_t bottom[5] = {0xFFFF, 0xF800, 0x07E0, 0x001F, 0x0821};
  std::copy(bottom, bottom + 5, frame.begin() + 479 * 640);
  ASSERT_TRUE(GfxLfbWriteRegion(GFX_BUFFER_BACKBUFFER, 0, 0, GFX_LFB_SRC_FMT_565, 640, 480, 1280, frame.data()));

  LfbSaveScreenshot("vue\\shoot000.bmp", 640, 480);
  const std::string bmp = dir_.Read("vue/shoot000.bmp");
  ASSERT_EQ(bmp.size(), 921656u);
  struct Field {
    size_t offset;
    int size;
    uint32_t value;
  };
  const Field header[] = {{0, 2, 0x4D42},  {2, 4, 921656}, {6, 2, 0},       {8, 2, 0},   {10, 4, 56},
                          {14, 4, 40},     {18, 4, 640},   {22, 4, 480},    {26, 2, 1},  {28, 2, 24},
                          {30, 4, 0},      {34, 4, 0},     {38, 4, 123600}, {42, 4, 92700},
                          {46, 4, 0},      {50, 4, 0},     {54, 2, 0}};
  for (const Field& f : header)
    EXPECT_EQ(f.size == 4 ? U32At(bmp, f.offset) : U16At(bmp, f.offset), f.value) << "offset " << f.offset;

  // The file starts with the bottom row, blue, green, red, low bits clear.
  const uint8_t firstRow[15] = {248, 252, 248, 0, 0, 248, 0, 252, 0, 248, 0, 0, 8, 4, 8};
  EXPECT_EQ(bmp.substr(56, 15), std::string(firstRow, firstRow + 15));
  // 0x1234 everywhere else: red 2, green 17, blue 20.
  EXPECT_EQ(bmp.substr(56 + 15, 3), "\xA0\x44\x10");
  EXPECT_EQ(bmp.substr(bmp.size() - 3), "\xA0\x44\x10");

  // Nothing else was left in the folder.
  std::vector<std::string> files;
  for (const auto& e : std::filesystem::directory_iterator(dir_.path() / "vue"))
    files.push_back(e.path().filename().string());
  EXPECT_EQ(files, std::vector<std::string>{"shoot000.bmp"});

  // The quarter picture: every fourth pixel of every fourth row from the bottom.
  LfbSaveScreenshotQuarter("vue\\quarter.bmp", 640, 480);
  const std::string quarter = dir_.Read("vue/quarter.bmp");
  ASSERT_EQ(quarter.size(), 56u + 160u * 120u * 3u);
  EXPECT_EQ(U32At(quarter, 2), quarter.size());
  EXPECT_EQ(U32At(quarter, 18), 160u);
  EXPECT_EQ(U32At(quarter, 22), 120u);
  EXPECT_EQ(quarter.substr(56, 6), std::string("\xF8\xFC\xF8\x08\x04\x08", 6));
}

TEST_F(BackendTest, GrabsAreOpaqueArgb1555) {
  const uint16_t row[6] = {0xFFFF, 0xF800, 0x07E0, 0x001F, 0x0020, 0x0000};
  std::vector<uint16_t> frame(640 * 480, 0x0000);
  std::copy(row, row + 6, frame.begin());
  ASSERT_TRUE(GfxLfbWriteRegion(GFX_BUFFER_BACKBUFFER, 0, 0, GFX_LFB_SRC_FMT_565, 640, 480, 1280, frame.data()));
  const std::vector<uint16_t> want = {0xFFFF, 0xFC00, 0x83E0, 0x801F, 0x8000, 0x8000};

  std::vector<uint16_t> grab(640 * 480);
  LfbGrabScreen(grab.data());
  EXPECT_EQ(std::vector<uint16_t>(grab.begin(), grab.begin() + 6), want);

  // The scaled grab reads the shown frame.
  RdrSwapBuffers();
  uint16_t* scaled = LfbGrabScreenScaled(640, 2);
  ASSERT_NE(scaled, nullptr);
  EXPECT_EQ(std::vector<uint16_t>(scaled, scaled + 6), (std::vector<uint16_t>{0xFFFF, 0xFFFF, 0xFC00, 0x83E0,
                                                                             0x801F, 0x8000}));
  MemFree(scaled);
  // Sizes with no pixels, or more bytes than 32 bits count, give nothing.
  const uint32_t before = MemPoolUsedBytes();
  for (auto [w, h] : {std::pair{0, 10}, std::pair{10, -1}, std::pair{65536, 32768}, std::pair{0x7FFFFFFF, 3}})
    EXPECT_EQ(LfbGrabScreenScaled(w, h), nullptr) << w << "x" << h;
  EXPECT_EQ(MemPoolUsedBytes(), before);
}

TEST_F(BackendTest, APictureFromASmallerModeDrawsOnlyTheRowsItHolds) {
  Put("rows.qvr", AxisPicture(64, 64, false));
  uint16_t* picture = LfbLoadScreenImage("rows.qvr");  // 640 x 480
  ASSERT_NE(picture, nullptr);
  ASSERT_TRUE(RdrSetMode(gDisplayModes[3], 1));  // 800 x 600
  RdrClear(0, 0, 0);
  LfbDrawScreenImage(picture);  // 640 x 480 x 2 bytes are 384 rows of 800
  std::vector<uint16_t> screen = Screen();
  ASSERT_EQ(screen.size(), 800u * 600u);
  EXPECT_NE(screen[383 * 800 + 100], 0);
  EXPECT_EQ(screen[384 * 800 + 100], 0);
  MemFree(picture);
}
