#include "engine3d/normals.h"

#include <cmath>
#include <vector>

#include "engine3d/angle.h"
#include "platform/mem.h"
#include "support/test_support.h"

// Fields of the byte-packed Vertex and Face are compared by value (+field):
// a reference to one may be misaligned.

namespace {

Vertex At(float x, float y, float z) {
  Vertex v{};
  v.x = x;
  v.y = y;
  v.z = z;
  return v;
}

Face Tri(uint32_t type, uint16_t a, uint16_t b, uint16_t c) {
  Face f{};
  f.type = type;
  f.vertexCount = 3;
  f.index[0] = a;
  f.index[1] = b;
  f.index[2] = c;
  for (int i = 0; i < 8; ++i) f.st[i] = static_cast<float>(10 * a + i);
  return f;
}

// A mesh over test-owned vectors.
struct TestMesh {
  std::vector<Vertex> vertices;
  std::vector<Face> faces;
  MeshHeader header{};
  MeshHeader* get() {
    header = MeshHeader{MESH_TYPE_WORD, static_cast<uint32_t>(vertices.size()), static_cast<uint32_t>(faces.size()),
                        faces.data(), vertices.data(), {0, 0, 0}};
    return &header;
  }
};

class Normals : public ::testing::Test {
 protected:
  void SetUp() override { MemPoolInit(); }
};

TEST_F(Normals, FaceNormalFromTheFirstThreeCorners) {
  TestMesh m;
  m.vertices = {At(0, 0, 0), At(1, 0, 0), At(0, 0, 1), At(2, 0, 0), At(50, 50, 50)};
  m.faces = {Tri(0, 0, 1, 2), Tri(0, 0, 1, 3), Tri(0, 0, 2, 1)};
  m.faces[0].vertexCount = 4;
  m.faces[0].index[3] = 4;  // the fourth corner plays no part
  MeshHeader* mesh = m.get();
  for (int f = 0; f < 3; ++f) MeshFaceNormalOf(f, mesh);
  EXPECT_EQ(+m.faces[0].normalX, 0.0f);
  EXPECT_EQ(+m.faces[0].normalY, -1024.0f);
  EXPECT_EQ(+m.faces[0].normalZ, 0.0f);
  EXPECT_EQ(+m.faces[1].normalZ, 1024.0f);  // degenerate: all three on one line
  EXPECT_EQ(+m.faces[1].normalY, 0.0f);
  EXPECT_EQ(+m.faces[2].normalY, 1024.0f);  // the other winding faces the other way
}

TEST_F(Normals, VertexUsesOnlyItsFirstSixteenFaces) {
  TestMesh m;
  m.vertices = {At(0, 0, 0), At(1, 0, 0), At(0, 1, 0), At(7, 7, 7)};
  m.vertices[3].normalX = 123.0f;  // used by no face: kept
  for (int i = 0; i < 20; ++i) {
    Face f = Tri(0, 0, 1, 2);
    // 8 faces along +x, 8 along +y, then 4 along +z that must not count.
    f.normalX = i < 8 ? 1024.0f : 0.0f;
    f.normalY = i >= 8 && i < 16 ? 1024.0f : 0.0f;
    f.normalZ = i >= 16 ? 1024.0f : 0.0f;
    m.faces.push_back(f);
  }
  m.vertices[0].lightLevel = 5;
  MeshVertexNormalsOf(m.get());
  EXPECT_EQ(+m.vertices[0].normalZ, 0.0f);
  EXPECT_FLOAT_EQ(m.vertices[0].normalX, 1024.0f / std::sqrt(2.0f));
  EXPECT_EQ(+m.vertices[0].normalX, +m.vertices[0].normalY);
  EXPECT_EQ(+m.vertices[3].normalX, 123.0f);
  EXPECT_EQ(+m.vertices[0].lightLevel, 5);  // a given mesh keeps its light levels
}

TEST_F(Normals, OppositeFacesGiveTheZeroSumFallback) {
  TestMesh m;
  m.vertices = {At(0, 0, 0), At(1, 0, 0), At(0, 0, 1)};
  m.faces = {Tri(0, 0, 1, 2), Tri(0, 0, 2, 1)};
  MeshRebuildNormalsOf(m.get());
  EXPECT_EQ(+m.vertices[0].normalX, 0.0f);
  EXPECT_EQ(+m.vertices[0].normalY, 0.0f);
  EXPECT_EQ(+m.vertices[0].normalZ, 1024.0f);
}

TEST_F(Normals, CurrentMeshPassSetsLevelsAndRefreshReportsQuads) {
  Vertex v[4] = {At(0, 0, 0), At(1, 0, 0), At(0, 0, 1), At(1, 0, 1)};
  Face f[2] = {Tri(0, 0, 2, 1), Tri(0, 1, 2, 3)};
  gMesh = MeshPools{v, 4, 4, f, 2, 2};
  MeshRebuildNormals();
  EXPECT_EQ(+v[0].normalY, 1024.0f);
  EXPECT_EQ(+v[3].lightLevel, 63);

  f[0].normalY = 5.0f;
  f[1].normalY = 5.0f;
  EXPECT_EQ(MeshRefreshNormalsAtVertex(0), 1);  // only a triangle uses it
  EXPECT_EQ(+f[0].normalY, 1024.0f);
  EXPECT_EQ(+f[1].normalY, 5.0f);  // does not use vertex 0

  f[1].vertexCount = 4;
  f[1].index[3] = 0;
  f[0].normalY = 5.0f;
  f[1].normalY = 5.0f;
  EXPECT_EQ(MeshRefreshNormalsAtVertex(0), 0);  // a quad uses it, yet all are redone
  EXPECT_EQ(+f[0].normalY, 1024.0f);
  EXPECT_NE(+f[1].normalY, 5.0f);
  gMesh = MeshPools{};
}

TEST_F(Normals, FrameNormalsComeFromTheFramesPositions) {
  TestMesh m;
  m.vertices = {At(0, 0, 0), At(1, 0, 0), At(0, 0, 1)};
  m.faces = {Tri(0, 0, 2, 1)};
  // In the frame the triangle stands upright in the x-y plane.
  FrameVertex fv[3] = {{0, 0, 0, 0, 0, 0}, {1, 0, 0, 0, 0, 0}, {0, 1, 0, 0, 0, 0}};
  float normals[3] = {};
  MeshFrame frame{fv, normals};
  MeshFrameNormals(&frame, m.get());
  EXPECT_EQ(normals[2], -1024.0f);
  EXPECT_EQ(fv[1].normalZ, -1024.0f);
  EXPECT_EQ(+m.faces[0].normalZ, 0.0f);  // the base mesh is untouched
}

class QuadMerge : public Normals {
 protected:
  // Rectangle 10 x 5 in the ground plane.
  TestMesh Rectangle(uint32_t typeA, uint32_t typeB) {
    TestMesh m;
    m.vertices = {At(0, 0, 0), At(10, 0, 0), At(10, 0, 5), At(0, 0, 5)};
    m.faces = {Tri(typeA, 0, 1, 2), Tri(typeB, 0, 2, 3)};
    return m;
  }
};

TEST_F(QuadMerge, DiagonalPairBecomesOneQuad) {
  TestMesh m = Rectangle(0x02000007, 0x02000007);
  m.faces.push_back(Tri(0x02000009, 0, 1, 2));  // a third face that must move down
  MeshHeader* mesh = m.get();
  MeshRebuildNormalsOf(mesh);
  MeshMergeQuads(mesh);
  ASSERT_EQ(mesh->faceCount, 2u);
  const Face& q = m.faces[0];
  EXPECT_EQ(+q.vertexCount, 4);
  EXPECT_EQ(+q.type, 0x02000007u);
  EXPECT_EQ(+q.normalY, -1024.0f);
  const uint16_t order[4] = {0, 1, 2, 3};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(+q.index[i], order[i]);
  // B's corner came with its own texture coordinates (B's corner 2, vertex 3).
  const Face b = Tri(0, 0, 2, 3);
  EXPECT_EQ(+q.st[6], +b.st[4]);
  EXPECT_EQ(+q.st[7], +b.st[5]);
  EXPECT_EQ(+m.faces[1].type, 0x02000009u);
  EXPECT_EQ(+m.faces[1].vertexCount, 3);
}

TEST_F(QuadMerge, InsertionFollowsTheUnsharedCorner) {
  // The same rectangle with A's corners rotated, so each insertion rule runs.
  const struct {
    uint16_t a[3];
    uint16_t quad[4];
  } rows[] = {{{0, 1, 2}, {0, 1, 2, 3}}, {{1, 2, 0}, {1, 2, 3, 0}}, {{2, 0, 1}, {2, 3, 0, 1}}};
  for (const auto& r : rows) {
    TestMesh m = Rectangle(1, 1);
    m.faces[0] = Tri(1, r.a[0], r.a[1], r.a[2]);
    MeshHeader* mesh = m.get();
    MeshRebuildNormalsOf(mesh);
    MeshMergeQuads(mesh);
    ASSERT_EQ(mesh->faceCount, 1u);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(+m.faces[0].index[i], r.quad[i]) << r.a[0] << " corner " << i;
  }
}

TEST_F(QuadMerge, DifferentTexturesOrShortSharedEdgesStayTriangles) {
  TestMesh m = Rectangle(0x02000007, 0x02000008);
  MeshHeader* mesh = m.get();
  MeshRebuildNormalsOf(mesh);
  MeshMergeQuads(mesh);
  EXPECT_EQ(mesh->faceCount, 2u);

  // Coplanar, same texture, but the shared edge (1, 2) is the shortest of both.
  TestMesh s;
  s.vertices = {At(0, 0, 0), At(10, 0, 0), At(10, 0, 1), At(20, 0, 0.5f)};
  s.faces = {Tri(1, 0, 1, 2), Tri(1, 1, 3, 2)};
  mesh = s.get();
  MeshRebuildNormalsOf(mesh);
  ASSERT_EQ(+s.faces[0].normalY, +s.faces[1].normalY);
  MeshMergeQuads(mesh);
  EXPECT_EQ(mesh->faceCount, 2u);
  EXPECT_EQ(+s.faces[0].vertexCount, 3);
}

TEST_F(QuadMerge, PoolFormUpdatesTheFaceCount) {
  TestMesh m = Rectangle(3, 3);
  MeshRebuildNormalsOf(m.get());
  gMesh = MeshPools{m.vertices.data(), 4, 4, m.faces.data(), 2, 2};
  MeshMergeQuadsPool();
  EXPECT_EQ(gMesh.faceCount, 1);
  gMesh = MeshPools{};
}

}  // namespace
