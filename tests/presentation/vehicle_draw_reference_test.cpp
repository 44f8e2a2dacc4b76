// A kit car drawn through the rasterizer at each level of detail and
// mirrored on the ice, compared pixel for pixel with stored pictures
// (tests/presentation/reference_vehicle_<name>.png) in the smallest display
// mode. After a deliberate change of what is drawn, or of the kit's cars,
// regenerate them with scripts/update-references.sh, or this suite alone with
//   TORVANE_UPDATE_REFERENCES=1 build/tests/presentation/tests_vehicle_draw --gtest_filter='VehicleDrawReference.*'
// A picture that differs is written next to the test program as
// vehicle_actual_<name>.png.
#include <unistd.h>

#include <algorithm>
#include <cmath>

#include "backend_common/display.h"
#include "draw_fixture.h"
#include "frontend/frontend.h"
#include "hal/gfx/gfx.h"
#include "presentation/presentation.h"
#include "race/assets.h"
#include "race/race.h"
#include "race/track_files.h"
#include "race/tracks.h"
#include "race/vehicle_steps.h"
#include "support/png_rgb.h"
#include "tools/datakit/lib/boot_set.h"

namespace {

std::string ReferencePath(const std::string& name) {
  return std::string(VEHICLE_DRAW_TEST_SOURCE_DIR) + "/reference_vehicle_" + name + ".png";
}

std::string ActualPath(const std::string& name) {
  return std::string(VEHICLE_DRAW_TEST_BINARY_DIR) + "/vehicle_actual_" + name + ".png";
}

std::vector<uint8_t> ScreenRgb(int32_t w, int32_t h) {
  std::vector<uint16_t> screen(static_cast<size_t>(w) * h);
  if (!GfxLfbReadRegion(GFX_BUFFER_BACKBUFFER, 0, 0, w, h, w * 2, screen.data())) return {};
  return Rgb565ToRgb(screen);
}

class VehicleDrawReference : public KitVehicleDrawTest {
 protected:
  // The car a little ahead of a camera that looks down on it from behind and
  // to the right.
  void DrawCar(int32_t level) {
    RdrClear(70, 80, 90);
    camera_ = Camera{14.0f, 24.0f, 50.0f, 940.0f, 962.0f, 0.0f};
    CamSet(&camera_);
    MatViewFromCamera();
    Vehicle& v = gVehicleRecords[0];
    StandVehicle(&v, 0, 0.0f, 0.0f, 90.0f);
    v.steerInput = 200.0f;
    gOptions.detail[1] = static_cast<uint8_t>(level);
    VehicleDrawOther(&v, nullptr);
  }

  void Compare(const std::string& name) {
    const int32_t w = gRdrState.screenWidth, h = gRdrState.screenHeight;
    EXPECT_EQ(MatchReferencePicture(ScreenRgb(w, h), w, h, ReferencePath(name), ActualPath(name)), "");
  }

};

TEST_F(VehicleDrawReference, EachLevelOfDetailMatchesItsPicture) {
  for (int32_t level = 0; level <= 3; ++level) {
    SCOPED_TRACE(level);
    DrawCar(level);
    Compare("level" + std::to_string(level));
  }
  EXPECT_TRUE(gFatalErrors.empty());
  if (UpdatingReferences()) GTEST_SKIP() << "rewrote the reference pictures";
}

TEST_F(VehicleDrawReference, TheCarMirroredOnTheIceMatchesItsPicture) {
  gIceReflections = 1;
  DrawCar(0);
  Compare("ice");
  EXPECT_TRUE(gFatalErrors.empty());
  if (UpdatingReferences()) GTEST_SKIP() << "rewrote the reference pictures";
}

// The kit's car bodies under the desert's sun (light travelling along
// (100, -700, 1000), intensity 64, no ambient light) from four sides: no
// side face goes black from edge to edge, as a body of flat boxes would on
// the side turned from the sun; its upper edge still takes light.
class KitCarLight : public KitVehicleDrawTest {};

TEST_F(KitCarLight, NoSideOfABodyIsBlackAllOver) {
  for (int32_t turn = 0; turn < 4; ++turn) {
    const float c = turn % 2 ? 0.0f : turn == 0 ? 1.0f : -1.0f, s = turn % 2 ? (turn == 1 ? 1.0f : -1.0f) : 0.0f;
    float lx = 100.0f * c - 1000.0f * s, ly = -700.0f, lz = 100.0f * s + 1000.0f * c;
    const float length = std::sqrt(lx * lx + ly * ly + lz * lz);
    lx *= 1024.0f / length, ly *= 1024.0f / length, lz *= 1024.0f / length;
    for (int32_t type = 0; type < CAR_MODEL_GAME_ROWS; ++type) {
      const MeshHeader* body = gCarModels[type].body[0][0];
      ASSERT_NE(body, nullptr);
      for (uint32_t f = 0; f < body->faceCount; ++f) {
        const Face& face = body->faces[f];
        if (std::fabs(face.normalY) > 100.0f) continue;  // tops and bottoms
        float brightest = 0.0f;
        for (int k = 0; k < face.vertexCount; ++k) {
          const Vertex& v = body->vertices[face.index[k]];
          const float light = (v.normalX * lx + v.normalY * ly + v.normalZ * lz) / 1024.0f * 64.0f / 1024.0f + 32.0f;
          brightest = std::max(brightest, light);
        }
        EXPECT_GE(brightest, 12.0f) << "type " << type << " turn " << turn << " face " << f;
      }
    }
  }
}

}  // namespace
