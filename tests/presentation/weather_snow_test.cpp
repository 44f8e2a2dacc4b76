// Snow: the flakes of each view and their fall, how a flake is drawn by its
// size, and the drops that hit the lens.
#include <gtest/gtest.h>

#include <cmath>

#include "backend_common/display.h"
#include "engine3d/random.h"
#include "frontend/frontend.h"
#include "presentation/fx.h"
#include "presentation/presentation.h"
#include "presentation/weather.h"
#include "race/assets.h"
#include "race/race.h"
#include "weather_fixture.h"

namespace {

int32_t Peek(int32_t ahead) { return RandAt(static_cast<int32_t>(gRandom.index) + 1 + ahead); }

int LiveSprites() {
  int n = 0;
  for (const DrawSlot& s : gFxSpritePool) n += s.visible != FX_KIND_FREE;
  return n;
}

TEST_F(WeatherTest, EachViewsThousandFlakesFallAtTheirOwnSpeeds) {
  PlaceParticles(0.0f, 500.0f, -100.0f);  // behind the camera: not drawn
  gRace.timeStep = 2.0f;
  WeatherStepSnowfall();
  int moved = 0;
  for (int i = 0; i < WEATHER_PARTICLES; ++i) {
    const Vertex& f = gWeatherParticles[0][i];
    moved += f.y < 500.0f;
    EXPECT_FLOAT_EQ(+f.y, 500.0f - (5.0f + 0.01f * static_cast<float>(i)) * 2.0f) << i;
    // The drift across: (2 - (random & 3)) / 3 of a time step.
    const float drift = f.x / 2.0f * 3.0f;
    EXPECT_NEAR(drift, std::round(drift), 1e-4f) << i;
    EXPECT_TRUE(drift > -1.5f && drift < 2.5f) << i << " " << f.x;
  }
  EXPECT_EQ(moved, WEATHER_PARTICLES);
  EXPECT_EQ(+gWeatherParticles[1][0].y, 500.0f);
  EXPECT_EQ(CountCalls("Flat") + CountCalls("PointInside"), 0);
  gRace.viewIndex = 1;
  WeatherStepSnowfall();
  EXPECT_FLOAT_EQ(+gWeatherParticles[1][999].y, 500.0f - 14.99f * 2.0f);
  EXPECT_FLOAT_EQ(+gWeatherParticles[0][999].y, 500.0f - 14.99f * 2.0f);
}

TEST_F(WeatherTest, AFlakeSmallerThanTwoPixelsIsAPointAndALargerOneAQuad) {
  const float focal = gRdrState.scaleX;
  struct Case {
    float size;      // pixels: focal x 0.5 / depth
    float across;    // x as a share of the depth
    const char* call;
    uint32_t word;
  } cases[] = {{3.0f, 0.0f, "Flat", 0xC0C0C8}, {1.5f, 0.0f, "PointInside", 0xC8C0C0},
               {3.0f, 3.0f, nullptr, 0}, {1.5f, -3.0f, nullptr, 0}};
  gRace.timeStep = 0.0f;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.size);
    PlaceParticles(0.0f, 500.0f, -100.0f);
    const float depth = focal * 0.5f / c.size;
    Vertex& flake = gWeatherParticles[0][0];
    flake.x = c.across * depth;
    flake.y = 0.0f;
    flake.z = depth;
    gWeatherCalls.clear();
    WeatherStepSnowfall();
    if (!c.call) {
      EXPECT_EQ(CountCalls("Flat") + CountCalls("PointInside"), 0);
      continue;
    }
    ASSERT_EQ(CountCalls(c.call), 1);
    EXPECT_EQ(CountCalls("Flat") + CountCalls("PointInside"), 1);
    const WeatherCall& call = *FirstCall(c.call);
    EXPECT_EQ(call.word, c.word);
    if (call.name == "Flat") {
      const float cx = static_cast<float>(gRdrState.screenWidth / 2);
      EXPECT_NEAR(call.args[0], cx - c.size, 0.01f);
      EXPECT_NEAR(call.args[2], cx + c.size, 0.01f);
      EXPECT_EQ(call.args[4], 10.0f);
    }
  }
}

TEST_F(WeatherTest, OneLensDropCallInSixteenTakesASpriteOnTheScreen) {
  int expected = 0;
  for (int call = 0; call < 480; ++call) {
    const bool drop = (Peek(0) & 15) == 0;
    const int before = LiveSprites();
    WeatherAddLensDrop();
    ASSERT_EQ(LiveSprites(), before + (drop ? 1 : 0)) << call;
    expected += drop;
  }
  EXPECT_GT(expected, 15);
  for (const DrawSlot& s : gFxSpritePool) {
    if (s.visible == FX_KIND_FREE) continue;
    EXPECT_EQ(s.visible, 100);
    EXPECT_EQ(s.boxMinX, 0.0f);  // its age
    EXPECT_GE(s.x, 0.0f);
    EXPECT_LT(s.x, static_cast<float>(gRdrState.screenWidth));
    EXPECT_GE(s.y, 0.0f);
    EXPECT_LT(s.y, static_cast<float>(gRdrState.screenHeight));
    // (10 - (random & 7)) x 320 / 512 pixels.
    EXPECT_GE(s.boxMinY, 1.0f);
    EXPECT_LE(s.boxMinY, 6.0f);
  }
  // With the effects off (or the pool full) there is none.
  FxClearPools();
  gOptions.detail[3] = 0;
  for (int call = 0; call < 200; ++call) WeatherAddLensDrop();
  EXPECT_EQ(LiveSprites(), 0);
}

TEST_F(WeatherTest, ALensDropFadesAsItAgesInTheFirstViewAndEndsBeyond80) {
  Sprite bubble{0x04000000u | 21, 4.0f, 4.0f, 0, 0, 31, 31};
  gFxSprites[FX_SPRITE_BUBBLE] = &bubble;
  while ((Peek(0) & 15) != 0) RandNext();
  WeatherAddLensDrop();
  DrawSlot* drop = nullptr;
  for (DrawSlot& s : gFxSpritePool)
    if (s.visible != FX_KIND_FREE) drop = &s;
  ASSERT_NE(drop, nullptr);
  drop->x = 100.0f;
  drop->y = 50.0f;
  drop->boxMinY = 5.0f;
  drop->callback(drop, drop->owner);
  ASSERT_EQ(CountCalls("TexAlpha"), 1);
  const WeatherCall& face = *FirstCall("TexAlpha");
  EXPECT_EQ(face.word & 0xFFFFFF, 21u);  // the bubble's texture
  EXPECT_EQ(face.args, (std::vector<float>{95.0f, 45.0f, 105.0f, 55.0f, 76.0f * 255.0f / 80.0f, 255.0f, 255.0f}));
  gRace.viewIndex = 1;
  drop->callback(drop, drop->owner);
  EXPECT_EQ(drop->boxMinX, 4.0f);
  gRace.viewIndex = 0;
  for (int i = 0; i < 19; ++i) drop->callback(drop, drop->owner);
  EXPECT_EQ(drop->boxMinX, 80.0f);
  EXPECT_EQ(drop->visible, 100);
  drop->callback(drop, drop->owner);
  EXPECT_EQ(drop->visible, FX_KIND_FREE);
  EXPECT_EQ(CountCalls("TexAlpha"), 21);
}

TEST_F(WeatherTest, AFlakeBelowTheGroundComesBackAboveTheCamera) {
  Camera camera{1000.0f, 300.0f, 2000.0f, 0.0f, 0.0f, 0.0f};
  CamSet(&camera);
  MatViewFromCamera();
  PlaceParticles(0.0f, -1.0f, 0.0f);
  gRace.timeStep = 0.0f;
  WeatherStepSnowfall();
  for (int i = 0; i < WEATHER_PARTICLES; i += 111) {
    const Vertex& f = gWeatherParticles[0][i];
    EXPECT_EQ(+f.y, 1100.0f);
    EXPECT_LT(std::abs(f.x - 1000.0f), 2000.0f);
    EXPECT_LT(std::abs(f.z - 2000.0f), 2000.0f);
  }
}

}  // namespace
