// Number conversions every part of the 3D library shares. Float-to-integer
// conversions truncate toward zero; C++ leaves out-of-range conversions
// undefined, so these give a fixed answer instead: NaN becomes 0 and values
// beyond the 32-bit range saturate.
#pragma once
#include <cstdint>

inline int32_t TruncI32(double v) {
  if (v != v) return 0;
  if (v >= 2147483648.0) return INT32_MAX;
  if (v <= -2147483649.0) return INT32_MIN;
  return static_cast<int32_t>(v);
}
inline int32_t TruncI32(float v) { return TruncI32(static_cast<double>(v)); }
inline int32_t TruncI32(long double v) {
  if (v != v) return 0;
  if (v >= 2147483648.0L) return INT32_MAX;
  if (v <= -2147483649.0L) return INT32_MIN;
  return static_cast<int32_t>(v);
}

// The low 16 bits of v read as a signed 16-bit number.
inline int32_t AsI16(int32_t v) { return static_cast<int16_t>(static_cast<uint16_t>(v)); }
