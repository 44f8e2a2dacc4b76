// Until the screen quads exist: the fades draw nothing.
#include "presentation/presentation.h"

void ViewDrawShadeQuad(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t) {}
