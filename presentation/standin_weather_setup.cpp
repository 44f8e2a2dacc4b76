// Until the track weather exists: its set-up at race load prepares nothing.
#include "presentation/standin_weather_setup.h"

void WeatherScatterParticles() {}
void WeatherResetRain() {}
void WeatherPrepareBolts() {}
void WeatherResetVolcano() {}
void WeatherBuildSkyPoints() {}
