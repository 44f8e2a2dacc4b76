#include "hal/fs.h"

#include "support/test_support.h"

namespace {

TEST(HalResolvePath, MatchesEveryComponentWithoutCase) {
  TempDir dir;
  dir.Write("intro.qvr", "x");
  dir.Write("Desert/traj/desert.ta", "x");
  const std::string root = dir.path().string();

  EXPECT_EQ(HalResolvePath((root + "/INTRO.QVR").c_str()), root + "/intro.qvr");
  EXPECT_EQ(HalResolvePath((root + "\\DESERT\\TRAJ\\DESERT.TA").c_str()), root + "/Desert/traj/desert.ta");
  EXPECT_EQ(HalResolvePath((root + "/.\\desert\\Traj").c_str()), root + "/./Desert/traj");
}

TEST(HalResolvePath, NewNamesKeepTheCaseGiven) {
  TempDir dir;
  std::filesystem::create_directory(dir.path() / "vue");
  const std::string root = dir.path().string();

  EXPECT_EQ(HalResolvePath((root + "\\VUE\\Shoot000.bmp").c_str()), root + "/vue/Shoot000.bmp");
  // Below a folder that does not exist nothing more is looked up.
  EXPECT_EQ(HalResolvePath((root + "\\New\\Dir\\File").c_str()), root + "/New/Dir/File");
}

TEST(HalResolvePath, PrefersTheExactNameAndIsStableAmongCaseTwins) {
  TempDir dir;
  dir.Write("data.bin", "lower");
  dir.Write("DATA.BIN", "upper");
  dir.Write("Data.Bin", "mixed");
  const std::string root = dir.path().string();

  EXPECT_EQ(HalResolvePath((root + "/Data.Bin").c_str()), root + "/Data.Bin");
  EXPECT_EQ(HalResolvePath((root + "/data.BIN").c_str()), root + "/DATA.BIN");  // smallest match
}

TEST(HalFd, OpenModesNeverTruncate) {
  TempDir dir;
  const std::string name = dir / "f.bin";
  EXPECT_EQ(HalFdOpen(name.c_str(), HAL_OPEN_READ), -1);
  EXPECT_EQ(HalFdOpen(name.c_str(), HAL_OPEN_WRITE), -1);  // must exist

  int fd = HalFdOpen(name.c_str(), HAL_OPEN_WRITE_CREATE);
  ASSERT_GE(fd, 0);
  EXPECT_EQ(HalFdWrite(fd, "abcdef", 6), 6);
  HalFdClose(fd);

  fd = HalFdOpen(name.c_str(), HAL_OPEN_WRITE_CREATE);
  EXPECT_EQ(HalFdWrite(fd, "XY", 2), 2);
  HalFdClose(fd);
  EXPECT_EQ(dir.Read("f.bin"), "XYcdef");

  fd = HalFdOpen(name.c_str(), HAL_OPEN_READ_WRITE);
  EXPECT_EQ(HalFdLength(fd), 6);
  EXPECT_EQ(HalFdSeek(fd, -2, 2), 4);
  char buf[4] = {};
  EXPECT_EQ(HalFdRead(fd, buf, 4), 2);  // short read at the end
  EXPECT_EQ(std::string(buf, 2), "ef");
  HalFdClose(fd);

  EXPECT_EQ(HalFdOpen(dir.path().string().c_str(), HAL_OPEN_READ), -1);  // a folder is no file
}

}  // namespace
