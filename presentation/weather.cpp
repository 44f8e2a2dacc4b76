// Until the track weather exists: no snow, rain, lightning, rocks, moon or stars.
#include "presentation/presentation.h"

void WeatherDrawLightning() {}
void WeatherDrawSkyPoints() {}
void WeatherStepSnowfall() {}
void WeatherStepRain() {}
void WeatherStepVolcano() {}
void WeatherDrawMoon() {}
