#include "platform/file.h"

#include "hal/fs.h"
#include "platform/mem.h"

namespace {

int Descriptor(FileHandle handle) { return static_cast<int>(handle) - 1; }

FileHandle OpenWith(const char* name, HalOpenMode mode) {
  int fd = HalFdOpen(name, mode);
  if (fd < 0) return 0;
  if (fd >= 0xFFFF) {  // would not fit the 16-bit handle
    HalFdClose(fd);
    return 0;
  }
  return static_cast<FileHandle>(fd + 1);
}

// One byte moved, or the word family stops where it got to.
bool ReadByte(FileHandle handle, uint8_t* byte) { return FileRead(handle, byte, 1) == 1; }
bool WriteByte(FileHandle handle, uint8_t byte) { return FileWrite(handle, &byte, 1) == 1; }

template <typename Word>
uint32_t ReadBigEndian(FileHandle handle, Word* words, uint32_t count) {
  uint32_t moved = 0;
  for (uint32_t i = 0; i < count; ++i) {
    for (int shift = 8 * (sizeof(Word) - 1); shift >= 0; shift -= 8) {
      uint8_t b;
      if (!ReadByte(handle, &b)) return moved;
      words[i] = static_cast<Word>((words[i] & ~(Word{0xFF} << shift)) | (Word{b} << shift));
      ++moved;
    }
  }
  return moved;
}

template <typename Word>
uint32_t WriteBigEndian(FileHandle handle, const Word* words, uint32_t count) {
  uint32_t moved = 0;
  for (uint32_t i = 0; i < count; ++i) {
    for (int shift = 8 * (sizeof(Word) - 1); shift >= 0; shift -= 8) {
      if (!WriteByte(handle, static_cast<uint8_t>(words[i] >> shift))) return moved;
      ++moved;
    }
  }
  return moved;
}

}  // namespace

FileHandle FileOpen(const char* name, int32_t mode) {
  switch (mode) {
    case FILE_MODE_READ:
    case FILE_MODE_READ_ALT: return OpenWith(name, HAL_OPEN_READ);
    case FILE_MODE_WRITE: return OpenWith(name, HAL_OPEN_WRITE_CREATE);
    case FILE_MODE_READ_WRITE: return OpenWith(name, HAL_OPEN_READ_WRITE);
    default: return 0;
  }
}

int32_t FileClose(FileHandle handle) {
  if (handle == 0) return 0;
  return HalFdClose(Descriptor(handle)) == 0 ? 1 : 0;
}

uint32_t FileRead(FileHandle handle, void* buffer, uint32_t count) {
  if (handle == 0) return 0;
  int64_t n = HalFdRead(Descriptor(handle), buffer, count);
  return n < 0 ? 0 : static_cast<uint32_t>(n);
}

uint32_t FileWrite(FileHandle handle, const void* buffer, uint32_t count) {
  if (handle == 0) return 0;
  int64_t n = HalFdWrite(Descriptor(handle), buffer, count);
  return n < 0 ? 0 : static_cast<uint32_t>(n);
}

uint32_t FileSeek(FileHandle handle, int32_t offset, int32_t origin) {
  if (handle == 0) return 0;
  int64_t pos = HalFdSeek(Descriptor(handle), offset, origin);
  return (pos < 0 || pos > UINT32_MAX) ? 0 : static_cast<uint32_t>(pos);
}

int32_t FileExists(const char* name) {
  FileHandle h = FileOpen(name, FILE_MODE_READ);
  if (h == 0) return 0;
  FileClose(h);
  return 1;
}

uint32_t FileSize(const char* name) {
  FileHandle h = FileOpen(name, FILE_MODE_READ);
  if (h == 0) return 0;
  int64_t length = HalFdLength(Descriptor(h));
  FileClose(h);
  return (length < 0 || length > UINT32_MAX) ? 0 : static_cast<uint32_t>(length);
}

void* FileLoad(const char* name) {
  uint32_t size = FileSize(name);
  if (size == 0) return nullptr;
  void* buffer = MemAlloc(size);
  if (!buffer) return nullptr;
  FileHandle h = FileOpen(name, FILE_MODE_READ);
  // A file that shrank between the size query and the read would leave the
  // tail of the buffer undefined: that is a failed load, not a short one.
  bool whole = h != 0 && FileRead(h, buffer, size) == size;
  FileClose(h);
  if (!whole) {
    MemFree(buffer);
    return nullptr;
  }
  return buffer;
}

// Only a file that exists and may be written is saved over; it is replaced
// whole, so a shorter buffer leaves no tail of the old contents behind.
int32_t FileSaveBuffer(const char* name, const void* buffer, uint32_t size) {
  int fd = HalFdOpen(name, HAL_OPEN_WRITE);
  if (fd < 0) return 0;
  HalFdClose(fd);
  return HalWriteFileAtomic(name, buffer, size) ? 1 : 0;
}

uint32_t FileReadBe16(FileHandle handle, uint16_t* words, uint32_t count) { return ReadBigEndian(handle, words, count); }
uint32_t FileReadBe32(FileHandle handle, uint32_t* words, uint32_t count) { return ReadBigEndian(handle, words, count); }
uint32_t FileWriteBe16(FileHandle handle, const uint16_t* words, uint32_t count) {
  return WriteBigEndian(handle, words, count);
}
uint32_t FileWriteBe32(FileHandle handle, const uint32_t* words, uint32_t count) {
  return WriteBigEndian(handle, words, count);
}

void StrUpper(char* text) {
  for (; *text; ++text)
    if (*text >= 'a' && *text <= 'z') *text = static_cast<char>(*text - 'a' + 'A');
}
