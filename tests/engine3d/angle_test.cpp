#include "engine3d/angle.h"

#include <cmath>
#include <limits>

#include "engine3d/mathutil.h"
#include "support/test_support.h"

namespace {

class Angles : public ::testing::Test {
 protected:
  void SetUp() override { MathBuildTables(); }
};

TEST_F(Angles, ArctangentTableIsTruncatedNotRounded) {
  const struct {
    int i;
    int value;
  } rows[] = {{0, 0},  {1, 0},   {2, 1},    {3, 1},    {4, 2},    {5, 3},    {6, 3},
              {7, 4},  {64, 39}, {128, 75}, {200, 108}, {254, 127}, {255, 127}, {256, 128}};
  for (const auto& r : rows) EXPECT_EQ(AtanTable[r.i], r.value) << "i = " << r.i;
}

TEST_F(Angles, SineTableUsesTheProgramsTwoPi) {
  EXPECT_EQ(SineTable[0], 0.0f);
  EXPECT_EQ(SineTable[256], 1.0f);
  EXPECT_EQ(SineTable[768], -1.0f);
  EXPECT_FLOAT_EQ(SineTable[128], 0.70710677f);
  // 6.2831854 is a little above 2 pi, so the half turn lands just past pi.
  // These entries come out otherwise when the constant or the sums are held
  // in single precision (a float 2 pi changes 480 entries of the table).
  const struct {
    int i;
    float value;
  } rows[] = {{17, 0x1.aa7b72p-4f},   {64, 0x1.87de2ap-2f},   {448, 0x1.87de28p-2f},   {511, 0x1.921e48p-8f},
              {512, -0x1.8ea92p-25f}, {513, -0x1.921fd8p-8f}, {896, -0x1.6a09e4p-1f},  {1023, -0x1.921d82p-8f}};
  for (const auto& r : rows) EXPECT_EQ(SineTable[r.i], r.value) << "i = " << r.i;
  EXPECT_EQ(MathCos(0), 1.0f);
  EXPECT_EQ(MathCos(1024 + 512), MathSin(768));
}

TEST_F(Angles, AngleToCoversQuadrantsAxesAndBrokenInput) {
  const float inf = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const struct {
    float dx, dz;
    int angle;
  } rows[] = {
      {0, 0, 0},      {1, 0, 0},      {0, 1, 256},    {0, 1000, 256}, {-1, 0, 512},   {0, -1, 768},
      {1, 1, 128},    {-1, 1, 384},   {-1, -1, 640},  {1, -1, 896},   {2, 1, 75},     {1, 2, 181},
      {-1, 2, 331},   {-2, 1, 437},   {-2, -1, 587},  {-1, -2, 693},  {1, -2, 843},   {2, -1, 949},
      {1e-3f, 1e6f, 256}, {1e6f, -1e-3f, 0},
      // A broken physics state counts as zero on that axis and never leaves the table.
      {nan, 1, 256},  {inf, 1, 256},  {1, -inf, 0},   {nan, nan, 0},  {-inf, -2, 768},
  };
  for (const auto& r : rows)
    EXPECT_EQ(MathAngleTo(5.0f, -7.0f, 5.0f + r.dx, -7.0f + r.dz), r.angle) << r.dx << ", " << r.dz;
  EXPECT_EQ(MathAngleTo(3.0f, 4.0f, 3.0f, 4.0f), 0);
  EXPECT_EQ(MathAngleTo(-3e38f, 0.0f, 3e38f, 1.0f), 256);  // the difference overflows to infinity
}

TEST_F(Angles, DifferencesAcrossTheWrap) {
  const struct {
    int a, b, d;
  } rows[] = {{0, 512, 512}, {512, 0, -512}, {1000, 10, 34}, {10, 1000, -34}, {0, 0, 0},
              {100, 612, 512}, {612, 100, -512}, {1029, 3, -2}, {-1, 1, 2}, {300, 200, -100}};
  for (const auto& r : rows) EXPECT_EQ(MathAngleDiff(r.a, r.b), r.d) << r.a << " -> " << r.b;
}

TEST_F(Angles, TurningInterpolatingApproachingAndClamping) {
  EXPECT_EQ(MathAngleTurn(1000, 10, 0.5f), 1017);
  EXPECT_EQ(MathAngleTurn(1000, 10, 1.0f), 10);
  EXPECT_EQ(MathAngleTurn(1300, 10, 0.0f), 276);
  EXPECT_EQ(MathAngleTurn(10, 1000, 0.5f), 1017);  // -7 truncated, then wrapped
  EXPECT_EQ(MathAngleTurn(0, 3, 0.5f), 1);         // 1.5 truncated toward zero

  EXPECT_EQ(MathAngleLerp(1000, 10, 1, 2), 1017);
  EXPECT_EQ(MathAngleLerp(10, 1000, 1, 3), 1023);  // -34 / 3 = -11
  EXPECT_EQ(MathAngleLerp(0xFFFF, 10, 1, 1), 10);  // a read as -1
  EXPECT_EQ(MathAngleLerp(300, 10, 1, 0), 300);    // no divide by zero

  EXPECT_FLOAT_EQ(MathAngleApproach(10.5f, 20.0f, 2.0f), 15.75f);
  EXPECT_FLOAT_EQ(MathAngleApproach(10.5f, 20.0f, 0.0f), 115.5f);
  EXPECT_FLOAT_EQ(MathAngleApproach(20.0f, 10.0f, 2.0f), 15.0f);

  const struct {
    int a, b, result;
  } clamps[] = {{1000, 100, 1000}, {800, 100, 924}, {300, 100, 100}, {50, 100, 50}, {512, 100, 100}, {1074, 10, 10}};
  for (const auto& r : clamps) EXPECT_EQ(MathAngleClamp(r.a, r.b), r.result) << r.a << ", " << r.b;
}

TEST_F(Angles, SixteenBitAbsoluteAndFabs) {
  EXPECT_EQ(MathAbs16(-5), 5);
  EXPECT_EQ(MathAbs16(0xFFFF), 1);
  EXPECT_EQ(MathAbs16(0x18000), 32768);
  EXPECT_EQ(MathAbs16(70000), 4464);
  EXPECT_EQ(MathFabs(-2.5f), 2.5f);
  EXPECT_TRUE(std::signbit(MathFabs(-0.0f)));  // -0.0 is not below 0.0
}

TEST_F(Angles, SquareRootsKeepTheirStatedOddities) {
  const struct {
    float x, root;
  } rows[] = {{4.0f, 2.0f}, {25.0f, 5.0f}, {0.0f, 0.0f}, {-4.0f, -2.0f}};
  for (const auto& r : rows) EXPECT_FLOAT_EQ(MathSqrt(r.x), r.root) << r.x;
  EXPECT_FLOAT_EQ(MathSqrt(1e12f), 1e6f);
  // Ten steps from x / 2 are nowhere near for large inputs; the lighting relies on that.
  EXPECT_GT(MathSqrtQuick(1e12f), 1e8f);
  EXPECT_FLOAT_EQ(MathSqrtQuick(4.0f), 2.0f);
  EXPECT_EQ(MathSqrtQuick(-4.0f), -2.0f);
}

TEST_F(Angles, NormaliseTo1024) {
  const struct {
    float in[3], out[3];
  } rows[] = {{{3, 0, 4}, {614.4f, 0, 819.2f}},
              {{0, 0, 0}, {0, 0, 1024}},
              {{0, -5, 0}, {0, -1024, 0}},
              {{1, 1, 1}, {591.20667f, 591.20667f, 591.20667f}}};
  for (const auto& r : rows) {
    float x = r.in[0], y = r.in[1], z = r.in[2];
    MathNormalise1024(&x, &y, &z);
    EXPECT_FLOAT_EQ(x, r.out[0]);
    EXPECT_FLOAT_EQ(y, r.out[1]);
    EXPECT_FLOAT_EQ(z, r.out[2]);
  }
}

TEST(MathUtil, TruncationIsTowardZeroAndDefinedOutOfRange) {
  const struct {
    double v;
    int32_t result;
  } rows[] = {{1.9, 1},       {-1.9, -1},         {-0.5, 0},         {2147483647.9, INT32_MAX},
              {1e20, INT32_MAX}, {-1e20, INT32_MIN}, {-2147483648.5, INT32_MIN},
              {std::numeric_limits<double>::quiet_NaN(), 0}, {std::numeric_limits<double>::infinity(), INT32_MAX}};
  for (const auto& r : rows) EXPECT_EQ(TruncI32(r.v), r.result) << r.v;
  EXPECT_EQ(TruncI32(-1.5f), -1);
  EXPECT_EQ(TruncI32(3e9f), INT32_MAX);
  EXPECT_EQ(AsI16(0xFFFF), -1);
  EXPECT_EQ(AsI16(0x12345), 0x2345);
}

}  // namespace
