// Until the decor actors exist: nothing steps.
#include "presentation/presentation.h"

void DecorFrameStep() {}
