// Key bytes of "rur.sc" at chosen offsets of the image, computed once apart
// from the game's code by scores_keys.py beside this file: a stored byte is
// the plain byte plus its key, modulo 256. A scrambler and an unscrambler
// that agree on a wrong key still disagree with these.
#pragma once
#include <cstdint>

struct ScoresKnownKey {
  uint32_t offset;
  uint8_t key;
};

inline constexpr ScoresKnownKey SCORES_KNOWN_KEYS[] = {
    {0, 240},    {1, 96},     {2, 119},    {3, 253},    {4, 127},    {5, 104},    {6, 208},
    {7, 145},    {8, 164},    {11, 90},    {12, 57},    {13, 145},   {19, 104},   {27, 63},
    {28, 120},   {31, 209},   {2484, 191}, {2488, 173}, {4964, 90},  {4972, 73},  {7443, 150},
    {7444, 107}, {7445, 2},   {7452, 63},  {7453, 159}, {7459, 213}, {7460, 46},  {7468, 88},
    {7475, 220}, {7476, 194}, {7477, 72},  {7478, 59},  {7479, 66},
};

// The key of an offset of the table; -1 where the table has none.
inline constexpr int32_t ScoresKnownKeyAt(uint32_t offset) {
  for (const ScoresKnownKey& k : SCORES_KNOWN_KEYS)
    if (k.offset == offset) return k.key;
  return -1;
}
