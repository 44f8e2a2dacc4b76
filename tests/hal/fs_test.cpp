#include "hal/fs.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <algorithm>
#include <csignal>
#include <functional>

#include "support/test_support.h"

namespace {

// What a folder holds, sorted, so a test sees any temporary file left behind.
std::vector<std::string> Entries(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(folder)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

mode_t Permissions(const std::string& path) {
  struct stat st{};
  ::stat(path.c_str(), &st);
  return st.st_mode & 07777;
}

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

TEST(HalWriteFileAtomic, ReplacesTheWholeFileAndKeepsItsPermissions) {
  TempDir dir;
  dir.Write("Save.rur", std::string(100, 'x'));
  ASSERT_EQ(::chmod((dir / "Save.rur").c_str(), 0640), 0);
  const std::string root = dir.path().string();

  ASSERT_TRUE(HalWriteFileAtomic((root + "\\SAVE.RUR").c_str(), "new", 3));
  EXPECT_EQ(dir.Read("Save.rur"), "new");  // no tail of the longer old file
  EXPECT_EQ(Permissions(dir / "Save.rur"), 0640u);

  ASSERT_TRUE(HalWriteFileAtomic((root + "/fresh.cfg").c_str(), nullptr, 0));
  EXPECT_EQ(dir.Read("fresh.cfg"), "");
  EXPECT_EQ(Entries(dir.path()), (std::vector<std::string>{"Save.rur", "fresh.cfg"}));
}

// Each way a save can fail leaves the old file byte for byte and nothing else
// in its folder.
TEST(HalWriteFileAtomic, AFailedSaveLeavesTheOldFileAndNoTemporary) {
  std::string old;
  for (int i = 0; i < 300; ++i) old += static_cast<char>(i);
  const std::string bigger(4096, 'n');
  struct Row {
    const char* what;
    std::function<bool(const TempDir&)> fail;  // false: this way cannot fail here
    std::function<void(const TempDir&)> undo;
  };
  rlimit limit{};
  ::getrlimit(RLIMIT_FSIZE, &limit);
  const Row rows[] = {
      {"the disk fills up",  // a file-size limit stops the write even for root
       [&](const TempDir&) {
         std::signal(SIGXFSZ, SIG_IGN);
         rlimit small = limit;
         small.rlim_cur = 64;
         return ::setrlimit(RLIMIT_FSIZE, &small) == 0;
       },
       [&](const TempDir&) { ::setrlimit(RLIMIT_FSIZE, &limit); }},
      {"the folder is read-only",
       [](const TempDir& dir) {
         ::chmod(dir.path().c_str(), 0555);
         const std::string probe = dir / "probe";
         int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
         if (fd < 0) return true;
         ::close(fd);  // root writes anyway
         ::unlink(probe.c_str());
         return false;
       },
       [](const TempDir& dir) { ::chmod(dir.path().c_str(), 0755); }},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    TempDir dir;
    dir.Write("old.sav", old);
    const bool applies = r.fail(dir);
    const bool written = HalWriteFileAtomic((dir / "OLD.SAV").c_str(), bigger.data(), bigger.size());
    r.undo(dir);
    if (!applies) continue;
    EXPECT_FALSE(written);
    EXPECT_EQ(dir.Read("old.sav"), old);
    EXPECT_EQ(Entries(dir.path()), std::vector<std::string>{"old.sav"});
  }
}

TEST(HalWriteFileAtomic, RefusesFoldersAndMissingFolders) {
  TempDir dir;
  dir.Write("sub/keep", "k");
  EXPECT_FALSE(HalWriteFileAtomic((dir / "sub").c_str(), "x", 1));
  EXPECT_FALSE(HalWriteFileAtomic((dir / "sub/keep/inside").c_str(), "x", 1));  // a file is no folder
  EXPECT_FALSE(HalWriteFileAtomic((dir / "none/file").c_str(), "x", 1));
  EXPECT_FALSE(HalWriteFileAtomic((dir / "f").c_str(), nullptr, 1));
  EXPECT_EQ(Entries(dir.path()), std::vector<std::string>{"sub"});
  EXPECT_EQ(Entries(dir.path() / "sub"), std::vector<std::string>{"keep"});
  EXPECT_EQ(dir.Read("sub/keep"), "k");
}

}  // namespace
