#include "race/race.h"
#include "race/vehicle_steps.h"

RaceState gRace;
uint8_t gViewInsetPass;
Vehicle gPlayer1 = VehiclePlayer1Initial();
Vehicle gVehicleRecords[VEHICLE_RECORDS];
Vehicle* gVehicleTable[VEHICLE_TABLE_SLOTS];
Vehicle* gPlayer1Vehicle = &gPlayer1;
Vehicle* gPlayer2Vehicle = &gVehicleRecords[0];
Vehicle* gLocalNetVehicle;
uint8_t gJoyButton2;
VehicleStepState gVehicleStep;
TyreMark gTyreMarks[TYRE_MARK_ENTRIES];


Vehicle VehiclePlayer1Initial() {
  Vehicle v{};
  const float defaults[VEHICLE_PHYS_PARAMS] = {3.5f, 810.0f, 294400.0f, 0.2f, 0.5f, 2.0f,
                                               3.0f, 5.4f,   1.0f,      8000.0f, 5.0f};
  for (int i = 0; i < VEHICLE_PHYS_PARAMS; ++i) v.physParams[i] = defaults[i];
  v.championRank = -1;
  return v;
}
