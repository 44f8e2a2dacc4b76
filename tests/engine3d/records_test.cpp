#include <cstring>
#include <string>
#include <vector>

#include "backend_common/texture.h"
#include "engine3d/mesh.h"
#include "engine3d/sprite.h"
#include "platform/mem.h"
#include "support/null_backend.h"
#include "support/test_support.h"
#include "tools/datakit/lib/bytes.h"

// Fields of the byte-packed Vertex and Face are compared by value (+field):
// a reference to one may be misaligned.

namespace {

using datakit::ByteWriter;
using datakit::Bytes;

// A mesh record file written byte by byte from its layout: u32 vertex count,
// u32 face count, 52-byte vertices, 58-byte faces.
ByteWriter MeshFileBytes(uint32_t vertexCount = 3, uint32_t faceCount = 1) {
  ByteWriter w;
  w.U32(vertexCount);
  w.U32(faceCount);
  for (uint32_t i = 0; i < vertexCount; ++i) {
    const float f[11] = {i + 0.5f, -1.0f * i, 2.0f * i, 100.0f + i, 200.0f, 300.0f, 0, 1024, 0, 10, 20};
    for (float v : f) w.F32(v);
    w.U8(255);
    w.U8(128);
    w.U8(static_cast<uint8_t>(i));
    w.F32(40.5f);
    w.U8(63);
  }
  for (uint32_t i = 0; i < faceCount; ++i) {
    w.U32(0x02000011);
    w.U8(3);
    w.U16(0);
    w.U16(1);
    w.U16(2);
    w.U16(0xBEEF);  // the fourth index of a triangle is never read
    for (int k = 0; k < 8; ++k) w.F32(k * 1.25f);
    w.F32(0);
    w.F32(-1024);
    w.F32(0);
    w.U8(1);
  }
  return w;
}

std::string AsString(const Bytes& b) { return std::string(b.begin(), b.end()); }

class Records : public ::testing::Test {
 protected:
  void SetUp() override {
    MemPoolInit();
    MeshPoolAllocVertices(MESH_POOL_VERTICES);
    MeshPoolAllocFaces(MESH_POOL_FACES);
  }
  std::string Put(const std::string& name, const Bytes& bytes) {
    dir.Write(name, AsString(bytes));
    return dir / name;
  }
  TempDir dir;
};

TEST_F(Records, AssembledFileLoadsFieldByFieldAndSavesBackIdentically) {
  Bytes bytes = MeshFileBytes().Take();
  ASSERT_EQ(bytes.size(), 8u + 3 * 52 + 58);
  MeshHeader* mesh = MeshLoadRecords(Put("MESH.REC", bytes).c_str());
  ASSERT_NE(mesh, nullptr);
  EXPECT_EQ(mesh->type, MESH_TYPE_WORD);
  ASSERT_EQ(mesh->vertexCount, 3u);
  ASSERT_EQ(mesh->faceCount, 1u);
  const Vertex& v = mesh->vertices[2];
  EXPECT_EQ(+v.x, 2.5f);
  EXPECT_EQ(+v.y, -2.0f);
  EXPECT_EQ(+v.viewX, 102.0f);
  EXPECT_EQ(+v.normalY, 1024.0f);
  EXPECT_EQ(+v.screenY, 20.0f);
  EXPECT_EQ(+v.red, 255);
  EXPECT_EQ(+v.blue, 2);
  EXPECT_EQ(+v.light, 40.5f);
  EXPECT_EQ(+v.lightLevel, 63);
  const Face& f = mesh->faces[0];
  EXPECT_EQ(+f.type, 0x02000011u);
  EXPECT_EQ(+f.vertexCount, 3);
  EXPECT_EQ(+f.index[2], 2);
  EXPECT_EQ(+f.index[3], 0xBEEF);
  EXPECT_EQ(+f.st[7], 8.75f);
  EXPECT_EQ(+f.normalY, -1024.0f);
  EXPECT_EQ(+f.tag, 1);

  // An older, longer file of the same name is replaced whole.
  dir.Write("copy.rec", std::string(1000, 'x'));
  ASSERT_EQ(MeshSaveRecords((dir / "copy.rec").c_str(), mesh), 1);
  EXPECT_EQ(dir.Read("copy.rec"), AsString(bytes));
  EXPECT_EQ(MeshFree(mesh), 1);
}

TEST_F(Records, PoolRoundTrip) {
  for (int i = 0; i < 100; ++i) {
    Vertex& v = gMesh.vertices[i];
    std::memset(&v, i, sizeof v);
    v.x = static_cast<float>(i);
  }
  for (int i = 0; i < 50; ++i) {
    Face& f = gMesh.faces[i];
    std::memset(&f, i + 1, sizeof f);
    f.vertexCount = i % 2 ? 3 : 4;
    for (int k = 0; k < 4; ++k) f.index[k] = static_cast<uint16_t>(i + k);
  }
  gMesh.vertexCount = 100;
  gMesh.faceCount = 50;
  std::vector<Vertex> vertices(gMesh.vertices, gMesh.vertices + 100);
  std::vector<Face> faces(gMesh.faces, gMesh.faces + 50);
  const std::string name = dir / "pool.rec";
  ASSERT_EQ(MeshPoolSaveFile(name.c_str()), 1);
  EXPECT_EQ(dir.Read("pool.rec").size(), 8u + 100 * 52 + 50 * 58);

  std::memset(gMesh.vertices, 0, 100 * sizeof(Vertex));
  std::memset(gMesh.faces, 0, 50 * sizeof(Face));
  gMesh.vertexCount = 7;
  gMesh.faceCount = 3;
  ASSERT_EQ(MeshPoolLoadFile(name.c_str()), 1);
  EXPECT_EQ(gMesh.vertexCount, 100);
  EXPECT_EQ(gMesh.faceCount, 50);
  EXPECT_EQ(std::memcmp(gMesh.vertices, vertices.data(), 100 * sizeof(Vertex)), 0);
  EXPECT_EQ(std::memcmp(gMesh.faces, faces.data(), 50 * sizeof(Face)), 0);
}

TEST_F(Records, FramesRoundTrip) {
  MeshHeader mesh{MESH_TYPE_WORD, 2, 1, nullptr, nullptr, {0, 0, 0}};
  FrameVertex fv[3][2];
  float normals[3][3];
  MeshFrame frames[3];
  for (int f = 0; f < 3; ++f) {
    for (int v = 0; v < 2; ++v) fv[f][v] = FrameVertex{f + 0.25f, 1.0f * v, -3.0f, 0, 1024, 0};
    for (int k = 0; k < 3; ++k) normals[f][k] = 100.0f * f + k;
    frames[f] = MeshFrame{fv[f], normals[f]};
  }
  MeshFrameSet set{3, frames};
  const std::string name = dir / "anim.frm";
  ASSERT_EQ(MeshFramesSaveFile(name.c_str(), &set, &mesh), 1);
  EXPECT_EQ(dir.Read("anim.frm").size(), 4u + 3 * (2 * 24 + 12));

  uint32_t before = MemPoolUsedBytes();
  MeshFrameSet* loaded = MeshFramesLoadFile(name.c_str(), &mesh);
  ASSERT_NE(loaded, nullptr);
  ASSERT_EQ(loaded->frameCount, 3u);
  for (int f = 0; f < 3; ++f) {
    EXPECT_EQ(std::memcmp(loaded->frames[f].vertices, fv[f], sizeof fv[f]), 0);
    EXPECT_EQ(std::memcmp(loaded->frames[f].normals, normals[f], sizeof normals[f]), 0);
  }
  MeshFramesFree(loaded);
  EXPECT_EQ(MemPoolUsedBytes(), before);

  // The counts come from the mesh: the same file does not fit a mesh of 3 vertices.
  MeshHeader other{MESH_TYPE_WORD, 3, 1, nullptr, nullptr, {0, 0, 0}};
  EXPECT_EQ(MeshFramesLoadFile(name.c_str(), &other), nullptr);
  EXPECT_EQ(MeshFramesLoadFile(name.c_str(), nullptr), nullptr);
  EXPECT_EQ(MemPoolUsedBytes(), before);
}

TEST_F(Records, DamagedMeshFilesAreRefusedAndLoseNothing) {
  auto patched = [](size_t offset, std::initializer_list<uint8_t> bytes) {
    Bytes b = MeshFileBytes().Take();
    size_t i = offset;
    for (uint8_t v : bytes) b[i++] = v;
    return b;
  };
  Bytes good = MeshFileBytes().Take();
  Bytes shorter(good.begin(), good.end() - 1);
  Bytes longer = good;
  longer.push_back(0);
  ByteWriter wrap;  // 2^31 vertices: 52 x 2^31 wraps to 0 in 32 bits
  wrap.U32(0x80000000u);
  wrap.U32(0);
  ByteWriter wrapFaces;  // 58 x 0x4F72C235 wraps to 2 in 32 bits
  wrapFaces.U32(0);
  wrapFaces.U32(0x4F72C235u);
  wrapFaces.U16(0);
  const size_t faceAt = 8 + 3 * 52;
  const struct {
    const char* what;
    Bytes bytes;
  } rows[] = {
      {"empty", {}},
      {"counts cut short", Bytes(good.begin(), good.begin() + 7)},
      {"one byte short", shorter},
      {"one byte over", longer},
      {"vertex product wraps", wrap.Take()},
      {"face product wraps", wrapFaces.Take()},
      {"more faces than stored", patched(4, {2})},
      {"index past the vertices", patched(faceAt + 5 + 4, {3, 0})},
      {"five corners", patched(faceAt + 4, {5})},
      {"two corners", patched(faceAt + 4, {2})},
  };

  // What the pools held before must survive every refusal.
  gMesh.vertexCount = 2;
  gMesh.faceCount = 1;
  gMesh.vertices[0].x = 42.0f;
  gMesh.faces[0].type = 0x0E000001;
  for (const auto& r : rows) {
    const std::string name = Put("bad.rec", r.bytes);
    uint32_t before = MemPoolUsedBytes();
    EXPECT_EQ(MeshLoadRecords(name.c_str()), nullptr) << r.what;
    EXPECT_EQ(MemPoolUsedBytes(), before) << r.what;
    EXPECT_EQ(MeshPoolLoadFile(name.c_str()), 0) << r.what;
    EXPECT_EQ(gMesh.vertexCount, 2) << r.what;
    EXPECT_EQ(gMesh.faceCount, 1) << r.what;
    EXPECT_EQ(+gMesh.vertices[0].x, 42.0f) << r.what;
    EXPECT_EQ(+gMesh.faces[0].type, 0x0E000001u) << r.what;
  }
  EXPECT_EQ(MeshLoadRecords((dir / "missing.rec").c_str()), nullptr);
  EXPECT_EQ(MeshPoolLoadFile((dir / "missing.rec").c_str()), 0);
}

TEST_F(Records, PoolRefusesMoreThanItsCapacity) {
  const std::string name = Put("big.rec", MeshFileBytes(3, 1).Take());
  gMesh.vertexCapacity = 2;  // smaller than the file's 3 vertices
  gMesh.vertexCount = 1;
  gMesh.faceCount = 1;
  EXPECT_EQ(MeshPoolLoadFile(name.c_str()), 0);
  EXPECT_EQ(gMesh.vertexCount, 1);
  EXPECT_EQ(gMesh.faceCount, 1);
  gMesh.vertexCapacity = 3;
  gMesh.faceCapacity = 0;
  EXPECT_EQ(MeshPoolLoadFile(name.c_str()), 0);
  gMesh.faceCapacity = 1;
  EXPECT_EQ(MeshPoolLoadFile(name.c_str()), 1);  // exactly full is fine
  EXPECT_EQ(gMesh.vertexCount, 3);
}

TEST_F(Records, DamagedFrameFilesAreRefused) {
  MeshHeader mesh{MESH_TYPE_WORD, 1, 1, nullptr, nullptr, {0, 0, 0}};
  const MeshHeader empty{MESH_TYPE_WORD, 0, 0, nullptr, nullptr, {0, 0, 0}};
  auto frames = [](uint32_t count, size_t bodyBytes) {
    ByteWriter w;
    w.U32(count);
    for (size_t i = 0; i < bodyBytes; ++i) w.U8(static_cast<uint8_t>(i));
    return w.Take();
  };
  const size_t perFrame = 24 + 12;
  const struct {
    const char* what;
    Bytes bytes;
    const MeshHeader* against;
  } rows[] = {
      {"empty", {}, &mesh},
      {"one byte short", frames(2, 2 * perFrame - 1), &mesh},
      {"one byte over", frames(2, 2 * perFrame + 1), &mesh},
      {"count above the content", frames(3, 2 * perFrame), &mesh},
      {"huge count", frames(0xFFFFFFFFu, perFrame), &mesh},
      // Frames of an empty mesh take no bytes: the count alone would size the set.
      {"one frame of an empty mesh", frames(1, 0), &empty},
      {"a million frames of an empty mesh", frames(1000000, 0), &empty},
      {"every frame of an empty mesh", frames(0xFFFFFFFFu, 0), &empty},
      {"bytes after no frames of an empty mesh", frames(0, 1), &empty},
  };
  const uint32_t before = MemPoolUsedBytes(), peak = MemPoolPeakBytes();
  for (const auto& r : rows) {
    EXPECT_EQ(MeshFramesLoadFile(Put("bad.frm", r.bytes).c_str(), r.against), nullptr) << r.what;
    EXPECT_EQ(MemPoolUsedBytes(), before) << r.what;
    EXPECT_EQ(MemPoolPeakBytes(), peak) << r.what << ": refused before anything is allocated";
  }
  MeshFrameSet* fine = MeshFramesLoadFile(Put("ok.frm", frames(2, 2 * perFrame)).c_str(), &mesh);
  ASSERT_NE(fine, nullptr);
  EXPECT_EQ(fine->frameCount, 2u);
  MeshFramesFree(fine);
  MeshFrameSet* none = MeshFramesLoadFile(Put("none.frm", frames(0, 0)).c_str(), &empty);
  ASSERT_NE(none, nullptr);
  EXPECT_EQ(none->frameCount, 0u);
  MeshFramesFree(none);
  // What the load refuses is not written either.
  MeshFrame blank{nullptr, nullptr};
  MeshFrameSet oneFrame{1, &blank};
  EXPECT_EQ(MeshFramesSaveFile((dir / "out.frm").c_str(), &oneFrame, &empty), 0);
}

TEST_F(Records, SavesThatCannotBeWrittenReportFailure) {
  MeshHeader mesh{MESH_TYPE_WORD, 0, 0, nullptr, nullptr, {0, 0, 0}};
  EXPECT_EQ(MeshSaveRecords((dir / "no/such/dir/m.rec").c_str(), &mesh), 0);
  EXPECT_EQ(MeshSaveRecords((dir / "m.rec").c_str(), nullptr), 0);
  MeshHeader broken{MESH_TYPE_WORD, 5, 0, nullptr, nullptr, {0, 0, 0}};  // counts without arrays
  EXPECT_EQ(MeshSaveRecords((dir / "m.rec").c_str(), &broken), 0);
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));  // neither the file nor a temporary one
  EXPECT_EQ(MeshSaveRecords((dir / "m.rec").c_str(), &mesh), 1);
  EXPECT_EQ(dir.Read("m.rec"), std::string(8, '\0'));
}

// A texture list whose second texture will not download: the reload stops
// there and says so, keeping the entry made before it.
TEST_F(Records, ATextureListReloadFailsAtADownloadThatFails) {
  ByteWriter w;
  w.U32(3);
  for (const char* key : {"ONE", "TWO", "THREE"}) {
    char entry[53] = {};
    std::memcpy(entry + 30, key, std::strlen(key));
    for (char c : entry) w.U8(static_cast<uint8_t>(c));
  }
  const std::string path = Put("LIST.BIN", w.Take());
  gNullDownloadRefused = [](const char* key) { return std::strcmp(key, "TWO") == 0; };
  const uint32_t before = MemPoolUsedBytes();
  EXPECT_EQ(TexListLoadFile(path.c_str()), 0);
  EXPECT_EQ(gTextureTable.count, 1);
  EXPECT_EQ(MemPoolUsedBytes(), before);
  gNullDownloadRefused = [](const char*) { return false; };
  EXPECT_EQ(TexListLoadFile(path.c_str()), 1);
  EXPECT_EQ(gTextureTable.count, 3);
}

}  // namespace
