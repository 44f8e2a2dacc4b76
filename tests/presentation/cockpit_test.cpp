// The in-car view: depth buckets, the arena's bound, the needles, the
// steering wheel, the dashboard and the dial panel of the outside views.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "backend_common/display.h"
#include "engine3d/instance.h"
#include "engine3d/model3ds.h"
#include "platform/mem.h"
#include "tools/datakit/lib/race_kit.h"
#include "backend_common/draw.h"
#include "draw_fixture.h"
#include "fog_log.h"
#include "engine3d/angle.h"
#include "frontend/frontend.h"
#include "presentation/cockpit.h"
#include "presentation/presentation.h"
#include "presentation/text.h"
#include "race/assets.h"
#include "race/race.h"
#include "race/tracks.h"
#include "race/vehicle_steps.h"

namespace {

// An interior of single triangles facing the camera, each at the view
// depth given; the face word's colour is the triangle's number.
struct Interior {
  std::vector<Vertex> vertices;
  std::vector<Face> faces;
  MeshHeader mesh{};

  explicit Interior(const std::vector<float>& depths) {
    for (size_t i = 0; i < depths.size(); ++i) {
      const float z = depths[i];
      const float corners[3][2] = {{-1, -1}, {1, -1}, {0, 1}};
      for (const auto& c : corners) {
        Vertex v{};
        v.x = c[0];
        v.y = c[1];
        v.z = z;
        vertices.push_back(v);
      }
      Face f{};
      f.type = static_cast<uint32_t>(i + 1);
      f.vertexCount = 3;
      for (int k = 0; k < 3; ++k) f.index[k] = static_cast<uint16_t>(3 * i + k);
      // Facing away from the camera: seen from the front.
      f.normalZ = z >= 0.0f ? 1024.0f : -1024.0f;
      faces.push_back(f);
    }
    mesh.type = MESH_TYPE_WORD;
    mesh.vertexCount = static_cast<uint32_t>(vertices.size());
    mesh.faceCount = static_cast<uint32_t>(faces.size());
    mesh.vertices = vertices.data();
    mesh.faces = faces.data();
  }
};

class CockpitTest : public VehicleDrawTest {
 protected:
  void SetUp() override {
    VehicleDrawTest::SetUp();
    // The vehicle stands at the origin, level, heading +z (its first axis
    // points along -x); the camera sits on its body point looking along +z,
    // so a vertex's z is its view depth.
    StandVehicle(&gPlayer1, 0, 0.0f, 0.0f, 0.0f);
    gPlayer1.viewActive = 1;
    camera_ = Camera{gPlayer1.bodyPoint[0], gPlayer1.bodyPoint[1], gPlayer1.bodyPoint[2], 0, 0, 0};
    CamSet(&camera_);
    MatViewFromCamera();
    gRace.viewHeight = gRdrState.screenHeight;
    gDrawn.clear();
  }

  void UseInterior(Interior& interior) {
    for (MeshHeader*& m : gCarModels[0].body[CAR_BODY_SETS - 1]) m = &interior.mesh;
  }

  // The colour numbers of the faces drawn, in order.
  static std::vector<uint32_t> DrawnFaceNumbers(const std::string& call) {
    std::vector<uint32_t> out;
    for (const Drawn& d : DrawnCalls(call)) out.push_back(d.face.type & 0xFFFFFF);
    return out;
  }
};

TEST_F(CockpitTest, TheInteriorIsDrawnFarToNearByBucket) {
  // Depths below 0 share bucket 0 and above 39 share bucket 39; within a
  // bucket the faces keep the model's order.
  Interior interior({5.2f, 60.0f, -3.0f, 39.5f, 20.0f, 5.9f, 100.0f, 0.4f});
  UseInterior(interior);
  CockpitDraw(&gPlayer1);
  EXPECT_EQ(gCockpitBuckets.buckets[39].count, 3);
  EXPECT_EQ(gCockpitBuckets.buckets[0].count, 2);
  EXPECT_EQ(gCockpitBuckets.buckets[5].count, 2);
  // Lighting off: the colour faces go through the flat routine.
  const std::vector<uint32_t> expected = {2, 4, 7, 5, 1, 6, 3, 8};
  std::vector<uint32_t> flat = DrawnFaceNumbers("Flat");
  ASSERT_GE(flat.size(), expected.size());
  flat.resize(expected.size());
  EXPECT_EQ(flat, expected);
}

TEST_F(CockpitTest, TheLitDetailDrawsTheInteriorGouraudAndTexLit) {
  Interior interior({10.0f, 20.0f});
  interior.faces[0].type = FACE_TEX_LIT << 24 | 7;
  UseInterior(interior);
  gOptions.detail[2] = 1;
  CockpitDraw(&gPlayer1);
  ASSERT_FALSE(DrawnCalls("TexLit").empty());
  EXPECT_EQ(DrawnCalls("TexLit")[0].face.type, FACE_TEX_LIT << 24 | 7);
  // The colour face comes first (it is farther), then the needles.
  const std::vector<Drawn> gouraud = DrawnCalls("Gouraud");
  ASSERT_EQ(gouraud.size(), 3u);
  EXPECT_EQ(gouraud[0].face.type, 2u);
  for (const Vertex& v : gouraud[0].corners) {
    EXPECT_GE(+v.light, 0.0f);
    EXPECT_LE(+v.light, 63.0f);
  }
}

TEST_F(CockpitTest, FacesBeyondTheArenaAreLeftOut) {
  std::vector<float> depths(COCKPIT_NODES + 87, 12.0f);
  Interior interior(depths);
  UseInterior(interior);
  CockpitDraw(&gPlayer1);
  EXPECT_EQ(gCockpitBuckets.used, COCKPIT_NODES);
  EXPECT_EQ(gCockpitBuckets.dropped, 87);
  std::vector<uint32_t> flat = DrawnFaceNumbers("Flat");
  ASSERT_GE(flat.size(), static_cast<size_t>(COCKPIT_NODES));
  EXPECT_EQ(flat[COCKPIT_NODES - 1], static_cast<uint32_t>(COCKPIT_NODES));
  for (uint32_t n : flat) EXPECT_LE(n, static_cast<uint32_t>(COCKPIT_NODES));
}

TEST_F(CockpitTest, BackFacesStayOutOfTheBuckets) {
  Interior interior({10.0f, 12.0f});
  interior.faces[1].normalZ = -1024.0f;
  UseInterior(interior);
  CockpitDraw(&gPlayer1);
  EXPECT_EQ(gCockpitBuckets.used, 1);
}

TEST_F(CockpitTest, TheVertexArrayAndDepthRangeComeBack) {
  Interior interior({10.0f});
  UseInterior(interior);
  gVehicleAssets.dashboard = gCarModels[0].body[0][0];
  Vertex* world = gMesh.vertices;
  CockpitDraw(&gPlayer1);
  EXPECT_EQ(gMesh.vertices, world);
  EXPECT_EQ(gRdrObjectVertexCount, -1);
  // 3 for the interior, 30 for the dashboard alone, then 5 for the rest.
  std::vector<std::pair<int32_t, int32_t>> ranges;
  for (const Drawn& d : DrawnCalls("DepthRange")) ranges.emplace_back(d.args[0], d.args[1]);
  const std::vector<std::pair<int32_t, int32_t>> expected = {{3, 1700}, {3, 30}, {3, 1700}, {5, 1700}};
  EXPECT_EQ(ranges, expected);
  const std::vector<Drawn> lit = DrawnCalls("Lit");
  ASSERT_EQ(lit.size(), 1u);
  EXPECT_EQ(lit[0].mesh, gVehicleAssets.dashboard);
  // Placed -6 along the first axis and 10 along the second from the body point.
  EXPECT_FLOAT_EQ(lit[0].slot.x, gPlayer1.bodyPoint[0] + 6.0f);
  EXPECT_FLOAT_EQ(lit[0].slot.y, gPlayer1.bodyPoint[1] + 10.0f);
  EXPECT_FLOAT_EQ(lit[0].slot.z, gPlayer1.bodyPoint[2]);
}

TEST_F(CockpitTest, NeedleAngles) {
  struct Case {
    float velocity, revs, maximum;
    int32_t velocityAngle, revsAngle;
  };
  const Case cases[] = {
      {0.0f, 0.0f, 8000.0f, 8, 100},       // standing: 8, not 0
      {-30.0f, 1000.0f, 8000.0f, 8, 200},  // reversing too
      {100.0f, 4000.0f, 8000.0f, 308, 500},
      {10.5f, 9500.0f, 9500.0f, 39, 900},
      {10.0f, 12000.0f, 9500.0f, 38, 900},  // held at 9500
  };
  for (const Case& c : cases) {
    gPlayer1.velocity = c.velocity;
    gPlayer1.engineRevs = c.revs;
    gPlayer1.physParams[PHYS_REV_LIMIT] = c.maximum;
    EXPECT_EQ(CockpitVelocityAngle(&gPlayer1), c.velocityAngle) << c.velocity;
    EXPECT_EQ(CockpitRevsAngle(&gPlayer1), c.revsAngle) << c.revs;
  }
}

TEST_F(CockpitTest, TheSteeringWheelTurnsWithTheSteering) {
  struct Case {
    float steer;
    int32_t angle;
  };
  for (const Case& c : {Case{0.0f, 256}, Case{320.0f, -644}, Case{-160.0f, 706}, Case{100.0f, -25}}) {
    gPlayer1.steerInput = c.steer;
    EXPECT_EQ(CockpitSteeringAngle(&gPlayer1), c.angle) << c.steer;
  }
  // One textured face of the wheel model, a corner at (4, 0): straight ahead
  // (angle 256) it stands 4 below the hub on the screen.
  Interior wheel({0.0f});
  wheel.vertices[0].x = 4.0f;
  wheel.vertices[0].y = 0.0f;
  wheel.faces[0].type = FACE_TEX_LIT << 24 | 9;
  gCarModels[0].steeringWheel = &wheel.mesh;
  Interior interior({});
  UseInterior(interior);
  gPlayer1.steerInput = 0.0f;
  CockpitDraw(&gPlayer1);
  const std::vector<Drawn> texLit = DrawnCalls("TexLit");
  ASSERT_EQ(texLit.size(), 1u);
  const CockpitPoint hub = CockpitProjectPoint(&gPlayer1, 0.0f, -2.7f, 3.0f);
  const float h = static_cast<float>(gRace.viewHeight);
  EXPECT_NEAR(texLit[0].corners[0].screenX, hub.x, 1e-3f);
  EXPECT_NEAR(texLit[0].corners[0].screenY, hub.y + 4.0f * h / 384.0f, 1e-3f);
  EXPECT_FLOAT_EQ(texLit[0].corners[0].viewZ, 10.0f);
}

// In the game's cars, seen from the in-car camera at 640 x 480, the needles
// and the steering wheel stand in the lower half of the screen, about its
// middle.
TEST_F(CockpitTest, TheNeedlesAndTheWheelShowAtTheBottomOfTheInCarView) {
  RdrClose();
  ASSERT_TRUE(RdrOpen(gDisplayModes[2], 1));
  MeshPoolAllocVertices(MESH_POOL_VERTICES);
  MeshPoolAllocFaces(MESH_POOL_FACES);
  gRace.viewHeight = 480;
  CarModelSetGeometry();
  Interior wheel({0.0f});
  wheel.faces[0].type = FACE_TEX_LIT << 24 | 9;
  for (int32_t type = 0; type < CAR_MODEL_GAME_ROWS; ++type) {
    SCOPED_TRACE(type);
    gCarModels[type].steeringWheel = &wheel.mesh;
    StandVehicle(&gPlayer1, type, 100.0f, 50.0f, 200.0f);
    gPlayer1.viewActive = 1;
    // Where the wheel pass puts the eye for the in-car view, and the camera there.
    const CarPoint eye = gCarModels[type].point2;
    const float* m = gPlayer1.bodyMatrix;
    const float e[3] = {eye.x, eye.y, eye.z - 2.0f};
    for (int i = 0; i < 3; ++i)
      gPlayer1.eyePoint[i] = gPlayer1.bodyPoint[i] + m[3 * i] * e[0] + m[3 * i + 1] * e[1] + m[3 * i + 2] * e[2];
    camera_ = Camera{gPlayer1.eyePoint[0], gPlayer1.eyePoint[1], gPlayer1.eyePoint[2], 0, 0, 0};
    CamSet(&camera_);
    MatViewFromCamera();
    gDrawn.clear();
    CockpitDraw(&gPlayer1);
    std::vector<Drawn> shown = DrawnCalls("Gouraud");
    ASSERT_EQ(shown.size(), 2u);
    const std::vector<Drawn> texLit = DrawnCalls("TexLit");
    ASSERT_EQ(texLit.size(), 1u);
    shown.push_back(texLit[0]);
    for (const Drawn& d : shown)
      for (const Vertex& v : d.corners) {
        EXPECT_GT(v.screenX, 160.0f);
        EXPECT_LT(v.screenX, 480.0f);
        EXPECT_GT(v.screenY, 240.0f);
        EXPECT_LT(v.screenY, 480.0f);
      }
  }
}

TEST_F(CockpitTest, TheDialsShowOnlyWithTheGaugesOutsideTheCar) {
  Interior interior({10.0f});
  UseInterior(interior);
  HudFont.digitTexture = 44;
  struct Case {
    uint8_t view, flyIn;
    int32_t gauges;
    bool panel, cockpit;
  };
  const Case cases[] = {
      {0, 0, 0, false, false}, {0, 0, 1, true, false}, {2, 0, 1, true, false},
      {1, 1, 1, true, false},  // the fly-in looks from outside
      {1, 0, 0, false, true},  // in the car the needles always show
  };
  for (const Case& c : cases) {
    gDrawn.clear();
    gPlayer1.viewActive = c.view;
    gRace.flyInActive = c.flyIn;
    gRace.gauges = c.gauges;
    CockpitDraw(&gPlayer1);
    const std::vector<Drawn> decal = DrawnCalls("Decal");
    EXPECT_EQ(decal.size(), c.panel ? 1u : 0u) << +c.view << " " << c.gauges;
    EXPECT_EQ(DrawnCalls("Flat").size(), c.panel ? 2u : c.cockpit ? 1u : 0u);
    EXPECT_EQ(DrawnCalls("Gouraud").size(), c.cockpit ? 2u : 0u);
    if (!c.panel || decal.empty()) continue;
    const int32_t w = gRdrState.screenWidth, h = gRace.viewHeight;
    const Drawn& panel = decal[0];
    EXPECT_EQ(panel.face.type, 0x2000000u | 44u);
    EXPECT_FLOAT_EQ(panel.corners[0].screenX, 0.0f);
    EXPECT_FLOAT_EQ(panel.corners[2].screenX, static_cast<float>(w * 96 / 512));
    EXPECT_FLOAT_EQ(panel.corners[0].screenY, static_cast<float>(h * 256 / 384));
    EXPECT_FLOAT_EQ(panel.corners[2].screenY, static_cast<float>(h));
    EXPECT_FLOAT_EQ(panel.face.st[0], 160.0f);
    EXPECT_FLOAT_EQ(panel.face.st[5], 127.0f);
  }
}

// A kit model through the game's 3DS loader, in the game's axes; the body
// sets (the interior among them) rest on the body point as the game loads
// them.
MeshHeader* LoadKitModel(const std::string& path, bool restOnGround = false) {
  for (const datakit::DataFile& f : datakit::VehicleModelFiles()) {
    if (f.path != path) continue;
    auto* buffer = static_cast<uint8_t*>(MemAlloc(static_cast<uint32_t>(f.data.size())));
    if (!buffer) return nullptr;
    std::memcpy(buffer, f.data.data(), f.data.size());
    if (!MeshFileOpenBuffer(buffer, static_cast<uint32_t>(f.data.size()))) return nullptr;
    const MeshPlacement placement = {0, 1.0f, 0.0f, {1, 0, 0, 0, 0, 1, 0, 1, 0}, 1, 1};
    MeshHeader* mesh = MeshLoad3dsOpened("", &placement);
    if (mesh && restOnGround) MeshRestOnGroundShiftZ(mesh);
    return mesh;
  }
  return nullptr;
}

// Whether the screen point lies inside a drawn face.
bool Covers(const Drawn& d, float x, float y) {
  const size_t n = d.corners.size();
  if (n < 3) return false;
  bool inside = false;
  for (size_t i = 0, j = n - 1; i < n; j = i++) {
    const Vertex &a = d.corners[i], &b = d.corners[j];
    if ((a.screenY > y) != (b.screenY > y) &&
        x < (b.screenX - a.screenX) * (y - a.screenY) / (b.screenY - a.screenY) + a.screenX)
      inside = !inside;
  }
  return inside;
}

// Each kit car's inside seen from its driver's eye: the road ahead shows
// through the windscreen, the whole interior fits the arena, and the dial
// lies where the needles turn (2.8 and 3.1 right of the eye, 6 below, 10
// ahead).
TEST_F(CockpitTest, TheKitsInteriorsLeaveTheRoadInSightAndHoldTheDialUnderTheNeedles) {
  CarModelSetGeometry();
  MeshHeader* dashboard = LoadKitModel("car1\\bord.3ds");
  ASSERT_NE(dashboard, nullptr);
  gVehicleAssets.dashboard = dashboard;
  const float w = static_cast<float>(gRdrState.screenWidth), h = static_cast<float>(gRace.viewHeight);
  const float cx = gRdrState.centreX, cy = gRdrState.centreY;
  for (int32_t type = 0; type < CAR_MODEL_GAME_ROWS; ++type) {
    SCOPED_TRACE(type);
    MeshHeader* interior = LoadKitModel("car" + std::to_string(type + 1) + "\\int\\ziziz.3ds", true);
    ASSERT_NE(interior, nullptr);
    for (MeshHeader*& m : gCarModels[0].body[CAR_BODY_SETS - 1]) m = interior;
    // The in-car eye of this car type, as the wheel pass places it.
    const CarPoint& p = gCarModels[type].point2;
    const float* m = gPlayer1.bodyMatrix;
    const float e[3] = {p.x, p.y, p.z - 2.0f};
    float eye[3];
    for (int k = 0; k < 3; ++k) eye[k] = gPlayer1.bodyPoint[k] + m[3 * k] * e[0] + m[3 * k + 1] * e[1] + m[3 * k + 2] * e[2];
    camera_ = Camera{eye[0], eye[1], eye[2], 0, 0, 0};
    CamSet(&camera_);
    MatViewFromCamera();
    gDrawn.clear();
    CockpitDrawBody(&gPlayer1);
    EXPECT_EQ(gCockpitBuckets.dropped, 0);
    EXPECT_GT(gCockpitBuckets.used, 0);
    std::vector<Drawn> faces = DrawnCalls("Gouraud"), flat = DrawnCalls("Flat");
    faces.insert(faces.end(), flat.begin(), flat.end());
    for (const float x : {cx - w / 8, cx, cx + w / 8})
      for (const float y : {cy - h / 4, cy, cy + h / 10})
        for (const Drawn& d : faces) EXPECT_FALSE(Covers(d, x, y)) << "covered at " << x << " " << y;

    // The dial: the darkest faces, their corners' middle on the needles' line.
    float sum[3] = {}, count = 0;
    for (uint32_t f = 0; f < interior->faceCount; ++f) {
      const Face& face = interior->faces[f];
      if ((face.type & 0xFFFFFF) != (16u | 16u << 8 | 18u << 16)) continue;
      for (int c = 0; c < face.vertexCount; ++c) {
        const Vertex& v = interior->vertices[face.index[c]];
        sum[0] += v.x, sum[1] += v.y, sum[2] += v.z, ++count;
      }
    }
    ASSERT_GT(count, 0);
    // The interior's own axes are the vehicle frame's, its origin the body point.
    EXPECT_NEAR(sum[0] / count, e[0] + 2.95f, 0.05f);
    EXPECT_NEAR(sum[1] / count, e[1] - 6.0f, 0.05f);
    EXPECT_NEAR(sum[2] / count, e[2] + 10.0f, 0.05f);
    MeshFree(interior);
  }
  MeshFree(dashboard);
}

TEST_F(CockpitTest, FogComesBackOnlyWhereTheRaceHasIt) {
  Interior interior({10.0f});
  UseInterior(interior);
  gRace.gauges = 1;
  struct Case {
    uint8_t view, fogDetail;
    std::vector<std::string> calls;
  };
  const Case cases[] = {{1, 0, {"off"}}, {1, 1, {"off", "on"}}, {0, 0, {}}, {0, 1, {"off", "on"}}};
  for (const Case& c : cases) {
    gFogCalls.clear();
    gPlayer1.viewActive = c.view;
    gOptions.detail[3] = c.fogDetail;
    CockpitDraw(&gPlayer1);
    EXPECT_EQ(gFogCalls, c.calls) << +c.view << " " << +c.fogDetail;
  }
}

}  // namespace
