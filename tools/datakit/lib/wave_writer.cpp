#include "tools/datakit/lib/wave_writer.h"

namespace datakit {

namespace {

void Chunk(ByteWriter& w, const char* id, const Bytes& content, bool pad,
           std::optional<uint32_t> sizeField = std::nullopt) {
  w.Raw(id, 4);
  w.U32(sizeField.value_or(static_cast<uint32_t>(content.size())));
  w.Raw(content);
  if (pad && content.size() % 2 == 1) w.U8(0);
}

Bytes FormatChunk(const WaveSpec& s) {
  ByteWriter f;
  uint16_t blockAlign = static_cast<uint16_t>(s.channels * s.bits / 8);
  f.U16(s.formatTag);
  f.U16(s.channels);
  f.U32(s.rate);
  f.U32(s.rate * blockAlign);
  f.U16(blockAlign);
  f.U16(s.bits);
  if (s.fmtSize >= 18) f.U16(static_cast<uint16_t>(s.fmtSize - 18));
  if (s.fmtSize >= 40) {
    f.U16(s.bits);                     // valid bits per sample
    f.U32(s.channels == 2 ? 3u : 4u);  // speaker mask: front pair, or centre
    // Sub-format: PCM's identifier.
    f.U32(1);
    f.U16(0x0000);
    f.U16(0x0010);
    const uint8_t tail[8] = {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
    f.Raw(tail, 8);
  }
  while (f.size() < s.fmtSize) f.U8(0);
  Bytes out = f.Take();
  out.resize(s.fmtSize);  // a short chunk for the loader's tests
  return out;
}

}  // namespace

Bytes WaveWrite(const WaveSpec& spec) {
  ByteWriter w;
  w.Raw("RIFF", 4);
  w.U32(0);
  w.Raw("WAVE", 4);
  if (spec.fmtFirst) Chunk(w, "fmt ", FormatChunk(spec), true);
  if (spec.listChunk) {
    ByteWriter list;
    list.Raw("INFO", 4);
    Chunk(list, "ISFT", Bytes{'d', 'a', 't', 'a', 'k', 'i', 't', 0}, true);
    Chunk(w, "LIST", list.bytes(), true);
  }
  if (spec.oddChunkSize % 2 == 1) {
    Bytes junk(spec.oddChunkSize, 0x5A);
    Chunk(w, "junk", junk, spec.padOddChunk);
  }
  Chunk(w, "data", spec.samples, true, spec.dataSizeField);
  if (!spec.fmtFirst) Chunk(w, "fmt ", FormatChunk(spec), true);
  w.PatchU32(4, static_cast<uint32_t>(w.size() - 8));
  return w.Take();
}

Bytes WavePattern(uint32_t bytes, uint32_t start) {
  Bytes out(bytes);
  for (uint32_t i = 0; i < bytes; ++i) out[i] = static_cast<uint8_t>((start + i) % 251);
  return out;
}

}  // namespace datakit
