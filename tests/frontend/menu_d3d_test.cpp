// The menus' resolution rule asked of torvaned3d's back end: a size is
// offered when the driver lists it and the video memory left holds it.
#include "d3d_fixture.h"
#include "frontend/menu_items.h"

namespace {

TEST_F(D3dBackendTest, MenuResolutionsFollowTheDriverAndItsMemory) {
  HalDevice d = HalDeviceDefault();
  d.localVideoMemory = 4000000;
  d.textureMemory = 2000001;  // a budget of 2,000,000 bytes
  HalDevicesSet({d});
  Open();
  EXPECT_EQ(MenuEnableResolutions(), 2);
  std::vector<int> rows;
  for (int r = 30; r < 40; ++r)
    if (gMenuItems[static_cast<size_t>(r)].enabled) rows.push_back(r);
  EXPECT_EQ(rows, (std::vector<int>{30, 31, 32, 35, 36, 37}));
}

}  // namespace
