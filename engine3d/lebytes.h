// Little-endian fields of the 3D library's files (records, 3DS models, the
// texture list), read and written byte by byte whatever the processor's order.
#pragma once
#include <cstdint>
#include <cstring>

inline void PutU16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
inline void PutU32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
inline void PutF32(uint8_t* p, float v) {
  uint32_t bits;
  std::memcpy(&bits, &v, 4);
  PutU32(p, bits);
}
inline uint16_t GetU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
inline uint32_t GetU32(const uint8_t* p) {
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}
inline float GetF32(const uint8_t* p) {
  uint32_t bits = GetU32(p);
  float v;
  std::memcpy(&v, &bits, 4);
  return v;
}
