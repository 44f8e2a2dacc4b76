// Until force feedback exists: no device has effects to stop.
#include "race/race.h"

int32_t FfbInitDevices() { return 0; }
void FfbStopAll() {}
void FfbRelease() {}
