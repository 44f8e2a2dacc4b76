// Until the chase cameras exist: collisions, wheels and cameras stand still.
#include "presentation/presentation.h"

void ViewFrameStep() {}
