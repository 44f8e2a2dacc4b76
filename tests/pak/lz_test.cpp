// The escape-byte LZ decoder on hand-written streams, and the kit's encoder
// against it.
#include <random>

#include "pak/pak_fixture.h"

namespace {

constexpr uint8_t E = 0xF7;

Bytes Repeat(const std::string& s, size_t times) {
  Bytes b;
  for (size_t i = 0; i < times; ++i) b.insert(b.end(), s.begin(), s.end());
  return b;
}

Bytes Cat(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

Bytes Str(const std::string& s) { return Bytes(s.begin(), s.end()); }

// Decodes into exactly sized buffers, so the sanitizer sees any stray access.
bool Decode(const Bytes& packed, uint32_t unpacked, Bytes* out) {
  std::unique_ptr<uint8_t[]> in(new uint8_t[packed.size()]);
  if (!packed.empty()) std::memcpy(in.get(), packed.data(), packed.size());
  std::unique_ptr<uint8_t[]> dst(new uint8_t[unpacked]);
  int ok = UnpackLz(in.get(), static_cast<uint32_t>(packed.size()), dst.get(), unpacked);
  out->assign(dst.get(), dst.get() + unpacked);
  return ok == 1;
}

// In place as the loader does it: the packed bytes at the tail of a buffer
// of the unpacked size, or of the packed size when that is larger.
bool DecodeInPlace(const Bytes& packed, uint32_t unpacked, Bytes* out) {
  size_t size = datakit::InPlaceBufferSize(unpacked, packed.size(), 0);
  std::unique_ptr<uint8_t[]> buffer(new uint8_t[size]);
  if (!packed.empty()) std::memcpy(buffer.get() + size - packed.size(), packed.data(), packed.size());
  int ok = UnpackLz(buffer.get() + size - packed.size(), static_cast<uint32_t>(packed.size()), buffer.get(),
                    unpacked);
  out->assign(buffer.get(), buffer.get() + unpacked);
  return ok == 1;
}

class LzTest : public PakFixture {};

TEST_F(LzTest, DecodesEveryKindOfToken) {
  Bytes a256;
  for (int i = 0; i < 256; ++i) a256.push_back(static_cast<uint8_t>(i == E ? 0 : i));
  struct Case {
    const char* what;
    Bytes packed;
    Bytes expected;
  } cases[] = {
      {"literal and escaped escape", {E, 'x', E, 0}, {'x', E}},
      {"repeat 0xA3", {E, E, 0xA3, 'p', 'q'}, Repeat("pq", 5)},
      {"repeat of 4 bytes 33 times", {E, E, 0xFF, 'a', 'b', 'c', 'd'}, Repeat("abcd", 33)},
      {"repeat of one byte twice", {E, E, 0x80, 'z'}, Str("zz")},
      {"back-reference 0x25 0xFF", {E, 'z', E, 0x25, 0xFF}, Repeat("z", 10)},
      {"overlapping copy", {E, 'a', 'b', E, 0x22, 0xFE}, Repeat("ab", 4)},
      {"one-byte field 0 is 256 back", Cat(Cat({E}, a256), {E, 0x20, 0x00}), Cat(a256, {0, 1, 2, 3})},
      {"two-byte distance", {E, 'a', 'b', 'c', 'd', E, 0x40, 0xFC, 0xFF}, Repeat("abcd", 2)},
      {"four-byte distance", {E, 'a', 'b', 'c', 'd', E, 0x6F, 0xFC, 0xFF, 0xFF, 0xFF}, Cat(Repeat("abcd", 5), {'a', 'b', 'c'})},
      {"long length, one byte", {E, 'a', E, 0x30, 0xFF, 200}, Repeat("a", 201)},
      {"long length, two bytes", {E, 'a', E, 0x31, 0xFF, 0x10, 0x27}, Repeat("a", 10001)},
      {"long length, four bytes", {E, 'a', E, 0x72, 0xFF, 0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00}, Repeat("a", 70001)},
      {"long length after a two-byte distance", {E, 'a', 'b', E, 0x50, 0xFE, 0xFF, 20}, Repeat("ab", 11)},
      {"escape byte alone", {E}, {}},
  };
  for (const Case& c : cases) {
    Bytes out;
    EXPECT_TRUE(Decode(c.packed, static_cast<uint32_t>(c.expected.size()), &out)) << c.what << ": " << PakLastError();
    EXPECT_EQ(out, c.expected) << c.what;
  }
}

TEST_F(LzTest, RefusesEveryStreamItCannotFollow) {
  struct Case {
    std::string what;
    Bytes packed;
    uint32_t unpacked;
  };
  std::vector<Case> cases = {
      {"back-reference before the start", {E, 'a', E, 0x20, 0xFE}, 5},
      {"back-reference with nothing output", {E, E, 0x20, 0xFF}, 4},
      {"four-byte offset of zero", {E, 'a', E, 0x60, 0, 0, 0, 0}, 5},
      {"four-byte offset forwards", {E, 'a', E, 0x60, 5, 0, 0, 0}, 5},
      {"output past the unpacked size", {E, E, 0xFF, 'a', 'b', 'c', 'd'}, 131},
      {"copy past the unpacked size", {E, 'a', E, 0x32, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, 100},
      {"stream shorter than the unpacked size", {E, 'a', 'b'}, 3},
      {"empty stream for non-empty output", {}, 1},
      {"code cut off", {E, 'a', E}, 2},
      {"repeat pattern cut off", {E, E, 0xA3, 'p'}, 10},
      {"one-byte distance cut off", {E, 'a', E, 0x25}, 10},
      {"two-byte distance cut off", {E, 'a', E, 0x40, 0xFF}, 10},
      {"four-byte distance cut off", {E, 'a', E, 0x60, 0xFF, 0xFF, 0xFF}, 10},
      {"length field cut off", {E, 'a', E, 0x31, 0xFF, 0x10}, 10},
  };
  for (int c = 0x01; c <= 0x1F; ++c)
    cases.push_back({"undefined code " + std::to_string(c), {E, 'a', E, static_cast<uint8_t>(c), 0xFF}, 10});
  for (int s = 3; s <= 15; ++s)
    cases.push_back({"length selector " + std::to_string(s), {E, 'a', E, static_cast<uint8_t>(0x30 | s), 0xFF, 1, 0, 0, 0}, 10});
  for (const Case& c : cases) {
    Bytes out;
    EXPECT_FALSE(Decode(c.packed, c.unpacked, &out)) << c.what;
    EXPECT_EQ(std::string(PakLastError()).rfind("LZ stream: ", 0), 0u) << c.what;
  }
  EXPECT_EQ(MemPoolUsedBytes(), 0u);
}

TEST_F(LzTest, InPlaceDecodingMovesInputAsideRatherThanOvertakeIt) {
  const Bytes packed = {E, E, 0x9E, 'a', E, 0, E, 0, E, 0};
  const Bytes expected = Cat(Repeat("a", 32), {E, E, E});
  Bytes out;
  ASSERT_TRUE(DecodeInPlace(packed, 35, &out)) << PakLastError();
  EXPECT_EQ(out, expected);
  EXPECT_EQ(MemPoolUsedBytes(), 0u);
}

std::vector<std::pair<std::string, Bytes>> Samples() {
  std::mt19937 rng(1234);
  Bytes random(100000);
  for (auto& b : random) b = static_cast<uint8_t>(rng());
  Bytes text;
  const char* words[] = {"track ", "wheel ", "desert ", "volcano ", "\xF7", "\n", "lap ", "0123 "};
  for (int i = 0; i < 20000; ++i) {
    const char* w = words[rng() % 8];
    text.insert(text.end(), w, w + std::strlen(w));
  }
  Bytes runs;
  for (int i = 0; i < 300; ++i) runs.insert(runs.end(), rng() % 500, static_cast<uint8_t>(rng() % 4));
  Bytes all;
  for (int i = 0; i < 256; ++i) all.push_back(static_cast<uint8_t>(i));
  Bytes block(70000);
  for (auto& b : block) b = static_cast<uint8_t>(rng());
  return {
      {"empty", {}},
      {"one byte", {42}},
      {"every byte value", all},
      {"random", random},
      {"text with escape bytes", text},
      {"runs", runs},
      {"repeat from far back", Cat(Cat(block, Repeat("x", 300000)), block)},
  };
}

TEST_F(LzTest, EncoderRoundTripsAndItsLeadMatchesInPlaceDecoding) {
  for (const auto& [name, data] : Samples()) {
    int64_t lead = 0;
    Bytes packed = datakit::LzEncode(data, &lead);
    Bytes out;
    ASSERT_TRUE(Decode(packed, static_cast<uint32_t>(data.size()), &out)) << name << ": " << PakLastError();
    EXPECT_EQ(out, data) << name;
    // Only a run reaching unread input may need it moved aside; files that
    // do not pack smaller never do.
    if (packed.size() >= data.size()) {
      EXPECT_TRUE(datakit::LzFitsInPlace(data, packed, lead)) << name;
    }
    if (datakit::LzFitsInPlace(data, packed, lead)) {
      // What the writer promises: in place needs no input moved aside.
      ASSERT_TRUE(DecodeInPlace(packed, static_cast<uint32_t>(data.size()), &out)) << name;
      EXPECT_EQ(out, data) << name;
    }
  }
}

}  // namespace
