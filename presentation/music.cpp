// Until the music fader exists: the volume never moves.
#include "presentation/presentation.h"

void MusicFadeStep() {}
