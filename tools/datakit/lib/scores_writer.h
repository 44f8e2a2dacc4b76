// The best-times file "rur.sc" for tests' fixtures: 7480 bytes laid out field
// by field (signature, three tables of ten tracks with their best lap, best
// race and ten rows, two player names, the unlocked-track count), each byte
// then moved by the key of its place in the game's random table.
#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "tools/datakit/lib/bytes.h"

namespace datakit {

struct KitScoresRow {
  std::string name;  // at most 15 characters are kept
  int32_t lapMs = 300000;
  int32_t raceMs = 540000;
};
struct KitScoresEntry {
  int32_t bestRaceMs = 540000;
  int32_t bestLapMs = 300000;
  std::array<KitScoresRow, 10> rows;
};
struct KitScores {
  std::string signature = "SIGN";  // four characters; any other makes the file one the game refuses
  std::array<std::array<KitScoresEntry, 10>, 3> tables;  // game modes 1..3, by track
  std::string player1Name, player2Name;
  uint32_t unlockedCount = 3;
};

// The defaults a game of the edition with these names starts from.
KitScores ScoresDefaults(const std::string& rowName = "SPIELER", const std::string& player1 = "SPIELER 1",
                         const std::string& player2 = "SPIELER 2");
// The file's bytes, scrambled.
Bytes ScoresFileWrite(const KitScores& scores);

}  // namespace datakit
