// The stand-in race load on the data kit's files: the per-track values, the
// terrain on the shared grid, the textures, the view behind the start and
// the countdown.
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "engine3d/grid.h"
#include "engine3d/instance.h"
#include "engine3d/random.h"
#include "frontend/frontend.h"
#include "race/vehicle_steps.h"
#include "engine3d/terrain.h"
#include "net/net.h"
#include "platform/app.h"
#include "presentation/messages.h"
#include "presentation/text.h"
#include "backend_common/texture.h"
#include "race/assets.h"
#include "race/object_types.h"
#include "race/race.h"
#include "race/track_files.h"
#include "race/terrain_table.h"
#include "race/tracks.h"
#include "race/traffic.h"
#include "race/trajectory.h"
#include "race_fixture.h"
#include "tools/datakit/lib/boot_set.h"
#include "tools/datakit/lib/track_kit.h"
#include "tools/datakit/lib/track_kit_decor.h"

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
    ASSERT_TRUE(datakit::WriteLooseFiles(datakit::BootArchiveFiles(), dir_.path().string(), &error)) << error;
    ASSERT_EQ(::chdir(dir_.path().c_str()), 0);
    ASSERT_EQ(GridCreate(640, 25, 1, 12), 1);
    // A previous test's models went with its memory.
    for (CarModel& row : gCarModels) row = CarModel{};
    gVehicleAssets = VehicleAssets{};
    for (Sprite*& sprite : gFxSprites) sprite = nullptr;
    gDriverFrames = nullptr;
  }
  void TearDown() override {
    RaceTest::TearDown();
    ASSERT_EQ(::chdir(home_.c_str()), 0);
  }
  TempDir dir_;
  std::string home_;
};

// Every track's terrain leaves the pools room for its whole water plane.
TEST_F(Load, EveryTracksWaterPlaneFitsThePools) {
  for (int32_t track = 0; track < TRACK_TERRAIN_COUNT; ++track) {
    const float level = gTrackInfo[track].waterLevel;
    if (level == NO_WATER_LEVEL) continue;
    SCOPED_TRACE(track);
    MeshPoolAllocVertices(MESH_POOL_VERTICES);
    MeshPoolAllocFaces(MESH_POOL_FACES);
    TerrainDesc d = gTrackTerrains[track];
    ASSERT_EQ(TerrainBuild(&d), 1);
    const int32_t faces = gMesh.faceCount;
    TerrainAddWaterPlane(level, 1);
    EXPECT_GT(+gMesh.faceCount, faces);
  }
}

TEST_F(Load, EveryTrackLoadsOnTheSharedGrid) {
  for (int32_t track = 0; track < TRACK_COUNT; ++track) {
    SCOPED_TRACE(track);
    RaceLoad(track);
    EXPECT_EQ(+gRace.trackIndex, track);
    // The grid, and the water plane on the tracks with water.
    EXPECT_GE(+gMesh.vertexCount, 161 * 81);
    EXPECT_GE(+gMesh.faceCount, 2 * 160 * 80);
    // The kit's tracks come from their mesh files,
    // the others from their terrain: all on the one grid.
    EXPECT_FLOAT_EQ(+gMesh.vertices[161 * 81 - 1].x, 16000.0f);
    EXPECT_FLOAT_EQ(+gMesh.vertices[161 * 81 - 1].z, 8000.0f);
    EXPECT_EQ(+gRace.trajectoriesLoaded, datakit::KitTrackByIndex(track) ? 1 : 0);
    // The tracks with water dip below it; the others stay above ground level.
    const float water = gTrackInfo[track].waterLevel;
    if (water > NO_WATER_LEVEL) {
      EXPECT_LT(+gTrackTerrains[track].lowest, water);
    }
    EXPECT_EQ(+gRace.lapCount, +TRACK_ENVIRONMENT[track].laps);
    EXPECT_EQ(+gRace.timeLimit, +TRACK_ENVIRONMENT[track].timeLimitMs);
    EXPECT_FLOAT_EQ(+gRace.waterLevel, water);
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
  EXPECT_FLOAT_EQ(+gRace.tickClock, 0.0f);
  EXPECT_FLOAT_EQ(+gRaceClock.displayAverage, 33.0f);
  EXPECT_EQ(+gRace.lapCount, 1);  // debug mode
  EXPECT_EQ(+gRace.clearColour[0], 99);
  EXPECT_EQ(+gRace.horizonColour[2], 255);
  EXPECT_EQ(+gRace.particleColourB[0], 200);
  EXPECT_EQ(+gRace.particleAlphaAShifted, 100 << 8);
  EXPECT_EQ(+gRace.lightColour[1], 255);
  EXPECT_FLOAT_EQ(+gRace.viewDistance, 1700.0f);
  EXPECT_FLOAT_EQ(+gRace.waterLevel, -10000.0f);
  // terplan and a1..a55 first, then the sky list's loaded entries in order;
  // sky.3df is not loaded.
  EXPECT_EQ(+gRace.groundTexture, 0u);
  EXPECT_EQ(+gTrackInfo[TRACK_DESERT].groundList[55].handle, 55u);
  EXPECT_EQ(+gRace.trackTextures[0], 0u);
  EXPECT_EQ(+gRace.trackTextures[1], 56u);
  EXPECT_EQ(+gRace.trackTextures[2], 57u);
  EXPECT_EQ(+gRace.trackTextures[3], 58u);
  EXPECT_EQ(+gRace.trackTextures[4], 59u);
  EXPECT_EQ(+HudFont.letterTexture, 57u);
  EXPECT_EQ(+HudFont.digitTexture, 58u);
  // The kit's desert: plain ground a1 and the course a3.
  for (int32_t i = 0; i < gMesh.faceCount; i += 501) {
    const uint32_t texture = gMesh.faces[i].type & 0xFFFFFF;
    EXPECT_TRUE(texture == 1u || texture == 3u) << texture;
  }
  // The first view behind the grid, facing the start heading (+x on the desert).
  const Camera& c = *gRace.gViewCamera[0];
  EXPECT_FLOAT_EQ(+c.heading, 256.0f);
  EXPECT_LT(+c.x, 780.0f);
  EXPECT_NEAR(+c.z, 6620.0f, 0.01f);
  EXPECT_GT(+c.y, TerrainHeightAt(c.x, c.z));
  // Player 1 leads the grid; the five computer cars stand behind it.
  EXPECT_EQ(+gVehicleTable[0], &gPlayer1);
  EXPECT_EQ(+gPlayer1.human, 1);
  EXPECT_FLOAT_EQ(+gPlayer1.pose.x, 780.0f);
  EXPECT_EQ(+gPlayer1.lapTimerSlot, 12);
  for (int slot = 1; slot < VEHICLE_TABLE_SLOTS; ++slot) {
    EXPECT_EQ(+gVehicleTable[slot], &gVehicleRecords[slot - 1]);
    EXPECT_EQ(+gVehicleRecords[slot - 1].type, slot);
    EXPECT_EQ(+gVehicleRecords[slot - 1].aiHeading, 256);
  }
  // The countdown runs; the race clock was started.
  EXPECT_EQ(+gHudMessages.global.number, HUD_MSG_READY);
  EXPECT_EQ(+gHudMessages.global.duration, 5000);
  EXPECT_EQ(AppTimerElapsed(1), 0u);
  EXPECT_TRUE(gFatalErrors.empty());
}

// The kit's ice track: its own mesh on a frozen lake at height 0, terice and
// j1..j30 then ice.3df, the sun and the fonts; the cars mirrored when the
// detail byte allows.
TEST_F(Load, TheIceRaceLoadsFromItsOwnFiles) {
  for (uint8_t reflections : {1, 0}) {
    SCOPED_TRACE(+reflections);
    gOptions.detail[2] = reflections;
    RaceLoad(TRACK_ICE);
    EXPECT_EQ(+gIceReflections, reflections);
    EXPECT_EQ(+gRace.trajectoriesLoaded, 1);
    EXPECT_EQ(+gTrackInfo[TRACK_ICE].groundList[30].handle, 30u);
    EXPECT_EQ(+gRace.trackTextures[0], 31u);  // the ice itself
    EXPECT_EQ(+gRace.trackTextures[4], 0u);   // susky.3df is not loaded
    // The course is see-through ice (drawn with the sky entry) over its bed.
    int32_t lake = 0, ice = 0;
    for (int32_t i = 0; i < gMesh.faceCount; ++i) {
      const uint32_t texture = gMesh.faces[i].type & 0xFFFFFF;
      if (gMesh.faces[i].type >> 24 == FACE_TRANSLUCENT) {
        ASSERT_EQ(texture, gRace.trackTextures[TRACK_TEX_SKY]);
        ++ice;
        continue;
      }
      ASSERT_TRUE(texture >= 1u && texture <= 3u) << texture;
      lake += texture == 1u;
    }
    EXPECT_GT(lake, 1000);
    EXPECT_GT(ice, 500);
    EXPECT_FLOAT_EQ(+gPlayer1.pose.x, 2241.0f);
    EXPECT_FLOAT_EQ(+gPlayer1.pose.z, 6041.0f);
    EXPECT_FLOAT_EQ(TerrainHeightAt(2241.0f, 6041.0f), 0.0f);
    EXPECT_GT(gPlacementCount, 0);
    EXPECT_TRUE(gFatalErrors.empty());
  }
}

// The kit's water track: terboue and c1..c53, then ora.3df (its water), the
// sun and the fonts; its own mesh with a pond whose water faces lie at the
// water level over ground below it, drawn see-through when the sky-and-fog
// option is on; a model for every row of the track, the pond's creature and
// the pig with their frames.
TEST_F(Load, TheBoueRaceLoadsItsListsModelsAndPond) {
  // As at the game's start: the ground queries then read the grid of any
  // track loaded from its mesh file.
  ASSERT_EQ(TerrainBuild(&gTrackTerrains[TRACK_DESERT]), 1);
  for (uint8_t skyAndFog : {1, 0}) {
    SCOPED_TRACE(+skyAndFog);
    gOptions.detail[3] = skyAndFog;
    RaceLoad(TRACK_BOUE);
    EXPECT_FLOAT_EQ(+gRace.waterLevel, 820.0f);
    EXPECT_EQ(+gRace.trajectoriesLoaded, 1);
    EXPECT_STRCASEEQ(gTextureTable.entries[53].path, "c53.3df");
    EXPECT_EQ(+gTrackInfo[TRACK_BOUE].groundList[53].handle, 53u);
    EXPECT_STRCASEEQ(gTextureTable.entries[54].path, "ora.3df");
    EXPECT_EQ(+gRace.trackTextures[TRACK_TEX_SKY], 54u);
    EXPECT_EQ(+gRace.trackTextures[TRACK_TEX_DIGITS], 57u);
    EXPECT_EQ(+gRace.trackTextures[TRACK_TEX_RING], 0u);  // boue has no sky ring
    const uint32_t waterType = skyAndFog ? FACE_TRANSLUCENT : FACE_TEX_LIT;
    int32_t water = 0;
    for (int32_t i = 0; i < gMesh.faceCount; ++i) {
      const Face& f = gMesh.faces[i];
      if ((f.type & 0xFFFFFF) != gRace.trackTextures[TRACK_TEX_SKY]) {
        ASSERT_NE(f.type >> 24, +FACE_TRANSLUCENT) << i;
        continue;
      }
      ASSERT_EQ(f.type >> 24, waterType) << i;
      ++water;
      bool over = false;  // some ground of the square lies below the water
      for (int k = 0; k < f.vertexCount; ++k) {
        const Vertex& v = gMesh.vertices[f.index[k]];
        ASSERT_FLOAT_EQ(+v.y, 820.0f);
        over = over || TerrainHeightAt(v.x, v.z) < 820.0f;
      }
      EXPECT_TRUE(over) << i;
    }
    EXPECT_GT(water, 20);
    // The ground under the pond, not its water, is what the wheels stand on;
    // the course crosses the shallow edge.
    EXPECT_LT(TerrainHeightAt(datakit::KIT_POND_X, datakit::KIT_POND_Z), 800.0f);
    const float edge = TerrainHeightAt(datakit::KIT_POND_X - datakit::KIT_POND_COURSE, datakit::KIT_POND_Z);
    EXPECT_LT(edge, 820.0f);
    EXPECT_GT(edge, 810.0f);
    EXPECT_FLOAT_EQ(+gPlayer1.pose.x, 580.0f);
    EXPECT_FLOAT_EQ(+gPlayer1.pose.z, 2120.0f);
    for (int32_t row = 0; row < OBJECT_TYPE_ROWS; ++row) {
      if (gObjectTypes[row].track != TRACK_BOUE) continue;
      EXPECT_NE(+gObjectModels[row], nullptr) << gObjectTypes[row].name;
    }
    for (int32_t row : {98, 99}) {  // nessy1, cochon1
      ASSERT_NE(+gObjectTypes[row].anim->frameSet, nullptr) << row;
      EXPECT_EQ(+gObjectTypes[row].anim->frameSet->frameCount, 3u) << row;
    }
    EXPECT_GT(gPlacementCount, 20);
    EXPECT_EQ(+gDrawLists.staticCount, gPlacementCount);  // every placement found its model
    EXPECT_TRUE(gFatalErrors.empty());
  }
}

// The kit's highway: terhw and e1..e55, its own mesh, a model for every row
// of the track (the traffic's bodies and wheels among them), and the traffic
// set up on the kit's four lanes; without the path files none is placed.
// The race's set-up of the decor is a stand-in here, so the test runs the
// traffic's own.
TEST_F(Load, TheHighwayRaceLoadsItsListsModelsAndTraffic) {
  ASSERT_EQ(TerrainBuild(&gTrackTerrains[TRACK_DESERT]), 1);
  RaceLoad(TRACK_HIGHWAY);
  EXPECT_EQ(+gRace.trajectoriesLoaded, 1);
  EXPECT_STRCASEEQ(gTextureTable.entries[0].path, "terhw.3df");
  EXPECT_STRCASEEQ(gTextureTable.entries[55].path, "e55.3df");
  EXPECT_FLOAT_EQ(+gPlayer1.pose.x, 2753.0f);
  EXPECT_FLOAT_EQ(+gPlayer1.pose.z, 7061.0f);
  for (int32_t row = 0; row < OBJECT_TYPE_ROWS; ++row) {
    if (gObjectTypes[row].track != TRACK_HIGHWAY) continue;
    EXPECT_NE(+gObjectModels[row], nullptr) << gObjectTypes[row].name;
  }
  EXPECT_GT(gPlacementCount, 20);
  EXPECT_EQ(+gDrawLists.staticCount, gPlacementCount);
  TrackObjSetup();
  ASSERT_EQ(+gTrackObjState.placed, 1);
  // The eight paths a vehicle picks from: a lane each way along the course, loops away from it.
  for (int32_t i = 0; i < TRAJ_SLOTS; ++i) EXPECT_EQ(gObjectPaths[i].count > 0, i < 8) << i;
  for (const TrafficType& t : gTrafficTypes) {
    EXPECT_NE(t.body, nullptr);
    EXPECT_NE(t.farBody, nullptr);
    ASSERT_NE(t.wheel, nullptr);
    ASSERT_NE(t.wheelCopy, nullptr);
    EXPECT_NE(t.wheel, t.wheelCopy);
    EXPECT_EQ(t.wheel->vertexCount, t.wheelCopy->vertexCount);
  }
  // On their lanes, on the ground, each measured by its body.
  for (const Vehicle& v : gTrackObjects) {
    EXPECT_EQ(+v.human, 2);
    EXPECT_FLOAT_EQ(+v.pose.y, TerrainHeightAt(v.pose.x, v.pose.z));
    EXPECT_GT(v.footprint[1], v.footprint[0]);
    const Trajectory& path = gObjectPaths[v.aiSlot];
    ASSERT_GT(path.count, 0);
  }
  EXPECT_TRUE(gFatalErrors.empty());
  // The next load frees the wheel copies with the other models.
  RaceLoad(TRACK_DESERT);
  for (int32_t row : TRAFFIC_SPARE_WHEEL_ROWS) EXPECT_EQ(+gObjectModels[row], nullptr);
  // A disk without the path files: the highway loads without traffic.
  for (char c = 'A'; c <= 'P'; ++c) std::remove((std::string("other.t") + c).c_str());
  RaceLoad(TRACK_HIGHWAY);
  TrackObjSetup();
  EXPECT_EQ(+gTrackObjState.placed, 0);
  EXPECT_EQ(gTrackObjState.activeCount, 0);
  EXPECT_TRUE(gFatalErrors.empty());
}

// The kit's snow, volcano and savanna tracks load from their own files in
// full: the mesh on the shared grid, a model for every row of the track and
// every placement, player 1 on the grid, and the course (trajectory A, where
// the volcano's rocks land) on the terrain and above the water level.
TEST_F(Load, TheSnowVolcanoAndSavannaTracksLoadInFull) {
  ASSERT_EQ(TerrainBuild(&gTrackTerrains[TRACK_DESERT]), 1);
  for (int32_t track : {TRACK_NEIGE, TRACK_VOLCANO, TRACK_SAVANA}) {
    SCOPED_TRACE(track);
    const datakit::KitTrackDesc* desc = datakit::KitTrackByIndex(track);
    ASSERT_NE(desc, nullptr);
    RaceLoad(track);
    EXPECT_EQ(+gRace.trajectoriesLoaded, 1);
    EXPECT_FLOAT_EQ(+gPlayer1.pose.x, desc->startX);
    EXPECT_FLOAT_EQ(+gPlayer1.pose.z, desc->startZ);
    EXPECT_NEAR(TerrainHeightAt(desc->startX, desc->startZ), datakit::KitTrackHeightAt(*desc, desc->startX, desc->startZ), 2.0f);
    for (int32_t row = 0; row < OBJECT_TYPE_ROWS; ++row) {
      if (gObjectTypes[row].track != track) continue;
      EXPECT_NE(+gObjectModels[row], nullptr) << gObjectTypes[row].name;
    }
    EXPECT_GT(gPlacementCount, 20);
    EXPECT_EQ(+gDrawLists.staticCount, gPlacementCount);  // every placement found its model
    const Trajectory& course = gTrajectories[0];
    ASSERT_GT(course.count, 40);
    for (int32_t i = 0; i < course.count; ++i) {
      const TrajPoint p = course.points[i];
      EXPECT_GT(TerrainHeightAt(p.x, p.z), +gRace.waterLevel) << i;
      ASSERT_NE(TerrainNearestVertex(p.x, p.z), nullptr) << i;
      // The track's own quadrant of the position map (cells of 400): a sector under every point.
      const uint8_t zone = gTrackPositionMap[static_cast<int32_t>(p.z / 400.0f)][static_cast<int32_t>(p.x / 400.0f)];
      EXPECT_TRUE(zone >= 1 && zone <= 54) << i << " " << +zone;
    }
  }
  EXPECT_TRUE(gFatalErrors.empty());
}

// Damaged track files, each loaded after a track with a course: a damaged
// course leaves no line (no computer car drives, progress stays where it
// was), a damaged mesh builds the track from its terrain as a missing one
// does, and a placement that is nowhere is left out. No car stands at a
// height that is not a number.
TEST_F(Load, DamagedTrackFilesLoadAsMissingOnesWouldAndTheRaceGoesOn) {
  using datakit::KitPoint;
  // As at the game's start: the ground queries read any mesh through this grid.
  ASSERT_EQ(TerrainBuild(&gTrackTerrains[TRACK_DESERT]), 1);
  const auto desc = [](int32_t track) { return *datakit::KitTrackByIndex(track); };
  const auto course = [&](int32_t track, void (*damage)(std::vector<KitPoint>*)) {
    std::vector<KitPoint> points = datakit::KitTrackCourse(desc(track));
    damage(&points);
    return datakit::DataFile{5, std::string("traj\\") + desc(track).name + ".tA", datakit::PathFileWrite(points)};
  };
  const auto mesh = [&](int32_t track, void (*damage)(datakit::KitMesh*, std::vector<datakit::KitPlacement>*)) {
    const datakit::KitTrackDesc d = desc(track);
    datakit::KitMesh m = datakit::KitTrackMesh(d);
    std::vector<datakit::KitPlacement> placements = d.placements(d);
    damage(&m, &placements);
    return datakit::DataFile{4, std::string(d.name) + ".uv", datakit::TrackMeshFileWrite(m, placements)};
  };
  const auto uvMissing = [&](int32_t track) { return datakit::DataFile{4, std::string(desc(track).name) + ".uv", {}}; };
  struct Case {
    const char* what;
    int32_t track;
    datakit::DataFile file;  // over the kit's; without data, the kit's file is removed
    bool line, terrain;
    int32_t placementsLeftOut;
  };
  const Case cases[] = {
      {"course missing", TRACK_NEIGE, {5, "traj\\neige.tA", {}}, false, false, 0},
      {"course of 1 point", TRACK_NEIGE, course(TRACK_NEIGE, [](std::vector<KitPoint>* p) { p->resize(1); }), false,
       false, 0},
      {"course with a point at (1e30, 1e30)", TRACK_DESERT,
       course(TRACK_DESERT, [](std::vector<KitPoint>* p) { (*p)[7] = {1e30f, 1e30f}; }), false, false, 0},
      {"course with every point far off", TRACK_DESERT,
       course(TRACK_DESERT, [](std::vector<KitPoint>* p) {
         for (KitPoint& q : *p) q = {q.x + 1e6f, q.z + 1e6f};
       }),
       false, false, 0},
      {"mesh of 10 vertices", TRACK_ICE,
       mesh(TRACK_ICE,
            [](datakit::KitMesh* m, std::vector<datakit::KitPlacement>*) {
              m->vertices.resize(10);
              m->faces.clear();
            }),
       true, true, 0},
      {"mesh with a height not a number", TRACK_DESERT,
       mesh(TRACK_DESERT, [](datakit::KitMesh* m, std::vector<datakit::KitPlacement>*) { m->vertices[4000].y = NAN; }),
       true, true, 0},
      {"placement not a number", TRACK_DESERT,
       mesh(TRACK_DESERT,
            [](datakit::KitMesh*, std::vector<datakit::KitPlacement>* p) { (*p)[3].x = NAN; }),
       true, false, 1},
  };
  const auto write = [](const datakit::DataFile& f) {
    if (!f.data.empty()) return datakit::WriteLooseFiles({f}, ".", nullptr);
    std::string path = f.path;
    std::replace(path.begin(), path.end(), '\\', '/');
    return std::remove(path.c_str()) == 0;
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const datakit::KitTrackDesc d = desc(c.track);
    const int32_t kitPlacements = static_cast<int32_t>(d.placements(d).size());
    // What a missing mesh gives: player 1 stands on the terrain.
    float terrainY = NAN;
    int32_t terrainVertices = 0;
    if (c.terrain) {
      ASSERT_TRUE(write(uvMissing(c.track)));
      RaceLoad(c.track);
      terrainY = gPlayer1.pose.y;
      terrainVertices = gMesh.vertexCount;
      ASSERT_TRUE(datakit::WriteLooseFiles(datakit::KitTrackFiles(d), ".", nullptr));
    }
    RaceLoad(c.track == TRACK_DESERT ? TRACK_NEIGE : TRACK_DESERT);
    ASSERT_GT(gTrajDenseCount, 0);
    ASSERT_TRUE(write(c.file));
    RaceLoad(c.track);

    EXPECT_EQ(+gRace.trajectoriesLoaded, c.line ? 1 : 0);
    EXPECT_EQ(gTrajDenseCount > 0, c.line);
    if (!c.line) {
      EXPECT_EQ(gTrajLength, 0.0f);
    }
    if (c.terrain) {
      EXPECT_EQ(gPlacementCount, 0);
      EXPECT_EQ(+gMesh.vertexCount, terrainVertices);
      EXPECT_FLOAT_EQ(+gPlayer1.pose.y, terrainY);
    } else {
      EXPECT_EQ(gPlacementCount, kitPlacements - c.placementsLeftOut);
    }
    for (int32_t i = 0; i < gPlacementCount; ++i) EXPECT_TRUE(std::isfinite(gPlacements[i].x)) << i;
    for (const Vehicle* v : gVehicleTable) EXPECT_TRUE(!v || std::isfinite(v->pose.y));
    // The race: the computer cars drive only along a line, and progress is
    // measured only where the grid holds this track's line (with none, every
    // car keeps its progress).
    gRace.gameMode = 1;
    gCalls.clear();
    VehicleDriveComputerCars();
    EXPECT_EQ(CallsStartingWith("Drive(C").size(), c.line ? 5u : 0u);
    int32_t column = 0, row = 0;
    ASSERT_TRUE(TrajGridCellOf(gPlayer1.pose.x, gPlayer1.pose.z, &column, &row));
    int32_t near = 0;
    for (int32_t r = std::max(row - 2, 0); r <= std::min(row + 2, TRAJ_GRID_ROWS - 1); ++r)
      for (int32_t k = std::max(column - 2, 0); k <= std::min(column + 2, TRAJ_GRID_COLS - 1); ++k)
        near += gTrajGrid[r][k].count;
    EXPECT_EQ(near > 0, c.line);

    ASSERT_TRUE(datakit::WriteLooseFiles(datakit::KitTrackFiles(d), ".", nullptr));
  }
  EXPECT_TRUE(gFatalErrors.empty());
}

// What the decor reads: the church among neige's placements (and none in its
// variant without one), the lifts' cables above the snow, the skier paths
// from the first lift's top down the slope, the elephants' paths across the
// savanna's course, and a volcano course with a point beyond the terrain.
TEST_F(Load, TheDecorFindsItsChurchLiftsPathsAndLandingPoints) {
  ASSERT_EQ(TerrainBuild(&gTrackTerrains[TRACK_DESERT]), 1);
  auto churches = [] {
    std::vector<const ObjectPlacement*> found;
    for (int32_t i = 0; i < gPlacementCount; ++i)
      if (gPlacements[i].type == 63) found.push_back(&gPlacements[i]);
    return found;
  };
  RaceLoad(TRACK_NEIGE);
  const int32_t placements = gPlacementCount;
  ASSERT_EQ(churches().size(), 1u);
  EXPECT_FLOAT_EQ(+churches()[0]->x, datakit::KIT_NEIGE_CHURCH_X);
  EXPECT_FLOAT_EQ(+churches()[0]->z, datakit::KIT_NEIGE_CHURCH_Z);
  struct Lift {
    float bottom, top, z;
  };
  for (const Lift& lift : {Lift{1450.0f, 12250.0f, 1650.0f}, Lift{4950.0f, 8550.0f, 6050.0f}, Lift{10250.0f, 15050.0f, 6050.0f}})
    for (float x = lift.bottom; x <= lift.top; x += 100.0f)
      ASSERT_LT(TerrainHeightAt(x, lift.z), x * 0.061513f + 630.0f - 150.0f) << x << " " << lift.z;
  for (const char* name : {"ski.tA", "ski.tB", "ski.tC", "ski.tD"}) {
    SCOPED_TRACE(name);
    Trajectory path;
    ASSERT_EQ(TrajLoadFile(name, &path), 1);
    ASSERT_GE(path.count, 20);
    EXPECT_LT(std::fabs(path.points[0].x - datakit::KIT_SKI_TOP_X), 200.0f);
    EXPECT_LT(std::fabs(path.points[0].z - datakit::KIT_SKI_TOP_Z), 50.0f);
    for (int32_t i = 1; i < path.count; ++i) {
      EXPECT_LT(+path.points[i].x, +path.points[i - 1].x) << i;  // always downhill
      EXPECT_LT(TerrainHeightAt(path.points[i].x, path.points[i].z),
                TerrainHeightAt(path.points[i - 1].x, path.points[i - 1].z) + 20.0f) << i;
    }
  }

  ASSERT_TRUE(datakit::WriteLooseFiles(datakit::NeigeWithoutChurchFiles(), ".", nullptr));
  RaceLoad(TRACK_NEIGE);
  EXPECT_TRUE(churches().empty());
  EXPECT_EQ(gPlacementCount, placements - 1);

  RaceLoad(TRACK_SAVANA);
  for (const char* name : {"ele.tA", "ele.tB"}) {
    SCOPED_TRACE(name);
    Trajectory path;
    ASSERT_EQ(TrajLoadFile(name, &path), 1);
    ASSERT_GE(path.count, 16);  // the elephants start at points 0, 5, 10 and 15
    float nearest = 1e9f;
    for (int32_t i = 0; i < path.count; ++i)
      for (int32_t j = 0; j < gTrajectories[0].count; ++j)
        nearest = std::fmin(nearest, std::hypot(path.points[i].x - gTrajectories[0].points[j].x,
                                                path.points[i].z - gTrajectories[0].points[j].z));
    EXPECT_LT(nearest, 200.0f);
  }

  // The elephant's six walk frames, each pose visibly apart from the next.
  const MeshFrameSet* walk = gObjectTypes[253].anim->frameSet;
  ASSERT_NE(walk, nullptr);
  ASSERT_EQ(walk->frameCount, 6u);
  for (uint32_t k = 0; k < 6; ++k) {
    const MeshFrame& a = walk->frames[k];
    const MeshFrame& b = walk->frames[(k + 1) % 6];
    float apart = 0.0f;
    for (uint32_t i = 0; i < gObjectModels[253]->vertexCount; ++i)
      apart = std::fmax(apart, std::fabs(a.vertices[i].x - b.vertices[i].x) + std::fabs(a.vertices[i].y - b.vertices[i].y) +
                                   std::fabs(a.vertices[i].z - b.vertices[i].z));
    EXPECT_GT(apart, 2.0f) << k;
  }

  ASSERT_TRUE(datakit::WriteLooseFiles(datakit::VolcanoTrajectoryBeyondEdgeFiles(), ".", nullptr));
  RaceLoad(TRACK_VOLCANO);
  const Trajectory& course = gTrajectories[0];
  ASSERT_GT(course.count, 40);
  EXPECT_FLOAT_EQ(+course.points[course.count - 1].x, datakit::KIT_BEYOND_EDGE_X);
  EXPECT_EQ(TerrainNearestVertex(course.points[course.count - 1].x, course.points[course.count - 1].z), nullptr);
  for (int32_t i = 0; i + 1 < course.count; ++i) {
    TerrainHeightAt(course.points[i].x, course.points[i].z);  // the nearest vertex is one of this query's corners
    EXPECT_NE(TerrainNearestVertex(course.points[i].x, course.points[i].z), nullptr) << i;
  }
  EXPECT_TRUE(gFatalErrors.empty());
}

// The kit's ruins and sunset beach: their ground and sky lists, their own
// mesh, a model for every row of the track (sunset's dancing figures with
// their frames), every placement found its model, and the trajectories;
// sunset's sea lies at its water level over ground below it.
TEST_F(Load, TheRuinesAndSunsetRacesLoadInFull) {
  struct Case {
    int32_t track;
    const char* lastGround;
    const char* sky;
    float startX, startZ;
  };
  // As at the game's start: the ground queries then read the loaded grid.
  ASSERT_EQ(TerrainBuild(&gTrackTerrains[TRACK_DESERT]), 1);
  for (const Case& c : {Case{TRACK_RUINES, "f55.3df", "sun.3df", 1796.0f, 6556.0f},
                        Case{TRACK_SUNSET, "h55.3df", "water.3df", 3175.0f, 4875.0f}}) {
    SCOPED_TRACE(c.track);
    RaceLoad(c.track);
    ASSERT_TRUE(gFatalErrors.empty()) << gFatalErrors[0];
    EXPECT_STRCASEEQ(gTextureTable.entries[55].path, c.lastGround);
    EXPECT_STRCASEEQ(gTextureTable.entries[56].path, c.sky);
    EXPECT_EQ(+gRace.trajectoriesLoaded, 1);
    EXPECT_FLOAT_EQ(+gPlayer1.pose.x, c.startX);
    EXPECT_FLOAT_EQ(+gPlayer1.pose.z, c.startZ);
    const datakit::KitTrackDesc& desc = *datakit::KitTrackByIndex(c.track);
    EXPECT_EQ(gPlacementCount, static_cast<int32_t>(desc.placements(desc).size()));
    EXPECT_EQ(+gDrawLists.staticCount, gPlacementCount);
    int32_t rows = 0;
    for (int32_t row = 0; row < OBJECT_TYPE_ROWS; ++row) {
      if (gObjectTypes[row].track != c.track) continue;
      ++rows;
      EXPECT_NE(+gObjectModels[row], nullptr) << gObjectTypes[row].name;
    }
    EXPECT_GT(rows, 15);
    int32_t water = 0;
    for (int32_t i = 0; i < gMesh.faceCount; ++i) {
      const Face& f = gMesh.faces[i];
      if (f.type >> 24 != FACE_TRANSLUCENT) continue;
      ++water;
      for (int k = 0; k < f.vertexCount; ++k) ASSERT_FLOAT_EQ(+gMesh.vertices[f.index[k]].y, 360.0f);
    }
    if (c.track == TRACK_RUINES) {
      EXPECT_EQ(water, 0);
      continue;
    }
    EXPECT_GT(water, 1000);
    EXPECT_LT(TerrainHeightAt(7000.0f, 1300.0f), 360.0f);  // under the yacht
    EXPECT_GT(TerrainHeightAt(c.startX, c.startZ), 360.0f);
    for (int32_t row = 119; row <= 122; ++row) {  // sufma1 .. sufmd1
      ASSERT_NE(+gObjectTypes[row].anim->frameSet, nullptr) << row;
      EXPECT_EQ(+gObjectTypes[row].anim->frameSet->frameCount, 4u) << row;
    }
  }
}

// The panels of every track carry their own pictures, which the attract
// demo finds by name.
TEST_F(Load, ThePanelModelsBringTheirPictures) {
  RaceLoad(TRACK_DESERT);
  for (const char* name : {"pub1.3df", "pub3.3df"}) {
    const TextureTableEntry* entry = TexFind(name);
    ASSERT_NE(entry, nullptr) << name;
    EXPECT_STRCASEEQ(entry->path, (std::string("others\\") + name).c_str());
  }
  EXPECT_TRUE(gFatalErrors.empty());
}

// After the game start's textures the k-th ground texture has handle
// game-start count + k, so the mesh file's face words find it.
TEST_F(Load, TrackTexturesFollowTheGameStartTextures) {
  AssetLoadVehicles();
  const int32_t start = gAssets.gameStartTextures;
  // Four driver-view textures, the tyre, the cars' body (found by name for
  // every car after the first), 24 effect sprites, the arrow's own, the mini-car.
  ASSERT_EQ(start, 32);
  RaceLoad(TRACK_DESERT);
  for (int32_t k = 0; k <= 55; ++k) EXPECT_EQ(+gTrackInfo[TRACK_DESERT].groundList[k].handle, static_cast<uint32_t>(start + k));
  EXPECT_EQ(+gTextureTable.entries[start + 3].handle, static_cast<uint32_t>(start + 3));
  EXPECT_STRCASEEQ(gTextureTable.entries[start + 3].path, "a3.3df");
  EXPECT_STRCASEEQ(gTextureTable.entries[2].path, "vdarg.3df");  // downloaded again after the reset
  for (int32_t i = 0; i < gMesh.faceCount; i += 501) {
    const uint32_t texture = gMesh.faces[i].type & 0xFFFFFF;
    EXPECT_TRUE(texture == static_cast<uint32_t>(start + 1) || texture == static_cast<uint32_t>(start + 3)) << texture;
  }
  EXPECT_TRUE(gFatalErrors.empty());
}

// Rows of this track, of every track, and of every track with a human
// driver; row 100 becomes the invisible post on the barrel's model.
TEST_F(Load, ObjectRowsLoadByTheirTrackByte) {
  gObjectTypes[1].track = OBJECT_TRACK_HUMAN;  // a looping row, put on every track for a human
  RaceLoad(TRACK_DESERT);
  EXPECT_NE(+gObjectModels[12], nullptr);                 // vache1, desert
  EXPECT_NE(+gObjectModels[OBJECT_ROW_BIDON], nullptr);   // every track
  EXPECT_NE(+gObjectModels[1], nullptr);
  EXPECT_EQ(+gObjectModels[2], nullptr);                  // looping only
  ASSERT_NE(+gObjectTypes[12].anim->frameSet, nullptr);
  EXPECT_EQ(+gObjectTypes[12].anim->frameSet->frameCount, 3u);
  EXPECT_EQ(+gObjectModels[OBJECT_ROW_POST], +gObjectModels[OBJECT_ROW_BIDON]);
  const ObjectType& post = gObjectTypes[OBJECT_ROW_POST];
  EXPECT_EQ(+post.drawKind, 2);
  EXPECT_EQ(+post.gridFlags, 0xC1);
  EXPECT_FLOAT_EQ(+post.maxY, 50.0f);
  EXPECT_FLOAT_EQ(+post.minZ, -5.0f);
  EXPECT_LT(+gObjectTypes[OBJECT_ROW_BIDON].minY, +gObjectTypes[OBJECT_ROW_BIDON].maxY);  // bounds computed
  // The placements found their models: barrels, fences, the cow, checkpoints, signs.
  EXPECT_EQ(+gDrawLists.staticCount, gPlacementCount);

  gRace.noHumanMode = 1;
  RaceLoad(TRACK_DESERT);  // the previous track's objects are freed first
  EXPECT_EQ(+gObjectModels[1], nullptr);
  EXPECT_NE(+gObjectModels[12], nullptr);
  EXPECT_TRUE(gFatalErrors.empty());
}

// A row whose colour key has a red (its first word's upper half other than
// -1) gives a model drawn point sampled; a row without a key keeps the
// device's filtering.
TEST_F(Load, AnObjectModelIsPointSampledWhenItsRowHasAColourKey) {
  const struct {
    int16_t keyRed;
    uint8_t filter;
  } cases[] = {{-1, 1}, {0, 0}, {255, 0}, {-2, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.keyRed);
    gObjectTypes[12].key[0] = c.keyRed;             // vache1, desert
    gObjectTypes[OBJECT_ROW_BIDON].key[0] = -1;     // every track, unkeyed
    RaceLoad(TRACK_DESERT);
    ASSERT_NE(+gObjectModels[12], nullptr);
    EXPECT_EQ(+gObjectModels[12]->filter, c.filter);
    EXPECT_EQ(+gObjectModels[OBJECT_ROW_BIDON]->filter, 1);
  }
  EXPECT_TRUE(gFatalErrors.empty());
}

// The game start reads every model the kit writes: six cars with their
// dented bodies, wheels and steering wheels, the kit parts, the driver with
// its frames, the sprites and the arrow.
TEST_F(Load, TheGameStartLoadsEveryVehicleModelOfTheKit) {
  AssetLoadVehicles();
  for (int32_t type = 0; type < CAR_MODEL_GAME_ROWS; ++type) {
    SCOPED_TRACE(type);
    const CarModel& row = gCarModels[type];
    for (int set = 0; set < CAR_BODY_SETS; ++set)
      for (int stage = 0; stage < CAR_BODY_STAGES; ++stage) ASSERT_NE(+row.body[set][stage], nullptr);
    for (int set = 0; set < CAR_WHEEL_SETS; ++set)
      for (int w = 0; w < 4; ++w) ASSERT_NE(+row.wheels[set][w], nullptr);
    EXPECT_NE(+row.wheels[3][0], +row.wheels[0][0]);  // a clone, not the same model
    EXPECT_EQ(+row.wheels[3][0]->faceCount, +row.wheels[0][0]->faceCount);
    EXPECT_NE(+row.steeringWheel, nullptr);
    EXPECT_EQ(+row.bodySet[1], +row.body[1]);
  }
  // The body rests on the ground.
  const MeshHeader* body = gCarModels[0].body[0][0];
  float lowest = 1e9f;
  for (uint32_t i = 0; i < body->vertexCount; ++i) lowest = std::min(lowest, body->vertices[i].y);
  EXPECT_NEAR(lowest, 0.0f, 1e-3f);
  for (int32_t row = CAR_MODEL_GAME_ROWS; row < CAR_MODEL_ROWS; ++row) {
    EXPECT_EQ(+gCarModels[row].points[0].x, CAR_MODEL_POINTS_END);  // kit cars spawn no particles
    ASSERT_NE(+gCarModels[row].body[0][0], nullptr);
    EXPECT_EQ(+gCarModels[row].body[0][0]->vertexCount, 0u);
    EXPECT_EQ(+gCarModels[row].lightFactor, 100);
  }
  const VehicleAssets& a = gVehicleAssets;
  for (int k = 0; k < KIT_PART_KINDS; ++k) {
    EXPECT_NE(+a.kitBodies[k], nullptr);
    EXPECT_NE(+a.kitEngines[k], nullptr);
    for (const auto& level : a.kitWheels[k])
      for (const MeshHeader* wheel : level) EXPECT_NE(wheel, nullptr);
  }
  EXPECT_NE(+a.kitSteeringWheel, nullptr);
  // The treads bear the tyre texture and are flagged; the hubs are not.
  const uint32_t tread = FACE_TEX_LIT << 24 | gAssets.tyreTexture;
  for (const MeshHeader* wheel : {gCarModels[2].wheels[5][3], a.kitWheels[3][3][0]}) {
    int flagged = 0;
    for (uint32_t f = 0; f < wheel->faceCount; ++f) {
      EXPECT_EQ(+wheel->faces[f].tag, wheel->faces[f].type == tread ? 1 : 0);
      flagged += wheel->faces[f].tag;
    }
    EXPECT_GT(flagged, 0);
    EXPECT_LT(flagged, static_cast<int>(wheel->faceCount));
  }
  ASSERT_NE(gDriverFrames, nullptr);
  EXPECT_EQ(+gDriverFrames->frameCount, 6u);
  EXPECT_NE(+a.driverClones[0], +a.driver);
  EXPECT_NE(+a.driverClones[1], nullptr);
  EXPECT_NE(+a.driverWheelClone, nullptr);
  EXPECT_NE(+a.arrow, nullptr);
  EXPECT_NE(+a.dashboard, nullptr);
  // Every sprite made, each at its own size; index 23 is fumee3 again, larger.
  for (const Sprite* sprite : gFxSprites) ASSERT_NE(sprite, nullptr);
  EXPECT_FLOAT_EQ(+gFxSprites[0]->halfWidth, 6.0f);
  EXPECT_FLOAT_EQ(+gFxSprites[12]->halfHeight, 50.0f);
  EXPECT_EQ(+gFxSprites[23]->type, +gFxSprites[2]->type);
  EXPECT_FLOAT_EQ(+gFxSprites[23]->halfWidth, 15.0f);
  EXPECT_FLOAT_EQ(+gFxSprites[28]->halfWidth, 2.0f);
  EXPECT_TRUE(gFatalErrors.empty());
}

// Pure green is see-through in the driver-view, car and kit textures and
// nowhere after the driver's load: not in the sprites or the mini-car.
TEST_F(Load, TheGameStartColourKeyHoldsUntilTheDriver) {
  AssetLoadVehicles();
  auto keyedGreen = [](uint32_t handle) {
    for (int32_t i = 0; i < gTextureTable.count; ++i) {
      const TextureTableEntry& e = gTextureTable.entries[i];
      if (e.handle == handle) return e.keyRed == 0 && e.keyGreen == 255 && e.keyBlue == 0;
    }
    ADD_FAILURE() << "no texture of handle " << handle;
    return false;
  };
  auto faceTexture = [](const MeshHeader* mesh) {
    for (uint32_t f = 0; f < mesh->faceCount; ++f)
      if (mesh->faces[f].type >> 24 == FACE_TEX_LIT) return mesh->faces[f].type & 0xFFFFFFu;
    ADD_FAILURE() << "no textured face";
    return 0u;
  };
  int32_t s = 0, t = 0;
  auto named = [&](const char* name) { return static_cast<uint32_t>(TexFindHandle(name, &s, &t)); };
  EXPECT_TRUE(keyedGreen(named("vdavg.3df")));
  EXPECT_TRUE(keyedGreen(named("gomme.3df")));
  EXPECT_TRUE(keyedGreen(faceTexture(gCarModels[0].body[0][0])));
  EXPECT_TRUE(keyedGreen(faceTexture(gVehicleAssets.kitBodies[0])));
  EXPECT_FALSE(keyedGreen(named("minicar.3df")));
  EXPECT_FALSE(keyedGreen(gFxSprites[0]->type & 0xFFFFFFu));
}

// What the cars are drawn from: fewer body faces at each detail level,
// front wheels unlike the rear ones with their treads flagged as tyres on
// both, a driver whose six frames each strike another pose, and the sheen.
TEST_F(Load, TheKitsCarsThinOutByLevelAndTheirDriverMoves) {
  AssetLoadVehicles();
  const uint32_t tread = FACE_TEX_LIT << 24 | gAssets.tyreTexture;
  const auto flagged = [&](const MeshHeader* wheel) {
    uint32_t count = 0;
    for (uint32_t f = 0; f < wheel->faceCount; ++f) {
      EXPECT_EQ(+wheel->faces[f].tag, wheel->faces[f].type == tread ? 1 : 0);
      count += wheel->faces[f].tag;
    }
    return count;
  };
  for (int32_t type = 0; type < CAR_MODEL_GAME_ROWS; ++type) {
    SCOPED_TRACE(type);
    const CarModel& row = gCarModels[type];
    for (int level = 1; level < 4; ++level)
      EXPECT_LT(+row.body[level][0]->faceCount, +row.body[level - 1][0]->faceCount) << level;
    for (int set = 0; set < 3; ++set) {
      const MeshHeader* rear = row.wheels[set][0];
      const MeshHeader* front = row.wheels[set][2];
      EXPECT_EQ(+row.wheels[set][1]->faceCount, +rear->faceCount);
      EXPECT_EQ(+row.wheels[set][3]->faceCount, +front->faceCount);
      EXPECT_NE(+rear->faceCount, +front->faceCount);
      EXPECT_GT(flagged(front), 0u);
      EXPECT_GT(flagged(rear), flagged(front));  // the rear tread has more segments
    }
  }
  ASSERT_NE(gDriverFrames, nullptr);
  ASSERT_EQ(+gDriverFrames->frameCount, 6u);
  const uint32_t n = gVehicleAssets.driver->vertexCount;
  for (uint32_t j = 0; j < 6; ++j)
    for (uint32_t k = j + 1; k < 6; ++k) {
      float most = 0.0f;
      for (uint32_t i = 0; i < n; ++i) {
        const FrameVertex& a = gDriverFrames->frames[j].vertices[i];
        const FrameVertex& b = gDriverFrames->frames[k].vertices[i];
        most = std::max({most, std::fabs(a.x - b.x), std::fabs(a.y - b.y), std::fabs(a.z - b.z)});
      }
      EXPECT_GT(most, 1.0f) << "frames " << j + 1 << " and " << k + 1;
    }
  // The "reflet" sprite is its own, not the stand-in for a missing one.
  EXPECT_NE(+gFxSprites[24], +gFxSprites[0]);
  EXPECT_FLOAT_EQ(+gFxSprites[24]->halfWidth, 50.0f);
  EXPECT_TRUE(gFatalErrors.empty());
}

// Each damage stage restarts the random table at the type's index, so a
// stage's body is the intact one dented once, by at most 15 x amount / 10240
// of a normal (1024) a vertex; the interior by half.
TEST_F(Load, DamageStagesDentTheBodyInOnePatternThatDeepens) {
  AssetLoadVehicles();
  const auto deepest = [](const MeshHeader* dented, const MeshHeader* intact) {
    float most = 0.0f;
    for (uint32_t i = 0; i < std::min(dented->vertexCount, intact->vertexCount); ++i)
      most = std::max({most, std::fabs(dented->vertices[i].x - intact->vertices[i].x),
                       std::fabs(dented->vertices[i].y - intact->vertices[i].y),
                       std::fabs(dented->vertices[i].z - intact->vertices[i].z)});
    return most;
  };
  for (int32_t type : {0, 4}) {
    SCOPED_TRACE(type);
    const CarModel& row = gCarModels[type];
    MeshHeader* again = MeshClone(row.body[0][0]);
    ASSERT_NE(again, nullptr);
    RandSetIndex(static_cast<uint32_t>(6 - type));
    AssetDentMesh(again, 0.01f, 0.2f);
    ASSERT_EQ(+again->vertexCount, +row.body[0][1]->vertexCount);
    for (uint32_t i = 0; i < again->vertexCount; ++i) ASSERT_FLOAT_EQ(+again->vertices[i].y, +row.body[0][1]->vertices[i].y);
    MeshFree(again);
    // Where the weld joined vertices the stage no longer matches the intact
    // body vertex for vertex: compare at the first level where it did not.
    const auto unwelded = [&](int set) {
      return row.body[set][1]->vertexCount == row.body[set][0]->vertexCount &&
             row.body[set][8]->vertexCount == row.body[set][0]->vertexCount;
    };
    int level = 0;
    while (level < 4 && !unwelded(level)) ++level;
    ASSERT_LT(level, 4);
    const float first = deepest(row.body[level][1], row.body[level][0]);
    const float last = deepest(row.body[level][8], row.body[level][0]);
    EXPECT_GT(first, 0.0f);
    EXPECT_LE(first, 15 * 0.2f * 1024 / 10240 + 1e-4f);
    EXPECT_NEAR(last / first, 0.55f / 0.2f, 1e-3f);
    if (unwelded(4)) {
      EXPECT_LE(deepest(row.body[4][8], row.body[4][0]), 15 * 0.55f * 0.5f * 1024 / 10240 + 1e-4f);
    }
  }
}

// With little texture memory a car's textures come from its low\ folder;
// the model itself is still the detail level's.
TEST_F(Load, LowTextureMemoryTakesTheCarTexturesFromLow) {
  gOptions.lowTextureMemory = 1;
  AssetLoadVehicles();
  EXPECT_STRCASEEQ(gTextureTable.entries[5].path, "car1\\low\\car.3df");
  for (int32_t i = 0; i < gTextureTable.count; ++i) {
    const char* path = gTextureTable.entries[i].path;
    if (std::strncmp(path, "car", 3) != 0) continue;
    EXPECT_NE(std::strstr(path, "\\low\\"), nullptr) << path;
  }
  EXPECT_TRUE(gFatalErrors.empty());
  ASSERT_EQ(::rename("car1/res1/ziziz.3ds", "car1/res1/away"), 0);
  EXPECT_DEATH(AssetLoadVehicles(), "GameQuit after: car1.res1.ziziz.3ds");
}

// A missing vehicle model ends the game on the error screen naming its path;
// missing driver frames name "anim".
TEST_F(Load, AMissingVehicleModelEndsTheGameNamingItsPath) {
  const struct {
    const char* file;
    const char* shown;
  } cases[] = {
      {"car3/res4/ziziz.3ds", "car3.res4.ziziz.3ds"},  {"car6/res2/roueavd.3ds", "car6.res2.roueavd.3ds"},
      {"car1/int/ziziz.3ds", "car1.int.ziziz.3ds"},    {"car2/bord.3ds", "car2.bord.3ds"},
      {"kit/res3/kravd03.3ds", "kit.res3.kravd03.3ds"}, {"kit/kvolant.3ds", "kit.kvolant.3ds"},
      {"man4.3ds", "anim"},            {"dfleche.3ds", "dfleche.3ds"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    const std::string moved = std::string(c.file) + ".away";
    ASSERT_EQ(::rename(c.file, moved.c_str()), 0);
    EXPECT_DEATH(AssetLoadVehicles(), std::string("GameQuit after: ") + c.shown);
    ASSERT_EQ(::rename(moved.c_str(), c.file), 0);
  }
}

TEST_F(Load, AMissingObjectModelEndsTheGameNamingItsPath) {
  ASSERT_EQ(::unlink("others/cactus2.3ds"), 0);
  EXPECT_DEATH(RaceLoad(TRACK_DESERT), "GameQuit after: others.cactus2.3ds");
}

TEST_F(Load, AMissingGroundTextureEndsTheGameRatherThanShiftTheOthers) {
  ASSERT_EQ(::unlink("a17.3df"), 0);
  EXPECT_DEATH(RaceLoad(TRACK_DESERT), "GameQuit after: a17.3df");
}

TEST_F(Load, TyreMarksBlendTowardTheTracksTyreTextureOrAllTakeTheGameStarts) {
  AssetLoadVehicles();
  RaceLoad(TRACK_DESERT);
  EXPECT_EQ(+gAssets.tyreMarks[0], +gAssets.tyreTexture);
  for (int k = 1; k < TYRE_MARK_TEXTURES; ++k) {
    EXPECT_NE(+gAssets.tyreMarks[k], +gAssets.tyreTexture);
    EXPECT_NE(+gAssets.tyreMarks[k], +gAssets.tyreMarks[k - 1]);
  }
  ASSERT_EQ(::unlink("desert/gomme.3df"), 0);
  RaceLoad(TRACK_DESERT);
  for (uint32_t mark : gAssets.tyreMarks) EXPECT_EQ(mark, +gAssets.tyreTexture);
  ASSERT_EQ(::unlink("neige/gomme.3df"), 0);
  RaceLoad(TRACK_NEIGE);
  for (uint32_t mark : gAssets.tyreMarks) EXPECT_EQ(mark, +gAssets.tyreTexture);
}

// The loader's steps in their order, as the stand-ins of the later parts see them.
TEST_F(Load, OnePlayerRaceRunsItsStepsInOrderWithPresentationAndFlyIn) {
  gRace.gameMode = 1;
  gTyreMarks[0].inUse = gTyreMarks[TYRE_MARK_ENTRIES - 1].inUse = 1;
  RaceLoad(TRACK_DESERT);
  for (const TyreMark& mark : gTyreMarks) ASSERT_EQ(+mark.inUse, 0);
  EXPECT_EQ(IndexOfCall("MenuTrackUnlockLevel(0)"), -1);  // not a championship
  const std::vector<std::string> order = {"FxClearPools", "SfxLoadTrackBank", "ViewRunTrackPresentation",
                                          "VehiclePlaceAmbient", "DecorSetupTrack", "MusicPlayTrack(" +
                                          std::to_string(TRACK_ENVIRONMENT[TRACK_DESERT].musicTrack) + ")",
                                          "SfxUpdateListener", "ViewRunStartFlyIn"};
  int at = -1;
  for (const std::string& step : order) {
    const int next = IndexOfCall(step, at + 1);
    EXPECT_GT(next, at) << step;
    at = next;
  }
  EXPECT_EQ(+gRace.waitingForHost, 0);
  EXPECT_EQ(+gVehicleTable[0], gPlayer1Vehicle);
}

TEST_F(Load, WithoutAHumanTheExtraCarStartsAndNothingIsPresented) {
  gRace.noHumanMode = 1;
  gRace.gameMode = 1;
  RaceLoad(TRACK_DESERT);
  EXPECT_EQ(IndexOfCall("ViewRunTrackPresentation"), -1);
  EXPECT_EQ(IndexOfCall("ViewRunStartFlyIn"), -1);
  EXPECT_GE(IndexOfCall("DecorSetupTrack"), 0);
  EXPECT_EQ(+gVehicleTable[0], &gVehicleRecords[VEHICLE_EXTRA_CAR]);
}

// The extra car of a race without a human starts on the second line and the
// computer cars on the first five, as they do behind a player.
TEST_F(Load, TheComputerCarsStartOnTheFirstLinesWithOrWithoutAHuman) {
  for (uint8_t noHuman : {1, 0}) {
    SCOPED_TRACE(+noHuman);
    gRace.noHumanMode = noHuman;
    gRace.gameMode = 1;
    RaceLoad(TRACK_DESERT);
    for (int32_t i = 0; i < VEHICLE_EXTRA_CAR; ++i) EXPECT_EQ(+gVehicleRecords[i].aiSlot, i) << i;
    if (noHuman) {
      EXPECT_EQ(+gVehicleRecords[VEHICLE_EXTRA_CAR].aiSlot, 1);
    }
  }
}

TEST_F(Load, ANetworkRaceWaitsForTheHostWithoutPresentationOrFlyIn) {
  gRace.networkGame = 1;
  gRace.gameMode = 0;
  RaceLoad(TRACK_DESERT);
  EXPECT_EQ(+gRace.gameMode, 4);
  EXPECT_EQ(+gRace.waitingForHost, 1);
  EXPECT_EQ(IndexOfCall("ViewRunTrackPresentation"), -1);
  EXPECT_EQ(IndexOfCall("ViewRunStartFlyIn"), -1);
}

// Each local player's chase camera starts behind it once it stands on the grid.
TEST_F(Load, TheLocalPlayersChaseCamerasResetOnTheirGridSlots) {
  struct Case {
    int32_t playersMode;
    uint8_t noHuman;
    std::vector<std::string> resets;
  };
  const Case cases[] = {{0, 0, {"ChaseCamReset(P1,0)"}},
                        {1, 0, {"ChaseCamReset(P1,0)", "ChaseCamReset(P2,1)"}},
                        {0, 1, {}}};
  for (const Case& c : cases) {
    gCalls.clear();
    gRace.gameMode = 1;
    gRace.playersMode = c.playersMode;
    gRace.noHumanMode = c.noHuman;
    RaceLoad(TRACK_DESERT);
    EXPECT_EQ(CallsStartingWith("ChaseCamReset"), c.resets) << c.playersMode << "," << +c.noHuman;
  }
}

TEST_F(Load, InAChallengeEveryComputerCarTakesPlayer1sType) {
  gRace.gameMode = 2;
  gPlayer1.type = 3;
  RaceLoad(TRACK_DESERT);
  for (int slot = 1; slot < VEHICLE_TABLE_SLOTS; ++slot) {
    ASSERT_NE(+gVehicleTable[slot], nullptr) << slot;
    EXPECT_EQ(+gVehicleTable[slot]->type, 3) << slot;
  }
  gRace.gameMode = 1;
  RaceLoad(TRACK_DESERT);
  EXPECT_EQ(+gVehicleTable[4]->type, 4);
}

// The loading picture clears once a load; a split layout left on screen
// clears both buffers once more, and only at the first load after it.
TEST_F(Load, ASplitRaceFollowedByAOneViewRaceClearsBothBuffersOnce) {
  gRace.gameMode = 1;
  gRace.viewTop = 240;
  RaceLoad(TRACK_DESERT);
  EXPECT_EQ(CallsStartingWith("RdrClear").size(), 3u);
  EXPECT_EQ(+gRace.viewTop, 0);
  gCalls.clear();
  RaceLoad(TRACK_DESERT);
  EXPECT_EQ(CallsStartingWith("RdrClear").size(), 1u);
}

TEST_F(Load, ANetworkRaceNeverRunsAsTraining) {
  gRace.networkGame = 1;
  gRace.gameMode = 0;
  RaceLoad(TRACK_ICE);
  EXPECT_EQ(+gRace.gameMode, 4);
}

// In split screen the first computer slot is player 2 in its own car, and
// both players' chase cameras start afresh; in a challenge player 2 takes
// player 1's car too.
TEST_F(Load, SplitScreenPutsPlayer2BehindPlayer1InItsOwnCar) {
  gRace.gameMode = 1;
  gRace.playersMode = 1;
  gPlayer1.type = 2;
  gPlayer2Vehicle->type = 3;
  RaceLoad(TRACK_DESERT);
  EXPECT_EQ(+gVehicleTable[1], gPlayer2Vehicle);
  EXPECT_EQ(+gPlayer2Vehicle->type, 3);
  EXPECT_EQ(+gVehicleTable[2]->type, 2);
  EXPECT_GE(IndexOfCall("ChaseCamReset(P1,0)"), 0);
  EXPECT_GE(IndexOfCall("ChaseCamReset(P2,1)"), 0);
  gRace.gameMode = 2;
  RaceLoad(TRACK_DESERT);
  for (int slot = 0; slot < VEHICLE_TABLE_SLOTS; ++slot) EXPECT_EQ(+gVehicleTable[slot]->type, 2) << slot;
}

// A championship race raises the best times' unlock count to the track's
// level, unlocks the tracks and saves the best times; once only.
TEST_F(Load, AChampionshipRaceRaisesTheUnlockLevelAndSavesTheBestTimes) {
  gRace.gameMode = 3;
  gScores.unlockedCount = 2;
  gTestUnlockLevel = 4;
  RaceLoad(TRACK_DESERT);
  EXPECT_EQ(+gScores.unlockedCount, 4u);
  const int unlock = IndexOfCall("MenuUnlockTracks(4)");
  EXPECT_GT(unlock, IndexOfCall("MenuTrackUnlockLevel(0)"));
  EXPECT_GT(IndexOfCall("ScoresSave"), unlock);
  gCalls.clear();
  RaceLoad(TRACK_DESERT);
  EXPECT_GE(IndexOfCall("MenuTrackUnlockLevel(0)"), 0);
  EXPECT_EQ(IndexOfCall("ScoresSave"), -1);
  EXPECT_EQ(+gScores.unlockedCount, 4u);
}

// The first championship race: no car has a rank yet, and every one stands
// on its own grid place and starts on its own line.
TEST_F(Load, TheFirstChampionshipRaceGivesEveryCarItsOwnPlace) {
  gRace.gameMode = 3;
  RaceLoad(TRACK_RUINES);
  std::vector<std::pair<float, float>> places;
  std::vector<int32_t> lines;
  for (int32_t slot = 0; slot < VEHICLE_TABLE_SLOTS; ++slot) {
    const Vehicle* v = gVehicleTable[slot];
    ASSERT_NE(v, nullptr) << slot;
    places.emplace_back(v->pose.x, v->pose.z);
    if (v != gPlayer1Vehicle) lines.push_back(v->aiSlot);
  }
  std::sort(places.begin(), places.end());
  EXPECT_EQ(std::adjacent_find(places.begin(), places.end()), places.end());
  std::sort(lines.begin(), lines.end());
  EXPECT_EQ(std::adjacent_find(lines.begin(), lines.end()), lines.end());
}

class NetworkLoad : public Load {
 protected:
  void SetUp() override {
    Load::SetUp();
    gRace.networkGame = 1;
    gRace.playersMode = 2;
    gNetParticipants.count = 3;
    for (int i = 0; i < 3; ++i) gNetParticipants.records[i] = &records_[i];
    gNetParticipants.ownIndex = 1;
    records_[0].type = 2;
    records_[2].type = 5;
    gPlayer1.type = 4;
  }
  Vehicle records_[3]{};
};

// A client's race: every participant on the slot of its index, the own record
// in player 1's place with its values, the received states primed from the
// records once the start has come, the flag pairs cleared.
TEST_F(NetworkLoad, EveryParticipantStartsOnItsSlotAndTheReceivedStatesArePrimed) {
  gRace.gameMode = 0;
  gNetParticipants.stateReceived[0] = 1;
  gNetParticipants.signalCounters[NET_SIGNAL_RACE_OVER] = 2;
  RaceLoad(TRACK_DESERT);
  EXPECT_EQ(+gRace.gameMode, 4);
  EXPECT_EQ(+gRace.networkGame, 1);
  EXPECT_EQ(gNetParticipants.signalCounters[NET_SIGNAL_RACE_OVER], 0);
  EXPECT_EQ(+gNetParticipants.ready, 1);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(+gVehicleTable[i], &records_[i]) << i;
  EXPECT_EQ(+gVehicleTable[3], nullptr);
  EXPECT_EQ(+gLocalNetVehicle, &records_[1]);
  EXPECT_EQ(+records_[0].type, 2);
  EXPECT_EQ(+records_[2].type, 5);
  EXPECT_EQ(+records_[1].type, 4);  // player 1's, copied with its place on slot 1
  EXPECT_FLOAT_EQ(+records_[1].pose.x, +gPlayer1.pose.x);
  EXPECT_FLOAT_EQ(+records_[1].pose.z, +gPlayer1.pose.z);
  EXPECT_NE(+records_[1].pose.z, +records_[0].pose.z);
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    const Vehicle& v = records_[i];
    for (const NetReceivedState* s : {&gNetParticipants.newest[i], &gNetParticipants.previous[i]}) {
      EXPECT_FLOAT_EQ(s->pose[0], +v.pose.x);
      EXPECT_FLOAT_EQ(s->pose[2], +v.pose.z);
      EXPECT_FLOAT_EQ(s->pose[4], +v.pose.heading);
      EXPECT_FLOAT_EQ(s->heading, +v.heading);
    }
  }
  EXPECT_EQ(+gNetParticipants.stateReceived[0], 0);
  // The loading picture says the race waits for the host, before the track loads.
  const std::string waiting = std::string(",") + HudMessageText(HUD_MSG_WAITING_HOST) + ")";
  const std::vector<std::string> printed = CallsStartingWith("DotFontPrintf");
  ASSERT_FALSE(printed.empty());
  EXPECT_NE(printed.front().find(waiting), std::string::npos) << printed.front();
  EXPECT_LT(IndexOfCall(printed.front()), IndexOfCall("FxClearPools"));
  // The start is agreed after the track is loaded, then the countdown shows.
  const int wait = IndexOfCall("NetWaitCounter(6,1,30000)");
  EXPECT_GT(wait, IndexOfCall("DecorSetupTrack"));
  EXPECT_GT(IndexOfCall("NetClearPlayerFlags"), wait);
  EXPECT_EQ(+gHudMessages.global.number, HUD_MSG_READY);
  EXPECT_EQ(IndexOfCall("ViewRunTrackPresentation"), -1);
  EXPECT_EQ(IndexOfCall("ViewRunStartFlyIn"), -1);
}

TEST_F(NetworkLoad, AnAbortDuringTheStartLeavesAOnePlayerRace) {
  gNetScript.abortInWait = true;
  RaceLoad(TRACK_DESERT);
  EXPECT_EQ(+gRace.networkGame, 0);
  EXPECT_EQ(+gRace.playersMode, 0);
  EXPECT_EQ(+gVehicleTable[0], &gPlayer1);
  for (int slot = 1; slot < VEHICLE_TABLE_SLOTS; ++slot) EXPECT_EQ(+gVehicleTable[slot], &gVehicleRecords[slot - 1]);
  EXPECT_EQ(IndexOfCall("NetClearPlayerFlags"), -1);
  EXPECT_EQ(+records_[1].type, 0);  // the own record untouched
}

// After a display-mode change every texture comes back under its handle, and
// the faces of the sky-layer texture follow the sky-and-fog option.
TEST_F(Load, AReloadKeepsEveryTextureHandleAndRemarksTheSkyLayerFaces) {
  AssetLoadVehicles();
  RaceLoad(TRACK_DESERT);
  const TextureTable before = gTextureTable;
  const AssetState assets = gAssets;
  const uint32_t sky = gRace.trackTextures[TRACK_TEX_SKY];
  const uint32_t other = sky + 1;
  ASSERT_GE(gMesh.faceCount, 4);
  const uint32_t words[4] = {FACE_TRANSLUCENT << 24 | sky, FACE_TEX_LIT << 24 | sky, FACE_COLOUR << 24 | sky,
                             FACE_TEX_LIT << 24 | other};
  const struct {
    uint8_t remark, skyAndFog;
    uint32_t want[4];
  } cases[] = {
      {1, 1, {FACE_TRANSLUCENT << 24 | sky, FACE_TRANSLUCENT << 24 | sky, words[2], words[3]}},
      {1, 0, {FACE_TEX_LIT << 24 | sky, FACE_TEX_LIT << 24 | sky, words[2], words[3]}},
      {0, 0, {words[0], words[1], words[2], words[3]}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.remark * 10 + c.skyAndFog);
    for (int i = 0; i < 4; ++i) gMesh.faces[i].type = words[i];
    gOptions.detail[3] = c.skyAndFog;
    gRace.waitingForHost = 1;
    RaceReloadAssets(c.remark);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(+gMesh.faces[i].type, c.want[i]) << i;
    EXPECT_EQ(+gRace.waitingForHost, 0);
    ASSERT_EQ(+gTextureTable.count, +before.count);
    for (int32_t i = 0; i < before.count; ++i) {
      EXPECT_STREQ(gTextureTable.entries[i].path, before.entries[i].path) << i;
      EXPECT_EQ(+gTextureTable.entries[i].handle, +before.entries[i].handle) << i;
    }
    for (int k = 0; k < TYRE_MARK_TEXTURES; ++k) EXPECT_EQ(gAssets.tyreMarks[k], assets.tyreMarks[k]) << k;
  }
  EXPECT_EQ(CallsStartingWith("SfxLoadTrackBank").size(), 4u);
  gRace.networkGame = 1;
  gRace.gameMode = 0;
  RaceReloadAssets(0);
  EXPECT_EQ(+gRace.gameMode, 4);
  EXPECT_TRUE(gFatalErrors.empty());
}

}  // namespace
