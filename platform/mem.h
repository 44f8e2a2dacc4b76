// The memory pool: one block taken from the system once and carved up by a
// fixed table of block descriptors. All dynamic memory of the game comes from
// here; misuse and exhaustion are reported on the game screen.
#pragma once
#include <cstddef>
#include <cstdint>

// Records that hold native pointers are wider than on the original 32-bit
// machine; this is the one place to grow the pool if a full run needs it
// (MemPoolPeakBytes tells).
constexpr uint32_t MEM_POOL_SIZE = 29360128;
constexpr int MEM_DESC_COUNT = 3000;
// Every block starts on this boundary, so any record can live in it.
constexpr uint32_t MEM_ALIGN = 16;

enum MemDescState : uint32_t { MEM_DESC_EMPTY = 0, MEM_DESC_FREE = 1, MEM_DESC_USED = 2 };

struct MemBlockDesc {
  uint32_t state;
  uint32_t size;
  uint8_t* address;
};

struct MemPool {
  uint8_t* block;
  MemBlockDesc* table;
  uint32_t peakUsed;
};

extern MemPool gMemPool;

void MemPoolInit();
void* MemAlloc(uint32_t size);
void* MemRealloc(void* address, uint32_t size);
int MemFree(void* address);
uint32_t MemPoolUsedBytes();
// The size of the in-use block at `address` (rounded up as allocated), 0 when none starts there.
uint32_t MemBlockSize(const void* address);
uint32_t MemPoolPeakBytes();

// Copies whole 32-bit words, then the remaining bytes, in increasing address
// order. Meant for disjoint ranges.
void MemCopy(void* destination, const void* source, uint32_t count);

// Internal steps, visible for tests. MemAddFree returns 0 when no descriptor
// is empty; the caller then keeps the bytes in the block they came from.
int MemAddFree(uint32_t size, uint8_t* address);
void MemMergeFree(int entry);

// Where the pool reports its errors: the shell connects its error screen.
using MemFatalHook = void (*)(const char* message);
using MemNumberHook = void (*)(int32_t number);
void MemSetErrorHooks(MemFatalHook fatal, MemNumberHook number);
