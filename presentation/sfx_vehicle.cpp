// Until the race sounds exist: the vehicles' sounds are silent.
#include "presentation/presentation.h"

void SfxUpdateVehicle(Vehicle*, Vehicle*, int32_t, uint8_t) {}
void SfxStopVehicleLoops(Vehicle*) {}
int32_t SfxVehicleSlideTest(Vehicle*) { return 0; }
