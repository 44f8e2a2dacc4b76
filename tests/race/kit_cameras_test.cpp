// The kit's camera spots as the race reads them: every kit track's spots of
// each kind, the file with none in use, and the spots' reach along the
// course, worked out with the game's own camera and projection.
#include <cmath>

#include "backend_common/draw.h"
#include "engine3d/angle.h"
#include "engine3d/camera.h"
#include "files_fixture.h"
#include "race/tracks.h"
#include "tools/datakit/lib/camera_kit.h"
#include "tools/datakit/lib/race_kit.h"

namespace {

constexpr float DESERT_VIEW_DISTANCE = 1700.0f;
constexpr float STEP_DEPTH = 1000.0f;  // the replay step's bound on a fixed spot's view

class KitCameras : public FilesTest {
 protected:
  void SetUp() override {
    FilesTest::SetUp();
    MathBuildTables();
    std::string error;
    ASSERT_TRUE(datakit::WriteLooseFiles(datakit::TrackArchiveFiles(), dir_.path().string(), &error)) << error;
  }
  // Whether a car at (x, z) stands in the spot's window at projection scale
  // `scale`, no deeper than `depth`, as the replay camera tests it.
  static bool Sees(const CameraSpot& spot, const datakit::KitTrackDesc& desc, float x, float z, float scale, float depth) {
    CamSet(&spot.camera);
    MatViewFromCamera();
    RdrSetProjScale(scale, scale);
    Vertex v{};
    v.x = x;
    v.y = datakit::KitTrackHeightAt(desc, x, z) + 5.0f;
    v.z = z;
    RdrProjectVertex(&v);
    const int32_t w = gRdrState.screenWidth, h = gRdrState.screenHeight;
    return v.viewZ >= 10.0f && v.viewZ <= depth && v.screenX >= static_cast<float>(w * 20 / 512) &&
           v.screenX <= static_cast<float>(w * 492 / 512) && v.screenY >= 0.0f && v.screenY <= static_cast<float>(h);
  }
  static float Horizontal(const CameraSpot& spot, float x, float z) {
    return std::sqrt((spot.camera.x - x) * (spot.camera.x - x) + (spot.camera.z - z) * (spot.camera.z - z));
  }
};

// Every kit track has fixed, tracking and other spots in use and spots
// that are not; the course just after the grid is in a fixed spot's window.
TEST_F(KitCameras, EveryKitTrackHasSpotsOfEachKindAndSeesPastTheGrid) {
  const float base = gRdrState.scaleX;
  for (const datakit::KitTrackDesc& desc : datakit::KitTracks()) {
    SCOPED_TRACE(desc.name);
    gRace.trackIndex = desc.track;
    TrackLoadCameras();
    int fixed = 0, tracking = 0, other = 0, unused = 0;
    for (const CameraSpot& s : gCameraSpots) {
      if (!s.inUse) {
        ++unused;
        continue;
      }
      fixed += s.kind == 0;
      tracking += s.kind == 1;
      other += s.kind > 1;
    }
    EXPECT_GE(fixed, 3);
    EXPECT_GE(tracking, 2);
    EXPECT_GE(other, 1);
    EXPECT_GE(unused, 2);
    // Along the start heading from the grid to 800 ahead.
    const bool alongX = desc.startHeading == 256;
    for (float ahead = 100.0f; ahead <= 800.0f; ahead += 100.0f) {
      const float x = desc.startX + (alongX ? ahead : 0.0f), z = desc.startZ + (alongX ? 0.0f : ahead);
      bool seen = false;
      for (const CameraSpot& s : gCameraSpots)
        seen = seen || (s.inUse && s.kind == 0 && Sees(s, desc, x, z, 2.0f * base, DESERT_VIEW_DISTANCE));
      EXPECT_TRUE(seen) << ahead;
    }
  }
  RdrSetProjScale(base, base);
}

// On desert's blind stretch of the way back no fixed spot has the car in
// its window (at the doubled scale of a pick or the base scale of a step)
// and no other spot in use stands within 1000 (nor within the view
// distance, inside which a pick would take it), so a cut forced there finds
// no spot; outside it a spot does.
TEST_F(KitCameras, DesertsBlindStretchIsOutOfEverySpotsReach) {
  const datakit::KitTrackDesc& desc = *datakit::KitTrackByIndex(TRACK_DESERT);
  gRace.trackIndex = TRACK_DESERT;
  TrackLoadCameras();
  const float base = gRdrState.scaleX, z = desc.startZ - desc.width;
  auto reached = [&](float x) {
    for (const CameraSpot& s : gCameraSpots) {
      if (!s.inUse) continue;
      if (s.kind == 0 ? Sees(s, desc, x, z, 2.0f * base, DESERT_VIEW_DISTANCE) || Sees(s, desc, x, z, base, STEP_DEPTH)
                      : Horizontal(s, x, z) <= DESERT_VIEW_DISTANCE)
        return true;
    }
    return false;
  };
  for (float x = datakit::KIT_DESERT_BLIND_X0; x <= datakit::KIT_DESERT_BLIND_X1; x += 25.0f) EXPECT_FALSE(reached(x)) << x;
  EXPECT_TRUE(reached(datakit::KIT_DESERT_BLIND_X1 + 2000.0f));
  EXPECT_TRUE(reached(datakit::KIT_DESERT_BLIND_X0 - 2000.0f));
  RdrSetProjScale(base, base);
}

TEST_F(KitCameras, TheFileWithNoSpotInUseReadsWhole) {
  const datakit::Bytes file = datakit::KitCameraFileNoSpotInUse();
  gCameraSpots[3].inUse = 1;
  ASSERT_EQ(TrackReadCameras(file.data(), static_cast<uint32_t>(file.size())), 1);
  int inUse = 0, placed = 0;
  for (const CameraSpot& s : gCameraSpots) {
    inUse += s.inUse;
    placed += s.camera.x != 0.0f;
  }
  EXPECT_EQ(inUse, 0);
  EXPECT_GT(placed, 5);  // the spots are there, only none is in use
}

}  // namespace
