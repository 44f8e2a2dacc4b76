// "rur.sc" from images laid out byte by byte: the round trip through the
// file, the stored bytes under keys computed apart from the game, damaged
// files, a save that fails, and the open attempts through a file layer that
// fails.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "frontend/frontend.h"
#include "frontend/menu_items.h"
#include "frontend/scores.h"
#include "platform/app.h"
#include "platform/file.h"
#include "support/open_retries.h"
#include "support/scores_keys.h"
#include "support/test_support.h"
#include "tools/datakit/lib/scores_writer.h"

namespace {

constexpr uint32_t TABLE_AT[3] = {4, 2484, 4964};
constexpr uint32_t PLAYER1_AT = 7444, PLAYER2_AT = 7460, COUNT_AT = 7476;

// An image as bytes, written field by field at the offsets of the layout.
struct Image {
  std::vector<uint8_t> b = std::vector<uint8_t>(SCORES_IMAGE_BYTES, 0);
  void U32(uint32_t at, uint32_t v) {
    for (uint32_t i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
  }
  void Text(uint32_t at, const char* text) { std::memcpy(&b[at], text, std::strlen(text)); }
  static uint32_t Entry(int table, int track) { return TABLE_AT[table] + 248u * static_cast<uint32_t>(track); }
  static uint32_t Row(int table, int track, int row) { return Entry(table, track) + 8 + 24u * static_cast<uint32_t>(row); }
  std::string str() const { return std::string(b.begin(), b.end()); }
};

Image DefaultImage() {
  const MenuEditionTexts& texts = MenuTextsOf(GAME_EDITION);
  Image image;
  image.Text(0, "SIGN");
  for (int t = 0; t < 3; ++t)
    for (int e = 0; e < 10; ++e) {
      image.U32(Image::Entry(t, e), 540000);
      image.U32(Image::Entry(t, e) + 4, 300000);
      for (int r = 0; r < 10; ++r) {
        image.Text(Image::Row(t, e, r), texts.playerName);
        image.U32(Image::Row(t, e, r) + 16, 300000);
        image.U32(Image::Row(t, e, r) + 20, 540000);
      }
    }
  image.Text(PLAYER1_AT, texts.player1Name);
  image.Text(PLAYER2_AT, texts.player2Name);
  image.U32(COUNT_AT, 3);
  return image;
}

// Every field a value of its own, so a field read from a wrong offset shows.
Image FixtureImage() {
  Image image;
  image.Text(0, "SIGN");
  for (int t = 0; t < 3; ++t)
    for (int e = 0; e < 10; ++e) {
      const uint32_t base = 100000u * static_cast<uint32_t>(t + 1) + 1000u * static_cast<uint32_t>(e);
      image.U32(Image::Entry(t, e), base + 900);
      image.U32(Image::Entry(t, e) + 4, base + 800);
      for (int r = 0; r < 10; ++r) {
        const std::string name = "DRIVER " + std::to_string(t) + std::to_string(e) + std::to_string(r);
        image.Text(Image::Row(t, e, r), name.c_str());
        image.U32(Image::Row(t, e, r) + 16, base + 10u * static_cast<uint32_t>(r) + 1);
        image.U32(Image::Row(t, e, r) + 20, base + 10u * static_cast<uint32_t>(r) + 2);
      }
    }
  image.Text(PLAYER1_AT, "ANNA");
  image.Text(PLAYER2_AT, "BERTRAM THE 2ND");
  image.U32(COUNT_AT, 7);
  return image;
}

std::string Scrambled(const Image& plain) {
  std::vector<uint8_t> b = plain.b;
  ScoresScramble(b.data());
  return std::string(b.begin(), b.end());
}

std::string Bytes(const ScoresImage& image) { return std::string(reinterpret_cast<const char*>(&image), sizeof image); }

class Scores : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetHalForTest();
    char here[4096];
    ASSERT_NE(::getcwd(here, sizeof here), nullptr);
    home_ = here;
    ASSERT_EQ(::chdir(dir_.path().c_str()), 0);
    gOpenFailures = gOpenCalls = gPumps = 0;
    std::memset(&gScores, 0xAB, sizeof gScores);
  }
  void TearDown() override { ASSERT_EQ(::chdir(home_.c_str()), 0); }
  size_t Entries() const { return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(dir_.path()), {})); }
  TempDir dir_;
  std::string home_;
};

TEST_F(Scores, AnImageLaidOutByteByByteRoundTripsThroughTheFile) {
  const Image plain = FixtureImage();
  std::memcpy(&gScores, plain.b.data(), SCORES_IMAGE_BYTES);
  // The fields sit where the layout puts them.
  EXPECT_EQ(+gScores.tables[1].entries[3].bestRaceMs, 203900);
  EXPECT_EQ(+gScores.tables[1].entries[3].bestLapMs, 203800);
  EXPECT_EQ(+gScores.tables[2].entries[9].rows[7].lapMs, 309071);
  EXPECT_EQ(+gScores.tables[2].entries[9].rows[7].raceMs, 309072);
  EXPECT_STREQ(gScores.tables[0].entries[5].rows[4].name, "DRIVER 054");
  EXPECT_STREQ(gScores.player1Name, "ANNA");
  EXPECT_STREQ(gScores.player2Name, "BERTRAM THE 2ND");
  EXPECT_EQ(+gScores.unlockedCount, 7u);

  ScoresSave();
  const std::string stored = dir_.Read("rur.sc");
  ASSERT_EQ(stored.size(), SCORES_IMAGE_BYTES);
  for (const ScoresKnownKey& k : SCORES_KNOWN_KEYS)
    EXPECT_EQ(static_cast<uint8_t>(stored[k.offset]), static_cast<uint8_t>(plain.b[k.offset] + k.key)) << k.offset;
  std::vector<uint8_t> back(stored.begin(), stored.end());
  ScoresUnscramble(back.data());
  EXPECT_TRUE(back == plain.b);
  // Saving leaves the image in memory plain.
  EXPECT_EQ(Bytes(gScores), plain.str());

  std::memset(&gScores, 0, sizeof gScores);
  EXPECT_EQ(ScoresLoad(), 1);
  EXPECT_EQ(Bytes(gScores), plain.str());
}

TEST_F(Scores, TheDefaultImageIsStoredUnderTheKnownKeys) {
  EXPECT_EQ(ScoresLoad(), 1);  // no file: the defaults
  const Image defaults = DefaultImage();
  EXPECT_EQ(Bytes(gScores), defaults.str());
  ScoresSave();
  const std::string stored = dir_.Read("rur.sc");
  ASSERT_EQ(stored.size(), SCORES_IMAGE_BYTES);
  for (const ScoresKnownKey& k : SCORES_KNOWN_KEYS)
    EXPECT_EQ(static_cast<uint8_t>(stored[k.offset]), static_cast<uint8_t>(defaults.b[k.offset] + k.key)) << k.offset;
  EXPECT_NE(stored[0], 'S');
  std::memset(&gScores, 0, sizeof gScores);
  EXPECT_EQ(ScoresLoad(), 1);
  EXPECT_EQ(Bytes(gScores), defaults.str());
}

TEST_F(Scores, DamagedFilesGiveTheExpectedImageAndResult) {
  const Image good = FixtureImage();
  auto with = [&](uint32_t at, uint32_t value) {
    Image image = good;
    image.U32(at, value);
    return image;
  };
  // Every name field filled to its last byte.
  Image unended = good;
  for (int t = 0; t < 3; ++t)
    for (int e = 0; e < 10; ++e)
      for (int r = 0; r < 10; ++r) std::memset(&unended.b[Image::Row(t, e, r)], 'X', 16);
  std::memset(&unended.b[PLAYER1_AT], 'Y', 16);
  std::memset(&unended.b[PLAYER2_AT], 'Z', 16);
  Image ended = unended;
  for (int t = 0; t < 3; ++t)
    for (int e = 0; e < 10; ++e)
      for (int r = 0; r < 10; ++r) ended.b[Image::Row(t, e, r) + 15] = 0;
  ended.b[PLAYER1_AT + 15] = ended.b[PLAYER2_AT + 15] = 0;
  Image wrongSign = good;
  wrongSign.b[3] = 'S';

  const struct {
    const char* what;
    bool present;
    std::string file;
    int32_t result;
    Image image;
  } cases[] = {
      {"missing", false, "", 1, DefaultImage()},
      {"wrong signature", true, Scrambled(wrongSign), 0, DefaultImage()},
      {"plain, not scrambled", true, good.str(), 0, DefaultImage()},
      {"7479 bytes", true, Scrambled(good).substr(0, 7479), 1, DefaultImage()},
      {"empty", true, "", 1, DefaultImage()},
      {"longer: the first 7480 bytes", true, Scrambled(good) + "more", 1, good},
      {"names without their NUL", true, Scrambled(unended), 1, ended},
      {"count 0", true, Scrambled(with(COUNT_AT, 0)), 1, with(COUNT_AT, 3)},
      {"count 10", true, Scrambled(with(COUNT_AT, 10)), 1, with(COUNT_AT, 9)},
      {"count 0xFFFFFFFF", true, Scrambled(with(COUNT_AT, 0xFFFFFFFFu)), 1, with(COUNT_AT, 9)},
      {"count 9", true, Scrambled(with(COUNT_AT, 9)), 1, with(COUNT_AT, 9)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove(dir_ / "rur.sc");
    if (c.present) dir_.Write("rur.sc", c.file);
    std::memset(&gScores, 0xAB, sizeof gScores);
    EXPECT_EQ(ScoresLoad(), c.result);
    EXPECT_EQ(Bytes(gScores), c.image.str());
    // Reading never rewrites the file.
    if (c.present) {
      EXPECT_EQ(dir_.Read("rur.sc"), c.file);
    }
  }
}

TEST_F(Scores, AFailedSaveKeepsTheOldFileByteForByteAndSaysSo) {
  const std::string old = Scrambled(FixtureImage());
  dir_.Write("rur.sc", old);
  ASSERT_EQ(ScoresLoad(), 1);
  gScores.unlockedCount = 8;
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit limit{};
  ::getrlimit(RLIMIT_FSIZE, &limit);
  rlimit small = limit;
  small.rlim_cur = 1000;  // the new file stops part-way
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  gPumps = 0;
  testing::internal::CaptureStderr();
  ScoresSave();
  const std::string said = testing::internal::GetCapturedStderr();
  ::setrlimit(RLIMIT_FSIZE, &limit);
  EXPECT_EQ(dir_.Read("rur.sc"), old);
  EXPECT_EQ(Entries(), 1u);
  EXPECT_NE(said.find("rur.sc"), std::string::npos) << said;
  EXPECT_EQ(gPumps, SCORES_OPEN_ATTEMPTS - 1);  // tried ten times
  EXPECT_EQ(+gScores.unlockedCount, 8u);        // the image in memory stays
  // The next save that can write replaces it.
  ScoresSave();
  EXPECT_EQ(ScoresLoad(), 1);
  EXPECT_EQ(+gScores.unlockedCount, 8u);
}

TEST_F(Scores, TheFileIsOpenedUpToTenTimesWithThePumpBetween) {
  EXPECT_EQ(ScoresLoad(), 1);
  EXPECT_EQ(gOpenCalls, SCORES_OPEN_ATTEMPTS);
  EXPECT_EQ(gPumps, SCORES_OPEN_ATTEMPTS - 1);

  dir_.Write("rur.sc", Scrambled(FixtureImage()));
  gOpenCalls = gPumps = 0;
  gOpenFailures = 9;  // the tenth attempt opens it
  EXPECT_EQ(ScoresLoad(), 1);
  EXPECT_EQ(gOpenCalls, 10);
  EXPECT_EQ(Bytes(gScores), FixtureImage().str());

  gOpenCalls = 0;
  gOpenFailures = 10;  // never opens: the defaults, though the file is there
  EXPECT_EQ(ScoresLoad(), 1);
  EXPECT_EQ(Bytes(gScores), DefaultImage().str());
}

TEST_F(Scores, TheKitsFilesReadAsTheyWereWritten) {
  const MenuEditionTexts& texts = MenuTextsOf(GAME_EDITION);
  datakit::KitScores kit = datakit::ScoresDefaults(texts.playerName, texts.player1Name, texts.player2Name);
  // The kit's defaults are the game's, stored alike.
  const datakit::Bytes defaults = datakit::ScoresFileWrite(kit);
  EXPECT_EQ(ScoresLoad(), 1);
  ScoresSave();
  EXPECT_EQ(dir_.Read("rur.sc"), std::string(defaults.begin(), defaults.end()));

  kit.tables[2][4].bestLapMs = 61000;
  kit.tables[2][4].rows[0] = {"A NAME TOO LONG FOR A ROW", 61000, 190000};
  kit.player2Name = "ZOE";
  kit.unlockedCount = 6;
  const datakit::Bytes file = datakit::ScoresFileWrite(kit);
  dir_.Write("rur.sc", std::string(file.begin(), file.end()));
  EXPECT_EQ(ScoresLoad(), 1);
  EXPECT_EQ(+gScores.tables[2].entries[4].bestLapMs, 61000);
  EXPECT_EQ(+gScores.tables[2].entries[4].bestRaceMs, 540000);
  EXPECT_STREQ(gScores.tables[2].entries[4].rows[0].name, "A NAME TOO LONG");
  EXPECT_EQ(+gScores.tables[2].entries[4].rows[0].raceMs, 190000);
  EXPECT_STREQ(gScores.player2Name, "ZOE");
  EXPECT_EQ(+gScores.unlockedCount, 6u);

  kit.signature = "SIGX";
  const datakit::Bytes refused = datakit::ScoresFileWrite(kit);
  dir_.Write("rur.sc", std::string(refused.begin(), refused.end()));
  EXPECT_EQ(ScoresLoad(), 0);
  EXPECT_EQ(Bytes(gScores), DefaultImage().str());
}

}  // namespace
