#include "platform/pak.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/file.h"
#include "platform/mem.h"
#include "platform/pak_internal.h"

PakSlot gPakSlots[PAK_SLOT_COUNT];
uint32_t gPakMounted;
PakLoadHook gPakLoadHook;

namespace {

char gPakError[512];

uint32_t Le32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t{p[3]} << 24; }

struct EntryHeader {
  uint32_t stored;
  uint32_t unpacked;
  uint8_t method;
  uint32_t dataOffset;
};

// Reads from an open archive; every position and count is checked against
// the file's length, and every seek and read must move exactly as asked.
struct ArchiveReader {
  FileHandle handle;
  uint32_t length;

  bool ReadAt(uint64_t position, void* buffer, uint32_t count) const {
    if (position + count > length) return false;
    if (FileSeek(handle, static_cast<int32_t>(position), 0) != position) return false;
    return FileRead(handle, buffer, count) == count;
  }
};

uint32_t SlackOf(uint8_t method) { return method == PAK_METHOD_DEFLATE ? PAK_DEFLATE_SLACK : 0; }

// Why an entry is unusable, or nullptr when its header is sound.
const char* CheckEntry(const ArchiveReader& archive, uint32_t index, EntryHeader* entry, char* why, size_t whySize) {
  uint8_t word[4];
  uint64_t tablePosition = 4 + 4 * uint64_t{index};
  if (!archive.ReadAt(tablePosition, word, 4)) {
    std::snprintf(why, whySize, "the offset table ends before this entry");
    return why;
  }
  uint32_t offset = Le32(word);
  uint8_t header[12];
  if (uint64_t{offset} + PAK_ENTRY_HEADER_SIZE > archive.length || !archive.ReadAt(uint64_t{offset} + 4, header, 12)) {
    std::snprintf(why, whySize, "entry offset %u is past the end of the archive (%u bytes)", offset, archive.length);
    return why;
  }
  entry->stored = Le32(header);
  entry->unpacked = Le32(header + 4);
  entry->method = header[8];
  uint32_t extra = header[10] | header[11] << 8;
  uint64_t data = uint64_t{offset} + PAK_ENTRY_HEADER_SIZE + extra;
  if (data + entry->stored > archive.length) {
    std::snprintf(why, whySize, "%u packed bytes at offset %llu run past the end of the archive (%u bytes)",
                  entry->stored, static_cast<unsigned long long>(data), archive.length);
    return why;
  }
  entry->dataOffset = static_cast<uint32_t>(data);
  if (entry->method > PAK_METHOD_DEFLATE) {
    std::snprintf(why, whySize, "unknown method %u", entry->method);
    return why;
  }
  if ((entry->method == PAK_METHOD_STORED || entry->method == PAK_METHOD_NONE) && entry->stored != entry->unpacked) {
    std::snprintf(why, whySize, "stored size %u differs from the unpacked size %u", entry->stored, entry->unpacked);
    return why;
  }
  if (uint64_t{entry->unpacked} + SlackOf(entry->method) > MEM_POOL_SIZE) {
    std::snprintf(why, whySize, "unpacked size %u is larger than the memory pool", entry->unpacked);
    return why;
  }
  if (entry->stored > MEM_POOL_SIZE) {
    std::snprintf(why, whySize, "stored size %u is larger than the memory pool", entry->stored);
    return why;
  }
  return nullptr;
}

// The in-place buffer: room for the unpacked bytes and the decoder's slack,
// and never less than the packed bytes, which may outnumber the unpacked
// ones (a one-byte file packs into an escape byte and a token).
uint32_t InPlaceSize(const EntryHeader& entry) {
  uint32_t unpacked = entry.unpacked + SlackOf(entry.method);
  return entry.stored > unpacked ? entry.stored : unpacked;
}

// The loader behind all PakLoadEntry forms. `into` is the caller's buffer
// (or null for a new pool buffer); `label` names the file in messages.
uint8_t* LoadEntry(const char* archiveName, uint32_t index, PakLoadHook hook, uint8_t* into, uint32_t capacity,
                   uint32_t* outSize, const char* label) {
  std::string where = std::string(archiveName ? archiveName : "(null)") + " entry " + std::to_string(index);
  if (label) where += std::string(" (") + label + ")";
  if (!archiveName) {
    PakSetError("%s: no archive name", where.c_str());
    return nullptr;
  }
  FileHandle handle = FileOpen(archiveName, FILE_MODE_READ_ALT);
  if (handle == 0) {
    PakSetError("%s: the archive does not open", where.c_str());
    return nullptr;
  }
  uint32_t length = FileSeek(handle, 0, 2);
  ArchiveReader archive{handle, length};
  char why[256];
  EntryHeader entry{};
  if (length > INT32_MAX) {
    FileClose(handle);
    PakSetError("%s: the archive is too large", where.c_str());
    return nullptr;
  }
  if (const char* bad = CheckEntry(archive, index, &entry, why, sizeof why)) {
    FileClose(handle);
    PakSetError("%s: %s", where.c_str(), bad);
    return nullptr;
  }
  uint32_t total = InPlaceSize(entry);
  uint8_t* buffer = into;
  if (into) {
    if (capacity < total) {
      FileClose(handle);
      PakSetError("%s: needs %u bytes, the buffer holds %u", where.c_str(), total, capacity);
      return nullptr;
    }
  } else {
    buffer = static_cast<uint8_t*>(MemAlloc(total));
    if (!buffer) {
      FileClose(handle);
      PakSetError("%s: no memory for %u bytes", where.c_str(), total);
      return nullptr;
    }
  }
  // The packed bytes go to the tail of the buffer and are unpacked in place.
  uint8_t* packed = buffer + total - entry.stored;
  bool read = FileSeek(handle, static_cast<int32_t>(entry.dataOffset), 0) == entry.dataOffset;
  if (read && hook) {
    uint32_t done = 0;
    while (read && done < entry.stored) {
      uint32_t piece = entry.stored - done < PAK_READ_PIECE ? entry.stored - done : PAK_READ_PIECE;
      read = FileRead(handle, packed + done, piece) == piece;
      done += piece;
      if (read && piece == PAK_READ_PIECE) hook();
    }
  } else if (read) {
    read = FileRead(handle, packed, entry.stored) == entry.stored;
  }
  FileClose(handle);
  bool unpacked = read && UnpackBlockHooked(entry.method, packed, buffer, entry.stored, entry.unpacked, hook);
  if (!unpacked) {
    std::string reason = read ? gPakError : "the packed bytes do not read";
    if (!into) MemFree(buffer);
    PakSetError("%s: %s", where.c_str(), reason.c_str());
    return nullptr;
  }
  if (!into && total > entry.unpacked) buffer = static_cast<uint8_t*>(MemRealloc(buffer, entry.unpacked));
  if (outSize) *outSize = entry.unpacked;
  return buffer;
}

// A bounded walk over a directory image.
struct ImageReader {
  const uint8_t* image;
  uint32_t size;
  uint32_t position;

  bool U32(uint32_t* v) {
    if (size - position < 4) return false;
    *v = Le32(image + position);
    position += 4;
    return true;
  }
  // A NUL-terminated name inside the image.
  bool Name(const char** text, size_t* length) {
    const void* nul = std::memchr(image + position, 0, size - position);
    if (!nul) return false;
    *text = reinterpret_cast<const char*>(image + position);
    *length = static_cast<size_t>(static_cast<const uint8_t*>(nul) - (image + position));
    position += static_cast<uint32_t>(*length) + 1;
    return true;
  }
};

bool SameName(const char* a, size_t aLength, const char* b, size_t bLength) {
  return aLength == bLength && std::memcmp(a, b, aLength) == 0;
}

uint8_t* LoadLooseFile(const char* path, uint32_t* outSize) {
  uint32_t size = FileSize(path);
  FileHandle handle = size > 0 ? FileOpen(path, FILE_MODE_READ) : 0;
  if (handle == 0) {
    PakSetError("%s: the file does not open or is empty", path);
    return nullptr;
  }
  auto* buffer = static_cast<uint8_t*>(MemAlloc(size));
  uint32_t read = buffer ? FileRead(handle, buffer, size) : 0;
  FileClose(handle);
  if (!buffer || read != size) {
    if (buffer) MemFree(buffer);
    PakSetError("%s: the file does not read", path);
    return nullptr;
  }
  if (outSize) *outSize = read;
  return buffer;
}

}  // namespace

void PakSetError(const char* format, ...) {
  char text[sizeof gPakError];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  std::memcpy(gPakError, text, sizeof text);
}

const char* PakLastError() { return gPakError; }

int PakSetSlot(const char* archiveName, const uint8_t* directory, uint32_t directorySize, int slot) {
  if (slot < 0 || slot >= PAK_SLOT_COUNT || !directory || !archiveName ||
      strnlen(archiveName, PAK_NAME_SIZE) >= PAK_NAME_SIZE) {
    PakSetError("archive slot %d: refused", slot);
    return 0;
  }
  PakSlot& s = gPakSlots[slot];
  std::memset(s.name, 0, sizeof s.name);
  std::memcpy(s.name, archiveName, std::strlen(archiveName));
  s.directory = directory;
  s.directorySize = directorySize;
  gPakMounted = 1;
  return 1;
}

void PakReset() {
  gPakLoadHook = nullptr;
  gPakMounted = 0;
}

void PakSetLoadHook(PakLoadHook hook) { gPakLoadHook = hook; }

int PakMountArchives() {
  uint8_t* images[PAK_SLOT_COUNT] = {};
  uint32_t sizes[PAK_SLOT_COUNT] = {};
  for (int i = 0; i < PAK_SLOT_COUNT; ++i) {
    images[i] = PakLoadEntry(PAK_DIRECTORY_ARCHIVE, static_cast<uint32_t>(i), &sizes[i]);
    if (!images[i]) {
      for (int j = 0; j < i; ++j) MemFree(images[j]);
      return 0;
    }
  }
  for (int i = 0; i < PAK_SLOT_COUNT; ++i) {
    char name[PAK_NAME_SIZE];
    std::snprintf(name, sizeof name, "rur%d.pak", i + 1);
    PakSetSlot(name, images[i], sizes[i], i);
  }
  return 1;
}

int32_t PakFindFile(const uint8_t* directory, uint32_t directorySize, const char* path, uint32_t* outSize) {
  if (!directory || !path) return PAK_FIND_NO_DIRECTORY;
  // The directory part keeps its backslash; a path without one, or whose
  // only backslash leads it, is looked up whole in the root directory.
  const char* slash = std::strrchr(path, '\\');
  const char* file = path;
  size_t directoryLength = 0;
  if (slash && slash != path) {
    file = slash + 1;
    directoryLength = static_cast<size_t>(file - path);
  }
  size_t fileLength = std::strlen(file);

  ImageReader image{directory, directorySize, 0};
  uint32_t count;
  if (!image.U32(&count)) return PAK_FIND_DAMAGED;
  for (uint32_t d = 0; d < count; ++d) {
    const char* name;
    size_t nameLength;
    uint32_t listOffset, fileCount;
    if (!image.Name(&name, &nameLength) || !image.U32(&listOffset) || !image.U32(&fileCount)) return PAK_FIND_DAMAGED;
    if (!SameName(name, nameLength, path, directoryLength)) continue;
    if (listOffset > directorySize) return PAK_FIND_DAMAGED;
    ImageReader list{directory, directorySize, listOffset};
    for (uint32_t f = 0; f < fileCount; ++f) {
      const char* fileName;
      size_t fileNameLength;
      uint32_t size, index;
      if (!list.Name(&fileName, &fileNameLength) || !list.U32(&size) || !list.U32(&index)) return PAK_FIND_DAMAGED;
      if (!SameName(fileName, fileNameLength, file, fileLength)) continue;
      if (index > INT32_MAX) return PAK_FIND_DAMAGED;
      if (outSize) *outSize = size;
      return static_cast<int32_t>(index);
    }
    return PAK_FIND_NO_FILE;
  }
  return PAK_FIND_NO_DIRECTORY;
}

uint8_t* PakLoadEntry(const char* archiveName, uint32_t index, uint32_t* outSize) {
  return LoadEntry(archiveName, index, nullptr, nullptr, 0, outSize, nullptr);
}

uint8_t* PakLoadEntryHooked(const char* archiveName, uint32_t index, PakLoadHook hook, uint32_t* outSize) {
  return LoadEntry(archiveName, index, hook, nullptr, 0, outSize, nullptr);
}

uint8_t* PakLoadEntryInto(const char* archiveName, uint32_t index, uint8_t* destination, uint32_t capacity,
                          uint32_t* outSize) {
  if (!destination) {
    PakSetError("%s entry %u: no destination", archiveName ? archiveName : "(null)", index);
    return nullptr;
  }
  return LoadEntry(archiveName, index, nullptr, destination, capacity, outSize, nullptr);
}

uint8_t* PakLoadFile(const char* path, int slot, uint32_t* outSize) {
  if (!path) {
    PakSetError("no path");
    return nullptr;
  }
  // Upper-cased in a copy of our own: the caller's text may be read-only.
  std::string upper(path);
  StrUpper(upper.data());
  if (!gPakMounted) return LoadLooseFile(upper.c_str(), outSize);

  if (slot < 0 || slot >= PAK_SLOT_COUNT || !gPakSlots[slot].directory) {
    PakSetError("%s: archive slot %d is not mounted", upper.c_str(), slot);
    return nullptr;
  }
  const PakSlot& s = gPakSlots[slot];
  uint32_t listedSize = 0;
  int32_t index = PakFindFile(s.directory, s.directorySize, upper.c_str(), &listedSize);
  if (index == PAK_FIND_DAMAGED) {
    PakSetError("%s: the directory of %s is damaged", upper.c_str(), s.name);
    return nullptr;
  }
  if (index < 0) {
    PakSetError("%s: not in %s", upper.c_str(), s.name);
    return nullptr;
  }
  uint32_t size = 0;
  uint8_t* buffer = LoadEntry(s.name, static_cast<uint32_t>(index), gPakLoadHook, nullptr, 0, &size, upper.c_str());
  if (!buffer) return nullptr;
  // The caller sizes its reads by what we report; it must be the buffer's.
  if (size != listedSize) {
    MemFree(buffer);
    PakSetError("%s entry %d (%s): the directory gives %u bytes, the entry holds %u", s.name, index, upper.c_str(),
                listedSize, size);
    return nullptr;
  }
  if (outSize) *outSize = size;
  return buffer;
}
