#include "hal/frame_dump.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "support/test_support.h"

namespace {

// Each test runs in its own process, so the settings read once at the first
// call are the ones set here.
TEST(FrameDumpTest, WritesOnlyTheListedFramesHonouringPitchAndPixelFormat) {
  TempDir dir;
  ::setenv("TORVANE_DUMP_FRAMES", dir.path().c_str(), 1);
  ::setenv("TORVANE_DUMP_AT", "2,3", 1);
  ResetHalForTest();

  // Two rows of two pixels, a padding pixel at the end of each row.
  const uint16_t rgb565[] = {0xF800, 0x07E0, 0xBEEF, 0x001F, 0xFFFF, 0xBEEF};
  const uint16_t rgb555[] = {0x7C00, 0x03E0, 0xBEEF, 0x001F, 0x7FFF, 0xBEEF};
  const std::string want = std::string("P6\n2 2\n255\n") +
                           std::string("\xF8\x00\x00\x00\xFC\x00\x00\x00\xF8\xF8\xFC\xF8", 12);
  const std::string want555 = std::string("P6\n2 2\n255\n") +
                              std::string("\xF8\x00\x00\x00\xF8\x00\x00\x00\xF8\xF8\xF8\xF8", 12);

  HalNoteFrame();
  EXPECT_FALSE(HalFrameDumpWanted());
  HalNoteFrame();
  ASSERT_TRUE(HalFrameDumpWanted());
  HalFrameDumpWrite(rgb565, 2, 2, 6, true);
  HalNoteFrame();
  ASSERT_TRUE(HalFrameDumpWanted());
  HalFrameDumpWrite(rgb555, 2, 2, 6, false);
  HalNoteFrame();
  EXPECT_FALSE(HalFrameDumpWanted());

  EXPECT_EQ(dir.Read("frame00002.ppm"), want);
  EXPECT_EQ(dir.Read("frame00003.ppm"), want555);
}

TEST(FrameDumpTest, NothingIsWantedWithoutAFolder) {
  ::unsetenv("TORVANE_DUMP_FRAMES");
  ResetHalForTest();
  HalNoteFrame();
  EXPECT_FALSE(HalFrameDumpWanted());
}

}  // namespace
