// A race's finishers into the best-times tables, the entry's best lap and
// time, and the championship standings.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "frontend/frontend.h"
#include "frontend/results.h"
#include "net/net.h"
#include "race/race.h"
#include "race/tracks.h"

namespace {

struct Row {
  std::string name;
  int32_t raceMs;
  bool operator==(const Row&) const = default;
};
void PrintTo(const Row& r, std::ostream* os) { *os << r.name << " " << r.raceMs; }

class Results : public ::testing::Test {
 protected:
  void SetUp() override {
    gRace = RaceState{};
    gRace.gameMode = 1;
    gRace.trackIndex = 5;
    gNetParticipants = NetParticipants{};
    ScoresSetDefaults(&gScores);
    ScoresCopyName(gScores.player1Name, "ANNA");
    ScoresCopyName(gScores.player2Name, "BERT");
    for (Vehicle* v : Vehicles()) {
      v->finished = 0;
      v->totalMs = 0;
      v->bestLapMs = 600000;
      v->championTotal = 0;
    }
    ResultsResetBestTimes();
    std::fill(std::begin(gResultsNewRows), std::end(gResultsNewRows), 7);
  }
  static std::vector<Vehicle*> Vehicles() {
    std::vector<Vehicle*> all{gPlayer1Vehicle};
    for (int i = 0; i < 5; ++i) all.push_back(&gVehicleRecords[i]);
    return all;
  }
  // Rows 0..9 of an entry named R0..R9 with 100000, 200000, ... ms.
  static void Prepare(ScoresEntry* e) {
    for (int r = 0; r < SCORES_ROWS; ++r) {
      ScoresCopyName(e->rows[r].name, ("R" + std::to_string(r)).c_str());
      e->rows[r].raceMs = 100000 * (r + 1);
      e->rows[r].lapMs = 50000 + r;
    }
  }
  static std::vector<Row> Rows(const ScoresEntry& e) {
    std::vector<Row> rows;
    for (int r = 0; r < SCORES_ROWS; ++r) rows.push_back({e.rows[r].name, e.rows[r].raceMs});
    return rows;
  }
  static void Finish(Vehicle* v, int32_t raceMs, int32_t lapMs = 40000) {
    v->finished = 1;
    v->totalMs = raceMs;
    v->bestLapMs = lapMs;
  }
};

std::vector<Row> Prepared(std::vector<std::pair<int, Row>> inserted) {
  std::vector<Row> rows;
  for (int r = 0; r < SCORES_ROWS; ++r) rows.push_back({"R" + std::to_string(r), 100000 * (r + 1)});
  for (const auto& [at, row] : inserted) rows.insert(rows.begin() + at, row);
  rows.resize(SCORES_ROWS);
  return rows;
}

TEST_F(Results, FinishersEnterTheCurrentEntryInOrderWithTheirNamesAndMarks) {
  Vehicle* p1 = gPlayer1Vehicle;
  Vehicle* c = gVehicleRecords;
  struct Case {
    const char* what;
    int32_t mode, track, players;
    std::function<void()> race;
    int32_t result;
    std::vector<Row> rows;
    std::vector<int32_t> marks;
  };
  const std::vector<int32_t> none(10, 0);
  const Case cases[] = {
      {"an equal time goes below the stored row", 1, 5, 0, [&] { Finish(p1, 300000); }, 1,
       Prepared({{3, {"ANNA", 300000}}}), {0, 0, 0, 1, 0, 0, 0, 0, 0, 0}},
      {"equal to row 9 is not inserted", 1, 5, 0, [&] { Finish(p1, 1000000); }, 0, Prepared({}), none},
      {"the fastest goes first, on the challenge table", 2, 7, 0, [&] { Finish(p1, 99999); }, 1,
       Prepared({{0, {"ANNA", 99999}}}), {1, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
      {"a driver who did not finish gets no row", 3, 5, 0, [&] { p1->totalMs = 1000; }, 0, Prepared({}), none},
      {"computer cars with their names, then player 1, at one time", 1, 5, 0,
       [&] {
         for (int i = 0; i < 5; ++i) Finish(&c[i], 150000);
         Finish(p1, 150000);
       },
       1,
       Prepared({{1, {"JOHNNY", 150000}}, {2, {"MIKE", 150000}}, {3, {"BILL", 150000}}, {4, {"DUKE", 150000}},
                 {5, {"BOBBY", 150000}}, {6, {"ANNA", 150000}}}),
       {0, 1, 1, 1, 1, 1, 1, 0, 0, 0}},
      {"split screen: slots 1..4 count from JOHNNY, then player 1, then player 2", 1, 5, 1,
       [&] {
         for (int i = 0; i < 5; ++i) Finish(&c[i], 150000);
         Finish(p1, 150000);
       },
       1,
       Prepared({{1, {"JOHNNY", 150000}}, {2, {"MIKE", 150000}}, {3, {"BILL", 150000}}, {4, {"DUKE", 150000}},
                 {5, {"ANNA", 150000}}, {6, {"BERT", 150000}}}),
       {0, 1, 1, 1, 1, 1, 1, 0, 0, 0}},
      {"the marks move with the rows", 1, 5, 0,
       [&] {
         Finish(&c[0], 350000);
         Finish(p1, 250000);
       },
       1, Prepared({{3, {"JOHNNY", 350000}}, {2, {"ANNA", 250000}}}), {0, 0, 1, 0, 1, 0, 0, 0, 0, 0}},
      {"the last row drops off with its mark", 1, 5, 0,
       [&] {
         Finish(&c[3], 950000);
         Finish(&c[4], 50000);
       },
       1, Prepared({{0, {"BOBBY", 50000}}}), {1, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
      {"network: the participants in table order, by their names", 1, 5, 0,
       [&] {
         gRace.networkGame = 2;
         gNetParticipants.count = 3;
         gNetParticipants.records[0] = &c[1];
         gNetParticipants.records[1] = p1;
         gNetParticipants.records[2] = &c[2];
         gNetParticipants.names[0] = "CARLA";
         gNetParticipants.names[1] = "DORA";
         Finish(&c[1], 150000);
         Finish(p1, 150000);
         Finish(&c[2], 160000);
         Finish(&c[0], 110000);  // no participant
       },
       1,
       // The third has no name: its row keeps the one it had.
       Prepared({{1, {"CARLA", 150000}}, {2, {"DORA", 150000}}, {3, {"R1", 160000}}}), {0, 1, 1, 1, 0, 0, 0, 0, 0, 0}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    SetUp();
    gRace.gameMode = k.mode;
    gRace.trackIndex = k.track;
    gRace.playersMode = k.players;
    ScoresEntry* entry = &gScores.tables[k.mode - 1].entries[k.track];
    Prepare(entry);
    ScoresImage before = gScores;
    k.race();
    EXPECT_EQ(ResultsUpdateTables(), k.result);
    EXPECT_EQ(Rows(*entry), k.rows);
    EXPECT_EQ(std::vector<int32_t>(std::begin(gResultsNewRows), std::end(gResultsNewRows)), k.marks);
    // A row holds the driver's best lap of the race.
    for (int r = 0; r < SCORES_ROWS; ++r)
      if (k.marks[static_cast<size_t>(r)]) {
        EXPECT_EQ(+entry->rows[r].lapMs, 40000) << r;
      }
    // Nothing else of the image changed.
    *entry = before.tables[k.mode - 1].entries[k.track];
    EXPECT_EQ(std::memcmp(&gScores, &before, sizeof before), 0);
  }
}

TEST_F(Results, WhoDoesNotFinishAChampionshipRaceGetsTheTracksReferenceTime) {
  gRace.trackIndex = 4;
  const int32_t reference = TRACK_ENVIRONMENT[4].timeLimitMs;
  for (int32_t mode : {1, 2, 3}) {
    SCOPED_TRACE(mode);
    SetUp();
    gRace.gameMode = mode;
    gRace.trackIndex = 4;
    gPlayer1Vehicle->championTotal = 5000;
    Finish(&gVehicleRecords[2], 500000);
    gVehicleRecords[2].championTotal = 7000;
    ResultsUpdateTables();
    const bool championship = mode == 3;
    EXPECT_EQ(+gPlayer1Vehicle->championTotal, championship ? 5000 + reference : 5000);
    EXPECT_EQ(+gVehicleRecords[0].championTotal, championship ? reference : 0);
    EXPECT_EQ(+gVehicleRecords[2].championTotal, 7000);  // finished
  }
  // A total at the top stays there.
  SetUp();
  gRace.gameMode = 3;
  gPlayer1Vehicle->championTotal = 2147483000;
  ResultsUpdateTables();
  EXPECT_EQ(+gPlayer1Vehicle->championTotal, 2147483647);
}

TEST_F(Results, TheEntrysBestLapAndTimeOnlyEverGoDown) {
  struct Case {
    int32_t raceLap, raceTime, lap, time;
  };
  const Case cases[] = {
      {600000, 600000, 300000, 540000},  // nobody set a time
      {300000, 540000, 300000, 540000},  // equal
      {299999, 540000, 299999, 540000},
      {300000, 539999, 300000, 539999},
      {61000, 182000, 61000, 182000},
  };
  for (const Case& c : cases) {
    SetUp();
    gRaceResults.bestLapMs = c.raceLap;
    gRaceResults.totalMs = c.raceTime;
    EXPECT_EQ(ResultsUpdateTables(), 0);
    EXPECT_EQ(+gScores.tables[0].entries[5].bestLapMs, c.lap) << c.raceLap;
    EXPECT_EQ(+gScores.tables[0].entries[5].bestRaceMs, c.time) << c.raceTime;
  }
}

TEST_F(Results, ModesOutsideOneToThreeChangeNothing) {
  for (int32_t mode : {0, 4, -1, 5}) {
    SetUp();
    gRace.gameMode = mode;
    Finish(gPlayer1Vehicle, 1000);
    gRaceResults.bestLapMs = 100;
    gRaceResults.totalMs = 1000;
    const ScoresImage before = gScores;
    EXPECT_EQ(ResultsUpdateTables(), 0) << mode;
    EXPECT_EQ(std::memcmp(&gScores, &before, sizeof before), 0) << mode;
    EXPECT_EQ(gResultsNewRows[0], 7) << mode;  // not even the marks
  }
}

TEST_F(Results, ComputerDriverNamesAreClampedToTheFive) {
  EXPECT_STREQ(ResultsComputerName(1), "JOHNNY");
  EXPECT_STREQ(ResultsComputerName(5), "BOBBY");
  EXPECT_STREQ(ResultsComputerName(0), "JOHNNY");
  EXPECT_STREQ(ResultsComputerName(9), "BOBBY");
}

std::vector<Row> Standings(int32_t rows) {
  std::vector<Row> out;
  for (int32_t r = 0; r < rows; ++r) out.push_back({gStandings[r].name, gStandings[r].raceMs});
  return out;
}

TEST_F(Results, StandingsGoByTotalWithPlayerOneThenSlotOrderAtATie) {
  struct Case {
    const char* what;
    int32_t players;
    int32_t totals[6];  // player 1, records 0..4
    std::vector<Row> standings;
  };
  const Case cases[] = {
      {"one player", 0, {1000, 1000, 500, 500, 2000, 1500},
       {{"MIKE", 500}, {"BILL", 500}, {"ANNA", 1000}, {"JOHNNY", 1000}, {"BOBBY", 1500}, {"DUKE", 2000}}},
      {"split screen", 1, {900, 900, 900, 800, 900, 900},
       {{"MIKE", 800}, {"ANNA", 900}, {"JOHNNY", 900}, {"BILL", 900}, {"DUKE", 900}, {"BERT", 900}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    gRace.playersMode = c.players;
    std::vector<Vehicle*> all = Vehicles();
    for (size_t i = 0; i < all.size(); ++i) all[i]->championTotal = c.totals[i];
    EXPECT_EQ(ResultsBuildStandings(), 6);
    EXPECT_EQ(Standings(6), c.standings);
    for (size_t i = 0; i < all.size(); ++i) EXPECT_EQ(+all[i]->championTotal, c.totals[i]) << i;
  }
  // A network race: one row a participant, in table order at a tie.
  gRace.networkGame = 3;
  gNetParticipants.count = 3;
  gNetParticipants.records[0] = &gVehicleRecords[3];
  gNetParticipants.records[1] = gPlayer1Vehicle;
  gNetParticipants.records[2] = &gVehicleRecords[1];
  gNetParticipants.names[0] = "CARLA";
  gNetParticipants.names[1] = "DORA";
  gVehicleRecords[3].championTotal = 700;
  gPlayer1Vehicle->championTotal = 900;
  gVehicleRecords[1].championTotal = 700;
  EXPECT_EQ(ResultsBuildStandings(), 3);
  EXPECT_EQ(Standings(3), (std::vector<Row>{{"CARLA", 700}, {"", 700}, {"DORA", 900}}));
}

}  // namespace
