// A headless back end on the device layer, its calls recorded.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "backend_d3d/d3d_backend.h"
#include "hal/d3d/devices.h"
#include "support/test_support.h"

class D3dBackendTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetHalForTest();
    HalDevicesReset();
    HalD3dRecordCalls(&calls);
  }
  void TearDown() override {
    HalD3dRecordCalls(nullptr);
    RdrClose();
    HalD3dShutdown();
    HalDevicesReset();
  }
  // Opens in the game's start-up entry (640 x 480) and forgets the calls so far.
  void Open() {
    ASSERT_TRUE(RdrOpen(gDisplayModes[2], 0));
    calls.clear();
  }
  // The recorded calls that begin with `prefix`, in order.
  std::vector<std::string> Calls(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const std::string& c : calls)
      if (c.rfind(prefix, 0) == 0) out.push_back(c);
    return out;
  }
  bool Has(const std::string& call) const { return std::find(calls.begin(), calls.end(), call) != calls.end(); }

  std::vector<std::string> calls;
};
