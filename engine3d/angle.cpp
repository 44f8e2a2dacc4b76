#include "engine3d/angle.h"

#include <cmath>

#include "engine3d/mathutil.h"

float SineTable[SINE_TABLE_SIZE];
uint16_t AtanTable[ATAN_TABLE_SIZE];

void MathBuildTables() {
  // The program's own value of 2 pi, not the exact one: the table must match.
  const long double twoPi = 6.2831854;
  for (int32_t i = 0; i < SINE_TABLE_SIZE; ++i)
    SineTable[i] = static_cast<float>(std::sin(static_cast<long double>(i) * twoPi * (1.0L / 1024.0L)));
  for (int32_t i = 0; i < 256; ++i) {
    double angle = std::atan(static_cast<double>(i) / 256.0) * 128.0 * 1.2732395259258147;
    AtanTable[i] = static_cast<uint16_t>(TruncI32(angle));
  }
  AtanTable[256] = 128;
}

namespace {

// Entry for smaller / larger, both magnitudes with smaller <= larger. Finite
// input keeps the index in 0..256; the clamp is for whatever else gets here.
int32_t AtanOf(float smaller, float larger) {
  int32_t index = AsI16(TruncI32(static_cast<double>(smaller) * 256.0 / static_cast<double>(larger)));
  if (index < 0) index = 0;
  if (index > 256) index = 256;
  return AtanTable[index];
}

}  // namespace

Angle10 MathAngleTo(float x1, float z1, float x2, float z2) {
  float dx = x2 - x1;
  float dz = z2 - z1;
  // A broken state (NaN or infinite positions) must not steer through memory.
  if (!std::isfinite(dx)) dx = 0.0f;
  if (!std::isfinite(dz)) dz = 0.0f;
  float ax = dx < 0.0f ? -dx : dx;
  float az = dz < 0.0f ? -dz : dz;
  int32_t result;
  if (dx >= 0.0f && dz >= 0.0f) {
    if (az < ax) result = AtanOf(az, ax);
    else result = dz == 0.0f ? 0 : 256 - AtanOf(ax, az);
  } else if (dx >= 0.0f) {
    result = az < ax ? 1024 - AtanOf(az, ax) : 768 + AtanOf(ax, az);
  } else if (dz >= 0.0f) {
    result = az < ax ? 512 - AtanOf(az, ax) : 256 + AtanOf(ax, az);
  } else {
    result = az < ax ? 512 + AtanOf(az, ax) : 768 - AtanOf(ax, az);
  }
  return static_cast<Angle10>(result & ANGLE_MASK);
}

int32_t MathAngleDiff(int32_t a, int32_t b) {
  int32_t a1 = a & ANGLE_MASK;
  int32_t b1 = b & ANGLE_MASK;
  int32_t d = b1 - a1;
  int32_t magnitude = AsI16(d) < 0 ? -AsI16(d) : AsI16(d);
  if (magnitude > 512) d = d >= 0 ? b1 - 1024 - a1 : b1 + 1024 - a1;
  return d;
}

Angle10 MathAngleTurn(int32_t a, int32_t b, float rate) {
  int32_t d = MathAngleDiff(a, b);
  float step = static_cast<float>(d < 0 ? -d : d) * rate;
  float base = static_cast<float>(a & 0xFFFF);
  float v = d > 0 ? base + step : base - step;
  return static_cast<Angle10>(TruncI32(v) & ANGLE_MASK);
}

Angle10 MathAngleLerp(int32_t a, int32_t b, int32_t n, int32_t m) {
  int32_t start = AsI16(a);
  // A zero divisor would end the program; it means "no progress".
  if (m == 0) return static_cast<Angle10>(start & ANGLE_MASK);
  int64_t d = MathAngleDiff(a, b);
  int64_t v = start + d * n / m;
  return static_cast<Angle10>(v & ANGLE_MASK);
}

float MathAngleApproach(float a, float b, float divisor) {
  int32_t a1 = TruncI32(a) & ANGLE_MASK;
  int32_t b1 = TruncI32(b) & ANGLE_MASK;
  int32_t d = MathAngleDiff(a1, b1);
  float fraction = (a - static_cast<float>(a1)) - (b - static_cast<float>(b1));
  float total = static_cast<float>(d < 0 ? -d : d) + MathFabs(fraction);
  if (divisor < 0.1f) divisor = 0.1f;
  return d > 0 ? a + total / divisor : a - total / divisor;
}

Angle10 MathAngleClamp(int32_t a, int32_t b) {
  int32_t a1 = a & ANGLE_MASK;
  if (a1 <= 512) return static_cast<Angle10>(a1 > b ? b : a1);
  return static_cast<Angle10>(a1 < 1024 - b ? 1024 - b : a1);
}

int32_t MathAbs16(int32_t v) {
  int32_t s = AsI16(v);
  return s < 0 ? -s : s;
}

float MathFabs(float f) { return f < 0.0f ? -f : f; }

namespace {

float NewtonRoot(float x, int steps) {
  float r = x * 0.5f;
  for (int i = 0; i < steps; ++i) {
    if (r <= 0.0f) break;
    r = (x / r + r) * 0.5f;
  }
  return r;
}

}  // namespace

float MathSqrt(float x) { return NewtonRoot(x, 30); }
float MathSqrtQuick(float x) { return NewtonRoot(x, 10); }

void MathNormalise1024(float* x, float* y, float* z) {
  float len = MathSqrt(*x * *x + *y * *y + *z * *z);
  if (len == 0.0f) {
    *z = 1024.0f;
    return;
  }
  float inverse = 1.0f / len;
  *x = *x * 1024.0f * inverse;
  *y = *y * 1024.0f * inverse;
  *z = *z * 1024.0f * inverse;
}
