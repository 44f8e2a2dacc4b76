// The object drawers through the recorded device calls: depth bounds, back
// faces, vertex light, the lighting-off twins, the heading turn, the filter
// flag, the vertex-colour member and the overlay copies of the blended one.
#include <array>
#include <cmath>
#include <sstream>
#include <string>

#include "backend_common/display.h"
#include "face_fixture.h"

namespace {

struct TestMesh {
  std::vector<Vertex> vertices;
  std::vector<Face> faces;
  MeshHeader header{};

  // A square of side 2 x half in the plane z = z0 around (cx, cy) with the
  // given face normal; vertex normals along `vertexNormal`.
  void AddSquare(uint32_t type, float cx, float cy, float z0, float half, std::array<float, 3> normal,
                 std::array<float, 3> vertexNormal = {0, 0, -1024}) {
    Face f{};
    f.type = type;
    f.vertexCount = 4;
    const float corners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
    for (int c = 0; c < 4; ++c) {
      Vertex v{};
      v.x = cx + half * corners[c][0];
      v.y = cy + half * corners[c][1];
      v.z = z0;
      v.normalX = vertexNormal[0];
      v.normalY = vertexNormal[1];
      v.normalZ = vertexNormal[2];
      v.red = 200;
      v.green = 100;
      v.blue = 50;
      f.index[c] = static_cast<uint16_t>(vertices.size());
      f.st[2 * c] = corners[c][0] < 0 ? 0.0f : 1.0f;
      f.st[2 * c + 1] = corners[c][1] < 0 ? 0.0f : 1.0f;
      vertices.push_back(v);
    }
    f.normalX = normal[0];
    f.normalY = normal[1];
    f.normalZ = normal[2];
    faces.push_back(f);
  }
  MeshHeader* Header(uint8_t filter = 1) {
    header = MeshHeader{MESH_TYPE_WORD, static_cast<uint32_t>(vertices.size()), static_cast<uint32_t>(faces.size()),
                        faces.data(), vertices.data(), {0, 0, 0}, filter};
    return &header;
  }
};

// Seen from a camera that looks along +z: normals point into the surface.
constexpr std::array<float, 3> FRONT = {0, 0, 1024};
constexpr std::array<float, 3> BACK = {0, 0, -1024};
constexpr std::array<float, 3> ALONG_LIGHT = {0, 0, 1024}, AGAINST_LIGHT = {0, 0, -1024};
using Drawer = void (*)(DrawSlot*, MeshHeader*);

class D3dObjectTest : public D3dFaceTest {
 protected:
  void SetUp() override {
    D3dFaceTest::SetUp();
    gRdrState.objectNear = gRdrState.nearPlane - 200.0f;
    gRdrState.objectFar = gRdrState.farPlane + 200.0f;
    gRdrState.vertexLighting = 1;
    Camera camera{};
    CamSet(&camera);
    MatViewFromCamera();
    LightSetColour(255, 255, 255);
    Light light{0, 0, 1, 32.0f, 20.0f};
    LightSet(&light);
    tex_ = MakeTexture(2, 2, {0xF800, 0x07E0, 0x001F, 0xFFFF});
    // A small world face pool: its reserve holds the drawers' scratch faces.
    pool_.assign(static_cast<size_t>(POOL + MESH_SCRATCH_FACES), Face{});
    gMesh.faces = pool_.data();
    gMesh.faceCapacity = POOL;
    gMesh.faceCount = 2;
    slot_.z = 20.0f;
    slot_.viewZ = 20.0f;
  }
  void TearDown() override {
    gMesh.faces = nullptr;
    gMesh.faceCapacity = gMesh.faceCount = 0;
    D3dFaceTest::TearDown();
  }
  uint32_t TexWord() const { return uint32_t{FACE_TEX_LIT} << 24 | static_cast<uint32_t>(tex_); }
  std::vector<std::string> Draw(Drawer drawer, MeshHeader* mesh) {
    Fresh();
    drawer(&slot_, mesh);
    return Calls("DrawPrimitive");
  }
  // The diffuse values of a recorded draw's corners, as hex text.
  static std::vector<std::string> Diffuse(const std::string& draw) {
    std::vector<std::string> out;
    for (size_t at = draw.find('('); at != std::string::npos; at = draw.find('(', at + 1)) {
      std::istringstream corner(draw.substr(at + 1));
      std::string field;
      for (int i = 0; i < 5; ++i) corner >> field;
      out.push_back(field);
    }
    return out;
  }

  static constexpr int32_t POOL = 8;
  std::vector<Face> pool_;
  int32_t tex_ = 0;
  DrawSlot slot_{};
};

struct Member {
  const char* name;
  Drawer draw;
  bool gated;
  size_t draws = 1;  // of a one-face textured mesh
};

void YawVColour(DrawSlot* slot, MeshHeader* mesh) { RdrDrawObjectYawVColour(slot, mesh, 0x80); }
// Texture 0 is the fixture's first: the overlay draws too.
void Blended(DrawSlot* slot, MeshHeader* mesh) { RdrDrawObjectBlended(slot, mesh, 0, 64.0f); }

const Member MEMBERS[] = {
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
    {"YawVColour", YawVColour, true},
    {"Blended", Blended, true, 2},
};

TEST_F(D3dObjectTest, EveryMemberKeepsItsDepthBoundsAndRestoresTheVertexArray) {
  TestMesh mesh;
  mesh.AddSquare(TexWord(), 0, 0, 0, 2, FRONT);
  Vertex* const world = gMesh.vertices;
  const struct {
    float z;
    bool inside;
  } depths[] = {{-190.0f, true},
                {std::nextafter(-190.0f, -1e9f), false},
                {1200.0f, true},
                {std::nextafter(1200.0f, 1e9f), false}};
  for (const Member& m : MEMBERS) {
    for (const auto& d : depths) {
      SCOPED_TRACE(std::string(m.name) + " at " + std::to_string(d.z));
      slot_.viewZ = d.z;
      EXPECT_EQ(Draw(m.draw, mesh.Header()).size(), d.inside || !m.gated ? m.draws : 0u);
      EXPECT_EQ(gMesh.vertices, world);
      EXPECT_EQ(gRdrObjectVertexCount, -1);
    }
  }
}

TEST_F(D3dObjectTest, BackFacesAreSkippedAndAZeroDotProductIsDrawn) {
  const struct {
    const char* name;
    std::array<float, 3> normal;
    size_t oneSided, twoSided;
  } cases[] = {
      {"front", FRONT, 1, 1},
      {"back", BACK, 0, 1},
      // The first corner lies at view (-2, 0, 20): a normal along y is at
      // right angles to the line of sight to it.
      {"edge-on", {0, 1024, 0}, 1, 1},
  };
  for (const auto& c : cases) {
    TestMesh mesh;
    mesh.AddSquare(0x00112233, 0, 2, 0, 2, c.normal);
    EXPECT_EQ(Draw(RdrDrawObject, mesh.Header()).size(), c.oneSided) << c.name;
    EXPECT_EQ(Draw(RdrDrawObjectYawLit, mesh.Header()).size(), c.oneSided) << c.name;
    EXPECT_EQ(Draw(RdrDrawObjectTwoSided, mesh.Header()).size(), c.twoSided) << c.name;
    EXPECT_EQ(Draw(RdrDrawObjectLitClamped, mesh.Header()).size(), c.oneSided) << c.name;
    EXPECT_EQ(Draw(RdrDrawObjectYawLitTwoSided, mesh.Header()).size(), c.twoSided) << c.name;
  }
}

TEST_F(D3dObjectTest, VertexLightIsHeldBelow64AndRaisedToTheAmbient) {
  const struct {
    float intensity, ambient;
    std::array<float, 3> normal;  // the light travels along +z
    float light;
  } cases[] = {
      {40.0f, 20.0f, ALONG_LIGHT, 63.0f},    // 72
      {32.0f, 20.0f, ALONG_LIGHT, 63.0f},    // exactly 64
      {31.5f, 20.0f, ALONG_LIGHT, 63.5f},    // stays
      {20.0f, 20.0f, AGAINST_LIGHT, 20.0f},  // 12, below the ambient
  };
  for (const auto& c : cases) {
    Light light{0, 0, 1, c.intensity, c.ambient};
    LightSet(&light);
    TestMesh mesh;
    mesh.AddSquare(TexWord(), 0, 0, 0, 2, FRONT, c.normal);
    Draw(RdrDrawObjectLit, mesh.Header());
    for (const Vertex& v : mesh.vertices) EXPECT_EQ(+v.light, c.light) << c.intensity;
  }
}

TEST_F(D3dObjectTest, LightingOffDrawsTheUnlitTwinWithNoOverlay) {
  TestMesh mesh;
  mesh.AddSquare(0x000000FF, -3, 0, 0, 2, FRONT);  // red, a colour face
  mesh.AddSquare(TexWord(), 3, 0, 0, 2, FRONT);
  for (Vertex& v : mesh.vertices) v.light = 64.0f;  // left from an earlier lit draw
  gRdrState.vertexLighting = 0;
  for (Drawer drawer : {Drawer{RdrDrawObjectLit}, Drawer{Blended}, Drawer{RdrDrawObjectLitClamped},
                        Drawer{RdrDrawObjectYawLitTwoSided}}) {
    pool_[2].type = 0xDEADBEEF;
    const std::vector<std::string> draws = Draw(drawer, mesh.Header());
    ASSERT_EQ(draws.size(), 2u);
    // The flat face in its own colour (red in bits 16-23), alpha 0; the decal
    // in stage mode 0 with no vertex light taken.
    EXPECT_EQ(Diffuse(draws[0])[0], "00ff0000") << draws[0];
    EXPECT_FALSE(Has("SetTextureStageState 0 COLOROP 4"));  // no MODULATE: nothing lit
    EXPECT_EQ(pool_[2].type, 0xDEADBEEF) << "an overlay copy was made";
    EXPECT_EQ(+mesh.vertices[0].light, 64.0f);
  }
}

TEST_F(D3dObjectTest, HeadingZeroIsNoTurnAnd1024IsZero) {
  TestMesh mesh;
  mesh.AddSquare(TexWord(), 1, 2, 3, 2, FRONT);
  MeshHeader* header = mesh.Header();
  const std::vector<std::string> unturned = Draw(RdrDrawObjectYaw, header);
  ASSERT_EQ(unturned.size(), 1u);
  // Each vertex where an unturned point at its world position projects.
  for (const Vertex& v : mesh.vertices) {
    Vertex world{};
    world.x = v.x + slot_.x;
    world.y = v.y + slot_.y;
    world.z = v.z + slot_.z;
    RdrProjectVertex(&world);
    EXPECT_EQ(+v.viewX, +world.viewX);
    EXPECT_EQ(+v.viewY, +world.viewY);
    EXPECT_EQ(+v.viewZ, +world.viewZ);
    EXPECT_EQ(+v.screenX, +world.screenX);
  }
  header->angle[1] = 1024;
  EXPECT_EQ(Draw(RdrDrawObjectYaw, header), unturned);
  EXPECT_EQ(gCamera.objectAngle[1], 0);
  header->angle[1] = 256;
  EXPECT_NE(Draw(RdrDrawObjectYawTwoSided, header), unturned);
}

// A mesh that asks for point sampling gets it around its faces; after it the
// filters are the player's choice again, point with filtering off.
TEST_F(D3dObjectTest, FilterFlagZeroSamplesPointsThenThePlayersFiltering) {
  TestMesh mesh;
  mesh.AddSquare(TexWord(), 0, 0, 0, 2, FRONT);
  for (const int32_t filtering : {0, 1}) {
    SCOPED_TRACE(filtering);
    gD3d.filtering = filtering;
    const std::string after = std::to_string(filtering ? HAL_TFG_LINEAR : HAL_TFG_POINT);
    Draw(RdrDrawObject, mesh.Header(0));
    const std::vector<std::string> filters = Calls("SetTextureStageState 0 M");
    EXPECT_EQ(filters, (std::vector<std::string>{"SetTextureStageState 0 MAGFILTER 1",
                                                 "SetTextureStageState 0 MINFILTER 1",
                                                 "SetTextureStageState 0 MAGFILTER " + after,
                                                 "SetTextureStageState 0 MINFILTER " + after}));
    // Point sampling brackets the faces.
    const auto draw = std::find(calls.begin(), calls.end(), Calls("DrawPrimitive")[0]) - calls.begin();
    EXPECT_LT(std::find(calls.begin(), calls.end(), "SetTextureStageState 0 MINFILTER 1") - calls.begin(), draw);
    EXPECT_GT(calls.rend() - std::find(calls.rbegin(), calls.rend(), "SetTextureStageState 0 MAGFILTER " + after), draw);
    Draw(RdrDrawObject, mesh.Header(1));
    EXPECT_TRUE(Calls("SetTextureStageState 0 M").empty());
  }
}

TEST_F(D3dObjectTest, VColourDrawsEveryFaceInTheFirstFacesColourWithTheFaceWordsAlpha) {
  TestMesh mesh;
  mesh.AddSquare(0x00302010, -3, 0, 0, 2, FRONT);  // red 0x10, green 0x20, blue 0x30
  mesh.AddSquare(0x00FFFFFF, 3, 0, 0, 2, BACK);      // a back face, another colour
  Fresh();
  RdrDrawObjectYawVColour(&slot_, mesh.Header(), 0x1234565D);
  const std::vector<std::string> draws = Calls("DrawPrimitive");
  ASSERT_EQ(draws.size(), 2u);
  for (const std::string& d : draws)
    for (const std::string& corner : Diffuse(d)) EXPECT_EQ(corner, "5d102030") << d;
  EXPECT_TRUE(Calls("SetTexture").empty());
  EXPECT_TRUE(Calls("SetRenderState").empty());
  // The first corner of each face keeps the colour; the mesh's faces are untouched.
  EXPECT_EQ(+mesh.vertices[4].red, 0x10);
  EXPECT_EQ(+mesh.faces[1].type, 0x00FFFFFFu);
  // With no room behind the world's faces nothing is drawn.
  gMesh.faceCount = POOL + MESH_SCRATCH_FACES;
  Fresh();
  RdrDrawObjectYawVColour(&slot_, mesh.Header(), 0x5D);
  EXPECT_TRUE(Calls("DrawPrimitive").empty());
}

TEST_F(D3dObjectTest, BlendedCopiesTexturedFacesForTheOverlayWhileThereIsRoom) {
  TestMesh mesh;
  mesh.AddSquare(TexWord(), 0, 0, 0, 2, FRONT, {512, 256, -1024});
  mesh.AddSquare(0x000000FF, 0, 0, 0, 2, FRONT);      // a colour face: no copy
  mesh.AddSquare(TexWord(), 5000, 0, 0, 2, FRONT);    // off screen: still copied
  mesh.AddSquare(TexWord(), 0, 0, 0, 2, BACK);          // a back face: not copied
  const uint32_t overlay = static_cast<uint32_t>(tex_);
  Fresh();
  RdrDrawObjectBlended(&slot_, mesh.Header(), overlay, 32.0f);
  // The two faces, then the overlay of the textured one on screen, under
  // texture alpha x vertex alpha: its corners carry their grey level as alpha.
  const std::vector<std::string> draws = Calls("DrawPrimitive");
  ASSERT_EQ(draws.size(), 3u);
  for (const std::string& d : Diffuse(draws[2])) EXPECT_NE(d.substr(0, 2), "00") << draws[2];
  const Face* copies = &pool_[2];
  EXPECT_EQ(+copies[0].type, overlay);
  EXPECT_EQ(+copies[0].vertexCount, 4);
  for (int c = 0; c < 4; ++c) {
    EXPECT_EQ(+copies[0].index[c], c);
    // The turned normal over 1024; the object matrix mirrors y.
    EXPECT_EQ(+copies[0].st[2 * c], 0.5f);
    EXPECT_EQ(+copies[0].st[2 * c + 1], -0.25f);
  }
  EXPECT_EQ(+copies[1].type, overlay);
  EXPECT_EQ(+copies[1].index[0], 8);
  EXPECT_EQ(+copies[2].type, 0u);
  EXPECT_EQ(gMesh.faceCount, 2) << "the copies are scratch: the count stays";

  // A full reserve: no copy is written anywhere and the faces still draw.
  pool_.assign(pool_.size(), Face{});
  gMesh.faceCount = POOL + MESH_SCRATCH_FACES;
  Fresh();
  RdrDrawObjectBlended(&slot_, mesh.Header(), overlay, 32.0f);
  EXPECT_EQ(Calls("DrawPrimitive").size(), 2u);
  for (const Face& f : pool_) EXPECT_EQ(+f.type, 0u);
}

}  // namespace
