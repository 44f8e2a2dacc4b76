#include "engine3d/camera.h"

#include "backend_common/display.h"
#include "engine3d/angle.h"
#include "engine3d/grid.h"
#include "engine3d/mathutil.h"

CameraState gCamera;
LightState gLight;

// Each product is multiplied left to right in exactly the order written
// (sA·sB·sC, not sB·sC·sA): another order changes last bits of the vehicles'
// poses, which must repeat exactly.
void MatFromAngles(int32_t a, int32_t b, int32_t c, float out[9]) {
  float sA = MathSin(a), cA = MathCos(a);
  float sB = MathSin(b), cB = MathCos(b);
  float sC = MathSin(c), cC = MathCos(c);
  out[0] = cB * cC - sA * sB * sC;
  out[1] = -cB * sC - sA * sB * cC;
  out[2] = -cA * sB;
  out[3] = -cA * sC;
  out[4] = -cA * cC;
  out[5] = sA;
  out[6] = cB * sA * sC + sB * cC;
  out[7] = cB * sA * cC - sB * sC;
  out[8] = cA * cB;
}

void MatObjectFromAngles() {
  MatFromAngles(gCamera.objectAngle[0], gCamera.objectAngle[1], gCamera.objectAngle[2], gCamera.object);
}

void MatViewFromCamera() {
  float sP = MathSin(gCamera.pitch), cP = MathCos(gCamera.pitch);
  float sH = MathSin(gCamera.heading), cH = MathCos(gCamera.heading);
  float sR = MathSin(gCamera.roll), cR = MathCos(gCamera.roll);
  gCamera.sinPitch = sP;
  gCamera.cosPitch = cP;
  gCamera.sinHeading = sH;
  gCamera.cosHeading = cH;
  gCamera.sinRoll = sR;
  gCamera.cosRoll = cR;
  float* v = gCamera.view;
  v[0] = -cH * cR - sH * sR * sP;
  v[1] = cP * sR;
  v[2] = sH * cR - cH * sP * sR;
  v[3] = sH * cR * sP - cH * sR;
  v[4] = -cP * cR;
  v[5] = cH * sP * cR + sH * sR;
  v[6] = sH * cP;
  v[7] = sP;
  v[8] = cH * cP;
}

namespace {

void SetAngles(const Camera* camera) {
  gCamera.pitch = static_cast<uint16_t>(TruncI32(camera->pitch) & ANGLE_MASK);
  gCamera.heading = static_cast<uint16_t>(TruncI32(camera->heading) & ANGLE_MASK);
  gCamera.roll = static_cast<uint16_t>(TruncI32(camera->roll) & ANGLE_MASK);
}

void StepAlongView(Camera* camera, float distance) {
  camera->x += distance * gCamera.cosPitch * gCamera.sinHeading;
  camera->y += distance * gCamera.sinPitch;
  camera->z += distance * gCamera.cosPitch * gCamera.cosHeading;
}

}  // namespace

void CamSet(const Camera* camera) {
  gCamera.x = camera->x;
  gCamera.y = camera->y;
  gCamera.z = camera->z;
  SetAngles(camera);
}

void CamSetAdvance(Camera* camera, float distance) {
  SetAngles(camera);
  MatViewFromCamera();
  StepAlongView(camera, distance);
  gCamera.x = camera->x;
  gCamera.y = camera->y;
  gCamera.z = camera->z;
}

void CamStepAlong(Camera* camera, float distance) {
  SetAngles(camera);
  MatViewFromCamera();
  StepAlongView(camera, distance);
}

int32_t VisFaceDepth(const Face* face) {
  int corners = face->vertexCount == 4 ? 4 : 3;
  float depth = gMesh.vertices[face->index[0]].viewZ;
  for (int i = 1; i < corners; ++i) {
    float z = gMesh.vertices[face->index[i]].viewZ;
    if (z > depth) depth = z;
  }
  return TruncI32(depth);
}

void LightSet(Light* light) {
  float x = light->directionX, y = light->directionY, z = light->directionZ;
  MathNormalise1024(&x, &y, &z);
  gLight.directionX = x;
  gLight.directionY = y;
  gLight.directionZ = z;
  gLight.pointsApplied = 0;
  gLight.intensity = light->intensity;
  float ambient = light->ambient;
  if (ambient < 0.0f) ambient = 0.0f;
  if (ambient > 63.0f) ambient = 63.0f;
  gLight.ambient = ambient;
  light->ambient = ambient;
  gLight.pointCount = 0;
  // Moving lights are listed afresh by each view, like the others.
  gLight.movingCount = 0;
}

void LightSetColour(int32_t red, int32_t green, int32_t blue) {
  gLight.red = static_cast<float>(red);
  gLight.green = static_cast<float>(green);
  gLight.blue = static_cast<float>(blue);
  gLight.redFactor = gLight.red * 0.015625f;
  gLight.greenFactor = gLight.green * 0.015625f;
  gLight.blueFactor = gLight.blue * 0.015625f;
}

void LightResetWorldLevels() {
  if (gLight.pointsApplied || !gMesh.vertices) return;
  for (int32_t i = 0; i < gMesh.vertexCount; ++i) gMesh.vertices[i].lightLevel = 63;
}

void GridSetLight(float directionX, float directionY, float directionZ, float intensity, float ambient) {
  GridLight& last = gGrid.lastLight;
  bool same = last.directionX == directionX && last.directionY == directionY && last.directionZ == directionZ &&
              last.intensity == intensity && last.ambient == ambient;
  if (same) {
    last.relight = 0;
    return;
  }
  last.directionX = directionX;
  last.directionY = directionY;
  last.directionZ = directionZ;
  last.intensity = intensity;
  last.ambient = ambient;
  float x = directionX, y = directionY, z = directionZ;
  MathNormalise1024(&x, &y, &z);
  gLight.directionX = x;
  gLight.directionY = y;
  gLight.directionZ = z;
  gLight.intensity = intensity;
  gLight.ambient = ambient;
  last.relight = 1;
}

float LightWorldVertex(Vertex* vertex) {
  float dot = vertex->normalX * gLight.directionX + vertex->normalY * gLight.directionY +
              vertex->normalZ * gLight.directionZ;
  float v = dot * (1.0f / 1024.0f) * gLight.intensity * (1.0f / 1024.0f) + 32.0f;
  if (v < gLight.ambient) v = gLight.ambient;
  if (v >= 64.0f) v = 63.0f;
  vertex->light = v;
  return v;
}

namespace {

void PointLightBox(PointLight* p) {
  p->boxMinX = p->x - p->radius;
  p->boxMaxX = p->x + p->radius;
  p->boxMinY = p->y - p->radius;
  p->boxMaxY = p->y + p->radius;
  p->boxMinZ = p->z - p->radius;
  p->boxMaxZ = p->z + p->radius;
}

bool InBox(const PointLight& p, const Vertex& v) {
  return v.x >= p.boxMinX && v.x <= p.boxMaxX && v.y >= p.boxMinY && v.y <= p.boxMaxY && v.z >= p.boxMinZ &&
         v.z <= p.boxMaxZ;
}

// The directional value floored at the ambient, raised by each listed point
// light whose box holds the vertex, then kept within 0..63.
void LightVertexWithPoints(Vertex& vertex) {
  const float nx = vertex.normalX, ny = vertex.normalY, nz = vertex.normalZ;
  float v = (nx * gLight.directionX + ny * gLight.directionY + nz * gLight.directionZ) * (1.0f / 1024.0f) *
                gLight.intensity * (1.0f / 1024.0f) +
            32.0f;
  if (v < gLight.ambient) v = gLight.ambient;
  for (int32_t i = 0; i < gLight.pointCount; ++i) {
    const PointLight& p = *gLight.points[i];
    if (!InBox(p, vertex)) continue;
    const float dx = p.x - vertex.x, dy = p.y - vertex.y, dz = p.z - vertex.z;
    const float r = MathSqrtQuick(dx * dx + dy * dy + dz * dz);
    float lx = 0.0f, ly = 0.0f, lz = 1024.0f;
    if (r != 0.0f) {
      lx = dx * 1024.0f * (1.0f / r);
      ly = dy * 1024.0f * (1.0f / r);
      lz = dz * 1024.0f * (1.0f / r);
    }
    const float w =
        (nx * lx + ny * ly + nz * lz) * (1.0f / 1024.0f) * p.strength * (1.0f / 1024.0f) + 32.0f + r * p.strength / p.radius;
    if (w > v) v = w;  // a light of no radius gives no number here and is passed over
  }
  if (!(v >= 0.0f)) v = 0.0f;
  if (v > 63.0f) v = 63.0f;
  vertex.light = v;
  vertex.lightLevel = static_cast<uint8_t>(TruncI32(v));
}

void CollectPointLight(PointLight** list, int32_t* count, const DrawSlot* slot, PointLight* p) {
  if (!slot || !p || *count >= POINT_LIGHTS_MAX) return;
  if (slot->viewZ >= -p->radius && slot->viewZ <= p->radius + gRdrState.farPlane) list[(*count)++] = p;
}

}  // namespace

void LightSetWithPoints(Light* light, PointLight* points, int32_t count) {
  LightSet(light);
  for (int32_t i = 0; points && i < count && gLight.pointCount < POINT_LIGHTS_MAX; ++i) {
    PointLight* p = &points[i];
    if (!DrawListAddStatic(p, 0, LightCollectPoint, p->x, p->y, p->z, p->radius, p->radius)) continue;
    PointLightBox(p);
    gLight.points[gLight.pointCount++] = p;
  }
  if (!gMesh.vertices || gMesh.vertexCount <= 0) return;
  gLight.pointsApplied = 1;
  for (int32_t i = 0; i < gMesh.vertexCount; ++i) LightVertexWithPoints(gMesh.vertices[i]);
}

void LightCollectPoint(DrawSlot* slot, void* light) {
  CollectPointLight(gLight.points, &gLight.pointCount, slot, static_cast<PointLight*>(light));
}

void LightCollectMoving(DrawSlot* slot, void* light) {
  auto* p = static_cast<PointLight*>(light);
  if (!slot || !p) return;
  p->x = slot->x;
  p->y = slot->y;
  p->z = slot->z;
  PointLightBox(p);
  CollectPointLight(gLight.moving, &gLight.movingCount, slot, p);
}

namespace {

// How far along a blend of t out of n is. A blend over no time has arrived:
// 0 / 0 would turn every vertex into NaN.
float BlendFraction(float t, float n) { return n > 0.0f ? t / n : 1.0f; }

bool FramesUsable(const MeshHeader* mesh, const MeshFrameSet* set, uint32_t frame) {
  if (!mesh || !set || !set->frames || frame >= set->frameCount) return false;
  const MeshFrame& f = set->frames[frame];
  return (!mesh->vertexCount || (f.vertices && mesh->vertices)) && (!mesh->faceCount || (f.normals && mesh->faces));
}

}  // namespace

void MeshLerpFrames(MeshHeader* mesh, const MeshFrameSet* set, uint32_t a, uint32_t b, float t, float n) {
  if (!FramesUsable(mesh, set, a) || !FramesUsable(mesh, set, b)) return;
  const float f = BlendFraction(t, n);
  const MeshFrame& A = set->frames[a];
  const MeshFrame& B = set->frames[b];
  for (uint32_t i = 0; i < mesh->vertexCount; ++i) {
    Vertex& v = mesh->vertices[i];
    v.x = A.vertices[i].x + f * (B.vertices[i].x - A.vertices[i].x);
    v.y = A.vertices[i].y + f * (B.vertices[i].y - A.vertices[i].y);
    v.z = A.vertices[i].z + f * (B.vertices[i].z - A.vertices[i].z);
  }
  for (uint32_t i = 0; i < mesh->faceCount; ++i) {
    const float* na = A.normals + 3 * i;
    const float* nb = B.normals + 3 * i;
    Face& face = mesh->faces[i];
    face.normalX = na[0] + f * (nb[0] - na[0]);
    face.normalY = na[1] + f * (nb[1] - na[1]);
    face.normalZ = na[2] + f * (nb[2] - na[2]);
  }
}

void MeshSetFrame(MeshHeader* mesh, const MeshFrameSet* set, uint32_t frame) {
  if (!FramesUsable(mesh, set, frame)) return;
  const MeshFrame& F = set->frames[frame];
  for (uint32_t i = 0; i < mesh->vertexCount; ++i) {
    mesh->vertices[i].x = F.vertices[i].x;
    mesh->vertices[i].y = F.vertices[i].y;
    mesh->vertices[i].z = F.vertices[i].z;
  }
  for (uint32_t i = 0; i < mesh->faceCount; ++i) {
    mesh->faces[i].normalX = F.normals[3 * i];
    mesh->faces[i].normalY = F.normals[3 * i + 1];
    mesh->faces[i].normalZ = F.normals[3 * i + 2];
  }
}

void MeshBlendToFrame(MeshHeader* mesh, const MeshFrameSet* set, uint32_t frame, float t, float n) {
  if (!FramesUsable(mesh, set, frame)) return;
  const float f = BlendFraction(t, n);
  const MeshFrame& F = set->frames[frame];
  for (uint32_t i = 0; i < mesh->vertexCount; ++i) {
    Vertex& v = mesh->vertices[i];
    v.x += f * (F.vertices[i].x - v.x);
    v.y += f * (F.vertices[i].y - v.y);
    v.z += f * (F.vertices[i].z - v.z);
  }
  for (uint32_t i = 0; i < mesh->faceCount; ++i) {
    Face& face = mesh->faces[i];
    face.normalX += f * (F.normals[3 * i] - face.normalX);
    face.normalY += f * (F.normals[3 * i + 1] - face.normalY);
    face.normalZ += f * (F.normals[3 * i + 2] - face.normalZ);
  }
}
