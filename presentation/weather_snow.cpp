// Snow: a thousand flakes per view falling round the camera, the church bell
// of the snow track, and the flakes that hit the lens.
#include "backend_common/display.h"
#include "backend_common/draw.h"
#include "engine3d/mathutil.h"
#include "engine3d/random.h"
#include "engine3d/terrain.h"
#include "presentation/fx.h"
#include "presentation/presentation.h"
#include "presentation/quads.h"
#include "presentation/weather.h"
#include "presentation/weather_common.h"
#include "race/assets.h"

namespace {

constexpr int32_t SFX_BELL = 8;  // "clocher"
constexpr float SPAWN_ABOVE = 800.0f;
constexpr float FLAKE_NEAREST = 5.0f;
constexpr float FLAKE_DEPTH = 10.0f;
constexpr uint32_t FLAKE_FACE_COLOUR = 0xC0C0C8;  // red 200, green and blue 192
constexpr float LENS_DEPTH = 10.0f;
constexpr float LENS_AGE_RATE = 4.0f, LENS_AGE_END = 80.0f;
constexpr float LENS_TEXELS = 255.0f;

float& LensAge(DrawSlot* s) { return FxW1(s); }
float& LensHalfSize(DrawSlot* s) { return FxW2(s); }

}  // namespace

void WeatherStepSnowfall() {
  const bool first = RaceViewAdvances();
  if (first) {
    float x, y, z;
    if (DecorBellPosition(&x, &y, &z)) SfxLoopEffectAt(SFX_BELL, x, y, z);
  }
  Vertex* flakes = gWeatherParticles[first ? 0 : 1];
  const float t = gRace.timeStep;
  const float cx = gCamera.x, cy = gCamera.y, cz = gCamera.z;
  for (int32_t i = 0; i < WEATHER_PARTICLES; ++i) {
    Vertex& f = flakes[i];
    if (f.y < TerrainHeightAt(f.x, f.z)) {
      f.x = cx + static_cast<float>(RandNext() % 2000);
      f.z = cz + static_cast<float>(RandNext() % 2000);
      f.y = cy + SPAWN_ABOVE;
      if (gRace.tickPassed && (gRace.ticks & 1)) WeatherAddLensDrop();
    }
    RdrProjectVertex(&f);
    if (f.viewZ > FLAKE_NEAREST && f.viewZ < gRace.viewDistance) WeatherDrawFlake(&f);
    f.y -= (5.0f + 0.01f * static_cast<float>(i)) * t;
    f.x += static_cast<float>(2 - (RandNext() & 3)) / 3.0f * t;
  }
  if (first && gRace.frameRate > 0.0f) DecorSetSkierPace(100000.0f / (gRace.frameRate * 3600.0f));
}

void WeatherDrawFlake(Vertex* flake) {
  const float x = flake->screenX, y = flake->screenY;
  const float top = static_cast<float>(gRace.viewTop), bottom = static_cast<float>(gRace.viewTop + gRace.viewHeight);
  if (x < 0.0f || x > static_cast<float>(gRdrState.screenWidth) || y < top || y > bottom) return;
  const float s = gRdrState.scaleX * 0.5f / flake->viewZ;
  if (s >= 2.0f) {
    Face* f = QuadBuild(x - s, y - s, x + s, y + s, FLAKE_DEPTH);
    if (!f) return;
    f->type = FLAKE_FACE_COLOUR;
    RdrDrawFaceFlat(f);
    return;
  }
  flake->red = 192;
  flake->green = 192;
  flake->blue = 200;
  RdrDrawPointInside(flake);
}

void WeatherAddLensDrop() {
  if ((RandNext() & 15) != 0) return;
  const int32_t w = gRdrState.screenWidth, h = gRace.viewHeight;
  const int32_t x = w > 0 ? RandNextAbs() % w : 0;
  const int32_t y = gRace.viewTop + (h > 0 ? RandNextAbs() % h : 0);
  DrawSlot* s = FxAllocSprite(&gFxSpriteOwner, WeatherStepSnow, static_cast<float>(x), static_cast<float>(y), 0.0f);
  if (!s) return;
  s->visible = FX_KIND_SELF;
  LensAge(s) = 0.0f;
  LensHalfSize(s) = static_cast<float>((10 - (RandNext() & 7)) * w / 512);
}

// A drop on the lens: it fades as it ages and is gone at 80.
void WeatherStepSnow(DrawSlot* slot, void*) {
  if (RaceViewAdvances()) LensAge(slot) += LENS_AGE_RATE * gRace.timeStep;
  if (LensAge(slot) > LENS_AGE_END) {
    slot->visible = FX_KIND_FREE;
    return;
  }
  const Sprite* bubble = FX_SPRITE_BUBBLE < FX_SPRITES ? gFxSprites[FX_SPRITE_BUBBLE] : nullptr;
  if (!bubble) return;
  const float r = LensHalfSize(slot);
  Face* f = QuadBuild(slot->x - r, slot->y - r, slot->x + r, slot->y + r, LENS_DEPTH);
  if (!f) return;
  f->type = (bubble->type & 0xFFFFFF) | QUAD_PICTURE_TYPE;
  const float st[8] = {0.0f, 0.0f, LENS_TEXELS, 0.0f, LENS_TEXELS, LENS_TEXELS, 0.0f, LENS_TEXELS};
  QuadSetTexels(f, st);
  RdrDrawFaceTexAlpha(f, (LENS_AGE_END - LensAge(slot)) * (255.0f / LENS_AGE_END));
}
