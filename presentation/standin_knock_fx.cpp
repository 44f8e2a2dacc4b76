// Until the vehicle effects exist: a knock shows no crash and throws no debris.
#include "presentation/presentation.h"

void FxVehicleCrash(Vehicle*) {}
void FxVehicleDebris(Vehicle*) {}
