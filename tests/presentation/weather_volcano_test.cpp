// The volcano: its smoke and rocks for the first 150 s, the landing points
// each taken once, the craters the rocks dig (none off the terrain), the
// rocks that stay as obstacles, and the crater check.
#include <gtest/gtest.h>

#include <vector>

#include "engine3d/random.h"
#include "engine3d/terrain.h"
#include "hal/clock.h"
#include "platform/app.h"
#include "presentation/fx.h"
#include "presentation/messages.h"
#include "presentation/presentation.h"
#include "presentation/weather.h"
#include "race/object_types.h"
#include "race/race.h"
#include "race/track_files.h"
#include "race/vehicle.h"
#include "weather_fixture.h"

namespace {

class VolcanoTest : public WeatherTest {
 protected:
  void SetUp() override {
    WeatherTest::SetUp();
    for (int k = 0; k < WEATHER_ROCK_MODELS; ++k) gObjectModels[WEATHER_ROW_ROCK + k] = Model(k);
    BuildTerrain();
    gPlacementCount = 0;
    AppTimerStart(RACE_CLOCK_TIMER);
  }
  void TearDown() override {
    TerrainForget();
    WeatherTest::TearDown();
  }
  // 2000 x 2000 units of flat ground at height 100, a vertex every 500.
  void BuildTerrain() {
    heights_.assign(25, 100);
    desc_ = TerrainDesc{};
    desc_.columns = 5;
    desc_.rows = 5;
    desc_.subdivisions = 1;
    desc_.heights = heights_.data();
    desc_.spacing = 500.0f;
    ASSERT_EQ(TerrainBuild(&desc_), 1);
  }
  void Targets(std::vector<TrajPoint> points) {
    gTrajectories[0] = Trajectory{};
    gTrajectories[0].count = static_cast<int32_t>(points.size());
    for (size_t i = 0; i < points.size(); ++i) gTrajectories[0].points[i] = points[i];
    WeatherResetVolcano();
  }
  // One step of the volcano on a tick that may throw.
  void Erupt(int32_t tick) {
    gRace.ticks = 4 * tick;
    gRace.tickPassed = 1;
    WeatherStepVolcano();
  }
  std::vector<DrawSlot*> Rocks() {
    std::vector<DrawSlot*> out;
    for (int32_t i = 0; i < gDrawLists.dynamicCapacity; ++i)
      if (gDrawLists.dynamics[i].inUse) out.push_back(&gDrawLists.dynamics[i]);
    return out;
  }
  // Rock k falling in burst record 0, one step from landing at (x, z).
  DrawSlot* FallingRock(int k, float x, float z, float spin = 10.7f) {
    DrawSlot* s = DrawListClaimDynamic(gObjectModels[WEATHER_ROW_ROCK + k], 0, WeatherStepVolcanoBurst, x, 300.0f, z);
    gWeather.bursts[0] = VolcanoBurst{1, 2, VOLCANO_NO_WHISTLE, 199.0f, spin};
    s->boxMinX = s->boxMaxX = x;
    s->boxMinZ = s->boxMaxZ = z;
    s->boxMinY = 1100.0f;
    s->boxMaxY = 80.0f;
    return s;
  }
  std::vector<float> Heights() const {
    std::vector<float> out;
    for (int32_t i = 0; i < gMesh.vertexCount; ++i) out.push_back(gMesh.vertices[i].y);
    return out;
  }

  std::vector<int16_t> heights_;
  TerrainDesc desc_{};
};

TEST_F(VolcanoTest, ItSmokesAndThrowsRocksOnlyForTheFirst150000Ms) {
  struct Case {
    uint32_t ms;
    bool erupts;
  } cases[] = {{0, true}, {150000, true}, {150001, false}};
  std::vector<WeatherCall> first;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.ms);
    Targets({{1000.0f, 1000.0f}, {1500.0f, 500.0f}, {500.0f, 1500.0f}});
    for (DrawSlot* s : Rocks()) DrawListRelease(s);
    AppTimerStart(RACE_CLOCK_TIMER);
    HalClockAdvance(c.ms);
    gWeatherCalls.clear();
    const uint32_t index = gRandom.index;
    for (int32_t tick = 0; tick < 100; ++tick) Erupt(tick);
    EXPECT_EQ(CountCalls("Smoke"), c.erupts ? 100 : 0);
    EXPECT_EQ(!Rocks().empty(), c.erupts);
    if (!c.erupts) {
      EXPECT_EQ(gRandom.index, index);
    }
    if (first.empty()) first = gWeatherCalls;
  }
  gWeatherCalls = first;
  ASSERT_NE(FirstCall("Smoke"), nullptr);
  const WeatherCall& puff = *FirstCall("Smoke");
  EXPECT_NEAR(puff.args[0], 8320.0f, 29.0f);
  EXPECT_GE(puff.args[1], 1400.0f);
  EXPECT_LE(puff.args[1], 1415.0f);
  EXPECT_NEAR(puff.args[2], 4472.0f, 29.0f);
  EXPECT_GE(puff.args[3], 50.0f);
  EXPECT_LE(puff.args[3], 57.0f);
  EXPECT_EQ(puff.args[4], 15.0f);
}

TEST_F(VolcanoTest, OnlyTheFirstViewOnANewFourthTickErupts) {
  Targets({{1000.0f, 1000.0f}});
  struct Case {
    uint8_t view, tickPassed;
    int32_t ticks;
  } cases[] = {{1, 1, 8}, {0, 0, 8}, {0, 1, 9}};
  for (const Case& c : cases) {
    gRace.viewIndex = c.view;
    gRace.tickPassed = c.tickPassed;
    gRace.ticks = c.ticks;
    WeatherStepVolcano();
  }
  EXPECT_EQ(CountCalls("Smoke"), 0);
}

TEST_F(VolcanoTest, ARockLandsOnAPointOnlyOnceAndWithEveryPointTakenNoneFlies) {
  Targets({{1050.0f, 1020.0f}});
  for (int32_t tick = 0; tick < 400; ++tick) {
    Erupt(tick);
    ASSERT_LE(Rocks().size(), 1u) << tick;
  }
  ASSERT_EQ(Rocks().size(), 1u);
  // Every throw sounds, the rocks dropped for a taken point too.
  EXPECT_GT(CountCalls("Play"), 1);
  for (const WeatherCall& c : gWeatherCalls) {
    if (c.name != "Play") continue;
    EXPECT_EQ(c.args, (std::vector<float>{41.0f, 8320.0f, 1800.0f, 4477.0f}));
  }
  EXPECT_EQ(gWeather.targets.points[0].x, VOLCANO_TARGET_USED);
  int inUse = 0;
  for (const VolcanoBurst& b : gWeather.bursts) inUse += b.inUse;
  EXPECT_EQ(inUse, 1);
  // It flies to the point's whole hundreds, 20 below the ground there.
  DrawSlot* rock = Rocks()[0];
  EXPECT_EQ(rock->boxMaxX, 1000.0f);
  EXPECT_EQ(rock->boxMaxZ, 1000.0f);
  EXPECT_EQ(rock->boxMaxY, 80.0f);
  EXPECT_EQ(rock->x, 8320.0f);
}

TEST_F(VolcanoTest, EachRockDigsItsCraterUnderTheNearestVertexAndRestsThere) {
  const float depth[6] = {60.0f, 40.0f, 20.0f, 60.0f, 20.0f, 40.0f};
  for (int k = 0; k < WEATHER_ROCK_MODELS; ++k) {
    SCOPED_TRACE(k);
    BuildTerrain();
    gPlacementCount = 0;
    for (DrawSlot* s : Rocks()) DrawListRelease(s);
    gWeatherCalls.clear();
    DrawSlot* rock = FallingRock(k, 1050.0f, 1020.0f);
    TerrainHeightAt(1050.0f, 1020.0f);
    Vertex* nearest = TerrainNearestVertex(1050.0f, 1020.0f);
    ASSERT_NE(nearest, nullptr);
    ASSERT_EQ(+nearest->x, 1000.0f);
    rock->callback(rock, rock->owner);
    EXPECT_EQ(+nearest->y, 100.0f - depth[k]);
    EXPECT_EQ(rock->visible, VOLCANO_ROCK_RESTING);
    EXPECT_EQ(rock->y, TerrainHeightAt(1050.0f, 1020.0f) - 20.0f);
    EXPECT_EQ(gWeather.bursts[0].inUse, 0);
    ASSERT_EQ(gPlacementCount, 1);
    EXPECT_EQ(+gPlacements[0].type, WEATHER_ROW_ROCK + k);
    EXPECT_EQ(+gPlacements[0].yaw, 60);  // its spin, turned on by 50 in the last step
    EXPECT_EQ(rock->user, 0u);
    EXPECT_EQ(CountCalls("Smoke"), 5);
    EXPECT_EQ(FirstCall("Smoke")->args[4], 5.0f);
    // The whistle started on its way down; the impact plays on its copy.
    std::vector<float> sounds;
    for (const WeatherCall& c : gWeatherCalls)
      if (c.name == "PlayCopy") sounds.push_back(c.args[0]);
    EXPECT_EQ(sounds, (std::vector<float>{43.0f, 44.0f}));
    // Resting, it is drawn at its placement's yaw.
    gWeatherCalls.clear();
    rock->callback(rock, rock->owner);
    ASSERT_EQ(CountCalls("Yaw"), 1);
    EXPECT_EQ(FirstCall("Yaw")->yaw, 60);
  }
}

TEST_F(VolcanoTest, RestingRocksBecomePlacementsUpTo900) {
  struct Case {
    int32_t before, after;
    bool kept;
  } cases[] = {{0, 1, true}, {899, 900, true}, {900, 900, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.before);
    for (DrawSlot* s : Rocks()) DrawListRelease(s);
    gPlacementCount = c.before;
    DrawSlot* rock = FallingRock(1, 1050.0f, 1020.0f);
    rock->callback(rock, rock->owner);
    EXPECT_EQ(gPlacementCount, c.after);
    EXPECT_EQ(rock->inUse != 0, c.kept);
    if (c.kept) {
      EXPECT_EQ(rock->user, static_cast<uintptr_t>(c.before));
      EXPECT_EQ(+gPlacements[c.before].type, WEATHER_ROW_ROCK + 1);
    }
  }
}

// A landing point beyond the terrain's edge: the rock rises, waits to be
// seen, falls whistling, and lands without digging (there is no vertex to
// lower); the grid, which does not reach there, refuses it.
TEST_F(VolcanoTest, ARockOnAPointOffTheTerrainDigsNoCrater) {
  Targets({{20000.0f, 9000.0f}});
  for (int32_t tick = 0; Rocks().empty() && tick < 400; ++tick) Erupt(tick);
  ASSERT_EQ(Rocks().size(), 1u);
  DrawSlot* rock = Rocks()[0];
  const std::vector<float> ground = Heights();
  const VolcanoBurst& burst = gWeather.bursts[rock->user];
  std::vector<int> phases;
  float waitedAt = 0.0f;
  int steps = 0;
  for (; rock->inUse && rock->visible != VOLCANO_ROCK_RESTING && steps < 500; ++steps) {
    rock->viewZ = steps < 60 ? 3000.0f : 1200.0f;  // out of sight, then as the pass finds it in sight
    rock->callback(rock, rock->owner);
    if (phases.empty() || phases.back() != burst.phase) phases.push_back(burst.phase);
    if (burst.phase == 1) waitedAt = rock->y;
  }
  EXPECT_LT(steps, 500);
  EXPECT_EQ(phases, (std::vector<int>{0, 1, 2, 0}));
  EXPECT_EQ(waitedAt, 1000.0f - 20.0f);  // 1000 above its target, 20 below the ground (0) there
  EXPECT_EQ(Heights(), ground);
  EXPECT_EQ(gPlacementCount, 0);
  EXPECT_EQ(rock->inUse, 0);
  EXPECT_EQ(CountCalls("Move") > 0, true);
  EXPECT_EQ(gWeather.bursts[0].inUse, 0);
}

TEST_F(VolcanoTest, ACarBelow2000InTheCraterBoxIsPutBack) {
  struct Case {
    float x, y, z;
    int32_t playersMode;
    int respawns;
  } cases[] = {
      {8300.0f, 1500.0f, 4400.0f, 0, 1}, {8300.0f, 2000.0f, 4400.0f, 0, 0}, {8075.0f, 1500.0f, 4400.0f, 0, 0},
      {8674.0f, 1500.0f, 4729.0f, 0, 1}, {8300.0f, 1500.0f, 4730.0f, 0, 0}, {8300.0f, 1500.0f, 4400.0f, 1, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.x);
    gWeatherCalls.clear();
    gPlayer1Vehicle->pose = Camera{c.x, c.y, c.z, 0.0f, 0.0f, 0.0f};
    gPlayer2Vehicle->pose = gPlayer1Vehicle->pose;
    gRace.playersMode = c.playersMode;
    WeatherCraterCheck();
    ASSERT_EQ(CountCalls("Respawn"), c.respawns);
    if (c.respawns) {
      EXPECT_EQ(FirstCall("Respawn")->what, gPlayer1Vehicle);
    }
  }
}

}  // namespace
