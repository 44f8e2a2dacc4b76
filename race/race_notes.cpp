#include "race/race_notes.h"

#include "race/vehicle.h"

namespace {

// More than a frame ever brings; beyond it notes are dropped.
constexpr int32_t NOTES = 64;

struct Notes {
  RaceNote notes[NOTES];
  int32_t count;
};
Notes gNotes;

void Add(const RaceNote& note) {
  if (gNotes.count < NOTES) gNotes.notes[gNotes.count++] = note;
}

}  // namespace

void RaceNoteRespawn(const Vehicle* v) { Add({RACE_NOTE_RESPAWN, v, v->pose.x, v->pose.z, 0, 0}); }

void RaceNoteFinishCrossing(const Vehicle* v, uint32_t lapMs, bool counted) {
  Add({RACE_NOTE_FINISH_CROSSING, v, 0.0f, 0.0f, lapMs, static_cast<uint8_t>(counted ? 1 : 0)});
}

int32_t RaceTakeNotes(RaceNote* out, int32_t most) {
  const int32_t n = gNotes.count < most ? gNotes.count : most;
  for (int32_t i = 0; i < n; ++i) out[i] = gNotes.notes[i];
  gNotes.count = 0;
  return n;
}
