#include "backend_common/object_draw.h"

#include "backend_common/display.h"
#include "backend_common/draw.h"
#include "engine3d/angle.h"
#include "engine3d/camera.h"
#include "engine3d/mathutil.h"

namespace {

ObjVec3 View(const ObjVec3& p) {
  const float* v = gCamera.view;
  return {v[0] * p.x + v[1] * p.y + v[2] * p.z, v[3] * p.x + v[4] * p.y + v[5] * p.z,
          v[6] * p.x + v[7] * p.y + v[8] * p.z};
}

// 32 + intensity x the cosine between normal and light, floored at the
// ambient; 64 and above is held at 63.
float LightOf(const ObjVec3& n) {
  const LightState& L = gLight;
  float dot = n.x * L.directionX + n.y * L.directionY + n.z * L.directionZ;
  float light = dot / 1024.0f * L.intensity / 1024.0f + 32.0f;
  if (light < L.ambient) light = L.ambient;
  if (light >= 64.0f) light = 63.0f;
  return light;
}

bool FaceUsable(const Face& face, uint32_t vertexCount) {
  if (face.vertexCount < 3 || face.vertexCount > 4) return false;
  for (int i = 0; i < face.vertexCount; ++i)
    if (face.index[i] >= vertexCount) return false;
  return true;
}

}  // namespace

ObjVec3 ObjTurn::Apply(float x, float y, float z) const {
  if (rotation == ObjRotation::MATRIX) {
    const float* m = gCamera.object;
    return {m[0] * x + m[1] * y + m[2] * z, m[3] * x + m[4] * y + m[5] * z, m[6] * x + m[7] * y + m[8] * z};
  }
  if (heading == 0) return {x, y, z};
  return {cosH * x - sinH * z, y, sinH * x + cosH * z};
}

void ObjDrawMesh(DrawSlot* slot, MeshHeader* mesh, const ObjStyle& style, const ObjLayer* layer) {
  if (!slot || !mesh) return;
  if (style.depthGate && !RdrObjectInDepthRange(slot)) return;
  if (style.lighting != ObjLighting::NONE && !gRdrState.vertexLighting) {
    style.unlit(slot, mesh);
    return;
  }
  if (mesh->vertexCount && !mesh->vertices) return;

  Vertex* savedVertices = gMesh.vertices;
  const int64_t savedCount = gRdrObjectVertexCount;
  gMesh.vertices = mesh->vertices;
  gRdrObjectVertexCount = mesh->vertexCount;

  ObjTurn turn{style.rotation, 0, 0.0f, 1.0f};
  if (style.rotation == ObjRotation::MATRIX) {
    gCamera.objectAngle[0] = mesh->angle[0];
    gCamera.objectAngle[1] = mesh->angle[1];
    gCamera.objectAngle[2] = mesh->angle[2];
    MatObjectFromAngles();
  } else {
    turn.heading = mesh->angle[1] & ANGLE_MASK;
    gCamera.objectAngle[1] = static_cast<uint16_t>(turn.heading);
    turn.sinH = SineTable[turn.heading];
    turn.cosH = SineTable[(turn.heading + 256) & ANGLE_MASK];
  }

  const RdrState& s = gRdrState;
  const float dx = slot->x - gCamera.x, dy = slot->y - gCamera.y, dz = slot->z - gCamera.z;
  const bool lit = style.lighting != ObjLighting::NONE;
  for (uint32_t i = 0; i < mesh->vertexCount; ++i) {
    Vertex& v = mesh->vertices[i];
    ObjVec3 p = turn.Apply(v.x, v.y, v.z);
    p.x += dx;
    p.y += dy;
    p.z += dz;
    ObjVec3 view = View(p);
    v.viewX = view.x;
    v.viewY = view.y;
    v.viewZ = view.z;
    // Corners behind the near plane are projected at it; the face routines clip them.
    float z = view.z < s.nearPlane ? s.nearPlane : view.z;
    v.screenX = s.centreX + s.scaleX * view.x / z;
    v.screenY = s.centreY + s.scaleY * view.y / z;
    if (lit) v.light = LightOf(turn.Apply(v.normalX, v.normalY, v.normalZ));
  }

  if (layer && layer->begin) layer->begin(mesh, layer->user);
  for (uint32_t f = 0; f < mesh->faceCount; ++f) {
    Face* face = &mesh->faces[f];
    if (!FaceUsable(*face, mesh->vertexCount)) continue;
    ObjVec3 normal{};
    if (style.backFace || style.lighting == ObjLighting::VERTEX_AND_FACE)
      normal = turn.Apply(face->normalX, face->normalY, face->normalZ);
    if (style.backFace) {
      ObjVec3 n = View(normal);
      const Vertex& first = mesh->vertices[face->index[0]];
      if (n.x * first.viewX + n.y * first.viewY + n.z * first.viewZ < 0.0f) continue;
    }
    if (style.lighting == ObjLighting::VERTEX_AND_FACE) {
      int32_t level = TruncI32(LightOf(normal));
      face->tag = static_cast<uint8_t>(level < 0 ? 0 : level);
    }
    const bool colour = (face->type >> 24) == FACE_COLOUR;
    (colour ? style.colourFace : style.otherFace)(face);
    if (layer && layer->afterFace) layer->afterFace(face, colour, turn, mesh, layer->user);
  }
  if (layer && layer->end) layer->end(mesh, layer->user);

  gMesh.vertices = savedVertices;
  gRdrObjectVertexCount = savedCount;
}

bool ObjOverlayAppend(ObjOverlayList* list, const Face* face, const ObjTurn& turn, const Vertex* vertices) {
  Face* copy = MeshScratchFaces(gMesh.faceCount + list->count, 1);
  if (!copy) return false;
  if (!list->first) list->first = copy;
  *copy = *face;
  for (int c = 0; c < face->vertexCount; ++c) {
    const Vertex& v = vertices[face->index[c]];
    ObjVec3 n = turn.Apply(v.normalX, v.normalY, v.normalZ);
    copy->st[2 * c] = list->scale * n.x;
    copy->st[2 * c + 1] = list->scale * n.y;
  }
  ++list->count;
  return true;
}

void ObjOverlayCollect(ObjOverlay* overlay, const Face* face, bool colourFace, uint32_t polyCount,
                       const ObjTurn& turn, const MeshHeader* mesh) {
  if (colourFace || polyCount < 3) return;
  ObjOverlayAppend(&overlay->copies, face, turn, mesh->vertices);
}
