#include "backend_glide/glide.h"

#include "backend_common/object_draw.h"
#include "backend_glide/faceclip.h"

namespace {

// The overlay layer of a blended object: copies of the textured faces that
// were not clipped away, mapped by the turned normals in texels (half the
// normal's length). The copies live in the reserve behind the world's faces;
// a model with more textured faces than the reserve holds gets no overlay on
// the rest.
void CollectOverlay(Face* face, bool colourFace, const ObjTurn& turn, const MeshHeader* mesh, void* user) {
  ObjOverlayCollect(static_cast<ObjOverlay*>(user), face, colourFace, gRdrPoly.count, turn, mesh);
}

void DrawOverlay(const MeshHeader*, void* user) {
  const ObjOverlay& overlay = *static_cast<ObjOverlay*>(user);
  GfxAlphaSource(GFX_ALPHASOURCE_TEXTURE_ALPHA_TIMES_ITERATED_ALPHA);
  RdrCacheColorCombine(GFX_COMBINE_TEXTURE_TIMES_ALPHA);
  RdrCacheTexSource(static_cast<int32_t>(overlay.texture & 0xFFFFFF));
  for (int32_t c = 0; c < overlay.copies.count; ++c)
    RdrDrawFaceTexLight(overlay.copies.first + c, overlay.lightFactor);
  GfxAlphaSource(GFX_ALPHASOURCE_TEXTURE_ALPHA);
}

void DrawObject(DrawSlot* slot, MeshHeader* mesh, const ObjStyle& style) { ObjDrawMesh(slot, mesh, style); }

constexpr ObjStyle YAW_VCOLOUR{ObjRotation::HEADING, true, false, ObjLighting::NONE, RdrDrawFaceVColour,
                               RdrDrawFaceVColour, nullptr};

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
void RdrDrawObjectYawVColour(DrawSlot* slot, MeshHeader* mesh) { DrawObject(slot, mesh, YAW_VCOLOUR); }

void RdrDrawObjectBlended(DrawSlot* slot, MeshHeader* mesh, uint32_t overlayTexture, float lightFactor) {
  if (!gRdrState.vertexLighting) {
    RdrDrawObject(slot, mesh);
    return;
  }
  ObjOverlay overlay{overlayTexture, lightFactor, {0.5f, 0, nullptr}};
  const ObjLayer layer{nullptr, CollectOverlay, DrawOverlay, &overlay};
  ObjDrawMesh(slot, mesh, OBJ_LIT, &layer);
}
