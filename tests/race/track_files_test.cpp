// The track mesh file, its face-word fix-up, the placements and counter
// slots, the cell grid and ground table, the camera spots and the position
// map, each read from fixtures laid out field by field.
#include <algorithm>
#include <cmath>

#include "files_fixture.h"
#include "engine3d/instance.h"
#include "presentation/decor_objects.h"
#include "engine3d/terrain.h"
#include "race/terrain_table.h"
#include "race/tracks.h"
#include "race/trajectory.h"
#include "tools/datakit/lib/contact_kit.h"
#include "tools/datakit/lib/race_kit.h"

namespace {

void PutVertex(Le& f, float x, float y, float z, uint8_t r, uint8_t g, uint8_t b) {
  f.f32(x).f32(y).f32(z);                    // position
  f.f32(0).f32(0).f32(0);                    // view position
  f.f32(0).f32(-1024.0f).f32(0);             // normal
  f.f32(0).f32(0);                           // screen position
  f.u8(r).u8(g).u8(b).f32(63.0f).u8(63);     // colour, light, light level
}

void PutFace(Le& f, uint32_t type, std::vector<uint16_t> corners) {
  f.u32(type).u8(static_cast<uint8_t>(corners.size()));
  for (int i = 0; i < 4; ++i) f.u16(i < static_cast<int>(corners.size()) ? corners[i] : 0);
  for (int i = 0; i < 8; ++i) f.f32(static_cast<float>(i * 10));
  f.f32(0).f32(-1024.0f).f32(0).u8(0);
}

void PutPlacement(Le& f, uint16_t yaw, uint16_t second, uint8_t counter, uint16_t type, float x, float y, float z) {
  f.u16(yaw).u16(second).u8(counter).u16(type).f32(x).f32(y).f32(z);
}

// The rest of the ground grid's vertices, which every mesh file holds.
void PutGridFiller(Le& f, int32_t written, int32_t count = TRACK_GRID_VERTICES) {
  for (int32_t i = written; i < count; ++i) PutVertex(f, 0, 0, 0, 255, 255, 255);
}

constexpr int32_t START = 10;      // game-start texture count
constexpr uint32_t SKY = 77;        // handle of the sky layer

// Five faces, one of each fix-up, over three white vertices and a yellow one
// (the first of the grid's), and two placements: a barrel and an animated cow.
Le SmallUv(int32_t vertexCount = TRACK_GRID_VERTICES) {
  Le f;
  f.u32(5);
  PutFace(f, 0x02000003, {0, 1, 2});
  PutFace(f, 0x0F000004, {0, 1, 2});
  PutFace(f, 0x0D000005, {0, 1, 2});
  PutFace(f, 0x0D000006, {0, 1, 3});
  PutFace(f, 0x0E000009, {0, 1, 2, 3});
  f.u32(static_cast<uint32_t>(vertexCount));
  PutVertex(f, 100, 5, 200, 255, 255, 255);
  PutVertex(f, 300, 6, 200, 255, 255, 255);
  PutVertex(f, 300, 7, 400, 255, 255, 255);
  PutVertex(f, 100, 8, 400, 255, 255, 0);
  PutGridFiller(f, 4, vertexCount);
  f.u32(2);
  PutPlacement(f, 100, 0, 0x44, OBJECT_ROW_BIDON, 1000, 50, 2000);
  PutPlacement(f, 300, 7, 0x33, 12, 1500, 60, 2500);
  return f;
}

class TrackMesh : public FilesTest {
 protected:
  void SetUp() override {
    FilesTest::SetUp();
    gAssets.gameStartTextures = START;
    gRace.trackTextures[TRACK_TEX_SKY] = SKY;
    gObjectModels[OBJECT_ROW_BIDON] = &model_;
    gObjectModels[12] = &model_;
  }
};

TEST_F(TrackMesh, FacesVerticesAndPlacementsLoadWithTheirWordsFixed) {
  for (uint8_t skyAndFog : {0, 1}) {
    SCOPED_TRACE(skyAndFog);
    gOptions.detail[3] = skyAndFog;
    // The loader bins the faces into the world grid, which reorders them: the
    // words are checked as read.
    const Le file = SmallUv();
    gDrawLists.staticCount = 0;
    gObjectCounterCount = 0;
    ASSERT_EQ(TrackReadMesh(file.b.data(), static_cast<uint32_t>(file.b.size())), 1);
    TrackPlaceObjects();
    ASSERT_EQ(+gMesh.faceCount, 5);
    ASSERT_EQ(+gMesh.vertexCount, TRACK_GRID_VERTICES);
    EXPECT_EQ(+gMesh.faces[0].type, 0x0200000Du);  // below 0x0D: the count added
    EXPECT_EQ(+gMesh.faces[1].type, 0x0F00000Eu);  // above 0x0E likewise
    EXPECT_EQ(+gMesh.faces[2].type, 0x0200000Fu);  // vertex-coloured over white corners: plainly lit
    EXPECT_EQ(+gMesh.faces[3].type, 0x0D000010u);  // one coloured corner keeps it, and sorts the drawing
    EXPECT_EQ(+gRace.sortedDrawing, 1);
    EXPECT_EQ(+gMesh.faces[4].type, (skyAndFog ? 0x0E000000u : 0x02000000u) | SKY);
    EXPECT_EQ(+gMesh.faces[4].vertexCount, 4);
    EXPECT_EQ(+gMesh.faces[3].index[2], 3);
    EXPECT_FLOAT_EQ(+gMesh.faces[0].st[5], 50.0f);
    EXPECT_FLOAT_EQ(+gMesh.vertices[3].y, 8.0f);
    EXPECT_EQ(+gMesh.vertices[3].blue, 0);

    ASSERT_EQ(gPlacementCount, 2);
    EXPECT_EQ(+gPlacements[1].yaw, 300);
    EXPECT_EQ(+gPlacements[1].second, 7);
    EXPECT_EQ(+gPlacements[1].type, 12);
    EXPECT_FLOAT_EQ(+gPlacements[1].z, 2500.0f);
    EXPECT_EQ(+gPlacements[0].counterSlot, COUNTER_SLOT_NONE);  // not animated
    EXPECT_EQ(+gPlacements[1].counterSlot, 0);                  // the first counter slot
    EXPECT_EQ(gObjectCounterCount, 1);
    ASSERT_EQ(+gDrawLists.staticCount, 2);
    EXPECT_EQ(+gDrawLists.statics[0].callback, &DecorDrawPlainObject);
    EXPECT_EQ(+gDrawLists.statics[1].callback, &DecorDrawObjectKind1);
    EXPECT_EQ(+gDrawLists.statics[1].user, 1u);
    EXPECT_FLOAT_EQ(+gDrawLists.statics[1].boxMaxY, 260.0f);
  }
}

TEST_F(TrackMesh, AWaterFaceTakesHandleZeroWhenTheSkyLayerIsNotLoaded) {
  gRace.trackTextures[TRACK_TEX_SKY] = 0;
  gOptions.detail[3] = 1;
  Le f = SmallUv();
  ASSERT_EQ(TrackReadMesh(f.b.data(), static_cast<uint32_t>(f.b.size())), 1);
  EXPECT_EQ(+gMesh.faces[4].type, 0x0E000000u);
}

TEST_F(TrackMesh, TheFileLoadsIntoTheGridWithItsPlacements) {
  dir_.Write("desert.uv", SmallUv().str());
  gRace.trajectoriesLoaded = 0;
  TrackLoadMesh();
  EXPECT_GE(+gMesh.faceCount, 5);
  EXPECT_EQ(gPlacementCount, 2);
  EXPECT_EQ(+gDrawLists.staticCount, 2);
  EXPECT_EQ(+gRace.trajectoriesLoaded, 1);
}

TEST_F(TrackMesh, WithoutAFileTheTrackIsItsTerrainAndHasNoTrajectories) {
  gPlacementCount = 4;
  gRace.waterLevel = NO_WATER_LEVEL;
  TrackLoadMesh();
  EXPECT_EQ(+gTerrain.desc, &gTrackTerrains[TRACK_DESERT]);
  EXPECT_GE(+gMesh.vertexCount, 161 * 81);
  EXPECT_EQ(+gRace.trajectoriesLoaded, 0);
  EXPECT_EQ(gPlacementCount, 0);
  EXPECT_EQ(+gMesh.vertices[500].red, 255);
  EXPECT_FLOAT_EQ(+gMesh.vertices[500].light, 0.0f);
  // The terrain takes the track's first ground texture after the game start's.
  for (int32_t i = 0; i < gMesh.faceCount; i += 997) EXPECT_EQ(gMesh.faces[i].type & 0xFFFFFF, static_cast<uint32_t>(START + 1));
}

// Every damaged file is refused whole, and the loader builds the terrain instead.
TEST_F(TrackMesh, DamagedFilesAreRefusedAndLeaveTheMeshAsItWas) {
  const Le good = SmallUv();
  const uint32_t facesEnd = 4 + 5 * 58, verticesEnd = facesEnd + 4 + TRACK_GRID_VERTICES * 52;
  auto patched = [&](uint32_t at, uint32_t value) {
    Le f = good;
    for (int i = 0; i < 4; ++i) f.b[at + i] = static_cast<uint8_t>(value >> (8 * i));
    return f.b;
  };
  auto cut = [&](size_t n) { return std::vector<uint8_t>(good.b.begin(), good.b.begin() + n); };
  struct Case {
    const char* what;
    std::vector<uint8_t> file;
  };
  std::vector<uint8_t> fiveCorners = good.b;
  fiveCorners[4 + 4] = 5;
  std::vector<uint8_t> badIndex = good.b;
  badIndex[4 + 58 * 3 + 5 + 4] = TRACK_GRID_VERTICES & 0xFF;  // corner 2 of face 3 names the vertex past the last
  badIndex[4 + 58 * 3 + 5 + 5] = TRACK_GRID_VERTICES >> 8;
  // Field `at` of vertex k.
  auto vertexField = [&](int32_t k, uint32_t at, float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, 4);
    return patched(facesEnd + 4 + static_cast<uint32_t>(k) * 52 + at, bits);
  };
  const float nan = std::nanf(""), inf = HUGE_VALF;
  const Case cases[] = {
      {"empty", {}},
      {"three bytes", cut(3)},
      {"faces cut short", cut(4 + 58 * 2)},
      {"no vertex count", cut(facesEnd)},
      {"vertices cut short", cut(facesEnd + 4 + 52)},
      {"no placement count", cut(verticesEnd)},
      {"placements cut short", cut(good.b.size() - 1)},
      {"a face of five corners", fiveCorners},
      {"a corner past the vertices", badIndex},
      {"face count past the pool", patched(0, MESH_POOL_FACES + 1)},
      {"face count past the file", patched(0, 0xFFFFFFFF)},
      {"vertex count past the pool", patched(facesEnd, MESH_POOL_VERTICES + 1)},
      {"placement count past the table", patched(verticesEnd, PLACEMENT_MAX + 1)},
      // The height queries read the first 161 x 81 vertices as the ground.
      {"10 vertices", SmallUv(10).b},
      {"one vertex short of the grid", SmallUv(TRACK_GRID_VERTICES - 1).b},
      {"a height not a number", vertexField(1, 4, nan)},
      {"an infinite x", vertexField(TRACK_GRID_VERTICES - 1, 0, -inf)},
      {"a normal not a number", vertexField(2, 28, nan)},
      {"an infinite light", vertexField(3, 47, inf)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    gMesh.faceCount = 1;
    gMesh.vertexCount = 2;
    gPlacementCount = 3;
    EXPECT_EQ(TrackReadMesh(c.file.data(), static_cast<uint32_t>(c.file.size())), 0);
    EXPECT_EQ(+gMesh.faceCount, 1);
    EXPECT_EQ(+gMesh.vertexCount, 2);
    EXPECT_EQ(gPlacementCount, 3);
  }
  dir_.Write("desert.uv", std::string(badIndex.begin(), badIndex.end()));
  TrackLoadMesh();
  EXPECT_EQ(+gTerrain.desc, &gTrackTerrains[TRACK_DESERT]);
  EXPECT_EQ(+gRace.trajectoriesLoaded, 0);
}

// A placement that is nowhere is left out, the rest keep their order; the
// mesh itself is good.
TEST_F(TrackMesh, PlacementsWhosePositionIsNotANumberAreLeftOut) {
  const uint32_t placementsAt = 4 + 5 * 58 + 4 + TRACK_GRID_VERTICES * 52 + 4;
  const float nan = std::nanf(""), inf = HUGE_VALF;
  const struct {
    const char* what;
    uint32_t placement, at;  // the field: 7 x, 11 y, 15 z
    float value;
  } cases[] = {
      {"the barrel's x not a number", 0, 7, nan},
      {"the barrel's y infinite", 0, 11, inf},
      {"the barrel's z minus infinity", 0, 15, -inf},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Le f = SmallUv();
    uint32_t bits;
    std::memcpy(&bits, &c.value, 4);
    for (int i = 0; i < 4; ++i) f.b[placementsAt + c.placement * 19 + c.at + i] = static_cast<uint8_t>(bits >> (8 * i));
    gDrawLists.staticCount = 0;
    gObjectCounterCount = 0;
    ASSERT_EQ(TrackReadMesh(f.b.data(), static_cast<uint32_t>(f.b.size())), 1);
    ASSERT_EQ(gPlacementCount, 1);
    EXPECT_EQ(+gPlacements[0].type, 12);  // the cow
    EXPECT_FLOAT_EQ(+gPlacements[0].x, 1500.0f);
    TrackPlaceObjects();
    ASSERT_EQ(+gDrawLists.staticCount, 1);
    EXPECT_EQ(+gDrawLists.statics[0].user, 0u);
    EXPECT_FLOAT_EQ(+gDrawLists.statics[0].x, 1500.0f);
  }
}

class Placements : public TrackMesh {
 protected:
  void Place(uint16_t type, uint8_t counter = COUNTER_SLOT_NONE, float x = 500.0f) {
    gPlacements[gPlacementCount++] = ObjectPlacement{0, 0, counter, type, x, 10.0f, 700.0f};
  }
};

TEST_F(Placements, EachDrawKindTakesItsCallbackAndSizesAndKindsAbove10NoSlot) {
  struct Kind {
    DrawCallback callback;
    float across, up;
  };
  const Kind kinds[] = {
      {DecorDrawPlainObject, 50, 200}, {DecorDrawObjectKind1, 50, 200}, {DecorDrawNothing, 10, 10},
      {DecorDrawObjectKind3, 50, 200}, {DecorDrawLargeObject, 300, 550}, {DecorDrawObjectKind5, 50, 200},
      {DecorDrawBoat, 50, 200},        {DecorDrawObjectKind7, 300, 550}, {DecorDrawPanel, 50, 200},
      {DecorDrawFlag, 50, 200},        {DecorDrawObjectKind10, 50, 200},
  };
  for (uint8_t k = 0; k <= 11; ++k) {
    gObjectTypes[k + 1].drawKind = k;
    gObjectTypes[k + 1].anim = nullptr;
    gObjectModels[k + 1] = &model_;
    Place(k + 1);
  }
  TrackPlaceObjects();
  ASSERT_EQ(+gDrawLists.staticCount, 11);
  for (int k = 0; k <= 10; ++k) {
    SCOPED_TRACE(k);
    const DrawSlot& s = gDrawLists.statics[k];
    EXPECT_EQ(+s.callback, +kinds[k].callback);
    EXPECT_FLOAT_EQ(s.boxMaxX - s.x, +kinds[k].across);
    EXPECT_FLOAT_EQ(s.boxMaxY - s.y, +kinds[k].up);
    EXPECT_EQ(+s.owner, &model_);
  }
}

TEST_F(Placements, TypesOutsideTheTableOrWithoutAModelAreSkipped) {
  Place(OBJECT_TYPE_ROWS);
  Place(0xFFFF);
  Place(30);  // no model loaded on this track
  Place(OBJECT_ROW_BIDON);
  TrackPlaceObjects();
  ASSERT_EQ(+gDrawLists.staticCount, 1);
  EXPECT_EQ(+gDrawLists.statics[0].user, 3u);
}

TEST_F(Placements, OnlyAnimatedTypesAndTheBoatKeepACounterByte) {
  gObjectModels[96] = &model_;  // barque
  Place(OBJECT_ROW_BIDON, 5);
  Place(96, 1);
  Place(12, 9);
  TrackPlaceObjects();
  EXPECT_EQ(+gPlacements[0].counterSlot, COUNTER_SLOT_NONE);
  EXPECT_EQ(+gPlacements[1].counterSlot, 1);  // the boat's rocking direction
  EXPECT_EQ(+gPlacements[2].counterSlot, 0);
}

TEST_F(Placements, The257thAnimatedPlacementGetsNoCounterSlot) {
  gObjectCounters[5] = ObjectCounter{3.0f, 2.0f, 1};
  for (int i = 0; i < 257; ++i) Place(12, 0x20);
  TrackPlaceObjects();
  EXPECT_EQ(gObjectCounterCount, COUNTER_SLOTS);
  EXPECT_EQ(+gPlacements[0].counterSlot, 0);
  EXPECT_EQ(+gPlacements[255].counterSlot, 255);
  EXPECT_EQ(+gPlacements[256].counterSlot, COUNTER_SLOT_NONE);
  EXPECT_FLOAT_EQ(+gObjectCounters[5].duration, 0.0f);  // handed out zeroed
}

TEST_F(Placements, AFileWithoutPlacementsGivesNoSlotsAndNoCounters) {
  Le f;
  f.u32(0).u32(TRACK_GRID_VERTICES);
  PutGridFiller(f, 0);
  f.u32(0);
  dir_.Write("desert.uv", f.str());
  gPlacementCount = 7;
  TrackLoadMesh();
  EXPECT_EQ(gPlacementCount, 0);
  EXPECT_EQ(gObjectCounterCount, 0);
  EXPECT_EQ(+gDrawLists.staticCount, 0);
  EXPECT_EQ(+gRace.trajectoriesLoaded, 1);
}

class CellGrid : public Placements {
 protected:
  // Row 9 as a plain grid object with these flags and special id.
  void Row9(uint8_t flags, int32_t id = -1) {
    gObjectTypes[9].gridFlags = flags;
    gObjectTypes[9].specialId = id;
    gObjectTypes[9].anim = nullptr;
    gObjectModels[9] = &model_;
  }
  void PlaceAt(float x, float z) {
    gPlacements[gPlacementCount++] = ObjectPlacement{0, 0, COUNTER_SLOT_NONE, 9, x, 40.0f, z};
  }
  // One ground face of track-relative texture `s` around (x, z).
  void GroundFace(uint32_t s, float x, float z) {
    const int32_t v = gMesh.vertexCount;
    gMesh.vertices[v] = Vertex{};
    gMesh.vertices[v].x = x - 10;
    gMesh.vertices[v].z = z - 10;
    gMesh.vertices[v + 1] = gMesh.vertices[v];
    gMesh.vertices[v + 1].x = x + 20;
    gMesh.vertices[v + 2] = gMesh.vertices[v];
    gMesh.vertices[v + 2].z = z + 20;
    gMesh.vertexCount += 3;
    Face& f = gMesh.faces[gMesh.faceCount++];
    f = Face{};
    f.type = FACE_TEX_LIT << 24 | (s + START);
    f.vertexCount = 3;
    f.index[0] = static_cast<uint16_t>(v);
    f.index[1] = static_cast<uint16_t>(v + 1);
    f.index[2] = static_cast<uint16_t>(v + 2);
  }
  void Build() {
    TrackPlaceObjects();
    TrackBuildCellGrid();
  }
};

TEST_F(CellGrid, TheFixedBoxIdShiftsTheObjectLeftBy250) {
  Row9(0xD0, OBJECT_ID_FIXED_BOX);
  PlaceAt(250.0f, 100.0f);
  Build();
  EXPECT_EQ(+gTrackGrid[0][0].count, 1);
  EXPECT_EQ(+gTrackGrid[0][1].count, 0);
}

TEST_F(CellGrid, GroundAndNoCellFlagsAndObjectsOutsideTheGrid) {
  Row9(OBJECT_GRID_GROUND);
  PlaceAt(1550.0f, 820.0f);
  Build();
  EXPECT_EQ(+gTrackGrid[4][7].count, 1);
  EXPECT_EQ(+gTrackGround[8][15].object, &gDrawLists.statics[0]);
  EXPECT_FLOAT_EQ(+gTrackGround[8][15].height, 30.0f);

  gPlacementCount = 0;
  gDrawLists.staticCount = 0;
  Row9(OBJECT_GRID_NO_CELL | OBJECT_GRID_GROUND);
  PlaceAt(1550.0f, 820.0f);
  for (float x : {-300.0f, 16000.0f, 1e30f, NAN}) PlaceAt(x, 100.0f);
  PlaceAt(100.0f, -201.0f);
  Build();
  EXPECT_EQ(+gTrackGrid[4][7].count, 0);
  EXPECT_EQ(+gTrackGround[8][15].object, &gDrawLists.statics[0]);  // still on the ground table
  for (const auto& row : gTrackGrid)
    for (const TrackGridCell& c : row) EXPECT_EQ(+c.count, 0);
}

TEST_F(CellGrid, ACrowdedCellOrPoolSkipsOnlyTheObjectThatDoesNotFit) {
  Row9(0xD0);
  for (int i = 0; i < 21; ++i) PlaceAt(10.0f, 10.0f);
  PlaceAt(450.0f, 10.0f);
  GroundFace(3, 350.0f, 350.0f);
  Build();
  EXPECT_EQ(+gTrackGrid[0][0].count, TRACK_GRID_CELL_OBJECTS);
  EXPECT_EQ(+gTrackGrid[0][2].count, 1);  // after the 21st
  EXPECT_EQ(+gTrackGround[3][3].surface, 3);

  gPlacementCount = 0;
  gDrawLists.staticCount = 0;
  for (int i = 0; i < 401; ++i) PlaceAt(100.0f + 200.0f * static_cast<float>(i % 80), 100.0f + 200.0f * (i / 80));
  PlaceAt(100.0f, 100.0f);
  Build();
  EXPECT_EQ(+gTrackGrid[5][0].count, 0);  // the 401st cell found no block
  EXPECT_EQ(+gTrackGrid[0][0].count, 2);  // its block had room for the next
  EXPECT_EQ(+gTrackGround[3][3].surface, 3);
}

TEST_F(CellGrid, GroundCodesFollowTheTracksTextureNumbers) {
  GroundFace(3, 150.0f, 150.0f);
  GroundFace(4, 350.0f, 150.0f);
  GroundFace(37, 550.0f, 150.0f);
  GroundFace(30, 750.0f, 150.0f);
  GroundFace(31, 950.0f, 150.0f);
  gRace.trackIndex = TRACK_DESERT;
  TrackBuildCellGrid();
  EXPECT_EQ(+gTrackGround[1][1].surface, 3);
  EXPECT_EQ(+gTrackGround[1][3].surface, 0);
  EXPECT_EQ(+gTrackGround[1][5].surface, 37);
  EXPECT_EQ(+gTrackGround[1][7].surface, 0);
  gRace.trackIndex = TRACK_ICE;
  TrackBuildCellGrid();
  EXPECT_EQ(+gTrackGround[1][1].surface, 3);
  EXPECT_EQ(+gTrackGround[1][3].surface, 4);
  EXPECT_EQ(+gTrackGround[1][5].surface, 0);
  EXPECT_EQ(+gTrackGround[1][7].surface, 30);
  EXPECT_EQ(+gTrackGround[1][9].surface, 0);
}

TEST_F(CellGrid, AddingAnObjectDuringTheRaceRefusesWhatTheBuildWouldNot) {
  Row9(0xD0);
  for (int i = 0; i < 20; ++i) PlaceAt(10.0f, 10.0f);
  PlaceAt(30.0f, 30.0f);
  Build();
  DrawSlot* last = &gDrawLists.statics[20];
  EXPECT_EQ(TrackGridAddObject(last), 0);  // full cell
  last->x = -300.0f;
  EXPECT_EQ(TrackGridAddObject(last), 0);  // outside
  last->x = 16000.0f;
  EXPECT_EQ(TrackGridAddObject(last), 0);
  last->x = 250.0f;
  EXPECT_EQ(TrackGridAddObject(last), 1);  // no 250 shift here: column 1
  EXPECT_EQ(+gTrackGrid[0][1].count, 1);
  gObjectTypes[9].gridFlags = OBJECT_GRID_NO_CELL;
  EXPECT_EQ(TrackGridAddObject(last), 0);
  gObjectTypes[9].gridFlags = 0xD0;
  // With every block in use a cell that has none refuses.
  for (int i = 0; i < 398; ++i) {
    last->x = 100.0f + 200.0f * static_cast<float>((i + 2) % 80);
    last->z = 100.0f + 200.0f * static_cast<float>((i + 2) / 80);
    ASSERT_EQ(TrackGridAddObject(last), 1) << i;
  }
  last->x = 100.0f;
  last->z = 7900.0f;
  EXPECT_EQ(TrackGridAddObject(last), 0);
  EXPECT_EQ(TrackGridAddObject(nullptr), 0);
}

// 29-byte records: in-use byte, kind, then a camera.
TEST_F(FilesTest, CameraSpotsLoadAndAShortOrMissingFileEmptiesThem) {
  Le f;
  for (int i = 0; i < CAMERA_SPOTS; ++i) {
    f.u8(i == 2 ? 1 : 0).u32(i == 2 ? 7 : 0);
    for (int k = 0; k < 6; ++k) f.f32(static_cast<float>(i * 10 + k));
  }
  f.u8(0xEE);  // bytes past the 1450 are not read
  dir_.Write("desert.cam", f.str());
  TrackLoadCameras();
  EXPECT_EQ(+gCameraSpots[2].inUse, 1);
  EXPECT_EQ(+gCameraSpots[2].kind, 7);
  EXPECT_FLOAT_EQ(+gCameraSpots[2].camera.x, 20.0f);
  EXPECT_FLOAT_EQ(+gCameraSpots[2].camera.roll, 25.0f);
  EXPECT_FLOAT_EQ(+gCameraSpots[49].camera.pitch, 493.0f);

  dir_.Write("desert.cam", f.str().substr(0, 1449));
  TrackLoadCameras();
  EXPECT_EQ(+gCameraSpots[2].inUse, 0);
  gCameraSpots[2].inUse = 1;
  gRace.trackIndex = TRACK_NEIGE;
  TrackLoadCameras();
  EXPECT_EQ(+gCameraSpots[2].inUse, 0);
}

// mappos.qvr for tracks 0..3, mappos1 for 4..7, mappos2 for 8 and 9; each
// track takes the quadrant track & 3 of the 80 x 40 codes.
TEST_F(FilesTest, MapTilesTakeTheirTracksQuadrant) {
  auto picture = [](uint8_t base) {
    Le f;
    f.u16(80).u16(40);
    for (int i = 0; i < 768; ++i) f.u8(0x55);
    for (int r = 0; r < 40; ++r)
      for (int c = 0; c < 80; ++c) f.u8(static_cast<uint8_t>(base + (r >= 20) * 2 + (c >= 40)));
    return f.str();
  };
  dir_.Write("mappos.qvr", picture(10));
  dir_.Write("mappos1.qvr", picture(20));
  dir_.Write("mappos2.qvr", picture(30));
  const struct {
    int32_t track;
    uint8_t code;
  } cases[] = {{0, 10}, {3, 13}, {5, 21}, {9, 31}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.track);
    gRace.trackIndex = c.track;
    TrackLoadMapTile();
    EXPECT_EQ(+gTrackPositionMap[0][0], +c.code);
    EXPECT_EQ(+gTrackPositionMap[19][39], +c.code);
  }
  dir_.Write("mappos2.qvr", picture(30).substr(0, 772 + 80 * 40 - 1));
  TrackLoadMapTile();
  EXPECT_EQ(+gTrackPositionMap[0][0], 0);  // no zones rather than the previous track's
  EXPECT_EQ(+gTrackPositionMap[19][39], 0);
}

}  // namespace

namespace {

// The kit writes the desert's files; the game reads them back.
TEST_F(FilesTest, TheKitsDesertFilesLoad) {
  std::string error;
  ASSERT_TRUE(datakit::WriteLooseFiles(datakit::TrackArchiveFiles(), dir_.path().string(), &error)) << error;
  gAssets.gameStartTextures = START;
  gObjectModels[OBJECT_ROW_BIDON] = &model_;
  gObjectModels[12] = &model_;
  const datakit::Bytes uv = datakit::TrackMeshFileWrite(datakit::DesertTrackMesh(), datakit::DesertPlacements());
  ASSERT_EQ(TrackReadMesh(uv.data(), static_cast<uint32_t>(uv.size())), 1);
  EXPECT_EQ(+gMesh.vertexCount, 161 * 81);
  EXPECT_EQ(+gMesh.faceCount, 2 * 160 * 80);
  // The grid lies row by row, 100 apart.
  EXPECT_FLOAT_EQ(+gMesh.vertices[161 * 3 + 7].x, 700.0f);
  EXPECT_FLOAT_EQ(+gMesh.vertices[161 * 3 + 7].z, 300.0f);
  const Face& f = gMesh.faces[0];
  EXPECT_NEAR(std::sqrt(f.normalX * f.normalX + f.normalY * f.normalY + f.normalZ * f.normalZ), 1024.0f, 0.5f);
  EXPECT_EQ(+gMesh.vertices[0].lightLevel, 63);
  TrackLoadMesh();
  EXPECT_EQ(gPlacementCount, static_cast<int32_t>(datakit::DesertPlacements().size()));
  // The barrels (with the crowd of drums and the one on the course) and the
  // five cows have models here; each cow has its own counter.
  EXPECT_EQ(+gDrawLists.staticCount, 12 + datakit::KIT_CROWD);
  EXPECT_EQ(gObjectCounterCount, 5);
  TrackBuildCellGrid();
  // The crowded cell keeps its first 20 drums.
  const int crowdRow = static_cast<int>(datakit::KIT_CROWD_Z / 200.0f);
  const int crowdCol = static_cast<int>(datakit::KIT_CROWD_X / 200.0f);
  const TrackGridCell& crowd = gTrackGrid[crowdRow][crowdCol];
  EXPECT_EQ(+crowd.count, TRACK_GRID_CELL_OBJECTS);
  EXPECT_EQ(+gTrackGround[66][20].surface, 3);  // on the course at (2000, 6620)
  EXPECT_EQ(+gTrackGround[10][20].surface, 0);

  TrajLoad();
  EXPECT_EQ(+gRace.trajectoriesLoaded, 1);
  float farthest = 0.0f;
  for (int32_t i = 0; i < gTrajectories[0].count; ++i) farthest = std::fmax(farthest, gTrajectories[0].points[i].x);
  EXPECT_GT(farthest, 9000.0f);
  // Five lines along the course for the pickers and the respawn, and the course cut into its grid.
  for (int32_t slot = 1; slot < 5; ++slot) EXPECT_EQ(gTrajectories[slot].count, gTrajectories[0].count) << slot;
  EXPECT_EQ(gTrajectories[5].count, 0);
  EXPECT_GT(gTrajLength, 18000.0f);
  // Each segment adds its length / 10 points, rounded up.
  EXPECT_GE(gTrajDenseCount, static_cast<int32_t>(gTrajLength / 10.0f));
  EXPECT_LE(gTrajDenseCount, static_cast<int32_t>(gTrajLength / 10.0f) + gTrajectories[0].count);
  Trajectory other;
  EXPECT_EQ(TrajLoadFile("other.tD", &other), 1);
  EXPECT_EQ(TrajLoadFile("ele.tB", &other), 1);

  TrackLoadMapTile();
  EXPECT_EQ(+gTrackPositionMap[16][2], 1);  // the finish line just beyond the grid
  EXPECT_EQ(+gTrackPositionMap[16][3], 2);
  // A wrong road beside the course, the world's edge out of bounds.
  EXPECT_EQ(+gTrackPositionMap[12][3], 55);
  EXPECT_EQ(+gTrackPositionMap[0][10], 254);
  EXPECT_EQ(+gTrackPositionMap[19][10], 254);
  EXPECT_EQ(+gTrackPositionMap[8][39], 254);
  EXPECT_EQ(+gTrackPositionMap[15][0], 254);
  EXPECT_GT(+gTrackPositionMap[15][1], 2);  // the bend before the start passes there
  EXPECT_LT(+gTrackPositionMap[15][1], 55);
  TrackLoadCameras();
  EXPECT_EQ(+gCameraSpots[0].inUse, 1);
  EXPECT_EQ(+gCameraSpots[0].kind, 0);
  EXPECT_EQ(+gCameraSpots[1].kind, 1);
}

// The kit's ice track: its mesh with its placements, its frozen lake, its
// trajectories and its quadrant (top right) of the third position map.
TEST_F(FilesTest, TheKitsIceFilesLoad) {
  std::string error;
  ASSERT_TRUE(datakit::WriteLooseFiles(datakit::TrackArchiveFiles(), dir_.path().string(), &error)) << error;
  gAssets.gameStartTextures = START;
  // Its arrows, ice blocks, penguins, gates, panel and pennant.
  for (int32_t row : {240, 243, 246, 247, 251, 252, 254, 256}) gObjectModels[row] = &model_;
  gRace.trackIndex = TRACK_ICE;
  TrackLoadMesh();
  const datakit::KitTrackDesc& ice = *datakit::KitTrackByIndex(TRACK_ICE);
  EXPECT_EQ(gPlacementCount, static_cast<int32_t>(ice.placements(ice).size()));
  EXPECT_EQ(+gDrawLists.staticCount, gPlacementCount);
  EXPECT_EQ(gObjectCounterCount, 2);  // the penguins'
  // The grid, and the bed under the see-through course.
  EXPECT_GT(+gMesh.vertexCount, 161 * 81);
  EXPECT_FLOAT_EQ(+gMesh.vertices[161 * 81].y, -120.0f);
  // The grid sits on the lake, which lies at height 0.
  EXPECT_FLOAT_EQ(+gMesh.vertices[60 * 161 + 22].y, 0.0f);
  TrackBuildCellGrid();
  EXPECT_EQ(+gTrackGround[60][40].surface, 3);  // on the course at (4000, 6041)
  EXPECT_EQ(+gTrackGround[63][40].surface, 1);  // the lake beside it
  EXPECT_EQ(+gTrackGround[10][40].surface, 2);  // the shore far off

  TrajLoad();
  EXPECT_EQ(+gRace.trajectoriesLoaded, 1);
  for (int32_t slot = 0; slot < 5; ++slot) EXPECT_GT(+gTrajectories[slot].count, 40) << slot;
  EXPECT_EQ(+gTrajectories[5].count, 0);
  // The finish line 400 ahead of the grid is the course's second last
  // point, where a lap's length counts from.
  const Trajectory& line = gTrajectories[0];
  EXPECT_FLOAT_EQ(+line.points[line.count - 2].x, 2241.0f + 400.0f);
  EXPECT_FLOAT_EQ(+line.points[line.count - 2].z, 6041.0f);
  EXPECT_FLOAT_EQ(+line.points[line.count - 3].x, 2241.0f + 320.0f);

  TrackLoadMapTile();
  EXPECT_EQ(+gTrackPositionMap[15][6], 1);  // the finish line just beyond the grid
  EXPECT_EQ(+gTrackPositionMap[15][7], 2);
  // Sectors up to 54, and the world's edge out of bounds.
  uint8_t last = 0;
  for (const auto& row : gTrackPositionMap)
    for (uint8_t code : row)
      if (code != 254) last = std::max(last, code);
  EXPECT_GT(last, 30);
  EXPECT_LE(last, 54);
  EXPECT_EQ(+gTrackPositionMap[0][0], 254);
  EXPECT_EQ(+gTrackPositionMap[19][39], 254);
  gRace.trackIndex = 8;  // savana's quadrant of the same picture holds no course
  TrackLoadMapTile();
  EXPECT_EQ(+gTrackPositionMap[15][6], 0);
}

// The kit's looping track: its ramp on the return straight gives ground
// codes 56 and 57, and wherever on the ramp a jump starts, its target and the
// point where its flight ends lie on level ground inside the world.
TEST_F(FilesTest, TheKitsLoopingRampAndItsJumpTargetsLoad) {
  std::string error;
  ASSERT_TRUE(datakit::WriteLooseFiles(datakit::TrackArchiveFiles(), dir_.path().string(), &error)) << error;
  gAssets.gameStartTextures = START;
  gRace.trackIndex = TRACK_LOOPING;
  TrackLoadMesh();
  EXPECT_EQ(+gRace.trajectoriesLoaded, 1);
  const datakit::KitTrackDesc& looping = *datakit::KitTrackByIndex(TRACK_LOOPING);
  EXPECT_EQ(gPlacementCount, static_cast<int32_t>(looping.placements(looping).size()));
  TrackBuildCellGrid();
  const int32_t col0 = static_cast<int32_t>(datakit::KIT_RAMP_X0) / 100, col1 = static_cast<int32_t>(datakit::KIT_RAMP_X1) / 100;
  const int32_t row0 = static_cast<int32_t>(datakit::KIT_RAMP_Z0) / 100, row1 = static_cast<int32_t>(datakit::KIT_RAMP_Z1) / 100;
  const int32_t courseRow = static_cast<int32_t>(datakit::KIT_LOOPING_RETURN_Z) / 100;
  EXPECT_EQ(+gTrackGround[courseRow][col1 + 5].surface, 3);  // the course beyond the ramp
  EXPECT_EQ(+gTrackGround[courseRow][col0 - 1].surface, 3);
  // Level ground: the four grid corners of the square holding (x, z).
  auto level = [](float x, float z) {
    const int32_t c = static_cast<int32_t>(x) / 100, r = static_cast<int32_t>(z) / 100;
    if (c < 0 || c >= 160 || r < 0 || r >= 80) return false;
    for (int32_t k = 0; k < 4; ++k)
      if (gMesh.vertices[(r + k / 2) * 161 + c + k % 2].y != gMesh.vertices[r * 161 + c].y) return false;
    return true;
  };
  int32_t codes[2] = {0, 0};
  for (int32_t row = row0; row < row1; ++row)
    for (int32_t col = col0; col < col1; ++col) {
      const uint8_t code = gTrackGround[row][col].surface;
      ASSERT_TRUE(code == 56 || code == 57) << row << " " << col;
      ++codes[code - 56];
      // Heading -x at z above 5000: the target is 350 ahead and 420 toward
      // the start straight; the flight ends three quarters of the way in z.
      const float x = static_cast<float>(col) * 100.0f + 50.0f, z = static_cast<float>(row) * 100.0f + 50.0f;
      EXPECT_GT(z, 5000.0f);
      EXPECT_TRUE(level(x - 350.0f, z - 420.0f)) << x << " " << z;
      EXPECT_TRUE(level(x - 350.0f, z - 315.0f)) << x << " " << z;
    }
  EXPECT_GT(codes[0], 0);
  EXPECT_GT(codes[1], 0);
  // The course line passes over the ramp.
  TrajLoad();
  bool over = false;
  for (int32_t i = 0; i + 1 < gTrajectories[0].count; ++i) {
    const TrajPoint a = gTrajectories[0].points[i], b = gTrajectories[0].points[i + 1];
    over = over || (a.z == b.z && a.z >= datakit::KIT_RAMP_Z0 && a.z < datakit::KIT_RAMP_Z1 &&
                    std::fmin(a.x, b.x) < datakit::KIT_RAMP_X1 && std::fmax(a.x, b.x) > datakit::KIT_RAMP_X0);
  }
  EXPECT_TRUE(over);
  // Its quadrant (bottom left) of the second position map.
  TrackLoadMapTile();
  EXPECT_EQ(+gTrackPositionMap[13][10], 1);  // the finish line just beyond the grid
  EXPECT_EQ(+gTrackPositionMap[13][11], 2);
}

// The kit's water track: a loop of left turns from its grid along +z that
// reaches past x 9000, where a car's finish line arms again, so laps count;
// its quadrant (bottom left) of the first position map has more course
// cells than sectors, and they share sectors in driving order.
TEST_F(FilesTest, TheKitsBoueFilesLoad) {
  std::string error;
  ASSERT_TRUE(datakit::WriteLooseFiles(datakit::TrackArchiveFiles(), dir_.path().string(), &error)) << error;
  gRace.trackIndex = TRACK_BOUE;
  TrajLoad();
  EXPECT_EQ(+gRace.trajectoriesLoaded, 1);
  const Trajectory& line = gTrajectories[0];
  ASSERT_GT(line.count, 40);
  // The finish line 400 ahead of the grid, second last.
  EXPECT_FLOAT_EQ(+line.points[line.count - 2].x, 580.0f);
  EXPECT_FLOAT_EQ(+line.points[line.count - 2].z, 2120.0f + 400.0f);
  float farthest = 0.0f;
  for (int32_t i = 0; i < line.count; ++i) farthest = std::fmax(farthest, line.points[i].x);
  EXPECT_GT(farthest, 9100.0f);

  TrackLoadMapTile();
  EXPECT_EQ(+gTrackPositionMap[6][1], 1);  // the finish line just beyond the grid
  // Walking the course from the finish line on, the codes only rise, from 2 to 54.
  int32_t last = 1, cells = 0, prevCol = 1, prevRow = 6;
  for (int32_t k = 1; k < line.count; ++k) {
    const TrajPoint p = line.points[(line.count - 2 + k) % line.count];
    const int32_t col = static_cast<int32_t>(p.x * 0.0025f);
    const int32_t row = static_cast<int32_t>(p.z * 0.0025f);
    const int32_t code = gTrackPositionMap[row][col];
    if (code == 1) break;  // home
    ASSERT_GE(code, last) << k;
    ASSERT_LE(code, 54) << k;
    cells += col != prevCol || row != prevRow;
    prevCol = col;
    prevRow = row;
    last = code;
  }
  EXPECT_EQ(last, 54);
  EXPECT_GT(cells, 53);
}

// Any track from a short description: one heading along +z (neige's grid)
// turns to +x, and takes quadrant 1 of the first position map.
TEST_F(FilesTest, TheKitWritesATrackHeadingAlongZFromItsDescription) {
  const datakit::KitTrackDesc neige{TRACK_NEIGE, "neige", 1876.0f, 2180.0f, 0, 4000.0f, 1000.0f,
                                    [](float, float, float course) { return course < 300.0f ? 10.0f : 80.0f; },
                                    {{140.0f, 3}}, 2, [](const datakit::KitTrackDesc&) {
                                      return std::vector<datakit::KitPlacement>{};
                                    }};
  std::vector<datakit::DataFile> files = datakit::KitTrackFiles(neige);
  std::vector<uint8_t> codes;
  datakit::KitTrackPositionCodes(neige, &codes);
  files.push_back({3, "mappos.qvr", datakit::PositionMapWrite(codes)});
  std::string error;
  ASSERT_TRUE(datakit::WriteLooseFiles(files, dir_.path().string(), &error)) << error;
  gAssets.gameStartTextures = START;
  gRace.trackIndex = TRACK_NEIGE;
  TrackLoadMesh();
  EXPECT_EQ(+gRace.trajectoriesLoaded, 1);
  EXPECT_EQ(gPlacementCount, 0);
  TrackBuildCellGrid();
  EXPECT_EQ(+gTrackGround[25][18].surface, 3);  // on the course at (1876, 2580)
  EXPECT_EQ(+gTrackGround[25][10].surface, 2);
  TrajLoad();
  const Trajectory& line = gTrajectories[0];
  ASSERT_GT(line.count, 20);
  // The finish line, second last, then the straight on.
  EXPECT_FLOAT_EQ(+line.points[line.count - 2].x, 1876.0f);
  EXPECT_FLOAT_EQ(+line.points[line.count - 2].z, 2180.0f + 400.0f);
  EXPECT_FLOAT_EQ(+line.points[line.count - 1].z, 2180.0f + 320.0f + 400.0f);
  float right = 0.0f, far = 0.0f;
  for (int32_t i = 0; i < line.count; ++i) {
    right = std::fmax(right, line.points[i].x);
    far = std::fmax(far, line.points[i].z);
  }
  EXPECT_FLOAT_EQ(right, 2876.0f);
  EXPECT_FLOAT_EQ(far, 2180.0f + 4000.0f + 500.0f);
  TrackLoadMapTile();
  EXPECT_EQ(+gTrackPositionMap[6][4], 1);
  // The sectors share the lap evenly: this short one's first cell is 220 units on.
  EXPECT_GE(+gTrackPositionMap[7][4], 2);
  EXPECT_LE(+gTrackPositionMap[7][4], 3);
}

}  // namespace
