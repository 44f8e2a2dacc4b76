// The face routines, by the accelerator calls they make and the vertices they
// hand over, and a few of them through the real rasterizer.
#include <cmath>
#include <cstring>
#include <functional>
#include <vector>

#include "engine3d/angle.h"
#include "facedraw_support.h"
#include "support/renderer_twins.h"

namespace {

const std::string OPAQUE_ON[] = {"blend 4 0 4 0", "test 7"};
const std::string OPAQUE_OFF[] = {"blend 1 5 4 0", "test 5"};

constexpr uint32_t COLOUR_FACE = 0x00336699;  // red 0x99, green 0x66, blue 0x33
constexpr uint32_t ALPHA_FACE = 0x0E000080;   // alpha 128

class FaceRoutineTest : public FaceDrawTest {
 protected:
  void SetUp() override {
    FaceDrawTest::SetUp();
    // A triangle well inside the screen, between the planes.
    Place(0, 100, 100, 10).light = 32.0f;
    Place(1, 200, 100, 10).light = 16.0f;
    Place(2, 150, 200, 10).light = 48.0f;
    for (int i = 0; i < 3; ++i) {
      vertices_[i].red = static_cast<uint8_t>(10 * (3 * i + 1));
      vertices_[i].green = static_cast<uint8_t>(10 * (3 * i + 2));
      vertices_[i].blue = static_cast<uint8_t>(10 * (3 * i + 3));
    }
  }
  Face Textured(int32_t tex) { return MakeFace(uint32_t{FACE_TEX_LIT} << 24 | static_cast<uint32_t>(tex), {0, 1, 2}); }
};

struct RoutineCase {
  const char* name;
  uint32_t faceWord;  // 0: the textured face of texture A
  std::function<void(Face*)> draw;
  std::vector<std::string> calls;  // "T" stands for the texture's id
  float r, g, b, a;                // corner 0 as handed to the accelerator
};

// Light colour (255, 128, 64); corner 0: colour (10, 20, 30), light 32;
// face tag 16. Written from the routine table, not from the code.
std::vector<RoutineCase> Cases() {
  const float S = SENTINEL;
  auto opaque = [](std::vector<std::string> before, const char* draw) {
    before.insert(before.end(), std::begin(OPAQUE_ON), std::end(OPAQUE_ON));
    before.push_back(draw);
    before.insert(before.end(), std::begin(OPAQUE_OFF), std::end(OPAQUE_OFF));
    return before;
  };
  return {
      {"Flat", COLOUR_FACE, RdrDrawFaceFlat, opaque({"combine 1", "colour 0x336699"}, "triangle"), S, S, S, S},
      {"Gouraud", COLOUR_FACE, RdrDrawFaceGouraud, opaque({"combine 2"}, "triangle"), 153 * 255 / 256.0f * 0.5f,
       102 * 128 / 256.0f * 0.5f, 51 * 64 / 256.0f * 0.5f, S},
      {"Shaded", COLOUR_FACE, RdrDrawFaceShaded, opaque({"combine 2"}, "triangle"), 153 * 255 / 256.0f * 0.25f,
       102 * 128 / 256.0f * 0.25f, 51 * 64 / 256.0f * 0.25f, S},
      {"FlatAlpha", ALPHA_FACE, RdrDrawFaceFlatAlpha,
       {"combine 1", "colour 0x1e140a", "alpha 1", "triangle", "alpha 2"}, S, S, S, 128},
      {"FlatAlphaRgb", ALPHA_FACE, [](Face* f) { RdrDrawFaceFlatAlphaRgb(f, 1, 2, 3); },
       {"combine 1", "colour 0x030201", "alpha 1", "triangle", "alpha 2"}, S, S, S, 128},
      {"VColour", ALPHA_FACE, RdrDrawFaceVColour, {"combine 1", "colour 0x1e140a", "triangle"}, S, S, S, 128},
      {"FlatAlphaBiased", ALPHA_FACE, [](Face* f) { RdrDrawFaceFlatAlphaBiased(f, 2.0f); },
       {"combine 1", "colour 0x1e140a", "alpha 1", "triangle", "alpha 2"}, S, S, S, 128},
      {"VertexColours", ALPHA_FACE, [](Face* f) { RdrDrawFaceVertexColours(f, 2.0f); }, {"combine 1", "triangle"},
       10, 20, 30, 128},
      {"VColourLit", COLOUR_FACE, RdrDrawFaceVColourLit, opaque({"combine 2"}, "triangle"), 10 * 255 / 256.0f * 0.5f,
       5, 3.75f, S},
      {"VColourOpaque", COLOUR_FACE, RdrDrawFaceVColourOpaque, opaque({"combine 2"}, "triangle"), 10, 20, 30, S},
      {"Water", 0, RdrDrawFaceWater, {"combine 9", "texture T", "triangle"}, S, S, S, 200},
      {"TexLit", 0, RdrDrawFaceTexLit, {"combine 6", "texture T", "triangle"}, 127.5f, 127.5f, 127.5f, S},
      {"TexLitClamped", 0, RdrDrawFaceTexLitClamped, {"combine 6", "texture T", "triangle"}, 127.5f, 64, 32, S},
      {"DecalClamped", 0, RdrDrawFaceDecalClamped, {"combine 4", "texture T", "triangle"}, S, S, S, S},
      {"Decal", 0, RdrDrawFaceDecal, {"combine 4", "texture T", "triangle"}, S, S, S, S},
      {"TexVColour", 0, RdrDrawFaceTexVColour, {"combine 6", "texture T", "triangle"}, 10 * 255 / 256.0f * 0.5f, 5,
       3.75f, S},
      {"TexVColourUnlit", 0, RdrDrawFaceTexVColourUnlit, {"combine 6", "texture T", "triangle"}, 10 * 255 / 256.0f,
       10, 7.5f, S},
      {"TexShaded", 0, RdrDrawFaceTexShaded, {"combine 6", "texture T", "triangle"}, 63.75f, 32, 16, S},
      {"TexAlpha", 0, [](Face* f) { RdrDrawFaceTexAlpha(f, 77.0f); }, {"combine 9", "texture T", "triangle"}, S, S, S,
       77},
      {"TexAdd", 0, RdrDrawFaceTexAdd, {"combine 5", "texture T", "triangle"}, 127.5f, 64, 32, S},
      {"TexLight", 0, [](Face* f) { RdrDrawFaceTexLight(f, 2.0f); }, {"triangle"}, 1, S, S, 1},
  };
}

TEST_F(FaceRoutineTest, EachRoutineSetsItsStateColoursItsCornersAndRestores) {
  for (const RoutineCase& c : Cases()) {
    SCOPED_TRACE(c.name);
    Face face = c.faceWord ? MakeFace(c.faceWord, {0, 1, 2}) : Textured(texA_);
    face.tag = 16;
    Fresh();
    RecordStart();
    c.draw(&face);
    std::vector<GfxCall> calls = RecordStop();
    std::vector<std::string> expected = c.calls;
    for (std::string& e : expected)
      if (e == "texture T") e = "texture " + std::to_string(texA_);
    EXPECT_EQ(CallTexts(calls), expected);
    std::vector<GfxCall> draws = DrawCalls(calls);
    ASSERT_EQ(draws.size(), 1u);
    const GfxVertex& v = draws[0].vertices[0];
    EXPECT_FLOAT_EQ(v.r, c.r);
    EXPECT_FLOAT_EQ(v.g, c.g);
    EXPECT_FLOAT_EQ(v.b, c.b);
    EXPECT_FLOAT_EQ(v.a, c.a);
  }
}

TEST_F(FaceRoutineTest, ColouredLightTintsTheLitTexturedFace) {
  Face face = Textured(texA_);
  RdrColourLightOn();
  RecordStart();
  RdrDrawFaceTexLit(&face);
  std::vector<GfxCall> draws = DrawCalls(RecordStop());
  ASSERT_EQ(draws.size(), 1u);
  EXPECT_FLOAT_EQ(draws[0].vertices[0].r, 127.5f);
  EXPECT_FLOAT_EQ(draws[0].vertices[0].g, 64.0f);
  EXPECT_FLOAT_EQ(draws[0].vertices[0].b, 32.0f);
}

TEST_F(FaceRoutineTest, WireDrawsTheClosedOutline) {
  Face face = MakeFace(COLOUR_FACE, {0, 1, 2});
  RecordStart();
  RdrDrawFaceWire(&face);
  std::vector<GfxCall> calls = RecordStop();
  std::vector<GfxCall> lines = DrawCalls(calls);
  ASSERT_EQ(lines.size(), 3u);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(lines[i].text, "line");
    EXPECT_EQ(lines[i].vertices[1].x, lines[(i + 1) % 3].vertices[0].x);
    EXPECT_EQ(lines[i].vertices[0].a, 255.0f);
  }
  EXPECT_EQ(CallTexts(calls).back(), "test 5");
}

TEST_F(FaceRoutineTest, WireReachingOutsideTheWindowIsNotDrawnAtAll) {
  Place(1, 700, 100, 10);
  Face face = MakeFace(COLOUR_FACE, {0, 1, 2});
  RecordStart();
  RdrDrawFaceWire(&face);
  EXPECT_TRUE(RecordStop().empty());
}

TEST_F(FaceRoutineTest, WireQuadClippedToFiveCornersHasFiveEdges) {
  Place(0, 100, 100, 10);
  Place(1, 200, 100, 10);
  Place(2, 200, 200, 3);  // behind the near plane (5)
  Place(3, 100, 200, 10);
  Face face = MakeFace(COLOUR_FACE, {0, 1, 2, 3});
  RecordStart();
  RdrDrawFaceWire(&face);
  EXPECT_EQ(DrawCalls(RecordStop()).size(), 5u);
}

TEST_F(FaceRoutineTest, SameTextureTwiceMakesNoSecondTextureOrCombineCall) {
  Face a = Textured(texA_), b = Textured(texA_), c = Textured(texB_);
  RecordStart();
  RdrDrawFaceDecal(&a);
  RdrDrawFaceDecal(&b);
  RdrDrawFaceDecal(&c);
  RdrDrawFaceTexLit(&c);
  std::vector<std::string> want = {"combine 4", "texture " + std::to_string(texA_), "triangle", "triangle",
                                   "texture " + std::to_string(texB_), "triangle", "combine 6", "triangle"};
  EXPECT_EQ(CallTexts(RecordStop()), want);
}

TEST_F(FaceRoutineTest, FirstFaceAfterOpenOrModeChangeSetsCombineAndTexture) {
  Face face = Textured(texA_);
  RdrDrawFaceDecal(&face);
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    if (round == 0) {
      gMesh.vertices = nullptr;  // ours, not the pool's
      RdrClose();
      ASSERT_TRUE(RdrOpen(gDisplayModes[2], 1));
      gMesh.vertices = vertices_.data();
      texA_ = SolidTexture(0xF800);
      face = Textured(texA_);
    } else {
      ASSERT_TRUE(RdrSetMode(gDisplayModes[7], 1));
    }
    RecordStart();
    RdrDrawFaceDecal(&face);
    std::vector<std::string> calls = CallTexts(RecordStop());
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls[0], "combine 4");
    EXPECT_EQ(calls[1], "texture " + std::to_string(texA_));
  }
}

TEST_F(FaceRoutineTest, FacesWhollyOutsideDrawNothingAndChangeNoState) {
  struct Case {
    const char* name;
    float x0, x1, y0, y1, z;
  } cases[] = {
      {"beyond the far plane", 100, 200, 100, 200, 1700.5f},
      {"nearer than the near plane", 100, 200, 100, 200, 4.5f},
      {"left of the window", -300, -1, 100, 200, 10},
      {"right of the window", 641, 900, 100, 200, 10},
      {"above the window", 100, 200, -300, -0.5f, 10},
      {"below the window", 100, 200, 481, 600, 10},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Place(0, c.x0, c.y0, c.z);
    Place(1, c.x1, c.y0, c.z);
    Place(2, c.x1, c.y1, c.z);
    Face textured = Textured(texA_), flat = MakeFace(COLOUR_FACE, {0, 1, 2});
    Fresh();
    RecordStart();
    RdrDrawFaceDecal(&textured);
    RdrDrawFaceFlat(&flat);
    RdrDrawFaceFlatAlpha(&flat);
    EXPECT_TRUE(RecordStop().empty());
    EXPECT_EQ(gRdrCache.texture, -1);
  }
}

TEST_F(FaceRoutineTest, DamagedCornerCountsDrawNothing) {
  for (uint8_t n : {0, 1, 2, 5, 255}) {
    Face face = Textured(texA_);
    face.vertexCount = n;
    RecordStart();
    RdrDrawFaceDecal(&face);
    RdrDrawFaceWire(&face);
    EXPECT_TRUE(RecordStop().empty()) << int{n};
  }
}

// A face built by hand may name a vertex past the array the routines read:
// every routine, the clip and the pick test leave it undrawn. The vertex past
// the end exists and lies on screen, so a routine that read it would draw.
TEST_F(FaceRoutineTest, FacesNamingAVertexPastTheMeshDrawNothing) {
  ASSERT_EQ(gMesh.vertexCapacity, 0);
  const uint16_t past = MESH_SCRATCH_VERTICES;
  vertices_.resize(past + 1u);
  gMesh.vertices = vertices_.data();
  Place(past, 150, 150, 10);
  for (int corner = 0; corner < 4; ++corner) {
    for (const RoutineCase& c : Cases()) {
      SCOPED_TRACE(std::string(c.name) + ", corner " + std::to_string(corner));
      Face face = c.faceWord ? MakeFace(c.faceWord, {0, 1, 2, 2}) : Textured(texA_);
      face.vertexCount = 4;
      face.index[3] = 2;
      face.index[corner] = past;
      RecordStart();
      c.draw(&face);
      EXPECT_TRUE(RecordStop().empty());
      EXPECT_FALSE(RdrClipProjectFace(&face, 150, 150));
      Place(0, 100, 100, 2);  // behind the near plane: the clip path
      gRdrPoly.count = 4;
      RdrClipNearProject(&face);
      EXPECT_EQ(gRdrPoly.count, 0u);
      Place(0, 100, 100, 10);
    }
  }
}

TEST_F(FaceRoutineTest, PlainCallInsideTheWindowClippingCallAcross) {
  struct Case {
    const char* name;
    float x0, x1, y0, y1;
    const char* call;
  } cases[] = {
      {"touching every edge", 0, 640, 0, 480, "triangle"},
      {"inside", 10, 600, 10, 400, "triangle"},
      {"across the left edge", -1, 100, 10, 400, "triangle clip"},
      {"across the right edge", 10, 640.5f, 10, 400, "triangle clip"},
      {"across the bottom edge", 10, 100, 10, 481, "triangle clip"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Place(0, c.x0, c.y0, 10);
    Place(1, c.x1, c.y0, 10);
    Place(2, c.x1, c.y1, 10);
    Face face = Textured(texA_);
    RecordStart();
    RdrDrawFaceDecal(&face);
    std::vector<GfxCall> draws = DrawCalls(RecordStop());
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].text, c.call);
  }
}

TEST_F(FaceRoutineTest, ClippedTriangleUsesThePolygonCallAndClippedQuadTheTriangleCall) {
  Place(2, 150, 200, 2);  // one corner behind the near plane: 4 corners
  Face tri = Textured(texA_);
  RecordStart();
  RdrDrawFaceDecal(&tri);
  std::vector<GfxCall> draws = DrawCalls(RecordStop());
  ASSERT_EQ(draws.size(), 1u);
  EXPECT_EQ(draws[0].text, "polygon 4");

  Place(0, 100, 100, 10);
  Place(1, 200, 100, 2);
  Place(2, 200, 200, 2);
  Place(3, 100, 200, 2);  // three behind: 3 corners
  Face quad = MakeFace(uint32_t{FACE_TEX_LIT} << 24 | static_cast<uint32_t>(texA_), {0, 1, 2, 3});
  RecordStart();
  RdrDrawFaceDecal(&quad);
  draws = DrawCalls(RecordStop());
  ASSERT_EQ(draws.size(), 1u);
  EXPECT_EQ(draws[0].text, "triangle");
}

TEST_F(FaceRoutineTest, DepthValuesOfTheFinishedCorners) {
  Place(0, 100.7f, 100.2f, 5);
  Place(1, 200, 100, 8);
  Place(2, 150, 200.9f, 20);
  Face textured = Textured(texA_), flat = MakeFace(COLOUR_FACE, {0, 1, 2});
  for (bool isTextured : {true, false}) {
    SCOPED_TRACE(isTextured);
    RecordStart();
    if (isTextured)
      RdrDrawFaceDecal(&textured);
    else
      RdrDrawFaceFlat(&flat);
    std::vector<GfxCall> draws = DrawCalls(RecordStop());
    ASSERT_EQ(draws.size(), 1u);
    const std::vector<GfxVertex>& v = draws[0].vertices;
    EXPECT_EQ(v[0].ooz, 52428.0f);
    EXPECT_FLOAT_EQ(v[0].oow, 0.2f);
    EXPECT_FLOAT_EQ(v[2].ooz, 262140.0f / 20.0f);
    EXPECT_EQ(v[0].x, 100.0f);  // whole pixels, truncated
    EXPECT_EQ(v[2].y, 200.0f);
    if (isTextured) {
      EXPECT_FLOAT_EQ(v[1].tmu[0].sow, 40.0f / 8.0f);
      EXPECT_FLOAT_EQ(v[1].tmu[0].tow, 25.0f / 8.0f);
    }
  }
}

TEST_F(FaceRoutineTest, OnlyTheTwoClampedRoutinesSaturateTheDepth) {
  RdrSetDepthRange(1, 1700);
  Place(0, 100, 100, 1);
  Place(1, 200, 100, 1);
  Place(2, 150, 200, 1);
  struct Case {
    void (*draw)(Face*);
    float ooz;
  } cases[] = {{RdrDrawFaceTexLitClamped, 65535.0f},
               {RdrDrawFaceDecalClamped, 65535.0f},
               {RdrDrawFaceDecal, 262140.0f},
               {RdrDrawFaceTexLit, 262140.0f}};
  for (const Case& c : cases) {
    Face face = Textured(texA_);
    RecordStart();
    c.draw(&face);
    std::vector<GfxCall> draws = DrawCalls(RecordStop());
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].vertices[0].ooz, c.ooz);
  }
}

TEST_F(FaceRoutineTest, DepthBiasIsFlooredAtSixAndAtOne) {
  Place(0, 100, 100, 8);
  Place(1, 200, 100, 30);
  Place(2, 150, 200, 30);
  Face face = MakeFace(ALPHA_FACE, {0, 1, 2});
  RecordStart();
  RdrDrawFaceFlatAlphaBiased(&face, 10.0f);
  RdrDrawFaceVertexColours(&face, 10.0f);
  std::vector<GfxCall> draws = DrawCalls(RecordStop());
  ASSERT_EQ(draws.size(), 2u);
  EXPECT_FLOAT_EQ(draws[0].vertices[0].ooz, 262140.0f / 6.0f);
  EXPECT_FLOAT_EQ(draws[0].vertices[1].ooz, 262140.0f / 20.0f);
  EXPECT_FLOAT_EQ(draws[1].vertices[0].ooz, 262140.0f);
  EXPECT_FLOAT_EQ(draws[1].vertices[0].oow, 1.0f);
}

TEST_F(FaceRoutineTest, WaterRippleRepeatsEvery1024UnitsAndEvery512OfStep) {
  Face face = Textured(texA_);
  auto sow = [&]() {
    RecordStart();
    RdrDrawFaceWater(&face);
    std::vector<GfxCall> draws = DrawCalls(RecordStop());
    return draws.at(0).vertices[0].tmu[0].sow;
  };
  vertices_[0].z = 100.0f;
  float base = sow();
  // s = 0 + 5 x SineTable[100]; sow = s / z.
  EXPECT_FLOAT_EQ(base, 5.0f * SineTable[100] * (1.0f / 10.0f));
  vertices_[0].z = 1124.0f;
  EXPECT_EQ(sow(), base);
  vertices_[0].z = 101.0f;
  EXPECT_NE(sow(), base);
  vertices_[0].z = 100.0f;
  RdrAdvanceWave(200.0f, 9.0f);
  EXPECT_NE(sow(), base);
  RdrAdvanceWave(312.0f, 0.0f);
  EXPECT_EQ(sow(), base);
}

TEST_F(FaceRoutineTest, PointsOnTheWindowEdge) {
  Vertex v{};
  v.viewZ = 10.0f;
  v.red = 0xFF;
  v.green = 0x80;
  struct Case {
    float x, y;
    int plain, inside;
  } cases[] = {{640, 100, 1, 0}, {0, 479, 1, 0}, {320.9f, 240.2f, 1, 1}, {640.1f, 100, 0, 0}, {100, -0.1f, 0, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.x);
    v.screenX = c.x;
    v.screenY = c.y;
    RecordStart();
    RdrDrawPoint(&v);
    EXPECT_EQ(DrawCalls(RecordStop()).size(), static_cast<size_t>(c.plain));
    RecordStart();
    RdrDrawPointInside(&v);
    EXPECT_EQ(DrawCalls(RecordStop()).size(), static_cast<size_t>(c.inside));
  }
  v.screenX = 320.9f;
  v.screenY = 240.2f;
  gRdrCache = RdrCache{-1, -1};
  RecordStart();
  RdrDrawPoint(&v);
  std::vector<GfxCall> calls = RecordStop();
  std::vector<std::string> want = {"combine 1", "colour 0x0080ff", "blend 4 0 4 0", "test 7",
                                   "point",     "blend 1 5 4 0",   "test 5"};
  EXPECT_EQ(CallTexts(calls), want);
  EXPECT_EQ(calls[4].vertices[0].x, 320.0f);
  EXPECT_FLOAT_EQ(calls[4].vertices[0].ooz, 26214.0f);
  v.viewZ = 4.9f;
  RecordStart();
  RdrDrawPoint(&v);
  EXPECT_TRUE(RecordStop().empty());
}

TEST_F(FaceRoutineTest, LightWeightedFaceWithNoLightDrawsNothing) {
  Face face = Textured(texA_);
  RecordStart();
  RdrDrawFaceTexLight(&face, 0.0f);
  for (Vertex& v : vertices_) v.light = 0.0f;
  RdrDrawFaceTexLight(&face, 3.0f);
  EXPECT_TRUE(RecordStop().empty());
}

TEST_F(FaceRoutineTest, LightWeightedAlphaFollowsTheClip) {
  // Corner 2 behind the near plane: the crossing corners carry interpolated alpha.
  Place(2, 150, 200, 0).light = 64.0f;
  vertices_[0].light = 0.0f;
  vertices_[1].light = 0.0f;
  Face face = Textured(texA_);
  RecordStart();
  RdrDrawFaceTexLight(&face, 64.0f);
  std::vector<GfxCall> draws = DrawCalls(RecordStop());
  ASSERT_EQ(draws.size(), 1u);
  ASSERT_EQ(draws[0].vertices.size(), 4u);
  // 0 at corners 0 and 1, half of 64 at the crossings halfway to z = 0 from z = 10.
  EXPECT_FLOAT_EQ(draws[0].vertices[0].a, 0.0f);
  EXPECT_FLOAT_EQ(draws[0].vertices[2].a, 32.0f);
  EXPECT_FLOAT_EQ(draws[0].vertices[3].a, 32.0f);
  for (const GfxVertex& v : draws[0].vertices) EXPECT_EQ(v.a, v.r);
}

TEST_F(FaceRoutineTest, TranslucentFaceKeepsItsAlphaOnCornersTheClipAdds) {
  Place(2, 150, 200, 2);
  Face face = MakeFace(ALPHA_FACE, {0, 1, 2});
  for (RdrVertex& c : gRdrPoly.corner) c.a = 9.0f;  // what an earlier face left
  RecordStart();
  RdrDrawFaceFlatAlpha(&face);
  std::vector<GfxCall> draws = DrawCalls(RecordStop());
  ASSERT_EQ(draws.size(), 1u);
  ASSERT_EQ(draws[0].vertices.size(), 4u);
  for (const GfxVertex& v : draws[0].vertices) EXPECT_EQ(v.a, 128.0f);
}

// Through the rasterizer: the texture's colour where the face lies, the
// depth 262140 / z, and the opaque state undone afterwards.
TEST_F(FaceRoutineTest, PixelsOfDecalGouraudAndTranslucentFaces) {
  Place(0, 100, 100, 5);
  Place(1, 300, 100, 5);
  Place(2, 100, 300, 5);
  Face decal = Textured(texA_);
  RdrDrawFaceDecal(&decal);
  EXPECT_EQ(Pixel(120, 120), 0xF800);
  EXPECT_EQ(GfxReadDepth(120, 120), 52428);
  EXPECT_EQ(Pixel(290, 290), 0x0000);

  // A flat face of pure green at the same depth (the test passes on equal depths).
  Place(3, 100, 100, 5);
  Place(4, 300, 100, 5);
  Place(5, 100, 300, 5);
  Face flat = MakeFace(0x0000FF00, {3, 4, 5});
  RdrDrawFaceFlat(&flat);
  EXPECT_EQ(Pixel(120, 120), 0x07E0);

  // Half-transparent black over it: the green is halved.
  Face shade = MakeFace(0x0E000080, {3, 4, 5});
  for (int i = 3; i < 6; ++i) vertices_[i].red = vertices_[i].green = vertices_[i].blue = 0;
  RdrDrawFaceFlatAlpha(&shade);
  uint16_t p = Pixel(120, 120);
  int green = (p >> 5) & 0x3F;
  EXPECT_EQ(p & 0xF81F, 0);
  EXPECT_NEAR(green, 31, 1);
}

// A glyph cell at half its size, as torvaned3d must draw it too
// (support/renderer_twins.h).
TEST_F(FaceRoutineTest, AHalfSizeGlyphCellShowsTheTexelsUnderItsPixelCentres) {
  const std::vector<uint16_t> texels = GlyphTwinTexels();
  const int32_t glyph = GfxTexAllocateMemory(GFX_TMU0, GFX_MIPMAPLEVELMASK_BOTH, 16, 16, GFX_TEXFMT_RGB_565,
                                             GFX_MIPMAP_DISABLE, 0, 0, GFX_ASPECT_1x1, GFX_TEXTURECLAMP_WRAP,
                                             GFX_TEXTURECLAMP_WRAP, GFX_TEXTUREFILTER_POINT_SAMPLED,
                                             GFX_TEXTUREFILTER_POINT_SAMPLED, 0.0f, false);
  ASSERT_GE(glyph, 0);
  GfxTexDownloadMipMap(glyph, texels.data(), nullptr);
  RdrClear(0, 0, 255);
  const float l = GLYPH_TWIN_LEFT, t = GLYPH_TWIN_TOP, r = l + GLYPH_TWIN_SIZE, b = t + GLYPH_TWIN_SIZE;
  Place(0, l, t, 20.0f);
  Place(1, r, t, 20.0f);
  Place(2, r, b, 20.0f);
  Place(3, l, b, 20.0f);
  Face f = MakeFace(static_cast<uint32_t>(glyph), {0, 1, 2, 3});
  // The whole texture: 256 units on each side.
  const float st[8] = {0.0f, 0.0f, 256.0f, 0.0f, 256.0f, 256.0f, 0.0f, 256.0f};
  std::memcpy(f.st, st, sizeof st);
  RdrDrawFaceDecal(&f);
  for (const TwinPixel& p : GlyphTwinPixels()) EXPECT_EQ(Pixel(p.x, p.y), p.pixel) << p.x << " " << p.y;
}

}  // namespace
