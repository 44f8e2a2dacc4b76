// The clipper, the face pipeline and the face routines, through the device
// calls they make and the work polygon they hand over.
#include <cmath>
#include <functional>
#include <string>

#include "backend_common/display.h"
#include "face_fixture.h"
#include "support/renderer_twins.h"

namespace {

struct Corner {
  float x, y, z;
  uint32_t diffuse;
  float tu;
};

RdrVertex ViewCorner(const Corner& c) {
  RdrVertex v{};
  v.sx = c.x;
  v.sy = c.y;
  v.sz = c.z;
  v.diffuse = c.diffuse;
  v.tu = c.tu;
  return v;
}

void LoadWork(std::initializer_list<Corner> corners) {
  uint32_t n = 0;
  for (const Corner& c : corners) gRdrPoly.work[n++] = ViewCorner(c);
  gRdrPoly.work[n] = gRdrPoly.work[0];
  gRdrPoly.count = n;
}

std::vector<Corner> ClipOutput() {
  std::vector<Corner> out;
  for (uint32_t i = 0; i < gRdrPoly.count; ++i) {
    const RdrVertex& v = gRdrPoly.clip[i];
    out.push_back({v.sx, v.sy, v.sz, v.diffuse, v.tu});
  }
  return out;
}

bool operator==(const Corner& a, const Corner& b) {
  return a.x == b.x && a.y == b.y && a.z == b.z && a.diffuse == b.diffuse && a.tu == b.tu;
}

std::ostream& operator<<(std::ostream& os, const Corner& c) {
  return os << "(" << c.x << " " << c.y << " " << c.z << " " << std::hex << c.diffuse << std::dec << " " << c.tu
            << ")";
}

TEST_F(D3dFaceTest, NearClipEmitsTheExpectedCornersWithAlpha255) {
  struct Case {
    const char* name;
    std::vector<Corner> in, out;
  };
  // Near plane 10; every corner the clipper emits is opaque.
  const Case cases[] = {
      {"one in front, two behind: a triangle",
       {{0, 0, 20, 0x80000000, 0}, {8, 0, 4, 0x00800000, 1}, {-8, 0, 4, 0x00400000, 1}},
       {{0, 0, 20, 0xFF000000, 0}, {5, 0, 10, 0xFF500000, 0.625f}, {-5, 0, 10, 0xFF280000, 0.625f}}},
      {"two in front: four corners",
       {{0, 0, 20, 0, 0}, {8, 0, 20, 0, 0}, {4, 0, 4, 0, 0}},
       {{0, 0, 20, 0xFF000000, 0}, {8, 0, 20, 0xFF000000, 0}, {5.5f, 0, 10, 0xFF000000, 0},
        {2.5f, 0, 10, 0xFF000000, 0}}},
      // The edge from (8, 8) to (8, 0) has one x: it is cut from its second end.
      {"a quad with one corner behind: five",
       {{0, 0, 20, 0, 0}, {8, 0, 20, 0, 0}, {8, 8, 4, 0, 0}, {0, 8, 20, 0, 0}},
       {{0, 0, 20, 0xFF000000, 0}, {8, 0, 20, 0xFF000000, 0}, {8, 5, 10, 0xFF000000, 0},
        {5, 8, 10, 0xFF000000, 0}, {0, 8, 20, 0xFF000000, 0}}},
      {"a corner on the plane is inside and unchanged",
       {{0, 0, 10, 0x12345678, 0.5f}, {8, 0, 20, 0, 0}, {0, 8, 20, 0, 0}},
       {{0, 0, 10, 0xFF345678, 0.5f}, {8, 0, 20, 0xFF000000, 0}, {0, 8, 20, 0xFF000000, 0}}},
      {"all behind: nothing", {{0, 0, 5, 0, 0}, {8, 0, 5, 0, 0}, {0, 8, 9.99f, 0, 0}}, {}},
  };
  for (const Case& c : cases) {
    LoadWork({c.in[0], c.in[1], c.in[2]});
    if (c.in.size() == 4) LoadWork({c.in[0], c.in[1], c.in[2], c.in[3]});
    RdrClipNear();
    EXPECT_EQ(ClipOutput(), c.out) << c.name;
  }
  // The far plane keeps what lies at or before it.
  gRdrState.farPlane = 15.0f;
  LoadWork({{0, 0, 10, 0, 0}, {8, 0, 20, 0, 0}, {0, 8, 12, 0, 0}});
  RdrClipFar();
  EXPECT_EQ(ClipOutput(), (std::vector<Corner>{{0, 0, 10, 0xFF000000, 0}, {4, 0, 15, 0xFF000000, 0},
                                               {3, 5, 15, 0xFF000000, 0}, {0, 8, 12, 0xFF000000, 0}}));
}

TEST_F(D3dFaceTest, AnEdgeIsCutAtOnePointWhicheverWayItRuns) {
  // A two-corner polygon walks its one edge both ways.
  LoadWork({{0.1f, 0.3f, 20.7f, 0, 0.2f}, {7.3f, 2.9f, 3.1f, 0, 0.9f}});
  RdrClipNear();
  ASSERT_EQ(+gRdrPoly.count, 3u);
  EXPECT_EQ(std::memcmp(&gRdrPoly.clip[1], &gRdrPoly.clip[2], sizeof(RdrVertex)), 0);
  EXPECT_NE(+gRdrPoly.clip[1].sx, 0.1f);

  // With one x, each way starts at the edge's second corner.
  const RdrVertex p = ViewCorner({4, 0.1f, 20.3f, 0, 0}), q = ViewCorner({4, 7.7f, 3.3f, 0, 0});
  LoadWork({{4, 0.1f, 20.3f, 0, 0}, {4, 7.7f, 3.3f, 0, 0}});
  RdrClipNear();
  const double tq = (10.0 - q.sz) / (double(p.sz) - q.sz), tp = (10.0 - p.sz) / (double(q.sz) - p.sz);
  EXPECT_EQ(+gRdrPoly.clip[1].sy, static_cast<float>(q.sy + (double(p.sy) - q.sy) * tq));
  EXPECT_EQ(+gRdrPoly.clip[2].sy, static_cast<float>(p.sy + (double(q.sy) - p.sy) * tp));
}

TEST_F(D3dFaceTest, PipelineRejectsClipsAndSubmits) {
  struct Case {
    const char* name;
    std::function<void(D3dFaceTest*)> place;
    bool quad;
    std::string draw;  // the DrawPrimitive call's head; empty: no device call at all
  };
  const Case cases[] = {
      {"all before the near plane",
       [](D3dFaceTest* t) { t->Place(0, 100, 100, 5), t->Place(1, 200, 100, 9), t->Place(2, 100, 200, 9.9f); },
       false, ""},
      {"beyond the far plane",
       [](D3dFaceTest* t) { t->Place(0, 100, 100, 1001), t->Place(1, 200, 100, 2000), t->Place(2, 100, 200, 3000); },
       false, ""},
      {"left of the window",
       [](D3dFaceTest* t) { t->Place(0, -30, 100, 50), t->Place(1, -1, 100, 50), t->Place(2, -10, 200, 50); },
       false, ""},
      {"a triangle inside: a list of 3",
       [](D3dFaceTest* t) { t->Place(0, 100, 100, 50), t->Place(1, 200, 100, 50), t->Place(2, 100, 200, 50); },
       false, "DrawPrimitive 4 3 28"},
      {"a box touching the window's edges",
       [](D3dFaceTest* t) { t->Place(0, 0, 0, 50), t->Place(1, 639, 0, 50), t->Place(2, 639, 479, 50); }, false,
       "DrawPrimitive 4 3 28"},
      {"a box crossing the window's edge",
       [](D3dFaceTest* t) { t->Place(0, -0.5f, 0, 50), t->Place(1, 639, 0, 50), t->Place(2, 639, 479, 50); },
       false, "DrawPrimitive 4 3 24"},
      {"a quad inside: a fan of 4",
       [](D3dFaceTest* t) {
         t->Place(0, 100, 100, 50), t->Place(1, 200, 100, 50), t->Place(2, 200, 200, 50), t->Place(3, 100, 200, 50);
       },
       true, "DrawPrimitive 6 4 28"},
      {"a triangle with one corner behind the near plane: a fan of 4",
       [](D3dFaceTest* t) { t->PlaceView(0, -20, 0, 50), t->PlaceView(1, 20, 0, 50), t->PlaceView(2, 0, 2, 5); },
       false, "DrawPrimitive 6 4 28"},
  };
  for (const Case& c : cases) {
    c.place(this);
    Face f = c.quad ? MakeFace(0x000000FF, {0, 1, 2, 3}) : MakeFace(0x000000FF, {0, 1, 2});
    Fresh();
    RdrDrawFaceFlat(&f);
    const std::vector<std::string> draws = Calls("DrawPrimitive");
    if (c.draw.empty()) {
      EXPECT_TRUE(calls.empty()) << c.name;
      continue;
    }
    ASSERT_EQ(draws.size(), 1u) << c.name;
    EXPECT_EQ(draws[0].rfind(c.draw + " ", 0), 0u) << c.name << ": " << draws[0];
  }
}

TEST_F(D3dFaceTest, AFaceCrossingBothPlanesIsClippedAtTheNearOneOnly) {
  PlaceView(0, 0, 0, 5);
  PlaceView(1, 400, 0, 2000);
  PlaceView(2, -400, 100, 2000);
  Face f = MakeFace(0x00FFFFFF, {0, 1, 2});
  Fresh();
  RdrDrawFaceFlat(&f);
  ASSERT_EQ(+gRdrPoly.count, 4u);
  // The far corners reach the device at their own depth.
  int far = 0;
  for (uint32_t i = 0; i < 4; ++i) far += gRdrPoly.work[i].rhw == 1.0f / 2000.0f;
  EXPECT_EQ(far, 2);
  EXPECT_EQ(Calls("DrawPrimitive").size(), 1u);
}

// What a routine leaves in the device and the work polygon.
struct Drawn {
  uint32_t diffuse;
  uint16_t mode;
  bool statesA, statesB;
  std::vector<std::string> textures;
};

TEST_F(D3dFaceTest, RoutinesColourBindAndSetTheirStates) {
  const int32_t tex = MakeTexture(2, 2, std::vector<uint16_t>(4, 0xFFFF));
  const std::string bound = "SetTexture 0 " + std::to_string(gTexSurfaces[tex].texture), none = "SetTexture 0 0";
  auto light = [](int r, int g, int b, uint8_t coloured) {
    LightSetColour(r, g, b);
    gRdrState.colouredLight = coloured;
  };
  struct Case {
    const char* name;
    std::function<void(Face*)> draw;
    uint32_t word;        // the face word's low 24 bits (textured: the texture id)
    float vertexLight;    // every corner's light
    uint8_t faceLight;    // the face's light byte
    std::function<void()> setUp;
    uint32_t diffuse;     // corner 0's
    uint16_t mode;        // the stage mode after the draw; unknown when not set
    char states;          // 'A', 'B' or '-'
    int texture;          // 0 none bound, 1 the face's, -1 no SetTexture at all
  };
  const uint32_t T = static_cast<uint32_t>(tex);
  const Case cases[] = {
      {"flat: the face word in device order", RdrDrawFaceFlat, 0x332211, 0, 0, [&] { light(255, 255, 255, 0); },
       0x00112233, 0, 'A', 0},
      {"wire", RdrDrawFaceWire, 0xFFFFFF, 0, 0, [&] { light(255, 255, 255, 0); }, 0x00FFFFFF, 0, 'A', 0},
      {"gouraud: 255 x 255/256 x 64/64", RdrDrawFaceGouraud, 0x0000FF, 64, 0, [&] { light(255, 255, 255, 0); },
       0x00FE0000, 1, 'A', 0},
      {"shaded: by the face light", RdrDrawFaceShaded, 0x0000FF, 0, 32, [&] { light(255, 255, 255, 0); },
       0x007F0000, 1, 'A', 0},
      {"flat alpha: first vertex colour, alpha from the word", RdrDrawFaceFlatAlpha, 0x000080, 0, 0,
       [&] { light(255, 255, 255, 0); }, 0x800A141E, 2, 'B', 0},
      {"vertex colour: the caller's states", RdrDrawFaceVColour, 0x000040, 0, 0, [&] { light(255, 255, 255, 0); },
       0x400A141E, RDR_MODE_UNKNOWN, '-', -1},
      {"water: black at alpha 200", RdrDrawFaceWater, T, 0, 0, [&] { light(255, 255, 255, 0); }, 0xC8000000, 4,
       'B', 1},
      {"lit texture, grey: 64 x 3.984375", RdrDrawFaceTexLit, T, 64, 0, [&] { light(255, 128, 0, 0); }, 0x00FFFFFF,
       1, '-', 1},
      {"lit texture, coloured light at 32", RdrDrawFaceTexLit, T, 32, 0, [&] { light(255, 128, 0, 1); }, 0x007F4000,
       1, '-', 1},
      {"decal", RdrDrawFaceDecal, T, 0, 0, [&] { light(255, 255, 255, 0); }, 0x00000000, 0, '-', 1},
      {"vertex-coloured texture, lit", RdrDrawFaceTexVColour, T, 32, 0, [&] { light(255, 255, 255, 0); },
       0x0004090E, 1, '-', 1},
      {"vertex-coloured texture, unlit", RdrDrawFaceTexVColourUnlit, T, 0, 0, [&] { light(128, 255, 255, 0); },
       0x0005131D, 1, '-', 1},
      {"shaded texture", RdrDrawFaceTexShaded, T, 0, 16, [&] { light(255, 128, 64, 0); }, 0x003F2010, 1, '-', 1},
      {"flat alpha in a given colour", [](Face* f) { RdrDrawFaceFlatAlphaRgb(f, 0x11, 0x22, 0x133); }, 0x000080, 0, 0,
       [&] { light(255, 255, 255, 0); }, 0x80112233, 2, 'B', 0},
      {"vertex colour, lit", RdrDrawFaceVColourLit, 0, 32, 0, [&] { light(255, 255, 255, 0); }, 0x0004090E, 1, 'A',
       0},
      {"vertex colour, opaque", RdrDrawFaceVColourOpaque, 0x000040, 0, 0, [&] { light(255, 255, 255, 0); },
       0x000A141E, 1, 'A', 0},
      {"lit texture, clamped: the light colour even with the flag clear", RdrDrawFaceTexLitClamped, T, 32, 0,
       [&] { light(255, 128, 0, 0); }, 0x007F4000, 1, '-', 1},
      {"decal, clamped", RdrDrawFaceDecalClamped, T, 0, 0, [&] { light(255, 255, 255, 0); }, 0x00000000, 0, '-', 1},
  };
  for (const Case& c : cases) {
    c.setUp();
    for (int i = 0; i < 3; ++i) {
      Vertex& v = Place(i, 100.0f + 50 * (i == 1), 100.0f + 50 * (i == 2), 50);
      v.red = 10, v.green = 20, v.blue = 30;
      v.light = c.vertexLight;
    }
    Face f = MakeFace(c.word, {0, 1, 2});
    f.tag = c.faceLight;
    gRdrPoly.work[0].diffuse = 0;
    Fresh();
    c.draw(&f);
    ASSERT_EQ(Calls("DrawPrimitive").size(), std::string(c.name) == "wire" ? 3u : 1u) << c.name;
    EXPECT_EQ(+gRdrPoly.work[0].diffuse, +c.diffuse) << c.name;
    EXPECT_EQ(gRdrCache, +c.mode) << c.name;
    EXPECT_EQ(Has("SetRenderState ALPHATESTENABLE 0"), c.states == 'A') << c.name;
    EXPECT_EQ(Has("SetRenderState SRCBLEND 5") && Has("SetRenderState SRCBLEND 2"), c.states == 'B') << c.name;
    const std::vector<std::string> textures = Calls("SetTexture ");
    if (c.texture < 0)
      EXPECT_TRUE(textures.empty()) << c.name;
    else
      EXPECT_EQ(textures, std::vector<std::string>{c.texture ? bound : none}) << c.name;
  }
}

TEST_F(D3dFaceTest, TranslucentColoursKeepTheirAlphaThroughAClip) {
  PlaceView(0, -20, 0, 50).red = 10;
  PlaceView(1, 20, 0, 50);
  PlaceView(2, 0, 20, 5);
  vertices_[0].green = 20, vertices_[0].blue = 30;
  Face f = MakeFace(0x000080, {0, 1, 2});
  Fresh();
  RdrDrawFaceFlatAlpha(&f);
  ASSERT_EQ(+gRdrPoly.count, 4u);
  for (uint32_t i = 0; i < 4; ++i) EXPECT_EQ(+gRdrPoly.work[i].diffuse, 0x800A141Eu) << i;
  // A colour written while gathering is interpolated and comes out opaque.
  vertices_[0].light = vertices_[1].light = vertices_[2].light = 64;
  RdrDrawFaceGouraud(&f);
  EXPECT_EQ(gRdrPoly.work[0].diffuse >> 24, 0xFFu);
}

TEST_F(D3dFaceTest, BiasedRoutinesMoveTheDepthOnly) {
  // D1: 50 - 100 is raised to 6.
  for (int i = 0; i < 3; ++i) Place(i, 100.0f + 50 * (i == 1), 100.0f + 50 * (i == 2), 50);
  Face f = MakeFace(0x000080, {0, 1, 2});
  RdrDrawFaceFlatAlphaBiased(&f, 100.0f);
  EXPECT_EQ(+gRdrPoly.work[0].rhw, 1.0f / 6.0f);
  EXPECT_EQ(+gRdrPoly.work[0].sz, 1.0f - 1.0f / 6.0f);
  EXPECT_EQ(+gRdrPoly.work[0].sx, 100.0f);

  // D2: at 10.5 - 10 the corner is held just behind the eye; at 12 - 10 it is 2 away.
  gRdrState.nearPlane = 1.0f;
  Place(0, 100, 100, 10.5f);
  Place(1, 150, 100, 12.0f);
  Place(2, 100, 150, 12.0f);
  vertices_[1].red = 200;
  RdrDrawFaceVertexColours(&f, 10.0f);
  uint32_t bits = 0;
  std::memcpy(&bits, &gRdrPoly.work[0].rhw, 4);
  EXPECT_EQ(bits, 0x3F7FF972u);
  EXPECT_EQ(+gRdrPoly.work[0].sz, 0.0f);
  EXPECT_EQ(+gRdrPoly.work[1].rhw, 0.5f);
  EXPECT_EQ(+gRdrPoly.work[1].sz, 0.5f);
  EXPECT_EQ(+gRdrPoly.work[1].diffuse, 0x80C80000u);
}

// Five texels of the texture's width: a 64 x 16 texture from the archives
// has an s range of 256 (its long side), but its ripple is 5/64 either way.
TEST_F(D3dFaceTest, WaterRipplesWithinFiveTexelsAndRepeatsEvery1024) {
  const int32_t tex = MakeTexture(64, 16, std::vector<uint16_t>(64 * 16, 0x1234));
  gTextureTable.entries[tex].sRange = 256;
  Face f = MakeFace(static_cast<uint32_t>(tex), {0, 1, 2});
  float largest = 0.0f;
  for (float phase : {0.0f, 100.0f, 333.5f, 2000.0f}) {
    gRdrWave = 0.0f;
    RdrAdvanceWave(phase / 2, 7.0f);
    for (float z : {0.0f, 256.0f, 700.25f}) {
      Place(0, 100, 100, 50).z = z;
      Place(1, 150, 100, 50).z = z + 1024.0f;
      Place(2, 100, 150, 50).z = z + 3.0f;
      RdrDrawFaceWater(&f);
      const float offset = gRdrPoly.work[0].tu - f.st[0];
      EXPECT_LE(std::fabs(offset), 5.0f / 64.0f + 1e-6f);
      EXPECT_NEAR(gRdrPoly.work[1].tu - f.st[2], offset, 1e-6f) << phase << " " << z;
      largest = std::max(largest, std::fabs(offset));
    }
  }
  EXPECT_GT(largest, 0.05f);
}

TEST_F(D3dFaceTest, PointsAreDrawnInsideTheWindowAtAnyDepth) {
  struct Case {
    float x, y, z;
    bool drawn;
  };
  const Case cases[] = {{639, 100, 50, true}, {639.01f, 100, 50, false}, {0, 0, 50, true},
                        {300, 300, 5000, true}, {300, 480, 50, false}, {300, 300, 0, false}};
  for (const Case& c : cases) {
    Vertex& v = Place(0, c.x, c.y, c.z);
    v.red = 1, v.green = 2, v.blue = 3;
    for (auto draw : {RdrDrawPoint, RdrDrawPointInside}) {
      Fresh();
      draw(&v);
      const std::vector<std::string> draws = Calls("DrawPrimitive");
      ASSERT_EQ(draws.size(), c.drawn ? 1u : 0u) << c.x << " " << c.y << " " << c.z;
      if (!c.drawn) continue;
      EXPECT_EQ(draws[0].rfind("DrawPrimitive 1 1 24 ", 0), 0u) << draws[0];
      EXPECT_EQ(+gRdrPoly.work[0].diffuse, 0x00010203u);
      EXPECT_EQ(+gRdrPoly.work[0].rhw, 1.0f / c.z);
      EXPECT_TRUE(Has("SetRenderState ALPHATESTENABLE 0") && Has("SetTexture 0 0"));
    }
  }
}

TEST_F(D3dFaceTest, WireDrawsEveryEdgeOfWhatTheClipLeft) {
  struct Case {
    const char* name;
    std::function<void(D3dFaceTest*)> place;
    bool quad;
    size_t lines;
  };
  const Case cases[] = {
      {"triangle", [](D3dFaceTest* t) { t->PlaceView(0, 0, 0, 50), t->PlaceView(1, 20, 0, 50), t->PlaceView(2, 0, 20, 50); },
       false, 3},
      {"quad",
       [](D3dFaceTest* t) {
         t->PlaceView(0, 0, 0, 50), t->PlaceView(1, 20, 0, 50), t->PlaceView(2, 20, 20, 50), t->PlaceView(3, 0, 20, 50);
       },
       true, 4},
      {"quad clipped to five corners",
       [](D3dFaceTest* t) {
         t->PlaceView(0, 0, 0, 50), t->PlaceView(1, 20, 0, 50), t->PlaceView(2, 20, 20, 5), t->PlaceView(3, 0, 20, 50);
       },
       true, 5},
  };
  for (const Case& c : cases) {
    c.place(this);
    Face f = c.quad ? MakeFace(0xFFFFFF, {0, 1, 2, 3}) : MakeFace(0xFFFFFF, {0, 1, 2});
    Fresh();
    RdrDrawFaceWire(&f);
    const std::vector<std::string> lines = Calls("DrawPrimitive 2 2 24 ");
    EXPECT_EQ(lines.size(), +c.lines) << c.name;
    EXPECT_EQ(Calls("DrawPrimitive").size(), +c.lines) << c.name;
    // The last edge closes on the first corner.
    const std::string first = lines.front().substr(lines.front().find('('));
    EXPECT_EQ(lines.back().substr(lines.back().rfind('(')), first.substr(0, first.find(')') + 1)) << c.name;
  }
}

TEST_F(D3dFaceTest, TexturesAreBoundPerFaceAndStageStatesOnlyOnAChange) {
  const int32_t a = MakeTexture(2, 2, std::vector<uint16_t>(4, 0xF800));
  const int32_t b = MakeTexture(2, 2, std::vector<uint16_t>(4, 0x07E0));
  for (int i = 0; i < 3; ++i) Place(i, 100.0f + 50 * (i == 1), 100.0f + 50 * (i == 2), 50);
  Face fa = MakeFace(static_cast<uint32_t>(a), {0, 1, 2}), fb = MakeFace(static_cast<uint32_t>(b), {0, 1, 2});
  Fresh();
  RdrDrawFaceDecal(&fa);
  RdrDrawFaceDecal(&fb);
  EXPECT_EQ(Calls("SetTexture ").size(), 2u);
  EXPECT_EQ(Calls("SetTextureStageState 0 COLOROP").size(), 1u);

  // An id past the table's count draws nothing and touches nothing.
  Face missing = MakeFace(static_cast<uint32_t>(gTextureTable.count), {0, 1, 2});
  calls.clear();
  for (auto draw : {RdrDrawFaceDecal, RdrDrawFaceTexLit, RdrDrawFaceWater}) draw(&missing);
  EXPECT_TRUE(calls.empty());
}

TEST_F(D3dFaceTest, OperationsThatSetStageZeroLeaveTheCacheSayingSo) {
  for (int i = 0; i < 3; ++i) Place(i, 100.0f + 50 * (i == 1), 100.0f + 50 * (i == 2), 50);
  const int32_t tex = MakeTexture(2, 2, std::vector<uint16_t>(4, 0));
  Face f = MakeFace(static_cast<uint32_t>(tex), {0, 1, 2});
  DisplayMode mode = *gDisplayModes[2];
  const std::pair<const char*, std::function<void()>> operations[] = {
      {"RdrSetTextureDecal", [] { RdrSetTextureDecal(); }},
      {"RdrSetMode", [&] { ASSERT_TRUE(RdrSetMode(&mode, 0)); }},
      {"RdrOpen", [this] {
         gMesh.vertices = nullptr;
         RdrClose();
         Open();
         gMesh.vertices = vertices_.data();
         MakeTexture(2, 2, std::vector<uint16_t>(4, 0));
       }},
  };
  for (const auto& [name, operation] : operations) {
    gRdrCache = 1;
    operation();
    EXPECT_EQ(gRdrCache, 0) << name;
    calls.clear();
    RdrDrawFaceDecal(&f);
    EXPECT_TRUE(Calls("SetTextureStageState").empty()) << name;
    EXPECT_EQ(Calls("DrawPrimitive").size(), 1u) << name;
  }
}

// A glyph cell at half its size, with torvane's pixels
// (support/renderer_twins.h): each pixel shows the texel under its centre.
TEST_F(D3dFaceTest, AHalfSizeGlyphCellShowsTheTexelsUnderItsPixelCentresAsTorvanes) {
  const int32_t glyph = MakeTexture(16, 16, GlyphTwinTexels());
  // Filtering off, as the text is drawn with the launcher's setting off.
  HalD3dSetTextureStageState(gD3d.device, 0, HAL_TSS_MAGFILTER, HAL_TFG_POINT);
  HalD3dSetTextureStageState(gD3d.device, 0, HAL_TSS_MINFILTER, HAL_TFG_POINT);
  RdrClear(0, 0, 255);
  const float l = GLYPH_TWIN_LEFT, t = GLYPH_TWIN_TOP, r = l + GLYPH_TWIN_SIZE, b = t + GLYPH_TWIN_SIZE;
  Place(0, l, t, 20.0f);
  Place(1, r, t, 20.0f);
  Place(2, r, b, 20.0f);
  Place(3, l, b, 20.0f);
  Face f = MakeFace(static_cast<uint32_t>(glyph), {0, 1, 2, 3});
  RdrDrawFaceDecal(&f);
  for (const TwinPixel& p : GlyphTwinPixels()) EXPECT_EQ(BackPixel(p.x, p.y), p.pixel) << p.x << " " << p.y;
}

}  // namespace
