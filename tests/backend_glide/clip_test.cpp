// The plane clip of the work polygon and the projection of what it keeps.
#include <algorithm>
#include <array>
#include <cstring>

#include "facedraw_support.h"

namespace {

RdrVertex At(float x, float y, float z) {
  RdrVertex v{};
  v.x = x;
  v.y = y;
  v.z = z;
  return v;
}

class ClipTest : public FaceDrawTest {
 protected:
  // Loads view-space corners (x, y, z) with s = x, t = y and the closing copy.
  static void Load(std::initializer_list<std::array<float, 3>> corners) {
    uint32_t n = 0;
    for (const auto& c : corners) {
      RdrVertex& v = gRdrPoly.corner[n++];
      v = RdrVertex{};
      v.x = c[0];
      v.y = c[1];
      v.z = c[2];
      v.r = c[2] * 10.0f;
      v.tmu[0].sow = c[0];
      v.tmu[0].tow = c[1];
    }
    gRdrPoly.corner[n] = gRdrPoly.corner[0];
    gRdrPoly.count = n;
  }
};

TEST_F(ClipTest, CornerCountsAfterANearClip) {
  struct Case {
    const char* name;
    std::vector<float> z;
    uint32_t count;
  } cases[] = {
      {"triangle, one corner behind", {10, 10, 2}, 4},
      {"triangle, two corners behind", {10, 2, 2}, 3},
      {"triangle, all behind", {2, 2, 2}, 0},
      {"triangle, none behind", {10, 10, 10}, 3},
      {"quad, one corner behind", {10, 10, 10, 2}, 5},
      {"quad, two corners behind", {10, 10, 2, 2}, 4},
      {"quad, three corners behind", {10, 2, 2, 2}, 3},
  };
  const float xs[4] = {-1, 1, 1, -1}, ys[4] = {-1, -1, 1, 1};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    uint32_t n = static_cast<uint32_t>(c.z.size());
    for (uint32_t i = 0; i < n; ++i) gRdrPoly.corner[i] = At(xs[i], ys[i], c.z[i]);
    gRdrPoly.corner[n] = gRdrPoly.corner[0];
    gRdrPoly.count = n;
    RdrClipNear();
    EXPECT_EQ(gRdrPoly.count, c.count);
    for (uint32_t i = 0; i < gRdrPoly.count; ++i) EXPECT_GE(gRdrPoly.clip[i].z, 5.0f);
  }
}

TEST_F(ClipTest, FarClipKeepsTheNearPart) {
  Load({{0, 0, 1000}, {10, 0, 1000}, {10, 10, 2000}});
  RdrClipFar();
  ASSERT_EQ(gRdrPoly.count, 4u);
  EXPECT_EQ(gRdrPoly.clip[2].z, 1700.0f);
  EXPECT_EQ(gRdrPoly.clip[3].z, 1700.0f);
  // 700 of the 1000 units from corner 1 to corner 2: 7 of x's and y's 10.
  EXPECT_FLOAT_EQ(gRdrPoly.clip[2].x, 10.0f);
  EXPECT_FLOAT_EQ(gRdrPoly.clip[2].y, 7.0f);
  EXPECT_FLOAT_EQ(gRdrPoly.clip[2].r, 17000.0f);
  EXPECT_FLOAT_EQ(gRdrPoly.clip[2].tmu[0].tow, 7.0f);
}

TEST_F(ClipTest, CornerOnThePlaneStaysAndRepeatsAtItsOutsideEdge) {
  Load({{0, 0, 5}, {10, 0, 10}, {5, 10, 2}});
  RdrClipNear();
  // Corner 0 (on the plane), corner 1, the crossing on 1-2, and the crossing
  // on 2-0 which is corner 0 again.
  ASSERT_EQ(gRdrPoly.count, 4u);
  EXPECT_EQ(gRdrPoly.clip[0].x, 0.0f);
  EXPECT_EQ(gRdrPoly.clip[3].x, 0.0f);
  EXPECT_EQ(gRdrPoly.clip[3].y, 0.0f);
  EXPECT_EQ(gRdrPoly.clip[3].z, 5.0f);
}

// Two faces sharing an edge that crosses the plane, the edge running one way
// in the first face and the other way in the second, must get the same
// crossing point to the last bit, or a crack opens between them.
TEST_F(ClipTest, SharedEdgesGiveBitIdenticalCrossings) {
  struct Edge {
    const char* name;
    std::array<float, 3> inside, outside;
  } edges[] = {
      {"slanted", {0.3f, 1.7f, 9.1f}, {2.9f, -3.3f, 0.7f}},
      {"slanted the other way", {2.9f, 1.7f, 9.1f}, {0.3f, -3.3f, 0.7f}},
      {"vertical in view x", {1.3f, 1.7f, 9.1f}, {1.3f, -3.1f, 0.7f}},
      {"along the view axis", {1.3f, 1.7f, 9.1f}, {1.3f, 1.7f, 0.7f}},
  };
  for (const Edge& e : edges) {
    SCOPED_TRACE(e.name);
    const std::array<float, 3> third = {7.7f, 0.1f, 13.0f};
    Load({e.inside, e.outside, third});
    RdrClipNear();
    ASSERT_EQ(gRdrPoly.count, 4u);
    RdrVertex first = gRdrPoly.clip[1];  // corner 0, then the crossing on 0-1
    Load({third, e.outside, e.inside});  // the same edge, run backwards
    RdrClipNear();
    ASSERT_EQ(gRdrPoly.count, 4u);
    RdrVertex second = gRdrPoly.clip[2];  // corner 0, crossing on 0-1, crossing on 1-2 (the edge)
    EXPECT_EQ(std::memcmp(&first, &second, sizeof first), 0);
    EXPECT_EQ(first.z, 5.0f);
  }
}

TEST_F(ClipTest, TooManyCornersAreCutShortAndTheOutputStaysInItsList) {
  // Eleven corners alternating across the plane make twenty-two outputs.
  gRdrPoly.count = 11;
  for (uint32_t i = 0; i < 11; ++i) gRdrPoly.corner[i] = At(static_cast<float>(i), 0, i % 2 ? 2.0f : 10.0f);
  gRdrPoly.corner[11] = gRdrPoly.corner[0];
  RdrClipNear();
  EXPECT_EQ(gRdrPoly.count, 10u);
  gRdrPoly.count = 12;
  RdrClipFar();
  EXPECT_EQ(gRdrPoly.count, 0u);
}

TEST_F(ClipTest, ProjectionPutsCrossingsOnTheNearPlane) {
  Place(0, 100, 100, 10);
  Place(1, 300, 100, 10);
  Place(2, 200, 300, 1);
  Face face = MakeFace(0, {0, 1, 2});
  gRdrPoly.count = 3;
  RdrClipNearProject(&face);
  ASSERT_EQ(gRdrPoly.count, 4u);
  // Corners kept where they were on the screen; crossings at depth 5.
  EXPECT_FLOAT_EQ(gRdrPoly.corner[0].x, 100.0f);
  EXPECT_FLOAT_EQ(gRdrPoly.corner[1].y, 100.0f);
  EXPECT_EQ(gRdrPoly.corner[0].ooz, 10.0f);
  EXPECT_EQ(gRdrPoly.corner[2].ooz, 5.0f);
  EXPECT_EQ(gRdrPoly.corner[3].ooz, 5.0f);
  // View x, y of a crossing are interpolated, then projected at z = 5.
  const RdrVertex& c = gRdrPoly.clip[2];
  EXPECT_FLOAT_EQ(gRdrPoly.corner[2].x, 320.0f + c.x * 250.0f / 5.0f);
  EXPECT_FLOAT_EQ(gRdrPoly.corner[2].y, 240.0f + c.y * 250.0f / 5.0f);
}

TEST_F(ClipTest, FaceAcrossBothPlanesIsCutAtTheNearPlaneOnly) {
  Place(0, 300, 200, 1);
  Place(1, 340, 200, 3000);
  Place(2, 320, 260, 3000);
  Face face = MakeFace(0x00FFFFFF, {0, 1, 2});
  RecordStart();
  RdrDrawFaceFlat(&face);
  std::vector<GfxCall> draws = DrawCalls(RecordStop());
  ASSERT_EQ(draws.size(), 1u);
  ASSERT_EQ(draws[0].vertices.size(), 4u);
  float nearest = 0, farthest = 1e9f;
  for (const GfxVertex& v : draws[0].vertices) {
    nearest = std::max(nearest, v.ooz);
    farthest = std::min(farthest, v.ooz);
  }
  EXPECT_FLOAT_EQ(nearest, 262140.0f / 5.0f);
  EXPECT_FLOAT_EQ(farthest, 262140.0f / 3000.0f);
}

}  // namespace
