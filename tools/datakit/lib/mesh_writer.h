// Models for the object routines, written as the 3D library's raw mesh
// record files (vertex and face counts, then 52-byte vertices and 58-byte
// faces, little-endian). Normals have length 1024 and point into the model,
// the way the back-face test of the object routines expects them: a face is
// kept when its normal points away from the camera.
#pragma once
#include <cstdint>
#include <vector>

#include "tools/datakit/lib/bytes.h"

namespace datakit {

struct KitVertex {
  float x, y, z;
  float normalX, normalY, normalZ;
  uint8_t red, green, blue;
};

struct KitFace {
  uint32_t type;  // face type << 24 | texture handle or colour
  uint8_t vertexCount;
  uint16_t index[4];
  float st[8];
  float normalX, normalY, normalZ;
};

struct KitMesh {
  std::vector<KitVertex> vertices;
  std::vector<KitFace> faces;
};

Bytes MeshRecordsWrite(const KitMesh& mesh);
// One 52-byte vertex (light level 63) or 58-byte face record.
void WriteKitVertex(ByteWriter& w, const KitVertex& v);
void WriteKitFace(ByteWriter& w, const KitFace& f);

// A cube of side 2 x half centred on the origin: 24 vertices, six quads of
// `faceType`, texture coordinates 0..255 over each side. Each vertex of a
// side carries that side's normal.
KitMesh KitCube(float half, uint32_t faceType);

// A sphere of `rings` x `segments` faces (triangles at the poles, quads
// between), vertex normals along the radius, texture coordinates wrapping
// around it. 40 x 50 gives 2000 faces.
KitMesh KitSphere(float radius, int32_t rings, int32_t segments, uint32_t faceType);

}  // namespace datakit
