#include "engine3d/terrain.h"

#include <cmath>
#include <cstring>

#include "backend_common/texture.h"
#include "engine3d/angle.h"
#include "engine3d/mathutil.h"
#include "engine3d/meshalloc.h"
#include "engine3d/normals.h"
#include "engine3d/random.h"
#include "platform/mem.h"

TerrainState gTerrain;

namespace {

constexpr uint32_t TERRAIN_GREY = 0x808080;
constexpr float NEAREST_START = 32000.0f;
// Each level of the subdivision halves the square; a square of any size
// reaches its point well within this many levels.
constexpr int MAX_LEVELS = 64;

// The corners of a square of the subdivision and their heights.
struct Square {
  int32_t x0, z0, x1, z1;
  int64_t h00, h10, h11, h01;  // at (x0, z0), (x1, z0), (x1, z1), (x0, z1)
};

int64_t Displacement(int32_t px, int32_t pz, int64_t d) {
  if (d == 0) return 0;
  uint32_t index = (static_cast<uint32_t>(pz) * 1024u + static_cast<uint32_t>(px)) & RANDOM_INDEX_MASK;
  return RandomTable[index] % d;
}

// The height of vertex (x, z) inside a cell with displacement range d.
int64_t SubdividedHeight(int32_t x, int32_t z, Square s, int64_t d) {
  for (int level = 0;; ++level) {
    if (x == s.x0 && z == s.z0) return s.h00;
    if (x == s.x1 && z == s.z0) return s.h10;
    if (x == s.x1 && z == s.z1) return s.h11;
    if (x == s.x0 && z == s.z1) return s.h01;
    int32_t mx = (s.x0 + s.x1) / 2;
    int32_t mz = (s.z0 + s.z1) / 2;
    int64_t top = (s.h00 + s.h10) / 2 + Displacement(mx, s.z0, d);
    int64_t right = (s.h10 + s.h11) / 2 + Displacement(s.x1, mz, d);
    int64_t bottom = (s.h11 + s.h01) / 2 + Displacement(mx, s.z1, d);
    int64_t left = (s.h00 + s.h01) / 2 + Displacement(s.x0, mz, d);
    int64_t centre = (top + right + bottom + left) / 4 + Displacement(mx, mz, d);
    if ((x == mx && z == mz) || level >= MAX_LEVELS) return centre;
    d /= 2;
    bool east = x >= mx;
    bool far = z >= mz;
    Square q;
    q.x0 = east ? mx : s.x0;
    q.x1 = east ? s.x1 : mx;
    q.z0 = far ? mz : s.z0;
    q.z1 = far ? s.z1 : mz;
    if (!east && !far) q = {q.x0, q.z0, q.x1, q.z1, s.h00, top, centre, left};
    if (east && !far) q = {q.x0, q.z0, q.x1, q.z1, top, s.h10, right, centre};
    if (east && far) q = {q.x0, q.z0, q.x1, q.z1, centre, right, s.h11, bottom};
    if (!east && far) q = {q.x0, q.z0, q.x1, q.z1, left, centre, bottom, s.h01};
    s = q;
  }
}

bool DescValid(const TerrainDesc* d) {
  if (!d || d->columns < 2 || d->rows < 2 || d->subdivisions < 1 || !d->heights) return false;
  if (!std::isfinite(d->spacing) || !(d->spacing > 0.0f)) return false;
  if (d->palette && (d->paletteCount == 0 || d->paletteLow >= d->paletteCount || d->paletteHigh >= d->paletteCount))
    return false;
  return true;
}

bool Inside(float x, float z) {
  const TerrainDesc* d = gTerrain.desc;
  return d && x >= 0.0f && x < d->extentX && z >= 0.0f && z < d->extentZ;
}

Vertex* CornerVertex(int corner) {
  int64_t index = int64_t{gTerrain.cornerRow[corner]} * gTerrain.rowVertices + gTerrain.cornerColumn[corner];
  return &gMesh.vertices[index];
}

int32_t TerrainQuadCount() {
  if (!gTerrain.desc) return 0;
  int64_t quads = int64_t{gTerrain.rowVertices - 1} * (gTerrain.vertexRows - 1);
  int64_t present = gMesh.faceCount / 2;
  return static_cast<int32_t>(quads < present ? quads : present);
}

void SetCorners(Face& f, const float st[6]) {
  for (int i = 0; i < 6; ++i) f.st[i] = st[i];
}

}  // namespace

int32_t TerrainBuild(const TerrainDesc* desc) {
  gTerrain.desc = nullptr;
  if (!DescValid(desc) || !gMesh.vertices || !gMesh.faces) return 0;
  // The builder writes its outputs into the caller's record.
  auto* d = const_cast<TerrainDesc*>(desc);
  if (!gRandom.filled) RandFillTable(RandomTable, RANDOM_TABLE_SIZE);
  const int64_t S = d->subdivisions;
  const int64_t V = int64_t{d->columns - 1} * S + 1;
  const int64_t W = int64_t{d->rows - 1} * S + 1;
  // Faces name their corners with 16-bit indices.
  if (V * W > gMesh.vertexCapacity || V * W > UINT16_MAX + 1) return 0;
  gTerrain.rowVertices = static_cast<int32_t>(V);
  gTerrain.vertexRows = static_cast<int32_t>(W);

  int64_t lowest = 0, highest = 0;
  bool first = true;
  for (uint32_t row = 0; row + 1 < d->rows; ++row) {
    for (uint32_t col = 0; col + 1 < d->columns; ++col) {
      Square cell;
      cell.x0 = static_cast<int32_t>(col * S);
      cell.x1 = static_cast<int32_t>(cell.x0 + S);
      cell.z0 = static_cast<int32_t>(row * S);
      cell.z1 = static_cast<int32_t>(cell.z0 + S);
      const int16_t* h = d->heights;
      cell.h00 = h[row * d->columns + col];
      cell.h10 = h[row * d->columns + col + 1];
      cell.h11 = h[(row + 1) * d->columns + col + 1];
      cell.h01 = h[(row + 1) * d->columns + col];
      int64_t rough = d->roughness ? d->roughness[row * (d->columns - 1) + col] : d->defaultRoughness;
      int64_t range = rough * S;
      for (int32_t z = cell.z0; z <= cell.z1; ++z) {
        for (int32_t x = cell.x0; x <= cell.x1; ++x) {
          int64_t height = SubdividedHeight(x, z, cell, range);
          Vertex& v = gMesh.vertices[int64_t{z} * V + x];
          std::memset(&v, 0, sizeof v);
          v.x = static_cast<float>(x) * d->spacing;
          v.y = static_cast<float>(height);
          v.z = static_cast<float>(z) * d->spacing;
          v.red = v.green = v.blue = 255;
          if (first || height < lowest) lowest = height;
          if (first || height > highest) highest = height;
          first = false;
        }
      }
    }
  }
  d->extentX = static_cast<float>(V - 1) * d->spacing;
  d->extentZ = static_cast<float>(W - 1) * d->spacing;
  d->lowest = static_cast<float>(lowest);
  d->highest = static_cast<float>(highest);
  gMesh.vertexCount = static_cast<int32_t>(V * W);
  if (gMesh.faceCapacity < 2 * (V - 1) * (W - 1)) {
    gMesh.vertexCount = 0;
    return 0;
  }
  gMesh.faceCount = 0;
  for (int64_t k = 0; k + 1 < W; ++k) {
    for (int64_t i = 0; i + 1 < V; ++i) {
      const auto tl = static_cast<uint16_t>(k * V + i), tr = static_cast<uint16_t>(k * V + i + 1);
      const auto br = static_cast<uint16_t>((k + 1) * V + i + 1), bl = static_cast<uint16_t>((k + 1) * V + i);
      const uint16_t corners[2][3] = {{tl, tr, br}, {tl, br, bl}};
      for (const auto& c : corners) {
        Face& f = gMesh.faces[gMesh.faceCount];
        std::memset(&f, 0, sizeof f);
        f.type = TERRAIN_GREY;
        f.vertexCount = 3;
        f.index[0] = c[0];
        f.index[1] = c[1];
        f.index[2] = c[2];
        ++gMesh.faceCount;
        MeshFaceNormal(gMesh.faceCount - 1);
      }
    }
  }
  gTerrain.desc = d;
  MeshVertexNormals();
  return 1;
}

void TerrainTextureAll(uint32_t textureHandle) {
  const TerrainDesc* d = gTerrain.desc;
  if (!d) return;
  uint32_t kind = d->palette ? FACE_TEX_VCOLOUR : FACE_TEX_LIT;
  uint32_t type = (textureHandle & 0xFFFFFF) | kind << 24;
  static const float A[6] = {0.0f, 0.0f, 254.0f, 0.0f, 254.0f, 254.0f};
  static const float B[6] = {0.0f, 0.0f, 254.0f, 254.0f, 0.0f, 254.0f};
  int32_t quads = TerrainQuadCount();
  for (int32_t q = 0; q < quads; ++q) {
    Face& a = gMesh.faces[2 * q];
    Face& b = gMesh.faces[2 * q + 1];
    a.type = type;
    b.type = type;
    SetCorners(a, A);
    SetCorners(b, B);
  }
  if (d->palette) TerrainColourByHeight();
  MeshRebuildNormals();
}

void TerrainApplyTiles(TextureRecord* const* tiles, int32_t tileCount, const TextureRecord* water) {
  const TerrainDesc* d = gTerrain.desc;
  if (!d || !tiles || tileCount <= 0) return;
  uint32_t kind = d->palette ? FACE_TEX_VCOLOUR : FACE_TEX_LIT;
  int32_t quads = TerrainQuadCount();
  for (int32_t q = 0; q < quads; ++q) {
    const TextureRecord* tile = tiles[static_cast<int32_t>(RandShiftBits() & 0xFFFF) % tileCount];
    if (!tile) continue;
    float w = tile->sRange, h = tile->tRange;
    const float A[6] = {0.0f, 0.0f, w - 1.0f, 0.0f, w - 1.0f, h - 1.0f};
    const float B[6] = {0.0f, 0.0f, w - 1.0f, h - 1.0f, 0.0f, h - 1.0f};
    uint32_t type = (static_cast<uint32_t>(tile->handle) & 0xFFFFFF) | kind << 24;
    gMesh.faces[2 * q].type = type;
    gMesh.faces[2 * q + 1].type = type;
    SetCorners(gMesh.faces[2 * q], A);
    SetCorners(gMesh.faces[2 * q + 1], B);
  }
  if (water) {
    const float level = gTerrain.waterLevel;
    float ww = water->sRange, wh = water->tRange;
    const float A[6] = {0.0f, 0.0f, ww, 0.0f, ww, wh};
    const float B[6] = {0.0f, 0.0f, ww, wh, 0.0f, wh};
    uint32_t waterType = (static_cast<uint32_t>(water->handle) & 0xFFFFFF) | uint32_t{FACE_WATER_OVERLAY} << 24;
    for (int32_t f = 0; f < 2 * quads; ++f) {
      Face& face = gMesh.faces[f];
      bool under = true;
      for (int k = 0; k < 3; ++k) under = under && gMesh.vertices[face.index[k]].y <= level;
      if (!under) continue;
      for (int k = 0; k < 3; ++k) gMesh.vertices[face.index[k]].y = level;
      face.type = waterType;
      SetCorners(face, f % 2 == 0 ? A : B);
    }
    for (int32_t f = 0; f < 2 * quads; ++f) {
      Face& face = gMesh.faces[f];
      if (face.type == waterType) continue;
      for (int k = 0; k < 3; ++k) {
        Vertex& v = gMesh.vertices[face.index[k]];
        if (v.y <= level) v.y = level + 0.5f;
      }
    }
  }
  if (d->palette) TerrainColourByHeight();
  MeshRebuildNormals();
}

void TerrainColourByHeight() {
  const TerrainDesc* d = gTerrain.desc;
  if (!d || !d->palette || d->paletteCount == 0 || !gMesh.vertices) return;
  const float low = d->lowColourHeight, high = d->highColourHeight;
  for (int32_t i = 0; i < gMesh.vertexCount; ++i) {
    Vertex& v = gMesh.vertices[i];
    if (v.y <= 0.0f) {
      v.red = 200;
      v.green = 200;
      v.blue = static_cast<uint8_t>(200 + (RandNext() & 31));
      continue;
    }
    // The low colour may sit above the high one: the height is held between
    // the two either way, and the formula takes the sign of the range.
    float h = v.y;
    const float bottom = low < high ? low : high, top = low < high ? high : low;
    if (h < bottom) h = bottom;
    if (h > top) h = top;
    // A flat colour range gives the low colour; the index stays in the palette.
    int32_t index = d->paletteLow;
    if (high != low)
      index = TruncI32(static_cast<float>(d->paletteLow) +
                       (h - low) * static_cast<float>(d->paletteHigh - d->paletteLow) / (high - low));
    if (index < 0) index = 0;
    if (index >= d->paletteCount) index = d->paletteCount - 1;
    const uint8_t* rgb = d->palette + 3 * index;
    v.red = rgb[0];
    v.green = rgb[1];
    v.blue = rgb[2];
  }
}

void TerrainSetWaterLevel(float level) { gTerrain.waterLevel = level; }

void TerrainForget() { gTerrain.desc = nullptr; }

void TerrainAddWaterPlane(float level, uint32_t textureHandle) {
  gTerrain.waterLevel = level;
  const TerrainDesc* d = gTerrain.desc;
  if (!d || !gMesh.vertices || !gMesh.faces || gMesh.vertexCapacity <= 0) return;
  struct WaterVertex {
    float x, z;
    uint16_t index;
  };
  auto* list = static_cast<WaterVertex*>(MeshAllocArray(static_cast<uint32_t>(gMesh.vertexCapacity), sizeof(WaterVertex)));
  if (!list) return;
  int32_t listed = 0;
  const float sp = d->spacing;
  const uint32_t type = (textureHandle & 0xFFFFFF) | uint32_t{FACE_TRANSLUCENT} << 24;
  const int32_t present = gMesh.faceCount;
  const int32_t verticesBefore = gMesh.vertexCount;
  for (int32_t f = 0; f + 1 < present; f += 2) {
    const Face* tri = nullptr;
    for (int t = 0; t < 2 && !tri; ++t) {
      const Face& face = gMesh.faces[f + t];
      bool named = true;
      for (int k = 0; k < 3; ++k) named = named && face.index[k] < gMesh.vertexCount;
      for (int k = 0; k < 3 && named; ++k)
        if (gMesh.vertices[face.index[k]].y <= level) tri = &face;
    }
    if (!tri) continue;
    float minX = gMesh.vertices[tri->index[0]].x, minZ = gMesh.vertices[tri->index[0]].z;
    for (int k = 1; k < 3; ++k) {
      const Vertex& v = gMesh.vertices[tri->index[k]];
      if (v.x < minX) minX = v.x;
      if (v.z < minZ) minZ = v.z;
    }
    const float cx[4] = {minX, minX + sp, minX + sp, minX};
    const float cz[4] = {minZ, minZ, minZ + sp, minZ + sp};
    int32_t found[4];
    int32_t fresh = 0;
    for (int c = 0; c < 4; ++c) {
      found[c] = -1;
      for (int32_t e = 0; e < listed; ++e)
        if (list[e].x == cx[c] && list[e].z == cz[c]) found[c] = list[e].index;
      if (found[c] < 0) ++fresh;
    }
    // The plane is added whole or not at all: a lake cut off at the edge of
    // the pools would show the ground through it. What was written past the
    // counts is free space again.
    if (gMesh.faceCount >= gMesh.faceCapacity || gMesh.vertexCount + fresh > gMesh.vertexCapacity ||
        gMesh.vertexCount + fresh > UINT16_MAX + 1) {
      gMesh.faceCount = present;
      gMesh.vertexCount = verticesBefore;
      break;
    }
    Face& w = gMesh.faces[gMesh.faceCount];
    std::memset(&w, 0, sizeof w);
    for (int c = 0; c < 4; ++c) {
      if (found[c] < 0) {
        Vertex& v = gMesh.vertices[gMesh.vertexCount];
        std::memset(&v, 0, sizeof v);
        v.x = cx[c];
        v.y = level;
        v.z = cz[c];
        v.red = v.green = v.blue = 255;
        found[c] = gMesh.vertexCount++;
        list[listed++] = {cx[c], cz[c], static_cast<uint16_t>(found[c])};
      }
      const Vertex& v = gMesh.vertices[found[c]];
      w.index[c] = static_cast<uint16_t>(found[c]);
      w.st[2 * c] = v.x * 0.1f;
      w.st[2 * c + 1] = v.z * 0.1f;
    }
    w.vertexCount = 4;
    w.type = type;
    ++gMesh.faceCount;
  }
  MemFree(list);
}

float TerrainHeightAt(float x, float z) {
  if (!Inside(x, z)) return 0.0f;
  const TerrainDesc* d = gTerrain.desc;
  const float sp = d->spacing;
  int32_t c = TruncI32(x * (1.0f / sp));
  int32_t r = TruncI32(z * (1.0f / sp));
  // Just below the far edge the reciprocal can round up to the last vertex.
  if (c > gTerrain.rowVertices - 2) c = gTerrain.rowVertices - 2;
  if (r > gTerrain.vertexRows - 2) r = gTerrain.vertexRows - 2;
  if (c < 0) c = 0;
  if (r < 0) r = 0;
  const int32_t cols[4] = {c, c + 1, c + 1, c};
  const int32_t rows[4] = {r, r, r + 1, r + 1};
  for (int i = 0; i < 4; ++i) {
    gTerrain.cornerColumn[i] = cols[i];
    gTerrain.cornerRow[i] = rows[i];
  }
  const float h0 = CornerVertex(0)->y, h1 = CornerVertex(1)->y;
  const float h2 = CornerVertex(2)->y, h3 = CornerVertex(3)->y;
  const float fx = x - static_cast<float>(c) * sp;
  const float fz = z - static_cast<float>(r) * sp;
  if (fx > fz) {
    const float a = h0 + (h2 - h0) * fz / sp;
    const float b = h1 + fz * (h2 - h1) / sp;
    const float rest = sp - fz;
    return rest > 0.0f ? a + (b - a) * (fx - fz) / rest : b;
  }
  const float a = h0 + fz * (h2 - h0) / sp;
  const float b = h0 + fz * (h3 - h0) / sp;
  if (fz == 0.0f) return h0;
  return b + (a - b) * fx / fz;
}

int32_t TerrainCellCorners(float x, float z, Vertex* corners[4]) {
  if (!Inside(x, z)) return 0;
  TerrainHeightAt(x, z);
  for (int i = 0; i < 4; ++i) corners[i] = CornerVertex(3 - i);
  return 1;
}

Vertex* TerrainNearestVertex(float x, float z) {
  if (!Inside(x, z)) return nullptr;
  Vertex* best = nullptr;
  float bestDistance = NEAREST_START;
  for (int corner = 3; corner >= 0; --corner) {
    Vertex* v = CornerVertex(corner);
    float dx = v->x - x, dz = v->z - z;
    float distance = MathSqrtQuick(dx * dx + dz * dz);
    if (distance < bestDistance) {
      bestDistance = distance;
      best = v;
    }
  }
  return best;
}
