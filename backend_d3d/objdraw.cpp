// The object drawers: the shared transform, light and back-face work of
// backend_common, with what is this back end's own around it: a mesh may ask
// for point sampling while it is drawn, the overlay of a blended object is
// mapped in the device's 0..1 units and drawn texture alpha x vertex alpha,
// and the vertex-colour member draws copies that carry the caller's face word.
#include "backend_common/object_draw.h"
#include "backend_d3d/faces.h"

namespace {

// Point sampling for the time of a mesh that asks for it; after it the
// filters go back to the player's choice (linear only with filtering on, so
// that a keyed model never turns filtering on for what is drawn after it).
void PointFilterBegin(const MeshHeader* mesh) {
  if (mesh->filter) return;
  HalD3dSetTextureStageState(gD3d.device, 0, HAL_TSS_MAGFILTER, HAL_TFG_POINT);
  HalD3dSetTextureStageState(gD3d.device, 0, HAL_TSS_MINFILTER, HAL_TFG_POINT);
}

void PointFilterEnd(const MeshHeader* mesh) {
  if (mesh->filter) return;
  const uint32_t filter = gD3d.filtering ? HAL_TFG_LINEAR : HAL_TFG_POINT;
  HalD3dSetTextureStageState(gD3d.device, 0, HAL_TSS_MAGFILTER, filter);
  HalD3dSetTextureStageState(gD3d.device, 0, HAL_TSS_MINFILTER, filter);
}

void FilterBegin(const MeshHeader* mesh, void*) { PointFilterBegin(mesh); }
void FilterEnd(const MeshHeader* mesh, void*) { PointFilterEnd(mesh); }
constexpr ObjLayer FILTER_LAYER{FilterBegin, nullptr, FilterEnd, nullptr};

// The overlay of a blended object: a copy of each textured face the clip left
// standing, in the face pool's reserve; a model with more textured faces than
// the reserve holds gets no overlay on the rest.
void CollectOverlay(Face* face, bool colourFace, const ObjTurn& turn, const MeshHeader* mesh, void* user) {
  ObjOverlayCollect(static_cast<ObjOverlay*>(user), face, colourFace, gRdrPoly.count, turn, mesh);
}

void DrawOverlay(const MeshHeader* mesh, void* user) {
  ObjOverlay& overlay = *static_cast<ObjOverlay*>(user);
  RdrSetAlphaSourceColour(0, 0, 0, 4);
  for (int32_t c = 0; c < overlay.copies.count; ++c) {
    Face* copy = overlay.copies.first + c;
    copy->type = overlay.texture;
    RdrDrawFaceTexLight(copy, overlay.lightFactor);
  }
  RdrResetAlphaSource();
  PointFilterEnd(mesh);
}

void BeginOverlay(const MeshHeader* mesh, void*) { PointFilterBegin(mesh); }

// The vertex-colour member in progress: every face is drawn as one scratch
// face carrying the caller's face word, its first vertex in the colour of the
// mesh's first face.
struct VColourCall {
  uint32_t faceWord;
  uint8_t red, green, blue;
  Face* scratch;
};
VColourCall* gVColourCall = nullptr;

void DrawVColourCopy(Face* face) {
  const VColourCall& call = *gVColourCall;
  Face* copy = call.scratch;
  copy->index[0] = face->index[0];
  Vertex& first = gMesh.vertices[face->index[0]];
  first.red = call.red;
  first.green = call.green;
  first.blue = call.blue;
  for (int i = 1; i < 4; ++i) copy->index[i] = face->index[i];
  copy->type = call.faceWord;
  copy->vertexCount = face->vertexCount;
  RdrDrawFaceVColour(copy);
}

constexpr ObjStyle YAW_VCOLOUR{ObjRotation::HEADING, true, false, ObjLighting::NONE, DrawVColourCopy, DrawVColourCopy,
                               nullptr};

void DrawObject(DrawSlot* slot, MeshHeader* mesh, const ObjStyle& style) {
  ObjDrawMesh(slot, mesh, style, &FILTER_LAYER);
}

}  // namespace

void RdrDrawObject(DrawSlot* slot, MeshHeader* mesh) { DrawObject(slot, mesh, OBJ_OBJECT); }
void RdrDrawObjectTwoSided(DrawSlot* slot, MeshHeader* mesh) { DrawObject(slot, mesh, OBJ_TWO_SIDED); }
void RdrDrawObjectLit(DrawSlot* slot, MeshHeader* mesh) { DrawObject(slot, mesh, OBJ_LIT); }
void RdrDrawObjectLitTwoSided(DrawSlot* slot, MeshHeader* mesh) { DrawObject(slot, mesh, OBJ_LIT_TWO_SIDED); }
void RdrDrawObjectClamped(DrawSlot* slot, MeshHeader* mesh) { DrawObject(slot, mesh, OBJ_CLAMPED); }
void RdrDrawObjectLitClamped(DrawSlot* slot, MeshHeader* mesh) { DrawObject(slot, mesh, OBJ_LIT_CLAMPED); }
void RdrDrawObjectYaw(DrawSlot* slot, MeshHeader* mesh) { DrawObject(slot, mesh, OBJ_YAW); }
void RdrDrawObjectYawLit(DrawSlot* slot, MeshHeader* mesh) { DrawObject(slot, mesh, OBJ_YAW_LIT); }
void RdrDrawObjectYawTwoSided(DrawSlot* slot, MeshHeader* mesh) { DrawObject(slot, mesh, OBJ_YAW_TWO_SIDED); }
void RdrDrawObjectYawLitTwoSided(DrawSlot* slot, MeshHeader* mesh) { DrawObject(slot, mesh, OBJ_YAW_LIT_TWO_SIDED); }
void RdrDrawObjectYawAnyDepth(DrawSlot* slot, MeshHeader* mesh) { DrawObject(slot, mesh, OBJ_YAW_ANY_DEPTH); }
void RdrDrawObjectYawLitAnyDepth(DrawSlot* slot, MeshHeader* mesh) { DrawObject(slot, mesh, OBJ_YAW_LIT_ANY_DEPTH); }
void RdrDrawObjectYawShaded(DrawSlot* slot, MeshHeader* mesh) { DrawObject(slot, mesh, OBJ_YAW_SHADED); }

void RdrDrawObjectYawVColour(DrawSlot* slot, MeshHeader* mesh, uint32_t faceWord) {
  if (!slot || !mesh || !mesh->faceCount || !mesh->faces || !RdrObjectInDepthRange(slot)) return;
  // One scratch face behind the world's; with the pool full nothing is drawn.
  VColourCall call{faceWord, 0, 0, 0, MeshScratchFaces(gMesh.faceCount, 1)};
  if (!call.scratch) return;
  const uint32_t colour = mesh->faces[0].type;
  call.red = static_cast<uint8_t>(colour);
  call.green = static_cast<uint8_t>(colour >> 8);
  call.blue = static_cast<uint8_t>(colour >> 16);
  VColourCall* const outer = gVColourCall;
  gVColourCall = &call;
  DrawObject(slot, mesh, YAW_VCOLOUR);
  gVColourCall = outer;
}

// The interface's form names no face word: the first face's own stands in.
void RdrDrawObjectYawVColour(DrawSlot* slot, MeshHeader* mesh) {
  if (!mesh || !mesh->faceCount || !mesh->faces) return;
  RdrDrawObjectYawVColour(slot, mesh, mesh->faces[0].type);
}

void RdrDrawObjectBlended(DrawSlot* slot, MeshHeader* mesh, uint32_t overlayTexture, float lightFactor) {
  // Lighting off: the plain object, with no overlay (the shared loop runs it).
  ObjOverlay overlay{overlayTexture, lightFactor, {1.0f / 1024.0f, 0, nullptr}};
  const ObjLayer layer{BeginOverlay, CollectOverlay, DrawOverlay, &overlay};
  ObjDrawMesh(slot, mesh, OBJ_LIT, &layer);
}
