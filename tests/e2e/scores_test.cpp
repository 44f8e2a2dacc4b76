// The best-times file in the real torvane, headless, on the kit: a
// championship race opens its track for good in "rur.sc", read here with
// keys computed apart from the game, and a file the game refuses is
// written back as the defaults with the new count.
#include <string>

#include "game_run.h"
#include "support/scores_keys.h"
#include "tools/datakit/lib/scores_writer.h"

namespace {

constexpr uint32_t IMAGE_BYTES = 7480;
constexpr uint32_t COUNT_AT = 7476;

// The plain bytes at `at`.. of a stored file, by the known keys.
std::string Plain(const std::string& stored, uint32_t at, uint32_t n) {
  std::string plain;
  for (uint32_t i = at; i < at + n; ++i) {
    const int32_t key = ScoresKnownKeyAt(i);
    EXPECT_GE(key, 0) << i;
    plain += static_cast<char>(static_cast<uint8_t>(stored[i]) - key);
  }
  return plain;
}

uint32_t U32(const std::string& b) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<uint8_t>(b[static_cast<size_t>(i)]);
  return v;
}

class BestTimes : public e2e::GameRun {
 protected:
  void SetUp() override {
    GameRun::SetUp();
    dir_.Write("script.txt", "f30 end\n");
  }
  // A short championship race on `track`; the file it leaves.
  std::string Championship(int track) {
    const std::string setting = "TORVANE_TEST_RACE='mode=3 track=" + std::to_string(track) + " display=0'";
    EXPECT_EQ(RunGame("trace.txt", "frames", "1", setting), 0) << dir_.Read("stderr.txt");
    return dir_.Read("data/rur.sc");
  }
};

TEST_F(BestTimes, AChampionshipRaceOpensItsTrackForGood) {
  ASSERT_FALSE(std::filesystem::exists(dir_.path() / "data" / "rur.sc"));
  std::string file = Championship(4);  // the highway: the fifth place of the order
  ASSERT_EQ(file.size(), IMAGE_BYTES);
  EXPECT_EQ(Plain(file, 0, 4), "SIGN");
  EXPECT_EQ(U32(Plain(file, COUNT_AT, 4)), 4u);
  EXPECT_EQ(U32(Plain(file, 4, 4)), 540000u);  // the first entry's best race, at its default

  file = Championship(3);  // the volcano comes after it
  ASSERT_EQ(file.size(), IMAGE_BYTES);
  EXPECT_EQ(U32(Plain(file, COUNT_AT, 4)), 5u);

  // A track already open changes nothing.
  const std::string before = file;
  EXPECT_EQ(Championship(0), before);
  EXPECT_EQ(dir_.Read("stderr.txt"), "");
}

TEST_F(BestTimes, AFileWrittenWithAnotherTableIsReplacedByTheDefaultsWithTheNewCount) {
  datakit::KitScores refused = datakit::ScoresDefaults();
  refused.signature = "SIGX";
  refused.unlockedCount = 9;
  refused.tables[0][0].bestRaceMs = 1000;
  const datakit::Bytes bytes = datakit::ScoresFileWrite(refused);
  dir_.Write("data/rur.sc", std::string(bytes.begin(), bytes.end()));
  const std::string file = Championship(4);
  ASSERT_EQ(file.size(), IMAGE_BYTES);
  EXPECT_EQ(Plain(file, 0, 4), "SIGN");
  EXPECT_EQ(U32(Plain(file, COUNT_AT, 4)), 4u);
  EXPECT_EQ(U32(Plain(file, 4, 4)), 540000u);
}

}  // namespace
