#include "tools/datakit/lib/mesh_writer.h"

#include <cmath>

namespace datakit {

void WriteKitVertex(ByteWriter& w, const KitVertex& v) {
  const float f[11] = {v.x, v.y, v.z, 0.0f, 0.0f, 0.0f, v.normalX, v.normalY, v.normalZ, 0.0f, 0.0f};
  for (float x : f) w.F32(x);
  w.U8(v.red);
  w.U8(v.green);
  w.U8(v.blue);
  w.F32(63.0f);  // light
  w.U8(63);      // light level
}

void WriteKitFace(ByteWriter& w, const KitFace& f) {
  w.U32(f.type);
  w.U8(f.vertexCount);
  for (uint16_t i : f.index) w.U16(i);
  for (float s : f.st) w.F32(s);
  w.F32(f.normalX);
  w.F32(f.normalY);
  w.F32(f.normalZ);
  w.U8(0);  // tag
}

Bytes MeshRecordsWrite(const KitMesh& mesh) {
  ByteWriter w;
  w.U32(static_cast<uint32_t>(mesh.vertices.size()));
  w.U32(static_cast<uint32_t>(mesh.faces.size()));
  for (const KitVertex& v : mesh.vertices) WriteKitVertex(w, v);
  for (const KitFace& f : mesh.faces) WriteKitFace(w, f);
  return w.Take();
}

KitMesh KitCube(float half, uint32_t faceType) {
  // Outward direction of each side, and two edge directions spanning it.
  struct Side {
    float n[3], u[3], v[3];
  };
  const Side sides[6] = {
      {{0, 0, -1}, {1, 0, 0}, {0, 1, 0}},  {{0, 0, 1}, {-1, 0, 0}, {0, 1, 0}}, {{-1, 0, 0}, {0, 0, -1}, {0, 1, 0}},
      {{1, 0, 0}, {0, 0, 1}, {0, 1, 0}},   {{0, 1, 0}, {1, 0, 0}, {0, 0, 1}},  {{0, -1, 0}, {1, 0, 0}, {0, 0, -1}},
  };
  const float corners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
  const uint8_t shades[6][3] = {{230, 80, 60}, {60, 200, 90}, {70, 90, 230}, {220, 210, 70}, {200, 90, 210},
                                {90, 210, 220}};
  KitMesh mesh;
  for (int s = 0; s < 6; ++s) {
    const Side& side = sides[s];
    KitFace face{};
    face.type = faceType;
    face.vertexCount = 4;
    for (int c = 0; c < 4; ++c) {
      KitVertex v{};
      float a = corners[c][0], b = corners[c][1];
      v.x = half * (side.n[0] + a * side.u[0] + b * side.v[0]);
      v.y = half * (side.n[1] + a * side.u[1] + b * side.v[1]);
      v.z = half * (side.n[2] + a * side.u[2] + b * side.v[2]);
      v.normalX = -1024.0f * side.n[0];
      v.normalY = -1024.0f * side.n[1];
      v.normalZ = -1024.0f * side.n[2];
      v.red = shades[s][0];
      v.green = shades[s][1];
      v.blue = shades[s][2];
      face.index[c] = static_cast<uint16_t>(mesh.vertices.size());
      face.st[2 * c] = a < 0 ? 0.0f : 255.0f;
      face.st[2 * c + 1] = b < 0 ? 0.0f : 255.0f;
      mesh.vertices.push_back(v);
    }
    face.normalX = -1024.0f * side.n[0];
    face.normalY = -1024.0f * side.n[1];
    face.normalZ = -1024.0f * side.n[2];
    mesh.faces.push_back(face);
  }
  return mesh;
}

KitMesh KitSphere(float radius, int32_t rings, int32_t segments, uint32_t faceType) {
  KitMesh mesh;
  const double pi = 3.14159265358979323846;
  // Vertex rows from pole to pole; the seam column is repeated for the wrap of s.
  for (int32_t r = 0; r <= rings; ++r) {
    double polar = pi * r / rings;
    for (int32_t c = 0; c <= segments; ++c) {
      double around = 2.0 * pi * c / segments;
      double nx = std::sin(polar) * std::cos(around), ny = std::cos(polar), nz = std::sin(polar) * std::sin(around);
      KitVertex v{};
      v.x = static_cast<float>(radius * nx);
      v.y = static_cast<float>(radius * ny);
      v.z = static_cast<float>(radius * nz);
      v.normalX = static_cast<float>(-1024.0 * nx);
      v.normalY = static_cast<float>(-1024.0 * ny);
      v.normalZ = static_cast<float>(-1024.0 * nz);
      v.red = static_cast<uint8_t>(128 + 100 * nx);
      v.green = static_cast<uint8_t>(128 + 100 * ny);
      v.blue = static_cast<uint8_t>(128 + 100 * nz);
      mesh.vertices.push_back(v);
    }
  }
  auto at = [segments](int32_t r, int32_t c) { return static_cast<uint16_t>(r * (segments + 1) + c); };
  for (int32_t r = 0; r < rings; ++r) {
    for (int32_t c = 0; c < segments; ++c) {
      KitFace face{};
      face.type = faceType;
      uint16_t quad[4] = {at(r, c), at(r, c + 1), at(r + 1, c + 1), at(r + 1, c)};
      // At a pole two corners coincide: drop the repeated one.
      int n = 0;
      for (int k = 0; k < 4; ++k) {
        if ((r == 0 && k == 1) || (r == rings - 1 && k == 2)) continue;
        face.index[n] = quad[k];
        int32_t vr = quad[k] / (segments + 1), vc = quad[k] % (segments + 1);
        face.st[2 * n] = 256.0f * static_cast<float>(vc) / static_cast<float>(segments) * 4.0f;
        face.st[2 * n + 1] = 256.0f * static_cast<float>(vr) / static_cast<float>(rings) * 2.0f;
        ++n;
      }
      face.vertexCount = static_cast<uint8_t>(n);
      double polar = pi * (r + 0.5) / rings, around = 2.0 * pi * (c + 0.5) / segments;
      face.normalX = static_cast<float>(-1024.0 * std::sin(polar) * std::cos(around));
      face.normalY = static_cast<float>(-1024.0 * std::cos(polar));
      face.normalZ = static_cast<float>(-1024.0 * std::sin(polar) * std::sin(around));
      mesh.faces.push_back(face);
    }
  }
  return mesh;
}

}  // namespace datakit
