#include "engine3d/random.h"

#include "support/test_support.h"

namespace {

// The published RANMAR check values (seeds 1802, 9373 = 12, 34, 56, 78) after
// 20000 draws, with the signs the shift register gives.
TEST(Random, TableMatchesRanmarCheckValuesAndShiftRegisterSigns) {
  const int32_t expected[] = {-6533892, -14220222, 7275067, -6172232, -8354498, 10633180, 5698795, 10290641};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(RandAt(i), expected[i]) << "entry " << i;
  EXPECT_EQ(RandAt(12345), 12673449);
  EXPECT_EQ(RandAt(32767), 12020508);
  EXPECT_EQ(gRandom.filled, 1);

  int positive = 0;
  for (int i = 0; i < RANDOM_TABLE_SIZE; ++i) {
    EXPECT_LT(RandomTable[i] < 0 ? -RandomTable[i] : RandomTable[i], 1 << 24);
    positive += RandomTable[i] > 0;
  }
  EXPECT_EQ(positive, 16409);
}

TEST(Random, ShiftRegisterSteps) {
  EXPECT_EQ(RandShiftBits(), 0xDC70);
  EXPECT_EQ(RandShiftBits(), 0x8874);
  EXPECT_EQ(RandShiftBits(), 0xC923);
}

TEST(Random, RunningIndexPreIncrementsAndWraps) {
  EXPECT_EQ(RandNext(), RandAt(1));  // the first read is entry 1, not 0
  EXPECT_EQ(RandNextAbs(), 7275067);
  EXPECT_EQ(RandNext(), RandAt(3));  // both move the same index

  RandSetIndex(32767);
  EXPECT_EQ(RandNextAbs(), 6533892);  // entry 0, index 32768 masked
  EXPECT_EQ(gRandom.index, 32768u);   // stored unmasked

  RandSetIndex(0xFFFFFFFFu);
  EXPECT_EQ(RandNext(), RandAt(0));

  RandSetIndex(10);
  EXPECT_EQ(RandAt(32768 + 5), RandAt(5));
  EXPECT_EQ(RandAt(-1), RandAt(32767));
  EXPECT_EQ(gRandom.index, 10u);
}

TEST(Random, SettingTheIndexDoesNotFillAndReadsRepeat) {
  RandSetIndex(100);
  EXPECT_EQ(gRandom.filled, 0);
  int32_t a = RandNext(), b = RandNext();
  RandSetIndex(100);
  EXPECT_EQ(RandNext(), a);
  EXPECT_EQ(RandNext(), b);
}

}  // namespace
