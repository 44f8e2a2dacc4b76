// Until the track presentation exists: there is no fly-in camera to apply.
#include "presentation/presentation.h"

void ViewApplyFlyInCamera() {}
