#include "engine3d/camera.h"

#include "engine3d/angle.h"
#include "engine3d/grid.h"
#include "platform/mem.h"
#include "support/test_support.h"

// Fields of the byte-packed Vertex and Face are compared by value (+field):
// a reference to one may be misaligned.

namespace {

class CameraLight : public ::testing::Test {
 protected:
  void SetUp() override {
    MathBuildTables();
    MemPoolInit();
  }
  static void ExpectMatrix(const float* m, std::initializer_list<float> expected) {
    int i = 0;
    for (float e : expected) {
      EXPECT_NEAR(m[i], e, 1e-6f) << "m" << i;
      ++i;
    }
  }
};

TEST_F(CameraLight, RotationMatrixOfZeroAnglesMirrorsY) {
  float m[9];
  MatFromAngles(0, 0, 0, m);
  const float expected[9] = {1, 0, 0, 0, -1, 0, 0, 0, 1};
  for (int i = 0; i < 9; ++i) EXPECT_EQ(m[i], expected[i]) << "m" << i;  // exactly, signs of zero aside

  gCamera.objectAngle[0] = gCamera.objectAngle[1] = gCamera.objectAngle[2] = 0;
  MatObjectFromAngles();
  EXPECT_EQ(gCamera.object[4], -1.0f);
}

TEST_F(CameraLight, RotationMatrixQuarterTurns) {
  float m[9];
  MatFromAngles(256, 0, 0, m);
  ExpectMatrix(m, {1, 0, 0, 0, 0, 1, 0, 1, 0});
  MatFromAngles(0, 256, 0, m);
  ExpectMatrix(m, {0, 0, -1, 0, -1, 0, 1, 0, 0});
  MatFromAngles(0, 0, 256, m);
  ExpectMatrix(m, {0, -1, 0, -1, 0, 0, 0, 0, 1});
  MatFromAngles(1024 + 256, -1024, 2048, m);  // angles are taken modulo a turn
  ExpectMatrix(m, {1, 0, 0, 0, 0, 1, 0, 1, 0});
}

TEST_F(CameraLight, ViewMatrixLooksAlongPlusZAndTurnsWithHeading) {
  Camera cam{0, 0, 0, 0, 0, 0};
  CamSet(&cam);
  MatViewFromCamera();
  ExpectMatrix(gCamera.view, {-1, 0, 0, 0, -1, 0, 0, 0, 1});
  cam.heading = 256;
  CamSet(&cam);
  MatViewFromCamera();
  ExpectMatrix(gCamera.view, {0, 0, 1, 0, -1, 0, 1, 0, 0});
  EXPECT_EQ(gCamera.sinHeading, 1.0f);
  cam.heading = 0;
  cam.pitch = 256;
  CamSet(&cam);
  MatViewFromCamera();
  ExpectMatrix(gCamera.view, {-1, 0, 0, 0, 0, 1, 0, 1, 0});
}

TEST_F(CameraLight, CamSetTruncatesAnglesAndKeepsTenBits) {
  const struct {
    float in;
    uint16_t out;
  } rows[] = {{1024.7f, 0}, {-1.5f, 1023}, {300.9f, 300}, {-0.9f, 0}, {2049.0f, 1}};
  for (const auto& r : rows) {
    Camera cam{1, 2, 3, r.in, r.in, r.in};
    CamSet(&cam);
    EXPECT_EQ(gCamera.pitch, r.out) << r.in;
    EXPECT_EQ(gCamera.heading, r.out);
    EXPECT_EQ(gCamera.roll, r.out);
  }
  EXPECT_EQ(gCamera.x, 1.0f);
  EXPECT_EQ(gCamera.z, 3.0f);
}

TEST_F(CameraLight, CameraStepsAlongTheViewDirection) {
  Camera start{1, 2, 3, 0, 0, 0};
  CamSet(&start);

  Camera walker{1, 2, 3, 0, 256, 0};  // heading a quarter turn: along +x
  CamStepAlong(&walker, 10.0f);
  EXPECT_NEAR(walker.x, 11.0f, 1e-5f);
  EXPECT_EQ(walker.y, 2.0f);
  EXPECT_NEAR(walker.z, 3.0f, 1e-5f);
  EXPECT_EQ(gCamera.x, 1.0f);  // the current camera stays
  EXPECT_EQ(gCamera.heading, 256);

  Camera climber{1, 2, 3, 256, 0, 0};  // pitched a quarter turn: straight up
  CamSetAdvance(&climber, 10.0f);
  EXPECT_NEAR(climber.x, 1.0f, 1e-5f);
  EXPECT_EQ(climber.y, 12.0f);
  EXPECT_EQ(gCamera.x, climber.x);
  EXPECT_EQ(gCamera.y, 12.0f);
  EXPECT_EQ(gCamera.z, climber.z);
}

TEST_F(CameraLight, FaceDepthIsTheLargestTruncatedViewZ) {
  Vertex v[4] = {};
  v[0].viewZ = 5.5f;
  v[1].viewZ = 12.9f;
  v[2].viewZ = 7.0f;
  v[3].viewZ = 100.0f;
  gMesh.vertices = v;
  Face f{};
  f.vertexCount = 3;
  f.index[0] = 0;
  f.index[1] = 1;
  f.index[2] = 2;
  f.index[3] = 3;
  EXPECT_EQ(VisFaceDepth(&f), 12);  // the fourth index of a triangle is ignored
  f.vertexCount = 4;
  EXPECT_EQ(VisFaceDepth(&f), 100);
  for (Vertex& x : v) x.viewZ = -3.7f;
  EXPECT_EQ(VisFaceDepth(&f), -3);
  gMesh.vertices = nullptr;
}

TEST_F(CameraLight, LightSetNormalisesAndClampsTheAmbientBothWays) {
  const struct {
    float ambient, stored;
  } rows[] = {{-5, 0}, {70, 63}, {30, 30}, {63, 63}, {0, 0}};
  for (const auto& r : rows) {
    Light light{0, 2, 0, 40, r.ambient};
    gLight.pointsApplied = 1;
    LightSet(&light);
    EXPECT_EQ(gLight.ambient, r.stored);
    EXPECT_EQ(light.ambient, r.stored);
    EXPECT_EQ(gLight.pointsApplied, 0);
  }
  EXPECT_EQ(gLight.directionY, 1024.0f);
  EXPECT_EQ(gLight.intensity, 40.0f);

  LightSetColour(255, 128, 0);
  EXPECT_EQ(gLight.red, 255.0f);
  EXPECT_EQ(gLight.redFactor, 3.984375f);
  EXPECT_EQ(gLight.greenFactor, 2.0f);
  EXPECT_EQ(gLight.blueFactor, 0.0f);
}

TEST_F(CameraLight, WorldVertexLightIsFlooredAndCapped) {
  const struct {
    float normalY, intensity, ambient, value;
  } rows[] = {
      {1024, 40, 10, 63.0f},   // 72 capped
      {-1024, 40, 10, 10.0f},  // -8 floored at the ambient
      {0, 40, 10, 32.0f},      // side-on
      {1024, 31.5f, 0, 63.5f}, // below 64 stays
      {1024, 32, 0, 63.0f},    // 64 is capped
  };
  for (const auto& r : rows) {
    Light light{0, 1, 0, r.intensity, r.ambient};
    LightSet(&light);
    Vertex v{};
    v.normalY = r.normalY;
    v.lightLevel = 17;
    EXPECT_EQ(LightWorldVertex(&v), r.value) << r.normalY << " " << r.intensity;
    EXPECT_EQ(+v.light, r.value);
    EXPECT_EQ(+v.lightLevel, 17);
  }
}

TEST_F(CameraLight, GridSetLightRaisesRelightOnlyOnChange) {
  GridSetLight(0, 3, 4, 40, 70);
  EXPECT_EQ(gGrid.lastLight.relight, 1);
  EXPECT_EQ(gLight.ambient, 70.0f);  // not clamped here
  EXPECT_FLOAT_EQ(gLight.directionY, 614.4f);
  GridSetLight(0, 3, 4, 40, 70);
  EXPECT_EQ(gGrid.lastLight.relight, 0);
  GridSetLight(0, 3, 4, 41, 70);
  EXPECT_EQ(gGrid.lastLight.relight, 1);
}

TEST_F(CameraLight, ResetWorldLevelsUnlessPointsWereApplied) {
  Vertex v[3] = {};
  gMesh.vertices = v;
  gMesh.vertexCount = 2;
  gLight.pointsApplied = 1;
  LightResetWorldLevels();
  EXPECT_EQ(+v[0].lightLevel, 0);
  gLight.pointsApplied = 0;
  LightResetWorldLevels();
  EXPECT_EQ(+v[0].lightLevel, 63);
  EXPECT_EQ(+v[1].lightLevel, 63);
  EXPECT_EQ(+v[2].lightLevel, 0);
  gMesh.vertices = nullptr;
  gMesh.vertexCount = 0;
}

TEST_F(CameraLight, FrameInterpolation) {
  Vertex vertices[2] = {};
  Face faces[1] = {};
  MeshHeader mesh{MESH_TYPE_WORD, 2, 1, faces, vertices, {0, 0, 0}};
  FrameVertex fa[2] = {{1, 2, 3, 0, 0, 0}, {4, 5, 6, 0, 0, 0}};
  FrameVertex fb[2] = {{11, 22, 33, 0, 0, 0}, {-4, -5, -6, 0, 0, 0}};
  float na[3] = {0, 0, 1024}, nb[3] = {1024, 0, 0};
  MeshFrame frames[2] = {{fa, na}, {fb, nb}};
  MeshFrameSet set{2, frames};

  MeshLerpFrames(&mesh, &set, 0, 1, 0.0f, 4.0f);
  EXPECT_EQ(+vertices[0].x, 1.0f);
  EXPECT_EQ(+vertices[1].z, 6.0f);
  EXPECT_EQ(+faces[0].normalZ, 1024.0f);
  MeshLerpFrames(&mesh, &set, 0, 1, 2.0f, 4.0f);
  EXPECT_EQ(+vertices[0].x, 6.0f);
  EXPECT_EQ(+vertices[1].y, 0.0f);
  EXPECT_EQ(+faces[0].normalX, 512.0f);

  MeshSetFrame(&mesh, &set, 1);
  EXPECT_EQ(+vertices[0].y, 22.0f);
  EXPECT_EQ(+faces[0].normalX, 1024.0f);
  MeshBlendToFrame(&mesh, &set, 0, 1.0f, 2.0f);
  EXPECT_EQ(+vertices[0].x, 6.0f);
  EXPECT_EQ(+faces[0].normalZ, 512.0f);

  MeshSetFrame(&mesh, &set, 2);  // no such frame: nothing moves
  EXPECT_EQ(+vertices[0].x, 6.0f);
}

}  // namespace
