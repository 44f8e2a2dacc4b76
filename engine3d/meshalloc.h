// Pool allocation of n records, refusing sizes that overflow or exceed what
// the memory pool can describe. Shared by the 3D library's own sources.
#pragma once
#include <cstdint>

void* MeshAllocArray(uint64_t count, uint64_t size);
