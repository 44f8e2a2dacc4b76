#include "race/race.h"

RaceState gRace;
Vehicle gPlayer1;
Vehicle gPlayer2;
Vehicle gVehicleRecords[VEHICLE_RECORDS];
Vehicle* gVehicleTable[VEHICLE_TABLE_SLOTS];
Vehicle* gPlayer1Vehicle;
Vehicle* gPlayer2Vehicle;
Vehicle* gLocalNetVehicle;
uint8_t gJoyButton2;
