#include "tools/datakit/lib/model3ds_writer.h"

namespace datakit {

namespace {

using Vec3 = std::array<float, 3>;

Bytes U32Chunk(uint16_t id, uint32_t v) {
  ByteWriter w;
  w.U32(v);
  return Chunk3ds(id, w.bytes());
}

Bytes RgbChunk(uint16_t id, uint8_t r, uint8_t g, uint8_t b) { return Chunk3ds(id, {r, g, b}); }

Bytes MaterialChunk(const Material3ds& m) {
  ByteWriter w;
  ByteWriter name;
  name.CString(m.name);
  w.Raw(Chunk3ds(0xA000, name.bytes()));
  if (m.ambient != AmbientChunks::NONE) {
    ByteWriter colours;
    colours.Raw(RgbChunk(0x0011, m.red, m.green, m.blue));
    if (m.ambient == AmbientChunks::BOTH) colours.Raw(RgbChunk(0x0012, m.red, m.green, m.blue));
    w.Raw(Chunk3ds(0xA010, colours.bytes()));
  }
  w.Raw(Chunk3ds(0xA020, RgbChunk(0x0011, m.red, m.green, m.blue)));
  if (!m.texture.empty()) {
    ByteWriter map;
    ByteWriter percent;
    percent.U16(100);
    map.Raw(Chunk3ds(0x0030, percent.bytes()));
    ByteWriter file;
    file.CString(m.texture);
    map.Raw(Chunk3ds(0xA300, file.bytes()));
    w.Raw(Chunk3ds(0xA200, map.bytes()));
  }
  return Chunk3ds(0xAFFF, w.bytes());
}

Bytes VertexChunk(const std::vector<Vec3>& vertices) {
  ByteWriter w;
  w.U16(static_cast<uint16_t>(vertices.size()));
  for (const Vec3& v : vertices)
    for (float c : v) w.F32(c);
  return Chunk3ds(0x4110, w.bytes());
}

Bytes MeshChunk(const Mesh3ds& mesh) {
  ByteWriter tri;
  tri.Raw(VertexChunk(mesh.vertices));
  if (!mesh.mapping.empty()) {
    ByteWriter map;
    map.U16(static_cast<uint16_t>(mesh.mapping.size()));
    for (const auto& uv : mesh.mapping) {
      map.F32(uv[0]);
      map.F32(uv[1]);
    }
    tri.Raw(Chunk3ds(0x4140, map.bytes()));
  }
  ByteWriter axes;  // local axes and origin, skipped by the game
  const float identity[12] = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};
  for (float f : identity) axes.F32(f);
  tri.Raw(Chunk3ds(0x4160, axes.bytes()));
  ByteWriter faces;
  faces.U16(static_cast<uint16_t>(mesh.faces.size()));
  for (const auto& f : mesh.faces) {
    faces.U16(f[0]);
    faces.U16(f[1]);
    faces.U16(f[2]);
    faces.U16(7);  // edge visibility flags
  }
  for (const Group3ds& g : mesh.groups) {
    ByteWriter group;
    group.CString(g.material);
    group.U16(static_cast<uint16_t>(g.faces.size()));
    for (uint16_t i : g.faces) group.U16(i);
    faces.Raw(Chunk3ds(0x4130, group.bytes()));
  }
  ByteWriter smoothing;
  for (size_t i = 0; i < mesh.faces.size(); ++i) smoothing.U32(1);
  faces.Raw(Chunk3ds(0x4150, smoothing.bytes()));
  tri.Raw(Chunk3ds(0x4120, faces.bytes()));
  ByteWriter object;
  object.CString(mesh.name);
  object.Raw(Chunk3ds(0x4100, tri.bytes()));
  return Chunk3ds(0x4000, object.bytes());
}

Bytes KeyframerChunk(const Model3ds& model) {
  ByteWriter kf;
  ByteWriter header;
  header.U16(5);
  header.CString("MAXSCENE");
  header.U32(100);
  kf.Raw(Chunk3ds(0xB00A, header.bytes()));
  for (const Mesh3ds& mesh : model.meshes) {
    ByteWriter node;
    ByteWriter nodeHeader;
    nodeHeader.CString(mesh.name);
    nodeHeader.U16(0);
    nodeHeader.U16(0);
    nodeHeader.U16(0xFFFF);  // no parent
    node.Raw(Chunk3ds(0xB010, nodeHeader.bytes()));
    ByteWriter pivot;
    for (int i = 0; i < 3; ++i) pivot.F32(0.0f);
    node.Raw(Chunk3ds(0xB013, pivot.bytes()));
    kf.Raw(Chunk3ds(0xB002, node.bytes()));
  }
  return Chunk3ds(0xB000, kf.bytes());
}

using Builder = ModelBuilder;

// The corners of a regular twelve-gon on the unit circle, to three places:
// plenty for sample models, and the same bytes on every machine.
constexpr float RING12[12][2] = {{1.0f, 0.0f},     {0.866f, 0.5f},   {0.5f, 0.866f},   {0.0f, 1.0f},
                                 {-0.5f, 0.866f},  {-0.866f, 0.5f},  {-1.0f, 0.0f},    {-0.866f, -0.5f},
                                 {-0.5f, -0.866f}, {0.0f, -1.0f},    {0.5f, -0.866f},  {0.866f, -0.5f}};

}  // namespace

Bytes Chunk3ds(uint16_t id, const Bytes& content) {
  ByteWriter w;
  w.U16(id);
  w.U32(static_cast<uint32_t>(content.size() + 6));
  w.Raw(content);
  return w.Take();
}

Bytes Make3ds(const Model3ds& model) {
  ByteWriter editor;
  editor.Raw(U32Chunk(0x3D3E, 3));
  for (const Material3ds& m : model.materials) editor.Raw(MaterialChunk(m));
  ByteWriter scale;
  scale.F32(1.0f);
  editor.Raw(Chunk3ds(0x0100, scale.bytes()));
  for (const Mesh3ds& mesh : model.meshes) editor.Raw(MeshChunk(mesh));
  ByteWriter main;
  main.Raw(U32Chunk(0x0002, 3));
  main.Raw(Chunk3ds(0x3D3D, editor.bytes()));
  if (model.keyframer) main.Raw(KeyframerChunk(model));
  return Chunk3ds(0x4D4D, main.bytes());
}

Bytes Make3dsFrame(const std::vector<std::array<float, 3>>& vertices) {
  ByteWriter object;
  object.CString("frame");
  object.Raw(Chunk3ds(0x4100, VertexChunk(vertices)));
  return Chunk3ds(0x4D4D, Chunk3ds(0x3D3D, Chunk3ds(0x4000, object.bytes())));
}

Model3ds ModelCarBody() {
  Builder b;
  size_t body = b.Material("BODY", 255, 255, 255, "car.3df");
  size_t under = b.Material("UNDER", 40, 40, 40);
  b.Box(body, under, {-20.0f, -8.0f, 0.0f}, {20.0f, 8.0f, 10.0f});
  return b.Done("body");
}

Model3ds ModelWheel() {
  Builder b;
  size_t tyre = b.Material("TYRE", 30, 30, 30, "wheel.3df");
  size_t hub = b.Material("HUB", 90, 90, 90);
  const float r = 6.0f, w = 2.0f;
  for (int i = 0; i < 12; ++i) {
    const float* p = RING12[i];
    const float* q = RING12[(i + 1) % 12];
    b.Quad(tyre, {r * p[0], -w, r * p[1]}, {r * q[0], -w, r * q[1]}, {r * q[0], w, r * q[1]}, {r * p[0], w, r * p[1]});
    // The two hub faces: a triangle from the axle to the rim on each side.
    auto base = static_cast<int>(b.mesh.vertices.size());
    b.mesh.vertices.insert(b.mesh.vertices.end(), {{0.0f, -w, 0.0f}, {r * q[0], -w, r * q[1]}, {r * p[0], -w, r * p[1]},
                                                   {0.0f, w, 0.0f}, {r * p[0], w, r * p[1]}, {r * q[0], w, r * q[1]}});
    b.mesh.mapping.insert(b.mesh.mapping.end(), 6, {0.0f, 0.0f});
    b.Triangle(hub, base, base + 1, base + 2);
    b.Triangle(hub, base + 3, base + 4, base + 5);
  }
  return b.Done("wheel");
}

Model3ds ModelTree() {
  Builder b;
  size_t leaves = b.Material("LEAVES", 40, 140, 40, "tree.3df");
  size_t trunk = b.Material("TRUNK", 100, 60, 20);
  b.Box(trunk, trunk, {-1.5f, -1.5f, 0.0f}, {1.5f, 1.5f, 12.0f});
  // The crown: a twelve-sided cone from z 8 to 30 over a radius of 10.
  for (int i = 0; i < 12; i += 1) {
    const float* p = RING12[i];
    const float* q = RING12[(i + 1) % 12];
    auto base = static_cast<int>(b.mesh.vertices.size());
    b.mesh.vertices.insert(b.mesh.vertices.end(), {{10.0f * p[0], 10.0f * p[1], 8.0f}, {10.0f * q[0], 10.0f * q[1], 8.0f},
                                                   {0.0f, 0.0f, 30.0f}});
    b.mesh.mapping.insert(b.mesh.mapping.end(), {{0.0f, 1.0f}, {1.0f, 1.0f}, {0.5f, 0.0f}});
    b.Triangle(leaves, base, base + 1, base + 2);
  }
  return b.Done("tree");
}

Model3ds ModelSign() {
  Builder b;
  size_t face = b.Material("PANEL", 255, 255, 255, "sign.3df");
  size_t post = b.Material("POST", 128, 128, 128);
  b.Box(post, post, {-0.5f, -0.5f, 0.0f}, {0.5f, 0.5f, 14.0f});
  b.Box(post, post, {-8.0f, -0.7f, 10.0f}, {8.0f, -0.5f, 18.0f});
  b.Quad(face, {-8.0f, -0.71f, 10.0f}, {8.0f, -0.71f, 10.0f}, {8.0f, -0.71f, 18.0f}, {-8.0f, -0.71f, 18.0f});
  return b.Done("sign");
}

Model3ds ModelGrid(uint32_t n, const std::string& texture) {
  Builder b;
  size_t ground = b.Material("GRID", 255, 255, 255, texture);
  for (uint32_t k = 0; k < n; ++k) {
    for (uint32_t i = 0; i < n; ++i) {
      const float x = static_cast<float>(i), y = static_cast<float>(k);
      b.Quad(ground, {x, y, 0.0f}, {x + 1.0f, y, 0.0f}, {x + 1.0f, y + 1.0f, 0.0f}, {x, y + 1.0f, 0.0f});
    }
  }
  return b.Done("grid");
}

TerrainSpec TerrainHills(uint32_t columns, uint32_t rows, uint32_t subdivisions, uint32_t seed) {
  TerrainSpec t;
  t.columns = columns;
  t.rows = rows;
  t.subdivisions = subdivisions;
  uint32_t x = seed * 2654435761u + 1;
  for (uint32_t r = 0; r < rows; ++r) {
    for (uint32_t c = 0; c < columns; ++c) {
      x = x * 1103515245u + 12345u;
      // A bowl around the middle dips below 0 (water); the rest rolls.
      int32_t dc = static_cast<int32_t>(c) - static_cast<int32_t>(columns / 2);
      int32_t dr = static_cast<int32_t>(r) - static_cast<int32_t>(rows / 2);
      int32_t bowl = (dc * dc + dr * dr) * 8 - 60;
      int32_t h = bowl + static_cast<int32_t>((x >> 16) % 80);
      t.heights.push_back(static_cast<int16_t>(h > 2000 ? 2000 : h));
    }
  }
  for (uint32_t i = 0; i + 1 < rows; ++i)
    for (uint32_t j = 0; j + 1 < columns; ++j) t.roughness.push_back(static_cast<uint16_t>((i + j + seed) % 6));
  t.defaultRoughness = 3;
  for (uint8_t i = 0; i < 8; ++i) t.palette.insert(t.palette.end(), {static_cast<uint8_t>(30 * i), 120, static_cast<uint8_t>(200 - 20 * i)});
  t.paletteLow = 1;
  t.paletteHigh = 6;
  t.lowColourHeight = 0.0f;
  t.highColourHeight = 400.0f;
  t.spacing = 40.0f;
  return t;
}

}  // namespace datakit
