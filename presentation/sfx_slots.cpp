// Until the race sounds exist: numbered copies of an effect are silent and
// take no slot, so there is no slot to retune.
#include "presentation/presentation.h"

int32_t SfxPlayEffectCopyAt(int32_t, float, float, float, int32_t) { return 0; }
void SfxSetSlotFrequency(int32_t, int32_t) {}
