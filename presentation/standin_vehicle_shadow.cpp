// Until the vehicle shadows exist: none is drawn.
#include "presentation/presentation.h"

void VehicleDrawShadow(Vehicle*) {}
