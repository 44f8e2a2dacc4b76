// Until object contact exists: nothing is touched, every vehicle is free.
#include "race/vehicle_steps.h"

int32_t ContactResolveAndSettle(Vehicle*, float, float, int32_t) { return 1; }
DrawSlot* ContactFindObjectAt(Vehicle*, float, float, float) { return nullptr; }
