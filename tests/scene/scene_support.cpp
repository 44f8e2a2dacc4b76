#include "scene_support.h"

std::vector<std::string> gSceneLog;

void SceneTest::SetUp() {
  ResetHalForTest();
  RecordFatalErrors();
  gSceneLog.clear();
  ASSERT_TRUE(RdrOpen(gDisplayModes[2], 1));
  ASSERT_NE(MeshPoolAllocVertices(MESH_POOL_VERTICES), nullptr);
  ASSERT_NE(MeshPoolAllocFaces(MESH_POOL_FACES), nullptr);
  ASSERT_NE(DrawListAllocStatic(DRAW_LIST_STATIC), nullptr);
  ASSERT_NE(DrawListAllocDynamic(DRAW_LIST_DYNAMIC), nullptr);
  ASSERT_EQ(GridCreate(640, 25, 1, 12), 1);
  LookAlongZ(0, 0, 0);
}

void SceneTest::TearDown() { RdrClose(); }

int32_t SceneTest::AddVertex(float x, float y, float z) {
  Vertex& v = gMesh.vertices[gMesh.vertexCount];
  v = Vertex{};
  v.x = x;
  v.y = y;
  v.z = z;
  v.normalY = 1024.0f;
  v.light = 40.0f;
  v.red = v.green = v.blue = 200;
  return gMesh.vertexCount++;
}

Face& SceneTest::AddLevelFace(float cx, float cz, uint32_t type, uint8_t tag, float y) {
  Face& f = gMesh.faces[gMesh.faceCount++];
  f = Face{};
  f.type = type;
  f.tag = tag;
  f.vertexCount = 3;
  f.index[0] = static_cast<uint16_t>(AddVertex(cx - 3, y, cz - 3));
  f.index[1] = static_cast<uint16_t>(AddVertex(cx + 3, y, cz - 3));
  f.index[2] = static_cast<uint16_t>(AddVertex(cx, y, cz + 6));
  f.normalY = 1024.0f;
  return f;
}

Face& SceneTest::AddUprightFace(float cx, float cy, float z, uint32_t type, uint8_t tag, bool front) {
  Face& f = gMesh.faces[gMesh.faceCount++];
  f = Face{};
  f.type = type;
  f.tag = tag;
  f.vertexCount = 4;
  const float corners[4][2] = {{-10, -10}, {10, -10}, {10, 10}, {-10, 10}};
  for (int i = 0; i < 4; ++i) {
    f.index[i] = static_cast<uint16_t>(AddVertex(cx + corners[i][0], cy + corners[i][1], z));
    f.st[2 * i] = corners[i][0] + 10;
    f.st[2 * i + 1] = corners[i][1] + 10;
  }
  // Drawn when the normal turned into view space points along the view ray.
  f.normalZ = front ? 1024.0f : -1024.0f;
  return f;
}

void SceneTest::LogSlot(DrawSlot* slot, void*) {
  gSceneLog.push_back("slot:" + std::to_string(slot->user) + "@" + std::to_string(static_cast<int>(slot->viewZ)));
}

void SceneTest::AddStatic(float x, float y, float z, uint32_t user, float half) {
  ASSERT_EQ(DrawListAddStatic(nullptr, user, LogSlot, x, y, z, half, half), 1);
}

DrawSlot* SceneTest::ClaimDynamic(float x, float y, float z, uint32_t user) {
  return DrawListClaimDynamic(nullptr, user, LogSlot, x, y, z);
}

void SceneTest::LookAlongZ(float x, float y, float z) {
  Camera camera{x, y, z, 0, 0, 0};
  CamSet(&camera);
}

std::vector<std::vector<int>> SceneTest::CellTags() {
  std::vector<std::vector<int>> out;
  for (int32_t i = 0; i < gGrid.allocatedCells; ++i) {
    const GridCell* cell = gGrid.cells[i];
    std::vector<int> tags;
    for (uint32_t f = 0; f < cell->faceCount; ++f) tags.push_back(cell->faces[f].tag);
    out.push_back(tags);
  }
  return out;
}
