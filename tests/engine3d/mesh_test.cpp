#include "engine3d/mesh.h"

#include "platform/mem.h"
#include "support/test_support.h"

namespace {

class Pools : public ::testing::Test {
 protected:
  void SetUp() override {
    MemPoolInit();
    ASSERT_NE(MeshPoolAllocVertices(MESH_POOL_VERTICES), nullptr);
    ASSERT_NE(MeshPoolAllocFaces(MESH_POOL_FACES), nullptr);
    ASSERT_NE(DrawListAllocStatic(DRAW_LIST_STATIC), nullptr);
    ASSERT_NE(DrawListAllocDynamic(DRAW_LIST_DYNAMIC), nullptr);
  }
  uint32_t owner_[2] = {0x05000000, 77};
};

TEST_F(Pools, StartUpSizes) {
  EXPECT_EQ(gMesh.vertexCapacity, 27000);
  EXPECT_EQ(gMesh.vertexCount, 0);
  EXPECT_EQ(gMesh.faceCapacity, 34000);
  EXPECT_EQ(gDrawLists.staticCapacity, 900);
  EXPECT_EQ(gDrawLists.dynamicCapacity, 300);
  for (int i = 0; i < 300; ++i) EXPECT_EQ(gDrawLists.dynamics[i].inUse, 0);
}

TEST_F(Pools, StaticListFillsUpAt900) {
  gDrawLists.statics[0].inUse = 0;
  EXPECT_EQ(DrawListAddStatic(owner_, 5, nullptr, 0, 0, 0, 10, 5), 1);
  const DrawSlot& s = gDrawLists.statics[0];
  EXPECT_EQ(s.kind, 0x05000000u);
  EXPECT_EQ(s.visible, 1);
  EXPECT_EQ(s.inUse, 1);  // the race's object code reads it on every slot
  EXPECT_EQ(s.owner, owner_);
  EXPECT_EQ(s.user, 5u);
  const float box[6] = {s.boxMinX, s.boxMinY, s.boxMinZ, s.boxMaxX, s.boxMaxY, s.boxMaxZ};
  const float expected[6] = {-10, -5, -10, 10, 5, 10};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(box[i], expected[i]);

  for (int i = 1; i < 900; ++i) ASSERT_EQ(DrawListAddStatic(owner_, 0, nullptr, 1, 2, 3, 1, 1), 1);
  EXPECT_EQ(DrawListAddStatic(owner_, 0, nullptr, 1, 2, 3, 1, 1), 0);  // the 901st
  EXPECT_EQ(gDrawLists.staticCount, 900);

  DrawListFreeStatic();
  EXPECT_EQ(DrawListAddStatic(owner_, 0, nullptr, 1, 2, 3, 1, 1), 0);  // absent list
}

void Callback(DrawSlot*, void*) {}

TEST_F(Pools, DynamicClaimAfterAReleaseReturnsThatSlot) {
  DrawSlot* slots[300];
  for (int i = 0; i < 300; ++i) {
    slots[i] = DrawListClaimDynamic(owner_, i, Callback, 1, 2, 3);
    ASSERT_EQ(slots[i], &gDrawLists.dynamics[i]);  // first free, in array order
  }
  EXPECT_EQ(slots[7]->kind, 0x05000000u);
  EXPECT_EQ(slots[7]->user, 7u);
  EXPECT_EQ(slots[7]->callback, Callback);
  EXPECT_EQ(DrawListClaimDynamic(owner_, 0, nullptr, 0, 0, 0), nullptr);

  DrawListRelease(slots[137]);
  EXPECT_EQ(slots[137]->visible, 0);
  EXPECT_EQ(slots[137]->inUse, 0);
  DrawSlot* again = DrawListClaimDynamic(&owner_[1], 9, nullptr, 4, 5, 6);
  EXPECT_EQ(again, slots[137]);
  EXPECT_EQ(again->kind, 77u);
  EXPECT_EQ(again->visible, 1);
  EXPECT_EQ(again->x, 4.0f);

  DrawListFreeDynamic();
  EXPECT_EQ(DrawListClaimDynamic(owner_, 0, nullptr, 0, 0, 0), nullptr);
  DrawListFreeDynamic();  // twice is harmless
}

TEST_F(Pools, ScratchRecordsStayInsideTheReserve) {
  gMesh.vertexCount = gMesh.vertexCapacity;
  gMesh.faceCount = gMesh.faceCapacity;
  Vertex* v = MeshScratchVertices(gMesh.vertexCount, MESH_SCRATCH_VERTICES);
  ASSERT_EQ(v, gMesh.vertices + 27000);
  v[MESH_SCRATCH_VERTICES - 1].x = 1.0f;  // the last reserved record is writable
  EXPECT_EQ(MeshScratchVertices(gMesh.vertexCount, MESH_SCRATCH_VERTICES + 1), nullptr);
  EXPECT_EQ(MeshScratchVertices(-1, 4), nullptr);
  Face* f = MeshScratchFaces(gMesh.faceCount, MESH_SCRATCH_FACES);
  ASSERT_NE(f, nullptr);
  f[MESH_SCRATCH_FACES - 1].type = 1;
  EXPECT_EQ(MeshScratchFaces(gMesh.faceCount + 1, MESH_SCRATCH_FACES), nullptr);

  MeshPoolFreeVertices();
  MeshPoolFreeFaces();
  MeshPoolFreeVertices();  // a second close frees nothing twice
  EXPECT_EQ(gMesh.vertexCount, 0);
  EXPECT_EQ(MeshScratchVertices(0, 1), nullptr);
  EXPECT_EQ(MeshScratchFaces(0, 1), nullptr);
}

TEST_F(Pools, MeshFreeReleasesEverythingAndReportsRefusal) {
  uint32_t before = MemPoolUsedBytes();
  auto* mesh = static_cast<MeshHeader*>(MemAlloc(sizeof(MeshHeader)));
  *mesh = MeshHeader{MESH_TYPE_WORD, 1, 1, static_cast<Face*>(MemAlloc(sizeof(Face))),
                     static_cast<Vertex*>(MemAlloc(sizeof(Vertex))), {0, 0, 0}};
  EXPECT_EQ(MeshFree(mesh), 1);
  EXPECT_EQ(MemPoolUsedBytes(), before);
  EXPECT_EQ(MeshFree(nullptr), 1);

  MemSetErrorHooks([](const char*) {}, [](int32_t) {});
  MeshHeader stack{MESH_TYPE_WORD, 0, 0, nullptr, nullptr, {0, 0, 0}};
  EXPECT_EQ(MeshFree(&stack), 0);  // not from the pool
  MemSetErrorHooks(nullptr, nullptr);

  auto* set = static_cast<MeshFrameSet*>(MemAlloc(sizeof(MeshFrameSet)));
  set->frameCount = 2;
  set->frames = static_cast<MeshFrame*>(MemAlloc(2 * sizeof(MeshFrame)));
  set->frames[0] = MeshFrame{static_cast<FrameVertex*>(MemAlloc(24)), nullptr};
  set->frames[1] = MeshFrame{nullptr, static_cast<float*>(MemAlloc(12))};
  MeshFramesFree(set);
  EXPECT_EQ(MemPoolUsedBytes(), before);
  MeshFramesFree(nullptr);
}

}  // namespace
