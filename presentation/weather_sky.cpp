// The night track's sky: 999 stars, the same in every race, tinted by the
// fog of the view, and the moon.
#include <algorithm>

#include "backend_common/display.h"
#include "backend_common/draw.h"
#include "engine3d/angle.h"
#include "engine3d/mathutil.h"
#include "engine3d/random.h"
#include "presentation/presentation.h"
#include "presentation/weather.h"
#include "presentation/weather_common.h"
#include "race/object_types.h"

namespace {

constexpr float STAR_NEAREST = 5.0f, STAR_DEPTH = 1000.0f;
constexpr float MOON_X = -60000.0f, MOON_Y = 20000.0f, MOON_Z = 10000.0f;
constexpr float MOON_NEAREST = 5.0f;
constexpr uint16_t MOON_YAW = 768;
constexpr int32_t MOON_FAR = 100000;
constexpr int32_t NEAR_PLANE = 5;
// The moon is lit from the track's side, whatever the track's light.
constexpr Light MOON_LIGHT = {1000.0f, -200.0f, -100.0f, 64.0f, 30.0f};

uint8_t StarChannel(int32_t fog, int32_t level, int32_t k) {
  return static_cast<uint8_t>(std::clamp(std::min(level, fog * level / k), 0, 255));
}

}  // namespace

void WeatherBuildSkyPoints() {
  RandSetIndex(0);
  const int32_t* fog = gRace.clearColour;
  Vertex* stars = gWeatherParticles[0];
  for (int32_t i = 0; i < WEATHER_STARS; ++i) {
    Vertex& s = stars[i];
    s = Vertex{};
    s.y = static_cast<float>(RandNext() % 60000 - 2000);
    const int32_t c = std::max(TruncI32(70000.0f - s.y), 2);
    const int32_t a = RandNext() & 1023;
    s.x = MathSin(a) * static_cast<float>(c + RandNext() % (c / 2)) + 8000.0f;
    s.z = MathCos(a) * static_cast<float>(c + RandNext() % (c / 2)) + 4000.0f;
    const int32_t level = 200 - (RandNext() & 127);
    const int32_t k = std::clamp(c / 2048, 1, 255);
    s.red = StarChannel(fog[0], level, k);
    s.green = StarChannel(fog[1], level, k);
    s.blue = StarChannel(fog[2], level, k);
  }
}

void WeatherDrawSkyPoints() {
  const bool effects = WeatherEffectsOn();
  MatViewFromCamera();
  RdrDepthOff();
  if (effects) RdrFogOff();
  Vertex* stars = gWeatherParticles[0];
  for (int32_t i = 0; i < WEATHER_STARS; ++i) {
    Vertex& s = stars[i];
    RdrProjectVertex(&s);
    if (s.viewZ <= STAR_NEAREST) continue;
    s.viewZ = STAR_DEPTH;
    WeatherDrawStar(&s);
  }
  RdrDepthOn();
  if (effects) RdrFogOn();
}

void WeatherDrawStar(Vertex* star) { RdrDrawPoint(star); }

void WeatherDrawMoon() {
  static DrawSlot moon;
  moon = DrawSlot{};
  moon.x = MOON_X;
  moon.y = MOON_Y;
  moon.z = MOON_Z;
  WeatherViewOf(&moon);
  MeshHeader* model = gObjectModels[WEATHER_ROW_MOON];
  if (moon.viewZ <= MOON_NEAREST || !model) return;
  RdrFogOff();
  const LightState trackLight = gLight;
  Light fixed = MOON_LIGHT;
  LightSet(&fixed);
  model->angle[1] = MOON_YAW;
  RdrSetDepthRange(NEAR_PLANE, MOON_FAR);
  RdrDrawObjectYawLitAnyDepth(&moon, model);
  RdrSetDepthRange(NEAR_PLANE, TruncI32(gRace.viewDistance));
  RdrFogOn();
  gLight = trackLight;
}
