#include "backend_common/draw_common.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "backend_common/display.h"
#include "backend_common/draw.h"
#include "backend_common/texture.h"
#include "engine3d/angle.h"
#include "engine3d/camera.h"
#include "engine3d/mathutil.h"
#include "engine3d/scene.h"

RdrSun gRdrSun;
RdrStripScroll gRdrStripScroll = {0.0f, 0.0f};

const RdrFlareElement gRdrFlares[] = {
    {20.0f, 50.0f, 128.0f, 128.0f, 100.0f, 0.0f, 0.0f},  {60.0f, 5.0f, 128.0f, 0.0f, 0.0f, 0.0f, 90.0f},
    {70.0f, 40.0f, 128.0f, 0.0f, 0.0f, 0.0f, 90.0f},     {80.0f, 5.0f, 128.0f, 0.0f, 0.0f, 0.0f, 90.0f},
    {95.0f, 5.0f, 128.0f, 0.0f, 60.0f, 20.0f, 0.0f},     {180.0f, 5.0f, 0.0f, 128.0f, 50.0f, 50.0f, 50.0f},
    {230.0f, 8.0f, 0.0f, 128.0f, 50.0f, 50.0f, 50.0f},   {250.0f, 15.0f, 128.0f, 0.0f, 70.0f, 20.0f, 0.0f},
    {255.0f, 55.0f, 128.0f, 0.0f, 70.0f, 20.0f, 0.0f},   {260.0f, 5.0f, 128.0f, 0.0f, 70.0f, 20.0f, 0.0f},
    {320.0f, 15.0f, 128.0f, 0.0f, 20.0f, 20.0f, 70.0f},  {0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f},
};

namespace {

constexpr int32_t STRIP_CELLS = 4;
constexpr float STRIP_MIN_HEIGHT = 200.0f;

// Texture start of the layer: one texel per 16 world units of the (scrolled)
// camera-relative origin, wrapped to the texture.
float StripStart(float origin) { return static_cast<float>((TruncI32(origin) >> 4) & 255); }

}  // namespace

void RdrDrawStripLayer(uint32_t texture, float height, float texelSize, uint8_t absoluteHeight, bool lit,
                       float flashX, float flashY) {
  RdrDepthOff();
  const float Y = absoluteHeight ? height : gCamera.y + height;
  if (height < STRIP_MIN_HEIGHT) height = STRIP_MIN_HEIGHT;
  const float savedFar = gRdrState.farPlane;
  gRdrState.farPlane += height;
  const float F = gRdrState.farPlane;
  const float S = F * 2.0f * 0.25f;
  const float T = S / texelSize;
  // The grid is laid out in the texture's ranges; the back end may sample in other units.
  float sUnit = 1.0f, tUnit = 1.0f;
  TexCoordUnits(texture, &sUnit, &tUnit);

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
        const float st[8] = {s / sUnit,       t / tUnit,        (s + T) / sUnit, t / tUnit,
                             (s + T) / sUnit, t1 / tUnit,       s / sUnit,       t1 / tUnit};
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

Face* RdrTurnedQuad(const DrawSlot* slot, float hw, float hh, uint16_t angle) {
  const int32_t first = gMesh.vertexCount;
  Vertex* v = MeshScratchVertices(first, 4);
  Face* face = MeshScratchFaces(gMesh.faceCount, 1);
  if (!v || !face) return nullptr;
  const float sn = SineTable[angle & ANGLE_MASK];
  const float cs = SineTable[(angle + 256) & ANGLE_MASK];
  const float X = slot->viewX, Y = slot->viewY, Z = slot->viewZ;
  const RdrState& s = gRdrState;
  const float zp = Z < s.nearPlane ? s.nearPlane : Z;
  const float dxs[4] = {-hw, hw, hw, -hw};
  const float dys[4] = {hh, hh, -hh, -hh};
  for (int i = 0; i < 4; ++i) {
    Vertex& out = v[i];
    std::memset(&out, 0, sizeof out);
    out.viewX = X + (dxs[i] * cs - dys[i] * sn);
    out.viewY = Y + (dxs[i] * sn + dys[i] * cs);
    out.viewZ = Z;
    out.screenX = s.centreX + out.viewX * s.scaleX / zp;
    out.screenY = s.centreY + out.viewY * s.scaleY / zp;
  }
  std::memset(face, 0, sizeof *face);
  face->vertexCount = 4;
  for (int i = 0; i < 4; ++i) face->index[i] = static_cast<uint16_t>(first + i);
  return face;
}

Face* RdrRotatedSquare(const DrawSlot* slot, float halfSize, uint16_t angle) {
  if (!slot) return nullptr;
  Face* face = RdrTurnedQuad(slot, halfSize, halfSize, angle);
  if (!face) return nullptr;
  face->type = slot->kind & 0xFFFFFF;
  float sUnit = 1.0f, tUnit = 1.0f;
  TexCoordUnits(face->type, &sUnit, &tUnit);
  const float st[8] = {0.0f, 0.0f, 255.0f, 0.0f, 255.0f, 255.0f, 0.0f, 255.0f};
  for (int i = 0; i < 8; i += 2) {
    face->st[i] = st[i] / sUnit;
    face->st[i + 1] = st[i + 1] / tUnit;
  }
  return face;
}

void RdrDrawCross(DrawSlot* slot) {
  const Sprite* sprite = slot ? static_cast<const Sprite*>(slot->owner) : nullptr;
  if (!sprite) return;
  // The slot names a vertex of the current mesh for its light; a name past
  // the mesh falls back to the ambient level rather than reading beyond it.
  const uint32_t lightIndex = (slot->kind & 0xFFFFFF) >> 8;
  float light = gLight.ambient;
  if (gMesh.vertices && lightIndex < static_cast<uint32_t>(gMesh.vertexCount > 0 ? gMesh.vertexCount : 0))
    light = gMesh.vertices[lightIndex].light;

  // Where the scene pass keeps its scratch records, and never below the
  // records in use (outside a pass its indices may be stale).
  const int32_t first = std::max(gSceneScratch.vertexIndex, gMesh.vertexCount);
  Vertex* v = MeshScratchVertices(first, 8);
  Face* face = MeshScratchFaces(std::max(gSceneScratch.faceIndex, gMesh.faceCount), 1);
  if (!v || !face) return;
  const float px = slot->x, py = slot->y, pz = slot->z;
  const float hw = sprite->halfWidth, hh = sprite->halfHeight;
  const float corners[8][3] = {
      {px - hw, py - hh, pz}, {px + hw, py - hh, pz}, {px + hw, py + hh, pz}, {px - hw, py + hh, pz},
      {px, py - hh, pz - hw}, {px, py - hh, pz + hw}, {px, py + hh, pz + hw}, {px, py + hh, pz - hw},
  };
  for (int i = 0; i < 8; ++i) {
    std::memset(&v[i], 0, sizeof v[i]);
    v[i].x = corners[i][0];
    v[i].y = corners[i][1];
    v[i].z = corners[i][2];
    RdrProjectVertex(&v[i]);
  }
  std::memset(face, 0, sizeof *face);
  face->type = (sprite->type & 0xFF) | 0x02000000;
  face->vertexCount = 4;
  const float st[8] = {sprite->s0, sprite->t1, sprite->s1, sprite->t1, sprite->s1, sprite->t0, sprite->s0, sprite->t0};
  std::memcpy(face->st, st, sizeof st);
  const int32_t level = TruncI32(light);
  face->tag = static_cast<uint8_t>(level < 0 ? 0 : level > 255 ? 255 : level);
  for (int i = 0; i < 4; ++i) face->index[i] = static_cast<uint16_t>(first + i);
  RdrDrawFaceTexShaded(face);
  for (int i = 0; i < 4; ++i) face->index[i] = static_cast<uint16_t>(first + 4 + i);
  RdrDrawFaceTexShaded(face);
}

bool RdrScreenQuad(Face* face, float x, float y, float h, uint32_t texture, float s, float t, float size) {
  const int32_t first = gMesh.vertexCount;
  Vertex* v = MeshScratchVertices(first, 4);
  if (!v) return false;
  const float xs[4] = {x - h, x + h, x + h, x - h};
  const float ys[4] = {y - h, y - h, y + h, y + h};
  const float near = gRdrState.nearPlane;
  std::memset(face, 0, sizeof *face);
  face->type = texture;
  face->vertexCount = 4;
  const float ss[4] = {s, s + size, s + size, s};
  const float ts[4] = {t, t, t + size, t + size};
  for (int i = 0; i < 4; ++i) {
    std::memset(&v[i], 0, sizeof v[i]);
    v[i].viewX = v[i].screenX = xs[i];
    v[i].viewY = v[i].screenY = ys[i];
    v[i].viewZ = near;
    face->index[i] = static_cast<uint16_t>(first + i);
    face->st[2 * i] = ss[i];
    face->st[2 * i + 1] = ts[i];
  }
  return true;
}

void RdrSunProject(uint32_t texture, int32_t red, int32_t green, int32_t blue) {
  gRdrSun.texture = texture;
  gRdrSun.red = red;
  gRdrSun.green = green;
  gRdrSun.blue = blue;
  gRdrState.glow = 1;
  MatViewFromCamera();
  // The sun lies at infinity against the light: only the direction is turned.
  const float dx = -gLight.directionX, dy = -gLight.directionY, dz = -gLight.directionZ;
  const float* m = gCamera.view;
  const float X = dx * m[0] + dy * m[1] + dz * m[2];
  const float Y = dx * m[3] + dy * m[4] + dz * m[5];
  const float Z = dx * m[6] + dy * m[7] + dz * m[8];
  const RdrState& s = gRdrState;
  const float zp = Z < s.nearPlane ? s.nearPlane : Z;
  gRdrSun.screenX = s.centreX + X * s.scaleX / zp;
  gRdrSun.screenY = s.centreY + Y * s.scaleY / zp;
  if (!(zp > s.nearPlane)) gRdrSun.screenX = 10000.0f;  // behind the viewer: glow and flare off screen
}

bool RdrFlareLine(float* x, float* y, float* dx, float* dy) {
  if (!gRdrState.glow) return false;
  const RdrState& s = gRdrState;
  const float W = static_cast<float>(s.screenWidth), H = static_cast<float>(s.screenHeight);
  const float px = gRdrSun.screenX, py = gRdrSun.screenY;
  if (px <= s.clipMinX - W || px >= s.clipMaxX + W || py <= s.clipMinY - H || py >= s.clipMaxY + H) return false;
  const float ex = s.centreX - 1.5f * (px - s.centreX);
  const float ey = s.centreY - 1.5f * (py - s.centreY);
  *x = px;
  *y = py;
  *dx = ex - px;
  *dy = ey - py;
  return true;
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
