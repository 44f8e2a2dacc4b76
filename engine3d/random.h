// The program's one table of pseudo-random numbers, filled once from fixed
// seeds so that every run sees the same sequence. Magnitudes come from the
// universal generator of Marsaglia, Zaman and Tsang (RANMAR, in single
// precision), signs from a 32-bit shift register.
#pragma once
#include <cstdint>

constexpr int32_t RANDOM_TABLE_SIZE = 32768;
constexpr uint32_t RANDOM_INDEX_MASK = 0x7FFF;
constexpr uint32_t RANDOM_SHIFT_START = 0x5A17C3E9;

extern int32_t RandomTable[RANDOM_TABLE_SIZE];

struct RandomState {
  uint8_t filled;
  uint32_t index;  // stored as counted; masked on every read
  float u[98];     // u[1..97]
  int32_t i97;
  int32_t j97;
  float c;
  float cd;
  float cm;
  uint32_t shift;  // never reseeded: the terrain and the table fill share it
};
extern RandomState gRandom;

void RandInitGenerator();
void RandFillTable(int32_t* table, int32_t n);
int32_t RandNext();
int32_t RandNextAbs();
int32_t RandAt(int32_t i);
void RandSetIndex(uint32_t i);
uint16_t RandShiftBits();
