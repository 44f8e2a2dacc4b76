#include "hal/ini.h"

#include <unistd.h>

#include "support/test_support.h"

namespace {

// Two sections of one name (the first wins), a key under another section,
// comments, CRLF line ends, blanks everywhere and a header without its bracket.
const char* const SETTINGS =
    "; force-feedback levels\r\n"
    "[Other]\r\n"
    "FRC_CHOC=1\r\n"
    "\t[ levels ]  \r\n"
    "  frc_choc =  1234  \r\n"
    "EMPTY=\r\n"
    "Spaced = a b\t\r\n"
    "novalue\r\n"
    "[Levels\r\n"
    "LATE=5\r\n"
    "[LEVELS]\r\n"
    "FRC_CHOC=99\r\n"
    "LATER=6";

class IniTest : public ::testing::Test {
 protected:
  void SetUp() override {
    home_ = std::filesystem::current_path();
    ASSERT_EQ(::chdir(dir_.path().c_str()), 0);
  }
  void TearDown() override { ASSERT_EQ(::chdir(home_.c_str()), 0); }
  TempDir dir_;
  std::filesystem::path home_;
};

TEST_F(IniTest, FindsKeysInAnyCaseAndTrimsTheirValues) {
  dir_.Write("ZiZiZ.INI", SETTINGS);
  struct Case {
    const char* section;
    const char* key;
    const char* fallback;
    const char* expected;
  } cases[] = {
      {"Levels", "FRC_CHOC", "0", "1234"},   // the first section of that name
      {"LEVELS", "Frc_Choc", "0", "1234"},
      {"Other", "frc_choc", "0", "1"},
      {"Levels", "SPACED", "", "a b"},
      {"Levels", "EMPTY", "7", ""},           // present but empty is not missing
      {"Levels", "LATER", "7", "6"},          // a later section of the same name
      {"Levels", "MISSING", "7", "7"},
      {"Levels", "novalue", "7", "7"},
      {"Levels", "LATE", "7", "7"},           // under a header that names no section
      {"Nowhere", "FRC_CHOC", "7", "7"},
      {"Nowhere", "FRC_CHOC", nullptr, ""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(HalIniReadString(".\\ziziz.ini", c.section, c.key, c.fallback), c.expected)
        << c.section << "/" << c.key;
}

TEST_F(IniTest, AMissingOrUnreadableFileGivesTheFallback) {
  EXPECT_EQ(HalIniReadString(".\\ziziz.ini", "Levels", "FRC_CHOC", "10000"), "10000");
  std::filesystem::create_directory(dir_.path() / "ziziz.ini");  // a folder, not a file
  EXPECT_EQ(HalIniReadString(".\\ziziz.ini", "Levels", "FRC_CHOC", "10000"), "10000");
  EXPECT_EQ(HalIniReadString(nullptr, "Levels", "FRC_CHOC", "3"), "3");
}

}  // namespace
