#include "engine3d/angle.h"
#include "engine3d/mesh.h"
#include "vehicle_fixture.h"

namespace {

class Helpers : public VehicleTest {
 protected:
  void SetUp() override {
    VehicleTest::SetUp();
    // A plane rising 5 units for every 10 along +z.
    BuildTerrain(41, 41, 10.0f, [](uint32_t, uint32_t row) { return static_cast<int>(row) * 5; });
    MakeCar(&car_, 200.0f, 200.0f, 0.0f);
  }
  Vehicle car_;
};

TEST_F(Helpers, GroundAnglesFollowTheBodyDirectionOnATiltedPlane) {
  const float up = MathAngleTo(0.0f, 0.0f, 40.0f, 20.0f), down = MathAngleTo(0.0f, 0.0f, 40.0f, -20.0f);
  struct Case {
    float heading, slide;
    float pitch, roll;
  };
  const Case cases[] = {{0.0f, 0.0f, up, 0.0f},   {512.0f, 0.0f, down, 0.0f}, {256.0f, 0.0f, 0.0f, up},
                        {768.0f, 0.0f, 0.0f, down}, {0.0f, 256.0f, 0.0f, up}};
  for (const Case& c : cases) {
    car_.pose.heading = c.heading;
    car_.slideAngle = c.slide;
    VehicleGroundAngles(&car_);
    EXPECT_EQ(+gVehicleStep.groundPitch, +c.pitch) << c.heading << " " << c.slide;
    EXPECT_EQ(+gVehicleStep.groundRoll, +c.roll) << c.heading << " " << c.slide;
  }
}

TEST_F(Helpers, OffTheGroundThePitchIsMeasuredFromThePoseExceptOnTheRoof) {
  car_.pose.y += 40.0f;  // 40 up: the point ahead lies 20 below
  VehicleGroundAngles(&car_);
  EXPECT_EQ(+gVehicleStep.groundPitch, MathAngleTo(0.0f, 0.0f, 40.0f, -20.0f));
  VehicleGroundAnglesAtTerrain(&car_);
  EXPECT_EQ(+gVehicleStep.groundPitch, MathAngleTo(0.0f, 0.0f, 40.0f, 20.0f));
  car_.state = VEHICLE_ROLLED_OVER;
  car_.rollOverAngle = 512.0f;  // on the roof the body points the other way
  VehicleGroundAngles(&car_);
  EXPECT_EQ(+gVehicleStep.groundPitch, MathAngleTo(0.0f, 0.0f, 40.0f, -20.0f));
}

TEST_F(Helpers, TheSlopeStallArmsTheRollBackTimerOnlyOnSteepClimbs) {
  struct Case {
    const char* name;
    float pitch, velocity;
    int16_t impact;
    float water;
    uint8_t started;
    float timerBefore;
    bool armed;
    float timer;
  };
  auto t = [](int a) { return 12.0f - 1.0f / MathCos(2 * a); };
  const Case cases[] = {
      {"pitch 5", 5.0f, 10.0f, 0, 0.0f, 1, 3.0f, false, 0.0f},
      {"pitch 6", 6.0f, 10.0f, 0, 0.0f, 1, 0.0f, true, t(6)},
      {"pitch 6.9 truncates", 6.9f, 10.0f, 0, 0.0f, 1, 0.0f, true, t(6)},
      {"downhill 512", 512.0f, 10.0f, 0, 0.0f, 1, 3.0f, false, 0.0f},
      {"downhill 1000", 1000.0f, 10.0f, 0, 0.0f, 1, 3.0f, false, 0.0f},
      {"uphill backwards is downhill", 100.0f, -10.0f, 0, 0.0f, 1, 3.0f, false, 0.0f},
      {"downhill backwards climbs", 1000.0f, -10.0f, 0, 0.0f, 1, 0.0f, true, t(24)},
      {"impact replaces", 0.0f, 10.0f, 50, 0.0f, 1, 0.0f, true, t(50)},
      {"a lower timer stays", 50.0f, 10.0f, 0, 0.0f, 1, 1.0f, true, 1.0f},
      {"water replaces, at least 2 steps", 0.0f, 10.0f, 50, 60.0f, 1, 0.0f, true, 2.0f},
      {"shallow water", 0.0f, 10.0f, 0, 3.0f, 1, 0.0f, true, t(10)},
      {"not before the start", 100.0f, 10.0f, 0, 0.0f, 0, 3.0f, false, 3.0f},
  };
  for (const Case& c : cases) {
    car_.pose.pitch = c.pitch;
    car_.velocity = c.velocity;
    car_.impactVelocity = c.impact;
    car_.waterDepthSum = c.water;
    gRace.raceStarted = c.started;
    car_.reverseTimer = c.timerBefore;
    gVehicleStep.reverseFlip = 0;
    VehicleSlopeStall(&car_);
    EXPECT_EQ(+gVehicleStep.reverseFlip, c.armed ? 1 : 0) << c.name;
    EXPECT_FLOAT_EQ(+car_.reverseTimer, +c.timer) << c.name;
  }
}

TEST_F(Helpers, AStallBelowTwoJoltsAWheelThatCannotClimb) {
  struct Case {
    float pitch, velocity;
    uint8_t throttle, brake;
    uint8_t jolt;
  };
  const Case cases[] = {{125.0f, 3.0f, 1, 0, 5}, {125.0f, 6.0f, 1, 0, 0}, {125.0f, 3.0f, 0, 0, 0},
                        {900.0f, -6.0f, 0, 1, 5}, {900.0f, -4.0f, 0, 1, 0}, {60.0f, 3.0f, 1, 0, 0}};
  for (const Case& c : cases) {
    car_.pose.pitch = c.pitch;
    car_.velocity = c.velocity;
    car_.throttleCmd = c.throttle;
    car_.brakeCmd = c.brake;
    car_.ffBumpFrames = 0;
    car_.reverseTimer = 0.0f;
    VehicleSlopeStall(&car_);
    EXPECT_EQ(+car_.ffBumpFrames, +c.jolt) << c.pitch << " " << c.velocity;
  }
}

// A driver of one vertex and one face whose frame k stands at x = 100 k,
// with its face normal (k, 0, 0).
class Driver : public Helpers {
 protected:
  void SetUp() override {
    Helpers::SetUp();
    for (uint32_t k = 0; k < FRAMES; ++k) {
      frameVertices_[k] = FrameVertex{100.0f * static_cast<float>(k), 1.0f, 2.0f, 0.0f, 0.0f, 0.0f};
      frameNormals_[k][0] = static_cast<float>(k);
      frames_[k] = MeshFrame{&frameVertices_[k], frameNormals_[k]};
    }
    set_ = MeshFrameSet{FRAMES, frames_};
    model_ = MeshHeader{MESH_TYPE_WORD, 1, 1, &face_, &vertex_, {0, 0, 0}};
    gDriverFrames = &set_;
  }
  void TearDown() override {
    gDriverFrames = nullptr;
    Helpers::TearDown();
  }
  static constexpr uint32_t FRAMES = 6;
  FrameVertex frameVertices_[FRAMES]{};
  float frameNormals_[FRAMES][3]{};
  MeshFrame frames_[FRAMES]{};
  MeshFrameSet set_{};
  Vertex vertex_{};
  Face face_{};
  MeshHeader model_{};
};

// Straight from the grid no animation has been asked for: the driver sits
// in its rest frame, not at a blend over no time.
TEST_F(Driver, TheFirstFrameAfterPlacementIsTheRestFrame) {
  gRace.trackIndex = 0;
  Vehicle& placed = gVehicleRecords[0];
  placed = Vehicle{};
  VehiclePlaceOnGrid(&placed, 0, 0);
  placed.human = 1;
  vertex_.x = 37.0f;
  VehicleAnimateDriver(&model_, &placed);
  EXPECT_EQ(+vertex_.x, 0.0f);
  EXPECT_EQ(+vertex_.y, 1.0f);
  EXPECT_EQ(+face_.normalX, 0.0f);
}

TEST_F(Driver, AnimationsPlayForAHumanOnceAndBlendIntoSteering) {
  Vehicle computer;
  MakeCar(&computer, 100.0f, 100.0f, 0.0f, 0);
  VehicleDriverPlay(&computer, 4, 15.0f);
  EXPECT_EQ(+computer.driverAnim, 0);

  // Frame 4 stands at x 400: each step blends a further time / 15 of the way.
  VehicleDriverPlay(&car_, 4, 15.0f);
  EXPECT_EQ(+car_.driverAnim, 4);
  VehicleAnimateDriver(&model_, &car_);
  EXPECT_EQ(+vertex_.x, 0.0f);
  VehicleAnimateDriver(&model_, &car_);
  EXPECT_FLOAT_EQ(+vertex_.x, 400.0f / 15.0f);
  EXPECT_FLOAT_EQ(+face_.normalX, 4.0f / 15.0f);
  EXPECT_EQ(+car_.driverAnimTime, 2.0f);
  VehicleDriverPlay(&car_, 4, 12.0f);  // already playing: not restarted
  EXPECT_EQ(+car_.driverAnimTime, 2.0f);
  EXPECT_EQ(+car_.driverAnimEnd, 15.0f);
  // Steering takes over only once an animation is done.
  VehicleDriverSteer(&car_, 1, 100.0f);
  EXPECT_EQ(+car_.driverAnim, 4);
  for (int i = 0; i < 14; ++i) VehicleAnimateDriver(&model_, &car_);
  EXPECT_FLOAT_EQ(+vertex_.x, 400.0f);  // the last step blends all the way
  EXPECT_EQ(+car_.driverAnim, 0);       // a reaction returns to rest
  car_.driverAnimDone = 1;
  VehicleDriverSteer(&car_, 2, 160.0f);
  EXPECT_EQ(+car_.driverAnim, 2);
  EXPECT_EQ(+car_.driverAnimTime, 160.0f);
  EXPECT_EQ(+car_.driverAnimEnd, 320.0f);
  // Steering sets the driver between the rest frame and the side's frame.
  VehicleAnimateDriver(&model_, &car_);
  EXPECT_FLOAT_EQ(+vertex_.x, 100.0f);

  // Looking back lasts while reversing and ends once the car rolls forward.
  car_.velocity = -5.0f;
  VehicleDriverPlay(&car_, 5, 3.0f);
  for (int i = 0; i < 6; ++i) VehicleAnimateDriver(&model_, &car_);
  EXPECT_FLOAT_EQ(+vertex_.x, 500.0f);
  EXPECT_EQ(+car_.driverAnim, 5);
  EXPECT_EQ(+car_.driverAnimDone, 0);
  EXPECT_EQ(+car_.driverAnimTime, 3.0f);
  car_.velocity = 0.0f;
  VehicleAnimateDriver(&model_, &car_);
  EXPECT_EQ(+car_.driverAnim, 0);
}

}  // namespace
