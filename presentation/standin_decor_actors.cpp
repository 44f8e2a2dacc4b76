// Until the decor actors exist: no church bell, and no cabins or skiers to
// pace.
#include "presentation/presentation.h"

int32_t DecorBellPosition(float*, float*, float*) { return 0; }
void DecorSetSkierPace(float) {}
