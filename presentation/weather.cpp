// Until the track weather exists: no lightning, no stars.
#include "presentation/presentation.h"

void WeatherDrawLightning() {}
void WeatherDrawSkyPoints() {}
