// Until vehicle drawing exists: no vehicle is drawn.
#include "presentation/presentation.h"

void VehicleDrawAll() {}
void VehicleDrawInsetAll() {}
void VehicleDrawOwn(Vehicle*, int32_t) {}
