// 3DS models in the published chunk format: materials with colours and
// texture maps, one triangle mesh per object with mapping coordinates and its
// material groups nested inside the face list, a small keyframer section, and
// frame files (the same mesh in other positions). Also the kit's sample
// models and terrain descriptions.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/datakit/lib/bytes.h"

namespace datakit {

// Ambient colour chunks written for a material.
enum class AmbientChunks { NONE, COLOUR_24_ONLY, BOTH };

struct Material3ds {
  std::string name;
  uint8_t red = 0, green = 0, blue = 0;
  AmbientChunks ambient = AmbientChunks::BOTH;
  std::string texture;  // map file name; empty for none
};

struct Group3ds {
  std::string material;  // the loader goes by the group's position, not this name
  std::vector<uint16_t> faces;
};

struct Mesh3ds {
  std::string name;
  std::vector<std::array<float, 3>> vertices;
  std::vector<std::array<float, 2>> mapping;  // empty: no mapping chunk
  std::vector<std::array<uint16_t, 3>> faces;
  std::vector<Group3ds> groups;
};

struct Model3ds {
  std::vector<Material3ds> materials;
  std::vector<Mesh3ds> meshes;
  bool keyframer = true;
};

// One chunk: u16 id, u32 length counting the 6-byte header, the content.
Bytes Chunk3ds(uint16_t id, const Bytes& content);
Bytes Make3ds(const Model3ds& model);
// A frame file: one object whose mesh holds only a vertex list.
Bytes Make3dsFrame(const std::vector<std::array<float, 3>>& vertices);

// Model building: quads of four vertices of their own, two triangles each.
struct ModelBuilder {
  Model3ds model;
  Mesh3ds mesh;

  size_t Material(const std::string& name, uint8_t r, uint8_t g, uint8_t b, const std::string& texture = "") {
    model.materials.push_back({name, r, g, b, AmbientChunks::BOTH, texture});
    mesh.groups.push_back({name, {}});
    return mesh.groups.size() - 1;
  }
  void Quad(size_t group, std::array<float, 3> a, std::array<float, 3> b, std::array<float, 3> c, std::array<float, 3> d) {
    auto base = static_cast<uint16_t>(mesh.vertices.size());
    mesh.vertices.insert(mesh.vertices.end(), {a, b, c, d});
    mesh.mapping.insert(mesh.mapping.end(), {{0.0f, 0.0f}, {1.0f, 0.0f}, {1.0f, 1.0f}, {0.0f, 1.0f}});
    Triangle(group, base, base + 1, base + 2);
    Triangle(group, base, base + 2, base + 3);
  }
  void Triangle(size_t group, int a, int b, int c) {
    mesh.groups[group].faces.push_back(static_cast<uint16_t>(mesh.faces.size()));
    mesh.faces.push_back({static_cast<uint16_t>(a), static_cast<uint16_t>(b), static_cast<uint16_t>(c)});
  }
  // An axis-aligned box; the top and sides take `sides`, the bottom `bottom`.
  void Box(size_t sides, size_t bottom, std::array<float, 3> lo, std::array<float, 3> hi) {
    const float x0 = lo[0], y0 = lo[1], z0 = lo[2], x1 = hi[0], y1 = hi[1], z1 = hi[2];
    Quad(sides, {x0, y0, z1}, {x1, y0, z1}, {x1, y1, z1}, {x0, y1, z1});  // top
    Quad(bottom, {x0, y1, z0}, {x1, y1, z0}, {x1, y0, z0}, {x0, y0, z0});
    Quad(sides, {x0, y0, z0}, {x1, y0, z0}, {x1, y0, z1}, {x0, y0, z1});
    Quad(sides, {x1, y1, z0}, {x0, y1, z0}, {x0, y1, z1}, {x1, y1, z1});
    Quad(sides, {x1, y0, z0}, {x1, y1, z0}, {x1, y1, z1}, {x1, y0, z1});
    Quad(sides, {x0, y1, z0}, {x0, y0, z0}, {x0, y0, z1}, {x0, y1, z1});
  }
  Model3ds Done(const std::string& name) {
    mesh.name = name;
    model.meshes.push_back(mesh);
    return model;
  }
};

// The kit's sample models, in the modeller's z-up axes, with the texture
// file each one names.
Model3ds ModelCarBody();
Model3ds ModelWheel();
Model3ds ModelTree();
Model3ds ModelSign();
// A flat n x n grid of quads, each of two triangles with four vertices of its
// own (so a weld joins them), one textured material: the large model of the
// benchmarks.
Model3ds ModelGrid(uint32_t n, const std::string& texture);

// A terrain description: corner heights row by row, optional per-cell
// roughness and an optional palette.
struct TerrainSpec {
  uint32_t columns = 2, rows = 2, subdivisions = 1;
  std::vector<int16_t> heights;
  std::vector<uint16_t> roughness;  // empty: default for every cell
  uint16_t defaultRoughness = 0;
  std::vector<uint8_t> palette;  // 3 bytes an entry; empty for none
  uint16_t paletteLow = 0, paletteHigh = 0;
  float lowColourHeight = 0.0f, highColourHeight = 0.0f;
  float spacing = 10.0f;
};

// Rolling hills and a basin below 0 from a seed, deterministically.
TerrainSpec TerrainHills(uint32_t columns, uint32_t rows, uint32_t subdivisions, uint32_t seed);

}  // namespace datakit
