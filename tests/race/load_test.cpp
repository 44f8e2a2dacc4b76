// The stand-in race load on the data kit's files: the per-track values, the
// terrain on the shared grid, the textures, the view behind the start and
// the countdown.
#include <unistd.h>

#include "engine3d/grid.h"
#include "engine3d/terrain.h"
#include "platform/app.h"
#include "presentation/messages.h"
#include "presentation/text.h"
#include "race/race.h"
#include "race/terrain_table.h"
#include "race/tracks.h"
#include "race_fixture.h"
#include "tools/datakit/lib/boot_set.h"

namespace {

class Load : public RaceTest {
 protected:
  void SetUp() override {
    RaceTest::SetUp();
    char here[4096];
    ASSERT_NE(::getcwd(here, sizeof here), nullptr);
    home_ = here;
    std::string error;
    ASSERT_TRUE(datakit::WriteLooseFiles(datakit::BootLooseFiles(), dir_.path().string(), &error)) << error;
    ASSERT_EQ(::chdir(dir_.path().c_str()), 0);
    ASSERT_EQ(GridCreate(640, 25, 1, 12), 1);
  }
  void TearDown() override {
    RaceTest::TearDown();
    ASSERT_EQ(::chdir(home_.c_str()), 0);
  }
  TempDir dir_;
  std::string home_;
};

TEST_F(Load, EveryTrackLoadsOnTheSharedGrid) {
  for (int32_t track = 0; track < TRACK_COUNT; ++track) {
    SCOPED_TRACE(track);
    RaceLoad(track);
    EXPECT_EQ(gRace.trackIndex, track);
    EXPECT_EQ(gMesh.vertexCount, 161 * 81);
    EXPECT_EQ(gMesh.faceCount, 2 * 160 * 80);
    EXPECT_FLOAT_EQ(gTrackTerrains[track].extentX, 16000.0f);
    EXPECT_FLOAT_EQ(gTrackTerrains[track].extentZ, 8000.0f);
    // The tracks with water dip below it; the others stay above ground level.
    const float water = gTrackInfo[track].waterLevel;
    if (water > NO_WATER_LEVEL) {
      EXPECT_LT(gTrackTerrains[track].lowest, water);
    }
    EXPECT_EQ(gRace.lapCount, TRACK_ENVIRONMENT[track].laps);
    EXPECT_EQ(gRace.timeLimit, TRACK_ENVIRONMENT[track].timeLimitMs);
    EXPECT_FLOAT_EQ(gRace.waterLevel, water);
  }
  EXPECT_TRUE(gFatalErrors.empty());
}

TEST_F(Load, TheDesertRaceStartsWithItsValuesTexturesViewAndCountdown) {
  gRace.debugMode = 1;
  gRace.gameMode = 1;
  gRace.raceFinished = gRace.raceLeft = gRace.raceStarted = 1;
  gRace.tickClock = 55.0f;
  gRaceClock.displayAverage = 33.0f;
  RaceLoad(TRACK_DESERT);
  EXPECT_EQ(gRace.raceFinished | gRace.raceLeft | gRace.raceStarted, 0);
  EXPECT_FLOAT_EQ(gRace.tickClock, 0.0f);
  EXPECT_FLOAT_EQ(gRaceClock.displayAverage, 33.0f);
  EXPECT_EQ(gRace.lapCount, 1);  // debug mode
  EXPECT_EQ(gRace.clearColour[0], 99);
  EXPECT_EQ(gRace.horizonColour[2], 255);
  EXPECT_EQ(gRace.particleColourB[0], 200);
  EXPECT_EQ(gRace.particleAlphaAShifted, 100 << 8);
  EXPECT_EQ(gRace.lightColour[1], 255);
  EXPECT_FLOAT_EQ(gRace.viewDistance, 1700.0f);
  EXPECT_FLOAT_EQ(gRace.waterLevel, -10000.0f);
  // terplan first, then the sky list's loaded entries in order; sky.3df is not loaded.
  EXPECT_EQ(gRace.groundTexture, 0u);
  EXPECT_EQ(gRace.trackTextures[0], 0u);
  EXPECT_EQ(gRace.trackTextures[1], 1u);
  EXPECT_EQ(gRace.trackTextures[2], 2u);
  EXPECT_EQ(gRace.trackTextures[3], 3u);
  EXPECT_EQ(gRace.trackTextures[4], 4u);
  EXPECT_EQ(HudFont.letterTexture, 2u);
  EXPECT_EQ(HudFont.digitTexture, 3u);
  EXPECT_EQ(gMesh.faces[0].type & 0xFFFFFF, gRace.groundTexture);
  // The first view behind the grid, facing the start heading (+x on the desert).
  const Camera& c = *gRace.gViewCamera[0];
  EXPECT_FLOAT_EQ(c.heading, 256.0f);
  EXPECT_LT(c.x, 780.0f);
  EXPECT_NEAR(c.z, 6620.0f, 0.01f);
  EXPECT_GT(c.y, TerrainHeightAt(c.x, c.z));
  EXPECT_EQ(gVehicleTable[5], &gPlayer1);
  EXPECT_FLOAT_EQ(gPlayer1.pose.x, 780.0f - 53.0f * 2);
  EXPECT_EQ(gPlayer1.lapTimerSlot, 17);
  // The countdown runs; the race clock was started.
  EXPECT_EQ(gHudMessages.global.number, HUD_MSG_READY);
  EXPECT_EQ(gHudMessages.global.duration, 5000);
  EXPECT_EQ(AppTimerElapsed(1), 0u);
  EXPECT_TRUE(gFatalErrors.empty());
}

TEST_F(Load, ANetworkRaceNeverRunsAsTraining) {
  gRace.networkGame = 1;
  gRace.gameMode = 0;
  RaceLoad(TRACK_ICE);
  EXPECT_EQ(gRace.gameMode, 4);
}

}  // namespace
