// The ground shadow of any vehicle: a 3 x 3 grid from its wheels' contact
// points, its depths pulled toward the camera row by row, four black quads of
// alpha 200 drawn without writing depth.
#include "ambient_log.h"
#include "backend_common/display.h"
#include "backend_common/draw.h"
#include "engine3d/camera.h"
#include "presentation/presentation.h"
#include "support/gfx_recorder.h"
#include "vehicle_fixture.h"

namespace {

class Shadow : public VehicleTest {
 protected:
  void SetUp() override {
    VehicleTest::SetUp();
    // A slope, so that a point's height tells whether it came from the terrain.
    BuildTerrain(17, 9, 1000.0f, [](uint32_t c, uint32_t r) { return int(20 * c + 7 * r); });
    // The wheels of a car along +z, each contact 4 above the ground under it.
    const float contacts[4][2] = {{980.0f, 1040.0f}, {1020.0f, 1040.0f}, {980.0f, 960.0f}, {1020.0f, 960.0f}};
    for (int w = 0; w < 4; ++w) {
      WheelState& wheel = car_.wheels[w];
      wheel.contactX = contacts[w][0];
      wheel.contactZ = contacts[w][1];
      wheel.groundHeight = TerrainHeightAt(contacts[w][0], contacts[w][1]) + 4.0f;
    }
    const Camera c{1000.0f, TerrainHeightAt(1000.0f, 850.0f) + 40.0f, 850.0f, 0.0f, 0.0f, 0.0f};
    CamSet(&c);
    MatViewFromCamera();
    gAmbientDrawn.clear();
  }
  Vehicle car_{};
};

struct GridPoint {
  float x, y, z;
};

TEST_F(Shadow, NineBlackPointsFourQuadsOfAlpha200DepthsPulledByRow) {
  VehicleDrawShadow(&car_);
  const std::vector<std::string> want = {"Shadow", "DepthWriteOff", "FlatAlpha", "FlatAlpha", "FlatAlpha", "FlatAlpha",
                                         "DepthWriteOn"};
  ASSERT_EQ(AmbientCallNames(), want);
  const auto wheel = [&](int w) {
    const WheelState& s = car_.wheels[w];
    return GridPoint{s.contactX, s.groundHeight, s.contactZ};
  };
  const auto between = [](const GridPoint& a, const GridPoint& b) {
    const float x = (a.x + b.x) * 0.5f, z = (a.z + b.z) * 0.5f;
    return GridPoint{x, TerrainHeightAt(x, z), z};
  };
  GridPoint grid[9];
  grid[0] = wheel(0);
  grid[2] = wheel(1);
  grid[6] = wheel(2);
  grid[8] = wheel(3);
  grid[1] = between(grid[0], grid[2]);
  grid[3] = between(grid[0], grid[6]);
  grid[5] = between(grid[2], grid[8]);
  grid[7] = between(grid[6], grid[8]);
  grid[4] = between(grid[3], grid[5]);
  const float pull[3] = {3.0f, 2.0f, 1.0f};
  const int quads[4][4] = {{0, 1, 4, 3}, {1, 2, 5, 4}, {3, 4, 7, 6}, {4, 5, 8, 7}};
  const std::vector<AmbientDrawn> faces = AmbientCalls("FlatAlpha");
  for (int q = 0; q < 4; ++q) {
    SCOPED_TRACE(q);
    EXPECT_EQ(faces[q].face.type, 200u);
    ASSERT_EQ(faces[q].corners.size(), 4u);
    for (int k = 0; k < 4; ++k) {
      const int g = quads[q][k];
      const Vertex& c = faces[q].corners[k];
      EXPECT_FLOAT_EQ(c.x, grid[g].x) << g;
      EXPECT_FLOAT_EQ(c.y, grid[g].y) << g;
      EXPECT_FLOAT_EQ(c.z, grid[g].z) << g;
      EXPECT_EQ(c.red | c.green | c.blue, 0);
      Vertex at{};
      at.x = grid[g].x;
      at.y = grid[g].y;
      at.z = grid[g].z;
      RdrProjectVertex(&at);
      EXPECT_FLOAT_EQ(c.viewZ, at.viewZ - pull[g / 3]) << g;
      EXPECT_FLOAT_EQ(c.screenX, at.screenX) << g;
    }
  }
}

TEST_F(Shadow, ReachesTheAcceleratorBlackAtAlpha200) {
  RecordStart();
  VehicleDrawShadow(&car_);
  const std::vector<GfxCall> calls = RecordStop();
  const std::vector<GfxCall> draws = DrawCalls(calls);
  ASSERT_FALSE(draws.empty());
  for (const GfxCall& d : draws)
    for (const GfxVertex& v : d.vertices) EXPECT_EQ(v.a, 200.0f);
  // The colour is the constant one: black.
  int colours = 0;
  for (const std::string& text : CallTexts(calls))
    if (text.rfind("colour ", 0) == 0) {
      ++colours;
      EXPECT_EQ(std::stoul(text.substr(7), nullptr, 16) & 0xFFFFFFu, 0u) << text;
    }
  EXPECT_GT(colours, 0);
}

TEST_F(Shadow, WithoutScratchRoomNothingIsDrawn) {
  const int32_t count = gMesh.vertexCount;
  gMesh.vertexCount = gMesh.vertexCapacity + MESH_SCRATCH_VERTICES - 8;
  VehicleDrawShadow(&car_);
  gMesh.vertexCount = count;
  EXPECT_EQ(AmbientCallNames(), std::vector<std::string>{"Shadow"});
}

}  // namespace
