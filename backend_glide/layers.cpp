#include "backend_glide/glide.h"

#include <cmath>
#include <cstring>

#include "backend_glide/faceclip.h"
#include "engine3d/camera.h"
#include "engine3d/mathutil.h"

void RdrDrawGroundStrip(uint32_t texture, float height, float texelSize, uint8_t absoluteHeight) {
  RdrDrawStripLayer(texture, height, texelSize, absoluteHeight, false, 0.0f, 0.0f);
}

void RdrDrawGroundStripAdd(uint32_t texture, float height, float texelSize, uint8_t absoluteHeight, float screenX,
                           float screenY) {
  RdrDrawStripLayer(texture, height, texelSize, absoluteHeight, true, screenX, screenY);
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
