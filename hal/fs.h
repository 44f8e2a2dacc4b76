// Paths as the game writes them ("TRACK\FILE.UV", ".\ziziz.ini", any case)
// resolved on a case-sensitive file system, the descriptor calls the file
// wrappers sit on, and the one way whole files are saved.
#pragma once
#include <cstdint>
#include <string>

// Backslashes become '/', and each component is matched case-insensitively
// against what exists. Components that match nothing keep the case given, so
// a new file is created exactly as named.
std::string HalResolvePath(const char* gamePath);

enum HalOpenMode : int {
  HAL_OPEN_READ = 0,         // read only
  HAL_OPEN_WRITE_CREATE = 1, // write only, created when missing, never truncated
  HAL_OPEN_READ_WRITE = 2,   // read and write, must exist
  HAL_OPEN_WRITE = 3,        // write only, must exist, never truncated
};

// Descriptor calls; each returns -1 on failure.
int HalFdOpen(const char* gamePath, HalOpenMode mode);
int HalFdClose(int fd);
int64_t HalFdRead(int fd, void* buffer, uint64_t count);
int64_t HalFdWrite(int fd, const void* buffer, uint64_t count);
int64_t HalFdSeek(int fd, int64_t offset, int origin);  // 0 start, 1 current, 2 end
int64_t HalFdLength(int fd);

// Replaces the whole file at gamePath with `size` bytes of `data`: they go to
// a new file in the same folder, flushed to the disk, which is then renamed
// over the old one (keeping its permissions). A failure at any step leaves the
// old file byte for byte and no temporary file behind. Every saver of a whole
// file goes through here.
bool HalWriteFileAtomic(const char* gamePath, const void* data, uint64_t size);
