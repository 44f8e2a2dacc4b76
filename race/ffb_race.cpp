// Until force feedback exists: the race triggers have no device to drive.
#include "race/vehicle_steps.h"

void FfbSetActive(Vehicle*, int32_t) {}
void FfbUpdateWheelContact(Vehicle*) {}
void FfbUpdateEngineFromVehicle(Vehicle*) {}
void FfbTakeOff(Vehicle*) {}
void FfbLandVehicle(Vehicle*) {}
void FfbShockFull(Vehicle*, float, float) {}
void FfbSkid(Vehicle*) {}
