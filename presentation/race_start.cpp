// Until the effects and the decor exist: the race loader's calls into them
// find nothing to do.
#include "presentation/presentation.h"

void FxClearPools() {}
void DecorSetupTrack() {}
