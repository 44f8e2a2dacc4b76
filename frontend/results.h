// The results of a race in the best-times tables, the championship
// standings, and the three screens that show them.
#pragma once
#include <cstdint>

#include "frontend/scores.h"

struct Vehicle;

constexpr int32_t RESULTS_STANDINGS_ROWS = 6;

// One mark per row of the entry updated last: 1 where this race put a
// driver. Cleared by each update and moved along with the rows.
extern int32_t gResultsNewRows[SCORES_ROWS];
// The standings as last built: name and total (in the race-time field).
extern ScoresRow gStandings[RESULTS_STANDINGS_ROWS];

// Enters one vehicle's race into the rows of `entry`; 1 when it got a row.
// A vehicle that did not finish gets none, and in a championship it gets the
// track's reference time on its total instead.
int32_t ResultsInsertTime(int32_t isComputer, Vehicle* vehicle, ScoresEntry* entry, int32_t driverIndex);
// After a race: the current mode's entry of the current track takes the
// race's best lap and time and every finisher in order; 1 when anybody got a
// row. Training and network races keep no table.
int32_t ResultsUpdateTables();
// The name of the n-th computer driver (1..5; outside, the nearest).
const char* ResultsComputerName(int32_t driverIndex);
// Fills gStandings, lowest championship total first (player 1 ahead of the
// computer cars at a tie, those in slot order); the totals stay as they are.
// Returns the rows filled.
int32_t ResultsBuildStandings();

// Over the podium scene, t the milliseconds since each appeared.
void ResultsDrawBestTimes(float t);
void ResultsDrawStandings(float t);
// On the records page.
void ResultsListBestTimes();
