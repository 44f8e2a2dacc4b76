// Angles of 10 bits (1024 units a turn), their sine and arctangent tables, and
// the small helpers on them; square roots and the scaling of a vector to 1024.
#pragma once
#include <cstdint>

// 0..1023; 0 along +x, 256 along +z, 512 along -x, 768 along -z, as
// MathAngleTo returns them. A camera or vehicle heading counts from +z instead:
// heading 0 looks along +z, 256 along +x (sine of the heading in x).
using Angle10 = uint16_t;

constexpr int32_t ANGLE_MASK = 1023;
constexpr int32_t SINE_TABLE_SIZE = 1024;
constexpr int32_t ATAN_TABLE_SIZE = 257;

// sin a = SineTable[a & 1023], cos a = SineTable[(a + 256) & 1023].
extern float SineTable[SINE_TABLE_SIZE];
// Angle of the slope i/256 in the first octant, in Angle10 units.
extern uint16_t AtanTable[ATAN_TABLE_SIZE];

inline float MathSin(int32_t a) { return SineTable[a & ANGLE_MASK]; }
inline float MathCos(int32_t a) { return SineTable[(a + 256) & ANGLE_MASK]; }

void MathBuildTables();

Angle10 MathAngleTo(float x1, float z1, float x2, float z2);
int32_t MathAngleDiff(int32_t a, int32_t b);
Angle10 MathAngleTurn(int32_t a, int32_t b, float rate);
Angle10 MathAngleLerp(int32_t a, int32_t b, int32_t n, int32_t m);
float MathAngleApproach(float a, float b, float divisor);
Angle10 MathAngleClamp(int32_t a, int32_t b);

int32_t MathAbs16(int32_t v);
float MathFabs(float f);
float MathSqrt(float x);
float MathSqrtQuick(float x);
void MathNormalise1024(float* x, float* y, float* z);
