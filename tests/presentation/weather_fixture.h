// Shared by the weather suites: the software back end open at 320 x 200 with
// the world pools and the dynamic list, the effects option on, the camera at
// the origin looking along +z (a point at z = d has view depth d), no
// terrain (the ground is 0 everywhere), and a log of the draw, light, sound,
// smoke and respawn calls the weather makes (weather_log.cpp; the draw and
// state calls are passed on, so the pixels are the real rasterizer's).
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine3d/camera.h"
#include "engine3d/mesh.h"
#include "presentation/weather.h"

struct WeatherCall {
  // "Flat", "PointInside", "Point", "Line", "TexAlpha", "VColour", "Yaw",
  // "YawLitAnyDepth", "Strip", "StripAdd", "GridLight", "LightColour",
  // "ColourOn", "ColourOff", "FogOn", "FogOff", "DepthOn", "DepthOff",
  // "DepthRange", "Loop", "Stop", "Play", "PlayCopy", "Move", "Frequency",
  // "Smoke", "Respawn".
  std::string name;
  std::vector<float> args;
  uint32_t word = 0;       // a face's type word, a vertex's colour (red low)
  uint16_t yaw = 0;        // an object's yaw at the draw
  const void* what = nullptr;  // the vehicle put back
};
extern std::vector<WeatherCall> gWeatherCalls;
// What the wrapped SfxPlayEffectCopyAt hands back.
extern int32_t gWeatherSoundSlot;

int CountCalls(const std::string& name);
const WeatherCall* FirstCall(const std::string& name);

class WeatherTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // A model of one upright quad, 20 wide and 100 high, in flat colour.
  MeshHeader* Model(int i);
  // Every particle of both views moved to the point.
  void PlaceParticles(float x, float y, float z);

  MeshHeader models_[6]{};
  Vertex vertices_[6][4]{};
  Face faces_[6][1]{};
};
