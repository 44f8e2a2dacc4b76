// The weather's state and its set-up at race load: the particles scattered
// round the current vehicle, the rain's first cycle, the volcano's burst
// records and landing targets.
#include <cstring>

#include "backend_common/draw.h"
#include "engine3d/random.h"
#include "presentation/sfx.h"
#include "presentation/weather.h"
#include "presentation/weather_common.h"
#include "race/race.h"

WeatherState gWeather;
Vertex gWeatherParticles[2][WEATHER_PARTICLES];

namespace {

constexpr float SCATTER_ABOVE = 800.0f;
constexpr float RAIN_START = -750.0f;

}  // namespace

Vertex* WeatherScratchPoint(float x, float y, float z) {
  const int32_t first = gMesh.vertexCount;
  if (first + 1 > UINT16_MAX + 1) return nullptr;
  Vertex* v = MeshScratchVertices(first, 1);
  if (!v) return nullptr;
  *v = Vertex{};
  v->x = x;
  v->y = y;
  v->z = z;
  RdrProjectVertex(v);
  return v;
}

int32_t WeatherNextCopy(int32_t row, int32_t* counter) {
  const int32_t copies = row >= 0 && row < SFX_EFFECT_ROWS && gSfxEffects[row].copies > 0 ? gSfxEffects[row].copies : 1;
  const int32_t copy = *counter >= 0 && *counter < copies ? *counter : 0;
  *counter = (copy + 1) % copies;
  return copy;
}

void WeatherScatterParticles() {
  const Camera* pose = gRace.currentPose;
  const float px = pose ? pose->x : 0.0f, py = pose ? pose->y : 0.0f, pz = pose ? pose->z : 0.0f;
  for (auto& view : gWeatherParticles) {
    for (Vertex& v : view) {
      v = Vertex{};
      v.x = px + static_cast<float>(RandNext() % 2000);
      v.z = pz + static_cast<float>(RandNext() % 2000);
      v.y = py + SCATTER_ABOVE - static_cast<float>(RandNext() & 511);
    }
  }
}

void WeatherResetRain() {
  gWeather.rainIntensity = RAIN_START;
  gWeather.rising = 1;
  gWeather.target = static_cast<float>((RandNext() & 1023) + 2000);
  gWeather.lightning = 0;
  gWeather.flashTime = 0.0f;
}

void WeatherResetVolcano() {
  for (VolcanoBurst& b : gWeather.bursts) b = VolcanoBurst{0, 0, VOLCANO_NO_WHISTLE, 0.0f, 0.0f};
  const Trajectory& a = gTrajectories[0];
  gWeather.targets = Trajectory{};
  const int32_t n = a.count < 0 ? 0 : a.count > TRAJ_POINTS ? TRAJ_POINTS : a.count;
  gWeather.targets.count = n;
  std::memcpy(gWeather.targets.points, a.points, sizeof(TrajPoint) * static_cast<size_t>(n));
}
