// What each track's view sets up before its world is drawn: the clear, the
// sky ring, the fog, the sun and the far plane.
#include <algorithm>
#include <cmath>

#include "frontend/frontend.h"
#include "race/race.h"
#include "race/tracks.h"
#include "race_fixture.h"

namespace {

using Calls = std::vector<std::string>;

class View : public RaceTest {
 protected:
  void Track(int32_t track) {
    gRace.trackIndex = track;
    for (int i = 0; i < 3; ++i) {
      gRace.clearColour[i] = TRACK_CLEAR_COLOURS[track][i];
      gRace.horizonColour[i] = TRACK_HORIZON_COLOURS[track][i];
    }
    gRace.waterLevel = gTrackInfo[track].waterLevel;
    for (int i = 0; i < 5; ++i) gRace.trackTextures[i] = 10 + i;
  }
  // The back-end calls of one RaceRenderView, the sky ring's 32 quads
  // folded into one line.
  Calls Render(float cameraHeight = 0.0f) {
    camera_.y = cameraHeight;
    CamSet(&camera_);
    gCalls.clear();
    gFaces.clear();
    RaceRenderView();
    Calls out;
    for (const std::string& c : gCalls) out.push_back(c);
    if (!gFaces.empty()) out.push_back("ring quads " + std::to_string(gFaces.size()));
    return out;
  }
};

// The sky ring's state changes around its quads.
Calls Ring() {
  return {"RdrFogOff()", "RdrDepthOff()", "RdrSetDepthRange(5,60000)", "RdrSetDepthRange(5,1700)", "RdrDepthOn()",
          "RdrFogOn()"};
}

Calls Join(Calls a, const Calls& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST_F(View, EachTrackSetsItsFogSkyAndSun) {
  struct Case {
    int32_t track;
    Calls calls;
  };
  const Case cases[] = {
      {0, Join(Join({"RdrClear(99,198,255)"}, Ring()),
               {"RdrSetFog(33,148,255,500,1500)", "RdrDrawViewQuad(11,33,148,255)", "ring quads 32"})},
      {2,
       {"RdrClear(24,24,16)", "RdrSetFog(24,24,16,-1000,300)", "WeatherDrawLightning", "RdrSetFog(24,24,16,500,1500)",
        "RdrAdvanceWave(1,-0.5)"}},
      {3,
       {"RdrClear(90,65,65)", "RdrSetDepthRange(5,2400)", "RdrSetFog(90,65,65,-100,180)",
        "RdrDrawGroundStrip(10,60,4,0)", "RdrSetFog(90,65,65,600,1700)", "RdrDrawViewQuad(11,90,65,65)"}},
      {4, Join(Join({"RdrClear(189,82,66)"}, Ring()),
               {"RdrSetFog(214,74,16,500,1500)", "RdrDrawViewQuad(11,214,74,16)", "ring quads 32"})},
      {5, Join(Join({"RdrClear(107,156,255)", "RdrSetDepthRange(5,2000)"},
                    {"RdrFogOff()", "RdrDepthOff()", "RdrSetDepthRange(5,60000)", "RdrSetDepthRange(5,2000)",
                     "RdrDepthOn()", "RdrFogOn()"}),
               {"RdrSetFog(132,165,173,600,1700)", "RdrDrawViewQuad(11,132,165,173)", "ring quads 32"})},
      {6, {"RdrClear(7,8,15)", "WeatherDrawSkyPoints", "RdrSetFog(7,8,15,500,1500)"}},
      {7, Join(Join({"RdrClear(123,173,231)"}, Ring()),
               {"RdrSetFog(206,181,181,500,1500)", "RdrDrawViewQuad(11,206,181,181)", "ring quads 32"})},
      {9, {"RdrClear(198,198,245)", "RdrSetFog(198,198,245,500,1500)", "RdrDrawViewQuad(11,198,198,245)"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.track);
    Track(c.track);
    gRace.viewDistance = 1700.0f;
    EXPECT_EQ(Render(), c.calls);
  }
}

TEST_F(View, SunsetsRingStandsFiftyBelowItsWater) {
  Track(7);
  Render();
  ASSERT_EQ(gFaces.size(), 32u);
  EXPECT_FLOAT_EQ(+gFaces[0].corners[0].y, 310.0f);
  EXPECT_FLOAT_EQ(+gFaces[0].corners[3].y, 2310.0f);
}

TEST_F(View, NeigesFarPlaneFollowsTheCameraHeight) {
  struct Case {
    float height;
    Calls calls;
    float viewDistance;
  };
  const Case cases[] = {
      {0.0f, {"RdrClear(240,240,240)", "RdrSetDepthRange(5,1700)", "RdrSetFog(240,240,240,500,1500)"}, 1700.0f},
      {3000.0f, {"RdrClear(240,240,240)", "RdrSetDepthRange(5,1473)", "RdrSetFog(240,240,240,300,1300)"},
       1300.0f * 1700.0f / 1500.0f},
      {30000.0f, {"RdrClear(240,240,240)", "RdrSetDepthRange(5,340)", "RdrSetFog(240,240,240,-200,300)"}, 340.0f},
      // A camera over damaged ground: not a number reads as height 0.
      {NAN, {"RdrClear(240,240,240)", "RdrSetDepthRange(5,1700)", "RdrSetFog(240,240,240,500,1500)"}, 1700.0f},
      {INFINITY, {"RdrClear(240,240,240)", "RdrSetDepthRange(5,340)", "RdrSetFog(240,240,240,-200,300)"}, 340.0f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.height);
    Track(1);
    EXPECT_EQ(Render(c.height), c.calls);
    EXPECT_FLOAT_EQ(+gRace.viewDistance, +c.viewDistance);
  }
  // Far below, the far plane is as far as the back end's range goes (the
  // largest 32-bit number, as the log prints it).
  Track(1);
  Render(-1e30f);
  EXPECT_EQ(CallsStartingWith("RdrSetDepthRange"), Calls{"RdrSetDepthRange(5,2.14748e+09)"});
}

TEST_F(View, SavanaClimbsIntoItsSkyAboveEightThousand) {
  struct Case {
    float height;
    int32_t colour[3];
    const char* far;
    bool loop;
  };
  const Case cases[] = {
      {7999.0f, {33, 148, 255}, "RdrSetDepthRange(5,1700)", false},
      {8000.0f, {33, 148, 255}, "RdrSetDepthRange(5,1700)", true},
      {9000.0f, {105, 172, 208}, "RdrSetDepthRange(5,900)", true},
      {10000.0f, {177, 197, 162}, "RdrSetDepthRange(5,900)", true},
      // A camera over damaged ground: not a number reads as height 0.
      {NAN, {33, 148, 255}, "RdrSetDepthRange(5,1700)", false},
      {INFINITY, {177, 197, 162}, "RdrSetDepthRange(5,900)", true},
      {-INFINITY, {33, 148, 255}, "RdrSetDepthRange(5,1700)", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.height);
    Track(8);
    gRace.skyLoopSlot = 3;
    const Calls calls = Render(c.height);
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(+gRace.clearColour[i], +c.colour[i]);
      EXPECT_EQ(+gRace.horizonColour[i], +c.colour[i]);
    }
    char clear[64];
    std::snprintf(clear, sizeof clear, "RdrClear(%d,%d,%d)", c.colour[0], c.colour[1], c.colour[2]);
    const Calls rdr = CallsStartingWith("Rdr");
    ASSERT_GE(rdr.size(), 2u);
    EXPECT_EQ(rdr[0], clear);
    EXPECT_EQ(rdr[1], +c.far);
    EXPECT_EQ(IndexOfCall("SfxLoopEffectAt(52)") >= 0, +c.loop);
    EXPECT_EQ(IndexOfCall("SfxStopSlot(3)") >= 0, !c.loop);
    EXPECT_EQ(+gRace.skyLoopSlot, c.loop ? 7 : 0);
  }
  // The second view keeps the colours the first one set, and its own height
  // sets its far plane.
  Track(8);
  for (int i = 0; i < 3; ++i) gRace.clearColour[i] = gRace.horizonColour[i] = i + 1;
  gRace.viewIndex = 1;
  camera2_.y = 8300.0f;
  Render(0.0f);
  EXPECT_EQ(CallsStartingWith("Rdr")[0], "RdrClear(1,2,3)");
  EXPECT_EQ(CallsStartingWith("Rdr")[1], "RdrSetDepthRange(5,1400)");
  EXPECT_TRUE(CallsStartingWith("Sfx").empty());
}

TEST_F(View, WithTheSkyDetailOffOnlyTheFarPlaneIsSet) {
  gOptions.detail[3] = 0;
  const struct {
    int32_t track;
    float height;
    Calls calls;
  } cases[] = {
      {0, 0.0f, {"RdrClear(99,198,255)"}},
      {1, 3000.0f, {"RdrClear(240,240,240)", "RdrSetDepthRange(5,1473)"}},
      {3, 0.0f, {"RdrClear(90,65,65)", "RdrSetDepthRange(5,2400)"}},
      {5, 0.0f, {"RdrClear(107,156,255)", "RdrSetDepthRange(5,2000)"}},
      {8, 8500.0f, {"RdrClear(69,160,231)", "RdrSetDepthRange(5,1200)"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.track);
    Track(c.track);
    Calls calls = Render(c.height);
    calls.erase(std::remove_if(calls.begin(), calls.end(), [](const std::string& s) { return s.rfind("Sfx", 0) == 0; }),
                calls.end());
    EXPECT_EQ(calls, c.calls);
  }
}

TEST_F(View, TheSkyRingIs32DecalQuadsAroundTheCamera) {
  Track(0);
  camera_.x = 1000.0f;
  camera_.z = 2000.0f;
  Render(50.0f);
  ASSERT_EQ(gFaces.size(), 32u);
  for (int i = 0; i < 32; ++i) {
    SCOPED_TRACE(i);
    const Face& f = gFaces[i].face;
    EXPECT_EQ(+f.type, 0x2000000u | 14u);
    ASSERT_EQ(+f.vertexCount, 4);
    const float s0 = 8.0f * i;
    const float st[8] = {s0, 253.0f, s0 + 8.0f, 253.0f, s0 + 8.0f, 3.0f, s0, 3.0f};
    for (int k = 0; k < 8; ++k) EXPECT_FLOAT_EQ(+f.st[k], +st[k]);
    // Quad i joins vertices 2i, 2i+2, 2i+3, 2i+1 of the 64, the last back to the first.
    const int first = gMesh.vertexCount;
    EXPECT_EQ(+f.index[0], first + 2 * i);
    EXPECT_EQ(+f.index[1], first + (2 * i + 2) % 64);
    EXPECT_EQ(+f.index[2], first + (2 * i + 3) % 64);
    EXPECT_EQ(+f.index[3], first + 2 * i + 1);
  }
  // Outer at 1700 on the base, inner at 600 up the ring's height; heading 256 is +x.
  const Vertex& outer0 = gFaces[0].corners[0];
  const Vertex& inner0 = gFaces[0].corners[3];
  const Vertex& outer8 = gFaces[8].corners[0];
  EXPECT_FLOAT_EQ(+outer0.x, 1000.0f);
  EXPECT_FLOAT_EQ(+outer0.z, 3700.0f);
  EXPECT_FLOAT_EQ(+outer0.y, 0.0f);
  EXPECT_FLOAT_EQ(+inner0.z, 2600.0f);
  EXPECT_FLOAT_EQ(+inner0.y, 4000.0f);
  EXPECT_NEAR(+outer8.x, 2700.0f, 0.01f);
  EXPECT_NEAR(+outer8.z, 2000.0f, 0.01f);
  // Projected at once: the vertices carry their view depth.
  EXPECT_NE(+outer0.viewZ, 0.0f);
}

TEST_F(View, ARingThatDoesNotFitBehindAFullPoolIsNotDrawn) {
  Track(0);
  // A track mesh that fills the pool: the reserve holds the ring exactly.
  gMesh.vertexCount = gMesh.vertexCapacity;
  EXPECT_EQ(Render(), Join(Join({"RdrClear(99,198,255)"}, Ring()),
                           {"RdrSetFog(33,148,255,500,1500)", "RdrDrawViewQuad(11,33,148,255)", "ring quads 32"}));
  gMesh.vertexCount = gMesh.vertexCapacity + 1;
  EXPECT_EQ(Render(), Join(Join({"RdrClear(99,198,255)"}, Ring()),
                           {"RdrSetFog(33,148,255,500,1500)", "RdrDrawViewQuad(11,33,148,255)"}));
  gMesh.vertexCount = 0;
}

TEST_F(View, ThunderOnSunsetPlaysOnlyOnATickOfTheFirstView) {
  Track(7);
  gRace.tickPassed = 0;
  for (int i = 0; i < 2000; ++i) RaceClearView();
  EXPECT_TRUE(CallsStartingWith("SfxPlayEffectAt").empty());
  gRace.tickPassed = 1;
  for (int i = 0; i < 2000; ++i) RaceClearView();
  // One random number in 128 is 10.
  const size_t thunder = CallsStartingWith("SfxPlayEffectAt(53)").size();
  EXPECT_GT(thunder, 0u);
  EXPECT_LT(thunder, 50u);
}

}  // namespace
