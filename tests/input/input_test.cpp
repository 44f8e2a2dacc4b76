#include <cstdlib>
#include <cstring>

#include "input/input_fixture.h"

namespace {

constexpr uint32_t UNCHANGED = 0x12345678u;

struct ResultCase {
  uint32_t code;
  int32_t result;
  uint32_t stored;
};

TEST_F(InputTest, EveryDeviceResultTranslatesByOneTable) {
  const ResultCase cases[] = {
      {0x00000000u, 1, UNCHANGED},  {0x00000001u, 1, UNCHANGED},
      // Success codes beyond 1 are successes too.
      {0x00000002u, 1, UNCHANGED},  {0x00000003u, 1, UNCHANGED},
      {0x00000004u, 1, UNCHANGED},  {0x00000008u, 1, UNCHANGED},
      {0x80070002u, 1, UNCHANGED},  {0x8007001Eu, 0, UNCHANGED},
      {0x8007000Eu, 0, 0x80000002u}, {0x80070057u, 0, 0x80000003u},
      {0x80004002u, 0, 0x80000004u}, {0x80070005u, 0, 0x80000009u},
      {0x80040154u, 0, 0x80040154u}, {0x80040201u, 0, 0x80040201u},
      {0x80040205u, 0, 0x80040205u}, {0x80040206u, 0, 0x80040206u},
      {0x80040208u, 0, 0x80040208u}, {0x8007000Cu, 0, 0x8007000Cu},
      {0x80070015u, 0, 0x80070015u}, {0x800700AAu, 0, 0x800700AAu},
      {0x8007047Eu, 0, 0x8007047Eu}, {0x80070481u, 0, 0x80070481u},
      {0x80004005u, 0, 0xFFFFFFFEu}, {0x80001234u, 0, 0xFFFFFFFEu},
  };
  ASSERT_EQ(Start(1), 1);
  for (const ResultCase& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << c.code);
    gLibLastError = UNCHANGED;
    HalFakeInputSetResult(HAL_CALL_SET_PROPERTY, 0, static_cast<int32_t>(c.code), -1);
    // The second property call only happens when the first one went on.
    EXPECT_EQ(InputSetDeadZone(0, 500), c.result);
    EXPECT_EQ(InputGetLastError(), c.stored);
    HalInputUseFake(true);
    InputResetForTest();
    ASSERT_EQ(Start(1), 1);
  }
}

TEST_F(InputTest, SeventeenJoysticksKeepSixteen) {
  EXPECT_EQ(Start(0), 0);
  for (int i = 0; i < 17; ++i) HalFakeInputAdd(MakeJoystick("stick " + std::to_string(i)));
  EXPECT_EQ(InputInit(0, 1), 16);
  EXPECT_EQ(gInput.deviceCount, 16);
  EXPECT_EQ(gInput.devices[15], 15);
  // The seventeenth was prepared like the others, then let go.
  EXPECT_EQ(CountCalls(HAL_CALL_SET_DATA_FORMAT, 16), 1);
  EXPECT_EQ(CountCalls(HAL_CALL_QUERY_DEVICE2, 16), 0);
  EXPECT_EQ(CountCalls(HAL_CALL_RELEASE_DEVICE, 16), 1);
  InputDeviceInfo info{};
  EXPECT_EQ(InputGetDeviceInfo(16, &info), 0);
}

TEST_F(InputTest, JoystickThatCannotBePreparedIsLeftOut) {
  const struct {
    HalInputCall call;
    int32_t code;
    uint32_t stored;
  } cases[] = {
      {HAL_CALL_SET_DATA_FORMAT, HAL_DIERR_ACCESSDENIED, 0x80000009u},
      {HAL_CALL_SET_COOPERATIVE_LEVEL, HAL_DIERR_INVALIDPARAM, 0x80000003u},
      {HAL_CALL_SET_PROPERTY, HAL_DIERR_GENERIC, 0xFFFFFFFEu},
  };
  for (const auto& c : cases) {
    HalInputUseFake(true);
    InputResetForTest();
    for (int i = 0; i < 3; ++i) HalFakeInputAdd(MakeJoystick("stick " + std::to_string(i)));
    HalFakeInputSetResult(c.call, 1, c.code, 1);
    EXPECT_EQ(InputInit(0, 1), 2);
    EXPECT_EQ(InputGetLastError(), c.stored);
    InputDeviceInfo info{};
    ASSERT_EQ(InputGetDeviceInfo(1, &info), 1);
    EXPECT_STREQ(info.instanceName, "stick 2");
    std::free(info.axes);
  }
}

TEST_F(InputTest, SetUpGivesTheAxesTheirRanges) {
  HalFakeInputAdd(MakeJoystick("wheel"));
  ASSERT_EQ(InputInit(0, 7), 1);
  auto coop = CallsOf(HAL_CALL_SET_COOPERATIVE_LEVEL);
  ASSERT_EQ(coop.size(), 1u);
  EXPECT_EQ(coop[0].value, static_cast<int32_t>(HAL_COOP_EXCLUSIVE | HAL_COOP_BACKGROUND));
  auto ranges = CallsOf(HAL_CALL_SET_PROPERTY);
  ASSERT_EQ(ranges.size(), 4u);
  const int32_t expected[4][3] = {{HAL_JOFS_X, -10000, 10000}, {HAL_JOFS_Y, -10000, 10000},
                                  {HAL_JOFS_RZ, -10000, 10000}, {HAL_JOFS_Z, 0, 10000}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(ranges[i].property, HAL_PROP_RANGE);
    EXPECT_EQ(ranges[i].offset, static_cast<uint32_t>(expected[i][0]));
    EXPECT_EQ(ranges[i].value, expected[i][1]);
    EXPECT_EQ(ranges[i].value2, expected[i][2]);
  }
}

TEST_F(InputTest, ReadingSwitchesTheAcquiredDevice) {
  ASSERT_EQ(Start(2), 2);
  HalFakeInputJoystick(1)->state.x = -7000;
  HalFakeInputJoystick(1)->state.buttons[1] = 0x80;
  InputJoyState state{};
  EXPECT_EQ(InputReadDevice(0, &state), 1);
  EXPECT_EQ(InputReadDevice(0, &state), 1);
  EXPECT_EQ(CountCalls(HAL_CALL_ACQUIRE, 0), 1);
  EXPECT_EQ(CountCalls(HAL_CALL_UNACQUIRE), 0);

  EXPECT_EQ(InputReadDevice(1, &state), 1);
  EXPECT_EQ(CountCalls(HAL_CALL_UNACQUIRE, 0), 1);
  EXPECT_EQ(CountCalls(HAL_CALL_ACQUIRE, 1), 1);
  EXPECT_FALSE(HalFakeInputAcquired(0));
  EXPECT_EQ(gInput.current, 1);
  EXPECT_EQ(state.x, -7000);
  EXPECT_EQ(state.buttons[1], 0x80);
  EXPECT_EQ(state.pov[0], HAL_POV_CENTRED);
}

TEST_F(InputTest, LostDeviceIsAcquiredAgainAtTheNextRead) {
  ASSERT_EQ(Start(1), 1);
  InputJoyState state{};
  ASSERT_EQ(InputReadDevice(0, &state), 1);
  gLibLastError = UNCHANGED;
  HalFakeInputSetResult(HAL_CALL_GET_STATE, 0, HAL_DIERR_INPUTLOST, 1);
  EXPECT_EQ(InputReadDevice(0, &state), 0);
  EXPECT_EQ(gInput.current, -1);
  EXPECT_EQ(InputGetLastError(), UNCHANGED);

  HalFakeInputClearCalls();
  EXPECT_EQ(InputReadDevice(0, &state), 1);
  EXPECT_EQ(CountCalls(HAL_CALL_ACQUIRE, 0), 1);
  EXPECT_EQ(gInput.current, 0);
}

TEST_F(InputTest, BadDeviceIndexFailsWithoutTouchingTheErrorWord) {
  ASSERT_EQ(Start(1), 1);
  gLibLastError = UNCHANGED;
  InputJoyState state{};
  InputDeviceInfo info{};
  for (int32_t device : {-1, 1, 16}) {
    EXPECT_EQ(InputReadDevice(device, &state), 0);
    EXPECT_EQ(InputGetDeviceInfo(device, &info), 0);
    EXPECT_EQ(InputSetDeadZone(device, 100), 0);
    EXPECT_EQ(InputFxSetGain(device, 100), 0);
    EXPECT_EQ(InputSetAutoCenter(device, 1), 0);
  }
  EXPECT_EQ(InputGetLastError(), UNCHANGED);
  EXPECT_TRUE(HalFakeInputCalls().empty());
}

TEST_F(InputTest, DeviceInfoDescribesTheDevice) {
  const struct {
    uint32_t subtype;
    uint8_t wheel;
  } kinds[] = {{HAL_DEVSUB_WHEEL, 1}, {HAL_DEVSUB_UNKNOWN, 1}, {HAL_DEVSUB_GAMEPAD, 0}, {HAL_DEVSUB_FLIGHTSTICK, 0}};
  for (const auto& k : kinds) HalFakeInputAdd(MakeJoystick("dev", k.subtype, 3, k.subtype == HAL_DEVSUB_WHEEL));
  ASSERT_EQ(InputInit(0, 1), 4);
  for (int i = 0; i < 4; ++i) {
    InputDeviceInfo info{};
    ASSERT_EQ(InputGetDeviceInfo(i, &info), 1);
    EXPECT_EQ(info.wheel, kinds[i].wheel);
    EXPECT_EQ(info.forceFeedback, i == 0 ? 1u : 0u);
    EXPECT_EQ(info.axisCount, 3u);
    EXPECT_EQ(info.buttonCount, 12u);
    EXPECT_EQ(info.povCount, 1u);
    EXPECT_STREQ(info.productName, "dev product");
    ASSERT_NE(info.axes, nullptr);
    EXPECT_EQ(info.axes[0].kind, INPUT_AXIS_X);
    EXPECT_EQ(info.axes[2].kind, INPUT_AXIS_Z);
    EXPECT_EQ(info.axes[2].position, HAL_JOFS_Z);
    EXPECT_EQ(info.axes[0].actuator, 1u);
    EXPECT_EQ(info.axes[1].actuator, 0u);
    std::free(info.axes);
  }
}

TEST_F(InputTest, LongNamesAreCutToTheirFields) {
  HalFakeJoystick j = MakeJoystick(std::string(300, 'n'));
  HalFakeInputAdd(j);
  ASSERT_EQ(InputInit(0, 1), 1);
  InputDeviceInfo info{};
  ASSERT_EQ(InputGetDeviceInfo(0, &info), 1);
  EXPECT_EQ(std::strlen(info.instanceName), 255u);
  EXPECT_EQ(std::strlen(info.productName), 255u);
  std::free(info.axes);
}

TEST_F(InputTest, AxisTableIsBoundedZeroedAndNewAtEachCall) {
  // The capabilities count two axes; the enumeration reports a slider and
  // more axes than that.
  HalFakeJoystick j = MakeJoystick("wheel", HAL_DEVSUB_WHEEL, 2);
  j.axes = {{HAL_JOFS_SLIDER0, HAL_OBJ_FFACTUATOR}, {HAL_JOFS_Y, 0}, {HAL_JOFS_X, 0}, {HAL_JOFS_Z, 0}};
  HalFakeInputAdd(j);
  ASSERT_EQ(InputInit(0, 1), 1);
  InputDeviceInfo first{}, second{};
  ASSERT_EQ(InputGetDeviceInfo(0, &first), 1);
  ASSERT_EQ(InputGetDeviceInfo(0, &second), 1);
  EXPECT_NE(first.axes, second.axes);
  EXPECT_EQ(gInput.axisCounter, 2u);
  EXPECT_EQ(first.axes[0].kind, 0);
  EXPECT_EQ(first.axes[0].position, 0);
  EXPECT_EQ(first.axes[0].actuator, 1u);
  EXPECT_EQ(first.axes[1].kind, INPUT_AXIS_Y);
  EXPECT_EQ(first.axes[1].position, HAL_JOFS_Y);
  std::free(first.axes);
  std::free(second.axes);
}

TEST_F(InputTest, DeadZoneRangeIsChecked) {
  ASSERT_EQ(Start(1), 1);
  EXPECT_EQ(InputSetDeadZone(0, 10001), 0);
  EXPECT_EQ(InputSetDeadZone(0, -1), 0);
  EXPECT_TRUE(HalFakeInputCalls().empty());
  EXPECT_EQ(InputSetDeadZone(0, 0), 1);
  EXPECT_EQ(InputSetDeadZone(0, 10000), 1);
  auto calls = CallsOf(HAL_CALL_SET_PROPERTY);
  ASSERT_EQ(calls.size(), 4u);
  EXPECT_EQ(calls[2].property, HAL_PROP_DEADZONE);
  EXPECT_EQ(calls[2].offset, HAL_JOFS_X);
  EXPECT_EQ(calls[3].offset, HAL_JOFS_Y);
  EXPECT_EQ(calls[3].value, 10000);
  EXPECT_EQ(InputFxSetGain(0, 10001), 0);
  EXPECT_EQ(InputFxSetGain(0, 5000), 1);
  EXPECT_EQ(CallsOf(HAL_CALL_SET_PROPERTY).back().property, HAL_PROP_FFGAIN);
}

TEST_F(InputTest, AutoCentreReleasesOnlyTheCurrentDevice) {
  ASSERT_EQ(Start(2), 2);
  InputJoyState state{};
  ASSERT_EQ(InputReadDevice(0, &state), 1);
  HalFakeInputClearCalls();
  EXPECT_EQ(InputSetAutoCenter(1, 0), 1);
  EXPECT_EQ(CountCalls(HAL_CALL_UNACQUIRE), 0);
  EXPECT_EQ(gInput.current, 0);

  EXPECT_EQ(InputSetAutoCenter(0, 7), 1);
  EXPECT_EQ(CountCalls(HAL_CALL_UNACQUIRE, 0), 1);
  EXPECT_EQ(gInput.current, -1);
  auto calls = CallsOf(HAL_CALL_SET_PROPERTY);
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].value, 0);
  EXPECT_EQ(calls[1].value, 1);
  EXPECT_EQ(calls[1].property, HAL_PROP_AUTOCENTER);
}

TEST(InputHeadless, NoJoystickMeansNoDevice) {
  ResetHalForTest();
  HalInputUseFake(false);
  InputResetForTest();
  EXPECT_EQ(InputInit(0, 1), 0);
  InputJoyState state{};
  EXPECT_EQ(InputReadDevice(0, &state), 0);
}

}  // namespace
