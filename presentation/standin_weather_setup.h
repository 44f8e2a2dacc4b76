// Until the track weather exists: its set-up at race load (the particles
// around the current pose, the rain's first cycle and the bolts, the
// volcano's bursts and landing targets, the star field).
#pragma once

void WeatherScatterParticles();
void WeatherResetRain();
void WeatherPrepareBolts();
void WeatherResetVolcano();
void WeatherBuildSkyPoints();
