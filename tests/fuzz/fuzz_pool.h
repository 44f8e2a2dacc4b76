// For targets whose reader gets its file as the loaders have it: a fresh
// pool, silent about exhaustion, with the input in a block of its own size
// (so a sanitizer build reports any read past it).
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "platform/mem.h"

// The input in a new pool block, or null when it is larger than `limit`.
inline uint8_t* FuzzFileInPool(const uint8_t* data, size_t size, size_t limit = size_t{1} << 20) {
  static const bool quiet = [] {
    MemSetErrorHooks([](const char*) {}, [](int32_t) {});
    return true;
  }();
  (void)quiet;
  if (size > limit) return nullptr;
  MemPoolInit();
  auto* file = static_cast<uint8_t*>(MemAlloc(static_cast<uint32_t>(size)));
  if (file && size) std::memcpy(file, data, size);
  return file;
}
