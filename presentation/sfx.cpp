// Until the race sounds exist: effects are silent and take no slot.
#include "presentation/presentation.h"

void SfxUpdateListener() {}
void SfxStopUnusedEngine() {}
void SfxPlayEffectAt(int32_t, float, float, float) {}
int32_t SfxLoopEffectAt(int32_t, float, float, float) { return 0; }
void SfxStopSlot(int32_t) {}
