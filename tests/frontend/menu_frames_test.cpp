// The main page's two drums after a roll and the icon bar under the pointer,
// drawn by the software back end on the kit's menu data and compared pixel
// for pixel with the pictures beside this file (menu_drums.png,
// menu_icon_bar.png); the push button and the drum arrows where the main
// page places them. After a deliberate change of what the menus draw,
// rewrite them with scripts/update-references.sh, or this suite alone with
//   TORVANE_UPDATE_REFERENCES=1 build/tests/frontend/tests_frontend_frames
// and look at them before committing them. A picture that differs is
// written next to the test program as <name>_actual.png.
#include <gtest/gtest.h>

#include <cstdlib>

#include "backend_common/display.h"
#include "engine3d/mesh.h"
#include "frontend/menu_models.h"
#include "frontend/menu_view.h"
#include "hal/gfx/gfx.h"
#include "menu_frames.h"
#include "support/png_rgb.h"
#include "support/test_support.h"

namespace {

class MenuFramesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetHalForTest();
    RecordFatalErrors();
    ASSERT_TRUE(RdrOpen(gDisplayModes[2], 1));
    ASSERT_TRUE(MenuFramesEnter(dir_.path().string()));
  }
  void TearDown() override {
    MenuFramesLeave();
    RdrClose();
  }
  // The part of the back buffer in `rect`, compared with the stored picture.
  static std::string Match(const MenuFrameRect& rect, const char* name) {
    std::vector<uint16_t> screen(640 * 480);
    if (!GfxLfbReadRegion(GFX_BUFFER_BACKBUFFER, 0, 0, 640, 480, 640 * 2, screen.data())) return "no back buffer";
    return MatchReferencePicture(MenuFrameCut(Rgb565ToRgb(screen), rect), rect.w, rect.h, MenuFramePath(name),
                                 MenuFrameActualPath(name));
  }
  TempDir dir_;
};
class MenuFramesReference : public MenuFramesTest {};

// What the back buffer shows at (x, y): the models' colours told apart.
enum class Seen { NOTHING, RED_KEY, GREY_BASE, YELLOW_ARROW, OTHER };
Seen SeenAt(int32_t x, int32_t y) {
  uint16_t p = 0;
  if (!GfxLfbReadRegion(GFX_BUFFER_BACKBUFFER, x, y, 1, 1, 2, &p)) return Seen::OTHER;
  const std::vector<uint8_t> c = Rgb565ToRgb({p});
  const int r = c[0], g = c[1], b = c[2];
  if (r + g + b == 0) return Seen::NOTHING;
  if (r > 150 && g < 80 && b < 80) return Seen::RED_KEY;
  if (r > 150 && g > 120 && b < 80) return Seen::YELLOW_ARROW;
  if (r > 40 && std::abs(r - g) < 20 && std::abs(g - b) < 25) return Seen::GREY_BASE;
  return Seen::OTHER;
}

// "     WEG     " over " HOT TANKER  ", upright and left to right in their
// places, every ring turned to its glyph: a roll takes 12.5 frames at 25
// frames a second, so the 13th draws them at rest.
TEST_F(MenuFramesReference, TheMainDrumsAtRestAfterTheirRoll) {
  EXPECT_TRUE(MenuFramesRollDrums(13));
  EXPECT_EQ(Match(MENU_DRUMS_RECT, "menu_drums"), "");
  EXPECT_TRUE(gFatalErrors.empty());
}

// The seven icons, the hovered third framed, the pointer's tip on it.
TEST_F(MenuFramesReference, TheIconBarWithThePointerOverASlot) {
  MenuFramesIconBar(2);
  EXPECT_EQ(Match(MENU_ICON_BAR_RECT, "menu_icon_bar"), "");
  EXPECT_TRUE(gFatalErrors.empty());
}

// The models stand up from the screen at their rest angle: the start
// button's red key faces the viewer in the middle of its grey base at (316,
// 445), the arrows' yellow wedges reach above and below (88, 240). (The
// key's face stands nearer the camera than the plane, so it shows a few
// pixels lower than its place, away from the middle of the screen.)
TEST_F(MenuFramesTest, TheButtonAndTheArrowsStandWhereThePageDrawsThem) {
  ASSERT_NE(gMenuModels.button, nullptr);
  ASSERT_NE(gMenuModels.arrows, nullptr);
  RdrClear(0, 0, 0);
  for (MeshHeader* model : {gMenuModels.button, gMenuModels.arrows})
    model->angle[0] = static_cast<uint16_t>(static_cast<int32_t>(MENU_BUTTON_REST_ANGLE));
  MenuDrawLitAt(gMenuModels.button, 316.0f, 445.0f);
  MenuDrawLitAt(gMenuModels.arrows, 88.0f, 240.0f);
  struct Probe {
    int32_t x, y;
    Seen seen;
  };
  const Probe probes[] = {
      {316, 450, Seen::RED_KEY},      {300, 450, Seen::RED_KEY},     {294, 450, Seen::GREY_BASE},
      {338, 450, Seen::GREY_BASE},    {345, 450, Seen::NOTHING},     {316, 416, Seen::NOTHING},
      {88, 226, Seen::YELLOW_ARROW},  {88, 254, Seen::YELLOW_ARROW}, {88, 262, Seen::NOTHING},
      {88, 218, Seen::NOTHING},       {100, 240, Seen::NOTHING},     {75, 240, Seen::NOTHING},
  };
  for (const Probe& p : probes) EXPECT_EQ(SeenAt(p.x, p.y), p.seen) << p.x << "," << p.y;
  EXPECT_TRUE(gFatalErrors.empty());
}

}  // namespace
