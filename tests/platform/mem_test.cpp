#include "platform/mem.h"

#include <cstring>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace {

std::vector<std::string> gErrors;

class MemPoolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gErrors.clear();
    MemSetErrorHooks([](const char* m) { gErrors.push_back(m); },
                     [](int32_t n) { gErrors.push_back(std::string(1, '#').append(std::to_string(n))); });
    MemPoolInit();
  }
  void TearDown() override { MemSetErrorHooks(nullptr, nullptr); }

  static int CountState(uint32_t state) {
    int n = 0;
    for (int i = 0; i < MEM_DESC_COUNT; ++i) n += gMemPool.table[i].state == state;
    return n;
  }
};

TEST_F(MemPoolTest, WholePoolThenExhaustion) {
  EXPECT_EQ(MemAlloc(MEM_POOL_SIZE), gMemPool.block);
  EXPECT_EQ(CountState(MEM_DESC_FREE), 0);
  EXPECT_EQ(MemAlloc(1), nullptr);
  EXPECT_EQ(gErrors, (std::vector<std::string>{"NO FREE MALLOC", "#1"}));
  gErrors.clear();
  EXPECT_EQ(MemAlloc(0xFFFFFFFFu), nullptr);  // no wrap in the rounding
  EXPECT_EQ(gErrors, (std::vector<std::string>{"NO FREE MALLOC", "#-1"}));
}

TEST_F(MemPoolTest, FirstFitInTableOrderWithAlignedBlocks) {
  auto* a = static_cast<uint8_t*>(MemAlloc(100));
  auto* b = static_cast<uint8_t*>(MemAlloc(1));
  auto* c = static_cast<uint8_t*>(MemAlloc(0));  // a real block, never an empty entry
  EXPECT_EQ(a, gMemPool.block);
  EXPECT_EQ(b, a + 112);
  EXPECT_EQ(c, b + MEM_ALIGN);
  for (void* p : {a, b, c}) EXPECT_EQ(reinterpret_cast<uintptr_t>(p) % MEM_ALIGN, 0u);
  EXPECT_EQ(MemPoolUsedBytes(), 112u + 16u + 16u);

  ASSERT_EQ(MemFree(a), 1);
  EXPECT_EQ(MemAlloc(50), a);  // the hole at the front fits first
  EXPECT_EQ(MemFree(c), 1);
  EXPECT_EQ(MemFree(c), 0);  // freed twice
  EXPECT_EQ(gErrors, std::vector<std::string>{"CANNOT FREE MALLOC"});
  EXPECT_EQ(MemPoolPeakBytes(), 144u);
}

TEST_F(MemPoolTest, FreeMergesWithTheFirstNeighbourOnly) {
  void* a = MemAlloc(64);
  void* b = MemAlloc(64);
  void* c = MemAlloc(64);
  MemAlloc(64);  // keeps c away from the free tail
  MemFree(a);
  MemFree(c);
  MemFree(b);  // a comes first in the table and takes b; c stays apart
  EXPECT_EQ(CountState(MEM_DESC_FREE), 3);
  EXPECT_EQ(gMemPool.table[0].state, MEM_DESC_FREE);
  EXPECT_EQ(gMemPool.table[0].size, 128u);
  EXPECT_EQ(gMemPool.table[2].state, MEM_DESC_FREE);
  EXPECT_EQ(gMemPool.table[2].size, 64u);
  // Freed space is reused all the same.
  EXPECT_EQ(MemAlloc(128), a);
  EXPECT_EQ(MemAlloc(64), c);
}

TEST_F(MemPoolTest, ReallocGrowsShrinksAndRefusesStrangers) {
  auto* p = static_cast<uint8_t*>(MemAlloc(32));
  std::memcpy(p, "0123456789abcdefghijklmnopqrstu", 32);
  MemAlloc(16);  // p cannot grow in place
  auto* q = static_cast<uint8_t*>(MemRealloc(p, 100));
  ASSERT_NE(q, p);
  EXPECT_EQ(std::memcmp(q, "0123456789abcdefghijklmnopqrstu", 32), 0);
  EXPECT_EQ(MemFree(p), 0);  // the old block went back to the pool

  gErrors.clear();
  EXPECT_EQ(MemRealloc(q, 40), q);  // shrink keeps the address and frees the tail
  EXPECT_EQ(MemRealloc(q, 48), q);  // same rounded size
  EXPECT_EQ(MemPoolUsedBytes(), 48u + 16u);
  EXPECT_EQ(MemRealloc(gMemPool.block + 8, 10), nullptr);
  EXPECT_EQ(gErrors, std::vector<std::string>{"REALLOC"});

  gErrors.clear();
  EXPECT_EQ(MemRealloc(q, MEM_POOL_SIZE), nullptr);  // growth that does not fit keeps the old block
  EXPECT_EQ(gErrors.front(), "NO FREE MALLOC");
  EXPECT_EQ(MemFree(q), 1);
}

TEST_F(MemPoolTest, FullDescriptorTableKeepsTheBlockWhole) {
  // Pairs of blocks with a freed hole between them use up every descriptor.
  std::vector<void*> kept;
  for (int i = 0; i < MEM_DESC_COUNT - 1; ++i) kept.push_back(MemAlloc(16));
  EXPECT_EQ(CountState(MEM_DESC_EMPTY), 0);
  void* last = MemAlloc(16);  // the tail cannot get a descriptor of its own
  EXPECT_EQ(gErrors, std::vector<std::string>{"MAX MALLOC"});
  ASSERT_NE(last, nullptr);
  // Nothing was lost: the whole rest of the pool is still accounted for.
  EXPECT_EQ(MemPoolUsedBytes(), MEM_POOL_SIZE);
  EXPECT_EQ(MemFree(last), 1);
  EXPECT_NE(MemAlloc(MEM_POOL_SIZE - 16 * (MEM_DESC_COUNT - 1)), nullptr);
}

// Sanitizer builds poison what the pool does not hand out.
constexpr bool POOL_POISONED = ADDRESS_SANITIZED;

volatile uint8_t* Block(uint32_t size) { return static_cast<volatile uint8_t*>(MemAlloc(size)); }

TEST_F(MemPoolTest, EveryByteAskedForStaysUsable) {
  volatile uint8_t* a = Block(100);
  volatile uint8_t* b = Block(64);
  for (int i = 0; i < 100; ++i) a[i] = 1;
  a = static_cast<volatile uint8_t*>(MemRealloc(const_cast<uint8_t*>(a), 110));  // same block, more of it
  for (int i = 0; i < 110; ++i) a[i] = 2;
  a = static_cast<volatile uint8_t*>(MemRealloc(const_cast<uint8_t*>(a), 5000));  // moved: all copied
  EXPECT_EQ(a[109], 2);
  for (int i = 0; i < 5000; ++i) a[i] = 3;
  a = static_cast<volatile uint8_t*>(MemRealloc(const_cast<uint8_t*>(a), 30));
  EXPECT_EQ(a[29], 3);
  for (int i = 0; i < 64; ++i) b[i] = 4;
  EXPECT_EQ(MemFree(const_cast<uint8_t*>(a)), 1);
  EXPECT_EQ(MemFree(const_cast<uint8_t*>(b)), 1);
  EXPECT_EQ(gErrors, std::vector<std::string>{});
}

using MemPoolDeathTest = MemPoolTest;

TEST_F(MemPoolDeathTest, AccessesOutsideTheBlocksAreReported) {
  if (!POOL_POISONED) GTEST_SKIP() << "only a sanitizer build sees inside the pool";
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const struct {
    const char* what;
    void (*fault)();
  } cases[] = {
      {"one byte past a block", [] {
         volatile uint8_t* p = Block(100);
         Block(100);
         p[99] = 1;
         p[100] = 1;
       }},
      {"one byte past a block of whole granules, into free space", [] {
         volatile uint8_t* p = Block(64);
         p[63] = 1;
         p[64] = 1;
       }},
      {"past a block shrunk in place", [] {
         volatile uint8_t* p = Block(200);
         Block(16);
         p = static_cast<volatile uint8_t*>(MemRealloc(const_cast<uint8_t*>(p), 50));
         p[49] = 1;
         p[50] = 1;
       }},
      {"a freed block", [] {
         volatile uint8_t* p = Block(32);
         MemFree(const_cast<uint8_t*>(p));
         p[0] = 1;
       }},
      {"the old place of a moved block", [] {
         volatile uint8_t* p = Block(32);
         Block(16);
         MemRealloc(const_cast<uint8_t*>(p), 4096);
         (void)p[0];
       }},
      {"a zero-byte block", [] { Block(0)[0] = 1; }},
  };
  for (const auto& c : cases) EXPECT_DEATH(c.fault(), "AddressSanitizer") << c.what;
}

TEST(MemCopy, WordsThenBytes) {
  const char src[] = "ABCDEFG";
  char dst[9] = "--------";
  MemCopy(dst, src, 7);
  EXPECT_STREQ(dst, "ABCDEFG-");
  MemCopy(dst, "zz", 0);
  EXPECT_STREQ(dst, "ABCDEFG-");
}

}  // namespace
