#include "backend_glide/glide.h"

#include <cmath>
#include <cstring>

#include "backend_glide/faceclip.h"
#include "engine3d/camera.h"
#include "engine3d/mathutil.h"

RdrStripScroll gRdrStripScroll = {0.0f, 0.0f};

namespace {

constexpr int32_t STRIP_CELLS = 4;
constexpr float STRIP_MIN_HEIGHT = 200.0f;

// Texture start of the layer: one texel per 16 world units of the (scrolled)
// camera-relative origin, wrapped to the texture.
float StripStart(float origin) { return static_cast<float>((TruncI32(origin) >> 4) & 255); }

void DrawStrip(uint32_t texture, float height, float texelSize, uint8_t absoluteHeight, bool lit, float flashX,
               float flashY) {
  RdrDepthOff();
  const float Y = absoluteHeight ? height : gCamera.y + height;
  if (height < STRIP_MIN_HEIGHT) height = STRIP_MIN_HEIGHT;
  const float savedFar = gRdrState.farPlane;
  gRdrState.farPlane += height;
  const float F = gRdrState.farPlane;
  const float S = F * 2.0f * 0.25f;
  const float T = S / texelSize;

  const int32_t first = gMesh.vertexCount;
  Vertex* v = MeshScratchVertices(first, 4);
  Face* face = MeshScratchFaces(gMesh.faceCount, 1);
  if (v && face) {
    float z = gCamera.z - F;
    float t = StripStart(z + gRdrStripScroll.z);
    for (int32_t row = 0; row < STRIP_CELLS; ++row) {
      float x = gCamera.x - F;
      float s = StripStart(x + gRdrStripScroll.x);
      const float z1 = z + S;
      const float t1 = t + T;
      for (int32_t cell = 0; cell < STRIP_CELLS; ++cell) {
        const float xs[4] = {x, x + S, x + S, x};
        const float zs[4] = {z, z, z1, z1};
        for (int i = 0; i < 4; ++i) {
          std::memset(&v[i], 0, sizeof v[i]);
          v[i].x = xs[i];
          v[i].y = Y;
          v[i].z = zs[i];
          RdrProjectVertex(&v[i]);
          if (lit) RdrStripVertexFade(&v[i], flashX, flashY);
        }
        std::memset(face, 0, sizeof *face);
        face->type = texture | 0x02000000;
        face->vertexCount = 4;
        const float st[8] = {s, t, s + T, t, s + T, t1, s, t1};
        std::memcpy(face->st, st, sizeof st);
        for (int i = 0; i < 4; ++i) face->index[i] = static_cast<uint16_t>(first + i);
        if (lit)
          RdrDrawFaceTexAdd(face);
        else
          RdrDrawFaceDecal(face);
        x += S;
        s += T;
      }
      z = z1;
      t = t1;
    }
  }
  gRdrState.farPlane = savedFar;
  RdrDepthOn();
}

}  // namespace

void RdrDrawGroundStrip(uint32_t texture, float height, float texelSize, uint8_t absoluteHeight) {
  DrawStrip(texture, height, texelSize, absoluteHeight, false, 0.0f, 0.0f);
}

void RdrDrawGroundStripAdd(uint32_t texture, float height, float texelSize, uint8_t absoluteHeight, float screenX,
                           float screenY) {
  DrawStrip(texture, height, texelSize, absoluteHeight, true, screenX, screenY);
}

void RdrStripVertexFade(Vertex* vertex, float screenX, float screenY) {
  if (!vertex) return;
  const float dx = vertex->screenX - screenX, dy = vertex->screenY - screenY;
  const float d = std::sqrt(dx * dx + dy * dy);
  int32_t reach = gRdrState.screenWidth * 400 / 512;
  if (reach < 1) reach = 1;  // no screen: keep the division defined
  float f = 64.0f * d / static_cast<float>(reach);
  if (!(f < 64.0f)) f = 64.0f;
  vertex->light = 64.0f - f;
}

void RdrScrollGroundStrip(float xStep, float zStep) {
  gRdrStripScroll.x += xStep;
  gRdrStripScroll.z += zStep;
}

bool RdrClipProjectFace(Face* face, int32_t screenX, int32_t screenY) {
  RdrPoly& p = gRdrPoly;
  if (!RdrFaceReadable(face)) return false;
  const uint32_t n = face->vertexCount;
  p.count = n;
  for (uint32_t i = 0; i < n; ++i) {
    const Vertex& v = gMesh.vertices[face->index[i]];
    RdrVertex& c = p.corner[i];
    c.x = v.screenX;
    c.y = v.screenY;
    c.ooz = v.viewZ;
    if (i == 0) {
      p.minX = p.maxX = v.screenX;
      p.minY = p.maxY = v.screenY;
      p.minZ = p.maxZ = v.viewZ;
      continue;
    }
    if (v.screenX < p.minX) p.minX = v.screenX;
    if (v.screenX > p.maxX) p.maxX = v.screenX;
    if (v.screenY < p.minY) p.minY = v.screenY;
    if (v.screenY > p.maxY) p.maxY = v.screenY;
    if (v.viewZ < p.minZ) p.minZ = v.viewZ;
    if (v.viewZ > p.maxZ) p.maxZ = v.viewZ;
  }
  if (RdrPolyOffView(p)) return false;
  const RdrState& s = gRdrState;
  if (p.minZ < s.nearPlane) {
    RdrClipNearProject(face);
    if (p.count < 3) return false;
  } else if (p.maxZ > s.farPlane) {
    RdrClipFarProject(face);
    if (p.count < 3) return false;
  }
  p.minX = p.maxX = p.corner[0].x;
  p.minY = p.maxY = p.corner[0].y;
  for (uint32_t i = 1; i < p.count; ++i) {
    if (p.corner[i].x < p.minX) p.minX = p.corner[i].x;
    if (p.corner[i].x > p.maxX) p.maxX = p.corner[i].x;
    if (p.corner[i].y < p.minY) p.minY = p.corner[i].y;
    if (p.corner[i].y > p.maxY) p.maxY = p.corner[i].y;
  }
  const float x = static_cast<float>(screenX), y = static_cast<float>(screenY);
  return p.minX <= x && x <= p.maxX && p.minY <= y && y <= p.maxY;
}
