// The object routines: depth gate, turn, light, back faces, routing, the
// lighting-off partners and the blended overlay.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <functional>

#include "backend_common/draw.h"
#include "engine3d/angle.h"
#include "facedraw_support.h"

namespace {

struct TestMesh {
  std::vector<Vertex> vertices;
  std::vector<Face> faces;
  MeshHeader header{};

  // A square of side 2 x half in the plane z = z0 around (cx, cy); the face
  // normal given; vertex normals along +z (away from the camera).
  void AddSquare(uint32_t type, float cx, float cy, float z0, float half, std::array<float, 3> normal) {
    Face f{};
    f.type = type;
    f.vertexCount = 4;
    const float corners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
    for (int c = 0; c < 4; ++c) {
      Vertex v{};
      v.x = cx + half * corners[c][0];
      v.y = cy + half * corners[c][1];
      v.z = z0;
      v.normalZ = 1024.0f;
      v.red = 200;
      v.green = 100;
      v.blue = 50;
      f.index[c] = static_cast<uint16_t>(vertices.size());
      f.st[2 * c] = corners[c][0] < 0 ? 0.0f : 255.0f;
      f.st[2 * c + 1] = corners[c][1] < 0 ? 0.0f : 255.0f;
      vertices.push_back(v);
    }
    f.normalX = normal[0];
    f.normalY = normal[1];
    f.normalZ = normal[2];
    faces.push_back(f);
  }
  MeshHeader* Header() {
    header = MeshHeader{MESH_TYPE_WORD, static_cast<uint32_t>(vertices.size()), static_cast<uint32_t>(faces.size()),
                        faces.data(), vertices.data(), {0, 0, 0}};
    return &header;
  }
};

constexpr std::array<float, 3> AWAY = {0, 0, 1024};

class ObjectTest : public FaceDrawTest {
 protected:
  void SetUp() override {
    FaceDrawTest::SetUp();
    Camera camera{};
    CamSet(&camera);
    MatViewFromCamera();
    Light light{0, 0, 1, 32.0f, 20.0f};
    LightSet(&light);
    slot_.z = 20.0f;
    slot_.viewZ = 20.0f;
  }
  uint32_t TexWord(uint32_t type, int32_t tex) { return type << 24 | static_cast<uint32_t>(tex); }
  size_t Draws(void (*member)(DrawSlot*, MeshHeader*), MeshHeader* mesh) {
    RecordStart();
    member(&slot_, mesh);
    return DrawCalls(RecordStop()).size();
  }

  DrawSlot slot_{};
};

TEST_F(ObjectTest, DepthRangeIncludesBothBounds) {
  struct Case {
    float z;
    int32_t in;
  } cases[] = {{-195.0f, 1}, {-195.01f, 0}, {1900.0f, 1}, {1900.01f, 0}, {20.0f, 1}};
  for (const Case& c : cases) {
    slot_.viewZ = c.z;
    EXPECT_EQ(RdrObjectInDepthRange(&slot_), c.in) << c.z;
  }
}

TEST_F(ObjectTest, DepthGateAtTheFarBoundAndTheAnyDepthMembers) {
  TestMesh mesh;
  mesh.AddSquare(TexWord(FACE_TEX_LIT, texA_), 0, 0, 0, 2, AWAY);
  struct Member {
    const char* name;
    void (*draw)(DrawSlot*, MeshHeader*);
    bool gated;
  } members[] = {
      {"Object", RdrDrawObject, true},
      {"TwoSided", RdrDrawObjectTwoSided, true},
      {"Lit", RdrDrawObjectLit, true},
      {"LitTwoSided", RdrDrawObjectLitTwoSided, true},
      {"Clamped", RdrDrawObjectClamped, true},
      {"LitClamped", RdrDrawObjectLitClamped, true},
      {"Yaw", RdrDrawObjectYaw, true},
      {"YawLit", RdrDrawObjectYawLit, true},
      {"YawTwoSided", RdrDrawObjectYawTwoSided, true},
      {"YawLitTwoSided", RdrDrawObjectYawLitTwoSided, true},
      {"YawAnyDepth", RdrDrawObjectYawAnyDepth, false},
      {"YawLitAnyDepth", RdrDrawObjectYawLitAnyDepth, false},
      {"YawShaded", RdrDrawObjectYawShaded, false},
      {"YawVColour", RdrDrawObjectYawVColour, true},
  };
  for (const Member& m : members) {
    SCOPED_TRACE(m.name);
    slot_.viewZ = gRdrState.objectFar;
    EXPECT_EQ(Draws(m.draw, mesh.Header()), 1u);
    slot_.viewZ = std::nextafter(gRdrState.objectFar, 1e9f);
    EXPECT_EQ(Draws(m.draw, mesh.Header()), m.gated ? 0u : 1u);
  }
}

TEST_F(ObjectTest, HeadingOnlyKeepsYWhileTheMatrixMirrorsIt) {
  TestMesh mesh;
  mesh.AddSquare(0, 1, 10, 2, 0.5f, AWAY);
  mesh.Header();
  RdrDrawObjectYaw(&slot_, &mesh.header);
  // View = (-x, -y, z) of the camera-relative position.
  EXPECT_EQ(+mesh.vertices[0].viewX, -0.5f);
  EXPECT_EQ(+mesh.vertices[0].viewY, -9.5f);
  EXPECT_EQ(+mesh.vertices[0].viewZ, 22.0f);
  EXPECT_FLOAT_EQ(+mesh.vertices[0].screenY, 240.0f + 250.0f * -9.5f / 22.0f);
  RdrDrawObject(&slot_, &mesh.header);
  EXPECT_EQ(+mesh.vertices[0].viewX, -0.5f);
  EXPECT_EQ(+mesh.vertices[0].viewY, 9.5f);
  EXPECT_EQ(+mesh.vertices[0].viewZ, 22.0f);
}

TEST_F(ObjectTest, HeadingTurnsAroundYAndIsStoredAlone) {
  TestMesh mesh;
  mesh.AddSquare(0, 1, 10, 2, 0.5f, AWAY);
  mesh.Header();
  mesh.header.angle[0] = 7;
  mesh.header.angle[1] = 1024 + 256;
  gCamera.objectAngle[0] = 3;
  gCamera.objectAngle[2] = 5;
  RdrDrawObjectYaw(&slot_, &mesh.header);
  EXPECT_EQ(gCamera.objectAngle[0], 3);
  EXPECT_EQ(gCamera.objectAngle[1], 256);
  EXPECT_EQ(gCamera.objectAngle[2], 5);
  float s = SineTable[256], c = SineTable[512];
  const Vertex& v = mesh.vertices[0];  // model (0.5, 9.5, 2)
  EXPECT_FLOAT_EQ(+v.viewX, -(c * 0.5f - s * 2.0f));
  EXPECT_FLOAT_EQ(+v.viewY, -9.5f);
  EXPECT_FLOAT_EQ(+v.viewZ, s * 0.5f + c * 2.0f + 20.0f);
}

TEST_F(ObjectTest, VertexLightWithAmbientFloorAndCap) {
  TestMesh mesh;
  mesh.AddSquare(TexWord(FACE_TEX_LIT, texA_), 0, 0, 0, 2, AWAY);
  // Light along +z, intensity 32, ambient 20.
  const std::array<float, 3> normals[4] = {{0, 0, 1024}, {0, 0, -1024}, {1024, 0, 0}, {0, 0, 256}};
  const float want[4] = {63.0f, 20.0f, 32.0f, 40.0f};
  for (int i = 0; i < 4; ++i) {
    mesh.vertices[i].normalX = normals[i][0];
    mesh.vertices[i].normalY = normals[i][1];
    mesh.vertices[i].normalZ = normals[i][2];
  }
  for (auto member : {&RdrDrawObjectLit, &RdrDrawObjectYawLit}) {
    for (Vertex& v : mesh.vertices) v.light = -1.0f;
    member(&slot_, mesh.Header());
    for (int i = 0; i < 4; ++i) EXPECT_EQ(+mesh.vertices[i].light, want[i]) << i;
  }
  // The unlit members leave the light alone.
  mesh.vertices[0].light = -1.0f;
  RdrDrawObject(&slot_, mesh.Header());
  EXPECT_EQ(+mesh.vertices[0].light, -1.0f);
}

TEST_F(ObjectTest, FacesTurnedAwayAreSkippedAndAZeroDotIsDrawn) {
  TestMesh mesh;
  mesh.AddSquare(TexWord(FACE_TEX_LIT, texA_), 0, 0, 0, 2, AWAY);
  mesh.AddSquare(TexWord(FACE_TEX_LIT, texA_), 0, 0, 0, 2, {0, 0, -1024});  // towards the camera
  mesh.AddSquare(TexWord(FACE_TEX_LIT, texA_), -2, -2, 0, 2, {1024, 0, 0});  // first corner at (0,0,20): dot 0
  mesh.Header();
  mesh.vertices[8].x = 0;
  mesh.vertices[8].y = 0;
  EXPECT_EQ(Draws(RdrDrawObject, &mesh.header), 2u);
  EXPECT_EQ(Draws(RdrDrawObjectYaw, &mesh.header), 2u);
  EXPECT_EQ(Draws(RdrDrawObjectTwoSided, &mesh.header), 3u);
  EXPECT_EQ(Draws(RdrDrawObjectYawVColour, &mesh.header), 3u);
}

TEST_F(ObjectTest, ColourFacesAndEveryOtherTypeGoToTheirRoutines) {
  TestMesh mesh;
  mesh.AddSquare(0x00102030, 0, 0, 0, 2, AWAY);
  for (uint32_t type : {FACE_TEX_LIT, FACE_SPRITE, FACE_WATER_OVERLAY, FACE_CROSS})
    mesh.AddSquare(TexWord(type, texA_), 0, 0, 0, 2, AWAY);
  mesh.Header();
  struct Member {
    const char* name;
    void (*draw)(DrawSlot*, MeshHeader*);
    const char *colour, *other;
  } members[] = {
      {"Object", RdrDrawObject, "combine 1", "combine 4"},
      {"Lit", RdrDrawObjectLit, "combine 2", "combine 6"},
      {"Clamped", RdrDrawObjectClamped, "combine 1", "combine 4"},
      {"YawShaded", RdrDrawObjectYawShaded, "combine 2", "combine 6"},
      {"YawVColour", RdrDrawObjectYawVColour, "combine 1", nullptr},
  };
  for (const Member& m : members) {
    SCOPED_TRACE(m.name);
    Fresh();
    RecordStart();
    m.draw(&slot_, &mesh.header);
    std::vector<std::string> calls = CallTexts(RecordStop());
    std::vector<std::string> combines;
    size_t draws = 0;
    for (const std::string& c : calls) {
      if (c.rfind("combine", 0) == 0) combines.push_back(c);
      if (c.rfind("polygon", 0) == 0) ++draws;
    }
    EXPECT_EQ(draws, 5u);
    std::vector<std::string> want = {m.colour};
    if (m.other) want.push_back(m.other);
    EXPECT_EQ(combines, want);
  }
}

TEST_F(ObjectTest, ClampedMembersSaturateTheDepthOfNearCorners) {
  RdrSetDepthRange(1, 1700);
  TestMesh mesh;
  mesh.AddSquare(TexWord(FACE_TEX_LIT, texA_), 0, 0, -19, 0.5f, AWAY);  // at view z 1
  using Member = void (*)(DrawSlot*, MeshHeader*);
  const std::pair<Member, float> cases[] = {
      {RdrDrawObjectClamped, 65535.0f}, {RdrDrawObjectLitClamped, 65535.0f}, {RdrDrawObject, 262140.0f}};
  for (auto [member, ooz] : cases) {
    RecordStart();
    member(&slot_, mesh.Header());
    std::vector<GfxCall> draws = DrawCalls(RecordStop());
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].vertices[0].ooz, ooz);
  }
}

TEST_F(ObjectTest, LightingOffDrawsExactlyAsTheUnlitPartner) {
  TestMesh mesh;
  mesh.AddSquare(0x00102030, -3, 0, 0, 2, AWAY);
  mesh.AddSquare(TexWord(FACE_TEX_LIT, texA_), 3, 0, 0, 2, AWAY);
  mesh.Header();
  mesh.header.angle[0] = 40;
  mesh.header.angle[1] = 100;
  mesh.header.angle[2] = 7;
  auto record = [&](auto draw) {
    Fresh();
    RecordStart();
    draw();
    return RecordStop();
  };
  struct Pair {
    const char* name;
    std::function<void()> lit, unlit;
  } pairs[] = {
      {"Lit", [&] { RdrDrawObjectLit(&slot_, &mesh.header); }, [&] { RdrDrawObject(&slot_, &mesh.header); }},
      {"LitTwoSided", [&] { RdrDrawObjectLitTwoSided(&slot_, &mesh.header); },
       [&] { RdrDrawObjectTwoSided(&slot_, &mesh.header); }},
      {"LitClamped", [&] { RdrDrawObjectLitClamped(&slot_, &mesh.header); },
       [&] { RdrDrawObjectClamped(&slot_, &mesh.header); }},
      {"YawLit", [&] { RdrDrawObjectYawLit(&slot_, &mesh.header); }, [&] { RdrDrawObjectYaw(&slot_, &mesh.header); }},
      {"YawLitTwoSided", [&] { RdrDrawObjectYawLitTwoSided(&slot_, &mesh.header); },
       [&] { RdrDrawObjectYawTwoSided(&slot_, &mesh.header); }},
      {"YawLitAnyDepth", [&] { RdrDrawObjectYawLitAnyDepth(&slot_, &mesh.header); },
       [&] { RdrDrawObjectYawAnyDepth(&slot_, &mesh.header); }},
      {"YawShaded", [&] { RdrDrawObjectYawShaded(&slot_, &mesh.header); },
       [&] { RdrDrawObjectYawAnyDepth(&slot_, &mesh.header); }},
      {"Blended", [&] { RdrDrawObjectBlended(&slot_, &mesh.header, static_cast<uint32_t>(texB_), 1.0f); },
       [&] { RdrDrawObject(&slot_, &mesh.header); }},
  };
  for (const Pair& p : pairs) {
    SCOPED_TRACE(p.name);
    RdrLightingOff();
    std::vector<GfxCall> off = record(p.lit);
    RdrLightingOn();
    std::vector<GfxCall> unlit = record(p.unlit);
    ASSERT_EQ(CallTexts(off), CallTexts(unlit));
    ASSERT_FALSE(DrawCalls(off).empty());
    for (size_t i = 0; i < off.size(); ++i) {
      ASSERT_EQ(off[i].vertices.size(), unlit[i].vertices.size());
      if (!off[i].vertices.empty()) {
        EXPECT_EQ(std::memcmp(off[i].vertices.data(), unlit[i].vertices.data(),
                              off[i].vertices.size() * sizeof(GfxVertex)),
                  0);
      }
    }
  }
}

TEST_F(ObjectTest, TheCallersVertexArrayIsRestored) {
  TestMesh mesh;
  mesh.AddSquare(TexWord(FACE_TEX_LIT, texA_), 0, 0, 0, 2, AWAY);
  RdrDrawObjectLit(&slot_, mesh.Header());
  EXPECT_EQ(gMesh.vertices, vertices_.data());
  RdrDrawObjectBlended(&slot_, mesh.Header(), static_cast<uint32_t>(texB_), 1.0f);
  EXPECT_EQ(gMesh.vertices, vertices_.data());
}

TEST_F(ObjectTest, ShadedMemberStoresTheFaceLight) {
  TestMesh mesh;
  mesh.AddSquare(0x00102030, 0, 0, 0, 2, AWAY);                    // along the light: 64, held at 63
  mesh.AddSquare(TexWord(FACE_TEX_LIT, texA_), 0, 0, 0, 2, {0, 0, 0});  // no normal: 32
  RdrDrawObjectYawShaded(&slot_, mesh.Header());
  EXPECT_EQ(+mesh.faces[0].tag, 63);
  EXPECT_EQ(+mesh.faces[1].tag, 32);
}

TEST_F(ObjectTest, FacesNamingMissingVerticesAreSkipped) {
  TestMesh mesh;
  mesh.AddSquare(TexWord(FACE_TEX_LIT, texA_), 0, 0, 0, 2, AWAY);
  mesh.AddSquare(TexWord(FACE_TEX_LIT, texA_), 0, 0, 0, 2, AWAY);
  mesh.faces[0].index[2] = 4000;
  mesh.faces[1].vertexCount = 7;
  EXPECT_EQ(Draws(RdrDrawObjectTwoSided, mesh.Header()), 0u);
}

class BlendedTest : public ObjectTest {
 protected:
  void SetUp() override {
    ObjectTest::SetUp();
    ASSERT_NE(MeshPoolAllocFaces(8), nullptr);
    gMesh.faceCount = 3;
    mesh_.AddSquare(TexWord(FACE_TEX_LIT, texA_), -3, 0, 0, 2, AWAY);
    mesh_.AddSquare(0x00102030, 0, 0, 0, 2, AWAY);
    mesh_.AddSquare(TexWord(FACE_SPRITE, texA_), 3, 0, 0, 2, AWAY);
    mesh_.AddSquare(TexWord(FACE_TEX_LIT, texA_), 0, 0, 0, 2, {0, 0, -1024});  // turned away
    for (size_t i = 0; i < mesh_.vertices.size(); ++i) {
      mesh_.vertices[i].normalX = 100.0f * static_cast<float>(i);
      mesh_.vertices[i].normalY = 50.0f;
    }
    mesh_.Header();
  }
  TestMesh mesh_;
};

TEST_F(BlendedTest, OverlayCopiesOfTheDrawnTexturedFaces) {
  Fresh();
  RecordStart();
  RdrDrawObjectBlended(&slot_, &mesh_.header, 0x0C000000u | static_cast<uint32_t>(texB_), 2.0f);
  std::vector<std::string> calls = CallTexts(RecordStop());
  // Layer one: textured, colour, textured; then the overlay of the two textured faces.
  std::vector<std::string> tail(calls.end() - 6, calls.end());
  std::vector<std::string> want = {"alpha 3", "combine 9", "texture " + std::to_string(texB_), "polygon 4",
                                   "polygon 4", "alpha 2"};
  EXPECT_EQ(tail, want);
  EXPECT_EQ(gMesh.faceCount, 3);
  EXPECT_EQ(gRdrCache.combine, GFX_COMBINE_TEXTURE_TIMES_ALPHA);
  EXPECT_EQ(gRdrCache.texture, texB_);
  // The copies: corners of the faces, s, t from the turned vertex normals
  // (all angles 0: y mirrored).
  const Face* copies = gMesh.faces + 3;
  for (int k = 0; k < 2; ++k) {
    const Face& source = mesh_.faces[k == 0 ? 0 : 2];
    EXPECT_EQ(+copies[k].vertexCount, 4);
    for (int c = 0; c < 4; ++c) {
      EXPECT_EQ(+copies[k].index[c], +source.index[c]);
      const Vertex& v = mesh_.vertices[source.index[c]];
      EXPECT_EQ(+copies[k].st[2 * c], 0.5f * v.normalX);
      EXPECT_EQ(+copies[k].st[2 * c + 1], 0.5f * -v.normalY);
    }
  }
}

TEST_F(BlendedTest, CopiesStayWithinTheReservedMargin) {
  gMesh.faceCount = gMesh.faceCapacity + MESH_SCRATCH_FACES - 1;
  RecordStart();
  RdrDrawObjectBlended(&slot_, &mesh_.header, static_cast<uint32_t>(texB_), 2.0f);
  std::vector<std::string> calls = CallTexts(RecordStop());
  size_t afterAlpha = std::find(calls.begin(), calls.end(), "alpha 3") - calls.begin();
  ASSERT_LT(afterAlpha, calls.size());
  size_t overlayDraws = std::count(calls.begin() + static_cast<long>(afterAlpha), calls.end(), "polygon 4");
  EXPECT_EQ(overlayDraws, 1u);
}

}  // namespace
