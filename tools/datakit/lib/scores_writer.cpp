#include "tools/datakit/lib/scores_writer.h"

#include "engine3d/random.h"

namespace datakit {

namespace {

constexpr uint32_t IMAGE_BYTES = 7480;
constexpr size_t NAME_BYTES = 16;

void Name(ByteWriter* w, const std::string& name) {
  for (size_t i = 0; i < NAME_BYTES; ++i) w->U8(i + 1 < NAME_BYTES && i < name.size() ? static_cast<uint8_t>(name[i]) : 0);
}

// Byte i moves by the low byte of the magnitude of the low 16 bits, taken
// as a signed number, of random-table entry 7480 - i.
uint8_t KeyOf(uint32_t i) {
  const int32_t low = static_cast<int16_t>(static_cast<uint16_t>(RandAt(static_cast<int32_t>(IMAGE_BYTES - i))));
  return static_cast<uint8_t>(low < 0 ? -low : low);
}

}  // namespace

KitScores ScoresDefaults(const std::string& rowName, const std::string& player1, const std::string& player2) {
  KitScores s;
  for (auto& table : s.tables)
    for (KitScoresEntry& entry : table)
      for (KitScoresRow& row : entry.rows) row.name = rowName;
  s.player1Name = player1;
  s.player2Name = player2;
  return s;
}

Bytes ScoresFileWrite(const KitScores& s) {
  ByteWriter w;
  for (size_t i = 0; i < 4; ++i) w.U8(i < s.signature.size() ? static_cast<uint8_t>(s.signature[i]) : 0);
  for (const auto& table : s.tables)
    for (const KitScoresEntry& entry : table) {
      w.U32(static_cast<uint32_t>(entry.bestRaceMs));
      w.U32(static_cast<uint32_t>(entry.bestLapMs));
      for (const KitScoresRow& row : entry.rows) {
        Name(&w, row.name);
        w.U32(static_cast<uint32_t>(row.lapMs));
        w.U32(static_cast<uint32_t>(row.raceMs));
      }
    }
  Name(&w, s.player1Name);
  Name(&w, s.player2Name);
  w.U32(s.unlockedCount);
  Bytes bytes = w.Take();
  for (uint32_t i = 0; i < IMAGE_BYTES; ++i) bytes[i] = static_cast<uint8_t>(bytes[i] + KeyOf(i));
  return bytes;
}

}  // namespace datakit
