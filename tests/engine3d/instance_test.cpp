#include "engine3d/instance.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "platform/mem.h"
#include "support/test_support.h"

// Fields of the byte-packed Vertex and Face are compared by value (+field):
// a reference to one may be misaligned.

namespace {

std::vector<std::string> gPoolErrors;

class Instances : public ::testing::Test {
 protected:
  void SetUp() override {
    MemPoolInit();
    MemSetErrorHooks([](const char* m) { gPoolErrors.push_back(m); }, [](int32_t) {});
  }
  void TearDown() override { MemSetErrorHooks(nullptr, nullptr); }

  // A pool-owned mesh with the given corners and `faces` faces.
  static MeshHeader* Make(const std::vector<std::array<float, 3>>& corners, uint32_t faces = 2) {
    auto* mesh = static_cast<MeshHeader*>(MemAlloc(sizeof(MeshHeader)));
    *mesh = MeshHeader{MESH_TYPE_WORD, static_cast<uint32_t>(corners.size()), faces, nullptr, nullptr, {1, 2, 3}};
    mesh->vertices = static_cast<Vertex*>(MemAlloc(sizeof(Vertex) * corners.size()));
    for (size_t i = 0; i < corners.size(); ++i) {
      mesh->vertices[i] = Vertex{};
      mesh->vertices[i].x = corners[i][0];
      mesh->vertices[i].y = corners[i][1];
      mesh->vertices[i].z = corners[i][2];
    }
    mesh->faces = static_cast<Face*>(MemAlloc(sizeof(Face) * faces));
    for (uint32_t i = 0; i < faces; ++i) mesh->faces[i] = Face{};
    return mesh;
  }
};

TEST_F(Instances, RestingAndMovingTheOrigin) {
  MeshHeader* m = Make({{1, -3, 4}, {2, 5, -6}, {-7, 0, 0}});
  MeshRestOnGround(m);
  EXPECT_EQ(+m->vertices[0].y, 0.0f);
  EXPECT_EQ(+m->vertices[1].y, 8.0f);
  MeshRestOnGroundShiftZ(m);
  EXPECT_EQ(+m->vertices[1].y, 8.0f);
  EXPECT_EQ(+m->vertices[0].z, 2.0f);

  MeshMoveMinCorner(m, -50, 25, -25);
  float minX = 1e9f, minY = 1e9f, minZ = 1e9f;
  for (uint32_t i = 0; i < m->vertexCount; ++i) {
    minX = std::min(minX, m->vertices[i].x);
    minY = std::min(minY, m->vertices[i].y);
    minZ = std::min(minZ, m->vertices[i].z);
  }
  EXPECT_EQ(minX, -50.0f);
  EXPECT_EQ(minY, 25.0f);
  EXPECT_EQ(minZ, -25.0f);
  EXPECT_EQ(+m->vertices[1].y, 33.0f);

  MeshHeader empty{MESH_TYPE_WORD, 0, 0, nullptr, nullptr, {0, 0, 0}};
  MeshRestOnGround(&empty);
  MeshRestOnGroundShiftZ(&empty);
  MeshMoveMinCorner(&empty, 1, 2, 3);
  MeshRestOnGround(nullptr);
}

TEST_F(Instances, FramesAreCentredOverAllFrames) {
  MeshHeader* m = Make({{0, 0, 0}, {0, 0, 0}});
  FrameVertex a[2] = {{-10, 5, 0, 0, 0, 0}, {0, 7, 4, 0, 0, 0}};
  FrameVertex b[2] = {{30, 9, -4, 0, 0, 0}, {2, 6, 8, 0, 0, 0}};
  MeshFrame frames[2] = {{a, nullptr}, {b, nullptr}};
  MeshFrameSet set{2, frames};
  MeshFramesCentre(&set, m);
  // x -10..30 centred on 0; z -4..8 centred on 0; lowest y 5 to 0.
  EXPECT_EQ(a[0].x, -20.0f);
  EXPECT_EQ(+b[0].x, 20.0f);
  EXPECT_EQ(a[0].y, 0.0f);
  EXPECT_EQ(+b[0].y, 4.0f);
  EXPECT_EQ(+b[0].z, -6.0f);
  EXPECT_EQ(+b[1].z, 6.0f);
}

TEST_F(Instances, ObjectBoundsAndTheirSpecialRows) {
  MeshHeader* m = Make({{-1, 0, -4}, {3, 2, 4}, {0, 1, 0}});
  const struct {
    int32_t id;
    uint8_t animated;
    float scale, xOffset, zOffset;
    float box[6];  // min x, max x, min y, max y, min z, max z
  } rows[] = {
      {10000, 1, 3, 7, 7, {-260, -240, 0, 550, -10, 10}},  // the fixed box
      {10000, 0, 3, 7, 7, {-1, 3, 0, 2, -4, 4}},           // not animated: the mesh's own
      {5, 0, 3, 7, 7, {-1, 3, 0, 2, -4, 4}},
      {5, 1, 0, 7, 7, {399, 3, 0, 2, -4, 4}},      // scale 0: min x + 400 only
      {5, 1, 2, 10, 5, {8, 16, 0, 2, -3, 13}},     // x and z scaled, offsets added
      {5, 1, 5, 1, -1, {0, 4, 0, 2, -4, 4}},       // scale 5: x unscaled; z offset -1: z untouched
      {5, 1, 5, 0, 0, {-1, 3, 0, 2, -20, 20}},
  };
  for (const auto& r : rows) {
    ObjectTypeRow row{r.id, r.animated, r.scale, r.xOffset, r.zOffset, 0, 0, 0, 0, 0, 0};
    MeshObjectBounds(&row, m);
    const float got[6] = {row.minX, row.maxX, row.minY, row.maxY, row.minZ, row.maxZ};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(got[i], r.box[i]) << "id " << r.id << " scale " << r.scale << " field " << i;
  }
}

TEST_F(Instances, CloneOwnsItsArrays) {
  MeshHeader* source = Make({{1, 2, 3}, {4, 5, 6}});
  source->faces[1].type = 0x02000044;
  MeshHeader* copy = MeshClone(source);
  ASSERT_NE(copy, nullptr);
  EXPECT_NE(copy->vertices, source->vertices);
  EXPECT_NE(copy->faces, source->faces);
  EXPECT_EQ(copy->vertexCount, 2u);
  EXPECT_EQ(copy->faceCount, 2u);
  EXPECT_EQ(copy->angle[2], 3);
  EXPECT_EQ(+copy->faces[1].type, 0x02000044u);
  copy->vertices[0].x = 99.0f;
  copy->faces[1].type = 0;
  EXPECT_EQ(+source->vertices[0].x, 1.0f);
  EXPECT_EQ(+source->faces[1].type, 0x02000044u);
  EXPECT_EQ(MeshFree(copy), 1);
  EXPECT_EQ(MeshFree(source), 1);
}

TEST_F(Instances, CloneThatDoesNotFitLeavesNothingBehind) {
  MeshHeader* source = Make({{1, 2, 3}, {4, 5, 6}, {7, 8, 9}}, 40);
  const uint32_t header = 48, vertices = 160;  // rounded pool sizes
  for (uint32_t room : {header - 16, header + vertices - 16, header + vertices + 2304}) {
    uint32_t used = MemPoolUsedBytes();
    void* filler = MemAlloc(MEM_POOL_SIZE - used - room);
    ASSERT_NE(filler, nullptr);
    gPoolErrors.clear();
    uint32_t before = MemPoolUsedBytes();
    EXPECT_EQ(MeshClone(source), nullptr) << "room " << room;
    EXPECT_EQ(MemPoolUsedBytes(), before);
    EXPECT_FALSE(gPoolErrors.empty());
    MemFree(filler);
  }
  EXPECT_EQ(MeshClone(nullptr), nullptr);
}

}  // namespace
