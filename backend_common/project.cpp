// Face checks, projection and visibility tests that read only the camera, the clipper and
// gRdrState, so every back end runs them unchanged.
#include "backend_common/display.h"
#include "backend_common/draw.h"
#include "engine3d/camera.h"
#include "engine3d/clip.h"

int64_t gRdrObjectVertexCount = -1;

bool RdrFaceReadable(const Face* face) {
  // The face record has room for four corners; any other count is damage.
  if (!face || !gMesh.vertices || face->vertexCount < 3 || face->vertexCount > 4) return false;
  const int64_t limit =
      gRdrObjectVertexCount >= 0 ? gRdrObjectVertexCount : int64_t{gMesh.vertexCapacity} + MESH_SCRATCH_VERTICES;
  for (int i = 0; i < face->vertexCount; ++i)
    if (face->index[i] >= limit) return false;
  return true;
}

void RdrProjectVertex(Vertex* vertex) {
  if (!vertex) return;
  const float dx = vertex->x - gCamera.x;
  const float dy = vertex->y - gCamera.y;
  const float dz = vertex->z - gCamera.z;
  const float* m = gCamera.view;
  vertex->viewX = dx * m[0] + dy * m[1] + dz * m[2];
  vertex->viewY = dx * m[3] + dy * m[4] + dz * m[5];
  vertex->viewZ = dx * m[6] + dy * m[7] + dz * m[8];
  const RdrState& s = gRdrState;
  const float z = vertex->viewZ < s.nearPlane ? s.nearPlane : vertex->viewZ;
  vertex->screenX = s.centreX + vertex->viewX * s.scaleX / z;
  vertex->screenY = s.centreY + vertex->viewY * s.scaleY / z;
}

int32_t RdrObjectInDepthRange(const DrawSlot* slot) {
  return slot && slot->viewZ >= gRdrState.objectNear && slot->viewZ <= gRdrState.objectFar ? 1 : 0;
}

bool RdrOutlineOnScreen(const Vertex* vertices, float minX, float minZ, float maxX, float maxZ) {
  if (!vertices || !gClip.input) return false;
  ClipPoint* in = gClip.input->point;
  double loX = vertices[0].viewX, hiX = loX, loZ = vertices[0].viewZ, hiZ = loZ;
  for (int i = 0; i < 4; ++i) {
    in[i].a = vertices[i].viewX;
    in[i].b = vertices[i].viewZ;
    if (in[i].a < loX) loX = in[i].a;
    if (in[i].a > hiX) hiX = in[i].a;
    if (in[i].b < loZ) loZ = in[i].b;
    if (in[i].b > hiZ) hiZ = in[i].b;
  }
  in[4] = in[0];
  gClip.count = 4;

  if (hiZ < minZ || loZ > maxZ || minX > hiX || loX > maxX) return false;
  // Each clipper reads its limit from the shared clip state: ours goes in for
  // the call and the caller's comes back before anything else happens.
  auto clipWith = [](float* limit, float value, void (*clipper)()) {
    const float saved = *limit;
    *limit = value;
    clipper();
    *limit = saved;
    return gClip.count != 0;
  };
  if (loZ < minZ && !clipWith(&gClip.nearPlane, minZ, ClipOutlineNear)) return false;
  if (hiZ > maxZ && !clipWith(&gClip.farPlane, maxZ, ClipOutlineFar)) return false;
  if (minX > loX && !clipWith(&gClip.left, minX, ClipOutlineMinX)) return false;
  if (hiX > maxX) return clipWith(&gClip.right, maxX, ClipOutlineMaxX);
  return true;
}
