// What the input and sound libraries share: the last-error word and the
// string copy used throughout the game.
#pragma once
#include <atomic>
#include <cstdint>

// The code of the most recent failure of either library; never cleared.
// Atomic because the sound library's streaming thread may store into it.
extern std::atomic<uint32_t> gLibLastError;

// Copies a NUL-terminated string with its terminator; nothing when both are null.
void StrCopy(char* destination, const char* source);
