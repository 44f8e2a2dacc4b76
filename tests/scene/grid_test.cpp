// The world grid: which cell a face or slot goes to, the order of faces in a
// cell, the boxes, the per-view walk with its limit and the box-face test.
#include "platform/mem.h"
#include "scene_support.h"

namespace {

constexpr uint32_t TEX5 = 0x02000005;

using GridBinning = SceneTest;

TEST_F(GridBinning, CentroidsGoToTheirClampedCellInEntryOrder) {
  const struct {
    float x, z, y;
    uint8_t tag;
  } faces[] = {
      {-5, 10, 0, 1},        // left of the grid: column 0
      {100, 600, 0, 2},      // column 0, row 0
      {645, 10, 0, 3},       // column 1
      {15300, 10, 0, 4},     // 23.9: column 23
      {15400, 10, 0, 5},     // 24.06: column 24
      {16000, 10, 0, 6},     // 25.0: clamped to column 24
      {-5, 7000, 0, 7},      // row 10
      {16000, 99999, 0, 8},  // beyond both ends: column 24, row 11
      {300, 300, 5000, 9},   // above the single layer: layer 0
  };
  for (const auto& f : faces) AddLevelFace(f.x, f.z, TEX5, f.tag, f.y);
  ASSERT_EQ(GridBuild(), 1);

  // Cells listed in entry order; one texture, so each keeps binning order.
  const std::vector<std::vector<int>> expect = {{1, 2, 9}, {3}, {4}, {5, 6}, {7}, {8}};
  EXPECT_EQ(CellTags(), expect);
  EXPECT_EQ(gGrid.allocatedCells, 6);
  EXPECT_EQ(gGrid.cells[6], nullptr);
  // The face pool now runs cell by cell, and each cell points at its run.
  EXPECT_EQ(gMesh.faceCount, 9);
  std::vector<int> pool;
  for (int32_t i = 0; i < gMesh.faceCount; ++i) pool.push_back(gMesh.faces[i].tag);
  EXPECT_EQ(pool, (std::vector<int>{1, 2, 9, 3, 4, 5, 6, 7, 8}));
  EXPECT_EQ(gGrid.cells[0]->faces, gMesh.faces);
  EXPECT_EQ(gGrid.cells[3]->faces, gMesh.faces + 5);
  // Each cell lists the vertices its faces use, once each.
  EXPECT_EQ(gGrid.cells[0]->vertexCount, 9);
  EXPECT_EQ(gGrid.cells[3]->vertexCount, 6);
}

TEST_F(GridBinning, FacesOfACellAreSortedByTextureDescendingFromThreeOn) {
  const struct {
    const char* name;
    std::vector<uint32_t> types;  // tags are the positions
    std::vector<int> order;
  } cases[] = {
      {"two of different textures keep binning order", {0x02000003, 0x02000007}, {0, 1}},
      {"three or more: descending, equal keys keep their order",
       {0x02000003, 0x02000007, 0x02000001, 0x0D000007},
       {1, 3, 0, 2}},
      {"the face type byte is not part of the key", {0x0E000002, 0x02000005, 0x0D000004}, {1, 2, 0}},
  };
  for (const auto& c : cases) {
    gMesh.faceCount = 0;
    gMesh.vertexCount = 0;
    for (size_t i = 0; i < c.types.size(); ++i) AddLevelFace(100, 100, c.types[i], static_cast<uint8_t>(i));
    ASSERT_EQ(GridBuild(), 1) << c.name;
    ASSERT_EQ(gGrid.allocatedCells, 1) << c.name;
    EXPECT_EQ(CellTags()[0], c.order) << c.name;
  }
}

TEST_F(GridBinning, FacesWithoutUsableCornersStayInThePoolInAFixedCell) {
  AddLevelFace(5000, 3000, TEX5, 1);
  Face& empty = AddLevelFace(7000, 5000, TEX5, 2);
  empty.vertexCount = 0;
  Face& wild = AddLevelFace(7000, 5000, TEX5, 3);
  wild.index[0] = wild.index[1] = wild.index[2] = 60000;  // names no vertex
  Face& long_ = AddLevelFace(5000, 3000, TEX5, 4);
  long_.vertexCount = 9;  // only four corners exist
  long_.index[3] = long_.index[0];

  ASSERT_EQ(GridBuild(), 1);
  // Both broken faces have their centre at the origin: cell 0, listed first.
  EXPECT_EQ(CellTags(), (std::vector<std::vector<int>>{{2, 3}, {1, 4}}));
  EXPECT_EQ(gMesh.faceCount, 4);
  // A cell of such faces has no box and is never listed.
  EXPECT_EQ(gGrid.cells[0]->corner[0].x, 320000.0f);
  EXPECT_EQ(gGrid.cells[0]->vertexCount, 0);
  // Seen from below, the level faces face the camera; of those in view only
  // the sound one is drawn.
  LookAlongZ(5000, -50, 2800);
  ObjRenderScene();
  ObjDrawDeferredTranslucent();
  ASSERT_EQ(gVisibleCells.count, 1u);
  EXPECT_EQ(gVisibleCells.cells[0], gGrid.cells[1]);
  EXPECT_EQ(gSceneLog, (std::vector<std::string>{"TexLit:1"}));
}

TEST_F(GridBinning, ACellOfSlotsOnlyGetsTheSlotsBoxAndIsListed) {
  AddLevelFace(100, 100, TEX5, 1);
  AddStatic(5000, 100, 3000, 7, 50);
  AddStatic(100, 0, 100, 8);
  ASSERT_EQ(GridBuild(), 1);
  ASSERT_EQ(gGrid.allocatedCells, 2);
  const GridCell* cell = gGrid.cells[1];
  EXPECT_EQ(cell->faceCount, 0);
  ASSERT_EQ(cell->slotCount, 1);
  EXPECT_EQ(cell->slots, gDrawLists.statics + 1);  // the static list is reordered by cell too
  EXPECT_EQ(cell->slots[0].user, 7u);
  const GridCorner& lo = cell->corner[0];
  const GridCorner& hi = cell->corner[6];
  EXPECT_EQ((std::vector<float>{lo.x, lo.y, lo.z, hi.x, hi.y, hi.z}),
            (std::vector<float>{4950, 50, 2950, 5050, 150, 3050}));
  EXPECT_EQ(cell->corner[2].x, 5050.0f);  // c2 = (max x, min y, max z)
  EXPECT_EQ(cell->corner[2].z, 3050.0f);
  EXPECT_EQ(cell->corner[4].y, 150.0f);

  LookAlongZ(5000, 100, 2500);
  ObjRenderScene();
  ASSERT_EQ(gVisibleCells.count, 1u);
  EXPECT_EQ(gVisibleCells.cells[0], cell);
  EXPECT_EQ(gSceneLog, (std::vector<std::string>{"slot:7@500"}));
}

TEST_F(GridBinning, TheDoneBytesCoverTheWordsClearedPerView) {
  // A capacity that is no multiple of four, filled to the last vertex.
  MeshPoolFreeVertices();
  ASSERT_NE(MeshPoolAllocVertices(1001), nullptr);
  ASSERT_EQ(GridCreate(640, 25, 1, 12), 1);
  while (gMesh.vertexCount + 3 <= 1001) AddLevelFace(static_cast<float>(gMesh.vertexCount), 50, TEX5, 0);
  while (gMesh.vertexCount < 1001) AddVertex(0, 0, 0);
  ASSERT_EQ(GridBuild(), 1);
  EXPECT_EQ(gGrid.doneWords, 1001 / 4 + 1);
  EXPECT_LE(gGrid.doneWords * 4, gGrid.doneBytes);

  // A world larger than the pools the grid was made for gets larger marks.
  MeshPoolFreeVertices();
  ASSERT_NE(MeshPoolAllocVertices(4000), nullptr);
  gMesh.faceCount = 0;
  while (gMesh.vertexCount + 3 <= 4000) AddLevelFace(static_cast<float>(gMesh.vertexCount % 9000), 50, TEX5, 0);
  ASSERT_EQ(GridBuild(), 1);
  EXPECT_LE(gGrid.doneWords * 4, gGrid.doneBytes);
  LookAlongZ(100, 50, -100);
  ObjRenderScene();
  EXPECT_GT(gVisibleCells.count, 0u);
}

TEST_F(GridBinning, ABuildReplacesThePreviousOneAndTheCloseFreesAll) {
  AddLevelFace(100, 100, TEX5, 1);
  AddLevelFace(5000, 100, TEX5, 2);
  ASSERT_EQ(GridBuild(), 1);
  const uint32_t used = MemPoolUsedBytes();
  ASSERT_EQ(GridBuild(), 1);
  EXPECT_EQ(MemPoolUsedBytes(), used);
  EXPECT_EQ(CellTags(), (std::vector<std::vector<int>>{{1}, {2}}));
  GridFree();
  GridFree();
  EXPECT_EQ(gGrid.cells, nullptr);
  EXPECT_EQ(GridBuild(), 0);
}

TEST_F(GridBinning, FindFaceAtTakesTheFirstFaceWhoseCornersSpanThePoint) {
  // A face is found by the x and z ranges of its real corners, edges included,
  // not by the shape it covers; the pool's first match wins.
  auto add = [](std::initializer_list<std::pair<float, float>> corners, uint8_t count, uint8_t tag) {
    Face& f = gMesh.faces[gMesh.faceCount++];
    f = Face{};
    f.tag = tag;
    f.vertexCount = count;
    int c = 0;
    for (auto [x, z] : corners) f.index[c++] = static_cast<uint16_t>(AddVertex(x, 7, z));
  };
  add({{0, 0}, {10, 0}, {0, 10}}, 3, 1);
  add({{5, 5}, {20, 5}, {5, 20}}, 3, 2);
  add({{30, 0}, {40, 0}, {40, 10}, {35, 30}}, 4, 3);
  add({{60, 0}, {70, 0}, {70, 10}, {60, 50}}, 3, 4);  // a triangle: its fourth index is no corner
  Face& wild = gMesh.faces[gMesh.faceCount++];
  wild = Face{};
  wild.tag = 5;
  wild.vertexCount = 3;
  wild.index[0] = wild.index[1] = wild.index[2] = 60000;  // names no vertex

  const struct {
    float x, z;
    int tag;  // 0: none
  } rows[] = {
      {9, 9, 1},    // inside the box, outside the triangle
      {5, 5, 1},    // the second face covers it too
      {15, 15, 2},
      {10, 10, 1},  // the far edges belong to the face
      {0, 0, 1},
      {20.5f, 5, 0},
      {35, 25, 3},  // reached only through the quad's fourth corner
      {65, 40, 0},
      {-1, 5, 0},
  };
  for (const auto& r : rows) {
    Face* f = GridFindFaceAt(r.x, r.z);
    EXPECT_EQ(f ? f->tag : 0, r.tag) << r.x << "," << r.z;
  }
  gMesh.faceCount = 0;
  EXPECT_EQ(GridFindFaceAt(5, 5), nullptr);
}

using Visibility = SceneTest;

TEST_F(Visibility, ABoxFaceShowsOnlyWhenItReachesThePlanesAndTheWindow) {
  // Mode 2: near 5, far 1700, window 0..640 x 0..480, scale 250, centre (320, 240).
  const struct {
    const char* name;
    float x0, x1, y0, y1, zNear, zFar;  // zNear for corners 0, 1; zFar for 2, 3
    int32_t visible;
  } cases[] = {
      {"wholly behind the near plane, though it would cover the screen", -100, 100, -100, 100, 2, 2, 0},
      {"behind the camera", -100, 100, -100, 100, -10, -10, 0},
      {"straddling the camera, all of it nearer than the near plane", -100, 100, -100, 100, -50, 3, 0},
      {"covering the screen just beyond the near plane", -100, 100, -100, 100, 10, 10, 1},
      {"crossing the near plane", -100, 100, -100, 100, 2, 10, 1},
      {"beyond the far plane", -10, 10, -10, 10, 1800, 1800, 0},
      {"crossing the far plane", -10, 10, -10, 10, 1000, 2000, 1},
      {"in the middle", -10, 10, -10, 10, 100, 100, 1},
      {"wholly right of the window", 1000, 1100, -10, 10, 100, 100, 0},
      {"wholly below the window", -10, 10, 200, 300, 100, 100, 0},
      {"over the left edge", -200, -100, -10, 10, 100, 100, 1},
  };
  for (const auto& c : cases) {
    const GridCorner q[4] = {{0, 0, 0, c.x0, c.y0, c.zNear},
                             {0, 0, 0, c.x1, c.y0, c.zNear},
                             {0, 0, 0, c.x1, c.y1, c.zFar},
                             {0, 0, 0, c.x0, c.y1, c.zFar}};
    EXPECT_EQ(VisQuadVisible(&q[0], &q[1], &q[2], &q[3]), c.visible) << c.name;
  }
}

TEST_F(Visibility, TheListStopsAt1024Cells) {
  // 40 x 30 cells of 10 units, one face each, all in front of a camera whose
  // projection squeezes the whole field near the centre.
  ASSERT_EQ(GridCreate(10, 40, 1, 30), 1);
  for (int k = 0; k < 30; ++k)
    for (int i = 0; i < 40; ++i) AddLevelFace(10.0f * i + 5, 10.0f * k + 5, TEX5, 0);
  ASSERT_EQ(GridBuild(), 1);
  ASSERT_EQ(gGrid.allocatedCells, 1200);
  RdrSetProjScale(1.0f, 1.0f);
  LookAlongZ(200, 50, -20);
  MatViewFromCamera();
  VisBeginView();
  ASSERT_EQ(gVisibleCells.count, 1024u);
  for (uint32_t i = 0; i < 1024; ++i) ASSERT_EQ(gVisibleCells.cells[i], gGrid.cells[i]) << i;
  // Cells past the limit are neither listed nor projected.
  EXPECT_EQ(gGrid.done[gGrid.cells[1023]->vertexList[0]], 1);
  EXPECT_EQ(gGrid.done[gGrid.cells[1100]->vertexList[0]], 0);
}

// The projection marks a view leaves behind must not hide vertices from the
// next build's lists.
TEST_F(Visibility, ARebuildAfterAViewListsEveryVertexOfItsCells) {
  const uint16_t shared = AddLevelFace(100, 300, TEX5, 1).index[0];
  AddLevelFace(130, 300, TEX5, 2);  // the same cell
  AddLevelFace(1000, 300, TEX5, 3).index[2] = shared;  // a vertex of both cells
  ASSERT_EQ(GridBuild(), 1);
  auto lists = [] {
    std::vector<std::vector<uint32_t>> out;
    for (int32_t i = 0; i < gGrid.allocatedCells; ++i)
      out.emplace_back(gGrid.cells[i]->vertexList, gGrid.cells[i]->vertexList + gGrid.cells[i]->vertexCount);
    return out;
  };
  const auto before = lists();
  ASSERT_EQ(before.size(), 2u);
  LookAlongZ(400, 50, 0);
  ObjRenderScene();
  ASSERT_EQ(gVisibleCells.count, 2u);
  ASSERT_EQ(gGrid.done[shared], 1);
  ASSERT_EQ(GridBuild(), 1);
  EXPECT_EQ(lists(), before);
}

TEST_F(Visibility, VerticesAreProjectedOnceAndRelitOnlyWhileTheLightChanged) {
  Face& ahead = AddLevelFace(100, 300, TEX5, 1);
  Face& behind = AddLevelFace(5000, 100, TEX5, 2);  // another cell, out of view
  // A vertex shared with a face of a second visible cell.
  const uint16_t shared = ahead.index[0];
  Face& next = AddLevelFace(1000, 300, TEX5, 3);  // centroid x 699: column 1
  next.index[2] = shared;
  // The build reorders the faces, not the vertices.
  const uint16_t aheadCorners[3] = {ahead.index[0], ahead.index[1], ahead.index[2]};
  Vertex& a = gMesh.vertices[ahead.index[1]];
  Vertex& b = gMesh.vertices[behind.index[1]];
  ASSERT_EQ(GridBuild(), 1);
  LookAlongZ(400, 50, 0);
  ObjRenderScene();
  EXPECT_EQ(gVisibleCells.count, 2u);
  EXPECT_EQ(+a.light, 40.0f);  // unchanged light: the loaded values stay
  // Projected: view and screen positions from the render state.
  EXPECT_FLOAT_EQ(+a.viewZ, 297.0f);
  EXPECT_FLOAT_EQ(+a.screenX, 320.0f + a.viewX * 250.0f / 297.0f);
  EXPECT_FLOAT_EQ(+a.screenY, 240.0f + 50.0f * 250.0f / 297.0f);

  GridSetLight(0, 1, 0, 20, 10);
  ObjRenderScene();
  EXPECT_EQ(+a.light, 52.0f);  // 32 + intensity, straight above
  EXPECT_EQ(+gMesh.vertices[shared].light, 52.0f);
  EXPECT_EQ(+b.light, 40.0f);  // out of view: keeps its old value
  EXPECT_EQ(gGrid.lastLight.relight, 1);

  // A vertex near the camera is projected at the near plane's depth.
  LookAlongZ(100, 2, 300);
  MatViewFromCamera();
  VisBeginView();
  const Vertex& close = gMesh.vertices[aheadCorners[2]];  // 6 units ahead
  EXPECT_FLOAT_EQ(+close.viewZ, 6.0f);
  const Vertex& under = gMesh.vertices[aheadCorners[0]];  // 3 units behind
  EXPECT_FLOAT_EQ(+under.screenY, 240.0f + 2.0f * 250.0f / 5.0f);
  EXPECT_EQ(GridBuild(), 1);
  EXPECT_EQ(gGrid.lastLight.relight, 0);
}

}  // namespace
