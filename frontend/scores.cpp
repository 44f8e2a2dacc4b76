// "rur.sc": read, checked, unscrambled; written scrambled through the one
// atomic writer. The race loader saves through here, so nothing in this file
// pulls in a menu page.
#include "frontend/scores.h"

#include <cstdio>
#include <cstring>

#include "engine3d/random.h"
#include "frontend/menu_items.h"
#include "hal/fs.h"
#include "platform/app.h"
#include "platform/file.h"

ScoresImage gScores;

namespace {

constexpr char SIGNATURE[4] = {'S', 'I', 'G', 'N'};

// The low 16 bits of the entry as a signed number, their magnitude's low
// byte (-32768 gives 0).
uint8_t KeyOf(uint32_t i) {
  const int32_t entry = RandAt(static_cast<int32_t>(SCORES_IMAGE_BYTES - i));
  const int32_t low = static_cast<int16_t>(static_cast<uint16_t>(entry));
  return static_cast<uint8_t>(low < 0 ? -low : low);
}

constexpr int32_t DEFAULT_RACE_MS = 540000;
constexpr int32_t DEFAULT_LAP_MS = 300000;

void EndName(char* name) { name[SCORES_NAME_BYTES - 1] = '\0'; }

// A damaged or edited file may leave a name without its end, and a count
// past the unlock order would open rows that do not exist.
void Sanitise(ScoresImage* image) {
  for (ScoresTable& table : image->tables)
    for (ScoresEntry& entry : table.entries)
      for (ScoresRow& row : entry.rows) EndName(row.name);
  EndName(image->player1Name);
  EndName(image->player2Name);
  const uint32_t count = image->unlockedCount;
  image->unlockedCount = count < SCORES_UNLOCK_FIRST ? SCORES_UNLOCK_FIRST : count > SCORES_UNLOCK_ALL ? SCORES_UNLOCK_ALL : count;
}

}  // namespace

void ScoresScramble(uint8_t* buffer) {
  for (uint32_t i = 0; i < SCORES_IMAGE_BYTES; ++i) buffer[i] = static_cast<uint8_t>(buffer[i] + KeyOf(i));
}

void ScoresUnscramble(uint8_t* buffer) {
  for (uint32_t i = 0; i < SCORES_IMAGE_BYTES; ++i) buffer[i] = static_cast<uint8_t>(buffer[i] - KeyOf(i));
}

void ScoresCopyName(char* field, const char* name) {
  int32_t i = 0;
  for (; i < SCORES_NAME_BYTES - 1 && name[i] != '\0'; ++i) field[i] = name[i];
  for (; i < SCORES_NAME_BYTES; ++i) field[i] = '\0';
}

void ResultsInitTable(ScoresTable* table) {
  const char* name = MenuTextsOf(GAME_EDITION).playerName;
  for (ScoresEntry& entry : table->entries) {
    entry.bestRaceMs = DEFAULT_RACE_MS;
    entry.bestLapMs = DEFAULT_LAP_MS;
    for (ScoresRow& row : entry.rows) {
      ScoresCopyName(row.name, name);
      row.lapMs = DEFAULT_LAP_MS;
      row.raceMs = DEFAULT_RACE_MS;
    }
  }
}

void ScoresSetDefaults(ScoresImage* image) {
  std::memset(image, 0, sizeof *image);
  std::memcpy(image->signature, SIGNATURE, sizeof SIGNATURE);
  for (ScoresTable& table : image->tables) ResultsInitTable(&table);
  const MenuEditionTexts& texts = MenuTextsOf(GAME_EDITION);
  ScoresCopyName(image->player1Name, texts.player1Name);
  ScoresCopyName(image->player2Name, texts.player2Name);
  image->unlockedCount = SCORES_UNLOCK_FIRST;
}

ScoresTable* ScoresTableOf(int32_t gameMode) {
  if (gameMode < 1 || gameMode > SCORES_TABLES) return nullptr;
  return &gScores.tables[gameMode - 1];
}

int32_t ScoresDecode(const uint8_t* file, uint32_t size, ScoresImage* image) {
  // A short file is as good as none.
  if (!file || size < SCORES_IMAGE_BYTES) {
    ScoresSetDefaults(image);
    return 1;
  }
  uint8_t plain[SCORES_IMAGE_BYTES];
  std::memcpy(plain, file, sizeof plain);
  ScoresUnscramble(plain);
  if (std::memcmp(plain, SIGNATURE, sizeof SIGNATURE) != 0) {
    ScoresSetDefaults(image);
    return 0;
  }
  std::memcpy(image, plain, sizeof plain);
  Sanitise(image);
  return 1;
}

int32_t ScoresLoad() {
  FileHandle handle = 0;
  for (int32_t attempt = 0; attempt < SCORES_OPEN_ATTEMPTS && !handle; ++attempt) {
    if (attempt) AppPumpMessages();
    handle = FileOpen(SCORES_FILE_NAME, FILE_MODE_READ);
  }
  if (!handle) {
    ScoresSetDefaults(&gScores);
    return 1;
  }
  uint8_t file[SCORES_IMAGE_BYTES];
  const uint32_t read = FileRead(handle, file, SCORES_IMAGE_BYTES);
  FileClose(handle);
  return ScoresDecode(file, read > SCORES_IMAGE_BYTES ? 0 : read, &gScores);
}

void ScoresSave() {
  uint8_t file[SCORES_IMAGE_BYTES];
  std::memcpy(file, &gScores, sizeof file);
  ScoresScramble(file);
  for (int32_t attempt = 0; attempt < SCORES_OPEN_ATTEMPTS; ++attempt) {
    if (attempt) AppPumpMessages();
    if (HalWriteFileAtomic(SCORES_FILE_NAME, file, sizeof file)) return;
  }
  std::fprintf(stderr, "torvane: cannot save %s; the best times on disk stay as they were\n", SCORES_FILE_NAME);
}
