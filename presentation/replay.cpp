// Until the replay views exist: there is no inset view to draw.
#include "presentation/presentation.h"

void ViewDrawInset(Vehicle*) {}
