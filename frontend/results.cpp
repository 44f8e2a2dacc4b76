// A race's finishers into the best-times tables and the championship
// standings. The race loader resets the race's best times through here, so
// nothing in this file draws or pulls in a menu page.
#include "frontend/results.h"

#include <algorithm>
#include <limits>

#include "frontend/frontend.h"
#include "net/net.h"
#include "race/race.h"
#include "race/tracks.h"

RaceResults gRaceResults;
int32_t gResultsNewRows[SCORES_ROWS];
ScoresRow gStandings[RESULTS_STANDINGS_ROWS];

namespace {

constexpr int32_t BEST_TIME_START_MS = 600000;
constexpr int32_t GAME_MODE_CHAMPIONSHIP = 3;
constexpr int32_t PLAYERS_SPLIT = 1;
constexpr int32_t COMPUTER_SLOTS = 5;  // vehicle records 0..4; record 0 is player 2's in split screen
constexpr const char* COMPUTER_NAMES[COMPUTER_SLOTS] = {"JOHNNY", "MIKE", "BILL", "DUKE", "BOBBY"};

bool SplitScreen() { return gRace.playersMode == PLAYERS_SPLIT; }
int32_t FirstComputerSlot() { return SplitScreen() ? 1 : 0; }

// The name a driver's row bears; null where a network record has none (the
// row then keeps the name it had).
const char* DriverName(int32_t isComputer, const Vehicle* v, int32_t driverIndex) {
  if (gRace.networkGame) {
    const int32_t participant = NetPlayerIndex(v);
    return participant >= 0 ? NetParticipantName(participant) : nullptr;
  }
  if (isComputer) return ResultsComputerName(driverIndex);
  return v == gPlayer1Vehicle ? gScores.player1Name : gScores.player2Name;
}

// A total that has run up over many unfinished races stops at the largest.
int32_t AddSaturating(int32_t a, int32_t b) {
  const int64_t sum = int64_t{a} + b;
  return static_cast<int32_t>(std::clamp<int64_t>(sum, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

}  // namespace

void ResultsResetBestTimes() {
  gRaceResults.bestLapMs = BEST_TIME_START_MS;
  gRaceResults.totalMs = BEST_TIME_START_MS;
}

const char* ResultsComputerName(int32_t driverIndex) {
  return COMPUTER_NAMES[std::clamp(driverIndex, 1, COMPUTER_SLOTS) - 1];
}

int32_t ResultsInsertTime(int32_t isComputer, Vehicle* v, ScoresEntry* entry, int32_t driverIndex) {
  if (!v || !entry) return 0;
  if (!v->finished) {
    const int32_t track = gRace.trackIndex;
    if (gRace.gameMode == GAME_MODE_CHAMPIONSHIP && track >= 0 && track < TRACK_COUNT)
      v->championTotal = AddSaturating(v->championTotal, TRACK_ENVIRONMENT[track].timeLimitMs);
    return 0;
  }
  const int32_t time = v->totalMs;
  // Strictly greater: a driver level with a stored row goes below it.
  int32_t r = 0;
  while (r < SCORES_ROWS && entry->rows[r].raceMs <= time) ++r;
  if (r == SCORES_ROWS) return 0;
  for (int32_t i = SCORES_ROWS - 1; i > r; --i) {
    entry->rows[i] = entry->rows[i - 1];
    gResultsNewRows[i] = gResultsNewRows[i - 1];
  }
  if (const char* name = DriverName(isComputer, v, driverIndex)) ScoresCopyName(entry->rows[r].name, name);
  gResultsNewRows[r] = 1;
  entry->rows[r].raceMs = time;
  entry->rows[r].lapMs = v->bestLapMs;
  return 1;
}

int32_t ResultsUpdateTables() {
  ScoresTable* table = ScoresTableOf(gRace.gameMode);
  const int32_t track = gRace.trackIndex;
  if (!table || track < 0 || track >= SCORES_TRACKS) return 0;
  ScoresEntry* entry = &table->entries[track];
  if (gRaceResults.bestLapMs < entry->bestLapMs) entry->bestLapMs = gRaceResults.bestLapMs;
  if (gRaceResults.totalMs < entry->bestRaceMs) entry->bestRaceMs = gRaceResults.totalMs;
  std::fill(std::begin(gResultsNewRows), std::end(gResultsNewRows), 0);
  int32_t entered = 0;
  if (gRace.networkGame) {
    for (int32_t i = 0; i < NetParticipantCount(); ++i) entered |= ResultsInsertTime(0, NetParticipantRecord(i), entry, i);
    return entered;
  }
  int32_t driver = 0;
  for (int32_t slot = FirstComputerSlot(); slot < COMPUTER_SLOTS; ++slot)
    entered |= ResultsInsertTime(1, &gVehicleRecords[slot], entry, ++driver);
  entered |= ResultsInsertTime(0, gPlayer1Vehicle, entry, 0);
  if (SplitScreen()) entered |= ResultsInsertTime(0, gPlayer2Vehicle, entry, 0);
  return entered;
}

int32_t ResultsBuildStandings() {
  struct Candidate {
    const Vehicle* vehicle;
    const char* name;
  };
  Candidate candidates[RESULTS_STANDINGS_ROWS];
  int32_t count = 0;
  if (gRace.networkGame) {
    for (int32_t i = 0; i < NetParticipantCount(); ++i)
      if (const Vehicle* v = NetParticipantRecord(i)) candidates[count++] = {v, NetParticipantName(i)};
  } else {
    candidates[count++] = {gPlayer1Vehicle, gScores.player1Name};
    int32_t driver = 0;
    for (int32_t slot = FirstComputerSlot(); slot < COMPUTER_SLOTS; ++slot)
      candidates[count++] = {&gVehicleRecords[slot], ResultsComputerName(++driver)};
    if (SplitScreen()) candidates[count++] = {gPlayer2Vehicle, gScores.player2Name};
  }
  // Selection by lowest total, the first found winning a tie; a picked
  // driver is passed over from then on.
  bool picked[RESULTS_STANDINGS_ROWS] = {};
  for (int32_t pass = 0; pass < count; ++pass) {
    int32_t best = -1;
    for (int32_t i = 0; i < count; ++i)
      if (!picked[i] && (best < 0 || candidates[i].vehicle->championTotal < candidates[best].vehicle->championTotal))
        best = i;
    picked[best] = true;
    ScoresRow& row = gStandings[pass];
    ScoresCopyName(row.name, candidates[best].name ? candidates[best].name : "");
    row.lapMs = 0;
    row.raceMs = candidates[best].vehicle->championTotal;
  }
  return count;
}
