// The race positions: the participants sorted by progress, highest first.
// Equal progress keeps the vehicle-table order (a stable bubble sort).
#include "net/net.h"
#include "race/race.h"
#include "race/vehicle_steps.h"

namespace {

struct RankEntry {
  int32_t progress;
  Vehicle* vehicle;
};

constexpr int32_t RANK_ENTRIES = VEHICLE_TABLE_SLOTS > NET_MAX_PARTICIPANTS ? VEHICLE_TABLE_SLOTS : NET_MAX_PARTICIPANTS;

}  // namespace

void RaceRankVehicles() {
  RankEntry entries[RANK_ENTRIES];
  int32_t n = 0;
  auto add = [&](Vehicle* v) {
    // A slot where no vehicle starts takes no place.
    if (v && n < RANK_ENTRIES) entries[n++] = RankEntry{v->progress, v};
  };
  if (gRace.networkGame) {
    for (int32_t i = 0; i < NetParticipantCount(); ++i) add(NetParticipantRecord(i));
  } else {
    for (Vehicle* v : gVehicleTable) add(v);
  }
  for (int32_t pass = 0; pass < n - 1; ++pass)
    for (int32_t i = 0; i < n - 1; ++i)
      if (entries[i].progress < entries[i + 1].progress) {
        const RankEntry t = entries[i];
        entries[i] = entries[i + 1];
        entries[i + 1] = t;
      }
  for (int32_t k = 0; k < n; ++k) entries[k].vehicle->position = k + 1;
}
