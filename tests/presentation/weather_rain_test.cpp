// Rain on the mud track: its cycle, how many drops it draws, the lightning's
// start, the strike, the four bolt models and the flash of sky and ground.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "backend_common/display.h"
#include "engine3d/random.h"
#include "presentation/presentation.h"
#include "presentation/weather.h"
#include "race/object_types.h"
#include "race/race.h"
#include "race/tracks.h"
#include "support/gfx_recorder.h"
#include "weather_fixture.h"

namespace {

constexpr float DROP_Y = 20.0f, DROP_Z = 300.0f;  // every drop here is on screen

int32_t Peek(int32_t ahead) { return RandAt(static_cast<int32_t>(gRandom.index) + 1 + ahead); }

void RainAt(float intensity, uint8_t rising, float target) {
  gWeather.rainIntensity = intensity;
  gWeather.rising = rising;
  gWeather.target = target;
}

TEST_F(WeatherTest, RainFromItsStartFallsFirstAfter750Ticks) {
  WeatherResetRain();
  EXPECT_EQ(gWeather.rainIntensity, -750.0f);
  EXPECT_EQ(gWeather.rising, 1);
  EXPECT_GE(gWeather.target, 2000.0f);
  EXPECT_LE(gWeather.target, 3023.0f);
  PlaceParticles(0.0f, DROP_Y, DROP_Z);
  for (int tick = 0; tick < 750; ++tick) WeatherStepRain();
  EXPECT_EQ(CountCalls("Line"), 0);
  EXPECT_EQ(CountCalls("Loop"), 0);
  EXPECT_EQ(CountCalls("Stop"), 750);
  WeatherStepRain();
  EXPECT_EQ(CountCalls("Line"), 1);
  ASSERT_EQ(CountCalls("Loop"), 1);
  EXPECT_EQ(FirstCall("Loop")->args, (std::vector<float>{7.0f, 0.0f, 0.0f, 0.0f}));
}

TEST_F(WeatherTest, RainDrawsAsManyDropsAsItsIntensityAndNeverMoreThan1000) {
  struct Case {
    float intensity;
    int lines;
  } cases[] = {{10.7f, 10}, {999.9f, 999}, {1000.0f, 1000}, {5000.0f, 1000}};
  gRace.timeStep = 0.0f;  // the drops stand where they are put
  for (const Case& c : cases) {
    SCOPED_TRACE(c.intensity);
    PlaceParticles(0.0f, DROP_Y, DROP_Z);
    RainAt(c.intensity, 1, 9000.0f);
    gWeatherCalls.clear();
    WeatherStepRain();
    EXPECT_EQ(CountCalls("Line"), c.lines);
    const WeatherCall* line = FirstCall("Line");
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->word, 0x303030u);
    // The streak runs from the drop to the point 8 along x and 30 below.
    EXPECT_EQ(line->args, (std::vector<float>{0.0f, DROP_Y, DROP_Z, 8.0f, DROP_Y - 30.0f, DROP_Z}));
  }
}

TEST_F(WeatherTest, RainAtIntensityZeroIsSilentDrawsNothingAndStopsTheLightning) {
  struct Case {
    float intensity, step;
  } cases[] = {{0.5f, 1.0f}, {0.0f, 0.0f}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.intensity);
    PlaceParticles(0.0f, DROP_Y, DROP_Z);
    gRace.timeStep = c.step;
    RainAt(c.intensity, 0, 600.0f);
    gWeather.lightning = 1;
    gWeather.flashTime = 10.0f;
    gWeatherCalls.clear();
    WeatherStepRain();
    EXPECT_EQ(gWeather.lightning, 0);
    EXPECT_EQ(CountCalls("Line"), 0);
    EXPECT_EQ(CountCalls("VColour"), 0);
    EXPECT_EQ(CountCalls("Loop"), 0);
    ASSERT_EQ(CountCalls("Stop"), 1);
    EXPECT_EQ(FirstCall("Stop")->args[0], 7.0f);
  }
}

TEST_F(WeatherTest, RainSwellsPastItsTargetThenFadesTwiceAsFastToMinusTheNext) {
  RainAt(99.5f, 1, 100.0f);
  WeatherStepRain();
  EXPECT_EQ(gWeather.rainIntensity, 100.5f);
  EXPECT_EQ(gWeather.rising, 0);
  EXPECT_GE(gWeather.target, 500.0f);
  EXPECT_LE(gWeather.target, 1011.0f);
  const float fadeTo = gWeather.target;
  gWeather.rainIntensity = -fadeTo + 1.5f;
  WeatherStepRain();
  EXPECT_EQ(gWeather.rainIntensity, -fadeTo - 0.5f);
  EXPECT_EQ(gWeather.rising, 1);
  EXPECT_GE(gWeather.target, 2000.0f);
  EXPECT_LE(gWeather.target, 3023.0f);
  // Only the first view moves the cycle.
  gRace.viewIndex = 1;
  const float before = gWeather.rainIntensity;
  WeatherStepRain();
  EXPECT_EQ(gWeather.rainIntensity, before);
}

TEST_F(WeatherTest, LightningStartsOnlyOnEveryFourthTickAndOneTimeIn32) {
  PlaceParticles(0.0f, DROP_Y, DROP_Z);
  gRace.timeStep = 0.0f;
  RainAt(1.5f, 1, 9000.0f);  // one drop, which draws no random number
  int strikes = 0;
  for (int32_t tick = 0; tick < 4000; ++tick) {
    gRace.ticks = tick;
    gRace.tickPassed = tick % 7 != 3;
    const bool expected = gRace.tickPassed && tick % 4 == 0 && (Peek(0) & 31) == 0;
    gWeather.lightning = 0;
    WeatherStepRain();
    ASSERT_EQ(gWeather.lightning != 0, expected) << "tick " << tick;
    strikes += expected;
  }
  EXPECT_GT(strikes, 5);
  // With a strike running none starts.
  gWeather.lightning = 1;
  gWeather.flashTime = 5.0f;
  gRace.ticks = 0;
  gRace.tickPassed = 1;
  const uint32_t index = gRandom.index;
  WeatherStepRain();
  EXPECT_EQ(gWeather.flashTime, 5.0f);
  EXPECT_EQ(gRandom.index, index + 2);  // the bolt drawn: its model and its alpha
}

TEST_F(WeatherTest, AStrikeStandsFarAheadWithItsThunderAndAFlashOf10To13Ticks) {
  struct Case {
    float water, boltY;
  } cases[] = {{NO_WATER_LEVEL, 1500.0f}, {1200.0f, 1700.0f}};
  gWeatherSoundSlot = 9;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.water);
    gRace.waterLevel = c.water;
    gWeatherCalls.clear();
    const int32_t side = Peek(0) % 20000, pitch = (Peek(1) & 15) * 10, flash = (Peek(2) & 3) + 10;
    WeatherStartLightning();
    EXPECT_EQ(gWeather.lightning, 1);
    // The camera looks along +z: the bolt is 10000 ahead, its offset across.
    EXPECT_EQ(gWeather.boltX, static_cast<float>(side));
    EXPECT_EQ(gWeather.boltZ, 10000.0f);
    EXPECT_EQ(gWeather.boltY, c.boltY);  // bare ground counts as 1000, the water as at least its level
    EXPECT_EQ(gWeather.flashTime, static_cast<float>(flash));
    EXPECT_EQ(gWeather.toCameraY, -c.boltY * 10.0f);
    EXPECT_EQ(gWeather.toCameraZ, -10000.0f);
    ASSERT_NE(FirstCall("PlayCopy"), nullptr);
    EXPECT_EQ(FirstCall("PlayCopy")->args[0], 6.0f);
    ASSERT_NE(FirstCall("Frequency"), nullptr);
    EXPECT_EQ(FirstCall("Frequency")->args, (std::vector<float>{9.0f, static_cast<float>(-pitch)}));
  }
}

constexpr uint32_t BOLT_COLOURS[4] = {0xE3F9F9, 0xD1E7E7, 0xBFD5D5, 0xADC3C3};

// Each load of the mud track loads the bolt models afresh (0..100 high) and
// prepares them again: the rows' heights follow the stretched model, 0..150,
// at every load, whatever the rows held before.
TEST_F(WeatherTest, TheFourBoltModelsTakeTheirColoursOffsetsAndHeights) {
  const float shifted[4] = {-10.0f, 490.0f, -1510.0f, -760.0f};
  for (int k = 0; k < 4; ++k) {
    gObjectTypes[WEATHER_ROW_BOLT + k].minY = -4.0f;
    gObjectTypes[WEATHER_ROW_BOLT + k].maxY = 100.0f;
  }
  for (int load = 0; load < 3; ++load) {
    for (int k = 0; k < 4; ++k) gObjectModels[WEATHER_ROW_BOLT + k] = Model(k);
    gWeather.lightning = 1;
    WeatherPrepareBolts();
  }
  EXPECT_EQ(gWeather.lightning, 0);
  for (int k = 0; k < 4; ++k) {
    SCOPED_TRACE(k);
    const MeshHeader* m = gObjectModels[WEATHER_ROW_BOLT + k];
    EXPECT_EQ(+m->faces[0].type, BOLT_COLOURS[k]);
    EXPECT_EQ(+m->vertices[0].x, shifted[k]);
    EXPECT_EQ(+m->vertices[2].y, 150.0f);
    EXPECT_EQ(gObjectTypes[WEATHER_ROW_BOLT + k].minY, 0.0f);
    EXPECT_EQ(gObjectTypes[WEATHER_ROW_BOLT + k].maxY, 150.0f);
    for (int i = 0; i < 4; ++i) {
      const Vertex& v = m->vertices[i];
      EXPECT_EQ(v.red | v.green << 8 | v.blue << 16, static_cast<int>(BOLT_COLOURS[k]));
    }
  }
  EXPECT_EQ(+gObjectModels[WEATHER_ROW_BOLT]->vertices[0].red, 249);
  EXPECT_EQ(+gObjectModels[WEATHER_ROW_BOLT + 3]->vertices[0].blue, 173);
}

// The landed vertex-colour object routine takes a face's colour from its
// first vertex and its alpha from its face word: the bolt reaches the
// accelerator in its prepared colour with the alpha (random & 63) + 30.
TEST_F(WeatherTest, ABoltIsDrawnInItsPreparedColourWithAFlickeringAlpha) {
  for (int k = 0; k < 4; ++k) gObjectModels[WEATHER_ROW_BOLT + k] = Model(k);
  WeatherPrepareBolts();
  while ((Peek(0) & 3) != 0) RandNext();  // the unshifted first bolt
  const float alpha = static_cast<float>((Peek(1) & 63) + 30);
  gWeather.lightning = 1;
  gWeather.flashTime = 0.5f;
  gWeather.boltX = 0.0f;
  gWeather.boltY = -60.0f;
  gWeather.boltZ = 1000.0f;
  RecordStart();
  WeatherDrawBolt();
  const std::vector<GfxCall> calls = RecordStop();
  bool coloured = false;
  for (const std::string& t : CallTexts(calls)) coloured = coloured || t == "colour 0xe3f9f9";
  EXPECT_TRUE(coloured);
  const std::vector<GfxCall> draws = DrawCalls(calls);
  ASSERT_FALSE(draws.empty());
  for (const GfxCall& d : draws)
    for (const GfxVertex& v : d.vertices) EXPECT_EQ(v.a, alpha);
  // The model keeps its colour word; the far plane and the fog come back.
  EXPECT_EQ(+gObjectModels[WEATHER_ROW_BOLT]->faces[0].type, BOLT_COLOURS[0]);
  const WeatherCall* bolt = FirstCall("VColour");
  ASSERT_NE(bolt, nullptr);
  EXPECT_EQ(bolt->word, static_cast<uint32_t>(alpha));
  EXPECT_EQ(bolt->yaw, 512);  // turned to the camera behind it
  std::vector<std::string> order;
  for (const WeatherCall& c : gWeatherCalls)
    if (c.name != "VColour" || order.empty() || order.back() != "VColour") order.push_back(c.name);
  EXPECT_EQ(order, (std::vector<std::string>{"DepthRange", "FogOff", "VColour", "DepthRange", "FogOn"}));
  EXPECT_EQ(gWeatherCalls[0].args, (std::vector<float>{5.0f, 20000.0f}));
  EXPECT_EQ(gWeatherCalls.back().name, "FogOn");
  // The flash point is the bolt's foot on the screen; the flash runs out.
  EXPECT_EQ(gWeather.boltScreenX, gRdrState.screenWidth / 2);
  EXPECT_EQ(gWeather.lightning, 0);
}

// The layer plane switches the depth test off around itself.
void DropStripDepthCalls() {
  std::vector<WeatherCall> kept;
  for (const WeatherCall& c : gWeatherCalls)
    if (c.name != "DepthOff" && c.name != "DepthOn") kept.push_back(c);
  gWeatherCalls = kept;
}

TEST_F(WeatherTest, TheMudSkyIsPlainOrLitByTheFlashAroundTheBolt) {
  gRace.trackTextures[TRACK_TEX_SKY] = 77;
  gRace.lightColour[0] = 11;
  gRace.lightColour[1] = 12;
  gRace.lightColour[2] = 13;
  WeatherDrawLightning();
  DropStripDepthCalls();
  ASSERT_EQ(gWeatherCalls.size(), 2u);
  EXPECT_EQ(gWeatherCalls[0].name, "Strip");
  EXPECT_EQ(gWeatherCalls[0].word, 77u);
  EXPECT_EQ(gWeatherCalls[0].args, (std::vector<float>{50.0f, 1.0f, 0.0f}));
  EXPECT_EQ(gWeatherCalls[1].args, (std::vector<float>{500.0f, -400.0f, 500.0f, 64.0f, 30.0f}));

  gWeatherCalls.clear();
  gWeather.lightning = 1;
  gWeather.boltScreenX = 40;
  gWeather.boltScreenY = 30;
  gWeather.toCameraX = 1.0f;
  gWeather.toCameraY = -2.0f;
  gWeather.toCameraZ = 3.0f;
  const int32_t r = Peek(0) & 63, intensity = (Peek(1) & 63) + 64, ambient = (Peek(2) & 15) + 10;
  WeatherDrawLightning();
  DropStripDepthCalls();
  std::vector<std::string> names;
  for (const WeatherCall& c : gWeatherCalls) names.push_back(c.name);
  EXPECT_EQ(names, (std::vector<std::string>{"LightColour", "ColourOn", "StripAdd", "LightColour", "ColourOff",
                                             "GridLight"}));
  const float flash = static_cast<float>(249 - r);
  EXPECT_EQ(gWeatherCalls[0].args, (std::vector<float>{flash, flash, flash - 22.0f}));
  EXPECT_EQ(gWeatherCalls[2].args, (std::vector<float>{50.0f, 1.0f, 0.0f, 40.0f, 30.0f}));
  EXPECT_EQ(gWeatherCalls[3].args, (std::vector<float>{11.0f, 12.0f, 13.0f}));
  EXPECT_EQ(gWeatherCalls[5].args, (std::vector<float>{1.0f, -2.0f, 3.0f, static_cast<float>(intensity),
                                                       static_cast<float>(ambient)}));
}

}  // namespace
