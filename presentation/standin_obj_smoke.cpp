// Until the effect pools exist: a placed object's smoke puff is dropped, as a
// full pool would drop it.
#include "presentation/presentation.h"

void FxSpawnObjectSmoke(float, float, float, float, float) {}
