// The screen quads, the fade to black at the end of a race and the minimap.
#include <cmath>

#include "backend_common/display.h"
#include "hal/clock.h"
#include "hud_support.h"
#include "net/net.h"
#include "platform/app.h"
#include "presentation/presentation.h"
#include "race/race.h"

namespace {

using Quads = HudTest;

TEST_F(Quads, AShadeQuadIsGreyWithItsAlphaClamped) {
  struct Case {
    int32_t alpha;
    uint32_t word;
  };
  for (const Case c : {Case{-5, 0u}, Case{0, 0u}, Case{128, 128u}, Case{255, 255u}, Case{300, 255u}}) {
    gQuads.clear();
    ViewDrawShadeQuad(10.0f, 20.0f, 110.0f, 70.0f, 90, c.alpha);
    ASSERT_EQ(gQuads.size(), 1u);
    const DrawnQuad& q = gQuads[0];
    EXPECT_EQ(q.kind, DrawnQuad::SHADE);
    EXPECT_EQ(+q.face.type, c.word) << c.alpha;
    const float xs[4] = {10, 110, 110, 10}, ys[4] = {20, 20, 70, 70};
    for (int i = 0; i < 4; ++i) {
      EXPECT_FLOAT_EQ(+q.corners[i].screenX, xs[i]);
      EXPECT_FLOAT_EQ(+q.corners[i].screenY, ys[i]);
      EXPECT_EQ(+q.corners[i].red, 90);
      EXPECT_EQ(+q.corners[i].blue, 90);
    }
  }
  // The mesh's own counts are left as they were.
  const int32_t vertices = gMesh.vertexCount, faces = gMesh.faceCount;
  ViewDrawTexturedQuad(0.0f, 0.0f, 5.0f, 5.0f, 0x102030);
  EXPECT_EQ(gMesh.vertexCount, vertices);
  EXPECT_EQ(gMesh.faceCount, faces);
  EXPECT_EQ(gQuads.back().kind, DrawnQuad::FLAT);
  EXPECT_EQ(+gQuads.back().face.type, 0x102030u);
}

TEST_F(Quads, TheFadeBlackensTheViewInThreeSeconds) {
  RdrSetClipWindow(0, 240, 640, 480);
  ViewFadeStart();
  struct Case {
    uint32_t at;
    int32_t result;
    uint32_t alpha;
  };
  for (const Case c : {Case{0, 1, 0}, Case{1500, 1, 127}, Case{2999, 1, 254}, Case{3000, 0, 255}, Case{9000, 0, 255}}) {
    HalClockSet(1000 + c.at);
    gQuads.clear();
    EXPECT_EQ(ViewFadeOutStep(), c.result) << c.at;
    ASSERT_EQ(gQuads.size(), 1u);
    EXPECT_EQ(+gQuads[0].face.type, c.alpha);
    EXPECT_EQ(+gQuads[0].corners[0].red, 0);
    EXPECT_FLOAT_EQ(+gQuads[0].corners[0].screenX, 0.0f);
    EXPECT_FLOAT_EQ(+gQuads[0].corners[0].screenY, gRdrState.clipMinY);
    EXPECT_FLOAT_EQ(+gQuads[0].corners[2].screenX, gRdrState.clipMaxX);
    EXPECT_FLOAT_EQ(+gQuads[0].corners[2].screenY, gRdrState.clipMaxY);
  }
}

class Minimap : public HudTest {
 protected:
  void SetUp() override {
    HudTest::SetUp();
    RdrSetClipWindow(0, 0, 640, 480);
    RdrSetProjCentre(320, 240);
    gRace.minimapOn = 1;
  }
  // The centre of an icon quad.
  static std::pair<float, float> Centre(const DrawnQuad& q) {
    float x = 0, y = 0;
    for (const Vertex& v : q.corners) {
      x += v.screenX / 4.0f;
      y += v.screenY / 4.0f;
    }
    return {x, y};
  }
};

TEST_F(Minimap, IconsLieOnTheStripByWorldPosition) {
  // One view: the strip's icon area is x 557..637, y 317..477 at 640 x 480.
  struct Case {
    float x, z;
    float iconX, iconY;
  };
  const Case cases[] = {{16000.0f, 0.0f, 557.0f, 317.0f}, {0.0f, 0.0f, 557.0f, 477.0f},
                        {8000.0f, 8000.0f, 637.0f, 397.0f}};
  for (const Case& c : cases) {
    gPlayer1.pose.x = c.x;
    gPlayer1.pose.z = c.z;
    gQuads.clear();
    HudDrawMinimap();
    ASSERT_EQ(gQuads.size(), 1u);
    const auto [x, y] = Centre(gQuads[0]);
    EXPECT_NEAR(x, c.iconX, 1e-3) << c.x << "," << c.z;
    EXPECT_NEAR(y, c.iconY, 1e-3) << c.x << "," << c.z;
  }
}

TEST_F(Minimap, TheMapPictureLiesAQuarterTurnUnderTheIcons) {
  gRace.mapTexture = 42;
  HudDrawMinimap();
  ASSERT_EQ(gQuads.size(), 2u);
  const DrawnQuad& map = gQuads[0];
  EXPECT_EQ(+map.face.type, 42u);
  EXPECT_FLOAT_EQ(+map.corners[0].screenX, 556.0f);
  EXPECT_FLOAT_EQ(+map.corners[0].screenY, 316.0f);
  EXPECT_FLOAT_EQ(+map.corners[2].screenX, 637.0f);
  EXPECT_FLOAT_EQ(+map.corners[2].screenY, 477.0f);
  EXPECT_FLOAT_EQ(+map.corners[0].viewZ, 20.0f);
  const float st[8] = {255, 0, 255, 127, 0, 127, 0, 0};
  for (int i = 0; i < 8; ++i) EXPECT_FLOAT_EQ(+map.face.st[i], st[i]) << i;
}

TEST_F(Minimap, EachTypeShowsItsIconAndTheLaterTypesTheLast) {
  struct Case {
    int32_t type;
    float uL, vT;
  };
  const Case cases[] = {{0, 0, 0}, {3, 120, 0}, {4, 0, 64}, {6, 80, 64}, {7, 80, 64}, {12, 80, 64}};
  for (const Case& c : cases) {
    gPlayer1.type = c.type;
    gQuads.clear();
    HudDrawMinimapIcon(100.0f, 100.0f, &gPlayer1);
    ASSERT_EQ(gQuads.size(), 1u);
    const float* st = gQuads[0].face.st;
    const float expected[8] = {c.uL, c.vT + 64, c.uL + 40, c.vT + 64, c.uL + 40, c.vT, c.uL, c.vT};
    for (int i = 0; i < 8; ++i) EXPECT_FLOAT_EQ(st[i], expected[i]) << c.type << " " << i;
  }
}

TEST_F(Minimap, AnIconTurnsWithItsVehicle) {
  // Heading 256: no turn, the nose up the screen; half width 6, half height 11.
  gPlayer1.heading = 256.0f;
  HudDrawMinimapIcon(100.0f, 100.0f, &gPlayer1);
  EXPECT_FLOAT_EQ(+gQuads[0].corners[0].screenX, 94.0f);
  EXPECT_FLOAT_EQ(+gQuads[0].corners[0].screenY, 111.0f);
  EXPECT_FLOAT_EQ(+gQuads[0].corners[2].screenX, 106.0f);
  EXPECT_FLOAT_EQ(+gQuads[0].corners[2].screenY, 89.0f);
  // A quarter turn lays it on its side.
  gPlayer1.heading = 0.0f;
  HudDrawMinimapIcon(100.0f, 100.0f, &gPlayer1);
  EXPECT_NEAR(+gQuads[1].corners[0].screenX, 89.0f, 1e-3);
  EXPECT_NEAR(+gQuads[1].corners[0].screenY, 94.0f, 1e-3);
}

TEST_F(Minimap, WhoIsShownAndInWhichOrder) {
  for (int i = 0; i < 5; ++i) {
    gVehicleTable[i] = &gVehicleRecords[i];
    gVehicleRecords[i].type = i + 1;
  }
  gPlayer1.type = 0;
  struct Case {
    const char* name;
    int32_t playersMode, gameMode;
    std::vector<float> icons;  // the uL of each icon in order
  };
  const std::vector<Case> cases = {
      {"arcade", 0, 1, {40, 80, 120, 0, 40, 0}},  // types 1..5: 5 wraps to row 2
      {"training", 0, 0, {0}},
      {"split training", 1, 0, {40, 0}},
  };
  for (const Case& c : cases) {
    gRace.playersMode = c.playersMode;
    gRace.gameMode = c.gameMode;
    gQuads.clear();
    HudDrawMinimap();
    std::vector<float> icons;
    for (const DrawnQuad& q : gQuads) icons.push_back(q.face.st[0]);
    EXPECT_EQ(icons, c.icons) << c.name;
  }
  // A network race shows the network table's participants.
  gRace.networkGame = 1;
  gNetParticipants.count = 2;
  gNetParticipants.records[0] = &gVehicleRecords[2];
  gNetParticipants.records[1] = &gPlayer1;
  gQuads.clear();
  HudDrawMinimap();
  ASSERT_EQ(gQuads.size(), 2u);
  EXPECT_FLOAT_EQ(gQuads[0].face.st[0], 120.0f);
  EXPECT_FLOAT_EQ(gQuads[1].face.st[0], 0.0f);
}

}  // namespace
