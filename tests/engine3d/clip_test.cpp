#include "engine3d/clip.h"

#include <vector>

#include "support/test_support.h"

namespace {

class Clipper : public ::testing::Test {
 protected:
  void SetUp() override {
    gClip.left = 0;
    gClip.right = 100;
    gClip.top = 0;
    gClip.bottom = 50;
    gClip.nearPlane = 5;
    gClip.farPlane = 20;
  }
  static void Load(const std::vector<ClipVertex>& poly) {
    for (size_t i = 0; i < poly.size(); ++i) gClip.input->vertex[i] = poly[i];
    gClip.input->vertex[poly.size()] = poly[0];
    gClip.count = static_cast<int32_t>(poly.size());
  }
  static void LoadOutline(const std::vector<ClipPoint>& poly) {
    for (size_t i = 0; i < poly.size(); ++i) gClip.input->point[i] = poly[i];
    gClip.input->point[poly.size()] = poly[0];
    gClip.count = static_cast<int32_t>(poly.size());
  }
  static const ClipVertex& Out(int i) { return gClip.input->vertex[i]; }
};

TEST_F(Clipper, InsideComesOutUnchangedAndClosed) {
  const std::vector<ClipVertex> square = {{10, 10, 7}, {30, 10, 8}, {30, 40, 9}, {10, 40, 10}};
  using Step = void (*)();
  for (Step step : {ClipPolyMinX, ClipPolyMaxX, ClipPolyMinY, ClipPolyMaxY, ClipPolyNear, ClipPolyFar}) {
    Load(square);
    gClip.clipped = 0;
    ClipList* before = gClip.input;
    step();
    EXPECT_EQ(gClip.clipped, 1);
    EXPECT_NE(gClip.input, before);  // the output became the next input
    ASSERT_EQ(gClip.count, 4);
    for (int i = 0; i < 4; ++i) {
      EXPECT_EQ(Out(i).x, square[i].x);
      EXPECT_EQ(Out(i).y, square[i].y);
    }
    EXPECT_EQ(Out(4).x, Out(0).x);
    EXPECT_EQ(Out(4).y, Out(0).y);
  }
  Load(square);
  ClipPolyNear();
  for (int i = 0; i < 4; ++i) EXPECT_EQ(Out(i).z, square[i].z);
}

TEST_F(Clipper, OutsideVanishes) {
  const struct {
    void (*step)();
    std::vector<ClipVertex> poly;
  } rows[] = {
      {ClipPolyMinX, {{-10, 1, 7}, {-1, 1, 7}, {-5, 9, 7}}},
      {ClipPolyMaxX, {{101, 1, 7}, {150, 1, 7}, {120, 9, 7}}},
      {ClipPolyMinY, {{1, -3, 7}, {9, -3, 7}, {5, -1, 7}}},
      {ClipPolyMaxY, {{1, 51, 7}, {9, 51, 7}, {5, 60, 7}}},
      {ClipPolyNear, {{1, 1, 4.9}, {9, 1, 0}, {5, 9, -3}}},
      {ClipPolyFar, {{1, 1, 21}, {9, 1, 30}, {5, 9, 20.5}}},
  };
  for (const auto& r : rows) {
    Load(r.poly);
    r.step();
    EXPECT_EQ(gClip.count, 0);
  }
}

TEST_F(Clipper, CornersOnThePlaneAreKeptWithoutCrossings) {
  Load({{0, 0, 5}, {100, 0, 5}, {100, 50, 20}, {0, 50, 20}});
  for (void (*step)() : {ClipPolyMinX, ClipPolyMaxX, ClipPolyMinY, ClipPolyMaxY}) {
    step();
    EXPECT_EQ(gClip.count, 4);
  }
  Load({{0, 0, 5}, {100, 0, 5}, {100, 50, 20}, {0, 50, 20}});
  ClipPolyNear();
  EXPECT_EQ(gClip.count, 4);
  ClipPolyFar();
  EXPECT_EQ(gClip.count, 4);
}

TEST_F(Clipper, TriangleCutByTheFarPlaneBecomesAQuad) {
  Load({{0, 0, 10}, {10, 0, 10}, {10, 20, 30}});
  ClipPolyFar();
  ASSERT_EQ(gClip.count, 4);
  const ClipVertex expected[4] = {{0, 0, 10}, {10, 0, 10}, {10, 10, 20}, {5, 10, 20}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_DOUBLE_EQ(Out(i).x, expected[i].x) << i;
    EXPECT_DOUBLE_EQ(Out(i).y, expected[i].y) << i;
    EXPECT_EQ(Out(i).z, expected[i].z) << i;
  }
  EXPECT_EQ(Out(4).x, Out(0).x);
}

TEST_F(Clipper, ScreenEdgeCrossingsCarryOnlyXAndY) {
  Load({{-10, 0, 1}, {10, 0, 2}, {10, 20, 3}});
  ClipPolyMinX();
  ASSERT_EQ(gClip.count, 4);
  EXPECT_EQ(Out(0).x, 0.0);  // (-10, 0) to (10, 0) crosses at (0, 0)
  EXPECT_EQ(Out(0).y, 0.0);
  EXPECT_EQ(Out(3).x, 0.0);  // (10, 20) to (-10, 0) crosses at (0, 10)
  EXPECT_EQ(Out(3).y, 10.0);
}

// Two polygons that share an edge must agree on where it crosses the plane,
// whichever direction each walks it.
TEST_F(Clipper, SharedEdgeCrossesAtTheSamePointBothWays) {
  const ClipVertex p{-5.3, 1.1, 6.7}, q{7.9, 4.7, 19.1};
  const ClipVertex r{3.3, -9.1, 7.7}, s{2.2, 13.3, 11.1};
  gClip.left = 0.37f;
  gClip.top = 2.9f;
  gClip.farPlane = 13.3f;
  // Output vertices that are none of the inputs: the crossings.
  auto crossings = [&]() {
    std::vector<ClipVertex> found;
    for (int i = 0; i < gClip.count; ++i) {
      bool input = false;
      for (const ClipVertex& v : {p, q, r, s}) input = input || (Out(i).x == v.x && Out(i).y == v.y);
      if (!input) found.push_back(Out(i));
    }
    return found;
  };
  for (void (*step)() : {ClipPolyMinX, ClipPolyMinY, ClipPolyFar}) {
    Load({p, q, r});
    step();
    std::vector<ClipVertex> one = crossings();
    Load({q, p, s});
    step();
    std::vector<ClipVertex> two = crossings();
    ASSERT_EQ(one.size(), 2u);
    ASSERT_EQ(two.size(), 2u);
    int matches = 0;
    for (const ClipVertex& a : one)
      for (const ClipVertex& b : two) matches += a.x == b.x && a.y == b.y;
    EXPECT_EQ(matches, 1);
  }
}

TEST_F(Clipper, OutlineClippers) {
  gClip.nearPlane = 10;
  gClip.farPlane = 30;
  LoadOutline({{-20, 0}, {20, 0}, {20, 40}, {-20, 40}});
  ClipOutlineNear();
  ASSERT_EQ(gClip.count, 4);
  ClipOutlineFar();
  ASSERT_EQ(gClip.count, 4);
  for (int i = 0; i < 4; ++i) {
    EXPECT_GE(gClip.input->point[i].b, 10.0);
    EXPECT_LE(gClip.input->point[i].b, 30.0);
  }
  gClip.left = -5;
  gClip.right = 5;
  ClipOutlineMinX();
  EXPECT_EQ(gClip.count, 4);  // 2 kept + 2 crossings
  ClipOutlineMaxX();
  EXPECT_EQ(gClip.count, 4);
  for (int i = 0; i < 4; ++i) {
    EXPECT_GE(gClip.input->point[i].a, -5.0);
    EXPECT_LE(gClip.input->point[i].a, 5.0);
  }

  LoadOutline({{0, 0}, {10, 20}, {-10, 20}});
  gClip.nearPlane = 10;
  ClipOutlineNear();
  ASSERT_EQ(gClip.count, 4);
  EXPECT_EQ(gClip.input->point[0].a, 5.0);  // (0, 0)-(10, 20) at second = 10
  EXPECT_EQ(gClip.input->point[0].b, 10.0);
}

TEST_F(Clipper, OverlongInputStaysInsideTheWorkLists) {
  gClip.count = 100000;
  ClipPolyMinX();
  EXPECT_LT(gClip.count, CLIP_LIST_VERTICES);
  gClip.count = -4;
  ClipOutlineMinX();
  EXPECT_EQ(gClip.count, 0);
}

}  // namespace
