// The championship order of the tracks and their unlocking: the next and
// previous track tables, the unlock order and each track's unlock level.
// The race and the replays step through it (frontend.h); the main page's
// value drum too.
#pragma once
#include <cstdint>

#include "frontend/frontend.h"

struct ChampionshipOrderTables {
  uint32_t next[MENU_TRACK_ITEMS];
  uint32_t previous[MENU_TRACK_ITEMS];
  uint32_t unlockOrder[MENU_TRACK_ITEMS];
  uint32_t unlockLevel[MENU_TRACK_ITEMS];  // the track's place in the unlock order, at least 3
};
extern const ChampionshipOrderTables ChampionshipOrder;

// The previous track in championship order becomes the race's track.
void MenuPrevChampionshipTrack();
// The track at place i of the unlock order (place 0 for one outside 0..9).
uint32_t MenuUnlockOrderTrack(int32_t place);
// From the race's track, `step` (+1 or -1) places along the championship
// order to the first track whose menu row is enabled; the track stays when
// none is.
void MenuStepOpenChampionshipTrack(int32_t step);
