#include "tools/datakit/lib/pak_writer.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace datakit {

namespace {

constexpr int HASH_BITS = 16;
constexpr int CHAIN_DEPTH = 64;
constexpr uint32_t MIN_MATCH = 4;

uint32_t Hash4(const uint8_t* p) {
  uint32_t v = p[0] | p[1] << 8 | p[2] << 16 | uint32_t{p[3]} << 24;
  return (v * 2654435761u) >> (32 - HASH_BITS);
}

// Bytes a back-reference token takes for this distance and length.
uint32_t CopyCost(uint32_t distance, uint32_t length) {
  uint32_t width = distance <= 256 ? 1 : distance <= 65536 ? 2 : 4;
  uint32_t lengthField = length <= 19 ? 0 : length <= 255 ? 1 : length <= 65535 ? 2 : 4;
  return 2 + width + lengthField;
}

class LzEncoder {
 public:
  LzEncoder(const Bytes& data, uint8_t escape) : data_(data), escape_(escape) {}

  Bytes Run(int64_t* lead) {
    out_.U8(escape_);
    const size_t n = data_.size();
    std::vector<int32_t> head(size_t{1} << HASH_BITS, -1);
    std::vector<int32_t> prev(n, -1);
    size_t i = 0;
    auto insert = [&](size_t at) {
      if (at + MIN_MATCH > n) return;
      uint32_t h = Hash4(&data_[at]);
      prev[at] = head[h];
      head[h] = static_cast<int32_t>(at);
    };
    while (i < n) {
      // Best back-reference by bytes saved, then the nearest.
      uint32_t bestLength = 0, bestDistance = 0;
      int64_t bestGain = 0;
      if (i + MIN_MATCH <= n) {
        int32_t candidate = head[Hash4(&data_[i])];
        for (int depth = 0; candidate >= 0 && depth < CHAIN_DEPTH; ++depth, candidate = prev[candidate]) {
          size_t from = static_cast<size_t>(candidate);
          uint32_t length = 0;
          while (i + length < n && length < UINT32_MAX && data_[from + length] == data_[i + length]) ++length;
          if (length < MIN_MATCH) continue;
          auto distance = static_cast<uint32_t>(i - from);
          int64_t gain = int64_t{length} - CopyCost(distance, length);
          if (gain > bestGain) {
            bestGain = gain;
            bestLength = length;
            bestDistance = distance;
          }
        }
      }
      // Best repeat of a 1..4 byte pattern.
      uint32_t repeatPattern = 0, repeatCount = 0;
      for (uint32_t p = 1; p <= 4 && i + 2 * p <= n; ++p) {
        uint32_t count = 1;
        while (count < 33 && i + (count + 1) * p <= n &&
               std::memcmp(&data_[i], &data_[i + count * p], p) == 0)
          ++count;
        if (count < 2) continue;
        int64_t gain = int64_t{p} * count - (2 + p);
        if (gain > bestGain) {
          bestGain = gain;
          bestLength = 0;
          repeatPattern = p;
          repeatCount = count;
        }
      }
      size_t advance;
      if (repeatPattern) {
        out_.U8(escape_);
        out_.U8(static_cast<uint8_t>(0x80 | (repeatPattern - 1) << 5 | (repeatCount - 2)));
        out_.Raw(&data_[i], repeatPattern);
        advance = size_t{repeatPattern} * repeatCount;
      } else if (bestLength) {
        EmitCopy(bestDistance, bestLength);
        advance = bestLength;
      } else {
        out_.U8(data_[i]);
        if (data_[i] == escape_) out_.U8(0);
        advance = 1;
      }
      for (size_t k = 0; k < advance; ++k) insert(i + k);
      i += advance;
      NoteToken(i);
    }
    if (lead) *lead = maxLead_;
    return out_.Take();
  }

 private:
  void EmitCopy(uint32_t distance, uint32_t length) {
    uint32_t widthCode = distance <= 256 ? 1 : distance <= 65536 ? 2 : 3;
    uint8_t code = static_cast<uint8_t>(widthCode << 5);
    bool shortLength = length <= 19;
    uint32_t selector = length <= 255 ? 0 : length <= 65535 ? 1 : 2;
    code |= shortLength ? static_cast<uint8_t>(length - 4) : static_cast<uint8_t>(0x10 | selector);
    out_.U8(escape_);
    out_.U8(code);
    // The low bytes of the negative offset.
    uint32_t offset = 0u - distance;
    if (widthCode == 1) out_.U8(static_cast<uint8_t>(offset));
    else if (widthCode == 2) out_.U16(static_cast<uint16_t>(offset));
    else out_.U32(offset);
    if (!shortLength) {
      if (selector == 0) out_.U8(static_cast<uint8_t>(length));
      else if (selector == 1) out_.U16(static_cast<uint16_t>(length));
      else out_.U32(length);
    }
  }

  // The lead of the token before this one counts: the last token's input is
  // all read, so its output may overwrite anything.
  void NoteToken(size_t outputEnd) {
    if (haveToken_) maxLead_ = std::max(maxLead_, lastLead_);
    lastLead_ = static_cast<int64_t>(outputEnd) - static_cast<int64_t>(out_.size());
    haveToken_ = true;
  }

  const Bytes& data_;
  uint8_t escape_;
  ByteWriter out_;
  bool haveToken_ = false;
  int64_t lastLead_ = 0;
  int64_t maxLead_ = INT64_MIN;
};

uint8_t LeastFrequentByte(const Bytes& data) {
  std::array<size_t, 256> counts{};
  for (uint8_t b : data) ++counts[b];
  return static_cast<uint8_t>(std::min_element(counts.begin(), counts.end()) - counts.begin());
}

std::string UpperPath(const std::string& path) {
  std::string s = path;
  for (char& c : s) {
    if (c == '/') c = '\\';
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return s;
}

struct Packed {
  uint8_t method;
  Bytes bytes;
};

Packed Pack(const Bytes& data, uint8_t method) {
  switch (method) {
    case PACK_LZ:
    case PACK_LZ_ALT: {
      int64_t lead = 0;
      Bytes lz = LzEncode(data, &lead);
      if (LzFitsInPlace(data, lz, lead)) return {method, std::move(lz)};
      return {PACK_STORED, data};
    }
    case PACK_DEFLATE: {
      Bytes z = DeflateRaw(data);
      if (DeflateFitsInPlace(data, z)) return {method, std::move(z)};
      return {PACK_STORED, data};
    }
    case PACK_SMALLEST: {
      Packed lz = Pack(data, PACK_LZ);
      Packed z = Pack(data, PACK_DEFLATE);
      const Packed& best = z.bytes.size() <= lz.bytes.size() ? z : lz;
      if (best.bytes.size() < data.size()) return best;
      return {PACK_STORED, data};
    }
    default: return {method, data};  // stored, none, or a number the game does not know
  }
}

bool WriteWhole(const std::string& path, const Bytes& bytes, std::string* error) {
  std::string temporary = path + ".tmp";
  std::error_code ec;
  if (!WriteFile(temporary, bytes)) {
    std::filesystem::remove(temporary, ec);
    if (error) *error = "cannot write " + path;
    return false;
  }
  std::filesystem::rename(temporary, path, ec);
  if (ec) {
    std::filesystem::remove(temporary, ec);
    if (error) *error = "cannot write " + path;
    return false;
  }
  return true;
}

}  // namespace

Bytes LzEncode(const Bytes& data, int64_t* lead) { return LzEncoder(data, LeastFrequentByte(data)).Run(lead); }

Bytes DeflateRaw(const Bytes& data) {
  z_stream z{};
  deflateInit2(&z, 9, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
  Bytes out(deflateBound(&z, static_cast<uLong>(data.size())));
  z.next_in = const_cast<Bytef*>(data.data());
  z.avail_in = static_cast<uInt>(data.size());
  z.next_out = out.data();
  z.avail_out = static_cast<uInt>(out.size());
  deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

size_t InPlaceBufferSize(size_t unpacked, size_t packed, size_t slack) { return std::max(unpacked + slack, packed); }

bool LzFitsInPlace(const Bytes& data, const Bytes& packed, int64_t lead) {
  size_t buffer = InPlaceBufferSize(data.size(), packed.size(), 0);
  return lead <= static_cast<int64_t>(buffer - packed.size());
}

bool DeflateFitsInPlace(const Bytes& data, const Bytes& packed) {
  Bytes buffer(InPlaceBufferSize(data.size(), packed.size(), PACK_DEFLATE_SLACK));
  uint8_t* in = buffer.data() + buffer.size() - packed.size();
  std::copy(packed.begin(), packed.end(), in);
  z_stream z{};
  if (inflateInit2(&z, -15) != Z_OK) return false;
  z.next_in = in;
  z.avail_in = static_cast<uInt>(packed.size());
  z.next_out = buffer.data();
  bool ok = false;
  for (;;) {
    size_t remaining = data.size() - (z.next_out - buffer.data());
    size_t gap = static_cast<size_t>(z.next_in - z.next_out);
    if (z.avail_in > 0 && remaining > 0 && gap == 0) break;  // output would overwrite unread input
    z.avail_out = static_cast<uInt>(z.avail_in > 0 ? std::min(remaining, gap) : remaining);
    uint8_t* before = z.next_out;
    const uint8_t* beforeIn = z.next_in;
    int ret = inflate(&z, Z_NO_FLUSH);
    if (ret == Z_STREAM_END) {
      ok = z.total_out == data.size() && std::equal(data.begin(), data.end(), buffer.begin());
      break;
    }
    if ((ret != Z_OK && ret != Z_BUF_ERROR) || (z.next_out == before && z.next_in == beforeIn)) break;
  }
  inflateEnd(&z);
  return ok;
}

int PakWriter::AddFile(const std::string& path, const Bytes& data, uint8_t method) {
  std::string upper = UpperPath(path);
  size_t slash = upper.rfind('\\');
  File file;
  if (slash == std::string::npos || slash == 0) {
    file.name = upper;
  } else {
    file.directory = upper.substr(0, slash + 1);
    file.name = upper.substr(slash + 1);
  }
  if (file.name.empty()) return -1;
  for (const File& f : files_)
    if (f.directory == file.directory && f.name == file.name) return -1;
  file.size = static_cast<uint32_t>(data.size());
  file.index = static_cast<uint32_t>(AddData(data, method));
  if (std::find(directories_.begin(), directories_.end(), file.directory) == directories_.end())
    directories_.push_back(file.directory);
  files_.push_back(file);
  return static_cast<int>(file.index);
}

int PakWriter::AddData(const Bytes& data, uint8_t method) {
  Packed p = Pack(data, method);
  uint32_t crc = static_cast<uint32_t>(crc32(0, data.data(), static_cast<uInt>(data.size())));
  entries_.push_back(Entry{p.method, static_cast<uint32_t>(data.size()), crc, std::move(p.bytes), {}});
  return static_cast<int>(entries_.size() - 1);
}

int PakWriter::AddRawEntry(uint8_t method, const Bytes& packed, uint32_t unpackedSize, const Bytes& extra) {
  entries_.push_back(Entry{method, unpackedSize, 0, packed, extra});
  return static_cast<int>(entries_.size() - 1);
}

Bytes PakWriter::Archive() const {
  ByteWriter w;
  // The game never reads the first word; the entry count helps anyone who
  // walks the archive without its directory.
  w.U32(static_cast<uint32_t>(entries_.size()));
  uint32_t offset = 4 + 4 * static_cast<uint32_t>(entries_.size());
  for (const Entry& e : entries_) {
    w.U32(offset);
    offset += 16 + static_cast<uint32_t>(e.extra.size() + e.packed.size());
  }
  for (const Entry& e : entries_) {
    w.U32(e.crc);  // not read by the game: the CRC-32 of the unpacked bytes
    w.U32(static_cast<uint32_t>(e.packed.size()));
    w.U32(e.unpacked);
    w.U8(e.method);
    w.U8(0);
    w.U16(static_cast<uint16_t>(e.extra.size()));
    w.Raw(e.extra);
    w.Raw(e.packed);
  }
  return w.Take();
}

Bytes PakWriter::DirectoryImage() const {
  ByteWriter w;
  w.U32(static_cast<uint32_t>(directories_.size()));
  std::vector<size_t> offsetAt;
  for (const std::string& d : directories_) {
    w.CString(d);
    offsetAt.push_back(w.size());
    w.U32(0);
    w.U32(static_cast<uint32_t>(std::count_if(files_.begin(), files_.end(),
                                              [&](const File& f) { return f.directory == d; })));
  }
  for (size_t i = 0; i < directories_.size(); ++i) {
    w.PatchU32(offsetAt[i], static_cast<uint32_t>(w.size()));
    for (const File& f : files_) {
      if (f.directory != directories_[i]) continue;
      w.CString(f.name);
      w.U32(f.size);
      w.U32(f.index);
    }
  }
  return w.Take();
}

bool WritePakSet(const PakSet& set, const std::string& folder, std::string* error, uint8_t directoryMethod) {
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  PakWriter directories;
  for (size_t n = 0; n < set.archives.size(); ++n) {
    std::string name = (std::filesystem::path(folder) / ("rur" + std::to_string(n + 1) + ".pak")).string();
    if (!WriteWhole(name, set.archives[n].Archive(), error)) return false;
    directories.AddData(set.archives[n].DirectoryImage(), directoryMethod);
  }
  return WriteWhole((std::filesystem::path(folder) / "rur0.pak").string(), directories.Archive(), error);
}

bool PakSetFromFolder(const std::string& source, PakSet* set, std::string* error, uint8_t method) {
  namespace fs = std::filesystem;
  for (size_t n = 0; n < set->archives.size(); ++n) {
    fs::path root = fs::path(source) / std::to_string(n + 1);
    std::error_code ec;
    if (!fs::is_directory(root, ec)) continue;
    std::vector<std::string> paths;
    for (fs::recursive_directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec))
      if (it->is_regular_file()) paths.push_back(fs::relative(it->path(), root).generic_string());
    if (ec) {
      if (error) *error = "cannot read " + root.string();
      return false;
    }
    std::sort(paths.begin(), paths.end());
    for (const std::string& p : paths) {
      std::ifstream f(root / p, std::ios::binary);
      Bytes data((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
      if (!f.good() && !f.eof()) {
        if (error) *error = "cannot read " + (root / p).string();
        return false;
      }
      if (set->archives[n].AddFile(p, data, method) < 0) {
        if (error) *error = "duplicate path " + UpperPath(p) + " in " + root.string();
        return false;
      }
    }
  }
  return true;
}

bool PakDirectoryParse(const uint8_t* image, size_t size, std::vector<PakListedFile>* files) {
  auto u32 = [&](size_t* at, uint32_t* v) {
    if (*at > size || size - *at < 4) return false;
    const uint8_t* p = image + *at;
    *v = p[0] | p[1] << 8 | p[2] << 16 | uint32_t{p[3]} << 24;
    *at += 4;
    return true;
  };
  auto name = [&](size_t* at, std::string* s) {
    if (*at >= size) return false;
    const void* nul = std::memchr(image + *at, 0, size - *at);
    if (!nul) return false;
    s->assign(reinterpret_cast<const char*>(image + *at), static_cast<const uint8_t*>(nul) - (image + *at));
    *at += s->size() + 1;
    return true;
  };
  files->clear();
  size_t at = 0;
  uint32_t count;
  if (!u32(&at, &count)) return false;
  for (uint32_t d = 0; d < count; ++d) {
    std::string directory;
    uint32_t listOffset, fileCount;
    if (!name(&at, &directory) || !u32(&at, &listOffset) || !u32(&at, &fileCount)) return false;
    size_t list = listOffset;
    for (uint32_t f = 0; f < fileCount; ++f) {
      PakListedFile file;
      if (!name(&list, &file.path) || !u32(&list, &file.size) || !u32(&list, &file.index)) return false;
      file.path = directory + file.path;
      files->push_back(std::move(file));
    }
  }
  return true;
}

void AddPlaceholderFiles(PakSet* set) {
  for (size_t n = 0; n < set->archives.size(); ++n) {
    std::string text = "Torvane synthetic data: archive rur" + std::to_string(n + 1) + ".pak\n";
    set->archives[n].AddFile("README.TXT", Bytes(text.begin(), text.end()), PACK_DEFLATE);
    Bytes sample;
    for (int i = 0; i < 4096; ++i) sample.push_back(static_cast<uint8_t>((i / 64) * 7 + (n + 1) * (i % 5)));
    set->archives[n].AddFile("DATA\\SAMPLE.BIN", sample, PACK_LZ);
  }
  Bytes small = {'s', 't', 'o', 'r', 'e', 'd'};
  set->archives[0].AddFile("DATA\\STORED.BIN", small, PACK_STORED);
  set->archives[0].AddFile("DATA\\NONE.BIN", small, PACK_NONE);
  // LZ entries whose packed bytes outnumber the file's: the game reads them too.
  set->archives[0].AddFile("DATA\\ONE.BIN", {'1'}, PACK_LZ);
  set->archives[0].AddFile("DATA\\NOISE.BIN", NoiseBytes(5000, 7), PACK_LZ);
}

Bytes NoiseBytes(size_t count, uint32_t seed) {
  Bytes out(count);
  uint32_t x = seed * 2654435761u + 1;
  for (uint8_t& b : out) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    b = static_cast<uint8_t>(x >> 24);
  }
  return out;
}

bool PackMethodByName(const std::string& name, uint8_t* method) {
  static const std::pair<const char*, uint8_t> NAMES[] = {{"stored", PACK_STORED}, {"none", PACK_NONE},
                                                          {"lz", PACK_LZ},         {"lz-alt", PACK_LZ_ALT},
                                                          {"deflate", PACK_DEFLATE}, {"smallest", PACK_SMALLEST}};
  for (const auto& [text, value] : NAMES) {
    if (name != text) continue;
    *method = value;
    return true;
  }
  return false;
}

}  // namespace datakit
