// Until force feedback exists: a contact's jolt has no device to drive.
#include "race/vehicle_steps.h"

void FfbShock(Vehicle*, int32_t, int32_t) {}
