#include "hal/d3d/devices.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Seen {
  std::vector<std::string> descriptions;
  std::vector<bool> hadGuid;
  size_t stopAfter = 100;
};

bool Collect(const HalDeviceGuid* guid, const char* description, const char*, void* context) {
  auto* seen = static_cast<Seen*>(context);
  seen->descriptions.emplace_back(description);
  seen->hadGuid.push_back(guid != nullptr);
  return seen->descriptions.size() < seen->stopAfter;
}

class DevicesTest : public ::testing::Test {
 protected:
  void TearDown() override { HalDevicesReset(); }
};

TEST_F(DevicesTest, DefaultTableIsThePrimaryDisplayWithEveryGameModeAt16Bits) {
  ASSERT_EQ(HalDeviceCount(), 1);
  const HalDevice* d = HalDeviceAt(0);
  EXPECT_FALSE(d->hasGuid);
  EXPECT_GT(std::string(d->description).size(), 0u);
  EXPECT_TRUE(d->tableFog);
  EXPECT_TRUE(d->alphaCompareNotEqual);
  EXPECT_EQ(+d->textureMemory, 4u << 20);
  EXPECT_EQ(d->renderDepths & HAL_DEPTH_16, HAL_DEPTH_16);
  std::vector<std::pair<int, int>> sizes;
  for (const HalDisplayModeDesc& m : d->modes) {
    EXPECT_EQ(+m.bitsPerPixel, 16);
    sizes.emplace_back(m.width, m.height);
  }
  const std::vector<std::pair<int, int>> want = {{320, 200}, {512, 384}, {640, 400},  {640, 480},
                                                 {800, 600}, {1024, 768}, {1280, 1024}};
  EXPECT_EQ(sizes, want);
  EXPECT_EQ(HalDeviceAt(1), nullptr);
  EXPECT_EQ(HalDeviceAt(-1), nullptr);
}

TEST_F(DevicesTest, EnumerationWalksTheTableInOrderUntilTheCallbackStops) {
  HalDevice second = HalDeviceDefault();
  HalDeviceSetDescription(&second, "Second board");
  second.hasGuid = true;
  HalDevice third = second;
  HalDeviceSetDescription(&third, "Third board");
  HalDevicesSet({HalDeviceDefault(), second, third});

  Seen all;
  ASSERT_TRUE(HalEnumerateDevices(Collect, &all));
  EXPECT_EQ(all.descriptions,
            (std::vector<std::string>{HalDeviceDefault().description, "Second board", "Third board"}));
  EXPECT_EQ(all.hadGuid, (std::vector<bool>{false, true, true}));

  Seen firstTwo;
  firstTwo.stopAfter = 2;
  ASSERT_TRUE(HalEnumerateDevices(Collect, &firstTwo));
  EXPECT_EQ(firstTwo.descriptions.size(), 2u);
}

TEST_F(DevicesTest, FailingEnumerationCallsNothingUntilReset) {
  HalDevicesSetEnumerationFails(true);
  Seen seen;
  EXPECT_FALSE(HalEnumerateDevices(Collect, &seen));
  EXPECT_TRUE(seen.descriptions.empty());
  HalDevicesReset();
  EXPECT_TRUE(HalEnumerateDevices(Collect, &seen));
  EXPECT_EQ(seen.descriptions.size(), 1u);
}

TEST_F(DevicesTest, TextsAreCutAt255Characters) {
  HalDevice d = HalDeviceDefault();
  const std::string longText(300, 'x');
  HalDeviceSetDescription(&d, longText.c_str());
  EXPECT_EQ(std::string(d.description), longText.substr(0, 255));
  // Filled to the brim without a terminator: the table ends it.
  std::fill(std::begin(d.name), std::end(d.name), 'n');
  HalDevicesSet({d});
  EXPECT_EQ(std::string(HalDeviceAt(0)->name).size(), 255u);
}

}  // namespace
