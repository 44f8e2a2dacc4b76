#include "engine3d/random.h"

#include "engine3d/mathutil.h"

int32_t RandomTable[RANDOM_TABLE_SIZE];
RandomState gRandom = {0, 0, {}, 0, 0, 0.0f, 0.0f, 0.0f, RANDOM_SHIFT_START};

void RandInitGenerator() {
  int32_t i = 12, j = 34, k = 56, l = 78;
  for (int32_t n = 1; n <= 97; ++n) {
    float s = 0.0f;
    float t = 0.5f;
    for (int32_t bit = 0; bit < 24; ++bit) {
      int32_t m = (((i * j) % 179) * k) % 179;
      i = j;
      j = k;
      k = m;
      l = (53 * l + 1) % 169;
      if ((l * m) % 64 >= 32) s = s + t;
      t = t * 0.5f;
    }
    gRandom.u[n] = s;
  }
  gRandom.c = 362436.0f / 16777216.0f;
  gRandom.cd = 7654321.0f / 16777216.0f;
  gRandom.cm = 16777213.0f / 16777216.0f;
  gRandom.i97 = 97;
  gRandom.j97 = 33;
}

namespace {

// Every value is a multiple of 2^-24 below 1, so single precision is exact.
float RandDraw() {
  float uni = gRandom.u[gRandom.i97] - gRandom.u[gRandom.j97];
  if (uni < 0.0f) uni = uni + 1.0f;
  gRandom.u[gRandom.i97] = uni;
  if (--gRandom.i97 == 0) gRandom.i97 = 97;
  if (--gRandom.j97 == 0) gRandom.j97 = 97;
  gRandom.c = gRandom.c - gRandom.cd;
  if (gRandom.c < 0.0f) gRandom.c = gRandom.c + gRandom.cm;
  uni = uni - gRandom.c;
  if (uni < 0.0f) uni = uni + 1.0f;
  return uni;
}

void FillOnFirstUse() {
  if (!gRandom.filled) RandFillTable(RandomTable, RANDOM_TABLE_SIZE);
}

}  // namespace

void RandFillTable(int32_t* table, int32_t n) {
  gRandom.filled = 1;
  RandInitGenerator();
  for (int32_t i = 0; i < 20000; ++i) RandDraw();
  for (int32_t i = 0; i < n; ++i) {
    float magnitude = RandDraw() * 4096.0f * 4096.0f;
    table[i] = (RandShiftBits() & 1) ? TruncI32(magnitude) : TruncI32(-magnitude);
  }
}

int32_t RandNext() {
  FillOnFirstUse();
  ++gRandom.index;
  return RandomTable[gRandom.index & RANDOM_INDEX_MASK];
}

int32_t RandNextAbs() {
  int32_t v = RandNext();
  return v < 0 ? -v : v;
}

int32_t RandAt(int32_t i) {
  FillOnFirstUse();
  return RandomTable[static_cast<uint32_t>(i) & RANDOM_INDEX_MASK];
}

void RandSetIndex(uint32_t i) { gRandom.index = i; }

uint16_t RandShiftBits() {
  uint32_t r = gRandom.shift;
  for (int32_t step = 0; step < 16; ++step) {
    uint32_t feedback = ((r >> 30) ^ (r >> 29)) & 1u;
    r = (r << 1) | feedback;
  }
  gRandom.shift = r;
  return static_cast<uint16_t>(r & 0xFFFF);
}
