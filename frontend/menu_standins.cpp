// STAND-INS, each until the issue that brings the real one lands (delete it
// then): the vehicle choice, graphics, controls, kit-car, records, saves and
// network pages return at once; the car preview draws nothing; the
// championship start clears the totals; the credits are the race backdrop
// alone.
#include <cstring>

#include "backend_common/display.h"
#include "frontend/frontend.h"
#include "frontend/menu_pages.h"
#include "platform/mem.h"
#include "presentation/replay.h"
#include "race/race.h"
#include "shell/game.h"

void MenuRunVehicleChoice() {}
void MenuRunGraphicsPage() {}
void MenuRunControlsPage() {}
void MenuRunKitCarPage() {}
void MenuRunRecordsPage() {}
void MenuRunSavesPage(int32_t) {}
void MenuRunNetConnectionPage() {}
void MenuRunNetGamePage() {}
void MenuRunNetWaitingPage(int32_t) {}

void ChampionshipResetStandings() {
  gPlayer1Vehicle->championTotal = 0;
  for (int32_t i = 0; i < VEHICLE_EXTRA_CAR; ++i) gVehicleRecords[i].championTotal = 0;
}

void PreviewDrawVehicle(Vehicle*, int32_t, int32_t, int32_t) {}

// The backdrop of the credits: a race nobody drives, loaded on the track.
void CreditsSetupScene(int32_t track) {
  gRace.noHumanMode = 1;
  RaceLoad(track);
}

// The credits draw over a picture of the whole screen from the pool, black
// until the first window is pasted into it.
void CreditsAndQuit() {
  gRace.trackIndex = 0;
  // A key still held from the quit does not end the credits.
  MenuPollInputNow();
  gRace.playersMode = 0;
  gRace.gameMode = 1;
  const uint32_t bytes = static_cast<uint32_t>(gRdrState.screenWidth) * static_cast<uint32_t>(gRdrState.screenHeight) * 2u;
  auto* buffer = static_cast<uint16_t*>(MemAlloc(bytes));
  if (buffer) std::memset(buffer, 0, bytes);
  CreditsSetupScene(gRace.trackIndex);
  ReplayRunCreditsDemo(buffer);
  if (buffer) MemFree(buffer);
  GameQuit();
}
