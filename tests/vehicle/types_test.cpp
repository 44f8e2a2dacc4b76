#include <cstring>

#include "engine3d/random.h"
#include "race/tracks.h"
#include "vehicle_fixture.h"

namespace {

using Types = VehicleTest;

TEST_F(Types, TopVelocityComesFromPowerRatioAndMassOfTheTypeRow) {
  struct Case {
    int32_t type;
    float top;
  };
  // power x ratio / mass x 3.6
  const Case cases[] = {{0, 261.43f}, {1, 291.46f}, {2, 259.07f}, {3, 261.69f}, {4, 306.03f},
                        {5, 370.94f}, {11, 261.43f}, {-1, 261.43f}, {99, 261.43f}};
  for (const Case& c : cases) {
    Vehicle v{};
    VehicleCopyDefaults(&v);
    v.type = c.type;
    VehicleApplyType(&v);
    EXPECT_NEAR(+v.topVelocity, +c.top, 0.01f) << c.type;
    EXPECT_EQ(+v.enginePitchScale, 320) << c.type;
    // The rest of player 1's words stay.
    EXPECT_EQ(+v.physParams[PHYS_REV_LIMIT], 8000.0f);
    EXPECT_EQ(+v.physParams[PHYS_GEARS], 5.0f);
  }
  Vehicle v{};
  v.type = 4;
  VehicleApplyType(&v);
  EXPECT_EQ(+v.physParams[PHYS_MASS], 800.0f);
  EXPECT_EQ(+v.physParams[PHYS_FRONT_SHARE], 0.4f);
  EXPECT_EQ(+v.physParams[PHYS_GRIP_MAX], 4.8f);
  EXPECT_EQ(+v.frontLoad, 0.4f * 800.0f);
  EXPECT_EQ(+v.rearLoad, 0.6f * 800.0f);
}

TEST_F(Types, TheAlternativeRowAddsARandomPowerAndLeavesPitchScaleAndFootprint) {
  Vehicle v{};
  v.type = 2;
  v.enginePitchScale = 77;
  v.footprint[0] = -3.0f;
  RandSetIndex(100);
  const int32_t draw = RandAt(101) & 63;
  VehicleApplyTypeAlt(&v);
  EXPECT_EQ(+gRandom.index, 101u);  // one draw
  EXPECT_EQ(+v.physParams[PHYS_POWER], 154560.0f + static_cast<float>(draw * 736));
  EXPECT_EQ(+v.physParams[PHYS_MASS], 1400.0f);
  EXPECT_EQ(+v.physParams[PHYS_WHEEL_BASE], 4.5f);
  EXPECT_NEAR(+v.topVelocity, v.physParams[PHYS_POWER] * 0.2f / 1400.0f * 3.6f, 0.01f);
  EXPECT_EQ(+v.enginePitchScale, 77);
  EXPECT_EQ(+v.footprint[0], -3.0f);
}

TEST_F(Types, ResetDynamicsClearsExactlyItsFields) {
  Vehicle v{};
  VehicleCopyDefaults(&v);
  std::memset(static_cast<NetVehicle*>(&v), 0x11, sizeof(NetVehicle));
  VehicleCopyDefaults(&v);
  v.bodyPitch = 0.0f;
  const Vehicle before = v;
  VehicleResetDynamics(&v);
  // Cleared.
  for (float f : {v.driveForce, v.velocity, v.engineRevs, v.accel, v.lateralForce, v.slideAngle, v.slideUndersteer,
                  v.bodyRoll, v.bodyPitch, v.steerAngle, v.turnRadius, v.heading, v.wobble, v.cameraLag, v.brakeTimer,
                  v.rampCountdown, v.swayPhase, v.swayAmount, v.pushHeading1, v.pushVelocity1, v.pushTargetHeading,
                  v.pushVelocity2})
    EXPECT_EQ(f, 0.0f);
  for (int32_t i : {int32_t{v.wheelSpin}, int32_t{v.engineOn}, int32_t{v.tiltPitch}, int32_t{v.tiltRoll},
                    int32_t{v.gear}, int32_t{v.reverse}, int32_t{v.throttleCmd}, int32_t{v.brakeCmd},
                    int32_t{v.wheelSteer}, int32_t{v.ffBumpFrames}, int32_t{v.contactSoundFlag}, int32_t{v.cellCode}})
    EXPECT_EQ(i, 0);
  EXPECT_EQ(+v.grip, 5.4f);
  EXPECT_NEAR(+v.topVelocity, 294400.0f * 0.2f / 810.0f * 3.6f, 0.01f);
  EXPECT_EQ(+v.frontLoad, 405.0f);
  // Kept.
  EXPECT_EQ(+v.boostButton, +before.boostButton);
  EXPECT_EQ(+v.handbrakeButton, +before.handbrakeButton);
  EXPECT_EQ(+v.suspensionPitch, +before.suspensionPitch);
  EXPECT_EQ(+v.pushHeading2, +before.pushHeading2);
  EXPECT_EQ(+v.pose.x, +before.pose.x);
  EXPECT_EQ(+v.state, +before.state);
  EXPECT_EQ(+v.boostLeft, +before.boostLeft);
  EXPECT_EQ(+v.engineRevsHeard, +before.engineRevsHeard);
  EXPECT_EQ(+v.steerInput, +before.steerInput);
}

TEST_F(Types, MeasureModelTakesTheBoxOfTheVertices) {
  Vertex vertices[3] = {};
  const float p[3][3] = {{-4.0f, 0.5f, 10.0f}, {5.0f, -1.0f, -12.0f}, {1.0f, 7.0f, 0.0f}};
  for (int i = 0; i < 3; ++i) {
    vertices[i].x = p[i][0];
    vertices[i].y = p[i][1];
    vertices[i].z = p[i][2];
  }
  MeshHeader mesh{};
  mesh.vertexCount = 3;
  mesh.vertices = vertices;
  Vehicle v{};
  VehicleMeasureModel(&v, &mesh);
  const float want[6] = {-4.0f, 5.0f, -1.0f, 7.0f, -12.0f, 10.0f};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(+v.footprint[i], +want[i]) << i;
  mesh.vertexCount = 0;  // no vertex: the starting bounds
  VehicleMeasureModel(&v, &mesh);
  EXPECT_EQ(+v.footprint[0], 1280000.0f);
  EXPECT_EQ(+v.footprint[1], -1280000.0f);
  // ApplyType measures the body of the type's model row.
  gCarModels[2].body[0][0] = &mesh;
  mesh.vertexCount = 3;
  v.type = 2;
  VehicleApplyType(&v);
  EXPECT_EQ(+v.footprint[5], 10.0f);
  gCarModels[2].body[0][0] = nullptr;
}

}  // namespace
