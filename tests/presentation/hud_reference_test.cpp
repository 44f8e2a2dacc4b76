// The HUD of one view mid-race at 320 x 200 with the kit's font and icons,
// compared with a stored picture: the texts, the countdown digit, the wheel
// panel and the minimap strip with one icon per vehicle type.
#include <unistd.h>

#include <cmath>
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
    // The kit's wheel lights, keyed pure green as the game start loads them.
    TexSetColourKey(0, 255, 0);
    for (const char* name : {"vdavg.3df", "vdavd.3df", "vdarg.3df", "vdard.3df"}) LoadKit(name);
    TexSetColourKey(-1, -1, -1);
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
  // A loose texture of the kit's, written into the folder; the loaded record.
  TextureRecord* LoadKitRecord(const std::string& name) {
    for (const datakit::DataFile& f : datakit::RaceKitTextureLooseFiles())
      if (f.path == name) {
        EXPECT_TRUE(datakit::WriteFile(dir_.path() / name, f.data));
        return TexLoad(name.c_str());
      }
    ADD_FAILURE() << name << " is not in the kit";
    return nullptr;
  }
  void LoadKit(const std::string& name) {
    TextureRecord* record = LoadKitRecord(name);
    if (!record) return;
    TexDownload(record);
    TexFree(record);
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
  // The front right wheel lost, the rear left hurt (blinking, lit in this
  // frame): three lights, each on its own wheel.
  gPlayer1.wheels[1].attached = 0;
  gPlayer1.wheels[2].bend = 40;
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

// The kit's own textures as the game loads them.
class KitTextures : public HudReference {
 protected:
  static uint32_t Texel(const TextureRecord* r, uint32_t x, uint32_t y) {
    return static_cast<const uint16_t*>(r->info.data)[y * r->info.width + x];
  }
};

// Loose, the 4444 effect sprites take their alpha from their colour: each
// must still be a round puff, clear in its corners, not a square.
TEST_F(KitTextures, EffectSpritesLoadedLooseAreRoundPuffs) {
  std::vector<std::string> names = {"bulle", "feu", "flare"};
  for (int k = 1; k <= 8; ++k) names.push_back("fumee" + std::to_string(k));
  for (int k = 1; k <= 4; ++k) names.push_back("flam" + std::to_string(k));
  for (int k = 1; k <= 8; ++k) names.push_back("explo" + std::to_string(k));
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    TextureRecord* r = LoadKitRecord(name + ".3df");
    ASSERT_NE(r, nullptr);
    const uint32_t w = r->info.width, h = r->info.height;
    uint32_t shown = 0;
    for (uint32_t y = 0; y < h; ++y)
      for (uint32_t x = 0; x < w; ++x) shown += (Texel(r, x, y) >> 12) != 0 ? 1 : 0;
    for (const auto& [x, y] : {std::pair{0u, 0u}, {w - 1, 0u}, {0u, h - 1}, {w - 1, h - 1}}) EXPECT_EQ(Texel(r, x, y) >> 12, 0u);
    EXPECT_GT(Texel(r, w / 2, h / 2) >> 12, 0u);
    // A disc covers at most pi/4 of its square.
    EXPECT_LE(shown * 4, w * h * 3);
    TexFree(r);
  }
}

// Each wheel light is drawn over the whole wheel panel: each shows only its
// own wheel's corner, the four corners apart, the rest keyed away.
TEST_F(KitTextures, EachWheelLightShowsItsOwnCorner) {
  TexSetColourKey(0, 255, 0);
  const char* names[4] = {"vdavg.3df", "vdavd.3df", "vdarg.3df", "vdard.3df"};  // FL, FR, RL, RR
  std::vector<int> owner(32 * 32, -1);
  for (int wheel = 0; wheel < 4; ++wheel) {
    SCOPED_TRACE(names[wheel]);
    TextureRecord* r = LoadKitRecord(names[wheel]);
    ASSERT_NE(r, nullptr);
    ASSERT_EQ(r->info.width, 32u);
    ASSERT_EQ(r->info.height, 32u);
    uint32_t shown = 0;
    for (uint32_t y = 0; y < 32; ++y)
      for (uint32_t x = 0; x < 32; ++x) {
        if (!(Texel(r, x, y) & 0x8000)) continue;
        ++shown;
        EXPECT_EQ(x >= 16, wheel % 2 == 1) << x << " " << y;
        EXPECT_EQ(y >= 16, wheel >= 2) << x << " " << y;
        EXPECT_EQ(owner[y * 32 + x], -1);
        owner[y * 32 + x] = wheel;
      }
    EXPECT_GT(shown, 0u);
    TexFree(r);
  }
  TexSetColourKey(-1, -1, -1);
}

// The attract demo draws its panels with texture rows 0..127 of columns
// 0..255: the whole picture only when it is twice as wide as high.
TEST_F(KitTextures, TheDemoPanelsAreTwiceAsWideAsHigh) {
  for (const char* name : {"others\\pub1.3df", "others\\pub3.3df"}) {
    SCOPED_TRACE(name);
    bool found = false;
    for (const datakit::DataFile& f : datakit::RaceKitTextureLooseFiles()) {
      if (f.path != name) continue;
      found = true;
      EXPECT_TRUE(datakit::WriteFile(dir_.path() / "panel.3df", f.data));
      TextureRecord* r = TexLoad("panel.3df");
      ASSERT_NE(r, nullptr);
      EXPECT_EQ(r->info.width, 2 * r->info.height);
      TexFree(r);
    }
    EXPECT_TRUE(found);
  }
}

// The gauges' dials in the digit texture, where the outside view's dial
// panel puts its needles' hubs (texels x 160 + 30, y 1 + 24 and 1 + 73 of
// the panel's 126 rows over 128): each dial's light rim lies as far from
// its hub in every direction.
TEST_F(KitTextures, EachDialIsCentredOnItsNeedlesHub) {
  const std::vector<uint16_t> digits = datakit::FontDigitTexels();
  const uint16_t rim = digits[static_cast<size_t>(25 * 256 + 190 + 19)];  // the light ring, 19 out
  ASSERT_GT((rim >> 10 & 31) + (rim >> 5 & 31) + (rim & 31), 3u * 20u);
  for (const double hubY : {1.0 + 24.0 * 126.0 / 128.0, 1.0 + 73.0 * 126.0 / 128.0}) {
    SCOPED_TRACE(hubY);
    const double hubX = 160.0 + 30.0 * 95.0 / 96.0;
    std::vector<double> reach;
    for (int k = 0; k < 8; ++k) {
      const double a = k * 3.14159265358979 / 4.0;
      for (double r = 1.0; r < 40.0; r += 0.25) {
        const auto x = static_cast<int>(std::lround(hubX + r * std::cos(a))), y = static_cast<int>(std::lround(hubY + r * std::sin(a)));
        if (x < 160 || x > 255 || y < 1 || y > 127) break;
        if (digits[static_cast<size_t>(y * 256 + x)] == rim) {
          reach.push_back(r);
          break;
        }
      }
    }
    ASSERT_EQ(reach.size(), 8u);
    for (const double r : reach) EXPECT_NEAR(r, reach[0], 1.5);
  }
}

// The desert's road (ground texture 3, on the cells the course crosses)
// must read as a road against its sand (texture 1, the rest of the ground).
TEST_F(KitTextures, TheDesertRoadStandsOutFromTheSand) {
  double mean[2][3] = {};
  const char* names[2] = {"a1.3df", "a3.3df"};
  for (int t = 0; t < 2; ++t) {
    TextureRecord* r = LoadKitRecord(names[t]);
    ASSERT_NE(r, nullptr);
    const uint32_t n = r->info.width * r->info.height;
    for (uint32_t i = 0; i < n; ++i) {
      const uint32_t c = static_cast<const uint16_t*>(r->info.data)[i];
      mean[t][0] += (c >> 11 & 31) * 255.0 / 31.0 / n;
      mean[t][1] += (c >> 5 & 63) * 255.0 / 63.0 / n;
      mean[t][2] += (c & 31) * 255.0 / 31.0 / n;
    }
    TexFree(r);
  }
  double apart = 0.0;
  for (int k = 0; k < 3; ++k) apart += std::fabs(mean[0][k] - mean[1][k]);
  EXPECT_GE(apart, 150.0);
}

}  // namespace
