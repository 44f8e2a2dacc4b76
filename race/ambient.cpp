// Until the ambient vehicle exists: there is none to place, step or shadow.
#include "race/vehicle_steps.h"

void AmbientFrameStep() {}
void VehicleDrawAmbientShadow() {}
void VehiclePlaceAmbient() {}
