// Until the effects, the sound bank, the decor and the music exist: the race
// loader's calls into them find nothing to do.
#include "presentation/presentation.h"

void FxClearPools() {}
void SfxLoadTrackBank() {}
void DecorSetupTrack() {}
void MusicPlayTrack(int32_t) {}
