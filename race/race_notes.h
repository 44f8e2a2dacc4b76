// What happens to the grid's cars between two trace lines and shows in no
// record: a car put back on the track, a crossing of its armed finish line.
// The race code notes them; the trace (race_trace.cpp) takes them after each
// frame. Kept apart from the trace so that the race code needs nothing of it.
#pragma once
#include <cstdint>

struct Vehicle;

enum RaceNoteKind : int32_t { RACE_NOTE_RESPAWN = 0, RACE_NOTE_FINISH_CROSSING = 1 };

struct RaceNote {
  int32_t kind;
  const Vehicle* vehicle;
  float x, z;      // a respawn: where the car was put
  uint32_t lapMs;  // a crossing: the lap's time
  uint8_t counted;  // a crossing: the lap counted, or dropped as too short
};

void RaceNoteRespawn(const Vehicle* v);
void RaceNoteFinishCrossing(const Vehicle* v, uint32_t lapMs, bool counted);
// The notes since the last call, oldest first; -> how many (at most `most`).
int32_t RaceTakeNotes(RaceNote* out, int32_t most);
