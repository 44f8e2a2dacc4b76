// Trajectory files and the championship saves, from fixtures laid out field
// by field, and the save's open retries through a file layer that fails.
#include <sys/resource.h>

#include <cmath>
#include <csignal>
#include <filesystem>

#include "files_fixture.h"
#include "platform/app.h"
#include "platform/file.h"
#include "race/trajectory.h"
#include "shell/game.h"
#include "support/open_retries.h"

// The shell's ends, which this suite leaves out.
void GameQuit() { std::abort(); }

namespace {

std::string Path(int32_t count, float base, size_t size = 804) {
  Le f;
  f.u32(static_cast<uint32_t>(count));
  for (int i = 0; i < 100; ++i) f.f32(base + static_cast<float>(i)).f32(base - static_cast<float>(i));
  std::string s = f.str();
  s.resize(size, '\0');
  return s;
}

class Trajectories : public FilesTest {
 protected:
  void SetUp() override {
    FilesTest::SetUp();
    for (Trajectory& t : gTrajectories) t.count = 55;
  }
  int Filled() const {
    int n = 0;
    for (const Trajectory& t : gTrajectories) n += t.count > 0;
    return n;
  }
};

TEST_F(Trajectories, OnlyTheFirstFileFillsSlot0AndTurnsTheTrajectoriesOn) {
  dir_.Write("traj/desert.tA", Path(60, 1000.0f));
  TrajLoad();
  EXPECT_EQ(+gRace.trajectoriesLoaded, 1);
  EXPECT_EQ(Filled(), 1);
  EXPECT_EQ(+gTrajectories[0].count, 60);
  EXPECT_FLOAT_EQ(+gTrajectories[0].points[59].x, 1059.0f);
  EXPECT_FLOAT_EQ(+gTrajectories[0].points[59].z, 941.0f);
  EXPECT_FLOAT_EQ(+gTrajectories[0].points[99].z, 901.0f);  // present and kept, though unused
}

TEST_F(Trajectories, WithoutTheFirstFileTheOthersLoadButTheTrajectoriesStayOff) {
  for (char c = 'B'; c <= 'P'; ++c) dir_.Write(std::string("traj/desert.t") + c, Path(c - 'A' + 2, 0.0f));
  TrajLoad();
  EXPECT_EQ(+gRace.trajectoriesLoaded, 0);
  EXPECT_EQ(Filled(), 15);
  EXPECT_EQ(+gTrajectories[0].count, 0);
  EXPECT_EQ(+gTrajectories[15].count, 17);
}

// Point i of a 60-point line at 1000 + i, 1000 - i made (x, z).
std::string PathWithPoint(int32_t i, float x, float z) {
  Le f;
  f.u32(60);
  for (int k = 0; k < 100; ++k)
    f.f32(k == i ? x : 1000.0f + static_cast<float>(k)).f32(k == i ? z : 1000.0f - static_cast<float>(k));
  return f.str();
}

// The same line moved by (dx, dz).
std::string PathMoved(float dx, float dz) {
  Le f;
  f.u32(60);
  for (int k = 0; k < 100; ++k) f.f32(1000.0f + static_cast<float>(k) + dx).f32(1000.0f - static_cast<float>(k) + dz);
  return f.str();
}

TEST_F(Trajectories, DamagedFilesCountAsMissing) {
  const float nan = std::nanf(""), inf = HUGE_VALF;
  const struct {
    const char* what;
    std::string file;
  } cases[] = {
      {"one byte short", Path(10, 0.0f, 803)},
      {"empty", ""},
      {"101 points", Path(101, 0.0f)},
      {"a negative count", Path(-1, 0.0f)},
      // The lengths of such a line overflow every sum of the race's progress.
      {"a point at (1e30, 1e30)", PathWithPoint(17, 1e30f, 1e30f)},
      {"a point not a number", PathWithPoint(0, nan, 500.0f)},
      {"an infinite point", PathWithPoint(59, 500.0f, -inf)},
      {"every point far off", PathMoved(1.0e6f, 1.0e6f)},
      {"every point far behind", PathMoved(-30000.0f, 0.0f)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    dir_.Write("traj/desert.tA", c.file);
    dir_.Write("traj/desert.tC", c.file);
    TrajLoad();
    EXPECT_EQ(+gRace.trajectoriesLoaded, 0);
    EXPECT_EQ(+gTrajectories[0].count, 0);
    EXPECT_EQ(+gTrajectories[2].count, 0);
  }
  // A longer file gives its first 804 bytes.
  dir_.Write("traj/desert.tA", Path(100, 0.0f, 900));
  TrajLoad();
  EXPECT_EQ(+gTrajectories[0].count, 100);
  EXPECT_EQ(+gRace.trajectoriesLoaded, 1);
}

// A line may run a little past the world's edges, and what lies past its
// count is filler, whatever it holds.
TEST_F(Trajectories, PointsNearTheWorldAndFillerPastTheCountAreKept) {
  const struct {
    const char* what;
    std::string file;
  } cases[] = {
      {"a point 450 past the east edge", PathWithPoint(30, 16450.0f, 4000.0f)},
      {"a point 2000 before the west edge", PathWithPoint(30, -2000.0f, 4000.0f)},
      {"a point 2000 past the south edge", PathWithPoint(30, 5000.0f, 10000.0f)},
      {"filler not a number", PathWithPoint(60, std::nanf(""), 1e30f)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    dir_.Write("traj/desert.tA", c.file);
    TrajLoad();
    EXPECT_EQ(+gRace.trajectoriesLoaded, 1);
    EXPECT_EQ(+gTrajectories[0].count, 60);
  }
}

// The grid build needs one segment: a course of 0 or 1 points, or a missing
// or damaged one, is no course, and leaves no line behind from the track
// before (whose course was of 60 points, 2 x 59 x sqrt 2 long).
TEST_F(Trajectories, AnUnusableCourseTurnsTheTrajectoriesOffAndLeavesNoLine) {
  const struct {
    const char* what;
    std::string file;
    int32_t count;
  } cases[] = {
      {"no points", Path(0, 0.0f), 0},
      {"one point", Path(1, 1000.0f), 1},
      {"missing", "", 0},
      {"a point at (1e30, 1e30)", PathWithPoint(17, 1e30f, 1e30f), 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    dir_.Write("traj/desert.tA", Path(60, 1000.0f));
    TrajLoad();
    ASSERT_EQ(+gRace.trajectoriesLoaded, 1);
    ASSERT_NEAR(gTrajLength, 2.0f * 59.0f * std::sqrt(2.0f), 0.01f);
    ASSERT_GT(gTrajDenseCount, 0);
    if (c.file.empty())
      std::filesystem::remove(dir_.path() / "traj/desert.tA");
    else
      dir_.Write("traj/desert.tA", c.file);
    TrajLoad();
    EXPECT_EQ(+gTrajectories[0].count, c.count);
    EXPECT_EQ(+gRace.trajectoriesLoaded, 0);
    EXPECT_EQ(gTrajDenseCount, 0);
    EXPECT_EQ(gTrajLength, 0.0f);
    int32_t inCells = 0;
    for (const auto& row : gTrajGrid)
      for (const TrajGridCell& cell : row) inCells += cell.count;
    EXPECT_EQ(inCells, 0);
  }
  dir_.Write("traj/desert.tA", Path(2, 1000.0f));
  TrajLoad();
  EXPECT_EQ(+gRace.trajectoriesLoaded, 1);
}

// Record 3 of a whole file, every field at its offset.
Le SaveFixture() {
  Le f;
  for (int r = 0; r < SAVE_SLOTS; ++r) {
    const bool mine = r == 3;
    f.u32(mine ? 1 : 0);                                          // 0 used
    char label[20] = "CUP";
    f.raw(label, 20);                                             // 4
    char date[12] = "1-2-1999";
    f.raw(date, 12);                                              // 24
    for (int i = 0; i < 17; ++i) f.u8(static_cast<uint8_t>(i));  // 36 options
    f.u32(mine ? 9 : 0).u32(1).u32(3);                           // 53 track, 57 players, 61 mode
    f.u32(3).u32(2);                                              // 65, 69 controllers
    f.u32(mine ? 7 : 0).u32(5);                                   // 73, 77 vehicles
    for (int i = 0; i < 24; ++i) f.u8(static_cast<uint8_t>(100 + i));  // 81, 93 kits
    for (int i = 0; i < 5; ++i) f.u32(static_cast<uint32_t>(i + 2));   // 105 ranks
    f.u32(1).u32(static_cast<uint32_t>(-1));                           // 125, 129
    for (int i = 0; i < 5; ++i) f.u32(static_cast<uint32_t>(10 * i));  // 133 points
    f.u32(77).u32(0xFFFFFFFE);                                         // 153, 157
  }
  return f;
}

class Saves : public FilesTest {
 protected:
  void SetUp() override {
    FilesTest::SetUp();
    gOpenFailures = gOpenCalls = gPumps = 0;
  }
};

TEST_F(Saves, EveryFieldReadsFromItsOffset) {
  dir_.Write("save.rur", SaveFixture().str());
  ASSERT_EQ(SaveFixture().b.size(), 2254u);
  EXPECT_EQ(SaveFileRead(), SAVE_READ_OK);
  const SaveSlot& s = gSaveSlots[3];
  EXPECT_EQ(+s.used, 1);
  EXPECT_STREQ(s.label, "CUP");
  EXPECT_STREQ(s.date, "1-2-1999");
  EXPECT_EQ(+s.options[16], 16);
  EXPECT_EQ(+s.trackIndex, 9);
  EXPECT_EQ(+s.playersMode, 1);
  EXPECT_EQ(+s.gameMode, 3);
  EXPECT_EQ(+s.controllerType[0], 3);
  EXPECT_EQ(+s.controllerType[1], 2);
  EXPECT_EQ(+s.vehicleType[0], 7);
  EXPECT_EQ(+s.vehicleType[1], 5);
  EXPECT_EQ(+s.kit[0][0], 100);
  EXPECT_EQ(+s.kit[1][11], 123);
  EXPECT_EQ(+s.computerRank[4], 6);
  EXPECT_EQ(+s.playerRank[0], 1);
  EXPECT_EQ(+s.playerRank[1], -1);
  EXPECT_EQ(+s.computerPoints[4], 40);
  EXPECT_EQ(+s.playerPoints[0], 77);
  EXPECT_EQ(+s.playerPoints[1], -2);
  EXPECT_EQ(+gSaveSlots[4].used, 0);
}

TEST_F(Saves, WhatIsWrittenReadsBackByteForByte) {
  dir_.Write("save.rur", SaveFixture().str());
  ASSERT_EQ(SaveFileRead(), SAVE_READ_OK);
  gSaveSlots[5] = gSaveSlots[3];
  gSaveSlots[5].playerPoints[0] = 1234;
  ASSERT_TRUE(SaveFileWrite());
  Le expected = SaveFixture();
  std::vector<uint8_t> five(expected.b.begin() + 3 * 161, expected.b.begin() + 4 * 161);
  five[153] = 1234 & 0xFF;
  five[154] = 1234 >> 8;
  std::copy(five.begin(), five.end(), expected.b.begin() + 5 * 161);
  EXPECT_EQ(dir_.Read("save.rur"), expected.str());
  std::memset(gSaveSlots, 0, sizeof gSaveSlots);
  EXPECT_EQ(SaveFileRead(), SAVE_READ_OK);
  EXPECT_EQ(+gSaveSlots[5].playerPoints[0], 1234);
  EXPECT_EQ(+gSaveSlots[5].trackIndex, 9);
}

TEST_F(Saves, AMissingFileReadsAllUnusedAfterTenAttemptsWithAPumpBetween) {
  gSaveSlots[2].used = 1;
  EXPECT_EQ(SaveFileRead(), SAVE_READ_MISSING);
  EXPECT_EQ(+gSaveSlots[2].used, 0);
  EXPECT_EQ(gOpenCalls, SAVE_OPEN_ATTEMPTS);
  EXPECT_EQ(gPumps, SAVE_OPEN_ATTEMPTS - 1);

  dir_.Write("save.rur", SaveFixture().str());
  gOpenCalls = gPumps = 0;
  gOpenFailures = 9;  // the tenth attempt opens it
  EXPECT_EQ(SaveFileRead(), SAVE_READ_OK);
  EXPECT_EQ(gOpenCalls, 10);
  EXPECT_EQ(+gSaveSlots[3].used, 1);
}

TEST_F(Saves, AShortFileGivesItsWholeRecordsAndTheRestReadUnused) {
  Le f = SaveFixture();
  for (auto& s : gSaveSlots) s.used = 1;
  dir_.Write("save.rur", f.str().substr(0, 4 * 161 + 100));
  EXPECT_EQ(SaveFileRead(), SAVE_READ_SHORT);
  EXPECT_EQ(+gSaveSlots[3].used, 1);
  EXPECT_EQ(+gSaveSlots[3].trackIndex, 9);
  for (int i = 4; i < SAVE_SLOTS; ++i) EXPECT_EQ(+gSaveSlots[i].used, 0) << i;
}

TEST_F(Saves, RecordsWithValuesOutOfRangeReadUnused) {
  const struct {
    const char* what;
    uint32_t offset;
    int32_t value;
    bool kept;
  } cases[] = {
      {"used 2", 0, 2, false},          {"track 10", 53, 10, false},     {"track -1", 53, -1, false},
      {"players mode 3", 57, 3, false}, {"game mode 5", 61, 5, false},   {"controller 4", 69, 4, false},
      {"vehicle 8", 73, 8, false},      {"vehicle -1", 77, -1, false},   {"computer rank 0", 105, 0, false},
      {"computer rank 7", 121, 7, false}, {"player rank -2", 129, -2, false}, {"game mode 4", 61, 4, true},
      {"rank 6", 125, 6, true},         {"vehicle 7", 77, 7, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Le f = SaveFixture();
    for (int i = 0; i < 4; ++i) f.b[3 * 161 + c.offset + i] = static_cast<uint8_t>(static_cast<uint32_t>(c.value) >> (8 * i));
    dir_.Write("save.rur", f.str());
    EXPECT_EQ(SaveFileRead(), c.kept ? SAVE_READ_OK : SAVE_READ_REFUSED);
    EXPECT_EQ(+gSaveSlots[3].used, c.kept ? 1 : 0);
    EXPECT_EQ(+gSaveSlots[3].trackIndex, c.kept ? 9 : 0);
  }
}

TEST_F(Saves, AFailedWriteLeavesThePreviousFileWhole) {
  dir_.Write("save.rur", SaveFixture().str());
  gSaveSlots[0].used = 1;
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit limit{};
  ::getrlimit(RLIMIT_FSIZE, &limit);
  rlimit small = limit;
  small.rlim_cur = 1000;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool written = SaveFileWrite();
  ::setrlimit(RLIMIT_FSIZE, &limit);
  EXPECT_FALSE(written);
  EXPECT_EQ(dir_.Read("save.rur"), SaveFixture().str());
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.path()), {}), 1);
}

}  // namespace

namespace {

TEST(AssetBlendTexels, ChannelsMoveTowardTheTargetTruncatingTowardZero) {
  std::vector<uint16_t> base(1024), target(1024), out(1024);
  base[0] = 0;                               // 0 toward 31 in every channel
  target[0] = 31 << 10 | 31 << 5 | 31;
  base[1] = 31 << 10 | 10 << 5 | 3;          // 31 -> 0, 10 -> 3, 3 -> 3
  target[1] = 0 << 10 | 3 << 5 | 3;
  AssetBlendTexels(base.data(), target.data(), 4, out.data());
  EXPECT_EQ(+out[0], 0x8000 | 15 << 10 | 15 << 5 | 15);
  // (0 - 31) * 4 / 8 = -15.5 -> -15; (3 - 10) * 4 / 8 = -3.5 -> -3.
  EXPECT_EQ(+out[1], 0x8000 | 16 << 10 | 7 << 5 | 3);
  EXPECT_EQ(+out[2], 0x8000);
  AssetBlendTexels(base.data(), target.data(), 7, out.data());
  EXPECT_EQ(out[0] & 31, 27);  // 31 * 7 / 8
}

}  // namespace
