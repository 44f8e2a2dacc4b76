// The championship order and the unlock tables. Nothing here pulls in a
// menu page: the race and the replays call it.
#include "frontend/menu_championship.h"

#include "frontend/menu_items.h"
#include "race/race.h"

const ChampionshipOrderTables ChampionshipOrder = {
    {2, 4, 6, 5, 3, 7, 1, 8, 9, 0},
    {9, 6, 0, 4, 1, 3, 2, 5, 7, 8},
    {0, 2, 6, 1, 4, 3, 5, 7, 8, 9},
    {3, 3, 3, 5, 4, 6, 3, 7, 8, 9},
};

namespace {
// A track outside the tables steps as track 0 does.
uint32_t TrackOf(int32_t track) { return track >= 0 && track < MENU_TRACK_ITEMS ? static_cast<uint32_t>(track) : 0u; }
}  // namespace

int32_t MenuNextChampionshipTrack() {
  gRace.trackIndex = static_cast<int32_t>(ChampionshipOrder.next[TrackOf(gRace.trackIndex)]);
  return gRace.trackIndex == 0 ? 1 : 0;
}

void MenuPrevChampionshipTrack() {
  gRace.trackIndex = static_cast<int32_t>(ChampionshipOrder.previous[TrackOf(gRace.trackIndex)]);
}

uint32_t MenuUnlockOrderTrack(int32_t place) {
  return place >= 0 && place < MENU_TRACK_ITEMS ? ChampionshipOrder.unlockOrder[place] : ChampionshipOrder.unlockOrder[0];
}

int32_t MenuTrackUnlockLevel(int32_t track) {
  return static_cast<int32_t>(ChampionshipOrder.unlockLevel[TrackOf(track)]);
}

void MenuStepOpenChampionshipTrack(int32_t step) {
  const int32_t from = gRace.trackIndex;
  for (int32_t i = 0; i < MENU_TRACK_ITEMS; ++i) {
    if (step > 0)
      MenuNextChampionshipTrack();
    else
      MenuPrevChampionshipTrack();
    if (gMenuItems[TrackOf(gRace.trackIndex)].enabled) return;
  }
  gRace.trackIndex = from;
}
