// The 3DS loader on files the kit writes and on files assembled byte by byte
// from the published chunk layout, with the real texture manager behind it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "backend_common/texture.h"
#include "engine3d/mesh.h"
#include "engine3d/model3ds.h"
#include "platform/mem.h"
#include "platform/pak.h"
#include "support/test_support.h"
#include "tools/datakit/lib/boot_set.h"
#include "tools/datakit/lib/model3ds_writer.h"
#include "tools/datakit/lib/pak_writer.h"

using datakit::Bytes;

// The back end reports a missing archive texture on the game screen; here the
// messages are recorded.

namespace {

MeshPlacement Identity(float weld = 0.0f, int8_t u = 1, int8_t v = 1) {
  return MeshPlacement{0, 1.0f, weld, {1, 0, 0, 0, 1, 0, 0, 0, 1}, u, v};
}

// Little-endian chunk assembly without the kit, straight from the layout:
// u16 id, u32 length counting the 6-byte header, then the content.
struct Raw {
  Bytes b;
  Raw& U8(uint8_t v) { b.push_back(v); return *this; }
  Raw& U16(uint16_t v) { return U8(v & 0xFF).U8(v >> 8); }
  Raw& U32(uint32_t v) { return U16(v & 0xFFFF).U16(v >> 16); }
  Raw& F32(float f) {
    uint32_t u;
    std::memcpy(&u, &f, 4);
    return U32(u);
  }
  Raw& Str(const char* s) {
    while (*s) U8(static_cast<uint8_t>(*s++));
    return U8(0);
  }
  Raw& Chunk(uint16_t id, const Raw& content) {
    U16(id).U32(static_cast<uint32_t>(content.b.size() + 6));
    b.insert(b.end(), content.b.begin(), content.b.end());
    return *this;
  }
};

class Model3dsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MemPoolInit();
    PakReset();
    std::memset(gPakSlots, 0, sizeof gPakSlots);
    TexMemReset();
    TexSetColourKey(-1, 0, 0);
    RecordFatalErrors();
    ASSERT_NE(::getcwd(home_, sizeof home_), nullptr);
    ASSERT_EQ(::chdir(dir_.path().c_str()), 0);
  }
  void TearDown() override { ASSERT_EQ(::chdir(home_), 0); }

  // The kit's models and textures in the archives, mounted as the game does.
  void MountKit(const std::vector<datakit::DataFile>& extra = {}) {
    datakit::PakSet set;
    for (const auto& f : datakit::ModelFiles()) set.archives[f.archive - 1].AddFile(f.path, f.data);
    for (const auto& f : extra) set.archives[f.archive - 1].AddFile(f.path, f.data);
    std::string error;
    ASSERT_TRUE(datakit::WritePakSet(set, dir_.path().string(), &error)) << error;
    ASSERT_EQ(PakMountArchives(), 1) << PakLastError();
  }

  void Put(const std::string& name, const Bytes& data) { ASSERT_TRUE(datakit::WriteFile(dir_ / name, data)); }

  MeshHeader* LoadLoose(const Bytes& data, const MeshPlacement& placement, const char* prefix = "") {
    Put("m.3ds", data);
    return MeshLoad3ds("m.3ds", prefix, &placement);
  }

  TempDir dir_;
  char home_[4096];
};

void ExpectCentred(const MeshHeader* mesh) {
  float lo[3] = {1e9f, 1e9f, 1e9f}, hi[3] = {-1e9f, -1e9f, -1e9f};
  for (uint32_t i = 0; i < mesh->vertexCount; ++i) {
    const float p[3] = {mesh->vertices[i].x, mesh->vertices[i].y, mesh->vertices[i].z};
    for (int a = 0; a < 3; ++a) {
      lo[a] = std::fmin(lo[a], p[a]);
      hi[a] = std::fmax(hi[a], p[a]);
    }
  }
  for (int a = 0; a < 3; ++a) EXPECT_FLOAT_EQ(lo[a], -hi[a]) << "axis " << a;
}

uint32_t TypeOf(const Face& f) { return f.type >> 24; }

// ---- the kit's models, from the archives

TEST_F(Model3dsTest, KitModelsLoadWithTheirTexturesAndColours) {
  MountKit();
  const MeshPlacement place = Identity();
  const struct {
    const char* file;
    datakit::Model3ds model;
    const char* texture;
  } models[] = {{"car.3ds", datakit::ModelCarBody(), "CAR"},
                {"wheel.3ds", datakit::ModelWheel(), "WHEEL"},
                {"tree.3ds", datakit::ModelTree(), "TREE"},
                {"sign.3ds", datakit::ModelSign(), "SIGN"}};
  for (const auto& m : models) {
    SCOPED_TRACE(m.file);
    MeshHeader* mesh = MeshLoad3ds(m.file, "", &place);
    ASSERT_NE(mesh, nullptr);
    const datakit::Mesh3ds& src = m.model.meshes[0];
    EXPECT_EQ(mesh->type, MESH_TYPE_WORD);
    EXPECT_EQ(mesh->vertexCount, src.vertices.size());
    EXPECT_EQ(mesh->faceCount, src.faces.size());
    TextureTableEntry* entry = TexFind(m.texture);
    ASSERT_NE(entry, nullptr);
    const datakit::Material3ds& plain = m.model.materials[1];
    const uint32_t colour = plain.red | plain.green << 8 | plain.blue << 16;
    uint32_t textured = 0;
    for (uint32_t f = 0; f < mesh->faceCount; ++f) {
      const Face& face = mesh->faces[f];
      if (TypeOf(face) == FACE_TEX_LIT) {
        EXPECT_EQ(+face.type & 0xFFFFFF, +entry->handle);
        ++textured;
      } else {
        EXPECT_EQ(+face.type, colour);
      }
      EXPECT_NEAR(std::sqrt(face.normalX * face.normalX + face.normalY * face.normalY + face.normalZ * face.normalZ),
                  1024.0f, 0.5f);
    }
    EXPECT_EQ(textured, m.model.meshes[0].groups[0].faces.size());
    // Sorted: the textured faces (handle < colour) come after the coloured ones.
    for (uint32_t f = 0; f + 1 < mesh->faceCount; ++f)
      EXPECT_GE(+mesh->faces[f].type & 0xFFFFFF, +mesh->faces[f + 1].type & 0xFFFFFF);
    ExpectCentred(mesh);
    EXPECT_EQ(MeshFree(mesh), 1);
  }
  EXPECT_EQ(gTextureTable.count, 4);
  EXPECT_TRUE(gFatalErrors.empty());
}

TEST_F(Model3dsTest, ASecondModelReusesALoadedTexture) {
  datakit::Model3ds other = datakit::ModelTree();
  other.materials[0].texture = "CAR.3DF";  // another name of the same key
  MountKit({{1, "other.3ds", datakit::Make3ds(other)}});
  const MeshPlacement place = Identity();
  MeshHeader* car = MeshLoad3ds("car.3ds", "", &place);
  ASSERT_NE(car, nullptr);
  const int32_t bytes = gTextureTable.texelBytes;
  MeshHeader* tree = MeshLoad3ds("other.3ds", "", &place);
  ASSERT_NE(tree, nullptr);
  EXPECT_EQ(gTextureTable.count, 1);
  EXPECT_EQ(gTextureTable.texelBytes, bytes);  // nothing loaded again
  EXPECT_EQ(+tree->faces[tree->faceCount - 1].type, +car->faces[car->faceCount - 1].type);
  MeshFree(car);
  MeshFree(tree);
}

TEST_F(Model3dsTest, LooseFilesLoadWithoutArchives) {
  std::string error;
  ASSERT_TRUE(datakit::WriteLooseFiles(datakit::BootLooseFiles(), dir_.path().string(), &error)) << error;
  Put("car.3ds", datakit::Make3ds(datakit::ModelCarBody()));
  const MeshPlacement place = Identity();
  MeshHeader* mesh = MeshLoad3ds("car.3ds", "", &place);
  ASSERT_NE(mesh, nullptr);
  EXPECT_EQ(gTextureTable.count, 1);
  EXPECT_EQ(TypeOf(mesh->faces[mesh->faceCount - 1]), FACE_TEX_LIT);
  MeshFree(mesh);
}

// ---- one file assembled byte by byte

// A material "M" with ambient colour (10, 20, 30) and optionally the texture
// map "car.3df"; one object of four vertices and two faces, face 0 in the
// material's group and face 1 in none.
Bytes HandModel(bool textured, bool mapping) {
  Raw colour;
  colour.Chunk(0x0011, Raw().U8(99).U8(99).U8(99)).Chunk(0x0012, Raw().U8(10).U8(20).U8(30));
  Raw material;
  material.Chunk(0xA000, Raw().Str("M")).Chunk(0xA010, colour);
  if (textured) material.Chunk(0xA200, Raw().Chunk(0x0030, Raw().U16(100)).Chunk(0xA300, Raw().Str("car.3df")));
  Raw vertices;
  vertices.U16(4);
  const float p[4][3] = {{0, 0, 0}, {4, 0, 0}, {4, 2, 0}, {0, 2, 6}};
  for (const auto& v : p) vertices.F32(v[0]).F32(v[1]).F32(v[2]);
  Raw faces;
  faces.U16(2).U16(0).U16(1).U16(2).U16(7).U16(0).U16(2).U16(3).U16(7);
  faces.Chunk(0x4130, Raw().Str("M").U16(1).U16(0));
  Raw mesh;
  mesh.Chunk(0x4110, vertices);
  if (mapping) {
    Raw uv;
    uv.U16(4).F32(0.25f).F32(0.5f).F32(-1.0f).F32(0.0f).F32(1.0f).F32(1.0f).F32(0.0f).F32(-0.5f);
    mesh.Chunk(0x4140, uv);
  }
  mesh.Chunk(0x4120, faces);
  Raw object;
  object.Str("thing").Chunk(0x4100, mesh);
  Raw editor;
  editor.Chunk(0xAFFF, material).Chunk(0x4000, object);
  Raw keyframer;
  keyframer.Chunk(0xB002, Raw().Chunk(0xB013, Raw().F32(1).F32(2).F32(3)));
  Raw main;
  main.Chunk(0x3D3D, editor).Chunk(0xB000, keyframer);
  return Raw().Chunk(0x4D4D, main).b;
}

TEST_F(Model3dsTest, HandAssembledFileWithAColouredGroupAndAFaceInNoGroup) {
  MeshHeader* mesh = LoadLoose(HandModel(false, false), Identity());
  ASSERT_NE(mesh, nullptr);
  ASSERT_EQ(mesh->faceCount, 2u);
  // Two faces stay in file order (the sort leaves fewer than three alone).
  EXPECT_EQ(+mesh->faces[0].type, 10u | 20u << 8 | 30u << 16);
  EXPECT_EQ(+mesh->faces[0].index[1], 1);
  EXPECT_EQ(+mesh->faces[1].type, 0u);
  // Centred: x 0..4, y 0..2, z 0..6 become -2..2, -1..1, -3..3.
  EXPECT_FLOAT_EQ(mesh->vertices[0].x, -2.0f);
  EXPECT_FLOAT_EQ(mesh->vertices[0].y, -1.0f);
  EXPECT_FLOAT_EQ(mesh->vertices[3].z, 3.0f);
  MeshFree(mesh);
}

TEST_F(Model3dsTest, MappingFlagsAndTexelCoordinates) {
  MountKit({{1, "hand.3ds", HandModel(true, true)}});
  const struct {
    int8_t u, v;
    float s0, t0;
  } cases[] = {
      {1, 1, 63.0f, 63.0f},     // u 0.25 x 255 = 63.75, v 0.5 x 127 = 63.5
      {-1, 1, 191.0f, 63.0f},   // 1 - 0.25 = 0.75 -> 191
      {1, -1, 63.0f, 63.0f},    // 1 - 0.5 = 0.5
      {0, 0, 191.0f, 63.0f},    // 0 counts as "not above 0"
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << +c.u << "," << +c.v);
    const MeshPlacement place = Identity(0.0f, c.u, c.v);
    MeshHeader* mesh = MeshLoad3ds("hand.3ds", "", &place);
    ASSERT_NE(mesh, nullptr);
    const TextureTableEntry* car = TexFind("car");
    ASSERT_NE(car, nullptr);
    ASSERT_EQ(+car->sRange, 256);
    ASSERT_EQ(+car->tRange, 128);
    const Face& f = mesh->faces[0];  // the textured face (0, 1, 2)
    ASSERT_EQ(+f.type, car->handle | 0x02000000u);
    ASSERT_EQ(+f.index[0], 0);
    EXPECT_EQ(+f.st[0], c.s0);
    EXPECT_EQ(+f.st[1], c.t0);
    // Vertex 1 has u -1 (|u| = 1) and v 0.
    EXPECT_EQ(+f.st[2], c.u > 0 ? 255.0f : 0.0f);
    EXPECT_EQ(+f.st[3], c.v > 0 ? 0.0f : 127.0f);
    MeshFree(mesh);
  }
}

TEST_F(Model3dsTest, ATexturedGroupWithoutMappingGetsZeroCoordinates) {
  MountKit({{1, "hand.3ds", HandModel(true, false)}});
  const MeshPlacement place = Identity(0.0f, -1, -1);
  MeshHeader* mesh = MeshLoad3ds("hand.3ds", "", &place);
  ASSERT_NE(mesh, nullptr);
  const Face& f = mesh->faces[0];
  EXPECT_EQ(TypeOf(f), FACE_TEX_LIT);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(+f.st[i], 0.0f);
  MeshFree(mesh);
}

// ---- materials

TEST_F(Model3dsTest, AMaterialWithoutLinearColourIsBlackEvenAfterAColouredModel) {
  datakit::Model3ds model;
  model.meshes.push_back({"m", {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {}, {{0, 1, 2}}, {{"A", {0}}}});
  model.materials.push_back({"A", 200, 100, 50, datakit::AmbientChunks::BOTH, ""});
  MeshHeader* coloured = LoadLoose(datakit::Make3ds(model), Identity());
  ASSERT_NE(coloured, nullptr);
  EXPECT_EQ(+coloured->faces[0].type, 200u | 100u << 8 | 50u << 16);
  MeshFree(coloured);
  for (auto ambient : {datakit::AmbientChunks::NONE, datakit::AmbientChunks::COLOUR_24_ONLY}) {
    model.materials[0].ambient = ambient;
    MeshHeader* mesh = LoadLoose(datakit::Make3ds(model), Identity());
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(+mesh->faces[0].type, 0u);
    MeshFree(mesh);
  }
}

TEST_F(Model3dsTest, GroupsTakeMaterialsByPositionNotName) {
  datakit::Model3ds model;
  model.materials = {{"A", 1, 0, 0, datakit::AmbientChunks::BOTH, ""}, {"B", 2, 0, 0, datakit::AmbientChunks::BOTH, ""}};
  model.meshes.push_back({"m", {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {}, {{0, 1, 2}, {0, 2, 1}}, {{"B", {0}}, {"A", {1}}}});
  MeshHeader* mesh = LoadLoose(datakit::Make3ds(model), Identity());
  ASSERT_NE(mesh, nullptr);
  // The first group took material A (1), the second B (2).
  EXPECT_EQ(+mesh->faces[0].type, 1u);
  EXPECT_EQ(+mesh->faces[1].type, 2u);
  MeshFree(mesh);
}

// ---- placement, weld, sort

TEST_F(Model3dsTest, PlacementScalesAndTurnsBeforeCentring) {
  datakit::Model3ds model;
  model.meshes.push_back({"m", {{0, 0, 0}, {2, 0, 0}, {0, 4, 6}}, {}, {{0, 1, 2}}, {}});
  // z-up to y-up: rows (-1, 0, 0), (0, 0, 1), (0, -1, 0); scale 2.
  MeshPlacement place{0, 2.0f, 0.0f, {-1, 0, 0, 0, 0, 1, 0, -1, 0}, 1, 1};
  MeshHeader* mesh = LoadLoose(datakit::Make3ds(model), place);
  ASSERT_NE(mesh, nullptr);
  // Vertex 2 (0, 4, 6) -> (0, 12, -8); box x -4..0, y 0..12, z -8..0.
  EXPECT_FLOAT_EQ(mesh->vertices[2].x, 2.0f);
  EXPECT_FLOAT_EQ(mesh->vertices[2].y, 6.0f);
  EXPECT_FLOAT_EQ(mesh->vertices[2].z, -4.0f);
  ExpectCentred(mesh);
  MeshFree(mesh);
}

TEST_F(Model3dsTest, WeldJoinsVerticesStrictlyCloserThanTheTolerance) {
  // Vertices 1 and 3 are 0.05 apart on x; vertex 4 is far away.
  datakit::Model3ds model;
  model.meshes.push_back({"m", {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1.05f, 0, 0}, {0, 0, 5}}, {},
                          {{0, 1, 2}, {2, 3, 4}}, {}});
  const Bytes file = datakit::Make3ds(model);
  MeshHeader* joined = LoadLoose(file, Identity(0.1f));
  ASSERT_NE(joined, nullptr);
  EXPECT_EQ(joined->vertexCount, 4u);
  EXPECT_EQ(joined->faceCount, 2u);
  // Face (2, 3, 4) now uses vertex 1, and the old vertex 4 moved down to 3.
  const Face& second = joined->faces[0].index[0] == 2 ? joined->faces[0] : joined->faces[1];
  EXPECT_EQ(+second.index[1], 1);
  EXPECT_EQ(+second.index[2], 3);
  MeshFree(joined);

  // At a tolerance of exactly the distance they stay apart (the distance is
  // computed on the placed vertices, so use one exactly representable).
  Vertex v[2] = {};
  v[1].x = 0.05f;
  Face f{};
  f.vertexCount = 3;
  f.index[0] = 0;
  f.index[1] = 1;
  uint16_t vc = 2, fc = 1;
  MeshWeldVertices(v, &f, &vc, &fc, 0.05f);
  EXPECT_EQ(vc, 2);
  MeshWeldVertices(v, &f, &vc, &fc, 0.0500001f);
  EXPECT_EQ(vc, 1);
  EXPECT_EQ(+f.index[1], 0);
  EXPECT_EQ(fc, 1);
}

TEST_F(Model3dsTest, MeshWeldRunsOnlyForAPositiveToleranceAndStoresTheNewCounts) {
  // Vertex 3 lies 0.05 from vertex 1 and vertex 5 0.02 from vertex 2; the
  // quad's fourth corner is remapped too.
  const float positions[6][3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1.05f, 0, 0}, {0, 0, 5}, {0.02f, 1, 0}};
  const struct {
    float tolerance;
    uint32_t vertices;
    std::vector<int> quad;
  } rows[] = {
      {0.1f, 4, {2, 1, 3, 2}},
      {0.0f, 6, {2, 3, 4, 5}},
      {-1.0f, 6, {2, 3, 4, 5}},
      {NAN, 6, {2, 3, 4, 5}},
  };
  for (const auto& r : rows) {
    Vertex v[6] = {};
    for (int i = 0; i < 6; ++i) {
      v[i].x = positions[i][0];
      v[i].y = positions[i][1];
      v[i].z = positions[i][2];
      v[i].screenX = 7.0f;  // the weld marks vertices here
    }
    Face f[2] = {};
    f[0].vertexCount = 3;
    f[0].index[0] = 0;
    f[0].index[1] = 1;
    f[0].index[2] = 2;
    f[1].vertexCount = 4;
    for (int c = 0; c < 4; ++c) f[1].index[c] = static_cast<uint16_t>(2 + c);
    MeshHeader mesh{MESH_TYPE_WORD, 6, 2, f, v, {0, 0, 0}};
    const MeshPlacement placement = Identity(r.tolerance);
    MeshWeld(&mesh, &placement);
    EXPECT_EQ(mesh.vertexCount, r.vertices) << r.tolerance;
    EXPECT_EQ(mesh.faceCount, 2u);
    EXPECT_EQ(std::vector<int>({f[1].index[0], f[1].index[1], f[1].index[2], f[1].index[3]}), r.quad) << r.tolerance;
    if (r.vertices == 6) {
      EXPECT_EQ(+v[5].screenX, 7.0f) << "skipped: not a vertex touched";
    } else {
      EXPECT_EQ(+v[3].z, 5.0f) << "the far vertex moved down";
    }
  }
  const MeshPlacement weld = Identity(0.1f);
  MeshWeld(nullptr, &weld);
}

TEST_F(Model3dsTest, SortIsDescendingAndKeepsTheOrderOfEqualKeys) {
  Face faces[6] = {};
  const uint32_t keys[6] = {1, 0x02000003, 1, 2, 3, 0x0D000001};
  for (int i = 0; i < 6; ++i) {
    faces[i].type = keys[i];
    faces[i].tag = static_cast<uint8_t>(i);
  }
  MeshHeader mesh{MESH_TYPE_WORD, 0, 6, faces, nullptr, {0, 0, 0}};
  MeshSortFacesByTexture(&mesh);
  const uint8_t order[6] = {1, 4, 3, 0, 2, 5};  // 3, 3, 2, 1, 1, 1 by the low 24 bits
  for (int i = 0; i < 6; ++i) EXPECT_EQ(faces[i].tag, order[i]) << i;
  Face two[2] = {};
  two[0].type = 1;
  two[1].type = 5;
  MeshHeader small{MESH_TYPE_WORD, 0, 2, two, nullptr, {0, 0, 0}};
  MeshSortFacesByTexture(&small);
  EXPECT_EQ(+two[0].type, 1u);  // fewer than three faces stay as loaded
}

// ---- frames and the pool loader

TEST_F(Model3dsTest, FrameSetsNeedTheBaseVertexCount) {
  MountKit();
  const MeshPlacement place{0, 2.0f, 0.0f, {1, 0, 0, 0, 1, 0, 0, 0, 1}, 1, 1};
  MeshHeader* base = MeshLoad3ds("car.3ds", "", &place);
  ASSERT_NE(base, nullptr);
  std::vector<std::array<float, 3>> moved = datakit::ModelCarBody().meshes[0].vertices;
  for (auto& v : moved) v[2] += 1.0f;
  Put("f1.3ds", datakit::Make3dsFrame(moved));
  Put("f2.3ds", datakit::Make3dsFrame(datakit::ModelCarBody().meshes[0].vertices));
  std::vector<std::array<float, 3>> shorter(moved.begin(), moved.end() - 1);
  Put("bad.3ds", datakit::Make3dsFrame(shorter));
  PakReset();  // frames lie loose

  const char* names[] = {"f1.3ds", "f2.3ds", nullptr};
  MeshFrameSet* set = MeshLoadFrames(names, base, &place);
  ASSERT_NE(set, nullptr);
  ASSERT_EQ(set->frameCount, 2u);
  // Scaled, not centred: the first vertex (-20, -8, 10) moved up by 1.
  EXPECT_FLOAT_EQ(set->frames[0].vertices[0].x, -40.0f);
  EXPECT_FLOAT_EQ(set->frames[0].vertices[0].z, 22.0f);
  EXPECT_FLOAT_EQ(set->frames[1].vertices[0].z, 20.0f);
  const FrameVertex& top = set->frames[0].vertices[0];
  EXPECT_NEAR(std::sqrt(top.normalX * top.normalX + top.normalY * top.normalY + top.normalZ * top.normalZ), 1024.0f,
              0.5f);
  MeshFramesFree(set);

  const char* wrong[] = {"f1.3ds", "bad.3ds", nullptr};
  EXPECT_EQ(MeshLoadFrames(wrong, base, &place), nullptr);
  const char* none[] = {nullptr};
  EXPECT_EQ(MeshLoadFrames(none, base, &place), nullptr);
  const char* missing[] = {"nothere.3ds", nullptr};
  EXPECT_EQ(MeshLoadFrames(missing, base, &place), nullptr);
  MeshFree(base);
}

Bytes Triangle(uint16_t a = 0, uint16_t b = 1, uint16_t c = 2);

TEST_F(Model3dsTest, PoolLoaderPutsTheMinimumCornerAtTheOrigin) {
  MeshPoolAllocVertices(100);
  MeshPoolAllocFaces(100);
  Put("car.3ds", datakit::Make3ds(datakit::ModelCarBody()));
  PakReset();
  const MeshPlacement place = Identity(0.01f);
  ASSERT_EQ(MeshLoad3dsToPool("car.3ds", "", &place), 1);
  EXPECT_EQ(gMesh.vertexCount, 8);  // the box's 24 vertices welded to its corners
  EXPECT_EQ(gMesh.faceCount, 12);
  float lo[3] = {1e9f, 1e9f, 1e9f};
  for (int i = 0; i < gMesh.vertexCount; ++i) {
    lo[0] = std::fmin(lo[0], gMesh.vertices[i].x);
    lo[1] = std::fmin(lo[1], gMesh.vertices[i].y);
    lo[2] = std::fmin(lo[2], gMesh.vertices[i].z);
  }
  EXPECT_EQ(lo[0], 0.0f);
  EXPECT_EQ(lo[1], 0.0f);
  EXPECT_EQ(lo[2], 0.0f);
  EXPECT_EQ(gMesh.vertices[0].lightLevel, 63);

  // A file refused after it was read into the pools leaves them empty, not
  // holding old counts over new records.
  Put("bad.3ds", Triangle(0, 1, 7));
  PakReset();
  EXPECT_EQ(MeshLoad3dsToPool("bad.3ds", "", &place), 0);
  EXPECT_EQ(gMesh.vertexCount, 0);
  EXPECT_EQ(gMesh.faceCount, 0);

  MeshPoolAllocVertices(10);  // a list longer than the pool is refused
  EXPECT_EQ(MeshLoad3dsToPool("car.3ds", "", &place), 0);
}

// ---- damaged and hostile files

Bytes Triangle(uint16_t a, uint16_t b, uint16_t c) {
  datakit::Model3ds model;
  model.materials.push_back({"A", 1, 2, 3, datakit::AmbientChunks::BOTH, ""});
  model.meshes.push_back({"m", {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {}, {{a, b, c}}, {{"A", {0}}}});
  return datakit::Make3ds(model);
}

TEST_F(Model3dsTest, DamagedFilesAreRefused) {
  const MeshPlacement place = Identity();
  ASSERT_NE(LoadLoose(Triangle(), place), nullptr);

  datakit::Model3ds two = datakit::ModelCarBody();
  two.meshes.push_back(two.meshes[0]);
  datakit::Model3ds mapping = datakit::ModelCarBody();
  mapping.meshes[0].mapping.pop_back();
  datakit::Model3ds groupIndex = datakit::ModelCarBody();
  groupIndex.meshes[0].groups[1].faces.push_back(12);
  datakit::Model3ds materials;
  materials.meshes.push_back({"m", {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {}, {{0, 1, 2}}, {}});
  for (int i = 0; i < 401; ++i) materials.materials.push_back({"X", 0, 0, 0, datakit::AmbientChunks::BOTH, ""});
  datakit::Model3ds groups = materials;
  groups.materials.resize(1);
  groups.meshes[0].groups.assign(401, datakit::Group3ds{"X", {0}});
  datakit::Model3ds longName = datakit::ModelCarBody();
  longName.materials[0].texture = std::string(212, 'a');
  // A group before any face list: a lone face-material chunk in the object.
  Raw loneMesh;
  loneMesh.Chunk(0x4110, Raw().U16(3).F32(0).F32(0).F32(0).F32(1).F32(0).F32(0).F32(0).F32(1).F32(0));
  loneMesh.Chunk(0x4130, Raw().Str("A").U16(1).U16(0));
  loneMesh.Chunk(0x4120, Raw().U16(1).U16(0).U16(1).U16(2).U16(0));
  Raw loneObject;
  loneObject.Str("m").Chunk(0x4100, loneMesh);
  Raw lone;
  lone.Chunk(0x4D4D, Raw().Chunk(0x3D3D, Raw().Chunk(0x4000, loneObject)));

  const struct {
    const char* what;
    Bytes file;
  } cases[] = {
      {"two mesh objects", datakit::Make3ds(two)},
      {"mapping count differs", datakit::Make3ds(mapping)},
      {"face index beyond the vertices", Triangle(0, 1, 3)},
      {"group face beyond the faces", datakit::Make3ds(groupIndex)},
      {"401 materials", datakit::Make3ds(materials)},
      {"401 groups", datakit::Make3ds(groups)},
      {"texture path beyond the name buffer", datakit::Make3ds(longName)},
      {"group before the face list", lone.b},
      {"no face list", Raw().Chunk(0x4D4D, Raw()).b},
      {"empty file", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(LoadLoose(c.file, place), nullptr);
  }
  // The prefix counts towards the name buffer too.
  datakit::Model3ds fits = datakit::ModelCarBody();
  fits.materials[0].texture = std::string(200, 'a');
  EXPECT_EQ(LoadLoose(datakit::Make3ds(fits), place, "0123456789AB"), nullptr);
  MeshHeader* ok = LoadLoose(datakit::Make3ds(fits), place, "0123456789A");
  EXPECT_NE(ok, nullptr);  // exactly 211 characters: the texture is only missing
  MeshFree(ok);
}

TEST_F(Model3dsTest, ATailShorterThanAChunkHeaderIsIgnored) {
  const MeshPlacement place = Identity();
  MeshHeader* base = LoadLoose(Triangle(), place);
  ASSERT_NE(base, nullptr);
  MeshPoolAllocVertices(10);
  MeshPoolAllocFaces(10);
  struct Case {
    const char* what;
    Bytes tail;
    bool loads;
  } cases[] = {
      {"one stray byte", {0}, true},
      {"three", {0x4D, 0x4D, 0xFF}, true},
      {"five", {1, 2, 3, 4, 5}, true},
      {"a whole header of junk", {0, 0, 0, 0, 0, 0}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Bytes model = Triangle();
    model.insert(model.end(), c.tail.begin(), c.tail.end());
    MeshHeader* mesh = LoadLoose(model, place);
    EXPECT_EQ(mesh != nullptr, c.loads);
    if (mesh) {
      EXPECT_EQ(mesh->faceCount, 1u);
    }
    MeshFree(mesh);
    EXPECT_EQ(MeshLoad3dsToPool("m.3ds", "", &place), c.loads ? 1 : 0);
    Bytes frame = datakit::Make3dsFrame({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}});
    frame.insert(frame.end(), c.tail.begin(), c.tail.end());
    Put("f.3ds", frame);
    const char* names[] = {"f.3ds", nullptr};
    MeshFrameSet* set = MeshLoadFrames(names, base, &place);
    EXPECT_EQ(set != nullptr, c.loads);
    if (set) MeshFramesFree(set);
  }
  MeshFree(base);
}

TEST_F(Model3dsTest, ChunkLengthsOutsideTheFileAreRefused) {
  const MeshPlacement place = Identity();
  const Bytes good = Triangle();
  // Every chunk header in the file: offsets found by walking the kit's layout
  // is fragile, so damage every u32 at every offset in turn and demand only
  // that nothing reads out of bounds; lengths below 6 must all be refused.
  for (size_t at = 2; at + 4 <= good.size(); ++at) {
    for (uint32_t length : {0u, 5u, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
      Bytes bad = good;
      for (int i = 0; i < 4; ++i) bad[at + i] = static_cast<uint8_t>(length >> (8 * i));
      MeshHeader* mesh = LoadLoose(bad, place);
      MeshFree(mesh);
    }
  }
  // The main chunk's own length.
  for (uint32_t length : {0u, 5u, static_cast<uint32_t>(good.size() + 1)}) {
    Bytes bad = good;
    for (int i = 0; i < 4; ++i) bad[2 + i] = static_cast<uint8_t>(length >> (8 * i));
    EXPECT_EQ(LoadLoose(bad, place), nullptr) << length;
  }
  // Every truncation.
  for (size_t n = 0; n < good.size(); ++n) {
    Bytes cut(good.begin(), good.begin() + static_cast<long>(n));
    EXPECT_EQ(LoadLoose(cut, place), nullptr) << n;
  }
  EXPECT_EQ(MemPoolUsedBytes(), 0u);  // nothing left allocated by the refusals
}

}  // namespace
