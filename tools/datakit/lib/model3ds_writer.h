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
