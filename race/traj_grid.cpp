// Until the computer drivers exist: their trajectory grid has nothing to hold.
#include "race/trajectory.h"

void TrajBuildGrid() {}
