// WAVE sounds: "RIFF" size "WAVE", then chunks of identifier, size and content.
// Besides the plain PCM files the game reads, the writer makes the variants
// other tools produce (longer "fmt " chunks, "LIST" chunks, odd chunks with or
// without their pad byte) and broken ones for the loader's tests.
#pragma once
#include <cstdint>
#include <optional>

#include "tools/datakit/lib/bytes.h"

namespace datakit {

constexpr uint16_t WAVE_FORMAT_PCM = 1;
constexpr uint16_t WAVE_FORMAT_FLOAT = 3;
constexpr uint16_t WAVE_FORMAT_EXTENSIBLE = 0xFFFE;

struct WaveSpec {
  uint16_t formatTag = WAVE_FORMAT_PCM;
  uint16_t channels = 1;
  uint32_t rate = 22050;
  uint16_t bits = 16;
  uint32_t fmtSize = 16;        // 16, 18 or 40 (the extensible layout)
  bool listChunk = false;       // an "INFO" list between "fmt " and "data"
  uint32_t oddChunkSize = 0;    // when odd, a "junk" chunk of this size before "data"
  bool padOddChunk = true;      // the RIFF pad byte after that chunk
  bool fmtFirst = true;         // false: "data" comes before "fmt "
  std::optional<uint32_t> dataSizeField;  // a "data" size other than the true one
  Bytes samples;
};

// The whole file; the RIFF size counts everything after its own field.
Bytes WaveWrite(const WaveSpec& spec);

// `frames` frames of samples: channel c of frame i is `value(i, c)`, a signed
// 16-bit level written as 16-bit or, scaled down, as 8-bit unsigned.
template <typename Value>
Bytes WaveSamples(uint16_t channels, uint16_t bits, uint32_t frames, Value value) {
  ByteWriter w;
  for (uint32_t i = 0; i < frames; ++i) {
    for (uint16_t c = 0; c < channels; ++c) {
      int32_t v = value(i, c);
      if (bits == 8) {
        w.U8(static_cast<uint8_t>((v >> 8) + 128));
      } else {
        w.U16(static_cast<uint16_t>(static_cast<int16_t>(v)));
      }
    }
  }
  return w.Take();
}

// A byte pattern 0, 1, 2 ... (mod 251) as samples: easy to check after a copy.
Bytes WavePattern(uint32_t bytes, uint32_t start = 0);

}  // namespace datakit
