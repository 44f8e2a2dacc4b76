#include "platform/mem.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

// AddressSanitizer sees the pool as one live block. In sanitizer builds the
// pool tells it what is live: free space and each block's bytes past the size
// asked for are poisoned, so an overrun that stays inside the pool is caught.
// The accounting does not change; a block whose size is a multiple of
// MEM_ALIGN has no padding, and an overrun of it is caught only when the
// bytes after it are free.
#if defined(__SANITIZE_ADDRESS__)
#define TV_POOL_POISON 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TV_POOL_POISON 1
#endif
#endif
#ifdef TV_POOL_POISON
#include <sanitizer/asan_interface.h>
#define POOL_POISON(address, size) ASAN_POISON_MEMORY_REGION(address, size)
#define POOL_UNPOISON(address, size) ASAN_UNPOISON_MEMORY_REGION(address, size)
#else
#define POOL_POISON(address, size) ((void)(address), (void)(size))
#define POOL_UNPOISON(address, size) ((void)(address), (void)(size))
#endif

MemPool gMemPool;

namespace {

void DefaultFatal(const char* message) { std::fprintf(stderr, "TALVEROS ERROR... %s\n", message); }
void DefaultNumber(int32_t number) { std::fprintf(stderr, "%d\n", number); }

MemFatalHook gFatal = DefaultFatal;
MemNumberHook gNumber = DefaultNumber;

int FindUsed(const void* address) {
  if (!gMemPool.table) return -1;
  for (int i = 0; i < MEM_DESC_COUNT; ++i)
    if (gMemPool.table[i].state == MEM_DESC_USED && gMemPool.table[i].address == address) return i;
  return -1;
}

// Rounding up keeps every block aligned; a request of 0 gets a block of its
// own rather than an entry of size 0 that a later free could hit by mistake.
uint64_t RoundedSize(uint32_t size) {
  return size == 0 ? MEM_ALIGN : (uint64_t{size} + MEM_ALIGN - 1) / MEM_ALIGN * MEM_ALIGN;
}

void NotePeak() {
  uint32_t used = MemPoolUsedBytes();
  if (used > gMemPool.peakUsed) gMemPool.peakUsed = used;
}

}  // namespace

void MemSetErrorHooks(MemFatalHook fatal, MemNumberHook number) {
  gFatal = fatal ? fatal : DefaultFatal;
  gNumber = number ? number : DefaultNumber;
}

void MemPoolInit() {
  if (!gMemPool.block) {
    gMemPool.block = static_cast<uint8_t*>(std::aligned_alloc(64, MEM_POOL_SIZE));
    gMemPool.table = static_cast<MemBlockDesc*>(std::calloc(MEM_DESC_COUNT, sizeof(MemBlockDesc)));
    if (!gMemPool.block || !gMemPool.table) {
      std::fprintf(stderr, "cannot reserve the %u-byte memory pool\n", MEM_POOL_SIZE);
      std::abort();
    }
  }
  for (int i = 0; i < MEM_DESC_COUNT; ++i) gMemPool.table[i] = MemBlockDesc{MEM_DESC_EMPTY, 0, nullptr};
  gMemPool.table[0] = MemBlockDesc{MEM_DESC_FREE, MEM_POOL_SIZE, gMemPool.block};
  POOL_POISON(gMemPool.block, MEM_POOL_SIZE);
  gMemPool.peakUsed = 0;
}

void* MemAlloc(uint32_t size) {
  uint64_t want = RoundedSize(size);
  if (gMemPool.table && want <= MEM_POOL_SIZE) {
    for (int i = 0; i < MEM_DESC_COUNT; ++i) {
      MemBlockDesc& d = gMemPool.table[i];
      if (d.state != MEM_DESC_FREE || d.size < want) continue;
      d.state = MEM_DESC_USED;
      uint32_t rounded = static_cast<uint32_t>(want);
      if (d.size > rounded && MemAddFree(d.size - rounded, d.address + rounded)) d.size = rounded;
      POOL_UNPOISON(d.address, size);
      NotePeak();
      return d.address;
    }
  }
  gFatal("NO FREE MALLOC");
  gNumber(static_cast<int32_t>(size));
  return nullptr;
}

int MemAddFree(uint32_t size, uint8_t* address) {
  for (int i = 0; i < MEM_DESC_COUNT; ++i) {
    if (gMemPool.table[i].state != MEM_DESC_EMPTY) continue;
    gMemPool.table[i] = MemBlockDesc{MEM_DESC_FREE, size, address};
    MemMergeFree(i);
    return 1;
  }
  gFatal("MAX MALLOC");
  return 0;
}

void MemMergeFree(int entry) {
  MemBlockDesc& e = gMemPool.table[entry];
  uint8_t* end = e.address + e.size;
  for (int i = 0; i < MEM_DESC_COUNT; ++i) {
    MemBlockDesc& f = gMemPool.table[i];
    if (i == entry || f.state != MEM_DESC_FREE) continue;
    if (f.address == end) {
      e.size += f.size;
      f = MemBlockDesc{MEM_DESC_EMPTY, 0, nullptr};
      return;
    }
    if (f.address + f.size == e.address) {
      f.size += e.size;
      e = MemBlockDesc{MEM_DESC_EMPTY, 0, nullptr};
      return;
    }
  }
}

int MemFree(void* address) {
  int i = FindUsed(address);
  if (i < 0) {
    gFatal("CANNOT FREE MALLOC");
    return 0;
  }
  gMemPool.table[i].state = MEM_DESC_FREE;
  POOL_POISON(gMemPool.table[i].address, gMemPool.table[i].size);
  MemMergeFree(i);
  return 1;
}

void* MemRealloc(void* address, uint32_t size) {
  int i = FindUsed(address);
  if (i < 0) {
    gFatal("REALLOC");
    return nullptr;
  }
  uint32_t old = gMemPool.table[i].size;
  uint64_t want = RoundedSize(size);
  if (want > old) {
    void* fresh = MemAlloc(size);
    if (!fresh) return nullptr;
    POOL_UNPOISON(address, old);  // the copy takes the whole old block
    MemCopy(fresh, address, old);
    MemFree(address);
    return fresh;
  }
  if (want < old) {
    uint32_t keep = static_cast<uint32_t>(want);
    if (MemAddFree(old - keep, gMemPool.table[i].address + keep)) gMemPool.table[i].size = keep;
  }
  POOL_POISON(address, old);
  POOL_UNPOISON(address, size);
  return address;
}

uint32_t MemPoolUsedBytes() {
  if (!gMemPool.table) return 0;
  uint64_t sum = 0;
  for (int i = 0; i < MEM_DESC_COUNT; ++i)
    if (gMemPool.table[i].state == MEM_DESC_USED) sum += gMemPool.table[i].size;
  return static_cast<uint32_t>(sum);
}

uint32_t MemBlockSize(const void* address) {
  int i = FindUsed(address);
  return i < 0 ? 0 : gMemPool.table[i].size;
}

uint32_t MemPoolPeakBytes() { return gMemPool.peakUsed; }

void MemCopy(void* destination, const void* source, uint32_t count) {
  auto* d = static_cast<uint8_t*>(destination);
  auto* s = static_cast<const uint8_t*>(source);
  uint32_t words = count / 4;
  for (uint32_t i = 0; i < words; ++i) std::memmove(d + 4 * i, s + 4 * i, 4);
  for (uint32_t i = words * 4; i < count; ++i) d[i] = s[i];
}
