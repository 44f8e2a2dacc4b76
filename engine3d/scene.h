// The scene passes: one view of the world drawn cell by cell from the world
// grid's visible-cell list, the faces through the back end's face routines and
// the draw slots through their owners' callbacks, then the dynamic slots; and
// the deferred pass of the translucent water faces.
#pragma once
#include <cstdint>

#include "engine3d/grid.h"

// Where the back end's generated quads of this frame start in the pools: the
// world's counts, set by every scene pass.
struct SceneScratch {
  int32_t vertexIndex;
  int32_t faceIndex;
};
extern SceneScratch gSceneScratch;

// One-pass: per visible cell its faces, then its static slots.
void ObjRenderScene();
void ObjRenderSceneUnlit();
// Two-pass: the faces of all visible cells, then all their static slots.
void ObjRenderSceneTwoPass();
void ObjRenderSceneTwoPassUnlit();
// The translucent faces of the cells the last scene pass listed.
void ObjDrawDeferredTranslucent();

void ObjDrawCellFacesLit(GridCell* cell);
void ObjDrawCellFacesUnlit(GridCell* cell);
void ObjDrawCellFacesLitTyped(GridCell* cell);
void ObjDrawCellFacesUnlitTyped(GridCell* cell);
void ObjDrawCellTranslucent(GridCell* cell);
void ObjDrawCellSlots(GridCell* cell);
void ObjDrawDynamicSlots();
