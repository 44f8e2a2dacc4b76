#include "engine3d/camera.h"

#include <iterator>
#include <vector>

#include "backend_common/display.h"
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
  // Compared exactly: every value is a product of table entries, so the
  // order of the factors shows in the last bit. (-0 equals 0.)
  static void ExpectMatrix(const float* m, std::initializer_list<float> expected) {
    int i = 0;
    for (float e : expected) {
      EXPECT_EQ(m[i], e) << "m" << i;
      ++i;
    }
  }
};

// The cosine of a quarter turn: the table's entry 512, just below zero
// because the program's 2 pi is a little long.
float QuarterCos() { return MathCos(256); }

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
  const float e = QuarterCos();
  ASSERT_LT(e, 0.0f);
  ASSERT_GT(e, -1e-7f);
  float m[9];
  MatFromAngles(256, 0, 0, m);
  ExpectMatrix(m, {1, 0, 0, 0, -e, 1, 0, 1, e});
  MatFromAngles(0, 256, 0, m);
  ExpectMatrix(m, {e, 0, -1, 0, -1, 0, 1, 0, e});
  MatFromAngles(0, 0, 256, m);
  ExpectMatrix(m, {e, -1, 0, -1, -e, 0, 0, 0, 1});
  MatFromAngles(1024 + 256, -1024, 2048, m);  // angles are taken modulo a turn
  ExpectMatrix(m, {1, 0, 0, 0, -e, 1, 0, 1, e});
}

// Each product is taken left to right in the order the formulas write it
// (sA·sB·sC, cB·sA·sC, ...): these angles give another last bit in every
// three-factor entry when the factors are taken in another order, and the
// vehicles' poses are built from this matrix.
TEST_F(CameraLight, MatricesOfGeneralAnglesAreBitExact) {
  float m[9];
  MatFromAngles(204, 122, 170, m);
  ExpectMatrix(m, {-0x1.83f01p-3f, -0x1.eab41p-1f, -0x1.b53b56p-3f, -0x1.15844ap-2f, -0x1.437bb2p-3f,
                   0x1.e6288ep-1f, 0x1.e333bp-1f, -0x1.e6da7p-3f, 0x1.d6abfep-3f});
  gCamera.objectAngle[0] = 204;
  gCamera.objectAngle[1] = 122;
  gCamera.objectAngle[2] = 170;
  MatObjectFromAngles();
  for (int i = 0; i < 9; ++i) EXPECT_EQ(gCamera.object[i], m[i]) << "m" << i;

  Camera cam{0, 0, 0, 40, 151, 190};
  CamSet(&cam);
  MatViewFromCamera();
  ExpectMatrix(gCamera.view, {-0x1.a9292p-2f, 0x1.c87bc2p-1f, 0x1.72700ap-3f, -0x1.e6e7cp-2f, -0x1.875b64p-2f,
                              0x1.95b0c2p-1f, 0x1.8d1852p-1f, 0x1.f19f98p-3f, 0x1.2a4cbep-1f});

  // d·cos(pitch)·sin(heading), in that order, likewise for z.
  Camera walker{1.5f, 2.0f, -3.25f, 4, 120, 0};
  CamStepAlong(&walker, 100.0f);
  EXPECT_EQ(walker.x, 0x1.128aecp+6f);
  EXPECT_EQ(walker.y, 0x1.1d105ap+2f);
  EXPECT_EQ(walker.z, 0x1.1b4a8ap+6f);
}

TEST_F(CameraLight, ViewMatrixLooksAlongPlusZAndTurnsWithHeading) {
  Camera cam{0, 0, 0, 0, 0, 0};
  CamSet(&cam);
  MatViewFromCamera();
  ExpectMatrix(gCamera.view, {-1, 0, 0, 0, -1, 0, 0, 0, 1});
  const float e = QuarterCos();
  cam.heading = 256;
  CamSet(&cam);
  MatViewFromCamera();
  ExpectMatrix(gCamera.view, {-e, 0, 1, 0, -1, 0, 1, 0, e});
  EXPECT_EQ(gCamera.sinHeading, 1.0f);
  EXPECT_EQ(gCamera.cosHeading, e);
  cam.heading = 0;
  cam.pitch = 256;
  CamSet(&cam);
  MatViewFromCamera();
  ExpectMatrix(gCamera.view, {-1, 0, 0, 0, -e, 1, 0, 1, e});
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

  const float e = QuarterCos();
  Camera walker{1, 2, 3, 0, 256, 0};  // heading a quarter turn: along +x
  CamStepAlong(&walker, 10.0f);
  EXPECT_EQ(walker.x, 11.0f);
  EXPECT_EQ(walker.y, 2.0f);
  EXPECT_EQ(walker.z, 3.0f + 10.0f * e);
  EXPECT_EQ(gCamera.x, 1.0f);  // the current camera stays
  EXPECT_EQ(gCamera.heading, 256);

  Camera climber{1, 2, 3, 256, 0, 0};  // pitched a quarter turn: straight up
  CamSetAdvance(&climber, 10.0f);
  EXPECT_EQ(climber.x, 1.0f);
  EXPECT_EQ(climber.y, 12.0f);
  EXPECT_EQ(climber.z, 3.0f + 10.0f * e);
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

  // A blend or a step over no time has arrived at its target frame.
  MeshBlendToFrame(&mesh, &set, 1, 0.0f, 0.0f);
  EXPECT_EQ(+vertices[0].x, 11.0f);
  EXPECT_EQ(+vertices[1].z, -6.0f);
  EXPECT_EQ(+faces[0].normalX, 1024.0f);
  MeshLerpFrames(&mesh, &set, 1, 0, 0.0f, 0.0f);
  EXPECT_EQ(+vertices[0].y, 2.0f);
  EXPECT_EQ(+faces[0].normalZ, 1024.0f);
}

// ---- point lights

class PointLights : public CameraLight {
 protected:
  void SetUp() override {
    CameraLight::SetUp();
    DrawListAllocStatic(DRAW_LIST_STATIC);
    gRdrState.farPlane = 1700.0f;
  }
  void TearDown() override {
    gMesh.vertices = nullptr;
    gMesh.vertexCount = 0;
  }
  static PointLight At(float x, float y, float z, float radius, float strength) {
    PointLight p{};
    p.x = x;
    p.y = y;
    p.z = z;
    p.radius = radius;
    p.strength = strength;
    return p;
  }
};

TEST_F(PointLights, EachLightIsRegisteredAsAStaticSlotAndListedUpToTwenty) {
  std::vector<PointLight> lights;
  for (int i = 0; i < 22; ++i) lights.push_back(At(10.0f * i, 5, -7, 3.0f + i, 1));
  Light sun{0, 1, 0, 40, 70};
  gLight.pointsApplied = 1;
  LightSetWithPoints(&sun, lights.data(), 22);
  EXPECT_EQ(sun.ambient, 63.0f);  // the directional light is set as LightSet sets it
  EXPECT_EQ(gLight.directionY, 1024.0f);
  EXPECT_EQ(gLight.pointsApplied, 0);  // no world vertices to light

  ASSERT_EQ(gLight.pointCount, 20);
  ASSERT_EQ(gDrawLists.staticCount, 20);
  for (int i = 0; i < 20; ++i) EXPECT_EQ(gLight.points[i], &lights[i]);
  const DrawSlot& slot = gDrawLists.statics[4];
  EXPECT_EQ(slot.owner, &lights[4]);
  EXPECT_EQ(slot.callback, &LightCollectPoint);
  EXPECT_EQ(slot.user, 0u);
  EXPECT_EQ(slot.x, 40.0f);
  EXPECT_EQ(slot.boxMinY, 5.0f - 7.0f);  // radius 7 on every axis
  EXPECT_EQ(slot.boxMaxZ, 0.0f);
  const PointLight& p = lights[4];
  EXPECT_EQ(std::vector<float>({p.boxMinX, p.boxMaxX, p.boxMinY, p.boxMaxY, p.boxMinZ, p.boxMaxZ}),
            std::vector<float>({33, 47, -2, 12, -14, 0}));
  EXPECT_EQ(lights[20].boxMaxX, 0.0f);  // not listed: its box is left alone

  // A light the full static list refuses is not listed; the next still is.
  gDrawLists.staticCount = DRAW_LIST_STATIC - 1;
  LightSetWithPoints(&sun, lights.data(), 2);
  EXPECT_EQ(gLight.pointCount, 1);
  EXPECT_EQ(gLight.points[0], &lights[0]);
  gDrawLists.staticCount = 0;
  LightSetWithPoints(&sun, nullptr, 5);
  EXPECT_EQ(gLight.pointCount, 0);
  EXPECT_EQ(gDrawLists.staticCount, 0);
}

TEST_F(PointLights, WorldVerticesTakeTheBrighterOfTheSunAndEachLightInWhoseBoxTheyLie) {
  // Sun straight up, intensity 40, ambient 10. Lights at the origin: radius
  // 100, strength 20; and at x = 1000: radius 100, strength 15.
  PointLight lights[2] = {At(0, 0, 0, 100, 20), At(1000, 0, 0, 100, 15)};
  const struct {
    const char* what;
    float x, y, z, nx, ny, nz;
    float light;
    int level;
  } rows[] = {
      // The sun alone: 32 + 40 x cos, floored at the ambient.
      {"outside every box, facing away from the sun", 500, 0, 0, 0, -1024, 0, 10.0f, 10},
      {"outside every box, side-on", 500, 0, 0, 1024, 0, 0, 32.0f, 32},
      // 20 x cos + 32 + r x 20 / 100.
      {"below the light, facing it", 0, 50, 0, 0, -1024, 0, 62.0f, 62},
      {"at the light: it shines along +z", 0, 0, 0, 0, 0, 1024, 52.0f, 52},
      {"at the light, facing +y", 0, 0, 0, 0, -1024, 0, 32.0f, 32},
      {"on the box's edge, side-on to the light", 100, 0, 0, 0, 0, 1024, 52.0f, 52},
      {"at a corner of the box, beyond the radius", 100, 100, 0, 0, 0, 1024, 32.0f + 141.42136f * 0.2f, 60},
      {"just outside the box", 100.5f, 0, 0, 0, 0, 1024, 32.0f, 32},
      // 15 x cos + 32 + 50 x 15 / 100 = 54.5: the level truncates.
      {"below the second light", 1000, 50, 0, 0, -1024, 0, 54.5f, 54},
      // The sun's 72 and the light's 40 + 32 + 20 both end at 63.
      {"facing the sun, in a box", 0, 50, 0, 0, 1024, 0, 63.0f, 63},
  };
  std::vector<Vertex> v(std::size(rows));
  for (size_t i = 0; i < v.size(); ++i) {
    v[i].x = rows[i].x;
    v[i].y = rows[i].y;
    v[i].z = rows[i].z;
    v[i].normalX = rows[i].nx;
    v[i].normalY = rows[i].ny;
    v[i].normalZ = rows[i].nz;
    v[i].lightLevel = 99;
  }
  gMesh.vertices = v.data();
  gMesh.vertexCount = static_cast<int32_t>(v.size());
  Light sun{0, 5, 0, 40, 10};
  LightSetWithPoints(&sun, lights, 2);
  EXPECT_EQ(gLight.pointsApplied, 1);
  for (size_t i = 0; i < v.size(); ++i) {
    EXPECT_FLOAT_EQ(+v[i].light, rows[i].light) << rows[i].what;
    EXPECT_EQ(+v[i].lightLevel, rows[i].level) << rows[i].what;
  }
  // The levels were set by the point lights and stay.
  LightResetWorldLevels();
  EXPECT_EQ(+v[0].lightLevel, 10);
  LightSet(&sun);
  EXPECT_EQ(gLight.pointsApplied, 0);
}

TEST_F(PointLights, CollectingListsLightsWithinTheirRadiusOfTheViewDepths) {
  // The far plane is 1700; a radius of 50 admits view depths -50 .. 1750.
  const struct {
    float viewZ;
    bool listed;
  } rows[] = {{-50.0f, true}, {-50.5f, false}, {0.0f, true}, {1750.0f, true}, {1750.5f, false}};
  for (const auto& r : rows) {
    Light sun{0, 1, 0, 40, 10};
    LightSet(&sun);
    PointLight p = At(1, 2, 3, 50, 10);
    DrawSlot slot{};
    slot.viewZ = r.viewZ;
    LightCollectPoint(&slot, &p);
    EXPECT_EQ(gLight.pointCount, r.listed ? 1 : 0) << r.viewZ;
    LightCollectMoving(&slot, &p);
    EXPECT_EQ(gLight.movingCount, r.listed ? 1 : 0) << r.viewZ;
    EXPECT_EQ(gLight.pointCount, r.listed ? 1 : 0) << "the moving list is its own";
  }

  // The callback of a registered light lists it again for the view, as the
  // scene pass calls it; never more than twenty.
  PointLight lights[21];
  for (int i = 0; i < 21; ++i) lights[i] = At(0, 0, 0, 50, 10);
  Light sun{0, 1, 0, 40, 10};
  LightSetWithPoints(&sun, lights, 21);
  LightSet(&sun);
  EXPECT_EQ(gLight.pointCount, 0);
  for (int i = 0; i < 20; ++i) {
    DrawSlot& slot = gDrawLists.statics[i];
    slot.viewZ = 10.0f;
    slot.callback(&slot, slot.owner);
  }
  ASSERT_EQ(gLight.pointCount, 20);
  EXPECT_EQ(gLight.points[19], &lights[19]);
  DrawSlot last{};
  LightCollectPoint(&last, &lights[20]);
  EXPECT_EQ(gLight.pointCount, 20);
}

TEST_F(PointLights, AMovingLightFollowsItsSlot) {
  PointLight p = At(1, 2, 3, 10, 5);
  DrawSlot slot{};
  slot.x = 100;
  slot.y = 200;
  slot.z = 300;
  slot.viewZ = 5000.0f;  // too far to be listed, but it moves all the same
  LightCollectMoving(&slot, &p);
  EXPECT_EQ(gLight.movingCount, 0);
  EXPECT_EQ(std::vector<float>({p.x, p.y, p.z}), std::vector<float>({100, 200, 300}));
  EXPECT_EQ(std::vector<float>({p.boxMinX, p.boxMaxX, p.boxMinY, p.boxMaxY, p.boxMinZ, p.boxMaxZ}),
            std::vector<float>({90, 110, 190, 210, 290, 310}));
  slot.viewZ = 0.0f;
  LightCollectMoving(&slot, &p);
  ASSERT_EQ(gLight.movingCount, 1);
  EXPECT_EQ(gLight.moving[0], &p);
}

}  // namespace
