// Until the drive step exists: vehicles stand where they were placed.
#include "race/race.h"
#include "race/vehicle_steps.h"

void VehicleDriveStep(Vehicle*, Vehicle*) {}
