// The night sky: the star field the same in every race, its colours from the
// view's fog, its drawing, and the moon only in front of the camera.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine3d/random.h"
#include "frontend/frontend.h"
#include "presentation/presentation.h"
#include "presentation/weather.h"
#include "race/object_types.h"
#include "race/race.h"
#include "weather_fixture.h"

namespace {

void Fog(int32_t r, int32_t g, int32_t b) {
  gRace.clearColour[0] = r;
  gRace.clearColour[1] = g;
  gRace.clearColour[2] = b;
}

std::vector<std::string> Names() {
  std::vector<std::string> out;
  for (const WeatherCall& c : gWeatherCalls) out.push_back(c.name);
  return out;
}

TEST_F(WeatherTest, TheStarFieldIsTheSameInEveryRace) {
  Fog(40, 50, 60);
  WeatherBuildSkyPoints();
  std::vector<Vertex> first(gWeatherParticles[0], gWeatherParticles[0] + WEATHER_STARS);
  RandSetIndex(1234);
  for (int i = 0; i < 77; ++i) RandNext();
  for (Vertex& v : gWeatherParticles[0]) v = Vertex{};
  WeatherBuildSkyPoints();
  EXPECT_EQ(std::memcmp(first.data(), gWeatherParticles[0], sizeof(Vertex) * WEATHER_STARS), 0);
  // High and far: at least 6000 from the middle of the world.
  for (const Vertex& s : first) {
    EXPECT_GE(+s.y, -62000.0f);
    EXPECT_LT(+s.y, 58000.0f);
    const float dx = s.x - 8000.0f, dz = s.z - 4000.0f;
    EXPECT_GT(dx * dx + dz * dz, 5999.0f * 5999.0f);
  }
}

TEST_F(WeatherTest, TheStarsTakeTheirColoursFromTheFog) {
  struct Case {
    int32_t fog[3];
    bool red, green, blue;  // the channel shows the star's grey level, else it is black
  } cases[] = {{{0, 0, 0}, false, false, false}, {{255, 255, 255}, true, true, true}, {{0, 255, 0}, false, true, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fog[1]);
    Fog(c.fog[0], c.fog[1], c.fog[2]);
    WeatherBuildSkyPoints();
    for (int i = 0; i < WEATHER_STARS; ++i) {
      const Vertex& s = gWeatherParticles[0][i];
      const int grey = c.red ? s.red : c.green ? s.green : s.blue;
      if (c.red || c.green || c.blue) {
        ASSERT_GE(grey, 73) << i;
        ASSERT_LE(grey, 200) << i;
      }
      ASSERT_EQ(+s.red, c.red ? grey : 0) << i;
      ASSERT_EQ(+s.green, c.green ? grey : 0) << i;
      ASSERT_EQ(+s.blue, c.blue ? grey : 0) << i;
    }
  }
  // A dim fog darkens the far stars more than the near ones.
  Fog(16, 16, 16);
  WeatherBuildSkyPoints();
  int dimmed = 0;
  for (int i = 0; i < WEATHER_STARS; ++i) dimmed += gWeatherParticles[0][i].red < 73;
  EXPECT_GT(dimmed, 0);
}

TEST_F(WeatherTest, StarsInFrontAreDrawnAsPointsAtDepth1000WithoutDepthTestOrFog) {
  struct Case {
    uint8_t effects;
    std::vector<std::string> brackets;
  } cases[] = {{1, {"DepthOff", "FogOff", "DepthOn", "FogOn"}}, {0, {"DepthOff", "DepthOn"}}};
  Fog(255, 255, 255);
  WeatherBuildSkyPoints();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.effects);
    gOptions.detail[3] = c.effects;
    gWeatherCalls.clear();
    WeatherDrawSkyPoints();
    int inFront = 0;
    for (int i = 0; i < WEATHER_STARS; ++i) inFront += gWeatherParticles[0][i].z > 5.0f;  // the camera looks along +z
    std::vector<std::string> brackets;
    int points = 0;
    for (const WeatherCall& call : gWeatherCalls) {
      if (call.name == "Point") {
        ++points;
        EXPECT_EQ(call.args[2], 1000.0f);
      } else {
        brackets.push_back(call.name);
      }
    }
    EXPECT_EQ(points, inFront);
    EXPECT_GT(points, 100);
    EXPECT_EQ(brackets, c.brackets);
  }
}

TEST_F(WeatherTest, TheMoonIsDrawnOnlyInFrontOfTheCamera) {
  gObjectModels[WEATHER_ROW_MOON] = Model(0);
  struct Case {
    float heading;
    bool drawn;
  } cases[] = {{0.0f, true}, {768.0f, true}, {512.0f, false}, {256.0f, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.heading);
    Camera camera{0.0f, 0.0f, 0.0f, 0.0f, c.heading, 0.0f};
    CamSet(&camera);
    MatViewFromCamera();
    const LightState before = gLight;
    gWeatherCalls.clear();
    WeatherDrawMoon();
    if (!c.drawn) {
      EXPECT_TRUE(gWeatherCalls.empty());
      continue;
    }
    EXPECT_EQ(Names(), (std::vector<std::string>{"FogOff", "DepthRange", "YawLitAnyDepth", "DepthRange", "FogOn"}));
    EXPECT_EQ(gWeatherCalls[1].args[1], 100000.0f);
    EXPECT_EQ(gWeatherCalls[3].args[1], 1700.0f);
    const WeatherCall& moon = gWeatherCalls[2];
    EXPECT_EQ(moon.args, (std::vector<float>{-60000.0f, 20000.0f, 10000.0f}));
    EXPECT_EQ(moon.yaw, 768);
    // The track's light is back.
    EXPECT_EQ(gLight.directionX, before.directionX);
    EXPECT_EQ(gLight.directionY, before.directionY);
    EXPECT_EQ(gLight.intensity, before.intensity);
    EXPECT_EQ(gLight.ambient, before.ambient);
  }
}

}  // namespace
