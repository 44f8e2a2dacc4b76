#include "backend_glide/glide.h"

#include "backend_glide/faceclip.h"
#include "engine3d/angle.h"
#include "engine3d/camera.h"
#include "engine3d/mathutil.h"

namespace {

enum class Rotation : uint8_t { MATRIX, HEADING };
enum class Lighting : uint8_t { NONE, VERTEX, VERTEX_AND_FACE };

using FaceRoutine = void (*)(Face*);
using ObjectRoutine = void (*)(DrawSlot*, MeshHeader*);

struct ObjectStyle {
  Rotation rotation;
  bool depthGate;
  bool backFace;
  Lighting lighting;
  FaceRoutine colourFace;  // face type 0
  FaceRoutine otherFace;   // every other face type
  ObjectRoutine unlit;     // drawn instead while vertex lighting is off
};

// The overlay layer of a blended object.
struct Overlay {
  uint32_t texture;
  float lightFactor;
};

struct Vec3 {
  float x, y, z;
};

// The object's turn: the object matrix, or the heading alone (which, unlike
// the matrix, does not mirror y).
struct Turn {
  Rotation rotation;
  uint32_t heading;
  float sinH, cosH;

  Vec3 Apply(float x, float y, float z) const {
    if (rotation == Rotation::MATRIX) {
      const float* m = gCamera.object;
      return {m[0] * x + m[1] * y + m[2] * z, m[3] * x + m[4] * y + m[5] * z, m[6] * x + m[7] * y + m[8] * z};
    }
    if (heading == 0) return {x, y, z};
    return {cosH * x - sinH * z, y, sinH * x + cosH * z};
  }
};

Vec3 View(const Vec3& p) {
  const float* v = gCamera.view;
  return {v[0] * p.x + v[1] * p.y + v[2] * p.z, v[3] * p.x + v[4] * p.y + v[5] * p.z,
          v[6] * p.x + v[7] * p.y + v[8] * p.z};
}

// 32 + intensity x the cosine between normal and light, floored at the
// ambient; 64 and above is held at 63.
float LightOf(const Vec3& n) {
  const LightState& L = gLight;
  float dot = n.x * L.directionX + n.y * L.directionY + n.z * L.directionZ;
  float light = dot / 1024.0f * L.intensity / 1024.0f + 32.0f;
  if (light < L.ambient) light = L.ambient;
  if (light >= 64.0f) light = 63.0f;
  return light;
}

// A face the object can draw: 3 or 4 corners, each naming one of its vertices.
bool FaceUsable(const Face& face, uint32_t vertexCount) {
  if (face.vertexCount < 3 || face.vertexCount > 4) return false;
  for (int i = 0; i < face.vertexCount; ++i)
    if (face.index[i] >= vertexCount) return false;
  return true;
}

void DrawObject(DrawSlot* slot, MeshHeader* mesh, const ObjectStyle& style, const Overlay* overlay = nullptr) {
  if (!slot || !mesh) return;
  if (style.lighting != Lighting::NONE && !gRdrState.vertexLighting) {
    style.unlit(slot, mesh);
    return;
  }
  if (style.depthGate && !RdrObjectInDepthRange(slot)) return;
  if (mesh->vertexCount && !mesh->vertices) return;

  Vertex* savedVertices = gMesh.vertices;
  const int64_t savedCount = gRdrObjectVertexCount;
  gMesh.vertices = mesh->vertices;
  gRdrObjectVertexCount = mesh->vertexCount;

  Turn turn{style.rotation, 0, 0.0f, 1.0f};
  if (style.rotation == Rotation::MATRIX) {
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
  const bool lit = style.lighting != Lighting::NONE;
  for (uint32_t i = 0; i < mesh->vertexCount; ++i) {
    Vertex& v = mesh->vertices[i];
    Vec3 p = turn.Apply(v.x, v.y, v.z);
    p.x += dx;
    p.y += dy;
    p.z += dz;
    Vec3 view = View(p);
    v.viewX = view.x;
    v.viewY = view.y;
    v.viewZ = view.z;
    // Corners behind the near plane are projected at it; the face routines clip them.
    float z = view.z < s.nearPlane ? s.nearPlane : view.z;
    v.screenX = s.centreX + s.scaleX * view.x / z;
    v.screenY = s.centreY + s.scaleY * view.y / z;
    if (lit) v.light = LightOf(turn.Apply(v.normalX, v.normalY, v.normalZ));
  }

  int32_t copies = 0;
  Face* firstCopy = nullptr;
  for (uint32_t f = 0; f < mesh->faceCount; ++f) {
    Face* face = &mesh->faces[f];
    if (!FaceUsable(*face, mesh->vertexCount)) continue;
    Vec3 normal{};
    if (style.backFace || style.lighting == Lighting::VERTEX_AND_FACE)
      normal = turn.Apply(face->normalX, face->normalY, face->normalZ);
    if (style.backFace) {
      Vec3 n = View(normal);
      const Vertex& first = mesh->vertices[face->index[0]];
      if (n.x * first.viewX + n.y * first.viewY + n.z * first.viewZ < 0.0f) continue;
    }
    if (style.lighting == Lighting::VERTEX_AND_FACE) {
      int32_t level = TruncI32(LightOf(normal));
      face->tag = static_cast<uint8_t>(level < 0 ? 0 : level);
    }
    bool colour = (face->type >> 24) == FACE_COLOUR;
    (colour ? style.colourFace : style.otherFace)(face);

    // The overlay copy of a textured face that was not clipped away. The
    // copies live in the reserve behind the world's faces; a model with more
    // textured faces than the reserve holds gets no overlay on the rest.
    if (overlay && !colour && gRdrPoly.count >= 3) {
      Face* copy = MeshScratchFaces(gMesh.faceCount + copies, 1);
      if (!copy) continue;
      if (!firstCopy) firstCopy = copy;
      *copy = *face;
      for (int c = 0; c < face->vertexCount; ++c) {
        const Vertex& v = mesh->vertices[face->index[c]];
        Vec3 n = turn.Apply(v.normalX, v.normalY, v.normalZ);
        copy->st[2 * c] = 0.5f * n.x;
        copy->st[2 * c + 1] = 0.5f * n.y;
      }
      ++copies;
    }
  }

  if (overlay) {
    GfxAlphaSource(GFX_ALPHASOURCE_TEXTURE_ALPHA_TIMES_ITERATED_ALPHA);
    RdrCacheColorCombine(GFX_COMBINE_TEXTURE_TIMES_ALPHA);
    RdrCacheTexSource(static_cast<int32_t>(overlay->texture & 0xFFFFFF));
    for (int32_t c = 0; c < copies; ++c) RdrDrawFaceTexLight(firstCopy + c, overlay->lightFactor);
    GfxAlphaSource(GFX_ALPHASOURCE_TEXTURE_ALPHA);
  }
  gMesh.vertices = savedVertices;
  gRdrObjectVertexCount = savedCount;
}

// clang-format off
//                                 rotation           depth  back   lighting                   colour faces        other faces               lighting off
constexpr ObjectStyle OBJECT            {Rotation::MATRIX,  true,  true,  Lighting::NONE,            RdrDrawFaceFlat,    RdrDrawFaceDecal,         nullptr};
constexpr ObjectStyle TWO_SIDED         {Rotation::MATRIX,  true,  false, Lighting::NONE,            RdrDrawFaceFlat,    RdrDrawFaceDecal,         nullptr};
constexpr ObjectStyle LIT               {Rotation::MATRIX,  true,  true,  Lighting::VERTEX,          RdrDrawFaceGouraud, RdrDrawFaceTexLit,        RdrDrawObject};
constexpr ObjectStyle LIT_TWO_SIDED     {Rotation::MATRIX,  true,  false, Lighting::VERTEX,          RdrDrawFaceGouraud, RdrDrawFaceTexLit,        RdrDrawObjectTwoSided};
constexpr ObjectStyle CLAMPED           {Rotation::MATRIX,  true,  true,  Lighting::NONE,            RdrDrawFaceFlat,    RdrDrawFaceDecalClamped,  nullptr};
constexpr ObjectStyle LIT_CLAMPED       {Rotation::MATRIX,  true,  true,  Lighting::VERTEX,          RdrDrawFaceGouraud, RdrDrawFaceTexLitClamped, RdrDrawObjectClamped};
constexpr ObjectStyle YAW               {Rotation::HEADING, true,  true,  Lighting::NONE,            RdrDrawFaceFlat,    RdrDrawFaceDecal,         nullptr};
constexpr ObjectStyle YAW_LIT           {Rotation::HEADING, true,  true,  Lighting::VERTEX,          RdrDrawFaceGouraud, RdrDrawFaceTexLit,        RdrDrawObjectYaw};
constexpr ObjectStyle YAW_TWO_SIDED     {Rotation::HEADING, true,  false, Lighting::NONE,            RdrDrawFaceFlat,    RdrDrawFaceDecal,         nullptr};
constexpr ObjectStyle YAW_LIT_TWO_SIDED {Rotation::HEADING, true,  false, Lighting::VERTEX,          RdrDrawFaceGouraud, RdrDrawFaceTexLit,        RdrDrawObjectYawTwoSided};
constexpr ObjectStyle YAW_ANY_DEPTH     {Rotation::HEADING, false, true,  Lighting::NONE,            RdrDrawFaceFlat,    RdrDrawFaceDecal,         nullptr};
constexpr ObjectStyle YAW_LIT_ANY_DEPTH {Rotation::HEADING, false, true,  Lighting::VERTEX,          RdrDrawFaceGouraud, RdrDrawFaceTexLit,        RdrDrawObjectYawAnyDepth};
constexpr ObjectStyle YAW_SHADED        {Rotation::HEADING, false, true,  Lighting::VERTEX_AND_FACE, RdrDrawFaceShaded,  RdrDrawFaceTexShaded,     RdrDrawObjectYawAnyDepth};
constexpr ObjectStyle YAW_VCOLOUR       {Rotation::HEADING, true,  false, Lighting::NONE,            RdrDrawFaceVColour, RdrDrawFaceVColour,       nullptr};
// clang-format on

}  // namespace

void RdrDrawObject(DrawSlot* slot, MeshHeader* mesh) { DrawObject(slot, mesh, OBJECT); }
void RdrDrawObjectTwoSided(DrawSlot* slot, MeshHeader* mesh) { DrawObject(slot, mesh, TWO_SIDED); }
void RdrDrawObjectLit(DrawSlot* slot, MeshHeader* mesh) { DrawObject(slot, mesh, LIT); }
void RdrDrawObjectLitTwoSided(DrawSlot* slot, MeshHeader* mesh) { DrawObject(slot, mesh, LIT_TWO_SIDED); }
void RdrDrawObjectClamped(DrawSlot* slot, MeshHeader* mesh) { DrawObject(slot, mesh, CLAMPED); }
void RdrDrawObjectLitClamped(DrawSlot* slot, MeshHeader* mesh) { DrawObject(slot, mesh, LIT_CLAMPED); }
void RdrDrawObjectYaw(DrawSlot* slot, MeshHeader* mesh) { DrawObject(slot, mesh, YAW); }
void RdrDrawObjectYawLit(DrawSlot* slot, MeshHeader* mesh) { DrawObject(slot, mesh, YAW_LIT); }
void RdrDrawObjectYawTwoSided(DrawSlot* slot, MeshHeader* mesh) { DrawObject(slot, mesh, YAW_TWO_SIDED); }
void RdrDrawObjectYawLitTwoSided(DrawSlot* slot, MeshHeader* mesh) { DrawObject(slot, mesh, YAW_LIT_TWO_SIDED); }
void RdrDrawObjectYawAnyDepth(DrawSlot* slot, MeshHeader* mesh) { DrawObject(slot, mesh, YAW_ANY_DEPTH); }
void RdrDrawObjectYawLitAnyDepth(DrawSlot* slot, MeshHeader* mesh) { DrawObject(slot, mesh, YAW_LIT_ANY_DEPTH); }
void RdrDrawObjectYawShaded(DrawSlot* slot, MeshHeader* mesh) { DrawObject(slot, mesh, YAW_SHADED); }
void RdrDrawObjectYawVColour(DrawSlot* slot, MeshHeader* mesh) { DrawObject(slot, mesh, YAW_VCOLOUR); }

void RdrDrawObjectBlended(DrawSlot* slot, MeshHeader* mesh, uint32_t overlayTexture, float lightFactor) {
  if (!gRdrState.vertexLighting) {
    RdrDrawObject(slot, mesh);
    return;
  }
  Overlay overlay{overlayTexture, lightFactor};
  DrawObject(slot, mesh, LIT, &overlay);
}
