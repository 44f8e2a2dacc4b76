// The track weather: snow and rain falling through two particle arrays (one
// per view), the lightning of the mud track, the volcano's smoke and rocks,
// the moon and the star field of the night track.
//
// gWeather and gWeatherParticles are written by the set-up routines below
// (called by the track's decor set-up at race load) and by the weather steps
// of each view; the race trace reads them.
#pragma once
#include <cstdint>

#include "engine3d/mesh.h"
#include "race/trajectory.h"

constexpr int WEATHER_PARTICLES = 1000;  // per view
constexpr int WEATHER_STARS = 999;       // in the first array, on the night track
constexpr int VOLCANO_BURSTS = 20;
constexpr uint8_t VOLCANO_NO_WHISTLE = 0xFF;
constexpr float VOLCANO_TARGET_USED = -1.0f;
// Resting rocks keep this in their visible byte.
constexpr uint8_t VOLCANO_ROCK_RESTING = 2;

#pragma pack(push, 1)
struct VolcanoBurst {
  uint8_t inUse;
  uint8_t phase;    // 0 rising, 1 waiting to be seen, 2 falling
  uint8_t whistle;  // the copy of the whistle, VOLCANO_NO_WHISTLE for none
  float timer;
  float spin;  // 10-bit angle as a float
};
#pragma pack(pop)
static_assert(sizeof(VolcanoBurst) == 11);

struct WeatherState {
  // Rain: the number of drops drawn (at most 1000 of them), swelling while
  // `rising` up to `target`, then fading to minus the next target.
  float rainIntensity;
  uint8_t rising;
  float target;
  uint8_t lightning;
  float flashTime;  // ticks
  float boltX, boltY, boltZ;
  int32_t boltScreenX, boltScreenY;
  float toCameraX, toCameraY, toCameraZ;  // from the bolt, the height difference x 10
  int32_t thunderCopy;  // the copy of the thunder played last
  // Volcano.
  VolcanoBurst bursts[VOLCANO_BURSTS];
  Trajectory targets;  // trajectory A's points; a used one has x = VOLCANO_TARGET_USED
  int32_t whistleCopy;  // the copy of the whistle started last
};
extern WeatherState gWeather;
extern Vertex gWeatherParticles[2][WEATHER_PARTICLES];

// Set-up at race load.
void WeatherScatterParticles();
void WeatherResetRain();
void WeatherPrepareBolts();
void WeatherResetVolcano();
void WeatherBuildSkyPoints();

// Snow.
void WeatherDrawFlake(Vertex* flake);
void WeatherAddLensDrop();
void WeatherStepSnow(DrawSlot* slot, void* owner);
// Rain and lightning.
void WeatherDrawStreak(Vertex* drop);
void WeatherStartLightning();
void WeatherDrawBolt();
// Volcano.
void WeatherCraterCheck();
void WeatherStepVolcanoBurst(DrawSlot* slot, void* owner);
// Stars.
void WeatherDrawStar(Vertex* star);

// Object-type rows of the weather's models.
constexpr int32_t WEATHER_ROW_MOON = 0;    // "lune"
constexpr int32_t WEATHER_ROW_BOLT = 68;   // "eclair1".."eclair4"
constexpr int32_t WEATHER_ROW_ROCK = 141;  // "vroc1".."vroc6"
constexpr int32_t WEATHER_BOLT_MODELS = 4;
constexpr int32_t WEATHER_ROCK_MODELS = 6;
