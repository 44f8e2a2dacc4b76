#include "engine3d/scene.h"

#include "backend_common/display.h"
#include "backend_common/draw.h"
#include "engine3d/camera.h"

SceneScratch gSceneScratch;

namespace {

// The translucent pass draws with black as the constant colour and the
// iterated alpha as the alpha source, and puts the texture alpha back after.
void TranslucentAlphaBegin() { RdrSetAlphaSourceColour(0, 0, 0, 1); }
void TranslucentAlphaEnd() { RdrResetAlphaSource(); }

// A face is drawn when the camera is on its front side or in its plane.
bool FacesCamera(const Face& face) {
  const float* v = gCamera.view;
  const float nx = face.normalX, ny = face.normalY, nz = face.normalZ;
  const Vertex& p = gMesh.vertices[face.index[0]];
  return (v[0] * nx + v[1] * ny + v[2] * nz) * p.viewX + (v[3] * nx + v[4] * ny + v[5] * nz) * p.viewY +
             (v[6] * nx + v[7] * ny + v[8] * nz) * p.viewZ >=
         0.0f;
}

// A face with fewer than three corners, or one naming a vertex the pool does
// not hold (a damaged record), has nothing to draw.
bool Drawable(const Face& face) {
  if (face.vertexCount < 3 || face.vertexCount > 4) return false;
  for (int32_t c = 0; c < face.vertexCount; ++c)
    if (face.index[c] >= gMesh.vertexCount) return false;
  return true;
}

uint32_t TypeOf(const Face& face) { return face.type >> 24; }

enum class Route { ONE_PASS_LIT, ONE_PASS_UNLIT, TWO_PASS_LIT, TWO_PASS_UNLIT };

template <Route R>
void DrawCellFaces(GridCell* cell) {
  for (uint32_t i = 0; i < cell->faceCount; ++i) {
    Face* face = &cell->faces[i];
    if (!Drawable(*face) || !FacesCamera(*face)) continue;
    const uint32_t type = TypeOf(*face);
    if (type == FACE_TRANSLUCENT) continue;
    if constexpr (R == Route::ONE_PASS_LIT) {
      RdrDrawFaceTexLit(face);
    } else if constexpr (R == Route::ONE_PASS_UNLIT) {
      RdrDrawFaceDecal(face);
    } else if constexpr (R == Route::TWO_PASS_LIT) {
      if (type == FACE_TEX_LIT) RdrDrawFaceTexLit(face);
      else if (type == FACE_TEX_VCOLOUR) RdrDrawFaceTexVColour(face);
    } else {
      if (type == FACE_TEX_LIT) RdrDrawFaceDecal(face);
      else if (type == FACE_TEX_VCOLOUR) RdrDrawFaceTexVColourUnlit(face);
    }
  }
}

void DrawOneSlot(DrawSlot* slot) {
  const float dx = slot->x - gCamera.x, dy = slot->y - gCamera.y, dz = slot->z - gCamera.z;
  const float* v = gCamera.view;
  slot->viewX = v[0] * dx + v[1] * dy + v[2] * dz;
  slot->viewY = v[3] * dx + v[4] * dy + v[5] * dz;
  slot->viewZ = v[6] * dx + v[7] * dy + v[8] * dz;
  if (slot->callback) slot->callback(slot, slot->owner);
}

void BeginScene() {
  MatViewFromCamera();
  VisBeginView();
  gSceneScratch.vertexIndex = gMesh.vertexCount;
  gSceneScratch.faceIndex = gMesh.faceCount;
}

void OnePass(void (*drawFaces)(GridCell*)) {
  BeginScene();
  for (uint32_t i = 0; i < gVisibleCells.count; ++i) {
    drawFaces(gVisibleCells.cells[i]);
    ObjDrawCellSlots(gVisibleCells.cells[i]);
  }
  ObjDrawDynamicSlots();
}

void TwoPass(void (*drawFaces)(GridCell*)) {
  BeginScene();
  for (uint32_t i = 0; i < gVisibleCells.count; ++i) drawFaces(gVisibleCells.cells[i]);
  for (uint32_t i = 0; i < gVisibleCells.count; ++i) ObjDrawCellSlots(gVisibleCells.cells[i]);
  ObjDrawDynamicSlots();
}

}  // namespace

void ObjRenderScene() {
  if (!gRdrState.vertexLighting) return ObjRenderSceneUnlit();
  OnePass(ObjDrawCellFacesLit);
}

void ObjRenderSceneUnlit() { OnePass(ObjDrawCellFacesUnlit); }

void ObjRenderSceneTwoPass() {
  if (!gRdrState.vertexLighting) return ObjRenderSceneTwoPassUnlit();
  TwoPass(ObjDrawCellFacesLitTyped);
}

void ObjRenderSceneTwoPassUnlit() { TwoPass(ObjDrawCellFacesUnlitTyped); }

void ObjDrawDeferredTranslucent() {
  TranslucentAlphaBegin();
  for (uint32_t i = 0; i < gVisibleCells.count; ++i) ObjDrawCellTranslucent(gVisibleCells.cells[i]);
  TranslucentAlphaEnd();
}

void ObjDrawCellFacesLit(GridCell* cell) { DrawCellFaces<Route::ONE_PASS_LIT>(cell); }
void ObjDrawCellFacesUnlit(GridCell* cell) { DrawCellFaces<Route::ONE_PASS_UNLIT>(cell); }
void ObjDrawCellFacesLitTyped(GridCell* cell) { DrawCellFaces<Route::TWO_PASS_LIT>(cell); }
void ObjDrawCellFacesUnlitTyped(GridCell* cell) { DrawCellFaces<Route::TWO_PASS_UNLIT>(cell); }

// Water is seen from both sides: no facing test.
void ObjDrawCellTranslucent(GridCell* cell) {
  for (uint32_t i = 0; i < cell->faceCount; ++i) {
    Face* face = &cell->faces[i];
    if (Drawable(*face) && TypeOf(*face) == FACE_TRANSLUCENT) RdrDrawFaceWater(face);
  }
}

// Static slots are not culled one by one: the cell was visible, and the
// owner's callback makes its own range checks.
void ObjDrawCellSlots(GridCell* cell) {
  for (uint32_t i = 0; i < cell->slotCount; ++i)
    if (cell->slots[i].visible) DrawOneSlot(&cell->slots[i]);
}

void ObjDrawDynamicSlots() {
  if (!gDrawLists.dynamics) return;
  for (int32_t i = 0; i < gDrawLists.dynamicCapacity; ++i) {
    DrawSlot& slot = gDrawLists.dynamics[i];
    if (slot.inUse && slot.visible) DrawOneSlot(&slot);  // free slots hold no visible flag
  }
}
