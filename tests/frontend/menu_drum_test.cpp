// The rolling drums' glyph alphabet and roll.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "frontend/menu_drum.h"

namespace {

TEST(MenuGlyphs, TheWholeAlphabet) {
  for (char c = 'A'; c <= 'Z'; ++c) EXPECT_EQ(MenuGlyphIndex(c), c - 'A') << c;
  for (char c = '0'; c <= '9'; ++c) EXPECT_EQ(MenuGlyphIndex(c), 26 + c - '0') << c;
  struct Case {
    unsigned char c;
    int32_t glyph;
  };
  const Case cases[] = {{' ', 36}, {'/', 37}, {0x83, 40}, {0x88, 41}, {0x93, 42}, {0x96, 43}, {0x87, 44},
                        {'$', 45}, {0xCF, 46}, {0x9A, 47}, {0x8E, 48}, {0x99, 49}, {'a', 36}, {'-', 36},
                        {0x90, 36}, {0, 36},  {0xFF, 36}, {'@', 36}, {'[', 36}, {':', 36}};
  for (const Case& c : cases) EXPECT_EQ(MenuGlyphIndex(static_cast<char>(c.c)), c.glyph) << int{c.c};
  EXPECT_EQ(MenuGlyphDistance(' ', 'A'), -36);
  EXPECT_EQ(MenuGlyphDistance('A', '\x99'), 49);
}

MenuDrum RestingDrum(const char* label) {
  MenuDrum drum{};
  drum.count = MENU_DRUM_CHARS;
  MenuDrumSetLabelNow(&drum, label);
  return drum;
}

TEST(MenuDrumRoll, EachCharacterRollsByItsGlyphDistance) {
  MenuDrum drum = RestingDrum("A   $  Z   0 ");
  EXPECT_EQ(drum.chars[4].position, 45.0f * 512);
  EXPECT_EQ(drum.chars[4].time, MENU_DRUM_REST_TIME);
  MenuDrumSetLabel(&drum, " A  A  Z   9 ");
  EXPECT_STREQ(drum.label, " A  A  Z   9 ");
  struct Case {
    int i;
    float start, target, rate;
  };
  const Case cases[] = {
      {0, 0.0f, 36 * 512.0f, 40.0f},        // 'A' to blank: 36 forward, rate at least 40
      {1, 36 * 512.0f, 0.0f, 40.0f},        // blank to 'A': backwards
      {4, 45 * 512.0f, 0.0f, 45.0f},        // '$' to 'A': the distance is the rate
      {7, 25 * 512.0f, 25 * 512.0f, 40.0f},  // unchanged: an empty roll
      {11, 26 * 512.0f, 35 * 512.0f, 40.0f},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(drum.chars[c.i].start, c.start) << c.i;
    EXPECT_EQ(drum.chars[c.i].position, c.start) << c.i;
    EXPECT_EQ(drum.chars[c.i].target, c.target) << c.i;
    EXPECT_EQ(drum.chars[c.i].rate, c.rate) << c.i;
    EXPECT_EQ(drum.chars[c.i].time, 0.0f) << c.i;
  }
}

TEST(MenuDrumRoll, TheSameLabelAgainReplaysNothing) {
  MenuDrum drum = RestingDrum(" HOT TANKER  ");
  MenuDrumSetLabel(&drum, " HOT TANKER  ");
  for (const MenuDrumChar& c : drum.chars) EXPECT_EQ(c.start, c.target);
  while (MenuDrumStep(&drum, 1.0f)) {
    for (const MenuDrumChar& c : drum.chars) EXPECT_EQ(c.position, c.target);
  }
}

TEST(MenuDrumRoll, ALabelSetWhileRollingStartsFromTheOldTarget) {
  MenuDrum drum = RestingDrum("A            ");
  MenuDrumSetLabel(&drum, "K            ");
  MenuDrumStep(&drum, 1.0f);
  MenuDrumStep(&drum, 1.0f);
  EXPECT_GT(drum.chars[0].position, 0.0f);
  EXPECT_LT(drum.chars[0].position, 10.0f * 512);
  MenuDrumSetLabel(&drum, "C            ");
  EXPECT_EQ(drum.chars[0].start, 10.0f * 512);
  EXPECT_EQ(drum.chars[0].position, 10.0f * 512);
  EXPECT_EQ(drum.chars[0].target, 2.0f * 512);
}

TEST(MenuDrumRoll, ARollEndsExactlyOnItsTarget) {
  // A character rolls through start + (target - start) x time / 500; at 25
  // frames a second the slowest (rate 40) takes 13 frames.
  MenuDrum drum = RestingDrum("A            ");
  MenuDrumSetLabel(&drum, "\x99            ");
  const float rate = 49.0f;
  int frames = 0;
  float expectedTime = 0.0f;
  while (MenuDrumStep(&drum, 1.0f)) {
    ++frames;
    const float t = expectedTime;
    expectedTime += rate;
    if (expectedTime < 490.0f) {
      EXPECT_FLOAT_EQ(drum.chars[0].position, 49.0f * 512 * t * 0.002f) << frames;
    }
  }
  EXPECT_EQ(frames, 13);
  EXPECT_EQ(drum.chars[0].position, 49.0f * 512);
  EXPECT_EQ(drum.chars[1].position, 36.0f * 512);

  // A time step that passes 500 in one frame lands on the target too.
  MenuDrumSetLabel(&drum, "B            ");
  EXPECT_TRUE(MenuDrumStep(&drum, 40.0f));
  EXPECT_EQ(drum.chars[0].position, 1.0f * 512);
  EXPECT_FALSE(MenuDrumStep(&drum, 1.0f));
}

TEST(MenuDrumRoll, ALongTextFillsTheLabelWithoutOverrunningIt) {
  MenuDrum drum = RestingDrum("ABCDEFGHIJKLM");
  const MenuDrumChar first = drum.chars[0];
  const std::string longText(200, 'Q');
  MenuDrumSetLabel(&drum, longText.c_str());
  EXPECT_EQ(std::string(drum.label), std::string(15, 'Q'));
  EXPECT_EQ(drum.label[15], '\0');
  EXPECT_EQ(drum.chars[0].start, first.target);  // the record after the label is intact
  EXPECT_EQ(drum.chars[0].target, 16.0f * 512);
  MenuDrumSetLabelNow(&drum, longText.c_str());
  EXPECT_EQ(drum.label[15], '\0');
  EXPECT_EQ(drum.chars[0].position, 16.0f * 512);
  // A short text: the characters past its end roll to blanks.
  MenuDrumSetLabel(&drum, "AB");
  EXPECT_EQ(drum.chars[5].target, 36.0f * 512);
}

TEST(MenuDrums, TheEightDrumsStartAtRestWhereTheyAreDrawn) {
  struct Case {
    const MenuDrum* drum;
    float y;
    const char* label;
  };
  const Case cases[] = {{&gMenuCategoryDrum, 240, "    TRACK    "}, {&gMenuValueDrum, 341, " HOT TANKER  "},
                        {&gMenuResolutionDrum, 240, "  512 X 384  "}, {&gMenuDetailDrum, 341, "   MAXIMUM   "},
                        {&gMenuControls1Drum, 154, "             "}, {&gMenuControls2Drum, 252, "             "},
                        {&gMenuLevelDrum, 354, "             "},     {&gMenuNetKindDrum, 191, "             "}};
  for (const Case& c : cases) {
    EXPECT_EQ(c.drum->x, 164.0f);
    EXPECT_EQ(c.drum->y, c.y);
    EXPECT_EQ(c.drum->count, 13);
    EXPECT_STREQ(c.drum->label, c.label);
    EXPECT_EQ(c.drum->chars[2].position, MenuGlyphIndex(c.label[2]) * 512.0f);
    EXPECT_EQ(c.drum->chars[2].time, MENU_DRUM_REST_TIME);
  }
}

}  // namespace
