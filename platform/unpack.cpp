// The decoders of the pak entry methods. Each produces exactly the unpacked
// size or fails: a damaged stream never writes outside its destination, never
// reads past its packed end, and never reports success with a short result.
//
// The loader decodes in place: the packed bytes lie at the tail of the
// output buffer and are read front to back while the output grows towards
// them. Should a stream's output ever reach bytes not yet read, the rest of
// the input is first moved to a scratch block, so the result is right even
// for archives whose writer did not keep the two apart.
#include <zlib.h>

#include <cstring>

#include "platform/mem.h"
#include "platform/pak.h"
#include "platform/pak_internal.h"

namespace {

// True when writing [write, write + count) would hit input not yet read.
bool Overtakes(const uint8_t* unread, const uint8_t* end, const uint8_t* write, uint64_t count) {
  auto a = reinterpret_cast<uintptr_t>(unread);
  auto b = reinterpret_cast<uintptr_t>(end);
  auto w = reinterpret_cast<uintptr_t>(write);
  return a < b && w < b && a < w + count;
}

// Moves the unread input [*in, *end) to a new pool block and points the
// reader there; false when the pool has no room.
bool MoveInputAside(const uint8_t** in, const uint8_t** end, uint8_t** scratch) {
  auto count = static_cast<uint32_t>(*end - *in);
  *scratch = static_cast<uint8_t*>(MemAlloc(count));
  if (!*scratch) return false;
  std::memcpy(*scratch, *in, count);
  *in = *scratch;
  *end = *scratch + count;
  return true;
}

uint32_t ReadLe(const uint8_t* p, int bytes) {
  uint32_t v = 0;
  for (int i = 0; i < bytes; ++i) v |= uint32_t{p[i]} << (8 * i);
  return v;
}

enum LzKind { LZ_LITERAL, LZ_REPEAT, LZ_COPY };

int LzFail(uint8_t* scratch, const char* reason, uint32_t at) {
  if (scratch) MemFree(scratch);
  PakSetError("LZ stream: %s at output byte %u", reason, at);
  return 0;
}

voidpf PoolAlloc(voidpf, uInt items, uInt size) {
  uint64_t bytes = uint64_t{items} * size;
  if (bytes > UINT32_MAX) return Z_NULL;
  return MemAlloc(static_cast<uint32_t>(bytes));
}

void PoolFree(voidpf, voidpf address) { MemFree(address); }

// Below this much room the decoder stops creeping up to the unread input and
// moves it aside instead.
constexpr uint32_t INFLATE_MIN_ROOM = 256;

int InflateFail(z_stream* z, uint8_t* scratch, const char* reason) {
  inflateEnd(z);
  if (scratch) MemFree(scratch);
  PakSetError("deflate stream: %s", reason);
  return 0;
}

int Inflate(const uint8_t* source, uint32_t packedSize, uint8_t* destination, uint32_t unpackedSize,
            PakLoadHook hook) {
  z_stream z{};
  z.zalloc = PoolAlloc;
  z.zfree = PoolFree;
  if (inflateInit2(&z, -15) != Z_OK) {
    PakSetError("deflate stream: decoder does not start");
    return 0;
  }
  const uint8_t* in = source;
  const uint8_t* end = source + packedSize;
  uint8_t* scratch = nullptr;
  uint8_t* out = destination;
  bool hookDue = hook != nullptr;
  int stalls = 0;
  for (;;) {
    if (hookDue) {
      hook();
      hookDue = false;
    }
    auto remaining = static_cast<uint32_t>(unpackedSize - (out - destination));
    uint32_t room = remaining;
    if (remaining > 0 && !scratch && Overtakes(in, end, out, remaining)) {
      auto gap = reinterpret_cast<uintptr_t>(in) >= reinterpret_cast<uintptr_t>(out)
                     ? static_cast<uint32_t>(in - out)
                     : 0;
      if (gap < INFLATE_MIN_ROOM) {
        if (!MoveInputAside(&in, &end, &scratch)) return InflateFail(&z, scratch, "no memory to move input");
      } else {
        room = gap;
      }
    }
    z.next_in = const_cast<Bytef*>(in);
    z.avail_in = static_cast<uInt>(end - in);
    z.next_out = out;
    z.avail_out = room;
    int ret = inflate(&z, hook ? Z_BLOCK : Z_NO_FLUSH);
    bool progress = z.next_in != in || z.next_out != out;
    in = z.next_in;
    out = z.next_out;
    if (ret == Z_STREAM_END) break;
    if (ret != Z_OK && ret != Z_BUF_ERROR) return InflateFail(&z, scratch, z.msg ? z.msg : "corrupt data");
    if (progress) {
      stalls = 0;
      // Stopped right after a block that is not the last: another follows.
      if (hook && (z.data_type & 128) && !(z.data_type & 64)) hookDue = true;
      continue;
    }
    if (in == end) return InflateFail(&z, scratch, "data ends before the final block");
    if (remaining == 0) return InflateFail(&z, scratch, "more data than the unpacked size");
    if (++stalls > 2) return InflateFail(&z, scratch, "decoder makes no progress");
  }
  auto produced = static_cast<uint32_t>(out - destination);
  inflateEnd(&z);
  if (scratch) MemFree(scratch);
  if (produced != unpackedSize) {
    PakSetError("deflate stream: %u bytes where %u were expected", produced, unpackedSize);
    return 0;
  }
  return 1;
}

}  // namespace

int UnpackLz(const uint8_t* source, uint32_t packedSize, uint8_t* destination, uint32_t unpackedSize) {
  uint32_t out = 0;
  if (packedSize == 0) return unpackedSize == 0 ? 1 : LzFail(nullptr, "empty stream", 0);
  const uint8_t* in = source;
  const uint8_t* end = source + packedSize;
  uint8_t* scratch = nullptr;
  const uint8_t escape = *in++;
  while (in < end) {
    uint8_t b = *in++;
    LzKind kind = LZ_LITERAL;
    uint8_t pattern[4] = {b, 0, 0, 0};
    uint32_t patternLength = 1;
    uint32_t count = 1;
    uint64_t back = 0;  // distance of a copy, counted backwards from the output position
    if (b == escape) {
      if (in >= end) return LzFail(scratch, "stream ends inside a code", out);
      uint8_t c = *in++;
      if (c == 0) {
        pattern[0] = escape;
      } else if (c & 0x80) {
        kind = LZ_REPEAT;
        patternLength = ((c >> 5) & 3) + 1;
        count = (c & 0x1F) + 2;
        if (static_cast<uint32_t>(end - in) < patternLength) return LzFail(scratch, "repeat pattern cut off", out);
        std::memcpy(pattern, in, patternLength);
        in += patternLength;
      } else if (c >= 0x20) {
        kind = LZ_COPY;
        static constexpr int WIDTHS[4] = {0, 1, 2, 4};
        int width = WIDTHS[(c >> 5) & 3];
        if (end - in < width) return LzFail(scratch, "distance cut off", out);
        uint32_t field = ReadLe(in, width);
        in += width;
        // The field holds the low bytes of a negative offset.
        int64_t offset = width == 4 ? int64_t{static_cast<int32_t>(field)}
                                    : int64_t{field} - (int64_t{1} << (8 * width));
        if (offset >= 0) return LzFail(scratch, "back-reference to output not yet written", out);
        back = static_cast<uint64_t>(-offset);
        if (!(c & 0x10)) {
          count = (c & 0x0F) + 4;
        } else {
          int selector = c & 0x0F;
          if (selector > 2) return LzFail(scratch, "undefined length field", out);
          int bytes = selector == 0 ? 1 : selector == 1 ? 2 : 4;
          if (end - in < bytes) return LzFail(scratch, "length cut off", out);
          count = ReadLe(in, bytes);
          in += bytes;
        }
        if (back > out) return LzFail(scratch, "back-reference before the start of the output", out);
      } else {
        return LzFail(scratch, "undefined code", out);
      }
    }
    uint64_t length = uint64_t{patternLength} * count;
    if (length > unpackedSize - out) return LzFail(scratch, "output longer than the unpacked size", out);
    uint8_t* write = destination + out;
    if (!scratch && Overtakes(in, end, write, length) && !MoveInputAside(&in, &end, &scratch))
      return LzFail(scratch, "no memory to move input", out);
    switch (kind) {
      case LZ_LITERAL: *write = pattern[0]; break;
      case LZ_REPEAT:
        for (uint32_t i = 0; i < count; ++i) std::memcpy(write + i * patternLength, pattern, patternLength);
        break;
      case LZ_COPY: {
        const uint8_t* from = write - back;
        if (back >= length) {
          std::memcpy(write, from, length);
        } else {
          // Overlapping: each byte may be one this copy has just written.
          for (uint64_t i = 0; i < length; ++i) write[i] = from[i];
        }
        break;
      }
    }
    out += static_cast<uint32_t>(length);
  }
  if (scratch) MemFree(scratch);
  if (out != unpackedSize) {
    PakSetError("LZ stream: %u bytes where %u were expected", out, unpackedSize);
    return 0;
  }
  return 1;
}

int UnpackBlockHooked(uint8_t method, const uint8_t* source, uint8_t* destination, uint32_t packedSize,
                      uint32_t unpackedSize, PakLoadHook hook) {
  switch (method) {
    case PAK_METHOD_STORED:
    case PAK_METHOD_NONE:
      if (packedSize != unpackedSize) {
        PakSetError("stored size %u differs from the unpacked size %u", packedSize, unpackedSize);
        return 0;
      }
      if (source != destination && packedSize > 0) std::memmove(destination, source, packedSize);
      return 1;
    case PAK_METHOD_LZ:
    case PAK_METHOD_LZ_ALT: return UnpackLz(source, packedSize, destination, unpackedSize);
    case PAK_METHOD_DEFLATE: return Inflate(source, packedSize, destination, unpackedSize, hook);
    default: PakSetError("unknown method %u", method); return 0;
  }
}

int UnpackBlock(uint8_t method, const uint8_t* source, uint8_t* destination, uint32_t packedSize,
                uint32_t unpackedSize) {
  return UnpackBlockHooked(method, source, destination, packedSize, unpackedSize, nullptr);
}
