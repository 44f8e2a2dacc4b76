// The best-times image "rur.sc": per game mode and track the best lap, the
// best race time and the ten fastest races, then the two player names and the
// number of unlocked tracks. The same bytes in memory and in the file, which
// holds them scrambled with the random table.
//
// gScores is loaded once at start-up and written by the results update after
// a race, the player-name page and the race loader's unlock step; each of
// them then saves the whole image.
#pragma once
#include <bit>
#include <cstdint>

constexpr int32_t SCORES_NAME_BYTES = 16;
constexpr int32_t SCORES_ROWS = 10;
constexpr int32_t SCORES_TRACKS = 10;
constexpr int32_t SCORES_TABLES = 3;  // game modes 1..3: arcade, challenge, championship
constexpr uint32_t SCORES_IMAGE_BYTES = 7480;
constexpr const char* SCORES_FILE_NAME = "rur.sc";
constexpr int32_t SCORES_OPEN_ATTEMPTS = 10;
// The unlocked-track count opens the tracks at places 0 .. count of the
// unlock order; three is where a new player starts, nine opens them all.
constexpr uint32_t SCORES_UNLOCK_FIRST = 3;
constexpr uint32_t SCORES_UNLOCK_ALL = 9;

#pragma pack(push, 1)
struct ScoresRow {
  char name[SCORES_NAME_BYTES];  // NUL-terminated
  int32_t lapMs;                 // that driver's best lap in that race
  int32_t raceMs;
};
struct ScoresEntry {
  int32_t bestRaceMs;
  int32_t bestLapMs;
  ScoresRow rows[SCORES_ROWS];  // fastest race first
};
struct ScoresTable {
  ScoresEntry entries[SCORES_TRACKS];  // by track index
};
struct ScoresImage {
  char signature[4];  // "SIGN"
  ScoresTable tables[SCORES_TABLES];
  char player1Name[SCORES_NAME_BYTES];
  char player2Name[SCORES_NAME_BYTES];
  uint32_t unlockedCount;
};
#pragma pack(pop)
static_assert(sizeof(ScoresRow) == 24, "a best-times row is 24 bytes of rur.sc");
static_assert(sizeof(ScoresEntry) == 248, "a best-times entry is 248 bytes of rur.sc");
static_assert(sizeof(ScoresTable) == 2480, "a best-times table is 2480 bytes of rur.sc");
static_assert(sizeof(ScoresImage) == SCORES_IMAGE_BYTES, "rur.sc is the image byte for byte");
static_assert(std::endian::native == std::endian::little, "rur.sc holds the image's little-endian bytes as they lie in memory");

extern ScoresImage gScores;

// Reads "rur.sc" into gScores: 1 when it was read with a good signature, or
// when it is missing or short (defaults then); 0 when its signature was wrong
// (defaults then).
int32_t ScoresLoad();
// Writes gScores whole, scrambled, replacing the old file only once the new
// one is on the disk; a failure keeps the old file and says so on standard
// error.
void ScoresSave();
// What ScoresLoad makes of the bytes it read (at most the image's size):
// the same results, the image's names ended and its count kept to 3..9.
int32_t ScoresDecode(const uint8_t* file, uint32_t size, ScoresImage* image);
// Image byte i moves by the key of random-table entry 7480 - i.
void ScoresScramble(uint8_t* buffer);
void ScoresUnscramble(uint8_t* buffer);
void ScoresSetDefaults(ScoresImage* image);
// One table at its defaults: every best race 540000 ms, every best lap
// 300000 ms, every row the edition's player name with those two times.
void ResultsInitTable(ScoresTable* table);
// The name into a 16-byte field, cut to 15 characters, the rest zeros.
void ScoresCopyName(char* field, const char* name);
// The table of a game mode 1..3, null for any other.
ScoresTable* ScoresTableOf(int32_t gameMode);
