// Until the ambient vehicle exists: there is none to step or to shadow.
#include "race/vehicle_steps.h"

void AmbientFrameStep() {}
void VehicleDrawAmbientShadow() {}
