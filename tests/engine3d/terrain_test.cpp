// The terrain height field: the build's subdivision and layout, the height
// queries, texturing and colouring, and the water surface.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <vector>

#include "backend_common/display.h"
#include "backend_common/texture.h"
#include "engine3d/mesh.h"
#include "engine3d/random.h"
#include "engine3d/terrain.h"
#include "platform/mem.h"
#include "tools/datakit/lib/model3ds_writer.h"

namespace {

// The first three (s, t) pairs of a face (its fields are packed: copy them).
std::vector<float> Corners(const Face& f) {
  float st[6];
  std::memcpy(st, reinterpret_cast<const uint8_t*>(&f) + offsetof(Face, st), sizeof st);
  return std::vector<float>(st, st + 6);
}

class TerrainTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MemPoolInit();
    MeshPoolAllocVertices(MESH_POOL_VERTICES);
    MeshPoolAllocFaces(MESH_POOL_FACES);
  }

  // A description over the given heights, kept alive by the fixture.
  TerrainDesc Desc(uint32_t columns, uint32_t rows, uint32_t subdivisions, std::vector<int16_t> heights,
                   uint16_t roughness = 0, float spacing = 10.0f) {
    heights_ = std::move(heights);
    TerrainDesc d{};
    d.columns = columns;
    d.rows = rows;
    d.subdivisions = subdivisions;
    d.heights = heights_.data();
    d.defaultRoughness = roughness;
    d.spacing = spacing;
    return d;
  }

  TerrainDesc FromKit(const datakit::TerrainSpec& spec) {
    spec_ = spec;
    TerrainDesc d{};
    d.columns = spec_.columns;
    d.rows = spec_.rows;
    d.subdivisions = spec_.subdivisions;
    d.heights = spec_.heights.data();
    d.roughness = spec_.roughness.empty() ? nullptr : spec_.roughness.data();
    d.defaultRoughness = spec_.defaultRoughness;
    d.palette = spec_.palette.empty() ? nullptr : spec_.palette.data();
    d.paletteCount = static_cast<uint16_t>(spec_.palette.size() / 3);
    d.paletteLow = spec_.paletteLow;
    d.paletteHigh = spec_.paletteHigh;
    d.lowColourHeight = spec_.lowColourHeight;
    d.highColourHeight = spec_.highColourHeight;
    d.spacing = spec_.spacing;
    return d;
  }

  static const Vertex& At(int32_t i, int32_t k) { return gMesh.vertices[k * gTerrain.rowVertices + i]; }

  std::vector<int16_t> heights_;
  datakit::TerrainSpec spec_;
};

TEST_F(TerrainTest, WithoutRoughnessHeightsAreTruncatedAverages) {
  // Corners (0,0) -5, (2,0) 0, (2,2) 31, (0,2) 20 of one cell cut in 2 x 2.
  TerrainDesc d = Desc(2, 2, 2, {-5, 0, 20, 31});
  ASSERT_EQ(TerrainBuild(&d), 1);
  EXPECT_EQ(gMesh.vertexCount, 9);
  EXPECT_EQ(gMesh.faceCount, 8);
  const float top = -2, right = 15, bottom = 25, left = 7;  // -5/2 truncates toward zero
  EXPECT_EQ(At(1, 0).y, top);
  EXPECT_EQ(At(2, 1).y, right);
  EXPECT_EQ(At(1, 2).y, bottom);
  EXPECT_EQ(At(0, 1).y, left);
  EXPECT_EQ(At(1, 1).y, 11.0f);  // (-2 + 15 + 25 + 7) / 4 = 11.25
  EXPECT_EQ(At(2, 2).y, 31.0f);
  EXPECT_EQ(At(2, 1).x, 20.0f);
  EXPECT_EQ(At(2, 1).z, 10.0f);
  EXPECT_EQ(d.extentX, 20.0f);
  EXPECT_EQ(d.extentZ, 20.0f);
  EXPECT_EQ(d.lowest, -5.0f);
  EXPECT_EQ(d.highest, 31.0f);
  EXPECT_EQ(At(1, 1).lightLevel, 63);
  EXPECT_EQ(At(1, 1).red, 255);
}

TEST_F(TerrainTest, QuadsAreTwoTrianglesInRowOrder) {
  TerrainDesc d = Desc(3, 2, 1, {0, 0, 0, 0, 0, 0});
  ASSERT_EQ(TerrainBuild(&d), 1);
  ASSERT_EQ(gMesh.faceCount, 4);
  // Quad (1, 0): TL 1, TR 2, BR 5, BL 4.
  const Face& a = gMesh.faces[2];
  const Face& b = gMesh.faces[3];
  EXPECT_EQ(+a.type, 0x808080u);
  EXPECT_EQ(a.vertexCount, 3);
  EXPECT_EQ(std::vector<int>({+a.index[0], +a.index[1], +a.index[2]}), std::vector<int>({1, 2, 5}));
  EXPECT_EQ(std::vector<int>({+b.index[0], +b.index[1], +b.index[2]}), std::vector<int>({1, 5, 4}));
  // Flat ground faces point up (view y is down; world y up).
  EXPECT_NEAR(std::fabs(+a.normalY), 1024.0f, 0.01f);
}

TEST_F(TerrainTest, TheSameDescriptionGivesTheSameMesh) {
  TerrainDesc d = FromKit(datakit::TerrainHills(9, 7, 8, 5));
  ASSERT_EQ(TerrainBuild(&d), 1);
  std::vector<Vertex> first(gMesh.vertices, gMesh.vertices + gMesh.vertexCount);
  RandNext();  // the running index does not matter to the build
  ASSERT_EQ(TerrainBuild(&d), 1);
  ASSERT_EQ(std::memcmp(first.data(), gMesh.vertices, first.size() * sizeof(Vertex)), 0);
  // And the roughness did displace something: not every height is an average.
  TerrainDesc flat = d;
  flat.roughness = nullptr;
  flat.defaultRoughness = 0;
  ASSERT_EQ(TerrainBuild(&flat), 1);
  int differ = 0;
  for (size_t i = 0; i < first.size(); ++i) differ += first[i].y != gMesh.vertices[i].y;
  EXPECT_GT(differ, 100);
}

TEST_F(TerrainTest, HeightsAtVerticesAndOnTheDiagonal) {
  TerrainDesc d = FromKit(datakit::TerrainHills(5, 5, 4, 9));
  ASSERT_EQ(TerrainBuild(&d), 1);
  const float sp = d.spacing;
  for (int32_t k = 0; k + 1 < gTerrain.vertexRows; k += 3)
    for (int32_t i = 0; i + 1 < gTerrain.rowVertices; i += 2)
      EXPECT_EQ(TerrainHeightAt(i * sp, k * sp), At(i, k).y) << i << "," << k;
  // On the diagonal of square (3, 2) both triangles agree.
  const float h0 = At(3, 2).y, h2 = At(4, 3).y;
  for (float f : {0.25f, 0.5f, 0.75f}) {
    float h = TerrainHeightAt((3 + f) * sp, (2 + f) * sp);
    EXPECT_NEAR(h, h0 + (h2 - h0) * f, 0.01f);
    float above = TerrainHeightAt((3 + f) * sp + 0.001f, (2 + f) * sp);  // triangle 0, 1, 2
    EXPECT_NEAR(above, h, 0.05f);
  }
  // Inside a triangle: a plane through its three corners.
  const float h1 = At(4, 2).y;
  EXPECT_NEAR(TerrainHeightAt(3.75f * sp, 2.25f * sp), h0 + 0.75f * (h1 - h0) + 0.25f * (h2 - h1), 0.01f);
}

TEST_F(TerrainTest, FarEdgesAreOutsideAndJustInsideStaysInTheRow) {
  // Spacing 15 so that 1 / spacing is inexact: just below the extent the cell
  // index rounds up to the last vertex. The next row's first vertex is high.
  std::vector<int16_t> h(4 * 3, 0);
  h[4] = 1000;
  TerrainDesc d = Desc(4, 3, 1, h, 0, 15.0f);
  ASSERT_EQ(TerrainBuild(&d), 1);
  EXPECT_EQ(TerrainHeightAt(d.extentX, 1.0f), 0.0f);
  EXPECT_EQ(TerrainHeightAt(1.0f, d.extentZ), 0.0f);
  EXPECT_EQ(TerrainHeightAt(-0.001f, 1.0f), 0.0f);
  float x = std::nextafter(d.extentX, 0.0f);
  ASSERT_EQ(static_cast<int>(x * (1.0f / d.spacing)), 3) << "the rounding this test relies on";
  EXPECT_NEAR(TerrainHeightAt(x, 0.0f), 0.0f, 0.01f);
  Vertex* corners[4];
  ASSERT_EQ(TerrainCellCorners(x, 0.0f, corners), 1);
  EXPECT_EQ(corners[3], &gMesh.vertices[2]);  // corner 0 is (2, 0): clamped to the last square
}

TEST_F(TerrainTest, CellCornersComeInReverseOrderAndTheNearestIsFound) {
  TerrainDesc d = Desc(3, 3, 1, {0, 1, 2, 3, 4, 5, 6, 7, 8});
  ASSERT_EQ(TerrainBuild(&d), 1);
  Vertex* corners[4];
  ASSERT_EQ(TerrainCellCorners(12.0f, 3.0f, corners), 1);  // square (1, 0)
  EXPECT_EQ(corners[0], &gMesh.vertices[4]);  // corner 3 (1, 1)
  EXPECT_EQ(corners[1], &gMesh.vertices[5]);  // corner 2 (2, 1)
  EXPECT_EQ(corners[2], &gMesh.vertices[2]);  // corner 1 (2, 0)
  EXPECT_EQ(corners[3], &gMesh.vertices[1]);  // corner 0 (1, 0)
  EXPECT_EQ(TerrainCellCorners(20.0f, 3.0f, corners), 0);
  TerrainHeightAt(18.0f, 2.0f);
  EXPECT_EQ(TerrainNearestVertex(18.0f, 2.0f), &gMesh.vertices[2]);
  EXPECT_EQ(TerrainNearestVertex(25.0f, 2.0f), nullptr);
}

// The display close frees the pools under the terrain; a new pool may take
// the same memory. Either way the queries must no longer read the old grid.
TEST_F(TerrainTest, QueriesAnswerAsOutsideOnceThePoolsAreFreedOrReplaced) {
  const struct {
    const char* name;
    void (*drop)();
  } cases[] = {
      {"display close", RdrFreeLibrary},
      {"vertex pool freed", MeshPoolFreeVertices},
      {"face pool freed", MeshPoolFreeFaces},
      {"vertex pool replaced", [] { MeshPoolAllocVertices(MESH_POOL_VERTICES); }},
      {"face pool replaced", [] { MeshPoolAllocFaces(MESH_POOL_FACES); }},
  };
  for (const auto& c : cases) {
    MeshPoolFreeVertices();
    MeshPoolFreeFaces();
    MeshPoolAllocVertices(MESH_POOL_VERTICES);
    MeshPoolAllocFaces(MESH_POOL_FACES);
    TerrainDesc d = Desc(3, 3, 2, {50, 50, 50, 50, 50, 50, 50, 50, 50});
    ASSERT_EQ(TerrainBuild(&d), 1);
    ASSERT_EQ(TerrainHeightAt(5.0f, 5.0f), 50.0f) << c.name;
    c.drop();
    Vertex* corners[4] = {};
    EXPECT_EQ(TerrainHeightAt(5.0f, 5.0f), 0.0f) << c.name;
    EXPECT_EQ(TerrainCellCorners(5.0f, 5.0f, corners), 0) << c.name;
    EXPECT_EQ(TerrainNearestVertex(5.0f, 5.0f), nullptr) << c.name;
  }
}

TEST_F(TerrainTest, GridsThatDoNotFitOrMakeNoSenseAreRefused) {
  // 26 x 26 corners at 5 subdivisions: 126 x 126 = 15876 vertices but 31250
  // faces; with 165 subdivisions of one cell, more vertices than the pool.
  MeshPoolAllocFaces(30000);
  std::vector<int16_t> h(26 * 26, 0);
  TerrainDesc faces = Desc(26, 26, 5, h);
  EXPECT_EQ(TerrainBuild(&faces), 0);
  EXPECT_EQ(gMesh.vertexCount, 0);
  EXPECT_EQ(TerrainHeightAt(1.0f, 1.0f), 0.0f);
  TerrainDesc vertices = Desc(2, 2, 165, {0, 0, 0, 0});
  EXPECT_EQ(TerrainBuild(&vertices), 0);

  std::vector<int16_t> four = {0, 0, 0, 0};
  const uint8_t palette[6] = {1, 2, 3, 4, 5, 6};
  auto make = [&] {
    TerrainDesc d{};
    d.columns = 2;
    d.rows = 2;
    d.subdivisions = 1;
    d.heights = four.data();
    d.spacing = 1.0f;
    return d;
  };
  TerrainDesc bad[7] = {make(), make(), make(), make(), make(), make(), make()};
  bad[0].columns = 1;
  bad[1].rows = 1;
  bad[2].subdivisions = 0;
  bad[3].heights = nullptr;
  bad[4].spacing = 0.0f;
  bad[5].spacing = NAN;
  bad[6].palette = palette;
  bad[6].paletteCount = 2;
  bad[6].paletteHigh = 2;
  for (int i = 0; i < 7; ++i) EXPECT_EQ(TerrainBuild(&bad[i]), 0) << i;
  TerrainDesc good = make();
  EXPECT_EQ(TerrainBuild(&good), 1);
}

TEST_F(TerrainTest, TexturingAndColourByHeight) {
  TerrainDesc d = Desc(2, 2, 1, {-10, 100, 300, 200});
  ASSERT_EQ(TerrainBuild(&d), 1);
  TerrainTextureAll(7);
  EXPECT_EQ(+gMesh.faces[0].type, 0x02000007u);
  EXPECT_EQ(Corners(gMesh.faces[0]), (std::vector<float>{0, 0, 254, 0, 254, 254}));
  EXPECT_EQ(Corners(gMesh.faces[1]), (std::vector<float>{0, 0, 254, 254, 0, 254}));

  // Palette entries 0..3 by level; colours between heights 100 and 300.
  const uint8_t palette[12] = {0, 0, 0, 10, 10, 10, 20, 20, 20, 30, 30, 30};
  d.palette = palette;
  d.paletteCount = 4;
  d.paletteLow = 1;
  d.paletteHigh = 3;
  d.lowColourHeight = 100.0f;
  d.highColourHeight = 300.0f;
  ASSERT_EQ(TerrainBuild(&d), 1);
  TerrainTextureAll(7);
  EXPECT_EQ(+gMesh.faces[0].type, 0x0D000007u);
  EXPECT_EQ(gMesh.vertices[0].red, 200);  // at or below 0
  EXPECT_GE(gMesh.vertices[0].blue, 200);
  EXPECT_EQ(gMesh.vertices[1].red, 10);   // 100: the low colour
  EXPECT_EQ(gMesh.vertices[3].red, 20);   // 200: 1 + 100 x 2 / 200 = 2
  EXPECT_EQ(gMesh.vertices[2].red, 30);   // 300: the high colour

  // A flat colour range takes the low colour instead of dividing by zero.
  d.highColourHeight = 100.0f;
  TerrainColourByHeight();
  EXPECT_EQ(gMesh.vertices[2].red, 10);
}

// Entry = trunc(low index + (height - low height) x (high index - low index)
// / (high height - low height)), the height first held between the two
// colour heights, whichever of them is the larger.
TEST_F(TerrainTest, ColourByHeightFollowsTheRangeEitherWayRound) {
  TerrainDesc d = Desc(2, 2, 1, {100, 200, 250, 300});  // vertices 0..3
  uint8_t palette[3 * 8];
  for (int i = 0; i < 8; ++i) palette[3 * i] = palette[3 * i + 1] = palette[3 * i + 2] = static_cast<uint8_t>(10 * i);
  d.palette = palette;
  d.paletteCount = 8;
  const struct {
    const char* name;
    uint16_t lowIndex, highIndex;
    float lowHeight, highHeight;
    int entries[4];  // of the vertices at 100, 200, 250, 300
  } cases[] = {
      {"rising", 1, 5, 100.0f, 300.0f, {1, 3, 4, 5}},
      {"clamped below and above", 1, 5, 150.0f, 250.0f, {1, 3, 5, 5}},
      {"inverted heights", 1, 5, 300.0f, 100.0f, {5, 3, 2, 1}},
      {"inverted, clamped", 1, 5, 250.0f, 150.0f, {5, 3, 1, 1}},
      {"falling indices", 6, 2, 100.0f, 300.0f, {6, 4, 3, 2}},
      {"both inverted", 6, 2, 300.0f, 100.0f, {2, 4, 5, 6}},
  };
  for (const auto& c : cases) {
    d.paletteLow = c.lowIndex;
    d.paletteHigh = c.highIndex;
    d.lowColourHeight = c.lowHeight;
    d.highColourHeight = c.highHeight;
    ASSERT_EQ(TerrainBuild(&d), 1);
    TerrainColourByHeight();
    for (int v = 0; v < 4; ++v) EXPECT_EQ(gMesh.vertices[v].red, 10 * c.entries[v]) << c.name << ", vertex " << v;
  }
}

TEST_F(TerrainTest, WaterQuadsCoverCellsBelowTheLevelAndShareVertices) {
  // Quad 0 has one corner just below the level; quads 1 and 2 lie well
  // above; quads 3 and 4 (second row) are under water and neighbours.
  TerrainDesc d = Desc(4, 3, 1, {49, 60, 60, 60,   //
                                 60, 60, 60, 0,    //
                                 0, 0, 0, 0});
  ASSERT_EQ(TerrainBuild(&d), 1);
  const int32_t vertices = gMesh.vertexCount, faces = gMesh.faceCount;
  TerrainAddWaterPlane(50.0f, 3);
  EXPECT_EQ(gTerrain.waterLevel, 50.0f);
  // Quad 0; second row: all three quads (each has a corner at 0); first row
  // quad 2 has corner (3, 1) at 0 too.
  ASSERT_EQ(gMesh.faceCount - faces, 5);
  const Face& w = gMesh.faces[faces];
  EXPECT_EQ(+w.type, 0x0E000003u);
  EXPECT_EQ(w.vertexCount, 4);
  const float expect[4][2] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
  for (int c = 0; c < 4; ++c) {
    const Vertex& v = gMesh.vertices[w.index[c]];
    EXPECT_EQ(v.x, expect[c][0]);
    EXPECT_EQ(v.z, expect[c][1]);
    EXPECT_EQ(v.y, 50.0f);
    EXPECT_FLOAT_EQ(+w.st[2 * c], v.x * 0.1f);
    EXPECT_GE(+w.index[c], vertices);  // water vertices are its own
  }
  // Row 1 (z 10..20): three quads in a row share their edges: 8 vertices,
  // two of them shared with quad 0's far edge; quad 2 of row 0 adds two more.
  EXPECT_EQ(gMesh.vertexCount - vertices, 4 + 2 + 6);
  const Face& row1a = gMesh.faces[faces + 2];
  const Face& row1b = gMesh.faces[faces + 3];
  EXPECT_EQ(+row1a.index[1], +row1b.index[0]);
  EXPECT_EQ(+row1a.index[2], +row1b.index[3]);
}

// All 16 quads under water need 16 faces and 25 vertices; one short of
// either and no water quad is added at all.
TEST_F(TerrainTest, TheWaterPlaneIsAddedWholeOrNotAtAll) {
  std::vector<int16_t> h(5 * 5, 0);
  const struct {
    const char* name;
    int32_t vertices, faces;  // pool capacities
    int32_t waterQuads;
  } cases[] = {
      {"room for all", 25 + 25, 32 + 16, 16},
      {"one vertex short", 25 + 24, 32 + 16, 0},
      {"one face short", 25 + 25, 32 + 15, 0},
  };
  for (const auto& c : cases) {
    MeshPoolAllocVertices(c.vertices);
    MeshPoolAllocFaces(c.faces);
    TerrainDesc d = Desc(5, 5, 1, h);
    ASSERT_EQ(TerrainBuild(&d), 1);
    TerrainAddWaterPlane(10.0f, 1);
    EXPECT_EQ(gMesh.faceCount, 32 + c.waterQuads) << c.name;
    EXPECT_EQ(gMesh.vertexCount, c.waterQuads ? 50 : 25) << c.name;
    EXPECT_EQ(gTerrain.waterLevel, 10.0f) << c.name;
  }
}


TEST_F(TerrainTest, DisplacementComesFromTheTableAtTheVertexPositionWithTheRangeHalvedPerLevel) {
  // 3 x 3 corners, 4 subdivisions; the per-cell roughness gives the cells
  // ranges 44, 12 (second column), 28 (second row) and 36.
  const std::vector<int16_t> h = {-7, 13, 40, 21, -30, 5, 9, 100, -1};
  const uint16_t roughness[4] = {11, 3, 7, 9};
  TerrainDesc d = Desc(3, 3, 4, h);
  d.roughness = roughness;
  ASSERT_EQ(TerrainBuild(&d), 1);
  // The remainder keeps the entry's sign (entry 1, used at (1, 0), is negative).
  auto disp = [](int32_t px, int32_t pz, int64_t range) { return int64_t{RandAt(pz * 1024 + px)} % range; };
  ASSERT_LT(RandAt(1), 0);

  // Cell (0, 0): corners (0, 0) -7, (4, 0) 13, (4, 4) -30, (0, 4) 21; range 44.
  const int64_t top = (-7 + 13) / 2 + disp(2, 0, 44), right = (13 - 30) / 2 + disp(4, 2, 44);
  const int64_t bottom = (-30 + 21) / 2 + disp(2, 4, 44), left = (-7 + 21) / 2 + disp(0, 2, 44);
  const int64_t centre = (top + right + bottom + left) / 4 + disp(2, 2, 44);
  // Its first quarter, (0, 0) .. (2, 2), with the range halved to 22.
  const int64_t qTop = (-7 + top) / 2 + disp(1, 0, 22), qRight = (top + centre) / 2 + disp(2, 1, 22);
  const int64_t qBottom = (centre + left) / 2 + disp(1, 2, 22), qLeft = (-7 + left) / 2 + disp(0, 1, 22);
  const int64_t qCentre = (qTop + qRight + qBottom + qLeft) / 4 + disp(1, 1, 22);
  EXPECT_EQ(At(2, 0).y, static_cast<float>(top));
  EXPECT_EQ(At(2, 2).y, static_cast<float>(centre));
  EXPECT_EQ(At(1, 0).y, static_cast<float>(qTop));
  EXPECT_EQ(At(1, 1).y, static_cast<float>(qCentre));

  // Cell (1, 1), range 36: table positions count from the grid's origin.
  const int64_t top11 = (-30 + 5) / 2 + disp(6, 4, 36), right11 = (5 - 1) / 2 + disp(8, 6, 36);
  const int64_t bottom11 = (-1 + 100) / 2 + disp(6, 8, 36), left11 = (-30 + 100) / 2 + disp(4, 6, 36);
  EXPECT_EQ(At(6, 6).y, static_cast<float>((top11 + right11 + bottom11 + left11) / 4 + disp(6, 6, 36)));
  // (6, 4) lies on the edge cell (1, 0) shares with cell (1, 1), which is
  // built later and decides it.
  EXPECT_EQ(At(6, 4).y, static_cast<float>(top11));
  EXPECT_NE(top11, (-30 + 5) / 2 + disp(6, 4, 12)) << "the two cells must disagree for the check to mean anything";
}

// A downloaded texture as the tile texturing reads it: ranges and handle.
TextureRecord Tile(uint16_t sRange, uint16_t tRange, int32_t handle) {
  TextureRecord t{};
  t.sRange = sRange;
  t.tRange = tRange;
  t.handle = handle;
  return t;
}

TEST_F(TerrainTest, EachQuadTakesTheTileTheShiftRegisterPicks) {
  TerrainDesc d = Desc(5, 4, 1, std::vector<int16_t>(20, 30));
  ASSERT_EQ(TerrainBuild(&d), 1);
  TextureRecord tiles[3] = {Tile(256, 128, 5), Tile(64, 256, 9), Tile(256, 256, 12)};
  TextureRecord* table[3] = {&tiles[0], &tiles[1], &tiles[2]};
  const uint32_t shift = gRandom.shift;
  TerrainApplyTiles(table, 3, nullptr);

  // One draw of the register per quad, in quad order; both triangles alike.
  gRandom.shift = shift;
  std::vector<int> picked;
  for (int32_t q = 0; q < 12; ++q) {
    const TextureRecord& t = tiles[(RandShiftBits() & 0xFFFF) % 3];
    picked.push_back(t.handle);
    const float w = t.sRange - 1.0f, h = t.tRange - 1.0f;
    EXPECT_EQ(+gMesh.faces[2 * q].type, 0x02000000u | t.handle) << "quad " << q;
    EXPECT_EQ(+gMesh.faces[2 * q + 1].type, 0x02000000u | t.handle) << "quad " << q;
    EXPECT_EQ(Corners(gMesh.faces[2 * q]), (std::vector<float>{0, 0, w, 0, w, h})) << "quad " << q;
    EXPECT_EQ(Corners(gMesh.faces[2 * q + 1]), (std::vector<float>{0, 0, w, h, 0, h})) << "quad " << q;
  }
  EXPECT_NE(std::count(picked.begin(), picked.end(), picked[0]), 12) << "the fixture should pick several tiles";

  // With a palette the tiles are vertex-coloured and the colours set.
  const uint8_t palette[6] = {10, 20, 30, 40, 50, 60};
  d.palette = palette;
  d.paletteCount = 2;
  d.paletteHigh = 1;
  d.lowColourHeight = 0.0f;
  d.highColourHeight = 30.0f;
  ASSERT_EQ(TerrainBuild(&d), 1);
  TerrainApplyTiles(table, 1, nullptr);
  EXPECT_EQ(+gMesh.faces[7].type, 0x0D000005u);
  EXPECT_EQ(gMesh.vertices[3].red, 40);
}

TEST_F(TerrainTest, TilesUnderWaterBecomeTheWaterSurfaceAndTheShoreIsRaised) {
  // Water level 2. Quad (0, 0): triangle A (-5, -5, 2) is under water, B is
  // not; quad (2, 2) lies wholly under water, and its corner (3, 3) belongs
  // to no other face.
  TerrainDesc d = Desc(4, 4, 1, {-5, -5, 10, 10,  //
                                 10, 2, 10, 10,   //
                                 10, 10, -5, -5,  //
                                 10, 10, -5, -5});
  ASSERT_EQ(TerrainBuild(&d), 1);
  TerrainSetWaterLevel(2.0f);
  TextureRecord grass = Tile(128, 128, 4), water = Tile(256, 64, 7);
  TextureRecord* table[1] = {&grass};
  TerrainApplyTiles(table, 1, &water);

  const uint32_t WATER = 0x0A000007, GRASS = 0x02000004;
  const struct {
    int face;
    uint32_t type;
    std::vector<float> corners;
  } faces[] = {
      {0, WATER, {0, 0, 256, 0, 256, 64}},    // quad (0, 0), A
      {1, GRASS, {0, 0, 127, 127, 0, 127}},   // quad (0, 0), B
      {2, GRASS, {0, 0, 127, 0, 127, 127}},   // quad (1, 0), A: one corner under
      {16, WATER, {0, 0, 256, 0, 256, 64}},   // quad (2, 2), A
      {17, WATER, {0, 0, 256, 64, 0, 64}},    // quad (2, 2), B
  };
  for (const auto& f : faces) {
    EXPECT_EQ(+gMesh.faces[f.face].type, f.type) << "face " << f.face;
    EXPECT_EQ(Corners(gMesh.faces[f.face]), f.corners) << "face " << f.face;
  }
  const struct {
    int i, k;
    float y;
  } heights[] = {
      {3, 3, 2.0f},   // only under water: flattened to the level
      {0, 0, 2.5f},   // flattened, then raised as a corner of the dry triangle B
      {1, 1, 2.5f},   // at the level counts as under it
      {1, 0, 2.5f},
      {3, 2, 2.5f},
      {2, 0, 10.0f},  // above: untouched
  };
  for (const auto& h : heights) EXPECT_EQ(At(h.i, h.k).y, h.y) << h.i << "," << h.k;
  // The normals follow the new heights: quad (0, 0)'s A is now level.
  EXPECT_EQ(+gMesh.faces[0].normalX, 0.0f);
  EXPECT_FLOAT_EQ(std::fabs(+gMesh.faces[0].normalY), 1024.0f);
}

}  // namespace
