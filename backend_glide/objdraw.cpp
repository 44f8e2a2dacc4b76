#include "backend_glide/glide.h"

#include "backend_common/object_draw.h"
#include "backend_glide/faceclip.h"

namespace {

using Rotation = ObjRotation;
using Lighting = ObjLighting;
using ObjectStyle = ObjStyle;

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

void DrawObject(DrawSlot* slot, MeshHeader* mesh, const ObjectStyle& style) { ObjDrawMesh(slot, mesh, style); }

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
  ObjOverlay overlay{overlayTexture, lightFactor, {0.5f, 0, nullptr}};
  const ObjLayer layer{nullptr, CollectOverlay, DrawOverlay, &overlay};
  ObjDrawMesh(slot, mesh, LIT, &layer);
}
