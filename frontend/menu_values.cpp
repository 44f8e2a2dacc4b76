// The main page's value drum.
#include "frontend/menu_values.h"

#include <cstddef>

#include "frontend/frontend.h"
#include "frontend/menu_championship.h"
#include "frontend/menu_items.h"
#include "frontend/menu_widgets.h"
#include "race/race.h"

namespace {
constexpr int32_t PLAYERS_TWO = 1, PLAYERS_NETWORK = 2;
constexpr int32_t GAME_TRAINING = 0, GAME_CHALLENGE = 2, GAME_CHAMPIONSHIP = 3;

bool TrackOpen() {
  const int32_t t = gRace.trackIndex;
  return t >= 0 && t < MENU_TRACK_ITEMS && gMenuItems[static_cast<size_t>(t)].enabled;
}

// In a two-players challenge both drive player 1's type.
void ChallengeSharesType() {
  if (gRace.gameMode == GAME_CHALLENGE && gRace.playersMode == PLAYERS_TWO) gPlayer2Vehicle->type = gPlayer1Vehicle->type;
}
}  // namespace

bool MenuValueArrowsShown() { return !(gRace.gameMode == GAME_CHAMPIONSHIP && gMenu.category == 0); }

void MenuStepValue(int32_t step) {
  switch (gMenu.category) {
    case 0:
      // Outside the network players mode a locked track rolls in but cannot
      // be started; a network game only ever steps onto an open one.
      if (gRace.playersMode == PLAYERS_NETWORK)
        MenuStepOpenChampionshipTrack(step);
      else if (step > 0)
        MenuNextChampionshipTrack();
      else
        MenuPrevChampionshipTrack();
      gMenu.enterButton = gMenuNetSetup == 0;
      break;
    case 1: MenuStepItem(MENU_ROW_VEHICLE, &gMenu.vehicleValue, step, 2); break;
    case 2:
      gMenuItems[MENU_ROW_GAME_MODES + GAME_TRAINING].enabled = gMenuNetSetup == 0;
      MenuStepItem(MENU_ROW_GAME_MODES, &gRace.gameMode, step, 4);
      if (gRace.gameMode == GAME_CHAMPIONSHIP) gRace.trackIndex = gMenu.championshipTrack;
      ChallengeSharesType();
      gMenu.enterButton = gMenuNetSetup == 0 && gRace.gameMode != GAME_TRAINING;
      break;
    case 3:
      MenuStepItem(MENU_ROW_PLAYERS, &gRace.playersMode, step, 3);
      gMenu.enterButton = gRace.playersMode == PLAYERS_NETWORK && TrackOpen();
      ChallengeSharesType();
      break;
    case 4: MenuStepItem(MENU_ROW_OPTIONS, &gMenu.optionValue, step, 3); break;
    case 5:
      MenuStepItem(MENU_ROW_SAVES, &gMenu.saveValue, step, 2);
      gMenu.enterButton = gRace.playersMode != PLAYERS_NETWORK;
      break;
    default: return;
  }
  MenuDrumSetLabel(&gMenuValueDrum, MenuValueLabel());
}
