// Until the effect passes exist: no tyre marks, no particles, no glows.
#include "presentation/presentation.h"

void FxDrawTyreMarks() {}
void FxDrawParticles() {}
void FxAddTyreMark(WheelState*) {}
void FxDrawTyreTrail(WheelState*) {}
