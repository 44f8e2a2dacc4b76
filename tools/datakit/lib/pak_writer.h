// The pak archive writer: archives in the game's format from code or from a
// folder, in every entry method, with the directory images of "rur0.pak".
//
// Entries are unpacked in place by the game (packed bytes at the tail of a
// buffer of the unpacked size plus slack, or of the packed size when that is
// larger, decoded front to back), so the writer only keeps a packed form
// whose output never overtakes its unread input; otherwise the entry is
// stored. A packed form larger than its file is kept when asked for by name
// (a one-byte file packed with LZ takes two bytes).
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/datakit/lib/bytes.h"

namespace datakit {

// Entry methods as the archive stores them, and the writer's own choice.
constexpr uint8_t PACK_STORED = 0;
constexpr uint8_t PACK_NONE = 1;
constexpr uint8_t PACK_LZ = 2;
constexpr uint8_t PACK_LZ_ALT = 3;
constexpr uint8_t PACK_DEFLATE = 4;
constexpr uint8_t PACK_SMALLEST = 255;  // the smaller of LZ and deflate, or stored when neither helps

constexpr uint32_t PACK_DEFLATE_SLACK = 2000;

// Escape-byte LZ stream of `data`. `lead`, when given, receives the largest
// amount by which the output runs ahead of the packed bytes read, taken after
// every token but the last; in-place decoding is safe when
// lead <= unpacked size - packed size.
Bytes LzEncode(const Bytes& data, int64_t* lead = nullptr);
// Raw deflate (no zlib or gzip wrapper), best compression.
Bytes DeflateRaw(const Bytes& data);
// Whether these packed bytes, placed at the tail of the game's in-place
// buffer (see InPlaceBufferSize), decode in place to `data` without the
// output reaching unread input.
// The game's in-place buffer: the unpacked size plus the method's slack, or
// the packed size when that is larger.
size_t InPlaceBufferSize(size_t unpacked, size_t packed, size_t slack);
bool LzFitsInPlace(const Bytes& data, const Bytes& packed, int64_t lead);
bool DeflateFitsInPlace(const Bytes& data, const Bytes& packed);

class PakWriter {
 public:
  // Adds a file under its game path ("TRACK\\FILE.UV"; '/' also separates,
  // case does not matter). Returns its entry index, or -1 for an empty name
  // or a path already added.
  int AddFile(const std::string& path, const Bytes& data, uint8_t method = PACK_SMALLEST);
  // An entry that no directory lists, packed with `method`.
  int AddData(const Bytes& data, uint8_t method);
  // An entry written exactly as given, header fields and all (for damaged
  // archives in tests, and any method number).
  int AddRawEntry(uint8_t method, const Bytes& packed, uint32_t unpackedSize, const Bytes& extra = {});

  size_t EntryCount() const { return entries_.size(); }
  // The method actually used for an entry (LZ and deflate fall back to stored).
  uint8_t EntryMethod(int index) const { return entries_.at(index).method; }
  uint32_t EntryPackedSize(int index) const { return static_cast<uint32_t>(entries_.at(index).packed.size()); }

  // The archive file and the directory image that lists its files.
  Bytes Archive() const;
  Bytes DirectoryImage() const;

 private:
  struct Entry {
    uint8_t method;
    uint32_t unpacked;
    uint32_t crc;
    Bytes packed;
    Bytes extra;
  };
  struct File {
    std::string directory;  // upper case, with its trailing backslash; "" for the root
    std::string name;
    uint32_t size;
    uint32_t index;
  };
  std::vector<Entry> entries_;
  std::vector<std::string> directories_;  // in order of first use
  std::vector<File> files_;
};

// The seven data archives; archives[n] is "rur<n + 1>.pak".
struct PakSet {
  std::array<PakWriter, 7> archives;
};

// Writes "rur1.pak" .. "rur7.pak" and "rur0.pak" (their directory images as
// entries 0..6, packed with `directoryMethod`) into `folder`. Each file is
// written whole under a temporary name and then renamed, so a failure leaves
// no half-written archive. False with `error` set on failure.
bool WritePakSet(const PakSet& set, const std::string& folder, std::string* error,
                 uint8_t directoryMethod = PACK_DEFLATE);
// Fills a set from the folders `source`/1 .. `source`/7 (a missing folder
// gives an empty archive), files in sorted path order.
bool PakSetFromFolder(const std::string& source, PakSet* set, std::string* error, uint8_t method = PACK_SMALLEST);

// One listed file of a directory image.
struct PakListedFile {
  std::string path;  // directory name + file name
  uint32_t size;
  uint32_t index;
};
// Reads a directory image, every read bounded by its size; false when it is
// damaged.
bool PakDirectoryParse(const uint8_t* image, size_t size, std::vector<PakListedFile>* files);

// The small placeholder content of every archive until the real assets exist.
void AddPlaceholderFiles(PakSet* set);
// `count` bytes that no method packs smaller, the same for the same seed.
Bytes NoiseBytes(size_t count, uint32_t seed);
// A method by its command-line name: stored, none, lz, lz-alt, deflate or
// smallest; false for any other name.
bool PackMethodByName(const std::string& name, uint8_t* method);

}  // namespace datakit
