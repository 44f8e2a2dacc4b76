// The input library on the fake device layer.
#pragma once
#include <algorithm>
#include <string>

#include "hal/input/input_fake.h"
#include "platform/input.h"
#include "support/test_support.h"

inline HalFakeJoystick MakeJoystick(const std::string& name, uint32_t subtype = HAL_DEVSUB_WHEEL,
                                    uint32_t axes = 3, bool forceFeedback = true) {
  HalFakeJoystick j{};
  j.desc.instanceName = name;
  j.desc.productName = name + " product";
  j.caps = HalInputCaps{HalDevType(HAL_DEVTYPE_JOYSTICK, subtype), forceFeedback ? HAL_CAPS_FORCEFEEDBACK : 0u, axes,
                        12, 1};
  for (uint32_t a = 0; a < axes; ++a) j.axes.push_back(HalInputObject{a * 4, a == 0 ? HAL_OBJ_FFACTUATOR : 0u});
  j.effectTypes = {HAL_EFT_CONSTANTFORCE, HAL_EFT_PERIODIC, HAL_EFT_CONDITION};
  for (uint32_t& pov : j.state.pov) pov = HAL_POV_CENTRED;
  return j;
}

class InputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetHalForTest();
    HalInputUseFake(true);
    InputResetForTest();
    gLibLastError = 0;
  }
  void TearDown() override { HalInputUseFake(false); }

  // Adds `count` joysticks and starts the library on them.
  int32_t Start(int count) {
    for (int i = 0; i < count; ++i) HalFakeInputAdd(MakeJoystick("stick " + std::to_string(i)));
    int32_t kept = InputInit(0, 1);
    HalFakeInputClearCalls();
    return kept;
  }

  static int CountCalls(HalInputCall call, int32_t device = -2) {
    const auto& calls = HalFakeInputCalls();
    return static_cast<int>(std::count_if(calls.begin(), calls.end(), [&](const HalFakeCallRecord& r) {
      return r.call == call && (device == -2 || r.device == device);
    }));
  }

  static std::vector<HalFakeCallRecord> CallsOf(HalInputCall call) {
    std::vector<HalFakeCallRecord> out;
    for (const HalFakeCallRecord& r : HalFakeInputCalls())
      if (r.call == call) out.push_back(r);
    return out;
  }
};
