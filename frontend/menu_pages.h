// The menu pages the main page and the page runner open, the car preview's
// window, the championship start and the credits.
#pragma once
#include <cstdint>

struct Vehicle;

void MenuRunVehicleChoice();
void MenuRunGraphicsPage();
void MenuRunControlsPage();
void MenuRunKitCarPage();
void MenuRunRecordsPage();
// `action` 9 loads a saved championship, 10 saves the running one.
void MenuRunSavesPage(int32_t action);
void MenuRunNetConnectionPage();
void MenuRunNetGamePage();
// `role` 2 on the machine that hosts the session, 3 on the others.
void MenuRunNetWaitingPage(int32_t role);
// Every standing of a championship back to its start.
void ChampionshipResetStandings();
// The vehicle turning in a menu window about `centreX`, clipped at
// `clipRight`; `type` (-1: the vehicle's own) is shown for the draw only.
void PreviewDrawVehicle(Vehicle* vehicle, int32_t type, int32_t centreX, int32_t clipRight);
// The credits over a race nobody drives, then the end of the program.
[[noreturn]] void CreditsAndQuit();
