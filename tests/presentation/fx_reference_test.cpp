// A kit car in a race frame's effects, drawn through the rasterizer with the
// kit's effect sprites and compared pixel for pixel with a stored picture
// (tests/presentation/reference_fx_frame.png): smoke puffs at several
// frames, a burning car's flame, tyre marks behind it and a splash ring with
// its drops. After a deliberate change of what is drawn, or of the kit's
// sprites, regenerate it with scripts/update-references.sh. A picture that
// differs is written next to the test program as fx_actual_frame.png.
#include <unistd.h>

#include "backend_common/display.h"
#include "draw_fixture.h"
#include "engine3d/random.h"
#include "frontend/frontend.h"
#include "hal/gfx/gfx.h"
#include "presentation/fx.h"
#include "presentation/presentation.h"
#include "race/assets.h"
#include "race/race.h"
#include "race/track_files.h"
#include "race/tracks.h"
#include "race/vehicle_steps.h"
#include "support/png_rgb.h"
#include "tools/datakit/lib/boot_set.h"

namespace {

class FxFrameReference : public KitVehicleDrawTest {
 protected:
  void SetUp() override {
    KitVehicleDrawTest::SetUp();
    gOptions.detail[3] = 1;
    FxClearPools();
    for (TyreMark& m : gTyreMarks) m = TyreMark{};
    gTyreMarkNext = 0;
    gFxGlowList.count = 0;
    RandSetIndex(0);
  }
};

TEST_F(FxFrameReference, SmokeFireTyreMarksAndASplashMatchThePicture) {
  gRace.trackIndex = TRACK_BOUE;
  gRace.waterLevel = -1.0f;
  const int32_t dust[3] = {150, 120, 90};
  for (int i = 0; i < 3; ++i) gRace.particleColourA[i] = dust[i];
  gRace.particleAlphaA = 140;
  DecorBuildRippleRing();
  RdrClear(70, 80, 90);
  camera_ = Camera{0.0f, 30.0f, 45.0f, 940.0f, 0.0f, 0.0f};
  CamSet(&camera_);
  MatViewFromCamera();

  Vehicle& v = gVehicleRecords[0];
  StandVehicle(&v, 0, 0.0f, 0.0f, 90.0f);
  v.damageStage = 7;
  v.velocity = 40.0f;
  // Tyre marks from 30 units behind the car up to its rear wheels.
  for (int w = WHEEL_REAR_LEFT; w <= WHEEL_REAR_RIGHT; ++w) {
    WheelState wheel = v.wheels[w];
    wheel.lastMarkX = wheel.lastMarkZ = -1.0f;
    for (int step = 6; step >= 0; --step) {
      wheel.centre[2] = v.wheels[w].centre[2] - 5.0f * static_cast<float>(step);
      FxAddTyreMark(&wheel);
    }
  }
  // Smoke puffs a frame apart, left of the car.
  for (int i = 0; i < 8; ++i) {
    FxSpawnSmokePuff(-26.0f + 3.0f * static_cast<float>(i), 3.0f + static_cast<float>(i), 80.0f, 1.0f);
    FxW1(&gFxSpritePool[i]) = static_cast<float>(i);
  }
  FxSpawnSplashRing(18.0f, -1.25f, 84.0f);
  FxW1(&gFxSpritePool[8]) = 20.0f;
  v.cameraDistance = 100;
  for (int i = 0; i < 12; ++i) {
    DrawSlot* drop = FxSpawnDrop(&v, 16.0f + static_cast<float>(i % 4), 2.0f + static_cast<float>(i / 4), 82.0f);
    ASSERT_NE(drop, nullptr);
  }

  VehicleDrawOther(&v, nullptr);  // the burning car spawns its flame
  FxDrawTyreMarks();
  FxDrawParticles();

  const int32_t w = gRdrState.screenWidth, h = gRdrState.screenHeight;
  std::vector<uint16_t> screen(static_cast<size_t>(w) * h);
  ASSERT_TRUE(GfxLfbReadRegion(GFX_BUFFER_BACKBUFFER, 0, 0, w, h, w * 2, screen.data()));
  const std::string reference = std::string(VEHICLE_DRAW_TEST_SOURCE_DIR) + "/reference_fx_frame.png";
  const std::string actual = std::string(VEHICLE_DRAW_TEST_BINARY_DIR) + "/fx_actual_frame.png";
  EXPECT_EQ(MatchReferencePicture(Rgb565ToRgb(screen), w, h, reference, actual), "");
  EXPECT_TRUE(gFatalErrors.empty());
  if (UpdatingReferences()) GTEST_SKIP() << "rewrote the reference picture";
}

}  // namespace
