// Until force feedback exists: there is no device flag to clear.
#include "race/vehicle_steps.h"

void FfbCheckDeviceLost() {}
