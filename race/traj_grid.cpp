// Until the computer drivers exist: their trajectory grid and the dense
// course line hold nothing.
#include "race/trajectory.h"

TrajDensePoint gTrajDense[TRAJ_DENSE_MAX];
int32_t gTrajDenseCount;

void TrajBuildGrid() {}
