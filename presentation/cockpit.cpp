// Until the cockpit view exists: nothing is drawn over the in-car view.
#include "presentation/presentation.h"

void CockpitDraw(Vehicle*) {}
