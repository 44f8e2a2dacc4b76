// A human's controls from the keyboard, the mouse and a joystick on the
// input library's fake device.
#include "ai_fixture.h"
#include "frontend/frontend.h"
#include "hal/input/input_fake.h"
#include "platform/app.h"
#include "platform/input.h"

namespace {

class Controls : public VehicleTest {
 protected:
  void SetUp() override {
    VehicleTest::SetUp();
    MakeCar(&gPlayer1, 1000.0f, 1000.0f, 0.0f);
    car_ = &gPlayer1;
    gApp.active = 0;  // the cursor stays where a test puts it
    gApp.mouseButtons = 0;
    gKeyScanCode = 0;
  }
  Vehicle* car_ = nullptr;
};

TEST_F(Controls, KeyboardSteeringRatesFollowTheSensitivitySetting) {
  struct Case {
    int32_t setting;
    float side, centre;
  };
  const Case cases[] = {{0, 32.0f, 30.0f}, {1, 24.0f, 22.0f}, {2, 16.0f, 15.0f}, {9, 16.0f, 15.0f}};
  SetFrameRate(12.5f);  // two units a frame
  for (const Case& c : cases) {
    SCOPED_TRACE(c.setting);
    gOptions.keyboardSensitivity = c.setting;
    car_->steerInput = 0.0f;
    gApp.keyBits = APP_KEY_LEFT;
    VehicleReadControls(car_);
    EXPECT_EQ(+car_->steerInput, 2.0f * c.side);
    gApp.keyBits = 0;
    VehicleReadControls(car_);
    EXPECT_EQ(+car_->steerInput, 2.0f * (c.side - c.centre));
    // Back to the centre without passing it.
    VehicleReadControls(car_);
    EXPECT_EQ(+car_->steerInput, 0.0f);
    gApp.keyBits = APP_KEY_RIGHT;
    VehicleReadControls(car_);
    EXPECT_EQ(+car_->steerInput, -2.0f * c.side);
    gApp.keyBits = 0;
    VehicleReadControls(car_);
    EXPECT_EQ(+car_->steerInput, -2.0f * (c.side - c.centre));
  }
  // The lock holds at 320 either way; left wins over right.
  car_->steerInput = 310.0f;
  gApp.keyBits = APP_KEY_LEFT | APP_KEY_RIGHT;
  VehicleReadControls(car_);
  EXPECT_EQ(+car_->steerInput, 320.0f);
  car_->steerInput = -310.0f;
  gApp.keyBits = APP_KEY_RIGHT;
  VehicleReadControls(car_);
  EXPECT_EQ(+car_->steerInput, -320.0f);
}

TEST_F(Controls, KeyboardPedalsBoostAndHandbrake) {
  struct Case {
    uint8_t bits;
    uint8_t throttle, brake, boost, handbrake;
  };
  const Case cases[] = {{APP_KEY_UP, 1, 0, 0, 0},   {APP_KEY_DOWN, 0, 1, 0, 0},  {APP_KEY_CTRL, 0, 0, 1, 0},
                        {APP_KEY_SPACE, 0, 0, 0, 1}, {APP_KEY_UP | APP_KEY_DOWN, 1, 1, 0, 0}, {0, 0, 0, 0, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(+c.bits);
    car_->throttleCmd = car_->brakeCmd = 1;
    car_->boostButton = car_->handbrakeButton = 0;
    gVehicleStep.acceleratePressed = 0;
    gApp.keyBits = c.bits;
    VehicleReadControls(car_);
    EXPECT_EQ(+car_->throttleCmd, c.throttle);
    EXPECT_EQ(+gVehicleStep.acceleratePressed, c.throttle);
    EXPECT_EQ(+car_->brakeCmd, c.brake);
    EXPECT_EQ(+car_->boostButton, c.boost);
    EXPECT_EQ(+car_->handbrakeButton, c.handbrake);
  }
  // A finished car at speed pulls the handbrake by itself.
  gApp.keyBits = 0;
  car_->finished = 1;
  car_->velocity = 100.5f;
  VehicleReadControls(car_);
  EXPECT_EQ(+car_->handbrakeButton, 1);
}

TEST_F(Controls, TheMouseSteersTowardTheCursorAndItsButtonsDrive) {
  car_->controller = 1;
  gApp.cursorX = 0;  // full left: a target of 320
  VehicleReadControls(car_);
  EXPECT_FLOAT_EQ(car_->steerInput, 128.0f);
  gApp.cursorX = 320;
  VehicleReadControls(car_);
  EXPECT_FLOAT_EQ(car_->steerInput, 128.0f * 0.6f);
  // A cursor far right in a large display mode stops at the lock.
  gApp.cursorX = 1599;
  SetFrameRate(10.0f);
  for (int i = 0; i < 10; ++i) VehicleReadControls(car_);
  EXPECT_GE(car_->steerInput, -320.0f);

  struct Case {
    uint32_t buttons;
    uint8_t scan;
    uint8_t throttle, brake, boost, handbrake;
  };
  const Case cases[] = {{APP_MOUSE_LEFT, 0, 1, 0, 0, 0},
                        {APP_MOUSE_LEFT | APP_MOUSE_RIGHT, 0, 1, 0, 1, 0},
                        {APP_MOUSE_RIGHT, 0, 0, 1, 0, 0},
                        {0, 0x1C, 0, 0, 0, 1},
                        {0, 0x1D, 0, 0, 0, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.buttons << " scan " << +c.scan);
    car_->boostButton = car_->handbrakeButton = 0;
    gApp.mouseButtons = c.buttons;
    gKeyScanCode = c.scan;
    VehicleReadControls(car_);
    EXPECT_EQ(+car_->throttleCmd, c.throttle);
    EXPECT_EQ(+car_->brakeCmd, c.brake);
    EXPECT_EQ(+car_->boostButton, c.boost);
    EXPECT_EQ(+car_->handbrakeButton, c.handbrake);
  }
}

class Joystick : public Controls {
 protected:
  void SetUp() override {
    Controls::SetUp();
    HalInputUseFake(true);
    InputResetForTest();
    HalFakeJoystick j{};
    j.desc.instanceName = j.desc.productName = "pad";
    j.caps = HalInputCaps{HalDevType(HAL_DEVTYPE_JOYSTICK, HAL_DEVSUB_GAMEPAD), 0u, 2, 12, 0};
    for (uint32_t a = 0; a < 2; ++a) j.axes.push_back(HalInputObject{a * 4, 0u});
    for (uint32_t& pov : j.state.pov) pov = HAL_POV_CENTRED;
    HalFakeInputAdd(j);
    ASSERT_EQ(InputInit(0, 1), 1);
    gJoyDevice = 0;
    gJoyState = InputJoyState{};
    car_->controller = 2;
  }
  void TearDown() override {
    HalInputUseFake(false);
    Controls::TearDown();
  }
  static HalJoyState& Stick() { return HalFakeInputJoystick(0)->state; }
};

TEST_F(Joystick, TheStickDrivesBeyond625AndItsButtonsBoostAndHandbrake) {
  struct Case {
    int32_t y;
    uint8_t button0, button2;
    uint8_t throttle, brake, boost, handbrake;
  };
  const Case cases[] = {{-626, 0, 0, 1, 0, 0, 0}, {-625, 0, 0, 0, 0, 0, 0}, {625, 0, 0, 0, 0, 0, 0},
                        {626, 0, 0, 0, 1, 0, 0},  {0, 0x80, 0, 0, 0, 1, 0}, {0, 0, 0x80, 0, 0, 0, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.y << " " << +c.button0 << " " << +c.button2);
    car_->boostButton = car_->handbrakeButton = 0;
    Stick().y = c.y;
    Stick().buttons[0] = c.button0;
    Stick().buttons[2] = c.button2;
    VehicleReadControls(car_);
    EXPECT_EQ(+car_->throttleCmd, c.throttle);
    EXPECT_EQ(+car_->brakeCmd, c.brake);
    EXPECT_EQ(+car_->boostButton, c.boost);
    EXPECT_EQ(+car_->handbrakeButton, c.handbrake);
  }
}

TEST_F(Joystick, SteeringIsMinusXTimes0032EasedForType2AndAtOnceForType3) {
  Stick().x = 5000;
  VehicleReadControls(car_);
  EXPECT_FLOAT_EQ(car_->steerInput, -160.0f * 0.3f);
  car_->controller = 3;
  VehicleReadControls(car_);
  EXPECT_FLOAT_EQ(car_->steerInput, -160.0f);
  Stick().x = -10000;
  VehicleReadControls(car_);
  EXPECT_FLOAT_EQ(car_->steerInput, 320.0f);
  // Other controller types read nothing.
  car_->controller = 4;
  car_->throttleCmd = 1;
  VehicleReadControls(car_);
  EXPECT_EQ(+car_->throttleCmd, 1);
}

TEST_F(Joystick, AFailedReadKeepsTheLastStateAndChecksForALostDevice) {
  Stick().y = -5000;
  Stick().x = 10000;
  car_->controller = 3;
  VehicleReadControls(car_);
  ASSERT_EQ(+car_->throttleCmd, 1);
  gVehicleCalls.clear();
  Stick().y = 5000;
  HalFakeInputSetResult(HAL_CALL_GET_STATE, 0, static_cast<int32_t>(0x8007001Eu), 1);
  VehicleReadControls(car_);
  EXPECT_EQ(+car_->throttleCmd, 1);
  EXPECT_EQ(+car_->brakeCmd, 0);
  EXPECT_FLOAT_EQ(car_->steerInput, -320.0f);
  EXPECT_EQ(CountCalls("FfbCheckDeviceLost"), 1);
  VehicleReadControls(car_);
  EXPECT_EQ(+car_->brakeCmd, 1);
  EXPECT_EQ(CountCalls("FfbCheckDeviceLost"), 1);
}

}  // namespace
