// Thin wrappers over the file descriptor calls with a 16-bit handle of their
// own (0 means failure), big-endian word arrays, whole-file load and save, and
// the game's upper-casing of names.
#pragma once
#include <cstdint>

using FileHandle = uint16_t;

enum FileMode : int32_t {
  FILE_MODE_READ = 0,
  FILE_MODE_READ_ALT = 1,
  FILE_MODE_WRITE = 2,       // created when missing, never truncated
  FILE_MODE_READ_WRITE = 3,
};

FileHandle FileOpen(const char* name, int32_t mode);
int32_t FileClose(FileHandle handle);
uint32_t FileRead(FileHandle handle, void* buffer, uint32_t count);
uint32_t FileWrite(FileHandle handle, const void* buffer, uint32_t count);
uint32_t FileSeek(FileHandle handle, int32_t offset, int32_t origin);
int32_t FileExists(const char* name);
uint32_t FileSize(const char* name);
void* FileLoad(const char* name);
int32_t FileSaveBuffer(const char* name, const void* buffer, uint32_t size);

uint32_t FileReadBe16(FileHandle handle, uint16_t* words, uint32_t count);
uint32_t FileReadBe32(FileHandle handle, uint32_t* words, uint32_t count);
uint32_t FileWriteBe16(FileHandle handle, const uint16_t* words, uint32_t count);
uint32_t FileWriteBe32(FileHandle handle, const uint32_t* words, uint32_t count);

void StrUpper(char* text);
