// The pak archives "rur0.pak" .. "rur7.pak" and their decompression.
// "rur0.pak" holds the directories of the seven data archives; once they are
// mounted, every asset loader asks PakLoadFile for a path in an archive slot
// and gets a new pool buffer with the file's bytes. With nothing mounted the
// same call reads the loose file from disk.
//
// Every size, offset and count taken from an archive is checked before use: a
// damaged archive makes the loader return 0 (or a negative lookup result),
// and PakLastError says which archive and entry and what was wrong.
#pragma once
#include <cstdint>

// Entry methods.
enum PakMethod : uint8_t {
  PAK_METHOD_STORED = 0,
  PAK_METHOD_NONE = 1,
  PAK_METHOD_LZ = 2,
  PAK_METHOD_LZ_ALT = 3,
  PAK_METHOD_DEFLATE = 4,
};

constexpr int PAK_SLOT_COUNT = 7;
constexpr int PAK_NAME_SIZE = 16;
// Raw deflate decodes in place with this much room behind the packed bytes.
constexpr uint32_t PAK_DEFLATE_SLACK = 2000;
// The hooked loader reads the packed bytes in pieces of this size.
constexpr uint32_t PAK_READ_PIECE = 65536;
// The fixed part of an entry header, before its extra field.
constexpr uint32_t PAK_ENTRY_HEADER_SIZE = 16;
constexpr const char* PAK_DIRECTORY_ARCHIVE = "rur0.pak";

// PakFindFile results besides an entry index.
constexpr int32_t PAK_FIND_NO_FILE = -1;       // the directory exists, the file does not
constexpr int32_t PAK_FIND_NO_DIRECTORY = -2;  // no directory of that name
constexpr int32_t PAK_FIND_DAMAGED = -3;       // the directory image ends or points outside itself

using PakLoadHook = void (*)();

// One mounted archive: its file name and the in-memory image of its
// directory (a pool buffer kept for the whole run), with the image's size so
// every lookup stays inside it.
struct PakSlot {
  char name[PAK_NAME_SIZE];
  const uint8_t* directory;
  uint32_t directorySize;
};

extern PakSlot gPakSlots[PAK_SLOT_COUNT];
extern uint32_t gPakMounted;  // 0: files come from disk
extern PakLoadHook gPakLoadHook;

// Registers a directory image in a slot and sets the mounted flag. Refuses
// (returns 0, nothing changed) a slot outside 0..6, a name that does not fit
// the slot or a missing image, so a failed load never mounts an empty slot.
int PakSetSlot(const char* archiveName, const uint8_t* directory, uint32_t directorySize, int slot);
void PakReset();
void PakSetLoadHook(PakLoadHook hook);

// Mounts the seven archives as the game does at start-up: entries 0..6 of
// "rur0.pak" become the directories of "rur1.pak" .. "rur7.pak" in slots
// 0..6. All or nothing: when any entry fails to load, nothing is mounted and
// 0 is returned (PakLastError names the entry).
int PakMountArchives();

// Loads a file from an archive slot (or from disk when nothing is mounted)
// into a new pool buffer; *outSize gets its size. The caller's path is not
// changed. 0 when the file is missing or damaged.
uint8_t* PakLoadFile(const char* path, int slot, uint32_t* outSize);

// Looks a path (upper case, backslashes between directory and file) up in a
// directory image: the entry index, or one of the PAK_FIND_ results.
int32_t PakFindFile(const uint8_t* directory, uint32_t directorySize, const char* path, uint32_t* outSize);

// Loads entry `index` of an archive into a new pool buffer of exactly its
// unpacked size (also stored in *outSize when given); 0 on any failure.
uint8_t* PakLoadEntry(const char* archiveName, uint32_t index, uint32_t* outSize = nullptr);
// The same, calling the hook after each whole 65536-byte piece read and
// before each deflate block.
uint8_t* PakLoadEntryHooked(const char* archiveName, uint32_t index, PakLoadHook hook,
                            uint32_t* outSize = nullptr);
// Into the caller's buffer of `capacity` bytes, which must hold the unpacked
// size (plus PAK_DEFLATE_SLACK for deflate entries), and the packed size
// where that is larger: the destination, or 0 when the archive does not
// open, the entry is damaged or does not fit.
uint8_t* PakLoadEntryInto(const char* archiveName, uint32_t index, uint8_t* destination, uint32_t capacity,
                          uint32_t* outSize = nullptr);

// Unpacks `packedSize` bytes at `source` into exactly `unpackedSize` bytes at
// `destination`. Source and destination may overlap as the in-place loader
// lays them out (packed bytes at the tail of the output); when output would
// overtake unread input, the rest of the input is moved aside first. 1 on
// success, 0 for a damaged stream, an unknown method or a size mismatch.
int UnpackBlock(uint8_t method, const uint8_t* source, uint8_t* destination, uint32_t packedSize,
                uint32_t unpackedSize);
int UnpackBlockHooked(uint8_t method, const uint8_t* source, uint8_t* destination, uint32_t packedSize,
                      uint32_t unpackedSize, PakLoadHook hook);
// The escape-byte LZ format of methods 2 and 3.
int UnpackLz(const uint8_t* source, uint32_t packedSize, uint8_t* destination, uint32_t unpackedSize);

// Why the most recent failing call of this component failed, naming the
// archive and entry where there is one. Successes leave it as it was.
const char* PakLastError();
