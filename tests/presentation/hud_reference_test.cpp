// The HUD of one view mid-race at 320 x 200 with the kit's font and icons,
// compared with a stored picture: the texts, the countdown digit, the wheel
// panel and the minimap strip with one icon per vehicle type.
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "backend_common/display.h"
#include "backend_common/texture.h"
#include "frontend/frontend.h"
#include "hal/gfx/gfx.h"
#include "hud_support.h"
#include "platform/app.h"
#include "presentation/messages.h"
#include "presentation/presentation.h"
#include "presentation/text.h"
#include "race/race.h"
#include "support/png_rgb.h"
#include "support/test_support.h"
#include "tools/datakit/lib/bytes.h"
#include "tools/datakit/lib/race_kit.h"
#include "tools/datakit/lib/race_textures.h"
#include "tools/datakit/lib/texture_3df.h"

namespace {

class HudReference : public HudTest {
 protected:
  void SetUp() override {
    HudTest::SetUp();
    char here[4096];
    ASSERT_NE(::getcwd(here, sizeof here), nullptr);
    home_ = here;
    ASSERT_EQ(::chdir(dir_.path().c_str()), 0);
    ASSERT_TRUE(RdrSetMode(gDisplayModes[0], 1));
    gRace.viewHeight = gRdrState.screenHeight;
    // The font's black is its colour key, as the race's texture list gives it.
    TexSetColourKey(0, 0, 0);
    for (const datakit::KitTexture& t : datakit::RaceTextures()) {
      if (t.name == "typo1") HudFont.letterTexture = Load("typo1.3df", t.format, t.width, t.height, t.texels);
      if (t.name == "typo2") HudFont.digitTexture = Load("typo2.3df", t.format, t.width, t.height, t.texels);
    }
    TexSetColourKey(-1, -1, -1);
    Load("minicar.3df", datakit::TEX3DF_ARGB1555, 256, 128, datakit::MiniCarTexels());
    std::vector<uint16_t> light(32 * 32, 0xFFC0);
    for (const char* name : {"vdavg.3df", "vdavd.3df", "vdarg.3df", "vdard.3df"})
      Load(name, datakit::TEX3DF_ARGB1555, 32, 32, light);
    // A map picture: a dark course on a green ground.
    std::vector<uint16_t> map(256 * 128);
    for (uint32_t i = 0; i < map.size(); ++i) {
      const uint32_t x = i % 256, y = i / 256;
      map[i] = (x / 32 + y / 32) % 2 ? 0x8200 : 0x9CE7;
    }
    gRace.mapTexture = Load("map.3df", datakit::TEX3DF_ARGB1555, 256, 128, map);
  }
  void TearDown() override {
    ASSERT_EQ(::chdir(home_.c_str()), 0);
    HudTest::TearDown();
  }
  uint32_t Load(const std::string& name, uint32_t format, uint32_t w, uint32_t h, const std::vector<uint16_t>& texels) {
    EXPECT_TRUE(datakit::WriteFile(dir_.path() / name, datakit::Make3df(static_cast<int32_t>(format), w, h, texels)));
    TextureRecord* record = TexLoad(name.c_str());
    EXPECT_NE(record, nullptr) << name;
    if (!record) return 0;
    const int32_t handle = TexDownload(record);
    TexFree(record);
    return static_cast<uint32_t>(handle);
  }
  TempDir dir_;
  std::string home_;
};

TEST_F(HudReference, OneViewMidRace) {
  gRace.raceStarted = 1;
  gRace.gauges = 1;
  gRace.minimapOn = 1;
  gRace.timeLimit = 7600;
  gRace.frameCounter = 5;
  gRaceResults.bestLapMs = 61230;
  gPlayer1.lapsDone = 1;
  gPlayer1.position = 3;
  gPlayer1.boostLeft = 45.0f;
  gPlayer1.pose.x = 12000.0f;
  gPlayer1.pose.z = 2000.0f;
  gPlayer1.heading = 300.0f;
  AppTimerSet(gPlayer1.lapTimerSlot, 83456);
  for (WheelState& w : gPlayer1.wheels) w.attached = 1;
  for (int i = 0; i < 5; ++i) {
    Vehicle& v = gVehicleRecords[i];
    gVehicleTable[i] = &v;
    v.type = i + 1 + (i == 4 ? 3 : 0);  // types 1..4 and 8, which shows the last icon
    v.pose.x = 2000.0f + 3000.0f * static_cast<float>(i);
    v.pose.z = 1000.0f + 1400.0f * static_cast<float>(i);
    v.heading = 200.0f * static_cast<float>(i);
  }
  RdrClear(40, 90, 160);
  HudDrawView();

  const int32_t w = gRdrState.screenWidth, h = gRdrState.screenHeight;
  std::vector<uint16_t> screen(static_cast<size_t>(w * h));
  ASSERT_TRUE(GfxLfbReadRegion(GFX_BUFFER_BACKBUFFER, 0, 0, w, h, w * 2, screen.data()));
  const std::vector<uint8_t> rgb = Rgb565ToRgb(screen);
  const std::string path = std::string(PRESENTATION_TEST_SOURCE_DIR) + "/hud_view.png";
  if (UpdatingReferences()) {
    ASSERT_TRUE(WritePng(path, rgb, w, h)) << path;
    GTEST_SKIP() << "rewrote " << path;
  }
  std::vector<uint8_t> stored;
  uint32_t sw = 0, sh = 0;
  ASSERT_TRUE(ReadPng(path, &stored, &sw, &sh)) << path << " (TORVANE_UPDATE_REFERENCES=1 writes it)";
  ASSERT_EQ(sw, static_cast<uint32_t>(w));
  ASSERT_EQ(sh, static_cast<uint32_t>(h));
  size_t differing = 0;
  for (size_t i = 0; i < rgb.size(); ++i) differing += rgb[i] != stored[i] ? 1 : 0;
  if (differing) WritePng(std::string(PRESENTATION_TEST_BINARY_DIR) + "/hud_view_drawn.png", rgb, w, h);
  EXPECT_EQ(differing, 0u) << "drawn picture: " << PRESENTATION_TEST_BINARY_DIR << "/hud_view_drawn.png";
}

}  // namespace
