// Rain on the mud track: its intensity swells and fades, the drops fall as
// grey streaks, and now and then lightning strikes far ahead, lighting the
// sky and the ground.
#include "backend_common/display.h"
#include "backend_common/draw.h"
#include "engine3d/angle.h"
#include "engine3d/mathutil.h"
#include "engine3d/random.h"
#include "engine3d/terrain.h"
#include "presentation/presentation.h"
#include "presentation/sfx.h"
#include "presentation/weather.h"
#include "presentation/weather_common.h"
#include "race/object_types.h"

namespace {

constexpr int32_t SFX_THUNDER = 6;  // "ora"
constexpr int32_t SFX_RAIN = 7;     // "pluie"
constexpr float SPAWN_ABOVE = 800.0f;
constexpr float DROP_NEAREST = 5.0f;
constexpr float STREAK_DX = 8.0f, STREAK_DY = 30.0f;
constexpr uint32_t STREAK_COLOUR = 0x303030;
constexpr float BOLT_AHEAD = 10000.0f, BOLT_ABOVE = 500.0f, BOLT_BARE_GROUND = 1000.0f;
constexpr int32_t BOLT_NEAR = 5, BOLT_FAR = 20000;
constexpr int32_t NEAR_PLANE = 5;
// The prepared bolts: model k's colour word and its shift along x.
constexpr uint32_t BOLT_COLOUR = 0xE3F9F9, BOLT_COLOUR_STEP = 0x121212;
constexpr float BOLT_SHIFT_X[WEATHER_BOLT_MODELS] = {0.0f, -500.0f, 1500.0f, 750.0f};
constexpr float BOLT_STRETCH = 1.5f;
constexpr float SKY_HEIGHT = 50.0f, SKY_TEXEL = 1.0f;

uint32_t BoltColour(int32_t k) { return BOLT_COLOUR - static_cast<uint32_t>(k) * BOLT_COLOUR_STEP; }

MeshHeader* BoltModel(int32_t k) { return gObjectModels[WEATHER_ROW_BOLT + k]; }

void RespawnAtCamera(Vertex* v) {
  v->x = gCamera.x + static_cast<float>(RandNext() % 2000);
  v->z = gCamera.z + static_cast<float>(RandNext() % 2000);
  v->y = gCamera.y + SPAWN_ABOVE;
}

bool OnScreen(float x, float y) {
  const RdrState& s = gRdrState;
  return x >= s.clipMinX && x <= s.clipMaxX && y >= s.clipMinY && y <= s.clipMaxY;
}

// The intensity's swell and fade, once a frame.
void StepIntensity() {
  WeatherState& w = gWeather;
  const float t = gRace.timeStep;
  if (w.rising) {
    w.rainIntensity += t;
    if (w.rainIntensity > w.target) {
      w.rising = 0;
      w.target = static_cast<float>((RandNext() & 511) + 500);
    }
  } else {
    w.rainIntensity -= 2.0f * t;
    if (w.rainIntensity < -w.target) {
      w.rising = 1;
      w.target = static_cast<float>((RandNext() & 1023) + 2000);
    }
  }
}

}  // namespace

void WeatherStepRain() {
  WeatherState& w = gWeather;
  const bool first = RaceViewAdvances();
  if (first) StepIntensity();
  if (w.rainIntensity <= 0.0f) {
    w.lightning = 0;
    SfxStopEffect(SFX_RAIN);
    return;
  }
  if (first) {
    SfxLoopEffectAt(SFX_RAIN, 0.0f, 0.0f, 0.0f);
    if (!w.lightning && gRace.tickPassed && (gRace.ticks & 3) == 0 && (RandNext() & 31) == 0) WeatherStartLightning();
  }
  if (w.lightning) WeatherDrawBolt();
  const int32_t n = w.rainIntensity >= static_cast<float>(WEATHER_PARTICLES) ? WEATHER_PARTICLES
                                                                              : TruncI32(w.rainIntensity);
  Vertex* drops = gWeatherParticles[first ? 0 : 1];
  const float t = gRace.timeStep;
  for (int32_t i = 0; i < n; ++i) {
    Vertex& d = drops[i];
    if (d.y < TerrainHeightAt(d.x, d.z) || d.y <= gRace.waterLevel) {
      RespawnAtCamera(&d);
      if (gRace.tickPassed && (gRace.ticks & 3) == 0) WeatherAddLensDrop();
    }
    RdrProjectVertex(&d);
    if (d.viewZ > DROP_NEAREST && d.viewZ < gRace.viewDistance) WeatherDrawStreak(&d);
    const float fall = (60.0f + 0.01f * static_cast<float>(i)) * t;
    d.y -= fall;
    d.x += fall / 6.0f;
  }
}

void WeatherDrawStreak(Vertex* drop) {
  if (!OnScreen(drop->screenX, drop->screenY)) return;
  Vertex* end = WeatherScratchPoint(drop->x + STREAK_DX, drop->y - STREAK_DY, drop->z);
  if (!end || end->viewZ <= DROP_NEAREST || !OnScreen(end->screenX, end->screenY)) return;
  RdrDrawLine(drop, end, STREAK_COLOUR);
}

void WeatherPrepareBolts() {
  for (int32_t k = 0; k < WEATHER_BOLT_MODELS; ++k) {
    MeshHeader* m = BoltModel(k);
    if (!m) continue;
    const uint32_t colour = BoltColour(k);
    for (uint32_t f = 0; m->faces && f < m->faceCount; ++f) m->faces[f].type = colour;
    // The face routine takes the colour from a face's first vertex, so every
    // vertex carries the colour word as well.
    for (uint32_t i = 0; m->vertices && i < m->vertexCount; ++i) {
      Vertex& v = m->vertices[i];
      v.x -= BOLT_SHIFT_X[k];
      v.y *= BOLT_STRETCH;
      v.red = static_cast<uint8_t>(colour);
      v.green = static_cast<uint8_t>(colour >> 8);
      v.blue = static_cast<uint8_t>(colour >> 16);
    }
    // The row's heights come from the model as loaded for this race, never
    // from the last race's: stretched again at every load they would grow.
    if (!m->vertices || m->vertexCount == 0) continue;
    ObjectType& row = gObjectTypes[WEATHER_ROW_BOLT + k];
    row.minY = row.maxY = m->vertices[0].y;
    for (uint32_t i = 1; i < m->vertexCount; ++i) {
      if (m->vertices[i].y < row.minY) row.minY = m->vertices[i].y;
      if (m->vertices[i].y > row.maxY) row.maxY = m->vertices[i].y;
    }
  }
  gWeather.lightning = 0;
}

void WeatherStartLightning() {
  WeatherState& w = gWeather;
  const int32_t heading = gCamera.heading;
  const float s = MathSin(heading), c = MathCos(heading);
  const float side = static_cast<float>(RandNext() % 20000);
  w.boltX = gCamera.x + s * BOLT_AHEAD + c * side;
  w.boltZ = gCamera.z + c * BOLT_AHEAD - s * side;
  const int32_t copy = WeatherNextCopy(SFX_THUNDER, &w.thunderCopy);
  const int32_t slot = SfxPlayEffectCopyAt(SFX_THUNDER, w.boltX, gCamera.y, w.boltZ, copy);
  const int32_t lower = (RandNext() & 15) * 10;
  if (slot) SfxSetSlotFrequency(slot, -lower);
  float ground = TerrainHeightAt(w.boltX, w.boltZ);
  if (ground == 0.0f) ground = BOLT_BARE_GROUND;
  if (ground < gRace.waterLevel) ground = gRace.waterLevel;
  w.boltY = ground + BOLT_ABOVE;
  w.flashTime = static_cast<float>((RandNext() & 3) + 10);
  w.toCameraX = gCamera.x - w.boltX;
  w.toCameraY = (gCamera.y - w.boltY) * 10.0f;
  w.toCameraZ = gCamera.z - w.boltZ;
  w.lightning = 1;
}

void WeatherDrawBolt() {
  WeatherState& w = gWeather;
  const bool effects = WeatherEffectsOn();
  const int32_t k = RandNext() & (WEATHER_BOLT_MODELS - 1);
  const uint32_t alpha = static_cast<uint32_t>((RandNext() & 63) + 30);
  MeshHeader* m = BoltModel(k);
  if (m && m->faces) {
    static DrawSlot bolt;
    bolt = DrawSlot{};
    bolt.x = w.boltX;
    bolt.y = w.boltY;
    bolt.z = w.boltZ;
    WeatherViewOf(&bolt);
    m->angle[1] = MathAngleTo(w.boltZ, w.boltX, gCamera.z, gCamera.x);
    RdrSetAlphaSourceColour(0, 0, 0, 1);
    RdrSetDepthRange(BOLT_NEAR, BOLT_FAR);
    if (effects) RdrFogOff();
    // The face words carry the bolt's translucency for the one draw.
    for (uint32_t f = 0; f < m->faceCount; ++f) m->faces[f].type = alpha;
    RdrDrawObjectYawVColour(&bolt, m);
    const uint32_t colour = BoltColour(k);
    for (uint32_t f = 0; f < m->faceCount; ++f) m->faces[f].type = colour;
    RdrSetDepthRange(NEAR_PLANE, TruncI32(gRace.viewDistance));
    if (effects) RdrFogOn();
    RdrResetAlphaSource();
  }
  if (const Vertex* p = WeatherScratchPoint(w.boltX, w.boltY, w.boltZ)) {
    w.boltScreenX = TruncI32(p->screenX);
    w.boltScreenY = TruncI32(p->screenY);
  }
  if (RaceViewAdvances()) {
    w.flashTime -= gRace.timeStep;
    if (w.flashTime < 0.0f) w.lightning = 0;
  }
}

void WeatherDrawLightning() {
  const WeatherState& w = gWeather;
  const uint32_t sky = gRace.trackTextures[TRACK_TEX_SKY];
  if (!w.lightning) {
    RdrDrawGroundStrip(sky, SKY_HEIGHT, SKY_TEXEL, 0);
    GridSetLight(500.0f, -400.0f, 500.0f, 64.0f, 30.0f);
    return;
  }
  const int32_t r = RandNext() & 63;
  LightSetColour(249 - r, 249 - r, 227 - r);
  RdrColourLightOn();
  RdrDrawGroundStripAdd(sky, SKY_HEIGHT, SKY_TEXEL, 0, static_cast<float>(w.boltScreenX),
                        static_cast<float>(w.boltScreenY));
  LightSetColour(gRace.lightColour[0], gRace.lightColour[1], gRace.lightColour[2]);
  RdrColourLightOff();
  const float intensity = static_cast<float>((RandNext() & 63) + 64);
  const float ambient = static_cast<float>((RandNext() & 15) + 10);
  GridSetLight(w.toCameraX, w.toCameraY, w.toCameraZ, intensity, ambient);
}
